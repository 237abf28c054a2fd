// A buffer's address as a 32-bit driver reads it from inside a request.
// On 32-bit Windows it is the address itself. Where pointers are wider
// (the native tests, the x86_64 Wine build) it is a small number from a
// table that only the simulated driver turns back into the buffer; no real
// driver runs there, so nothing else ever reads it.
#pragma once
#include "platform/Types.h"

class DriverAddress {
 public:
  explicit DriverAddress(void* buffer);
  ~DriverAddress();
  DriverAddress(const DriverAddress&) = delete;
  DriverAddress& operator=(const DriverAddress&) = delete;

  // 0 when the buffer could not be given an address.
  uint32_t Value() const { return value; }
  // The buffer behind an address in use; null for any other number.
  static void* Resolve(uint32_t address);

 private:
  uint32_t value;
  int slot;
};
