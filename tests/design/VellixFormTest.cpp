// TVellix's published properties through form files: what a designer writes
// an application gets back, restored in declaration order with the
// consequences the setters have.

#include <gtest/gtest.h>

#include <vellix/Document.h>
#include "document/VellixPublished.h"
#include <vellix/FormFile.h>
#include <vellix/Stream.h>

#include "support/TestDocument.h"

using namespace Vellix;
using VellixTest::MessageOf;


namespace {

std::vector<std::string> Fonts(TVellix& v) {
  std::vector<std::string> out;
  for (int32_t i = 0; i < v.NonEmbeddedFonts().Count(); ++i) out.push_back(v.NonEmbeddedFonts()[i]);
  return out;
}

std::string Form(const std::string& aBody) { return "object Vellix1: TVellix\n" + aBody + "end\n"; }

}  // namespace

TEST(VellixForm, PublishesThePropertiesAndEventsInDeclarationOrder) {
  TVellix v;
  v.SetName("Vellix1");
  EXPECT_EQ(&v.PublishedProperties(), &VellixPublishedProperties());
  EXPECT_EQ(WriteForm(v),
            "object Vellix1: TVellix\n"
            "  About = 'Merovant Vellix Builder'\n"
            "  Author = ''\n"
            "  EmbedFonts = False\n"
            "  FileName = ''\n"
            "  ImageCompressMode = cpJpeg\n"
            "  Keywords = ''\n"
            "  LengthUnit = luTenth\n"
            "  NonEmbeddedFonts = ('Arial', 'Courier New', 'Symbol', 'Times New Roman')\n"
            "  Orientation = poPortrait\n"
            "  PageHeight = 2970\n"
            "  PageWidth = 2100\n"
            "  PaperSizeName = 'A4'\n"
            "  Subject = ''\n"
            "  Title = ''\n"
            "  WantShow = False\n"
            "end\n");
  std::vector<std::string> names;
  for (const auto& p : v.PublishedProperties().Properties()) names.push_back(p.Name);
  EXPECT_EQ(names, (std::vector<std::string>{
                       "About", "Author", "EmbedFonts", "FileName", "ImageCompressMode", "Keywords",
                       "LengthUnit", "NonEmbeddedFonts", "Orientation", "PageHeight", "PageWidth",
                       "PaperSizeName", "Subject", "Title", "WantShow", "CompressContent", "ShareImages", "KeepTransparency",
                       "TextEncoding", "OnAbort", "OnEnd", "OnNewPage", "OnStart"}));
}

// The compact properties are written only when on, so the form above is the
// one every earlier version wrote; when on they are stored and restored, and
// refused while a document is open like every property that shapes the file.
TEST(VellixForm, CompactPropertiesAreStoredWhenOnAndFrozenWhilePrinting) {
  TVellix v;
  v.SetName("Vellix1");
  v.SetCompressContent(true);
  v.SetShareImages(true);
  const std::string form = WriteForm(v);
  EXPECT_NE(form.find("  WantShow = False\n  CompressContent = True\n  ShareImages = True\nend\n"), std::string::npos)
      << form;
  TVellix restored;
  ReadForm(restored, form);
  EXPECT_TRUE(restored.CompressContent());
  EXPECT_TRUE(restored.ShareImages());

  TMemoryStream out;
  restored.SetOutStream(&out);
  restored.BeginDoc();
  EXPECT_EQ(MessageOf([&] { restored.SetCompressContent(false); }),
            "Can't modify property when printing: CompressContent");
  EXPECT_TRUE(restored.Aborted());
  TVellix other;
  other.SetOutStream(&out);
  other.BeginDoc();
  EXPECT_EQ(MessageOf([&] { other.SetShareImages(true); }), "Can't modify property when printing: ShareImages");
}

TEST(VellixForm, TextEncodingIsStoredWhenUtf8FrozenWhilePrintingAndChecked) {
  TVellix v;
  v.SetName("Vellix1");
  EXPECT_EQ(WriteForm(v).find("TextEncoding"), std::string::npos);
  v.SetTextEncoding(teUtf8);
  const std::string form = WriteForm(v);
  EXPECT_NE(form.find("  TextEncoding = teUtf8\nend\n"), std::string::npos) << form;
  TVellix restored;
  ReadForm(restored, form);
  EXPECT_EQ(restored.TextEncoding(), teUtf8);
  EXPECT_EQ(MessageOf([&] { restored.SetTextEncoding(static_cast<TTextEncoding>(7)); }),
            "Invalid property value: TextEncoding");
  EXPECT_EQ(restored.TextEncoding(), teUtf8);

  TMemoryStream out;
  restored.SetOutStream(&out);
  restored.BeginDoc();
  EXPECT_EQ(MessageOf([&] { restored.SetTextEncoding(teAnsi); }),
            "Can't modify property when printing: TextEncoding");
  EXPECT_TRUE(restored.Aborted());
}

TEST(VellixForm, SavedFormLoadsIntoAnEqualComponentWithHandlersBound) {
  TVellix saved;
  saved.SetName("Report");
  saved.SetAuthor("J. O'Hara");
  saved.SetEmbedFonts(true);
  saved.SetFileName("/tmp/out \xE9.pdf");
  saved.SetImageCompressMode(cpZlib);
  saved.SetKeywords("a, b");
  saved.SetLengthUnit(luPoint);
  saved.NonEmbeddedFonts().Clear();
  saved.NonEmbeddedFonts().Add("Wingdings");
  saved.SetOrientation(poLandscape);
  saved.SetPaperSizeName("letter");
  saved.SetSubject("Subject\r\nline");
  saved.SetTitle("T");
  saved.SetWantShow(true);
  saved.SetEventHandlerName("OnStart", "ReportStart");
  saved.SetEventHandlerName("OnEnd", "ReportEnd");

  int started = 0;
  TVellix loaded;
  ReadForm(loaded, WriteForm(saved),
           {{"ReportStart", [&](TObject*) { ++started; }}, {"ReportEnd", [](TObject*) {}}});
  for (const auto& p : saved.PublishedProperties().Properties()) {
    SCOPED_TRACE(p.Name);
    TPropertyValue a = p.Read(saved), b = p.Read(loaded);
    ASSERT_EQ(a.index(), b.index());
    switch (p.Kind) {
      case pkString: EXPECT_EQ(std::get<std::string>(a), std::get<std::string>(b)); break;
      case pkInteger:
      case pkEnumeration: EXPECT_EQ(std::get<int32_t>(a), std::get<int32_t>(b)); break;
      case pkBoolean: EXPECT_EQ(std::get<bool>(a), std::get<bool>(b)); break;
      case pkStrings:
        EXPECT_EQ(std::get<std::vector<std::string>>(a), std::get<std::vector<std::string>>(b));
        break;
      case pkEvent:
        EXPECT_EQ(std::get<TEventValue>(a).HandlerName, std::get<TEventValue>(b).HandlerName);
        break;
    }
  }
  EXPECT_EQ(WriteForm(loaded), WriteForm(saved));
  EXPECT_EQ(loaded.Name(), "Report");
  EXPECT_EQ(loaded.PaperSize(), saved.PaperSize());
  EXPECT_EQ(loaded.PageWidth(), 792);  // letter, landscape, points
  EXPECT_EQ(loaded.PageHeight(), 612);
  ASSERT_TRUE(loaded.OnStart());
  loaded.OnStart()(&loaded);
  EXPECT_EQ(started, 1);
  EXPECT_FALSE(loaded.OnAbort());
}

TEST(VellixForm, DeclarationOrderGivesTheSettersConsequences) {
  // Written in the opposite order: the paper name still comes last and wins.
  TVellix v;
  ReadForm(v, Form("  PaperSizeName = 'A5'\n  PageWidth = 500\n  PageHeight = 1000\n"
                   "  About = 'Something else'\n"));
  EXPECT_EQ(v.PageWidth(), 1480);
  EXPECT_EQ(v.PageHeight(), 2100);
  EXPECT_EQ(v.PaperSizeName(), "A5");
  EXPECT_EQ(v.About(), "Merovant Vellix Builder");

  // The unit converts first, then the name recomputes in points, turned.
  TVellix p;
  ReadForm(p, Form("  Orientation = poLandscape\n  LengthUnit = luPoint\n"
                   "  PaperSizeName = 'A4'\n"));
  EXPECT_EQ(p.PageWidth(), 842);
  EXPECT_EQ(p.PageHeight(), 595);

  // The font list is read-only: its entries are replaced in the same list.
  TVellix f;
  auto* list = &f.NonEmbeddedFonts();
  ReadForm(f, Form("  NonEmbeddedFonts = ('Symbol', 'Courier New')\n"));
  EXPECT_EQ(&f.NonEmbeddedFonts(), list);
  EXPECT_EQ(Fonts(f), (std::vector<std::string>{"Symbol", "Courier New"}));
}

TEST(VellixForm, CustomPaperKeepsTheStoredSize) {
  TVellix saved;
  saved.SetPageWidth(1234);
  saved.SetPageHeight(567);
  ASSERT_EQ(saved.PaperSizeName(), "Custom");
  TVellix loaded;
  ReadForm(loaded, WriteForm(saved));
  EXPECT_EQ(loaded.PageWidth(), 1234);
  EXPECT_EQ(loaded.PageHeight(), 567);
  EXPECT_EQ(loaded.PaperSizeName(), "Custom");
  EXPECT_EQ(loaded.PaperSize(), 0);

  // A form naming "Custom" without a size keeps the component's size.
  TVellix alone;
  ReadForm(alone, Form("  PaperSizeName = 'custom'\n"));
  EXPECT_EQ(alone.PageWidth(), 2100);
  EXPECT_EQ(alone.PageHeight(), 2970);
  EXPECT_EQ(alone.PaperSizeName(), "Custom");
}

TEST(VellixForm, RefusedValuesNameTheLineAndChangeNothing) {
  TVellix v;
  v.SetAuthor("before");
  std::string before = WriteForm(v);
  try {
    ReadForm(v, Form("  Author = 'after'\n  PaperSizeName = 'Letter '\n"), {}, hbBind, "r.vfm");
    ADD_FAILURE();
  } catch (const EFormError& e) {
    EXPECT_EQ(e.Message(), "r.vfm, line 3: Invalid property value: PaperSizeName");
  }
  EXPECT_EQ(WriteForm(v), before);

  for (const char* body : {"  LengthUnit = luInch\n", "  PageWidth = '10'\n",
                           "  NonEmbeddedFonts = 'Arial'\n", "  OnStart = NotThere\n",
                           "  PaperSize = 9\n", "  Canvas = 1\n"}) {
    SCOPED_TRACE(body);
    EXPECT_THROW(ReadForm(v, Form(body)), EFormError);
    EXPECT_EQ(WriteForm(v), before);
  }
}

TEST(VellixForm, LoadingWhilePrintingAbortsTheDocumentAndRollsBack) {
  TVellix v;
  TMemoryStream out;
  v.SetOutStream(&out);
  v.SetAuthor("before");
  int aborted = 0;
  v.SetOnAbort([&](TObject*) { ++aborted; });
  std::string before = WriteForm(v);
  v.BeginDoc();
  try {
    ReadForm(v, Form("  Author = 'after'\n  Title = 'x'\n"));
    ADD_FAILURE();
  } catch (const EFormError& e) {
    EXPECT_EQ(e.Line(), 3);
    EXPECT_EQ(e.What(), "Can't modify property when printing: Title");
  }
  EXPECT_EQ(aborted, 1);
  EXPECT_FALSE(v.Printing());
  EXPECT_EQ(WriteForm(v), before);
  EXPECT_TRUE(v.OnAbort());  // the application's handler stays bound
}
