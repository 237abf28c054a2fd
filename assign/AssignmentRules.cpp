#include "assign/AssignmentRules.h"

#include "platform/Codes.h"
#include "platform/Platform.h"

namespace {

const char caption[] = "Pelmora";
const int reasonSize = 512;

const char releasePrefix[] =
    "It's impossible to use letter %c for any drive other then its current "
    "owner, because";
const char changePrefix[] =
    "It's impossible to change letter assignment for the drive %c:, because";
const char sharedDriveReason[] =
    "%s %c: is one of several letters assigned to the single physical drive.";
const char hostReason[] =
    "%s drive %c: is the host for a compressed drive (and they are not "
    "swapped).";
const char swappedVolumeReason[] =
    "%s drive %c: is a compressed drive, and it is swapped with its host "
    "drive %c:";
const char protectedModeTemplate[] =
    "It's impossible to assign a letter to the drive %c: , because %s";
const char protectedVolume[] =
    "it is a protected-mode-only compressed drive (that is not swapped with "
    "its host drive). The system assignes first available letter to such a "
    "drive.";
const char protectedSwappedHost[] =
    "it is the host for a protected-mode-only compressed drive, and their "
    "letters are swapped. The system assignes first available letter to such "
    "a drive.";
const char temporaryConnectionReason[] =
    "Drive %c is a temporary network connection, it's impossible to assign a "
    "permanent letter to it. If you want to do so, disconnect the drive and "
    "map it again using the option \"Reconnect at logon\". Then use "
    "View/Refresh menu item from the Pelmora main menu.";
const char windowsDriveWarning[] =
    "You are going to change the letter of the drive %c containing "
    "Windows\xAE. It is possible, but it is not recommended, unless you are "
    "an advanced user. There are many references to the current Windows\xAE "
    "directory location in the Registry and in the files c:\\msdos.sys, "
    "c:\\config.sys, c:\\autoexec.bat. If you need to change the letter, you "
    "should replace all these references by the new ones, otherwise "
    "Windows\xAE will not start.\n\nAre you sure you want to change the "
    "letter of the drive %c ?";
const char driveCWarning[] =
    "Changing the letter of the drive C is supported by Pelmora, but it is "
    "not recommended, unless you are an advanced user. Some programs need to "
    "change the files C:\\config.sys, C:\\autoexec.bat, C:\\msdos.sys, "
    "C:\\drvspace.ini. Such programs expect that these files are located in "
    "C:\\. If the drive C changes its letter, the programs will be unable to "
    "find these files, and you must make the changes manually.\n\nAre you "
    "sure you want to change the letter of the drive C ?";
const char groupRangeReason[] =
    "It's impossible to assign start letter %c to the group of logical "
    "drives on the selected physical device, because the range %c-Z is not "
    "enough for all of them.";
const char driveSpaceReason[] =
    "It's impossible to assign letter %c to drive %c, because drive %c: is "
    "managed by DriveSpace, and minimum letter available to DriveSpace is "
    "%c.";

bool IsLetter(char c) { return c >= 'A' && c <= 'Z'; }

}  // namespace

void AssignmentRules::Refuse(const char* reason) {
  platform::prompts().MessageBoxA(rows.GetBoxOwner(), reason, caption,
                                  MB_ICONEXCLAMATION | MB_OK);
}

bool AssignmentRules::Warn(const char* question) {
  return platform::prompts().MessageBoxA(rows.GetBoxOwner(), question, caption,
                                         MB_ICONQUESTION | MB_YESNO) == IDYES;
}

bool AssignmentRules::IsGroupMember(int index) const {
  if (index < 0 || index >= DriveTable::driveCount) return false;
  const DriveRecord& r = table.record(index);
  if (!r.present) return false;
  if (!r.protectedModeOnly && r.driveType != DRIVE_CDROM) return false;
  if (r.deviceNode == 0) return false;
  if (table.hasPersistentConnection(index)) return false;
  if (r.compressionRole == 1 && !r.swapped) return false;
  if (r.compressionRole == 2 && r.swapped) return false;
  return true;
}

bool AssignmentRules::InSameGroup(int index1, int index2) const {
  if (index1 == index2) return true;
  return IsGroupMember(index1) && IsGroupMember(index2) &&
         table.record(index1).deviceNode == table.record(index2).deviceNode;
}

bool AssignmentRules::CheckLetter(char letter, CheckMode mode,
                                  bool interactive) {
  if (!IsLetter(letter)) return false;
  const DriveRecord& r = table.recordOf(letter);
  char prefix[128];
  platform::Format(prefix, sizeof prefix,
                   mode == ReleaseLetter ? releasePrefix : changePrefix,
                   letter);
  bool allowed = true;
  char reason[reasonSize];
  reason[0] = '\0';

  if (!r.present) {
    if (mode == ChangeDrive) {
      // There is no drive to change.
      allowed = false;
    } else if (letter == 'B' && table.recordOf('A').sharesPhysicalDrive) {
      allowed = false;
      platform::Format(reason, sizeof reason, sharedDriveReason, prefix,
                       letter);
    }
  } else if (!r.protectedModeOnly) {
    if (r.compressionRole == 2 && !r.swapped) {
      allowed = false;
      platform::Format(reason, sizeof reason, hostReason, prefix, letter);
    } else if (r.compressionRole == 1 && r.swapped) {
      allowed = false;
      platform::Format(reason, sizeof reason, swappedVolumeReason, prefix,
                       letter, r.hostLetter);
    } else if (r.sharesPhysicalDrive) {
      allowed = false;
      platform::Format(reason, sizeof reason, sharedDriveReason, prefix,
                       letter);
    }
  } else if (mode == ChangeDrive) {
    // A protected-mode-only drive gives its letter away without objection,
    // but some cannot take another.
    if (r.compressionRole == 1 && !r.swapped) {
      allowed = false;
      platform::Format(reason, sizeof reason, protectedModeTemplate, letter,
                       protectedVolume);
    } else if (r.compressionRole == 2 && r.swapped) {
      allowed = false;
      platform::Format(reason, sizeof reason, protectedModeTemplate, letter,
                       protectedSwappedHost);
    }
  }

  if (mode == ChangeDrive && r.driveType == DRIVE_REMOTE &&
      !table.hasPersistentConnection(letter - 'A')) {
    allowed = false;
    platform::Format(reason, sizeof reason, temporaryConnectionReason, letter);
  }

  if (!allowed) {
    // Only an absent drive is refused without a reason, and interactive
    // callers never ask about one; an empty box would tell nothing.
    if (interactive && reason[0] != '\0') Refuse(reason);
    return false;
  }

  if (interactive) {
    char question[1024];
    if (letter == table.windowsDriveLetter) {
      platform::Format(question, sizeof question, windowsDriveWarning, letter,
                       letter);
      if (!Warn(question)) return false;
    } else if (letter == 'C' && r.present) {
      if (!Warn(driveCWarning)) return false;
    }
  }
  return true;
}

bool AssignmentRules::CanAssignLetter(char newLetter, char driveLetter,
                                      bool interactive) {
  if (newLetter == driveLetter) return true;
  if (!IsLetter(newLetter) || !IsLetter(driveLetter)) return false;
  // Both checks run, in this order, even when the first refuses.
  bool released = CheckLetter(newLetter, ReleaseLetter, interactive);
  bool changed = CheckLetter(driveLetter, ChangeDrive, interactive);
  if (!released || !changed) return false;

  const int drive = driveLetter - 'A';
  const DriveRecord& r = table.record(drive);
  bool allowed = true;
  char reason[reasonSize];
  if (IsGroupMember(drive)) {
    int members = 0;
    for (int row = 0; row < rows.GetRowCount(); ++row) {
      if (InSameGroup(rows.GetRowDrive(row), drive)) ++members;
    }
    if (members > DriveTable::driveCount - (newLetter - 'A')) {
      allowed = false;
      platform::Format(reason, sizeof reason, groupRangeReason, newLetter,
                       newLetter);
    }
  }
  if (r.compressionRole != 0 && newLetter < table.firstDriveSpaceLetter) {
    allowed = false;
    platform::Format(reason, sizeof reason, driveSpaceReason, newLetter,
                     driveLetter, driveLetter, table.firstDriveSpaceLetter);
  }
  if (!allowed && interactive) Refuse(reason);
  return allowed;
}

void AssignmentRules::AssignLetter(int driveIndex, char letter) {
  if (driveIndex < 0 || driveIndex >= DriveTable::driveCount) return;
  if (!CanAssignLetter(letter, static_cast<char>('A' + driveIndex), true))
    return;
  rows.SetModified(true);

  bool moved[DriveTable::driveCount] = {};
  char next = letter;
  const int count = rows.GetRowCount();
  for (int row = 0; row < count; ++row) {
    int e = rows.GetRowDrive(row);
    if (e < 0 || e >= DriveTable::driveCount) continue;
    if (!InSameGroup(e, driveIndex)) continue;
    moved[e] = true;
    DriveRecord& record = table.record(e);
    if (IsLetter(next)) {
      record.newLetter = next;
      const char text[3] = {next, ':', '\0'};
      rows.SetRowNewText(row, text);
      ++next;
    } else {
      // A group whose own letters are kept can run past Z; a letter beyond
      // Z does not exist, so those drives are left without one.
      record.newLetter = noLetter;
      rows.SetRowNewText(row, "");
    }
  }

  for (char j = letter; j < next; ++j) {
    int holder = -1;
    for (int row = 0; row < count && holder < 0; ++row) {
      int o = rows.GetRowDrive(row);
      if (o >= 0 && o < DriveTable::driveCount && !moved[o] &&
          table.record(o).newLetter == j)
        holder = o;
    }
    if (holder < 0) continue;
    // The displaced drive's whole group loses its New letters; nobody gets
    // the released letters in exchange.
    for (int row = 0; row < count; ++row) {
      int o = rows.GetRowDrive(row);
      if (o < 0 || o >= DriveTable::driveCount || moved[o]) continue;
      if (!InSameGroup(o, holder)) continue;
      table.record(o).newLetter = noLetter;
      rows.SetRowNewText(row, "");
    }
  }
}

bool AssignmentRules::IsLetterAvailable(char letter) {
  if (!CheckLetter(letter, ReleaseLetter, false)) return false;
  for (const DriveRecord& r : table.records) {
    if (r.present && r.newLetter == letter) return false;
  }
  return true;
}
