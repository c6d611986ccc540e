// darv2007-install [--data DIR]: prepares the data folder and records it for the current user.
#include "app/Installer.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

namespace {

void printUsage(std::FILE* out)
{
    std::fputs("usage: darv2007-install [--data DIR]\n"
               "Creates the DARV 2007 data folder (default ~/.local/share/DARV2007) with its sub-folders,\n"
               "writes the pictures, alert sound and help texts into its \"resources\" folder and records\n"
               "the folder for the current user. Projects, locations, collected data, reports and\n"
               "settings files already in the folder are kept.\n",
               out);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    QString folder = darv::Installer::defaultDataFolder();
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            printUsage(stdout);
            return 0;
        }
        if (arg == QLatin1String("--data")) {
            folder = i + 1 < args.size() ? args[++i] : QString();
        } else if (arg.startsWith(QLatin1String("--data="))) {
            folder = arg.mid(7);
        } else {
            std::fprintf(stderr, "darv2007-install: unexpected argument \"%s\"\n", qPrintable(arg));
            printUsage(stderr);
            return 2;
        }
        if (folder.isEmpty()) {
            std::fputs("darv2007-install: --data needs a folder\n", stderr);
            return 2;
        }
    }

    darv::Installer installer(folder);
    if (!installer.install()) {
        std::fprintf(stderr, "darv2007-install: installation failed. %s\n", qPrintable(installer.errorText()));
        return 1;
    }
    std::printf("DARV 2007 installed in %s\n", qPrintable(installer.dataFolder()));
    return 0;
}
