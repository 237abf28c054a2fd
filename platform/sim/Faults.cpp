#include "platform/sim/Faults.h"

#include "platform/sim/SimParts.h"

namespace sim {

void Faults::Fail(const std::string& call, uint32_t code, int occurrence,
                  const std::string& argumentContains) {
  faults.push_back(
      {call, code, occurrence, UpperCase(argumentContains), 0, false});
}

void Faults::Clear() { faults.clear(); }

bool Faults::Check(const std::string& call, const std::string& argument,
                   uint32_t* code) {
  std::string upper = UpperCase(argument);
  for (Fault& fault : faults) {
    if (fault.spent || fault.call != call) continue;
    if (!fault.argument.empty() &&
        upper.find(fault.argument) == std::string::npos)
      continue;
    ++fault.seen;
    if (fault.occurrence == 0 || fault.seen == fault.occurrence) {
      if (fault.occurrence != 0) fault.spent = true;
      ++fired;
      *code = fault.code;
      return true;
    }
  }
  return false;
}

}  // namespace sim
