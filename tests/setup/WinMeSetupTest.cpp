// Install and uninstall on Windows Me: our vmm32.vxd in place of the
// system's, the original kept as vmm32.vx_, and Kromvale.ini.
#include <errno.h>

#include "setup/Quobrill.h"
#include "tests/setup/SetupTest.h"

namespace {

const char kVxd[] = "C:\\WINDOWS\\SYSTEM\\vmm32.vxd";
const char kBackup[] = "C:\\WINDOWS\\SYSTEM\\vmm32.vx_";
const char kTempBin[] = "C:\\Program Files\\Pelmora\\temp.bin";
const char kIni[] = "C:\\WINDOWS\\Kromvale.ini";
const char kShortDirectory[] = "C:\\PROGRA~1\\Pelmora";
// The copy of temp.bin over vmm32.vxd, and of vmm32.vx_ over it.
const char kInstallCopy[] = "temp.bin C:\\WINDOWS\\SYSTEM\\vmm32.vxd";
const char kRestoreCopy[] = "vmm32.vx_ C:\\WINDOWS\\SYSTEM\\vmm32.vxd";

std::string Marked(size_t size, bool marker = true) {
  std::string bytes(size, 'v');
  if (marker && size >= 4) bytes.replace(size - 4, 4, "\x78\x56\x34\x12");
  return bytes;
}

class WinMeSetupTest : public SetupTest {
 protected:
  void SetUp() override {
    Boot("winme-setup");
    SetupTest::SetUp();
    original = Read(kVxd);
    ours = Read(kTempBin);
  }

  // The machine as a finished install leaves it.
  void Installed() {
    ExpectSuccessfulEnd(false);
    InstallExtension();
    ASSERT_EQ(Read(kVxd), ours);
    user().Forget();
  }

  // Nothing of the install is there: the original vmm32.vxd, no
  // vmm32.vx_, no Kromvale.ini, temp.bin still waiting.
  void ExpectUntouched() {
    EXPECT_EQ(Read(kVxd), original);
    EXPECT_FALSE(machine().Exists(kBackup));
    EXPECT_FALSE(machine().Exists(kIni));
    EXPECT_TRUE(machine().Exists(kTempBin));
  }

  // The temporary folder holds no safety copy.
  void ExpectNoSafetyCopy() {
    platform::FindData data;
    EXPECT_FALSE(
        platform::kernel().FindFirstFile("C:\\WINDOWS\\TEMP\\kro*.tmp", &data))
        << data.fileName;
  }

  std::string original, ours;
};

TEST_F(WinMeSetupTest, InstallReplacesVmm32AndWritesKromvaleIni) {
  ExpectSuccessfulEnd(true);
  std::string autoexec = Read("C:\\AUTOEXEC.BAT");
  InstallExtension();
  EXPECT_EQ(Read(kVxd), ours);
  EXPECT_EQ(Read(kBackup), original);
  EXPECT_FALSE(machine().Exists(kTempBin));
  // The short directory and nothing else, no line end.
  EXPECT_EQ(Read(kIni), kShortDirectory);
  EXPECT_FALSE(machine().Exists("C:\\WINDOWS\\Kromvale.tmp"));
  EXPECT_EQ(Read("C:\\AUTOEXEC.BAT"), autoexec);
  EXPECT_EQ(machine().ShellCalls().size(), 1u);
  EXPECT_EQ(machine().SleptMilliseconds(), 0u);
}

TEST_F(WinMeSetupTest, SecondInstallKeepsTheSavedOriginal) {
  Installed();
  machine().WriteFile(kTempBin, Marked(3072));
  ExpectSuccessfulEnd(false);
  InstallExtension();
  EXPECT_EQ(Read(kVxd), Marked(3072));
  EXPECT_EQ(Read(kBackup), original);
  EXPECT_FALSE(machine().Exists(kTempBin));
  EXPECT_EQ(Read(kIni), kShortDirectory);
}

TEST_F(WinMeSetupTest, OwnVmm32WithoutSavedOriginalIsError515) {
  machine().WriteFile(kVxd, Marked(100));
  ExpectCode(515);
  InstallExtension();
  EXPECT_EQ(Read(kVxd), Marked(100));
  EXPECT_FALSE(machine().Exists(kIni));
  EXPECT_TRUE(machine().Exists(kTempBin));
}

TEST_F(WinMeSetupTest, TempBinThatCannotServeStopsSafelyWith490) {
  // Missing (as in the distribution), unreadable, too large, or without
  // the marker: installed, it would not be recognised as ours later.
  const struct {
    const char* what;
    std::string bytes;  // "" with `missing`
    bool missing;
  } cases[] = {
      {"missing", "", true},
      {"too large", Marked(3073), false},
      {"no marker", Marked(3072, false), false},
      {"tiny", "ab", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.missing)
      platform::kernel().DeleteFileA(kTempBin);
    else
      machine().WriteFile(kTempBin, c.bytes);
    ExpectCode(490);
    InstallExtension();
    EXPECT_EQ(Read(kVxd), original);
    EXPECT_FALSE(machine().Exists(kBackup));
    EXPECT_FALSE(machine().Exists(kIni));
  }
  // A read failure of the test copy itself.
  machine().WriteFile(kTempBin, ours);
  faults().Fail("CopyFileA", ERROR_ACCESS_DENIED, 1, "temp.bin NUL");
  ExpectCode(490);
  InstallExtension();
  ExpectUntouched();
  EXPECT_TRUE(Dialogs().empty());
}

TEST_F(WinMeSetupTest, ProbeFailuresStopTheInstallWithTheirCodes) {
  // A small vmm32.vxd that is not ours, so the probe reads its tail.
  const struct {
    const char* call;
    uint32_t code;
    int error;
  } cases[] = {
      {"FindFirstFile", ERROR_ACCESS_DENIED, 427},
      {"Open", EACCES, 441},
      {"Seek", EINVAL, 447},
      {"Read", EIO, 455},
      {"Close", EIO, 462},
  };
  machine().WriteFile(kVxd, Marked(1000, false));
  original = Read(kVxd);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.call);
    faults().Clear();
    faults().Fail(c.call, c.code, 1, "vmm32.vxd");
    int fired = faults().Fired();
    ExpectCode(c.error);
    InstallExtension();
    EXPECT_EQ(faults().Fired(), fired + 1);
    ExpectUntouched();
  }
  // Too short to hold the marker: the seek fails.
  faults().Clear();
  machine().WriteFile(kVxd, "MZ");
  ExpectCode(447);
  InstallExtension();
  EXPECT_EQ(Read(kVxd), "MZ");
}

TEST_F(WinMeSetupTest, ProbeTellsOursBySizeAndMarker) {
  const struct {
    std::string bytes;
    bool own;
  } cases[] = {
      {Marked(3072), true},        {Marked(4), true},
      {Marked(3073), false},       {Marked(3072, false), false},
      {Marked(2000) + "x", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes.size());
    machine().WriteFile(kVxd, c.bytes);
    bool own = !c.own;
    uint64_t size = 0;
    EXPECT_TRUE(ProbeVmm32(kVxd, &own, &size));
    EXPECT_EQ(own, c.own);
    EXPECT_EQ(size, c.bytes.size());
  }
}

TEST_F(WinMeSetupTest, SavingTheOriginalFailsWith505) {
  faults().Fail("CopyFileA", ERROR_DISK_FULL, 1, "vmm32.vx_");
  ExpectCode(505);
  InstallExtension();
  ExpectUntouched();
}

TEST_F(WinMeSetupTest, CopyOverVmm32IsRetriedOnceAfterFiveSeconds) {
  faults().Fail("CopyFileA", ERROR_SHARING_VIOLATION, 1, kInstallCopy);
  ExpectSuccessfulEnd(false);
  InstallExtension();
  EXPECT_EQ(machine().SleptMilliseconds(), 5000u);
  EXPECT_EQ(machine().CallCount("Sleep"), 1u);
  EXPECT_EQ(Read(kVxd), ours);
}

TEST_F(WinMeSetupTest, CopyFailingTwiceIs527AndLeavesTheOriginal) {
  faults().Fail("CopyFileA", ERROR_SHARING_VIOLATION, 0, kInstallCopy);
  ExpectCode(527);
  InstallExtension();
  EXPECT_EQ(machine().SleptMilliseconds(), 5000u);
  // vmm32.vxd is the original still, and also saved as vmm32.vx_.
  EXPECT_EQ(Read(kVxd), original);
  EXPECT_EQ(Read(kBackup), original);
  EXPECT_FALSE(machine().Exists(kIni));
  EXPECT_TRUE(machine().Exists(kTempBin));
  EXPECT_TRUE(Dialogs().empty());
}

TEST_F(WinMeSetupTest, ChangedVmm32AfterTheFailedCopiesIsPutBackOr534) {
  for (bool restoreFails : {false, true}) {
    SCOPED_TRACE(restoreFails);
    faults().Clear();
    faults().Fail("CopyFileA", ERROR_SHARING_VIOLATION, 0, kInstallCopy);
    // The size of vmm32.vxd cannot be read after the failed copies: it may
    // be half written.
    faults().Fail("FindFirstFile", ERROR_ACCESS_DENIED, 2, "vmm32.vxd");
    if (restoreFails)
      faults().Fail("CopyFileA", ERROR_ACCESS_DENIED, 1, kRestoreCopy);
    ExpectCode(527);
    if (restoreFails) ExpectCode(534);
    InstallExtension();
    EXPECT_EQ(Read(kVxd), original);
    EXPECT_EQ(Read(kBackup), original);
    platform::kernel().DeleteFileA(kBackup);
  }
}

TEST_F(WinMeSetupTest, KromvaleIniThatCannotBeWrittenStopsBeforeVmm32) {
  const struct {
    const char* call;
    uint32_t code;
    const char* argument;
  } cases[] = {
      {"Open", EACCES, "Kromvale.tmp"},
      {"Close", ENOSPC, "Kromvale.tmp"},
      {"MoveFileA", ERROR_ACCESS_DENIED, "Kromvale.tmp"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.call);
    faults().Clear();
    faults().Fail(c.call, c.code, 1, c.argument);
    ExpectError("Error creating the file C:\\WINDOWS\\Kromvale.ini");
    InstallExtension();
    ExpectUntouched();
    EXPECT_FALSE(machine().Exists("C:\\WINDOWS\\Kromvale.tmp"));
  }
}

TEST_F(WinMeSetupTest, RewrittenKromvaleIniStaysWhenTheNewOneCannotBeWritten) {
  machine().WriteFile(kIni, "C:\\OLD");
  faults().Fail("Puts", ENOSPC, 1, "Kromvale.tmp");
  ExpectError("Error creating the file C:\\WINDOWS\\Kromvale.ini");
  InstallExtension();
  EXPECT_EQ(Read(kIni), "C:\\OLD");

  // Once the old one is deleted, a failed move leaves the new content in
  // Kromvale.tmp, and the message says so.
  faults().Fail("MoveFileA", ERROR_ACCESS_DENIED, 1, "Kromvale.tmp");
  ExpectError(
      "Error creating the file C:\\WINDOWS\\Kromvale.ini : the new content is "
      "kept in C:\\WINDOWS\\Kromvale.tmp");
  InstallExtension();
  EXPECT_FALSE(machine().Exists(kIni));
  EXPECT_EQ(Read("C:\\WINDOWS\\Kromvale.tmp"), kShortDirectory);
}

TEST_F(WinMeSetupTest, UninstallPutsTheOriginalBackAndDeletesKromvaleIni) {
  Installed();
  size_t boxes = user().Boxes().size();
  UninstallExtension();
  EXPECT_EQ(Read(kVxd), original);
  EXPECT_FALSE(machine().Exists(kBackup));
  EXPECT_FALSE(machine().Exists(kIni));
  EXPECT_EQ(user().Boxes().size(), boxes);
  ExpectNoSafetyCopy();
}

TEST_F(WinMeSetupTest, UninstallWhenVmm32IsNotOursIs573AndStillDeletesIni) {
  machine().WriteFile(kBackup, "saved");
  machine().WriteFile(kIni, kShortDirectory);
  ExpectCode(573);
  UninstallExtension();
  EXPECT_EQ(Read(kVxd), original);
  EXPECT_EQ(Read(kBackup), "saved");
  EXPECT_FALSE(machine().Exists(kIni));
}

TEST_F(WinMeSetupTest, UninstallFailuresKeepAWorkingVmm32) {
  const struct {
    const char* call;
    uint32_t code;
    int occurrence;
    const char* argument;
    std::vector<int> errors;
    bool restored;  // vmm32.vxd is the original again
  } cases[] = {
      {"CopyFileA", ERROR_ACCESS_DENIED, 1, "vmm32.vx_ NUL", {562}, false},
      {"GetTempPathA", ERROR_NOT_ENOUGH_MEMORY, 1, "", {581}, false},
      {"GetTempFileNameA", ERROR_DISK_FULL, 1, "", {587}, false},
      {"CopyFileA",
       ERROR_DISK_FULL,
       1,
       "vmm32.vxd C:\\WINDOWS\\TEMP",
       {592},
       false},
      {"CopyFileA", ERROR_SHARING_VIOLATION, 0, kRestoreCopy, {603}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.call + std::string(" ") + c.argument);
    Installed();
    faults().Clear();
    faults().Fail(c.call, c.code, c.occurrence, c.argument);
    for (int error : c.errors) ExpectCode(error);
    UninstallExtension();
    faults().Clear();
    EXPECT_EQ(Read(kVxd), c.restored ? original : ours);
    EXPECT_EQ(Read(kBackup), original);
    EXPECT_FALSE(machine().Exists(kIni));
    ExpectNoSafetyCopy();
    // Ready for the next case: temp.bin back in the application folder.
    machine().WriteFile(kTempBin, ours);
  }
  EXPECT_EQ(machine().SleptMilliseconds(), 5000u);
}

TEST_F(WinMeSetupTest,
       ChangedVmm32AfterFailedRestoreComesBackFromTheSafetyCopy) {
  for (bool copyBackFails : {false, true}) {
    SCOPED_TRACE(copyBackFails);
    Installed();
    faults().Clear();
    faults().Fail("CopyFileA", ERROR_SHARING_VIOLATION, 0, kRestoreCopy);
    // Probe, then the check after the failed copies.
    faults().Fail("FindFirstFile", ERROR_ACCESS_DENIED, 2, "vmm32.vxd");
    if (copyBackFails)
      faults().Fail("CopyFileA", ERROR_ACCESS_DENIED, 1,
                    "tmp C:\\WINDOWS\\SYSTEM");
    ExpectCode(603);
    if (copyBackFails) ExpectCode(610);
    UninstallExtension();
    faults().Clear();
    EXPECT_EQ(Read(kVxd), ours);
    EXPECT_EQ(Read(kBackup), original);
    platform::FindData data;
    // Kept only when it is the one whole copy of our vmm32.vxd.
    bool safety =
        platform::kernel().FindFirstFile("C:\\WINDOWS\\TEMP\\kro*.tmp", &data);
    EXPECT_EQ(safety, copyBackFails);
    if (safety) {
      EXPECT_EQ(Read(std::string("C:\\WINDOWS\\TEMP\\") + data.fileName), ours);
      platform::kernel().DeleteFileA(
          (std::string("C:\\WINDOWS\\TEMP\\") + data.fileName).c_str());
    }
    machine().WriteFile(kTempBin, ours);
  }
}

TEST_F(WinMeSetupTest, UninstallWithoutKromvaleIniSaysSo) {
  Installed();
  platform::kernel().DeleteFileA(kIni);
  ExpectError("Error deleting the file C:\\WINDOWS\\Kromvale.ini");
  UninstallExtension();
  EXPECT_EQ(Read(kVxd), original);
}

}  // namespace
