#include "setup/SetupWindow.h"

#include <string.h>

#include "platform/Codes.h"
#include "platform/Platform.h"
#include "setup/SetupIds.h"
#include "setup/SetupInstaller.h"

namespace {

// Windows names folders without regard to case.
bool SameFolder(const char* a, const char* b) {
  for (;; ++a, ++b) {
    char x = *a >= 'a' && *a <= 'z' ? char(*a - 32) : *a;
    char y = *b >= 'a' && *b <= 'z' ? char(*b - 32) : *b;
    if (x != y) return false;
    if (!x) return true;
  }
}

}  // namespace

const DialogCommandEntry SetupInstallDialog::commandMap[] = {
    {IDOK, static_cast<DialogCommandHandler>(&SetupInstallDialog::OnInstall)},
    {IDCANCEL, static_cast<DialogCommandHandler>(&SetupInstallDialog::OnClose)},
    {0, nullptr},
};

SetupInstallDialog::SetupInstallDialog() : CDialog(IDD_SETUP_INSTALL, 0) {
  installedFolder[0] = '\0';
}

const DialogCommandEntry* SetupInstallDialog::GetCommandMap() const {
  return commandMap;
}

bool SetupInstallDialog::OnInitDialog() {
  DefaultInstallFolder(installedFolder, &installed);
  SetDlgItemText(IDC_SETUP_FOLDER, installedFolder);
  LimitText(IDC_SETUP_FOLDER, 199);
  if (installed)
    SetDlgItemText(IDC_SETUP_NOTE,
                   "Pelmora is installed in this folder. Setup replaces it "
                   "with this version.");
  else
    installedFolder[0] = '\0';
  return true;
}

void SetupInstallDialog::OnInstall() {
  if (busy) return;
  char typed[260], folder[260], message[200];
  GetDlgItemText(IDC_SETUP_FOLDER, typed, sizeof typed);
  if (!CheckInstallFolder(typed, folder, message, sizeof message)) {
    ShowSetupBox(GetSafeHwnd(), MB_ICONEXCLAMATION | MB_OK, "%s", message);
    return;
  }
  // One installation: an update goes where the older one is.
  if (installed && !SameFolder(folder, installedFolder)) {
    ShowSetupBox(GetSafeHwnd(), MB_ICONEXCLAMATION | MB_OK,
                 "Pelmora is installed in %s. Remove it first (Add/Remove "
                 "Programs) to install it in another folder.",
                 installedFolder);
    return;
  }
  busy = true;
  bool done = InstallPelmora(folder, GetSafeHwnd());
  busy = false;
  if (done) EndDialog(IDOK);
}

void SetupInstallDialog::OnClose() {
  if (!busy) EndDialog(IDCANCEL);
}

const DialogCommandEntry SetupRemoveDialog::commandMap[] = {
    {IDOK, static_cast<DialogCommandHandler>(&SetupRemoveDialog::OnRemove)},
    {IDCANCEL, static_cast<DialogCommandHandler>(&SetupRemoveDialog::OnClose)},
    {0, nullptr},
};

SetupRemoveDialog::SetupRemoveDialog() : CDialog(IDD_SETUP_REMOVE, 0) {}

const DialogCommandEntry* SetupRemoveDialog::GetCommandMap() const {
  return commandMap;
}

bool SetupRemoveDialog::OnInitDialog() {
  char folder[260], text[400];
  if (!InstalledFolder(folder)) folder[0] = '\0';
  platform::Format(text, sizeof text,
                   "Setup removes Pelmora from %s, from the Start menu and "
                   "from the start of your computer.",
                   folder[0] ? folder : "this computer");
  SetDlgItemText(IDC_SETUP_REMOVE_TEXT, text);
  return true;
}

void SetupRemoveDialog::OnRemove() {
  if (busy) return;
  busy = true;
  bool done = UninstallPelmora(GetSafeHwnd());
  busy = false;
  EndDialog(done ? IDOK : IDCANCEL);
}

void SetupRemoveDialog::OnClose() {
  if (!busy) EndDialog(IDCANCEL);
}

namespace {

bool IsSwitch(const char* text, const char* name) {
  while (*text == ' ' || *text == '\t') ++text;
  size_t length = strlen(name);
  for (size_t i = 0; i < length; ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    if (c != name[i]) return false;
  }
  char end = text[length];
  return end == '\0' || end == ' ' || end == '\t';
}

}  // namespace

int RunSetup(const char* commandLine) {
  if (IsSwitch(commandLine, "/uninstall")) return StartRemovalCopy(0) ? 0 : 1;
  if (IsSwitch(commandLine, "/remove")) {
    SetupRemoveDialog dialog;
    if (dialog.DoModal() != IDOK) return 1;
    ShowSetupBox(0, MB_ICONINFORMATION | MB_OK,
                 "Pelmora has been removed from your computer.");
    return 0;
  }
  SetupInstallDialog dialog;
  return dialog.DoModal() == IDOK ? 0 : 1;
}
