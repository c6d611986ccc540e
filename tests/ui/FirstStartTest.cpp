// The window's first start without a usable Install_Location: it sets up the default data folder itself.
#include "support/GuiFixture.h"

#include "app/Application.h"
#include "app/Installer.h"
#include "projects/window/ProjectsPage.h"

#include <QListWidget>
#include <QSettings>
#include <QTest>

using namespace darv;
using namespace darv::test;

namespace {

QSettings store()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("OVT"));
}

QString recordedLocation()
{
    return store().value(QStringLiteral("DARV2007/Install_Location")).toString();
}

void recordLocation(const QString& folder)
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("OVT"));
    if (folder.isNull())
        settings.remove(QStringLiteral("DARV2007/Install_Location"));
    else
        settings.setValue(QStringLiteral("DARV2007/Install_Location"), folder);
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class FirstStartTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void setsUpTheDefaultFolderAndSaysSoOnce();
    void keepsTheTeachersFilesWhenTheSettingIsLost();
    void leavesARecordedFolderThatIsGoneAlone();
    void stopsWithAReasonWhenNoFolderCanBeSetUp();

private:
    QString m_default;
};

void FirstStartTest::init()
{
    m_default = Installer::defaultDataFolder();
    QDir(m_default).removeRecursively();
    QFile::remove(m_default);
    recordLocation(QString());
}

void FirstStartTest::setsUpTheDefaultFolderAndSaysSoOnce()
{
    auto run = startMainWindow(false);
    QVERIFY(openMainWindow(*run->window, run->messages, QString()));
    QCOMPARE(recordedLocation(), m_default);
    QCOMPARE(QString::fromStdString(run->window->installLoc()), m_default);
    for (const QString& sub : Installer::subFolders())
        QVERIFY2(QFileInfo(m_default + QLatin1Char('/') + sub).isDir(), qPrintable(sub));
    QVERIFY(QFileInfo(m_default + QStringLiteral("/resources/Darv2007.rtf")).isFile());
    // The window's own start-up now writes into the new folder, not below "/".
    QVERIFY(QFileInfo(m_default + QStringLiteral("/projects/projects.fil")).isFile());
    QCOMPARE(run->messages.shown.size(), std::size_t(1));
    QCOMPARE(run->messages.shown[0].icon, MessageIcon::Information);
    QVERIFY(QString::fromStdString(run->messages.shown[0].text).contains(m_default));
    QVERIFY(run->window->isVisible());

    auto again = startMainWindow(false);
    QVERIFY(openMainWindow(*again->window, again->messages, QString()));
    QVERIFY(again->messages.shown.empty());
}

void FirstStartTest::keepsTheTeachersFilesWhenTheSettingIsLost()
{
    const QMap<QString, QByteArray> work = {
        {QStringLiteral("projects/projects.fil"), "\"WEEK3\"\r\n"},
        {QStringLiteral("projects/WEEK3.prj"), "\"+/home/ann/Class A\"\r\n"},
        {QStringLiteral("compares/WEEK3.cmp"), "\"A,1,2,END\"\r\n"},
        {QStringLiteral("time conflicts/WEEK3.tim"), "\"A vs. B\"\r\n"},
        {QStringLiteral("default.fil"), "4\r\n"},
    };
    for (auto it = work.cbegin(); it != work.cend(); ++it)
        writeFile(m_default + QLatin1Char('/') + it.key(), it.value());
    auto run = startMainWindow(false);
    QVERIFY(openMainWindow(*run->window, run->messages, QString()));
    for (auto it = work.cbegin(); it != work.cend(); ++it)
        QCOMPARE(readAll(m_default + QLatin1Char('/') + it.key()), it.value());
    QCOMPARE(run->window->projectsPage()->lstProjects->count(), 1);
    QCOMPARE(run->messages.shown.size(), std::size_t(1));
    QVERIFY(QString::fromStdString(run->messages.shown[0].text).contains(QStringLiteral("kept")));
}

void FirstStartTest::leavesARecordedFolderThatIsGoneAlone()
{
    QTemporaryDir mount;
    const QString gone = mount.filePath(QStringLiteral("USB STICK/DARV2007"));
    recordLocation(gone);
    auto run = startMainWindow(false);
    QVERIFY(openMainWindow(*run->window, run->messages, QString()));
    QCOMPARE(recordedLocation(), m_default);
    QVERIFY(!QFileInfo::exists(gone));
    QCOMPARE(run->messages.shown.size(), std::size_t(1));
    QCOMPARE(run->messages.shown[0].icon, MessageIcon::Exclamation);
    const QString text = QString::fromStdString(run->messages.shown[0].text);
    QVERIFY2(text.contains(gone) && text.contains(m_default), qPrintable(text));
}

void FirstStartTest::stopsWithAReasonWhenNoFolderCanBeSetUp()
{
    writeFile(m_default, "not a folder");
    auto run = startMainWindow(false);
    QVERIFY(!openMainWindow(*run->window, run->messages, QString()));
    QVERIFY(recordedLocation().isEmpty());
    QCOMPARE(readAll(m_default), QByteArray("not a folder"));
    QVERIFY(!run->window->isVisible());
    QCOMPARE(run->messages.shown.size(), std::size_t(1));
    QCOMPARE(run->messages.shown[0].icon, MessageIcon::Critical);
    QVERIFY(QString::fromStdString(run->messages.shown[0].text).contains(m_default));
}

DARV_GUI_TEST_MAIN(FirstStartTest)
#include "FirstStartTest.moc"
