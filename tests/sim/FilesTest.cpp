// msvcrt streams on the simulated disks: text translation, errno, full and
// read-only media.
#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "platform/Codes.h"
#include "tests/support/MachineTest.h"

namespace {

class FilesTest : public MachineTest {
 protected:
  void SetUp() override { Boot("basic"); }
  platform::FileSystem& f() { return platform::files(); }
  std::string ReadAll(const char* path, const char* mode) {
    platform::Stream* s = f().Open(path, mode);
    EXPECT_NE(s, nullptr) << path;
    if (!s) return "";
    std::string text;
    for (int c; (c = f().Getc(s)) != -1;) text += char(c);
    EXPECT_TRUE(f().Eof(s));
    f().Close(s);
    return text;
  }
};

TEST_F(FilesTest, TextModeWritesCrLfAndReadsItBack) {
  platform::Stream* s = f().Open("C:\\t.txt", "wt");
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(f().Puts("one\ntwo\n", s), 0);
  EXPECT_EQ(f().Putc('x', s), 'x');
  EXPECT_EQ(f().Tell(s), 11);
  EXPECT_EQ(f().Close(s), 0);
  EXPECT_EQ(machine().ReadFile("C:\\t.txt"), "one\r\ntwo\r\nx");
  EXPECT_EQ(ReadAll("C:\\t.txt", "r"), "one\ntwo\nx");
  EXPECT_EQ(ReadAll("C:\\t.txt", "rb"), "one\r\ntwo\r\nx");
}

TEST_F(FilesTest, TextReadKeepsLoneCrAndStopsAtCtrlZ) {
  struct Case {
    std::string bytes, text;
  } cases[] = {
      {"a\rb\r\n", "a\rb\n"},
      {"a\r", "a\r"},
      {"a\r\r\nb", "a\r\nb"},
      {std::string("ab\x1A"
                   "cd",
                   5),
       "ab"},
      {std::string(4095, 'x') + "\r\ny", std::string(4095, 'x') + "\ny"},
  };
  for (const Case& c : cases) {
    machine().WriteFile("C:\\r.txt", c.bytes);
    EXPECT_EQ(ReadAll("C:\\r.txt", "rt"), c.text) << c.bytes.substr(0, 20);
  }
  EXPECT_EQ(ReadAll("C:\\r.txt", "rb").size(), 4098u);
}

TEST_F(FilesTest, GetsReadsAtMostSizeLessOneAndStopsAfterTheLineFeed) {
  machine().WriteFile("C:\\g.txt", "abcdef\r\ngh");
  platform::Stream* s = f().Open("C:\\g.txt", "r");
  ASSERT_NE(s, nullptr);
  char buffer[8];
  EXPECT_STREQ(f().Gets(buffer, 4, s), "abc");
  EXPECT_STREQ(f().Gets(buffer, 8, s), "def\n");
  EXPECT_STREQ(f().Gets(buffer, 8, s), "gh");
  EXPECT_EQ(f().Gets(buffer, 8, s), nullptr);
  EXPECT_TRUE(f().Eof(s));
  EXPECT_FALSE(f().Error(s));
  f().Close(s);
}

TEST_F(FilesTest, OpenFailuresSetMsvcrtErrno) {
  machine().WriteFile("C:\\ro.txt", "keep");
  ASSERT_TRUE(platform::kernel().SetFileAttributesA("C:\\ro.txt",
                                                    FILE_ATTRIBUTE_READONLY));
  struct Case {
    const char* path;
    const char* mode;
    int error;
  } cases[] = {
      {"C:\\missing.txt", "r", ENOENT}, {"C:\\no\\such.txt", "w", ENOENT},
      {"C:\\ro.txt", "w", EACCES},      {"C:\\ro.txt", "r+", EACCES},
      {"C:\\WINDOWS", "r", EACCES},     {"D:\\x.txt", "r", EACCES},  // no disc
      {"Q:\\x.txt", "w", ENOENT},       {"C:\\x.txt", "rw", EINVAL},
      {"C:\\a*b.txt", "w", EINVAL},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(f().Open(c.path, c.mode), nullptr) << c.path << " " << c.mode;
    EXPECT_EQ(f().Errno(), c.error) << c.path << " " << c.mode;
  }
  EXPECT_EQ(machine().ReadFile("C:\\ro.txt"), "keep");
  EXPECT_STREQ(f().StrError(ENOENT), "No such file or directory");
  EXPECT_STREQ(f().StrError(ENOSPC), "No space left on device");
  EXPECT_STREQ(f().StrError(999), "Unknown error");
}

TEST_F(FilesTest, FullDriveFailsTheBufferedWriteAtClose) {
  machine().drive('C')->freeClusters = 0;
  platform::Stream* s = f().Open("C:\\full.txt", "w");
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(f().Puts("data\n", s), 0);  // still in the buffer
  EXPECT_EQ(f().Close(s), -1);
  EXPECT_EQ(f().Errno(), ENOSPC);
  EXPECT_EQ(machine().ReadFile("C:\\full.txt"), "");
  EXPECT_EQ(machine().OpenStreams(), 0);
  // A large write fails at once, when the buffer spills.
  s = f().Open("C:\\full.txt", "wb");
  std::string block(10000, 'x');
  EXPECT_LT(f().Write(block.data(), 1, block.size(), s), block.size());
  EXPECT_TRUE(f().Error(s));
  f().Close(s);
}

TEST_F(FilesTest, SetBufferChangesWhenTheDiskIsWritten) {
  // msvcrt takes 2 to INT_MAX bytes; a refused size keeps the 4 KB buffer.
  platform::Stream* s = f().Open("C:\\big.txt", "wb");
  ASSERT_NE(s, nullptr);
  EXPECT_NE(f().SetBuffer(s, 1), 0);
  EXPECT_EQ(f().Errno(), EINVAL);
  EXPECT_EQ(f().SetBuffer(s, 16 * 1024), 0);
  // 10000 bytes stay in a 16 KB buffer; the disk sees them at the close.
  std::string block;
  for (int i = 0; i < 2000; ++i) block += "abc\r\n";
  EXPECT_EQ(f().Write(block.data(), 1, block.size(), s), block.size());
  EXPECT_EQ(machine().ReadFile("C:\\big.txt"), "");
  EXPECT_EQ(f().Close(s), 0);
  EXPECT_EQ(machine().ReadFile("C:\\big.txt"), block);
  // Read back through a buffer of another size: every CR LF, also those
  // across the runtime's 4 KB, reads as one line end.
  s = f().Open("C:\\big.txt", "rt");
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(f().SetBuffer(s, 3001), 0);
  char line[16];
  int lines = 0;
  while (f().Gets(line, sizeof line, s) != nullptr) {
    EXPECT_STREQ(line, "abc\n");
    ++lines;
  }
  EXPECT_EQ(lines, 2000);
  EXPECT_FALSE(f().Error(s));
  f().Close(s);
  // On a full disk the large buffer fails at the close, not at the write.
  machine().drive('C')->freeClusters = 0;
  s = f().Open("C:\\full.txt", "wb");
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(f().SetBuffer(s, 16 * 1024), 0);
  EXPECT_EQ(f().Write(block.data(), 1, block.size(), s), block.size());
  EXPECT_EQ(f().Close(s), -1);
  EXPECT_EQ(f().Errno(), ENOSPC);
  EXPECT_EQ(machine().ReadFile("C:\\full.txt"), "");
}

TEST_F(FilesTest, RewritingAFileEmptiesItAlsoForAStreamReadingIt) {
  machine().WriteFile("C:\\shared.txt", "old\r\n");
  platform::Stream* reader = f().Open("C:\\shared.txt", "rt");
  ASSERT_NE(reader, nullptr);
  platform::Stream* writer = f().Open("C:\\shared.txt", "wt");
  ASSERT_NE(writer, nullptr);
  EXPECT_EQ(f().Puts("new\n", writer), 0);
  EXPECT_EQ(f().Close(writer), 0);
  // The reader opened before the rewrite reads the new content.
  char line[16];
  ASSERT_NE(f().Gets(line, sizeof line, reader), nullptr);
  EXPECT_STREQ(line, "new\n");
  f().Close(reader);
  // With no stream on it, the rewrite keeps the file's attributes.
  ASSERT_TRUE(platform::kernel().SetFileAttributesA(
      "C:\\shared.txt", FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN));
  writer = f().Open("C:\\shared.txt", "wt");
  ASSERT_NE(writer, nullptr);
  EXPECT_EQ(f().Close(writer), 0);
  EXPECT_EQ(machine().ReadFile("C:\\shared.txt"), "");
  EXPECT_EQ(platform::kernel().GetFileAttributesA("C:\\shared.txt"),
            uint32_t(FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN));
}

TEST_F(FilesTest, AppendAndUpdateModes) {
  machine().WriteFile("C:\\a.txt", "12345");
  platform::Stream* s = f().Open("C:\\a.txt", "a");
  f().Puts("6\n", s);
  f().Close(s);
  EXPECT_EQ(machine().ReadFile("C:\\a.txt"), "123456\r\n");
  s = f().Open("C:\\a.txt", "r+b");
  EXPECT_EQ(f().Getc(s), '1');
  EXPECT_EQ(f().Seek(s, 0, 1), 0);
  f().Putc('x', s);
  EXPECT_EQ(f().Seek(s, -2, 2), 0);
  EXPECT_EQ(f().Getc(s), '\r');
  f().Close(s);
  EXPECT_EQ(machine().ReadFile("C:\\a.txt"), "1x3456\r\n");
}

}  // namespace
