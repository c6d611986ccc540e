// darv2007-cli: the system's runs without a window.
#include "app/CommandLine.h"
#include "base/NameBytes.h"
#include "settings/SettingsStore.h"

#include <QString>

#include <iostream>

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    const std::string dataFolder =
        darv::SettingsStore().get(darv::SettingsStore::Key::InstallLocation).toString().toStdString();
    // Valid UTF-8 runs by Unicode rules; bytes that are not UTF-8 stay as the file system holds them.
    const auto upperCase = [](const std::string& text) {
        return darv::upperCaseName(
            text, [](const std::string& run) { return QString::fromStdString(run).toUpper().toStdString(); });
    };
    return darv::runCommandLine(args, dataFolder, upperCase, std::cout, std::cerr);
}
