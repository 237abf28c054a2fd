// CDialog over a real dialog box: CreateDialogParamA on the template in
// the program's resources, with a modal loop of our own for DoModal, and a
// static dialog procedure that finds the object through the window's
// DWLP_USER slot.
#include "framework/Dialog.h"

#include <windows.h>
// The framework's own methods of these names, not the A/W macros.
#undef SetDlgItemText
#undef GetDlgItemText
#undef SendDlgItemMessage

#include "framework/AppWindow.h"

namespace {

// A DoModal that is running: EndDialog ends its loop. Nested ones form a
// stack.
struct ModalRun {
  const CDialog* dialog;
  bool ended;
  intptr_t result;
  ModalRun* outer;
};
ModalRun* modalRuns = nullptr;

ModalRun* RunOf(const CDialog* dialog) {
  for (ModalRun* run = modalRuns; run != nullptr; run = run->outer)
    if (run->dialog == dialog) return run;
  return nullptr;
}

}  // namespace

struct DialogBackend {
  static void Attach(CDialog* dialog, HWND window) {
    dialog->window = reinterpret_cast<WindowHandle>(window);
  }
  // A dialog made without a parent is owned by the main window, so that
  // it is modal to the program.
  static HWND Parent(const CDialog* dialog) {
    return reinterpret_cast<HWND>(dialog->parent ? dialog->parent
                                                 : GetMainWindowHandle());
  }
  static HWND Window(const CDialog* dialog) {
    return reinterpret_cast<HWND>(dialog->window);
  }

  // Runs for every message of the dialog; FALSE hands it to the system's
  // default handling.
  static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam,
                                    LPARAM lParam) {
    if (message == WM_INITDIALOG) {
      // The first message that carries the object: keep it with the window.
      CDialog* dialog = reinterpret_cast<CDialog*>(lParam);
      SetWindowLongPtrA(window, DWLP_USER, lParam);
      Attach(dialog, window);
      return dialog->OnInitDialog() ? TRUE : FALSE;
    }
    CDialog* dialog =
        reinterpret_cast<CDialog*>(GetWindowLongPtrA(window, DWLP_USER));
    if (dialog == nullptr) return FALSE;
    if (message == WM_COMMAND) {
      // Esc and the close box arrive here as IDCANCEL: ignored unless the
      // dialog's map lists it. Either way the system must not act on it.
      dialog->OnCommand(LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    }
    intptr_t result = 0;
    const bool handled = dialog->OnMessage(message, wParam, lParam, &result);
    if (message == WM_NCDESTROY) {
      // The window's last message: the object no longer has one.
      SetWindowLongPtrA(window, DWLP_USER, 0);
      Attach(dialog, nullptr);
    }
    if (!handled) return FALSE;
    if (ReturnsResult(message)) return result;
    SetWindowLongPtrA(window, DWLP_MSGRESULT, result);
    return TRUE;
  }

  // The messages whose result a dialog procedure returns itself (a brush
  // for WM_CTLCOLOR...); for all others it returns TRUE and leaves the
  // result in DWLP_MSGRESULT.
  static bool ReturnsResult(UINT message) {
    return (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) ||
           message == WM_COMPAREITEM || message == WM_VKEYTOITEM ||
           message == WM_CHARTOITEM || message == WM_QUERYDRAGICON;
  }
};

// As MFC runs a modal dialog rather than as DialogBoxParamA does: the
// owner is disabled before the dialog exists, so the WM_CANCELMODE of
// disabling goes to the owner, and a dialog that takes the mouse while it
// starts (the About box does) keeps it. DialogBoxParamA under Wine cancels
// that capture once the dialog is active. The dialog shows when the queue
// first runs empty, whether or not its template says WS_VISIBLE.
intptr_t CDialog::DoModal() {
  if (window != 0) return -1;
  HWND owner = DialogBackend::Parent(this);
  const bool disableOwner = owner != nullptr && IsWindowEnabled(owner);
  if (disableOwner) EnableWindow(owner, FALSE);
  ModalRun run = {this, false, -1, modalRuns};
  modalRuns = &run;
  HWND dialog = CreateDialogParamA(
      GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId), owner,
      DialogBackend::Procedure, reinterpret_cast<LPARAM>(this));
  if (dialog != nullptr) {
    bool shown = false;
    MSG msg;
    while (!run.ended && IsWindow(dialog)) {
      if (!shown && !PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
        ::ShowWindow(dialog, SW_SHOWNORMAL);
        shown = true;
      }
      const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
      if (got == -1) break;
      if (got == 0) {
        // WM_QUIT ends the dialog and goes on to the program's loop.
        PostQuitMessage(static_cast<int>(msg.wParam));
        break;
      }
      if (!IsDialogMessageA(dialog, &msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
      }
    }
  }
  modalRuns = run.outer;
  // Hidden first, so that the owner, enabled again, is what becomes
  // active.
  if (dialog != nullptr && IsWindow(dialog))
    SetWindowPos(dialog, nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE |
                     SWP_NOZORDER);
  if (disableOwner) EnableWindow(owner, TRUE);
  if (dialog != nullptr && owner != nullptr && GetActiveWindow() == dialog)
    SetActiveWindow(owner);
  if (dialog != nullptr && IsWindow(dialog)) ::DestroyWindow(dialog);
  window = 0;
  return dialog != nullptr && run.ended ? run.result : -1;
}

bool CDialog::Create(WindowHandle owner) {
  if (window != 0) return false;
  HWND created = CreateDialogParamA(
      GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId),
      reinterpret_cast<HWND>(owner), DialogBackend::Procedure,
      reinterpret_cast<LPARAM>(this));
  if (created == nullptr) return false;
  DialogBackend::Attach(this, created);
  return true;
}

bool CDialog::DestroyWindow() {
  if (window == 0) return false;
  // The handlers of the last messages still see the window; WM_NCDESTROY
  // unties it.
  HWND h = DialogBackend::Window(this);
  const bool destroyed = ::DestroyWindow(h) != 0;
  window = 0;
  return destroyed;
}

bool CDialog::ShowWindow(int showCommand) {
  if (window == 0) return false;
  return ::ShowWindow(DialogBackend::Window(this), showCommand) != 0;
}

void CDialog::SetCapture() {
  if (window != 0) ::SetCapture(DialogBackend::Window(this));
}

void CDialog::SetControlFont(int id, uintptr_t font) {
  SendDlgItemMessageA(DialogBackend::Window(this), id, WM_SETFONT,
                      static_cast<WPARAM>(font), FALSE);
}

// A modal dialog's loop ends; a modeless dialog is hidden, as
// ::EndDialog does.
void CDialog::EndDialog(intptr_t result) {
  if (ModalRun* run = RunOf(this)) {
    run->ended = true;
    run->result = result;
  }
  ::EndDialog(DialogBackend::Window(this), result);
}

int CDialog::GetRadioGroup(int firstId, int* ids, int max) const {
  int count = 0;
  HWND control = ::GetDlgItem(DialogBackend::Window(this), firstId);
  for (HWND first = control; control != nullptr;
       control = GetWindow(control, GW_HWNDNEXT)) {
    if (control != first &&
        (GetWindowLongA(control, GWL_STYLE) & WS_GROUP) != 0)
      break;
    if (SendMessageA(control, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) {
      if (count < max) ids[count] = GetDlgCtrlID(control);
      ++count;
    }
  }
  return count;
}

void CDialog::CheckDlgButton(int id, unsigned check) {
  ::CheckDlgButton(DialogBackend::Window(this), id, check);
}

unsigned CDialog::IsDlgButtonChecked(int id) const {
  return ::IsDlgButtonChecked(DialogBackend::Window(this), id);
}

void CDialog::SetDlgItemText(int id, const char* text) {
  ::SetDlgItemTextA(DialogBackend::Window(this), id, text);
}

int CDialog::GetDlgItemText(int id, char* buffer, int size) const {
  if (buffer == nullptr || size <= 0) return 0;
  buffer[0] = '\0';
  return static_cast<int>(
      ::GetDlgItemTextA(DialogBackend::Window(this), id, buffer, size));
}

void CDialog::LimitText(int id, int count) {
  ::SendDlgItemMessageA(DialogBackend::Window(this), id, EM_LIMITTEXT,
                        static_cast<WPARAM>(count), 0);
}

intptr_t CDialog::SendDlgItemMessage(int id, unsigned message, uintptr_t wParam,
                                     intptr_t lParam) {
  return ::SendDlgItemMessageA(DialogBackend::Window(this), id, message, wParam,
                               lParam);
}

bool CDialog::EnableDlgItem(int id, bool enable) {
  HWND control = ::GetDlgItem(DialogBackend::Window(this), id);
  return control != nullptr && ::EnableWindow(control, enable ? TRUE : FALSE);
}

bool CDialog::IsDlgItemEnabled(int id) const {
  HWND control = ::GetDlgItem(DialogBackend::Window(this), id);
  return control != nullptr && ::IsWindowEnabled(control);
}

void CDialog::GotoDlgCtrl(int id) {
  HWND control = ::GetDlgItem(DialogBackend::Window(this), id);
  if (control != nullptr)
    ::SendMessageA(DialogBackend::Window(this), WM_NEXTDLGCTL,
                   reinterpret_cast<WPARAM>(control), TRUE);
}

WindowHandle CDialog::GetDlgItem(int id) const {
  return reinterpret_cast<WindowHandle>(
      ::GetDlgItem(DialogBackend::Window(this), id));
}

int AfxLoadString(unsigned id, char* buffer, int size) {
  if (buffer == nullptr || size <= 0) return 0;
  buffer[0] = '\0';
  return LoadStringA(GetModuleHandleA(nullptr), id, buffer, size);
}

void CDialog::UpdateWindow() { ::UpdateWindow(DialogBackend::Window(this)); }
