#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <future>
#include <string>
#include <thread>

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

// Writes of every size through the writing thread: small lines, page-sized
// blocks, blocks of several buffers. Positions count every byte at once;
// reading and seeking wait for the thread; turning it off mid-file keeps the
// order.
TEST(FileStream, WriteBehindKeepsOrderAndPositions) {
  const std::string name = TempName("behind");
  std::string expected;
  {
    TFileStream f(name, fmCreate);
    f.SetWriteBehind(true);
    for (int i = 0; i < 3000; ++i) {
      const std::string piece = i % 100 == 7   ? std::string(size_t(300000 + i), char('a' + i % 26))
                                : i % 10 == 3 ? std::string(30000, char('A' + i % 26))
                                              : "line " + std::to_string(i) + "\r\n";
      ASSERT_EQ(f.Write(piece.data(), int64_t(piece.size())), int64_t(piece.size()));
      expected += piece;
      ASSERT_EQ(f.Position(), int64_t(expected.size()));
    }
    // Read back the start while the rest may still be on its way.
    f.SetPosition(0);
    std::string head(64, '\0');
    ASSERT_EQ(f.Read(head.data(), 64), 64);
    EXPECT_EQ(head, expected.substr(0, 64));
    f.Seek(0, soEnd);
    f.WriteBuffer("tail behind", 11);
    expected += "tail behind";
    f.SetWriteBehind(false);
    f.WriteBuffer("tail direct", 11);
    expected += "tail direct";
    f.SetWriteBehind(true);
    f.WriteBuffer("last", 4);
    expected += "last";
  }
  TMemoryStream m;
  m.LoadFromFile(name);
  EXPECT_TRUE(m.DataString() == expected) << "the file differs from what was written";
  std::remove(name.c_str());
}

// A block larger than a buffer, written while the thread is held up, comes
// after every byte the thread still holds. The pipe holds one page and is not
// read until the block is on its way: the thread waits in its first write
// with the stream's buffer half full behind it, so a block that went to the
// file by another way would be cut into theirs page by page.
TEST(FileStream, WriteBehindPutsALargeBlockAfterWhatTheThreadHolds) {
  const std::string name = TempName("fifo");
  ASSERT_EQ(::mkfifo(name.c_str(), 0600), 0);
  std::promise<bool> opened;
  std::promise<void> readNow;
  std::string received;
  // Joined however the test ends, after the release below has let it read.
  std::jthread reader([&name, &received, &opened, go = readNow.get_future()]() mutable {
    // Opened without waiting for the writer, so that the pipe is made small
    // before anything is written to it.
    const int fd = ::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0) {
      ::fcntl(fd, F_SETPIPE_SZ, 4096);
      ::fcntl(fd, F_SETFL, 0);
    }
    opened.set_value(fd >= 0);
    if (fd < 0) return;
    go.wait();
    char chunk[65536];
    for (;;) {
      const ssize_t n = ::read(fd, chunk, sizeof chunk);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      received.append(chunk, size_t(n));
    }
    ::close(fd);
  });
  // Lets the reader go however the writing side ends, so that it never waits.
  struct TRelease {
    std::promise<void>& Promise;
    bool Done = false;
    void operator()() {
      if (!Done) Promise.set_value();
      Done = true;
    }
    ~TRelease() { (*this)(); }
  } release{readNow};
  // Without a reader, opening the pipe to write would wait for ever.
  if (!opened.get_future().get()) {
    reader.join();
    FAIL() << "the pipe cannot be opened to read";
  }

  std::string expected;
  {
    TFileStream f(name, fmOpenWrite);
    f.SetWriteBehind(true);
    // One buffer handed over and the next begun, fewer than would wait.
    for (int i = 0; expected.size() < 200000; ++i) {
      const std::string line = "line " + std::to_string(i) + "\r\n";
      ASSERT_EQ(f.Write(line.data(), int64_t(line.size())), int64_t(line.size()));
      expected += line;
    }
    release();
    const std::string block(300000, 'B');
    ASSERT_EQ(f.Write(block.data(), int64_t(block.size())), int64_t(block.size()));
    expected += block;
    f.WriteBuffer("end", 3);
    expected += "end";
    f.Flush();
  }
  reader.join();
  std::remove(name.c_str());
  EXPECT_EQ(received.size(), expected.size());
  EXPECT_TRUE(received == expected) << "the block is not where it was written";
}

// A refused write on the thread shows at a later Write, which returns 0, and
// at Flush, with the system's reason.
TEST(FileStream, WriteBehindFailureShowsOnALaterWriteAndOnFlush) {
  TFileStream f("/dev/full", fmOpenWrite);
  f.SetWriteBehind(true);
  const std::string block(4096, 'b');
  int accepted = 0;
  while (accepted < 1000 && f.Write(block.data(), int64_t(block.size())) == int64_t(block.size())) ++accepted;
  // Two buffers of 128 KiB at most are in hand when the first failure is
  // known; it cannot take 4 MB to show.
  EXPECT_LT(accepted, 1000);
  EXPECT_GT(accepted, 0);
  EXPECT_EQ(f.Write("x", 1), 0);
  try {
    f.Flush();
    FAIL() << "Flush reported success";
  } catch (const EWriteError& e) {
    EXPECT_NE(e.Message().find("No space left on device"), std::string::npos) << e.Message();
  }

  // A file that never fills a buffer is refused at Flush all the same.
  TFileStream g("/dev/full", fmOpenWrite);
  g.SetWriteBehind(true);
  EXPECT_EQ(g.Write("abc", 3), 3);
  EXPECT_THROW(g.Flush(), EWriteError);

  // Blocks larger than a buffer are written at once: the first is refused,
  // and the stream stays failed.
  TFileStream h("/dev/full", fmOpenWrite);
  h.SetWriteBehind(true);
  const std::string large(300000, 'L');
  int acceptedLarge = 0;
  while (acceptedLarge < 10 && h.Write(large.data(), int64_t(large.size())) == int64_t(large.size()))
    ++acceptedLarge;
  EXPECT_EQ(acceptedLarge, 0);
  EXPECT_EQ(h.Write("x", 1), 0);
  EXPECT_THROW(h.Flush(), EWriteError);
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
