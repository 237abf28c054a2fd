// operator new and delete over msvcrt's heap, in every form the compiler
// may call: libsupc++ cannot be linked into a freestanding program.
// There are no exceptions, so a failed plain new ends the program with a
// message instead of returning null into a constructor.
#include <stdint.h>
#include <stdlib.h>
#include <windows.h>

#include <new>

namespace {

void* Allocate(size_t size) {
  // new of 0 bytes still gives a distinct pointer.
  return malloc(size ? size : 1);
}

void* AllocateOrDie(size_t size) {
  void* memory = Allocate(size);
  if (!memory) {
    FatalAppExitA(0, "Out of memory.");
    ExitProcess(255);
  }
  return memory;
}

// Over-aligned blocks: msvcrt.dll of Windows 95 has no _aligned_malloc, so
// allocate extra and keep the block's start just before the aligned
// pointer.
void* AllocateAligned(size_t size, std::align_val_t alignment) {
  size_t align = static_cast<size_t>(alignment);
  if (align < sizeof(void*)) align = sizeof(void*);
  size_t total = size + align + sizeof(void*);
  if (total < size) return nullptr;
  void* block = malloc(total);
  if (!block) return nullptr;
  uintptr_t aligned =
      (reinterpret_cast<uintptr_t>(block) + sizeof(void*) + align - 1) &
      ~(static_cast<uintptr_t>(align) - 1);
  reinterpret_cast<void**>(aligned)[-1] = block;
  return reinterpret_cast<void*>(aligned);
}

void* AllocateAlignedOrDie(size_t size, std::align_val_t alignment) {
  void* memory = AllocateAligned(size, alignment);
  if (!memory) {
    FatalAppExitA(0, "Out of memory.");
    ExitProcess(255);
  }
  return memory;
}

void FreeAligned(void* memory) {
  if (memory) free(static_cast<void**>(memory)[-1]);
}

}  // namespace

void* operator new(size_t size) { return AllocateOrDie(size); }
void* operator new[](size_t size) { return AllocateOrDie(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept {
  return Allocate(size);
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept {
  return Allocate(size);
}
void operator delete(void* memory) noexcept { free(memory); }
void operator delete[](void* memory) noexcept { free(memory); }
void operator delete(void* memory, size_t) noexcept { free(memory); }
void operator delete[](void* memory, size_t) noexcept { free(memory); }
void operator delete(void* memory, const std::nothrow_t&) noexcept {
  free(memory);
}
void operator delete[](void* memory, const std::nothrow_t&) noexcept {
  free(memory);
}

void* operator new(size_t size, std::align_val_t alignment) {
  return AllocateAlignedOrDie(size, alignment);
}
void* operator new[](size_t size, std::align_val_t alignment) {
  return AllocateAlignedOrDie(size, alignment);
}
void* operator new(size_t size, std::align_val_t alignment,
                   const std::nothrow_t&) noexcept {
  return AllocateAligned(size, alignment);
}
void* operator new[](size_t size, std::align_val_t alignment,
                     const std::nothrow_t&) noexcept {
  return AllocateAligned(size, alignment);
}
void operator delete(void* memory, std::align_val_t) noexcept {
  FreeAligned(memory);
}
void operator delete[](void* memory, std::align_val_t) noexcept {
  FreeAligned(memory);
}
void operator delete(void* memory, size_t, std::align_val_t) noexcept {
  FreeAligned(memory);
}
void operator delete[](void* memory, size_t, std::align_val_t) noexcept {
  FreeAligned(memory);
}
void operator delete(void* memory, std::align_val_t,
                     const std::nothrow_t&) noexcept {
  FreeAligned(memory);
}
void operator delete[](void* memory, std::align_val_t,
                       const std::nothrow_t&) noexcept {
  FreeAligned(memory);
}
