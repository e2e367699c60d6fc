// Every failure of the document writer: its exact message, the abort that
// comes before it, and what is left behind.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/Readers.h"
#include "support/TestDocument.h"

using namespace Vellix;
using namespace VellixTest;

namespace {

// A stream that accepts aLimit bytes and then refuses every write.
class TRefusingStream : public TStream {
public:
  explicit TRefusingStream(int64_t aLimit) : FLimit(aLimit) {}
  int64_t Read(void*, int64_t) override { return 0; }
  int64_t Write(const void*, int64_t aCount) override {
    const int64_t n = std::max<int64_t>(0, std::min(aCount, FLimit - FPosition));
    FPosition += n;
    return n;
  }
  int64_t Seek(int64_t aOffset, TSeekOrigin aOrigin) override {
    if (aOrigin == soBeginning) FPosition = aOffset;
    else if (aOrigin == soCurrent) FPosition += aOffset;
    return FPosition;
  }

private:
  int64_t FLimit;
  int64_t FPosition = 0;
};

// A stream that only counts, starting at a given position.
class TCountingStream : public TStream {
public:
  explicit TCountingStream(int64_t aStart) : FPosition(aStart) {}
  int64_t Read(void*, int64_t) override { return 0; }
  int64_t Write(const void*, int64_t aCount) override {
    FPosition += aCount;
    return aCount;
  }
  int64_t Seek(int64_t aOffset, TSeekOrigin aOrigin) override {
    if (aOrigin != soCurrent || aOffset != 0) throw EStreamError("not seekable");
    return FPosition;
  }

private:
  int64_t FPosition;
};

struct TEventLog {
  std::vector<std::string> Events;
  void Attach(TVellix& aDoc) {
    aDoc.SetOnAbort([this](TObject*) { Events.push_back("abort"); });
    aDoc.SetOnEnd([this](TObject*) { Events.push_back("end"); });
    aDoc.SetOnNewPage([this](TObject*) { Events.push_back("page"); });
    aDoc.SetOnStart([this](TObject*) { Events.push_back("start"); });
  }
};

}  // namespace

TEST(DocumentErrors, BeginDocTwiceAbortsTheOpenDocument) {
  TTempDir dir;
  TVellix doc;
  TEventLog log;
  log.Attach(doc);
  doc.SetFileName(dir.File("twice.pdf"));
  doc.BeginDoc();
  EXPECT_EQ(MessageOf([&] { doc.BeginDoc(); }), "PDF document already open");
  EXPECT_FALSE(doc.Printing());
  EXPECT_TRUE(doc.Aborted());
  EXPECT_FALSE(FileExists(dir.File("twice.pdf")));
  EXPECT_EQ(log.Events, (std::vector<std::string>{"start", "page", "abort"}));
}

TEST(DocumentErrors, ZeroPageSizeIsRefused) {
  TTempDir dir;
  TVellix doc;
  doc.SetFileName(dir.File("zero.pdf"));
  doc.SetPageHeight(0);
  EXPECT_EQ(MessageOf([&] { doc.BeginDoc(); }), "Invalid property value: PageHeight");
  doc.SetPaperSizeName("A4");
  doc.SetPageWidth(0);
  EXPECT_EQ(MessageOf([&] { doc.BeginDoc(); }), "Invalid property value: PageWidth");
  doc.SetPaperSize(0);
  EXPECT_EQ(doc.PaperSizeName(), "Custom");
  EXPECT_EQ(MessageOf([&] { doc.BeginDoc(); }), "Invalid property value: PageHeight");
  EXPECT_FALSE(doc.Printing());
  EXPECT_FALSE(FileExists(dir.File("zero.pdf")));
  // Negative sizes are not the writer's concern.
  doc.SetPageHeight(-100);
  doc.SetPageWidth(100);
  doc.BeginDoc();
  doc.EndDoc();
  EXPECT_EQ(QpdfCheck(dir.File("zero.pdf")).Status, 0);
}

TEST(DocumentErrors, FileThatCannotBeCreatedOrExamined) {
  TTempDir dir;
  TVellix doc;
  TEventLog log;
  log.Attach(doc);
  // Each message says why, in the system's words, after the path.
  // A directory cannot become the document.
  doc.SetFileName(dir.Path());
  EXPECT_EQ(MessageOf([&] { doc.BeginDoc(); }), "Can't open file: " + dir.Path() + ": Is a directory");
  doc.SetFileName(dir.File("missing/x.pdf"));
  EXPECT_EQ(MessageOf([&] { doc.BeginDoc(); }),
            "Can't open file: " + dir.File("missing/x.pdf") + ": No such file or directory");
  // A link that loops, and a name longer than the system allows, cannot even
  // be examined; neither is a locked file.
  const std::string loop = dir.File("loop");
  ASSERT_EQ(::symlink(loop.c_str(), loop.c_str()), 0);
  doc.SetFileName(loop + "/x.pdf");
  EXPECT_EQ(MessageOf([&] { doc.BeginDoc(); }),
            "Can't open file: " + loop + "/x.pdf: Too many levels of symbolic links");
  const std::string longName = dir.File(std::string(300, 'n') + ".pdf");
  doc.SetFileName(longName);
  EXPECT_EQ(MessageOf([&] { doc.BeginDoc(); }), "Can't open file: " + longName + ": File name too long");
  EXPECT_FALSE(doc.Printing());
  EXPECT_FALSE(doc.Aborted());
  EXPECT_TRUE(log.Events.empty());
}

// An old document that may neither be deleted nor overwritten (a folder and
// a file without write permission, for a user other than root) is locked.
TEST(DocumentErrors, OldFileThatCannotBeReplacedIsLocked) {
  TTempDir dir;
  const std::string folder = dir.File("readonly");
  ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
  const std::string old = folder + "/old.pdf";
  { TFileStream file(old, fmCreate); }
  ASSERT_EQ(::chmod(old.c_str(), 0444), 0);
  ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
  ASSERT_EQ(::chmod(dir.Path().c_str(), 0755), 0);
  // Root may do anything; the check runs as nobody in a child process then.
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (::geteuid() == 0 && ::setuid(65534) != 0) ::_exit(3);
    TVellix doc;
    doc.SetFileName(old);
    const std::string message = MessageOf([&] { doc.BeginDoc(); });
    ::_exit(message == "File locked: " + old ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ::chmod(folder.c_str(), 0755);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_TRUE(FileExists(old));
}

TEST(DocumentErrors, StreamRefusingMidDocument) {
  // Fail at every stage: the header, object 1, a page, the tail.
  for (int64_t limit : {0, 5, 60, 200, 300, 400, 500, 600, 700}) {
    TRefusingStream stream(limit);
    TVellix doc;
    TEventLog log;
    log.Attach(doc);
    doc.SetOutStream(&stream);
    const std::string message = MessageOf([&] {
      doc.BeginDoc();
      doc.Canvas().AddLine("0 0 m");
      doc.NewPage();
      doc.EndDoc();
    });
    EXPECT_EQ(message, "File write error, or disk full") << "limit " << limit;
    EXPECT_FALSE(doc.Printing());
    EXPECT_TRUE(doc.Aborted());
    ASSERT_FALSE(log.Events.empty());
    EXPECT_EQ(log.Events.back(), "abort");
    EXPECT_EQ(std::count(log.Events.begin(), log.Events.end(), "end"), 0);
    // The caller's stream stays assigned; drawing is now a silent no-op.
    EXPECT_EQ(doc.OutStream(), &stream);
    EXPECT_FALSE(doc.Canvas().CheckDocumentState());
  }
}

TEST(DocumentErrors, FullDeviceAsCallerStream) {
  TFileStream full("/dev/full", fmOpenWrite);
  TVellix doc;
  doc.SetOutStream(&full);
  const std::string message = MessageOf([&] {
    doc.BeginDoc();
    for (int page = 0; page < 100; ++page) {
      for (int line = 0; line < 100; ++line) doc.Canvas().AddLine("100 200 300 400 re S");
      doc.NewPage();
    }
    doc.EndDoc();
  });
  EXPECT_EQ(message, "File write error, or disk full");
  EXPECT_TRUE(doc.Aborted());
}

TEST(DocumentErrors, FullDeviceAsFileNameIsWrittenButNeverRemoved) {
  // The document is small enough to sit in the file buffer until EndDoc's flush.
  TVellix doc;
  TEventLog log;
  log.Attach(doc);
  doc.SetFileName("/dev/full");
  EXPECT_EQ(MessageOf([&] {
              doc.BeginDoc();
              doc.EndDoc();
            }),
            "File write error, or disk full");
  EXPECT_EQ(log.Events, (std::vector<std::string>{"start", "page", "abort"}));
  EXPECT_TRUE(FileExists("/dev/full"));
}

// A long document's file is written while the pages are drawn: a refusal
// stops the drawing pages before EndDoc, not only at its final flush.
TEST(DocumentErrors, FullDeviceAsFileNameStopsALongDocumentEarly) {
  TVellix doc;
  doc.SetFileName("/dev/full");
  int pagesDrawn = 0;
  const std::string message = MessageOf([&] {
    doc.BeginDoc();
    for (; pagesDrawn < 1000; ++pagesDrawn) {
      for (int i = 0; i < 200; ++i) doc.Canvas().Rectangle(100 + i, 100, 900 + i, 700);
      doc.NewPage();
    }
    doc.EndDoc();
  });
  EXPECT_EQ(message, "File write error, or disk full");
  EXPECT_LT(pagesDrawn, 100);
  EXPECT_TRUE(doc.Aborted());
  EXPECT_TRUE(FileExists("/dev/full"));

  // A page larger than a buffer goes to the file as it ends: the first one
  // is refused.
  TVellix large;
  large.SetFileName("/dev/full");
  int largeDrawn = 0;
  EXPECT_EQ(MessageOf([&] {
              large.BeginDoc();
              for (; largeDrawn < 100; ++largeDrawn) {
                for (int i = 0; i < 4000; ++i) large.Canvas().Rectangle(100 + i % 700, 100, 900, 700);
                large.NewPage();
              }
              large.EndDoc();
            }),
            "File write error, or disk full");
  EXPECT_EQ(largeDrawn, 0);
}

TEST(DocumentErrors, FileSizeLimitMidDocumentLeavesNoFile) {
  TTempDir dir;
  const std::string path = dir.File("limited.pdf");
  struct sigaction ignore {}, previous {};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGXFSZ, &ignore, &previous);
  rlimit old {};
  getrlimit(RLIMIT_FSIZE, &old);
  rlimit limited = old;
  limited.rlim_cur = 200000;
  setrlimit(RLIMIT_FSIZE, &limited);
  TVellix doc;
  doc.SetFileName(path);
  const std::string message = MessageOf([&] {
    doc.BeginDoc();
    for (int page = 0; page < 100; ++page) {
      for (int line = 0; line < 100; ++line) doc.Canvas().AddLine("100 200 300 400 re S");
      doc.NewPage();
    }
    doc.EndDoc();
  });
  setrlimit(RLIMIT_FSIZE, &old);
  sigaction(SIGXFSZ, &previous, nullptr);
  EXPECT_EQ(message, "File write error, or disk full");
  EXPECT_FALSE(FileExists(path));
}

TEST(DocumentErrors, AddressesBeyondTenDigitsFail) {
  // Far into a caller's stream: the head still fits, the tail would not.
  TCountingStream stream(9999999999 - 1000);
  TVellix doc;
  doc.SetOutStream(&stream);
  EXPECT_EQ(MessageOf([&] {
              doc.BeginDoc();
              for (int i = 0; i < 100; ++i) doc.Canvas().AddLine("100 200 300 400 re S");
              doc.EndDoc();
            }),
            "File write error, or disk full");
  EXPECT_TRUE(doc.Aborted());

  TCountingStream beyond(10000000000);
  TVellix other;
  other.SetOutStream(&beyond);
  EXPECT_EQ(MessageOf([&] { other.BeginDoc(); }), "File write error, or disk full");

  // Just below the limit a whole document fits.
  TCountingStream large(int64_t(3) << 30);
  TVellix big;
  big.SetOutStream(&large);
  big.BeginDoc();
  big.EndDoc();
}

TEST(DocumentErrors, NewPageWithoutDocument) {
  TVellix doc;
  EXPECT_EQ(MessageOf([&] { doc.NewPage(); }), "Document not opened");
  EXPECT_EQ(doc.PageNumber(), 0);
  doc.EndDoc();  // silent
  doc.Abort();   // silent
  EXPECT_FALSE(doc.Aborted());
}

TEST(DocumentErrors, ShapingPropertiesAreFrozenWhilePrinting) {
  const std::vector<std::pair<std::string, std::function<void(TVellix&)>>> setters = {
      {"EmbedFonts", [](TVellix& d) { d.SetEmbedFonts(true); }},
      {"FileName", [](TVellix& d) { d.SetFileName("x.pdf"); }},
      {"ImageCompressMode", [](TVellix& d) { d.SetImageCompressMode(cpZlib); }},
      {"Title", [](TVellix& d) { d.SetTitle("x"); }},
      {"LengthUnit", [](TVellix& d) { d.SetLengthUnit(luPoint); }},
      {"Orientation", [](TVellix& d) { d.SetOrientation(poLandscape); }},
      {"PageHeight", [](TVellix& d) { d.SetPageHeight(10); }},
      {"PageWidth", [](TVellix& d) { d.SetPageWidth(10); }},
      {"PaperSize", [](TVellix& d) { d.SetPaperSize(1); }},
      {"PaperSizeName", [](TVellix& d) { d.SetPaperSizeName("Letter"); }},
  };
  TTempDir dir;
  for (const auto& [name, set] : setters) {
    TVellix doc;
    TEventLog log;
    log.Attach(doc);
    doc.SetFileName(dir.File("frozen.pdf"));
    doc.BeginDoc();
    EXPECT_EQ(MessageOf([&] { set(doc); }), "Can't modify property when printing: " + name);
    EXPECT_EQ(log.Events.back(), "abort") << name;
    EXPECT_FALSE(FileExists(dir.File("frozen.pdf"))) << name;
    EXPECT_EQ(doc.Title(), "");
    EXPECT_EQ(doc.LengthUnit(), luTenth);
    EXPECT_EQ(doc.PageWidth(), 2100);
    EXPECT_EQ(doc.PaperSizeName(), "A4");
    EXPECT_EQ(doc.ImageCompressMode(), cpJpeg);
    EXPECT_FALSE(doc.EmbedFonts());
    EXPECT_EQ(doc.FileName(), dir.File("frozen.pdf"));
  }
}

TEST(DocumentErrors, InformationPropertiesMayChangeWhilePrinting) {
  TMemoryStream stream;
  TVellix doc;
  doc.SetOutStream(&stream);
  doc.SetAuthor("first");
  doc.BeginDoc();
  doc.SetAuthor("second");
  doc.SetSubject("s");
  doc.SetKeywords("k");
  doc.SetWantShow(true);
  doc.EndDoc();
  const std::string bytes = stream.DataString();
  EXPECT_NE(bytes.find("/Author(first)"), std::string::npos);
  EXPECT_EQ(bytes.find("/Subject"), std::string::npos);
  EXPECT_EQ(ReadersComplaintsOfBytes(bytes), "");
}

TEST(DocumentErrors, ErrorRuleWithAndWithoutInfo) {
  TVellix doc;
  EXPECT_EQ(MessageOf([&] { doc.RaiseError(MSG_INTERNAL_ERROR); }), "Internal error");
  EXPECT_EQ(MessageOf([&] { doc.RaiseError(MSG_INVALID_PROPERTY, "X"); }), "Invalid property value: X");
  // An exception in OnAbort does not hide the error.
  TMemoryStream stream;
  doc.SetOutStream(&stream);
  doc.SetOnAbort([](TObject*) { throw Exception("from the handler"); });
  doc.BeginDoc();
  EXPECT_EQ(MessageOf([&] { doc.RaiseError(MSG_BAD_PARAMETERS); }), "Bad parameters for method");
  EXPECT_TRUE(doc.Aborted());
}

// Values no property can hold are refused when set, before any document
// writes them: an image mode cast from outside its enumeration would index
// the writer's filter table, a creation date with ")" or "\" would end the
// information dictionary's string early.
TEST(DocumentErrors, ValuesOutsideAPropertysRangeAreRefused) {
  TVellix doc;
  for (int mode : {3, -1, 255}) {
    EXPECT_EQ(MessageOf([&] { doc.SetImageCompressMode(static_cast<TPdfCompressMode>(mode)); }),
              "Invalid property value: ImageCompressMode");
    EXPECT_EQ(doc.ImageCompressMode(), cpJpeg);
  }
  for (const char* date : {"2024)(x", "20240102030405\\", "2024010", "abcd", "20240102030405+1", "2024Z1"}) {
    EXPECT_EQ(MessageOf([&] { doc.SetCreationDate(date); }), "Invalid property value: CreationDate") << date;
  }
  TTempDir dir;
  for (const char* date : {"2024", "20240102030405", "20240102030405Z", "20240102030405+01'00'", "202401-05"}) {
    doc.SetCreationDate(date);
    doc.SetFileName(dir.File("dated.pdf"));
    doc.BeginDoc();
    TBitmap picture(4, 4);
    doc.Canvas().Draw(100, 100, &picture);
    doc.EndDoc();
    EXPECT_EQ(ReadersComplaints(dir.File("dated.pdf")), "") << date;
    EXPECT_NE(ReadFileBytes(dir.File("dated.pdf")).find(std::string("/CreationDate(D:") + date + ")"), std::string::npos);
  }
}
