// The writer on its own: the bytes of objects and of the file's tail, and the
// error rule (the failure handler first, then the exception, for every kind
// of failure).

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "support/Internals.h"
#include "support/Readers.h"
#include "support/TestDocument.h"

using namespace Vellix;
using namespace VellixTest;

namespace {

std::string Text(TMemoryStream& aStream) {
  return std::string(reinterpret_cast<const char*>(aStream.Memory()), size_t(aStream.Size()));
}

// A stream that takes aRoom bytes, then refuses every write.
class TFullStream : public TMemoryStream {
public:
  explicit TFullStream(int64_t aRoom) : FRoom(aRoom) {}
  int64_t Write(const void* aBuffer, int64_t aCount) override {
    if (aCount > FRoom) return 0;
    FRoom -= aCount;
    return TMemoryStream::Write(aBuffer, aCount);
  }

private:
  int64_t FRoom;
};

}  // namespace

TEST(PdfWriter, WritesObjectsReservationsAndTheTailWithTheirAddresses) {
  TMemoryStream out;
  TPdfWriter writer([] {});
  writer.Open(out);
  writer.WriteLine("%PDF-1.3");
  EXPECT_EQ(writer.BeginDic(), 1);
  writer.WriteLine("/A 1");
  writer.EndDic();
  EXPECT_EQ(writer.ReserveObject(), 2);
  EXPECT_EQ(writer.BeginObject("[1 2]"), 3);
  writer.EndObject("");
  writer.BeginReservedDic(2);
  writer.EndDic();
  writer.WriteRaw("raw", 3);
  writer.WriteTail(2, 1);
  const std::string expected =
      "%PDF-1.3\r\n"
      "1 0 obj\r\n<<\r\n/A 1\r\n>>\r\nendobj\r\n"   // at 10
      "3 0 obj\r\n[1 2]\r\n\r\nendobj\r\n"           // at 41
      "2 0 obj\r\n<<\r\n>>\r\nendobj\r\n"             // at 67
      "raw"
      "xref\r\n0 4\r\n0000000000 65535 f\r\n"
      "0000000010 00000 n\r\n0000000067 00000 n\r\n0000000041 00000 n\r\n"
      "trailer\r\n<<\r\n/Size 4\r\n/Root 2 0 R\r\n/Info 1 0 R\r\n>>\r\nstartxref\r\n95\r\n%%EOF\r\n";
  EXPECT_EQ(Text(out), expected);
  EXPECT_EQ(writer.ObjectCount(), 3);
}

TEST(PdfWriter, EveryFailureRunsTheHandlerBeforeItThrows) {
  int aborts = 0;
  TPdfWriter writer([&] {
    ++aborts;
    throw Exception("the handler's own error is swallowed");
  });
  TFullStream full(12);
  writer.Open(full);
  writer.WriteLine("%PDF-1.3");  // 10 bytes fit
  EXPECT_EQ(MessageOf([&] { writer.WriteLine("more"); }), MSG_WRITE_ERROR);
  EXPECT_EQ(MessageOf([&] { writer.WriteRaw("xyz", 3); }), MSG_WRITE_ERROR);
  EXPECT_EQ(MessageOf([&] { writer.BeginReservedDic(1); }), MSG_INTERNAL_ERROR);
  EXPECT_EQ(MessageOf([&] { writer.Fail(MSG_BAD_PARAMETERS, "Polygon"); }), "Bad parameters for method: Polygon");
  EXPECT_EQ(aborts, 4);
  writer.Close();
  EXPECT_EQ(MessageOf([&] { writer.WriteLine("closed"); }), MSG_WRITE_ERROR);
  EXPECT_EQ(aborts, 5);
}

TEST(PdfWriter, RefusesAStreamWhoseAddressesCannotFitTheTable) {
  // A caller's stream that is already ten thousand million bytes in: ten
  // digits hold 9999999999 at most.
  class TFarStream : public TMemoryStream {
  public:
    int64_t Seek(int64_t aOffset, TSeekOrigin aOrigin) override {
      return TMemoryStream::Seek(aOffset, aOrigin) + 10000000000;
    }
  } out;
  TPdfWriter writer([] {});
  EXPECT_EQ(MessageOf([&] { writer.Open(out); }), MSG_WRITE_ERROR);
}

TEST(PdfSyntax, EscapesStringsAndNames) {
  std::string s;
  AppendEscaped(s, "a(b)c\\d\r\n");
  EXPECT_EQ(s, "a\\(b\\)c\\\\d\r\n");
  s.clear();
  AppendEscaped(s, "a(b)\r\n", ebLineEnds);
  EXPECT_EQ(s, "a\\(b\\)\\\r\\\n");
  EXPECT_EQ(Ref(12), "12 0 R");
  EXPECT_EQ(EncodeSpaces(std::string("A B\0C", 5)), "A#20BC");
}

// Strings are scanned eight bytes at a time: every special byte at every
// place in a word and in the tail, in both modes, against the byte rule.
TEST(PdfSyntax, EscapingAgreesWithTheByteRuleAtEveryPosition) {
  const std::string alphabet = std::string("ab()\\\r\n'\x28\x29\x5c\x0d\x0a\x7f\x80\xff ") + '\0';
  std::mt19937 random(5);
  for (int n = 0; n < 30000; ++n) {
    // Short and long strings, with special bytes dense, sparse or alone.
    std::string text(size_t(random() % (n % 3 == 0 ? 100 : 40)), 'x');
    const unsigned density = n % 5 == 0 ? 1 : n % 5 == 1 ? 30 : 4;
    for (char& c : text)
      if (random() % density == 0) c = alphabet[random() % alphabet.size()];
    for (const TEscapeBreaks breaks : {ebKeep, ebLineEnds}) {
      std::string expected;
      for (const char c : text) {
        if (c == '(' || c == ')' || c == '\\' || (breaks == ebLineEnds && (c == '\r' || c == '\n'))) expected += '\\';
        expected += c;
      }
      std::string written = "prefix";
      AppendEscaped(written, text, breaks);
      ASSERT_EQ(written, "prefix" + expected);
    }
  }
}

// Text strings shown in a reader's panels: ASCII as a literal string, the
// rest as UTF-16BE with a byte-order mark, from code page 1252 or UTF-8.
TEST(PdfSyntax, TextStringsAreLiteralWhenAsciiAndUtf16Otherwise) {
  std::string s;
  AppendTextString(s, "a(b)");
  EXPECT_EQ(s, "(a\\(b\\))");
  s.clear();
  AppendTextString(s, "caf\xE9 \x80");
  EXPECT_EQ(s, "<FEFF00630061006600E9002020AC>");
  s.clear();
  AppendUtf8TextString(s, "a(b)");
  EXPECT_EQ(s, "(a\\(b\\))");
  s.clear();
  // A letter, a character beyond the basic plane and an ill-formed byte.
  AppendUtf8TextString(s, "\xC3\xA9\xF0\x9F\x98\x80\xFF");
  EXPECT_EQ(s, "<FEFF00E9D83DDE00FFFD>");
}

TEST(PdfSyntax, NameTokensStayWithinWhatReadersAccept) {
  const std::string shortName = "Times New Roman,Bold";
  EXPECT_EQ(NameToken(shortName), EncodeSpaces(shortName));
  const std::string a = std::string(800, 'a') + "1", b = std::string(800, 'a') + "2";
  EXPECT_EQ(NameToken(a).size(), MaxNameLength);
  EXPECT_NE(NameToken(a), NameToken(b));
  EXPECT_EQ(NameToken(a), NameToken(a));
  // Blanks become "#20": a cut never splits one, whatever the offset.
  for (size_t lead = 0; lead < 4; ++lead) {
    const std::string token = NameToken(std::string(lead, 'x') + std::string(200, ' '));
    EXPECT_LE(token.size(), MaxNameLength);
    const std::string body = token.substr(0, token.find('+'));
    EXPECT_EQ((body.size() - lead) % 3, 0u) << token;
  }
}

TEST(PdfSyntax, ALongFamilyNameGivesADocumentReadersAccept) {
  TTempDir dir;
  const std::string path = dir.File("long-name.pdf");
  WriteDocument(path, [](TVellix& aDoc) {
    aDoc.Canvas().Font().SetName(std::string(813, 'F'));
    aDoc.Canvas().TextOut(100, 100, "A family name of 813 bytes");
  });
  EXPECT_EQ(ReadersComplaints(path), "");
  const std::string bytes = ReadFileBytes(path);
  const size_t at = bytes.find("/BaseFont /");
  ASSERT_NE(at, std::string::npos);
  EXPECT_EQ(bytes.find("\r\n", at) - (at + 11), MaxNameLength);
}
