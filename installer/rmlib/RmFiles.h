// Copying and deleting files.
#pragma once

#include <string>

namespace Decantor {

// Size of the chunks CopyFile reads and writes, in bytes.
inline constexpr std::size_t kCopyChunk = 10000;

// Copies Source to Dest in 10,000-byte chunks and gives Dest the modification time and the
// permission bits of Source. Dest is made absolute; when it is an existing directory or ends
// with "/", the directory is created as needed and Source's file name is appended. An existing
// Dest is replaced; the new one is created exclusively, never through a planted link. When
// Dest is the same file as Source (the same path, or a link to it) nothing is copied.
// After each chunk: BytesCopied grows, the copy progress callback gets the percentage of
// BytesToCopy, pending window events run, and AbortCopy ends the copy.
// Errors: 4 (Source missing), 1 "CopyFile : BytesToCopy=0" (callback set without a total),
// 5 (Source cannot be opened or read), 9 (Dest cannot be created), 2 (short write); after a
// failed read or write the partial Dest is removed.
void CopyFile(const std::string& Source, const std::string& Dest);

// Deletes the entry Path (a file or a link, never a directory) when it exists.
// Failure: error 11 with Path.
void DeleteFileIfExists(const std::string& Path);

}  // namespace Decantor
