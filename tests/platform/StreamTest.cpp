#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <string>

#include <vellix/Stream.h>

using namespace Vellix;

namespace {
std::string TempName(const char* aTag) {
  return std::string(::testing::TempDir()) + "vellix_stream_" + aTag + "_" + std::to_string(::getpid());
}
}  // namespace

TEST(FileStream, BufferedWritesKeepPositionsAndReachTheFile) {
  const std::string name = TempName("pos");
  {
    TFileStream f(name, fmCreate);
    for (int i = 0; i < 20000; ++i) {
      EXPECT_EQ(f.Position(), int64_t(i) * 7);
      ASSERT_EQ(f.Write("abcdef\n", 7), 7);
    }
    f.Flush();
    EXPECT_EQ(f.Size(), 140000);
  }
  TMemoryStream m;
  m.LoadFromFile(name);
  ASSERT_EQ(m.Size(), 140000);
  EXPECT_EQ(m.DataString().substr(69993, 7), "abcdef\n");
  std::remove(name.c_str());
}

TEST(FileStream, LargeBlocksBypassTheBufferInOrder) {
  const std::string name = TempName("large");
  std::string big(200000, 'x');
  {
    TFileStream f(name, fmCreate);
    f.WriteBuffer("head", 4);
    f.WriteBuffer(big.data(), int64_t(big.size()));
    f.WriteBuffer("tail", 4);
    EXPECT_EQ(f.Position(), 200008);
    // A page-sized block (smaller than the buffer) after buffered bytes.
    const std::string page(30000, 'p');
    f.WriteBuffer("mid", 3);
    EXPECT_EQ(f.Write(page.data(), int64_t(page.size())), 30000);
    f.WriteBuffer("end", 3);
    EXPECT_EQ(f.Position(), 230014);
  }
  TMemoryStream m;
  m.LoadFromFile(name);
  const std::string all = m.DataString();
  ASSERT_EQ(all.size(), 230014u);
  EXPECT_EQ(all.substr(0, 5), "headx");
  EXPECT_EQ(all.substr(200003, 9), "xtailmidp");
  EXPECT_EQ(all.substr(all.size() - 4), "pend");
  std::remove(name.c_str());
}

TEST(FileStream, FullDeviceFailsOnFlushNotSilently) {
  TFileStream f("/dev/full", fmOpenWrite);
  f.Write("abc", 3);  // buffered: accepted
  EXPECT_THROW(f.Flush(), EWriteError);
  EXPECT_EQ(f.Write("abc", 3), 0);  // the stream stays failed

  TFileStream g("/dev/full", fmOpenWrite);
  const std::string page(30000, 'p');
  g.Write("abc", 3);
  EXPECT_EQ(g.Write(page.data(), int64_t(page.size())), 0);  // written at once: refused at once
  EXPECT_THROW(g.Flush(), EWriteError);
}

TEST(FileStream, OpenErrorsNameTheFile) {
  try {
    TFileStream f("/nonexistent-dir/x.pdf", fmCreate);
    FAIL();
  } catch (const EFCreateError& e) {
    EXPECT_NE(e.Message().find("/nonexistent-dir/x.pdf"), std::string::npos);
  }
  EXPECT_THROW(TFileStream("/nonexistent-dir/x.pdf", fmOpenRead), EFOpenError);
}

TEST(MemoryStream, WritesReadsAndSeeks) {
  TMemoryStream m;
  m.WriteBuffer("hello world", 11);
  EXPECT_EQ(m.Position(), 11);
  m.SetPosition(6);
  char buf[8] = {};
  EXPECT_EQ(m.Read(buf, 8), 5);
  EXPECT_EQ(std::string(buf, 5), "world");
  m.Seek(-5, soEnd);
  m.WriteBuffer("WORLD!", 6);
  EXPECT_EQ(m.DataString(), "hello WORLD!");
  EXPECT_THROW(m.Seek(-1, soBeginning), EStreamError);
  char one;
  char all[32];
  m.SetPosition(0);
  EXPECT_THROW(m.ReadBuffer(all, 20), EReadError);
  m.SetPosition(12);
  EXPECT_EQ(m.Read(&one, 1), 0);
}
