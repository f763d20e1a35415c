// The one way the program says that something failed: a Status carries the
// kind of failure, for callers that must tell failures apart, and the text
// the player reads; a Result<T> carries a value or the Status of why there
// is none. A default Status is success. Every layer uses these; the
// platform makes them from the system's own error codes (SystemError.h).
#pragma once

#include <string>
#include <utility>
#include <variant>

namespace gh {

enum class StatusKind {
    Ok,
    NotFound,   // no such file, folder or entry
    Denied,     // the system refuses: permission, read-only file or file system
    WrongType,  // something else stands at the name: a folder, a pipe, a device
    NoSpace,    // the disk or a quota is full
    BadData,    // what was read is not what it should be
    Refused,    // the program itself refuses, for the player's safety
    Failed,     // any other failure; the text says which
};

class Status {
public:
    Status() = default;
    Status(StatusKind kind, std::wstring text) : m_kind(kind), m_text(std::move(text)) {}

    bool IsOk() const { return m_kind == StatusKind::Ok; }
    explicit operator bool() const { return IsOk(); }
    StatusKind Kind() const { return m_kind; }
    // What the player reads: one line, without a trailing full stop, such
    // as "No space left on device". Empty on success.
    const std::wstring& Text() const { return m_text; }

private:
    StatusKind m_kind = StatusKind::Ok;
    std::wstring m_text;
};

template <class T>
class Result {
public:
    Result(T value) : m_value(std::move(value)) {}  // NOLINT: a value reads as success
    Result(Status status) : m_value(std::move(status)) {}

    bool IsOk() const { return std::holds_alternative<T>(m_value); }
    explicit operator bool() const { return IsOk(); }

    // Only when IsOk().
    T& Value() & { return std::get<T>(m_value); }
    const T& Value() const& { return std::get<T>(m_value); }
    T&& Value() && { return std::get<T>(std::move(m_value)); }
    T& operator*() & { return Value(); }
    const T& operator*() const& { return Value(); }
    T* operator->() { return &Value(); }
    const T* operator->() const { return &Value(); }

    // Success when there is a value. A reference that lives as long as the
    // result, so `result.Error().Text()` may be kept or looped over.
    const Status& Error() const {
        static const Status success;
        return IsOk() ? success : std::get<Status>(m_value);
    }

private:
    std::variant<T, Status> m_value;
};

}  // namespace gh
