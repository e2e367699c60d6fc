// The designer host apart from any particular component: editor choice,
// the standard editors' parsing and notifications, and the designer's form.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <unistd.h>

#include "DesignerForm.h"
#include "FakeDialogs.h"
#include "FltkDialogs.h"
#include "PropertyEditorRegistry.h"
#include "SampleComponent.h"
#include <vellix/FormFile.h>

using namespace Vellix;
using namespace Vellix::Design;
using VellixTest::TCountingDesigner;
using VellixTest::TFakeDialogsScope;
using VellixTest::TSample;

namespace {

class TMarkEditor : public TStringProperty {
public:
  using TStringProperty::TStringProperty;
  std::string ClassName() const override { return "TMarkEditor"; }
};

template <class E>
TPropertyEditorRegistry::TEntry Entry(std::string aType, std::string aClass, std::string aProp,
                                      std::string aName) {
  return {aType, aClass, aProp, aName,
          [](TFormDesigner& d, std::vector<TComponent*> c, const TPublishedProperty& p)
              -> std::unique_ptr<TPropertyEditor> { return std::make_unique<E>(d, c, p); }};
}

const TPublishedProperty& Prop(const TSample& aSample, const char* aName) {
  return *aSample.PublishedProperties().Find(aName);
}

}  // namespace

TEST(PropertyEditorRegistry, MostSpecificRegistrationWinsAndLaterBreaksTies) {
  TSample s;
  TPropertyEditorRegistry r;
  EXPECT_EQ(r.EditorClassFor("TSample", Prop(s, "Title")), "TStringProperty");
  EXPECT_EQ(r.EditorClassFor("TSample", Prop(s, "Count")), "TIntegerProperty");
  EXPECT_EQ(r.EditorClassFor("TSample", Prop(s, "Flag")), "TEnumProperty");
  EXPECT_EQ(r.EditorClassFor("TSample", Prop(s, "Mode")), "TEnumProperty");
  EXPECT_EQ(r.EditorClassFor("TSample", Prop(s, "Items")), "TStringListProperty");
  EXPECT_EQ(r.EditorClassFor("TSample", Prop(s, "OnGo")), "TMethodProperty");

  r.Register(Entry<TMarkEditor>("string", "TSample", "Title", "ByName"));
  r.Register(Entry<TMarkEditor>("string", "", "", "AnyString"));
  r.Register(Entry<TMarkEditor>("string", "TSample", "", "ClassStrings"));
  r.Register(Entry<TMarkEditor>("Integer", "TOther", "Count", "OtherClass"));
  EXPECT_EQ(r.EditorClassFor("TSample", Prop(s, "Title")), "ByName");
  EXPECT_EQ(r.EditorClassFor("TSample", Prop(s, "Last")), "ClassStrings");
  EXPECT_EQ(r.EditorClassFor("TOther", Prop(s, "Last")), "AnyString");
  EXPECT_EQ(r.EditorClassFor("TSample", Prop(s, "Count")), "TIntegerProperty");
  r.Register(Entry<TMarkEditor>("STRING", "tsample", "title", "Again"));
  EXPECT_EQ(r.EditorClassFor("TSample", Prop(s, "Title")), "Again");

  TCountingDesigner d;
  auto editor = r.CreateEditor(d, {&s}, Prop(s, "Title"));
  EXPECT_EQ(editor->ClassName(), "TMarkEditor");
}

TEST(PropertyEditor, StandardEditorsParseTextAndReportOnlySuccessfulChanges) {
  TSample a, b;
  TCountingDesigner d;
  TPropertyEditorRegistry r;

  auto count = r.CreateEditor(d, {&a, &b}, Prop(a, "Count"));
  count->SetValue(" 12 ");
  EXPECT_EQ(a.Count(), 12);
  EXPECT_EQ(b.Count(), 12);  // every selected component
  EXPECT_EQ(count->GetValue(), "12");
  EXPECT_EQ(d.Count, 1);
  for (const char* bad : {"", "abc", "1.5", "99999999999", "12x"}) {
    try {
      count->SetValue(bad);
      ADD_FAILURE() << bad;
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), std::string("'") + bad + "' is not a valid integer value");
    }
  }
  EXPECT_THROW(count->SetValue("-1"), Exception);  // the setter refuses it
  EXPECT_EQ(a.Count(), 12);
  EXPECT_EQ(d.Count, 1);

  auto mode = r.CreateEditor(d, {&a}, Prop(a, "Mode"));
  EXPECT_TRUE(mode->GetAttributes() & paValueList);
  std::vector<std::string> values;
  mode->GetValues([&](const std::string& v) { values.push_back(v); });
  EXPECT_EQ(values, (std::vector<std::string>{"smFirst", "smSecond", "smThird"}));
  mode->SetValue("SMTHIRD");
  EXPECT_EQ(a.Mode(), VellixTest::smThird);
  EXPECT_EQ(mode->GetValue(), "smThird");
  EXPECT_THROW(mode->SetValue("smNone"), Exception);

  auto flag = r.CreateEditor(d, {&a}, Prop(a, "Flag"));
  flag->SetValue("true");
  EXPECT_TRUE(a.Flag());
  EXPECT_EQ(flag->GetValue(), "True");

  auto go = r.CreateEditor(d, {&a}, Prop(a, "OnGo"));
  go->SetValue("Sample1Go");
  EXPECT_EQ(a.EventHandlerName("OnGo"), "Sample1Go");
  EXPECT_THROW(go->SetValue("not a name"), Exception);
  go->SetValue("");
  EXPECT_EQ(go->GetValue(), "");
  EXPECT_EQ(d.Count, 5);
}

TEST(PropertyEditor, StringListEditorReplacesEntriesOnlyWhenConfirmed) {
  TFakeDialogsScope dialogs;
  TSample s;
  TCountingDesigner d;
  auto items = TPropertyEditorRegistry().CreateEditor(d, {&s}, Prop(s, "Items"));
  EXPECT_EQ(items->GetAttributes(), paDialog | paReadOnly);
  EXPECT_EQ(items->GetValue(), "(TStrings)");
  dialogs->NewLines = {"x"};
  items->Edit();
  EXPECT_EQ(s.Items(), (std::vector<std::string>{"one", "two"}));
  EXPECT_EQ(d.Count, 0);
  dialogs->ConfirmStrings = true;
  items->Edit();
  EXPECT_EQ(s.Items(), (std::vector<std::string>{"x"}));
  EXPECT_EQ(d.Count, 1);
  EXPECT_EQ(dialogs->StringTitles, (std::vector<std::string>{"Items", "Items"}));
}

TEST(DesignerForm, PlacesOneComponentSavesAndReopensWithHandlerNames) {
  TPalette palette;
  palette.RegisterComponents("Tests", {ComponentClassOf<TSample>("TSample")});
  TPropertyEditorRegistry editors;
  TDesignerForm form(palette, editors);
  int changes = 0;
  form.OnChange = [&] { ++changes; };
  EXPECT_EQ(form.Caption(), "Vellix Designer - Untitled");
  EXPECT_TRUE(form.CreateEditors().empty());

  TComponent& c = form.Place(*palette.FindClass("TSample"));
  EXPECT_EQ(c.Name(), "Sample1");
  EXPECT_TRUE(form.IsModified());
  EXPECT_THROW(form.Place(*palette.FindClass("TSample")), Exception);
  auto editors1 = form.CreateEditors();
  ASSERT_EQ(editors1.size(), c.PublishedProperties().Properties().size());
  editors1[1]->SetValue("33");       // Count
  editors1[5]->SetValue("DoGo");     // OnGo
  EXPECT_THROW(form.Rename("9lives"), Exception);
  form.Rename("Report");

  std::string path = (std::filesystem::temp_directory_path() /
                      ("vellix_designer_" + std::to_string(::getpid()) + ".vfm")).string();
  EXPECT_THROW(form.Save(), Exception);  // no file name yet
  form.SaveAs(path);
  EXPECT_FALSE(form.IsModified());
  EXPECT_EQ(form.Caption(), "Vellix Designer - " + std::filesystem::path(path).filename().string());

  TDesignerForm reopened(palette, editors);
  reopened.Open(path);
  ASSERT_NE(reopened.Component(), nullptr);
  auto& s = static_cast<TSample&>(*reopened.Component());
  EXPECT_EQ(s.Name(), "Report");
  EXPECT_EQ(s.Count(), 33);
  EXPECT_EQ(s.EventHandlerName("OnGo"), "DoGo");
  EXPECT_FALSE(reopened.IsModified());
  EXPECT_GT(changes, 3);

  // A class the palette does not know is refused with the class line.
  TPalette other;
  TDesignerForm stranger(other, editors);
  try {
    stranger.Open(path);
    ADD_FAILURE();
  } catch (const EFormError& e) {
    EXPECT_EQ(e.Line(), 1);
    EXPECT_NE(e.What().find("TSample is not on the component palette"), std::string::npos);
  }
  EXPECT_EQ(stranger.Component(), nullptr);
  std::remove(path.c_str());
}

TEST(Palette, PagesKeepOrderAndReRegistrationMovesAClass) {
  TPalette p;
  p.RegisterComponents("A", {ComponentClassOf<TSample>("TSample")});
  p.RegisterComponents("B", {ComponentClassOf<TSample>("TOther")});
  p.RegisterComponents("b", {ComponentClassOf<TSample>("TSample")});
  ASSERT_EQ(p.Pages().size(), 2u);
  EXPECT_TRUE(p.FindPage("A")->Classes.empty());
  ASSERT_EQ(p.FindPage("B")->Classes.size(), 2u);
  EXPECT_EQ(p.FindPage("B")->Classes[1].ClassName, "TSample");
  EXPECT_NE(p.FindClass("tsample"), nullptr);
  EXPECT_EQ(p.FindClass("TNone"), nullptr);
}

TEST(FltkDialogs, FilterBecomesFltkPatternsWithDesktopMeaningOfStarDotStar) {
  EXPECT_EQ(ToFltkFilter("PDF Files|*.pdf|All Files|*.*"), "PDF Files (*.pdf)\tAll Files (*)");
  EXPECT_EQ(ToFltkFilter("Pictures|*.png;*.jpg"), "Pictures ({*.png,*.jpg})");
  EXPECT_EQ(ToFltkFilter(""), "");
}
