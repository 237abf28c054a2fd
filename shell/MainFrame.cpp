#include "shell/MainFrame.h"

#include "framework/Gdi.h"
#include "framework/WindowCodes.h"
#include "platform/Codes.h"
#include "shell/AboutDialog.h"
#include "shell/HelpPages.h"

namespace {
const char barStateName[] = "BarState";
}

CMainFrame::CMainFrame(OptionsDialog* options) : view(options) {}

bool CMainFrame::PreCreateWindow(CreateStruct& cs) {
  if (!CFrameWnd::PreCreateWindow(cs)) return false;
  cs.exStyle &= ~static_cast<uint32_t>(WS_EX_CLIENTEDGE);
  cs.className = AfxRegisterWndClass(0, 0, 0, 0);
  if (cs.className == nullptr) return false;
  // Created maximized and still hidden: FitFrameToList measures the work
  // area from it.
  cs.style |= WS_MAXIMIZE;
  return true;
}

int CMainFrame::OnCreate(CreateStruct* cs) {
  if (CFrameWnd::OnCreate(cs) == -1) return -1;
  // The splash is up while the list builds the drive table, the slow part.
  AboutDialog splash;
  // Painted now: nothing reads messages while the table is built.
  if (splash.Create(0)) splash.UpdateWindow();

  const IconHandle icon = AfxLoadIcon(mainFrameResource, 0);
  SendMessage(WM_SETICON, 1, static_cast<intptr_t>(icon));
  SendMessage(WM_SETICON, 0, static_cast<intptr_t>(icon));

  if (!view.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT, CRect(), this,
                   AFX_IDW_PANE_FIRST))
    return -1;
  if (!toolBar.CreateEx(this, TBSTYLE_FLAT,
                        WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_GRIPPER |
                            CBRS_TOOLTIPS | CBRS_FLYBY | CBRS_SIZE_DYNAMIC,
                        CRect(0, 0, 0, 0), AFX_IDW_TOOLBAR) ||
      !toolBar.LoadToolBar(mainFrameResource))
    return -1;
  if (!letterBar.CreateEx(
          this, TBSTYLE_FLAT | CCS_ADJUSTABLE,
          WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_GRIPPER | CBRS_SIZE_DYNAMIC,
          CRect(0, 0, 0, 0), letterBarId) ||
      !letterBar.LoadToolBar(letterBarId))
    return -1;
  // One pane: the messages, and no key-state panes.
  static const unsigned indicators[] = {ID_SEPARATOR};
  if (!statusBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_BOTTOM,
                        AFX_IDW_STATUS_BAR) ||
      !statusBar.SetIndicators(indicators, 1))
    return -1;
  SetMessageText(0u);
  letterBar.SetTargetView(&view);
  // The captions of the bars' frames when they float.
  toolBar.SetWindowText("Toolbar");
  letterBar.SetWindowText("Letter Bar");

  toolBar.EnableDocking(CBRS_ALIGN_ANY);
  letterBar.EnableDocking(CBRS_ALIGN_ANY);
  EnableDocking(CBRS_ALIGN_ANY);
  DockControlBar(&toolBar);
  DockControlBar(&letterBar);
  LoadBarState(barStateName);

  splash.ShowWindow(SW_HIDE);
  splash.DestroyWindow();
  SetForegroundWindow();
  return 0;
}

bool CMainFrame::OnCmdMsg(unsigned id, int code, CCmdUI* ui) {
  // The view first, whether or not it has the focus.
  if (view.OnCmdMsg(id, code, ui)) return true;
  return CFrameWnd::OnCmdMsg(id, code, ui);
}

void CMainFrame::OnSetFocus() {
  if (view.GetSafeHwnd() != 0) view.SetFocus();
}

void CMainFrame::OnClose() {
  if (!view.QueryClose()) return;
  SaveBarState(barStateName);
  CFrameWnd::OnClose();
}

void CMainFrame::OnViewLetterBar() {
  ShowControlBar(&letterBar, (letterBar.GetStyle() & WS_VISIBLE) == 0, false);
}

void CMainFrame::OnUpdateViewLetterBar(CCmdUI* ui) {
  ui->SetCheck((letterBar.GetStyle() & WS_VISIBLE) != 0 ? 1 : 0);
}

void CMainFrame::OnHelpContents() { OpenHelpPage(helpContentsPage); }

void CMainFrame::OnHelpOpinion() { OpenHelpPage(helpOpinionPage); }

const MessageMap* CMainFrame::GetMessageMap() const {
  static const MessageMapEntry entries[] = {
      Map::Create(&CMainFrame::OnCreate),
      Map::Void(WM_SETFOCUS, &CMainFrame::OnSetFocus),
      Map::Void(WM_CLOSE, &CMainFrame::OnClose), Map::End()};
  static const MessageMap map = {CFrameWnd::GetMessageMap(), entries};
  return &map;
}

const CommandMap* CMainFrame::GetCommandMap() const {
  static const CommandMapEntry entries[] = {
      Cmd::Command(ID_VIEW_LETTER_BAR, &CMainFrame::OnViewLetterBar),
      Cmd::Update(ID_VIEW_LETTER_BAR, &CMainFrame::OnUpdateViewLetterBar),
      Cmd::Command(ID_HELP_CONTENTS, &CMainFrame::OnHelpContents),
      Cmd::Command(ID_HELP_OPINION, &CMainFrame::OnHelpOpinion), Cmd::End()};
  static const CommandMap map = {CFrameWnd::GetCommandMap(), entries};
  return &map;
}

bool FitFrameRectangle(const CRect& frame, const CRect& list, int rowCount,
                       const CRect& lastRow, CRect* normal) {
  // The maximized frame's border lies off the work area on both sides.
  const int width = frame.right + frame.left;
  const int height = frame.bottom + frame.top;
  const int right = list.right + 2 * frame.left;
  const int bottom = list.bottom + 2 * frame.top;
  *normal = CRect(0, 0, width, height);
  if (rowCount == 0) return false;
  const int dx = right - lastRow.right;
  if (dx > 0) {
    normal->left += dx >> 1;
    normal->right -= dx >> 1;
  }
  int dy = bottom - lastRow.bottom - (lastRow.bottom - lastRow.top);
  if (dy > 0) {
    if (dy > height / 2) dy = height / 2;
    normal->top += dy >> 1;
    normal->bottom -= dy >> 1;
  }
  return true;
}

void FitFrameToList(CMainFrame& frame) {
  CRect window, list, lastRow;
  frame.GetWindowRect(&window);
  frame.view.GetClientRect(&list);
  const int rows = frame.view.GetItemCount();
  if (rows > 0) frame.view.GetItemRect(rows - 1, &lastRow, LVIR_BOUNDS);
  WindowPlacement placement;
  frame.GetWindowPlacement(&placement);
  placement.showCommand = SW_SHOWNORMAL;
  CRect normal;
  if (!FitFrameRectangle(window, list, rows, lastRow, &normal)) {
    frame.ShowWindow(SW_SHOWNORMAL);
    return;
  }
  placement.normal = normal;
  frame.SetWindowPlacement(placement);
}
