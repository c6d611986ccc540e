// What the window and the printed sheet show of a pair.
#include "similar/window/PairDisplay.h"

#include "drawing/CadTime.h"

#include <QDateTime>
#include <QObject>

#include <algorithm>
#include <cmath>
#include <unordered_set>

namespace darv {

namespace {

// The day number of 1970-01-01 in the CAD program's Julian dates (counted from the civil midnight).
constexpr double kUnixEpochDay = 2440588.0;

QString text(const std::string& value)
{
    return value.empty() ? QStringLiteral("-") : QString::fromStdString(value);
}

std::optional<double> createdJulian(const dwg::Drawing& d)
{
    if (d.createdAsWritten)
        return d.createdAsWritten;
    if (d.created)
        return dwg::cadJulianDate(*d.created);
    return std::nullopt;
}

std::optional<double> updatedJulian(const dwg::Drawing& d)
{
    if (d.updatedAsWritten)
        return d.updatedAsWritten;
    if (d.updated)
        return dwg::cadJulianDate(*d.updated);
    return std::nullopt;
}

QString versionText(const dwg::Drawing& d)
{
    return QString::fromStdString(d.version) +
           (d.format == dwg::DrawingFormat::Dxf ? QStringLiteral(" (DXF)") : QStringLiteral(" (DWG)"));
}

} // namespace

std::vector<ViewEntity> markedEntities(const dwg::Drawing& drawing, const std::vector<std::uint64_t>& shared,
                                       const std::vector<std::uint64_t>& fromTemplate)
{
    const std::unordered_set<std::uint64_t> sharedSet(shared.begin(), shared.end());
    const std::unordered_set<std::uint64_t> templateSet(fromTemplate.begin(), fromTemplate.end());
    const bool anyModel = std::any_of(drawing.entities.begin(), drawing.entities.end(), [](const dwg::Entity& e) {
        return e.space == "*Model_Space" || e.space == "*MODEL_SPACE";
    });
    std::vector<ViewEntity> entities;
    for (const dwg::Entity& e : drawing.entities) {
        if (anyModel && e.space != "*Model_Space" && e.space != "*MODEL_SPACE")
            continue;
        ViewEntity view{e.handle, e.className, e.geometry, EntityMark::Own};
        if (sharedSet.count(e.handle))
            view.mark = EntityMark::Shared;
        else if (templateSet.count(e.handle))
            view.mark = EntityMark::Template;
        entities.push_back(std::move(view));
    }
    return entities;
}

QStringList evidenceLines(const similar::SimilarPair& pair)
{
    QStringList lines;
    for (const similar::Signal& signal : pair.fired)
        lines << QString::fromStdString(signal.text);
    return lines;
}

QString strongestSignal(const similar::SimilarPair& pair)
{
    return pair.fired.empty() ? QString() : QString::fromStdString(pair.fired.front().text);
}

QString releaseName(const std::string& version)
{
    static const std::vector<std::pair<std::string, const char*>> releases = {
        {"AC1009", "R12"},  {"AC1012", "R13"},  {"AC1014", "R14"},  {"AC1015", "2000"}, {"AC1018", "2004"},
        {"AC1021", "2007"}, {"AC1024", "2010"}, {"AC1027", "2013"}, {"AC1032", "2018"},
    };
    for (const auto& [code, name] : releases)
        if (code == version)
            return QString::fromLatin1(name);
    return QString::fromStdString(version);
}

QString signalWords(const similar::SimilarPair& pair, const dwg::Drawing* a, const dwg::Drawing* b)
{
    using Kind = similar::SignalKind;
    const auto fired = [&](Kind kind) {
        return std::any_of(pair.fired.begin(), pair.fired.end(),
                           [kind](const similar::Signal& s) { return s.kind == kind; });
    };
    const bool identity = fired(Kind::SameFingerprint) || fired(Kind::SameVersionGuid) || fired(Kind::SameContent);
    if (identity && a && b) {
        // One drawing in two files: the files' format or version tells how the second was made.
        if (a->format != b->format)
            return QObject::tr("same drawing exported as %1")
                .arg(a->format == dwg::DrawingFormat::Dxf || b->format == dwg::DrawingFormat::Dxf
                         ? QStringLiteral("DXF")
                         : QStringLiteral("DWG"));
        if (a->version != b->version)
            return QObject::tr("same drawing saved as %1")
                .arg(releaseName(a->version < b->version ? b->version : a->version));
    }
    if (fired(Kind::SameContent))
        return QObject::tr("identical file");
    if (fired(Kind::SameVersionGuid))
        return QObject::tr("same save of one drawing");
    if (fired(Kind::SameFingerprint))
        return QObject::tr("one file, edited");
    if (fired(Kind::SameCreated))
        return QObject::tr("began as one drawing");
    if (pair.fired.empty())
        return QString();
    switch (pair.fired.front().kind) {
    case Kind::GeometryMoved:
        return QObject::tr("pasted and moved");
    case Kind::GeometryInPlace:
        return QObject::tr("same geometry in place");
    case Kind::SameTexts:
        return QObject::tr("same texts");
    case Kind::SameAuthor:
        return QObject::tr("same author name");
    case Kind::DrawingOrder:
        return QObject::tr("drawn in the same order");
    case Kind::SharedHandles:
        return QObject::tr("same handles");
    default:
        return strongestSignal(pair);
    }
}

QString identityOnlyText(const similar::SimilarPair& pair, const std::vector<ViewEntity>& a,
                         const std::vector<ViewEntity>& b)
{
    const auto anyShared = [](const std::vector<ViewEntity>& entities) {
        return std::any_of(entities.begin(), entities.end(),
                           [](const ViewEntity& e) { return e.mark == EntityMark::Shared; });
    };
    if (pair.fired.empty() || anyShared(a) || anyShared(b))
        return QString();
    const bool identical = std::any_of(pair.fired.begin(), pair.fired.end(), [](const similar::Signal& s) {
        return s.kind == similar::SignalKind::SameContent;
    });
    if (identical)
        return QObject::tr("Identical files: nothing is drawn in red because every entity is shared, see the "
                           "evidence.");
    return QObject::tr("Nothing is drawn in red: the evidence lies in the files themselves, not in shared "
                       "geometry, see the evidence.");
}

QString verdictText(const similar::PairMark& mark)
{
    QString text;
    if (mark.verdict == similar::PairVerdict::Copy)
        text = QObject::tr("copy");
    else if (mark.verdict == similar::PairVerdict::NotCopy)
        text = QObject::tr("not a copy");
    if (mark.changedSince && (!text.isEmpty() || !mark.note.empty()))
        text += (text.isEmpty() ? QString() : QStringLiteral(", ")) + QObject::tr("changed since");
    return text;
}

QString markText(const similar::PairMark& mark)
{
    if (mark.marked == 0)
        return QObject::tr("Not reviewed.");
    const QString when = QDateTime::fromSecsSinceEpoch(mark.marked).toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    const QString who = QString::fromStdString(mark.who.empty() ? std::string("?") : mark.who);
    QString text;
    switch (mark.verdict) {
    case similar::PairVerdict::Copy:
        text = QObject::tr("Marked a copy by %1 on %2.").arg(who, when);
        break;
    case similar::PairVerdict::NotCopy:
        text = QObject::tr("Marked not a copy by %1 on %2.").arg(who, when);
        break;
    case similar::PairVerdict::NotReviewed:
        text = QObject::tr("Not reviewed; note by %1 on %2.").arg(who, when);
        break;
    }
    if (mark.changedSince)
        text += QStringLiteral(" ") + QObject::tr("A drawing of the pair changed since.");
    if (!mark.note.empty())
        text += QStringLiteral("\n") + QString::fromStdString(mark.note);
    return text;
}

bool hasDecisiveSignal(const similar::SimilarPair& pair)
{
    return std::any_of(pair.fired.begin(), pair.fired.end(),
                       [](const similar::Signal& signal) { return signal.decisive; });
}

QString julianDateText(std::optional<double> julian)
{
    if (!julian || !std::isfinite(*julian) || *julian <= 0)
        return QStringLiteral("-");
    const double seconds = std::round((*julian - kUnixEpochDay) * 86400.0);
    // The value is already the wall time the CAD program showed: shown as it is, not converted again.
    const QDateTime time = QDateTime::fromSecsSinceEpoch(static_cast<qint64>(seconds), Qt::UTC);
    return time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString durationText(std::optional<dwg::StoredTime> duration)
{
    if (!duration)
        return QStringLiteral("-");
    const double minutes = duration->day * 1440.0 + duration->ms / 60000.0;
    if (!std::isfinite(minutes) || minutes < 0)
        return QStringLiteral("-");
    const auto whole = static_cast<long long>(minutes);
    return QStringLiteral("%1 h %2 min").arg(whole / 60).arg(whole % 60);
}

std::vector<PropertyRow> propertyRows(const dwg::Drawing* a, const dwg::Drawing* b)
{
    using Getter = QString (*)(const dwg::Drawing&);
    const std::vector<std::pair<QString, Getter>> rows = {
        {QObject::tr("Version"), [](const dwg::Drawing& d) { return versionText(d); }},
        {QObject::tr("Created"), [](const dwg::Drawing& d) { return julianDateText(createdJulian(d)); }},
        {QObject::tr("Last saved"), [](const dwg::Drawing& d) { return julianDateText(updatedJulian(d)); }},
        {QObject::tr("Editing time"), [](const dwg::Drawing& d) { return durationText(d.timeInDrawing); }},
        {QObject::tr("Last saved by"), [](const dwg::Drawing& d) { return text(d.lastSavedBy); }},
        {QObject::tr("Author"), [](const dwg::Drawing& d) { return text(d.summary.author); }},
        {QObject::tr("Fingerprint"), [](const dwg::Drawing& d) { return text(d.fingerprintGuid); }},
    };
    std::vector<PropertyRow> result;
    for (const auto& [label, get] : rows)
        result.push_back({label, a ? get(*a) : QStringLiteral("-"), b ? get(*b) : QStringLiteral("-")});
    return result;
}

} // namespace darv
