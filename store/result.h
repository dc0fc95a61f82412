#pragma once

#include <QString>

#include <optional>
#include <utility>

// What a failed operation leaves behind: a sentence for the user and, when
// the database gave one, its code (a server's SQLSTATE, SQLite's result
// code; tests and callers tell a lost connection, a damaged file or a broken
// rule apart by it).
struct Failure
{
    QString message;
    QString sqlState;
    int code = 0; // SQLite's; 0 when the failure is not the engine's
};

// A value or the error that came instead. A failed query is never an empty
// result: reading the value of a failed result is a programming error.
// An operation that leaves work done behind when it fails (files written
// before the one that stopped it) gives a Failure derived to carry it, so
// that every error still reads as error().message.
template<typename T, typename E = Failure>
class [[nodiscard]] Result
{
public:
    Result(T value)
        : m_value(std::move(value))
    {
    }
    Result(E error)
        : m_error(std::move(error))
    {
    }

    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }
    const E &error() const { return m_error; }

    T &operator*() { return *m_value; }
    const T &operator*() const { return *m_value; }
    T *operator->() { return &*m_value; }
    const T *operator->() const { return &*m_value; }
    // For a caller to whom a failure means the same as `fallback`.
    T value_or(T fallback) const { return m_value ? *m_value : std::move(fallback); }

private:
    std::optional<T> m_value;
    E m_error;
};

// The value of an operation that gives nothing back but success.
struct Done
{
};
