// The in-memory model of the 26 drive letters and of the system facts the
// assignment rules and the writers need. Record i always describes the
// drive that carries letter 'A' + i now.
#pragma once
#include "drives/DosLink.h"
#include "drives/DriveMap.h"
#include "drives/DriverLink.h"
#include "drives/PersistentConnections.h"
#include "platform/Types.h"

// Shell objects, owned through the shell's own allocator and interfaces.
namespace platform {
struct ItemIdList;
struct ShellFolder;
}  // namespace platform
using platform::ItemIdList;
using platform::ShellFolder;

// newLetter of a drive that has no New letter.
const char noLetter = static_cast<char>(0xFF);

// The letters one physical device reserves.
struct LetterGroup {
  uint32_t deviceNode;
  uint32_t letterCount;
};

struct DriveRecord {
  int32_t present;
  ItemIdList* shellItem;
  char newLetter;
  int32_t driveType;
  int32_t volumeInfoValid;
  char volumeLabel[12];
  uint32_t serialNumber;
  char serialText[10];
  char fileSystem[9];
  uint32_t totalKb;
  uint32_t freeKb;
  int32_t compressionRole;
  int32_t swapped;
  char swapPartner;
  char hostLetter;
  uint8_t cvfSequence;
  char* hostedLetters;  // owned, 27-byte block
  int32_t protectedModeOnly;
  uint8_t int13Unit;
  uint32_t deviceNode;
  char* deviceKeyPath;  // owned, 256-byte block
  int32_t sharesPhysicalDrive;
  int32_t dosCdRom;
  LetterGroup* letterGroup;

  // serialText from serialNumber as high word, hyphen, low word; empty
  // while the volume information is not valid.
  void formatSerialText();
};

class DriveTable {
 public:
  static const int driveCount = 26;
  static const uint32_t dosStackSize = 4096;
  static const uint32_t dosDataSize = 512;

  DriveTable();
  ~DriveTable();
  DriveTable(const DriveTable&) = delete;
  DriveTable& operator=(const DriveTable&) = delete;

  DriveRecord& record(int index) { return records[index]; }
  const DriveRecord& record(int index) const { return records[index]; }
  DriveRecord& recordOf(char letter) { return records[letter - 'A']; }
  const DriveRecord& recordOf(char letter) const {
    return records[letter - 'A'];
  }

  // Asks the system at every call; nothing is cached.
  bool isLogicalDrive(int index) const;
  // Returns every present record to absent and frees what it owns;
  // newLetter survives.
  void clear();

  char currentLetterOf(char originalLetter) const {
    return driveMap.currentLetterOf(originalLetter);
  }
  char originalLetterOf(char currentLetter) const {
    return driveMap.originalLetterOf(currentLetter);
  }
  bool hasPersistentConnection(int index) const {
    return persistentConnections.hasPersistentConnection(index);
  }

  DriveRecord records[driveCount];
  LetterGroup letterGroups[driveCount];
  int32_t letterGroupCount;
  int32_t compressionPresent;
  uint16_t compressionMap[driveCount];
  char firstDriveSpaceLetter;
  char windowsDriveLetter;
  ShellFolder* computerFolder;
  DriveMap driveMap;
  PersistentConnectionTable persistentConnections;
  DriverLink driverLink;
  DosLink dosLink;
  DosBuffer dosStackBuffer;
  DosBuffer dosDataBuffer;

 private:
  void openLinks();
  void closeLinks();
};

// The name of the drive map file, relative to the program's directory.
extern const char driveMapFileName[];
