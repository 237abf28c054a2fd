#include "drives/DosLink.h"

#include <string.h>

#include "drives/ExportDirectory.h"
#include "platform/Platform.h"

void DosLink::setUpDosLink() {
  ready = 0;
  platform::Services16& services = platform::services16();
  const uint8_t* kernel32 = services.GetModuleHandleA("KERNEL32.DLL");
  if (!kernel32) return;
  loadLibrary16 = exportByOrdinal(kernel32, loadLibrary16Ordinal);
  freeLibrary16 = exportByOrdinal(kernel32, freeLibrary16Ordinal);
  getProcAddress16 = exportByOrdinal(kernel32, getProcAddress16Ordinal);
  if (!loadLibrary16 || !freeLibrary16 || !getProcAddress16) return;
  thunkEntry = services.GetProcAddress(kernel32, "QT_Thunk");
  if (!thunkEntry) return;
  uint32_t krnl386 = services.LoadLibrary16(loadLibrary16, "KRNL386.EXE");
  // Below 32 is a load error, as with LoadLibrary16's 16-bit ancestor.
  if ((krnl386 & 0xFFFFu) < 32) return;
  globalDosAlloc =
      services.GetProcAddress16(getProcAddress16, krnl386, "GlobalDosAlloc");
  globalDosFree =
      services.GetProcAddress16(getProcAddress16, krnl386, "GlobalDosFree");
  // KRNL386 stays loaded while Windows runs; our reference is not needed.
  services.FreeLibrary16(freeLibrary16, krnl386);
  if (!globalDosAlloc || !globalDosFree) return;
  ready = 1;
}

int32_t DosLink::allocateDosBuffer(DosBuffer* buffer, uint32_t size) {
  memset(buffer, 0, sizeof *buffer);
  if (!ready) return 0;
  platform::Services16& services = platform::services16();
  uint32_t block = services.GlobalDosAlloc(thunkEntry, globalDosAlloc, size);
  if (block == 0) return 0;
  uint16_t segment = static_cast<uint16_t>(block >> 16);
  uint16_t selector = static_cast<uint16_t>(block);
  void* flat = services.WOWGetVDMPointer(uint32_t(selector) << 16, size, true);
  if (!flat) {
    // The block is of no use without its flat address; give it back.
    services.GlobalDosFree(thunkEntry, globalDosFree, selector);
    return 0;
  }
  buffer->segment = segment;
  buffer->selector = selector;
  buffer->flatPointer = flat;
  return 1;
}

int32_t DosLink::freeDosBuffer(DosBuffer* buffer) {
  if (!ready || !buffer->selector) return 0;
  uint32_t result = platform::services16().GlobalDosFree(
      thunkEntry, globalDosFree, buffer->selector);
  if ((result & 0xFFFFu) != 0) return 0;
  memset(buffer, 0, sizeof *buffer);
  return 1;
}
