#include "unzip/EntryPath.h"

#include <cstring>
#include <fnmatch.h>

namespace Decantor::Unzip {

namespace {

bool IsSeparator(char aChar) { return aChar == '/' || aChar == '\\'; }

bool IsDotDot(const char* aStart, size_t aLength) {
  return aLength == 2 && aStart[0] == '.' && aStart[1] == '.';
}

bool IsDot(const char* aStart, size_t aLength) { return aLength == 1 && aStart[0] == '.'; }

}  // namespace

bool NormalizeEntryName(const char* aName, size_t aLength, char* aOut, size_t aOutSize,
                        bool& aIsDirectory) {
  aIsDirectory = false;
  if (aOutSize == 0) return false;
  aOut[0] = '\0';
  if (aLength == 0 || std::memchr(aName, '\0', aLength) != nullptr) return false;
  // Windows archivers sometimes write "\" and a drive-less root; both would let
  // a name start at the root of the file system.
  if (IsSeparator(aName[0])) return false;
  aIsDirectory = IsSeparator(aName[aLength - 1]);

  size_t written = 0;
  size_t pos = 0;
  while (pos < aLength) {
    size_t end = pos;
    while (end < aLength && !IsSeparator(aName[end])) ++end;
    const char* part = aName + pos;
    const size_t partLength = end - pos;
    pos = end + 1;
    if (partLength == 0 || IsDot(part, partLength)) continue;
    if (IsDotDot(part, partLength)) return false;
    const size_t needed = written + (written > 0 ? 1 : 0) + partLength;
    if (needed >= aOutSize) return false;
    if (written > 0) aOut[written++] = '/';
    std::memcpy(aOut + written, part, partLength);
    written += partLength;
  }
  aOut[written] = '\0';
  return written > 0 || aIsDirectory;
}

bool IsSafePercentName(const char* aPath, bool aIsDirectory) {
  if (aPath[0] != '%') return true;
  if (aIsDirectory || std::strchr(aPath, '/') != nullptr) return false;
  const char* rest = aPath + 1;
  const size_t length = std::strlen(rest);
  return length > 0 && !IsDot(rest, length) && !IsDotDot(rest, length);
}

bool HasControlCharacter(const char* aName, size_t aLength) {
  for (size_t i = 0; i < aLength; ++i) {
    const unsigned char c = static_cast<unsigned char>(aName[i]);
    if (c < 32 || c == 127) return true;
  }
  return false;
}

bool IsSafeLinkTarget(const char* aLinkPath, const char* aTarget, size_t aLength) {
  if (aLength == 0 || std::memchr(aTarget, '\0', aLength) != nullptr) return false;
  if (aTarget[0] == '/') return false;

  // Depth of the directory holding the link: "a/b/link" lives two levels down.
  size_t depth = 0;
  for (const char* c = aLinkPath; *c != '\0'; ++c)
    if (*c == '/') ++depth;

  size_t climbs = 0;
  bool sawName = false;
  size_t pos = 0;
  while (pos < aLength) {
    size_t end = pos;
    while (end < aLength && aTarget[end] != '/') ++end;
    const char* part = aTarget + pos;
    const size_t partLength = end - pos;
    pos = end + 1;
    if (partLength == 0 || IsDot(part, partLength)) continue;
    if (IsDotDot(part, partLength)) {
      if (sawName) return false;
      if (++climbs > depth) return false;
    } else {
      sawName = true;
    }
  }
  return true;
}

bool MatchesFileSpec(const char* aSpec, const char* aName) {
  if (aSpec == nullptr || aSpec[0] == '\0' || std::strcmp(aSpec, "*") == 0 ||
      std::strcmp(aSpec, "*.*") == 0)
    return true;
  if (fnmatch(aSpec, aName, 0) == 0) return true;
  if (std::strchr(aSpec, '/') != nullptr) return false;
  const char* slash = std::strrchr(aName, '/');
  return slash != nullptr && fnmatch(aSpec, slash + 1, 0) == 0;
}

}  // namespace Decantor::Unzip
