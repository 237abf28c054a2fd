// Kromva32's main window: the drive list with the main toolbar, the letter
// bar and the status bar around it. Every command goes to the drive list
// first.
#pragma once
#include "assign/DriveListView.h"
#include "assign/OptionsDialog.h"
#include "framework/ControlBars.h"
#include "framework/FrameWnd.h"
#include "shell/LetterBar.h"

// The resources of the main window, and the letter bar's ids.
const unsigned mainFrameResource = 128;
const unsigned letterBarId = 130;
const unsigned ID_VIEW_LETTER_BAR = 32948;
const unsigned ID_APP_ABOUT = 57664;

class CMainFrame : public CFrameWnd {
 public:
  explicit CMainFrame(OptionsDialog* options);

  bool PreCreateWindow(CreateStruct& cs) override;
  bool OnCmdMsg(unsigned id, int code, CCmdUI* ui) override;

  CStatusBar statusBar;
  CToolBar toolBar;
  LetterBar letterBar;
  DriveListView view;

 protected:
  int OnCreate(CreateStruct* cs);
  void OnSetFocus();
  void OnClose();
  void OnViewLetterBar();
  void OnUpdateViewLetterBar(CCmdUI* ui);
  void OnHelpContents();
  void OnHelpOpinion();

  const MessageMap* GetMessageMap() const override;
  const CommandMap* GetCommandMap() const override;
};

// Where the frame opens: centred on the work area, as wide as the list's
// rows and as tall as the rows and one empty row, but at least half the
// work area's height. The inputs are the maximized frame's window
// rectangle (its border lies off the work area), the list's client
// rectangle, the row count and the bounds of the last row; false when
// there is no row, and the frame keeps its normal place.
bool FitFrameRectangle(const CRect& frame, const CRect& list, int rowCount,
                       const CRect& lastRow, CRect* normal);
// Places and shows the frame as FitFrameRectangle says.
void FitFrameToList(CMainFrame& frame);
