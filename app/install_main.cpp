// darv2007-install [--data DIR]: prepares the data folder and records it for the current user.
#include "app/Installer.h"
#include "app/ProgramOptions.h"

#include <QCoreApplication>
#include <cstdio>
#include <iostream>

int main(int argc, char* argv[])
{
    const darv::InstallOptions options =
        darv::installProgramOptions(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
    if (options.exitStatus)
        return *options.exitStatus;

    QCoreApplication app(argc, argv);
    const QString folder = options.dataFolder.empty() ? darv::Installer::defaultDataFolder()
                                                      : QString::fromLocal8Bit(options.dataFolder.c_str());
    darv::Installer installer(folder, darv::Installer::installedResourceFolder());
    if (!installer.install()) {
        std::fprintf(stderr, "darv2007-install: installation failed. %s\n", qPrintable(installer.errorText()));
        return 1;
    }
    std::printf("DARV 2007 installed in %s\n", qPrintable(installer.dataFolder()));
    return 0;
}
