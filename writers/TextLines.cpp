#include "writers/TextLines.h"

#include <string.h>

#include "platform/Codes.h"
#include "platform/Platform.h"

namespace {

// msvcrt's EEXIST.
const int fileExists = 17;

// The temporary files kept in this run; the writers have two names.
const int keptSlots = 4;
const char* kept[keptSlots] = {};

int KeptSlot(const char* name) {
  for (int i = 0; i < keptSlots; ++i) {
    if (kept[i] != nullptr && strcmp(kept[i], name) == 0) return i;
  }
  return -1;
}

}  // namespace

bool EndsLine(const char* piece) {
  const size_t length = strlen(piece);
  return length > 0 && piece[length - 1] == '\n';
}

char UpperChar(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool IsWhiteSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' ||
         c == '\f';
}

bool StartsWithNoCase(const char* text, const char* prefix) {
  for (; *prefix != '\0'; ++text, ++prefix) {
    if (*text == '\0' || UpperChar(*text) != UpperChar(*prefix)) return false;
  }
  return true;
}

bool EqualsNoCase(const char* text, size_t length, const char* word) {
  return strlen(word) == length && StartsWithNoCase(text, word);
}

void PathInCurrentDirectory(const char* name, char* buffer, size_t size) {
  char directory[260];
  const uint32_t length =
      platform::kernel().GetCurrentDirectoryA(sizeof directory, directory);
  if (length == 0 || length >= sizeof directory) {
    platform::Format(buffer, size, "%s", name);
    return;
  }
  // A root keeps its own backslash ("C:\").
  const char* separator = directory[length - 1] == '\\' ? "" : "\\";
  platform::Format(buffer, size, "%s%s%s", directory, separator, name);
}

void KeepTemporary(const char* name) {
  if (KeptSlot(name) >= 0) return;
  for (int i = 0; i < keptSlots; ++i) {
    if (kept[i] == nullptr) {
      kept[i] = name;
      return;
    }
  }
}

bool IsKeptTemporary(const char* name) {
  const int slot = KeptSlot(name);
  if (slot < 0) return false;
  if (platform::kernel().GetFileAttributesA(name) != INVALID_FILE_ATTRIBUTES)
    return true;
  // The user has taken the kept content away: the name is free again.
  kept[slot] = nullptr;
  return false;
}

bool OpenTemporary(ScopedFile* file, const char* name) {
  if (IsKeptTemporary(name)) {
    platform::files().SetErrno(fileExists);
    return false;
  }
  return file->Open(name, "wt", rewriteBufferSize);
}

void PieceWriter::Put(char c) {
  if (used + 1 >= sizeof buffer) Flush();
  buffer[used++] = c;
}

void PieceWriter::Put(const char* text) {
  while (*text != '\0') Put(*text++);
}

void PieceWriter::Flush() {
  if (used == 0) return;
  buffer[used] = '\0';
  platform::files().Puts(buffer, stream);
  used = 0;
}
