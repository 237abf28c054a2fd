// The 16-bit services of Windows 9x on i686: KERNEL32's ordinal entries
// called as the stdcall functions they are, and KRNL386's GlobalDosAlloc
// and GlobalDosFree called through QT_Thunk. Compiled only for i686.
#include "platform/win32/Win32Services16.h"

// <windows.h> after our header: that one is free of it.
#include <windows.h>

namespace platform {

namespace {

typedef DWORD(WINAPI* LoadLibrary16Function)(LPCSTR);
typedef VOID(WINAPI* FreeLibrary16Function)(DWORD);
typedef DWORD(WINAPI* GetProcAddress16Function)(DWORD, LPCSTR);
typedef LPVOID(WINAPI* WOWGetVDMPointerFunction)(DWORD, DWORD, BOOL);

// QT_Thunk takes the 16:16 target in EDX and counts the 16-bit argument
// bytes as EBP - ESP - 0x40: the 64 bytes below EBP are its scratch area,
// and the arguments lie directly below them. So the call builds that frame
// itself, pushes exactly the argument bytes, and puts ESP back from EBP
// afterwards. The result comes back in DX:AX. Not reentrant: target and
// argument are staged in static storage.
uint32_t stagedThunk;
uint32_t stagedTarget;
uint32_t stagedDword;
uint16_t stagedWord;

// The caller's area: QT_Thunk and the 16-bit side may reach below the
// frame, so at least 256 bytes of it are reserved and touched first.
#define RESERVE_THUNK_AREA()  \
  volatile uint8_t area[512]; \
  area[0] = 0;                \
  area[sizeof area / 2] = 0;  \
  area[sizeof area - 1] = 0

__attribute__((noinline)) uint32_t ThunkDword() {
  RESERVE_THUNK_AREA();
  uint32_t result;
  __asm__ __volatile__(
      "movl %[thunk], %%ecx\n\t"
      "movl %[target], %%edx\n\t"
      "movl %[argument], %%eax\n\t"
      "pushl %%ebp\n\t"
      "movl %%esp, %%ebp\n\t"
      "subl $0x40, %%esp\n\t"
      "pushl %%eax\n\t"
      "call *%%ecx\n\t"
      "movl %%ebp, %%esp\n\t"
      "popl %%ebp\n\t"
      "movzwl %%ax, %%eax\n\t"
      "shll $16, %%edx\n\t"
      "orl %%edx, %%eax\n\t"
      : "=a"(result)
      : [thunk] "m"(stagedThunk), [target] "m"(stagedTarget),
        [argument] "m"(stagedDword)
      : "ebx", "ecx", "edx", "esi", "edi", "memory", "cc");
  return result;
}

__attribute__((noinline)) uint32_t ThunkWord() {
  RESERVE_THUNK_AREA();
  uint32_t result;
  __asm__ __volatile__(
      "movl %[thunk], %%ecx\n\t"
      "movl %[target], %%edx\n\t"
      "movw %[argument], %%ax\n\t"
      "pushl %%ebp\n\t"
      "movl %%esp, %%ebp\n\t"
      "subl $0x40, %%esp\n\t"
      "pushw %%ax\n\t"
      "call *%%ecx\n\t"
      "movl %%ebp, %%esp\n\t"
      "popl %%ebp\n\t"
      "movzwl %%ax, %%eax\n\t"
      "shll $16, %%edx\n\t"
      "orl %%edx, %%eax\n\t"
      : "=a"(result)
      : [thunk] "m"(stagedThunk), [target] "m"(stagedTarget),
        [argument] "m"(stagedWord)
      : "ebx", "ecx", "edx", "esi", "edi", "memory", "cc");
  return result;
}

class Windows9xServices16 : public Services16 {
 public:
  const uint8_t* GetModuleHandleA(const char* name) override {
    return reinterpret_cast<const uint8_t*>(::GetModuleHandleA(name));
  }

  uintptr_t GetProcAddress(const uint8_t* module, const char* name) override {
    HMODULE handle = reinterpret_cast<HMODULE>(const_cast<uint8_t*>(module));
    return reinterpret_cast<uintptr_t>(::GetProcAddress(handle, name));
  }

  uint32_t LoadLibrary16(uintptr_t entry, const char* name) override {
    return reinterpret_cast<LoadLibrary16Function>(entry)(name);
  }

  void FreeLibrary16(uintptr_t entry, uint32_t instance) override {
    reinterpret_cast<FreeLibrary16Function>(entry)(instance);
  }

  uint32_t GetProcAddress16(uintptr_t entry, uint32_t instance,
                            const char* name) override {
    return reinterpret_cast<GetProcAddress16Function>(entry)(instance, name);
  }

  uint32_t GlobalDosAlloc(uintptr_t thunk, uint32_t target,
                          uint32_t size) override {
    stagedThunk = static_cast<uint32_t>(thunk);
    stagedTarget = target;
    stagedDword = size;
    return ThunkDword();
  }

  uint32_t GlobalDosFree(uintptr_t thunk, uint32_t target,
                         uint16_t selector) override {
    stagedThunk = static_cast<uint32_t>(thunk);
    stagedTarget = target;
    stagedWord = selector;
    return ThunkWord();
  }

  // WOW32 is looked up at run time: it is no import of ours.
  void* WOWGetVDMPointer(uint32_t address, uint32_t size,
                         bool protectedMode) override {
    HMODULE wow32 = ::GetModuleHandleA("WOW32.DLL");
    if (!wow32) wow32 = ::LoadLibraryA("WOW32.DLL");
    FARPROC found =
        wow32 ? ::GetProcAddress(wow32, "WOWGetVDMPointer") : nullptr;
    if (!found) return nullptr;
    WOWGetVDMPointerFunction function =
        reinterpret_cast<WOWGetVDMPointerFunction>(
            reinterpret_cast<void (*)(void)>(found));
    return function(address, size, protectedMode ? TRUE : FALSE);
  }
};

union Holder {
  constexpr Holder() : services() {}
  ~Holder() {}
  Windows9xServices16 services;
} holder;

}  // namespace

Services16* Win32Services16() { return &holder.services; }

}  // namespace platform
