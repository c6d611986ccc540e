// The CAD host: what the collection run asks of the program that opens drawings.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace darv {

// One entity as the host enumerates it.
struct HostEntity
{
    std::string objectName; // class name, e.g. "AcDbLine"
    std::string handle;     // upper-case hexadecimal without leading zeros
};

// Each operation reports failure by its result; callers ignore failures step by step.
class CadHost
{
public:
    virtual ~CadHost() = default;

    // Start-up: reach the host (get the running one or start one), make it visible, take its active document.
    virtual bool attach() = 0;
    virtual bool isAttached() const = 0;

    // Per drawing, in the order the collection run calls them.
    virtual bool open(const std::string& path) = 0;
    virtual bool activateDocument() = 0; // take the active document (the drawing just opened)
    virtual bool addSelectionSet(const std::string& name) = 0;
    virtual bool selectAll() = 0;
    // The selected entities, owned by the host until its next operation; null when nothing is selected.
    virtual const std::vector<HostEntity>* enumerateSelection() = 0;
    virtual std::optional<double> getVariable(const std::string& name) = 0; // "TDCREATE"
    virtual bool deleteSelectionSet(const std::string& name) = 0;
    virtual bool closeAll() = 0;

    // Why the last failing operation failed, for the command line's progress lines; may be empty.
    virtual std::string lastFailure() const { return {}; }
    // What was found damaged in the drawing opened last: not empty when it could be read only in part.
    virtual std::vector<std::string> lastWarnings() const { return {}; }
};

} // namespace darv
