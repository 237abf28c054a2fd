#include "shell/AboutDialog.h"

#include "framework/WindowCodes.h"
#include "platform/Codes.h"

bool AboutDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  background.CreateSolidBrush(RGB(0, 255, 255));
  titleFont.CreatePointFont(200, "Times New Roman", GetSafeHwnd());
  noticeFont.CreatePointFont(160, "Times New Roman", GetSafeHwnd());
  SetControlFont(aboutTitleId, titleFont.GetSafeHandle());
  SetControlFont(aboutNoticeId, noticeFont.GetSafeHandle());
  // With the mouse held, a press anywhere on the screen comes here.
  SetCapture();
  return true;
}

bool AboutDialog::OnMessage(unsigned message, uintptr_t wParam, intptr_t lParam,
                            intptr_t* result) {
  switch (message) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: {
      const int id = AfxGetDlgCtrlID(static_cast<WindowHandle>(lParam));
      if (id == aboutTitleId || id == aboutNoticeId)
        AfxSetTextColor(wParam, RGB(0, 0, 255));
      AfxSetBkColor(wParam, RGB(0, 255, 255));
      *result = static_cast<intptr_t>(background.GetSafeHandle());
      return true;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_CAPTURECHANGED:
      EndDialog(IDCANCEL);
      *result = 0;
      return true;
    default:
      return false;
  }
}

void RunAboutCommand() {
  AboutDialog about;
  about.DoModal();
}
