// The one shape of a file operation's outcome, in the manner of the drawing reader's Expected: the value
// (or nothing, for a write), or the error that prevented it. The error's text names the file and the
// system's reason ("PATH: reason"); a file that does not exist is told apart, because the system reads
// a missing list or setting as an empty one.
#pragma once

#include <string>
#include <utility>
#include <variant>

namespace darv {

struct FileError
{
    std::string text;     // "PATH: reason"
    bool missing = false; // the file does not exist
};

template <class T> class FileResult
{
public:
    FileResult(T value) : m_state(std::in_place_index<0>, std::move(value)) {}
    FileResult(FileError error) : m_state(std::in_place_index<1>, std::move(error)) {}

    bool ok() const { return m_state.index() == 0; }
    explicit operator bool() const { return ok(); }
    T& value() { return std::get<0>(m_state); }
    const T& value() const { return std::get<0>(m_state); }
    T& operator*() { return value(); }
    const T& operator*() const { return value(); }
    const T* operator->() const { return &value(); }
    const FileError& error() const { return std::get<1>(m_state); }

private:
    std::variant<T, FileError> m_state;
};

// A write's outcome: done, or the error.
template <> class FileResult<void>
{
public:
    FileResult() = default;
    FileResult(FileError error) : m_error(std::move(error)), m_failed(true) {}

    bool ok() const { return !m_failed; }
    explicit operator bool() const { return ok(); }
    const FileError& error() const { return m_error; }

private:
    FileError m_error;
    bool m_failed = false;
};

using FileWrite = FileResult<void>;

} // namespace darv
