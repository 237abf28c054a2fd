// Kromva32's application object and start-up: the program works in its own
// folder (the driver, drivemap.dat, Letters.ini and the help pages are
// named relative to it), reads its option, and opens the main frame.
#include "shell/PelmoraApp.h"

#include <string.h>

#include "framework/System.h"
#include "framework/WindowCodes.h"
#include "platform/Platform.h"
#include "shell/AboutDialog.h"

namespace {

// Makes the program's own folder the current directory.
void EnterProgramFolder() {
  char path[260];
  uint32_t length = platform::kernel().GetModuleFileNameA(path, sizeof path);
  if (length == 0 || length >= sizeof path) return;
  char* slash = strrchr(path, '\\');
  if (slash == nullptr) return;
  // Keep the backslash of a root folder ("C:\").
  if (slash == path + 2 && path[1] == ':') ++slash;
  *slash = '\0';
  platform::kernel().SetCurrentDirectoryA(path);
}

}  // namespace

PelmoraApp::PelmoraApp() : CWinApp("Pelmora") {}

PelmoraApp::~PelmoraApp() { delete frame; }

bool PelmoraApp::InitInstance() {
  EnterProgramFolder();
  AfxInitCommonControls();
  SetRegistryKey("Ardentol");
  // Before any window: the option is in force while the table is built.
  ReadOptions(options);
  frame = new CMainFrame(&options);
  m_pMainWnd = frame;
  if (!frame->LoadFrame(mainFrameResource, WS_OVERLAPPEDWINDOW)) {
    AfxOutputDebugString("Error constructing main frame.");
    return false;
  }
  FitFrameToList(*frame);
  return true;
}

int PelmoraApp::ExitInstance() {
  m_pMainWnd = nullptr;
  delete frame;
  frame = nullptr;
  return CWinApp::ExitInstance();
}

void PelmoraApp::OnAppAbout() { RunAboutCommand(); }

void PelmoraApp::OnAppExit() {
  if (m_pMainWnd != nullptr) m_pMainWnd->SendMessage(WM_CLOSE);
}

const CommandMap* PelmoraApp::GetCommandMap() const {
  static const CommandMapEntry entries[] = {
      Cmd::Command(ID_APP_ABOUT, &PelmoraApp::OnAppAbout),
      Cmd::Command(ID_APP_EXIT, &PelmoraApp::OnAppExit), Cmd::End()};
  static const CommandMap map = {CWinApp::GetCommandMap(), entries};
  return &map;
}
