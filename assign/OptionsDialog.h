// The program's one option, how a save names the DOS-visible drives, and
// the dialog that shows and changes it. The option lives machine-wide in
// the registry.
#pragma once
#include <stdint.h>

#include "framework/Dialog.h"

// Template 134 and its controls.
const int optionsDialogId = 134;
const int optionsSaveBySerial = 1005;
const int optionsSaveByLabel = 1006;

class OptionsDialog : public CDialog {
 public:
  OptionsDialog() : CDialog(optionsDialogId, 0) {}

  // 0: by serial number, 1: by label, -1: unset (no button selected).
  int32_t saveBy = -1;

  void DoDataExchange(CDataExchange* dx) override;

 protected:
  const DialogCommandEntry* GetCommandMap() const override;
};

// Reads the option at start-up; a key that cannot be opened is reported and
// leaves saveBy as it was, a missing value means 0.
void ReadOptions(OptionsDialog& options);
// Stores saveBy: false after reporting a failure.
bool SaveOptions(const OptionsDialog& options);
// The Options command: the dialog, and on OK the option stored.
void RunOptionsCommand(OptionsDialog& options);
