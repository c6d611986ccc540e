// The Similar Drawings window: its layout, the options of the check and the run.
#include "similar/window/SimilarWindow.h"

#include "base/DataFolder.h"
#include "base/Messages.h"
#include "settings/SettingsStore.h"
#include "similar/EvidenceStore.h"
#include "similar/window/DrawingPairView.h"
#include "similar/window/SimilarRunner.h"
#include "widgets/NameText.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

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
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("status"));
    m_cancel = new QPushButton(tr("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("cmdCancel"));
    m_cancel->setEnabled(false);
    progressRow->addWidget(m_progress, 1);
    progressRow->addWidget(m_status, 2);
    progressRow->addWidget(m_cancel);
    layout->addLayout(progressRow);

    auto* middle = new QSplitter(Qt::Horizontal, this);
    m_pairs = new QTableWidget(0, 6, middle);
    m_pairs->setObjectName(QStringLiteral("pairList"));
    m_pairs->setHorizontalHeaderLabels(
        {tr("Rank"), tr("Score %"), tr("Drawing A"), tr("Drawing B"), tr("Strongest signal"), tr("Copy of a file")});
    m_pairs->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pairs->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pairs->verticalHeader()->hide();
    m_pairs->setWordWrap(false);
    m_pairs->horizontalHeader()->setStretchLastSection(true);
    auto* right = new QWidget(middle);
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    auto* fit = new QPushButton(tr("Fit"), right);
    fit->setObjectName(QStringLiteral("cmdFit"));
    m_view = new DrawingPairView(right);
    m_view->setObjectName(QStringLiteral("drawings"));
    rightLayout->addWidget(fit, 0, Qt::AlignLeft);
    rightLayout->addWidget(m_view, 1);
    middle->addWidget(m_pairs);
    middle->addWidget(right);
    middle->setStretchFactor(1, 3);
    middle->setSizes({480, 720});
    layout->addWidget(middle, 1);
    layout->addWidget(buildEvidence());

    auto* buttons = new QHBoxLayout;
    auto* print = new QPushButton(tr("Print..."), this);
    print->setObjectName(QStringLiteral("cmdPrint"));
    auto* pdf = new QPushButton(tr("Save PDF..."), this);
    pdf->setObjectName(QStringLiteral("cmdSavePdf"));
    auto* close = new QPushButton(tr("Close"), this);
    close->setObjectName(QStringLiteral("cmdClose"));
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
    // The sheets are those of the selected pairs: without a selection there is nothing to print.
    print->setEnabled(false);
    pdf->setEnabled(false);
    connect(m_pairs, &QTableWidget::itemSelectionChanged, this, [this, print, pdf] {
        const QList<QTableWidgetItem*> selected = m_pairs->selectedItems();
        print->setEnabled(!selected.isEmpty());
        pdf->setEnabled(!selected.isEmpty());
        if (!selected.isEmpty())
            showPair(m_pairs->item(selected.first()->row(), 0)->data(Qt::UserRole).toInt());
    });

    const QByteArray geometry = savedGeometry();
    if (geometry.isEmpty() || !restoreGeometry(geometry))
        resize(1100, 760);
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

    grid->addWidget(new QLabel(tr("Template drawings (shared starting material):"), options), 0, 0, 1, 2);
    grid->addWidget(m_templates, 1, 0, 2, 1);
    grid->addWidget(addTemplate, 1, 1);
    grid->addWidget(removeTemplate, 2, 1);
    grid->addWidget(new QLabel(tr("Compare with earlier years:"), options), 0, 2);
    grid->addWidget(m_earlier, 1, 2, 2, 1);
    grid->addWidget(new QLabel(tr("Report pairs from"), options), 1, 3);
    grid->addWidget(m_threshold, 1, 4);
    grid->addWidget(new QLabel(tr("Ignore what more of the class holds than"), options), 2, 3);
    grid->addWidget(m_share, 2, 4);
    grid->addWidget(m_compare, 1, 5, 2, 1);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(2, 2);

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
    m_properties = new QTableWidget(0, 3, evidence);
    m_properties->setObjectName(QStringLiteral("properties"));
    m_properties->setHorizontalHeaderLabels({tr("Property"), tr("Drawing A"), tr("Drawing B")});
    m_properties->verticalHeader()->hide();
    m_properties->verticalHeader()->setDefaultSectionSize(m_properties->fontMetrics().height() + 6);
    m_properties->setWordWrap(false);
    m_properties->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_properties->horizontalHeader()->setStretchLastSection(true);
    row->addWidget(m_evidence, 1);
    row->addWidget(m_properties, 1);
    evidence->setMaximumHeight(200);
    return evidence;
}

void SimilarWindow::openFor(const std::string& project, const std::vector<std::string>& otherProjects)
{
    if (project != m_project && !running()) {
        m_project = project;
        m_result.clear();
        m_drawings.clear();
        showPairs();
        m_status->clear();
        m_progress->setValue(0);
        m_templates->clear();
        // The templates the project remembers, when the store already knows it.
        const std::string storePath = evidenceStorePath(m_installLoc());
        std::error_code ec;
        similar::EvidenceStore store;
        if (std::filesystem::exists(storePath, ec) && store.open(storePath)) {
            // A store that cannot be read shows none: the run then says what is wrong with it.
            const auto id = store.findProject(project);
            if (const auto paths = id && *id != 0 ? store.templatePaths(*id) : std::nullopt)
                for (const std::string& path : *paths)
                    m_templates->addItem(nameText(path));
        }
        m_earlier->clear();
        for (const std::string& other : otherProjects) {
            auto* item = new QListWidgetItem(nameText(other), m_earlier);
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(Qt::Unchecked);
        }
    }
    setWindowTitle(tr("Similar Drawings - %1").arg(nameText(m_project)));
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
    m_result.clear();
    m_drawings.clear();
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
}

void SimilarWindow::closeEvent(QCloseEvent* event)
{
    // A run goes on while the window is hidden; its result is there when the window opens again.
    rememberSize();
    event->accept();
}

void SimilarWindow::rememberSize()
{
    SettingsStore().set(SettingsStore::Key::SimilarWindowGeometry, saveGeometry());
}

} // namespace darv
