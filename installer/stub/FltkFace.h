// The window face of the installer's forms, in FLTK: the main window with its
// label and progress bar, the destination dialog, and message boxes captioned
// with the application title.
#pragma once

#include <memory>
#include <string>

#include "InstallerFace.h"

class Fl_Box;
class Fl_Double_Window;
class Fl_Progress;
class Fl_Window;

namespace Decantor {

class TFltkFace : public TInstallerFace {
 public:
  // aScreenshotDir, when not empty, receives a PNG picture of every window as
  // it appears (destination.png, box-1.png, ...) and of the main window when
  // it starts (main.png), when its bar first passes half way during the
  // extraction (main-progress.png) and when it reaches 100 (main-100.png).
  explicit TFltkFace(const std::string& aScreenshotDir);
  ~TFltkFace() override;

  int32_t MessageBox(const std::string& Text, const std::string& Caption,
                     uint16_t Flags) override;
  void ProcessMessages() override;
  void SetMainCaption(const std::string& aCaption) override;
  void SetProgress(int32_t aPosition) override;
  void SetProgressDetail(const std::string& aName, int32_t aDone, int32_t aTotal) override;
  bool CancelRequested() override { return FCancelRequested; }
  void ShowDone(const std::string& aText, bool aAwaitUser) override;
  int32_t ShowDestDialog(TDestDirForm& aForm) override;
  void RunMainWindow(bool aStartArmed, const std::function<void()>& aStart,
                     const std::function<bool()>& aCloseRequest) override;
  void CloseMainWindow() override;
  void Snapshot(const std::string& aName) override;

 private:
  static void OnMainClose(void* aFace);
  static void OnStartTimer(void* aFace);
  void Save(Fl_Window& aWindow, const std::string& aName);
  // The detail line: the percentage and the file being extracted.
  void ShowDetail();

  std::unique_ptr<Fl_Double_Window> FMain;
  Fl_Box* FLabel = nullptr;
  Fl_Progress* FBar = nullptr;
  Fl_Box* FDetail = nullptr;       // "53%   12 of 400: Doc/Read me.txt"
  std::string FDetailText;
  std::string FFileText;           // "12 of 400: Doc/Read me.txt"
  bool FCancelRequested = false;   // the Cancel button was pressed
  std::string FCaption;
  std::string FScreenshotDir;
  int FBoxCount = 0;
  bool FSaved100 = false;
  bool FSavedHalf = false;
  std::function<void()> FStart;
  std::function<bool()> FCloseRequest;
};

}  // namespace Decantor
