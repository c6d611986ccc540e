// The Similar Drawings window: the class at a glance (histogram, counts, groups) and the last check shown
// on opening.
#include "similar/window/SimilarWindow.h"

#include "base/DataFolder.h"
#include "base/Messages.h"
#include "similar/EvidenceStore.h"
#include "similar/Students.h"
#include "similar/window/EvidenceSheet.h"
#include "similar/window/PairDisplay.h"
#include "similar/window/ScoreHistogram.h"
#include "widgets/NameText.h"

#include <QCheckBox>
#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <filesystem>
#include <map>
#include <set>

namespace darv {

namespace {

// The student's name as the groups show it: an earlier project's with the project named.
std::string studentName(const similar::DrawingName& name, const std::string& project)
{
    const std::string student = similar::studentOf(name).name;
    return name.project.empty() || name.project == project ? student : student + " (" + name.project + ")";
}

// Students joined by pairs, each group with its pairs' indices; groups in the order of their strongest pair.
struct Group
{
    std::vector<std::string> students; // in name order
    std::vector<std::size_t> pairs;
    std::set<std::string> drawings;
};

std::vector<Group> groupsOf(const std::vector<similar::SimilarPair>& pairs, const std::vector<std::size_t>& shown,
                            const std::string& project)
{
    std::map<std::string, std::string> parent; // union-find over the students' keys
    const auto root = [&](std::string key) {
        while (parent[key] != key)
            key = parent[key];
        return key;
    };
    const auto add = [&](const std::string& key) { parent.try_emplace(key, key); };
    for (const std::size_t k : shown) {
        const std::string a = similar::studentOf(pairs[k].a).key, b = similar::studentOf(pairs[k].b).key;
        add(a);
        add(b);
        const std::string ra = root(a), rb = root(b);
        if (ra != rb)
            parent[std::max(ra, rb)] = std::min(ra, rb);
    }
    std::map<std::string, std::size_t> byRoot;
    std::vector<Group> groups;
    std::vector<std::set<std::string>> names;
    for (const std::size_t k : shown) { // the pairs are ranked: a group's first pair is its strongest
        const std::string r = root(similar::studentOf(pairs[k].a).key);
        const auto [at, isNew] = byRoot.try_emplace(r, groups.size());
        if (isNew) {
            groups.emplace_back();
            names.emplace_back();
        }
        Group& g = groups[at->second];
        g.pairs.push_back(k);
        g.drawings.insert(pairs[k].a.project + '\n' + pairs[k].a.path);
        g.drawings.insert(pairs[k].b.project + '\n' + pairs[k].b.path);
        names[at->second].insert(studentName(pairs[k].a, project));
        names[at->second].insert(studentName(pairs[k].b, project));
    }
    for (std::size_t g = 0; g < groups.size(); ++g)
        groups[g].students.assign(names[g].begin(), names[g].end());
    return groups;
}

QString groupText(const Group& group)
{
    QStringList names;
    for (const std::string& name : group.students)
        names << nameText(name);
    const QString pairs =
        group.pairs.size() == 1 ? QObject::tr("1 pair") : QObject::tr("%1 pairs").arg(group.pairs.size());
    if (group.students.size() >= 3)
        return QObject::tr("%1: %2 drawings share one drawing's work (%3)")
            .arg(names.join(QStringLiteral(", ")))
            .arg(group.drawings.size())
            .arg(pairs);
    return QObject::tr("%1: %2").arg(names.join(QStringLiteral(", ")), pairs);
}

QString pairLine(const similar::SimilarPair& pair)
{
    return QStringLiteral("%1 %  %2  /  %3")
        .arg(static_cast<int>(pair.score))
        .arg(nameText(pair.a.shownName), nameText(pair.b.shownName));
}

constexpr int kPairRole = Qt::UserRole;    // a tree item's pair: index into the result
constexpr int kOwnRole = Qt::UserRole + 1; // the index is one of one student's own pairs

} // namespace

QWidget* SimilarWindow::buildClassView()
{
    auto* box = new QWidget(this);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    m_histogram = new ScoreHistogram(box);
    m_histogram->setObjectName(QStringLiteral("histogram"));
    auto* right = new QVBoxLayout;
    m_summary = new QLabel(box);
    m_summary->setObjectName(QStringLiteral("classSummary"));
    m_summary->setWordWrap(true);
    m_summary->setToolTip(tr("The class at a glance, from the pairs at or above the line"));
    m_groups = new QTreeWidget(box);
    m_groups->setObjectName(QStringLiteral("groups"));
    m_groups->setHeaderHidden(true);
    m_groups->setToolTip(tr("Students linked by pairs at or above the line, one entry per group; unfold it for its "
                            "pairs and click one to show it. One student's own drawings are listed apart."));
    right->addWidget(m_summary);
    right->addWidget(m_groups, 1);
    row->addWidget(m_histogram, 2);
    row->addLayout(right, 3);
    box->setMinimumHeight(80);
    box->setMaximumHeight(190);
    connect(m_histogram, &ScoreHistogram::thresholdChanged, this, &SimilarWindow::thresholdMoved);
    connect(m_threshold, &QSpinBox::valueChanged, this, [this](int value) {
        if (m_histogram->threshold() != value) {
            m_histogram->setThreshold(value);
            filterPairs();
        }
    });
    connect(m_groups, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) { groupClicked(item); });
    return box;
}

void SimilarWindow::loadLastResult()
{
    m_marks.clear();
    std::optional<similar::LastResult> last;
    if (!similar::storeMayHoldEvidence(m_installLoc(), m_server)) {
        showPairs();
        showClass();
        return;
    }
    const similar::StoreAccess opened = openStore();
    if (!opened.store || !similar::loadLastResult(*opened.store, m_project, last)) {
        showPairs();
        showClass();
        m_status->setText(tr("The last check cannot be shown: %1")
                              .arg(nameText(opened.store ? opened.store->error() : opened.error)));
        return;
    }
    if (last) {
        keepPairs(last->result, last->options.minScore);
        m_sameStudent = last->result.sameStudent;
        m_scores = last->result.scores;
        m_drawingCount = last->result.drawings;
        m_runThreshold = last->options.minScore;
        m_shownOptions = last->options;
        m_shownFinished = last->finished;
        const QSignalBlocker quiet(m_threshold); // the list is filled below
        m_threshold->setValue(static_cast<int>(last->options.minScore));
        m_share->setValue(static_cast<int>(last->options.commonShare));
        const std::set<std::string> earlier(last->options.earlierProjects.begin(), last->options.earlierProjects.end());
        for (int i = 0; i < m_earlier->count(); ++i)
            m_earlier->item(i)->setCheckState(earlier.count(nameBytes(m_earlier->item(i)->text())) ? Qt::Checked
                                                                                                   : Qt::Unchecked);
        QStringList options;
        options << tr("threshold %1 %").arg(last->options.minScore) << tr("share %1 %").arg(last->options.commonShare);
        const std::size_t templates = last->options.templates ? last->options.templates->size() : 0;
        options << (templates == 1 ? tr("1 template") : tr("%1 templates").arg(templates));
        if (!last->options.earlierProjects.empty()) {
            QStringList names;
            for (const std::string& name : last->options.earlierProjects)
                names << nameText(name);
            options << tr("earlier: %1").arg(names.join(QStringLiteral(", ")));
        }
        m_status->setText(
            tr("Last check %1 (%2). Compare runs it again.")
                .arg(QDateTime::fromSecsSinceEpoch(last->finished).toString(QStringLiteral("yyyy-MM-dd HH:mm")),
                     options.join(QStringLiteral(", "))));
    }
    loadMarks();
    showPairs();
}

void SimilarWindow::keepPairs(const similar::SimilarResult& result, double threshold)
{
    m_result = result.pairs;
    m_result.insert(m_result.end(), result.below.begin(), result.below.end());
    m_listedFloor = std::min(result.belowFloor, threshold);
    m_belowCut = result.below.size() >= similar::kListedBelow;
}

void SimilarWindow::filterPairs()
{
    // The list follows the line, down to the lowest score the check kept a pair from.
    const double line = m_histogram->threshold();
    for (int row = 0; row < m_pairs->rowCount(); ++row) {
        const similar::SimilarPair& pair = pairOfRow(row);
        const bool hidden =
            pair.score < line || (m_hideNotCopy->isChecked() && markOf(pair).verdict == similar::PairVerdict::NotCopy);
        m_pairs->setRowHidden(row, hidden);
    }
    showClass();
}

void SimilarWindow::thresholdMoved(double percent)
{
    const QSignalBlocker quiet(m_threshold);
    m_threshold->setValue(static_cast<int>(percent));
    filterPairs();
}

void SimilarWindow::showClass()
{
    const double line = m_histogram->threshold();
    std::vector<std::size_t> shown;
    for (int row = 0; row < m_pairs->rowCount(); ++row)
        if (pairOfRow(row).score >= line)
            shown.push_back(static_cast<std::size_t>(m_pairs->item(row, ColumnA)->data(kPairRole).toInt()));
    const std::vector<Group> groups = groupsOf(m_result, shown, m_project);
    m_groups->clear();
    for (const Group& group : groups) {
        auto* top = new QTreeWidgetItem(m_groups, {groupText(group)});
        for (const std::size_t k : group.pairs) {
            auto* child = new QTreeWidgetItem(top, {pairLine(m_result[k])});
            child->setData(0, kPairRole, static_cast<int>(k));
        }
    }
    if (!m_sameStudent.empty()) {
        auto* own = new QTreeWidgetItem(
            m_groups, {m_sameStudent.size() == 1
                           ? tr("One student's own drawings (not suspicious): 1 pair")
                           : tr("One student's own drawings (not suspicious): %1 pairs").arg(m_sameStudent.size())});
        own->setForeground(0, QColor(110, 110, 110));
        for (std::size_t k = 0; k < m_sameStudent.size(); ++k) {
            auto* child = new QTreeWidgetItem(own, {pairLine(m_sameStudent[k])});
            child->setData(0, kPairRole, static_cast<int>(k));
            child->setData(0, kOwnRole, true);
        }
    }
    if (m_result.empty() && m_scores.empty() && m_drawingCount == 0) {
        m_summary->setText(tr("No result to show: press Compare."));
        return;
    }
    std::set<std::string> students;
    const similar::StoreAccess opened = openStore();
    if (similar::EvidenceStore* store = opened.store)
        if (const auto id = store->findProject(m_project); id && *id != 0)
            if (const auto rows = store->rows(*id, similar::DrawingRole::Class))
                for (const similar::StoredRow& row : *rows)
                    if (row.present)
                        students.insert(similar::studentOf({row.path, row.shownName, m_project}).key);
    QString text = m_drawingCount == 1 ? tr("1 drawing") : tr("%1 drawings").arg(m_drawingCount);
    if (!students.empty())
        text += students.size() == 1 ? tr(" of 1 student") : tr(" of %1 students").arg(students.size());
    text += QStringLiteral(", ") + (shown.size() == 1 ? tr("1 pair") : tr("%1 pairs").arg(shown.size())) +
            tr(" at %1 % or more").arg(static_cast<int>(line)) + QStringLiteral(", ") +
            (groups.size() == 1 ? tr("1 group") : tr("%1 groups").arg(groups.size()));
    std::size_t copies = 0, notCopies = 0;
    for (const std::size_t k : shown) {
        const similar::PairVerdict verdict = markOf(m_result[k]).verdict;
        copies += verdict == similar::PairVerdict::Copy ? 1 : 0;
        notCopies += verdict == similar::PairVerdict::NotCopy ? 1 : 0;
    }
    text += tr("; marked: %1 copy, %2 not a copy.").arg(copies).arg(notCopies);
    if (line < m_listedFloor)
        text += QStringLiteral(" ") + tr("The check kept pairs from %1 % only.").arg(static_cast<int>(m_listedFloor));
    else if (line < m_runThreshold && m_belowCut)
        text += QStringLiteral(" ") + tr("Under %1 % only the %2 strongest pairs are listed.")
                                          .arg(static_cast<int>(m_runThreshold))
                                          .arg(similar::kListedBelow);
    if (line < m_runThreshold)
        text += QStringLiteral(" ") + tr("The report keeps pairs from %1 %.").arg(static_cast<int>(m_runThreshold));
    m_summary->setText(text);
}

ClassSummary SimilarWindow::sheetSummary() const
{
    ClassSummary summary;
    const similar::SimilarOptions& o = m_shownOptions;
    const auto names = [](const std::vector<std::string>& list) {
        QStringList shown;
        for (const std::string& item : list)
            shown << nameText(item);
        return shown.isEmpty() ? QObject::tr("none") : shown.join(QStringLiteral(", "));
    };
    summary.options
        << tr("Checked: %1")
               .arg(QDateTime::fromSecsSinceEpoch(m_shownFinished).toString(QStringLiteral("yyyy-MM-dd HH:mm")));
    summary.options << tr("Threshold: pairs from %1 % reported").arg(o.minScore);
    if (m_histogram->threshold() != o.minScore)
        summary.options << tr("Listed here: pairs from %1 %").arg(m_histogram->threshold());
    summary.options << tr("Share: what more than %1 % of the class holds is not evidence").arg(o.commonShare);
    summary.options << tr("Templates: %1").arg(names(o.templates.value_or(std::vector<std::string>{})));
    summary.options << tr("Earlier projects: %1").arg(names(o.earlierProjects));
    summary.counts = m_summary->text();
    summary.scores = m_scores;
    summary.threshold = m_histogram->threshold();
    for (int i = 0; i < m_groups->topLevelItemCount(); ++i)
        summary.groups << m_groups->topLevelItem(i)->text(0);
    for (const similar::SimilarPair& pair : m_result) {
        const similar::PairMark mark = markOf(pair);
        if (mark.marked != 0)
            summary.marks << QStringLiteral("%1 / %2: %3")
                                 .arg(nameText(pair.a.shownName), nameText(pair.b.shownName),
                                      markText(mark).replace(QLatin1Char('\n'), QStringLiteral(" - ")));
    }
    return summary;
}

void SimilarWindow::groupClicked(QTreeWidgetItem* item)
{
    if (!item || !item->parent())
        return;
    const int index = item->data(0, kPairRole).toInt();
    if (item->data(0, kOwnRole).toBool()) {
        if (index >= 0 && static_cast<std::size_t>(index) < m_sameStudent.size()) {
            m_pairs->clearSelection();
            showPairOf(m_sameStudent[static_cast<std::size_t>(index)]);
            showMarkOf(nullptr); // one student's own drawings are no case
        }
        return;
    }
    for (int row = 0; row < m_pairs->rowCount(); ++row)
        if (m_pairs->item(row, ColumnA)->data(kPairRole).toInt() == index) {
            m_pairs->setRowHidden(row, false);
            m_pairs->selectRow(row);
            m_pairs->scrollToItem(m_pairs->item(row, ColumnA));
        }
}

} // namespace darv
