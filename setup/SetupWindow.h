// Setup.exe's two dialogs. Each stays open while it works, so Quobrill's
// boxes have a window to belong to; a command that comes while the work
// runs (the wait for Quobrill reads messages) is ignored.
#pragma once
#include "framework/Dialog.h"

// Asks for the folder and installs: ends with IDOK once Pelmora is
// installed, IDCANCEL when the user gives up.
class SetupInstallDialog : public CDialog {
 public:
  SetupInstallDialog();
  bool OnInitDialog() override;

 protected:
  const DialogCommandEntry* GetCommandMap() const override;

 private:
  void OnInstall();
  void OnClose();
  bool busy = false;
  bool installed = false;
  char installedFolder[260];
  static const DialogCommandEntry commandMap[];
};

// Confirms and removes: ends with IDOK once Pelmora is removed.
class SetupRemoveDialog : public CDialog {
 public:
  SetupRemoveDialog();
  bool OnInitDialog() override;

 protected:
  const DialogCommandEntry* GetCommandMap() const override;

 private:
  void OnRemove();
  void OnClose();
  bool busy = false;
  static const DialogCommandEntry commandMap[];
};

// The program: "/uninstall" (the uninstall entry's command) hands over to
// a copy of Setup.exe outside the installation folder, "/remove" is that
// copy, anything else installs. 0 when it did what was asked.
int RunSetup(const char* commandLine);
