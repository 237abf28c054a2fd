// The portable part of CFrameWnd: bar layout, the bar state in the
// profile, command routing, the menu's and bars' update handlers and the
// status bar's prompts. The backends load menus and accelerators and
// register window classes.
#include "framework/FrameWnd.h"

#include <string.h>

#include "framework/Dialog.h"
#include "framework/FrameBackend.h"
#include "framework/Menu.h"
#include "framework/WinApp.h"
#include "framework/WindowCodes.h"
#include "platform/Codes.h"
#include "platform/Platform.h"

namespace {

// A menu entry's state as update handlers set it.
class MenuCmdUI : public CCmdUI {
 public:
  MenuCmdUI(unsigned id, CMenu* menu) : CCmdUI(id), menu(menu) {}
  void Enable(bool on) override {
    CCmdUI::Enable(on);
    menu->EnableMenuItem(m_nID, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
  }
  void SetCheck(int state) override {
    CCmdUI::SetCheck(state);
    menu->CheckMenuItem(m_nID,
                        MF_BYCOMMAND | (state ? MF_CHECKED : MF_UNCHECKED));
  }

 private:
  CMenu* menu;
};

// The bar state as stored: a version byte, the bar count, then for each
// bar its id (two bytes, little-endian), visibility, side and row.
const uint8_t barStateVersion = 1;
const int barRecordSize = 5;
const char barStateEntry[] = "Layout";

}  // namespace

CFrameWnd::CFrameWnd() {
  for (int i = 0; i < maxBars; ++i) bars[i] = nullptr;
}

CFrameWnd::~CFrameWnd() {
  if (GetSafeHwnd() != 0) DestroyWindow();
}

bool CFrameWnd::PreCreateWindow(CreateStruct& cs) {
  if (cs.className == nullptr || cs.className[0] == '\0') {
    cs.className = AfxRegisterWndClass(0x0008 /* CS_DBLCLKS */);
    if (cs.className == nullptr) return false;
  }
  cs.exStyle |= WS_EX_CLIENTEDGE;
  return CWnd::PreCreateWindow(cs);
}

bool CFrameWnd::LoadFrame(unsigned resourceId, uint32_t style, CWnd* parent) {
  char title[256];
  AfxLoadString(resourceId, title, sizeof title);
  if (char* newline = strchr(title, '\n')) *newline = '\0';
  menu = FrameBackend::LoadMenu(resourceId);
  accelerators = FrameBackend::LoadAccelerators(resourceId);
  if (!CreateEx(0, nullptr, title, style, FrameBackend::DefaultRect(), parent,
                0)) {
    if (menu != 0) FrameBackend::DestroyMenu(menu);
    menu = 0;
    return false;
  }
  if (menu != 0) FrameBackend::SetMenu(this, menu);
  return true;
}

void CFrameWnd::AddControlBar(CControlBar* bar) {
  for (int i = 0; i < barCount; ++i)
    if (bars[i] == bar) return;
  if (barCount == maxBars) return;
  bars[barCount++] = bar;
  // A bar that says where it belongs is there from the start; the others
  // wait for DockControlBar.
  if (bar->GetBarStyle() & CBRS_ALIGN_BOTTOM) {
    bar->dockSide = CBRS_ALIGN_BOTTOM;
  } else if (bar->GetBarStyle() & CBRS_ALIGN_TOP) {
    bar->dockSide = CBRS_ALIGN_TOP;
  }
  bar->dockRow = 0;
  for (int i = 0; i < barCount - 1; ++i)
    if (bars[i]->dockSide == bar->dockSide && bars[i]->dockRow >= bar->dockRow)
      bar->dockRow = bars[i]->dockRow + 1;
}

void CFrameWnd::RemoveControlBar(CControlBar* bar) {
  for (int i = 0; i < barCount; ++i) {
    if (bars[i] != bar) continue;
    for (int j = i; j + 1 < barCount; ++j) bars[j] = bars[j + 1];
    bars[--barCount] = nullptr;
    return;
  }
}

CControlBar* CFrameWnd::GetControlBar(unsigned id) const {
  for (int i = 0; i < barCount; ++i)
    if (bars[i]->GetDlgCtrlID() == id) return bars[i];
  return nullptr;
}

void CFrameWnd::EnableDocking(uint32_t align) { dockingSides = align; }

void CFrameWnd::DockControlBar(CControlBar* bar) {
  AddControlBar(bar);
  const uint32_t allowed = bar->GetDockingAllowed() & dockingSides;
  const uint32_t side =
      (allowed & CBRS_ALIGN_TOP) || !(allowed & CBRS_ALIGN_BOTTOM)
          ? CBRS_ALIGN_TOP
          : CBRS_ALIGN_BOTTOM;
  bar->dockSide = side;
  bar->dockRow = 0;
  for (int i = 0; i < barCount; ++i)
    if (bars[i] != bar && bars[i]->dockSide == side &&
        bars[i]->dockRow >= bar->dockRow)
      bar->dockRow = bars[i]->dockRow + 1;
  RecalcLayout();
}

void CFrameWnd::ShowControlBar(CControlBar* bar, bool show, bool) {
  if (bar == nullptr) return;
  bar->ShowWindow(show ? SW_SHOW : SW_HIDE);
  RecalcLayout();
}

void CFrameWnd::RecalcLayout() {
  if (GetSafeHwnd() == 0) return;
  CRect client;
  GetClientRect(&client);
  const int width = client.Width();
  int top = client.top;
  int bottom = client.bottom;
  // Rows from the edge inwards; one bar per row.
  for (int row = 0; row < maxBars * 2; ++row) {
    for (int i = 0; i < barCount; ++i) {
      CControlBar* bar = bars[i];
      if (bar->dockRow != row || !bar->IsVisible()) continue;
      const int height = bar->CalcHeight(width);
      if (bar->dockSide == CBRS_ALIGN_BOTTOM) {
        bottom -= height;
        bar->MoveWindow(CRect(0, bottom, width, bottom + height));
      } else if (bar->dockSide == CBRS_ALIGN_TOP) {
        bar->MoveWindow(CRect(0, top, width, top + height));
        top += height;
      }
    }
  }
  if (CWnd* view = GetDlgItem(AFX_IDW_PANE_FIRST))
    view->MoveWindow(CRect(0, top, width, bottom > top ? bottom : top));
}

void CFrameWnd::SaveBarState(const char* profileName) const {
  uint8_t data[2 + maxBars * barRecordSize];
  int size = 0;
  data[size++] = barStateVersion;
  data[size++] = static_cast<uint8_t>(barCount);
  for (int i = 0; i < barCount; ++i) {
    const unsigned id = bars[i]->GetDlgCtrlID();
    data[size++] = static_cast<uint8_t>(id & 0xFF);
    data[size++] = static_cast<uint8_t>(id >> 8);
    data[size++] = bars[i]->IsVisible() ? 1 : 0;
    data[size++] = bars[i]->dockSide == CBRS_ALIGN_BOTTOM ? 1 : 0;
    data[size++] = static_cast<uint8_t>(bars[i]->dockRow);
  }
  if (CWinApp* app = AfxGetApp())
    app->WriteProfileBinary(profileName, barStateEntry, data,
                            static_cast<uint32_t>(size));
}

void CFrameWnd::LoadBarState(const char* profileName) {
  CWinApp* app = AfxGetApp();
  if (app == nullptr) return;
  uint8_t data[2 + maxBars * barRecordSize];
  uint32_t size = sizeof data;
  // A layout of another version, or damaged, is ignored as a whole.
  if (!app->GetProfileBinary(profileName, barStateEntry, data, &size) ||
      size < 2 || data[0] != barStateVersion ||
      size != 2u + data[1] * static_cast<uint32_t>(barRecordSize))
    return;
  for (int i = 0; i < data[1]; ++i) {
    const uint8_t* record = data + 2 + i * barRecordSize;
    CControlBar* bar = GetControlBar(record[0] | (record[1] << 8));
    if (bar == nullptr || record[4] >= maxBars * 2) continue;
    const uint32_t side = record[3] ? CBRS_ALIGN_BOTTOM : CBRS_ALIGN_TOP;
    // Only where the bar may go; a status bar stays at the bottom.
    if (bar->GetDockingAllowed() != 0 && !(bar->GetDockingAllowed() & side))
      continue;
    if (bar->GetDockingAllowed() != 0) bar->dockSide = side;
    bar->dockRow = record[4];
    bar->ShowWindow(record[2] ? SW_SHOW : SW_HIDE);
  }
  RecalcLayout();
}

bool CFrameWnd::OnCmdMsg(unsigned id, int code, CCmdUI* ui) {
  if (CCmdTarget::OnCmdMsg(id, code, ui)) return true;
  CWinApp* app = AfxGetApp();
  return app != nullptr && app->OnCmdMsg(id, code, ui);
}

void CFrameWnd::OnIdleUpdate() {
  for (int i = 0; i < barCount; ++i)
    if (bars[i]->IsVisible()) bars[i]->OnUpdateCmdUI(this);
}

void CFrameWnd::SetMessageText(const char* text) {
  CControlBar* bar = GetControlBar(AFX_IDW_STATUS_BAR);
  if (bar != nullptr) static_cast<CStatusBar*>(bar)->SetPaneText(0, text);
}

void CFrameWnd::SetMessageText(unsigned id) {
  char text[256];
  if (AfxLoadString(id == 0 ? AFX_IDS_IDLEMESSAGE : id, text, sizeof text) == 0)
    text[0] = '\0';
  if (char* newline = strchr(text, '\n')) *newline = '\0';
  SetMessageText(text);
}

int CFrameWnd::OnCreate(CreateStruct*) {
  if (Default() == -1) return -1;
  return 0;
}

intptr_t CFrameWnd::OnSize(uintptr_t, intptr_t) {
  RecalcLayout();
  return Default();
}

void CFrameWnd::OnClose() { DestroyWindow(); }

void CFrameWnd::OnDestroy() {
  CWinApp* app = AfxGetApp();
  if (app != nullptr && app->m_pMainWnd == this) AfxPostQuitMessage(0);
  Default();
}

// Before a popup menu opens: each entry's update handler; an entry that
// has neither an update nor a command handler is disabled.
intptr_t CFrameWnd::OnInitMenuPopup(uintptr_t popup, intptr_t position) {
  // The window menu is the system's.
  if ((position >> 16) & 0xFFFF) return Default();
  CMenu menu;
  menu.Attach(static_cast<MenuHandle>(popup));
  const int count = menu.GetMenuItemCount();
  for (int i = 0; i < count; ++i) {
    const int id = menu.GetMenuItemID(i);
    if (id <= 0) continue;
    MenuCmdUI ui(static_cast<unsigned>(id), &menu);
    if (!OnCmdMsg(ui.m_nID, CN_UPDATE_COMMAND_UI, &ui) &&
        !OnCmdMsg(ui.m_nID, CN_COMMAND_EXISTS, nullptr))
      ui.Enable(false);
  }
  menu.Detach();
  return 0;
}

// The highlighted menu entry's prompt in the status bar; the idle text
// when the menu closes.
intptr_t CFrameWnd::OnMenuSelect(uintptr_t item, intptr_t menuHandle) {
  const unsigned id = static_cast<unsigned>(item & 0xFFFF);
  const unsigned flags = static_cast<unsigned>((item >> 16) & 0xFFFF);
  if (flags == 0xFFFF && menuHandle == 0) {
    SetMessageText(0u);
  } else if (!(flags & (MF_POPUP | MF_SEPARATOR)) && id != 0) {
    char text[256];
    if (AfxLoadString(id, text, sizeof text) > 0) {
      if (char* newline = strchr(text, '\n')) *newline = '\0';
      SetMessageText(text);
    } else {
      SetMessageText("");
    }
  }
  return 0;
}

void CFrameWnd::OnBarCheck(unsigned id) {
  CControlBar* bar = GetControlBar(id);
  if (bar != nullptr) ShowControlBar(bar, !bar->IsVisible(), false);
}

void CFrameWnd::OnUpdateControlBarMenu(CCmdUI* ui) {
  CControlBar* bar = GetControlBar(ui->m_nID);
  if (bar == nullptr) {
    ui->Enable(false);
    return;
  }
  ui->SetCheck(bar->IsVisible() ? 1 : 0);
}

const MessageMap* CFrameWnd::GetMessageMap() const {
  static const MessageMapEntry entries[] = {
      Map::Create(&CFrameWnd::OnCreate),
      Map::Message(WM_SIZE, &CFrameWnd::OnSize),
      Map::Void(WM_CLOSE, &CFrameWnd::OnClose),
      Map::Void(WM_DESTROY, &CFrameWnd::OnDestroy),
      Map::Message(WM_INITMENUPOPUP, &CFrameWnd::OnInitMenuPopup),
      Map::Message(WM_MENUSELECT, &CFrameWnd::OnMenuSelect),
      Map::End()};
  static const MessageMap map = {CWnd::GetMessageMap(), entries};
  return &map;
}

const CommandMap* CFrameWnd::GetCommandMap() const {
  static const CommandMapEntry entries[] = {
      Cmd::Range(ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR, &CFrameWnd::OnBarCheck),
      Cmd::UpdateRange(ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR,
                       &CFrameWnd::OnUpdateControlBarMenu),
      Cmd::End()};
  static const CommandMap map = {CWnd::GetCommandMap(), entries};
  return &map;
}
