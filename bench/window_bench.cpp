// Recompare in the main window against the checks alone, on 1,000 drawings x 2,000 LINE handles: the
// window may add at most a fifth to the time, since it repaints at a rate a person can see.
#include "BenchSupport.h"
#include "GeneratedClass.h"

#include "base/Messages.h"
#include "collect/window/CompareWindowView.h"
#include "collect/window/LowerPanel.h"
#include "compare/CompareRun.h"
#include "compare/SystemCompareClock.h"
#include "projects/window/ProjectsPage.h"
#include "ui/frmMain.h"
#include "widgets/ListChoiceComboBox.h"
#include "widgets/SoundPlayer.h"
#include "widgets/StartClock.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QSettings>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

using namespace darv;

namespace {

class SilentMessages : public Messages
{
public:
    void show(MessageIcon, const std::string&, const std::string&) override {}
};

class QuickClock : public StartClock
{
public:
    QTime currentTime() override
    {
        m_now = m_now.addSecs(1);
        return m_now;
    }

private:
    QTime m_now{10, 0, 0};
};

class NoSound : public SoundPlayer
{
public:
    bool play(const QString&) override { return false; }
};

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    const std::string folder = (home.path() + QStringLiteral("/data")).toStdString();
    writeDataFolder(folder, makeClass(1000, 2000, 42));
    {
        QSettings store(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("OVT"));
        store.setValue(QStringLiteral("DARV2007/Install_Location"), QString::fromStdString(folder));
    }
    std::FILE* list = std::fopen((folder + "/projects/projects.fil").c_str(), "wb");
    std::fputs("\"BENCH\"\r\n", list);
    std::fclose(list);

    const CompareOptions options = allChecks();

    NullView nullView;
    SystemCompareClock clock;
    CompareRun alone(nullView, clock);
    const double checks = medianSeconds(3, [&] {
        alone.resetPanel(folder);
        alone.runCompare(folder, "BENCH", 1000, options);
    });

    SilentMessages messages;
    QuickClock startClock;
    NoSound sound;
    MainServices services;
    services.messages = &messages;
    services.clock = &startClock;
    services.sound = &sound;
    services.compareClock = &clock;
    frmMain window(services);
    window.Form_Load();
    window.lowerPanel()->cmbEntity->setCurrentIndex(9);
    window.lowerPanel()->chkOpt[2]->setChecked(true);
    window.lowerPanel()->cmbPercent->setEditText(QStringLiteral("90"));
    window.lowerPanel()->cmbdate->setEditText(QStringLiteral("1 year"));
    window.projectsPage()->lstProjects->setCurrentRow(0);
    const std::int64_t repaintsBefore = window.compareView()->repaints();
    const double inWindow = medianSeconds(3, [&] { window.cmdCompare_Click(); });
    const std::int64_t repaints = (window.compareView()->repaints() - repaintsBefore) / 3;

    std::printf("checks alone (run with a null view): %.3f s\n", checks);
    std::printf("Recompare in the window:             %.3f s (%lld repaints of status and time per run)\n", inWindow,
                static_cast<long long>(repaints));
    std::printf("window / checks alone: %.2f (goal at most 1.2)\n", inWindow / checks);
    return 0;
}
