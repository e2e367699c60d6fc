#include "FltkFace.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Native_File_Chooser.H>
#include <FL/Fl_Progress.H>
#include <FL/Fl_Return_Button.H>
#include <FL/fl_draw.H>

#include <algorithm>

#include "ConsoleFace.h"
#include "DestDir.h"
#include "Main.h"
#include "RmPaths.h"
#include "Screenshot.h"

namespace Decantor {

namespace {

// "MS Sans Serif" at a height of 11 pixels.
constexpr Fl_Font kFont = FL_HELVETICA;
constexpr Fl_Fontsize kFontSize = 11;

// "Browse..." beside the destination's edit box, and its chooser's title.
constexpr int kBrowseW = 70;
constexpr const char* kBrowseCaption = "&Browse...";
constexpr const char* kBrowseTitle = "Choose the destination directory";

void CenterOnScreen(Fl_Window& aWindow) {
  aWindow.position((Fl::w() - aWindow.w()) / 2, (Fl::h() - aWindow.h()) / 2);
}

// A message box: icon, text and buttons; records the pressed button.
class TBoxWindow : public Fl_Double_Window {
 public:
  TBoxWindow(const std::string& aText, const std::string& aCaption, uint16_t aFlags)
      : Fl_Double_Window(100, 100), FText(ConsoleText(aText)), FCaption(aCaption) {
    const uint16_t buttons = aFlags & MB_BUTTONMASK;
    const uint16_t icon = aFlags & MB_ICONMASK;
    FEscapeResult = buttons == MB_YESNO ? IDNO : buttons == MB_OKCANCEL ? IDCANCEL : IDOK;

    fl_font(kFont, kFontSize + 1);
    int textW = 0, textH = 0;
    fl_measure(FText.c_str(), textW, textH, 0);
    if (textW > 420) {
      textW = 420;
      textH = 0;
      fl_measure(FText.c_str(), textW, textH, 0);
    }
    const bool twoButtons = buttons == MB_YESNO || buttons == MB_OKCANCEL;
    const int width = std::max(textW + 90, twoButtons ? 200 : 140);
    const int height = std::max(textH, 34) + 70;
    size(width, height);
    label(FCaption.c_str());

    begin();
    auto* mark = new Fl_Box(14, 14, 34, 34);
    mark->box(FL_OVAL_BOX);
    mark->labelfont(FL_HELVETICA_BOLD);
    mark->labelsize(20);
    mark->labelcolor(FL_WHITE);
    const char* symbol = icon == MB_ICONSTOP ? "X" : icon == MB_ICONQUESTION ? "?"
                         : icon == MB_ICONEXCLAMATION ? "!" : "i";
    mark->copy_label(symbol);
    mark->color(icon == MB_ICONSTOP ? FL_RED : icon == MB_ICONEXCLAMATION ? FL_DARK_YELLOW
                                                                         : FL_BLUE);
    auto* text = new Fl_Box(62, 14, width - 74, std::max(textH, 34), FText.c_str());
    text->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE | FL_ALIGN_WRAP);
    text->labelfont(kFont);
    text->labelsize(kFontSize + 1);
    const int buttonY = height - 36;
    if (twoButtons) {
      const bool yesNo = buttons == MB_YESNO;
      AddButton((width - 166) / 2, buttonY, yesNo ? "&Yes" : "OK", yesNo ? IDYES : IDOK, true);
      AddButton((width - 166) / 2 + 86, buttonY, yesNo ? "&No" : "Cancel",
                yesNo ? IDNO : IDCANCEL, false);
    } else {
      AddButton((width - 80) / 2, buttonY, "OK", IDOK, true);
    }
    end();
    callback([](Fl_Widget* aWindow, void*) {
      auto* box = static_cast<TBoxWindow*>(aWindow);
      box->FResult = box->FEscapeResult;
      box->hide();
    });
    CenterOnScreen(*this);
  }

  int32_t Result() const { return FResult; }

 private:
  void AddButton(int aX, int aY, const char* aLabel, int32_t aResult, bool aDefault) {
    Fl_Button* button = aDefault ? new Fl_Return_Button(aX, aY, 80, 25, aLabel)
                                 : new Fl_Button(aX, aY, 80, 25, aLabel);
    button->labelfont(kFont);
    button->labelsize(kFontSize);
    button->user_data(reinterpret_cast<void*>(intptr_t(aResult)));
    button->callback([](Fl_Widget* aButton, void* aData) {
      auto* box = static_cast<TBoxWindow*>(aButton->window());
      box->FResult = int32_t(reinterpret_cast<intptr_t>(aData));
      box->hide();
    });
  }

  std::string FText;
  std::string FCaption;
  int32_t FEscapeResult = IDOK;
  int32_t FResult = IDOK;
};

// The destination dialog's window over its form.
class TDestDirWindow : public Fl_Double_Window {
 public:
  explicit TDestDirWindow(TDestDirForm& aForm)
      : Fl_Double_Window(TDestDirForm::kClientWidth, TDestDirForm::kClientHeight),
        FForm(aForm), FCaption(aForm.Caption()) {
    label(FCaption.c_str());
    labelfont(kFont);
    begin();
    auto* label3 = new Fl_Box(TDestDirForm::kLabelX, TDestDirForm::kLabelY, TDestDirForm::kLabelW,
                              TDestDirForm::kLabelH, TDestDirForm::kLabelCaption);
    label3->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE | FL_ALIGN_CLIP);
    label3->labelfont(kFont);
    label3->labelsize(kFontSize);
    // The caption is wider than its design box at this font; let it show whole.
    label3->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE);
    // The edit box leaves room at its right for "Browse...".
    FPath = new Fl_Input(TDestDirForm::kPathX, TDestDirForm::kPathY, TDestDirForm::kPathW - kBrowseW - 6,
                         TDestDirForm::kPathH);
    FPath->textfont(kFont);
    FPath->textsize(kFontSize);
    FPath->value(aForm.Path().c_str());
    auto* browse = new Fl_Button(TDestDirForm::kPathX + TDestDirForm::kPathW - kBrowseW, TDestDirForm::kPathY,
                                 kBrowseW, TDestDirForm::kPathH, kBrowseCaption);
    browse->labelfont(kFont);
    browse->labelsize(kFontSize);
    browse->callback([](Fl_Widget* aButton, void*) { static_cast<TDestDirWindow*>(aButton->window())->Browse(); });
    auto* ok = new Fl_Return_Button(TDestDirForm::kOkX, TDestDirForm::kButtonY,
                                    TDestDirForm::kButtonW, TDestDirForm::kButtonH,
                                    TDestDirForm::kOkCaption);
    ok->labelfont(kFont);
    ok->labelsize(kFontSize);
    ok->callback([](Fl_Widget* aButton, void*) {
      static_cast<TDestDirWindow*>(aButton->window())->PressOk();
    });
    auto* cancel = new Fl_Button(TDestDirForm::kCancelX, TDestDirForm::kButtonY,
                                 TDestDirForm::kButtonW, TDestDirForm::kButtonH,
                                 TDestDirForm::kCancelCaption);
    cancel->labelfont(kFont);
    cancel->labelsize(kFontSize);
    cancel->shortcut(FL_Escape);
    cancel->callback([](Fl_Widget* aButton, void*) {
      static_cast<TDestDirWindow*>(aButton->window())->PressCancel();
    });
    end();
    // The close box (and Escape, which FLTK sends to the window) cancel.
    callback([](Fl_Widget* aWindow, void*) { static_cast<TDestDirWindow*>(aWindow)->PressCancel(); });
    CenterOnScreen(*this);
  }

  void Focus() { FPath->take_focus(); }

 private:
  void PressOk() {
    FForm.SetPath(FPath->value());
    if (FForm.PressOk())
      hide();
    else
      FPath->take_focus();
  }
  void PressCancel() {
    FForm.PressCancel();
    hide();
  }
  // The toolkit's directory chooser, opened at the nearest existing
  // directory of the path typed; what it returns replaces the path.
  void Browse() {
    Fl_Native_File_Chooser chooser(Fl_Native_File_Chooser::BROWSE_DIRECTORY);
    chooser.title(kBrowseTitle);
    std::string start = FPath->value();
    while (!start.empty() && !DirExists(start)) {
      const size_t slash = start.find_last_of('/');
      if (slash == std::string::npos)
        start.clear();
      else
        start = slash == 0 ? std::string("/") : start.substr(0, slash);
    }
    if (!start.empty()) chooser.directory(start.c_str());
    if (chooser.show() == 0 && chooser.filename() != nullptr && chooser.filename()[0] != '\0')
      FPath->value(DelBackslash(chooser.filename()).c_str());
    FPath->take_focus();
  }

  TDestDirForm& FForm;
  std::string FCaption;
  Fl_Input* FPath;
};

// The main window: the classic label and bar, and below them the detail
// line and Cancel.
constexpr int kDetailY = 64, kDetailW = 270, kDetailH = 16;
constexpr int kCancelW = 75, kCancelH = 22;
constexpr int kMainHeight = 96;

}  // namespace

TFltkFace::TFltkFace(const std::string& aScreenshotDir) : FScreenshotDir(aScreenshotDir) {
  FMain = std::make_unique<Fl_Double_Window>(TMainForm::kClientWidth, kMainHeight);
  FCaption = TMainForm::kDesignCaption;
  FMain->label(FCaption.c_str());
  FMain->begin();
  FLabel = new Fl_Box(TMainForm::kLabelX, TMainForm::kLabelY, TMainForm::kLabelW,
                      TMainForm::kLabelH, TMainForm::kLabelCaption);
  FLabel->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE);
  FLabel->labelfont(kFont);
  FLabel->labelsize(kFontSize);
  FBar = new Fl_Progress(TMainForm::kBarX, TMainForm::kBarY, TMainForm::kBarW, TMainForm::kBarH);
  FBar->minimum(0);
  FBar->maximum(100);
  FBar->value(0);
  FBar->selection_color(FL_DARK_BLUE);
  // Below the bar: the file being extracted with its count, and Cancel,
  // which stops the extraction and takes back what it wrote.
  FDetail = new Fl_Box(TMainForm::kBarX, kDetailY, kDetailW, kDetailH);
  FDetail->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE | FL_ALIGN_CLIP);
  FDetail->labelfont(kFont);
  FDetail->labelsize(kFontSize);
  auto* cancel = new Fl_Button(TMainForm::kBarX + TMainForm::kBarW - kCancelW, kDetailY - 2, kCancelW, kCancelH,
                               TDestDirForm::kCancelCaption);
  cancel->labelfont(kFont);
  cancel->labelsize(kFontSize);
  cancel->callback([](Fl_Widget*, void* aFace) { static_cast<TFltkFace*>(aFace)->FCancelRequested = true; }, this);
  // Escape presses Cancel, as in any progress window; it never closes the
  // window itself.
  cancel->shortcut(FL_Escape);
  FMain->end();
  // Fixed size: no maximise; the close box asks the form.
  FMain->size_range(FMain->w(), FMain->h(), FMain->w(), FMain->h());
  FMain->callback([](Fl_Widget*, void* aFace) { OnMainClose(aFace); }, this);
  CenterOnScreen(*FMain);
}

TFltkFace::~TFltkFace() = default;

void TFltkFace::Save(Fl_Window& aWindow, const std::string& aName) {
  if (!FScreenshotDir.empty()) SaveWindowImage(aWindow, FScreenshotDir + "/" + aName + ".png");
}

void TFltkFace::Snapshot(const std::string& aName) {
  if (FMain->shown()) Save(*FMain, aName);
}

int32_t TFltkFace::MessageBox(const std::string& Text, const std::string& Caption,
                              uint16_t Flags) {
  TBoxWindow box(Text, Caption, Flags);
  box.set_modal();
  box.show();
  if (!FScreenshotDir.empty()) {
    Save(box, "box-" + std::to_string(++FBoxCount));
  }
  while (box.shown()) Fl::wait();
  return box.Result();
}

void TFltkFace::ProcessMessages() { Fl::check(); }

void TFltkFace::SetMainCaption(const std::string& aCaption) {
  FCaption = aCaption;
  FMain->label(FCaption.c_str());
}

void TFltkFace::SetProgress(int32_t aPosition) {
  if (int32_t(FBar->value()) == aPosition) return;
  FBar->value(float(aPosition));
  ShowDetail();
  // Drawn at once, without handling any other event, as a progress bar does.
  Fl::flush();
  // Mid-extraction: the bar half full, a file named below it.
  if (aPosition >= 50 && aPosition < 100 && !FSavedHalf && !FFileText.empty()) {
    FSavedHalf = true;
    Snapshot("main-progress");
  }
  if (aPosition == 100 && !FSaved100) {
    FSaved100 = true;
    Snapshot("main-100");
  }
}

void TFltkFace::ShowDone(const std::string& aText, bool aAwaitUser) {
  FFileText.clear();
  FDetailText = aText;
  FDetail->label(FDetailText.c_str());
  FDetail->redraw_label();
  Fl::flush();
  // The main window closes once the run is over; the box keeps the answer
  // on screen until the user has read it.
  if (aAwaitUser) MessageBox(aText, FCaption, MB_OK | MB_ICONINFORMATION);
}

void TFltkFace::ShowDetail() {
  FDetailText = std::to_string(int(FBar->value())) + "%";
  if (!FFileText.empty()) FDetailText += "   " + FFileText;
  FDetail->label(FDetailText.c_str());
  FDetail->redraw_label();
}

void TFltkFace::SetProgressDetail(const std::string& aName, int32_t aDone, int32_t aTotal) {
  FFileText = std::to_string(aDone) + " of " + std::to_string(aTotal) + ": " + aName;
  ShowDetail();
}

int32_t TFltkFace::ShowDestDialog(TDestDirForm& aForm) {
  TDestDirWindow dialog(aForm);
  aForm.SetModalResult(mrNone);
  dialog.set_modal();
  dialog.show();
  dialog.Focus();
  if (!FScreenshotDir.empty()) {
    Save(dialog, "destination");
  }
  while (dialog.shown()) Fl::wait();
  return aForm.ModalResult() == mrOk ? mrOk : mrCancel;
}

void TFltkFace::OnMainClose(void* aFace) {
  auto* face = static_cast<TFltkFace*>(aFace);
  // Escape does not close the main window; only the close box does.
  if (Fl::event() == FL_SHORTCUT && Fl::event_key() == FL_Escape) return;
  if (face->FCloseRequest && face->FCloseRequest()) face->FMain->hide();
}

void TFltkFace::OnStartTimer(void* aFace) {
  auto* face = static_cast<TFltkFace*>(aFace);
  face->Snapshot("main");
  if (face->FStart) face->FStart();
}

void TFltkFace::RunMainWindow(bool aStartArmed, const std::function<void()>& aStart,
                              const std::function<bool()>& aCloseRequest) {
  FStart = aStart;
  FCloseRequest = aCloseRequest;
  FMain->show();
  if (aStartArmed) Fl::add_timeout(TMainForm::kStartIntervalMs / 1000.0, OnStartTimer, this);
  while (FMain->shown()) Fl::wait();
  Fl::remove_timeout(OnStartTimer, this);
}

void TFltkFace::CloseMainWindow() { FMain->hide(); }

}  // namespace Decantor
