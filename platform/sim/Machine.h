// A simulated Windows 9x machine, loaded from a fixture folder under
// machines/ (see machines/README.md). It implements the whole platform seam
// over a private copy of the fixture, so tests can run the system on it and
// read back files and registry exactly as a user would see them.
#pragma once
#include <stdint.h>

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/sim/Faults.h"
#include "platform/sim/ScriptedUser.h"

namespace sim {

// What the letter-assignment driver reports about a drive (machines/README.md
// names the keys).
struct DriveDevice {
  uint8_t biosUnit = 0xFF;  // int 13h unit, 0xFF for none
  uint8_t dosDeviceType = 5;
  // The generic IOCTL categories DOS answers for the drive; none: DOS does
  // not serve it as a block device (a CD-ROM behind MSCDEX).
  std::vector<uint8_t> categories;
  bool protectedModeOnly = false;
  bool sharesPhysicalDrive = false;
  uint32_t deviceNode = 0;  // 0: no device (request 2 fails)
  std::string deviceKey;
  std::string bootSector;  // raw bytes; empty: made from the drive's facts
  char compressedOn = 0;   // a DriveSpace volume on this host letter
  uint8_t cvfSequence = 0;
  bool swappedWithHost = false;
  std::set<std::string> refuse;  // "440D", "440E", "13", "KEY"
};

// A request as the simulated driver received it: request 1 with the 56
// packet bytes before the interrupt ran, request 2 with its 12 bytes.
struct DriverRequest {
  uint32_t code;
  uint32_t inSize;
  uint32_t outSize;
  std::string bytes;
};

// One drive letter as the fixture describes it. Sizes are kept in clusters
// so that both free-space calls answer from the same numbers.
struct Drive {
  char letter;
  uint32_t type;  // DRIVE_ constant
  std::string label;
  uint32_t serial;
  std::string fileSystem;
  uint32_t sectorsPerCluster;
  uint32_t bytesPerSector;
  uint64_t totalClusters;
  uint64_t freeClusters;
  bool ready;     // false: no media in the drive
  bool readOnly;  // write-protected media
  // Every key of the drive's section, as written (case-insensitive names).
  std::map<std::string, std::string> properties;
  DriveDevice device;
  // The letter MS-DOS gives the drive at boot, before the DOS-mode companion
  // changes it; learnt at the first Restart(), 0 until then.
  char dosLetter = 0;

  uint64_t ClusterBytes() const {
    return uint64_t(sectorsPerCluster) * bytesPerSector;
  }
  uint64_t TotalBytes() const { return totalClusters * ClusterBytes(); }
  uint64_t FreeBytes() const { return freeClusters * ClusterBytes(); }
  bool HasProperty(const std::string& key) const;
  // The section's value for `key`, or `fallback` when it has none.
  std::string Property(const std::string& key,
                       const std::string& fallback = "") const;
};

// A ShellExecuteA call as made.
struct ShellCall {
  WindowHandle owner;
  std::string verb;
  std::string file;
  std::string parameters;
  std::string directory;
  int showCommand;
  intptr_t result;
};

// A program started through RunProcessAndWait: its file (unquoted), the
// rest of the command line, and the working directory ("" for none).
struct ProcessRun {
  std::string program;
  std::string arguments;
  std::string directory;
};
// Plays the started program on the same machine; its answer is the exit
// code.
typedef std::function<uint32_t(const ProcessRun& run)> ProcessRunner;

// A context-menu command as the simulated shell carried it out.
struct ContextCommand {
  std::string item;  // the item's parsing name, "C:\\"
  uint32_t verbIndex;
  std::string verb;  // "open", "explore", "properties"
  WindowHandle owner;
  int showCommand;
};

// A registry value as stored.
struct RegValue {
  uint32_t type;
  std::string data;  // raw bytes; REG_SZ includes its terminator
};

class MachineImpl;

class Machine {
 public:
  // Copies the fixture (a folder name under the repository's machines/, or
  // an absolute path) into a fresh temporary folder and loads it. Throws
  // std::runtime_error with a readable reason (file and line) when the
  // fixture is missing or malformed.
  static std::unique_ptr<Machine> Load(const std::string& fixture);
  // Saves the registry into the copy, then removes the copy unless
  // KeepFiles() was called.
  ~Machine();
  Machine(const Machine&) = delete;
  Machine& operator=(const Machine&) = delete;

  // The five seam implementations of this machine.
  platform::Platform Platform();
  ScriptedUser& User();
  sim::Faults& Faults();
  // Test failures found by the machine (an unexpected box, a missing file
  // asked for by ReadFile ...) go here; by default they are printed and the
  // process aborts.
  void SetFailureHandler(FailureHandler handler);
  void Fail(const std::string& message);

  // The copy's folder, and the host path of a Windows path in it
  // (case-insensitive on the way, as Windows is).
  std::string Root() const;
  std::string HostPath(const std::string& windowsPath) const;
  // Raw file bytes; a missing file is reported to the failure handler and
  // reads as "".
  std::string ReadFile(const std::string& windowsPath);
  // Writes raw bytes, creating the folders on the way.
  void WriteFile(const std::string& windowsPath, const std::string& bytes);
  bool Exists(const std::string& windowsPath) const;
  // Keeps the copy after the machine ends and prints where it is.
  void KeepFiles();

  // The registry as REGEDIT4 text, and saved into the copy's registry.reg.
  std::string ExportRegistry() const;
  void SaveRegistry();
  // Direct looks at the registry for tests ("HKEY_CURRENT_USER\\Software").
  bool RegistryKeyExists(const std::string& keyPath) const;
  // False when the key or the value is missing; name "" is the default.
  bool RegistryValue(const std::string& keyPath, const std::string& name,
                     RegValue* value) const;

  // Facts of the machine.
  Drive* drive(char letter);
  std::vector<char> DriveLetters() const;
  // A [Machine] (or other section's) value of machine.ini, "" when absent.
  std::string Property(const std::string& section,
                       const std::string& key) const;
  uint64_t SleptMilliseconds() const;
  // Restarts the machine as its boot would: MS-DOS, DriveSpace, the
  // DOS-mode companion, MSCDEX and Windows give the drives their letters
  // from the files and registry values they read, the drives move there with
  // their files, and the companion writes its drivemap.dat (rules in
  // machines/README.md). The program must have ended: an open stream, driver
  // handle, DOS block or registry key is reported and nothing changes.
  void Restart();
  // The flags of every ExitWindowsEx call.
  std::vector<uint32_t> ExitRequests() const;
  std::vector<ShellCall> ShellCalls() const;
  // Programs started: an existing program file runs `runner` (no runner:
  // it ends at once with 0), a missing one fails as CreateProcessA does.
  void SetProcessRunner(ProcessRunner runner);
  std::vector<ProcessRun> ProcessRuns() const;
  // The running program's path (GetModuleFileNameA), for a runner that
  // plays another program.
  std::string ProgramPath() const;
  void SetProgramPath(const std::string& path);
  // The simulated clock: every clock or tick query advances it by 1 ms,
  // Sleep by the time slept.
  FileTime Now() const;
  void SetClock(FileTime now);
  void AdvanceClock(uint64_t milliseconds);
  // Every seam call with its main argument, in order
  // ("RegOpenKeyExA HKEY_LOCAL_MACHINE\\Software\\X",
  //  "Open C:\\drivemap.dat rt").
  std::vector<std::string> CallLog() const;
  void ClearCallLog();
  // Recording the log costs memory per call; long runs can turn it off.
  // The counts per call name are kept either way.
  void SetCallLogging(bool enabled);
  uint64_t CallCount(const std::string& call) const;
  // Streams open now.
  int OpenStreams() const;
  // The letter-assignment driver: every request it received, its handles
  // open now, and the conventional-memory blocks allocated now.
  std::vector<DriverRequest> DriverRequests() const;
  void ClearDriverRequests();
  int OpenDriverHandles() const;
  int DosBlocks() const;

  // The shell: item id lists, wide names, interface objects (folders,
  // enumerations, context menus) and icons not yet freed, and every context
  // menu command carried out.
  int OutstandingShellItems() const;
  int OutstandingShellStrings() const;
  int OutstandingShellObjects() const;
  int OutstandingIcons() const;
  std::vector<ContextCommand> ContextCommands() const;

  MachineImpl& Impl() { return *impl; }

 private:
  Machine();
  std::unique_ptr<MachineImpl> impl;
};

// A FileTime for a calendar time in UTC, for tests and fixtures.
FileTime MakeFileTime(int year, int month, int day, int hour = 0,
                      int minute = 0, int second = 0);

}  // namespace sim
