// CDialog over a real dialog box: DialogBoxParamA on the template in the
// program's resources, and a static dialog procedure that finds the object
// through the window's DWLP_USER slot.
#include "framework/Dialog.h"

#include <windows.h>

#include "framework/AppWindow.h"

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
    return FALSE;
  }
};

intptr_t CDialog::DoModal() {
  INT_PTR result =
      DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId),
                      DialogBackend::Parent(this), DialogBackend::Procedure,
                      reinterpret_cast<LPARAM>(this));
  window = 0;
  return result;
}

void CDialog::EndDialog(intptr_t result) {
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

WindowHandle CDialog::GetDlgItem(int id) const {
  return reinterpret_cast<WindowHandle>(
      ::GetDlgItem(DialogBackend::Window(this), id));
}

int AfxLoadString(unsigned id, char* buffer, int size) {
  if (buffer == nullptr || size <= 0) return 0;
  buffer[0] = '\0';
  return LoadStringA(GetModuleHandleA(nullptr), id, buffer, size);
}
