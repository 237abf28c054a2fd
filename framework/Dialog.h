// A modal dialog over a dialog template in the program's resources, with
// MFC's names. A derived dialog lists its commands in a table of (control
// id -> member function); a command that is not listed is ignored, so Esc
// and the close box (both IDCANCEL) end a dialog only when it lists
// IDCANCEL, for example with OnCancel.
//
// Two backends: framework/win32 over real dialog boxes (CreateDialogParamA
// with a modal loop of our own, as MFC runs them), framework/headless
// in memory for native tests (see framework/headless/Dialogs.h).
#pragma once
#include <stddef.h>
#include <stdint.h>

#include "platform/Types.h"

// Check states of CheckDlgButton and IsDlgButtonChecked.
const unsigned kBstUnchecked = 0;
const unsigned kBstChecked = 1;

class CDialog;
class CDialogItem;
typedef void (CDialog::*DialogCommandHandler)();

// One run of a dialog's data exchange: controls to members when saving
// (m_bSaveAndValidate), members to controls otherwise.
class CDataExchange {
 public:
  CDataExchange(CDialog* dialog, bool saveAndValidate)
      : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}
  // The edit the next validation is about, as MFC's PrepareEditCtrl.
  void PrepareEditCtrl(int id) { m_idLastControl = id; }
  // A value did not pass (its message already shown): the exchange stops
  // here and the focus goes to the last control, its text selected.
  void Fail();

  CDialog* m_pDlgWnd;
  bool m_bSaveAndValidate;
  int m_idLastControl = 0;
  // Set by an exchange whose control holds a value that does not pass;
  // every exchange after it does nothing, so one message is shown.
  bool failed = false;
};

// The radio group that starts at button `firstId` and `value`: the index
// of the checked button in the group, -1 for none.
void DDX_Radio(CDataExchange* dx, int firstId, int32_t& value);

// An edit's text and a character buffer of `size` bytes (always
// terminated): a longer text is cut to the buffer when saving.
void DDX_Text(CDataExchange* dx, int id, char* buffer, int size);
// Limits what the user can type into edit `id` to `count` characters; set
// when filling the controls, as MFC's DDV_MaxChars does.
void DDV_MaxChars(CDataExchange* dx, int id, int count);
// A check box and 0 (unchecked) or 1 (checked); 2 for an indeterminate
// three-state box.
void DDX_Check(CDataExchange* dx, int id, int32_t& value);
// An edit's text as a whole number in decimal. Saving takes an optional
// sign and digits, with blanks around them; anything else (an empty text,
// letters, a number beyond 32 bits) shows the framework's message "Please
// enter a whole number.", keeps `value` and fails the exchange.
void DDX_Text(CDataExchange* dx, int id, int32_t& value);
// After DDX_Text of an int: when saving, a value outside min..max shows
// "Please enter a whole number from <min> to <max>." and fails.
void DDV_MinMaxInt(CDataExchange* dx, int32_t value, int32_t min, int32_t max);
// Binds a control object to control `id` of the dialog, once.
void DDX_Control(CDataExchange* dx, int id, CDialogItem& control);

// The framework's message boxes (validation), owned by `owner` and
// captioned with the application's name (empty without an application
// object): the button pressed.
int AfxMessageBox(WindowHandle owner, const char* text, unsigned type);

// One line of a dialog's command map; a map ends with {0, nullptr}. A
// derived class's handler is listed as
// static_cast<DialogCommandHandler>(&Derived::OnSomething).
struct DialogCommandEntry {
  int id;
  DialogCommandHandler handler;
};

class CDialog {
 public:
  CDialog(int templateId, WindowHandle parent);
  virtual ~CDialog();
  CDialog(const CDialog&) = delete;
  CDialog& operator=(const CDialog&) = delete;

  // Runs the dialog until a handler calls EndDialog: that call's result,
  // or -1 when the dialog could not be created.
  intptr_t DoModal();
  // A modeless dialog: created (and initialised) now, shown when the
  // template says WS_VISIBLE, alive until DestroyWindow. `parent` 0 is the
  // desktop.
  bool Create(WindowHandle parent);
  bool DestroyWindow();
  bool ShowWindow(int showCommand);
  // Paints the dialog now, for a modeless one shown while the program is
  // busy and reads no messages.
  void UpdateWindow();
  // Messages other than WM_INITDIALOG and WM_COMMAND: true when handled,
  // with the dialog procedure's result in *result (for WM_CTLCOLOR...
  // the brush). The base handles none.
  virtual bool OnMessage(unsigned message, uintptr_t wParam, intptr_t lParam,
                         intptr_t* result);
  // The dialog takes the mouse: every click anywhere comes to it.
  void SetCapture();
  // Sets a control's font (a CFont's handle), without redrawing.
  void SetControlFont(int id, uintptr_t font);

  // Runs once the controls exist, before the dialog is shown: the base
  // fills the controls from the members (UpdateData(false)). True lets the
  // system give the focus to the first control.
  virtual bool OnInitDialog();
  // Binds members to controls; the base binds nothing.
  virtual void DoDataExchange(CDataExchange* dx);
  // Runs the data exchange: false when a value did not pass.
  bool UpdateData(bool saveAndValidate = true);
  // The radio buttons of the group that starts at `firstId`, in tab order
  // up to the next control that starts a group: their count, with up to
  // `max` of their ids in `ids`.
  int GetRadioGroup(int firstId, int* ids, int max) const;
  // WM_COMMAND: runs the command map's handler for `id`; true when there
  // was one.
  virtual bool OnCommand(int id, int notifyCode);

  // Ends the dialog after the running handler returns; DoModal returns
  // `result`.
  void EndDialog(intptr_t result);
  void CheckDlgButton(int id, unsigned check);
  unsigned IsDlgButtonChecked(int id) const;
  void SetDlgItemText(int id, const char* text);
  // Copies the control's text into `buffer` (always terminated, cut to
  // `size`): its length.
  int GetDlgItemText(int id, char* buffer, int size) const;
  // The most characters the user can type into edit `id` (EM_LIMITTEXT).
  void LimitText(int id, int count);
  // A message to control `id` (SendDlgItemMessage): its result, 0 when
  // the dialog has no such control.
  intptr_t SendDlgItemMessage(int id, unsigned message, uintptr_t wParam = 0,
                              intptr_t lParam = 0);
  // Enables or disables control `id` (EnableWindow): whether it was
  // disabled before.
  bool EnableDlgItem(int id, bool enable);
  bool IsDlgItemEnabled(int id) const;
  // Moves the focus to control `id` as the dialog manager does
  // (WM_NEXTDLGCTL): an edit's whole text is selected.
  void GotoDlgCtrl(int id);
  // The control's window, 0 when the dialog has no such control.
  WindowHandle GetDlgItem(int id) const;
  WindowHandle GetSafeHwnd() const { return window; }
  int GetTemplateId() const { return templateId; }

 protected:
  // The table of commands this dialog handles; the base handles none.
  virtual const DialogCommandEntry* GetCommandMap() const;
  // Ready-made handlers for the usual buttons: OK saves the data exchange
  // and ends with IDOK when it passed; Cancel ends with IDCANCEL.
  void OnOK();
  void OnCancel();

 private:
  friend struct DialogBackend;
  int templateId;
  WindowHandle parent;
  WindowHandle window = 0;
};

// Copies string resource `id` into `buffer` (always terminated): its
// length, 0 when there is no such string.
int AfxLoadString(unsigned id, char* buffer, int size);
