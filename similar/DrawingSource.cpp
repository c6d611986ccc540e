// The drawing reader as the similarity check uses it.
#include "similar/DrawingSource.h"

#include "readers/AnyDrawing.h"

namespace darv::similar {

dwg::ReadResult readForSimilarity(const std::string& path)
{
    return dxf::readAnyDrawingFile(path, dwg::ReadDetail::Contents);
}

} // namespace darv::similar
