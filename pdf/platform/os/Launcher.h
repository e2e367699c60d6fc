#pragma once
// platform/os: the library's dealings with its process and desktop: the
// application's message pump and handler (Application.cpp), code page 1252
// (CodePage.cpp), and the launcher below.
//
// Finding and starting the desktop's PDF viewer and web browser, the
// freedesktop way. Programs are looked up on PATH; the viewer is the desktop
// entry that `xdg-mime query default application/pdf` names (its Exec line),
// or else `xdg-open`; the browser is `x-www-browser`, or else `xdg-open`.
// Started programs are detached (their own session, standard streams on
// /dev/null) and never waited for.

#include <string>
#include <vector>

namespace Vellix::Launcher {

// A program and its arguments. Arguments may hold the desktop-entry field
// codes %f %F %u %U (replaced by the target) and %i %c %k (dropped); without
// any of them the target is appended.
struct TLaunchCommand {
  std::string Program;  // full path of an existing executable; empty = not found
  std::vector<std::string> Arguments;
  bool Empty() const { return Program.empty(); }
};

// The full path of an executable named aName on PATH (or aName itself when it
// holds a "/" and is executable); empty when there is none.
std::string FindOnPath(const std::string& aName);

// The desktop entry file for a desktop file id ("org.gnome.Evince.desktop")
// in $XDG_DATA_HOME/applications and $XDG_DATA_DIRS/*/applications; empty
// when there is none.
std::string FindDesktopFile(const std::string& aDesktopId);

// Splits a desktop entry's Exec value into words (double quotes and
// backslash escapes as the desktop entry rules have them).
std::vector<std::string> SplitExec(const std::string& aExec);

// The command that opens a PDF document; Empty() when none is found.
TLaunchCommand FindPdfViewer();

// The command that opens a web address; Empty() when none is found.
TLaunchCommand FindWebBrowser();

// The argument vector that aCommand gets for aTarget (field codes applied).
std::vector<std::string> CommandLine(const TLaunchCommand& aCommand, const std::string& aTarget);

// Starts aCommand for aTarget, detached. Returns false when it could not be started.
bool LaunchDetached(const TLaunchCommand& aCommand, const std::string& aTarget);

}  // namespace Vellix::Launcher
