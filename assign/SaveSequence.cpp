#include "assign/SaveSequence.h"

#include <string.h>

#include "assign/DriveListView.h"
#include "platform/Codes.h"
#include "platform/Platform.h"
#include "platform/ScopedFile.h"
#include "shell/ErrorReport.h"
#include "writers/CompressionIni.h"
#include "writers/DosStartupFiles.h"
#include "writers/RegistryAssignment.h"

const char lettersIniName[] = "Letters.ini";
// The new assignment is written here first and replaces Letters.ini only
// once it is whole: the DOS-mode companion applies whatever Letters.ini
// holds at the next boot, so a cut file must never take its place.
const char lettersTempName[] = "Letters.tmp";

namespace {

const int lineSize = 64;

const char incompleteMessage[] =
    "Not all of the drives have been assigned a new letter.\nPlease, choose "
    "letters for all of the drives and then try again.";

bool IsLetter(char c) { return c >= 'A' && c <= 'Z'; }

// The record of the first present drive, in letter order, whose New letter
// is `letter`; -1 when none has it.
int DriveWithNewLetter(const DriveTable& table, char letter) {
  for (int i = 0; i < DriveTable::driveCount; ++i) {
    const DriveRecord& record = table.record(i);
    if (record.present && record.newLetter == letter) return i;
  }
  return -1;
}

// "<key>=(HHHH-LLLL)", "<key>=label" or "<key>="label"": how the companion
// recognises a hard disk.
void IdentityLine(char* line, const char* key, const DriveRecord& record,
                  bool bySerial) {
  if (bySerial) {
    platform::Format(line, lineSize, "%s=(%04X-%04X)\n", key,
                     static_cast<unsigned>(record.serialNumber >> 16),
                     static_cast<unsigned>(record.serialNumber & 0xFFFF));
  } else if (strchr(record.volumeLabel, ' ') != nullptr) {
    platform::Format(line, lineSize, "%s=\"%s\"\n", key, record.volumeLabel);
  } else {
    platform::Format(line, lineSize, "%s=%s\n", key, record.volumeLabel);
  }
}

// The line for New letter `letter` of drive `index` in `line`; false when
// the drive gets none (its letter is kept elsewhere) or, after a report,
// when the line cannot be formed (*failed set).
bool DriveLine(const DriveTable& table, int index, char letter, bool bySerial,
               char* line, bool* failed) {
  const DriveRecord& record = table.record(index);
  // DriveSpace, protected mode and the shared drive's DOS give these.
  if (record.protectedModeOnly || record.sharesPhysicalDrive ||
      record.compressionRole != 0)
    return false;
  const char drive = static_cast<char>('A' + index);
  switch (record.driveType) {
    case DRIVE_REMOVABLE:
    case DRIVE_RAMDISK: {
      const char original = table.originalLetterOf(drive);
      if (original == 0) {
        ReportError("Error determining original letter for the drive %c.",
                    drive);
        *failed = true;
        return false;
      }
      platform::Format(line, lineSize, "%c=%c:\n", letter, original);
      return true;
    }
    case DRIVE_FIXED: {
      const char key[2] = {letter, '\0'};
      IdentityLine(line, key, record, bySerial);
      return true;
    }
    default:
      // Network drives and CD-ROMs keep their letters through the
      // connections, MSCDEX and the registry.
      return false;
  }
}

}  // namespace

bool CheckAssignmentComplete(AssignmentRules& rules, const DriveTable& table,
                             WindowHandle owner) {
  for (int i = 0; i < DriveTable::driveCount; ++i) {
    const DriveRecord& record = table.record(i);
    if (!record.present || record.newLetter != noLetter) continue;
    if (!rules.CheckLetter(static_cast<char>('A' + i), ChangeDrive, false))
      continue;
    platform::prompts().MessageBoxA(owner, incompleteMessage, "Pelmora",
                                    MB_ICONEXCLAMATION | MB_OK);
    return false;
  }
  return true;
}

bool WriteLettersIni(const DriveTable& table, bool bySerial) {
  platform::FileSystem& files = platform::files();
  platform::Kernel& kernel = platform::kernel();
  ScopedFile file;
  if (!file.Open(lettersTempName, "wt")) {
    ReportCrtError("Error opening the file %s", lettersIniName);
    return false;
  }
  bool failed = false;
  char line[lineSize];
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    const int index = DriveWithNewLetter(table, letter);
    if (index < 0) continue;
    if (DriveLine(table, index, letter, bySerial, line, &failed))
      files.Puts(line, file.Get());
  }

  // The Windows directory's first character may come in lower case; a
  // letter that names no record is reported rather than looked up.
  char windows = table.windowsDriveLetter;
  if (windows >= 'a' && windows <= 'z')
    windows = static_cast<char>(windows - 32);
  if (IsLetter(windows)) {
    IdentityLine(line, "/WD", table.recordOf(windows), bySerial);
    files.Puts(line, file.Get());
  } else {
    ReportError("Error determining the drive of the Windows directory.");
    failed = true;
  }

  bool written = !file.Error() && !file.Eof();
  // What is still buffered reaches the disk only at the close.
  if (!file.Close()) written = false;
  if (!written) {
    ReportCrtError("Error writing the file %s", lettersIniName);
    kernel.DeleteFileA(lettersTempName);
    return false;
  }
  // Windows 9x moves no file over another: the old one goes first.
  if (kernel.GetFileAttributesA(lettersIniName) != INVALID_FILE_ATTRIBUTES &&
      !kernel.DeleteFileA(lettersIniName)) {
    ReportLastError("Error deleting the file %s", lettersIniName);
    kernel.DeleteFileA(lettersTempName);
    return false;
  }
  if (!kernel.MoveFileA(lettersTempName, lettersIniName)) {
    // The new assignment stays findable in the temporary file.
    char folder[260];
    if (kernel.GetCurrentDirectoryA(sizeof folder, folder) == 0)
      folder[0] = '\0';
    const size_t length = strlen(folder);
    ReportLastError("Error renaming %s%s%s to %s", folder,
                    length > 0 && folder[length - 1] != '\\' ? "\\" : "",
                    lettersTempName, lettersIniName);
    return false;
  }
  return !failed;
}

bool DriveListView::SaveAssignment() {
  if (!CheckAssignmentComplete(rules, table, GetSafeHwnd())) return false;

  bool ok = true;
  // Without the application's option (tests) the default: by serial number.
  const bool bySerial = options == nullptr || options->saveBy == 0;
  if (bySerial) {
    if (!CheckDuplicateSerials() || !WriteLettersIni(table, true)) ok = false;
  } else {
    if (!CheckDuplicateLabels() || !WriteLettersIni(table, false)) ok = false;
  }
  // Every writer runs, whatever the ones before did.
  if (!UpdateCompressionIni(table)) ok = false;
  if (!UpdateMscdexLines(table)) ok = false;
  if (!SetLastDrive(table, 'Z')) ok = false;
  if (!WriteRegistryAssignment(table, rules)) ok = false;
  char newLetters[DriveTable::driveCount];
  for (int i = 0; i < DriveTable::driveCount; ++i)
    newLetters[i] = table.record(i).newLetter;
  if (!table.persistentConnections.writePersistentConnections(newLetters))
    ok = false;

  if (!ok) {
    ReportError("Save operation failed.");
    return false;
  }
  modified = false;
  restartPending = true;
  return true;
}

void DriveListView::OnFileSave() { SaveAssignment(); }
