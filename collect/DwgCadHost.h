// The CAD host on our own drawing reader: "opening" a drawing reads the file.
#pragma once

#include "collect/CadHost.h"

#include <set>

namespace darv {

class DwgCadHost : public CadHost
{
public:
    bool attach() override;
    bool isAttached() const override { return m_attached; }
    bool open(const std::string& path) override;
    bool activateDocument() override;
    bool addSelectionSet(const std::string& name) override;
    bool selectAll() override;
    const std::vector<HostEntity>* enumerateSelection() override;
    std::optional<double> getVariable(const std::string& name) override;
    bool deleteSelectionSet(const std::string& name) override;
    bool closeAll() override;
    std::string lastFailure() const override { return m_failure; }
    std::vector<std::string> lastWarnings() const override { return m_warnings; }

    // Number of entities the open drawing holds (after a successful open).
    std::size_t entityCount() const;

private:
    bool m_attached = false;
    bool m_hasDocument = false;
    bool m_active = false;
    bool m_selected = false;
    std::set<std::string> m_selectionSets;
    std::string m_failure;
    std::vector<std::string> m_warnings;
    std::string m_version;
    std::optional<double> m_tdcreate;
    std::vector<HostEntity> m_entities;
};

} // namespace darv
