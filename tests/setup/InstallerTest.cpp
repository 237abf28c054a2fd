// Setup.exe on a simulated Windows 98 machine: the ZIP file unpacked into
// C:\Download\Pelmora, Quobrill played by its real code on the same
// machine. A failed install must leave every file and registry value as
// it was; an uninstall must leave only what it cannot delete while it runs.
#include <ctype.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "platform/RegistryKey.h"
#include "setup/Quobrill.h"
#include "setup/SetupIds.h"
#include "setup/SetupInstaller.h"
#include "setup/SetupWindow.h"
#include "setup/resource.h"
#include "tests/setup/SetupTest.h"

namespace fs = std::filesystem;

namespace {

const char kFolder[] = "C:\\Program Files\\Pelmora";
const char kSource[] = "C:\\Download\\Pelmora\\";
const char kGroup[] = "C:\\WINDOWS\\Start Menu\\Programs\\Pelmora";
const char kEntry[] =
    "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\"
    "Uninstall\\Pelmora";
const char kAutoexec[] = "C:\\AUTOEXEC.BAT";
const char kOriginalAutoexec[] =
    "@ECHO OFF\r\nPATH C:\\WINDOWS;C:\\WINDOWS\\COMMAND\r\n";
const char kLine[] =
    "@C:\\PROGRA~1\\Pelmora\\KROMVALE.EXE @LETTERS.INI /O:DRIVEMAP.DAT /CD\r\n";

// Every file of the machine's drives with its bytes, and the registry.
struct Snapshot {
  std::map<std::string, std::string> files;
  std::string registry;
  bool operator==(const Snapshot& other) const {
    return files == other.files && registry == other.registry;
  }
};

std::ostream& operator<<(std::ostream& out, const Snapshot& snapshot) {
  for (const auto& file : snapshot.files) out << file.first << "\n";
  return out << snapshot.registry;
}

class InstallerTest : public SetupTest {
 protected:
  virtual const char* Fixture() const { return "win98-install"; }

  void SetUp() override {
    Boot(Fixture());
    SetupTest::SetUp();
    // Quobrill runs from the folder it was started in, on this machine.
    machine().SetProcessRunner([this](const sim::ProcessRun& run) {
      std::string self = machine().ProgramPath();
      machine().SetProgramPath(run.program);
      RunQuobrill(run.arguments.c_str());
      machine().SetProgramPath(self);
      return quobrillExit;
    });
  }

  Snapshot Take() {
    Snapshot snapshot;
    for (const auto& entry :
         fs::recursive_directory_iterator(machine().Root())) {
      std::string path = fs::relative(entry.path(), machine().Root()).string();
      if (path.size() < 2 || path[1] != '/') continue;  // drives only
      // Windows names files without regard to case (Quobrill's rewrite
      // of AUTOEXEC.BAT spells it autoexec.bat).
      for (char& c : path) c = char(tolower(static_cast<unsigned char>(c)));
      snapshot.files[path] =
          entry.is_directory() ? "<folder>" : Host(entry.path());
    }
    snapshot.registry = machine().ExportRegistry();
    return snapshot;
  }

  static std::string Host(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  std::string Value(const std::string& key, const std::string& name) {
    sim::RegValue value;
    if (!machine().RegistryValue(key, name, &value)) return "<none>";
    return value.data.substr(0, value.data.size() - 1);
  }

  // Installs with Quobrill's opinion box and final dialog (Pelmora not
  // started).
  void Install(const char* folder = kFolder) {
    ExpectSuccessfulEnd(false);
    ASSERT_TRUE(InstallPelmora(folder, kInstaller));
  }

  void ExpectSetupBox(const std::string& text,
                      uint32_t type = MB_ICONERROR | MB_OK) {
    user().Expect("Pelmora Setup", text, type, IDOK);
  }

  platform::ShellLinkInfo Link(const std::string& path) {
    platform::ShellLinkInfo link;
    EXPECT_EQ(platform::shell().ReadShellLink(path.c_str(), &link), S_OK)
        << path;
    return link;
  }

 public:
  uint32_t quobrillExit = 0;
};

TEST_F(InstallerTest, FreshInstallCopiesLinksRegistersAndWiresTheBoot) {
  Install();
  for (const char* name :
       {"Kromva32.exe", "Quobrill.exe", "Setup.exe", "README.TXT",
        "Help\\Help.html", "Help\\Opinion.html"})
    EXPECT_EQ(Read(std::string(kFolder) + "\\" + name),
              Read(std::string(kSource) + name))
        << name;
  EXPECT_EQ(Read(kAutoexec), std::string(kLine) + kOriginalAutoexec);

  platform::ShellLinkInfo program = Link(std::string(kGroup) + "\\Pelmora.lnk");
  EXPECT_STREQ(program.target, "C:\\Program Files\\Pelmora\\Kromva32.exe");
  EXPECT_STREQ(program.directory, kFolder);
  platform::ShellLinkInfo help =
      Link(std::string(kGroup) + "\\Pelmora Help.lnk");
  EXPECT_STREQ(help.target, "C:\\Program Files\\Pelmora\\Help\\Help.html");

  EXPECT_EQ(Value(kEntry, "DisplayName"), "Pelmora");
  EXPECT_EQ(Value(kEntry, "UninstallString"),
            "C:\\PROGRA~1\\Pelmora\\Setup.exe /uninstall");
  EXPECT_EQ(Value(kEntry, "InstallLocation"), kFolder);
  EXPECT_EQ(Value(kEntry, "CreatedFolder"), kFolder);

  // Quobrill ran once, from the installed folder, with our window.
  std::vector<sim::ProcessRun> runs = machine().ProcessRuns();
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].program, "C:\\Program Files\\Pelmora\\Quobrill.exe");
  EXPECT_EQ(runs[0].arguments, "/install " + std::to_string(kInstaller));
  EXPECT_EQ(runs[0].directory, kFolder);
  // No file kept aside for an undo is left.
  EXPECT_EQ(fs::path(machine().HostPath(kFolder)).empty(), false);
  for (const auto& entry : fs::directory_iterator(machine().HostPath(kFolder)))
    EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
}

TEST_F(InstallerTest, AFolderThatDoesNotExistIsMadeWithItsParents) {
  Install("C:\\Tools\\Disks\\Pelmora");
  EXPECT_TRUE(machine().Exists("C:\\Tools\\Disks\\Pelmora\\Kromva32.exe"));
  EXPECT_EQ(Value(kEntry, "CreatedFolder"), "C:\\Tools");

  machine().SetProgramPath("C:\\WINDOWS\\TEMP\\pel9.exe");
  machine().WriteFile("C:\\WINDOWS\\TEMP\\pel9.exe", "MZ copy");
  ASSERT_TRUE(UninstallPelmora(kInstaller));
  EXPECT_FALSE(machine().Exists("C:\\Tools"));
}

TEST_F(InstallerTest, InstallOverAnOlderOneReplacesItsFiles) {
  Install();
  machine().WriteFile(std::string(kSource) + "Kromva32.exe", "MZ newer");
  Install();
  EXPECT_EQ(Read(std::string(kFolder) + "\\Kromva32.exe"), "MZ newer");
  EXPECT_EQ(Read(kAutoexec), std::string(kLine) + kOriginalAutoexec);
  // The first install made the folder; the update keeps that bound.
  EXPECT_EQ(Value(kEntry, "CreatedFolder"), kFolder);
  for (const auto& entry : fs::directory_iterator(machine().HostPath(kFolder)))
    EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
  char folder[260];
  bool installed = false;
  DefaultInstallFolder(folder, &installed);
  EXPECT_TRUE(installed);
  EXPECT_STREQ(folder, kFolder);
}

TEST_F(InstallerTest, UninstallRemovesWhatWasInstalledAndTheProgramsFiles) {
  Snapshot before = Take();
  Install();
  // What the programs leave: the assignment, the companion's map, the
  // settings in both hives.
  machine().WriteFile(std::string(kFolder) + "\\Letters.ini", "[Letters]\r\n");
  machine().WriteFile(std::string(kFolder) + "\\drivemap.dat", "map");
  {
    RegistryKey key;
    ASSERT_EQ(key.Create(HKEY_LOCAL_MACHINE, "Software\\Ardentol\\Pelmora"),
              ERROR_SUCCESS);
    key.SetStringValue("SaveBy", "1");
    ASSERT_EQ(key.Create(HKEY_CURRENT_USER,
                         "Software\\Ardentol\\Pelmora\\Bars\\Bar0"),
              ERROR_SUCCESS);
    key.SetStringValue("Visible", "1");
  }

  // The uninstall entry's command hands over to a copy in TEMP.
  machine().SetProgramPath(std::string(kFolder) + "\\Setup.exe");
  ASSERT_TRUE(StartRemovalCopy(kInstaller));
  std::vector<sim::ShellCall> calls = machine().ShellCalls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].verb, "open");
  EXPECT_EQ(calls[0].parameters, "/remove");
  std::string copy = calls[0].file;
  EXPECT_EQ(Read(copy), Read(std::string(kSource) + "Setup.exe"));
  EXPECT_EQ(copy.substr(copy.size() - 4), ".exe");

  machine().SetProgramPath(copy);
  ASSERT_TRUE(UninstallPelmora(kInstaller));
  std::vector<sim::ProcessRun> runs = machine().ProcessRuns();
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[1].arguments, "/uninstall " + std::to_string(kInstaller));

  // Left: the copy, and WININIT.INI deleting it at the next start.
  char shortCopy[260];
  ASSERT_NE(platform::kernel().GetShortPathNameA(copy.c_str(), shortCopy,
                                                 sizeof shortCopy),
            0u);
  EXPECT_EQ(Read("C:\\WINDOWS\\WININIT.INI"),
            std::string("[rename]\r\nNUL=") + shortCopy + "\r\n");
  platform::kernel().DeleteFileA(copy.c_str());
  platform::kernel().DeleteFileA("C:\\WINDOWS\\WININIT.INI");
  Snapshot after = Take();
  EXPECT_EQ(after, before);
}

TEST_F(InstallerTest, UninstallKeepsWhatTheUserAddedAndAddsToWininit) {
  Install();
  machine().WriteFile(std::string(kFolder) + "\\My notes.txt", "mine");
  machine().WriteFile("C:\\WINDOWS\\WININIT.INI",
                      "[rename]\r\nNUL=C:\\OLD.DLL\r\n");
  machine().SetProgramPath("C:\\WINDOWS\\TEMP\\pel1.exe");
  machine().WriteFile("C:\\WINDOWS\\TEMP\\pel1.exe", "MZ copy");
  ASSERT_TRUE(UninstallPelmora(kInstaller));
  EXPECT_EQ(Read(std::string(kFolder) + "\\My notes.txt"), "mine");
  EXPECT_FALSE(machine().Exists(std::string(kFolder) + "\\Kromva32.exe"));
  EXPECT_FALSE(machine().Exists(kGroup));
  EXPECT_EQ(
      Read("C:\\WINDOWS\\WININIT.INI"),
      "[rename]\r\nNUL=C:\\WINDOWS\\TEMP\\pel1.exe\r\nNUL=C:\\OLD.DLL\r\n");
}

TEST_F(InstallerTest, WininitWithoutARenameSectionGetsOneAfterItsLastLine) {
  Install();
  machine().WriteFile("C:\\WINDOWS\\WININIT.INI", "[Other]\r\nX=1");
  machine().SetProgramPath("C:\\WINDOWS\\TEMP\\pel1.exe");
  machine().WriteFile("C:\\WINDOWS\\TEMP\\pel1.exe", "MZ copy");
  ASSERT_TRUE(UninstallPelmora(kInstaller));
  EXPECT_EQ(
      Read("C:\\WINDOWS\\WININIT.INI"),
      "[Other]\r\nX=1\r\n[rename]\r\nNUL=C:\\WINDOWS\\TEMP\\pel1.exe\r\n");
  EXPECT_FALSE(machine().Exists("C:\\WINDOWS\\WININIT.TMP"));
  EXPECT_FALSE(machine().Exists("C:\\WINDOWS\\WININIT.PEL"));
}

TEST_F(InstallerTest, UninstallStopsWhileKromva32IsInUse) {
  Install();
  faults().Fail("DeleteFileA", ERROR_SHARING_VIOLATION, 1, "Kromva32.exe");
  machine().SetProgramPath("C:\\WINDOWS\\TEMP\\pel1.exe");
  ExpectSetupBox(
      "Setup could not remove C:\\Program Files\\Pelmora\\Kromva32.exe : The "
      "process cannot access the file because it is being used by another "
      "process.\nClose Pelmora and remove it again.");
  EXPECT_FALSE(UninstallPelmora(kInstaller));
  // Everything stays for a second try.
  EXPECT_TRUE(machine().Exists(std::string(kFolder) + "\\Quobrill.exe"));
  EXPECT_EQ(Value(kEntry, "InstallLocation"), kFolder);
  EXPECT_TRUE(UninstallPelmora(kInstaller));
  EXPECT_FALSE(machine().Exists(kFolder));
}

// Each failure shows its message and leaves every file and value as it was.
struct FailureCase {
  const char* name;
  const char* folder;
  void (*arrange)(InstallerTest* test, sim::Machine& machine);
  std::vector<std::string> quobrillBoxes;  // Quobrill's own error texts
  bool quobrillEnds;    // Quobrill shows its opinion box and final dialog
  const char* message;  // ours, "" for none
};

class InstallFailureTest : public InstallerTest,
                           public ::testing::WithParamInterface<int> {};

const char kNotWired[] =
    "Pelmora could not be added to the start of your computer. Setup has "
    "removed what it installed.";

const std::vector<FailureCase>& FailureCases() {
  static const std::vector<FailureCase> cases = {
      {"ReadOnlyTarget",
       "D:\\Pelmora",
       nullptr,
       {},
       false,
       "Setup could not create the folder D:\\Pelmora : The media is write "
       "protected."},
      {"FullDisk",
       "E:\\Pelmora",
       nullptr,
       {},
       false,
       "Setup could not copy C:\\Download\\Pelmora\\README.TXT to "
       "E:\\Pelmora\\README.TXT : There is not enough space on the disk."},
      {"QuobrillFails",
       kFolder,
       [](InstallerTest*, sim::Machine& machine) {
         // Quobrill cannot change a C:\autoexec.bat that is not there.
         platform::kernel().DeleteFileA(kAutoexec);
         (void)machine;
       },
       {"Error changing c:\\autoexec.bat"},
       false,
       kNotWired},
      {"QuobrillCrashesAfterItsWork",
       kFolder,
       [](InstallerTest* test, sim::Machine&) {
         test->quobrillExit = 0xC0000005u;
       },
       {},
       true,
       kNotWired},
      {"QuobrillCannotStart",
       kFolder,
       [](InstallerTest*, sim::Machine& machine) {
         machine.Faults().Fail("RunProcessAndWait", ERROR_FILE_NOT_FOUND);
       },
       {},
       false,
       "Setup could not start C:\\Program Files\\Pelmora\\Quobrill.exe : The "
       "system cannot find the file specified."},
      {"ShortcutFails",
       kFolder,
       [](InstallerTest*, sim::Machine& machine) {
         machine.Faults().Fail("CreateShellLink", uint32_t(E_FAIL), 1,
                               "Help.lnk");
       },
       {},
       false,
       "Setup could not create the shortcut C:\\WINDOWS\\Start "
       "Menu\\Programs\\Pelmora\\Pelmora Help.lnk : error 0x80004005"},
      {"RegistryRefuses",
       kFolder,
       [](InstallerTest*, sim::Machine& machine) {
         machine.Faults().Fail("RegSetValueExA", ERROR_ACCESS_DENIED, 2);
       },
       {},
       false,
       "Setup could not write the uninstall entry "
       "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\"
       "Uninstall\\Pelmora : Access is denied."},
  };
  return cases;
}

TEST_P(InstallFailureTest, LeavesTheMachineAsItWas) {
  const FailureCase& failure = FailureCases()[GetParam()];
  SCOPED_TRACE(failure.name);
  if (failure.arrange) failure.arrange(this, machine());
  Snapshot before = Take();
  for (const std::string& text : failure.quobrillBoxes) ExpectError(text);
  if (failure.quobrillEnds) ExpectSuccessfulEnd(false);
  ExpectSetupBox(failure.message);
  EXPECT_FALSE(InstallPelmora(failure.folder, kInstaller));
  EXPECT_EQ(Take(), before);
}

INSTANTIATE_TEST_SUITE_P(Cases, InstallFailureTest,
                         ::testing::Range(0, int(FailureCases().size())),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return std::string(FailureCases()[info.param].name);
                         });

TEST_F(InstallerTest, QuobrillEndingBadlyOverAnOlderInstallPutsItBack) {
  Install();
  Snapshot before = Take();
  machine().WriteFile(std::string(kSource) + "Kromva32.exe", "MZ newer");
  Snapshot source = Take();
  quobrillExit = 0xC0000005u;  // it crashed after its work
  ExpectSuccessfulEnd(false);
  ExpectSetupBox(kNotWired);
  EXPECT_FALSE(InstallPelmora(kFolder, kInstaller));
  Snapshot after = Take();
  EXPECT_EQ(after.registry, before.registry);
  EXPECT_EQ(after.files, source.files);
  EXPECT_EQ(Read(std::string(kFolder) + "\\Kromva32.exe"),
            before.files["c/program files/pelmora/kromva32.exe"]);
}

// Windows Me needs the program's own vmm32.vxd, which the package does not
// have: Quobrill stops with 490 and nothing is left behind.
class WinMeInstallerTest : public InstallerTest {
 protected:
  const char* Fixture() const override { return "winme-install"; }
};

TEST_F(WinMeInstallerTest, InstallStopsWithoutTheOwnVmm32AndChangesNothing) {
  Snapshot before = Take();
  ExpectCode(490);
  ExpectSetupBox(kNotWired);
  EXPECT_FALSE(InstallPelmora(kFolder, kInstaller));
  EXPECT_EQ(Take(), before);
}

TEST_F(InstallerTest, AMissingFileOfTheZipChangesNothing) {
  platform::kernel().DeleteFileA("C:\\Download\\Pelmora\\Help\\Opinion.html");
  Snapshot before = Take();
  ExpectSetupBox(
      "Setup cannot find C:\\Download\\Pelmora\\Help\\Opinion.html.\nUnpack "
      "the whole ZIP file into one folder and run Setup from there.");
  EXPECT_FALSE(InstallPelmora(kFolder, kInstaller));
  EXPECT_EQ(Take(), before);
}

TEST_F(InstallerTest, TheFolderTypedIsCheckedBeforeAnythingHappens) {
  struct Case {
    const char* typed;
    const char* folder;  // nullptr: refused
  };
  const Case cases[] = {
      {"C:\\Program Files\\Pelmora", "C:\\Program Files\\Pelmora"},
      {"  d:\\Tools\\Pelmora\\ ", "D:\\Tools\\Pelmora"},
      {"C:\\", nullptr},
      {"Pelmora", nullptr},
      {"\\\\SERVER\\share", nullptr},
      {"C:\\Tools\\Pel*", nullptr},
      {"C:\\Tools\\\\Pelmora", nullptr},
      {"C:/Tools", nullptr},
  };
  for (const Case& c : cases) {
    char folder[260], message[200];
    bool ok = CheckInstallFolder(c.typed, folder, message, sizeof message);
    EXPECT_EQ(ok, c.folder != nullptr) << c.typed;
    if (c.folder) {
      EXPECT_STREQ(folder, c.folder) << c.typed;
    } else {
      EXPECT_NE(message[0], '\0') << c.typed;
    }
  }
  ExpectSetupBox(
      "Setup cannot install Pelmora into the folder it runs from. Choose "
      "another folder.");
  EXPECT_FALSE(InstallPelmora("C:\\Download\\Pelmora", kInstaller));
}

// The dialogs over the real Setup.rc: the folder offered, a bad folder
// refused with the dialog kept open, the install, and the removal with its
// last box once the dialog has closed.
class SetupDialogTest : public InstallerTest {
 protected:
  void SetUp() override {
    InstallerTest::SetUp();
    headless::Resources setup;
    std::string error;
    ASSERT_TRUE(headless::ParseResourceScript(SETUP_RC, &setup, &error))
        << error;
    headless::Resources both = headless::GetResources();
    for (const auto& dialog : setup.dialogs)
      both.dialogs[dialog.first] = dialog.second;
    headless::SetResources(both);
  }
};

TEST_F(SetupDialogTest, InstallOffersTheFolderAndRefusesABadOne) {
  headless::DialogUser::Get().Expect(
      IDD_SETUP_INSTALL,
      {headless::Type(IDC_SETUP_FOLDER, "Pelmora"), headless::Click(IDOK),
       headless::Type(IDC_SETUP_FOLDER, "C:\\Tools\\Pelmora"),
       headless::Click(IDOK)});
  ExpectSetupBox(
      "Type the full path of a folder, for example C:\\Program "
      "Files\\Pelmora.",
      MB_ICONEXCLAMATION | MB_OK);
  ExpectSuccessfulEnd(false);
  EXPECT_EQ(RunSetup(""), 0);
  // Quobrill's dialog ran inside ours.
  ASSERT_EQ(Dialogs().size(), 2u);
  const headless::ShownDialog& install =
      Dialogs()[0].templateId == IDD_SETUP_INSTALL ? Dialogs()[0]
                                                   : Dialogs()[1];
  EXPECT_EQ(install.textsAtStart.at(IDC_SETUP_FOLDER),
            "C:\\Program Files\\Pelmora");
  EXPECT_EQ(install.limits.at(IDC_SETUP_FOLDER), 199);
  EXPECT_EQ(install.result, IDOK);
  EXPECT_TRUE(machine().Exists("C:\\Tools\\Pelmora\\Kromva32.exe"));
}

TEST_F(SetupDialogTest, AnUpdateStaysInTheInstalledFolder) {
  Install();
  headless::DialogUser::Get().Expect(
      IDD_SETUP_INSTALL, {headless::Type(IDC_SETUP_FOLDER, "D:\\Pelmora"),
                          headless::Click(IDOK), headless::Click(IDCANCEL)});
  ExpectSetupBox(
      "Pelmora is installed in C:\\Program Files\\Pelmora. Remove it first "
      "(Add/Remove Programs) to install it in another folder.",
      MB_ICONEXCLAMATION | MB_OK);
  EXPECT_EQ(RunSetup(""), 1);
  EXPECT_EQ(Dialogs().back().textsAtStart.at(IDC_SETUP_NOTE),
            "Pelmora is installed in this folder. Setup replaces it with "
            "this version.");
}

TEST_F(SetupDialogTest, RemoveAsksThenSaysItIsDone) {
  Install();
  machine().SetProgramPath("C:\\WINDOWS\\TEMP\\pel1.exe");
  machine().WriteFile("C:\\WINDOWS\\TEMP\\pel1.exe", "MZ copy");
  headless::DialogUser::Get().Expect(IDD_SETUP_REMOVE, {headless::Click(IDOK)});
  ExpectSetupBox("Pelmora has been removed from your computer.",
                 MB_ICONINFORMATION | MB_OK);
  EXPECT_EQ(RunSetup(" /REMOVE"), 0);
  EXPECT_EQ(Dialogs().back().textsAtStart.at(IDC_SETUP_REMOVE_TEXT),
            "Setup removes Pelmora from C:\\Program Files\\Pelmora, from the "
            "Start menu and from the start of your computer.");
  EXPECT_FALSE(machine().Exists(kFolder));
  EXPECT_EQ(user().Boxes().back().owner, 0u);
}

}  // namespace
