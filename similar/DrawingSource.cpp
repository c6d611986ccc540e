// The drawing reader as the similarity check uses it.
#include "similar/DrawingSource.h"

namespace darv::similar {

dwg::ReadResult readForSimilarity(const std::string& path)
{
    return dwg::readDrawingFile(path, dwg::ReadDetail::Contents);
}

} // namespace darv::similar
