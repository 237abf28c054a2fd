// A popup menu of the simulated machine: a MenuHandle is the address of
// one of these. The headless framework menu and the simulated shell's
// context menus both write their entries here.
#pragma once
#include <string>
#include <vector>

namespace sim {

struct SimMenu;

struct SimMenuEntry {
  unsigned id;  // 0 for a separator
  std::string text;
  unsigned flags;  // MF_ flags as given
  // The popup the entry opens (MF_POPUP), owned by the menu; null for none.
  SimMenu* popup = nullptr;
};

struct SimMenu {
  std::vector<SimMenuEntry> entries;
  int defaultId = -1;
};

}  // namespace sim
