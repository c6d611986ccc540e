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
