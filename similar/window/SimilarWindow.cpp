// The Similar Drawings window: its layout, the options of the check and the run.
#include "similar/window/SimilarWindow.h"

#include "base/DataFolder.h"
#include "base/Messages.h"
#include "settings/SettingsStore.h"
#include "similar/EvidenceStore.h"
#include "similar/Postgres.h"
#include "similar/window/DrawingPairView.h"
#include "similar/window/SimilarRunner.h"
#include "widgets/NameText.h"
#include "widgets/ScreenPlacement.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QSpinBox>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <filesystem>

namespace darv {

namespace {

// The window's size lives in the per-user settings store, in a group of its own.
QByteArray savedGeometry()
{
    return SettingsStore().get(SettingsStore::Key::SimilarWindowGeometry).toByteArray();
}

} // namespace

SimilarWindow::SimilarWindow(std::function<std::string()> installLoc, Messages& messages, similar::DrawingSource source,
                             QWidget* parent)
    : QWidget(parent, Qt::Window), m_installLoc(std::move(installLoc)), m_messages(messages),
      m_dialogFolder(QDir::homePath())
{
    setObjectName(QStringLiteral("frmSimilar"));
    m_runner = new SimilarRunner(std::move(source), this);
    connect(m_runner, &SimilarRunner::progress, this, [this](const similar::SimilarProgress& step) {
        m_progress->setRange(0, static_cast<int>(step.count));
        m_progress->setValue(static_cast<int>(step.index + 1));
        m_status->setText(tr("Reading %1").arg(QString::fromStdString(step.shownName)));
    });
    connect(m_runner, &SimilarRunner::finished, this, &SimilarWindow::runEnded);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildOptions());

    auto* progressRow = new QHBoxLayout;
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("progress"));
    m_progress->setValue(0);
    m_progress->setToolTip(tr("The drawings read so far"));
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("status"));
    m_status->setWordWrap(true);
    m_cancel = new QPushButton(tr("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("cmdCancel"));
    m_cancel->setToolTip(tr("Stop the check between two drawings; nothing is compared"));
    m_cancel->setEnabled(false);
    progressRow->addWidget(m_progress, 1);
    progressRow->addWidget(m_status, 3);
    progressRow->addWidget(m_cancel);
    layout->addLayout(progressRow);

    auto* middle = new QSplitter(Qt::Horizontal, this);
    auto* left = new QWidget(middle);
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    m_hideNotCopy = new QCheckBox(tr("Hide pairs marked not a copy"), left);
    m_hideNotCopy->setObjectName(QStringLiteral("hideNotCopy"));
    m_hideNotCopy->setToolTip(tr("Leave the pairs you marked \"not a copy\" out of the list"));
    m_pairs = new QTableWidget(0, kPairColumns, left);
    m_pairs->setObjectName(QStringLiteral("pairList"));
    m_pairs->setHorizontalHeaderLabels(
        {tr("Drawing A"), tr("Drawing B"), tr("Score"), tr("Strongest signal"), tr("Mark")});
    m_pairs->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pairs->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pairs->setTextElideMode(Qt::ElideRight); // the student stays readable; the whole path is the tooltip
    m_pairs->setContextMenuPolicy(Qt::CustomContextMenu);
    m_pairs->setToolTip(tr("The pairs from the threshold up, in cases of two students, strongest first. Right "
                           "click for marks, folders and paths."));
    m_pairs->verticalHeader()->hide();
    m_pairs->setWordWrap(false);
    m_pairs->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_pairs->viewport()->installEventFilter(this);
    leftLayout->addWidget(m_hideNotCopy);
    leftLayout->addWidget(m_pairs, 1);

    auto* right = new QWidget(middle);
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    auto* viewRow = new QHBoxLayout;
    auto* fit = new QPushButton(tr("Fit"), right);
    fit->setObjectName(QStringLiteral("cmdFit"));
    fit->setToolTip(tr("Show both drawings whole (0 in a view)"));
    m_legend = new QLabel(tr("<span style=\"color:#c80000\">&#9632;</span> shared with the other drawing &nbsp; "
                             "<span style=\"color:#787878\">&#9632;</span> its own &nbsp; "
                             "<span style=\"color:#c8c8c8\">&#9632;</span> from the template"),
                          right);
    m_legend->setObjectName(QStringLiteral("legend"));
    m_legend->setWordWrap(true);
    m_legend->setToolTip(tr("Red: found in both drawings; grey: only in this one; faint: part of the template"));
    viewRow->addWidget(fit);
    viewRow->addWidget(m_legend, 1);
    m_view = new DrawingPairView(right);
    m_view->setObjectName(QStringLiteral("drawings"));
    m_pictureNote = new QLabel(right);
    m_pictureNote->setObjectName(QStringLiteral("pictureNote"));
    m_pictureNote->setWordWrap(true);
    m_pictureNote->hide();
    rightLayout->addLayout(viewRow);
    rightLayout->addWidget(m_view, 1);
    rightLayout->addWidget(m_pictureNote);
    middle->addWidget(left);
    middle->addWidget(right);
    middle->setStretchFactor(0, 2);
    middle->setStretchFactor(1, 3);
    middle->setSizes({580, 520});

    auto* parts = new QSplitter(Qt::Vertical, this);
    parts->setChildrenCollapsible(false);
    parts->addWidget(buildClassView());
    parts->addWidget(middle);
    parts->addWidget(buildEvidence());
    // A short window (a small or scaled screen) gives the pair list and the drawings most of its height.
    parts->setStretchFactor(0, 1);
    parts->setStretchFactor(1, 4);
    parts->setStretchFactor(2, 1);
    parts->setSizes({120, 420, 150});
    layout->addWidget(parts, 1);

    auto* buttons = new QHBoxLayout;
    auto* print = new QPushButton(tr("Print..."), this);
    print->setObjectName(QStringLiteral("cmdPrint"));
    print->setToolTip(tr("Print a summary of the class and one sheet per selected pair"));
    auto* pdf = new QPushButton(tr("Save PDF..."), this);
    pdf->setObjectName(QStringLiteral("cmdSavePdf"));
    pdf->setToolTip(tr("Save a summary of the class and one sheet per selected pair as a PDF file"));
    auto* close = new QPushButton(tr("Close"), this);
    close->setObjectName(QStringLiteral("cmdClose"));
    close->setToolTip(tr("Close the window (Esc); a check goes on and its result is here when it opens again"));
    buttons->addStretch();
    buttons->addWidget(print);
    buttons->addWidget(pdf);
    buttons->addWidget(close);
    layout->addLayout(buttons);

    connect(m_compare, &QPushButton::clicked, this, [this] { compare(); });
    connect(m_cancel, &QPushButton::clicked, this, &SimilarWindow::cancel);
    connect(fit, &QPushButton::clicked, m_view, &DrawingPairView::fit);
    connect(print, &QPushButton::clicked, this, &SimilarWindow::printSheets);
    connect(pdf, &QPushButton::clicked, this, &SimilarWindow::saveSheets);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, &QWidget::close);
    connect(m_hideNotCopy, &QCheckBox::toggled, this, &SimilarWindow::filterPairs);
    connect(m_pairs, &QTableWidget::customContextMenuRequested, this, &SimilarWindow::showPairContextMenu);
    // The sheets are those of the selected pairs: without a selection there is nothing to print.
    print->setEnabled(false);
    pdf->setEnabled(false);
    connect(m_pairs, &QTableWidget::itemSelectionChanged, this, [this, print, pdf] {
        const QList<QTableWidgetItem*> selected = m_pairs->selectedItems();
        print->setEnabled(!selected.isEmpty());
        pdf->setEnabled(!selected.isEmpty());
        if (!selected.isEmpty())
            showPair(selected.first()->row());
    });

    const QByteArray geometry = savedGeometry();
    if (geometry.isEmpty() || !restoreGeometry(geometry))
        resize(1100, 760);
    // A size remembered on a larger screen, or at a smaller scale, is kept within this one.
    fitToScreen(this);
}

SimilarWindow::~SimilarWindow() = default;

QWidget* SimilarWindow::buildOptions()
{
    auto* options = new QWidget(this);
    auto* grid = new QGridLayout(options);
    grid->setContentsMargins(0, 0, 0, 0);
    m_templates = new QListWidget(options);
    m_templates->setObjectName(QStringLiteral("templates"));
    m_templates->setMaximumHeight(70);
    auto* addTemplate = new QPushButton(tr("Add..."), options);
    addTemplate->setObjectName(QStringLiteral("cmdAddTemplate"));
    auto* removeTemplate = new QPushButton(tr("Remove"), options);
    removeTemplate->setObjectName(QStringLiteral("cmdRemoveTemplate"));
    m_earlier = new QListWidget(options);
    m_earlier->setObjectName(QStringLiteral("earlierProjects"));
    m_earlier->setMaximumHeight(70);
    m_threshold = new QSpinBox(options);
    m_threshold->setObjectName(QStringLiteral("threshold"));
    m_threshold->setRange(0, 100);
    m_threshold->setValue(50);
    m_threshold->setSuffix(QStringLiteral(" %"));
    m_share = new QSpinBox(options);
    m_share->setObjectName(QStringLiteral("commonShare"));
    m_share->setRange(1, 100);
    m_share->setValue(25);
    m_share->setSuffix(QStringLiteral(" %"));
    m_compare = new QPushButton(tr("Compare"), options);
    m_compare->setObjectName(QStringLiteral("cmdCompare"));
    m_templates->setToolTip(tr("Drawings every student was given to start from: what they hold is no evidence"));
    addTemplate->setToolTip(tr("Choose template drawings"));
    removeTemplate->setToolTip(tr("Forget the chosen template drawing"));
    m_earlier->setToolTip(tr("Tick earlier projects to compare this class with their stored drawings"));
    m_threshold->setToolTip(tr("Pairs scoring at least this are reported; the line in the histogram shows it"));
    m_share->setToolTip(tr("What more than this share of the class holds is the assignment, not evidence"));
    m_compare->setToolTip(tr("Read the drawings and compare the class again with these options"));

    grid->addWidget(new QLabel(tr("Template drawings (shared starting material):"), options), 0, 0, 1, 2);
    grid->addWidget(m_templates, 1, 0, 2, 1);
    grid->addWidget(addTemplate, 1, 1);
    grid->addWidget(removeTemplate, 2, 1);
    grid->addWidget(new QLabel(tr("Compare with earlier years:"), options), 0, 2);
    grid->addWidget(m_earlier, 1, 2, 2, 1);
    grid->addWidget(new QLabel(tr("Report pairs from"), options), 1, 3);
    grid->addWidget(m_threshold, 1, 4);
    auto* shareLabel = new QLabel(tr("Ignore what more of the class holds than"), options);
    shareLabel->setWordWrap(true); // a narrow screen gets two lines
    grid->addWidget(shareLabel, 2, 3);
    grid->addWidget(m_share, 2, 4);
    grid->addWidget(m_compare, 1, 5, 2, 1);
    m_storeChoice = new QComboBox(options);
    m_storeChoice->setObjectName(QStringLiteral("cboStore"));
    m_storeChoice->addItems({tr("This computer"), tr("Department server")});
    m_storeChoice->setToolTip(tr("Where the evidence is kept: this computer's store, or the department's server "
                                 "that every teacher shares"));
    m_storeAddress = new QLineEdit(options);
    m_storeAddress->setObjectName(QStringLiteral("txtStoreAddress"));
    m_storeAddress->setPlaceholderText(tr("postgresql://teacher@server/darv or service=darv"));
    m_storeAddress->setToolTip(tr("The department server's address; its password belongs in ~/.pgpass, not here"));
    const SettingsStore settings;
    m_storeChoice->setCurrentIndex(settings.get(SettingsStore::Key::SimilarStore).toInt() == 1 ? 1 : 0);
    m_storeAddress->setText(settings.get(SettingsStore::Key::SimilarStoreAddress).toString());
    m_storeAddress->setEnabled(m_storeChoice->currentIndex() == 1);
    if (m_storeChoice->currentIndex() == 1)
        m_server = m_storeAddress->text().toStdString();
    auto* storeRow = new QHBoxLayout;
    storeRow->addWidget(new QLabel(tr("Store:"), options));
    storeRow->addWidget(m_storeChoice);
    storeRow->addWidget(m_storeAddress, 1);
    grid->addLayout(storeRow, 3, 0, 1, 6);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(2, 2);

    connect(m_storeChoice, &QComboBox::currentIndexChanged, this, [this] { storeChosen(); });
    connect(m_storeAddress, &QLineEdit::editingFinished, this, [this] { storeChosen(); });

    connect(addTemplate, &QPushButton::clicked, this, &SimilarWindow::addTemplates);
    connect(removeTemplate, &QPushButton::clicked, this, &SimilarWindow::removeTemplate);
    return options;
}

QWidget* SimilarWindow::buildEvidence()
{
    auto* evidence = new QWidget(this);
    auto* row = new QHBoxLayout(evidence);
    row->setContentsMargins(0, 0, 0, 0);
    m_evidence = new QListWidget(evidence);
    m_evidence->setObjectName(QStringLiteral("evidence"));
    m_evidence->setWordWrap(true);
    m_evidence->setToolTip(tr("Why the two drawings look alike, strongest reason first"));
    m_properties = new QTableWidget(0, 3, evidence);
    m_properties->setObjectName(QStringLiteral("properties"));
    m_properties->setHorizontalHeaderLabels({tr("Property"), tr("Drawing A"), tr("Drawing B")});
    m_properties->setToolTip(tr("What each file says about itself"));
    m_properties->verticalHeader()->hide();
    m_properties->setWordWrap(true);
    m_properties->setTextElideMode(Qt::ElideNone);
    m_properties->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_properties->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_properties->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    m_properties->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    m_properties->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    row->addWidget(m_evidence, 4);
    row->addWidget(m_properties, 4);
    row->addWidget(buildCaseFile(), 3);
    evidence->setMinimumHeight(90);
    return evidence;
}

void SimilarWindow::openFor(const std::string& project, const std::vector<std::string>& otherProjects)
{
    if (project != m_project && !running()) {
        saveCaseFile();
        m_project = project;
        forgetShown();
        m_status->clear();
        m_progress->setValue(0);
        m_templates->clear();
        // The templates the project remembers, when the store already knows it.
        const similar::StoreAccess opened =
            similar::storeMayHoldEvidence(m_installLoc(), m_server) ? openStore() : similar::StoreAccess{};
        if (opened.store) {
            // A store that cannot be read shows none: the run then says what is wrong with it.
            similar::EvidenceStore& store = *opened.store;
            const auto id = store.findProject(project);
            if (const auto paths = id && *id != 0 ? store.templatePaths(*id) : std::nullopt)
                for (const std::string& path : *paths)
                    m_templates->addItem(nameText(path));
        }
        m_earlier->clear();
        std::vector<std::string> earlier = otherProjects;
        // On the department server, colleagues' projects too ("OWNER/NAME").
        if (opened.store && !m_server.empty())
            if (const auto stored = opened.store->projectNames())
                for (const std::string& name : *stored)
                    if (name != project && std::find(earlier.begin(), earlier.end(), name) == earlier.end())
                        earlier.push_back(name);
        for (const std::string& other : earlier) {
            auto* item = new QListWidgetItem(nameText(other), m_earlier);
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(Qt::Unchecked);
        }
        // The last check's pairs straight away; Compare runs it again.
        loadLastResult();
    }
    setWindowTitle(tr("Similar Drawings - %1").arg(nameText(m_project)));
    if (!isVisible())
        placeOnScreen(this, false);
    show();
    raise();
    activateWindow();
}

void SimilarWindow::addTemplates()
{
    const QStringList files = QFileDialog::getOpenFileNames(this, tr("Template drawings"), m_dialogFolder,
                                                            tr("Drawings (*.dwg *.dxf *.DWG *.DXF)"));
    if (!files.isEmpty())
        m_dialogFolder = QFileInfo(files.first()).absolutePath();
    for (const QString& file : files) {
        if (m_templates->findItems(file, Qt::MatchExactly).isEmpty())
            m_templates->addItem(file);
    }
}

void SimilarWindow::removeTemplate()
{
    delete m_templates->takeItem(m_templates->currentRow());
}

void SimilarWindow::compare(bool rebuildStore)
{
    if (m_project.empty() || running())
        return;
    similar::SimilarOptions options;
    std::vector<std::string> templates;
    for (int i = 0; i < m_templates->count(); ++i)
        templates.push_back(nameBytes(m_templates->item(i)->text()));
    options.templates = templates;
    for (int i = 0; i < m_earlier->count(); ++i) {
        if (m_earlier->item(i)->checkState() == Qt::Checked)
            options.earlierProjects.push_back(nameBytes(m_earlier->item(i)->text()));
    }
    options.minScore = m_threshold->value();
    options.commonShare = m_share->value();
    options.rebuildStore = rebuildStore;
    options.server = m_server;
    m_pendingOptions = options;
    saveCaseFile(); // a note being written is kept before the list goes
    forgetShown();
    showPairs();
    m_status->setText(rebuildStore ? tr("Rebuilding the evidence store...") : tr("Reading the drawings..."));
    setRunning(true);
    if (!m_runner->start(m_installLoc(), m_project, options))
        setRunning(false);
}

void SimilarWindow::cancel()
{
    m_runner->cancel();
    m_status->setText(tr("Cancelling..."));
}

bool SimilarWindow::running() const
{
    return !m_compare->isEnabled() && m_cancel->isEnabled();
}

void SimilarWindow::setRunning(bool isRunning)
{
    m_compare->setEnabled(!isRunning);
    m_cancel->setEnabled(isRunning);
    // A run keeps the store it started with.
    m_storeChoice->setEnabled(!isRunning);
    m_storeAddress->setEnabled(!isRunning && m_storeChoice->currentIndex() == 1);
}

void SimilarWindow::closeEvent(QCloseEvent* event)
{
    // A run goes on while the window is hidden; its result is there when the window opens again.
    saveCaseFile();
    rememberSize();
    event->accept();
}

similar::StoreAccess SimilarWindow::openStore() const
{
    return m_store.access(m_installLoc(), m_server);
}

void SimilarWindow::storeChosen()
{
    const bool server = m_storeChoice->currentIndex() == 1;
    m_storeAddress->setEnabled(server);
    const std::string address = m_storeAddress->text().trimmed().toStdString();
    const std::string chosen = server ? address : std::string();
    if (chosen == m_server)
        return;
    m_server = chosen;
    SettingsStore settings;
    bool kept = settings.set(SettingsStore::Key::SimilarStore, server ? 1 : 0);
    if (!similar::holdsPassword(address))
        kept = settings.set(SettingsStore::Key::SimilarStoreAddress, QString::fromStdString(address)) && kept;
    else if (server && !address.empty())
        m_messages.show(MessageIcon::Information, "DARV",
                        "The server's address holds a password: it is used until DARV ends, never written down. "
                        "Keep the password in ~/.pgpass and leave it out of the address.");
    if (!kept)
        m_messages.show(MessageIcon::Exclamation, "DARV Warning",
                        "The choice of store is used but cannot be remembered: " + settings.fileName().toStdString());
    forgetShown();
    m_status->clear();
    if (!m_project.empty())
        loadLastResult();
}

void SimilarWindow::forgetShown()
{
    m_result.clear();
    m_sameStudent.clear();
    m_scores.clear();
    m_drawingCount = 0;
    m_drawings.clear();
}

void SimilarWindow::rememberSize()
{
    SettingsStore().set(SettingsStore::Key::SimilarWindowGeometry, saveGeometry());
}

} // namespace darv
