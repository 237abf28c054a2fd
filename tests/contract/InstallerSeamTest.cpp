// What the installer needs of the seam: shortcut files written and read
// back through IShellLinkA, the Start menu's Programs folder, and a program
// that cannot be started.
#include <stdio.h>

#include <string>

#include "tests/contract/ContractTest.h"

namespace {

using InstallerSeam = Contract;

std::string Upper(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
  return text;
}

void Fill(char* field, const std::string& text) {
  snprintf(field, 260, "%s", text.c_str());
}

TEST_F(InstallerSeam, AShortcutKeepsItsTargetArgumentsFolderAndDescription) {
  std::string target = Scratch("Program.exe");
  WriteBytes(target, "MZ");
  platform::ShellLinkInfo link = {};
  Fill(link.target, target);
  Fill(link.arguments, "/switch 12");
  Fill(link.directory, TheContractWorld().ScratchDir());
  Fill(link.description, "The program");
  std::string path = Scratch("The program.lnk");
  ASSERT_EQ(platform::shell().CreateShellLink(path.c_str(), link), S_OK);
  EXPECT_NE(platform::kernel().GetFileAttributesA(path.c_str()),
            INVALID_FILE_ATTRIBUTES);

  platform::ShellLinkInfo read;
  ASSERT_EQ(platform::shell().ReadShellLink(path.c_str(), &read), S_OK);
  // The shell may spell the path in another case.
  EXPECT_EQ(Upper(read.target), Upper(target));
  EXPECT_STREQ(read.arguments, "/switch 12");
  EXPECT_EQ(Upper(read.directory), Upper(TheContractWorld().ScratchDir()));
  EXPECT_STREQ(read.description, "The program");
}

TEST_F(InstallerSeam, AShortcutInAMissingFolderFailsAndWritesNothing) {
  platform::ShellLinkInfo link = {};
  Fill(link.target, Scratch("Program.exe"));
  std::string path = Scratch("missing\\Program.lnk");
  EXPECT_TRUE(FAILED(platform::shell().CreateShellLink(path.c_str(), link)));
  EXPECT_EQ(platform::kernel().GetFileAttributesA(path.c_str()),
            INVALID_FILE_ATTRIBUTES);
}

TEST_F(InstallerSeam, AFileThatIsNoShortcutIsNotReadAsOne) {
  std::string path = Scratch("text.lnk");
  WriteBytes(path, "not a shortcut\r\n");
  platform::ShellLinkInfo read;
  EXPECT_TRUE(FAILED(platform::shell().ReadShellLink(path.c_str(), &read)));
}

TEST_F(InstallerSeam, TheProgramsFolderIsAFullPath) {
  char path[260];
  ASSERT_EQ(platform::shell().GetSpecialFolderPath(CSIDL_PROGRAMS, path), S_OK);
  std::string folder = path;
  ASSERT_GE(folder.size(), 4u);
  EXPECT_EQ(folder.substr(1, 2), ":\\");
  EXPECT_NE(folder.back(), '\\');
}

TEST_F(InstallerSeam, AMissingProgramDoesNotStart) {
  std::string line = "\"" + Scratch("missing.exe") + "\" /install 1";
  uint32_t exitCode = 77;
  platform::kernel().SetLastError(0);
  EXPECT_FALSE(platform::kernel().RunProcessAndWait(
      line.c_str(), TheContractWorld().ScratchDir().c_str(), &exitCode));
  EXPECT_EQ(platform::kernel().GetLastError(), uint32_t(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(exitCode, 77u);
}

}  // namespace
