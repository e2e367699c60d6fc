// Message boxes of the installer and the user-interface face that shows them.
//
// The library does not draw windows itself: the program installs a TUserInterface (an FLTK face
// when a display is present, a console face otherwise) and every box goes through it. Texts may
// contain CR LF line breaks; a face shows them as line breaks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Decantor {

// Message-box flags: one button set ORed with one icon.
inline constexpr uint16_t MB_OK = 0x0000;
inline constexpr uint16_t MB_OKCANCEL = 0x0001;
inline constexpr uint16_t MB_YESNO = 0x0004;
inline constexpr uint16_t MB_ICONSTOP = 0x0010;         // error / stop sign
inline constexpr uint16_t MB_ICONQUESTION = 0x0020;     // question mark
inline constexpr uint16_t MB_ICONEXCLAMATION = 0x0030;  // warning
inline constexpr uint16_t MB_ICONINFORMATION = 0x0040;
inline constexpr uint16_t MB_BUTTONMASK = 0x000F;
inline constexpr uint16_t MB_ICONMASK = 0x00F0;

// Identifiers of the pressed button.
inline constexpr int32_t IDOK = 1;
inline constexpr int32_t IDCANCEL = 2;
inline constexpr int32_t IDYES = 6;
inline constexpr int32_t IDNO = 7;

// What the library needs from the program's windows or console.
class TUserInterface {
public:
  virtual ~TUserInterface() = default;
  // Shows a modal box with Text, the caption Caption (the application title) and the buttons
  // and icon of Flags; returns the identifier of the pressed button. Closing the box without a
  // button returns IDCANCEL for OK/Cancel boxes and IDNO for Yes/No boxes.
  virtual int32_t MessageBox(const std::string& Text, const std::string& Caption,
                             uint16_t Flags) = 0;
  // Lets pending window events run; called after every copied chunk. Default: nothing.
  virtual void ProcessMessages() {}
  // Sets the screen cursor back to the default arrow. Default: nothing.
  virtual void RestoreDefaultCursor() {}
};

// Installs the face used for every box (borrowed; the caller keeps it alive while installed).
// nullptr restores the start state: a face that writes each text to standard error and answers
// with the box's first button (IDOK or IDYES).
void SetUserInterface(TUserInterface* aInterface);
TUserInterface& UserInterface();

// The application title, the caption of every box. Start: "Merovant auto-extractible file".
const std::string& ApplicationTitle();
void SetApplicationTitle(const std::string& aTitle);

// A window that hides into the notification area while a box is shown.
class TTrayWindow {
public:
  virtual ~TTrayWindow() = default;
  virtual bool Showing() const = 0;
  virtual void HideToTray() = 0;
  // Shows the window again in its normal state and removes its tray icon.
  virtual void RestoreFromTray() = 0;
  // Closes the window without asking; false when it could not be closed.
  virtual bool CloseWithoutQuery() = 0;
};

// The tray-capable windows (borrowed pointers), in registration order. Start: empty (always
// empty in the installer).
std::vector<TTrayWindow*>& TrayWindows();

// Shows Text in a box with Flags (see above), hiding the first showing tray window meanwhile;
// returns the pressed button. In silent mode raises error 1280 ("CustomMsg") instead.
int32_t CustomMsg(const std::string& Text, uint16_t Flags);

// A Yes/No question with ErrorText(Code, Info, " ?"); true for Yes. Silent mode: true.
bool Confirm(int32_t Code, const std::string& Info);

// A warning with ErrorText(Code, Info, ".") and OK (OK and Cancel when WithCancel); true for OK.
// Counts the boxes shown. Silent mode: true without a box.
bool Warn(int32_t Code, const std::string& Info, bool WithCancel);

}  // namespace Decantor
