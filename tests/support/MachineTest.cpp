#include "tests/support/MachineTest.h"

#include <stdexcept>

void MachineTest::Boot(const char* fixture) {
  scope.reset();
  try {
    loaded = sim::Machine::Load(fixture);
  } catch (const std::exception& error) {
    FAIL() << "machine " << fixture << " did not load: " << error.what();
  }
  loaded->SetFailureHandler(
      [](const std::string& message) { ADD_FAILURE() << message; });
  scope.reset(new platform::PlatformScope(loaded->Platform()));
}

sim::Machine& MachineTest::machine() {
  if (!loaded) {
    // Tests that forgot Boot() fail here rather than crash.
    ADD_FAILURE() << "the test uses the machine before Boot()";
    loaded = sim::Machine::Load("basic");
    scope.reset(new platform::PlatformScope(loaded->Platform()));
  }
  return *loaded;
}

void MachineTest::TearDown() {
  if (loaded) loaded->User().Done();
  scope.reset();
  loaded.reset();
}
