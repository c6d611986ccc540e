// darv2007-cli: the system's runs without a window.
#include "app/CommandLine.h"

#include <QSettings>
#include <QString>

#include <iostream>

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("OVT"));
    store.beginGroup(QStringLiteral("DARV2007"));
    const std::string dataFolder = store.value(QStringLiteral("Install_Location")).toString().toStdString();
    const auto upperCase = [](const std::string& text) { return QString::fromStdString(text).toUpper().toStdString(); };
    return darv::runCommandLine(args, dataFolder, upperCase, std::cout, std::cerr);
}
