// A face that answers every question itself for scripted installs: Yes to
// Yes/No questions and OK to OK/Cancel ones, writing each question and its
// answer to a log stream. Everything else goes to the face it wraps.
#pragma once

#include <cstdio>

#include "InstallerFace.h"

namespace Decantor {

class TAnsweringFace : public TInstallerFace {
 public:
  // aInner shows everything that is not a question; both are borrowed.
  TAnsweringFace(TInstallerFace& aInner, std::FILE* aLog) : FInner(aInner), FLog(aLog) {}

  int32_t MessageBox(const std::string& Text, const std::string& Caption,
                     uint16_t Flags) override;
  void ProcessMessages() override { FInner.ProcessMessages(); }
  void RestoreDefaultCursor() override { FInner.RestoreDefaultCursor(); }
  void SetMainCaption(const std::string& aCaption) override { FInner.SetMainCaption(aCaption); }
  void SetProgress(int32_t aPosition) override { FInner.SetProgress(aPosition); }
  void SetProgressDetail(const std::string& aName, int32_t aDone, int32_t aTotal) override {
    FInner.SetProgressDetail(aName, aDone, aTotal);
  }
  bool CancelRequested() override { return FInner.CancelRequested(); }
  // Nobody is there to close a closing message.
  void ShowDone(const std::string& aText, bool) override { FInner.ShowDone(aText, false); }
  int32_t ShowDestDialog(TDestDirForm& aForm) override { return FInner.ShowDestDialog(aForm); }
  void RunMainWindow(bool aStartArmed, const std::function<void()>& aStart,
                     const std::function<bool()>& aCloseRequest) override {
    FInner.RunMainWindow(aStartArmed, aStart, aCloseRequest);
  }
  void CloseMainWindow() override { FInner.CloseMainWindow(); }
  void Snapshot(const std::string& aName) override { FInner.Snapshot(aName); }

 private:
  TInstallerFace& FInner;
  std::FILE* FLog;
};

}  // namespace Decantor
