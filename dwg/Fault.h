// Internal error values of the drawing reader: a fault with its code, offset and detail, and Expected<T>.
#pragma once

#include "drawing/Drawing.h"

#include <cstdint>
#include <string>
#include <utility>
#include <variant>

namespace dwg {

// A structural fault found while reading; becomes the public DwgError at the API.
struct Fault
{
    ErrorCode code = ErrorCode::Corrupt;
    std::uint64_t offset = 0; // file offset, or offset inside the section named in detail
    std::string detail;
};

// Either a value or the fault that prevented it. Small on purpose: the reader passes values, not exceptions.
template <class T> class Expected
{
public:
    Expected(T value) : m_state(std::in_place_index<0>, std::move(value)) {}
    Expected(Fault fault) : m_state(std::in_place_index<1>, std::move(fault)) {}

    bool ok() const { return m_state.index() == 0; }
    explicit operator bool() const { return ok(); }
    T& value() { return std::get<0>(m_state); }
    const T& value() const { return std::get<0>(m_state); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    T& operator*() { return value(); }
    const T& operator*() const { return value(); }
    const Fault& fault() const { return std::get<1>(m_state); }

private:
    std::variant<T, Fault> m_state;
};

} // namespace dwg
