// The portable part of CDialog: command dispatch through the map. The
// backends (win32/Dialog.cpp, headless/Dialog.cpp) create the window and
// call in here.
#include "framework/Dialog.h"

#include "framework/DialogControls.h"
#include "framework/WinApp.h"
#include "platform/Codes.h"
#include "platform/Platform.h"

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

void CDataExchange::Fail() {
  failed = true;
  if (m_idLastControl != 0) m_pDlgWnd->GotoDlgCtrl(m_idLastControl);
}

int AfxMessageBox(WindowHandle owner, const char* text, unsigned type) {
  const CWinApp* app = AfxGetApp();
  return platform::prompts().MessageBoxA(
      owner, text, app != nullptr && app->m_pszAppName ? app->m_pszAppName : "",
      type);
}

void DDX_Radio(CDataExchange* dx, int firstId, int32_t& value) {
  if (dx->failed) return;
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
  if (dx->failed) return;
  if (dx->m_bSaveAndValidate)
    dx->m_pDlgWnd->GetDlgItemText(id, buffer, size);
  else
    dx->m_pDlgWnd->SetDlgItemText(id, buffer);
}

void DDV_MaxChars(CDataExchange* dx, int id, int count) {
  if (!dx->failed && !dx->m_bSaveAndValidate)
    dx->m_pDlgWnd->LimitText(id, count);
}

void DDX_Check(CDataExchange* dx, int id, int32_t& value) {
  if (dx->failed) return;
  if (dx->m_bSaveAndValidate)
    value = static_cast<int32_t>(dx->m_pDlgWnd->IsDlgButtonChecked(id));
  else
    dx->m_pDlgWnd->CheckDlgButton(id, static_cast<unsigned>(value));
}

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// A whole number in decimal with an optional sign and blanks around it,
// within 32 bits.
bool ParseWholeNumber(const char* text, int32_t* value) {
  const char* p = text;
  while (IsBlank(*p)) ++p;
  const bool negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  if (*p < '0' || *p > '9') return false;
  // The magnitude may reach 2^31 for the most negative number.
  const uint32_t limit = negative ? 0x80000000u : 0x7FFFFFFFu;
  uint32_t magnitude = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    const uint32_t digit = static_cast<uint32_t>(*p - '0');
    if (magnitude > (limit - digit) / 10) return false;
    magnitude = magnitude * 10 + digit;
  }
  while (IsBlank(*p)) ++p;
  if (*p != '\0') return false;
  *value = negative ? static_cast<int32_t>(0u - magnitude)
                    : static_cast<int32_t>(magnitude);
  return true;
}

}  // namespace

void DDX_Text(CDataExchange* dx, int id, int32_t& value) {
  if (dx->failed) return;
  dx->PrepareEditCtrl(id);
  char text[64];
  if (!dx->m_bSaveAndValidate) {
    platform::Format(text, sizeof text, "%d", static_cast<int>(value));
    dx->m_pDlgWnd->SetDlgItemText(id, text);
    return;
  }
  dx->m_pDlgWnd->GetDlgItemText(id, text, sizeof text);
  int32_t read = 0;
  if (!ParseWholeNumber(text, &read)) {
    AfxMessageBox(dx->m_pDlgWnd->GetSafeHwnd(), "Please enter a whole number.",
                  MB_ICONEXCLAMATION | MB_OK);
    dx->Fail();
    return;
  }
  value = read;
}

void DDV_MinMaxInt(CDataExchange* dx, int32_t value, int32_t min, int32_t max) {
  if (dx->failed || !dx->m_bSaveAndValidate) return;
  if (value >= min && value <= max) return;
  char text[96];
  platform::Format(text, sizeof text,
                   "Please enter a whole number from %d to %d.",
                   static_cast<int>(min), static_cast<int>(max));
  AfxMessageBox(dx->m_pDlgWnd->GetSafeHwnd(), text, MB_ICONEXCLAMATION | MB_OK);
  dx->Fail();
}

void DDX_Control(CDataExchange* dx, int id, CDialogItem& control) {
  if (dx->failed || control.IsBound()) return;
  control.Attach(dx->m_pDlgWnd, id);
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
