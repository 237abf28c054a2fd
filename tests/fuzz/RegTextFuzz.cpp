// The simulator's REGEDIT4 reader: any text either loads or is refused
// with a reason, and what loads writes back to text that loads to the same
// registry (writing it again gives the same bytes).
#include <stdint.h>

#include <map>
#include <memory>
#include <stdexcept>

#include "platform/sim/SimParts.h"
#include "tests/fuzz/FuzzMachine.h"

namespace {

using Roots = std::map<RegKey, std::shared_ptr<sim::RegNode>>;

Roots EmptyRoots() {
  Roots roots;
  for (const sim::RegRoot& root : sim::kRegRoots) {
    auto node = std::make_shared<sim::RegNode>();
    node->name = root.name;
    roots[root.key] = node;
  }
  return roots;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  Roots roots = EmptyRoots();
  try {
    sim::ParseRegText(text, "fuzz.reg", &roots);
  } catch (const std::runtime_error& error) {
    fuzz::Check(std::string(error.what()).find("fuzz.reg") != std::string::npos,
                "a refusal names the file", "fuzz.reg", error.what());
    return 0;
  }
  const std::string written = sim::WriteRegText(roots);
  Roots again = EmptyRoots();
  try {
    sim::ParseRegText(written, "written.reg", &again);
  } catch (const std::runtime_error& error) {
    fuzz::Check(false, "written text loads", written, error.what());
  }
  fuzz::Check(sim::WriteRegText(again) == written,
              "written text loads to the same registry", written,
              sim::WriteRegText(again));
  return 0;
}
