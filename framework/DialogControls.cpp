// The portable dialog controls: each method is one message to the control.
#include "framework/DialogControls.h"

bool CDialogItem::Attach(CDialog* owner, int controlId) {
  if (owner == nullptr || owner->GetDlgItem(controlId) == 0) return false;
  dialog = owner;
  id = controlId;
  return true;
}

WindowHandle CDialogItem::GetSafeHwnd() const {
  return dialog != nullptr ? dialog->GetDlgItem(id) : 0;
}

bool CDialogItem::EnableWindow(bool enable) {
  return dialog != nullptr && dialog->EnableDlgItem(id, enable);
}

bool CDialogItem::IsWindowEnabled() const {
  return dialog != nullptr && dialog->IsDlgItemEnabled(id);
}

intptr_t CDialogItem::SendMessage(unsigned message, uintptr_t wParam,
                                  intptr_t lParam) const {
  return dialog != nullptr
             ? dialog->SendDlgItemMessage(id, message, wParam, lParam)
             : 0;
}

namespace {
// MAKELONG(low, high) of two 16-bit values.
intptr_t MakeLong(int low, int high) {
  return static_cast<intptr_t>(
      (static_cast<uint32_t>(static_cast<uint16_t>(high)) << 16) |
      static_cast<uint16_t>(low));
}
}  // namespace

void CSpinButtonCtrl::SetRange(int lower, int upper) {
  // The upper limit goes in the low word.
  SendMessage(kUdmSetRange, 0, MakeLong(upper, lower));
}

void CSpinButtonCtrl::GetRange(int* lower, int* upper) const {
  const uint32_t range = static_cast<uint32_t>(SendMessage(kUdmGetRange));
  if (lower != nullptr) *lower = static_cast<int16_t>(range >> 16);
  if (upper != nullptr) *upper = static_cast<int16_t>(range & 0xFFFF);
}

int CSpinButtonCtrl::SetPos(int position) {
  return static_cast<int16_t>(
      SendMessage(kUdmSetPos, 0, MakeLong(position, 0)) & 0xFFFF);
}

int CSpinButtonCtrl::GetPos(bool* error) const {
  const uint32_t result = static_cast<uint32_t>(SendMessage(kUdmGetPos));
  if (error != nullptr) *error = (result >> 16) != 0;
  return static_cast<int16_t>(result & 0xFFFF);
}

WindowHandle CSpinButtonCtrl::GetBuddy() const {
  return static_cast<WindowHandle>(SendMessage(kUdmGetBuddy));
}

IconHandle CStatic::SetIcon(IconHandle icon) {
  return static_cast<IconHandle>(
      SendMessage(kStmSetIcon, static_cast<uintptr_t>(icon)));
}

IconHandle CStatic::GetIcon() const {
  return static_cast<IconHandle>(SendMessage(kStmGetIcon));
}
