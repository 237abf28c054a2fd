// The least number of platform calls the drive table's construction and
// build need on a simulated machine, worked out from the machine's
// description (its drives' facts and its registry) by the rules the
// discovery and the probes follow, without running any of their code.
#pragma once
#include <stdint.h>

#include "platform/sim/Machine.h"

struct CallCounts {
  uint64_t driverRequests = 0;  // DeviceIoControl, both requests
  uint64_t registryCalls = 0;   // every Reg* call
  uint64_t fileOpens = 0;       // streams opened and CreateFileA
};

// Reading drivemap.dat and opening the driver.
CallCounts LeastConstructionCalls(const sim::Machine& machine);
// buildDriveTable: the DriveSpace query, the persistent connections and
// the probes of every drive in the logical-drive mask.
CallCounts LeastStartupCalls(const sim::Machine& machine);
