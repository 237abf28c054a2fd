// The contract world of the native build: the basic simulated machine, with
// a scratch folder on its hard disk and a scratch key below HKCU.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "platform/Codes.h"
#include "platform/sim/Machine.h"
#include "platform/sim/SimMenu.h"
#include "tests/contract/ContractWorld.h"

namespace {

class SimWorld : public ContractWorld {
 public:
  void SetUp() override {
    try {
      machine = sim::Machine::Load("basic");
    } catch (const std::exception& error) {
      FAIL() << "the contract machine did not load: " << error.what();
    }
    machine->SetFailureHandler(
        [](const std::string& message) { ADD_FAILURE() << message; });
    scope.reset(new platform::PlatformScope(machine->Platform()));
    if (!platform::kernel().CreateDirectoryA(ScratchDir().c_str()))
      ADD_FAILURE() << "cannot create " << ScratchDir();
    RegKey key;
    if (platform::registry().RegCreateKeyExA(
            HKEY_CURRENT_USER, ScratchKey().c_str(), 0, KEY_ALL_ACCESS, &key,
            nullptr) != ERROR_SUCCESS)
      ADD_FAILURE() << "cannot create HKCU\\" << ScratchKey();
    else
      platform::registry().RegCloseKey(key);
    machine->ClearCallLog();
  }

  // The whole machine goes, scratch folder and key with it.
  void TearDown() override {
    if (machine) machine->User().Done();
    scope.reset();
    machine.reset();
  }

  std::string ScratchDir() override { return "C:\\pelmora-contract"; }
  std::string ScratchKey() override { return "Software\\PelmoraContract"; }
  const char* Name() override { return "sim"; }
  MenuHandle CreateTestMenu() override {
    return reinterpret_cast<MenuHandle>(new sim::SimMenu);
  }
  int TestMenuCount(MenuHandle menu) override {
    return int(reinterpret_cast<sim::SimMenu*>(menu)->entries.size());
  }
  void DestroyTestMenu(MenuHandle menu) override {
    delete reinterpret_cast<sim::SimMenu*>(menu);
  }

 private:
  std::unique_ptr<sim::Machine> machine;
  std::unique_ptr<platform::PlatformScope> scope;
};

}  // namespace

ContractWorld& TheContractWorld() {
  static SimWorld world;
  return world;
}
