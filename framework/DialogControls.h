// Control objects of a dialog, with MFC's names: each holds its dialog and
// control id once DDX_Control has bound it, and every method is a message
// to the control, so both backends serve them through
// CDialog::SendDlgItemMessage (the headless one models the messages).
#pragma once
#include <stdint.h>

#include "framework/Dialog.h"
#include "platform/Types.h"

// The messages and styles, under their own names so that portable code
// needs no Windows header (values are Win32's).
const unsigned kUdmSetRange = 0x0465;  // UDM_SETRANGE
const unsigned kUdmGetRange = 0x0466;  // UDM_GETRANGE
const unsigned kUdmSetPos = 0x0467;    // UDM_SETPOS
const unsigned kUdmGetPos = 0x0468;    // UDM_GETPOS
const unsigned kUdmGetBuddy = 0x046A;  // UDM_GETBUDDY
const unsigned kStmSetIcon = 0x0170;   // STM_SETICON
const unsigned kStmGetIcon = 0x0171;   // STM_GETICON
const uint32_t kUdsWrap = 0x0001;
const uint32_t kUdsSetBuddyInt = 0x0002;
const uint32_t kUdsAlignRight = 0x0004;
const uint32_t kUdsAutoBuddy = 0x0010;
const uint32_t kUdsArrowKeys = 0x0020;
const uint32_t kUdsHotTrack = 0x0100;
const uint32_t kSsIcon = 0x0003;
const uint32_t kSsTypeMask = 0x001F;

// A control of a dialog. Unbound (before DDX_Control) every call does
// nothing and answers 0.
class CDialogItem {
 public:
  CDialogItem() {}
  CDialogItem(const CDialogItem&) = delete;
  CDialogItem& operator=(const CDialogItem&) = delete;

  // Binds the object to control `id` of `dialog`; false when the dialog
  // has no such control.
  bool Attach(CDialog* dialog, int id);
  bool IsBound() const { return dialog != nullptr; }
  int GetDlgCtrlID() const { return id; }
  WindowHandle GetSafeHwnd() const;
  // EnableWindow: whether the control was disabled before.
  bool EnableWindow(bool enable = true);
  bool IsWindowEnabled() const;
  intptr_t SendMessage(unsigned message, uintptr_t wParam = 0,
                       intptr_t lParam = 0) const;

 protected:
  CDialog* dialog = nullptr;
  int id = 0;
};

// An up-down control. Its range and position are 16-bit, as every
// version of the common controls keeps them (UDM_SETRANGE32 needs
// Internet Explorer 4's).
class CSpinButtonCtrl : public CDialogItem {
 public:
  void SetRange(int lower, int upper);
  void GetRange(int* lower, int* upper) const;
  // The position before; a position outside the range is moved into it.
  // With UDS_SETBUDDYINT the buddy shows the new position.
  int SetPos(int position);
  // The position; with UDS_SETBUDDYINT it is read from the buddy's text,
  // and *error (when given) tells that the text is no number in the range.
  int GetPos(bool* error = nullptr) const;
  WindowHandle GetBuddy() const;
};

// A static control; an icon shows only in one of style SS_ICON.
class CStatic : public CDialogItem {
 public:
  // The icon shown before; the control does not own either.
  IconHandle SetIcon(IconHandle icon);
  IconHandle GetIcon() const;
};
