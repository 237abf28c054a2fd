#include "writers/CompressionIni.h"

#include <string.h>

#include "platform/Codes.h"
#include "platform/Platform.h"
#include "platform/ScopedFile.h"
#include "shell/ErrorReport.h"
#include "writers/TextLines.h"

namespace {

const char temporaryName[] = "DrvSpIni.tmp";
// Files are read in pieces of at most 127 characters.
const int pieceSize = 128;
const int pathSize = 260;
// The rewritten file is dated this far back (100 ns units), so that it
// stays older than the Letters.ini of the same save.
const FileTime backdating = 30ull * 10000000ull;

bool IsLetter(char c) { return c >= 'A' && c <= 'Z'; }

// The keys this writer owns; every other line is kept.
bool IsOwnKey(const char* piece) {
  const char* equals = strchr(piece, '=');
  if (equals == nullptr) return false;
  const size_t length = static_cast<size_t>(equals - piece);
  return EqualsNoCase(piece, length, "FirstDrive") ||
         EqualsNoCase(piece, length, "LastDrive") ||
         EqualsNoCase(piece, length, "ActivateDrive");
}

// The drives whose letters the compression software gives: compressed
// volumes in their own place, and hosts that took a volume's letter.
bool GetsLetterFromCompression(const DriveRecord& record) {
  if (!record.present || record.protectedModeOnly) return false;
  return (record.compressionRole == 1 && !record.swapped) ||
         (record.compressionRole == 2 && record.swapped);
}

// Reports a replacement that failed while the original is still in place.
bool ReplacementFailed(uint32_t error, const char* path) {
  ReportSystemError(error, "Error renaming %s to %s", temporaryName, path);
  return false;
}

bool ReplaceSettingsFile(const char* path) {
  platform::Kernel& kernel = platform::kernel();
  const uint32_t attributes = kernel.GetFileAttributesA(path);
  if (attributes == INVALID_FILE_ATTRIBUTES)
    return ReplacementFailed(kernel.GetLastError(), path);
  if (!kernel.SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL))
    return ReplacementFailed(kernel.GetLastError(), path);
  if (!kernel.DeleteFileA(path)) {
    const uint32_t error = kernel.GetLastError();
    // The original stays, and so do its read-only and hidden bits.
    kernel.SetFileAttributesA(path, attributes);
    return ReplacementFailed(error, path);
  }
  if (!kernel.MoveFileA(temporaryName, path)) {
    // The original is gone: the temporary file is the only copy of the
    // settings, so it stays and the message says where it lies.
    const uint32_t error = kernel.GetLastError();
    KeepTemporary(temporaryName);
    char kept[pathSize];
    PathInCurrentDirectory(temporaryName, kept, sizeof kept);
    ReportSystemError(error, "Error renaming %s to %s", kept, path);
    return false;
  }
  if (!kernel.SetFileAttributesA(path, attributes)) {
    ReportLastError("Error renaming %s to %s", temporaryName, path);
    return false;
  }
  return true;
}

}  // namespace

bool FindCompressionIni(const DriveTable& table, char* path, size_t size) {
  char boot = table.currentLetterOf('C');
  if (boot == 0) boot = 'C';
  if (boot == 'C') {
    // A compressed volume that took C: has its settings on its host.
    const DriveRecord& c = table.recordOf('C');
    if (c.compressionRole == 1 && c.swapped && IsLetter(c.swapPartner))
      boot = c.swapPartner;
  }
  const char* names[] = {"DrvSpace.ini", "DblSpace.ini"};
  for (const char* name : names) {
    platform::Format(path, size, "%c:\\%s", boot, name);
    if (platform::kernel().GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES)
      return true;
  }
  if (size > 0) path[0] = '\0';
  return false;
}

bool UpdateCompressionIni(const DriveTable& table) {
  if (!table.compressionPresent) return true;
  char first = 'Z', last = 'A';
  bool any = false;
  for (const DriveRecord& record : table.records) {
    if (!GetsLetterFromCompression(record) || !IsLetter(record.newLetter))
      continue;
    any = true;
    if (record.newLetter < first) first = record.newLetter;
    if (record.newLetter > last) last = record.newLetter;
  }
  if (!any) return true;

  char path[pathSize];
  if (!FindCompressionIni(table, path, sizeof path)) {
    ReportError("Cannot find file DRVSPACE.INI or DBLSPACE.INI");
    return false;
  }
  platform::FileSystem& files = platform::files();
  platform::Kernel& kernel = platform::kernel();
  ScopedFile in, out;
  if (!in.Open(path, "rt", rewriteBufferSize)) {
    ReportCrtError("Error opening the file %s", path);
    return false;
  }
  if (!OpenTemporary(&out, temporaryName)) {
    ReportCrtError("Error opening the file %s for writing.", temporaryName);
    return false;
  }

  // A line is judged by its start only: the rest of a long line is copied
  // whatever it holds.
  char piece[pieceSize];
  bool lineStart = true, dropping = false, keptOpen = false;
  while (files.Gets(piece, sizeof piece, in.Get()) != nullptr) {
    if (lineStart) dropping = IsOwnKey(piece);
    lineStart = EndsLine(piece);
    if (!dropping) {
      files.Puts(piece, out.Get());
      keptOpen = !lineStart;
    }
  }
  // A kept last line without its line end gets one, so the lines appended
  // below stay lines of their own.
  if (keptOpen) files.Puts("\n", out.Get());
  if (in.Error()) {
    ReportError("Error reading the file %s", path);
    out.Close();
    kernel.DeleteFileA(temporaryName);
    return false;
  }
  in.Close();

  char line[32];
  platform::Format(line, sizeof line, "FirstDrive=%c\n", first);
  files.Puts(line, out.Get());
  platform::Format(line, sizeof line, "LastDrive=%c\n", last);
  files.Puts(line, out.Get());
  for (int v = 0; v < DriveTable::driveCount; ++v) {
    const DriveRecord& volume = table.record(v);
    if (!volume.present || volume.protectedModeOnly ||
        volume.compressionRole != 1 || !IsLetter(volume.hostLetter))
      continue;
    if (volume.swapped) {
      // The volume sits in its host's place: the host's New letter is the
      // one the compression software must give it.
      const char letter = table.recordOf(volume.hostLetter).newLetter;
      if (!IsLetter(letter)) continue;
      platform::Format(line, sizeof line, "ActivateDrive=%c,%c%d\n", letter,
                       static_cast<char>('A' + v), 0);
    } else {
      if (!IsLetter(volume.newLetter)) continue;
      platform::Format(line, sizeof line, "ActivateDrive=%c,%c%d\n",
                       volume.newLetter, volume.hostLetter,
                       static_cast<int>(volume.cvfSequence));
    }
    files.Puts(line, out.Get());
  }

  // The last buffer reaches the disk only at the close.
  if (out.Error() || !out.Close()) {
    ReportCrtError("Error writing temporary file %s", temporaryName);
    out.Close();
    kernel.DeleteFileA(temporaryName);
    return false;
  }
  const FileTime dated = kernel.GetSystemTimeAsFileTime() - backdating;
  if (!kernel.SetFileTime(temporaryName, nullptr, &dated, &dated)) {
    // A system call failed, not the run-time library: its own text.
    ReportLastError("Error writing temporary file %s", temporaryName);
    kernel.DeleteFileA(temporaryName);
    return false;
  }
  return ReplaceSettingsFile(path);
}
