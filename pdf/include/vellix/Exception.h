#pragma once
// The library's error type. Every error of the document, its canvas, fonts,
// images and grids reaches the application as a Vellix::Exception whose
// Message() is the composed text ("Invalid property value: PageHeight").

#include <vellix/Export.h>
#include <exception>
#include <string>

namespace Vellix {

class VELLIX_API Exception : public std::exception {
public:
  explicit Exception(std::string aMessage) : FMessage(std::move(aMessage)) {}
  const std::string& Message() const noexcept { return FMessage; }
  const char* what() const noexcept override { return FMessage.c_str(); }

private:
  std::string FMessage;
};

// Stream failures: opening, creating, reading or writing a stream.
class VELLIX_API EStreamError : public Exception {
public:
  using Exception::Exception;
};
class VELLIX_API EFOpenError : public EStreamError {
public:
  using EStreamError::EStreamError;
};
class VELLIX_API EFCreateError : public EStreamError {
public:
  using EStreamError::EStreamError;
};
class VELLIX_API EReadError : public EStreamError {
public:
  using EStreamError::EStreamError;
};
class VELLIX_API EWriteError : public EStreamError {
public:
  using EStreamError::EStreamError;
};

}  // namespace Vellix
