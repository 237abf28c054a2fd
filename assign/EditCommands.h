// The Edit commands on the New letters as a whole.
#pragma once
#include "assign/AssignmentRules.h"

// Takes the New letter away from the target row's drive and its device
// group, unless the drive's letter may not be given away.
void ClearLetter(AssignmentRules& rules, DriveTable& table, DriveRows& rows,
                 int targetRow);
// Empties every New letter that may be emptied, silently.
void ClearAllLetters(AssignmentRules& rules, DriveTable& table,
                     DriveRows& rows);
// Every drive's own letter becomes its New letter again, shown bare ("D").
void RestoreOriginalLetters(DriveTable& table, DriveRows& rows);
