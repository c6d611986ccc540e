// Starts the system: the real services behind the main window, then its start-up.
#pragma once

#include <QString>

namespace darv {

class Messages;
class frmMain;

int runApplication(int argc, char** argv);

// The window's start: sets up the data folder when Install_Location is missing or names no folder
// (resources from resourceFolder, see Installer), runs the main window's start-up and then says once,
// through messages, where it set up the data folder. Returns false when no data folder can be set up:
// the message says why and the window is not opened.
bool openMainWindow(frmMain& window, Messages& messages, const QString& resourceFolder);

} // namespace darv
