// The rules every change of a New letter passes: which letters a drive may
// give away or take, the device groups whose letters move together, and the
// assignment itself. Interactive checks explain a refusal in a box and ask
// the warnings about drive C and the Windows drive; silent checks only
// answer.
#pragma once
#include "drives/DriveTable.h"
#include "platform/Types.h"

// The list rows as the rules see them: in display order, each carrying the
// index of its drive's record.
class DriveRows {
 public:
  virtual int GetRowCount() const = 0;
  virtual int GetRowDrive(int row) const = 0;
  virtual void SetRowNewText(int row, const char* text) = 0;
  // The unsaved-changes flag of the list.
  virtual void SetModified(bool modified) = 0;
  // The window that owns the rules' boxes.
  virtual WindowHandle GetBoxOwner() const = 0;

 protected:
  ~DriveRows() {}
};

enum CheckMode {
  // May the letter be used by a drive other than its current owner?
  ReleaseLetter,
  // May the drive that carries the letter now get another one?
  ChangeDrive
};

class AssignmentRules {
 public:
  AssignmentRules(DriveTable& table, DriveRows& rows)
      : table(table), rows(rows) {}

  bool IsGroupMember(int index) const;
  bool InSameGroup(int index1, int index2) const;
  bool CheckLetter(char letter, CheckMode mode, bool interactive);
  bool CanAssignLetter(char newLetter, char driveLetter, bool interactive);
  // Gives the letter to the drive and its group (interactive rules) and
  // takes the letters it hands out away from every other drive's group.
  void AssignLetter(int driveIndex, char letter);
  // The enable state of the letter command for the letter.
  bool IsLetterAvailable(char letter);

 private:
  void Refuse(const char* reason);
  bool Warn(const char* question);

  DriveTable& table;
  DriveRows& rows;
};
