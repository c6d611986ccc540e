// File paths under the data folder: InstallLoc followed by a fixed relative path.
#pragma once

#include <string>

namespace darv {

// installLoc + relative, where relative is written with backslashes as the system names its files
// ("\\projects\\projects.fil"); every backslash becomes "/". Nothing else is added or removed.
std::string dataPath(const std::string& installLoc, const std::string& relative);

// The per-project files.
std::string projectListPath(const std::string& installLoc);
std::string locationFilePath(const std::string& installLoc, const std::string& project);
std::string collectedDataPath(const std::string& installLoc, const std::string& project);
// Beside the collected data: the drawings its collection could read only in part, a line each.
std::string partlyReadListPath(const std::string& installLoc, const std::string& project);
std::string timeReportPath(const std::string& installLoc, const std::string& project);
std::string handleReportPath(const std::string& installLoc, const std::string& project);
std::string ageReportPath(const std::string& installLoc, const std::string& project);
// The similarity check's evidence store and its report.
std::string evidenceStorePath(const std::string& installLoc);
std::string similarReportFolder(const std::string& installLoc);
std::string similarReportPath(const std::string& installLoc, const std::string& project);
// The imported submissions of a project: one folder per student and the manifest import.json.
std::string submissionsRoot(const std::string& installLoc);
std::string submissionsFolder(const std::string& installLoc, const std::string& project);
std::string resourcePath(const std::string& installLoc, const std::string& fileName);

} // namespace darv
