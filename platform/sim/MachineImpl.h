// The simulated machine's insides, shared by its parts; not for tests.
#pragma once
#include <stdint.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/sim/Faults.h"
#include "platform/sim/Machine.h"
#include "platform/sim/ScriptedUser.h"
#include "platform/sim/SimParts.h"

namespace sim {

// A parsed machine.ini: sections in file order, keys case-insensitive.
struct IniSection {
  std::string name;
  std::vector<std::pair<std::string, std::string>> entries;
  const std::string* Find(const std::string& key) const;
};
std::vector<IniSection> ParseIni(const std::string& text,
                                 const std::string& fileName);
// The driver's facts of a drive from its section's keys (Driver.cpp).
void ParseDriveDevice(Drive& drive, const std::string& root,
                      const std::string& where);

// Per-file facts Windows keeps and a host folder does not.
struct FileMeta {
  uint32_t attributes;
  FileTime creation;
  FileTime access;
  FileTime write;
};

class MachineImpl {
 public:
  MachineImpl();
  ~MachineImpl();

  void LoadFrom(const std::string& root);

  // Logs the call and says whether a fault makes it fail. `call` is a
  // string literal: its counter is found by its address.
  bool Enter(const char* call, const std::string& argument, uint32_t* code);
  void Fail(const std::string& message) { onFailure(message); }
  // Frees what the shell still holds when the machine ends (Shell.cpp).
  void ReleaseShell();

  Drive* FindDrive(char letter);
  // The time now, advanced by 1 ms per query.
  FileTime Tick() {
    clock += 10000;
    return clock;
  }

  // Metadata of an existing file or folder, created from the host on first
  // use.
  FileMeta& Meta(const WinPath& path, const std::string& host);
  void ForgetMeta(const WinPath& path);
  void MoveMeta(const WinPath& from, const WinPath& to);
  // The file was written now: new write time, archive bit.
  void Touch(const WinPath& path, const std::string& host, bool created);

  std::string root;
  std::string fixtureName;
  bool keep = false;
  FailureHandler onFailure;
  ScriptedUser user;
  Faults faults;
  std::vector<IniSection> ini;
  std::map<char, Drive> drives;

  // [Machine]
  uint32_t major = 4, minor = 10, build = 2222, platformId = 1;
  std::string csd = " A ";
  bool hasFreeSpaceEx = true;
  std::string windowsDir, systemDir, tempPath, programPath, currentDir;
  std::set<std::string> associations;  // upper-case ".HTML", "HTTP:"

  FileTime clock;
  uint32_t tickBase = 0;
  FileTime bootClock;
  uint64_t slept = 0;
  uint32_t lastTempNumber = 0;  // GetTempFileNameA's counter
  uint32_t lastError = 0;
  int errnoValue = 0;
  std::vector<uint32_t> exitRequests;
  std::vector<ShellCall> shellCalls;
  std::vector<ProcessRun> processRuns;
  ProcessRunner processRunner;
  std::vector<std::string> callLog;
  bool logging = true;
  // By call name; looked up by the name as passed, without a copy.
  std::map<std::string, uint64_t, std::less<>> callCounts;
  // The counters of the names last seen, by the name's address: callers
  // pass string literals, so a stream's Gets is counted without a search.
  struct CountSlot {
    const char* name = nullptr;
    uint64_t* count = nullptr;
  };
  static const size_t countSlots = 64;
  CountSlot countCache[countSlots];
  std::map<std::string, FileMeta> meta;  // by WinPath::Key()
  std::map<std::string, int> openFiles;  // by WinPath::Key(): stream count
  std::set<void*> allocations;
  bool services16 = true;   // [Machine] Services16
  bool driveSpace = false;  // [Machine] DriveSpace
  std::vector<DriverRequest> driverRequests;

  // [Shell] and the shell's live objects (Shell.cpp).
  std::set<char> shellHidden;
  std::vector<std::pair<std::string, std::string>> shellExtraItems;
  std::string shellNameKind = "wide";
  int shellIconWidth = 16;
  std::set<void*> shellItems;
  std::set<void*> shellStrings;
  std::set<void*> shellObjects;
  std::map<IconHandle, int> icons;  // handle: width
  IconHandle nextIcon = 0x3A10;
  std::vector<ContextCommand> contextCommands;

  std::unique_ptr<SimKernel> kernel;
  std::unique_ptr<SimFiles> files;
  std::unique_ptr<SimRegistry> registry;
  std::unique_ptr<SimPrompts> prompts;
  std::unique_ptr<SimShell> shell;
  std::unique_ptr<SimDriver> driver;
  std::unique_ptr<SimServices16> services16Impl;
};

}  // namespace sim
