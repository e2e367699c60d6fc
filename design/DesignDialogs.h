#pragma once
// The dialogs the designer host and its property editors show, behind one
// interface. The default implementation shows FLTK windows
// (FltkDialogs.h); tests and other hosts install their own with
// SetDesignDialogs, so the editors' logic runs without a display.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <vellix/Color.h>

namespace Vellix::Design {

// A label of the about box. Positions are in pixels, relative to the panel
// for labels on it; sizes in points.
struct TAboutLabel {
  int Left, Top, Width, Height;
  std::string Caption;
  int FontSize;  // points
  bool Bold = false;
  bool Underline = false;
  TColor Color = clWindowText;
  bool HandCursor = false;
  bool Centered = true;
  bool AutoSize = false;
};

// Everything the about box shows; the dialog draws what this says.
struct TAboutBoxContent {
  int Width = 339, Height = 212;  // client area, pixels; centred on the screen
  std::string Caption;
  std::string FontName = "MS Sans Serif";
  int FontSize = 8;  // points
  int PanelLeft = 16, PanelTop = 8, PanelWidth = 300, PanelHeight = 129;  // lowered bevel
  TAboutLabel Title;  // the product and version
  TAboutLabel Link;   // the maker's web address; clicking it calls the link action
  int ButtonLeft = 128, ButtonTop = 149, ButtonWidth = 75, ButtonHeight = 25;
  std::string ButtonCaption = "&Ok";  // the default button; closes with "OK"
};

// A file-name request: the title, a filter of "description|pattern" pairs
// separated by "|" ("PDF Files|*.pdf|All Files|*.*"), and the proposed name.
struct TFileDialogRequest {
  std::string Title;
  std::string Filter;
  std::string FileName;
};

class TDesignDialogs {
public:
  virtual ~TDesignDialogs() = default;
  // A save-file dialog: true and the chosen name in aRequest.FileName when the
  // person confirms, false (aRequest unchanged) when they cancel.
  virtual bool ExecuteSave(TFileDialogRequest& aRequest) = 0;
  // An open-file dialog, likewise.
  virtual bool ExecuteOpen(TFileDialogRequest& aRequest) = 0;
  // The modal about box; aOnLink runs each time the link label is clicked,
  // while the box stays open.
  virtual void ShowAbout(const TAboutBoxContent& aContent, const std::function<void()>& aOnLink) = 0;
  // Edits a string list, one entry per line: true and the new lines when
  // confirmed.
  virtual bool EditStrings(const std::string& aTitle, std::vector<std::string>& aLines) = 0;
  // A message box with an error (a refused property value).
  virtual void ShowError(const std::string& aMessage) = 0;
  // Asks whether to save changes: 1 yes, 0 no, -1 cancel.
  virtual int AskSaveChanges(const std::string& aQuestion) = 0;
};

// The dialogs in use (FLTK unless replaced).
TDesignDialogs& DesignDialogs();
// Replaces the dialogs; returns the previous ones so a test can put them back.
std::unique_ptr<TDesignDialogs> SetDesignDialogs(std::unique_ptr<TDesignDialogs> aDialogs);

}  // namespace Vellix::Design
