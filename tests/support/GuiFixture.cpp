// Shared set-up of the window tests.
#include "GuiFixture.h"

#include <QFileInfo>
#include <QFont>
#include <QSettings>
#include <QUuid>

#include <cstdlib>

namespace darv::test {

namespace {
QString& userRoot()
{
    static QString root;
    return root;
}
} // namespace

void isolateUserFolders()
{
    static QTemporaryDir dir;
    userRoot() = dir.path();
    qputenv("XDG_CONFIG_HOME", (dir.path() + QStringLiteral("/config")).toUtf8());
    qputenv("XDG_DATA_HOME", (dir.path() + QStringLiteral("/data")).toUtf8());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QDir().mkpath(dir.path() + QStringLiteral("/config"));
}

DataFolder::DataFolder()
{
    m_root = userRoot() + QStringLiteral("/DARV-") + QUuid::createUuid().toString(QUuid::Id128);
    for (const char* sub :
         {"projects", "compares", "time conflicts", "handle conflicts", "date conflicts", "resources"})
        QDir().mkpath(m_root + QLatin1Char('/') + QString::fromLatin1(sub));
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("OVT"));
    store.beginGroup(QStringLiteral("DARV2007"));
    store.setValue(QStringLiteral("Install_Location"), m_root);
    store.endGroup();
    store.sync();
}

DataFolder::~DataFolder()
{
    QDir(m_root).removeRecursively();
}

void DataFolder::write(const QString& relative, const QByteArray& bytes) const
{
    const QString path = file(relative);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

std::optional<QByteArray> DataFolder::read(const QString& relative) const
{
    QFile f(file(relative));
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    return f.readAll();
}

std::unique_ptr<MainWindowRun> startMainWindow(bool runStartUp, const std::function<void(MainWindowRun&)>& prepare)
{
    auto run = std::make_unique<MainWindowRun>();
    if (prepare)
        prepare(*run);
    MainServices services;
    services.messages = &run->messages;
    services.clock = &run->clock;
    services.sound = &run->sound;
    services.compareClock = &run->compareClock;
    services.host = &run->host;
    MainWindowRun* raw = run.get();
    services.endApplication = [raw](int status) {
        raw->endStatus = status;
        ++raw->endCalls;
    };
    run->window = std::make_unique<frmMain>(services);
    if (runStartUp)
        run->window->Form_Load();
    return run;
}

void makeFiles(const QString& root, const QStringList& relativePaths)
{
    for (const QString& relative : relativePaths) {
        const QString path = root + QLatin1Char('/') + relative;
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write("x");
    }
}

} // namespace darv::test
