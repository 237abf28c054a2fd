// "Setup Completed", the last page of an install: only Finish ends it,
// with 1 when "Run Pelmora now." is ticked, else 0.
#pragma once
#include "framework/Dialog.h"

class SetupCompletedDialog : public CDialog {
 public:
  explicit SetupCompletedDialog(WindowHandle owner);
  bool OnInitDialog() override;

 protected:
  const DialogCommandEntry* GetCommandMap() const override;

 private:
  void OnFinish();
  static const DialogCommandEntry commandMap[];
};
