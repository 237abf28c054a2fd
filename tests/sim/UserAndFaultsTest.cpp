// The scripted user's reports and faults by occurrence and argument.
#include <gtest/gtest.h>

#include <cerrno>

#include "platform/Codes.h"
#include "tests/support/MachineTest.h"

namespace {

class UserAndFaultsTest : public MachineTest {
 protected:
  void SetUp() override {
    Boot("basic");
    machine().SetFailureHandler(
        [this](const std::string& message) { reports.push_back(message); });
  }
  std::vector<std::string> reports;
};

TEST_F(UserAndFaultsTest, DifferentBoxIsReportedWithTheDifference) {
  user().Expect("Pelmora", "Save changes?", MB_YESNO | MB_ICONQUESTION, IDYES);
  int answer = platform::prompts().MessageBoxA(7, "Save the changes?",
                                               "Pelmora", MB_YESNO);
  EXPECT_EQ(answer, IDNO);  // a mismatch is answered like a closed box
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0],
            "Message box differs from the one expected:\n"
            "  text: expected \"Save changes?\"\n"
            "        got \"Save the changes?\"\n"
            "  type: expected MB_YESNO|MB_ICONQUESTION\n"
            "        got MB_YESNO\n"
            "  answered IDNO");
  ASSERT_EQ(user().Boxes().size(), 1u);
  EXPECT_EQ(user().Boxes()[0].owner, 7u);
  EXPECT_EQ(user().Boxes()[0].text, "Save the changes?");
}

TEST_F(UserAndFaultsTest, UnexpectedAndUnshownBoxesAreReported) {
  EXPECT_EQ(platform::prompts().MessageBoxA(0, "Hi", "Cap", MB_OKCANCEL),
            IDCANCEL);
  user().Answer(IDRETRY);
  EXPECT_EQ(platform::prompts().MessageBoxA(0, "any", "any", MB_RETRYCANCEL),
            IDRETRY);
  user().Expect("Cap", "Never", MB_OK, IDOK);
  EXPECT_FALSE(user().Done());
  ASSERT_EQ(reports.size(), 2u);
  EXPECT_EQ(reports[0],
            "Unexpected message box: caption \"Cap\", text \"Hi\", type "
            "MB_OKCANCEL; answered IDCANCEL");
  EXPECT_EQ(reports[1],
            "Expected message box never shown: caption \"Cap\", text "
            "\"Never\", type MB_OK, to be answered IDOK");
  EXPECT_TRUE(user().Done());
}

TEST_F(UserAndFaultsTest, FaultsHitTheChosenOccurrenceAndArgument) {
  machine().WriteFile("C:\\one.txt", "1");
  machine().WriteFile("C:\\two.txt", "2");
  faults().Fail("DeleteFileA", ERROR_ACCESS_DENIED, 2, "TWO");
  platform::Kernel& k = platform::kernel();
  EXPECT_TRUE(k.DeleteFileA("C:\\one.txt"));  // another argument
  // The first matching call is not the one chosen, and fails on its own.
  EXPECT_FALSE(k.DeleteFileA("C:\\two.txt.missing"));
  EXPECT_EQ(k.GetLastError(), uint32_t(ERROR_FILE_NOT_FOUND));
  EXPECT_FALSE(k.DeleteFileA("c:\\two.txt"));
  EXPECT_EQ(k.GetLastError(), uint32_t(ERROR_ACCESS_DENIED));
  EXPECT_EQ(machine().ReadFile("C:\\two.txt"), "2");  // nothing changed
  EXPECT_TRUE(k.DeleteFileA("C:\\two.txt"));          // spent
  EXPECT_EQ(faults().Fired(), 1);

  faults().Fail("RegOpenKeyExA", ERROR_ACCESS_DENIED, 0);
  RegKey key;
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(platform::registry().RegOpenKeyExA(HKEY_CURRENT_USER, "Software",
                                                 0, KEY_READ, &key),
              ERROR_ACCESS_DENIED);
  faults().Clear();
  EXPECT_EQ(platform::registry().RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0,
                                               KEY_READ, &key),
            ERROR_SUCCESS);
  platform::registry().RegCloseKey(key);
}

TEST_F(UserAndFaultsTest, StreamFaultsSetErrnoAndTheErrorFlag) {
  faults().Fail("Puts", ENOSPC);
  platform::Stream* s = platform::files().Open("C:\\f.txt", "w");
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(platform::files().Puts("lost", s), -1);
  EXPECT_TRUE(platform::files().Error(s));
  EXPECT_EQ(platform::files().Errno(), ENOSPC);
  EXPECT_EQ(platform::files().Puts("kept", s), 0);
  EXPECT_EQ(platform::files().Close(s), 0);
  EXPECT_EQ(machine().ReadFile("C:\\f.txt"), "kept");
  std::vector<std::string> log = machine().CallLog();
  EXPECT_NE(std::find(log.begin(), log.end(), "Open C:\\f.txt w"), log.end());
  EXPECT_EQ(machine().CallCount("Puts"), 2u);
}

TEST_F(UserAndFaultsTest, ShellAnswersByFileAndAssociation) {
  machine().WriteFile("C:\\Pelmora\\help.html", "<html>");
  machine().WriteFile("C:\\Pelmora\\notes.xyz", "?");
  platform::Shell& shell = platform::shell();
  EXPECT_EQ(shell.ShellExecuteA(0, "open", "help.html", nullptr, nullptr, 1),
            42);
  EXPECT_EQ(shell.ShellExecuteA(0, "open", "notes.xyz", nullptr, nullptr, 1),
            31);
  EXPECT_EQ(shell.ShellExecuteA(0, "open", "gone.html", nullptr, nullptr, 1),
            2);
  EXPECT_EQ(shell.ShellExecuteA(0, nullptr, "http://pelmora.example/", nullptr,
                                nullptr, 1),
            42);
  ASSERT_EQ(machine().ShellCalls().size(), 4u);
  EXPECT_EQ(machine().ShellCalls()[0].verb, "open");
  EXPECT_EQ(machine().ShellCalls()[2].result, 2);
}

}  // namespace
