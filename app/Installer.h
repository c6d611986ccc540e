// Installs the system for the current user: the data folder, its resources and Install_Location.
#pragma once

#include <QString>
#include <QStringList>

namespace darv {

// Prepares a data folder with every sub-folder the system uses, writes the resources into its
// "resources" folder and records the folder in the per-user settings store. Running it again over an
// existing data folder refreshes the resources and leaves every other file as it is. The installer
// program and the window's first start both set up a data folder through this class.
class Installer
{
public:
    // resourceFolder holds the resources to write (the installed share/darv2007); a resource that is
    // not there, or an empty resourceFolder, is taken from the copy built into the program.
    explicit Installer(const QString& dataFolder, const QString& resourceFolder = QString());

    // $XDG_DATA_HOME/DARV2007, i.e. ~/.local/share/DARV2007.
    static QString defaultDataFolder();
    // The installed share/darv2007 beside the running program's folder; empty when the program runs
    // from its build folder (it then takes its built-in copies). Needs the Qt application object.
    static QString installedResourceFolder();
    // The sub-folders of a data folder, as the system names them.
    static QStringList subFolders();

    // The absolute data folder path as it is stored in Install_Location (no trailing "/").
    QString dataFolder() const { return m_dataFolder; }

    // Returns false with errorText() set when any step fails; the steps before it stay done.
    bool install();
    QString errorText() const { return m_error; }

private:
    bool makeFolders();
    bool writeResources();
    bool recordLocation();
    bool fail(const QString& text);

    QString m_dataFolder;
    QString m_resourceFolder;
    QString m_error;
};

} // namespace darv
