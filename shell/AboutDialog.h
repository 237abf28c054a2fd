// The About box, which also serves as the splash window while the drive
// table is built: two blue lines on a cyan field that any mouse press
// closes.
#pragma once
#include "framework/Dialog.h"
#include "framework/Gdi.h"

const int aboutDialogId = 143;
const int aboutTitleId = 1036;
const int aboutNoticeId = 1037;

class AboutDialog : public CDialog {
 public:
  AboutDialog() : CDialog(aboutDialogId, 0) {}
  bool OnInitDialog() override;
  bool OnMessage(unsigned message, uintptr_t wParam, intptr_t lParam,
                 intptr_t* result) override;

  CBrush background;
  CFont titleFont;
  CFont noticeFont;
};

// The About command: the box, modal, owned by nobody.
void RunAboutCommand();
