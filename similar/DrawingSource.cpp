// The drawing reader as the similarity check uses it.
#include "similar/DrawingSource.h"

#include "readers/AnyDrawing.h"
#include "similar/SimilarityView.h"

namespace darv::similar {

dwg::ReadResult readForSimilarity(const std::string& path)
{
    dwg::ReadResult result = dxf::readAnyDrawingFile(path, dwg::ReadDetail::Contents);
    if (result.ok())
        addSimilarityView(*result.drawing);
    return result;
}

} // namespace darv::similar
