// The CAD host on our own drawing reader.
#include "collect/DwgCadHost.h"

#include "drawing/CadTime.h"
#include "drawing/Drawing.h"

#include <charconv>

namespace darv {

namespace {
// Upper-case hexadecimal without leading zeros, as the host writes handles.
std::string hexHandle(std::uint64_t handle)
{
    char text[20];
    const auto end = std::to_chars(text, text + sizeof text, handle, 16).ptr;
    for (char* c = text; c != end; ++c) {
        if (*c >= 'a' && *c <= 'f')
            *c = static_cast<char>(*c - 'a' + 'A');
    }
    return std::string(text, end);
}
} // namespace

bool DwgCadHost::attach()
{
    // The reader is built in, so the host is always there.
    m_attached = true;
    return true;
}

bool DwgCadHost::open(const std::string& path)
{
    closeAll();
    const dwg::ReadResult result = dwg::readDrawingFile(path);
    if (!result.ok()) {
        m_failure = dwg::describe(result.error);
        return false;
    }
    const dwg::Drawing& drawing = *result.drawing;
    m_warnings = drawing.warnings;
    m_version = drawing.version;
    if (drawing.created)
        m_tdcreate = dwg::cadJulianDate(*drawing.created);
    m_entities.reserve(drawing.entities.size());
    for (const dwg::Entity& entity : drawing.entities)
        m_entities.push_back({entity.className, hexHandle(entity.handle)});
    m_hasDocument = true;
    m_failure.clear();
    return true;
}

bool DwgCadHost::activateDocument()
{
    m_active = m_hasDocument;
    if (!m_active)
        m_failure = m_failure.empty() ? "no drawing is open" : m_failure;
    return m_active;
}

bool DwgCadHost::addSelectionSet(const std::string& name)
{
    if (!m_active || m_selectionSets.count(name))
        return false;
    m_selectionSets.insert(name);
    m_selected = false;
    return true;
}

bool DwgCadHost::selectAll()
{
    if (!m_active || m_selectionSets.empty())
        return false;
    m_selected = true;
    return true;
}

const std::vector<HostEntity>* DwgCadHost::enumerateSelection()
{
    return m_selected ? &m_entities : nullptr;
}

std::optional<double> DwgCadHost::getVariable(const std::string& name)
{
    if (!m_active || name != "TDCREATE")
        return std::nullopt;
    return m_tdcreate;
}

bool DwgCadHost::deleteSelectionSet(const std::string& name)
{
    m_selected = false;
    return m_selectionSets.erase(name) > 0;
}

bool DwgCadHost::closeAll()
{
    m_hasDocument = false;
    m_active = false;
    m_selected = false;
    m_selectionSets.clear();
    m_version.clear();
    m_tdcreate.reset();
    m_entities.clear();
    m_warnings.clear();
    return true;
}

std::size_t DwgCadHost::entityCount() const
{
    return m_entities.size();
}

} // namespace darv
