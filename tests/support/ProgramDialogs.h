// The program's resource script served by the headless backend, and a
// dialog user whose unexpected dialogs fail the test. Call it through
// ASSERT_NO_FATAL_FAILURE so a script that does not parse stops the set-up.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "framework/headless/Dialogs.h"
#include "framework/headless/Windows.h"

inline void LoadProgramDialogs(const char* script) {
  headless::Resources resources;
  std::string error;
  ASSERT_TRUE(headless::ParseResourceScript(script, &resources, &error))
      << error;
  headless::SetResources(resources);
  headless::DialogUser::Get().Reset();
  headless::DialogUser::Get().SetFailureHandler(
      [](const std::string& message) { ADD_FAILURE() << message; });
}
