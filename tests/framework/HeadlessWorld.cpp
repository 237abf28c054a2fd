// The framework tests' world in the native build: the headless backend,
// emptied after every test.
#include <gtest/gtest.h>

#include "framework/WindowCodes.h"
#include "framework/headless/Dialogs.h"
#include "framework/headless/Windows.h"
#include "tests/framework/FrameworkWorld.h"

namespace frameworkworld {

bool CreateTopWindow(CWnd* window, const char* title) {
  return window->CreateEx(0, "PelmoraTestWindow", title,
                          WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                          CRect(40, 30, 440, 330), nullptr, 0);
}

void PumpMessages() { headless::Windows::Get().PumpMessages(); }

intptr_t RunDialog(CDialog& dialog) {
  headless::Resources resources;
  std::string error;
  if (!headless::ParseResourceScript(FRAMEWORK_DIALOG_RC, &resources, &error)) {
    ADD_FAILURE() << error;
    return -1;
  }
  headless::SetResources(resources);
  headless::DialogUser& user = headless::DialogUser::Get();
  user.Reset();
  user.SetFailureHandler(
      [](const std::string& message) { ADD_FAILURE() << message; });
  user.Expect(dialog.GetTemplateId(), {});
  return dialog.DoModal();
}

}  // namespace frameworkworld

namespace {

class ResetWorld : public testing::EmptyTestEventListener {
  void OnTestEnd(const testing::TestInfo&) override {
    headless::Windows::Get().Reset();
  }
};

const bool installed = [] {
  testing::UnitTest::GetInstance()->listeners().Append(new ResetWorld);
  return true;
}();

}  // namespace
