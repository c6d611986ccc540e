// The main window: the tab strip with its four pages, the lower panel and the window-level controls.
// It assembles the pages and passes what the user does on to the handlers of each feature.
#pragma once

#include "drawing/Drawing.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QStatusBar;
class QTabBar;

namespace darv {

class AboutPage;
class CadHost;
class LocationsPage;
class LowerPanel;
class Messages;
class ProjectsPage;
class ReportsPage;
class StartClock;
class CompareClock;
class CompareRun;
class CollectionRun;
class CompareWindowView;
class SoundPlayer;
class HelpWindows;
class PrintSetup;
class ReportViewer;
class SimilarWindow;
struct CompareOptions;

// The selected entry of a single-selection list; null when none is selected.
QListWidgetItem* selectedItem(const QListWidget* list);

struct MainServices
{
    // Reads drawings for the similarity check; empty: the drawing readers themselves.
    std::function<dwg::ReadResult(const std::string&)> similarSource;
    Messages* messages = nullptr;
    StartClock* clock = nullptr;
    CadHost* host = nullptr;
    SoundPlayer* sound = nullptr;
    CompareClock* compareClock = nullptr;
    PrintSetup* printSetup = nullptr; // null: the desktop's printer dialog
    // Ends the whole system at once with the given exit status.
    std::function<void(int)> endApplication;
};

class frmMain : public QWidget
{
    Q_OBJECT
public:
    explicit frmMain(const MainServices& services, QWidget* parent = nullptr);
    ~frmMain() override;

    // The whole start-up: splash, main window, data folder, host, folder browser, lists and options.
    void Form_Load();

    const std::string& installLoc() const { return m_installLoc; }
    QString selectedProject() const;
    bool hasSelectedProject() const;
    // No selected project, or one whose name would name files outside the data folder (a hand-edited
    // project list, then "Invalid project name!" is shown): true, so the caller leaves the files alone.
    bool refuseProject();

    ProjectsPage* projectsPage() const { return m_projects; }
    LocationsPage* locationsPage() const { return m_locations; }
    ReportsPage* reportsPage() const { return m_reports; }
    AboutPage* aboutPage() const { return m_about; }
    LowerPanel* lowerPanel() const { return m_panel; }
    QTabBar* tabBar() const { return m_tabBar; }
    QWidget* tabStrip() const { return m_tabStrip; }
    QLabel* datePanel() const { return m_datePanel; }

    // Handlers, under the names of their controls and events.
    void TabStrip1_Click();
    void cmdExit_Click();
    void txtProject_Change();
    void cmdAddproj_Click();
    void cmdRemproj_Click();
    void lstProjects_Click();
    void cmdAddloc_Click();
    void cmdRemloc_Click();
    // "Import submissions...": asks for a download archive, then imports it.
    void cmdImport_Click();
    // Imports a learning platform's download archive into the selected project's submissions folder,
    // adds that folder as a "+" location and says what was imported, skipped and changed.
    void importSubmissions(const QString& archive);
    void lstLocations_Click();
    void drvMain_Change();
    void cmdJump_Click();
    bool CountDrawings();
    void chkOpt_Click();
    void cmbPercent_Click();
    void cmbEntity_Click();
    void chkLine_Click();
    void chkSub_Click();
    void cmdCompare_Click();
    void cmdCollect_Click();

    // The report options as the panel holds them now.
    CompareOptions currentOptions() const;
    CompareWindowView* compareView() const { return m_compareView.get(); }
    ReportViewer* reportViewer() const { return m_viewer; }
    HelpWindows* helpWindows() const { return m_helpWindows; }
    // The Similar Drawings window; null before its first use.
    SimilarWindow* similarWindow() const { return m_similarWindow; }
    void cmdSimilar_Click();

signals:
    // The Reports tab was selected; the report viewer reloads the chosen report.
    void reportsTabSelected();
    // No project is selected any more (removed, or its selection cleared).
    void projectCleared();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildWindow();
    void connectHandlers();
    void showSplashAndWait();
    void readInstallLoc();
    void loadProjectList();
    void restoreOptions();
    void fillDriveList();
    void setProjectCaptions(const QString& text);
    std::vector<std::string> locationEntries() const;
    void insertLocationSorted(const QString& entry);
    void selectProjectRow(int row);
    void projectUnselected();
    // A "DARV Error" box: what could not be written ("The project list") and "PATH: reason".
    void showWriteFailure(const std::string& what, const std::string& error);
    void setEntityIndex(int index);

    MainServices m_services;
    std::unique_ptr<CompareWindowView> m_compareView;
    std::unique_ptr<CompareRun> m_compareRun;
    std::unique_ptr<CollectionRun> m_collectionRun;
    std::unique_ptr<PrintSetup> m_dialogPrintSetup;
    ReportViewer* m_viewer = nullptr;
    HelpWindows* m_helpWindows = nullptr;
    SimilarWindow* m_similarWindow = nullptr; // a child of this window, made on first use
    std::string m_installLoc;
    bool m_ending = false;
    int m_driveShown = -1; // the drive list's entry whose folder the folder list shows

    QWidget* m_tabStrip = nullptr;
    QTabBar* m_tabBar = nullptr;
    ProjectsPage* m_projects = nullptr;
    LocationsPage* m_locations = nullptr;
    ReportsPage* m_reports = nullptr;
    AboutPage* m_about = nullptr;
    LowerPanel* m_panel = nullptr;
    QPushButton* m_cmdExit = nullptr;
    QPushButton* m_cmdHelp = nullptr;
    QStatusBar* m_statusBar = nullptr;
    QLabel* m_datePanel = nullptr;
};

} // namespace darv
