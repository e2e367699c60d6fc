// How large a picture a program may make: bounded by its bytes, not by its
// sides, and memory the machine cannot give is a clear error, never a bare
// std::bad_alloc.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/Readers.h"
#include "support/TestDocument.h"

using namespace Vellix;
using namespace VellixTest;

TEST(BitmapLimits, LongStripsAreBitmapsAndPagesLikeAnyOther) {
  TTempDir dir;
  const std::string path = dir.File("strips.pdf");
  WriteDocument(
      path,
      [](TVellix& aDoc) {
        TBitmap wide(200000, 2), tall(1, 100000);
        wide.Canvas().SetPixel(199999, 1, clRed);
        aDoc.Canvas().StretchDraw({100, 100, 2000, 200}, &wide);
        aDoc.Canvas().StretchDraw({100, 300, 110, 2800}, &tall);
      },
      [](TVellix& aDoc) { aDoc.SetImageCompressMode(cpZlib); });
  EXPECT_EQ(ReadersComplaints(path), "");
  const TRunResult list = PdfImagesList(path);
  EXPECT_NE(list.Out.find("200000     2"), std::string::npos) << list.Out;
}

TEST(BitmapLimits, APictureBeyondTheBoundIsRefusedAndLeavesTheBitmapAsItWas) {
  TBitmap bitmap(10, 10);
  EXPECT_EQ(MessageOf([&] { bitmap.SetSize(70000, 70000); }),
            "Invalid bitmap size: 70000 x 70000 pixels need 14700000000 bytes, more than 4294967296");
  EXPECT_EQ(MessageOf([&] { bitmap.SetSize(-1, 5); }), "Invalid bitmap size: -1 x 5 pixels");
  EXPECT_EQ(bitmap.Width(), 10);
  EXPECT_EQ(bitmap.Height(), 10);
}

// Within the bound, but more than the process may have: the address space of
// a child process is limited to show it (not under the sanitizers, whose
// shadow memory needs the whole address space).
TEST(BitmapLimits, MemoryThatCannotBeHadIsAClearError) {
#ifdef VELLIX_SANITIZED
  GTEST_SKIP() << "an address-space limit cannot be combined with the sanitizers";
#else
  TTempDir dir;
  const std::string path = dir.File("memory.pdf");
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    TBitmap picture(6000, 6000);  // 108 MB, before the limit
    rlimit limit{};
    ::getrlimit(RLIMIT_AS, &limit);
    limit.rlim_cur = rlim_t(1) << 30;  // 1 GiB of address space from now on
    if (::setrlimit(RLIMIT_AS, &limit) != 0) ::_exit(10);
    TBitmap big;
    if (MessageOf([&] { big.SetSize(40000, 20000); }) != "Invalid bitmap size: not enough memory for 40000 x 20000 pixels")
      ::_exit(11);
    TVellix doc;
    doc.SetFileName(path);
    doc.SetImageCompressMode(cpNone);
    doc.BeginDoc();
    TBitmap huge;
    huge.SetSize(9000, 9000);  // 243 MB of pixels fit, their 304 MB of text with the copy do not
    const std::string message = MessageOf([&] {
      for (int i = 0; i < 8; ++i) doc.Canvas().Draw(0, 0, &huge);
    });
    if (message != "Not enough memory: image of 9000 x 9000 pixels") ::_exit(12);
    ::_exit(doc.Aborted() && !FileExists(path) ? 0 : 13);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
#endif
}
