// The installer on an empty data folder and over one that already holds a teacher's work.
#include "app/Installer.h"
#include "resources/ResourceNames.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

using darv::Installer;

namespace {

// Where the built-in copy of a resource lives, as a Qt path.
QString builtIn(const QString& name)
{
    return QString::fromStdString(darv::builtInResourcePath(name.toStdString()));
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    QCOMPARE(file.write(bytes), bytes.size());
}

QString storedLocation()
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("OVT"));
    return settings.value(QStringLiteral("DARV2007/Install_Location")).toString();
}

} // namespace

class InstallerTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void installsIntoAnEmptyFolder();
    void picturesAndSoundAreUsable();
    void defaultFolderFollowsXdgDataHome();
    void reinstallKeepsProjectsReportsAndSettings();
    void reinstallRefreshesResources();
    void takesTheInstalledResourcesAndTheRestFromTheProgram();
    void storesAnAbsolutePathWithoutTrailingSlash();
    void failsWhenTheFolderIsAFile();
    void failsWhenTheFolderCannotBeCreated();

private:
    QTemporaryDir m_home;
    QString m_data;
};

// The settings store and the data home point into a temporary folder before QSettings is first used,
// so the tests never touch the real store.
void InstallerTest::initTestCase()
{
    QVERIFY(m_home.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.filePath(QStringLiteral("config"))));
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.filePath(QStringLiteral("share"))));
}

void InstallerTest::init()
{
    static int round = 0;
    m_data = m_home.filePath(QStringLiteral("data %1").arg(++round));
}

void InstallerTest::installsIntoAnEmptyFolder()
{
    Installer installer(m_data);
    QVERIFY2(installer.install(), qPrintable(installer.errorText()));
    for (const QString& folder :
         {QStringLiteral("projects"), QStringLiteral("compares"), QStringLiteral("time conflicts"),
          QStringLiteral("handle conflicts"), QStringLiteral("date conflicts"), QStringLiteral("resources")})
        QVERIFY2(QFileInfo(m_data + QLatin1Char('/') + folder).isDir(), qPrintable(folder));
    const auto names = darv::dataFolderResourceNames();
    QCOMPARE(names.size(), std::size_t{8});
    for (const std::string& resource : names) {
        const QString name = QString::fromStdString(resource);
        const QByteArray installed = readAll(m_data + QStringLiteral("/resources/") + name);
        QVERIFY2(!installed.isEmpty(), qPrintable(name));
        QCOMPARE(installed, readAll(builtIn(name)));
    }
    QCOMPARE(storedLocation(), m_data);
    // Installing creates folders and resources only: no settings file and no project list yet.
    QVERIFY(!QFile::exists(m_data + QStringLiteral("/default.fil")));
    QVERIFY(!QFile::exists(m_data + QStringLiteral("/projects/projects.fil")));
}

void InstallerTest::picturesAndSoundAreUsable()
{
    struct Expected
    {
        const char* name;
        QSize size;
    };
    const Expected pictures[] = {
        {"splash.jpg", {640, 480}},        {"banner.png", {225, 29}},   {"icon.png", {64, 64}},
        {"darvlogo.jpg", {90, 75}},        {"darvcheck.jpg", {90, 75}}, {"darvwrong.jpg", {90, 75}},
        {"darvlogo-print.jpg", {375, 300}}};
    for (const Expected& picture : pictures) {
        const QImage image(builtIn(QString::fromLatin1(picture.name)));
        QVERIFY2(!image.isNull(), picture.name);
        QCOMPARE(image.size(), picture.size);
        // A drawn picture, not a flat fill: its corner and its middle differ.
        QVERIFY2(image.pixel(0, 0) != image.pixel(image.width() / 2, image.height() / 2) ||
                     image.pixel(image.width() / 4, image.height() / 4) != image.pixel(0, 0),
                 picture.name);
    }

    const QByteArray wav = readAll(builtIn(QStringLiteral("conflict.wav")));
    QVERIFY(wav.size() > 44);
    QCOMPARE(wav.left(4), QByteArray("RIFF"));
    QCOMPARE(wav.mid(8, 8), QByteArray("WAVEfmt "));
    QCOMPARE(qFromLittleEndian<quint16>(wav.constData() + 20), quint16(1));  // PCM
    QCOMPARE(qFromLittleEndian<quint16>(wav.constData() + 22), quint16(1));  // mono
    QCOMPARE(qFromLittleEndian<quint16>(wav.constData() + 34), quint16(16)); // bits
    const auto rate = qFromLittleEndian<quint32>(wav.constData() + 24);
    const auto dataSize = qFromLittleEndian<quint32>(wav.constData() + 40);
    QCOMPARE(wav.mid(36, 4), QByteArray("data"));
    QCOMPARE(qsizetype(dataSize) + 44, wav.size());
    QCOMPARE(qFromLittleEndian<quint32>(wav.constData() + 4), quint32(wav.size() - 8));
    const double seconds = double(dataSize) / 2.0 / rate;
    QVERIFY2(seconds > 0.3 && seconds < 1.5, qPrintable(QString::number(seconds)));
}

void InstallerTest::defaultFolderFollowsXdgDataHome()
{
    QCOMPARE(Installer::defaultDataFolder(), m_home.filePath(QStringLiteral("share/DARV2007")));
}

void InstallerTest::reinstallKeepsProjectsReportsAndSettings()
{
    QVERIFY(Installer(m_data).install());
    const QMap<QString, QByteArray> work = {
        {QStringLiteral("projects/projects.fil"), "\"WEEK3\"\r\n\"TUTORIAL 3\"\r\n"},
        {QStringLiteral("projects/WEEK3.prj"), "\"+/home/ann/Class A\"\r\n"},
        {QStringLiteral("compares/WEEK3.cmp"), "\"PLATE,2454001.5,2F$30$,END\"\r\n"},
        {QStringLiteral("time conflicts/WEEK3.tim"), "\"No time conflicts!\"\r\n"},
        {QStringLiteral("handle conflicts/WEEK3.hnd"), "\"No entity [LINE] conflicts >= 90% match!\"\r\n"},
        {QStringLiteral("date conflicts/WEEK3.dat"), "\"No DWG date check conflicts!\"\r\n"},
        {QStringLiteral("default.fil"), "9\r\n"},
        {QStringLiteral("warning.fil"), "0\r\n"},
        {QStringLiteral("folders.fil"), "1\r\n"},
    };
    for (auto it = work.cbegin(); it != work.cend(); ++it)
        writeFile(m_data + QLatin1Char('/') + it.key(), it.value());

    Installer again(m_data);
    QVERIFY2(again.install(), qPrintable(again.errorText()));
    for (auto it = work.cbegin(); it != work.cend(); ++it)
        QCOMPARE(readAll(m_data + QLatin1Char('/') + it.key()), it.value());
    QCOMPARE(QDir(m_data + QStringLiteral("/projects")).entryList(QDir::Files).size(), 2);
    QCOMPARE(storedLocation(), m_data);
}

void InstallerTest::reinstallRefreshesResources()
{
    QVERIFY(Installer(m_data).install());
    const QString about = m_data + QStringLiteral("/resources/about.rtf");
    writeFile(about, "damaged");
    QFile::remove(m_data + QStringLiteral("/resources/conflict.wav"));
    QVERIFY(Installer(m_data).install());
    QCOMPARE(readAll(about), readAll(builtIn(QStringLiteral("about.rtf"))));
    QVERIFY(QFile::exists(m_data + QStringLiteral("/resources/conflict.wav")));
}

void InstallerTest::takesTheInstalledResourcesAndTheRestFromTheProgram()
{
    // A program run from its build folder has no installed share/darv2007 beside it.
    QVERIFY(Installer::installedResourceFolder().isEmpty());
    const QString shared = m_home.filePath(QStringLiteral("usr/share/darv2007"));
    QVERIFY(QDir().mkpath(shared));
    writeFile(shared + QStringLiteral("/about.rtf"), "{\\rtf1 installed}");
    QVERIFY(Installer(m_data, shared).install());
    QCOMPARE(readAll(m_data + QStringLiteral("/resources/about.rtf")), QByteArray("{\\rtf1 installed}"));
    QCOMPARE(readAll(m_data + QStringLiteral("/resources/darvlogo.jpg")),
             readAll(builtIn(QStringLiteral("darvlogo.jpg"))));
}

void InstallerTest::storesAnAbsolutePathWithoutTrailingSlash()
{
    QDir::setCurrent(m_home.path());
    Installer installer(QStringLiteral("relative/./data/"));
    QVERIFY(installer.install());
    const QString expected = m_home.filePath(QStringLiteral("relative/data"));
    QCOMPARE(installer.dataFolder(), expected);
    QCOMPARE(storedLocation(), expected);
    QVERIFY(QFileInfo(expected + QStringLiteral("/resources/whatnext.rtf")).isFile());
}

void InstallerTest::failsWhenTheFolderIsAFile()
{
    QVERIFY(Installer(m_data).install());
    const QString before = storedLocation();
    const QString file = m_home.filePath(QStringLiteral("plain file"));
    writeFile(file, "x");
    Installer installer(file);
    QVERIFY(!installer.install());
    QVERIFY(installer.errorText().contains(file));
    QCOMPARE(readAll(file), QByteArray("x"));
    QCOMPARE(storedLocation(), before); // a failed install does not move Install_Location
}

void InstallerTest::failsWhenTheFolderCannotBeCreated()
{
    // A folder below a file can never be made, whoever runs the test.
    const QString file = m_home.filePath(QStringLiteral("blocker"));
    writeFile(file, "x");
    Installer installer(file + QStringLiteral("/DARV2007"));
    QVERIFY(!installer.install());
    QVERIFY(!installer.errorText().isEmpty());
}

QTEST_MAIN(InstallerTest)
#include "InstallerTest.moc"
