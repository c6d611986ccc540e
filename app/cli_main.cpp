// darv2007-cli: the system's runs without a window.
#include "app/CommandLine.h"

#include <QCoreApplication>
#include <QSettings>

#include <iostream>

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("OVT"));
    store.beginGroup(QStringLiteral("DARV2007"));
    const std::string dataFolder = store.value(QStringLiteral("Install_Location")).toString().toStdString();
    return darv::runCommandLine(args, dataFolder, std::cout, std::cerr);
}
