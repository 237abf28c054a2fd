// Kernel facts beyond the contract: file times and the clock, short names,
// messages, labels.
#include <gtest/gtest.h>

#include "platform/Codes.h"
#include "tests/support/MachineTest.h"

namespace {

class KernelTest : public MachineTest {
 protected:
  void SetUp() override { Boot("basic"); }
  platform::Kernel& k() { return platform::kernel(); }
  platform::FindData Find(const char* path) {
    platform::FindData data;
    EXPECT_TRUE(k().FindFirstFile(path, &data)) << path;
    return data;
  }
};

TEST_F(KernelTest, FileTimesAreKeptApartAndFollowTheClock) {
  FileTime start = sim::MakeFileTime(2001, 2, 3, 4, 5, 6);
  machine().SetClock(start);
  platform::Stream* s = platform::files().Open("C:\\t.txt", "w");
  platform::files().Puts("x", s);
  machine().AdvanceClock(5000);
  platform::files().Close(s);
  platform::FindData data = Find("C:\\T.TXT");
  EXPECT_GT(data.creationTime, start);
  EXPECT_GE(data.lastWriteTime, start + 5000 * 10000ull);
  EXPECT_STREQ(data.fileName, "t.txt");
  EXPECT_EQ(data.size, 1u);

  FileTime a = 100, b = 200, c = 300;
  ASSERT_TRUE(k().SetFileTime("C:\\t.txt", &a, &b, &c));
  ASSERT_TRUE(k().SetFileTime("C:\\t.txt", nullptr, nullptr, nullptr));
  data = Find("C:\\t.txt");
  EXPECT_EQ(data.creationTime, a);
  EXPECT_EQ(data.lastAccessTime, b);
  EXPECT_EQ(data.lastWriteTime, c);
  // A copy keeps the write time; a move keeps all three.
  ASSERT_TRUE(k().CopyFileA("C:\\t.txt", "C:\\copy.txt", true));
  EXPECT_EQ(Find("C:\\copy.txt").lastWriteTime, c);
  ASSERT_TRUE(k().MoveFileA("C:\\t.txt", "A:\\moved.txt"));
  EXPECT_EQ(Find("A:\\moved.txt").creationTime, a);

  FileTime before = k().GetSystemTimeAsFileTime();
  uint32_t ticks = k().GetTickCount();
  k().Sleep(1500);
  EXPECT_EQ(machine().SleptMilliseconds(), 1500u);
  EXPECT_GE(k().GetSystemTimeAsFileTime() - before, 1500 * 10000ull);
  EXPECT_GE(k().GetTickCount() - ticks, 1500u);
}

TEST_F(KernelTest, ShortNamesAndWildcards) {
  machine().WriteFile("C:\\Program Files\\Long File Name.html", "x");
  machine().WriteFile("C:\\Program Files\\Long File Other.html", "x");
  char buffer[260];
  struct Case {
    const char* path;
    const char* shortPath;
  } cases[] = {
      {"C:\\Program Files\\Long File Name.html", "C:\\PROGRA~1\\LONGFI~1.HTM"},
      {"C:\\program files\\long file other.html", "C:\\PROGRA~1\\LONGFI~2.HTM"},
      {"C:\\Windows\\System.ini", "C:\\Windows\\System.ini"},
      {"C:\\", "C:\\"},
  };
  for (const Case& c : cases) {
    uint32_t length = k().GetShortPathNameA(c.path, buffer, sizeof buffer);
    EXPECT_STREQ(buffer, c.shortPath);
    EXPECT_EQ(length, strlen(c.shortPath));
  }
  EXPECT_EQ(k().GetShortPathNameA("C:\\nope", buffer, sizeof buffer), 0u);
  EXPECT_EQ(k().GetLastError(), uint32_t(ERROR_FILE_NOT_FOUND));
  EXPECT_STREQ(Find("C:\\Program Files\\*.htm*").alternateFileName,
               "LONGFI~1.HTM");
  EXPECT_STREQ(Find("C:\\WINDOWS\\*.*").fileName, ".");
  platform::FindData none;
  EXPECT_FALSE(k().FindFirstFile("C:\\*.INI", &none));
  EXPECT_EQ(k().GetLastError(), uint32_t(ERROR_FILE_NOT_FOUND));
  EXPECT_FALSE(k().FindFirstFile("C:\\NoDir\\*.*", &none));
  EXPECT_EQ(k().GetLastError(), uint32_t(ERROR_PATH_NOT_FOUND));
}

TEST_F(KernelTest, SystemMessagesAreAllocatedAndUnknownOnesFail) {
  char* text = nullptr;
  uint32_t flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                   FORMAT_MESSAGE_IGNORE_INSERTS;
  ASSERT_EQ(k().FormatMessageA(flags, 5, LANG_USER_DEFAULT, &text), 19u);
  EXPECT_STREQ(text, "Access is denied.\r\n");
  k().LocalFree(text);
  EXPECT_EQ(k().FormatMessageA(flags, 4242, LANG_USER_DEFAULT, &text), 0u);
  EXPECT_EQ(k().GetLastError(), 317u);
}

TEST_F(KernelTest, LabelsFollowFatRules) {
  EXPECT_TRUE(k().SetVolumeLabelA("C:\\", "NEW LABEL"));
  EXPECT_EQ(machine().drive('C')->label, "NEW LABEL");
  EXPECT_FALSE(k().SetVolumeLabelA("C:\\", "TWELVE CHARS"));
  EXPECT_EQ(k().GetLastError(), uint32_t(ERROR_INVALID_NAME));
  EXPECT_FALSE(k().SetVolumeLabelA("D:\\", "CD"));
  EXPECT_EQ(k().GetLastError(), uint32_t(ERROR_NOT_READY));
  EXPECT_EQ(machine().drive('C')->label, "NEW LABEL");
  char name[12];
  EXPECT_FALSE(k().GetVolumeInformationA("D:\\", name, sizeof name, nullptr,
                                         nullptr, nullptr, nullptr, 0));
  EXPECT_EQ(k().GetLastError(), uint32_t(ERROR_NOT_READY));
}

}  // namespace
