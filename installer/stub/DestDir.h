// The destination-directory dialog: the one question the installer asks before
// it extracts. It offers the default destination in its edit box `ePath`; when
// the user confirms a directory that does not exist, it asks whether to create
// it. The dialog itself creates nothing: extraction creates the directory.
#pragma once

#include <cstdint>
#include <string>

namespace Decantor {

class TDestDirForm {
 public:
  // Texts and geometry of the dialog, shared by the faces that show it.
  static constexpr const char* kDesignCaption = "Destination Directory";
  static constexpr const char* kLabelCaption = "Extract files to Directory:";
  static constexpr const char* kOkCaption = "Ok";
  static constexpr const char* kCancelCaption = "Cancel";
  static constexpr int kClientWidth = 397, kClientHeight = 86;
  static constexpr int kLabelX = 18, kLabelY = 6, kLabelW = 114, kLabelH = 13;
  static constexpr int kPathX = 18, kPathY = 22, kPathW = 361, kPathH = 21;
  static constexpr int kOkX = 120, kCancelX = 202, kButtonY = 54, kButtonW = 75, kButtonH = 25;

  // The window caption; the main window sets it to the installer's title.
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& aCaption) { FCaption = aCaption; }

  // The text of the edit box ePath, unchanged (not trimmed, not made absolute).
  const std::string& Path() const { return FPath; }
  void SetPath(const std::string& aPath) { FPath = aPath; }

  // 1 (Ok), 2 (Cancel) or 0 while the dialog is open.
  int32_t ModalResult() const { return FModalResult; }
  void SetModalResult(int32_t aResult) { FModalResult = aResult; }

  // Asked before the dialog closes. With the result Ok, a path that names a
  // file (or lies below one), or that this user may not write, is refused
  // with a message (DestinationProblem) and the dialog stays open; a path that
  // is not an existing directory (an empty path included) makes CanClose the
  // answer to "Create directory: " + path + " ?". Other results close without
  // a question.
  void FormCloseQuery(bool& CanClose);

  // Presses "Ok" with the current path: sets the result Ok and asks
  // FormCloseQuery; true when the dialog may close. When it may not, the result
  // goes back to 0 and the dialog stays open.
  bool PressOk();
  // Presses "Cancel" (also Escape and the close box): the dialog closes with result 2.
  void PressCancel();

 private:
  std::string FCaption = kDesignCaption;
  std::string FPath;
  int32_t FModalResult = 0;
};

}  // namespace Decantor
