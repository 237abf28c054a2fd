#include "assign/EditCommands.h"

namespace {

bool IsRecord(int index) {
  return index >= 0 && index < DriveTable::driveCount;
}

}  // namespace

void ClearLetter(AssignmentRules& rules, DriveTable& table, DriveRows& rows,
                 int targetRow) {
  if (targetRow < 0 || targetRow >= rows.GetRowCount()) return;
  const int target = rows.GetRowDrive(targetRow);
  if (!IsRecord(target)) return;
  if (!rules.CheckLetter(static_cast<char>('A' + target), ReleaseLetter, true))
    return;
  rows.SetModified(true);
  for (int row = 0; row < rows.GetRowCount(); ++row) {
    const int drive = rows.GetRowDrive(row);
    if (!IsRecord(drive) || !rules.InSameGroup(drive, target)) continue;
    table.record(drive).newLetter = noLetter;
    rows.SetRowNewText(row, "");
  }
}

void ClearAllLetters(AssignmentRules& rules, DriveTable& table,
                     DriveRows& rows) {
  for (int row = 0; row < rows.GetRowCount(); ++row) {
    const int drive = rows.GetRowDrive(row);
    if (!IsRecord(drive)) continue;
    if (!rules.CheckLetter(static_cast<char>('A' + drive), ReleaseLetter,
                           false))
      continue;
    table.record(drive).newLetter = noLetter;
    rows.SetRowNewText(row, "");
  }
  rows.SetModified(true);
}

void RestoreOriginalLetters(DriveTable& table, DriveRows& rows) {
  for (int row = 0; row < rows.GetRowCount(); ++row) {
    const int drive = rows.GetRowDrive(row);
    if (!IsRecord(drive)) continue;
    const char letter = static_cast<char>('A' + drive);
    table.record(drive).newLetter = letter;
    const char text[2] = {letter, '\0'};
    rows.SetRowNewText(row, text);
  }
  rows.SetModified(false);
}
