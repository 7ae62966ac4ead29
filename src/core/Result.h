#pragma once

#include <QString>

#include <optional>
#include <utility>

// The core reports failures as values, never as message boxes: the widget layer
// decides how to show the (Turkish) error text. A result must be looked at: a
// discarded one is a compile warning (an error in CI). Where a failure truly does
// not matter, say so with (void) and a comment.
template <typename T>
class [[nodiscard]] Result {
 public:
  Result(T value) : m_value(std::move(value)) {}  // NOLINT(google-explicit-constructor)
  static Result failure(QString error) { return Result(std::move(error), 0); }

  bool ok() const { return m_value.has_value(); }
  explicit operator bool() const { return ok(); }
  const T& value() const { return *m_value; }
  T& value() { return *m_value; }
  const T& operator*() const { return *m_value; }
  const T* operator->() const { return &*m_value; }
  const QString& error() const { return m_error; }
  // The value, or `fallback` after a failure: for what is only shown, never for a
  // rule that decides something (a rule passes the failure on).
  T valueOr(T fallback) const { return ok() ? *m_value : std::move(fallback); }

 private:
  Result(QString error, int) : m_error(std::move(error)) {}
  std::optional<T> m_value;
  QString m_error;
};

template <>
class [[nodiscard]] Result<void> {
 public:
  Result() = default;
  static Result failure(QString error) {
    Result r;
    r.m_ok = false;
    r.m_error = std::move(error);
    return r;
  }
  bool ok() const { return m_ok; }
  explicit operator bool() const { return ok(); }
  const QString& error() const { return m_error; }

 private:
  bool m_ok = true;
  QString m_error;
};

using Status = Result<void>;
