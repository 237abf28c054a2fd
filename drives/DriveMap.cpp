#include "drives/DriveMap.h"

#include <string.h>

#include "platform/Platform.h"
#include "shell/ErrorReport.h"

namespace {

const int letterCount = 26;

// The index of a letter given in either case, or -1 for anything else.
int LetterIndex(char letter) {
  if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 32);
  if (letter < 'A' || letter > 'Z') return -1;
  return letter - 'A';
}

}  // namespace

DriveMap::DriveMap() : valid(0) {
  memset(currentOf, 0, sizeof currentOf);
  memset(originalOf, 0, sizeof originalOf);
}

void DriveMap::readDriveMap(const char* path) {
  platform::FileSystem& files = platform::files();
  valid = 0;
  platform::Stream* file = files.Open(path, "rt");
  if (file == nullptr) {
    ReportError("Error opening file %s : %s", path,
                files.StrError(files.Errno()));
    return;
  }

  // The first line is the companion's own; its content is free.
  int c;
  do {
    c = files.Getc(file);
  } while (c != '\n' && c != -1);

  if (c != -1) {
    int entries = 0;
    while (entries < letterCount) {
      c = files.Getc(file);
      if (c < 'A' || c > 'Z') break;
      currentOf[entries++] = static_cast<char>(c);
      files.Getc(file);  // the separator; the last one may be missing
    }
    if (entries == letterCount) {
      valid = 1;
      for (int j = 0; j < letterCount; ++j) {
        originalOf[j] = 0;
        for (int k = 0; k < letterCount; ++k) {
          if (currentOf[k] == 'A' + j) {
            originalOf[j] = static_cast<char>('A' + k);
            break;
          }
        }
      }
    }
  }

  if (!valid) ReportError("File %s has bad format.", path);
  files.Close(file);
}

char DriveMap::currentLetterOf(char originalLetter) const {
  int index = LetterIndex(originalLetter);
  if (!valid || index < 0) return 0;
  return currentOf[index];
}

char DriveMap::originalLetterOf(char currentLetter) const {
  int index = LetterIndex(currentLetter);
  if (!valid || index < 0) return 0;
  return originalOf[index];
}

FileTime DriveMap::fileTime(const char* path, int which) {
  platform::FindData data;
  if (!platform::kernel().FindFirstFile(path, &data)) return 0;
  switch (which) {
    case creationTime:
      return data.creationTime;
    case lastAccessTime:
      return data.lastAccessTime;
    case lastWriteTime:
      return data.lastWriteTime;
    default:
      return 0;
  }
}
