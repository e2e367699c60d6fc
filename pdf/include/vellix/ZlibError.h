#pragma once
// Errors of the zlib streams and buffer routines. They are raised directly,
// not through a document's error rule, so they do not abort a document.

#include <vellix/Export.h>
#include <vellix/Exception.h>

namespace Vellix {

class VELLIX_API EZlibError : public Exception {
public:
  using Exception::Exception;
};
class VELLIX_API ECompressionError : public EZlibError {
public:
  using EZlibError::EZlibError;
};
class VELLIX_API EDecompressionError : public EZlibError {
public:
  using EZlibError::EZlibError;
};

// An operation the stream does not support (reading a compression stream,
// writing a decompression stream, seeking backwards).
inline constexpr const char* sInvalidStreamOp = "Invalid stream operation";
// DecompressToUserBuf could not reach the end of the data.
inline constexpr const char* sTargetBufferTooSmall = "ZLib error: target buffer may be too small";
// Any failure that zlib reports; zlib's own message is not passed on.
inline constexpr const char* sZlibError = "error";

}  // namespace Vellix
