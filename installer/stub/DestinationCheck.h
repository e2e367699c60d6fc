// What can be known about a destination before anything is written: whether
// it names a file, and whether this user may create or write it. Checked when
// the destination is confirmed, so that a place the run could never fill is
// refused at once, not after the user has said yes.
#pragma once

#include <string>

namespace Decantor {

// "" when aPath (an existing directory, or one to create) can be written by
// this process; otherwise the message that says why: "Not a directory: P"
// when P, aPath or one of its parents, is something other than a directory,
// "Can't write to directory: P" when P, the nearest directory that exists, may
// not be written. An empty path is not checked.
std::string DestinationProblem(const std::string& aPath);

// The destination offered to a user who cannot write aDefault: the same
// place below $HOME/.local/opt (aDefault's part under aProgramFiles, else its
// last component), or aDefault itself when it can be written, for root, or
// without a home.
std::string UserDestination(const std::string& aDefault, const std::string& aProgramFiles);
// Its place below aHome: aHome + "/.local/opt/" + the part of aDefault below
// aProgramFiles, or its last component.
std::string HomeDestination(const std::string& aDefault, const std::string& aProgramFiles, const std::string& aHome);

}  // namespace Decantor
