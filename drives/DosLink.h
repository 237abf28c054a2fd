// Conventional-memory blocks that real-mode code can address, obtained
// through the 16-bit kernel.
#pragma once
#include "platform/Types.h"

struct DosBuffer {
  uint16_t segment;   // real-mode paragraph address
  uint16_t selector;  // protected-mode selector of the same block
  void* flatPointer;  // the block in our own address space
};

// The 16-bit services that allocate DOS memory. Until they are wired in,
// the link reports itself not ready and allocates nothing.
class DosLink {
 public:
  DosLink() : thunkEntry(0), globalDosAlloc(0), globalDosFree(0), ready(0) {}
  void setUpDosLink() { ready = 0; }

  uintptr_t thunkEntry;
  uint32_t globalDosAlloc;  // 16:16
  uint32_t globalDosFree;   // 16:16
  int32_t ready;
};
