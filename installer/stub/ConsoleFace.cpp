#include "ConsoleFace.h"

#include <strings.h>
#include <unistd.h>

#include "DestDir.h"
#include "Main.h"
#include "RmPaths.h"

namespace Decantor {

namespace {

constexpr int kBarWidth = 40;

bool IsAnswer(const std::string& aLine, const char* aShort, const char* aLong) {
  return strcasecmp(aLine.c_str(), aShort) == 0 || strcasecmp(aLine.c_str(), aLong) == 0;
}

}  // namespace

std::string ConsoleText(const std::string& aText) { return ReplaceAll("\r\n", "\n", aText); }

TConsoleFace::TConsoleFace(std::FILE* aIn, std::FILE* aOut, std::FILE* aErr)
    : FIn(aIn), FOut(aOut), FErr(aErr), FTerminal(isatty(fileno(aOut)) != 0) {}

bool TConsoleFace::ReadLine(std::string& aLine) {
  aLine.clear();
  std::fflush(FOut);
  int c;
  bool any = false;
  while ((c = std::fgetc(FIn)) != EOF) {
    any = true;
    if (c == '\n') break;
    aLine += char(c);
  }
  if (!aLine.empty() && aLine.back() == '\r') aLine.pop_back();
  return any;
}

void TConsoleFace::EndProgressLine() {
  if (FBarOpen) std::fputc('\n', FOut);
  FBarOpen = false;
}

int32_t TConsoleFace::MessageBox(const std::string& Text, const std::string& Caption,
                                 uint16_t Flags) {
  EndProgressLine();
  const uint16_t buttons = Flags & MB_BUTTONMASK;
  const uint16_t icon = Flags & MB_ICONMASK;
  std::FILE* out = icon == MB_ICONSTOP ? FErr : FOut;
  const char* kind = icon == MB_ICONSTOP          ? "Error"
                     : icon == MB_ICONEXCLAMATION ? "Warning"
                     : icon == MB_ICONQUESTION    ? "Question"
                                                  : "Message";
  std::fprintf(out, "[%s] %s:\n%s\n", Caption.c_str(), kind, ConsoleText(Text).c_str());
  std::fflush(out);
  if (buttons == MB_OK) return IDOK;
  const bool yesNo = buttons == MB_YESNO;
  for (;;) {
    std::fputs(yesNo ? "Yes or No? [y/n] " : "OK or Cancel? [o/c] ", FOut);
    std::string line;
    if (!ReadLine(line)) {
      std::fputc('\n', FOut);
      return yesNo ? IDNO : IDCANCEL;
    }
    if (yesNo && IsAnswer(line, "y", "yes")) return IDYES;
    if (yesNo && IsAnswer(line, "n", "no")) return IDNO;
    if (!yesNo && IsAnswer(line, "o", "ok")) return IDOK;
    if (!yesNo && IsAnswer(line, "c", "cancel")) return IDCANCEL;
  }
}

void TConsoleFace::SetMainCaption(const std::string& aCaption) { FCaption = aCaption; }

void TConsoleFace::SetProgress(int32_t aPosition) {
  if (aPosition == FShown) return;
  if (!FTerminal && FShown >= 0 && aPosition / 10 == FShown / 10 && aPosition != 100) return;
  FShown = aPosition;
  const int filled = aPosition * kBarWidth / 100;
  std::string bar(size_t(filled), '#');
  bar.append(size_t(kBarWidth - filled), '.');
  if (FTerminal) {
    // The line is rewritten in place: cleared to its end, the detail kept
    // within a terminal's 80 columns.
    std::fprintf(FOut, "\r[%s] %3d%%  %s\033[K", bar.c_str(), int(aPosition), FDetail.substr(0, 28).c_str());
    FBarOpen = true;
    if (aPosition == 100) EndProgressLine();
  } else {
    std::fprintf(FOut, "[%s] %3d%%%s%s\n", bar.c_str(), int(aPosition), FDetail.empty() ? "" : "  ",
                 FDetail.c_str());
  }
  std::fflush(FOut);
}

// The line is the console's message: nothing to wait for.
void TConsoleFace::ShowDone(const std::string& aText, bool) {
  EndProgressLine();
  std::fprintf(FOut, "%s\n", aText.c_str());
  std::fflush(FOut);
}

void TConsoleFace::SetProgressDetail(const std::string& aName, int32_t aDone, int32_t aTotal) {
  FDetail = std::to_string(aDone) + " of " + std::to_string(aTotal) + "  " + aName;
}

int32_t TConsoleFace::ShowDestDialog(TDestDirForm& aForm) {
  for (;;) {
    std::fprintf(FOut, "[%s]\n%s\n  %s\n", aForm.Caption().c_str(), TDestDirForm::kLabelCaption,
                 aForm.Path().c_str());
    std::fputs("Press Enter to accept, type another directory, or end the input to cancel: ",
               FOut);
    std::string line;
    if (!ReadLine(line)) {
      std::fputc('\n', FOut);
      aForm.PressCancel();
      return aForm.ModalResult();
    }
    if (!line.empty()) aForm.SetPath(line);
    if (aForm.PressOk()) return aForm.ModalResult();
  }
}

void TConsoleFace::RunMainWindow(bool aStartArmed, const std::function<void()>& aStart,
                                 const std::function<bool()>& aCloseRequest) {
  std::fprintf(FOut, "[%s]\n%s\n", FCaption.c_str(), TMainForm::kLabelCaption);
  std::fflush(FOut);
  FClosed = false;
  if (aStartArmed) {
    usleep(TMainForm::kStartIntervalMs * 1000);
    aStart();
  }
  EndProgressLine();
  // The run has ended without closing the window (it failed, or never
  // started): the session asks to close it, and while the answer is No the
  // window stays until the user asks again or the input ends.
  while (!FClosed) {
    if (aCloseRequest()) break;
    std::fputs("Press Enter to close the installer. ", FOut);
    std::string line;
    if (!ReadLine(line)) break;
  }
}

}  // namespace Decantor
