#include "writers/RegistryAssignment.h"

#include "framework/AppWindow.h"
#include "platform/Codes.h"
#include "platform/Platform.h"
#include "platform/RegistryKey.h"
#include "shell/ErrorReport.h"

const char userDriveLetterAssignment[] = "UserDriveLetterAssignment";

namespace {

const char saveFailure[] = "Cannot save new letter assignment for the drive %c";

const char mismatchQuestion[] =
    "Your protected mode CD-ROM letters mismatch with DOS-mode CD-ROM "
    "letters. Pelmora has corrected this error. Now it's necessary to reboot "
    "the computer before starting the program.\n\n(  If this message appears "
    "for the second time, please, edit manually CONFIG.SYS and AUTOEXEC.BAT "
    "files and disable DOS CD-ROM drives : put REM at the start of the line "
    "containing MSCDEX.EXE and reboot  ).\n\nDo you want to reboot now ?";

bool IsLetter(char c) { return c >= 'A' && c <= 'Z'; }

// The letter a drive will have: its New letter, or the one it has now when
// its letter may not change and it therefore got none.
char LetterAfterSave(const DriveTable& table, int index) {
  const char letter = table.record(index).newLetter;
  return IsLetter(letter) ? letter : static_cast<char>('A' + index);
}

}  // namespace

bool WriteRegistryAssignment(const DriveTable& table,
                             const AssignmentRules& rules) {
  bool result = true;
  bool visited[DriveTable::driveCount] = {};
  for (int q = 0; q < DriveTable::driveCount; ++q) {
    if (visited[q] || !rules.IsGroupMember(q)) continue;
    char first = LetterAfterSave(table, q), last = first;
    for (int i = q; i < DriveTable::driveCount; ++i) {
      if (!rules.InSameGroup(q, i)) continue;
      visited[i] = true;
      const char letter = LetterAfterSave(table, i);
      if (letter < first) first = letter;
      if (letter > last) last = letter;
    }
    const DriveRecord& record = table.record(q);
    // A device keeps at least as many letters as it had reserved, counted
    // from its new first letter, but none past Z.
    if (record.letterGroup != nullptr && record.letterGroup->letterCount > 0) {
      const uint32_t room = static_cast<uint32_t>('Z' - first);
      const uint32_t more = record.letterGroup->letterCount - 1;
      const char reach = static_cast<char>(first + (more < room ? more : room));
      if (reach > last) last = reach;
    }

    const char drive = static_cast<char>('A' + q);
    // Without a key path the open would name HKEY_LOCAL_MACHINE itself.
    if (record.deviceKeyPath == nullptr || record.deviceKeyPath[0] == '\0') {
      ReportError(saveFailure, drive);
      result = false;
      continue;
    }
    RegistryKey key;
    int32_t error =
        key.Open(HKEY_LOCAL_MACHINE, record.deviceKeyPath, KEY_ALL_ACCESS);
    if (error != ERROR_SUCCESS) {
      ReportSystemError(static_cast<uint32_t>(error), saveFailure, drive);
      result = false;
      continue;
    }
    const char value[3] = {first, last, '\0'};
    error = key.SetStringValue(userDriveLetterAssignment, value);
    if (error != ERROR_SUCCESS) {
      ReportSystemError(static_cast<uint32_t>(error), saveFailure, drive);
      result = false;
    }
  }
  return result;
}

bool CheckCdRomLetters(const DriveTable& table) {
  bool dosCdRom = false;
  for (const DriveRecord& record : table.records) {
    if (record.present && record.dosCdRom) dosCdRom = true;
  }
  if (!dosCdRom) return true;

  for (const DriveRecord& record : table.records) {
    if (!record.present || record.driveType != DRIVE_CDROM || record.dosCdRom ||
        record.deviceKeyPath == nullptr || record.deviceKeyPath[0] == '\0')
      continue;
    RegistryKey key;
    int32_t error =
        key.Open(HKEY_LOCAL_MACHINE, record.deviceKeyPath, KEY_ALL_ACCESS);
    if (error != ERROR_SUCCESS) {
      ReportSystemError(static_cast<uint32_t>(error),
                        "Error opening Registry key %s", record.deviceKeyPath);
      continue;
    }
    // A device with several letters has its value gone after the first.
    error = key.DeleteValue(userDriveLetterAssignment);
    if (error != ERROR_SUCCESS && error != ERROR_FILE_NOT_FOUND)
      ReportSystemError(static_cast<uint32_t>(error),
                        "Error deleting the value %s of the Registry key %s",
                        userDriveLetterAssignment, record.deviceKeyPath);
  }

  if (platform::prompts().MessageBoxA(GetMainWindowHandle(), mismatchQuestion,
                                      "Pelmora",
                                      MB_ICONQUESTION | MB_YESNO) == IDYES)
    platform::kernel().ExitWindowsEx(EWX_REBOOT, 0);
  return false;
}
