// The main window: construction, the tab strip, start-up and shutdown.
#include "ui/frmMain.h"

#include "base/DataFolder.h"
#include "base/Messages.h"
#include "base/NameBytes.h"
#include "collect/CadHost.h"
#include "collect/CollectionRun.h"
#include "collect/window/CompareWindowView.h"
#include "collect/window/LowerPanel.h"
#include "compare/CompareRun.h"
#include "projects/ProjectName.h"
#include "projects/QuotedLinesFile.h"
#include "projects/window/LocationsPage.h"
#include "projects/window/ProjectsPage.h"
#include "reports/window/DialogPrintSetup.h"
#include "reports/window/ReportViewer.h"
#include "reports/window/ReportsPage.h"
#include "settings/SettingsFiles.h"
#include "settings/SettingsStore.h"
#include "similar/window/SimilarWindow.h"
#include "ui/AboutPage.h"
#include "ui/HelpWindow.h"
#include "ui/HelpWindows.h"
#include "ui/RtfReader.h"
#include "ui/WhatNextWindow.h"
#include "widgets/CheckValue.h"
#include "widgets/Layout.h"
#include "widgets/ListChoiceComboBox.h"
#include "widgets/NameText.h"
#include "widgets/ScreenPlacement.h"
#include "widgets/StartClock.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabBar>
#include <QTextEdit>

namespace darv {

namespace {
constexpr int kClientWidth = 506;
constexpr int kClientHeight = 561;
constexpr int kStripShort = 209;
constexpr int kStripTall = 480;

// In the middle of the screen's available area; a window that cannot fit there (the fixed main window on a
// small or scaled screen) at its top left, so that its title bar and first controls stay reachable.
void centre(QWidget* window)
{
    placeOnScreen(window, true);
}
} // namespace

frmMain::frmMain(const MainServices& services, QWidget* parent) : QWidget(parent), m_services(services)
{
    buildWindow();
    connectHandlers();
    m_compareView = std::make_unique<CompareWindowView>(m_panel, *m_services.messages, *m_services.sound, [this] {
        m_ending = true;
        if (m_services.endApplication)
            m_services.endApplication(1);
    });
    m_compareRun = std::make_unique<CompareRun>(*m_compareView, *m_services.compareClock);
    if (m_services.host) {
        m_collectionRun = std::make_unique<CollectionRun>(
            *m_compareView, *m_compareRun, *m_services.host, [](const std::string& name) {
                return upperCaseName(
                    name, [](const std::string& text) { return QString::fromStdString(text).toUpper().toStdString(); });
            });
    }
}

frmMain::~frmMain() = default;

void frmMain::buildWindow()
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(tr("Darv Main Control Centre - 2007"));
    setWindowIcon(QIcon(QStringLiteral(":/darv/icon.png")));
    QFont windowFont(QStringLiteral("MS Sans Serif"));
    windowFont.setPointSizeF(8.25);
    setFont(windowFont);
    setFixedSize(kClientWidth, kClientHeight);
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    // Never seen: it lies under the tab strip.
    auto* lblDrvDir = place(new QLabel(tr("Drives and Directories"), this), "lblDrvDir", 312, 8, 145, 17);
    lblDrvDir->setFont(arialFont(8.25, true));

    m_panel = place(new LowerPanel(this), "frmMainHolder", 8, 224, 489, 265);

    m_tabStrip = place(new QFrame(this), "TabStrip1", 8, 8, 489, kStripShort);
    static_cast<QFrame*>(m_tabStrip)->setFrameShape(QFrame::StyledPanel);
    m_tabStrip->setAutoFillBackground(true);
    m_tabBar = new QTabBar(m_tabStrip);
    m_tabBar->setObjectName(QStringLiteral("TabStrip1Tabs"));
    QFont tabFont(QStringLiteral("MS Sans Serif"));
    tabFont.setPointSizeF(8.25);
    tabFont.setBold(true);
    m_tabBar->setFont(tabFont);
    for (const QString& name : {tr("Projects"), tr("Locations"), tr("Reports"), tr("About")}) {
        const int index = m_tabBar->addTab(name);
        m_tabBar->setTabToolTip(index, name);
    }
    m_tabBar->move(2, 2);
    m_tabBar->adjustSize();

    m_projects = place(new ProjectsPage(this), "frmProjects", 24, 32, 457, 177);
    m_locations = place(new LocationsPage(this), "frmLocations", 24, 32, 457, 177);
    m_reports = place(new ReportsPage(this), "frmReports", 24, 32, 457, 441);
    m_about = place(new AboutPage(this), "frmAbout", 24, 40, 457, 161);
    m_locations->hide();
    m_reports->hide();
    m_about->hide();

    m_cmdExit = place(new QPushButton(tr("Exit"), this), "cmdExit", 136, 496, 105, 25);
    m_cmdHelp = place(new QPushButton(tr("Help"), this), "cmdHelp", 256, 496, 105, 25);
    auto* lblOVT1 = place(new QLabel(tr("DARV 2007 for Linux - the DARV team"), this), "lblOVT1", 8, 528, 209, 17);
    auto* lblOVT3 = place(new QLabel(tr("darv@example.org"), this), "lblOVT3", 224, 528, 121, 17);
    auto* lblOVT2 = place(new QLabel(tr("www.example.org/darv"), this), "lblOVT2", 360, 528, 137, 17);
    lblOVT3->setAlignment(Qt::AlignCenter);
    lblOVT2->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    for (QLabel* credit : {lblOVT1, lblOVT2, lblOVT3})
        credit->setFont(arialFont(8.25));

    m_statusBar = place(new QStatusBar(this), "StatusBar1", 0, 544, kClientWidth, 17);
    m_statusBar->setSizeGripEnabled(false);
    m_datePanel = new QLabel(m_statusBar);
    m_datePanel->setObjectName(QStringLiteral("StatusBar1Date"));
    m_datePanel->setFixedWidth(250);
    m_datePanel->setToolTip(tr("Time and Date"));
    m_statusBar->addWidget(m_datePanel);

    m_panel->Picture1->setPixmap(QPixmap(QStringLiteral(":/darv/darvlogo.jpg")));
}

void frmMain::connectHandlers()
{
    // The page follows the current tab however it changes: a click, the wheel, the arrow keys.
    connect(m_tabBar, &QTabBar::currentChanged, this, [this](int index) {
        if (index >= 0)
            TabStrip1_Click();
    });
    connect(m_cmdExit, &QPushButton::clicked, this, &frmMain::cmdExit_Click);

    connect(m_projects->txtProject, &QLineEdit::textChanged, this, &frmMain::txtProject_Change);
    connect(m_projects->cmdAddproj, &QPushButton::clicked, this, &frmMain::cmdAddproj_Click);
    connect(m_projects->cmdRemproj, &QPushButton::clicked, this, &frmMain::cmdRemproj_Click);
    // A selection, not a current row: the current row moves before the clicked entry is selected.
    connect(m_projects->lstProjects, &QListWidget::itemSelectionChanged, this, [this] {
        if (hasSelectedProject())
            lstProjects_Click();
        else
            projectUnselected();
    });

    connect(m_locations->cmdAddloc, &QPushButton::clicked, this, &frmMain::cmdAddloc_Click);
    connect(m_locations->cmdRemloc, &QPushButton::clicked, this, &frmMain::cmdRemloc_Click);
    connect(m_locations->cmdJump, &QPushButton::clicked, this, &frmMain::cmdJump_Click);
    connect(m_locations->cmdImport, &QPushButton::clicked, this, &frmMain::cmdImport_Click);
    connect(m_locations->lstLocations, &QListWidget::itemClicked, this, &frmMain::lstLocations_Click);
    connect(m_locations->lstLocations, &QListWidget::itemSelectionChanged, this, [this] {
        if (selectedItem(m_locations->lstLocations))
            lstLocations_Click();
    });
    // Choosing the drive that is already shown is no change.
    connect(m_locations->drvMain, &QComboBox::activated, this, [this](int index) {
        if (index != m_driveShown)
            drvMain_Change();
    });
    connect(m_locations->chkSub0, &QCheckBox::stateChanged, this, &frmMain::chkSub_Click);

    for (QCheckBox* box : m_panel->chkOpt)
        connect(box, &QCheckBox::stateChanged, this, &frmMain::chkOpt_Click);
    // Only a choice from their lists raises these two; typed text does not.
    connect(m_panel->cmbPercent, &ListChoiceComboBox::chosen, this, &frmMain::cmbPercent_Click);
    connect(m_panel->cmbEntity, &ListChoiceComboBox::chosen, this, &frmMain::cmbEntity_Click);
    connect(m_panel->chkLine0, &QCheckBox::stateChanged, this, &frmMain::chkLine_Click);
    connect(m_panel->cmdCompare, &QPushButton::clicked, this, &frmMain::cmdCompare_Click);
    connect(m_panel->cmdCollect, &QPushButton::clicked, this, &frmMain::cmdCollect_Click);

    if (!m_services.printSetup) {
        m_dialogPrintSetup = std::make_unique<DialogPrintSetup>();
        m_services.printSetup = m_dialogPrintSetup.get();
    }
    m_viewer = new ReportViewer(
        m_reports, [this] { return selectedProject(); }, [this] { return m_installLoc; }, *m_services.printSetup, this);
    connect(this, &frmMain::reportsTabSelected, m_viewer, &ReportViewer::ShowSelectedReport);
    // Without a project the report view empties and Print goes off.
    connect(this, &frmMain::projectCleared, m_viewer, &ReportViewer::ShowSelectedReport);
    m_helpWindows = new HelpWindows(
        this, [this] { return m_installLoc; }, *m_services.messages);
    connect(m_cmdHelp, &QPushButton::clicked, m_helpWindows, &HelpWindows::cmdHelp_Click);
    connect(m_reports->cmdWhatnext, &QPushButton::clicked, m_helpWindows, &HelpWindows::cmdWhatnext_Click);
    connect(m_reports->cmdSimilar, &QPushButton::clicked, this, &frmMain::cmdSimilar_Click);
}

QListWidgetItem* selectedItem(const QListWidget* list)
{
    const QList<QListWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

QString frmMain::selectedProject() const
{
    const QListWidgetItem* item = selectedItem(m_projects->lstProjects);
    return item ? item->text() : QString();
}

bool frmMain::hasSelectedProject() const
{
    return selectedItem(m_projects->lstProjects) != nullptr;
}

void frmMain::Form_Load()
{
    showSplashAndWait();
    centre(this);
    show();
    readInstallLoc();
    m_datePanel->setText(QLocale().toString(QDate::currentDate(), QStringLiteral("dddd, MMMM d yyyy")));
    // From here on every step goes on when it fails.
    if (m_services.host)
        m_services.host->attach();
    fillDriveList();
    m_locations->drvMain->setCurrentIndex(0);
    drvMain_Change();
    setEntityIndex(0);
    m_projects->cmdAddproj->setEnabled(false);
    loadProjectList();
    restoreOptions();
}

void frmMain::showSplashAndWait()
{
    auto* splash = new QLabel(nullptr, Qt::FramelessWindowHint | Qt::SplashScreen);
    splash->setObjectName(QStringLiteral("frmsplash"));
    splash->setFixedSize(639, 479);
    splash->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    splash->setPixmap(QPixmap(QStringLiteral(":/darv/splash.jpg")));
    centre(splash);
    splash->show();
    splash->repaint();
    if (m_services.clock)
        waitTwoClockSeconds(*m_services.clock);
    splash->hide();
    delete splash;
}

void frmMain::readInstallLoc()
{
    m_installLoc = SettingsStore().get(SettingsStore::Key::InstallLocation).toString().toStdString();
}

void frmMain::loadProjectList()
{
    const std::string path = projectListPath(m_installLoc);
    const auto lines = readLines(path);
    if (!lines) {
        ensureFileExists(path);
        return;
    }
    QSignalBlocker block(m_projects->lstProjects);
    for (const std::string& line : *lines) {
        if (line.size() >= 2)
            m_projects->lstProjects->addItem(nameText(line.substr(1, line.size() - 2)));
    }
}

void frmMain::restoreOptions()
{
    // An empty settings file counts as absent: the default value is used.
    const SettingValue entity = readSettingFile(defaultFilePath(m_installLoc));
    long long entityValue = kDefaultEntityIndex;
    bool entityUsable = true;
    if (entity.kind == SettingRead::Number)
        entityValue = entity.value;
    else if (entity.kind == SettingRead::NotANumber)
        entityUsable = false;
    if (entityUsable && entityValue >= -1 && entityValue < static_cast<long long>(kEntityTypes.size()))
        setEntityIndex(static_cast<int>(entityValue));

    auto restoreBox = [](QCheckBox* box, const SettingValue& saved) {
        if (saved.kind == SettingRead::Number)
            setCheckValue(box, saved.value);
        else if (saved.kind != SettingRead::NotANumber)
            setCheckValue(box, 1);
    };
    restoreBox(m_panel->chkLine0, readSettingFile(warningFilePath(m_installLoc)));
    restoreBox(m_locations->chkSub0, readSettingFile(foldersFilePath(m_installLoc)));
}

void frmMain::setEntityIndex(int index)
{
    // A change made by the system raises the list's handler as a choice would.
    if (m_panel->cmbEntity->currentIndex() == index)
        return;
    m_panel->cmbEntity->setCurrentIndex(index);
    cmbEntity_Click();
}

void frmMain::TabStrip1_Click()
{
    const int index = m_tabBar->currentIndex();
    QWidget* pages[4] = {m_projects, m_locations, m_reports, m_about};
    const int shown = (index >= 0 && index < 3) ? index : 3;
    for (int i = 0; i < 4; ++i)
        pages[i]->setVisible(i == shown);
    m_tabStrip->resize(m_tabStrip->width(), shown == 2 ? kStripTall : kStripShort);
    // The tall strip covers the lower panel, which then cannot be reached.
    m_panel->setVisible(shown != 2);
    if (shown == 2) {
        emit reportsTabSelected();
    } else if (shown == 3) {
        loadRichText(m_about->RichTextBox2->document(),
                     QString::fromStdString(resourcePath(m_installLoc, "about.rtf")));
    }
    for (QWidget* page : pages)
        page->raise();
}

void frmMain::cmdSimilar_Click()
{
    if (refuseProject())
        return;
    // Made on first use and kept, like the help windows; it belongs to the main window and closes with it.
    if (!m_similarWindow) {
        m_similarWindow = m_services.similarSource
                              ? new SimilarWindow([this] { return m_installLoc; }, *m_services.messages,
                                                  m_services.similarSource, this)
                              : new SimilarWindow([this] { return m_installLoc; }, *m_services.messages,
                                                  similar::readForSimilarity, this);
    }
    const std::string project = nameBytes(selectedProject());
    std::vector<std::string> others;
    for (int i = 0; i < m_projects->lstProjects->count(); ++i) {
        const std::string name = nameBytes(m_projects->lstProjects->item(i)->text());
        if (name != project && !isUnsafeProjectName(name))
            others.push_back(name);
    }
    m_similarWindow->openFor(project, others);
}

void frmMain::cmdExit_Click()
{
    if (const FileWrite written = writeSettingFile(defaultFilePath(m_installLoc), m_panel->cmbEntity->currentIndex());
        !written)
        showWriteFailure("The entity choice", written.error().text); // the system still ends, as the user asked
    m_ending = true;
    if (m_services.endApplication)
        m_services.endApplication(0);
}

void frmMain::closeEvent(QCloseEvent* event)
{
    event->accept();
    if (!m_ending && m_services.endApplication) {
        m_ending = true;
        m_services.endApplication(0);
    }
}

} // namespace darv
