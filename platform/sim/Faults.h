// Failures on demand: any seam call can be told to fail with a chosen code,
// so every failure path of the system can run in a test.
#pragma once
#include <stdint.h>

#include <string>
#include <vector>

namespace sim {

class Faults {
 public:
  // Makes the occurrence-th call of `call` (a seam method name as in
  // Platform.h: "RegOpenKeyExA", "Open", "Puts", "MessageBoxA" ...) whose
  // main argument contains `argumentContains` (case-insensitive; "" matches
  // every call) fail with `code`: a Win32 code for kernel and registry
  // calls, an errno for file streams, an SE_ERR code for ShellExecuteA.
  // occurrence 1 is the first matching call; 0 makes every matching call
  // fail. A failed call has no effect apart from the failure itself.
  void Fail(const std::string& call, uint32_t code, int occurrence = 1,
            const std::string& argumentContains = "");
  // Forgets every fault not yet fired.
  void Clear();
  // How many faults have fired so far.
  int Fired() const { return fired; }

  // For the simulator: whether any fault waits to fire, and true (and
  // *code set) when this call must fail.
  bool Armed() const { return !faults.empty(); }
  bool Check(const std::string& call, const std::string& argument,
             uint32_t* code);

 private:
  struct Fault {
    std::string call;
    uint32_t code;
    int occurrence;
    std::string argument;
    int seen;
    bool spent;
  };
  std::vector<Fault> faults;
  int fired = 0;
};

}  // namespace sim
