#include "FltkDialogs.h"

#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_File_Chooser.H>
#include <FL/Fl_Return_Button.H>
#include <FL/Fl_Text_Buffer.H>
#include <FL/Fl_Text_Editor.H>
#include <FL/fl_ask.H>

#include <memory>

#include "AboutBox.h"

namespace Vellix::Design {

namespace {

std::vector<std::string> Split(const std::string& aText, char aSeparator) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    size_t end = aText.find(aSeparator, start);
    parts.push_back(aText.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) return parts;
    start = end + 1;
  }
}

bool RunFileChooser(TFileDialogRequest& aRequest, int aType) {
  std::string filter = ToFltkFilter(aRequest.Filter);
  Fl_File_Chooser chooser(".", filter.empty() ? nullptr : filter.c_str(), aType,
                          aRequest.Title.c_str());
  if (!aRequest.FileName.empty()) chooser.value(aRequest.FileName.c_str());
  chooser.show();
  while (chooser.shown()) Fl::wait();
  const char* chosen = chooser.value();
  if (!chosen || !*chosen) return false;
  aRequest.FileName = chosen;
  return true;
}

}  // namespace

std::string ToFltkFilter(const std::string& aFilter) {
  if (aFilter.empty()) return "";
  std::vector<std::string> parts = Split(aFilter, '|');
  std::string out;
  for (size_t i = 0; i + 1 < parts.size(); i += 2) {
    std::vector<std::string> patterns = Split(parts[i + 1], ';');
    for (auto& p : patterns)
      if (p == "*.*") p = "*";
    std::string pattern;
    if (patterns.size() > 1) {
      pattern += '{';
      for (size_t k = 0; k < patterns.size(); ++k) pattern += (k ? "," : "") + patterns[k];
      pattern += '}';
    } else {
      pattern = patterns[0];
    }
    if (!out.empty()) out += '\t';
    out += parts[i] + " (" + pattern + ")";
  }
  return out;
}

bool TFltkDialogs::ExecuteSave(TFileDialogRequest& aRequest) {
  return RunFileChooser(aRequest, Fl_File_Chooser::CREATE);
}

bool TFltkDialogs::ExecuteOpen(TFileDialogRequest& aRequest) {
  return RunFileChooser(aRequest, Fl_File_Chooser::SINGLE);
}

void TFltkDialogs::ShowAbout(const TAboutBoxContent& aContent,
                             const std::function<void()>& aOnLink) {
  TAboutBox box(aContent, aOnLink);
  box.ShowModal();
}

bool TFltkDialogs::EditStrings(const std::string& aTitle, std::vector<std::string>& aLines) {
  Fl_Double_Window window(360, 280);
  window.copy_label(("String List Editor - " + aTitle).c_str());
  window.set_modal();
  Fl_Text_Buffer buffer;  // outlives the editor, which only borrows it
  std::string text;
  for (size_t i = 0; i < aLines.size(); ++i) text += (i ? "\n" : "") + aLines[i];
  buffer.text(text.c_str());
  auto* editor = new Fl_Text_Editor(10, 10, 340, 220);
  editor->buffer(&buffer);
  bool confirmed = false;
  auto* ok = new Fl_Return_Button(190, 242, 75, 25, "OK");
  auto* cancel = new Fl_Button(275, 242, 75, 25, "Cancel");
  struct TState {
    Fl_Double_Window* Window;
    bool* Confirmed;
  } state{&window, &confirmed};
  ok->callback([](Fl_Widget*, void* s) {
    *static_cast<TState*>(s)->Confirmed = true;
    static_cast<TState*>(s)->Window->hide();
  }, &state);
  cancel->callback([](Fl_Widget*, void* s) { static_cast<TState*>(s)->Window->hide(); }, &state);
  window.end();
  window.resizable(editor);
  window.show();
  while (window.shown()) Fl::wait();
  editor->buffer(nullptr);
  if (!confirmed) return false;
  char* raw = buffer.text();
  std::string result(raw);
  free(raw);
  aLines.clear();
  if (!result.empty()) aLines = Split(result, '\n');
  // A trailing newline does not make an empty last entry.
  if (!aLines.empty() && aLines.back().empty()) aLines.pop_back();
  return true;
}

void TFltkDialogs::ShowError(const std::string& aMessage) { fl_alert("%s", aMessage.c_str()); }

int TFltkDialogs::AskSaveChanges(const std::string& aQuestion) {
  switch (fl_choice("%s", "Cancel", "Yes", "No", aQuestion.c_str())) {
    case 1: return 1;
    case 2: return 0;
    default: return -1;
  }
}

}  // namespace Vellix::Design
