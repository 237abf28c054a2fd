// Install and uninstall on Windows 95/98: the companion's line at the head
// of C:\autoexec.bat.
#include <errno.h>

#include "setup/Quobrill.h"
#include "setup/resource.h"
#include "tests/setup/SetupTest.h"

namespace {

const char kAutoexec[] = "C:\\AUTOEXEC.BAT";
const char kTemp[] = "C:\\temp.tmp";
const char kLine[] =
    "@C:\\PROGRA~1\\Pelmora\\KROMVALE.EXE @LETTERS.INI /O:DRIVEMAP.DAT /CD\r\n";
// The fixture's AUTOEXEC.BAT without its old companion line.
const char kKept[] =
    "@ECHO OFF\r\nPATH C:\\WINDOWS;C:\\WINDOWS\\COMMAND\r\n"
    "SET TEMP=C:\\WINDOWS\\TEMP\r\n";

class Win98SetupTest : public SetupTest {
 protected:
  void SetUp() override {
    Boot("win98-setup");
    SetupTest::SetUp();
  }
};

TEST_F(Win98SetupTest, InstallPutsTheLineFirstAndDropsOldCompanionLines) {
  ExpectSuccessfulEnd(true);
  InstallExtension();
  EXPECT_EQ(Read(kAutoexec), std::string(kLine) + kKept);
  EXPECT_FALSE(machine().Exists(kTemp));
  EXPECT_EQ(user().Boxes()[0].owner, kInstaller);
  ASSERT_EQ(Dialogs().size(), 1u);
  EXPECT_EQ(Dialogs()[0].owner, kInstaller);
  EXPECT_EQ(Dialogs()[0].checksAtStart.at(IDC_RUN_PELMORA), 1u);
  EXPECT_EQ(Dialogs()[0].result, 1);
  // Ticked: Kromva32 starts from the long application directory.
  std::vector<sim::ShellCall> calls = machine().ShellCalls();
  ASSERT_EQ(calls.size(), 1u);
  const sim::ShellCall& call = calls[0];
  EXPECT_EQ(call.verb, "open");
  EXPECT_EQ(call.file, "C:\\Program Files\\Pelmora\\Kromva32.exe");
  EXPECT_EQ(call.parameters, "");
  EXPECT_EQ(call.directory, "C:\\Program Files\\Pelmora");
  EXPECT_EQ(call.showCommand, SW_SHOWNORMAL);
  EXPECT_GT(call.result, 32);
}

TEST_F(Win98SetupTest, UntickedBoxStartsNothing) {
  ExpectSuccessfulEnd(false);
  InstallExtension();
  EXPECT_EQ(Dialogs()[0].result, 0);
  EXPECT_TRUE(machine().ShellCalls().empty());
}

TEST_F(Win98SetupTest, EscAndTheCloseBoxLeaveTheDialogOpen) {
  ExpectOpinion();
  ExpectCompleted({headless::PressEscape(), headless::CloseBox(),
                   headless::Click(IDC_FINISH)});
  InstallExtension();
  ASSERT_EQ(Dialogs().size(), 1u);
  EXPECT_EQ(Dialogs()[0].ignoredActs,
            (std::vector<std::string>{"press Esc", "close box"}));
  EXPECT_EQ(Dialogs()[0].result, 1);
}

TEST_F(Win98SetupTest, InstallingTwiceLeavesOneLineAtTheTop) {
  ExpectSuccessfulEnd(false);
  InstallExtension();
  ExpectSuccessfulEnd(false);
  InstallExtension();
  EXPECT_EQ(Read(kAutoexec), std::string(kLine) + kKept);
}

TEST_F(Win98SetupTest, EveryLineNamingTheCompanionGoesInAnyCaseAndPlace) {
  const struct {
    const char* line;
    bool kept;
  } cases[] = {
      {"REM c:\\tools\\kromvale.exe\r\n", false},
      {"   Kromvale.Exe /x\r\n", false},
      {"C:\\PELMORA\\KROMVALE.EXE @LETTERS.INI\r\n", false},
      {"echoKROMVALE.EXEecho\r\n", false},
      {"KROMVALE.EX\r\n", true},
      {"KROMVALE EXE\r\n", true},
      {"kromvale.com\r\n", true},
  };
  std::string original, expected = kLine;
  for (const auto& c : cases) {
    original += c.line;
    if (c.kept) expected += c.line;
  }
  machine().WriteFile(kAutoexec, original);
  ExpectSuccessfulEnd(false);
  InstallExtension();
  EXPECT_EQ(Read(kAutoexec), expected);
}

TEST_F(Win98SetupTest, LongLinesAreJudgedWholeAndKeptByteForByte) {
  std::string longKept = "SET X=" + std::string(3000, 'a') + "\r\n";
  std::string exactPiece = std::string(1023, 'b') + "\r\n";
  // The name far beyond the first piece, and across the piece boundary.
  std::string farName =
      "SET Y=" + std::string(1500, 'c') + "kromvale.exe" + "\r\n";
  std::string straddling =
      std::string(1017, 'd') + "KROMVALE.EXE" + std::string(20, 'e') + "\r\n";
  std::string lastWithoutEnd = "REM end " + std::string(2100, 'f');
  machine().WriteFile(
      kAutoexec, longKept + farName + exactPiece + straddling + lastWithoutEnd);
  ExpectSuccessfulEnd(false);
  InstallExtension();
  EXPECT_EQ(Read(kAutoexec), kLine + longKept + exactPiece + lastWithoutEnd);
  EXPECT_FALSE(machine().Exists(kTemp));
}

TEST_F(Win98SetupTest, MissingAutoexecIsAnErrorAndCreatesNothing) {
  ASSERT_TRUE(platform::kernel().DeleteFileA(kAutoexec));
  ExpectError(kAutoexecError);
  InstallExtension();
  EXPECT_FALSE(machine().Exists(kAutoexec));
  EXPECT_FALSE(machine().Exists(kTemp));
  EXPECT_TRUE(Dialogs().empty());
}

TEST_F(Win98SetupTest, FailedEditKeepsTheOriginalOrItsNewContentInTempTmp) {
  const struct {
    const char* call;
    uint32_t code;
    int occurrence;
    const char* argument;
    bool newContentInTemp;  // else C:\autoexec.bat is unchanged
  } cases[] = {
      {"Open", EACCES, 1, "autoexec.bat", false},
      {"Open", EACCES, 1, "temp.tmp", false},
      {"Open", EMFILE, 2, "autoexec.bat", false},
      {"Gets", EIO, 2, "autoexec.bat", false},
      {"Puts", ENOSPC, 2, "temp.tmp", false},
      {"Close", ENOSPC, 1, "temp.tmp", false},
      {"DeleteFileA", ERROR_ACCESS_DENIED, 1, "autoexec.bat", false},
      {"MoveFileA", ERROR_ACCESS_DENIED, 1, "temp.tmp", true},
  };
  std::string original = Read(kAutoexec);
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.call) + " " + c.argument);
    faults().Clear();
    faults().Fail(c.call, c.code, c.occurrence, c.argument);
    int fired = faults().Fired();
    // When the original is gone the message says where its new content is.
    ExpectError(c.newContentInTemp ? std::string(kAutoexecError) +
                                         " : the new content is kept in "
                                         "C:\\temp.tmp"
                                   : std::string(kAutoexecError));
    InstallExtension();
    EXPECT_EQ(faults().Fired(), fired + 1);
    if (c.newContentInTemp) {
      EXPECT_FALSE(machine().Exists(kAutoexec));
      EXPECT_EQ(Read(kTemp), std::string(kLine) + kKept);
      machine().WriteFile(kAutoexec, original);
      ASSERT_TRUE(platform::kernel().DeleteFileA(kTemp));
    } else {
      EXPECT_EQ(Read(kAutoexec), original);
      EXPECT_FALSE(machine().Exists(kTemp));
    }
    faults().Clear();
  }
  // No failed step went on to the opinion or the dialog.
  EXPECT_EQ(user().Boxes().size(), std::size(cases));
  EXPECT_TRUE(Dialogs().empty());
}

TEST_F(Win98SetupTest, FullDiskAtTheLastWriteKeepsTheOriginal) {
  // The temporary file's only buffer reaches the disk at its close.
  machine().drive('C')->freeClusters = 0;
  std::string original = Read(kAutoexec);
  ExpectError(kAutoexecError);
  InstallExtension();
  EXPECT_EQ(Read(kAutoexec), original);
  EXPECT_FALSE(machine().Exists(kTemp));
}

TEST_F(Win98SetupTest, NoApplicationDirectoryStopsBeforeAnyChange) {
  std::string original = Read(kAutoexec);
  faults().Fail("GetShortPathNameA", ERROR_FILE_NOT_FOUND);
  ExpectError("Error determining application directory. Setup failed.");
  InstallExtension();
  EXPECT_EQ(Read(kAutoexec), original);
  EXPECT_TRUE(Dialogs().empty());
}

TEST_F(Win98SetupTest, UnknownVersionChangesNoBootFile) {
  // Taken for Windows 98, a Windows Me would get the wrong wiring and a
  // completed install it does not have; the uninstall would leave its
  // vmm32.vxd replaced.
  std::string original = Read(kAutoexec);
  for (bool install : {true, false}) {
    faults().Fail("GetVersionExA", ERROR_INVALID_PARAMETER);
    ExpectError("Error determining Windows version !");
    if (install)
      InstallExtension();
    else
      UninstallExtension();
    EXPECT_EQ(Read(kAutoexec), original);
  }
  EXPECT_TRUE(Dialogs().empty());
}

TEST_F(Win98SetupTest, PendingRuntimeUpdateSkipsTheDialog) {
  const struct {
    const char* wininit;  // null: no WININIT.INI
    bool pending;
  } cases[] = {
      {nullptr, false},
      {"[rename]\r\nNUL=C:\\WINDOWS\\TEMP\\X.TMP\r\n", false},
      {"[rename]\r\nC:\\WINDOWS\\SYSTEM\\MFC42.DLL=C:\\T\\A.TMP\r\n", true},
      {"[rename]\r\nc:\\windows\\system\\msvcrt.dll=c:\\t\\b.tmp\r\n", true},
      // Across the boundary of the first piece of a long line.
      {"[rename]\r\nX=", true},
      // Split over two lines it is no name.
      {"[rename]\r\nMFC4\r\n2.DLL\r\n", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.wininit ? c.wininit : "(none)");
    std::string text = c.wininit ? c.wininit : "";
    if (text == "[rename]\r\nX=")
      text += std::string(1023 - 2 - 4, 'z') + "MSVCRT.DLL=Y\r\n";
    if (c.wininit) machine().WriteFile("C:\\WINDOWS\\WININIT.INI", text);
    EXPECT_EQ(PendingRuntimeUpdate(), c.pending);
  }
  // And in an install: the opinion box only.
  machine().WriteFile("C:\\WINDOWS\\WININIT.INI",
                      "[rename]\r\nC:\\WINDOWS\\SYSTEM\\MFC42.DLL=X\r\n");
  ExpectOpinion();
  InstallExtension();
  EXPECT_TRUE(Dialogs().empty());
  EXPECT_TRUE(machine().ShellCalls().empty());
}

TEST_F(Win98SetupTest, UnreadableWindowsFolderOrWininitCountsAsPending) {
  faults().Fail("GetWindowsDirectoryA", ERROR_NOT_ENOUGH_MEMORY);
  EXPECT_TRUE(PendingRuntimeUpdate());
  machine().WriteFile("C:\\WINDOWS\\WININIT.INI", "[rename]\r\n");
  faults().Fail("Open", EACCES, 1, "WININIT.INI");
  EXPECT_TRUE(PendingRuntimeUpdate());
  faults().Fail("Gets", EIO, 1, "WININIT.INI");
  EXPECT_TRUE(PendingRuntimeUpdate());
  EXPECT_FALSE(PendingRuntimeUpdate());
}

TEST_F(Win98SetupTest, ProgramThatCannotStartIsReported) {
  ASSERT_TRUE(platform::kernel().DeleteFileA(
      "C:\\Program Files\\Pelmora\\Kromva32.exe"));
  ExpectSuccessfulEnd(true);
  ExpectError("Error starting C:\\Program Files\\Pelmora\\Kromva32.exe");
  InstallExtension();
}

TEST_F(Win98SetupTest, UninstallTakesOnlyTheCompanionLinesOut) {
  std::string body = "@ECHO OFF\r\n" + std::string(2000, 'x') +
                     "\r\nrem C:\\X\\KROMVALE.EXE\r\nlast";
  machine().WriteFile(kAutoexec, std::string(kLine) + body);
  UninstallExtension();
  EXPECT_EQ(Read(kAutoexec),
            "@ECHO OFF\r\n" + std::string(2000, 'x') + "\r\nlast");
  EXPECT_TRUE(user().Boxes().empty());
  EXPECT_FALSE(machine().Exists(kTemp));
}

TEST_F(Win98SetupTest, FailedUninstallLeavesTheFileAsItWas) {
  std::string original = Read(kAutoexec);
  faults().Fail("DeleteFileA", ERROR_SHARING_VIOLATION, 1, "autoexec.bat");
  ExpectError(kAutoexecError);
  UninstallExtension();
  EXPECT_EQ(Read(kAutoexec), original);
  EXPECT_FALSE(machine().Exists(kTemp));
}

}  // namespace
