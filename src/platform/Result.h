#pragma once

#include <QString>

#include <optional>
#include <utility>
#include <variant>

namespace ringtally {

/// What went wrong, in words that can be shown to the user as they stand.
struct Error {
    QString message;
};

/// The outcome of an operation that returns nothing: success, or an Error.
class [[nodiscard]] Status {
public:
    Status() = default;
    Status(Error error) : error_(std::move(error)) { } // NOLINT: an Error converts to a failed Status

    static Status success() { return {}; }

    bool ok() const { return !error_.has_value(); }
    explicit operator bool() const { return ok(); }
    /// The error's message; empty on success.
    QString message() const { return error_ ? error_->message : QString(); }

private:
    std::optional<Error> error_;
};

/// A value of type T, or an Error.
template <typename T> class [[nodiscard]] Result {
public:
    Result(T value) : state_(std::move(value)) { } // NOLINT: a value converts to a Result
    Result(Error error) : state_(std::move(error)) { } // NOLINT: so does an Error

    bool ok() const { return std::holds_alternative<T>(state_); }
    explicit operator bool() const { return ok(); }

    /// The value; only to be called when ok().
    const T& value() const& { return std::get<T>(state_); }
    T&& value() && { return std::get<T>(std::move(state_)); }
    /// The value, or fallback on failure.
    T valueOr(T fallback) const { return ok() ? std::get<T>(state_) : std::move(fallback); }
    /// The error's message; empty on success.
    QString message() const { return ok() ? QString() : std::get<Error>(state_).message; }
    /// This outcome without its value.
    Status status() const { return ok() ? Status() : Status(std::get<Error>(state_)); }

private:
    std::variant<T, Error> state_;
};

} // namespace ringtally
