// The portable part of CDialog: command dispatch through the map. The
// backends (win32/Dialog.cpp, headless/Dialog.cpp) create the window and
// call in here.
#include "framework/Dialog.h"

namespace {
// IDOK and IDCANCEL, as Win32 numbers them.
const int kIdOk = 1;
const int kIdCancel = 2;
const DialogCommandEntry noCommands[] = {{0, nullptr}};
}  // namespace

CDialog::CDialog(int templateId, WindowHandle parent)
    : templateId(templateId), parent(parent) {}

CDialog::~CDialog() {}

bool CDialog::OnInitDialog() { return true; }

bool CDialog::OnCommand(int id, int) {
  for (const DialogCommandEntry* entry = GetCommandMap(); entry->handler;
       ++entry) {
    if (entry->id == id) {
      (this->*entry->handler)();
      return true;
    }
  }
  return false;
}

const DialogCommandEntry* CDialog::GetCommandMap() const { return noCommands; }

void CDialog::OnOK() { EndDialog(kIdOk); }

void CDialog::OnCancel() { EndDialog(kIdCancel); }
