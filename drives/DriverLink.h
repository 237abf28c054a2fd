// The link to the letter-assignment driver Kromvale.VxD: request 1 runs one
// real-mode software interrupt from a register packet, request 2 reports a
// drive's device node and registry key path.
#pragma once
#include <stddef.h>

#include "platform/Types.h"

// The register packet of request 1, exactly as the driver reads and
// rewrites it: 56 bytes, little-endian. It holds no pointers, so its layout
// is the same in every build.
struct RegisterPacket {
  uint32_t edi;
  uint32_t esi;
  uint32_t ebp;
  uint32_t reserved1;
  uint32_t ebx;
  uint32_t edx;
  uint32_t ecx;
  uint32_t eax;
  uint16_t flags;  // bit 0: carry
  uint16_t reserved2;
  uint32_t stackPointer;
  uint16_t stackSegment;  // segment or selector, by mode
  uint16_t es;
  uint16_t ds;
  uint16_t reserved3;
  uint32_t interruptNumber;
  uint32_t mode;  // 1 real mode, 0 protected mode

  static const uint16_t carryFlag = 0x0001;
  static const uint32_t realMode = 1;
  static const uint32_t protectedMode = 0;

  // The 8- and 16-bit halves the callers use.
  uint16_t ax() const { return static_cast<uint16_t>(eax); }
  uint16_t bx() const { return static_cast<uint16_t>(ebx); }
  uint8_t al() const { return static_cast<uint8_t>(eax); }
  void setAx(uint16_t v) { eax = (eax & 0xFFFF0000u) | v; }
  void setBx(uint16_t v) { ebx = (ebx & 0xFFFF0000u) | v; }
  void setCx(uint16_t v) { ecx = (ecx & 0xFFFF0000u) | v; }
  void setDx(uint16_t v) { edx = (edx & 0xFFFF0000u) | v; }
  void setBl(uint8_t v) { ebx = (ebx & 0xFFFFFF00u) | v; }
  void setDl(uint8_t v) { edx = (edx & 0xFFFFFF00u) | v; }
  void setDh(uint8_t v) { edx = (edx & 0xFFFF00FFu) | (uint32_t(v) << 8); }
  void setCl(uint8_t v) { ecx = (ecx & 0xFFFFFF00u) | v; }
  void setCh(uint8_t v) { ecx = (ecx & 0xFFFF00FFu) | (uint32_t(v) << 8); }
  bool carry() const { return (flags & carryFlag) != 0; }
};

static_assert(sizeof(RegisterPacket) == 56, "the driver reads 56 bytes");
static_assert(offsetof(RegisterPacket, ebx) == 16, "EBX at 16");
static_assert(offsetof(RegisterPacket, edx) == 20, "EDX at 20");
static_assert(offsetof(RegisterPacket, ecx) == 24, "ECX at 24");
static_assert(offsetof(RegisterPacket, eax) == 28, "EAX at 28");
static_assert(offsetof(RegisterPacket, flags) == 32, "flags at 32");
static_assert(offsetof(RegisterPacket, stackPointer) == 36, "SP at 36");
static_assert(offsetof(RegisterPacket, stackSegment) == 40, "SS at 40");
static_assert(offsetof(RegisterPacket, es) == 42, "ES at 42");
static_assert(offsetof(RegisterPacket, ds) == 44, "DS at 44");
static_assert(offsetof(RegisterPacket, interruptNumber) == 48, "int at 48");
static_assert(offsetof(RegisterPacket, mode) == 52, "mode at 52");

// The input of request 2: 12 bytes. The two addresses are 32-bit, as the
// driver reads them (see platform/DriverAddress.h for wider pointers).
struct DeviceRequest {
  uint32_t drive;              // 0 for A:
  uint32_t deviceNodeAddress;  // receives the 32-bit device node
  uint32_t keyPathAddress;     // receives the key path, 256 bytes
};

static_assert(sizeof(DeviceRequest) == 12, "the driver reads 12 bytes");
static_assert(offsetof(DeviceRequest, deviceNodeAddress) == 4, "node at 4");
static_assert(offsetof(DeviceRequest, keyPathAddress) == 8, "key at 8");

class DriverLink {
 public:
  static const uint32_t runInterruptRequest = 1;
  static const uint32_t deviceKeyRequest = 2;
  static const uint32_t keyPathSize = 256;

  DriverLink();
  ~DriverLink();
  DriverLink(const DriverLink&) = delete;
  DriverLink& operator=(const DriverLink&) = delete;

  // Loads the driver; a handle already open is closed first. 1 on success.
  int32_t openDriver(const char* path, uint16_t protectedStackSelector,
                     uint16_t protectedStackSize, uint16_t realStackSegment,
                     uint16_t realStackSize);
  // CloseHandle's result, or 1 when nothing was open. Unloads the driver.
  int32_t closeDriver();
  bool isDriverOpen() const;
  // Nonzero when the driver carried the request out; the interrupt's own
  // outcome is the packet's carry flag, set here too when the request
  // failed, so callers need test only the carry.
  int32_t callRealMode(RegisterPacket* packet);
  // Nonzero when the drive has a device; fills the node and the key path
  // (keyBuffer holds keyPathSize bytes).
  int32_t queryDeviceKey(uint32_t drive, uint32_t* deviceNodeOut,
                         char* keyBuffer);

  DeviceHandle handle;
  uint16_t protectedStackSelector;
  uint16_t protectedStackSize;
  uint16_t realStackSegment;
  uint16_t realStackSize;
};

// The driver's file name, in the program's own directory.
extern const char driverFileName[];
