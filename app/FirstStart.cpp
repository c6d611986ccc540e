// The data folder at the window's start: the recorded one, or the default one set up afresh.
#include "app/FirstStart.h"

#include "app/Installer.h"
#include "settings/SettingsStore.h"

#include <QDir>
#include <QFileInfo>

namespace darv {

namespace {

QString recordedLocation()
{
    return SettingsStore().get(SettingsStore::Key::InstallLocation).toString();
}

} // namespace

FirstStart prepareDataFolder(const QString& resourceFolder)
{
    FirstStart start;
    const QString recorded = recordedLocation();
    // The system appends "/projects/..." to the stored text, so only an absolute folder can serve.
    if (!recorded.isEmpty() && QDir::isAbsolutePath(recorded) && QFileInfo(recorded).isDir()) {
        start.folder = recorded;
        return start;
    }
    Installer installer(Installer::defaultDataFolder(), resourceFolder);
    start.folder = installer.dataFolder();
    // A recorded default folder that is gone is simply set up again.
    if (QDir::cleanPath(recorded) != start.folder)
        start.recorded = recorded;
    start.hadData = QFileInfo::exists(start.folder + QStringLiteral("/projects"));
    if (!installer.install()) {
        start.outcome = FirstStart::Outcome::Failed;
        start.error = installer.errorText();
        return start;
    }
    start.outcome = FirstStart::Outcome::SetUp;
    return start;
}

MessageIcon FirstStart::icon() const
{
    if (outcome == Outcome::Failed)
        return MessageIcon::Critical;
    return recorded.isEmpty() ? MessageIcon::Information : MessageIcon::Exclamation;
}

std::string FirstStart::message() const
{
    QString text;
    switch (outcome) {
    case Outcome::Ready:
        return {};
    case Outcome::Failed:
        text = QStringLiteral("DARV 2007 cannot set up its data folder in %1.\n%2\n\nDARV 2007 closes now. Make "
                              "room for that folder, or choose another one with darv2007-install --data FOLDER.")
                   .arg(folder, error);
        return text.toStdString();
    case Outcome::SetUp:
        break;
    }
    if (!recorded.isEmpty())
        text = QStringLiteral("The data folder %1 cannot be found.\n\n").arg(recorded);
    text += hadData ? QStringLiteral("DARV 2007 now uses its data folder in %1 again; the projects and reports "
                                     "in it are kept.")
                          .arg(folder)
                    : QStringLiteral("DARV 2007 has set up its data folder in %1. Your projects, their "
                                     "locations and reports are kept there.")
                          .arg(folder);
    if (!recorded.isEmpty())
        text += QStringLiteral("\n\nWhen %1 is back (a drive plugged in again), run darv2007-install --data "
                               "\"%1\" to use it again; nothing in it was changed.")
                    .arg(recorded);
    return text.toStdString();
}

} // namespace darv
