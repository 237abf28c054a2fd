// The map of original to current letters that the DOS-mode companion
// writes to drivemap.dat at every boot.
#pragma once
#include "platform/Types.h"

struct DriveMap {
  // The file was read completely; every lookup answers 0 otherwise.
  int32_t valid;
  // Entry i: the current letter of the drive DOS booted as 'A' + i.
  char currentOf[26];
  // Entry j: the original letter of the drive that is now 'A' + j, or 0.
  char originalOf[26];

  DriveMap();
  // Reads the file, reporting a missing or malformed one; the map stays
  // invalid then and the program goes on.
  void readDriveMap(const char* path);
  char currentLetterOf(char originalLetter) const;
  char originalLetterOf(char currentLetter) const;

  enum FileTimeKind { creationTime = 0, lastAccessTime = 1, lastWriteTime = 2 };
  // The file's time of the given kind, 0 when the file does not exist.
  static FileTime fileTime(const char* path, int which);
};
