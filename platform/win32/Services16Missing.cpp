// Builds whose pointers are not 32-bit have no 16-bit kernel to thunk to
// (and KERNEL32's ordinals there are other functions), so every service is
// missing and the DOS link reports that it is not ready.
#include "platform/win32/Win32Services16.h"

namespace platform {

namespace {

class MissingServices16 : public Services16 {
 public:
  const uint8_t* GetModuleHandleA(const char*) override { return nullptr; }
  uintptr_t GetProcAddress(const uint8_t*, const char*) override { return 0; }
  uint32_t LoadLibrary16(uintptr_t, const char*) override { return 0; }
  void FreeLibrary16(uintptr_t, uint32_t) override {}
  uint32_t GetProcAddress16(uintptr_t, uint32_t, const char*) override {
    return 0;
  }
  uint32_t GlobalDosAlloc(uintptr_t, uint32_t, uint32_t) override { return 0; }
  uint32_t GlobalDosFree(uintptr_t, uint32_t, uint16_t selector) override {
    return selector;
  }
  void* WOWGetVDMPointer(uint32_t, uint32_t, bool) override { return nullptr; }
};

// Never destroyed, like the rest of the platform.
union Holder {
  constexpr Holder() : services() {}
  ~Holder() {}
  MissingServices16 services;
} holder;

}  // namespace

Services16* Win32Services16() { return &holder.services; }

}  // namespace platform
