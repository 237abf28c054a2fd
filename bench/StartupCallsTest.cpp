// The drive table's start-up on the 26-letter benchmark machine makes no
// platform call beyond the least its algorithms need there: the same
// figures scripts/run-bench.sh prints in its first rows, held by the tests.
#include <gtest/gtest.h>

#include <memory>

#include "assign/DriveListView.h"
#include "bench/LeastCalls.h"
#include "framework/headless/Windows.h"
#include "tests/support/MachineTest.h"

namespace {

class QuietView : public DriveListView {
 protected:
  bool CheckCdRomLetters() override { return true; }
  bool CheckDriveSpaceLaunched() override { return true; }
};

class StartupCallsTest : public MachineTest {
 protected:
  void TearDown() override {
    view.reset();
    frame.DestroyWindow();
    headless::Windows::Get().Reset();
    MachineTest::TearDown();
  }
  CallCounts Count() {
    CallCounts counts;
    counts.driverRequests = machine().CallCount("DeviceIoControl");
    for (const char* call :
         {"RegOpenKeyExA", "RegCreateKeyExA", "RegCloseKey", "RegQueryValueExA",
          "RegSetValueExA", "RegDeleteValueA", "RegDeleteKeyA", "RegEnumKeyExA",
          "RegEnumValueA", "RegQueryInfoKeyA"})
      counts.registryCalls += machine().CallCount(call);
    counts.fileOpens =
        machine().CallCount("Open") + machine().CallCount("CreateFileA");
    return counts;
  }
  CWnd frame;
  std::unique_ptr<QuietView> view;
};

TEST_F(StartupCallsTest, TheTwentySixLetterMachineCostsTheLeastCalls) {
  Boot("bench-26");
  machine().ClearCallLog();
  view = std::make_unique<QuietView>();
  const CallCounts construction = Count();
  const CallCounts leastConstruction = LeastConstructionCalls(machine());
  EXPECT_EQ(construction.fileOpens, leastConstruction.fileOpens);
  EXPECT_EQ(construction.registryCalls, leastConstruction.registryCalls);
  EXPECT_EQ(construction.driverRequests, leastConstruction.driverRequests);

  ASSERT_TRUE(frame.CreateEx(0, "PelmoraFrame", "Pelmora",
                             WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                             CRect(100, 50, 740, 530), nullptr, 0));
  machine().ClearCallLog();
  ASSERT_TRUE(view->CreateEx(0, "", "", WS_VISIBLE | LVS_REPORT,
                             CRect(0, 0, 640, 440), &frame, driveListId));
  EXPECT_EQ(view->GetItemCount(), 26);
  const CallCounts build = Count();
  const CallCounts least = LeastStartupCalls(machine());
  EXPECT_EQ(build.driverRequests, least.driverRequests);
  EXPECT_EQ(build.registryCalls, least.registryCalls);
  EXPECT_EQ(build.fileOpens, least.fileOpens);
  // The machine has every kind of drive, so each rule of the count adds
  // something: a model that left one out would not meet the program.
  EXPECT_GT(least.driverRequests, 26u * 3);
  EXPECT_GT(least.registryCalls, 30u);
}

}  // namespace
