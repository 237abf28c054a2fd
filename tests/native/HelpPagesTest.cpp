#include "shell/HelpPages.h"

#include <gtest/gtest.h>

#include "platform/Codes.h"
#include "tests/support/MachineTest.h"

namespace {

class HelpPagesTest : public MachineTest {
 protected:
  void SetUp() override {
    Boot("basic");
    dir = machine().Property("Machine", "CurrentDirectory");
    machine().WriteFile(dir + "\\Help\\Help.html", "<html></html>");
    machine().WriteFile(dir + "\\Help\\Opinion.html", "<html></html>");
  }
  std::string dir;
};

TEST_F(HelpPagesTest, OpensEachPageFromTheHelpFolder) {
  for (const char* page : {helpContentsPage, helpOpinionPage}) {
    SCOPED_TRACE(page);
    EXPECT_TRUE(OpenHelpPage(page));
    const sim::ShellCall call = machine().ShellCalls().back();
    EXPECT_EQ(call.owner, 0u);
    EXPECT_EQ(call.verb, "open");
    EXPECT_EQ(call.file, dir + "\\Help\\" + page);
    EXPECT_EQ(call.parameters, "");
    EXPECT_EQ(call.directory, dir + "\\Help");
    EXPECT_EQ(call.showCommand, SW_SHOWNORMAL);
  }
  EXPECT_TRUE(machine().User().Boxes().empty());
}

TEST_F(HelpPagesTest, FollowsTheCurrentDirectory) {
  machine().WriteFile("C:\\Other\\Help\\Help.html", "<html></html>");
  ASSERT_TRUE(platform::kernel().SetCurrentDirectoryA("C:\\Other"));
  EXPECT_TRUE(OpenHelpPage("Help.html"));
  EXPECT_EQ(machine().ShellCalls().back().file, "C:\\Other\\Help\\Help.html");
}

TEST_F(HelpPagesTest, MissingPagesAreReportedWithTheirOwnPath) {
  platform::kernel().DeleteFileA((dir + "\\Help\\Help.html").c_str());
  platform::kernel().DeleteFileA((dir + "\\Help\\Opinion.html").c_str());
  for (const char* page : {"Help.html", "Opinion.html"}) {
    machine().User().Expect(
        "Pelmora", "Error opening help page " + dir + "\\Help\\" + page,
        MB_ICONERROR | MB_OK, IDOK);
    EXPECT_FALSE(OpenHelpPage(page));
  }
}

TEST_F(HelpPagesTest, PageWithoutAnAssociatedProgramIsReported) {
  machine().Faults().Fail("ShellExecuteA", 31);
  machine().User().Expect("Pelmora",
                          "Error opening help page " + dir + "\\Help\\Help.html",
                          MB_ICONERROR | MB_OK, IDOK);
  EXPECT_FALSE(OpenHelpPage("Help.html"));
}

TEST_F(HelpPagesTest, RootDirectoryGetsNoDoubledBackslash) {
  machine().WriteFile("C:\\Help\\Help.html", "<html></html>");
  ASSERT_TRUE(platform::kernel().SetCurrentDirectoryA("C:\\"));
  EXPECT_TRUE(OpenHelpPage("Help.html"));
  EXPECT_EQ(machine().ShellCalls().back().file, "C:\\Help\\Help.html");
  EXPECT_EQ(machine().ShellCalls().back().directory, "C:\\Help");
}

}  // namespace
