// Starts the system: the real services behind the main window, then its start-up.
#pragma once

namespace darv {

int runApplication(int argc, char** argv);

} // namespace darv
