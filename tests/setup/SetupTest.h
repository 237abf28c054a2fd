// Quobrill on a simulated machine: its resources loaded from the real
// Quobrill.rc, an installer window as owner, and helpers for the boxes and
// the final dialog every flow shows.
#pragma once
#include <string>
#include <vector>

#include "framework/headless/Dialogs.h"
#include "platform/Codes.h"
#include "tests/support/MachineTest.h"

extern const WindowHandle kInstaller;
extern const char kOpinion[];
extern const char kAutoexecError[];
extern const char kBadArguments[];

class SetupTest : public MachineTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The next box is Quobrill's error box with this text.
  void ExpectError(const std::string& text);
  void ExpectCode(int code);
  void ExpectOpinion();
  // The user ends "Setup Completed" after these acts.
  void ExpectCompleted(std::vector<headless::UserAct> acts);
  // Opinion box, then Finish with "Run Pelmora now." left ticked or not.
  void ExpectSuccessfulEnd(bool runPelmora);

  const std::vector<headless::ShownDialog>& Dialogs() {
    return headless::DialogUser::Get().Shown();
  }
  std::string Read(const std::string& path) { return machine().ReadFile(path); }
};
