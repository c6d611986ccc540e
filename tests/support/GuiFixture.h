// Shared set-up of the window tests: a temporary data folder registered in a temporary settings
// store, recorded message boxes, a clock that steps, and a main window started as a user starts it.
#pragma once

#include "FakeCadHost.h"
#include "RecordingMessages.h"
#include "collect/CadHost.h"
#include "compare/CompareClock.h"
#include "ui/frmMain.h"
#include "widgets/SoundPlayer.h"
#include "widgets/StartClock.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace darv::test {

// Each reading of the clock is one second later than the one before.
class SteppingClock : public StartClock
{
public:
    explicit SteppingClock(QTime start = QTime(10, 0, 0), int stepMs = 1000) : m_now(start), m_step(stepMs) {}
    QTime currentTime() override
    {
        const QTime now = m_now;
        m_now = m_now.addMSecs(m_step);
        ++reads;
        return now;
    }
    int reads = 0;

private:
    QTime m_now;
    int m_step;
};

// Points XDG_CONFIG_HOME and XDG_DATA_HOME at one temporary folder for the whole test program. Call
// before the QApplication exists (QTEST_MAIN: in the test class constructor is too late; use
// DARV_GUI_TEST_MAIN below).
void isolateUserFolders();

// A fresh data folder with all its sub-folders, registered as Install_Location.
class DataFolder
{
public:
    DataFolder();
    ~DataFolder();
    QString path() const { return m_root; }
    std::string str() const { return m_root.toStdString(); }
    QString file(const QString& relative) const { return m_root + QLatin1Char('/') + relative; }
    void write(const QString& relative, const QByteArray& bytes) const;
    std::optional<QByteArray> read(const QString& relative) const;
    bool exists(const QString& relative) const { return QFile::exists(file(relative)); }

private:
    QString m_root;
};

// Records the sounds that would have started; "starts" tells whether a device is there.
class RecordingSound : public SoundPlayer
{
public:
    bool play(const QString& wavPath) override
    {
        played << wavPath;
        return starts;
    }
    QStringList played;
    bool starts = false;
};

// A comparison clock standing still at a chosen moment and month.
class FixedCompareClock : public CompareClock
{
public:
    std::int64_t nowSeconds() override { return seconds; }
    YearMonth today() override { return month; }
    std::int64_t seconds = 1'000'000'000;
    YearMonth month{2007, 9};
};

struct MainWindowRun
{
    RecordingMessages messages;
    SteppingClock clock;
    RecordingSound sound;
    FixedCompareClock compareClock;
    FakeCadHost host;
    std::unique_ptr<frmMain> window;
    int endStatus = -1;
    int endCalls = 0;
};

// A main window over the data folder; start() runs the whole start-up.
std::unique_ptr<MainWindowRun> startMainWindow(bool runStartUp = true,
                                               const std::function<void(MainWindowRun&)>& prepare = {});

// A folder for drawings with the given files (relative paths; folders are made as needed).
void makeFiles(const QString& root, const QStringList& relativePaths);

} // namespace darv::test

#define DARV_GUI_TEST_MAIN(TestClass)                                                                                  \
    int main(int argc, char** argv)                                                                                    \
    {                                                                                                                  \
        darv::test::isolateUserFolders();                                                                              \
        QApplication app(argc, argv);                                                                                  \
        TestClass test;                                                                                                \
        return QTest::qExec(&test, argc, argv);                                                                        \
    }
