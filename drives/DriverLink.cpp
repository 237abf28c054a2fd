#include "drives/DriverLink.h"

#include <string.h>

#include "platform/Codes.h"
#include "platform/DriverAddress.h"
#include "platform/Platform.h"

const char driverFileName[] = "Kromvale.VxD";

DriverLink::DriverLink()
    : handle(INVALID_HANDLE_VALUE),
      protectedStackSelector(0),
      protectedStackSize(0),
      realStackSegment(0),
      realStackSize(0) {}

// The table closes the driver in its own order; this only makes sure no
// handle outlives the link.
DriverLink::~DriverLink() { closeDriver(); }

int32_t DriverLink::openDriver(const char* path, uint16_t stackSelector,
                               uint16_t stackSizeProtected,
                               uint16_t stackSegment, uint16_t stackSizeReal) {
  closeDriver();
  handle =
      platform::driver().CreateFileA(path, 0, 0, 0, FILE_FLAG_DELETE_ON_CLOSE);
  if (handle == INVALID_HANDLE_VALUE) return 0;
  protectedStackSelector = stackSelector;
  protectedStackSize = stackSizeProtected;
  realStackSegment = stackSegment;
  realStackSize = stackSizeReal;
  return 1;
}

int32_t DriverLink::closeDriver() {
  if (handle == INVALID_HANDLE_VALUE) return 1;
  int32_t closed = platform::driver().CloseHandle(handle) ? 1 : 0;
  handle = INVALID_HANDLE_VALUE;
  return closed;
}

bool DriverLink::isDriverOpen() const { return handle != INVALID_HANDLE_VALUE; }

int32_t DriverLink::callRealMode(RegisterPacket* packet) {
  if (packet->mode == RegisterPacket::protectedMode) {
    packet->stackSegment = protectedStackSelector;
    packet->stackPointer = protectedStackSize;
  } else {
    packet->stackSegment = realStackSegment;
    packet->stackPointer = realStackSize;
  }
  uint32_t returned = 0;
  // The driver takes the packet's address and rewrites it in place; the
  // lengths are 0 by its convention.
  bool done = isDriverOpen() && platform::driver().DeviceIoControl(
                                    handle, runInterruptRequest, packet, 0,
                                    nullptr, 0, &returned);
  if (!done) {
    packet->flags |= RegisterPacket::carryFlag;
    return 0;
  }
  // The DOS or BIOS error code, so that the caller's report shows its text.
  if (packet->carry()) platform::kernel().SetLastError(packet->ax());
  return 1;
}

int32_t DriverLink::queryDeviceKey(uint32_t drive, uint32_t* deviceNodeOut,
                                   char* keyBuffer) {
  if (!isDriverOpen()) return 0;
  DriverAddress node(deviceNodeOut);
  DriverAddress key(keyBuffer);
  if (!node.Value() || !key.Value()) return 0;
  DeviceRequest request = {drive, node.Value(), key.Value()};
  uint32_t returned = 0;
  if (!platform::driver().DeviceIoControl(handle, deviceKeyRequest, &request,
                                          sizeof request, nullptr, 0,
                                          &returned))
    return 0;
  // The driver promises a terminated path; a driver that broke it must not
  // make us read past the block.
  keyBuffer[keyPathSize - 1] = '\0';
  return 1;
}
