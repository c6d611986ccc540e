// The Similar Drawings window: the result of a run, the chosen pair and its printed sheets.
#include "similar/window/SimilarWindow.h"

#include "base/DataFolder.h"
#include "base/Messages.h"
#include "similar/EvidenceStore.h"
#include "similar/Students.h"
#include "similar/window/DrawingPairView.h"
#include "similar/window/EvidenceSheet.h"
#include "similar/window/PairDisplay.h"
#include "similar/window/ScoreHistogram.h"
#include "widgets/NameText.h"

#include <QDateTime>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressBar>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>

#include <cmath>
#include <filesystem>
#include <set>

namespace darv {

namespace {

QTableWidgetItem* numberItem(double value)
{
    auto* item = new QTableWidgetItem(QStringLiteral("%1 %").arg(static_cast<int>(std::floor(value))));
    item->setData(Qt::UserRole, value);
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

// "anna: bracket.dwg" (the student, then the file; the earlier project named), for the list.
QString drawingLabel(const similar::DrawingName& name, const std::string& project)
{
    const similar::Student student = similar::studentOf(name);
    const std::string file = std::filesystem::path(name.path).filename().string();
    QString label =
        student.name == file ? nameText(file) : nameText(student.name) + QStringLiteral(": ") + nameText(file);
    if (!name.project.empty() && name.project != project)
        label += QStringLiteral(" (%1)").arg(nameText(name.project));
    return label;
}

// "anna - class A/anna/bracket.dwg", for the views' captions.
QString captionOf(const similar::DrawingName& name, const std::string& project)
{
    QString caption = nameText(similar::studentOf(name).name) + QStringLiteral(" - ") + nameText(name.shownName);
    if (!name.project.empty() && name.project != project)
        caption += QStringLiteral(" (%1)").arg(nameText(name.project));
    return caption;
}

} // namespace

void SimilarWindow::runEnded(const std::shared_ptr<const similar::SimilarResult>& result)
{
    setRunning(false);
    m_progress->setValue(0);
    using Outcome = similar::SimilarOutcome;
    switch (result->outcome) {
    case Outcome::Complete:
        keepPairs(*result, m_threshold->value());
        m_sameStudent = result->sameStudent;
        m_scores = result->scores;
        m_runThreshold = m_threshold->value();
        m_shownOptions = m_pendingOptions;
        m_shownFinished = QDateTime::currentSecsSinceEpoch();
        m_drawingCount = result->drawings;
        loadMarks();
        m_status->setText(
            tr("%1 drawings compared (%2 of earlier years): %3 at %4 % or more.%5")
                .arg(result->drawings)
                .arg(result->earlierDrawings)
                .arg(result->pairs.size() == 1 ? tr("1 pair") : tr("%1 pairs").arg(result->pairs.size()))
                .arg(m_threshold->value())
                .arg(result->unread.empty()
                         ? QString()
                         : tr(" %1 drawings could not be read and were not compared.").arg(result->unread.size())) +
            (result->partial.empty() ? QString()
                                     : tr(" %1 drawings are damaged and were compared only on what could be read.")
                                           .arg(result->partial.size())));
        break;
    case Outcome::Cancelled:
        m_status->setText(tr("Cancelled: nothing was compared."));
        break;
    case Outcome::Busy:
    case Outcome::NoDrawings:
        m_status->setText(tr("Not compared."));
        m_messages.show(MessageIcon::Exclamation, "DARV Warning", result->message);
        break;
    case Outcome::Failed:
        m_status->setText(tr("Not compared."));
        m_messages.show(MessageIcon::Critical, "DARV Error", result->message);
        break;
    case Outcome::StoreDamaged:
        m_status->setText(tr("Not compared: the evidence store is damaged."));
        if (m_messages.ask("DARV Error",
                           result->message +
                               "\n\nNothing was compared and the report was not changed. Rebuild the evidence store "
                               "from the drawings still on disk? Earlier projects whose drawings are gone are lost "
                               "from it (the damaged store is kept as evidence.sqlite.damaged).")) {
            compare(true); // its end says what the rebuild did and lost
            return;
        }
        break;
    }
    if (!result->rebuilt.empty()) {
        std::string notes;
        for (const std::string& note : result->rebuilt)
            notes += (notes.empty() ? "" : "\n") + note;
        m_messages.show(MessageIcon::Exclamation, "DARV Warning", notes);
    }
    showPairs();
    emit runFinished();
}

void SimilarWindow::showPairs()
{
    m_shown = nullptr;
    const similar::StoreAccess opened = m_result.empty() ? similar::StoreAccess{} : openStore();
    m_pairs->clearContents();
    m_pairs->setRowCount(static_cast<int>(m_result.size()));
    for (std::size_t k = 0; k < m_result.size(); ++k) {
        const similar::SimilarPair& pair = m_result[k];
        const int row = static_cast<int>(k);
        for (int side = 0; side < 2; ++side) {
            const similar::DrawingName& name = side == 0 ? pair.a : pair.b;
            auto* item = new QTableWidgetItem(drawingLabel(name, m_project));
            item->setToolTip(nameText(name.path));
            m_pairs->setItem(row, side == 0 ? ColumnA : ColumnB, item);
        }
        m_pairs->item(row, ColumnA)->setData(Qt::UserRole, row);
        m_pairs->setItem(row, ColumnScore, numberItem(pair.score));
        auto* signal = new QTableWidgetItem(signalWordsOf(pair, opened.store));
        signal->setToolTip(strongestSignal(pair));
        if (hasDecisiveSignal(pair)) {
            signal->setForeground(QColor(200, 0, 0));
            signal->setToolTip(strongestSignal(pair) + QStringLiteral("\n") +
                               tr("One file is a copy of the other, whatever else was changed."));
        }
        m_pairs->setItem(row, ColumnSignal, signal);
        m_pairs->setItem(row, ColumnMark, new QTableWidgetItem);
    }
    showMarks();
    m_view->clear();
    m_evidence->clear();
    m_properties->setRowCount(0);
    m_pictureNote->hide();
    showMarkOf(nullptr);
    m_histogram->setScores(m_scores);
    m_histogram->setThreshold(m_threshold->value());
    filterPairs();
    fitPairColumns();
    for (int row = 0; row < m_pairs->rowCount(); ++row)
        if (!m_pairs->isRowHidden(row)) {
            m_pairs->selectRow(row); // the strongest pair is shown straight away
            break;
        }
}

void SimilarWindow::showMarks()
{
    for (int row = 0; row < m_pairs->rowCount(); ++row) {
        const similar::PairMark mark = markOf(pairOfRow(row));
        QTableWidgetItem* item = m_pairs->item(row, ColumnMark);
        item->setText(verdictText(mark));
        item->setForeground(mark.verdict == similar::PairVerdict::Copy ? QColor(200, 0, 0) : QColor(Qt::black));
        item->setToolTip(markText(mark));
    }
}

void SimilarWindow::fitPairColumns()
{
    // Each column as wide as its contents while there is room. When there is not, the names come first: the
    // signal gives way down to a readable width, then both names share what is left (a name is elided in the
    // end, whole in its tooltip).
    constexpr int kMinSignal = 130;
    constexpr int kMinName = 70;
    QHeaderView* header = m_pairs->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Interactive);
    m_pairs->resizeColumnsToContents();
    const int room = m_pairs->viewport()->width();
    const int fixed = header->sectionSize(ColumnScore) + header->sectionSize(ColumnMark);
    const int nameA = header->sectionSize(ColumnA), nameB = header->sectionSize(ColumnB);
    const int signal = header->sectionSize(ColumnSignal);
    if (fixed + nameA + nameB + signal <= room) {
        header->resizeSection(ColumnSignal, room - fixed - nameA - nameB); // the signal takes what is left
        return;
    }
    const int forNames = std::max(2 * kMinName, room - fixed - std::min(signal, kMinSignal));
    if (nameA + nameB > forNames) {
        const double share = static_cast<double>(forNames) / (nameA + nameB);
        header->resizeSection(ColumnA, std::max(kMinName, static_cast<int>(nameA * share)));
        header->resizeSection(ColumnB, std::max(kMinName, static_cast<int>(nameB * share)));
    }
    header->resizeSection(ColumnSignal,
                          std::max(60, room - fixed - header->sectionSize(ColumnA) - header->sectionSize(ColumnB)));
}

bool SimilarWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_pairs->viewport() && event->type() == QEvent::Resize)
        QTimer::singleShot(0, this, &SimilarWindow::fitPairColumns);
    return QWidget::eventFilter(watched, event);
}

const similar::SimilarPair& SimilarWindow::pairOfRow(int row) const
{
    return m_result[static_cast<std::size_t>(m_pairs->item(row, ColumnA)->data(Qt::UserRole).toInt())];
}

int SimilarWindow::currentIndex() const
{
    const QList<QTableWidgetItem*> selected = m_pairs->selectedItems();
    return selected.isEmpty() ? -1 : selected.first()->row();
}

QString SimilarWindow::signalWordsOf(const similar::SimilarPair& pair, similar::EvidenceStore* store)
{
    // The properties only (cheap): the format and version tell an export and a save-as apart.
    std::optional<dwg::Drawing> a, b;
    if (store) {
        a = similar::storedProperties(*store, pair.a.project.empty() ? m_project : pair.a.project, pair.a.path);
        b = similar::storedProperties(*store, pair.b.project.empty() ? m_project : pair.b.project, pair.b.path);
    }
    return signalWords(pair, a ? &*a : nullptr, b ? &*b : nullptr);
}

const dwg::Drawing* SimilarWindow::storedDrawing(const std::string& project, const std::string& path)
{
    const auto key = std::make_pair(project, path);
    auto found = m_drawings.find(key);
    if (found == m_drawings.end()) {
        std::optional<dwg::Drawing> drawing;
        if (const similar::StoreAccess opened = openStore(); opened.store) {
            if (auto stored = opened.store->drawingByPath(project, path))
                drawing = std::move(stored->drawing);
        }
        found = m_drawings.emplace(key, std::move(drawing)).first;
    }
    return found->second ? &*found->second : nullptr;
}

void SimilarWindow::showPair(int row)
{
    if (row < 0 || row >= m_pairs->rowCount())
        return;
    showPairOf(pairOfRow(row));
}

void SimilarWindow::showPairOf(const similar::SimilarPair& pair)
{
    saveCaseFile(); // the note of the pair shown before
    const std::string projectB = pair.b.project.empty() ? m_project : pair.b.project;
    const dwg::Drawing* a = storedDrawing(pair.a.project.empty() ? m_project : pair.a.project, pair.a.path);
    const dwg::Drawing* b = storedDrawing(projectB, pair.b.path);
    std::vector<ViewEntity> entitiesA =
        a ? markedEntities(*a, pair.handlesA, pair.templateHandlesA) : std::vector<ViewEntity>{};
    std::vector<ViewEntity> entitiesB =
        b ? markedEntities(*b, pair.handlesB, pair.templateHandlesB) : std::vector<ViewEntity>{};
    const std::string far = farEntitiesText(entitiesA, entitiesB);
    const QString identityOnly = identityOnlyText(pair, entitiesA, entitiesB);
    m_pictureNote->setText(identityOnly);
    m_pictureNote->setVisible(!identityOnly.isEmpty());
    m_view->setPair(std::move(entitiesA), std::move(entitiesB), placedBack(pair.placement));
    m_view->setCaptions(QStringLiteral("A: ") + captionOf(pair.a, m_project),
                        QStringLiteral("B: ") + captionOf(pair.b, m_project));
    m_evidence->clear();
    m_evidence->addItems(evidenceLines(pair));
    if (!far.empty())
        m_evidence->addItem(QString::fromStdString("Warning: " + far));
    const std::vector<PropertyRow> rows = propertyRows(a, b);
    m_properties->setRowCount(static_cast<int>(rows.size()));
    for (std::size_t k = 0; k < rows.size(); ++k) {
        const int row = static_cast<int>(k);
        m_properties->setItem(row, 0, new QTableWidgetItem(rows[k].label));
        m_properties->setItem(row, 1, new QTableWidgetItem(rows[k].a));
        m_properties->setItem(row, 2, new QTableWidgetItem(rows[k].b));
    }
    m_properties->resizeRowsToContents();
    showMarkOf(&pair);
}

std::vector<EvidencePage> SimilarWindow::selectedPages()
{
    std::set<int> chosen;
    for (const QTableWidgetItem* item : m_pairs->selectedItems())
        if (!m_pairs->isRowHidden(item->row()))
            chosen.insert(m_pairs->item(item->row(), ColumnA)->data(Qt::UserRole).toInt());
    std::vector<EvidencePage> pages;
    for (int index : chosen) {
        const similar::SimilarPair& pair = m_result[static_cast<std::size_t>(index)];
        EvidencePage page{pair, std::nullopt, std::nullopt, markOf(pair)};
        if (const dwg::Drawing* a = storedDrawing(pair.a.project.empty() ? m_project : pair.a.project, pair.a.path))
            page.a = *a;
        if (const dwg::Drawing* b = storedDrawing(pair.b.project.empty() ? m_project : pair.b.project, pair.b.path))
            page.b = *b;
        pages.push_back(std::move(page));
    }
    return pages;
}

bool SimilarWindow::savePdf(const QString& path)
{
    const std::vector<EvidencePage> pages = selectedPages();
    if (pages.empty())
        return false;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageSize(QPageSize(QPageSize::A4));
    return printEvidenceSheets(printer, nameText(m_project), sheetSummary(), pages, QDate::currentDate());
}

void SimilarWindow::saveSheets()
{
    if (selectedPages().empty())
        return;
    const QString path = QFileDialog::getSaveFileName(
        this, tr("Save the evidence as PDF"),
        QDir(m_dialogFolder).filePath(nameText(m_project) + QStringLiteral(" similar.pdf")), tr("PDF files (*.pdf)"));
    if (path.isEmpty())
        return;
    m_dialogFolder = QFileInfo(path).absolutePath();
    if (!savePdf(path))
        m_messages.show(MessageIcon::Critical, "DARV Error",
                        "The PDF file " + nameBytes(path) + " could not be written.");
}

void SimilarWindow::printSheets()
{
    const std::vector<EvidencePage> pages = selectedPages();
    if (pages.empty())
        return;
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (!printEvidenceSheets(printer, nameText(m_project), sheetSummary(), pages, QDate::currentDate()))
        m_messages.show(MessageIcon::Critical, "DARV Error", "The evidence could not be printed.");
}

} // namespace darv
