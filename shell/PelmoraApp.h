// Kromva32's application object.
#pragma once
#include "assign/OptionsDialog.h"
#include "framework/WinApp.h"
#include "shell/MainFrame.h"

class PelmoraApp : public CWinApp {
 public:
  PelmoraApp();
  ~PelmoraApp() override;
  bool InitInstance() override;
  int ExitInstance() override;

  // The SaveBy option for the whole run.
  OptionsDialog options;
  CMainFrame* frame = nullptr;

 protected:
  void OnAppAbout();
  void OnAppExit();
  const CommandMap* GetCommandMap() const override;
};
