// A popup menu of the simulated machine: a MenuHandle is the address of
// one of these. The headless framework menu and the simulated shell's
// context menus both write their entries here.
#pragma once
#include <string>
#include <vector>

namespace sim {

struct SimMenuEntry {
  unsigned id;  // 0 for a separator
  std::string text;
  unsigned flags;  // MF_ flags as given
};

struct SimMenu {
  std::vector<SimMenuEntry> entries;
  int defaultId = -1;
};

}  // namespace sim
