// Conventional-memory blocks that real-mode code can address, obtained
// through the 16-bit kernel (KRNL386's GlobalDosAlloc and GlobalDosFree,
// reached through KERNEL32's QT_Thunk).
#pragma once
#include "platform/Types.h"

struct DosBuffer {
  uint16_t segment;   // real-mode paragraph address
  uint16_t selector;  // protected-mode selector of the same block
  void* flatPointer;  // the block in our own address space
};

class DosLink {
 public:
  // KERNEL32's unnamed entries: LoadLibrary16, FreeLibrary16,
  // GetProcAddress16.
  static const uint32_t loadLibrary16Ordinal = 35;
  static const uint32_t freeLibrary16Ordinal = 36;
  static const uint32_t getProcAddress16Ordinal = 37;

  DosLink()
      : thunkEntry(0),
        globalDosAlloc(0),
        globalDosFree(0),
        ready(0),
        loadLibrary16(0),
        freeLibrary16(0),
        getProcAddress16(0) {}

  // Finds the 16-bit services; `ready` says whether all were found.
  void setUpDosLink();
  // 1 on success, with all three fields of the buffer set.
  int32_t allocateDosBuffer(DosBuffer* buffer, uint32_t size);
  // 1 on success.
  int32_t freeDosBuffer(DosBuffer* buffer);

  uintptr_t thunkEntry;
  uint32_t globalDosAlloc;  // 16:16
  uint32_t globalDosFree;   // 16:16
  int32_t ready;

 private:
  uintptr_t loadLibrary16;
  uintptr_t freeLibrary16;
  uintptr_t getProcAddress16;
};
