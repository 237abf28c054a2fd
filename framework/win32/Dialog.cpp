// CDialog over a real dialog box: DialogBoxParamA on the template in the
// program's resources, and a static dialog procedure that finds the object
// through the window's DWLP_USER slot.
#include "framework/Dialog.h"

#include <windows.h>

struct DialogBackend {
  static void Attach(CDialog* dialog, HWND window) {
    dialog->window = reinterpret_cast<WindowHandle>(window);
  }
  static HWND Parent(const CDialog* dialog) {
    return reinterpret_cast<HWND>(dialog->parent);
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
