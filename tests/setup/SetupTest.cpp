#include "tests/setup/SetupTest.h"

#include "setup/SetupMessages.h"
#include "setup/resource.h"

const WindowHandle kInstaller = 0x2A04;
const char kOpinion[] =
    "It is important for the author to know your thoughts and opinion\n"
    "about Pelmora. Please, leave your comments in my web guestbook\n"
    "or e-mail me. To do so, please, run Pelmora and go to\n"
    "\"Help / Your Opinion\" in the main menu.";
const char kAutoexecError[] = "Error changing c:\\autoexec.bat";
const char kBadArguments[] =
    "Bad arguments. ( This program may not run as a standalone "
    "application. )";

void SetupTest::SetUp() {
  headless::Resources resources;
  std::string error;
  ASSERT_TRUE(headless::ParseResourceScript(QUOBRILL_RC, &resources, &error))
      << error;
  headless::SetResources(resources);
  headless::DialogUser::Get().Reset();
  headless::DialogUser::Get().SetFailureHandler(
      [](const std::string& message) { ADD_FAILURE() << message; });
  SetSetupOwner(kInstaller);
}

void SetupTest::TearDown() {
  headless::DialogUser::Get().Done();
  SetSetupOwner(0);
  MachineTest::TearDown();
}

void SetupTest::ExpectError(const std::string& text) {
  user().Expect("Setup", text, MB_ICONERROR | MB_OK, IDOK);
}

void SetupTest::ExpectCode(int code) {
  ExpectError("Setup encountered error " + std::to_string(code) + ".");
}

void SetupTest::ExpectOpinion() {
  user().Expect("Please, leave your opinion.", kOpinion, MB_OK, IDOK);
}

void SetupTest::ExpectCompleted(std::vector<headless::UserAct> acts) {
  headless::DialogUser::Get().Expect(IDD_SETUP_COMPLETED, std::move(acts));
}

void SetupTest::ExpectSuccessfulEnd(bool runPelmora) {
  ExpectOpinion();
  if (runPelmora)
    ExpectCompleted({headless::Click(IDC_FINISH)});
  else
    ExpectCompleted(
        {headless::Click(IDC_RUN_PELMORA), headless::Click(IDC_FINISH)});
}
