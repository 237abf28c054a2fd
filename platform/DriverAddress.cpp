#include "platform/DriverAddress.h"

namespace {

const bool flatAddresses = sizeof(void*) == sizeof(uint32_t);

// A request names at most two buffers; a few more slots cost nothing.
const int slotCount = 8;
const uint32_t firstToken = 0x00010000u;
void* slots[slotCount];

}  // namespace

DriverAddress::DriverAddress(void* buffer) : value(0), slot(-1) {
  if (flatAddresses) {
    value = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(buffer));
    return;
  }
  if (!buffer) return;
  for (int i = 0; i < slotCount; ++i) {
    if (slots[i]) continue;
    slots[i] = buffer;
    slot = i;
    value = firstToken + static_cast<uint32_t>(i) * 0x10u;
    return;
  }
}

DriverAddress::~DriverAddress() {
  if (slot >= 0) slots[slot] = nullptr;
}

void* DriverAddress::Resolve(uint32_t address) {
  if (flatAddresses)
    return reinterpret_cast<void*>(static_cast<uintptr_t>(address));
  if (address < firstToken || (address - firstToken) % 0x10u) return nullptr;
  uint32_t index = (address - firstToken) / 0x10u;
  return index < static_cast<uint32_t>(slotCount) ? slots[index] : nullptr;
}
