// Starts the system: the real services behind the main window, then its start-up.
#include "ui/Application.h"

#include "collect/DwgCadHost.h"
#include "compare/SystemCompareClock.h"
#include "ui/QtMessages.h"
#include "ui/SoundPlayer.h"
#include "ui/StartClock.h"
#include "ui/frmMain.h"

#include <QApplication>
#include <QFont>

#include <cstdlib>

namespace darv {

int runApplication(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("DARV 2007"));
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
    window.Form_Load();
    return QApplication::exec();
}

} // namespace darv
