// The letter-assignment driver. Until the driver requests are wired in,
// the link stays closed.
#pragma once
#include "platform/Types.h"

class DriverLink {
 public:
  DriverLink()
      : open(false),
        protectedStackSelector(0),
        protectedStackSize(0),
        realStackSegment(0),
        realStackSize(0) {}
  bool isDriverOpen() const { return open; }
  void closeDriver() { open = false; }

 private:
  bool open;

 public:
  uint16_t protectedStackSelector;
  uint16_t protectedStackSize;
  uint16_t realStackSegment;
  uint16_t realStackSize;
};
