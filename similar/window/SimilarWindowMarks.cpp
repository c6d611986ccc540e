// The Similar Drawings window: each pair's case file (mark and note, kept in the evidence store) and the
// pair list's context menu.
#include "similar/window/SimilarWindow.h"

#include "base/DataFolder.h"
#include "base/Messages.h"
#include "similar/EvidenceStore.h"
#include "similar/Students.h"
#include "similar/window/PairDisplay.h"
#include "widgets/NameText.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDesktopServices>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include <chrono>

#include <pwd.h>
#include <unistd.h>

namespace darv {

namespace {

// The user's login name, for "who marked it".
std::string userName()
{
    for (const char* variable : {"USER", "LOGNAME", "USERNAME"})
        if (const QByteArray value = qgetenv(variable); !value.isEmpty())
            return value.toStdString();
    const passwd* account = getpwuid(getuid());
    return account && account->pw_name ? std::string(account->pw_name) : std::string();
}

std::int64_t now()
{
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

} // namespace

QWidget* SimilarWindow::buildCaseFile()
{
    auto* box = new QWidget(this);
    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);
    auto* row = new QHBoxLayout;
    m_verdict = new QComboBox(box);
    m_verdict->setObjectName(QStringLiteral("verdict"));
    m_verdict->addItem(tr("Not reviewed"), static_cast<int>(similar::PairVerdict::NotReviewed));
    m_verdict->addItem(tr("Copy"), static_cast<int>(similar::PairVerdict::Copy));
    m_verdict->addItem(tr("Not a copy"), static_cast<int>(similar::PairVerdict::NotCopy));
    m_verdict->setToolTip(tr("Your decision about this pair, kept with its drawings"));
    m_saveMark = new QPushButton(tr("Save mark"), box);
    m_saveMark->setObjectName(QStringLiteral("cmdSaveMark"));
    m_saveMark->setToolTip(tr("Keep the mark and the note with the pair's drawings"));
    row->addWidget(new QLabel(tr("Mark:"), box));
    row->addWidget(m_verdict, 1);
    row->addWidget(m_saveMark);
    m_note = new QPlainTextEdit(box);
    m_note->setObjectName(QStringLiteral("note"));
    m_note->setPlaceholderText(tr("Note (what you saw, what the student said)"));
    m_note->setToolTip(tr("A free note about this pair, kept with its mark"));
    m_markInfo = new QLabel(box);
    m_markInfo->setObjectName(QStringLiteral("markInfo"));
    m_markInfo->setWordWrap(true);
    column->addLayout(row);
    column->addWidget(m_note, 1);
    column->addWidget(m_markInfo);
    connect(m_saveMark, &QPushButton::clicked, this, &SimilarWindow::saveCaseFile);
    connect(m_verdict, &QComboBox::activated, this, &SimilarWindow::saveCaseFile);
    box->setEnabled(false);
    return box;
}

void SimilarWindow::loadMarks()
{
    m_marks.clear();
    const similar::StoreAccess opened = openStore();
    if (!opened.store)
        return;
    if (auto marks = similar::loadMarks(*opened.store, m_project))
        m_marks = std::move(*marks);
    else
        m_messages.show(MessageIcon::Exclamation, "DARV Warning",
                        "The marks of the pairs cannot be read: " + opened.store->error());
}

similar::PairMark SimilarWindow::markOf(const similar::SimilarPair& pair) const
{
    const auto found = m_marks.find(similar::pairKey(m_project, pair));
    return found == m_marks.end() ? similar::PairMark{} : found->second;
}

void SimilarWindow::showMarkOf(const similar::SimilarPair* pair)
{
    m_shown = pair;
    m_verdict->parentWidget()->setEnabled(pair != nullptr);
    const similar::PairMark mark = pair ? markOf(*pair) : similar::PairMark{};
    m_verdict->setCurrentIndex(m_verdict->findData(static_cast<int>(mark.verdict)));
    m_note->setPlainText(QString::fromStdString(mark.note));
    m_note->document()->setModified(false);
    m_markInfo->setText(pair ? markText(mark).section(QLatin1Char('\n'), 0, 0) : QString());
}

void SimilarWindow::saveCaseFile()
{
    if (!m_shown)
        return;
    const auto verdict = static_cast<similar::PairVerdict>(m_verdict->currentData().toInt());
    const similar::PairMark before = markOf(*m_shown);
    const std::string note = m_note->toPlainText().toStdString();
    if (verdict == before.verdict && note == before.note)
        return;
    for (int row = 0; row < m_pairs->rowCount(); ++row)
        if (&pairOfRow(row) == m_shown) {
            markPair(row, verdict, note);
            return;
        }
}

bool SimilarWindow::markPair(int row, similar::PairVerdict verdict)
{
    return markPair(row, verdict, markOf(pairOfRow(row)).note);
}

bool SimilarWindow::markPair(int row, similar::PairVerdict verdict, const std::string& note)
{
    if (row < 0 || row >= m_pairs->rowCount())
        return false;
    const similar::SimilarPair& pair = pairOfRow(row);
    similar::PairMark mark{verdict, note, userName(), now(), false};
    const similar::StoreAccess opened = openStore();
    if (!opened.store || !similar::saveMark(*opened.store, m_project, pair, mark)) {
        m_messages.show(MessageIcon::Critical, "DARV Error",
                        "The mark was not kept: the evidence store cannot be written: " +
                            (opened.store ? opened.store->error() : opened.error));
        return false;
    }
    loadMarks(); // with the stamps as stored
    showMarks();
    if (m_shown == &pair)
        showMarkOf(&pair);
    // Later: a mark saved on the way to another pair may come from a click in the group tree, which the filter
    // fills anew.
    QTimer::singleShot(0, this, &SimilarWindow::filterPairs);
    return true;
}

void SimilarWindow::showPairContextMenu(const QPoint& at)
{
    const QTableWidgetItem* item = m_pairs->itemAt(at);
    if (!item)
        return;
    const int row = item->row();
    const similar::SimilarPair& pair = pairOfRow(row);
    QMenu menu(this);
    menu.addAction(tr("Mark as copy"), this, [this, row] { markPair(row, similar::PairVerdict::Copy); });
    menu.addAction(tr("Mark as not a copy"), this, [this, row] { markPair(row, similar::PairVerdict::NotCopy); });
    menu.addAction(tr("Mark as not reviewed"), this, [this, row] { markPair(row, similar::PairVerdict::NotReviewed); });
    menu.addSeparator();
    for (const similar::DrawingName* name : {&pair.a, &pair.b}) {
        const QString folder = QFileInfo(nameText(name->path)).absolutePath();
        QAction* open = menu.addAction(tr("Open the folder of %1").arg(nameText(similar::studentOf(*name).name)), this,
                                       [folder] { QDesktopServices::openUrl(QUrl::fromLocalFile(folder)); });
        open->setEnabled(QFileInfo(folder).isDir());
    }
    const QString paths = nameText(pair.a.path) + QLatin1Char('\n') + nameText(pair.b.path);
    menu.addAction(tr("Copy paths"), this, [paths] { QApplication::clipboard()->setText(paths); });
    menu.exec(m_pairs->viewport()->mapToGlobal(at));
}

} // namespace darv
