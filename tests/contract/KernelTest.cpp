// The kernel's file and folder calls: times, attributes, delete, move and
// copy with their error codes, directories, and system message texts.
#include <cstring>
#include <string>

#include "tests/contract/ContractTest.h"

namespace {

using KernelContract = Contract;

// 1 March 2001 12:34:56 UTC: whole seconds, even, so FAT's two-second
// write times keep it exactly.
const FileTime kSomeTime = 126281276960000000ull;

TEST_F(KernelContract, SetFileTimeIsWhatFindFirstFileReturns) {
  platform::Kernel& kernel = platform::kernel();
  std::string path = Scratch("dated.txt");
  WriteBytes(path, "12345");
  ASSERT_TRUE(kernel.SetFileTime(path.c_str(), nullptr, nullptr, &kSomeTime))
      << kernel.GetLastError();

  platform::FindData found;
  memset(&found, 0, sizeof(found));
  ASSERT_TRUE(kernel.FindFirstFile(path.c_str(), &found));
  // Only the write time: Windows 9x keeps access times as a date, and
  // Wine cannot set a creation time on a Linux file system.
  EXPECT_EQ(found.lastWriteTime, kSomeTime);
  EXPECT_EQ(found.size, 5u);
  EXPECT_STREQ(found.fileName, "dated.txt");
  EXPECT_EQ(found.attributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

TEST_F(KernelContract, FindFirstFileOfWhatIsMissingFails) {
  platform::Kernel& kernel = platform::kernel();
  platform::FindData found;
  EXPECT_FALSE(kernel.FindFirstFile(Scratch("none.txt").c_str(), &found));
  EXPECT_EQ(kernel.GetLastError(), uint32_t(ERROR_FILE_NOT_FOUND));
  EXPECT_FALSE(kernel.FindFirstFile(Scratch("none\\x.txt").c_str(), &found));
  EXPECT_EQ(kernel.GetLastError(), uint32_t(ERROR_PATH_NOT_FOUND));
  // Neither can the time of a missing file be set.
  EXPECT_FALSE(kernel.SetFileTime(Scratch("none.txt").c_str(), nullptr, nullptr,
                                  &kSomeTime));
  EXPECT_EQ(kernel.GetLastError(), uint32_t(ERROR_FILE_NOT_FOUND));
}

TEST_F(KernelContract, ReadOnlyFilesKeepTheAttributeAndRefuseDeletion) {
  platform::Kernel& kernel = platform::kernel();
  std::string path = Scratch("CONFIG.SYS");
  WriteBytes(path, "FILES=40\r\n");
  ASSERT_TRUE(kernel.SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
  uint32_t attributes = kernel.GetFileAttributesA(path.c_str());
  ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
  EXPECT_NE(attributes & FILE_ATTRIBUTE_READONLY, 0u);

  EXPECT_FALSE(kernel.DeleteFileA(path.c_str()));
  EXPECT_EQ(kernel.GetLastError(), uint32_t(ERROR_ACCESS_DENIED));
  // Windows also refuses to open a read-only file for writing (so its
  // times cannot be set); Wine run as root opens it, so that is not part
  // of the contract.
  EXPECT_EQ(ReadBytes(path), "FILES=40\r\n");

  ASSERT_TRUE(kernel.SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL));
  EXPECT_EQ(kernel.GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_READONLY,
            0u);
  EXPECT_TRUE(kernel.DeleteFileA(path.c_str()));
  EXPECT_EQ(kernel.GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(kernel.GetLastError(), uint32_t(ERROR_FILE_NOT_FOUND));
}

TEST_F(KernelContract, DeleteOfAMissingFileFailsWithFileNotFound) {
  platform::Kernel& kernel = platform::kernel();
  EXPECT_FALSE(kernel.DeleteFileA(Scratch("gone.txt").c_str()));
  EXPECT_EQ(kernel.GetLastError(), uint32_t(ERROR_FILE_NOT_FOUND));
}

TEST_F(KernelContract, MoveRenamesButNeverReplaces) {
  platform::Kernel& kernel = platform::kernel();
  std::string from = Scratch("a.txt"), to = Scratch("b.txt");
  WriteBytes(from, "A");
  ASSERT_TRUE(kernel.MoveFileA(from.c_str(), to.c_str()));
  EXPECT_EQ(kernel.GetFileAttributesA(from.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(ReadBytes(to), "A");

  WriteBytes(from, "new");
  EXPECT_FALSE(kernel.MoveFileA(from.c_str(), to.c_str()));
  EXPECT_EQ(kernel.GetLastError(), uint32_t(ERROR_ALREADY_EXISTS));
  EXPECT_EQ(ReadBytes(from), "new");
  EXPECT_EQ(ReadBytes(to), "A");

  EXPECT_FALSE(kernel.MoveFileA(Scratch("none").c_str(), Scratch("c").c_str()));
  EXPECT_EQ(kernel.GetLastError(), uint32_t(ERROR_FILE_NOT_FOUND));
}

TEST_F(KernelContract, CopyReplacesOnlyWhenAsked) {
  platform::Kernel& kernel = platform::kernel();
  std::string from = Scratch("src.txt"), to = Scratch("dst.txt");
  WriteBytes(from, "source\r\n");
  ASSERT_TRUE(kernel.CopyFileA(from.c_str(), to.c_str(), true));
  EXPECT_EQ(ReadBytes(to), "source\r\n");

  WriteBytes(to, "older");
  EXPECT_FALSE(kernel.CopyFileA(from.c_str(), to.c_str(), true));
  EXPECT_EQ(kernel.GetLastError(), uint32_t(ERROR_FILE_EXISTS));
  EXPECT_EQ(ReadBytes(to), "older");

  EXPECT_TRUE(kernel.CopyFileA(from.c_str(), to.c_str(), false));
  EXPECT_EQ(ReadBytes(to), "source\r\n");
  EXPECT_EQ(ReadBytes(from), "source\r\n");
}

TEST_F(KernelContract, DirectoriesAreCreatedOnceAndRemovedWhenEmpty) {
  platform::Kernel& kernel = platform::kernel();
  std::string dir = Scratch("SUB");
  ASSERT_TRUE(kernel.CreateDirectoryA(dir.c_str()));
  EXPECT_NE(kernel.GetFileAttributesA(dir.c_str()) & FILE_ATTRIBUTE_DIRECTORY,
            0u);
  EXPECT_FALSE(kernel.CreateDirectoryA(dir.c_str()));
  EXPECT_EQ(kernel.GetLastError(), uint32_t(ERROR_ALREADY_EXISTS));

  WriteBytes(dir + "\\file", "x");
  // The code for "not empty" differs between Windows versions.
  EXPECT_FALSE(kernel.RemoveDirectoryA(dir.c_str()));
  ASSERT_TRUE(kernel.DeleteFileA((dir + "\\file").c_str()));
  EXPECT_TRUE(kernel.RemoveDirectoryA(dir.c_str()));
  EXPECT_EQ(kernel.GetFileAttributesA(dir.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(KernelContract, SystemMessagesAreLinesEndingInCrLf) {
  platform::Kernel& kernel = platform::kernel();
  // The wording differs between Windows versions and Wine.
  for (uint32_t code : {2u, 5u}) {
    SCOPED_TRACE(code);
    char* text = nullptr;
    uint32_t length = kernel.FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER |
                                                FORMAT_MESSAGE_FROM_SYSTEM |
                                                FORMAT_MESSAGE_IGNORE_INSERTS,
                                            code, LANG_USER_DEFAULT, &text);
    ASSERT_NE(text, nullptr);
    ASSERT_GT(length, 2u);
    EXPECT_EQ(strlen(text), length);
    EXPECT_EQ(std::string(text + length - 2), "\r\n");
    kernel.LocalFree(text);
  }
}

TEST_F(KernelContract, CurrentDirectoryRoundTripsAndReportsTheSizeNeeded) {
  platform::Kernel& kernel = platform::kernel();
  char before[260];
  uint32_t length = kernel.GetCurrentDirectoryA(sizeof(before), before);
  ASSERT_GT(length, 0u);
  ASSERT_LT(length, sizeof(before));

  std::string dir = TheContractWorld().ScratchDir();
  ASSERT_TRUE(kernel.SetCurrentDirectoryA(dir.c_str()));
  char now[260];
  EXPECT_EQ(kernel.GetCurrentDirectoryA(sizeof(now), now), dir.size());
  EXPECT_STRCASEEQ(now, dir.c_str());
  // Relative paths are taken from it.
  WriteBytes("here.txt", "x");
  EXPECT_NE(kernel.GetFileAttributesA(Scratch("here.txt").c_str()),
            INVALID_FILE_ATTRIBUTES);
  // Too small a buffer: the size needed, terminator included.
  char tiny[2];
  EXPECT_EQ(kernel.GetCurrentDirectoryA(sizeof(tiny), tiny), dir.size() + 1);

  EXPECT_FALSE(kernel.SetCurrentDirectoryA(Scratch("none").c_str()));
  EXPECT_EQ(kernel.GetLastError(), uint32_t(ERROR_FILE_NOT_FOUND));
  ASSERT_TRUE(kernel.SetCurrentDirectoryA(before));
}

TEST_F(KernelContract, TempPathEndsWithABackslash) {
  platform::Kernel& kernel = platform::kernel();
  char path[260];
  uint32_t length = kernel.GetTempPathA(sizeof(path), path);
  ASSERT_GT(length, 0u);
  ASSERT_LT(length, sizeof(path));
  EXPECT_EQ(strlen(path), length);
  EXPECT_EQ(path[length - 1], '\\');
  EXPECT_NE(kernel.GetFileAttributesA(path) & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

TEST_F(KernelContract, TheVersionIsWindows98) {
  platform::VersionInfo version;
  ASSERT_TRUE(platform::kernel().GetVersionExA(&version));
  EXPECT_EQ(version.platformId, uint32_t(VER_PLATFORM_WIN32_WINDOWS));
  EXPECT_EQ(version.majorVersion, 4u);
  EXPECT_EQ(version.minorVersion, 10u);
}

}  // namespace
