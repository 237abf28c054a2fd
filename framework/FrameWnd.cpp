// The portable part of CFrameWnd: bar layout, the bar state in the
// profile, command routing, the menu's and bars' update handlers and the
// status bar's prompts. The backends load menus and accelerators and
// register window classes.
#include "framework/FrameWnd.h"

#include <string.h>

#include "framework/BarBackend.h"
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
// bar its id (two bytes, little-endian), visibility, side (0 top, 1
// bottom, 2 left, 3 right, 4 floating), row, the floating frame's left
// and top on the screen (two bytes each, signed) and the side it last
// docked on.
const uint8_t barStateVersion = 2;
const int barRecordSize = 10;
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
  bar->dockSite = this;
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
    bar->dockSite = nullptr;
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
  const uint32_t allowed = bar->GetDockingAllowed() & dockingSides;
  uint32_t side = CBRS_ALIGN_TOP;
  if (!(allowed & CBRS_ALIGN_TOP)) {
    if (allowed & CBRS_ALIGN_BOTTOM)
      side = CBRS_ALIGN_BOTTOM;
    else if (allowed & CBRS_ALIGN_LEFT)
      side = CBRS_ALIGN_LEFT;
    else if (allowed & CBRS_ALIGN_RIGHT)
      side = CBRS_ALIGN_RIGHT;
  }
  DockControlBar(bar, side, -1);
}

namespace {

bool IsColumnSide(uint32_t side) {
  return (side & (CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT)) != 0;
}

}  // namespace

// Back from its floating frame into this one; the bar keeps its
// visibility and the floating frame goes.
void CFrameWnd::Unfloat(CControlBar* bar) {
  if (!bar->floating) return;
  const bool visible = bar->IsVisible();
  bar->floating = false;
  bar->SetParent(this);
  bar->ShowWindow(visible ? SW_SHOW : SW_HIDE);
  CMiniDockFrameWnd* frame = bar->GetFloatingFrame();
  if (frame->GetSafeHwnd() != 0) frame->DestroyWindow();
}

void CFrameWnd::DockControlBar(CControlBar* bar, uint32_t side, int row) {
  AddControlBar(bar);
  if (bar->dockSite != this) return;
  Unfloat(bar);
  // The others on that side in their order, with a gap at `row`.
  CControlBar* onSide[maxBars];
  int count = 0;
  for (int r = 0; r < maxBars * 2; ++r)
    for (int i = 0; i < barCount; ++i)
      if (bars[i] != bar && bars[i]->dockSide == side && bars[i]->dockRow == r)
        onSide[count++] = bars[i];
  const int position = row < 0 || row > count ? count : row;
  for (int i = 0; i < count; ++i) onSide[i]->dockRow = i < position ? i : i + 1;
  const uint32_t oldSide = bar->dockSide;
  bar->dockSide = side;
  bar->dockRow = position;
  bar->SetVertical(IsColumnSide(side), 0);
  if (oldSide != 0 && oldSide != side) CompactRows(oldSide);
  BarBackend::FrameChanged(bar);
  RecalcLayout();
}

void CFrameWnd::FloatControlBar(CControlBar* bar, const CPoint& screen) {
  AddControlBar(bar);
  if (bar->dockSite != this) return;
  const bool visible = bar->IsVisible();
  const uint32_t oldSide = bar->dockSide;
  if (!bar->floating && oldSide != 0) bar->lastDockSide = oldSide;
  bar->SetVertical(false, 0);
  const int length = bar->CalcLength();
  const int height = bar->CalcHeight(length);
  const CRect size = BarBackend::WindowRectForClient(
      CRect(0, 0, length, height), CMiniDockFrameWnd::frameStyle,
      CMiniDockFrameWnd::frameExStyle);
  // Within the work area, so that a layout saved on a larger screen
  // leaves the bar within reach.
  const CRect work = BarBackend::WorkArea();
  int left = screen.x, top = screen.y;
  if (left + size.Width() > work.right) left = work.right - size.Width();
  if (top + size.Height() > work.bottom) top = work.bottom - size.Height();
  if (left < work.left) left = work.left;
  if (top < work.top) top = work.top;
  CMiniDockFrameWnd* frame = bar->GetFloatingFrame();
  if (frame->GetSafeHwnd() == 0 &&
      !frame->Create(this, bar, CPoint(left, top))) {
    // No floating frame: the bar stays where it was.
    bar->SetVertical(IsColumnSide(oldSide), 0);
    return;
  }
  bar->floating = true;
  bar->dockSide = 0;
  bar->floatPos = CPoint(left, top);
  frame->MoveWindow(CRect(left, top, left + size.Width(), top + size.Height()));
  bar->SetParent(frame);
  BarBackend::FrameChanged(bar);
  bar->MoveWindow(CRect(0, 0, length, height));
  frame->ShowWindow(visible ? SW_SHOWNA : SW_HIDE);
  if (oldSide != 0) CompactRows(oldSide);
  RecalcLayout();
}

void CFrameWnd::CompactRows(uint32_t side) {
  int next = 0;
  CControlBar* ordered[maxBars];
  for (int r = 0; r < 256; ++r)
    for (int i = 0; i < barCount; ++i)
      if (bars[i]->dockSide == side && bars[i]->dockRow == r)
        ordered[next++] = bars[i];
  for (int i = 0; i < next; ++i) ordered[i]->dockRow = i;
}

void CFrameWnd::ShowControlBar(CControlBar* bar, bool show, bool) {
  if (bar == nullptr) return;
  bar->ShowWindow(show ? SW_SHOW : SW_HIDE);
  CMiniDockFrameWnd* frame = bar->GetFloatingFrame();
  if (bar->floating && frame->GetSafeHwnd() != 0)
    frame->ShowWindow(show ? SW_SHOWNA : SW_HIDE);
  RecalcLayout();
}

// The places of the docked, visible bars (rects[i] for bars[i]; empty for
// the others) and the view's: rows along the top and bottom first, across
// the whole width, then columns along the left and right between them.
void CFrameWnd::Arrange(const CControlBar* moving, CRect* rects,
                        CRect* view) const {
  CRect client;
  GetClientRect(&client);
  int top = client.top, bottom = client.bottom;
  int left = client.left, right = client.right;
  for (int i = 0; i < barCount; ++i) rects[i] = CRect();
  for (int pass = 0; pass < 2; ++pass) {
    for (int row = 0; row < 256; ++row) {
      for (int i = 0; i < barCount; ++i) {
        CControlBar* bar = bars[i];
        if (bar == moving || bar->dockRow != row || bar->floating ||
            !bar->IsVisible() || IsColumnSide(bar->dockSide) != (pass == 1))
          continue;
        if (bar->dockSide == CBRS_ALIGN_TOP) {
          const int height = bar->CalcHeight(client.Width());
          rects[i] = CRect(client.left, top, client.right, top + height);
          top += height;
        } else if (bar->dockSide == CBRS_ALIGN_BOTTOM) {
          const int height = bar->CalcHeight(client.Width());
          rects[i] = CRect(client.left, bottom - height, client.right, bottom);
          bottom -= height;
        } else if (bar->dockSide == CBRS_ALIGN_LEFT) {
          const int width = bar->CalcWidth(bottom > top ? bottom - top : 0);
          rects[i] =
              CRect(left, top, left + width, bottom > top ? bottom : top);
          left += width;
        } else if (bar->dockSide == CBRS_ALIGN_RIGHT) {
          const int width = bar->CalcWidth(bottom > top ? bottom - top : 0);
          rects[i] =
              CRect(right - width, top, right, bottom > top ? bottom : top);
          right -= width;
        }
      }
    }
  }
  *view = CRect(left, top, right > left ? right : left,
                bottom > top ? bottom : top);
}

void CFrameWnd::RecalcLayout() {
  if (GetSafeHwnd() == 0) return;
  CRect rects[maxBars];
  CRect view;
  Arrange(nullptr, rects, &view);
  for (int i = 0; i < barCount; ++i) {
    if (rects[i].Width() == 0 && rects[i].Height() == 0) continue;
    if (IsColumnSide(bars[i]->dockSide))
      bars[i]->SetVertical(true, rects[i].Height());
    bars[i]->MoveWindow(rects[i]);
  }
  if (CWnd* pane = GetDlgItem(AFX_IDW_PANE_FIRST)) pane->MoveWindow(view);
}

namespace {

// How near to an edge's bars a drop docks there.
const int dockZone = 12;

}  // namespace

uint32_t CFrameWnd::DockSideAt(const CPoint& screen, uint32_t allowed,
                               const CControlBar* moving, int* row) const {
  *row = 0;
  if (GetSafeHwnd() == 0) return 0;
  CPoint p = screen;
  ScreenToClient(&p);
  CRect client;
  GetClientRect(&client);
  CRect rects[maxBars];
  CRect view;
  Arrange(moving, rects, &view);
  // The rows already there whose middle lies between the edge and the
  // drop: the drop goes after them.
  auto rowsBefore = [&](uint32_t side) {
    int before = 0;
    for (int i = 0; i < barCount; ++i) {
      const CRect& r = rects[i];
      if (bars[i]->dockSide != side || (r.Width() == 0 && r.Height() == 0))
        continue;
      if ((side == CBRS_ALIGN_TOP && (r.top + r.bottom) / 2 < p.y) ||
          (side == CBRS_ALIGN_BOTTOM && (r.top + r.bottom) / 2 > p.y) ||
          (side == CBRS_ALIGN_LEFT && (r.left + r.right) / 2 < p.x) ||
          (side == CBRS_ALIGN_RIGHT && (r.left + r.right) / 2 > p.x))
        ++before;
    }
    return before;
  };
  const bool across =
      p.x >= client.left - dockZone && p.x < client.right + dockZone;
  const bool between = p.y >= view.top && p.y < view.bottom;
  uint32_t side = 0;
  if ((allowed & CBRS_ALIGN_TOP) && across && p.y >= client.top - dockZone &&
      p.y < view.top + dockZone) {
    side = CBRS_ALIGN_TOP;
  } else if ((allowed & CBRS_ALIGN_BOTTOM) && across &&
             p.y >= view.bottom - dockZone && p.y < client.bottom + dockZone) {
    side = CBRS_ALIGN_BOTTOM;
  } else if ((allowed & CBRS_ALIGN_LEFT) && between &&
             p.x >= client.left - dockZone && p.x < view.left + dockZone) {
    side = CBRS_ALIGN_LEFT;
  } else if ((allowed & CBRS_ALIGN_RIGHT) && between &&
             p.x >= view.right - dockZone && p.x < client.right + dockZone) {
    side = CBRS_ALIGN_RIGHT;
  }
  if (side != 0) *row = rowsBefore(side);
  return side;
}

namespace {

// The sides as stored.
uint8_t SideCode(const CControlBar* bar) {
  if (bar->floating) return 4;
  switch (bar->dockSide) {
    case CBRS_ALIGN_BOTTOM:
      return 1;
    case CBRS_ALIGN_LEFT:
      return 2;
    case CBRS_ALIGN_RIGHT:
      return 3;
    default:
      return 0;
  }
}

uint32_t SideOfCode(uint8_t code) {
  static const uint32_t sides[] = {CBRS_ALIGN_TOP, CBRS_ALIGN_BOTTOM,
                                   CBRS_ALIGN_LEFT, CBRS_ALIGN_RIGHT, 0};
  return code < 5 ? sides[code] : CBRS_ALIGN_TOP;
}

void PutWord(uint8_t* data, int value) {
  data[0] = static_cast<uint8_t>(value & 0xFF);
  data[1] = static_cast<uint8_t>((value >> 8) & 0xFF);
}

int GetSignedWord(const uint8_t* data) {
  return static_cast<int16_t>(static_cast<uint16_t>(data[0] | (data[1] << 8)));
}

}  // namespace

void CFrameWnd::SaveBarState(const char* profileName) const {
  uint8_t data[2 + maxBars * barRecordSize];
  int size = 0;
  data[size++] = barStateVersion;
  data[size++] = static_cast<uint8_t>(barCount);
  for (int i = 0; i < barCount; ++i) {
    CControlBar* bar = bars[i];
    CPoint position = bar->floatPos;
    CMiniDockFrameWnd* frame = bar->GetFloatingFrame();
    if (bar->floating && frame->GetSafeHwnd() != 0) {
      CRect window;
      frame->GetWindowRect(&window);
      position = CPoint(window.left, window.top);
    }
    uint8_t* record = data + size;
    PutWord(record, static_cast<int>(bar->GetDlgCtrlID()));
    record[2] = bar->IsVisible() ? 1 : 0;
    record[3] = SideCode(bar);
    record[4] = static_cast<uint8_t>(bar->dockRow);
    PutWord(record + 5, position.x);
    PutWord(record + 7, position.y);
    record[9] = bar->lastDockSide == CBRS_ALIGN_BOTTOM  ? 1
                : bar->lastDockSide == CBRS_ALIGN_LEFT  ? 2
                : bar->lastDockSide == CBRS_ALIGN_RIGHT ? 3
                                                        : 0;
    size += barRecordSize;
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
  if (!app->GetProfileBinary(profileName, barStateEntry, data, &size) ||
      size < 2)
    return;
  // The first layouts had no left, right or floating places: a record of
  // five bytes, side 0 (top) or 1 (bottom).
  const int recordSize = data[0] == 1                 ? 5
                         : data[0] == barStateVersion ? barRecordSize
                                                      : 0;
  // A layout of another version, or damaged, is ignored as a whole.
  if (recordSize == 0 ||
      size != 2u + data[1] * static_cast<uint32_t>(recordSize))
    return;
  bool changed[5] = {false, false, false, false, false};
  for (int i = 0; i < data[1]; ++i) {
    const uint8_t* record = data + 2 + i * recordSize;
    CControlBar* bar = GetControlBar(record[0] | (record[1] << 8));
    if (bar == nullptr || record[3] > (recordSize == 5 ? 1 : 4) ||
        record[4] >= maxBars * 2)
      continue;
    const uint32_t side = SideOfCode(record[3]);
    const uint32_t allowed = bar->GetDockingAllowed() & dockingSides;
    // Only where the bar may go; a status bar stays at the bottom.
    if (bar->GetDockingAllowed() != 0 && side != 0 && !(allowed & side))
      continue;
    if (side == 0 && allowed == 0) continue;
    bar->ShowWindow(record[2] ? SW_SHOW : SW_HIDE);
    if (recordSize == barRecordSize && record[9] <= 3 &&
        (allowed & SideOfCode(record[9])))
      bar->lastDockSide = SideOfCode(record[9]);
    if (side == 0) {
      FloatControlBar(
          bar, CPoint(GetSignedWord(record + 5), GetSignedWord(record + 7)));
      continue;
    }
    Unfloat(bar);
    if (bar->GetDockingAllowed() != 0) {
      if (bar->dockSide != 0) changed[SideCode(bar)] = true;
      bar->dockSide = side;
      bar->SetVertical(IsColumnSide(side), 0);
      BarBackend::FrameChanged(bar);
    }
    // Saved rows may have gaps or repeats; they are put in order below,
    // the loaded ones before those they share a number with.
    bar->dockRow = record[4];
    changed[SideCode(bar)] = true;
  }
  const uint32_t sides[] = {CBRS_ALIGN_TOP, CBRS_ALIGN_BOTTOM, CBRS_ALIGN_LEFT,
                            CBRS_ALIGN_RIGHT};
  for (int i = 0; i < 4; ++i)
    if (changed[i]) CompactRows(sides[i]);
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
