// Control bars over the common controls: CToolBar over ToolbarWindow32
// with its buttons from a toolbar resource, CStatusBar over
// msctls_statusbar32. Both leave their size and place to the frame
// (CCS_NOPARENTALIGN | CCS_NORESIZE), which lays them out in rows.
#include "framework/ControlBars.h"

#include <string.h>

#include "framework/BarBackend.h"
#include "framework/Dialog.h"
#include "framework/FrameWnd.h"
#include "framework/win32/Win32Wnd.h"

namespace {

HINSTANCE Instance() { return GetModuleHandleA(nullptr); }

// The resource type of toolbars, as MFC lays them out: WORD version (1),
// width, height, count, then the count command ids (0 for a separator).
const WORD toolbarResourceType = 241;
const WORD toolbarResourceVersion = 1;

// Buttons are this much wider and taller than their images; the bar adds
// a border above and below its row.
const int buttonPadding = 7;
const int barBorder = 2;
// Separators carry ids of their own in the control, so that each can be
// hidden by id in a column; no command has ids this high.
const unsigned separatorIdBase = 0xFF00;
// A separator's width in a row, as the control draws it.
const int separatorWidth = 8;

// Bars created in a frame join its layout.
void JoinFrame(CControlBar* bar, CWnd* parent) {
  if (parent != nullptr && parent->IsFrameWnd())
    static_cast<CFrameWnd*>(parent)->AddControlBar(bar);
}

void LeaveFrame(CControlBar* bar) {
  if (CFrameWnd* frame = bar->GetDockSite()) frame->RemoveControlBar(bar);
}

LRESULT Send(const CWnd* window, UINT message, WPARAM wParam = 0,
             LPARAM lParam = 0) {
  return SendMessageA(HwndOf(window), message, wParam, lParam);
}

// A status bar's panes: at most this many.
const int paneLimit = 32;
// Text of an indicator pane is this much narrower than the pane.
const int panePadding = 8;

// The font the status bar draws with.
HFONT StatusFont(const CWnd* bar) {
  HFONT font = reinterpret_cast<HFONT>(Send(bar, WM_GETFONT));
  return font != nullptr ? font
                         : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

// The first message pane takes whatever the others leave of `width`; the
// pane widths are the control's own part edges, so that they survive
// without a copy here.
void LayOutPanes(const CWnd* bar, int width) {
  int edges[paneLimit];
  const int count = static_cast<int>(
      Send(bar, SB_GETPARTS, paneLimit, reinterpret_cast<LPARAM>(edges)));
  if (count <= 0 || count > paneLimit) return;
  int widths[paneLimit];
  int stretch = -1, fixed = 0, left = 0;
  for (int i = 0; i < count; ++i) {
    const int right = edges[i] < left ? left : edges[i];
    widths[i] = right - left;
    left = right;
    // A message pane's text has no border.
    const int type = HIWORD(Send(bar, SB_GETTEXTLENGTHA, i));
    if (stretch == -1 && (type & SBT_NOBORDERS)) {
      stretch = i;
    } else {
      fixed += widths[i];
    }
  }
  if (stretch != -1) widths[stretch] = width > fixed ? width - fixed : 0;
  left = 0;
  for (int i = 0; i < count; ++i) {
    left += widths[i];
    edges[i] = left;
  }
  Send(bar, SB_SETPARTS, count, reinterpret_cast<LPARAM>(edges));
}

}  // namespace

CToolBar::CToolBar() {
  for (ToolButton& b : buttons) b = {0, -1};
}

CToolBar::~CToolBar() {
  if (GetSafeHwnd() != 0) {
    LeaveFrame(this);
    DestroyWindow();
  }
}

// The frame lays the bar out (CCS_NOPARENTALIGN | CCS_NORESIZE) and the
// rows need no divider between them. With CBRS_TOOLTIPS the control makes
// a tooltip for each button, which asks the frame for the text.
bool CToolBar::CreateEx(CWnd* parent, uint32_t ctrlStyle, uint32_t style,
                        const CRect&, unsigned id) {
  barStyle = style & (CBRS_ALIGN_ANY | CBRS_TOOLTIPS | CBRS_FLYBY |
                      CBRS_GRIPPER | CBRS_SIZE_DYNAMIC);
  // The CBRS_ bits share their values with window styles: only the
  // window's own bits go to the window.
  uint32_t windowStyle = (style & WS_VISIBLE) | WS_CHILD | WS_CLIPSIBLINGS |
                         (ctrlStyle & 0xFFFF) | CCS_NOPARENTALIGN |
                         CCS_NORESIZE | CCS_NODIVIDER;
  if (style & CBRS_TOOLTIPS) windowStyle |= TBSTYLE_TOOLTIPS;
  if (!CWnd::CreateEx(0, TOOLBARCLASSNAMEA, "", windowStyle,
                      CRect(0, 0, 100, buttonHeight + buttonPadding + 4),
                      parent, id))
    return false;
  Send(this, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
  JoinFrame(this, parent);
  return true;
}

bool CToolBar::LoadToolBar(unsigned resourceId) {
  if (GetSafeHwnd() == 0) return false;
  HINSTANCE instance = Instance();
  HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(resourceId),
                              MAKEINTRESOURCEA(toolbarResourceType));
  if (found == nullptr) return false;
  HGLOBAL loaded = LoadResource(instance, found);
  const WORD* data = loaded != nullptr
                         ? static_cast<const WORD*>(LockResource(loaded))
                         : nullptr;
  const DWORD size = SizeofResource(instance, found);
  if (data == nullptr || size < 4 * sizeof(WORD) ||
      data[0] != toolbarResourceVersion || data[1] == 0 || data[2] == 0)
    return false;
  const int count = data[3];
  if (count > maxButtons || size < (4u + count) * sizeof(WORD)) return false;
  const int width = data[1], height = data[2];
  const WORD* ids = data + 4;

  // A bar loaded once more starts again from no buttons.
  while (Send(this, TB_BUTTONCOUNT) > 0)
    if (!Send(this, TB_DELETEBUTTON, 0)) break;
  buttonCount = 0;

  int images = 0;
  for (int i = 0; i < count; ++i)
    if (ids[i] != ID_SEPARATOR) ++images;
  Send(this, TB_SETBITMAPSIZE, 0, MAKELONG(width, height));
  Send(this, TB_SETBUTTONSIZE, 0,
       MAKELONG(width + buttonPadding, height + buttonPadding));
  int firstImage = 0;
  if (images > 0) {
    // The control maps the bitmap's greys and black to the system's
    // button colours.
    TBADDBITMAP bitmap;
    bitmap.hInst = instance;
    bitmap.nID = resourceId;
    firstImage = static_cast<int>(
        Send(this, TB_ADDBITMAP, images, reinterpret_cast<LPARAM>(&bitmap)));
    if (firstImage < 0) return false;
  }

  TBBUTTON added[maxButtons];
  memset(added, 0, sizeof added);
  int image = 0;
  for (int i = 0; i < count; ++i) {
    const unsigned id = ids[i];
    buttons[i] = {id, id == ID_SEPARATOR ? -1 : image};
    TBBUTTON& b = added[i];
    b.idCommand =
        static_cast<int>(id == ID_SEPARATOR ? separatorIdBase + i : id);
    b.iString = -1;
    if (id == ID_SEPARATOR) {
      b.fsStyle = TBSTYLE_SEP;
    } else {
      b.iBitmap = firstImage + image++;
      b.fsState = TBSTATE_ENABLED;
      b.fsStyle = TBSTYLE_BUTTON;
    }
  }
  if (count > 0 &&
      !Send(this, TB_ADDBUTTONSA, count, reinterpret_cast<LPARAM>(added)))
    return false;
  buttonCount = count;
  buttonWidth = width;
  buttonHeight = height;
  layoutColumns = 0;
  return true;
}

void CToolBar::GetItemRect(int index, CRect* rect) const {
  RECT r = {0, 0, 0, 0};
  Send(this, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
  *rect = CRect(r.left, r.top, r.right, r.bottom);
}

bool CToolBar::IsButtonEnabled(unsigned id) const {
  return Send(this, TB_ISBUTTONENABLED, id) != 0;
}

bool CToolBar::EnableButton(unsigned id, bool enable) {
  return Send(this, TB_ENABLEBUTTON, id, MAKELONG(enable ? TRUE : FALSE, 0)) !=
         0;
}

bool CToolBar::CheckButton(unsigned id, bool check) {
  return Send(this, TB_CHECKBUTTON, id, MAKELONG(check ? TRUE : FALSE, 0)) != 0;
}

bool CToolBar::IsButtonChecked(unsigned id) const {
  return Send(this, TB_ISBUTTONCHECKED, id) != 0;
}

// One row of buttons with a border above and below; taller when the
// control has laid its buttons out lower than that.
int CToolBar::CalcHeight(int) const {
  int height = buttonHeight + buttonPadding + 2 * barBorder;
  for (int i = 0; i < buttonCount; ++i) {
    if (buttons[i].id == ID_SEPARATOR) continue;
    CRect rect;
    GetItemRect(i, &rect);
    if (rect.bottom + barBorder > height) height = rect.bottom + barBorder;
    break;
  }
  return height;
}

int CToolBar::CalcWidth(int height) const {
  int perColumn = 0;
  const int columns = ColumnsFor(height, &perColumn);
  return columns * LOWORD(Send(this, TB_GETBUTTONSIZE)) + 2 * barBorder;
}

int CToolBar::CalcLength() const {
  const int button = LOWORD(Send(this, TB_GETBUTTONSIZE));
  int length = 2 * barBorder;
  for (int i = 0; i < buttonCount; ++i)
    length += buttons[i].id == ID_SEPARATOR ? separatorWidth : button;
  return length;
}

// In columns the buttons wrap after every `columns` of them and the
// separators hide; in a row nothing wraps and the separators show.
void CToolBar::SetVertical(bool vertical, int height) {
  int perColumn = 0;
  const int columns = vertical ? ColumnsFor(height, &perColumn) : 0;
  if (columns == layoutColumns || GetSafeHwnd() == 0) return;
  layoutColumns = columns;
  int placed = 0;
  for (int i = 0; i < buttonCount; ++i) {
    const unsigned id =
        buttons[i].id == ID_SEPARATOR ? separatorIdBase + i : buttons[i].id;
    LRESULT state = Send(this, TB_GETSTATE, id);
    if (state == -1) continue;
    state &= ~(TBSTATE_WRAP | TBSTATE_HIDDEN);
    if (buttons[i].id == ID_SEPARATOR) {
      if (vertical) state |= TBSTATE_HIDDEN;
    } else if (vertical && ++placed % columns == 0) {
      state |= TBSTATE_WRAP;
    }
    Send(this, TB_SETSTATE, id, MAKELONG(state, 0));
  }
  // The control lays its buttons out again when one hides or shows, not
  // when only a wrap changes: one button hides and shows again.
  for (int i = 0; i < buttonCount; ++i) {
    if (buttons[i].id == ID_SEPARATOR) continue;
    const LRESULT state = Send(this, TB_GETSTATE, buttons[i].id);
    if (state == -1 || (state & TBSTATE_HIDDEN)) continue;
    Send(this, TB_SETSTATE, buttons[i].id, MAKELONG(state | TBSTATE_HIDDEN, 0));
    Send(this, TB_SETSTATE, buttons[i].id, MAKELONG(state, 0));
    break;
  }
  InvalidateRect(nullptr, true);
}

void BarBackend::InvertTrackRect(const CRect& rect) {
  HDC dc = GetDC(nullptr);
  if (dc == nullptr) return;
  HGDIOBJ old = SelectObject(dc, GetStockObject(GRAY_BRUSH));
  const int t = 3;
  const int w = rect.Width(), h = rect.Height();
  PatBlt(dc, rect.left, rect.top, w, t, PATINVERT);
  PatBlt(dc, rect.left, rect.bottom - t, w, t, PATINVERT);
  PatBlt(dc, rect.left, rect.top + t, t, h - 2 * t, PATINVERT);
  PatBlt(dc, rect.right - t, rect.top + t, t, h - 2 * t, PATINVERT);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
}

void BarBackend::FrameChanged(CWnd* bar) {
  if (bar->GetSafeHwnd() == 0) return;
  SetWindowPos(HwndOf(bar), nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE |
                   SWP_FRAMECHANGED);
}

// Both forms of WM_NCCALCSIZE start with the rectangle to shrink.
void BarBackend::ReserveNonClient(intptr_t lParam, int left, int top) {
  RECT* rect = reinterpret_cast<RECT*>(lParam);
  if (rect == nullptr) return;
  rect->left += left;
  rect->top += top;
  if (rect->left > rect->right) rect->left = rect->right;
  if (rect->top > rect->bottom) rect->top = rect->bottom;
}

// Two raised ridges on the button face, along the bar's short side.
void BarBackend::DrawGripper(CWnd* bar, const CRect& rect, bool vertical) {
  HDC dc = GetWindowDC(HwndOf(bar));
  if (dc == nullptr) return;
  RECT face = {rect.left, rect.top, rect.right, rect.bottom};
  FillRect(dc, &face, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
  for (int k = 0; k < 2; ++k) {
    RECT ridge;
    if (vertical) {
      ridge = {rect.left + 2, rect.top + 2 + 4 * k, rect.right - 2,
               rect.top + 5 + 4 * k};
    } else {
      ridge = {rect.left + 2 + 4 * k, rect.top + 2, rect.left + 5 + 4 * k,
               rect.bottom - 2};
    }
    DrawEdge(dc, &ridge, BDR_RAISEDINNER, BF_RECT);
  }
  ReleaseDC(HwndOf(bar), dc);
}

CRect BarBackend::WindowRectForClient(const CRect& client, uint32_t style,
                                      uint32_t exStyle) {
  RECT rect = {client.left, client.top, client.right, client.bottom};
  AdjustWindowRectEx(&rect, style, FALSE, exStyle);
  return CRect(rect.left, rect.top, rect.right, rect.bottom);
}

int BarBackend::DragThreshold() {
  const int metric = GetSystemMetrics(SM_CXDRAG);
  return metric > 0 ? metric : 4;
}

CRect BarBackend::WorkArea() {
  RECT rect = {0, 0, GetSystemMetrics(SM_CXSCREEN),
               GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &rect, 0);
  return CRect(rect.left, rect.top, rect.right, rect.bottom);
}

CPoint BarBackend::PointOf(intptr_t lParam) {
  return CPoint(static_cast<short>(LOWORD(lParam)),
                static_cast<short>(HIWORD(lParam)));
}

CStatusBar::CStatusBar() {}

CStatusBar::~CStatusBar() {
  if (GetSafeHwnd() != 0) {
    LeaveFrame(this);
    DestroyWindow();
  }
}

// A sizing grip when the frame can be resized, as MFC's status bar has.
bool CStatusBar::Create(CWnd* parent, uint32_t style, unsigned id) {
  barStyle = style & CBRS_ALIGN_ANY;
  uint32_t windowStyle = (style & WS_VISIBLE) | WS_CHILD | WS_CLIPSIBLINGS |
                         CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;
  if (parent != nullptr && (parent->GetStyle() & WS_THICKFRAME))
    windowStyle |= SBARS_SIZEGRIP;
  if (!CWnd::CreateEx(0, STATUSCLASSNAMEA, "", windowStyle,
                      CRect(0, 0, 100, 20), parent, id))
    return false;
  JoinFrame(this, parent);
  return true;
}

// Each indicator is as wide as its string; the message panes have no
// border, and the first of them stretches.
bool CStatusBar::SetIndicators(const unsigned* ids, int count) {
  if (GetSafeHwnd() == 0 || count <= 0 || count > paneLimit) return false;
  char texts[paneLimit][128];
  int edges[paneLimit];
  HDC dc = GetDC(HwndOf(this));
  HGDIOBJ old = dc != nullptr ? SelectObject(dc, StatusFont(this)) : nullptr;
  int left = 0;
  bool ok = true;
  for (int i = 0; i < count && ok; ++i) {
    texts[i][0] = '\0';
    if (ids[i] != ID_SEPARATOR) {
      ok = AfxLoadString(ids[i], texts[i], sizeof texts[i]) > 0;
      SIZE extent = {0, 0};
      if (ok && dc != nullptr)
        GetTextExtentPoint32A(dc, texts[i], lstrlenA(texts[i]), &extent);
      left += extent.cx + panePadding;
    }
    edges[i] = left;
  }
  if (dc != nullptr) {
    SelectObject(dc, old);
    ReleaseDC(HwndOf(this), dc);
  }
  if (!ok || !Send(this, SB_SETPARTS, count, reinterpret_cast<LPARAM>(edges)))
    return false;
  for (int i = 0; i < count; ++i)
    Send(this, SB_SETTEXTA, i | (ids[i] == ID_SEPARATOR ? SBT_NOBORDERS : 0),
         reinterpret_cast<LPARAM>(texts[i]));
  paneCount = count;
  CRect client;
  GetClientRect(&client);
  LayOutPanes(this, client.Width());
  return true;
}

// The pane keeps its kind of border.
bool CStatusBar::SetPaneText(int index, const char* text) {
  if (GetSafeHwnd() == 0 || index < 0 || index >= paneCount) return false;
  const WPARAM type = HIWORD(Send(this, SB_GETTEXTLENGTHA, index)) &
                      (SBT_NOBORDERS | SBT_POPOUT | SBT_RTLREADING);
  return Send(this, SB_SETTEXTA, index | type,
              reinterpret_cast<LPARAM>(text != nullptr ? text : "")) != 0;
}

// SB_GETTEXTA copies the whole text, however long: through a buffer that
// holds it.
int CStatusBar::GetPaneText(int index, char* buffer, int size) const {
  if (buffer == nullptr || size <= 0) return 0;
  buffer[0] = '\0';
  if (GetSafeHwnd() == 0 || index < 0 || index >= paneCount) return 0;
  const int length = LOWORD(Send(this, SB_GETTEXTLENGTHA, index));
  if (length < size) {
    Send(this, SB_GETTEXTA, index, reinterpret_cast<LPARAM>(buffer));
    buffer[length] = '\0';
    return length;
  }
  char* whole = new char[length + 1];
  whole[0] = '\0';
  Send(this, SB_GETTEXTA, index, reinterpret_cast<LPARAM>(whole));
  memcpy(buffer, whole, size - 1);
  buffer[size - 1] = '\0';
  delete[] whole;
  return size - 1;
}

// As the control measures itself: the font's height with its leading, the
// window border and the control's vertical border. The frame asks just
// before it gives the bar `width`, so the panes are laid out for it here.
int CStatusBar::CalcHeight(int width) const {
  LayOutPanes(this, width);
  int borders[3] = {0, 0, 0};
  Send(this, SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders));
  TEXTMETRICA tm;
  memset(&tm, 0, sizeof tm);
  HDC dc = GetDC(HwndOf(this));
  if (dc != nullptr) {
    HGDIOBJ old = SelectObject(dc, StatusFont(this));
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(HwndOf(this), dc);
  }
  const int leading = tm.tmInternalLeading != 0 ? tm.tmInternalLeading : 2;
  const int height =
      tm.tmHeight + leading + 2 * GetSystemMetrics(SM_CYBORDER) + borders[1];
  return height > 0 ? height : 20;
}
