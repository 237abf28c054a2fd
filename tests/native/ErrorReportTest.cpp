#include "shell/ErrorReport.h"

#include <gtest/gtest.h>

#include "framework/AppWindow.h"
#include "platform/Codes.h"
#include "tests/support/MachineTest.h"

namespace {

const uint32_t errorBox = MB_ICONERROR | MB_OK;

class ErrorReportTest : public MachineTest {
 protected:
  void SetUp() override { Boot("basic"); }
  void TearDown() override {
    SetMainWindowHandle(0);
    MachineTest::TearDown();
  }
};

TEST_F(ErrorReportTest, ErrorBoxIsUnownedBeforeTheMainWindowExists) {
  machine().User().Expect("Pelmora", "Error opening the file Letters.ini",
                          errorBox, IDOK);
  ReportError("Error opening the file %s", "Letters.ini");
  ASSERT_EQ(machine().User().Boxes().size(), 1u);
  EXPECT_EQ(machine().User().Boxes()[0].owner, 0u);
}

TEST_F(ErrorReportTest, ErrorBoxIsOwnedByTheMainWindow) {
  SetMainWindowHandle(0x1234);
  machine().User().Expect("Pelmora", "Drive C: 12 of 0X0A", errorBox, IDOK);
  ReportError("Drive %c: %d of %#04X", 'C', 12, 10);
  ASSERT_EQ(machine().User().Boxes().size(), 1u);
  EXPECT_EQ(machine().User().Boxes()[0].owner, 0x1234u);
}

TEST_F(ErrorReportTest, UserTextIsNeverTakenAsAFormat) {
  // A volume label may hold anything, format directives included.
  machine().User().Expect("Pelmora", "Label 100%s%n%d : Access is denied.\r\n",
                          errorBox, IDOK);
  ReportSystemError(ERROR_ACCESS_DENIED, "Label %s", "100%s%n%d");
  machine().User().Expect("Pelmora", "Bad %s%x : No such file or directory",
                          errorBox, IDOK);
  platform::files().SetErrno(2);
  ReportCrtError("Bad %s", "%s%x");
}

TEST_F(ErrorReportTest, LastErrorIsTakenBeforeAnythingElseRuns) {
  platform::kernel().SetLastError(ERROR_FILE_NOT_FOUND);
  machine().User().Expect(
      "Pelmora",
      "Error deleting C:\\X.TXT : The system cannot find the file "
      "specified.\r\n",
      errorBox, IDOK);
  ReportLastError("Error deleting %s", "C:\\X.TXT");
}

TEST_F(ErrorReportTest, LastErrorOfAFailedCallIsShown) {
  machine().Faults().Fail("RegOpenKeyExA", ERROR_ACCESS_DENIED);
  RegKey key = 0;
  platform::registry().RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0,
                                     KEY_READ, &key);
  // The registry reports through its result, not the last error.
  machine().Faults().Fail("DeleteFileA", ERROR_SHARING_VIOLATION);
  EXPECT_FALSE(platform::kernel().DeleteFileA("C:\\CONFIG.SYS"));
  machine().User().Expect("Pelmora",
                          "Error deleting CONFIG.SYS : The process cannot "
                          "access the file because it is being used by "
                          "another process.\r\n",
                          errorBox, IDOK);
  ReportLastError("Error deleting %s", "CONFIG.SYS");
}

TEST_F(ErrorReportTest, CodeWithoutSystemTextShowsTheCode) {
  machine().User().Expect("Pelmora", "Registry failure : error 99999",
                          errorBox, IDOK);
  ReportSystemError(99999, "Registry failure");
  machine().Faults().Fail("FormatMessageA", ERROR_NOT_ENOUGH_MEMORY);
  machine().User().Expect("Pelmora", "Registry failure : error 5", errorBox,
                          IDOK);
  ReportSystemError(ERROR_ACCESS_DENIED, "Registry failure");
}

TEST_F(ErrorReportTest, CrtErrorShowsTheRuntimeTextOfTheFailedOpen) {
  ASSERT_EQ(platform::files().Open("C:\\missing\\file.ini", "rt"), nullptr);
  machine().User().Expect(
      "Pelmora",
      "Error opening the file C:\\missing\\file.ini : No such file or "
      "directory",
      errorBox, IDOK);
  ReportCrtError("Error opening the file %s", "C:\\missing\\file.ini");
}

TEST_F(ErrorReportTest, LongMessagesAreCutNotOverrun) {
  std::string huge(5000, 'x');
  machine().User().Answer(IDOK);
  ReportSystemError(ERROR_ACCESS_DENIED, "%s", huge.c_str());
  ASSERT_EQ(machine().User().Boxes().size(), 1u);
  const std::string& text = machine().User().Boxes()[0].text;
  EXPECT_LT(text.size(), 2048u);
  EXPECT_EQ(text.substr(0, 100), huge.substr(0, 100));
}

}  // namespace
