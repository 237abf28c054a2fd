// The simulated restart: the boot of the machine as the programs outside
// the system play it at a real one — MS-DOS, DriveSpace, the DOS-mode
// companion KROMVALE.EXE, MSCDEX and Windows — each reading only the files
// and registry values that are its interfaces. Every drive is given its
// letter in that order, then the drives move to their letters with their
// files, and the companion's drivemap.dat says where each DOS drive went.
// The rules are written down in machines/README.md ("The restart").
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/Codes.h"
#include "platform/sim/MachineImpl.h"

namespace fs = std::filesystem;

namespace sim {

namespace {

bool IsLetter(char c) { return c >= 'A' && c <= 'Z'; }
char Upper(char c) { return char(toupper((unsigned char)c)); }

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  std::istringstream in(line);
  std::string word;
  while (in >> word) words.push_back(word);
  return words;
}

// A line of CONFIG.SYS or AUTOEXEC.BAT that runs nothing.
bool IsRemark(const std::vector<std::string>& words) {
  if (words.empty()) return true;
  const std::string first = UpperCase(words[0]);
  if (first == "REM" || first == "@REM") return true;
  return words.size() >= 2 && first == "@" && UpperCase(words[1]) == "REM";
}

bool EndsWithNoCase(const std::string& text, const std::string& end) {
  return text.size() >= end.size() &&
         EqualNoCase(text.substr(text.size() - end.size()), end);
}

std::string Trim(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  const size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

// Where the DOS-mode companion is started from, and the files its command
// line names, as paths of the machine before the boot moved anything.
struct Companion {
  bool wired = false;
  std::string assignmentFile;  // empty: the line names none
  std::string mapFile;         // empty: no /O: option
};

class Boot {
 public:
  explicit Boot(MachineImpl& machine) : m(machine) {}
  void Run();

 private:
  // Facts of the machine before the boot.
  Drive* At(char letter) { return m.FindDrive(letter); }
  bool IsHost(char letter) const;
  bool IsDriveSpaceDrive(const Drive& drive) const;
  bool IsDosDrive(const Drive& drive) const;
  static bool IsWindowsDrive(const Drive& drive);
  static bool IsDosCdRom(const Drive& drive);
  // The letter, before the boot, of the drive MS-DOS boots with `dosLetter`;
  // 0 when no drive has it.
  char DriveOfDosLetter(char dosLetter) const;
  // A DOS path ("C:\PELMORA\LETTERS.INI") as a path of the machine now.
  std::string PathNow(const std::string& dosPath) const;
  bool ReadText(const std::string& path, std::string* text);

  void TakeDosLetters();
  void PlaceDriveSpace(char boot);
  Companion FindCompanion(char boot);
  void PlaceDosDrives(const Companion& companion);
  void PlaceDosCdRoms(char boot);
  void PlaceWindowsDrives();
  void PlaceNetworkDrives();

  // Gives the drive at `now` the letter `wanted`, or, when that is not free,
  // the first free letter from C; a drive already placed keeps its place.
  void Place(char now, char wanted);
  char FirstFree(char from = 'C') const;
  bool Placed(char now) const { return to.count(now) != 0; }

  void MoveDrives();
  std::string RemapPath(const std::string& path) const;
  void WriteDriveMap(const Companion& companion);
  void WriteFileNow(const std::string& path, const std::string& bytes);
  void StartWindows();

  MachineImpl& m;
  std::map<char, char> to;  // letter before the boot: letter after it
  std::set<char> used;
  std::map<char, char> dosDrives;  // a DOS drive's letter before: DOS letter
  bool failed = false;
};

bool Boot::IsHost(char letter) const {
  for (const auto& entry : m.drives)
    if (entry.second.device.compressedOn == letter) return true;
  return false;
}

bool Boot::IsDriveSpaceDrive(const Drive& drive) const {
  return !drive.device.protectedModeOnly &&
         (drive.device.compressedOn != 0 || IsHost(drive.letter));
}

bool Boot::IsDosDrive(const Drive& drive) const {
  const bool blockDevice = drive.type == DRIVE_REMOVABLE ||
                           drive.type == DRIVE_FIXED ||
                           drive.type == DRIVE_RAMDISK;
  return blockDevice && !drive.device.protectedModeOnly &&
         !IsDriveSpaceDrive(drive);
}

bool Boot::IsWindowsDrive(const Drive& drive) {
  return drive.device.protectedModeOnly ||
         (drive.type == DRIVE_CDROM && !drive.device.categories.empty());
}

bool Boot::IsDosCdRom(const Drive& drive) {
  return drive.type == DRIVE_CDROM && drive.device.categories.empty() &&
         !drive.device.protectedModeOnly;
}

char Boot::DriveOfDosLetter(char dosLetter) const {
  for (const auto& entry : m.drives)
    if (entry.second.dosLetter == dosLetter) return entry.first;
  return 0;
}

std::string Boot::PathNow(const std::string& dosPath) const {
  if (dosPath.size() < 2 || dosPath[1] != ':') return dosPath;
  const char drive = DriveOfDosLetter(Upper(dosPath[0]));
  if (drive == 0) return "";
  return std::string(1, drive) + dosPath.substr(1);
}

bool Boot::ReadText(const std::string& path, std::string* text) {
  WinPath where;
  uint32_t error;
  if (path.empty() || !ParseWinPath(path, "C:\\", &where, &error)) return false;
  bool exists = false;
  const std::string host = ResolveHost(m.root, where, &exists, nullptr);
  if (!exists || !fs::is_regular_file(host)) return false;
  std::ifstream in(host, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  *text = bytes.str();
  return true;
}

// At the first restart every drive learns the letter MS-DOS gives it at
// boot: the original letter drivemap.dat in the program's folder names for
// its letter, or its letter when there is no valid map.
void Boot::TakeDosLetters() {
  char originalOf[26] = {};
  std::string folder = m.programPath.substr(0, m.programPath.rfind('\\'));
  std::string text;
  if (ReadText(folder + "\\drivemap.dat", &text)) {
    const size_t start = text.find('\n');
    char currentOf[26];
    int count = 0;
    if (start != std::string::npos) {
      for (size_t at = start + 1; count < 26 && at < text.size(); at += 2) {
        if (!IsLetter(text[at])) break;
        currentOf[count++] = text[at];
      }
    }
    if (count == 26) {
      for (int k = 25; k >= 0; --k) originalOf[currentOf[k] - 'A'] = 'A' + k;
    }
  }
  for (auto& entry : m.drives) {
    Drive& drive = entry.second;
    if (drive.dosLetter != 0) continue;
    const char original = originalOf[entry.first - 'A'];
    drive.dosLetter = original ? original : entry.first;
  }
}

char Boot::FirstFree(char from) const {
  for (char letter = from; letter <= 'Z'; ++letter)
    if (!used.count(letter)) return letter;
  return 0;
}

void Boot::Place(char now, char wanted) {
  if (Placed(now) || failed) return;
  char letter = IsLetter(wanted) && !used.count(wanted) ? wanted : FirstFree();
  if (letter == 0) {
    m.Fail(std::string("Restart: no letter is left for the drive ") + now +
           ":");
    failed = true;
    return;
  }
  to[now] = letter;
  used.insert(letter);
}

// DriveSpace, loaded with MS-DOS itself, mounts the compressed volumes from
// the ActivateDrive lines of its settings file in the boot drive's root
// (the host's root when the boot drive is a swapped volume).
void Boot::PlaceDriveSpace(char boot) {
  std::string text;
  char root = boot;
  if (const Drive* drive = boot ? At(boot) : nullptr)
    if (drive->device.compressedOn && drive->device.swappedWithHost)
      root = drive->device.compressedOn;
  if (root == 0 ||
      (!ReadText(std::string(1, root) + ":\\DRVSPACE.INI", &text) &&
       !ReadText(std::string(1, root) + ":\\DBLSPACE.INI", &text)))
    text.clear();

  std::map<char, char> wanted;  // the drive's letter now: the line's letter
  for (const std::string& line : SplitLines(text)) {
    const size_t equals = line.find('=');
    if (equals == std::string::npos ||
        !EqualNoCase(Trim(line.substr(0, equals)), "ActivateDrive"))
      continue;
    // ActivateDrive=X,Yn
    const std::string value = Trim(line.substr(equals + 1));
    if (value.size() < 4 || value[1] != ',') continue;
    const char x = Upper(value[0]), y = Upper(value[2]);
    const std::string digits = value.substr(3);
    if (!IsLetter(x) || !IsLetter(y) || digits.empty() ||
        digits.find_first_not_of("0123456789") != std::string::npos)
      continue;
    const unsigned long sequence = std::stoul(digits);
    char target = 0;
    const Drive* named = At(y);
    if (named && named->device.compressedOn && named->device.swappedWithHost &&
        !named->device.protectedModeOnly) {
      // The volume at Y has its host's letter: the host moves to X.
      target = named->device.compressedOn;
    } else {
      for (const auto& entry : m.drives) {
        const DriveDevice& d = entry.second.device;
        if (d.compressedOn == y && d.cvfSequence == sequence &&
            !d.swappedWithHost && !d.protectedModeOnly)
          target = entry.first;
      }
    }
    if (target != 0 && At(target) && !wanted.count(target)) wanted[target] = x;
  }
  // What DriveSpace does not move comes first, so no line can push it away.
  for (const auto& entry : m.drives)
    if (IsDriveSpaceDrive(entry.second) && !wanted.count(entry.first))
      Place(entry.first, entry.first);
  for (const auto& entry : wanted) Place(entry.first, entry.second);
}

// The companion runs from the first line of AUTOEXEC.BAT that starts
// KROMVALE.EXE; its arguments name the assignment file (@) and the drive map
// (/O:), beside KROMVALE.EXE unless they carry a path.
Companion Boot::FindCompanion(char boot) {
  Companion companion;
  std::string text;
  if (boot == 0 || !ReadText(std::string(1, boot) + ":\\AUTOEXEC.BAT", &text))
    return companion;
  for (const std::string& line : SplitLines(text)) {
    const std::vector<std::string> words = Words(line);
    if (IsRemark(words)) continue;
    std::string program = words[0];
    if (program[0] == '@') program.erase(0, 1);
    if (!EndsWithNoCase(program, "KROMVALE.EXE")) continue;
    std::string folder = program.substr(0, program.size() - 12);
    if (folder.empty()) folder = "C:\\";
    if (folder.back() != '\\') folder += '\\';
    auto resolve = [&](const std::string& name) {
      const bool absolute = name.find(':') != std::string::npos;
      return PathNow(absolute ? name : folder + name);
    };
    companion.wired = true;
    for (size_t i = 1; i < words.size(); ++i) {
      const std::string& word = words[i];
      if (word.size() > 1 && word[0] == '@')
        companion.assignmentFile = resolve(word.substr(1));
      else if (word.size() > 3 && EqualNoCase(word.substr(0, 3), "/O:"))
        companion.mapFile = resolve(word.substr(3));
    }
    break;
  }
  return companion;
}

// The companion gives the drives Letters.ini names their letters; every
// other DOS drive keeps the letter MS-DOS gave it.
void Boot::PlaceDosDrives(const Companion& companion) {
  std::vector<std::pair<char, char>> named;  // drive now, its letter
  std::set<char> letters;
  std::string text;
  if (companion.wired && ReadText(companion.assignmentFile, &text)) {
    for (const std::string& line : SplitLines(text)) {
      if (line.size() < 2 || line[1] != '=' || !IsLetter(Upper(line[0])))
        continue;
      const char letter = Upper(line[0]);
      const std::string identity = line.substr(2);
      uint64_t serial = 0;
      enum { byOriginal, bySerial, byLabel } form = byLabel;
      std::string label = identity;
      if (identity.size() == 2 && identity[1] == ':' &&
          IsLetter(Upper(identity[0]))) {
        form = byOriginal;
      } else if (identity.size() == 11 && identity[0] == '(' &&
                 identity[5] == '-' && identity[10] == ')') {
        const std::string digits =
            identity.substr(1, 4) + identity.substr(6, 4);
        if (digits.find_first_not_of("0123456789ABCDEFabcdef") ==
            std::string::npos) {
          form = bySerial;
          serial = std::stoull(digits, nullptr, 16);
        }
      } else if (identity.size() >= 2 && identity.front() == '"' &&
                 identity.back() == '"') {
        label = identity.substr(1, identity.size() - 2);
      }
      char drive = 0;
      for (const auto& entry : m.drives) {
        const Drive& d = entry.second;
        if (!IsDosDrive(d)) continue;
        const bool match =
            form == byOriginal
                ? d.dosLetter == Upper(identity[0])
                : d.type == DRIVE_FIXED &&
                      (form == bySerial ? d.serial == serial
                                        : EqualNoCase(d.label, label));
        if (match) {
          drive = entry.first;
          break;
        }
      }
      bool again = letters.count(letter) != 0;
      for (const auto& pair : named) again = again || pair.first == drive;
      if (drive == 0 || again) continue;
      named.push_back({drive, letter});
      letters.insert(letter);
    }
  }
  for (const auto& pair : named) Place(pair.first, pair.second);

  std::vector<std::pair<char, char>> others;  // DOS letter, drive now
  for (const auto& entry : m.drives) {
    if (!IsDosDrive(entry.second)) continue;
    dosDrives[entry.first] = entry.second.dosLetter;
    others.push_back({entry.second.dosLetter, entry.first});
  }
  std::sort(others.begin(), others.end());
  for (const auto& pair : others) Place(pair.second, pair.first);
}

// MSCDEX gives the CD-ROMs that only MS-DOS serves the letters from its
// /L: option on: its line is the first active one of CONFIG.SYS, then
// AUTOEXEC.BAT.
void Boot::PlaceDosCdRoms(char boot) {
  bool found = false;
  char first = 0;
  for (const char* name : {"CONFIG.SYS", "AUTOEXEC.BAT"}) {
    std::string text;
    if (found || boot == 0 ||
        !ReadText(std::string(1, boot) + ":\\" + name, &text))
      continue;
    for (const std::string& line : SplitLines(text)) {
      const std::string upper = UpperCase(line);
      const std::vector<std::string> words = Words(upper);
      if (upper.find("MSCDEX") == std::string::npos || IsRemark(words))
        continue;
      found = true;
      for (const std::string& word : words)
        if (word.size() == 4 && word.compare(0, 3, "/L:") == 0 &&
            IsLetter(word[3])) {
          first = word[3];
          break;
        }
      break;
    }
  }
  for (const auto& entry : m.drives) {
    if (!IsDosCdRom(entry.second)) continue;
    if (!found)
      Place(entry.first, entry.first);
    else
      Place(entry.first, first ? FirstFree(first) : FirstFree());
  }
}

// Windows gives the drives it serves alone, device by device, the free
// letters of the device's UserDriveLetterAssignment range, else the first
// free ones.
void Boot::PlaceWindowsDrives() {
  std::vector<std::vector<char>> devices;
  std::map<uint32_t, size_t> deviceOf;  // device node: index in devices
  for (const auto& entry : m.drives) {
    const Drive& drive = entry.second;
    if (!IsWindowsDrive(drive) || Placed(entry.first)) continue;
    const uint32_t node = drive.device.deviceNode;
    if (node != 0 && deviceOf.count(node)) {
      devices[deviceOf[node]].push_back(entry.first);
      continue;
    }
    if (node != 0) deviceOf[node] = devices.size();
    devices.push_back({entry.first});
  }
  for (const std::vector<char>& device : devices) {
    char low = 0, high = 0;
    const Drive& first = *At(device[0]);
    if (!first.device.deviceKey.empty()) {
      RegNode* key =
          FindRegPath(m.registry->roots,
                      "HKEY_LOCAL_MACHINE\\" + first.device.deviceKey, false);
      const RegValue* value =
          key ? key->FindValue("UserDriveLetterAssignment") : nullptr;
      if (value && value->data.size() == 3 && IsLetter(value->data[0]) &&
          IsLetter(value->data[1]) && value->data[0] <= value->data[1]) {
        low = value->data[0];
        high = value->data[1];
      }
    }
    for (char drive : device) {
      char letter = 0;
      for (char c = low; low && c <= high && !letter; ++c)
        if (!used.count(c)) letter = c;
      Place(drive, letter);
    }
  }
}

// At logon Windows reconnects each network drive under the letter of the
// persistent connection that names its share.
void Boot::PlaceNetworkDrives() {
  RegNode* persistent = FindRegPath(
      m.registry->roots, "HKEY_CURRENT_USER\\Network\\Persistent", false);
  for (const auto& entry : m.drives) {
    const Drive& drive = entry.second;
    if (drive.type != DRIVE_REMOTE || Placed(entry.first)) continue;
    const std::string share = drive.Property("RemotePath");
    char letter = entry.first;
    if (!share.empty() && persistent) {
      for (const auto& child : persistent->children) {
        if (child->deleted || child->name.size() != 1 ||
            !IsLetter(Upper(child->name[0])))
          continue;
        const RegValue* value = child->FindValue("RemotePath");
        if (!value) continue;
        std::string path = value->data;
        if (!path.empty() && path.back() == '\0') path.pop_back();
        if (EqualNoCase(path, share)) {
          letter = Upper(child->name[0]);
          break;
        }
      }
    }
    Place(entry.first, letter);
  }
}

std::string Boot::RemapPath(const std::string& path) const {
  if (path.size() < 2 || path[1] != ':') return path;
  auto found = to.find(Upper(path[0]));
  if (found == to.end()) return path;
  return std::string(1, found->second) + path.substr(1);
}

void Boot::MoveDrives() {
  std::map<char, Drive> moved;
  for (auto& entry : m.drives) {
    Drive drive = entry.second;
    drive.letter = to.at(entry.first);
    char& host = drive.device.compressedOn;
    if (host != 0 && to.count(host)) {
      host = to.at(host);
      for (auto& property : drive.properties)
        if (EqualNoCase(property.first, "CompressedOn"))
          property.second = std::string(1, host);
    }
    moved[drive.letter] = drive;
  }
  // Through a name of their own first, so that drives may exchange letters.
  std::vector<char> moving;
  for (const auto& entry : to)
    if (entry.first != entry.second) moving.push_back(entry.first);
  for (char now : moving) {
    const std::string from = m.root + "/" + std::string(1, now);
    fs::create_directories(from);
    fs::rename(from, m.root + "/.restart-" + std::string(1, now));
  }
  for (char now : moving) {
    const std::string target = m.root + "/" + std::string(1, to.at(now));
    if (fs::exists(target)) fs::remove_all(target);  // a folder of no drive
    fs::rename(m.root + "/.restart-" + std::string(1, now), target);
  }

  std::map<std::string, FileMeta> meta;
  for (const auto& entry : m.meta) meta[RemapPath(entry.first)] = entry.second;
  m.meta = meta;
  std::set<char> hidden;
  for (char letter : m.shellHidden)
    hidden.insert(to.count(letter) ? to.at(letter) : letter);
  m.shellHidden = hidden;
  for (std::string* path : {&m.windowsDir, &m.systemDir, &m.tempPath,
                            &m.programPath, &m.currentDir})
    *path = RemapPath(*path);
  m.drives = moved;
}

void Boot::WriteFileNow(const std::string& path, const std::string& bytes) {
  WinPath where;
  uint32_t error;
  if (!ParseWinPath(path, "C:\\", &where, &error)) return;
  bool exists = false, parentExists = false;
  const std::string host = ResolveHost(m.root, where, &exists, &parentExists);
  if (!parentExists) return;
  std::ofstream out(host, std::ios::binary | std::ios::trunc);
  out << bytes;
  m.Touch(where, host, !exists);
}

// The map lists for every original letter the letter its drive has now:
// the DOS drives' own, and for the other letters a letter no DOS drive
// took, its own where it can, so that the map stays one to one.
void Boot::WriteDriveMap(const Companion& companion) {
  if (!companion.wired || companion.mapFile.empty()) return;
  char currentOf[26] = {};
  bool taken[26] = {};
  for (const auto& entry : dosDrives) {
    const char original = entry.second;
    const char current = to.at(entry.first);
    if (currentOf[original - 'A'] || taken[current - 'A']) continue;
    currentOf[original - 'A'] = current;
    taken[current - 'A'] = true;
  }
  for (int i = 0; i < 26; ++i) {
    if (currentOf[i] || taken[i]) continue;
    currentOf[i] = char('A' + i);
    taken[i] = true;
  }
  for (int i = 0, next = 0; i < 26; ++i) {
    if (currentOf[i]) continue;
    while (taken[next]) ++next;
    currentOf[i] = char('A' + next);
    taken[next] = true;
  }
  std::string text = "Drive map written by KROMVALE at boot\r\n";
  for (int i = 0; i < 26; ++i) {
    text += currentOf[i];
    text += i < 25 ? " " : "\r\n";
  }
  WriteFileNow(RemapPath(companion.mapFile), text);
}

// Windows keeps a copy of its registry, SYSTEM.DA0, from every start.
void Boot::StartWindows() {
  WinPath folder;
  uint32_t error;
  if (!ParseWinPath(m.windowsDir, "C:\\", &folder, &error)) return;
  bool exists = false;
  const std::string host = ResolveHost(m.root, folder, &exists, nullptr);
  if (exists && fs::is_directory(host))
    WriteFileNow(m.windowsDir + "\\SYSTEM.DA0",
                 WriteRegText(m.registry->roots));
}

void Boot::Run() {
  if (m.files->OpenCount() || m.driver->OpenCount() ||
      m.services16Impl->BlockCount() || m.registry->OpenHandles()) {
    m.Fail(
        "Restart: the program still runs (a stream, the driver, DOS memory or "
        "a registry key is open)");
    return;
  }
  TakeDosLetters();
  const char boot = DriveOfDosLetter('C');
  PlaceDriveSpace(boot);
  const Companion companion = FindCompanion(boot);
  PlaceDosDrives(companion);
  PlaceDosCdRoms(boot);
  PlaceWindowsDrives();
  PlaceNetworkDrives();
  for (const auto& entry : m.drives) Place(entry.first, entry.first);
  if (failed) return;

  // A minute for the reboot; the clock of the new boot starts there.
  m.clock += 60ull * 10000000ull;
  m.bootClock = m.clock;
  m.lastError = 0;
  m.errnoValue = 0;
  MoveDrives();
  WriteDriveMap(companion);
  StartWindows();
}

}  // namespace

void Machine::Restart() { Boot(*impl).Run(); }

}  // namespace sim
