// The class library's error classes.
#pragma once

#include <exception>

#include "vcl/ansi_string.h"

namespace vcl {

// The platform's error class. Message() is CP932 text; what() gives the same bytes.
// An Exception that escapes an event handler is shown by the application object
// (TApplication::HandleException) and the program goes on.
class Exception : public std::exception {
 public:
  explicit Exception(const AnsiString& message) : message_(message) {}
  const AnsiString& Message() const { return message_; }
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  AnsiString message_;
};

// Raised by TRegistry, e.g. for a value of the wrong type.
class ERegistryException : public Exception {
 public:
  using Exception::Exception;
};

// Raised when a named resource (form description, bitmap, icon) is missing, and
// when a stored form description is malformed or names what the form lacks.
class EResNotFound : public Exception {
 public:
  using Exception::Exception;
};

// Thrown, after one line on standard error, when the Qt application is first
// needed and no display can be used. Deliberately not an Exception: no handler
// shows it (there is nothing to show it on); main catches it and ends with 0.
class ENoDisplay {};

}  // namespace vcl
