// The three one-line settings files.
#include "settings/SettingsFiles.h"

#include "base/AtomicFile.h"
#include "base/DataFolder.h"
#include "base/RegularFile.h"

#include <cerrno>
#include <cstdlib>

namespace darv {

SettingValue readSettingFile(const std::string& path)
{
    const FileResult<std::string> file = readRegularFile(path, 1 << 20);
    if (!file)
        return {};
    if (file->empty())
        return {SettingRead::Empty, 0};
    std::string line = file->substr(0, file->find('\n'));
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    std::size_t begin = line.find_first_not_of(" \t");
    if (begin == std::string::npos)
        return {SettingRead::NotANumber, 0};
    std::size_t end = line.find_last_not_of(" \t");
    const std::string text = line.substr(begin, end - begin + 1);
    std::size_t pos = 0;
    if (text[0] == '-' || text[0] == '+')
        pos = 1;
    if (pos == text.size())
        return {SettingRead::NotANumber, 0};
    for (std::size_t i = pos; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return {SettingRead::NotANumber, 0};
    }
    errno = 0;
    const long long value = std::strtoll(text.c_str(), nullptr, 10);
    if (errno == ERANGE)
        return {SettingRead::NotANumber, 0};
    return {SettingRead::Number, value};
}

FileWrite writeSettingFile(const std::string& path, long long value)
{
    return writeFileAtomically(path, std::to_string(value) + "\r\n");
}

std::string defaultFilePath(const std::string& installLoc)
{
    return dataPath(installLoc, "\\default.fil");
}

std::string warningFilePath(const std::string& installLoc)
{
    return dataPath(installLoc, "\\warning.fil");
}

std::string foldersFilePath(const std::string& installLoc)
{
    return dataPath(installLoc, "\\folders.fil");
}

std::string savedEntity(const std::string& installLoc)
{
    const SettingValue saved = readSettingFile(defaultFilePath(installLoc));
    if (saved.kind == SettingRead::Number && saved.value == -1)
        return {}; // the list had no selection, so its text was empty
    if (saved.kind == SettingRead::Number && saved.value >= 0 &&
        saved.value < static_cast<long long>(kEntityTypes.size()))
        return kEntityTypes[static_cast<std::size_t>(saved.value)];
    return kEntityTypes[kDefaultEntityIndex];
}

} // namespace darv
