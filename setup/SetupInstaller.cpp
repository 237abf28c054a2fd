#include "setup/SetupInstaller.h"

#include <stdarg.h>
#include <string.h>

#include "platform/Codes.h"
#include "platform/Platform.h"
#include "platform/RegistryKey.h"

const char* const kSetupFiles[] = {
    "Kromva32.exe",    "Quobrill.exe",       "README.TXT",
    "Help\\Help.html", "Help\\Opinion.html", "Setup.exe",
};
const size_t kSetupFileCount = sizeof kSetupFiles / sizeof kSetupFiles[0];

const char kUninstallKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pelmora";

namespace {

const char kCaption[] = "Pelmora Setup";
const char kHelpFolder[] = "Help";
const char kGroupName[] = "Pelmora";
const char kProgramLink[] = "Pelmora.lnk";
const char kHelpLink[] = "Pelmora Help.lnk";
// What the programs write beside themselves (the assignment, the DOS-mode
// companion's map and the save's temporary file).
const char* const kWorkingFiles[] = {"Letters.ini", "Letters.tmp",
                                     "drivemap.dat"};
const char kSettingsParent[] = "Software\\Ardentol";
const char kSettingsKey[] = "Software\\Ardentol\\Pelmora";
const char kCompanion[] = "\\KROMVALE.EXE";
const char kIniName[] = "Kromvale.ini";
const char kAutoexec[] = "C:\\autoexec.bat";
// Quobrill puts the short folder into a DOS command line of its own.
const uint32_t kShortFolderLimit = 80;
// The original Setup.exe may still be ending when its copy starts work.
const int kDeleteTries = 50;
const uint32_t kDeleteWait = 100;

// The uninstall entry's values.
const char kDisplayName[] = "DisplayName";
const char kUninstallString[] = "UninstallString";
const char kInstallLocation[] = "InstallLocation";
const char kCreatedFolder[] = "CreatedFolder";
const char kStartMenuGroup[] = "StartMenuGroup";
const char* const kEntryValues[] = {kDisplayName, kUninstallString,
                                    kInstallLocation, kCreatedFolder,
                                    kStartMenuGroup};
const int kEntryValueCount = 5;

char Upper(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }

bool EqualNoCase(const char* a, const char* b) {
  while (*a && Upper(*a) == Upper(*b)) ++a, ++b;
  return *a == '\0' && *b == '\0';
}

bool StartsNoCase(const char* text, const char* start) {
  while (*start && Upper(*text) == Upper(*start)) ++text, ++start;
  return *start == '\0';
}

// `path` is `folder` or lies below it.
bool IsInside(const char* path, const char* folder) {
  size_t length = strlen(folder);
  if (!StartsNoCase(path, folder)) return false;
  return path[length] == '\0' || path[length] == '\\';
}

// "a\b" into a path buffer: false when it would not fit.
bool Join(char* out, const char* folder, const char* name) {
  return platform::Format(out, kSetupPath, "%s\\%s", folder, name) >= 0;
}

void CutAtLastBackslash(char* path) {
  char* last = strrchr(path, '\\');
  if (last) *last = '\0';
}

bool Exists(const char* path) {
  return platform::kernel().GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

void ShowV(WindowHandle owner, uint32_t type, const char* format,
           va_list args) {
  char text[1024];
  platform::FormatV(text, sizeof text, format, args);
  platform::prompts().MessageBoxA(owner, text, kCaption, type);
}

// The system's text for a Win32 error code, without its line break.
void SystemText(uint32_t code, char* text, size_t size) {
  char* systemText = nullptr;
  uint32_t length = platform::kernel().FormatMessageA(
      FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS |
          FORMAT_MESSAGE_ALLOCATE_BUFFER,
      code, LANG_USER_DEFAULT, &systemText);
  if (length != 0 && systemText != nullptr) {
    platform::Format(text, size, "%s", systemText);
    size_t end = strlen(text);
    while (end > 0 && (text[end - 1] == '\r' || text[end - 1] == '\n' ||
                       text[end - 1] == ' '))
      text[--end] = '\0';
  } else {
    platform::Format(text, size, "error %lu", static_cast<unsigned long>(code));
  }
  if (systemText != nullptr) platform::kernel().LocalFree(systemText);
}

// An HRESULT made of a Win32 code is told by the system's text, any
// other by its number.
void ResultText(int32_t result, char* text, size_t size) {
  if ((static_cast<uint32_t>(result) & 0xFFFF0000u) == 0x80070000u)
    SystemText(HRESULT_CODE(result), text, size);
  else
    platform::Format(text, size, "error 0x%08lX",
                     static_cast<unsigned long>(static_cast<uint32_t>(result)));
}

// An error box for a failed step, with the system's text for `code`.
// `after`, if not empty, goes on a line of its own.
void ShowFailure(WindowHandle owner, uint32_t code, const char* after,
                 const char* format, ...) __attribute__((format(printf, 4, 5)));
void ShowFailure(WindowHandle owner, uint32_t code, const char* after,
                 const char* format, ...) {
  char message[700];
  va_list args;
  va_start(args, format);
  platform::FormatV(message, sizeof message, format, args);
  va_end(args);
  char reason[300];
  SystemText(code, reason, sizeof reason);
  ShowSetupBox(owner, MB_ICONERROR | MB_OK, "%s : %s%s%s", message, reason,
               after[0] ? "\n" : "", after);
}

bool IsWindowsMe() {
  platform::VersionInfo version;
  memset(&version, 0, sizeof version);
  if (!platform::kernel().GetVersionExA(&version)) return false;
  return version.majorVersion == 4 && version.minorVersion == 90;
}

// Whether Quobrill has wired the companion of `folder` into the boot: on
// Windows Me Kromvale.ini in the Windows folder, elsewhere the first line
// of C:\autoexec.bat running KROMVALE.EXE from the folder.
bool WiredIn(const char* folder) {
  if (IsWindowsMe()) {
    char windows[kSetupPath], ini[kSetupPath];
    uint32_t length =
        platform::kernel().GetWindowsDirectoryA(windows, sizeof windows);
    return length != 0 && length < sizeof windows &&
           Join(ini, windows, kIniName) && Exists(ini);
  }
  char shortFolder[kSetupPath], expected[kSetupPath];
  uint32_t length = platform::kernel().GetShortPathNameA(folder, shortFolder,
                                                         sizeof shortFolder);
  if (length == 0 || length >= sizeof shortFolder) return false;
  platform::Format(expected, sizeof expected, "@%s%s ", shortFolder,
                   kCompanion);
  platform::Stream* file = platform::files().Open(kAutoexec, "rt");
  if (!file) return false;
  char line[1024];
  bool wired = platform::files().Gets(line, sizeof line, file) != nullptr &&
               StartsNoCase(line, expected);
  platform::files().Close(file);
  return wired;
}

// Whether the boot still runs a companion: Kromvale.ini on Windows Me, any
// KROMVALE.EXE line of C:\autoexec.bat elsewhere (Quobrill takes out all).
bool StillWired() {
  if (IsWindowsMe()) {
    char windows[kSetupPath], ini[kSetupPath];
    uint32_t length =
        platform::kernel().GetWindowsDirectoryA(windows, sizeof windows);
    return length != 0 && length < sizeof windows &&
           Join(ini, windows, kIniName) && Exists(ini);
  }
  platform::Stream* file = platform::files().Open(kAutoexec, "rt");
  if (!file) return false;
  char line[1024];
  bool wired = false;
  while (!wired && platform::files().Gets(line, sizeof line, file)) {
    for (char* c = line; *c; ++c) *c = Upper(*c);
    if (strstr(line, kCompanion + 1)) wired = true;
  }
  platform::files().Close(file);
  return wired;
}

// Runs Quobrill with a switch and our window; false (shown) when it could
// not be started.
bool RunQuobrill(WindowHandle owner, const char* folder, const char* option,
                 uint32_t* exitCode) {
  char program[kSetupPath], line[kSetupPath + 40];
  if (!Join(program, folder, "Quobrill.exe")) return false;
  platform::Format(line, sizeof line, "\"%s\" %s %lu", program, option,
                   static_cast<unsigned long>(owner));
  if (!platform::kernel().RunProcessAndWait(line, folder, exitCode)) {
    ShowFailure(owner, platform::kernel().GetLastError(), "",
                "Setup could not start %s", program);
    return false;
  }
  return true;
}

// ------------------------------------------------------------ the undo log

enum StepKind {
  kCreatedFolder_,  // a folder made: removed
  kNewFile,         // a file made where there was none: deleted
  kReplacedFile,    // a file made over an older one kept as `backup`
};

struct Step {
  StepKind kind;
  char path[kSetupPath];
  char backup[kSetupPath];
};

// Everything an install changed, in order; undone backwards.
class UndoLog {
 public:
  bool Add(StepKind kind, const char* path, const char* backup = "") {
    if (count == kMaxSteps) return false;
    Step& step = steps[count++];
    step.kind = kind;
    platform::Format(step.path, sizeof step.path, "%s", path);
    platform::Format(step.backup, sizeof step.backup, "%s", backup);
    return true;
  }

  // The first folder made from `from` on, "" for none.
  const char* FirstFolder(int from) const {
    for (int i = from; i < count; ++i)
      if (steps[i].kind == kCreatedFolder_) return steps[i].path;
    return "";
  }
  int Count() const { return count; }

  void Undo() {
    platform::Kernel& kernel = platform::kernel();
    while (count > 0) {
      Step& step = steps[--count];
      switch (step.kind) {
        case kCreatedFolder_:
          kernel.RemoveDirectoryA(step.path);
          break;
        case kNewFile:
          kernel.DeleteFileA(step.path);
          break;
        case kReplacedFile:
          kernel.DeleteFileA(step.path);
          kernel.MoveFileA(step.backup, step.path);
          break;
      }
    }
  }

  // The install stands: the older files kept for an undo go.
  void Commit() {
    for (int i = 0; i < count; ++i)
      if (steps[i].kind == kReplacedFile)
        platform::kernel().DeleteFileA(steps[i].backup);
    count = 0;
  }

 private:
  static const int kMaxSteps = 24;
  Step steps[kMaxSteps];
  int count = 0;
};

UndoLog undoLog;
// The outermost folder this install made for the installation folder.
char firstCreated[kSetupPath];

// Makes `folder` and every missing folder above it.
bool MakeFolders(WindowHandle owner, const char* folder) {
  char path[kSetupPath];
  platform::Format(path, sizeof path, "%s", folder);
  // From the first folder below the drive's root downwards.
  for (char* c = path + 3;; ++c) {
    if (*c != '\\' && *c != '\0') continue;
    char kept = *c;
    *c = '\0';
    uint32_t attributes = platform::kernel().GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
      if (!platform::kernel().CreateDirectoryA(path)) {
        ShowFailure(owner, platform::kernel().GetLastError(), "",
                    "Setup could not create the folder %s", path);
        return false;
      }
      undoLog.Add(kCreatedFolder_, path);
    } else if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      ShowSetupBox(owner, MB_ICONERROR | MB_OK,
                   "%s is a file, not a folder. Choose another folder.", path);
      return false;
    }
    *c = kept;
    if (kept == '\0') return true;
  }
}

// Moves an existing `path` aside under a temporary name in its folder, so
// an undo can put it back: false (with the error code) when it could not.
bool MoveAside(const char* path, char* backup, uint32_t* error) {
  backup[0] = '\0';
  if (!Exists(path)) return true;
  char folder[kSetupPath];
  platform::Format(folder, sizeof folder, "%s", path);
  CutAtLastBackslash(folder);
  platform::Kernel& kernel = platform::kernel();
  if (kernel.GetTempFileNameA(folder, "pel", 0, backup) == 0 ||
      !kernel.DeleteFileA(backup) || !kernel.MoveFileA(path, backup)) {
    *error = kernel.GetLastError();
    if (backup[0]) kernel.DeleteFileA(backup);
    backup[0] = '\0';
    return false;
  }
  return true;
}

bool CopyProductFile(WindowHandle owner, const char* from, const char* to) {
  char backup[kSetupPath];
  uint32_t error = 0;
  if (!MoveAside(to, backup, &error)) {
    ShowFailure(owner, error, "", "Setup could not replace %s", to);
    return false;
  }
  if (backup[0]) undoLog.Add(kReplacedFile, to, backup);
  if (!platform::kernel().CopyFileA(from, to, true)) {
    ShowFailure(owner, platform::kernel().GetLastError(), "",
                "Setup could not copy %s to %s", from, to);
    return false;
  }
  if (!backup[0]) undoLog.Add(kNewFile, to);
  return true;
}

bool MakeLink(WindowHandle owner, const char* link, const char* target,
              const char* directory, const char* description) {
  char backup[kSetupPath];
  uint32_t error = 0;
  if (!MoveAside(link, backup, &error)) {
    ShowFailure(owner, error, "", "Setup could not replace the shortcut %s",
                link);
    return false;
  }
  if (backup[0]) undoLog.Add(kReplacedFile, link, backup);
  platform::ShellLinkInfo info;
  memset(&info, 0, sizeof info);
  platform::Format(info.target, sizeof info.target, "%s", target);
  platform::Format(info.directory, sizeof info.directory, "%s", directory);
  platform::Format(info.description, sizeof info.description, "%s",
                   description);
  int32_t result = platform::shell().CreateShellLink(link, info);
  if (FAILED(result)) {
    platform::kernel().DeleteFileA(link);  // nothing half-written stays
    char reason[300];
    ResultText(result, reason, sizeof reason);
    ShowSetupBox(owner, MB_ICONERROR | MB_OK,
                 "Setup could not create the shortcut %s : %s", link, reason);
    return false;
  }
  if (!backup[0]) undoLog.Add(kNewFile, link);
  return true;
}

bool StartMenuGroup(char* group) {
  char programs[kSetupPath];
  return SUCCEEDED(platform::shell().GetSpecialFolderPath(CSIDL_PROGRAMS,
                                                          programs)) &&
         Join(group, programs, kGroupName);
}

// The uninstall entry as it was, so an undo can put it back.
struct SavedEntry {
  bool existed;
  bool has[kEntryValueCount];
  char values[kEntryValueCount][kSetupPath];
};

SavedEntry savedEntry;

bool ReadString(RegistryKey& key, const char* name, char* value) {
  uint32_t type = 0, size = kSetupPath - 1;
  memset(value, 0, kSetupPath);
  return key.QueryValue(name, &type, reinterpret_cast<uint8_t*>(value),
                        &size) == ERROR_SUCCESS &&
         type == REG_SZ;
}

void SaveEntry() {
  memset(&savedEntry, 0, sizeof savedEntry);
  RegistryKey key;
  if (key.Open(HKEY_LOCAL_MACHINE, kUninstallKey, KEY_READ) != ERROR_SUCCESS)
    return;
  savedEntry.existed = true;
  for (int i = 0; i < kEntryValueCount; ++i)
    savedEntry.has[i] = ReadString(key, kEntryValues[i], savedEntry.values[i]);
}

void RestoreEntry() {
  if (!savedEntry.existed) {
    platform::registry().RegDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey);
    return;
  }
  RegistryKey key;
  if (key.Open(HKEY_LOCAL_MACHINE, kUninstallKey) != ERROR_SUCCESS) return;
  for (int i = 0; i < kEntryValueCount; ++i) {
    if (savedEntry.has[i])
      key.SetStringValue(kEntryValues[i], savedEntry.values[i]);
    else
      key.DeleteValue(kEntryValues[i]);
  }
}

bool WriteEntry(WindowHandle owner, const char* folder, const char* group) {
  char shortFolder[kSetupPath], uninstall[kSetupPath + 20];
  uint32_t length = platform::kernel().GetShortPathNameA(folder, shortFolder,
                                                         sizeof shortFolder);
  if (length == 0 || length >= sizeof shortFolder)
    platform::Format(shortFolder, sizeof shortFolder, "%s", folder);
  platform::Format(uninstall, sizeof uninstall, "%s\\Setup.exe /uninstall",
                   shortFolder);
  // An older install's first made folder still bounds what an uninstall
  // may remove, unless this one made the folders anew.
  const char* created = firstCreated;
  if (!created[0] && savedEntry.has[3] &&
      EqualNoCase(savedEntry.values[2], folder))
    created = savedEntry.values[3];
  const char* values[kEntryValueCount] = {"Pelmora", uninstall, folder, created,
                                          group};
  RegistryKey key;
  int32_t result = key.Create(HKEY_LOCAL_MACHINE, kUninstallKey);
  for (int i = 0; result == ERROR_SUCCESS && i < kEntryValueCount; ++i) {
    if (values[i][0])
      result = key.SetStringValue(kEntryValues[i], values[i]);
    else if (key.DeleteValue(kEntryValues[i]) == ERROR_ACCESS_DENIED)
      result = ERROR_ACCESS_DENIED;
  }
  if (result != ERROR_SUCCESS) {
    key.Close();
    RestoreEntry();
    ShowFailure(owner, uint32_t(result), "",
                "Setup could not write the uninstall entry "
                "HKEY_LOCAL_MACHINE\\%s",
                kUninstallKey);
    return false;
  }
  return true;
}

// Copies, shortcuts and the entry; false after a failure was shown (the
// caller undoes).
bool InstallSteps(WindowHandle owner, const char* source, const char* folder) {
  platform::Kernel& kernel = platform::kernel();
  char from[kSetupPath], to[kSetupPath], help[kSetupPath];
  for (size_t i = 0; i < kSetupFileCount; ++i) {
    if (!Join(from, source, kSetupFiles[i]) || !Exists(from)) {
      ShowSetupBox(owner, MB_ICONERROR | MB_OK,
                   "Setup cannot find %s.\nUnpack the whole ZIP file into "
                   "one folder and run Setup from there.",
                   from);
      return false;
    }
  }
  int before = undoLog.Count();
  if (!MakeFolders(owner, folder)) return false;
  platform::Format(firstCreated, sizeof firstCreated, "%s",
                   undoLog.FirstFolder(before));
  if (!Join(help, folder, kHelpFolder) || !MakeFolders(owner, help))
    return false;
  char shortFolder[kSetupPath];
  uint32_t length =
      kernel.GetShortPathNameA(folder, shortFolder, sizeof shortFolder);
  if (length == 0 || length > kShortFolderLimit) {
    ShowSetupBox(owner, MB_ICONERROR | MB_OK,
                 "The folder %s has too long a path for MS-DOS. Choose a "
                 "shorter one.",
                 folder);
    return false;
  }
  for (size_t i = 0; i < kSetupFileCount; ++i) {
    if (!Join(from, source, kSetupFiles[i]) ||
        !Join(to, folder, kSetupFiles[i]) || !CopyProductFile(owner, from, to))
      return false;
  }

  char group[kSetupPath];
  if (!StartMenuGroup(group)) {
    ShowSetupBox(owner, MB_ICONERROR | MB_OK,
                 "Setup could not find the Start menu's Programs folder.");
    return false;
  }
  if (!MakeFolders(owner, group)) return false;
  char link[kSetupPath], target[kSetupPath];
  if (!Join(link, group, kProgramLink) ||
      !Join(target, folder, "Kromva32.exe") ||
      !MakeLink(owner, link, target, folder, "Pelmora"))
    return false;
  if (!Join(link, group, kHelpLink) ||
      !Join(target, folder, "Help\\Help.html") ||
      !MakeLink(owner, link, target, help, "Pelmora Help"))
    return false;
  return WriteEntry(owner, folder, group);
}

// Deletes a file that may be missing: false (with the code) only when it
// is there and stays.
bool DeleteIfThere(const char* path, uint32_t* error) {
  if (platform::kernel().DeleteFileA(path)) return true;
  *error = platform::kernel().GetLastError();
  return *error == ERROR_FILE_NOT_FOUND || *error == ERROR_PATH_NOT_FOUND;
}

// Deletes a key and everything below it (Windows NT's RegDeleteKeyA takes
// only keys without subkeys).
void DeleteKeyTree(RegKey root, const char* path) {
  RegKey key = 0;
  platform::Registry& registry = platform::registry();
  if (registry.RegOpenKeyExA(root, path, 0, KEY_ALL_ACCESS, &key) !=
      ERROR_SUCCESS)
    return;
  char name[kSetupPath], child[kSetupPath * 2];
  for (;;) {
    uint32_t size = sizeof name;
    if (registry.RegEnumKeyExA(key, 0, name, &size) != ERROR_SUCCESS) break;
    platform::Format(child, sizeof child, "%s\\%s", path, name);
    DeleteKeyTree(root, child);
    // A subkey that stays would loop for ever.
    RegKey left = 0;
    if (registry.RegOpenKeyExA(root, child, 0, KEY_READ, &left) ==
        ERROR_SUCCESS) {
      registry.RegCloseKey(left);
      break;
    }
  }
  registry.RegCloseKey(key);
  registry.RegDeleteKeyA(root, path);
}

// Removes the programs' settings, and the company's key when nothing else
// is left in it.
void DeleteSettings(RegKey root) {
  DeleteKeyTree(root, kSettingsKey);
  RegKey key = 0;
  platform::Registry& registry = platform::registry();
  if (registry.RegOpenKeyExA(root, kSettingsParent, 0, KEY_READ, &key) !=
      ERROR_SUCCESS)
    return;
  uint32_t subKeys = 1, values = 1;
  bool empty = registry.RegQueryInfoKeyA(key, &subKeys, nullptr, &values,
                                         nullptr, nullptr) == ERROR_SUCCESS &&
               subKeys == 0 && values == 0;
  registry.RegCloseKey(key);
  if (empty) registry.RegDeleteKeyA(root, kSettingsParent);
}

// Asks Windows to delete `path` at the next start: a "NUL=" line with its
// short name in WININIT.INI's [rename] section (Windows 9x has no
// MoveFileEx for this). WININIT.INI is rewritten whole or left as it was.
bool DeleteAtRestart(const char* path) {
  platform::Kernel& kernel = platform::kernel();
  platform::FileSystem& files = platform::files();
  char shortPath[kSetupPath], windows[kSetupPath], ini[kSetupPath],
      temp[kSetupPath], old[kSetupPath], entry[kSetupPath + 8];
  uint32_t length = kernel.GetShortPathNameA(path, shortPath, sizeof shortPath);
  if (length == 0 || length >= sizeof shortPath) return false;
  length = kernel.GetWindowsDirectoryA(windows, sizeof windows);
  if (length == 0 || length >= sizeof windows ||
      !Join(ini, windows, "WININIT.INI") ||
      !Join(temp, windows, "WININIT.TMP") || !Join(old, windows, "WININIT.PEL"))
    return false;
  platform::Format(entry, sizeof entry, "NUL=%s\n", shortPath);
  bool existed = Exists(ini);
  platform::Stream* in = existed ? files.Open(ini, "rt") : nullptr;
  if (existed && !in) return false;
  platform::Stream* out = files.Open(temp, "wt");
  if (!out) {
    if (in) files.Close(in);
    return false;
  }
  bool added = false, ok = true, ended = true;
  char line[1024];
  while (in && files.Gets(line, sizeof line, in)) {
    ok = ok && files.Puts(line, out) >= 0;
    ended = line[strlen(line) - 1] == '\n';
    if (!added && StartsNoCase(line, "[rename]")) {
      // A header without its line end (the file's last) still gets one.
      if (!ended) ok = ok && files.Puts("\n", out) >= 0;
      ok = ok && files.Puts(entry, out) >= 0;
      added = ended = true;
    }
  }
  if (in) {
    ok = ok && !files.Error(in);
    files.Close(in);
  }
  if (!added)
    ok = ok && (ended || files.Puts("\n", out) >= 0) &&
         files.Puts("[rename]\n", out) >= 0 && files.Puts(entry, out) >= 0;
  ok = files.Close(out) == 0 && ok;
  // The old file is kept aside until the new one is in its place: the
  // renames other programs asked for must not be lost.
  if (ok && existed) ok = kernel.MoveFileA(ini, old);
  if (ok && !kernel.MoveFileA(temp, ini)) {
    if (existed) kernel.MoveFileA(old, ini);
    ok = false;
  }
  if (ok && existed) kernel.DeleteFileA(old);
  if (!ok) kernel.DeleteFileA(temp);
  return ok;
}

}  // namespace

void ShowSetupBox(WindowHandle owner, uint32_t type, const char* format, ...) {
  va_list args;
  va_start(args, format);
  ShowV(owner, type, format, args);
  va_end(args);
}

bool CheckInstallFolder(const char* typed, char* folder, char* message,
                        size_t messageSize) {
  message[0] = '\0';
  while (*typed == ' ') ++typed;
  size_t length = strlen(typed);
  while (length > 0 && (typed[length - 1] == ' ' || typed[length - 1] == '\\'))
    --length;
  const char* reason = nullptr;
  char letter = Upper(typed[0]);
  if (length < 4 || letter < 'A' || letter > 'Z' || typed[1] != ':' ||
      typed[2] != '\\')
    reason =
        "Type the full path of a folder, for example "
        "C:\\Program Files\\Pelmora.";
  else if (length >= 200)
    reason = "The folder's path is too long. Choose a shorter one.";
  for (size_t i = 3; !reason && i < length; ++i) {
    unsigned char c = static_cast<unsigned char>(typed[i]);
    if (c < 32 || strchr("/:*?\"<>|", c) || (c == '\\' && typed[i - 1] == '\\'))
      reason =
          "A folder's name cannot hold any of the characters "
          "/ : * ? \" < > |.";
  }
  if (reason) {
    platform::Format(message, messageSize, "%s", reason);
    folder[0] = '\0';
    return false;
  }
  memcpy(folder, typed, length);
  folder[0] = letter;
  folder[length] = '\0';
  return true;
}

bool InstalledFolder(char* folder) {
  RegistryKey key;
  return key.Open(HKEY_LOCAL_MACHINE, kUninstallKey, KEY_READ) ==
             ERROR_SUCCESS &&
         ReadString(key, kInstallLocation, folder) && folder[0] != '\0';
}

void DefaultInstallFolder(char* folder, bool* installed) {
  *installed = InstalledFolder(folder);
  if (*installed) return;
  char programFiles[kSetupPath];
  RegistryKey key;
  if (key.Open(HKEY_LOCAL_MACHINE,
               "Software\\Microsoft\\Windows\\CurrentVersion",
               KEY_READ) != ERROR_SUCCESS ||
      !ReadString(key, "ProgramFilesDir", programFiles) || !programFiles[0])
    platform::Format(programFiles, sizeof programFiles, "C:\\Program Files");
  if (!Join(folder, programFiles, "Pelmora"))
    platform::Format(folder, kSetupPath, "C:\\Program Files\\Pelmora");
}

bool InstallPelmora(const char* folder, WindowHandle owner) {
  char source[kSetupPath];
  uint32_t length =
      platform::kernel().GetModuleFileNameA(source, sizeof source);
  if (length == 0 || length >= sizeof source) {
    ShowFailure(owner, platform::kernel().GetLastError(), "",
                "Setup could not find its own folder");
    return false;
  }
  CutAtLastBackslash(source);
  if (EqualNoCase(source, folder)) {
    ShowSetupBox(owner, MB_ICONERROR | MB_OK,
                 "Setup cannot install Pelmora into the folder it runs from. "
                 "Choose another folder.");
    return false;
  }
  SaveEntry();
  firstCreated[0] = '\0';
  if (!InstallSteps(owner, source, folder)) {
    undoLog.Undo();
    return false;
  }
  bool wasWired = WiredIn(folder);
  uint32_t exitCode = 0;
  bool started = RunQuobrill(owner, folder, "/install", &exitCode);
  if (!started || exitCode != 0 || !WiredIn(folder)) {
    // Quobrill has shown why; it changes nothing when it fails. One that
    // ended badly after its work is undone by its own uninstall.
    if (started && !wasWired && WiredIn(folder))
      RunQuobrill(owner, folder, "/uninstall", &exitCode);
    if (started)
      ShowSetupBox(owner, MB_ICONERROR | MB_OK,
                   "Pelmora could not be added to the start of your "
                   "computer. Setup has removed what it installed.");
    RestoreEntry();
    undoLog.Undo();
    return false;
  }
  undoLog.Commit();
  return true;
}

bool StartRemovalCopy(WindowHandle owner) {
  platform::Kernel& kernel = platform::kernel();
  char self[kSetupPath], temp[kSetupPath], reserved[kSetupPath],
      copy[kSetupPath];
  uint32_t length = kernel.GetModuleFileNameA(self, sizeof self);
  uint32_t tempLength = kernel.GetTempPathA(sizeof temp, temp);
  if (length == 0 || length >= sizeof self || tempLength == 0 ||
      tempLength >= sizeof temp) {
    ShowFailure(owner, kernel.GetLastError(), "",
                "Setup could not find the temporary folder");
    return false;
  }
  if (kernel.GetTempFileNameA(temp, "pel", 0, reserved) == 0) {
    ShowFailure(owner, kernel.GetLastError(), "",
                "Setup could not make a file in the temporary folder %s", temp);
    return false;
  }
  // The reserved name with .exe, so Windows runs it.
  platform::Format(copy, sizeof copy, "%s", reserved);
  char* dot = strrchr(copy, '.');
  if (dot) platform::Format(dot, sizeof copy - size_t(dot - copy), ".exe");
  bool copied = kernel.CopyFileA(self, copy, true);
  uint32_t error = kernel.GetLastError();
  kernel.DeleteFileA(reserved);
  if (!copied) {
    ShowFailure(owner, error, "", "Setup could not copy itself to %s", copy);
    return false;
  }
  intptr_t started = platform::shell().ShellExecuteA(
      owner, "open", copy, "/remove", temp, SW_SHOWNORMAL);
  if (started <= 32) {
    kernel.DeleteFileA(copy);
    ShowSetupBox(owner, MB_ICONERROR | MB_OK,
                 "Setup could not start %s (error %d).", copy, int(started));
    return false;
  }
  return true;
}

bool UninstallPelmora(WindowHandle owner) {
  platform::Kernel& kernel = platform::kernel();
  char folder[kSetupPath], created[kSetupPath], group[kSetupPath];
  if (!InstalledFolder(folder)) {
    ShowSetupBox(owner, MB_ICONERROR | MB_OK,
                 "Pelmora is not installed on this computer.");
    return false;
  }
  {
    RegistryKey key;
    key.Open(HKEY_LOCAL_MACHINE, kUninstallKey, KEY_READ);
    if (!ReadString(key, kCreatedFolder, created)) created[0] = '\0';
    if (!ReadString(key, kStartMenuGroup, group)) group[0] = '\0';
  }
  char self[kSetupPath];
  uint32_t length = kernel.GetModuleFileNameA(self, sizeof self);
  if (length == 0 || length >= sizeof self) self[0] = '\0';
  bool inPlace = self[0] && IsInside(self, folder);

  char path[kSetupPath];
  if (Join(path, folder, "Quobrill.exe") && Exists(path)) {
    uint32_t exitCode = 0;
    if (!RunQuobrill(owner, folder, "/uninstall", &exitCode)) return false;
    if (exitCode != 0 || StillWired()) {
      ShowSetupBox(owner, MB_ICONERROR | MB_OK,
                   "Pelmora could not be taken out of the start of your "
                   "computer. Setup has removed nothing.");
      return false;
    }
  } else if (StillWired()) {
    ShowSetupBox(owner, MB_ICONERROR | MB_OK,
                 "Setup cannot find %s, which takes Pelmora out of the start "
                 "of your computer. Setup has removed nothing.",
                 path);
    return false;
  }

  // Files first: one in use stops the uninstall while it can be run again.
  for (size_t i = 0; i < kSetupFileCount + 3; ++i) {
    const char* name = i < kSetupFileCount ? kSetupFiles[i]
                                           : kWorkingFiles[i - kSetupFileCount];
    if (!Join(path, folder, name)) continue;
    if (inPlace && EqualNoCase(path, self)) continue;  // at the next start
    uint32_t error = 0;
    bool gone = DeleteIfThere(path, &error);
    // The Setup.exe that started this copy may still be ending.
    for (int tries = 1;
         !gone && tries < kDeleteTries && EqualNoCase(name, "Setup.exe");
         ++tries) {
      kernel.Sleep(kDeleteWait);
      gone = DeleteIfThere(path, &error);
    }
    if (!gone) {
      ShowFailure(owner, error, "Close Pelmora and remove it again.",
                  "Setup could not remove %s", path);
      return false;
    }
  }
  if (group[0]) {
    uint32_t ignored;
    if (Join(path, group, kProgramLink)) DeleteIfThere(path, &ignored);
    if (Join(path, group, kHelpLink)) DeleteIfThere(path, &ignored);
    kernel.RemoveDirectoryA(group);  // kept when the user added to it
  }
  DeleteSettings(HKEY_LOCAL_MACHINE);
  DeleteSettings(HKEY_CURRENT_USER);
  platform::registry().RegDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey);

  if (inPlace) DeleteAtRestart(self);
  if (Join(path, folder, kHelpFolder)) kernel.RemoveDirectoryA(path);
  // The folder and those above it that the install made; a folder the
  // user keeps files in stays.
  if (!inPlace) {
    platform::Format(path, sizeof path, "%s", folder);
    kernel.RemoveDirectoryA(path);
    while (created[0] && IsInside(path, created) &&
           strlen(path) > strlen(created)) {
      CutAtLastBackslash(path);
      kernel.RemoveDirectoryA(path);
    }
    // Only the copy in the temporary folder, never a Setup.exe the user
    // keeps.
    char temp[kSetupPath];
    uint32_t tempLength = kernel.GetTempPathA(sizeof temp, temp);
    if (tempLength > 0 && tempLength < sizeof temp) {
      if (temp[tempLength - 1] == '\\') temp[tempLength - 1] = '\0';
      if (self[0] && IsInside(self, temp)) DeleteAtRestart(self);
    }
  }
  return true;
}
