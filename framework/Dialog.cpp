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

// A modeless dialog still open goes with its object.
CDialog::~CDialog() {
  if (window != 0) DestroyWindow();
}

bool CDialog::OnInitDialog() {
  UpdateData(false);
  return true;
}

void CDialog::DoDataExchange(CDataExchange*) {}

bool CDialog::OnMessage(unsigned, uintptr_t, intptr_t, intptr_t*) {
  return false;
}

bool CDialog::UpdateData(bool saveAndValidate) {
  CDataExchange dx(this, saveAndValidate);
  DoDataExchange(&dx);
  return !dx.failed;
}

void DDX_Radio(CDataExchange* dx, int firstId, int32_t& value) {
  int ids[32];
  const int count = dx->m_pDlgWnd->GetRadioGroup(firstId, ids, 32);
  const int known = count < 32 ? count : 32;
  if (dx->m_bSaveAndValidate) {
    value = -1;
    for (int i = 0; i < known; ++i)
      if (dx->m_pDlgWnd->IsDlgButtonChecked(ids[i]) == kBstChecked) {
        value = i;
        break;
      }
    return;
  }
  for (int i = 0; i < known; ++i)
    dx->m_pDlgWnd->CheckDlgButton(ids[i],
                                  i == value ? kBstChecked : kBstUnchecked);
}

void DDX_Text(CDataExchange* dx, int id, char* buffer, int size) {
  if (dx->m_bSaveAndValidate)
    dx->m_pDlgWnd->GetDlgItemText(id, buffer, size);
  else
    dx->m_pDlgWnd->SetDlgItemText(id, buffer);
}

void DDV_MaxChars(CDataExchange* dx, int id, int count) {
  if (!dx->m_bSaveAndValidate) dx->m_pDlgWnd->LimitText(id, count);
}

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

void CDialog::OnOK() {
  if (UpdateData(true)) EndDialog(kIdOk);
}

void CDialog::OnCancel() { EndDialog(kIdCancel); }
