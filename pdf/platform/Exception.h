#pragma once
// The library's error type. Every error of the document, its canvas, fonts,
// images and grids reaches the application as a Vellix::Exception whose
// Message() is the composed text ("Invalid property value: PageHeight").

#include <exception>
#include <string>

namespace Vellix {

class Exception : public std::exception {
public:
  explicit Exception(std::string aMessage) : FMessage(std::move(aMessage)) {}
  const std::string& Message() const noexcept { return FMessage; }
  const char* what() const noexcept override { return FMessage.c_str(); }

private:
  std::string FMessage;
};

// Stream failures: opening, creating, reading or writing a stream.
class EStreamError : public Exception {
public:
  using Exception::Exception;
};
class EFOpenError : public EStreamError {
public:
  using EStreamError::EStreamError;
};
class EFCreateError : public EStreamError {
public:
  using EStreamError::EStreamError;
};
class EReadError : public EStreamError {
public:
  using EStreamError::EStreamError;
};
class EWriteError : public EStreamError {
public:
  using EStreamError::EStreamError;
};

}  // namespace Vellix
