// The portable part of the control bars: visibility, the update of a
// toolbar's buttons through the frame's command routing, the gripper and
// moving a bar with the mouse, and the floating bar's frame.
#include "framework/ControlBars.h"

#include "framework/BarBackend.h"
#include "framework/FrameWnd.h"
#include "framework/System.h"
#include "framework/WindowCodes.h"
#include "platform/Codes.h"

namespace {

// A toolbar button's state as update handlers set it.
class ToolCmdUI : public CCmdUI {
 public:
  ToolCmdUI(unsigned id, CToolBar* bar) : CCmdUI(id), bar(bar) {}
  void Enable(bool on) override {
    CCmdUI::Enable(on);
    if (bar->IsButtonEnabled(m_nID) != on) bar->EnableButton(m_nID, on);
  }
  void SetCheck(int state) override {
    CCmdUI::SetCheck(state);
    if (bar->IsButtonChecked(m_nID) != (state != 0))
      bar->CheckButton(m_nID, state != 0);
  }

 private:
  CToolBar* bar;
};

}  // namespace

CControlBar::CControlBar() {}

// A floating bar's window goes before its frame's, which would otherwise
// take the bar's window with it while the bar object still holds it.
CControlBar::~CControlBar() {
  if (GetSafeHwnd() != 0 && floating) DestroyWindow();
}

bool CControlBar::IsVisible() const {
  return GetSafeHwnd() != 0 && (GetStyle() & WS_VISIBLE) != 0;
}

void CControlBar::OnUpdateCmdUI(CCmdTarget*) {}

CRect CControlBar::GetGripperRect() const {
  if (!(barStyle & CBRS_GRIPPER) || floating || dockSide == 0 ||
      GetSafeHwnd() == 0)
    return CRect();
  CRect window;
  GetWindowRect(&window);
  if (dockSide & (CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT))
    return CRect(0, 0, window.Width(), gripperSize);
  return CRect(0, 0, gripperSize, window.Height());
}

void CControlBar::BeginTrack(const CPoint& screen) {
  if (dockSite == nullptr || tracking) return;
  CRect window;
  (floating ? static_cast<CWnd*>(&floatFrame) : this)->GetWindowRect(&window);
  tracking = true;
  trackMoved = false;
  trackStart = screen;
  trackOffset = CPoint(screen.x - window.left, screen.y - window.top);
  trackRect = CRect();
  // The keyboard too, for Escape; it goes back at the end.
  focusBefore = SetFocus();
  SetCapture();
}

// Docked on a side the bar spans it; floating it keeps its frame's size
// and the mouse's place in it.
CRect CControlBar::TrackRect(const CPoint& screen) const {
  int row = 0;
  const uint32_t side = dockSite->DockSideAt(
      screen, dockingAllowed & dockSite->GetDockingSides(), this, &row);
  if (side & (CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT)) {
    const int length = CalcLength();
    const int width = CalcWidth(length);
    return CRect(screen.x - width / 2, screen.y - gripperSize / 2,
                 screen.x + width - width / 2,
                 screen.y + length - gripperSize / 2);
  }
  if (side != 0) {
    const int length = CalcLength();
    const int height = CalcHeight(length);
    return CRect(screen.x - gripperSize / 2, screen.y - height / 2,
                 screen.x + length - gripperSize / 2,
                 screen.y + height - height / 2);
  }
  const CRect frame = BarBackend::WindowRectForClient(
      CRect(0, 0, CalcLength(), CalcHeight(CalcLength())),
      CMiniDockFrameWnd::frameStyle, CMiniDockFrameWnd::frameExStyle);
  const int left = screen.x - trackOffset.x, top = screen.y - trackOffset.y;
  return CRect(left, top, left + frame.Width(), top + frame.Height());
}

void CControlBar::TrackTo(const CPoint& screen) {
  if (!trackMoved) {
    const int dx = screen.x - trackStart.x, dy = screen.y - trackStart.y;
    const int threshold = BarBackend::DragThreshold();
    if (dx < threshold && dx > -threshold && dy < threshold && dy > -threshold)
      return;
    trackMoved = true;
  }
  const CRect rect = TrackRect(screen);
  if (rect == trackRect) return;
  if (trackRect.Width() > 0) BarBackend::InvertTrackRect(trackRect);
  trackRect = rect;
  BarBackend::InvertTrackRect(trackRect);
}

// A press that never became a drag moves nothing. The state is settled
// before the capture goes, so the WM_CAPTURECHANGED that follows finds no
// drag to end.
void CControlBar::EndTrack(bool drop, const CPoint& screen) {
  if (!tracking) return;
  tracking = false;
  if (trackRect.Width() > 0) BarBackend::InvertTrackRect(trackRect);
  trackRect = CRect();
  if (GetCapture() == this) ReleaseCapture();
  CWnd* focus = focusBefore;
  focusBefore = nullptr;
  if (focus != nullptr && focus->GetSafeHwnd() != 0 && GetFocus() == this)
    focus->SetFocus();
  if (!drop || !trackMoved || dockSite == nullptr) return;
  int row = 0;
  const uint32_t side = dockSite->DockSideAt(
      screen, dockingAllowed & dockSite->GetDockingSides(), this, &row);
  if (side != 0) {
    dockSite->DockControlBar(this, side, row);
  } else {
    dockSite->FloatControlBar(
        this, CPoint(screen.x - trackOffset.x, screen.y - trackOffset.y));
  }
}

intptr_t CControlBar::WindowProc(unsigned message, uintptr_t wParam,
                                 intptr_t lParam) {
  if (tracking) {
    switch (message) {
      case WM_MOUSEMOVE:
      case WM_LBUTTONUP: {
        CPoint point = BarBackend::PointOf(lParam);
        ClientToScreen(&point);
        if (message == WM_MOUSEMOVE)
          TrackTo(point);
        else
          EndTrack(true, point);
        return 0;
      }
      case WM_CAPTURECHANGED:
        EndTrack(false, CPoint());
        return 0;
      case WM_KEYDOWN:
        if (wParam == VK_ESCAPE) EndTrack(false, CPoint());
        return 0;
      default:
        break;
    }
  }
  const CRect gripper = GetGripperRect();
  if (gripper.Width() > 0) {
    switch (message) {
      case WM_NCCALCSIZE:
        CWnd::WindowProc(message, wParam, lParam);
        if (dockSide & (CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT))
          BarBackend::ReserveNonClient(lParam, 0, gripperSize);
        else
          BarBackend::ReserveNonClient(lParam, gripperSize, 0);
        return 0;
      case WM_NCPAINT:
        CWnd::WindowProc(message, wParam, lParam);
        BarBackend::DrawGripper(
            this, gripper,
            (dockSide & (CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT)) != 0);
        return 0;
      case WM_NCHITTEST: {
        CPoint point = BarBackend::PointOf(lParam);
        CRect window;
        GetWindowRect(&window);
        if (gripper.PtInRect(
                CPoint(point.x - window.left, point.y - window.top)))
          return HTCAPTION;
        break;
      }
      // Not the default handling, which would move the child window.
      case WM_NCLBUTTONDOWN:
        if (wParam == HTCAPTION) {
          BeginTrack(BarBackend::PointOf(lParam));
          return 0;
        }
        break;
      case WM_NCLBUTTONDBLCLK:
        if (wParam == HTCAPTION && dockSite != nullptr) {
          CRect window;
          GetWindowRect(&window);
          dockSite->FloatControlBar(this, CPoint(window.left, window.top));
          return 0;
        }
        break;
      default:
        break;
    }
  }
  return CWnd::WindowProc(message, wParam, lParam);
}

bool CMiniDockFrameWnd::Create(CFrameWnd* ownerFrame, CControlBar* floated,
                               const CPoint& topLeft) {
  owner = ownerFrame;
  bar = floated;
  char title[64];
  bar->GetWindowText(title, sizeof title);
  return CreateEx(
      frameExStyle, AfxRegisterWndClass(0, AfxLoadStandardCursor(kIdcArrow)),
      title, frameStyle,
      CRect(topLeft.x, topLeft.y, topLeft.x + 100, topLeft.y + 40), owner, 0);
}

intptr_t CMiniDockFrameWnd::WindowProc(unsigned message, uintptr_t wParam,
                                       intptr_t lParam) {
  if (owner != nullptr && bar != nullptr) {
    switch (message) {
      case WM_CLOSE:
        owner->ShowControlBar(bar, false, false);
        return 0;
      case WM_NCLBUTTONDOWN:
        if (wParam == HTCAPTION) {
          bar->BeginTrack(BarBackend::PointOf(lParam));
          return 0;
        }
        break;
      case WM_NCLBUTTONDBLCLK:
        if (wParam == HTCAPTION) {
          owner->DockControlBar(bar, bar->lastDockSide, -1);
          return 0;
        }
        break;
      default:
        break;
    }
  }
  return CWnd::WindowProc(message, wParam, lParam);
}

bool CMiniDockFrameWnd::OnCommand(uintptr_t wParam, intptr_t lParam) {
  return owner != nullptr && owner->OnCommand(wParam, lParam);
}

unsigned CToolBar::GetItemID(int index) const {
  return index >= 0 && index < buttonCount ? buttons[index].id : 0;
}

int CToolBar::CommandToIndex(unsigned id) const {
  for (int i = 0; i < buttonCount; ++i)
    if (buttons[i].id == id && id != ID_SEPARATOR) return i;
  return -1;
}

int CToolBar::ImageButtonCount() const {
  int count = 0;
  for (int i = 0; i < buttonCount; ++i)
    if (buttons[i].id != ID_SEPARATOR) ++count;
  return count;
}

// Separators are left out of columns; the gripper sits above them.
int CToolBar::ColumnsFor(int height, int* perColumn) const {
  const int count = ImageButtonCount();
  const int step = buttonHeight + 7;
  int fit = height > 0 ? (height - gripperSize - 4) / step : count;
  if (fit < 1) fit = 1;
  const int columns = count > 0 ? (count + fit - 1) / fit : 1;
  *perColumn = count > 0 ? (count + columns - 1) / columns : 1;
  return columns;
}

// Each button asks its update handler; a button whose command nobody
// handles is disabled.
void CToolBar::OnUpdateCmdUI(CCmdTarget* target) {
  for (int i = 0; i < buttonCount; ++i) {
    const unsigned id = buttons[i].id;
    if (id == ID_SEPARATOR) continue;
    ToolCmdUI ui(id, this);
    if (!target->OnCmdMsg(id, CN_UPDATE_COMMAND_UI, &ui) &&
        !target->OnCmdMsg(id, CN_COMMAND_EXISTS, nullptr))
      ui.Enable(false);
  }
}
