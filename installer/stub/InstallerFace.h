// What the installer's forms need from a user-interface face. The same forms
// (the main window and the destination dialog) are shown either as FLTK
// windows or on the console; the forms hold the logic and the texts, a face
// only shows them and reports what the user did.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "RmMessages.h"

namespace Decantor {

class TDestDirForm;

// Modal results of a dialog.
inline constexpr int32_t mrNone = 0;
inline constexpr int32_t mrOk = 1;
inline constexpr int32_t mrCancel = 2;

class TInstallerFace : public TUserInterface {
 public:
  // The main window's caption (the installer's title).
  virtual void SetMainCaption(const std::string& aCaption) = 0;
  // Moves the main window's progress bar; aPosition is within 0 to 100.
  virtual void SetProgress(int32_t aPosition) = 0;
  // Names the file being extracted as the aDone-th of aTotal, shown with the
  // bar from its next move. Default: nothing.
  virtual void SetProgressDetail(const std::string& aName, int32_t aDone, int32_t aTotal) {
    (void)aName, (void)aDone, (void)aTotal;
  }
  // Whether the user asked to stop the extraction (a Cancel button) since
  // the window was shown. Default: never.
  virtual bool CancelRequested() { return false; }
  // Says where the files went once the extraction is complete; with
  // aAwaitUser a face with windows says it in a message box and returns when
  // the user has closed it (an unattended run passes false). Default: nothing.
  virtual void ShowDone(const std::string& aText, bool aAwaitUser) { (void)aText, (void)aAwaitUser; }
  // Shows aForm modally until it closes with a modal result that its
  // FormCloseQuery accepts (the face asks it before closing); returns that result.
  virtual int32_t ShowDestDialog(TDestDirForm& aForm) = 0;
  // Shows the main window and runs its message loop until it closes. When
  // aStartArmed, aStart runs once, 100 ms after the window is on screen. A
  // close request by the user (close box; on the console, the end of the
  // session) calls aCloseRequest and closes the window only when it returns true.
  virtual void RunMainWindow(bool aStartArmed, const std::function<void()>& aStart,
                             const std::function<bool()>& aCloseRequest) = 0;
  // Closes the main window without asking (the form has decided); the loop of
  // RunMainWindow then ends.
  virtual void CloseMainWindow() = 0;
  // Saves a picture of the windows on screen, when the face can and was asked
  // to (for documentation and tests); aName names the moment. Default: nothing.
  virtual void Snapshot(const std::string& aName) { (void)aName; }
};

}  // namespace Decantor
