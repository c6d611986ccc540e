// A CAD host for tests: it serves drawings described in the test, and any one operation can be made
// to fail.
#pragma once

#include "collect/CadHost.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace darv::test {

struct FakeDrawing
{
    std::vector<HostEntity> entities;
    std::optional<double> tdcreate;
    std::vector<std::string> warnings = {}; // damage found: the drawing is read only in part
};

class FakeCadHost : public CadHost
{
public:
    // Drawings by file name (the last part of the path); unknown names cannot be opened.
    std::map<std::string, FakeDrawing> drawings;
    // Names of operations that fail: "open", "activate", "add", "select", "enumerate", "tdcreate", "delete", "close".
    std::set<std::string> failing;
    std::vector<std::string> calls;
    std::vector<std::string> openedPaths;
    int liveSelectionSets = 0;

    bool attach() override { return !failing.count("attach"); }
    bool isAttached() const override { return true; }
    bool open(const std::string& path) override
    {
        calls.push_back("open");
        openedPaths.push_back(path);
        m_current = nullptr;
        m_active = m_hasSet = m_selected = false;
        const auto slash = path.find_last_of('/');
        const auto it = drawings.find(slash == std::string::npos ? path : path.substr(slash + 1));
        if (failing.count("open") || it == drawings.end())
            return false;
        m_current = &it->second;
        return true;
    }
    bool activateDocument() override
    {
        m_active = step("activate") && m_current;
        return m_active;
    }
    // A selection set needs the active document; selecting needs the set; enumerating needs the selection.
    bool addSelectionSet(const std::string&) override
    {
        m_hasSet = step("add") && m_active;
        if (m_hasSet)
            ++liveSelectionSets;
        return m_hasSet;
    }
    bool selectAll() override
    {
        m_selected = step("select") && m_hasSet;
        return m_selected;
    }
    const std::vector<HostEntity>* enumerateSelection() override
    {
        if (!step("enumerate") || !m_selected)
            return nullptr;
        return &m_current->entities;
    }
    std::optional<double> getVariable(const std::string& name) override
    {
        if (!step("tdcreate") || !m_active || name != "TDCREATE")
            return std::nullopt;
        return m_current->tdcreate;
    }
    bool deleteSelectionSet(const std::string&) override
    {
        if (!step("delete") || liveSelectionSets == 0)
            return false;
        --liveSelectionSets;
        return true;
    }
    bool closeAll() override
    {
        const bool ok = step("close");
        m_current = nullptr;
        m_active = m_hasSet = m_selected = false;
        return ok;
    }
    std::string lastFailure() const override { return "cannot open"; }
    std::vector<std::string> lastWarnings() const override
    {
        return m_current != nullptr ? m_current->warnings : std::vector<std::string>{};
    }

private:
    bool step(const std::string& name)
    {
        calls.push_back(name);
        return !failing.count(name);
    }
    const FakeDrawing* m_current = nullptr;
    bool m_active = false;
    bool m_hasSet = false;
    bool m_selected = false;
};

} // namespace darv::test
