// A small expected-like result for operations that can fail: the value, or an
// error with a kind and a message that says what went wrong and where.
#pragma once

#include <string>
#include <utility>
#include <variant>

namespace plumage {

enum class ErrorKind {
  Truncated,    // the bytes end before the structure they announce
  Invalid,      // the bytes are there but make no sense
  Unsupported,  // a valid structure this program does not handle
  NotFound,     // no such file, key, value or entry
  Io,           // the operating system refused a read or a write
};

struct Error {
  ErrorKind kind = ErrorKind::Invalid;
  std::string message;
};

inline Error MakeError(ErrorKind kind, std::string message) { return Error{kind, std::move(message)}; }

template <typename T>
class [[nodiscard]] Result {
 public:
  Result(T value) : state_(std::move(value)) {}  // NOLINT: implicit by design
  Result(Error error) : state_(std::move(error)) {}  // NOLINT: implicit by design

  bool ok() const { return state_.index() == 0; }
  explicit operator bool() const { return ok(); }

  T& value() & { return std::get<0>(state_); }
  const T& value() const& { return std::get<0>(state_); }
  T&& value() && { return std::get<0>(std::move(state_)); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }
  T& operator*() & { return value(); }
  const T& operator*() const& { return value(); }

  const Error& error() const { return std::get<1>(state_); }

 private:
  std::variant<T, Error> state_;
};

// Success without a value.
struct Ok {};
using Status = Result<Ok>;

}  // namespace plumage

// Declares `var` as the value of a Result-returning `expr`, or returns its
// error from the enclosing function (whose Result type takes an Error).
#define PLUMAGE_TRY(var, expr)                    \
  auto var##_result = (expr);                     \
  if (!var##_result) return var##_result.error(); \
  auto var = *var##_result

// Returns the error of a Status-returning `expr` from the enclosing function.
#define PLUMAGE_CHECK(expr)                    \
  do {                                         \
    if (auto check_ = (expr); !check_) return check_.error(); \
  } while (false)
