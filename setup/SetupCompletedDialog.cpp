#include "setup/SetupCompletedDialog.h"

#include "setup/resource.h"

// Finish only: Esc and the close box (IDCANCEL) are not listed, so they
// leave the dialog open.
const DialogCommandEntry SetupCompletedDialog::commandMap[] = {
    {IDC_FINISH,
     static_cast<DialogCommandHandler>(&SetupCompletedDialog::OnFinish)},
    {0, nullptr},
};

SetupCompletedDialog::SetupCompletedDialog(WindowHandle owner)
    : CDialog(IDD_SETUP_COMPLETED, owner) {}

const DialogCommandEntry* SetupCompletedDialog::GetCommandMap() const {
  return commandMap;
}

// Starting the program is offered, not imposed: the box starts ticked.
bool SetupCompletedDialog::OnInitDialog() {
  CheckDlgButton(IDC_RUN_PELMORA, kBstChecked);
  return true;
}

void SetupCompletedDialog::OnFinish() {
  EndDialog(IsDlgButtonChecked(IDC_RUN_PELMORA) == kBstChecked ? 1 : 0);
}
