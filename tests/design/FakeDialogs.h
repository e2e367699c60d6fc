#pragma once
// Dialogs that answer as a test tells them and record what they were asked.

#include <string>
#include <vector>

#include "DesignDialogs.h"
#include "PropertyEditor.h"

namespace VellixTest {

class TFakeDialogs : public Vellix::Design::TDesignDialogs {
public:
  // What the next file dialog answers: confirmed with ChosenFile, or cancelled.
  bool ConfirmFile = false;
  std::string ChosenFile;
  bool ConfirmStrings = false;
  std::vector<std::string> NewLines;
  int SaveAnswer = 0;
  bool ClickLinkInAbout = false;

  std::vector<Vellix::Design::TFileDialogRequest> FileRequests;
  std::vector<Vellix::Design::TAboutBoxContent> AboutBoxes;
  std::vector<std::string> Errors;
  std::vector<std::string> StringTitles;

  bool ExecuteSave(Vellix::Design::TFileDialogRequest& aRequest) override { return File(aRequest); }
  bool ExecuteOpen(Vellix::Design::TFileDialogRequest& aRequest) override { return File(aRequest); }
  void ShowAbout(const Vellix::Design::TAboutBoxContent& aContent,
                 const std::function<void()>& aOnLink) override {
    AboutBoxes.push_back(aContent);
    if (ClickLinkInAbout) aOnLink();
  }
  bool EditStrings(const std::string& aTitle, std::vector<std::string>& aLines) override {
    StringTitles.push_back(aTitle);
    if (ConfirmStrings) aLines = NewLines;
    return ConfirmStrings;
  }
  void ShowError(const std::string& aMessage) override { Errors.push_back(aMessage); }
  int AskSaveChanges(const std::string&) override { return SaveAnswer; }

private:
  bool File(Vellix::Design::TFileDialogRequest& aRequest) {
    FileRequests.push_back(aRequest);
    if (ConfirmFile) aRequest.FileName = ChosenFile;
    return ConfirmFile;
  }
};

// Installs a TFakeDialogs for the life of a test and puts the previous back.
class TFakeDialogsScope {
public:
  TFakeDialogsScope() {
    auto fake = std::make_unique<TFakeDialogs>();
    FFake = fake.get();
    FPrevious = Vellix::Design::SetDesignDialogs(std::move(fake));
  }
  ~TFakeDialogsScope() { Vellix::Design::SetDesignDialogs(std::move(FPrevious)); }
  TFakeDialogs& operator*() const { return *FFake; }
  TFakeDialogs* operator->() const { return FFake; }

private:
  TFakeDialogs* FFake;
  std::unique_ptr<Vellix::Design::TDesignDialogs> FPrevious;
};

// A designer that counts Modified notifications.
class TCountingDesigner : public Vellix::Design::TFormDesigner {
public:
  int Count = 0;
  void Modified() override { ++Count; }
};

}  // namespace VellixTest
