// Loading a fixture into a private copy, and the machine's facts for tests.
#include "platform/sim/Machine.h"

#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "platform/Codes.h"
#include "platform/sim/MachineImpl.h"

#ifndef PELMORA_SOURCE_DIR
#error "PELMORA_SOURCE_DIR must name the repository root"
#endif

namespace fs = std::filesystem;

namespace sim {

namespace {

std::string ReadHostFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string Trim(const std::string& text) {
  size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return "";
  size_t last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

[[noreturn]] void LoadError(const std::string& message) {
  throw std::runtime_error(message);
}

bool ParseNumber(const std::string& text, uint64_t* value, int base = 10) {
  if (text.empty()) return false;
  char* end = nullptr;
  unsigned long long number = strtoull(text.c_str(), &end, base);
  if (*end || text[0] == '-') return false;
  *value = number;
  return true;
}

}  // namespace

FileTime MakeFileTime(int year, int month, int day, int hour, int minute,
                      int second) {
  // Days since 1601-01-01 by the proleptic Gregorian calendar.
  auto days_from_civil = [](int64_t y, int64_t m, int64_t d) {
    y -= m <= 2;
    int64_t era = (y >= 0 ? y : y - 399) / 400;
    int64_t yoe = y - era * 400;
    int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;  // days since 1970-01-01
  };
  int64_t days = days_from_civil(year, month, day) + 134774;
  int64_t seconds = days * 86400 + hour * 3600 + minute * 60 + second;
  return FileTime(seconds) * 10000000u;
}

const std::string* IniSection::Find(const std::string& key) const {
  for (const auto& entry : entries)
    if (EqualNoCase(entry.first, key)) return &entry.second;
  return nullptr;
}

std::vector<IniSection> ParseIni(const std::string& text,
                                 const std::string& fileName) {
  std::vector<IniSection> sections;
  std::istringstream lines(text);
  std::string line;
  int number = 0;
  while (std::getline(lines, line)) {
    ++number;
    line = Trim(line);
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;
    std::string where = fileName + " line " + std::to_string(number) + ": ";
    if (line[0] == '[') {
      if (line.back() != ']')
        LoadError(where + "a section line must end with ']'");
      sections.push_back({Trim(line.substr(1, line.size() - 2)), {}});
      continue;
    }
    size_t equals = line.find('=');
    if (equals == std::string::npos)
      LoadError(where + "expected key=value, not \"" + line + "\"");
    if (sections.empty())
      LoadError(where + "a key must follow a [section] line");
    sections.back().entries.push_back(
        {Trim(line.substr(0, equals)), Trim(line.substr(equals + 1))});
  }
  return sections;
}

// ---------------------------------------------------------------- Drive

bool Drive::HasProperty(const std::string& key) const {
  for (const auto& p : properties)
    if (EqualNoCase(p.first, key)) return true;
  return false;
}

std::string Drive::Property(const std::string& key,
                            const std::string& fallback) const {
  for (const auto& p : properties)
    if (EqualNoCase(p.first, key)) return p.second;
  return fallback;
}

// ---------------------------------------------------------------- MachineImpl

MachineImpl::MachineImpl() : user(&onFailure) {
  onFailure = [](const std::string& message) {
    fprintf(stderr, "simulated machine: %s\n", message.c_str());
    abort();
  };
  clock = MakeFileTime(1999, 6, 1, 12, 0, 0);
  bootClock = clock;
  tickBase = 60000;
  kernel.reset(new SimKernel(*this));
  files.reset(new SimFiles(*this));
  registry.reset(new SimRegistry(*this));
  prompts.reset(new SimPrompts(*this));
  shell.reset(new SimShell(*this));
  driver.reset(new SimDriver(*this));
  services16Impl.reset(new SimServices16(*this));
}

MachineImpl::~MachineImpl() {
  for (void* memory : allocations) free(memory);
  ReleaseShell();
}

bool MachineImpl::Enter(const char* call, const std::string& argument,
                        uint32_t* code) {
  // Every seam call passes here, so the common case copies no string and
  // searches no map.
  CountSlot& slot =
      countCache[(reinterpret_cast<uintptr_t>(call) >> 3) % countSlots];
  if (slot.name != call) {
    slot.name = call;
    slot.count = &callCounts.emplace(call, 0).first->second;
  }
  ++*slot.count;
  if (logging) callLog.push_back(std::string(call) + " " + argument);
  return faults.Armed() && faults.Check(call, argument, code);
}

Drive* MachineImpl::FindDrive(char letter) {
  auto found = drives.find(char(toupper((unsigned char)letter)));
  return found == drives.end() ? nullptr : &found->second;
}

static FileTime HostTime(const struct timespec& time) {
  return (FileTime(time.tv_sec) + 11644473600ull) * 10000000ull +
         FileTime(time.tv_nsec / 100);
}

FileMeta& MachineImpl::Meta(const WinPath& path, const std::string& host) {
  auto found = meta.find(path.Key());
  if (found != meta.end()) return found->second;
  FileMeta fresh = {FILE_ATTRIBUTE_ARCHIVE, 0, 0, 0};
  struct stat info;
  if (stat(host.c_str(), &info) == 0) {
    FileTime modified = HostTime(info.st_mtim);
    fresh.creation = fresh.access = fresh.write = modified;
    if (S_ISDIR(info.st_mode)) fresh.attributes = FILE_ATTRIBUTE_DIRECTORY;
  }
  return meta[path.Key()] = fresh;
}

void MachineImpl::ForgetMeta(const WinPath& path) {
  for (auto it = meta.begin(); it != meta.end();) {
    WinPath entry;
    uint32_t ignored;
    if (ParseWinPath(it->first, "", &entry, &ignored) && entry.IsInside(path))
      it = meta.erase(it);
    else
      ++it;
  }
}

void MachineImpl::MoveMeta(const WinPath& from, const WinPath& to) {
  std::map<std::string, FileMeta> moved;
  for (auto it = meta.begin(); it != meta.end();) {
    WinPath entry;
    uint32_t ignored;
    if (ParseWinPath(it->first, "", &entry, &ignored) && entry.IsInside(from)) {
      WinPath target = to;
      for (size_t i = from.parts.size(); i < entry.parts.size(); ++i)
        target.parts.push_back(entry.parts[i]);
      moved[target.Key()] = it->second;
      it = meta.erase(it);
    } else {
      ++it;
    }
  }
  for (auto& entry : moved) meta[entry.first] = entry.second;
}

void MachineImpl::Touch(const WinPath& path, const std::string& host,
                        bool created) {
  FileMeta& entry = Meta(path, host);
  FileTime now = Tick();
  entry.write = entry.access = now;
  if (created) {
    entry.creation = now;
    entry.attributes = FILE_ATTRIBUTE_ARCHIVE;
  }
  entry.attributes |= FILE_ATTRIBUTE_ARCHIVE;
}

namespace {

uint32_t ParseDriveType(const std::string& text, const std::string& where) {
  static const struct {
    const char* name;
    uint32_t type;
  } kTypes[] = {{"fixed", DRIVE_FIXED},      {"removable", DRIVE_REMOVABLE},
                {"floppy", DRIVE_REMOVABLE}, {"cdrom", DRIVE_CDROM},
                {"remote", DRIVE_REMOTE},    {"network", DRIVE_REMOTE},
                {"ramdisk", DRIVE_RAMDISK},  {"none", DRIVE_NO_ROOT_DIR},
                {"unknown", DRIVE_UNKNOWN}};
  for (const auto& t : kTypes)
    if (EqualNoCase(text, t.name)) return t.type;
  LoadError(where + "Type=" + text +
            " is not one of fixed, removable, cdrom, remote, ramdisk, none, "
            "unknown");
}

bool ParseFlag(const IniSection& section, const char* key, bool fallback,
               const std::string& where) {
  const std::string* value = section.Find(key);
  if (!value) return fallback;
  if (*value == "1") return true;
  if (*value == "0") return false;
  LoadError(where + key + "=" + *value + " must be 0 or 1");
}

uint64_t Number(const IniSection& section, const char* key, uint64_t fallback,
                const std::string& where) {
  const std::string* value = section.Find(key);
  if (!value) return fallback;
  uint64_t number;
  if (!ParseNumber(*value, &number))
    LoadError(where + key + "=" + *value + " is not a number");
  return number;
}

Drive ParseDrive(char letter, const IniSection& section,
                 const std::string& where) {
  Drive drive;
  drive.letter = letter;
  for (const auto& entry : section.entries)
    drive.properties[entry.first] = entry.second;
  const std::string* type = section.Find("Type");
  if (!type) LoadError(where + "the drive has no Type=");
  drive.type = ParseDriveType(*type, where);
  drive.label = drive.Property("Label");
  drive.serial = 0;
  if (const std::string* serial = section.Find("Serial")) {
    std::string digits;
    for (char c : *serial)
      if (c != '-') digits += c;
    uint64_t number;
    if (digits.size() != 8 || !ParseNumber(digits, &number, 16))
      LoadError(where + "Serial=" + *serial +
                " must be 8 hex digits, as 1A2B-3C4D or 1A2B3C4D");
    drive.serial = uint32_t(number);
  }
  bool cdrom = drive.type == DRIVE_CDROM;
  drive.fileSystem = drive.Property("FileSystem", cdrom ? "CDFS" : "FAT");
  drive.ready = ParseFlag(section, "Ready", true, where);
  drive.readOnly = ParseFlag(section, "ReadOnly", cdrom, where);
  uint32_t defaultSectors = cdrom                                    ? 1
                            : EqualNoCase(drive.fileSystem, "FAT32") ? 8
                            : drive.type == DRIVE_REMOVABLE          ? 1
                                                                     : 64;
  drive.bytesPerSector =
      uint32_t(Number(section, "BytesPerSector", cdrom ? 2048 : 512, where));
  drive.sectorsPerCluster =
      uint32_t(Number(section, "SectorsPerCluster", defaultSectors, where));
  if (drive.bytesPerSector == 0 || drive.sectorsPerCluster == 0)
    LoadError(where + "BytesPerSector and SectorsPerCluster must not be 0");
  bool kb = section.Find("TotalKb") || section.Find("FreeKb");
  bool clusters = section.Find("TotalClusters") || section.Find("FreeClusters");
  if (kb && clusters)
    LoadError(where +
              "give the size either as TotalKb/FreeKb or as "
              "TotalClusters/FreeClusters, not both");
  if (kb) {
    if (Number(section, "FreeKb", 0, where) >
        Number(section, "TotalKb", 0, where))
      LoadError(where + "the free space is larger than the drive");
    uint64_t bytes = drive.ClusterBytes();
    drive.totalClusters = Number(section, "TotalKb", 0, where) * 1024 / bytes;
    drive.freeClusters = Number(section, "FreeKb", 0, where) * 1024 / bytes;
  } else {
    drive.totalClusters = Number(section, "TotalClusters", 0, where);
    drive.freeClusters = Number(section, "FreeClusters", 0, where);
  }
  if (drive.freeClusters > drive.totalClusters)
    LoadError(where + "the free space is larger than the drive");
  return drive;
}

}  // namespace

void MachineImpl::LoadFrom(const std::string& folder) {
  root = folder;
  std::string iniPath = root + "/machine.ini";
  if (!fs::exists(iniPath))
    LoadError("the machine has no machine.ini in " + fixtureName);
  ini = ParseIni(ReadHostFile(iniPath), "machine.ini");

  const IniSection* machine = nullptr;
  const IniSection* shellSection = nullptr;
  const IniSection* attributes = nullptr;
  for (const IniSection& section : ini) {
    std::string where = "machine.ini [" + section.name + "]: ";
    if (EqualNoCase(section.name, "Machine")) {
      machine = &section;
    } else if (EqualNoCase(section.name, "Shell")) {
      shellSection = &section;
    } else if (EqualNoCase(section.name, "Attributes")) {
      attributes = &section;
    } else if (section.name.size() == 7 &&
               EqualNoCase(section.name.substr(0, 6), "Drive ") &&
               isalpha((unsigned char)section.name[6])) {
      char letter = char(toupper((unsigned char)section.name[6]));
      if (drives.count(letter))
        LoadError(where + "the drive is described twice");
      drives[letter] = ParseDrive(letter, section, where);
      ParseDriveDevice(drives[letter], root, where);
      fs::create_directories(root + "/" + std::string(1, letter));
    }
  }

  IniSection empty;
  const IniSection& m = machine ? *machine : empty;
  std::string where = "machine.ini [Machine]: ";
  std::string version = m.Find("Version") ? *m.Find("Version") : "98";
  bool csdGiven = m.Find("CSDVersion") != nullptr;
  if (EqualNoCase(version, "95")) {
    major = 4, minor = 0, build = 950, csd = "";
  } else if (EqualNoCase(version, "98")) {
    major = 4, minor = 10, build = 2222, csd = " A ";
  } else if (EqualNoCase(version, "ME")) {
    major = 4, minor = 90, build = 3000, csd = " ";
  } else {
    unsigned a, b, c;
    char extra;
    if (sscanf(version.c_str(), "%u.%u.%u%c", &a, &b, &c, &extra) != 3)
      LoadError(where + "Version=" + version +
                " must be 95, 98, ME or major.minor.build");
    major = a, minor = b, build = c, csd = "";
  }
  if (csdGiven) csd = *m.Find("CSDVersion");
  platformId =
      uint32_t(Number(m, "Platform", VER_PLATFORM_WIN32_WINDOWS, where));
  // GetDiskFreeSpaceExA came with Windows 95 OSR2 (4.0.1111).
  bool osr2 = major > 4 || minor > 0 || build >= 1111;
  hasFreeSpaceEx = ParseFlag(m, "DiskFreeSpaceEx", osr2, where);
  services16 = ParseFlag(m, "Services16", platformId == 1, where);
  driveSpace = ParseFlag(m, "DriveSpace", false, where);
  auto text = [&](const char* key, const std::string& fallback) {
    const std::string* value = m.Find(key);
    return value ? *value : fallback;
  };
  windowsDir = text("WindowsDirectory", "C:\\WINDOWS");
  systemDir = text("SystemDirectory", windowsDir + "\\SYSTEM");
  tempPath = text("TempPath", windowsDir + "\\TEMP\\");
  programPath = text("ProgramPath", "C:\\Pelmora\\Kromva32.exe");
  currentDir =
      text("CurrentDirectory", programPath.substr(0, programPath.rfind('\\')));
  if (currentDir.size() == 2) currentDir += '\\';
  if (const std::string* when = m.Find("Clock")) {
    int y, mo, d, h = 0, mi = 0, s = 0;
    if (sscanf(when->c_str(), "%d-%d-%d %d:%d:%d", &y, &mo, &d, &h, &mi, &s) <
        3)
      LoadError(where + "Clock=" + *when + " must read YYYY-MM-DD HH:MM:SS");
    clock = bootClock = MakeFileTime(y, mo, d, h, mi, s);
  }
  tickBase = uint32_t(Number(m, "TickCount", tickBase, where));

  if (shellSection) {
    if (const std::string* list = shellSection->Find("Associations")) {
      std::istringstream words(*list);
      std::string word;
      while (words >> word) associations.insert(UpperCase(word));
    }
    std::string where = "machine.ini [Shell]: ";
    if (const std::string* list = shellSection->Find("Hidden")) {
      std::istringstream words(*list);
      std::string word;
      while (words >> word) {
        char letter = char(toupper((unsigned char)word[0]));
        if (word.size() > 2 || (word.size() == 2 && word[1] != ':') ||
            !drives.count(letter))
          LoadError(where + "Hidden=" + *list + ": " + word +
                    " is not a drive of the machine");
        shellHidden.insert(letter);
      }
    }
    if (const std::string* list = shellSection->Find("Items")) {
      std::istringstream entries(*list);
      std::string entry;
      while (std::getline(entries, entry, ';')) {
        size_t start = entry.find_first_not_of(' ');
        if (start == std::string::npos) continue;
        entry = entry.substr(start, entry.find_last_not_of(' ') + 1 - start);
        size_t space = entry.find(' ');
        std::string parsing = entry.substr(0, space);
        std::string name =
            space == std::string::npos ? parsing : entry.substr(space + 1);
        shellExtraItems.push_back({parsing, name});
      }
    }
    if (const std::string* kind = shellSection->Find("NameKind")) {
      shellNameKind = UpperCase(*kind);
      if (shellNameKind != "WIDE" && shellNameKind != "OFFSET" &&
          shellNameKind != "CSTR")
        LoadError(where + "NameKind=" + *kind +
                  " must be wide, offset or cstr");
    }
    shellIconWidth = int(
        Number(*shellSection, "IconWidth", uint64_t(shellIconWidth), where));
    if (shellIconWidth <= 0 || shellIconWidth > 256)
      LoadError(where + "IconWidth must be 1 to 256");
  }
  shellNameKind = UpperCase(shellNameKind);

  std::string regPath = root + "/registry.reg";
  if (fs::exists(regPath))
    ParseRegText(ReadHostFile(regPath), "registry.reg", &registry->roots);

  if (attributes) {
    for (const auto& entry : attributes->entries) {
      WinPath path;
      uint32_t error;
      if (!ParseWinPath(entry.first, "C:\\", &path, &error))
        LoadError("machine.ini [Attributes]: bad path " + entry.first);
      bool exists;
      std::string host = ResolveHost(root, path, &exists, nullptr);
      if (!exists)
        LoadError("machine.ini [Attributes]: no file " + entry.first);
      FileMeta& info = Meta(path, host);
      uint32_t bits = info.attributes & FILE_ATTRIBUTE_DIRECTORY;
      for (char c : entry.second) {
        switch (toupper((unsigned char)c)) {
          case 'R':
            bits |= FILE_ATTRIBUTE_READONLY;
            break;
          case 'H':
            bits |= FILE_ATTRIBUTE_HIDDEN;
            break;
          case 'S':
            bits |= FILE_ATTRIBUTE_SYSTEM;
            break;
          case 'A':
            bits |= FILE_ATTRIBUTE_ARCHIVE;
            break;
          default:
            LoadError("machine.ini [Attributes]: " + entry.first + "=" +
                      entry.second + " may hold only the letters R H S A");
        }
      }
      info.attributes = bits;
    }
  }
}

// ---------------------------------------------------------------- Machine

Machine::Machine() : impl(new MachineImpl) {}

std::unique_ptr<Machine> Machine::Load(const std::string& fixture) {
  std::string source = fixture;
  if (fixture.empty() || fixture[0] != '/')
    source = std::string(PELMORA_SOURCE_DIR) + "/machines/" + fixture;
  if (!fs::is_directory(source)) LoadError("no machine fixture at " + source);
  const char* tmp = getenv("TMPDIR");
  std::string pattern =
      std::string(tmp && *tmp ? tmp : "/tmp") + "/pelmora-machine-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  if (!mkdtemp(name.data())) LoadError("cannot make a folder for " + pattern);
  std::string copy = name.data();
  std::unique_ptr<Machine> machine(new Machine);
  machine->impl->root = copy;
  machine->impl->fixtureName = fixture;
  // The copy keeps the fixture's file times, which become the files'
  // times in the machine.
  fs::copy(source, copy, fs::copy_options::recursive);
  for (const auto& entry : fs::recursive_directory_iterator(source)) {
    fs::path target = fs::path(copy) / fs::relative(entry.path(), source);
    std::error_code ignored;
    fs::last_write_time(target, fs::last_write_time(entry.path()), ignored);
  }
  // ".keep" files only hold empty folders in git; the machine has none.
  std::vector<fs::path> placeholders;
  for (const auto& entry : fs::recursive_directory_iterator(copy))
    if (entry.path().filename() == ".keep")
      placeholders.push_back(entry.path());
  for (const fs::path& placeholder : placeholders) fs::remove(placeholder);
  machine->impl->LoadFrom(copy);
  return machine;
}

Machine::~Machine() {
  if (impl->root.empty()) return;
  SaveRegistry();
  if (impl->keep) {
    fprintf(stderr, "simulated machine kept in %s\n", impl->root.c_str());
  } else {
    std::error_code ignored;
    fs::remove_all(impl->root, ignored);
  }
}

platform::Platform Machine::Platform() {
  return {impl->kernel.get(),        impl->files.get(), impl->registry.get(),
          impl->prompts.get(),       impl->shell.get(), impl->driver.get(),
          impl->services16Impl.get()};
}

ScriptedUser& Machine::User() { return impl->user; }
sim::Faults& Machine::Faults() { return impl->faults; }
void Machine::SetFailureHandler(FailureHandler handler) {
  impl->onFailure = handler;
}
void Machine::Fail(const std::string& message) { impl->onFailure(message); }
std::string Machine::Root() const { return impl->root; }

std::string Machine::HostPath(const std::string& windowsPath) const {
  WinPath path;
  uint32_t error;
  if (!ParseWinPath(windowsPath, impl->currentDir, &path, &error)) {
    impl->onFailure("not a Windows path: \"" + windowsPath + "\"");
    return impl->root + "/invalid";
  }
  return ResolveHost(impl->root, path, nullptr, nullptr);
}

std::string Machine::ReadFile(const std::string& windowsPath) {
  std::string host = HostPath(windowsPath);
  if (!fs::is_regular_file(host)) {
    impl->onFailure("ReadFile: the machine has no file " + windowsPath);
    return "";
  }
  return ReadHostFile(host);
}

void Machine::WriteFile(const std::string& windowsPath,
                        const std::string& bytes) {
  std::string host = HostPath(windowsPath);
  fs::create_directories(fs::path(host).parent_path());
  std::ofstream out(host, std::ios::binary | std::ios::trunc);
  out << bytes;
  if (!out) impl->onFailure("WriteFile: cannot write " + windowsPath);
  WinPath path;
  uint32_t error;
  if (ParseWinPath(windowsPath, impl->currentDir, &path, &error))
    impl->meta.erase(path.Key());
}

bool Machine::Exists(const std::string& windowsPath) const {
  WinPath path;
  uint32_t error;
  if (!ParseWinPath(windowsPath, impl->currentDir, &path, &error)) return false;
  bool exists;
  ResolveHost(impl->root, path, &exists, nullptr);
  return exists;
}

void Machine::KeepFiles() {
  impl->keep = true;
  fprintf(stderr, "simulated machine files: %s\n", impl->root.c_str());
}

std::string Machine::ExportRegistry() const {
  return WriteRegText(impl->registry->roots);
}

void Machine::SaveRegistry() {
  std::ofstream out(impl->root + "/registry.reg", std::ios::binary);
  out << ExportRegistry();
}

bool Machine::RegistryKeyExists(const std::string& keyPath) const {
  return FindRegPath(impl->registry->roots, keyPath, false) != nullptr;
}

bool Machine::RegistryValue(const std::string& keyPath, const std::string& name,
                            RegValue* value) const {
  RegNode* node = FindRegPath(impl->registry->roots, keyPath, false);
  RegValue* found = node ? node->FindValue(name) : nullptr;
  if (found && value) *value = *found;
  return found != nullptr;
}

Drive* Machine::drive(char letter) { return impl->FindDrive(letter); }

std::vector<char> Machine::DriveLetters() const {
  std::vector<char> letters;
  for (const auto& entry : impl->drives) letters.push_back(entry.first);
  return letters;
}

std::string Machine::Property(const std::string& section,
                              const std::string& key) const {
  for (const IniSection& s : impl->ini)
    if (EqualNoCase(s.name, section))
      if (const std::string* value = s.Find(key)) return *value;
  return "";
}

uint64_t Machine::SleptMilliseconds() const { return impl->slept; }
std::vector<uint32_t> Machine::ExitRequests() const {
  return impl->exitRequests;
}
std::vector<ShellCall> Machine::ShellCalls() const { return impl->shellCalls; }
void Machine::SetProcessRunner(ProcessRunner runner) {
  impl->processRunner = std::move(runner);
}
std::vector<ProcessRun> Machine::ProcessRuns() const {
  return impl->processRuns;
}
std::string Machine::ProgramPath() const { return impl->programPath; }
void Machine::SetProgramPath(const std::string& path) {
  impl->programPath = path;
}
FileTime Machine::Now() const { return impl->clock; }
void Machine::SetClock(FileTime now) { impl->clock = now; }
void Machine::AdvanceClock(uint64_t milliseconds) {
  impl->clock += milliseconds * 10000;
}
std::vector<std::string> Machine::CallLog() const { return impl->callLog; }
void Machine::ClearCallLog() {
  impl->callLog.clear();
  impl->callCounts.clear();
  for (MachineImpl::CountSlot& slot : impl->countCache) slot = {};
}
void Machine::SetCallLogging(bool enabled) { impl->logging = enabled; }
uint64_t Machine::CallCount(const std::string& call) const {
  auto found = impl->callCounts.find(call);
  return found == impl->callCounts.end() ? 0 : found->second;
}
int Machine::OpenStreams() const { return impl->files->OpenCount(); }
std::vector<DriverRequest> Machine::DriverRequests() const {
  return impl->driverRequests;
}
void Machine::ClearDriverRequests() { impl->driverRequests.clear(); }
int Machine::OpenDriverHandles() const { return impl->driver->OpenCount(); }
int Machine::DosBlocks() const { return impl->services16Impl->BlockCount(); }
int Machine::OutstandingShellItems() const {
  return int(impl->shellItems.size());
}
int Machine::OutstandingShellStrings() const {
  return int(impl->shellStrings.size());
}
int Machine::OutstandingShellObjects() const {
  return int(impl->shellObjects.size());
}
int Machine::OutstandingIcons() const { return int(impl->icons.size()); }
std::vector<ContextCommand> Machine::ContextCommands() const {
  return impl->contextCommands;
}

// ---------------------------------------------------------------- prompts

int SimPrompts::MessageBoxA(WindowHandle owner, const char* text,
                            const char* caption, uint32_t type) {
  uint32_t code;
  std::string body = text ? text : "";
  if (m.Enter("MessageBoxA", body, &code)) {
    m.lastError = code;
    return 0;
  }
  // A null caption shows as "Error", as Windows does.
  return m.user.Show(owner, body, caption ? caption : "Error", type);
}

// ---------------------------------------------------------------- shell

intptr_t SimShell::ShellExecuteA(WindowHandle owner, const char* verb,
                                 const char* file, const char* parameters,
                                 const char* directory, int showCommand) {
  ShellCall call = {owner,
                    verb ? verb : "",
                    file ? file : "",
                    parameters ? parameters : "",
                    directory ? directory : "",
                    showCommand,
                    0};
  uint32_t code;
  if (m.Enter("ShellExecuteA", call.file, &code)) {
    call.result = intptr_t(code);
  } else if (call.file.empty()) {
    call.result = 2;  // SE_ERR_FNF
  } else {
    size_t colon = call.file.find(':');
    if (colon != std::string::npos && colon >= 2) {
      // A URL: its scheme needs an associated program.
      std::string scheme = UpperCase(call.file.substr(0, colon + 1));
      call.result = m.associations.count(scheme) ? 42 : 31;
    } else {
      WinPath path;
      uint32_t error;
      std::string base = call.directory.empty() ? m.currentDir : call.directory;
      bool exists = false;
      if (ParseWinPath(call.file, base, &path, &error))
        ResolveHost(m.root, path, &exists, nullptr);
      if (!exists) {
        call.result = 2;  // SE_ERR_FNF
      } else {
        std::string name = path.parts.empty() ? "" : path.parts.back();
        size_t dot = name.rfind('.');
        std::string ext =
            dot == std::string::npos ? "" : UpperCase(name.substr(dot));
        bool folder =
            fs::is_directory(ResolveHost(m.root, path, nullptr, nullptr));
        bool program =
            ext == ".EXE" || ext == ".COM" || ext == ".BAT" || ext == ".PIF";
        call.result = folder || program || m.associations.count(ext)
                          ? 42
                          : 31;  // SE_ERR_NOASSOC
      }
    }
  }
  m.shellCalls.push_back(call);
  return call.result;
}

// Start menu\Programs is the one special folder the system asks for.
int32_t SimShell::GetSpecialFolderPath(int csidl, char* path) {
  path[0] = 0;
  uint32_t code;
  if (m.Enter("GetSpecialFolderPath", std::to_string(csidl), &code))
    return int32_t(code);
  if (csidl != CSIDL_PROGRAMS) return E_INVALIDARG;
  std::string folder = m.windowsDir + "\\Start Menu\\Programs";
  if (folder.size() >= 260) return E_FAIL;
  memcpy(path, folder.c_str(), folder.size() + 1);
  return S_OK;
}

namespace {

// A stream failure as IPersistFile reports it.
int32_t LinkError(int error) {
  if (error == ENOENT) return HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
  if (error == EACCES) return HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED);
  if (error == ENOSPC) return HRESULT_FROM_WIN32(ERROR_DISK_FULL);
  return E_FAIL;
}

const char* const kLinkFields[] = {
    "Target=", "Arguments=", "Directory=", "Description="};

}  // namespace

// A simulated shortcut is a small text file of its four fields, written
// and read through the machine's own streams (so read-only folders, full
// disks and faults apply).
int32_t SimShell::CreateShellLink(const char* linkPath,
                                  const platform::ShellLinkInfo& link) {
  uint32_t code;
  if (m.Enter("CreateShellLink", linkPath ? linkPath : "(null)", &code))
    return int32_t(code);
  platform::Stream* file = m.files->Open(linkPath, "wb");
  if (!file) return LinkError(m.files->Errno());
  const char* values[] = {link.target, link.arguments, link.directory,
                          link.description};
  std::string text = "[Shortcut]\r\n";
  for (int i = 0; i < 4; ++i)
    text += std::string(kLinkFields[i]) + values[i] + "\r\n";
  size_t written = m.files->Write(text.data(), 1, text.size(), file);
  int error = m.files->Errno();
  bool closed = m.files->Close(file) == 0;
  if (written != text.size() || !closed) {
    m.kernel->DeleteFileA(linkPath);
    return LinkError(error ? error : ENOSPC);
  }
  return S_OK;
}

int32_t SimShell::ReadShellLink(const char* linkPath,
                                platform::ShellLinkInfo* link) {
  memset(link, 0, sizeof *link);
  uint32_t code;
  if (m.Enter("ReadShellLink", linkPath ? linkPath : "(null)", &code))
    return int32_t(code);
  platform::Stream* file = m.files->Open(linkPath, "rt");
  if (!file) return LinkError(m.files->Errno());
  char* values[] = {link->target, link->arguments, link->directory,
                    link->description};
  char line[400];
  bool shortcut = false;
  while (m.files->Gets(line, sizeof line, file)) {
    std::string text = line;
    if (!text.empty() && text.back() == '\n') text.pop_back();
    if (text == "[Shortcut]") shortcut = true;
    for (int i = 0; i < 4; ++i) {
      size_t length = strlen(kLinkFields[i]);
      if (text.compare(0, length, kLinkFields[i]) == 0)
        snprintf(values[i], 260, "%s", text.c_str() + length);
    }
  }
  m.files->Close(file);
  return shortcut ? S_OK : E_FAIL;
}

}  // namespace sim
