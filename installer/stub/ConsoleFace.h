// The console face of the installer's forms, used without a display: the same
// texts as the windows, the destination offered as a default to accept or
// edit, yes/no questions answered on standard input, and a text progress bar.
#pragma once

#include <cstdio>
#include <string>

#include "InstallerFace.h"

namespace Decantor {

class TConsoleFace : public TInstallerFace {
 public:
  // Reads answers from aIn and writes to aOut (error boxes to aErr). The
  // streams are borrowed. The progress bar is redrawn in place when aOut is a
  // terminal and printed in steps of 10 otherwise.
  TConsoleFace(std::FILE* aIn, std::FILE* aOut, std::FILE* aErr);

  int32_t MessageBox(const std::string& Text, const std::string& Caption,
                     uint16_t Flags) override;
  void SetMainCaption(const std::string& aCaption) override;
  void SetProgress(int32_t aPosition) override;
  void SetProgressDetail(const std::string& aName, int32_t aDone, int32_t aTotal) override;
  void ShowDone(const std::string& aText, bool aAwaitUser) override;
  int32_t ShowDestDialog(TDestDirForm& aForm) override;
  void RunMainWindow(bool aStartArmed, const std::function<void()>& aStart,
                     const std::function<bool()>& aCloseRequest) override;
  void CloseMainWindow() override { FClosed = true; }

 private:
  // One line of input without its line end; false at the end of input.
  bool ReadLine(std::string& aLine);
  void EndProgressLine();

  std::FILE* FIn;
  std::FILE* FOut;
  std::FILE* FErr;
  bool FTerminal;
  std::string FCaption;
  int32_t FShown = -1;
  std::string FDetail;  // "12 of 400  Doc/Read me.txt"
  bool FBarOpen = false;
  bool FClosed = false;
};

// The text of a box as the console shows it: CR LF line breaks become "\n".
std::string ConsoleText(const std::string& aText);

}  // namespace Decantor
