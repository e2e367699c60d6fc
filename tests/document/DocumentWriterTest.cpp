// The file skeleton, object numbering, cross-reference table and the
// lifecycle events of whole documents.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <deque>

#include "support/ContentChecker.h"
#include "support/Readers.h"
#include "support/TestDocument.h"

using namespace Vellix;
using namespace VellixTest;

namespace {

std::string Lines(std::initializer_list<std::string> aLines) {
  std::string text;
  for (const std::string& line : aLines) text += line + "\r\n";
  return text;
}

// The address column of the cross-reference table, taken from the expected text.
std::string XrefFor(const std::string& aBody, int aObjects) {
  std::string table = Lines({"xref", "0 " + std::to_string(aObjects + 1), "0000000000 65535 f"});
  for (int k = 1; k <= aObjects; ++k) {
    const std::string header = std::to_string(k) + " 0 obj\r\n";
    const size_t at = aBody.find("\r\n" + header) + 2;
    char entry[32];
    std::snprintf(entry, sizeof entry, "%010zu 00000 n\r\n", at);
    table += entry;
  }
  return table;
}

}  // namespace

TEST(DocumentWriter, EmptyA4DocumentIsByteExact) {
  TTempDir dir;
  const std::string path = dir.File("empty.pdf");
  const std::string bytes = WriteDocument(path, nullptr);

  const std::string body = Lines({
      "%PDF-1.3",
      "1 0 obj", "<<", "/CreationDate(D:20240102030405)", "/Title()",
      "/Producer(Merovant Vellix Builder version 1.4)", ">>", "endobj",
      "2 0 obj", "<<", "/Type /Catalog", "/Pages 3 0 R", ">>", "endobj",
      "5 0 obj", "<<", "/Length 0", ">>", "stream", "endstream", "endobj",
      "6 0 obj", "<<", "/Type /Page", "/Parent 3 0 R", "/Contents 5 0 R", ">>", "endobj",
      "3 0 obj", "<<", "/Type /Pages", "/Kids [", "6 0 R", "]", "/Count 1", "/Resources 4 0 R",
      "/MediaBox [ 0 0 595.276 841.89 ]", ">>", "endobj",
      "4 0 obj", "<<", "/Font <<", ">>", ">>", "endobj",
  });
  const std::string expected = body + XrefFor(body, 6) +
                               Lines({"trailer", "<<", "/Size 7", "/Root 2 0 R", "/Info 1 0 R", ">>", "startxref",
                                      std::to_string(body.size()), "%%EOF"});
  EXPECT_EQ(bytes, expected);
  EXPECT_TRUE(CheckXref(bytes).empty());
  EXPECT_EQ(ReadersComplaints(path), "");
}

TEST(DocumentWriter, InformationEntriesAreEscapedAndOptional) {
  TTempDir dir;
  const std::string path = dir.File("info.pdf");
  const std::string bytes = WriteDocument(path, nullptr, [](TVellix& doc) {
    doc.SetTitle("Sales (2001");
    doc.SetAuthor("A\\B");
    doc.SetKeywords("k)");
  });
  EXPECT_NE(bytes.find("/Title(Sales \\(2001)\r\n/Author(A\\\\B)\r\n/Keywords(k\\))\r\n/Producer("), std::string::npos);
  EXPECT_EQ(bytes.find("/Subject"), std::string::npos);
  EXPECT_EQ(ReadersComplaints(path), "");
  const TRunResult info = RunProgram({"pdfinfo", path});
  EXPECT_NE(info.Out.find("Sales (2001"), std::string::npos);
}

TEST(DocumentWriter, CallerStreamStartsAtItsPosition) {
  TMemoryStream stream;
  const std::string prefix(100, 'x');
  stream.WriteBuffer(prefix.data(), 100);
  TVellix doc;
  doc.SetCreationDate(FixedCreationDate);
  doc.SetOutStream(&stream);
  doc.SetWantShow(true);  // no viewer may start for a caller's stream
  doc.BeginDoc();
  EXPECT_TRUE(doc.UserStream());
  doc.EndDoc();
  EXPECT_EQ(doc.OutStream(), &stream);
  const std::string bytes = stream.DataString();
  EXPECT_EQ(bytes.compare(100, 10, "%PDF-1.3\r\n"), 0);
  EXPECT_NE(bytes.find("xref\r\n0 7\r\n0000000000 65535 f\r\n0000000110 00000 n\r\n"), std::string::npos);
  EXPECT_TRUE(CheckXref(bytes, 100).empty());
  // No reader check here: readers count addresses from the header when bytes
  // precede it. Documents in streams that start empty are checked below.

  // The same stream receives the next document after the first.
  const int64_t end = stream.Position();
  doc.BeginDoc();
  doc.EndDoc();
  EXPECT_EQ(stream.DataString().compare(size_t(end), 8, "%PDF-1.3"), 0);
}

TEST(DocumentWriter, ObjectNumbersFollowFileOrderAndRestartPerDocument) {
  TMemoryStream stream;
  TVellix doc;
  doc.SetCreationDate(FixedCreationDate);
  doc.SetOutStream(&stream);
  std::string first;
  for (int round = 0; round < 2; ++round) {
    stream.Clear();
    doc.BeginDoc();
    doc.Canvas().AddLine("0 0 m");
    doc.Canvas().AddLine("10 10 l S");
    doc.NewPage();
    doc.NewPage();
    doc.EndDoc();
    const std::string bytes = stream.DataString();
    EXPECT_TRUE(CheckXref(bytes).empty());
    EXPECT_NE(bytes.find("/Kids [\r\n6 0 R\r\n8 0 R\r\n10 0 R\r\n]\r\n/Count 3\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("5 0 obj\r\n<<\r\n/Length 18\r\n>>\r\nstream\r\n0 0 m\r\n10 10 l S\r\nendstream\r\n"),
              std::string::npos);
    EXPECT_NE(bytes.find("/Size 11\r\n"), std::string::npos);
    EXPECT_EQ(Context(doc).PageObjNos, (std::deque<int32_t>{6, 8, 10}));
    EXPECT_EQ(ReadersComplaintsOfBytes(bytes), "");
    if (round == 0) first = bytes;
    else EXPECT_EQ(bytes, first);
  }
}

TEST(DocumentWriter, EventsComeInOrderWithPageNumbers) {
  TMemoryStream stream;
  TVellix doc;
  doc.SetOutStream(&stream);
  std::vector<std::string> events;
  doc.SetOnStart([&](TObject* aSender) {
    EXPECT_EQ(aSender, &doc);
    events.push_back("start " + std::to_string(doc.PageNumber()));
    doc.Canvas().AddLine("1 1 m");  // lands on page 1
  });
  doc.SetOnNewPage([&](TObject*) { events.push_back("page " + std::to_string(doc.PageNumber())); });
  doc.SetOnEnd([&](TObject*) { events.push_back(std::string("end ") + (doc.Printing() ? "printing" : "idle")); });
  doc.SetOnAbort([&](TObject*) { events.push_back("abort"); });
  int pumped = 0;
  Application::SetMessagePump([&] { ++pumped; });
  doc.BeginDoc();
  doc.NewPage();
  doc.EndDoc();
  Application::SetMessagePump(nullptr);
  EXPECT_EQ(events, (std::vector<std::string>{"start 0", "page 1", "page 2", "end idle"}));
  EXPECT_EQ(pumped, 2);
  const std::string bytes = stream.DataString();
  EXPECT_NE(bytes.find("/Length 7\r\n>>\r\nstream\r\n1 1 m\r\nendstream"), std::string::npos);
  EXPECT_NE(bytes.find("/Count 2\r\n"), std::string::npos);
  EXPECT_EQ(ReadersComplaintsOfBytes(bytes), "");
}

TEST(DocumentWriter, AbortDuringAPageEndsEverything) {
  TTempDir dir;
  const std::string path = dir.File("aborted.pdf");
  TVellix doc;
  doc.SetFileName(path);
  int aborts = 0, pages = 0, ends = 0;
  doc.SetOnAbort([&](TObject*) { ++aborts; });
  doc.SetOnNewPage([&](TObject*) { ++pages; });
  doc.SetOnEnd([&](TObject*) { ++ends; });
  doc.BeginDoc();
  doc.NewPage();
  doc.NewPage();
  EXPECT_TRUE(FileExists(path));
  doc.Abort();
  EXPECT_FALSE(FileExists(path));
  EXPECT_TRUE(doc.Aborted());
  EXPECT_FALSE(doc.Printing());
  doc.NewPage();
  EXPECT_FALSE(doc.Canvas().CheckDocumentState());
  doc.EndDoc();
  doc.Abort();
  EXPECT_EQ(aborts, 1);
  EXPECT_EQ(pages, 3);
  EXPECT_EQ(ends, 0);
  EXPECT_FALSE(FileExists(path));

  // A new document clears the aborted state.
  doc.BeginDoc();
  EXPECT_FALSE(doc.Aborted());
  doc.EndDoc();
  EXPECT_EQ(ReadersComplaints(path), "");
}

// A relative name lands in the current directory, as every Unix program's
// does (not beside the program), and FileName() then gives the full path.
TEST(DocumentWriter, RelativeFileNamesGoToTheCurrentDirectory) {
  TTempDir dir;
  ::mkdir(dir.File("sub").c_str(), 0755);
  char previous[4096];
  ASSERT_NE(::getcwd(previous, sizeof previous), nullptr);
  ASSERT_EQ(::chdir(dir.Path().c_str()), 0);
  for (const char* name : {"bare.pdf", "sub/nested.pdf", "./dotted.pdf"}) {
    TVellix doc;
    doc.SetFileName(name);
    doc.BeginDoc();
    doc.EndDoc();
    EXPECT_EQ(doc.FileName(), dir.Path() + "/" + name);
    EXPECT_EQ(ReadersComplaints(dir.File(name)), "") << name;
  }
  TVellix unnamed;
  unnamed.BeginDoc();
  EXPECT_EQ(unnamed.FileName(), dir.Path() + "/File.pdf");
  unnamed.Abort();
  EXPECT_FALSE(FileExists(unnamed.FileName()));
  ASSERT_EQ(::chdir(previous), 0);
}

TEST(DocumentWriter, ExistingFileIsReplaced) {
  TTempDir dir;
  const std::string path = dir.File("old.pdf");
  {
    TFileStream old(path, fmCreate);
    const std::string junk(100000, 'j');
    old.WriteBuffer(junk.data(), int64_t(junk.size()));
  }
  const std::string bytes = WriteDocument(path, nullptr);
  EXPECT_EQ(bytes.find("jjj"), std::string::npos);
  EXPECT_TRUE(CheckXref(bytes).empty());
  EXPECT_EQ(ReadersComplaints(path), "");
}

TEST(DocumentWriter, DestructorAbortsAnOpenDocument) {
  TTempDir dir;
  const std::string path = dir.File("destroyed.pdf");
  int aborts = 0;
  {
    TVellix doc;
    doc.SetFileName(path);
    doc.SetOnAbort([&](TObject*) { ++aborts; });
    doc.BeginDoc();
  }
  EXPECT_EQ(aborts, 1);
  EXPECT_FALSE(FileExists(path));
}

TEST(DocumentWriter, LongDocumentKeepsOnlyThePageInMemory) {
  TTempDir dir;
  const std::string path = dir.File("long.pdf");
  const std::string bytes = WriteDocument(path, [](TVellix& doc) {
    for (int page = 0; page < 200; ++page) {
      for (int line = 0; line < 50; ++line) {
        std::string text;
        AppendPdfNumber(text, line * 7.25L);
        text += " 100 m";
        doc.Canvas().AddLine(text);
        doc.Canvas().AddLine("200 300 l S");
      }
      EXPECT_EQ(doc.Canvas().PdfStream().size(), 100u);
      doc.NewPage();
      EXPECT_TRUE(doc.Canvas().PdfStream().empty());
    }
  });
  EXPECT_TRUE(CheckXref(bytes).empty());
  EXPECT_TRUE(CheckPdfContents(bytes).empty());
  EXPECT_EQ(ReadersComplaints(path), "");
}

// Pages of many shapes are larger than a file buffer and reach the file
// from the page itself, between pages that go through the buffers and the
// writing thread: the file holds what a memory stream receives.
TEST(DocumentWriter, LargePagesAmongSmallOnesReachTheFileInOrder) {
  auto draw = [](TVellix& doc) {
    for (int page = 0; page < 30; ++page) {
      const int shapes = page % 5 == 4 ? 4000 : 300;
      for (int i = 0; i < shapes; ++i) doc.Canvas().Rectangle(100 + i % 700, 100 + page, 900 + i % 500, 700);
      doc.NewPage();
    }
  };
  TTempDir dir;
  const std::string path = dir.File("mixed.pdf");
  const std::string bytes = WriteDocument(path, draw);
  EXPECT_TRUE(bytes == WriteDocumentToMemory(draw)) << "the file differs from the stream";
  EXPECT_GT(bytes.size(), 2000000u);
  EXPECT_TRUE(CheckXref(bytes).empty());
  EXPECT_EQ(ReadersComplaints(path), "");
}

TEST(DocumentWriter, CancelFromTheMessagePump) {
  TTempDir dir;
  const std::string path = dir.File("cancelled.pdf");
  TVellix doc;
  doc.SetFileName(path);
  std::vector<std::string> events;
  doc.SetOnNewPage([&](TObject*) { events.push_back("page " + std::to_string(doc.PageNumber())); });
  doc.SetOnAbort([&](TObject*) { events.push_back("abort"); });
  doc.SetOnEnd([&](TObject*) { events.push_back("end"); });
  Application::SetMessagePump([&] {
    if (doc.PageNumber() == 2) doc.Abort();  // a Cancel button pressed during page 2
  });
  doc.BeginDoc();
  for (int page = 0; page < 5; ++page) {
    if (doc.Canvas().CheckDocumentState()) doc.Canvas().AddLine("0 0 m");
    doc.NewPage();
  }
  doc.EndDoc();
  Application::SetMessagePump(nullptr);
  EXPECT_EQ(events, (std::vector<std::string>{"page 1", "page 2", "abort"}));
  EXPECT_FALSE(FileExists(path));
}
