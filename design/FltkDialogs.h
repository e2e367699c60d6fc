#pragma once
// The designer's dialogs as FLTK windows: FLTK's own file chooser, the about
// box, a line editor for string lists and FLTK's message boxes. Each dialog
// is modal and returns when the person closes it.

#include <string>

#include "DesignDialogs.h"

namespace Vellix::Design {

class TFltkDialogs : public TDesignDialogs {
public:
  bool ExecuteSave(TFileDialogRequest& aRequest) override;
  bool ExecuteOpen(TFileDialogRequest& aRequest) override;
  void ShowAbout(const TAboutBoxContent& aContent, const std::function<void()>& aOnLink) override;
  bool EditStrings(const std::string& aTitle, std::vector<std::string>& aLines) override;
  void ShowError(const std::string& aMessage) override;
  int AskSaveChanges(const std::string& aQuestion) override;
};

// A filter of "description|pattern" pairs ("PDF Files|*.pdf|All Files|*.*")
// in the form FLTK's file chooser reads ("PDF Files (*.pdf)\tAll Files (*)").
// "*.*" means every file, as on the desktop it comes from, so it becomes "*";
// patterns separated by ";" become FLTK's "{a,b}" alternatives.
std::string ToFltkFilter(const std::string& aFilter);

}  // namespace Vellix::Design
