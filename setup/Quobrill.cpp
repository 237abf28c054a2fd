#include "setup/Quobrill.h"

#include <string.h>

#include "framework/Dialog.h"
#include "platform/Codes.h"
#include "platform/Platform.h"
#include "platform/ScopedFile.h"
#include "setup/SetupCompletedDialog.h"
#include "setup/SetupMessages.h"
#include "setup/resource.h"

namespace {

const char kAutoexec[] = "C:\\autoexec.bat";
const char kAutoexecTemp[] = "C:\\temp.tmp";
const char kAutoexecError[] = "Error changing c:\\autoexec.bat";
const char kCompanion[] = "\\KROMVALE.EXE @LETTERS.INI /O:DRIVEMAP.DAT /CD";
const char kIniName[] = "Kromvale.ini";
// Where the new content of a file lies when its original was deleted and
// the temporary file could not take its place.
const char kKeptIn[] = "the new content is kept in ";
const uint64_t kMaxOwnSize = 3072;
const uint32_t kOwnMarker = 0x12345678u;
const uint32_t kRetryDelay = 5000;
const int kSeekEnd = 2;
// Files are read in pieces of at most 1023 characters.
const int kPiece = 1024;
const size_t kPath = 260;
// The short application directory goes into a DOS command line.
const uint32_t kShortDirectory = 80;

char Upper(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }

bool EqualNoCase(const char* a, const char* b) {
  while (*a && Upper(*a) == Upper(*b)) ++a, ++b;
  return *a == '\0' && *b == '\0';
}

// Finds an upper-case word in a line that arrives in pieces, ignoring case,
// also where the word straddles two pieces of the same line.
class LineMatcher {
 public:
  explicit LineMatcher(const char* word)
      : word(word), wordLength(strlen(word)) {}

  // Starts a new line.
  void Reset() {
    carried = 0;
    found = false;
  }

  // Takes the next piece of the line; true when it ends the line.
  bool Feed(const char* piece) {
    size_t length = strlen(piece);
    // The last characters of the previous piece, then this one.
    char text[sizeof carry + kPiece];
    memcpy(text, carry, carried);
    for (size_t i = 0; i < length; ++i) text[carried + i] = Upper(piece[i]);
    size_t total = carried + length;
    text[total] = '\0';
    if (strstr(text, word) != nullptr) found = true;
    carried = total < wordLength - 1 ? total : wordLength - 1;
    memcpy(carry, text + total - carried, carried);
    bool lineEnds = length > 0 && piece[length - 1] == '\n';
    return lineEnds;
  }

  bool Found() const { return found; }

 private:
  const char* word;
  size_t wordLength;
  char carry[16];
  size_t carried = 0;
  bool found = false;
};

bool EndsLine(const char* piece) {
  size_t length = strlen(piece);
  return length > 0 && piece[length - 1] == '\n';
}

// directory + "\" + name, without doubling the backslash of a root; false
// when it does not fit.
bool JoinPath(char* buffer, size_t size, const char* directory,
              const char* name) {
  size_t length = strlen(directory);
  const char* separator =
      length > 0 && directory[length - 1] == '\\' ? "" : "\\";
  int written =
      platform::Format(buffer, size, "%s%s%s", directory, separator, name);
  return written >= 0;
}

bool WindowsPath(char* buffer, size_t size, const char* name) {
  char directory[kPath];
  uint32_t length =
      platform::kernel().GetWindowsDirectoryA(directory, sizeof directory);
  if (length == 0 || length >= sizeof directory) return false;
  return JoinPath(buffer, size, directory, name);
}

bool SystemPath(char* buffer, size_t size, const char* name) {
  char directory[kPath];
  uint32_t length =
      platform::kernel().GetSystemDirectoryA(directory, sizeof directory);
  if (length == 0 || length >= sizeof directory) return false;
  return JoinPath(buffer, size, directory, name);
}

bool Exists(const char* path) {
  return platform::kernel().GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

// The long directory of the program (with its backslash only when it is a
// drive's root) and its short form without a closing backslash.
bool ApplicationDirectory(char* longDirectory, size_t longSize,
                          char* shortDirectory, uint32_t shortSize) {
  platform::Kernel& kernel = platform::kernel();
  char path[kPath];
  uint32_t length = kernel.GetModuleFileNameA(path, sizeof path);
  if (length == 0 || length >= sizeof path) return false;
  char* slash = strrchr(path, '\\');
  if (slash == nullptr) return false;
  // Keep the backslash of a root folder ("C:\").
  slash[slash == path + 2 && path[1] == ':' ? 1 : 0] = '\0';
  if (strlen(path) >= longSize) return false;
  memcpy(longDirectory, path, strlen(path) + 1);
  uint32_t shortLength =
      kernel.GetShortPathNameA(longDirectory, shortDirectory, shortSize);
  if (shortLength == 0 || shortLength >= shortSize) return false;
  if (shortDirectory[shortLength - 1] == '\\')
    shortDirectory[shortLength - 1] = '\0';
  return true;
}

// Size of an existing file; false when it cannot be read.
bool FileSize(const char* path, uint64_t* size) {
  platform::FindData data;
  if (!platform::kernel().FindFirstFile(path, &data)) return false;
  if (data.attributes & FILE_ATTRIBUTE_DIRECTORY) return false;
  *size = data.size;
  return true;
}

// ProbeVmm32 without its messages: 0, or the code of the step that failed.
int ProbeQuietly(const char* path, bool* isOwn, uint64_t* size) {
  *isOwn = false;
  if (!FileSize(path, size)) return 427;
  // A larger file is never taken for ours.
  if (*size > kMaxOwnSize) return 0;
  platform::FileSystem& files = platform::files();
  platform::Stream* stream = files.Open(path, "rb");
  if (stream == nullptr) return 441;
  if (files.Seek(stream, -4, kSeekEnd) != 0) {
    files.Close(stream);
    return 447;
  }
  uint8_t tail[4];
  if (files.Read(tail, 1, 4, stream) != 4) {
    files.Close(stream);
    return 455;
  }
  if (files.Close(stream) != 0) return 462;
  uint32_t value = uint32_t(tail[0]) | uint32_t(tail[1]) << 8 |
                   uint32_t(tail[2]) << 16 | uint32_t(tail[3]) << 24;
  *isOwn = value == kOwnMarker;
  return 0;
}

// A file's size now differs from `size` (or cannot be read at all): a
// failed copy may have left it half written.
bool SizeChanged(const char* path, uint64_t size) {
  uint64_t now;
  return !FileSize(path, &now) || now != size;
}

// The copies over vmm32.vxd get one more try after a pause: the file may
// be held open for a moment.
bool CopyWithRetry(const char* from, const char* to) {
  platform::Kernel& kernel = platform::kernel();
  if (kernel.CopyFileA(from, to, false)) return true;
  kernel.Sleep(kRetryDelay);
  return kernel.CopyFileA(from, to, false);
}

// Writes Kromvale.ini through a temporary file, so a failed write leaves
// the old one as it was. *created: there was none before.
bool WriteKromvaleIni(const char* shortDirectory, bool* created) {
  platform::Kernel& kernel = platform::kernel();
  char ini[kPath], temp[kPath];
  if (!WindowsPath(ini, sizeof ini, kIniName) ||
      !WindowsPath(temp, sizeof temp, "Kromvale.tmp")) {
    ShowSetupError("Error creating the file %s", kIniName);
    return false;
  }
  *created = !Exists(ini);
  ScopedFile file;
  bool written = file.Open(temp, "wt") &&
                 platform::files().Puts(shortDirectory, file.Get()) >= 0 &&
                 !file.Error();
  bool closed = file.Close();
  if (!written || !closed) {
    kernel.DeleteFileA(temp);
    ShowSetupError("Error creating the file %s", ini);
    return false;
  }
  if (!*created && !kernel.DeleteFileA(ini)) {
    kernel.DeleteFileA(temp);
    ShowSetupError("Error creating the file %s", ini);
    return false;
  }
  if (!kernel.MoveFileA(temp, ini)) {
    if (*created) {
      // Nothing was replaced: the temporary file is of no use.
      kernel.DeleteFileA(temp);
      ShowSetupError("Error creating the file %s", ini);
    } else {
      ShowSetupError("Error creating the file %s : %s%s", ini, kKeptIn, temp);
    }
    return false;
  }
  return true;
}

// Whether this is Windows Me; false (after the message) when the version
// cannot be read.
bool ReadWindowsVersion(bool* me) {
  platform::VersionInfo version;
  *me = false;
  if (!platform::kernel().GetVersionExA(&version)) {
    ShowSetupError("Error determining Windows version !");
    return false;
  }
  *me = version.majorVersion == 4 && version.minorVersion == 90;
  return true;
}

void ShowOpinionRequest() {
  char text[512];
  if (AfxLoadString(IDS_OPINION, text, sizeof text) == 0) return;
  platform::prompts().MessageBoxA(GetSetupOwner(), text,
                                  "Please, leave your opinion.", MB_OK);
}

void StartPelmora(const char* longDirectory) {
  char program[kPath];
  if (!JoinPath(program, sizeof program, longDirectory, "Kromva32.exe")) {
    ShowSetupError("Error starting %s", "Kromva32.exe");
    return;
  }
  intptr_t result = platform::shell().ShellExecuteA(
      GetSetupOwner(), "open", program, "", longDirectory, SW_SHOWNORMAL);
  if (result <= 32) ShowSetupError("Error starting %s", program);
}

// "%s%d" as sscanf reads it: a word, then a decimal number (white space
// before each, anything after the number ignored). A word too long for the
// buffer is no switch we know, so it is refused rather than cut.
bool ReadArguments(const char* text, char* word, size_t wordSize,
                   intptr_t* number) {
  auto space = [](char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' ||
           c == '\f';
  };
  if (text == nullptr) return false;
  while (space(*text)) ++text;
  size_t length = 0;
  while (*text && !space(*text)) {
    if (length + 1 >= wordSize) return false;
    word[length++] = *text++;
  }
  word[length] = '\0';
  if (length == 0) return false;
  while (space(*text)) ++text;
  bool negative = *text == '-';
  if (*text == '-' || *text == '+') ++text;
  if (*text < '0' || *text > '9') return false;
  int64_t value = 0;
  while (*text >= '0' && *text <= '9') {
    value = value * 10 + (*text++ - '0');
    // A handle is a 32-bit value.
    if (value > 0x80000000LL) return false;
  }
  if (negative) value = -value;
  if (value > 0x7FFFFFFFLL) return false;
  *number = intptr_t(value);
  return true;
}

}  // namespace

int RunQuobrill(const char* commandLine) {
  char word[16];
  intptr_t handle = 0;
  bool install = false, uninstall = false;
  if (ReadArguments(commandLine, word, sizeof word, &handle)) {
    install = EqualNoCase(word, "/install");
    uninstall = EqualNoCase(word, "/uninstall");
  }
  if (!install && !uninstall) {
    platform::prompts().MessageBoxA(
        0,
        "Bad arguments. ( This program may not run as a standalone "
        "application. )",
        "Pelmora Setup Extension", MB_ICONERROR | MB_OK);
    return 0;
  }
  // Handles are sign-extended where they are wider than 32 bits.
  SetSetupOwner(WindowHandle(handle));
  if (install)
    InstallExtension();
  else
    UninstallExtension();
  return 0;
}

void InstallExtension() {
  char longDirectory[kPath], shortDirectory[kShortDirectory];
  if (!ApplicationDirectory(longDirectory, sizeof longDirectory, shortDirectory,
                            sizeof shortDirectory)) {
    ShowSetupError("Error determining application directory. Setup failed.");
    return;
  }
  // Without the version the wiring cannot be chosen: the wrong one would
  // change the boot files of the other system.
  bool me = false;
  if (!ReadWindowsVersion(&me)) return;
  if (me) {
    bool created = false;
    if (!WriteKromvaleIni(shortDirectory, &created)) return;
    if (!ReplaceVmm32(longDirectory)) {
      // A failed install leaves no trace: the companion has nothing to
      // read the directory for.
      char ini[kPath];
      if (created && WindowsPath(ini, sizeof ini, kIniName))
        platform::kernel().DeleteFileA(ini);
      return;
    }
  } else {
    char line[kShortDirectory + sizeof kCompanion + 1];
    platform::Format(line, sizeof line, "@%s%s", shortDirectory, kCompanion);
    if (!EditAutoexecBat(line)) return;
  }
  ShowOpinionRequest();
  // Run-time libraries replaced only at the next restart would not let
  // the program start now.
  if (PendingRuntimeUpdate()) return;
  SetupCompletedDialog dialog(GetSetupOwner());
  if (dialog.DoModal() == 1) StartPelmora(longDirectory);
}

void UninstallExtension() {
  bool me = false;
  if (!ReadWindowsVersion(&me)) return;
  if (me) {
    // Kromvale.ini goes even when vmm32.vxd cannot be put back.
    RestoreVmm32();
    char ini[kPath];
    if (!WindowsPath(ini, sizeof ini, kIniName)) {
      ShowSetupError("Error deleting the file %s", kIniName);
    } else if (!platform::kernel().DeleteFileA(ini)) {
      ShowSetupError("Error deleting the file %s", ini);
    }
  } else {
    EditAutoexecBat(nullptr);
  }
}

bool EditAutoexecBat(const char* line) {
  platform::FileSystem& files = platform::files();
  platform::Kernel& kernel = platform::kernel();
  // Two readers over the old file: `ahead` reads each line to its end to
  // judge it as a whole, however long; `in` then copies or skips that
  // same line. Memory stays fixed for lines of any length.
  ScopedFile in, out, ahead;
  if (!in.Open(kAutoexec, "rt")) {
    ShowSetupError(kAutoexecError);
    return false;
  }
  if (!out.Open(kAutoexecTemp, "wt")) {
    ShowSetupError(kAutoexecError);
    return false;
  }
  if (!ahead.Open(kAutoexec, "rt")) {
    out.Close();
    kernel.DeleteFileA(kAutoexecTemp);
    ShowSetupError(kAutoexecError);
    return false;
  }
  if (line != nullptr) {
    files.Puts(line, out.Get());
    files.Putc('\n', out.Get());
  }
  LineMatcher matcher("KROMVALE.EXE");
  char piece[kPiece];
  for (;;) {
    matcher.Reset();
    bool any = false;
    while (files.Gets(piece, sizeof piece, ahead.Get()) != nullptr) {
      any = true;
      if (matcher.Feed(piece)) break;
    }
    if (!any) break;
    bool keep = !matcher.Found();
    while (files.Gets(piece, sizeof piece, in.Get()) != nullptr) {
      if (keep) files.Puts(piece, out.Get());
      if (EndsLine(piece)) break;
    }
  }
  bool failed = in.Error() || ahead.Error() || out.Error() || out.Eof();
  ahead.Close();
  in.Close();
  // The temporary file is complete only when its last buffer reached the
  // disk.
  if (!out.Close()) failed = true;
  if (failed) {
    ShowSetupError(kAutoexecError);
    kernel.DeleteFileA(kAutoexecTemp);
    return false;
  }
  if (!kernel.DeleteFileA(kAutoexec)) {
    ShowSetupError(kAutoexecError);
    kernel.DeleteFileA(kAutoexecTemp);
    return false;
  }
  if (!kernel.MoveFileA(kAutoexecTemp, kAutoexec)) {
    // The original is gone: the new content in C:\temp.tmp is the only
    // copy, and the message says where it lies.
    ShowSetupError("%s : %s%s", kAutoexecError, kKeptIn, kAutoexecTemp);
    return false;
  }
  return true;
}

bool IsWindowsMe() {
  bool me = false;
  ReadWindowsVersion(&me);
  return me;
}

bool ProbeVmm32(const char* path, bool* isOwn, uint64_t* size) {
  int code = ProbeQuietly(path, isOwn, size);
  if (code != 0) {
    ShowSetupErrorCode(code);
    return false;
  }
  return true;
}

bool ReplaceVmm32(const char* applicationDirectory) {
  platform::Kernel& kernel = platform::kernel();
  char source[kPath], vxd[kPath], backup[kPath];
  if (!JoinPath(source, sizeof source, applicationDirectory, "temp.bin") ||
      !kernel.CopyFileA(source, "NUL", false)) {
    ShowSetupErrorCode(490);
    return false;
  }
  // temp.bin must be recognisable as ours once installed: otherwise the
  // next install would take it for the original and save it over
  // vmm32.vx_, losing the real original.
  bool sourceOwn;
  uint64_t sourceSize;
  if (ProbeQuietly(source, &sourceOwn, &sourceSize) != 0 || !sourceOwn) {
    ShowSetupErrorCode(490);
    return false;
  }
  if (!SystemPath(vxd, sizeof vxd, "vmm32.vxd") ||
      !SystemPath(backup, sizeof backup, "vmm32.vx_")) {
    ShowSetupErrorCode(427);
    return false;
  }
  bool own;
  uint64_t size;
  if (!ProbeVmm32(vxd, &own, &size)) return false;
  if (own) {
    // Installed before: vmm32.vx_ already holds the original.
    if (!Exists(backup)) {
      ShowSetupErrorCode(515);
      return false;
    }
  } else if (!kernel.CopyFileA(vxd, backup, false)) {
    ShowSetupErrorCode(505);
    return false;
  }
  if (!CopyWithRetry(source, vxd)) {
    ShowSetupErrorCode(527);
    if (SizeChanged(vxd, size) && !kernel.CopyFileA(backup, vxd, false))
      ShowSetupErrorCode(534);
    return false;
  }
  kernel.DeleteFileA(source);
  return true;
}

bool RestoreVmm32() {
  platform::Kernel& kernel = platform::kernel();
  char vxd[kPath], backup[kPath];
  if (!SystemPath(vxd, sizeof vxd, "vmm32.vxd") ||
      !SystemPath(backup, sizeof backup, "vmm32.vx_") ||
      !kernel.CopyFileA(backup, "NUL", false)) {
    ShowSetupErrorCode(562);
    return false;
  }
  bool own;
  uint64_t size;
  if (!ProbeVmm32(vxd, &own, &size)) return false;
  if (!own) {
    ShowSetupErrorCode(573);
    return false;
  }
  char tempDirectory[kPath];
  uint32_t length = kernel.GetTempPathA(sizeof tempDirectory, tempDirectory);
  if (length == 0 || length >= sizeof tempDirectory) {
    ShowSetupErrorCode(581);
    return false;
  }
  char safety[kPath];
  if (kernel.GetTempFileNameA(tempDirectory, "kromvale", 0, safety) == 0) {
    ShowSetupErrorCode(587);
    return false;
  }
  if (!kernel.CopyFileA(vxd, safety, false)) {
    kernel.DeleteFileA(safety);
    ShowSetupErrorCode(592);
    return false;
  }
  if (!CopyWithRetry(backup, vxd)) {
    ShowSetupErrorCode(603);
    if (SizeChanged(vxd, size) && !kernel.CopyFileA(safety, vxd, false)) {
      // The safety copy is then the only whole copy of our vmm32.vxd.
      ShowSetupErrorCode(610);
      return false;
    }
    kernel.DeleteFileA(safety);
    return false;
  }
  kernel.DeleteFileA(backup);
  kernel.DeleteFileA(safety);
  return true;
}

bool PendingRuntimeUpdate() {
  char path[kPath];
  if (!WindowsPath(path, sizeof path, "WININIT.INI")) return true;
  if (!Exists(path)) {
    uint32_t error = platform::kernel().GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
      return false;
  }
  ScopedFile file;
  if (!file.Open(path, "rt")) return true;
  LineMatcher mfc("MFC42.DLL"), msvcrt("MSVCRT.DLL");
  char piece[kPiece];
  while (platform::files().Gets(piece, sizeof piece, file.Get()) != nullptr) {
    bool lineEnds = mfc.Feed(piece);
    msvcrt.Feed(piece);
    if (mfc.Found() || msvcrt.Found()) return true;
    if (lineEnds) {
      mfc.Reset();
      msvcrt.Reset();
    }
  }
  return file.Error();
}
