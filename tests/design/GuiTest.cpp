// The design-time windows on a real (virtual) display: run under xvfb-run.
// Each dialog is driven from a timer while its modal loop runs, as a person
// would click it. Screenshots are kept in the build tree as artefacts.

#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_File_Input.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Return_Button.H>
#include <FL/Fl_Text_Buffer.H>
#include <FL/Fl_Text_Editor.H>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <unistd.h>

#include "AboutBox.h"
#include "DesignDialogs.h"
#include "DesignerForm.h"
#include "DesignerWindow.h"
#include "FltkDialogs.h"
#include "FltkSupport.h"
#include "Palette.h"
#include "PdfReg.h"
#include "PropertyEditorRegistry.h"
#include "Screenshot.h"
#include <vellix/Document.h>
#include <vellix/FormFile.h>

using namespace Vellix;
using namespace Vellix::Design;

namespace {

std::string Artefact(const std::string& aName) {
  std::filesystem::create_directories(VELLIX_ARTEFACT_DIR);
  return std::string(VELLIX_ARTEFACT_DIR) + "/" + aName;
}

std::string TempFile(const std::string& aName) {
  return (std::filesystem::temp_directory_path() /
          ("vellix_gui_" + std::to_string(::getpid()) + "_" + aName))
      .string();
}

// Calls aAction with the modal dialog once it is shown and drawn; gives up
// (closing whatever is modal) after five seconds so a test cannot hang.
struct TModalWait {
  std::function<void(Fl_Window&)> Action;
  int Ticks = 0;
};

void PollModal(void* aWait) {
  auto* w = static_cast<TModalWait*>(aWait);
  Fl_Window* modal = Fl::modal();
  if (modal && modal->shown() && modal->visible() && ++w->Ticks > 4) {
    Fl::flush();
    w->Action(*modal);
    delete w;
    return;
  }
  if (++w->Ticks > 100) {
    ADD_FAILURE() << "no modal dialog appeared";
    if (modal) modal->hide();
    delete w;
    return;
  }
  Fl::repeat_timeout(0.05, PollModal, aWait);
}

void WhenModal(std::function<void(Fl_Window&)> aAction) {
  Fl::add_timeout(0.05, PollModal, new TModalWait{std::move(aAction)});
}

// The first widget of type T below aGroup for which aTest holds.
template <class T>
T* FindWidget(Fl_Group& aGroup, const std::function<bool(T&)>& aTest = nullptr) {
  for (int i = 0; i < aGroup.children(); ++i) {
    Fl_Widget* c = aGroup.child(i);
    if (auto* t = dynamic_cast<T*>(c); t && (!aTest || aTest(*t))) return t;
    if (auto* g = c->as_group())
      if (T* t = FindWidget<T>(*g, aTest)) return t;
  }
  return nullptr;
}

bool HasLabel(Fl_Group& aGroup, const std::string& aText) {
  return FindWidget<Fl_Widget>(aGroup, [&](Fl_Widget& w) {
           return w.label() && aText == w.label();
         }) != nullptr;
}

class Gui : public ::testing::Test {
protected:
  void SetUp() override {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no display; run under xvfb-run";
    Register();
    FPrevious = SetDesignDialogs(std::make_unique<TFltkDialogs>());
  }
  void TearDown() override {
    if (std::getenv("DISPLAY")) SetDesignDialogs(std::move(FPrevious));
  }
  std::unique_ptr<TDesignDialogs> FPrevious;
};

}  // namespace

TEST_F(Gui, AboutBoxOpensWithItsCaptionTextsAndLayout) {
  int clicks = 0;
  TAboutBox box(VellixAboutBoxContent(), [&] { ++clicks; });
  Fl_Double_Window& w = box.Window();
  EXPECT_STREQ(w.label(), "About Vellix Builder");
  EXPECT_EQ(w.w(), 339);
  EXPECT_EQ(w.h(), 212);
  EXPECT_EQ(w.x(), (Fl::w() - 339) / 2);
  EXPECT_EQ(w.y(), (Fl::h() - 212) / 2);
  EXPECT_TRUE(w.modal());
  EXPECT_EQ(box.Panel().box(), FL_THIN_DOWN_FRAME);
  EXPECT_EQ((std::vector<int>{box.Panel().x(), box.Panel().y(), box.Panel().w(), box.Panel().h()}),
            (std::vector<int>{16, 8, 300, 129}));
  EXPECT_STREQ(box.TitleLabel().label(), "Merovant Vellix Builder version 1.4");
  EXPECT_EQ(box.TitleLabel().labelfont(), FL_HELVETICA_BOLD);
  EXPECT_EQ(box.TitleLabel().labelsize(), 13);  // 10 points at 96 dpi
  EXPECT_EQ((std::vector<int>{box.TitleLabel().x(), box.TitleLabel().y()}),
            (std::vector<int>{26, 32}));
  EXPECT_STREQ(box.LinkLabel().label(), MerovantWebAddress);
  EXPECT_EQ(box.LinkLabel().labelcolor(), fl_rgb_color(0, 0, 255));
  EXPECT_EQ((std::vector<int>{box.LinkLabel().x(), box.LinkLabel().y()}),
            (std::vector<int>{26, 104}));
  EXPECT_STREQ(box.OkButton().label(), "&Ok");
  EXPECT_EQ((std::vector<int>{box.OkButton().x(), box.OkButton().y(), box.OkButton().w(),
                              box.OkButton().h()}),
            (std::vector<int>{128, 149, 75, 25}));

  std::string shot = Artefact("about-box.png");
  WhenModal([&](Fl_Window& aModal) {
    EXPECT_EQ(&aModal, &w);
    EXPECT_TRUE(SaveWindowPng(aModal, shot));
    box.LinkLabel().do_callback();  // the box stays open after a click
    EXPECT_TRUE(aModal.shown());
    box.OkButton().do_callback();
  });
  EXPECT_TRUE(box.ShowModal());
  EXPECT_EQ(clicks, 1);
  EXPECT_GT(std::filesystem::file_size(shot), 1000u);
}

TEST_F(Gui, AboutEditorShowsTheBoxThroughTheDialogs) {
  TVellix v;
  TDesignerForm form(ComponentPalette(), PropertyEditors());
  auto editor = PropertyEditors().CreateEditor(form, {&v}, *v.PublishedProperties().Find("About"));
  bool seen = false;
  WhenModal([&](Fl_Window& aModal) {
    seen = aModal.label() && std::string(aModal.label()) == "About Vellix Builder" &&
           HasLabel(aModal, "Merovant Vellix Builder version 1.4");
    FindWidget<Fl_Return_Button>(aModal)->do_callback();
  });
  editor->Edit();
  EXPECT_TRUE(seen);
  EXPECT_FALSE(form.IsModified());
}

TEST_F(Gui, FileDialogCancelChangesNothingAndAChosenNameMarksTheFormModified) {
  TDesignerForm form(ComponentPalette(), PropertyEditors());
  auto& v = static_cast<TVellix&>(form.Place(*ComponentPalette().FindClass("TVellix")));
  v.SetFileName("/tmp/keep.pdf");
  std::string formFile = TempFile("dialog.vfm");
  form.SaveAs(formFile);
  ASSERT_FALSE(form.IsModified());
  auto editor = PropertyEditors().CreateEditor(form, {&v}, *v.PublishedProperties().Find("FileName"));

  std::string title, proposed;
  bool pdfFilter = false;
  WhenModal([&](Fl_Window& aModal) {
    title = aModal.label() ? aModal.label() : "";
    if (auto* input = FindWidget<Fl_File_Input>(aModal)) proposed = input->value();
    if (auto* filter = FindWidget<Fl_Choice>(aModal))
      pdfFilter = filter->text(0) && std::string(filter->text(0)) == "PDF Files (*.pdf)";
    SaveWindowPng(aModal, Artefact("file-dialog.png"));
    aModal.do_callback();  // the window's close action is Cancel
  });
  editor->Edit();
  EXPECT_EQ(title, "PDF File Name");
  EXPECT_EQ(proposed, "/tmp/keep.pdf");
  EXPECT_TRUE(pdfFilter);
  EXPECT_EQ(v.FileName(), "/tmp/keep.pdf");
  EXPECT_FALSE(form.IsModified());

  WhenModal([&](Fl_Window& aModal) {
    FindWidget<Fl_File_Input>(aModal)->value("/tmp/chosen.pdf");
    FindWidget<Fl_Return_Button>(aModal)->do_callback();
  });
  editor->Edit();
  EXPECT_EQ(v.FileName(), "/tmp/chosen.pdf");
  EXPECT_TRUE(form.IsModified());
  std::filesystem::remove(formFile);
}

TEST_F(Gui, DesignerSetsUpAVellixShowsRefusalsAndSavesAFormTheApplicationLoads) {
  TDesignerForm form(ComponentPalette(), PropertyEditors());
  TDesignerWindow window(form, ComponentPalette());
  window.Window().show();
  EXPECT_EQ(form.Component(), nullptr);  // a new form is empty
  window.PlaceClass(*ComponentPalette().FindClass("TVellix"));
  ASSERT_NE(form.Component(), nullptr);
  auto& v = static_cast<TVellix&>(*form.Component());
  TInspector& inspector = window.Inspector();

  // The registered editors decide the rows' widgets.
  ASSERT_NE(inspector.ChoiceOf("PaperSizeName"), nullptr);
  EXPECT_EQ(inspector.ChoicesOf("PaperSizeName").size(), 42u);
  EXPECT_EQ(inspector.ChoiceOf("PaperSizeName")->size(), 43);  // 42 entries and the end mark
  EXPECT_NE(inspector.EllipsisOf("About"), nullptr);
  EXPECT_NE(inspector.EllipsisOf("FileName"), nullptr);
  EXPECT_NE(inspector.EllipsisOf("NonEmbeddedFonts"), nullptr);
  EXPECT_NE(inspector.ChoiceOf("Orientation"), nullptr);
  EXPECT_EQ(inspector.EllipsisOf("Title"), nullptr);

  inspector.Type("Title", "Quarterly report");
  inspector.Choose("Orientation", 0);  // sorted: poLandscape, poPortrait
  inspector.Choose("PaperSizeName", 1);  // Letter
  inspector.Type("OnEnd", "ReportDone");
  inspector.Type("Name", "Quarterly");
  EXPECT_EQ(v.Title(), "Quarterly report");
  EXPECT_EQ(v.Orientation(), poLandscape);
  EXPECT_EQ(v.PageWidth(), 2794);
  EXPECT_STREQ(inspector.InputOf("PageWidth")->value(), "2794");  // rows follow the setters
  EXPECT_TRUE(form.IsModified());

  // The font list's ellipsis opens the line editor; confirmed lines replace the entries.
  WhenModal([&](Fl_Window& aModal) {
    Fl_Text_Editor* editor = FindWidget<Fl_Text_Editor>(aModal);
    ASSERT_NE(editor, nullptr);
    char* text = editor->buffer()->text();  // malloc'ed copy
    EXPECT_STREQ(text, "Arial\nCourier New\nSymbol\nTimes New Roman");
    free(text);
    editor->buffer()->text("Symbol\nWingdings\n");
    FindWidget<Fl_Return_Button>(aModal)->do_callback();
  });
  inspector.EllipsisOf("NonEmbeddedFonts")->do_callback();
  ASSERT_EQ(v.NonEmbeddedFonts().Count(), 2);
  EXPECT_EQ(v.NonEmbeddedFonts()[1], "Wingdings");

  std::string message;
  WhenModal([&](Fl_Window& aModal) {
    Fl_Box* text = FindWidget<Fl_Box>(aModal, [](Fl_Box& b) {
      return b.label() && std::string(b.label()).find("Invalid") != std::string::npos;
    });
    if (text) message = text->label();
    SaveWindowPng(aModal, Artefact("designer-refusal.png"));
    aModal.hide();
  });
  inspector.Choose("PaperSizeName", 0);  // "Custom"
  EXPECT_EQ(message, "Invalid property value: PaperSizeName");
  EXPECT_EQ(v.PaperSizeName(), "Letter");
  EXPECT_STREQ(inspector.ChoiceOf("PaperSizeName")->text(), "Letter");

  std::string shot = Artefact("designer.png");
  ASSERT_TRUE(SaveWindowPng(window.Window(), shot));
  EXPECT_GT(std::filesystem::file_size(shot), 1000u);

  std::string formFile = TempFile("designed.vfm");
  form.SaveAs(formFile);
  EXPECT_FALSE(form.IsModified());
  EXPECT_EQ(std::string(window.Window().label()).find('*'), std::string::npos);

  // What the application gets at run time, without the designer.
  bool done = false;
  TVellix app;
  LoadFormFile(app, formFile, {{"ReportDone", [&](TObject*) { done = true; }}});
  EXPECT_EQ(WriteForm(app), WriteForm(v));
  EXPECT_EQ(app.Name(), "Quarterly");
  ASSERT_TRUE(app.OnEnd());
  app.OnEnd()(&app);
  EXPECT_TRUE(done);
  window.Window().hide();
  std::filesystem::remove(formFile);
}
