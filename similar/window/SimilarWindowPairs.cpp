// The Similar Drawings window: the result of a run, the chosen pair and its printed sheets.
#include "similar/window/SimilarWindow.h"

#include "base/DataFolder.h"
#include "base/Messages.h"
#include "similar/EvidenceStore.h"
#include "similar/window/DrawingPairView.h"
#include "similar/window/EvidenceSheet.h"
#include "similar/window/PairDisplay.h"
#include "widgets/NameText.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressBar>
#include <QSpinBox>
#include <QTableWidget>

#include <cmath>
#include <set>

namespace darv {

namespace {

QTableWidgetItem* numberItem(double value)
{
    auto* item = new QTableWidgetItem;
    item->setData(Qt::DisplayRole, static_cast<int>(std::lround(value)));
    return item;
}

} // namespace

void SimilarWindow::runEnded(const std::shared_ptr<const similar::SimilarResult>& result)
{
    setRunning(false);
    m_progress->setValue(0);
    using Outcome = similar::SimilarOutcome;
    switch (result->outcome) {
    case Outcome::Complete:
        m_result = result->pairs;
        m_status->setText(
            tr("%1 drawings compared (%2 of earlier years): %3 at %4 % or more.%5")
                .arg(result->drawings)
                .arg(result->earlierDrawings)
                .arg(result->pairs.size() == 1 ? tr("1 pair") : tr("%1 pairs").arg(result->pairs.size()))
                .arg(m_threshold->value())
                .arg(result->unread.empty()
                         ? QString()
                         : tr(" %1 drawings could not be read and were not compared.").arg(result->unread.size())));
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
    m_pairs->setSortingEnabled(false);
    m_pairs->clearContents();
    m_pairs->setRowCount(static_cast<int>(m_result.size()));
    for (std::size_t k = 0; k < m_result.size(); ++k) {
        const similar::SimilarPair& pair = m_result[k];
        const int row = static_cast<int>(k);
        QTableWidgetItem* rank = numberItem(static_cast<double>(k + 1));
        rank->setData(Qt::UserRole, row);
        m_pairs->setItem(row, 0, rank);
        m_pairs->setItem(row, 1, numberItem(pair.score));
        m_pairs->setItem(row, 2, new QTableWidgetItem(nameText(pair.a.shownName)));
        QString b = nameText(pair.b.shownName);
        if (!pair.b.project.empty() && pair.b.project != m_project)
            b += QStringLiteral("  (%1)").arg(nameText(pair.b.project));
        m_pairs->setItem(row, 3, new QTableWidgetItem(b));
        m_pairs->setItem(row, 4, new QTableWidgetItem(strongestSignal(pair)));
        auto* decisive = new QTableWidgetItem(hasDecisiveSignal(pair) ? tr("yes") : QString());
        if (hasDecisiveSignal(pair)) {
            decisive->setForeground(QColor(200, 0, 0));
            decisive->setToolTip(tr("One file is a copy of the other, whatever else was changed."));
        }
        m_pairs->setItem(row, 5, decisive);
    }
    m_pairs->setSortingEnabled(true);
    m_pairs->sortByColumn(0, Qt::AscendingOrder);
    m_pairs->resizeColumnsToContents();
    m_view->clear();
    m_evidence->clear();
    m_properties->setRowCount(0);
    if (!m_result.empty())
        m_pairs->selectRow(0);
}

const dwg::Drawing* SimilarWindow::storedDrawing(const std::string& project, const std::string& path)
{
    const auto key = std::make_pair(project, path);
    auto found = m_drawings.find(key);
    if (found == m_drawings.end()) {
        std::optional<dwg::Drawing> drawing;
        similar::EvidenceStore store;
        if (store.open(evidenceStorePath(m_installLoc()))) {
            if (auto stored = store.drawingByPath(project, path))
                drawing = std::move(stored->drawing);
        }
        found = m_drawings.emplace(key, std::move(drawing)).first;
    }
    return found->second ? &*found->second : nullptr;
}

void SimilarWindow::showPair(int index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_result.size())
        return;
    const similar::SimilarPair& pair = m_result[static_cast<std::size_t>(index)];
    const std::string projectB = pair.b.project.empty() ? m_project : pair.b.project;
    const dwg::Drawing* a = storedDrawing(pair.a.project.empty() ? m_project : pair.a.project, pair.a.path);
    const dwg::Drawing* b = storedDrawing(projectB, pair.b.path);
    std::vector<ViewEntity> entitiesA =
        a ? markedEntities(*a, pair.handlesA, pair.templateHandlesA) : std::vector<ViewEntity>{};
    std::vector<ViewEntity> entitiesB =
        b ? markedEntities(*b, pair.handlesB, pair.templateHandlesB) : std::vector<ViewEntity>{};
    const std::string far = farEntitiesText(entitiesA, entitiesB);
    m_view->setPair(std::move(entitiesA), std::move(entitiesB), placedBack(pair.placement));
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
    m_properties->resizeColumnsToContents();
}

std::vector<EvidencePage> SimilarWindow::selectedPages()
{
    std::set<int> chosen;
    for (const QTableWidgetItem* item : m_pairs->selectedItems())
        chosen.insert(m_pairs->item(item->row(), 0)->data(Qt::UserRole).toInt());
    std::vector<EvidencePage> pages;
    for (int index : chosen) {
        const similar::SimilarPair& pair = m_result[static_cast<std::size_t>(index)];
        EvidencePage page{pair, std::nullopt, std::nullopt};
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
    return printEvidenceSheets(printer, nameText(m_project), pages, QDate::currentDate());
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
    if (!printEvidenceSheets(printer, nameText(m_project), pages, QDate::currentDate()))
        m_messages.show(MessageIcon::Critical, "DARV Error", "The evidence could not be printed.");
}

} // namespace darv
