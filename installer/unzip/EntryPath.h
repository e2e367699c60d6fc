// Rules that keep every extracted entry inside its destination directory.
// Pure functions on names; nothing here touches the file system.
#pragma once

#include <cstddef>

namespace Decantor::Unzip {

// Turns an archive entry name (aLength bytes, not NUL-terminated) into a path
// relative to the destination, written NUL-terminated to aOut (aOutSize bytes).
// Backslashes count as separators; empty and "." components are dropped.
// aIsDirectory is set when the name ends with a separator. Returns false for a
// name that would leave the destination or cannot be represented: absolute,
// with a ".." component, with an embedded NUL, a file whose name is empty after
// normalisation, or a result longer than aOutSize - 1. A directory name that
// normalises to "" (such as "./") is the destination itself and is accepted.
bool NormalizeEntryName(const char* aName, size_t aLength, char* aOut, size_t aOutSize,
                        bool& aIsDirectory);

// Whether a normalised entry path may be extracted as the installer's
// system-directory convention reads it: a name at the top of the archive that
// begins with "%" is moved, without its "%", into the system directory, so it
// must be a plain file ("%name", not a directory, not "%", "%.", "%.." and
// nothing below a "%" folder). Paths not beginning with "%" always pass.
bool IsSafePercentName(const char* aPath, bool aIsDirectory);

// Whether an entry name holds a control character (below 32, or 127): such
// names would reach the disk and the terminal as they are.
bool HasControlCharacter(const char* aName, size_t aLength);

// Whether a symbolic link stored at aLinkPath (a normalised entry path) whose
// target is aTarget (aLength bytes) resolves inside the destination. Accepted
// targets are relative and go up only at their start ("../lib/x.so", "b/c"):
// the leading ".." steps may not climb above the destination, and a ".." after
// a name is refused, because that name may itself be a link.
bool IsSafeLinkTarget(const char* aLinkPath, const char* aTarget, size_t aLength);

// Whether the entry name matches the file specification of an extract command.
// Null, "", "*" and "*.*" match every entry; otherwise the pattern is a shell
// wildcard matched against the whole name, or against the last component when
// the pattern has no "/".
bool MatchesFileSpec(const char* aSpec, const char* aName);

}  // namespace Decantor::Unzip
