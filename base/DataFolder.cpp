// File paths under the data folder.
#include "base/DataFolder.h"

#include <algorithm>

namespace darv {

std::string dataPath(const std::string& installLoc, const std::string& relative)
{
    std::string rel = relative;
    std::replace(rel.begin(), rel.end(), '\\', '/');
    return installLoc + rel;
}

std::string projectListPath(const std::string& installLoc)
{
    return dataPath(installLoc, "\\projects\\projects.fil");
}

std::string locationFilePath(const std::string& installLoc, const std::string& project)
{
    return dataPath(installLoc, "\\projects\\") + project + ".prj";
}

std::string collectedDataPath(const std::string& installLoc, const std::string& project)
{
    return dataPath(installLoc, "\\compares\\") + project + ".cmp";
}

std::string partlyReadListPath(const std::string& installLoc, const std::string& project)
{
    return dataPath(installLoc, "\\compares\\") + project + ".prt";
}

std::string timeReportPath(const std::string& installLoc, const std::string& project)
{
    return dataPath(installLoc, "\\time conflicts\\") + project + ".tim";
}

std::string handleReportPath(const std::string& installLoc, const std::string& project)
{
    return dataPath(installLoc, "\\handle conflicts\\") + project + ".hnd";
}

std::string ageReportPath(const std::string& installLoc, const std::string& project)
{
    return dataPath(installLoc, "\\date conflicts\\") + project + ".dat";
}

std::string evidenceStorePath(const std::string& installLoc)
{
    return dataPath(installLoc, "\\evidence.sqlite");
}

std::string similarReportFolder(const std::string& installLoc)
{
    return dataPath(installLoc, "\\similar drawings");
}

std::string similarReportPath(const std::string& installLoc, const std::string& project)
{
    return similarReportFolder(installLoc) + "/" + project + ".sim";
}

std::string submissionsRoot(const std::string& installLoc)
{
    return dataPath(installLoc, "\\submissions");
}

std::string submissionsFolder(const std::string& installLoc, const std::string& project)
{
    return submissionsRoot(installLoc) + "/" + project;
}

std::string resourcePath(const std::string& installLoc, const std::string& fileName)
{
    return dataPath(installLoc, "\\resources\\") + fileName;
}

} // namespace darv
