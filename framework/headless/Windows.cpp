// CWnd over the headless world of windows.
#include "framework/headless/Windows.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <map>

#include "framework/System.h"
#include "framework/WindowCodes.h"
#include "framework/WndBackend.h"
#include "platform/Codes.h"

namespace headless {

namespace {

// A point packed in lParam as two signed 16-bit words.
intptr_t PackPoint(CPoint p) {
  return static_cast<intptr_t>(
      (static_cast<uint32_t>(static_cast<uint16_t>(p.y)) << 16) |
      static_cast<uint16_t>(p.x));
}

CPoint UnpackPoint(intptr_t lParam) {
  return CPoint(static_cast<int16_t>(lParam & 0xFFFF),
                static_cast<int16_t>((lParam >> 16) & 0xFFFF));
}

int TotalWidth(const ListModel& list) {
  int width = 0;
  for (const ListColumn& c : list.columns) width += c.width;
  return width;
}

}  // namespace

// The client area of a window in its own window coordinates: inside the
// frame, caption and menu bar of a top-level window that has them.
CRect ClientArea(const WindowRecord& record) {
  CRect area(0, 0, record.rect.Width(), record.rect.Height());
  if (record.parent == 0 && (record.style & WS_CAPTION) == WS_CAPTION) {
    area.left += kFrameBorder;
    area.right -= kFrameBorder;
    area.top +=
        kFrameBorder + kCaptionHeight + (record.menu != 0 ? kMenuBarHeight : 0);
    area.bottom -= kFrameBorder;
    if (area.right < area.left) area.right = area.left;
    if (area.bottom < area.top) area.bottom = area.top;
  }
  return area;
}

namespace {
std::map<int, ToolbarResource>& Toolbars() {
  static std::map<int, ToolbarResource> toolbars;
  return toolbars;
}
}  // namespace

namespace {
std::string& Folder() {
  static std::string folder;
  return folder;
}
std::map<uintptr_t, DcColors>& DeviceContexts() {
  static std::map<uintptr_t, DcColors> contexts;
  return contexts;
}
}  // namespace

void SetResourceFolder(const std::string& folder) { Folder() = folder; }
const std::string& ResourceFolder() { return Folder(); }
DcColors& ColorsOf(uintptr_t dc) { return DeviceContexts()[dc]; }

void SetToolbar(int id, const ToolbarResource& toolbar) {
  Toolbars()[id] = toolbar;
}

const ToolbarResource* FindToolbar(int id) {
  auto found = Toolbars().find(id);
  return found == Toolbars().end() ? nullptr : &found->second;
}

Windows& Windows::Get() {
  static Windows world;
  return world;
}

void Windows::Reset() {
  while (!windows.empty()) {
    // Top-level windows first; Destroy takes the children with them.
    WindowHandle top = windows.front()->handle;
    for (auto& w : windows)
      if (w->parent == 0) {
        top = w->handle;
        break;
      }
    Destroy(top);
  }
  queue.clear();
  capture = 0;
  focus = 0;
  cursorCount = 0;
  cursorPos = CPoint();
  cursorCalls.clear();
  quitPosted = false;
  exitCode = 0;
  foreground = 0;
  debugOutput.clear();
  commonControlsInitialised = 0;
  failNextListCreate = false;
  for (ImageListRecord* list : imageLists) delete list;
  imageLists.clear();
  dragList = 0;
  dragCalls.clear();
  invertedRects.clear();
  menuChoices.clear();
  shownMenus.clear();
  onFailure = nullptr;
}

void Windows::Fail(const std::string& message) {
  if (onFailure) {
    onFailure(message);
    return;
  }
  fprintf(stderr, "headless windows: %s\n", message.c_str());
  abort();
}

int Windows::NextMenuChoice() {
  if (menuChoices.empty()) {
    Fail("a popup menu was shown that no test expected");
    return 0;
  }
  const int id = menuChoices.front();
  menuChoices.pop_front();
  return id;
}

WindowRecord* Windows::Find(WindowHandle window) {
  if (window == 0) return nullptr;
  for (auto& w : windows)
    if (w->handle == window) return w.get();
  return nullptr;
}

WindowRecord* Windows::FindChild(WindowHandle parent, unsigned id) {
  for (auto& w : windows)
    if (w->parent == parent && parent != 0 && w->id == id) return w.get();
  return nullptr;
}

ListModel* Windows::List(WindowHandle window) {
  WindowRecord* record = Find(window);
  return record ? record->list.get() : nullptr;
}

WindowHandle Windows::Create(const CreateStruct& cs, CWnd* object) {
  if (cs.parent != 0 && Find(cs.parent) == nullptr) return 0;
  auto record = std::make_unique<WindowRecord>();
  record->handle = nextHandle;
  nextHandle += 4;
  record->object = object;
  record->parent = cs.parent;
  // A popup window made with a parent is owned by it, on the screen.
  if (cs.parent != 0 && !(cs.style & WS_CHILD) && (cs.style & WS_POPUP)) {
    record->owner = cs.parent;
    record->parent = 0;
  }
  record->id = cs.id;
  record->className = cs.className ? cs.className : "";
  record->title = cs.windowName ? cs.windowName : "";
  record->style = cs.style;
  record->exStyle = cs.exStyle;
  record->rect = CRect(cs.x, cs.y, cs.x + cs.cx, cs.y + cs.cy);
  record->visible = (cs.style & WS_VISIBLE) != 0;
  if (record->className == WC_LISTVIEWA)
    record->list = std::make_unique<ListModel>();
  if (record->className == "ToolbarWindow32")
    record->tool = std::make_unique<ToolModel>();
  // A maximized top-level window covers the work area with its frame
  // outside it, as on Windows.
  if (cs.parent == 0 && (cs.style & WS_MAXIMIZE)) {
    record->normal = record->rect;
    record->rect =
        CRect(-kFrameBorder, -kFrameBorder, kScreenWidth + kFrameBorder,
              kScreenHeight + kFrameBorder);
  } else {
    record->normal = record->rect;
  }
  const WindowHandle handle = record->handle;
  windows.push_back(std::move(record));
  return handle;
}

void Windows::Destroy(WindowHandle window) {
  WindowRecord* record = Find(window);
  if (record == nullptr) return;
  // Owned popups go first, as on Windows.
  for (;;) {
    WindowHandle owned = 0;
    for (auto& w : windows)
      if (w->owner == window) {
        owned = w->handle;
        break;
      }
    if (owned == 0) break;
    Destroy(owned);
  }
  Send(window, WM_DESTROY, 0, 0);
  // The children go after the parent's WM_DESTROY and before its
  // WM_NCDESTROY, as on Windows.
  for (;;) {
    WindowHandle child = 0;
    for (auto& w : windows)
      if (w->parent == window) {
        child = w->handle;
        break;
      }
    if (child == 0) break;
    Destroy(child);
  }
  if (capture == window) {
    capture = 0;
    Send(window, WM_CAPTURECHANGED, 0, 0);
  }
  if (focus == window) focus = 0;
  Send(window, WM_NCDESTROY, 0, 0);
  record = Find(window);
  if (record && record->object) WindowBackend::Handle(record->object) = 0;
  windows.erase(
      std::remove_if(windows.begin(), windows.end(),
                     [window](const std::unique_ptr<WindowRecord>& w) {
                       return w->handle == window;
                     }),
      windows.end());
  // Messages for a window that is gone are never delivered.
  queue.erase(
      std::remove_if(queue.begin(), queue.end(),
                     [window](const Posted& p) { return p.window == window; }),
      queue.end());
}

void Windows::Post(WindowHandle window, unsigned message, uintptr_t wParam,
                   intptr_t lParam) {
  queue.push_back({window, message, wParam, lParam});
}

int Windows::PumpMessages() {
  int delivered = 0;
  while (!queue.empty()) {
    Posted p = queue.front();
    queue.pop_front();
    if (Find(p.window) == nullptr) continue;
    Send(p.window, p.message, p.wParam, p.lParam);
    ++delivered;
  }
  return delivered;
}

intptr_t Windows::Send(WindowHandle window, unsigned message, uintptr_t wParam,
                       intptr_t lParam) {
  WindowRecord* record = Find(window);
  if (record == nullptr) return 0;
  if (record->object)
    return record->object->WindowProc(message, wParam, lParam);
  return DefaultProcedure(window, message, wParam, lParam);
}

CPoint Windows::ClientOrigin(WindowHandle window) const {
  CPoint origin;
  for (const WindowRecord* record = const_cast<Windows*>(this)->Find(window);
       record != nullptr;
       record = const_cast<Windows*>(this)->Find(record->parent)) {
    origin.x += record->rect.left;
    origin.y += record->rect.top;
  }
  return origin;
}

intptr_t Windows::NotifyParent(WindowHandle window, NotifyHeader* header) {
  WindowRecord* record = Find(window);
  if (record == nullptr) return 0;
  header->from = window;
  header->idFrom = record->id;
  return Send(record->parent, WM_NOTIFY, record->id,
              reinterpret_cast<intptr_t>(header));
}

intptr_t Windows::NotifyParent(WindowHandle list, NmListView* nm) {
  return NotifyParent(list, &nm->header);
}

intptr_t Windows::NotifyParent(WindowHandle list, NmListKeyDown* nm) {
  return NotifyParent(list, &nm->header);
}

void Windows::SetRowState(WindowHandle window, int row, unsigned state,
                          unsigned mask) {
  ListModel* list = List(window);
  if (list == nullptr || row < 0 || row >= static_cast<int>(list->rows.size()))
    return;
  // One row has the focus: focusing a row takes it from the other.
  if ((mask & LVIS_FOCUSED) && (state & LVIS_FOCUSED)) {
    for (int r = 0; r < static_cast<int>(list->rows.size()); ++r)
      if (r != row && (list->rows[r].state & LVIS_FOCUSED))
        SetRowState(window, r, 0, LVIS_FOCUSED);
  }
  // A handler of the focus change may have deleted rows.
  if (row >= static_cast<int>(list->rows.size())) return;
  ListRow& r = list->rows[row];
  const unsigned before = r.state;
  const unsigned after = (before & ~mask) | (state & mask);
  if (after == before) return;
  r.state = after;
  NmListView nm;
  nm.header.code = LVN_ITEMCHANGED;
  nm.item = row;
  nm.newState = after;
  nm.oldState = before;
  nm.changed = 8;  // LVIF_STATE
  nm.lParam = r.data;
  NotifyParent(window, &nm);
}

// The list view's own handling of the messages the tests' users send:
// selection by the mouse as in report view with full-row select.
intptr_t Windows::DefaultProcedure(WindowHandle window, unsigned message,
                                   uintptr_t wParam, intptr_t lParam) {
  WindowRecord* record = Find(window);
  if (record == nullptr) return 0;
  record->defaulted.push_back({message, wParam});
  switch (message) {
    case WM_NCCREATE:
      return 1;
    case WM_CREATE:
      if (record->list && failNextListCreate) {
        failNextListCreate = false;
        return -1;
      }
      return 0;
    case WM_LBUTTONUP: {
      ToolModel* tool = record->tool.get();
      if (tool == nullptr || tool->pressed < 0) return 0;
      const unsigned id = tool->buttons[tool->pressed].id;
      tool->pressed = -1;
      if (capture == window) {
        capture = 0;
        Send(window, WM_CAPTURECHANGED, 0, 0);
      }
      NmToolBar nm;
      nm.header.code = -702;  // TBN_ENDDRAG
      nm.item = static_cast<int>(id);
      NotifyParent(window, &nm.header);
      if (WindowRecord* again = Find(window))
        Send(again->parent, WM_COMMAND, id, static_cast<intptr_t>(window));
      return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      ListModel* list = record->list.get();
      if (list == nullptr) return 0;
      const CPoint p = UnpackPoint(lParam);
      int row = -1;
      if (p.y >= kListHeaderHeight && p.x >= 0 && p.x < TotalWidth(*list)) {
        row = (p.y - kListHeaderHeight) / kListRowHeight + list->topIndex;
        if (row >= static_cast<int>(list->rows.size())) row = -1;
      }
      if (row == -1) {
        // A click on empty space clears the selection (not with control).
        if (!(wParam & MK_CONTROL))
          for (int r = 0; r < static_cast<int>(list->rows.size()); ++r)
            SetRowState(window, r, 0, LVIS_SELECTED);
        return 0;
      }
      if (wParam & MK_CONTROL) {
        const unsigned selected = List(window)->rows[row].state & LVIS_SELECTED;
        SetRowState(window, row, LVIS_FOCUSED, LVIS_FOCUSED);
        SetRowState(window, row, selected ? 0 : LVIS_SELECTED, LVIS_SELECTED);
        return 0;
      }
      for (int r = 0;
           List(window) && r < static_cast<int>(List(window)->rows.size()); ++r)
        if (r != row) SetRowState(window, r, 0, LVIS_SELECTED);
      SetRowState(window, row, LVIS_SELECTED | LVIS_FOCUSED,
                  LVIS_SELECTED | LVIS_FOCUSED);
      return 0;
    }
    default:
      return 0;
  }
}

CPoint RowPoint(int row, int topIndex) {
  return CPoint(10, kListHeaderHeight + (row - topIndex) * kListRowHeight +
                        kListRowHeight / 2);
}

void ClickRow(CWnd* list, int row, unsigned keyFlags) {
  Windows& world = Windows::Get();
  ListModel* model = world.List(list->GetSafeHwnd());
  const CPoint p = RowPoint(row, model ? model->topIndex : 0);
  list->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON | keyFlags, PackPoint(p));
  list->SendMessage(WM_LBUTTONUP, keyFlags, PackPoint(p));
}

void DoubleClickRow(CWnd* list, int row) {
  ClickRow(list, row);
  Windows& world = Windows::Get();
  ListModel* model = world.List(list->GetSafeHwnd());
  const CPoint p = RowPoint(row, model ? model->topIndex : 0);
  list->SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, PackPoint(p));
  list->SendMessage(WM_LBUTTONUP, 0, PackPoint(p));
}

void ClickColumn(CWnd* list, int position) {
  NmListView nm;
  nm.header.code = LVN_COLUMNCLICK;
  nm.subItem = position;
  Windows::Get().NotifyParent(list->GetSafeHwnd(), &nm);
}

void TypeChar(CWnd* window, char ch) {
  window->SendMessage(WM_CHAR, static_cast<unsigned char>(ch), 1);
}

void RightClickRow(CWnd* list, int row) {
  Windows& world = Windows::Get();
  ListModel* model = world.List(list->GetSafeHwnd());
  CPoint p = RowPoint(row, model ? model->topIndex : 0);
  list->ClientToScreen(&p);
  list->SendMessage(WM_CONTEXTMENU, list->GetSafeHwnd(), PackPoint(p));
}

void BeginDragRow(CWnd* list, int row) {
  Windows& world = Windows::Get();
  ListModel* model = world.List(list->GetSafeHwnd());
  NmListView nm;
  nm.header.code = LVN_BEGINDRAG;
  nm.item = row;
  nm.point = RowPoint(row, model ? model->topIndex : 0);
  if (model && row >= 0 && row < static_cast<int>(model->rows.size()))
    nm.lParam = model->rows[row].data;
  CPoint screen = nm.point;
  list->ClientToScreen(&screen);
  world.cursorPos = screen;
  world.NotifyParent(list->GetSafeHwnd(), &nm);
}

void MoveMouse(CWnd* window, CPoint client, unsigned keyFlags) {
  CPoint screen = client;
  window->ClientToScreen(&screen);
  Windows::Get().cursorPos = screen;
  window->SendMessage(WM_MOUSEMOVE, keyFlags, PackPoint(client));
}

void ReleaseButton(CWnd* window, CPoint client) {
  CPoint screen = client;
  window->ClientToScreen(&screen);
  Windows::Get().cursorPos = screen;
  window->SendMessage(WM_LBUTTONUP, 0, PackPoint(client));
}

void PressKey(CWnd* list, unsigned vkey) {
  NmListKeyDown nm;
  nm.header.code = LVN_KEYDOWN;
  nm.vkey = vkey;
  Windows::Get().NotifyParent(list->GetSafeHwnd(), &nm);
}

void PressToolButton(CWnd* bar, int index) {
  Windows& world = Windows::Get();
  WindowRecord* record = world.Find(bar->GetSafeHwnd());
  // A disabled button cannot be pressed.
  if (record == nullptr || record->tool == nullptr || index < 0 ||
      index >= static_cast<int>(record->tool->buttons.size()) ||
      !record->tool->buttons[index].enabled)
    return;
  record->tool->pressed = index;
  bar->SetCapture();
  NmToolBar nm;
  nm.header.code = -701;  // TBN_BEGINDRAG
  nm.item = static_cast<int>(record->tool->buttons[index].id);
  world.NotifyParent(bar->GetSafeHwnd(), &nm.header);
}

void ReleaseToolButton(CWnd* bar) {
  bar->SendMessage(WM_LBUTTONUP, 0, PackPoint(CPoint(8, 8)));
}

bool Defaulted(CWnd* window, unsigned message, uintptr_t wParam) {
  WindowRecord* record = Windows::Get().Find(window->GetSafeHwnd());
  if (record == nullptr) return false;
  for (const auto& m : record->defaulted)
    if (m.first == message && m.second == wParam) return true;
  return false;
}

}  // namespace headless

using headless::Windows;

// The parameter blocks of the headless messages are the portable structs
// themselves.
void WindowBackend::ReadCreateStruct(intptr_t lParam, CreateStruct* cs) {
  if (lParam != 0) *cs = *reinterpret_cast<const CreateStruct*>(lParam);
}

bool WindowBackend::ReadNotifyHeader(intptr_t lParam, NotifyHeader* header) {
  if (lParam == 0) return false;
  *header = *reinterpret_cast<const NotifyHeader*>(lParam);
  return true;
}

void WindowBackend::ReadListNotify(intptr_t lParam, NmListView* nm) {
  if (lParam != 0) *nm = *reinterpret_cast<const NmListView*>(lParam);
}

void WindowBackend::ReadListKeyDown(intptr_t lParam, NmListKeyDown* nm) {
  if (lParam != 0) *nm = *reinterpret_cast<const NmListKeyDown*>(lParam);
}

void WindowBackend::ReadToolNotify(intptr_t lParam, NmToolBar* nm) {
  if (lParam != 0) *nm = *reinterpret_cast<const NmToolBar*>(lParam);
}

CWnd::CWnd() {}

CWnd::~CWnd() {
  if (window != 0) {
    // Too late for a derived class's handlers: only the default handling
    // sees the last messages.
    Windows& world = Windows::Get();
    if (headless::WindowRecord* record = world.Find(window))
      record->object = nullptr;
    world.Destroy(window);
    window = 0;
  }
}

bool CWnd::CreateEx(uint32_t exStyle, const char* className,
                    const char* windowName, uint32_t style, const CRect& rect,
                    CWnd* parent, unsigned id, void* createParams) {
  if (window != 0) return false;
  CreateStruct cs;
  cs.createParams = createParams;
  cs.parent = parent ? parent->GetSafeHwnd() : 0;
  cs.id = id;
  cs.x = rect.left;
  cs.y = rect.top;
  cs.cx = rect.Width();
  cs.cy = rect.Height();
  cs.style = style;
  cs.windowName = windowName ? windowName : "";
  cs.className = className ? className : "";
  cs.exStyle = exStyle;
  if (!PreCreateWindow(cs)) return false;
  Windows& world = Windows::Get();
  window = world.Create(cs, this);
  if (window == 0) return false;
  const WindowHandle created = window;
  if (world.Send(created, WM_NCCREATE, 0, reinterpret_cast<intptr_t>(&cs)) ==
          0 ||
      world.Send(created, WM_CREATE, 0, reinterpret_cast<intptr_t>(&cs)) ==
          -1) {
    world.Destroy(created);
    window = 0;
    return false;
  }
  return true;
}

bool CWnd::DestroyWindow() {
  if (window == 0) return false;
  Windows::Get().Destroy(window);
  window = 0;
  return true;
}

CWnd* CWnd::FromHandle(WindowHandle handle) {
  headless::WindowRecord* record = Windows::Get().Find(handle);
  return record ? record->object : nullptr;
}

CWnd* CWnd::GetParent() const {
  headless::WindowRecord* record = Windows::Get().Find(window);
  return record ? FromHandle(record->parent) : nullptr;
}

CWnd* CWnd::SetParent(CWnd* parent) {
  Windows& world = Windows::Get();
  headless::WindowRecord* record = world.Find(window);
  if (record == nullptr) return nullptr;
  const WindowHandle newParent = parent != nullptr ? parent->window : 0;
  if (newParent != 0 && world.Find(newParent) == nullptr) return nullptr;
  CWnd* previous = FromHandle(record->parent);
  record->parent = newParent;
  return previous;
}

unsigned CWnd::GetDlgCtrlID() const {
  headless::WindowRecord* record = Windows::Get().Find(window);
  return record ? record->id : 0;
}

bool CWnd::ShowWindow(int showCommand) {
  headless::WindowRecord* record = Windows::Get().Find(window);
  if (record == nullptr) return false;
  const bool was = record->visible;
  record->visible = showCommand != SW_HIDE;
  if (record->visible)
    record->style |= WS_VISIBLE;
  else
    record->style &= ~static_cast<uint32_t>(WS_VISIBLE);
  return was;
}

bool CWnd::IsWindowVisible() const {
  headless::WindowRecord* record = Windows::Get().Find(window);
  return record && record->visible;
}

CWnd* CWnd::SetFocus() {
  Windows& world = Windows::Get();
  CWnd* previous = FromHandle(world.focus);
  if (world.Find(window) == nullptr) return previous;
  const WindowHandle old = world.focus;
  world.focus = window;
  if (old != 0 && old != window) world.Send(old, WM_KILLFOCUS, window, 0);
  if (old != window) world.Send(window, WM_SETFOCUS, old, 0);
  return previous;
}

CWnd* CWnd::GetFocus() { return FromHandle(Windows::Get().focus); }

void CWnd::GetClientRect(CRect* rect) const {
  headless::WindowRecord* record = Windows::Get().Find(window);
  if (record == nullptr) {
    *rect = CRect();
    return;
  }
  const CRect area = headless::ClientArea(*record);
  *rect = CRect(0, 0, area.Width(), area.Height());
}

void CWnd::GetWindowRect(CRect* rect) const {
  Windows& world = Windows::Get();
  headless::WindowRecord* record = world.Find(window);
  if (record == nullptr) {
    *rect = CRect();
    return;
  }
  CPoint origin;
  if (record->parent != 0) origin = world.ClientOrigin(record->parent);
  *rect = CRect(origin.x + record->rect.left, origin.y + record->rect.top,
                origin.x + record->rect.right, origin.y + record->rect.bottom);
}

bool CWnd::GetWindowPlacement(WindowPlacement* placement) const {
  headless::WindowRecord* record = Windows::Get().Find(window);
  if (record == nullptr) return false;
  placement->showCommand =
      (record->style & WS_MAXIMIZE) ? 3 /* SW_SHOWMAXIMIZED */ : SW_SHOWNORMAL;
  placement->normal = record->normal;
  return true;
}

bool CWnd::SetWindowPlacement(const WindowPlacement& placement) {
  headless::WindowRecord* record = Windows::Get().Find(window);
  if (record == nullptr) return false;
  record->normal = placement.normal;
  if (placement.showCommand == 3) {
    record->style |= WS_MAXIMIZE;
    record->rect = CRect(-headless::kFrameBorder, -headless::kFrameBorder,
                         headless::kScreenWidth + headless::kFrameBorder,
                         headless::kScreenHeight + headless::kFrameBorder);
  } else {
    record->style &= ~static_cast<uint32_t>(WS_MAXIMIZE);
    record->rect = placement.normal;
  }
  ShowWindow(placement.showCommand == SW_HIDE ? SW_HIDE : SW_SHOW);
  SendMessage(WM_SIZE, 0, 0);
  return true;
}

bool CWnd::SetForegroundWindow() {
  Windows& world = Windows::Get();
  if (world.Find(window) == nullptr) return false;
  world.foreground = window;
  return true;
}

bool CWnd::SetWindowText(const char* text) {
  headless::WindowRecord* record = Windows::Get().Find(window);
  if (record == nullptr) return false;
  record->title = text ? text : "";
  return true;
}

int CWnd::GetWindowText(char* buffer, int size) const {
  if (buffer == nullptr || size <= 0) return 0;
  buffer[0] = '\0';
  headless::WindowRecord* record = Windows::Get().Find(window);
  if (record == nullptr) return 0;
  const size_t n =
      std::min(record->title.size(), static_cast<size_t>(size - 1));
  memcpy(buffer, record->title.data(), n);
  buffer[n] = '\0';
  return static_cast<int>(n);
}

CWnd* CWnd::GetDlgItem(unsigned id) const {
  Windows& world = Windows::Get();
  if (world.Find(window) == nullptr) return nullptr;
  headless::WindowRecord* child = world.FindChild(window, id);
  return child != nullptr ? child->object : nullptr;
}

void CWnd::ClientToScreen(CPoint* point) const {
  const CPoint origin = Windows::Get().ClientOrigin(window);
  point->x += origin.x;
  point->y += origin.y;
}

void CWnd::ScreenToClient(CPoint* point) const {
  const CPoint origin = Windows::Get().ClientOrigin(window);
  point->x -= origin.x;
  point->y -= origin.y;
}

void CWnd::MoveWindow(const CRect& rect, bool) {
  headless::WindowRecord* record = Windows::Get().Find(window);
  if (record == nullptr) return;
  record->rect = rect;
  SendMessage(
      WM_SIZE, 0,
      static_cast<intptr_t>((static_cast<uint32_t>(rect.Height()) << 16) |
                            static_cast<uint16_t>(rect.Width())));
}

void CWnd::Invalidate(bool) {
  if (headless::WindowRecord* record = Windows::Get().Find(window))
    ++record->invalidations;
}

void CWnd::InvalidateRect(const CRect*, bool erase) { Invalidate(erase); }

void CWnd::UpdateWindow() {
  if (headless::WindowRecord* record = Windows::Get().Find(window))
    ++record->updates;
}

uint32_t CWnd::GetStyle() const {
  headless::WindowRecord* record = Windows::Get().Find(window);
  return record ? record->style : 0;
}

uint32_t CWnd::GetExStyle() const {
  headless::WindowRecord* record = Windows::Get().Find(window);
  return record ? record->exStyle : 0;
}

intptr_t CWnd::SendMessage(unsigned message, uintptr_t wParam,
                           intptr_t lParam) {
  return Windows::Get().Send(window, message, wParam, lParam);
}

bool CWnd::PostMessage(unsigned message, uintptr_t wParam, intptr_t lParam) {
  Windows& world = Windows::Get();
  if (world.Find(window) == nullptr) return false;
  world.Post(window, message, wParam, lParam);
  return true;
}

CWnd* CWnd::SetCapture() {
  Windows& world = Windows::Get();
  const WindowHandle old = world.capture;
  world.capture = window;
  if (old != 0 && old != window) world.Send(old, WM_CAPTURECHANGED, 0, window);
  return FromHandle(old);
}

bool CWnd::ReleaseCapture() {
  Windows& world = Windows::Get();
  const WindowHandle old = world.capture;
  world.capture = 0;
  if (old != 0) world.Send(old, WM_CAPTURECHANGED, 0, 0);
  return true;
}

CWnd* CWnd::GetCapture() { return FromHandle(Windows::Get().capture); }

intptr_t CWnd::DefWindowProc(unsigned message, uintptr_t wParam,
                             intptr_t lParam) {
  return Windows::Get().DefaultProcedure(window, message, wParam, lParam);
}

// The standard cursors are fixed numbers; the image lists keep them by
// value like any icon.
IconHandle AfxLoadStandardCursor(unsigned id) {
  return id == kIdcArrow || id == kIdcNo ? 0xC0000 + id : 0;
}

int AfxGetSystemMetrics(int index) {
  return index == kSmCxCursor || index == kSmCyCursor ? 32 : 0;
}

int AfxShowCursor(bool show) {
  Windows& world = Windows::Get();
  world.cursorCalls.push_back(show ? "show" : "hide");
  world.cursorCount += show ? 1 : -1;
  return world.cursorCount;
}

bool AfxGetCursorPos(CPoint* point) {
  *point = Windows::Get().cursorPos;
  return true;
}

void AfxInitCommonControls() { ++Windows::Get().commonControlsInitialised; }

void AfxOutputDebugString(const char* text) {
  Windows::Get().debugOutput.push_back(text ? text : "");
}
