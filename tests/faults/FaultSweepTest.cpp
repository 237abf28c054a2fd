// The fault sweep: every scenario that writes the user's files and keys (a
// save on each round-trip machine and the demo, Disable and Exit, the
// install and the uninstall on Windows 98 and Me) runs once cleanly to learn
// the platform calls it makes, then once for every one of those calls and
// every error that call can meet, with exactly that call failing. Every run
// must show a message when it did not do what the clean run did, lose no
// file (each original is unchanged, written whole, or its new content lies
// in a temporary file that a message names) and no registry key or network
// connection, and leave the program's flags as a failure leaves them.
#include <ctype.h>
#include <errno.h>
#include <gtest/gtest.h>
#include <stdio.h>
#include <strings.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "assign/DriveListView.h"
#include "assign/OptionsDialog.h"
#include "framework/WindowCodes.h"
#include "framework/headless/Dialogs.h"
#include "framework/headless/Windows.h"
#include "platform/Codes.h"
#include "platform/Platform.h"
#include "platform/sim/Machine.h"
#include "platform/sim/SimParts.h"
#include "setup/Quobrill.h"
#include "setup/SetupMessages.h"
#include "setup/resource.h"
#include "writers/TextLines.h"

namespace {

namespace fs = std::filesystem;

// Codes Codes.h does not name: ShellExecuteA's SE_ERR_ACCESSDENIED and
// SE_ERR_FNF, and the registry's kRegistryFailed.
const uint32_t kShellAccessDenied = 5;
const uint32_t kShellNotFound = 2;
const uint32_t kRegistryFailed = 1016;

// The errors each kind of call can meet. Streams carry errno values, the
// rest Win32 codes.
std::vector<uint32_t> ErrorsOf(const std::string& call) {
  static const std::map<std::string, std::vector<uint32_t>> errors = {
      {"Open", {EACCES, ENOENT, ENOSPC}},
      {"Gets", {EACCES}},
      {"Getc", {EACCES}},
      {"Read", {EACCES}},
      {"Puts", {ENOSPC, EACCES}},
      {"Putc", {ENOSPC, EACCES}},
      {"Write", {ENOSPC, EACCES}},
      {"Flush", {ENOSPC}},
      {"Close", {ENOSPC}},
      {"CreateFileA",
       {ERROR_ACCESS_DENIED, ERROR_FILE_NOT_FOUND, ERROR_SHARING_VIOLATION}},
      {"DeleteFileA",
       {ERROR_ACCESS_DENIED, ERROR_SHARING_VIOLATION, ERROR_FILE_NOT_FOUND}},
      {"MoveFileA",
       {ERROR_ACCESS_DENIED, ERROR_SHARING_VIOLATION, ERROR_DISK_FULL,
        ERROR_FILE_NOT_FOUND}},
      {"CopyFileA",
       {ERROR_ACCESS_DENIED, ERROR_SHARING_VIOLATION, ERROR_DISK_FULL,
        ERROR_FILE_NOT_FOUND}},
      {"CreateDirectoryA", {ERROR_ACCESS_DENIED, ERROR_DISK_FULL}},
      {"RemoveDirectoryA", {ERROR_ACCESS_DENIED, ERROR_SHARING_VIOLATION}},
      {"SetFileAttributesA", {ERROR_ACCESS_DENIED, ERROR_FILE_NOT_FOUND}},
      {"SetFileTime", {ERROR_ACCESS_DENIED, ERROR_SHARING_VIOLATION}},
      {"GetFileAttributesA", {ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED}},
      {"FindFirstFile", {ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED}},
      {"GetShortPathNameA", {ERROR_FILE_NOT_FOUND}},
      {"GetTempFileNameA", {ERROR_ACCESS_DENIED, ERROR_DISK_FULL}},
      {"GetWindowsDirectoryA", {ERROR_FILE_NOT_FOUND}},
      {"GetSystemDirectoryA", {ERROR_FILE_NOT_FOUND}},
      {"GetCurrentDirectoryA", {ERROR_FILE_NOT_FOUND}},
      {"GetTempPathA", {ERROR_FILE_NOT_FOUND}},
      {"GetVersionExA", {ERROR_ACCESS_DENIED}},
      {"DeviceIoControl", {ERROR_NOT_SUPPORTED, ERROR_GEN_FAILURE}},
      {"ShellExecuteA", {kShellAccessDenied, kShellNotFound}},
      {"RegOpenKeyExA",
       {ERROR_ACCESS_DENIED, ERROR_FILE_NOT_FOUND, kRegistryFailed}},
      {"RegCreateKeyExA", {ERROR_ACCESS_DENIED, kRegistryFailed}},
      {"RegQueryValueExA",
       {ERROR_ACCESS_DENIED, ERROR_FILE_NOT_FOUND, kRegistryFailed}},
      {"RegSetValueExA", {ERROR_ACCESS_DENIED, kRegistryFailed}},
      {"RegDeleteValueA", {ERROR_ACCESS_DENIED, kRegistryFailed}},
      {"RegDeleteKeyA", {ERROR_ACCESS_DENIED, kRegistryFailed}},
      {"RegEnumKeyExA", {kRegistryFailed}},
      {"RegEnumValueA", {kRegistryFailed}},
      {"RegQueryInfoKeyA", {kRegistryFailed}},
  };
  auto found = errors.find(call);
  return found == errors.end() ? std::vector<uint32_t>() : found->second;
}

bool IsStreamCall(const std::string& call) {
  static const std::set<std::string> streams = {"Open",  "Gets",  "Getc",
                                                "Read",  "Puts",  "Putc",
                                                "Write", "Flush", "Close"};
  return streams.count(call) != 0;
}

// Every file of the machine's drives by Windows path ("C:\\CONFIG.SYS").
using Files = std::map<std::string, std::string>;

Files Snapshot(const sim::Machine& machine) {
  Files files;
  const fs::path root = machine.Root();
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (!entry.is_regular_file()) continue;
    const fs::path relative = fs::relative(entry.path(), root);
    auto part = relative.begin();
    const std::string drive = part->string();
    if (drive.size() != 1) continue;  // machine.ini, registry.reg
    // Windows names are case-insensitive: a file rewritten under another
    // spelling is the same file.
    std::string path = drive + ":";
    for (++part; part != relative.end(); ++part) path += "\\" + part->string();
    for (char& c : path) c = char(toupper((unsigned char)c));
    std::ifstream in(entry.path(), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    files[path] = bytes.str();
  }
  return files;
}

// The registry by key: its values as exported.
using Keys = std::map<std::string, std::string>;

Keys Registry(const sim::Machine& machine) {
  Keys keys;
  std::istringstream text(machine.ExportRegistry());
  std::string line, key;
  while (std::getline(text, line)) {
    if (line.size() > 2 && line.front() == '[' && line.back() == ']') {
      key = line.substr(1, line.size() - 2);
      keys[key];
    } else if (!key.empty() && !line.empty()) {
      keys[key] += line + "\n";
    }
  }
  return keys;
}

const char kPersistent[] = "HKEY_CURRENT_USER\\Network\\Persistent\\";

bool IsConnectionKey(const std::string& key) {
  const size_t length = sizeof kPersistent - 1;
  return key.size() == length + 1 &&
         strncasecmp(key.c_str(), kPersistent, length) == 0;
}

bool ContainsNoCase(const std::string& text, const std::string& part) {
  if (part.empty()) return true;
  for (size_t i = 0; i + part.size() <= text.size(); ++i)
    if (strncasecmp(text.c_str() + i, part.c_str(), part.size()) == 0)
      return true;
  return false;
}

std::string FileName(const std::string& path) {
  const size_t slash = path.rfind('\\');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// What a scenario leaves besides files and keys.
struct Outcome {
  bool ok = false;
  bool modified = false;
  bool restartPending = false;
  bool closePosted = false;
  bool operator==(const Outcome& o) const {
    return ok == o.ok && modified == o.modified &&
           restartPending == o.restartPending && closePosted == o.closePosted;
  }
};

// One scenario on a fresh machine each time: Prepare() boots it and brings
// the program to the point before the act, Act() runs what the sweep
// faults, Finish() ends the program.
class Scenario {
 public:
  virtual ~Scenario() = default;
  virtual std::string Name() const = 0;
  virtual void Prepare() = 0;
  virtual Outcome Act() = 0;
  // The flags a failed act must leave (the ones before it) and a
  // successful one sets.
  virtual void CheckFlags(const Outcome& outcome, std::string* problems) = 0;
  virtual void Finish() {
    scope.reset();
    machine.reset();
  }
  sim::Machine& Machine() { return *machine; }

 protected:
  void Boot(const std::string& fixture) {
    scope.reset();
    machine = sim::Machine::Load(fixture);
    // Boxes are judged by the sweep; any box is answered with its
    // cancel-like button unless a scenario queued an answer.
    machine->SetFailureHandler([this](const std::string& message) {
      if (message.find("message box") != std::string::npos) return;
      machineFailures.push_back(message);
    });
    scope = std::make_unique<platform::PlatformScope>(machine->Platform());
  }

 public:
  std::vector<std::string> machineFailures;

 private:
  std::unique_ptr<sim::Machine> machine;
  std::unique_ptr<platform::PlatformScope> scope;
};

const char kSaveFailed[] = "Save operation failed.";
// A Letters.ini of an earlier save, so that the save has one to replace.
const char kEarlierLetters[] = "/WD=(0000-0000)\r\n";

// Kromva32 on a machine: its list view with the letters the user gave.
class ViewScenario : public Scenario {
 public:
  struct Step {
    char drive;
    char letter;
  };
  ViewScenario(std::string fixture, int saveBy, std::vector<Step> steps)
      : fixture(std::move(fixture)), saveBy(saveBy), steps(std::move(steps)) {}

  void Prepare() override {
    Boot(fixture);
    // A new run of the program: the temporary files an earlier run kept
    // lie on another machine, so their names are free again.
    IsKeptTemporary("temp.tmp");
    IsKeptTemporary("DrvSpIni.tmp");
    Machine().WriteFile("C:\\Pelmora\\Letters.ini", kEarlierLetters);
    options.saveBy = saveBy;
    frame = std::make_unique<CWnd>();
    frame->CreateEx(0, "PelmoraFrame", "Pelmora",
                    WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(100, 50, 740, 530),
                    nullptr, 0);
    view = std::make_unique<DriveListView>(&options);
    created = view->CreateEx(0, "", "", WS_VISIBLE | LVS_REPORT,
                             CRect(0, 0, 640, 440), frame.get(), driveListId);
    headless::Windows::Get().PumpMessages();
    for (const Step& step : steps) {
      headless::ClickRow(view.get(), view->FindItem(step.drive - 'A'));
      headless::Windows::Get().PumpMessages();
      view->OnCmdMsg(ID_LETTER_A + unsigned(step.letter - 'A'), CN_COMMAND,
                     nullptr);
    }
    modifiedBefore = view->modified;
    restartBefore = view->restartPending;
    Machine().User().Forget();
  }

  void Finish() override {
    view.reset();
    if (frame) frame->DestroyWindow();
    frame.reset();
    headless::Windows::Get().Reset();
    Scenario::Finish();
  }

 protected:
  Outcome Flags(bool ok) {
    Outcome outcome;
    outcome.ok = ok;
    outcome.modified = view->modified;
    outcome.restartPending = view->restartPending;
    headless::Windows::Get().PumpMessages();
    outcome.closePosted = headless::Defaulted(frame.get(), WM_CLOSE, 0);
    return outcome;
  }

  std::string fixture;
  int saveBy;
  std::vector<Step> steps;
  OptionsDialog options;
  std::unique_ptr<CWnd> frame;
  std::unique_ptr<DriveListView> view;
  bool created = false;
  bool modifiedBefore = false, restartBefore = false;
};

class SaveScenario : public ViewScenario {
 public:
  using ViewScenario::ViewScenario;
  std::string Name() const override { return "save on " + fixture; }
  Outcome Act() override {
    if (!created) return Outcome();
    return Flags(view->SaveAssignment());
  }
  void CheckFlags(const Outcome& outcome, std::string* problems) override {
    const std::vector<sim::Box>& boxes = Machine().User().Boxes();
    const bool failedShown = !boxes.empty() && boxes.back().text == kSaveFailed;
    if (outcome.ok) {
      if (outcome.modified || !outcome.restartPending)
        *problems += "a successful save leaves the flags unsaved/no restart; ";
      if (failedShown) *problems += "\"Save operation failed.\" on success; ";
    } else {
      if (outcome.modified != modifiedBefore ||
          outcome.restartPending != restartBefore)
        *problems += "a failed save changed the flags; ";
      if (!failedShown)
        *problems +=
            "a failed save does not end with \"Save operation "
            "failed.\"; ";
    }
  }
};

class DisableScenario : public ViewScenario {
 public:
  using ViewScenario::ViewScenario;
  std::string Name() const override { return "disable on " + fixture; }
  Outcome Act() override {
    if (!created) return Outcome();
    // Disable and Exit is a command without a result: its effect is the
    // emptied Letters.ini and the close it posts.
    view->OnCmdMsg(ID_FILE_DISABLE_AND_EXIT, CN_COMMAND, nullptr);
    Outcome outcome = Flags(false);
    outcome.ok = outcome.closePosted;
    return outcome;
  }
  void CheckFlags(const Outcome& outcome, std::string* problems) override {
    if (outcome.ok) {
      if (outcome.modified || !outcome.restartPending)
        *problems += "a done Disable and Exit leaves the flags; ";
    } else if (outcome.modified != modifiedBefore ||
               outcome.restartPending != restartBefore) {
      *problems += "a failed Disable and Exit changed the flags; ";
    }
  }
};

// Quobrill on a machine, with its resources, the installer's window as
// owner, and a user who ends "Setup Completed" without starting Kromva32.
class SetupScenario : public Scenario {
 public:
  SetupScenario(std::string fixture, bool install)
      : fixture(std::move(fixture)), install(install) {}
  std::string Name() const override {
    return (install ? "install on " : "uninstall on ") + fixture;
  }
  void Prepare() override {
    Boot(fixture);
    static headless::Resources resources;
    static bool loaded = false;
    if (!loaded) {
      std::string error;
      loaded = headless::ParseResourceScript(QUOBRILL_RC, &resources, &error);
      EXPECT_TRUE(loaded) << error;
    }
    headless::SetResources(resources);
    SetSetupOwner(0x4242);
    headless::DialogUser& dialogs = headless::DialogUser::Get();
    dialogs.Reset();
    dialogs.SetFailureHandler([](const std::string&) {});
    if (!install) {
      // What is uninstalled is a finished install.
      Expect();
      InstallExtension();
      Machine().User().Forget();
      dialogs.Reset();
    }
    Expect();
  }
  Outcome Act() override {
    if (install)
      InstallExtension();
    else
      UninstallExtension();
    Outcome outcome;
    // Quobrill's functions report failures by their boxes only.
    outcome.ok = true;
    for (const sim::Box& box : Machine().User().Boxes())
      if (box.type & MB_ICONERROR) outcome.ok = false;
    return outcome;
  }
  void CheckFlags(const Outcome&, std::string*) override {}
  void Finish() override {
    headless::DialogUser::Get().Reset();
    SetSetupOwner(0);
    Scenario::Finish();
  }

 private:
  void Expect() {
    headless::DialogUser::Get().Expect(
        IDD_SETUP_COMPLETED,
        {headless::Click(IDC_RUN_PELMORA), headless::Click(IDC_FINISH)});
  }
  std::string fixture;
  bool install;
};

struct Tally {
  int scenarios = 0;
  int calls = 0;  // distinct platform calls made fail
  int runs = 0;   // calls x errors
  int messagesChecked = 0;
  int withSystemText = 0;  // ... of which show the system's text for it
  int silentAndHarmless = 0;
  int takenForMissing = 0;
  int filesLost = 0;
  int keysLost = 0;
  int connectionsLost = 0;
  int problems = 0;
};

// "Not found" from a call that finds a file or key: the program takes it
// for one that is missing, which its rules allow to be silent.
bool IsNotFound(const std::string& call, uint32_t error) {
  if (IsStreamCall(call)) return call == "Open" && error == ENOENT;
  return error == ERROR_FILE_NOT_FOUND;
}

// What one faulted run left, judged against the state before and the clean
// run's.
struct Judge {
  const Files& before;
  const Files& clean;
  const Keys& keysBefore;
  const Keys& keysClean;
  const Outcome& cleanOutcome;
  const std::vector<sim::Box>& cleanBoxes;

  std::string Check(sim::Machine& machine, const Outcome& outcome,
                    bool notFound, const char* systemText, Tally* tally) const {
    std::string problems;
    const Files after = Snapshot(machine);
    const Keys keys = Registry(machine);
    // The boxes the clean run does not show: what tells of the failure.
    std::multiset<std::string> usual;
    for (const sim::Box& box : cleanBoxes) usual.insert(box.text);
    std::string shown;
    int told = 0;
    for (const sim::Box& box : machine.User().Boxes()) {
      shown += box.text + "\n";
      auto found = usual.find(box.text);
      if (found != usual.end())
        usual.erase(found);
      else
        ++told;
    }

    // Files: each original unchanged, written whole, or kept in a
    // temporary file that a message names. A difference from the clean run
    // is litter when nothing of the user's depends on it: an original the
    // clean run deletes and this run left as it was, a new file that is a
    // copy of an original.
    bool undone = false;  // something the clean run did is not done
    bool litter = false;
    for (const auto& original : before) {
      const std::string& path = original.first;
      auto now = after.find(path);
      auto cleanNow = clean.find(path);
      const bool unchanged =
          now != after.end() && now->second == original.second;
      const bool asClean =
          cleanNow == clean.end()
              ? now == after.end()
              : now != after.end() && now->second == cleanNow->second;
      if (asClean) continue;
      if (unchanged) {
        if (cleanNow == clean.end())
          litter = true;
        else
          undone = true;
        continue;
      }
      undone = true;
      bool kept = false;
      for (const auto& other : after) {
        if (before.count(other.first) || cleanNow == clean.end()) continue;
        if (other.second == cleanNow->second &&
            ContainsNoCase(shown, FileName(other.first)))
          kept = true;
      }
      if (kept) continue;
      ++tally->filesLost;
      problems += "lost " + path + "; ";
    }
    for (const auto& file : after) {
      if (before.count(file.first)) continue;
      auto cleanNow = clean.find(file.first);
      if (cleanNow != clean.end() && cleanNow->second == file.second) continue;
      bool copy = false, holdsNewContent = false;
      for (const auto& b : before)
        if (b.second == file.second) copy = true;
      for (const auto& c : clean)
        if (c.second == file.second && before.count(c.first) &&
            before.at(c.first) != c.second)
          holdsNewContent = true;
      if (holdsNewContent && ContainsNoCase(shown, FileName(file.first))) {
        undone = true;
      } else if (copy && cleanNow == clean.end()) {
        litter = true;
      } else if (cleanNow != clean.end()) {
        undone = true;
        problems += "wrote part of " + file.first + "; ";
      } else {
        undone = true;
        problems += "left " + file.first + " behind; ";
      }
    }
    for (const auto& file : clean)
      if (!before.count(file.first) && !after.count(file.first)) undone = true;

    // Keys: none that the clean run keeps may go; connections may move but
    // each must stay whole somewhere.
    if (keys != keysClean) undone = true;
    for (const auto& key : keysBefore) {
      if (IsConnectionKey(key.first)) {
        bool found = false;
        for (const auto& now : keys)
          if (IsConnectionKey(now.first) && now.second == key.second)
            found = true;
        if (!found) {
          ++tally->connectionsLost;
          problems += "lost connection " + key.first + "; ";
        }
        continue;
      }
      if (keysClean.count(key.first) && !keys.count(key.first)) {
        ++tally->keysLost;
        problems += "lost key " + key.first + "; ";
      }
    }
    if (!(outcome == cleanOutcome)) undone = true;

    // Messages: whatever did not go as in the clean run is told, unless
    // the failure looked like a missing file or key.
    if (told > 0) {
      ++tally->messagesChecked;
      if (systemText && shown.find(systemText) != std::string::npos)
        ++tally->withSystemText;
    } else if (!undone) {
      ++tally->silentAndHarmless;
      litter = false;
    } else if (notFound) {
      ++tally->takenForMissing;
    } else {
      problems += "no message; ";
    }
    if (litter && told == 0) ++tally->silentAndHarmless;
    for (const sim::Box& box : machine.User().Boxes()) {
      if (box.text.empty()) problems += "an empty box; ";
      for (const char* directive : {"%s", "%c", "%d", "%X", "%u"})
        if (box.text.find(directive) != std::string::npos)
          problems += "unformatted box \"" + box.text + "\"; ";
    }
    if (outcome.ok && undone && !notFound)
      problems += "reports success but did not do all of it; ";
    return problems;
  }
};

class FaultSweep : public ::testing::Test {
 protected:
  static Tally total;
  static void TearDownTestSuite() {
    printf(
        "fault sweep: %d scenarios, %d failing calls (%d runs with each "
        "error), %d messages checked (%d with the system's text for the "
        "error), %d runs silent and harmless, %d taken "
        "for a missing file or key; files lost %d, keys lost %d, connections "
        "lost %d; %d runs with problems\n",
        total.scenarios, total.calls, total.runs, total.messagesChecked,
        total.withSystemText, total.silentAndHarmless, total.takenForMissing,
        total.filesLost, total.keysLost, total.connectionsLost, total.problems);
  }

  void Sweep(Scenario& scenario) {
    ++total.scenarios;
    // The clean run: the calls it makes and what it leaves.
    scenario.Prepare();
    sim::Machine& first = scenario.Machine();
    const Files before = Snapshot(first);
    const Keys keysBefore = Registry(first);
    first.ClearCallLog();
    first.User().ClearBoxes();
    const Outcome cleanOutcome = scenario.Act();
    const std::vector<std::string> log = first.CallLog();
    const Files clean = Snapshot(first);
    const Keys keysClean = Registry(first);
    const std::vector<sim::Box> cleanBoxes = first.User().Boxes();
    ASSERT_TRUE(scenario.machineFailures.empty())
        << scenario.Name() << ": " << scenario.machineFailures[0];
    ASSERT_TRUE(cleanOutcome.ok) << scenario.Name() << " fails unfaulted";
    scenario.Finish();

    Judge judge{before, clean, keysBefore, keysClean, cleanOutcome, cleanBoxes};
    std::map<std::string, int> seen;
    for (const std::string& entry : log) {
      const std::string call = entry.substr(0, entry.find(' '));
      const int occurrence = ++seen[call];
      const std::vector<uint32_t> errors = ErrorsOf(call);
      if (errors.empty()) continue;
      ++total.calls;
      for (uint32_t error : errors) {
        ++total.runs;
        scenario.machineFailures.clear();
        scenario.Prepare();
        sim::Machine& machine = scenario.Machine();
        machine.SetCallLogging(false);
        machine.User().ClearBoxes();
        machine.Faults().Fail(call, error, occurrence);
        const Outcome outcome = scenario.Act();
        std::string problems;
        if (machine.Faults().Fired() != 1)
          problems += "the fault did not fire; ";
        const char* systemText =
            IsStreamCall(call)
                ? (int(error) < sim::kCrtErrorCount ? sim::kCrtErrors[error]
                                                    : nullptr)
                : sim::SystemMessage(error);
        problems += judge.Check(machine, outcome, IsNotFound(call, error),
                                systemText, &total);
        scenario.CheckFlags(outcome, &problems);
        for (const std::string& failure : scenario.machineFailures)
          problems += "machine: " + failure + "; ";
        if (!problems.empty()) {
          ++total.problems;
          std::string shown;
          for (const sim::Box& box : machine.User().Boxes())
            shown += "\n    box: " + box.text;
          ADD_FAILURE() << scenario.Name() << ", call " << occurrence << " of "
                        << call << " (" << entry << ") failing with "
                        << (IsStreamCall(call) ? "errno " : "code ") << error
                        << ": " << problems << shown;
        }
        scenario.Finish();
      }
    }
  }
};

Tally FaultSweep::total;

TEST_F(FaultSweep, SaveOnEachMachine) {
  SaveScenario disks("roundtrip-disks", 0,
                     {{'E', 'R'}, {'D', 'E'}, {'F', 'D'}});
  Sweep(disks);
  SaveScenario driveSpace("roundtrip-drivespace", 0, {{'H', 'G'}, {'D', 'E'}});
  Sweep(driveSpace);
  SaveScenario network("roundtrip-network", 1, {{'D', 'R'}, {'N', 'G'}});
  Sweep(network);
  SaveScenario demo("demo", 0, {{'E', 'R'}, {'G', 'N'}});
  Sweep(demo);
}

TEST_F(FaultSweep, DisableAndExit) {
  DisableScenario disks("roundtrip-disks", 0, {{'D', 'E'}});
  Sweep(disks);
}

TEST_F(FaultSweep, InstallAndUninstall) {
  for (const char* fixture : {"win98-setup", "winme-setup"}) {
    SetupScenario install(fixture, true);
    Sweep(install);
    SetupScenario uninstall(fixture, false);
    Sweep(uninstall);
  }
}

}  // namespace
