// The names of the files that the resources library holds under ":/darv/".
#include "resources/ResourceNames.h"

namespace darv {

std::vector<std::string> dataFolderResourceNames()
{
    return {"darvlogo.jpg", "darvcheck.jpg", "darvwrong.jpg", "darvlogo-print.jpg",
            "conflict.wav", "about.rtf",     "Darv2007.rtf",  "whatnext.rtf"};
}

std::string builtInResourcePath(const std::string& name)
{
    return ":/darv/" + name;
}

} // namespace darv
