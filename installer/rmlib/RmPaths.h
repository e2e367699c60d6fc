// Paths and directories: separators, parents, the temporary and system directories, temporary
// names, file listing, path encoding and text replacement.
//
// The separator is '/' (the "backslash" routines keep their names); a path is absolute when it
// starts with '/'. Paths are compared and stored exactly as given: the file system is
// case-sensitive, so nothing here changes letter case. Paths are not cut to 255 characters,
// since a cut path would name another file.
#pragma once

#include <string>
#include <vector>

namespace Decantor {

// Path + "/" unless Path is empty or already ends with "/".
std::string AddBackslash(const std::string& Path);
// Path without one final "/", if present ("/" gives "").
std::string DelBackslash(const std::string& Path);
// "/" + Path unless Path is empty or already begins with "/".
std::string AddLeadingBackslash(const std::string& Path);
// Path without its first character when that is "/" and the second is not "/" (so "//host/x"
// stays as it is).
std::string DelLeadingBackslash(const std::string& Path);

// The name after the last "/" (the whole Path when it has none).
std::string ExtractFileName(const std::string& Path);
// The part up to and including the last "/" (empty when there is none).
std::string ExtractFilePath(const std::string& Path);
// Path made absolute against the working directory, with "." and ".." resolved by name (links
// are not followed); a final "/" is kept.
std::string ExpandFileName(const std::string& Path);

// True when Path's attributes can be read and say directory (links are followed).
bool DirExists(const std::string& Path);
// True when Path names an existing entry that is not a directory (links are followed).
bool FileExists(const std::string& Path);

// The parent directory: "/a/b" gives "/a"; a top-level entry such as "/a", and any path of at
// most two characters, give "" (so ForceDirectory never tries to create "/"). A final "/" is
// ignored. The separator is looked for from the last character back to the third.
std::string ParentDir(const std::string& Path);

// Creates Path and any missing parents; nothing when it exists. Failure: error 15 with Path.
void ForceDirectory(const std::string& Path);

// The system temporary directory with a final "/": $TMPDIR when it names an absolute existing
// directory, else "/tmp/".
std::string TempDir();
// The system directory, "/usr/local/lib" (no final "/"), created when missing.
std::string SystemDir();
// The directory that plays the role of the Windows directory here: "/usr/local", the tree that
// holds SystemDir (used only by EncodePath's "[WindowsDir]" macro).
std::string WindowsDir();

// A free name in Dir: Dir + "/__" + the digits of the current local date-time value (days since
// 30 December 1899 with the time as fraction, 15 significant digits, the decimal point removed)
// + Ext. Repeats until no entry of that name exists (a dangling link counts as existing).
std::string MakeTempFileName(const std::string& Dir, const std::string& Ext);

// A MakeTempFileName name created at once, exclusively (O_EXCL, no link followed) and readable
// and writable by the owner only (0600). A name taken between the two steps is skipped for the
// next. Returns the path; Fd receives the open descriptor, owned by the caller.
// Failure: error 5 with the path.
std::string CreateTempFile(const std::string& Dir, const std::string& Ext, int& Fd);

// Appends to List every entry of Dir matching Mask (wildcards "*" and "?"; a final ".*" also
// matches names without an extension, so "*.*" matches all), skipping directories and hidden
// entries (names starting with "."), each as EncodePath(Dir + "/" + name, Base, false), in byte
// order of the names. Recursive: then descends into each non-hidden sub-directory whose name
// sorts at or after "0" (not into links to directories). Nothing when Dir is not a directory.
void FindFiles(const std::string& Dir, const std::string& Mask, const std::string& Base,
               std::vector<std::string>& List, bool Recursive);

// True when Name matches Mask as FindFiles matches it.
bool MatchesMask(const std::string& Name, const std::string& Mask);

// Path relative to Base. Path must be absolute (error 25 with Path). An empty Base gives Path
// itself. Under Base (Base + "/" a prefix of Path): the rest after Base, without its leading
// "/" when Base + rest names an existing file. Outside Base: error 14 with Path unless
// AllowMacros, which gives "[WindowsDir]", "[SystemDir]" or "[" + directory + "/]" followed by
// the file name.
std::string EncodePath(const std::string& Path, const std::string& Base, bool AllowMacros);

// Text with every occurrence of Pattern replaced by Replacement, scanning left to right and
// never searching replaced text again. An empty Pattern leaves Text unchanged.
std::string ReplaceAll(const std::string& Pattern, const std::string& Replacement,
                       const std::string& Text);

// The path as the file system spells it; names are stored as given here, so this is Path.
std::string LongFileName(const std::string& Path);

}  // namespace Decantor
