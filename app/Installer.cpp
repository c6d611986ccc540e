// Installs the system for the current user: the data folder, its resources and Install_Location.
#include "app/Installer.h"

#include "app/BuildInfo.h"
#include "resources/ResourceNames.h"
#include "settings/SettingsStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace darv {

namespace {

// Absolute, with "." and ".." resolved and no trailing "/": the system appends "/projects/..." to it.
QString storedForm(const QString& folder)
{
    QString path = QDir::cleanPath(QDir(folder).absolutePath());
    while (path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

} // namespace

Installer::Installer(const QString& dataFolder, const QString& resourceFolder)
    : m_dataFolder(storedForm(dataFolder)), m_resourceFolder(resourceFolder)
{}

QString Installer::defaultDataFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/DARV2007");
}

QString Installer::installedResourceFolder()
{
    const QString folder = QDir::cleanPath(QCoreApplication::applicationDirPath() + QLatin1Char('/') +
                                           QString::fromUtf8(kResourcesFromPrograms));
    return QFileInfo(folder).isDir() ? folder : QString();
}

QStringList Installer::subFolders()
{
    return {QStringLiteral("projects"),         QStringLiteral("compares"),       QStringLiteral("time conflicts"),
            QStringLiteral("handle conflicts"), QStringLiteral("date conflicts"), QStringLiteral("resources")};
}

bool Installer::install()
{
    m_error.clear();
    // The root folder would be stored as an empty Install_Location, which means "not installed".
    if (m_dataFolder.isEmpty())
        return fail(QStringLiteral("The data folder cannot be the root folder \"/\"."));
    return makeFolders() && writeResources() && recordLocation();
}

bool Installer::makeFolders()
{
    const QFileInfo base(m_dataFolder);
    if (base.exists() && !base.isDir())
        return fail(QStringLiteral("\"%1\" exists and is not a folder.").arg(m_dataFolder));
    for (const QString& name : subFolders()) {
        const QString path = m_dataFolder + QLatin1Char('/') + name;
        const QFileInfo info(path);
        if (info.exists() && !info.isDir())
            return fail(QStringLiteral("\"%1\" exists and is not a folder.").arg(path));
        if (!QDir().mkpath(path))
            return fail(QStringLiteral("The folder \"%1\" cannot be created.").arg(path));
    }
    return true;
}

// Each resource is written to a temporary file and renamed over the old one, so that an interrupted
// install never leaves a cut-off picture or text behind.
bool Installer::writeResources()
{
    const QString folder = m_dataFolder + QStringLiteral("/resources/");
    for (const std::string& resource : dataFolderResourceNames()) {
        const QString name = QString::fromStdString(resource);
        const QString installed = m_resourceFolder + QLatin1Char('/') + name;
        const bool useInstalled = !m_resourceFolder.isEmpty() && QFileInfo(installed).isFile();
        QFile source(useInstalled ? installed : QString::fromStdString(builtInResourcePath(resource)));
        if (!source.open(QIODevice::ReadOnly))
            return fail(QStringLiteral("The resource \"%1\" cannot be read.").arg(source.fileName()));
        const QByteArray bytes = source.readAll();
        QSaveFile target(folder + name);
        if (!target.open(QIODevice::WriteOnly) || target.write(bytes) != bytes.size() || !target.commit())
            return fail(QStringLiteral("\"%1\" cannot be written: %2").arg(folder + name, target.errorString()));
    }
    return true;
}

bool Installer::recordLocation()
{
    SettingsStore settings;
    if (!settings.set(SettingsStore::Key::InstallLocation, m_dataFolder))
        return fail(QStringLiteral("The settings store \"%1\" cannot be written.").arg(settings.fileName()));
    return true;
}

bool Installer::fail(const QString& text)
{
    m_error = text;
    return false;
}

} // namespace darv
