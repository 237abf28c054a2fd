// Frames, control bars and the application's loop over the headless
// world: toolbars keep their buttons in the window's tool model, status
// bars their pane texts; the menu bar and accelerators come from the
// resources the tests load.
#include <string.h>

#include <algorithm>

#include "framework/BarBackend.h"
#include "framework/ControlBars.h"
#include "framework/Dialog.h"
#include "framework/FrameBackend.h"
#include "framework/FrameWnd.h"
#include "framework/WinApp.h"
#include "framework/headless/Dialogs.h"
#include "framework/headless/Windows.h"
#include "platform/Codes.h"

using headless::ToolModel;
using headless::Windows;

namespace {

ToolModel* ToolOf(const CWnd* bar) {
  headless::WindowRecord* record = Windows::Get().Find(bar->GetSafeHwnd());
  return record ? record->tool.get() : nullptr;
}

ToolModel::Button* ButtonOf(const CWnd* bar, unsigned id) {
  ToolModel* tool = ToolOf(bar);
  if (tool == nullptr || id == 0) return nullptr;
  for (ToolModel::Button& b : tool->buttons)
    if (b.id == id) return &b;
  return nullptr;
}

// Bars created in a frame join its layout.
void JoinFrame(CControlBar* bar, CWnd* parent) {
  if (parent != nullptr && parent->IsFrameWnd())
    static_cast<CFrameWnd*>(parent)->AddControlBar(bar);
}

void LeaveFrame(CControlBar* bar) {
  if (CFrameWnd* frame = bar->GetDockSite()) frame->RemoveControlBar(bar);
}

}  // namespace

// The headless resources have no menu bars or accelerator tables: a frame
// has none.
MenuHandle FrameBackend::LoadMenu(unsigned) { return 0; }
uintptr_t FrameBackend::LoadAccelerators(unsigned) { return 0; }
void FrameBackend::DestroyMenu(MenuHandle) {}

bool FrameBackend::SetMenu(CWnd* frame, MenuHandle menu) {
  headless::WindowRecord* record = Windows::Get().Find(frame->GetSafeHwnd());
  if (record == nullptr) return false;
  record->menu = menu;
  return true;
}

CRect FrameBackend::DefaultRect() { return CRect(32, 24, 672, 504); }

const char* AfxRegisterWndClass(unsigned, uintptr_t, uintptr_t, uintptr_t) {
  return "Afx:Frame";
}

CToolBar::CToolBar() {
  for (ToolButton& b : buttons) b = {0, -1};
}

CToolBar::~CToolBar() {
  if (GetSafeHwnd() != 0) {
    LeaveFrame(this);
    DestroyWindow();
  }
}

bool CToolBar::CreateEx(CWnd* parent, uint32_t, uint32_t style, const CRect&,
                        unsigned id) {
  barStyle = style & (CBRS_ALIGN_ANY | CBRS_TOOLTIPS | CBRS_FLYBY |
                      CBRS_GRIPPER | CBRS_SIZE_DYNAMIC);
  const uint32_t windowStyle = (style & (WS_VISIBLE | WS_CHILD)) | WS_CHILD;
  if (!CWnd::CreateEx(0, "ToolbarWindow32", "", windowStyle,
                      CRect(0, 0, 100, 26), parent, id))
    return false;
  JoinFrame(this, parent);
  return true;
}

bool CToolBar::LoadToolBar(unsigned resourceId) {
  // The program's resource script first, then toolbars a test set up.
  headless::ToolbarResource fromScript;
  const headless::ToolbarResource* resource =
      headless::FindToolbar(static_cast<int>(resourceId));
  const auto& scripted = headless::GetResources().toolbars;
  auto found = scripted.find(static_cast<int>(resourceId));
  if (found != scripted.end()) {
    fromScript.width = found->second.width;
    fromScript.height = found->second.height;
    fromScript.ids = found->second.ids;
    resource = &fromScript;
  }
  ToolModel* tool = ToolOf(this);
  if (resource == nullptr || tool == nullptr ||
      resource->ids.size() > static_cast<size_t>(maxButtons))
    return false;
  buttonCount = 0;
  tool->buttons.clear();
  int image = 0;
  for (unsigned id : resource->ids) {
    buttons[buttonCount++] = {id, id == ID_SEPARATOR ? -1 : image++};
    ToolModel::Button b;
    b.id = id;
    tool->buttons.push_back(b);
  }
  buttonWidth = tool->width = resource->width;
  buttonHeight = tool->height = resource->height;
  return true;
}

// Buttons are 7 pixels wider and taller than their images, separators 8
// pixels wide, as the common control draws them.
void CToolBar::GetItemRect(int index, CRect* rect) const {
  int x = 0;
  for (int i = 0; i < buttonCount && i < index; ++i)
    x += buttons[i].id == ID_SEPARATOR ? 8 : buttonWidth + 7;
  const int width =
      index >= 0 && index < buttonCount && buttons[index].id == ID_SEPARATOR
          ? 8
          : buttonWidth + 7;
  *rect = CRect(x, 2, x + width, 2 + buttonHeight + 7);
}

bool CToolBar::IsButtonEnabled(unsigned id) const {
  const ToolModel::Button* b = ButtonOf(this, id);
  return b != nullptr && b->enabled;
}

bool CToolBar::EnableButton(unsigned id, bool enable) {
  ToolModel::Button* b = ButtonOf(this, id);
  if (b == nullptr) return false;
  b->enabled = enable;
  return true;
}

bool CToolBar::CheckButton(unsigned id, bool check) {
  ToolModel::Button* b = ButtonOf(this, id);
  if (b == nullptr) return false;
  b->checked = check;
  return true;
}

bool CToolBar::IsButtonChecked(unsigned id) const {
  const ToolModel::Button* b = ButtonOf(this, id);
  return b != nullptr && b->checked;
}

int CToolBar::CalcHeight(int) const { return buttonHeight + 7 + 4; }

int CToolBar::CalcWidth(int height) const {
  int perColumn = 0;
  return ColumnsFor(height, &perColumn) * (buttonWidth + 7) + 4;
}

int CToolBar::CalcLength() const {
  CRect last;
  GetItemRect(buttonCount - 1, &last);
  return (buttonCount > 0 ? last.right : 0) + 4;
}

void CToolBar::SetVertical(bool vertical, int height) {
  int perColumn = 0;
  layoutColumns = vertical ? ColumnsFor(height, &perColumn) : 0;
  if (ToolModel* tool = ToolOf(this)) {
    tool->vertical = vertical;
    tool->columns = layoutColumns;
  }
}

void BarBackend::InvertTrackRect(const CRect& rect) {
  Windows::Get().invertedRects.push_back(rect);
}

void BarBackend::FrameChanged(CWnd*) {}
void BarBackend::ReserveNonClient(intptr_t, int, int) {}
void BarBackend::DrawGripper(CWnd*, const CRect&, bool) {}

// A tool window's frame and caption are the ones every headless window
// with a caption has.
CRect BarBackend::WindowRectForClient(const CRect& client, uint32_t style,
                                      uint32_t) {
  CRect rect = client;
  if ((style & WS_CAPTION) == WS_CAPTION) {
    rect.left -= headless::kFrameBorder;
    rect.right += headless::kFrameBorder;
    rect.top -= headless::kFrameBorder + headless::kCaptionHeight;
    rect.bottom += headless::kFrameBorder;
  }
  return rect;
}

int BarBackend::DragThreshold() { return 4; }

CRect BarBackend::WorkArea() {
  return CRect(0, 0, headless::kScreenWidth, headless::kScreenHeight);
}

// Mouse messages carry x and y as signed 16-bit halves.
CPoint BarBackend::PointOf(intptr_t lParam) {
  return CPoint(static_cast<int16_t>(lParam & 0xFFFF),
                static_cast<int16_t>((lParam >> 16) & 0xFFFF));
}

CStatusBar::CStatusBar() {}

CStatusBar::~CStatusBar() {
  if (GetSafeHwnd() != 0) {
    LeaveFrame(this);
    DestroyWindow();
  }
}

bool CStatusBar::Create(CWnd* parent, uint32_t style, unsigned id) {
  barStyle = style & CBRS_ALIGN_ANY;
  if (!CWnd::CreateEx(0, "msctls_statusbar32", "",
                      (style & WS_VISIBLE) | WS_CHILD, CRect(0, 0, 100, 20),
                      parent, id))
    return false;
  JoinFrame(this, parent);
  return true;
}

bool CStatusBar::SetIndicators(const unsigned* ids, int count) {
  headless::WindowRecord* record = Windows::Get().Find(GetSafeHwnd());
  if (record == nullptr || count <= 0) return false;
  record->panes.assign(static_cast<size_t>(count), std::string());
  for (int i = 0; i < count; ++i) {
    if (ids[i] == ID_SEPARATOR) continue;
    char text[128];
    if (AfxLoadString(ids[i], text, sizeof text) == 0) return false;
    record->panes[i] = text;
  }
  paneCount = count;
  return true;
}

bool CStatusBar::SetPaneText(int index, const char* text) {
  headless::WindowRecord* record = Windows::Get().Find(GetSafeHwnd());
  if (record == nullptr || index < 0 ||
      index >= static_cast<int>(record->panes.size()))
    return false;
  record->panes[index] = text ? text : "";
  return true;
}

int CStatusBar::GetPaneText(int index, char* buffer, int size) const {
  if (buffer == nullptr || size <= 0) return 0;
  buffer[0] = '\0';
  headless::WindowRecord* record = Windows::Get().Find(GetSafeHwnd());
  if (record == nullptr || index < 0 ||
      index >= static_cast<int>(record->panes.size()))
    return 0;
  const std::string& text = record->panes[index];
  const size_t n = std::min(text.size(), static_cast<size_t>(size - 1));
  memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
  return static_cast<int>(n);
}

int CStatusBar::CalcHeight(int) const { return 20; }

// Headless there is no user to wait for: the loop delivers what is
// posted, with the idle update after each round, until WM_QUIT.
int CWinApp::Run() {
  Windows& world = Windows::Get();
  while (!world.quitPosted) {
    const int delivered = world.PumpMessages();
    if (m_pMainWnd != nullptr && m_pMainWnd->IsFrameWnd())
      static_cast<CFrameWnd*>(m_pMainWnd)->OnIdleUpdate();
    if (delivered == 0 && !world.quitPosted) {
      world.Fail("the message loop would wait for input that never comes");
      break;
    }
  }
  const int code = ExitInstance();
  return world.quitPosted ? world.exitCode : code;
}

void AfxPostQuitMessage(int exitCode) {
  Windows& world = Windows::Get();
  world.quitPosted = true;
  world.exitCode = exitCode;
}
