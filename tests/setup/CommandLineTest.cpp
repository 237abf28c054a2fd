// The command line: "switch handle", the switch in any case.
#include "setup/Quobrill.h"
#include "setup/SetupMessages.h"
#include "tests/setup/SetupTest.h"

namespace {

const char kLine[] =
    "@C:\\PROGRA~1\\Pelmora\\KROMVALE.EXE @LETTERS.INI /O:DRIVEMAP.DAT /CD\r\n";

class CommandLineTest : public SetupTest {
 protected:
  void SetUp() override {
    Boot("win98-setup");
    SetupTest::SetUp();
    SetSetupOwner(0);
  }
};

TEST_F(CommandLineTest, InstallSwitchInAnyCaseInstallsOwnedByTheGivenWindow) {
  const struct {
    const char* line;
    WindowHandle owner;
  } cases[] = {
      {"/install 1234", 1234},
      {"/INSTALL 1234", 1234},
      {" \t/InStAlL \t 77", 77},
      // sscanf's "%s%d" stops at the number: what follows is not read.
      {"/install 10 more", 10},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    ExpectSuccessfulEnd(false);
    EXPECT_EQ(RunQuobrill(c.line), 0);
    ASSERT_FALSE(user().Boxes().empty());
    EXPECT_EQ(user().Boxes().back().owner, c.owner);
    ASSERT_FALSE(Dialogs().empty());
    EXPECT_EQ(Dialogs().back().owner, c.owner);
    EXPECT_EQ(Read("C:\\AUTOEXEC.BAT").rfind(kLine, 0), 0u);
  }
}

TEST_F(CommandLineTest, UninstallSwitchTakesTheLineOut) {
  ExpectSuccessfulEnd(false);
  RunQuobrill("/install 5");
  EXPECT_EQ(RunQuobrill("/UnInstall 5"), 0);
  EXPECT_EQ(Read("C:\\AUTOEXEC.BAT"),
            "@ECHO OFF\r\nPATH C:\\WINDOWS;C:\\WINDOWS\\COMMAND\r\n"
            "SET TEMP=C:\\WINDOWS\\TEMP\r\n");
}

TEST_F(CommandLineTest,
       AnythingElseIsBadArgumentsInAnUnownedBoxAndChangesNothing) {
  const char* cases[] = {
      "",
      "   ",
      "/install",
      "/install ",
      "1234",
      "/setup 1234",
      "/install x12",
      "/install1234",
      "install 1234",
      "/install 99999999999",
      "/installinstallinstall 1",
  };
  std::string before = Read("C:\\AUTOEXEC.BAT");
  for (const char* line : cases) {
    SCOPED_TRACE(line);
    user().Expect("Pelmora Setup Extension", kBadArguments,
                  MB_ICONERROR | MB_OK, IDOK);
    EXPECT_EQ(RunQuobrill(line), 0);
    ASSERT_FALSE(user().Boxes().empty());
    EXPECT_EQ(user().Boxes().back().owner, 0u);
  }
  EXPECT_EQ(Read("C:\\AUTOEXEC.BAT"), before);
  EXPECT_TRUE(Dialogs().empty());
}

}  // namespace
