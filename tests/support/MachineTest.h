// A GoogleTest fixture that runs each test on a fresh simulated machine.
#pragma once
#include <gtest/gtest.h>

#include <memory>

#include "platform/Platform.h"
#include "platform/sim/Machine.h"

class MachineTest : public ::testing::Test {
 protected:
  // Loads the fixture (a folder under machines/) and installs its platform
  // until the test ends; machine failures become test failures. A fixture
  // that does not load fails the test at once.
  void Boot(const char* fixture);
  sim::Machine& machine();
  sim::ScriptedUser& user() { return machine().User(); }
  sim::Faults& faults() { return machine().Faults(); }
  // Checks that every expected message box was shown, then ends the machine.
  void TearDown() override;

 private:
  std::unique_ptr<sim::Machine> loaded;
  std::unique_ptr<platform::PlatformScope> scope;
};
