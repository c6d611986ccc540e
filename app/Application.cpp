// Starts the system: the real services behind the main window, then its start-up.
#include "app/Application.h"

#include "app/BuildInfo.h"
#include "app/FirstStart.h"
#include "app/Installer.h"
#include "app/ProgramOptions.h"
#include "collect/DwgCadHost.h"
#include "compare/SystemCompareClock.h"
#include "ui/frmMain.h"
#include "widgets/QtMessages.h"
#include "widgets/SoundPlayer.h"
#include "widgets/StartClock.h"

#include <QApplication>
#include <QFont>
#include <QIcon>

#include <iostream>
#include <string>
#include <vector>

namespace darv {

bool openMainWindow(frmMain& window, Messages& messages, const QString& resourceFolder)
{
    // Before the start-up, which reads Install_Location; the message comes once the window shows.
    const FirstStart start = prepareDataFolder(resourceFolder);
    if (start.outcome == FirstStart::Outcome::Failed) {
        messages.show(start.icon(), kAppTitle, start.message());
        return false;
    }
    window.Form_Load();
    if (start.outcome == FirstStart::Outcome::SetUp)
        messages.show(start.icon(), kAppTitle, start.message());
    return true;
}

int runApplication(int argc, char** argv)
{
    // --help and --version answer before Qt looks for a display.
    if (const auto status = windowProgramOptions(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr))
        return *status;

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("DARV 2007"));
    QApplication::setApplicationVersion(QString::fromUtf8(kVersion));
    // Lets the desktop match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QString::fromUtf8(kAppId));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("darv2007"), QIcon(QStringLiteral(":/darv/icon.png"))));
    QApplication::setQuitOnLastWindowClosed(false);
    // The layout was made for this font's metrics; Liberation Sans has Arial's.
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));

    QtMessages messages;
    SystemStartClock clock;
    SystemSoundPlayer sound;
    SystemCompareClock compareClock;
    DwgCadHost host;
    MainServices services;
    services.messages = &messages;
    services.clock = &clock;
    services.sound = &sound;
    services.compareClock = &compareClock;
    services.host = &host;
    services.endApplication = [](int status) { QCoreApplication::exit(status); };

    frmMain window(services);
    messages.setParent(&window);
    if (!openMainWindow(window, messages, Installer::installedResourceFolder()))
        return 1;
    return QApplication::exec();
}

} // namespace darv
