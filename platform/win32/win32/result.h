// Outcomes of the layer's own (non-Win32) calls: a value or a reason.
#pragma once

#include <optional>
#include <string>
#include <utility>

namespace win32 {

// Why an operation failed, as a sentence for the user (UTF-8), plus the errno
// behind it when there is one (0 otherwise).
struct Error {
  std::string reason;
  int errnum = 0;
};

// A value or an Error. Small on purpose: C++20 has no std::expected.
template <class T>
class Expected {
 public:
  Expected(T value) : value_(std::move(value)) {}  // NOLINT: implicit by design
  Expected(Error error) : error_(std::move(error)) {}  // NOLINT: implicit by design

  explicit operator bool() const { return value_.has_value(); }
  bool ok() const { return value_.has_value(); }
  T& operator*() { return *value_; }
  const T& operator*() const { return *value_; }
  T* operator->() { return &*value_; }
  const T* operator->() const { return &*value_; }
  const Error& error() const { return error_; }

 private:
  std::optional<T> value_;
  Error error_;
};

// Success or an Error, for operations without a value.
class Status {
 public:
  Status() = default;
  Status(Error error) : failed_(true), error_(std::move(error)) {}  // NOLINT: implicit by design
  explicit operator bool() const { return !failed_; }
  bool ok() const { return !failed_; }
  const Error& error() const { return error_; }

 private:
  bool failed_ = false;
  Error error_;
};

}  // namespace win32
