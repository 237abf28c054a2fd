// Control bars with MFC's names: CControlBar, the docking toolbar CToolBar
// over the common toolbar control, and the status bar CStatusBar. A frame
// (framework/FrameWnd.h) lays them out in rows along its edges and updates
// their buttons through its command routing when the message queue runs
// empty. A bar with a gripper can be dragged by it to another edge or off
// the frame, where it floats in a small frame of its own.
#pragma once
#include <stddef.h>
#include <stdint.h>

#include "framework/CmdTarget.h"
#include "framework/Wnd.h"

class CFrameWnd;

// Bar styles (CBRS_).
const uint32_t CBRS_ALIGN_LEFT = 0x1000;
const uint32_t CBRS_ALIGN_TOP = 0x2000;
const uint32_t CBRS_ALIGN_RIGHT = 0x4000;
const uint32_t CBRS_ALIGN_BOTTOM = 0x8000;
const uint32_t CBRS_ALIGN_ANY = 0xF000;
const uint32_t CBRS_TOP = CBRS_ALIGN_TOP;
const uint32_t CBRS_BOTTOM = CBRS_ALIGN_BOTTOM;
const uint32_t CBRS_TOOLTIPS = 0x0010;
const uint32_t CBRS_FLYBY = 0x0020;
const uint32_t CBRS_GRIPPER = 0x00400000;
const uint32_t CBRS_SIZE_DYNAMIC = 0x0080;

// Toolbar control styles.
const uint32_t TBSTYLE_FLAT = 0x0800;
const uint32_t CCS_ADJUSTABLE = 0x0020;

// Toolbar notifications (TBN_FIRST is -700).
const int TBN_BEGINDRAG = -701;
const int TBN_ENDDRAG = -702;

// The ids the framework knows bars by.
const unsigned AFX_IDW_TOOLBAR = 59392;
const unsigned AFX_IDW_STATUS_BAR = 59393;
const unsigned AFX_IDW_PANE_FIRST = 59648;
const unsigned ID_SEPARATOR = 0;

class CControlBar;

// The small frame a floating bar lives in: a tool window with a caption
// and a close box, owned by the frame the bar belongs to. Dragging its
// caption moves the bar (back onto an edge, if the drop is there); a
// double click on the caption docks the bar where it last was; the close
// box hides the bar.
class CMiniDockFrameWnd : public CWnd {
 public:
  // A hidden frame at `topLeft` (screen) for `bar`.
  bool Create(CFrameWnd* owner, CControlBar* bar, const CPoint& topLeft);
  intptr_t WindowProc(unsigned message, uintptr_t wParam,
                      intptr_t lParam) override;
  // Commands from the bar go to the frame, as when it is docked.
  bool OnCommand(uintptr_t wParam, intptr_t lParam) override;

  // A tool window: a small caption with only a close box.
  static const uint32_t frameStyle =
      0x80000000u /* WS_POPUP */ | 0x00C00000u /* WS_CAPTION */ |
      0x00080000u /* WS_SYSMENU */ | 0x04000000u /* WS_CLIPSIBLINGS */;
  static const uint32_t frameExStyle = 0x00000080u /* WS_EX_TOOLWINDOW */;

 private:
  CFrameWnd* owner = nullptr;
  CControlBar* bar = nullptr;
};

class CControlBar : public CWnd {
 public:
  CControlBar();
  ~CControlBar() override;
  uint32_t GetBarStyle() const { return barStyle; }
  void SetBarStyle(uint32_t style) { barStyle = style; }
  // The sides the bar may dock on (CBRS_ALIGN_...).
  void EnableDocking(uint32_t align) { dockingAllowed = align; }
  uint32_t GetDockingAllowed() const { return dockingAllowed; }
  bool IsVisible() const;
  // The bar's height when it runs along the top or bottom of a frame
  // `width` pixels wide.
  virtual int CalcHeight(int width) const = 0;
  // The bar's width when it runs along the left or right edge, `height`
  // pixels high.
  virtual int CalcWidth(int height) const { return CalcHeight(height); }
  // The room its items need laid out in one row: the width of a floating
  // bar's frame.
  virtual int CalcLength() const { return 100; }
  // Lays the items out in one row, or (`vertical`) in as few columns as
  // fit them into `height` pixels (0: one column).
  virtual void SetVertical(bool vertical, int height) {
    (void)vertical;
    (void)height;
  }
  // Updates the state of the bar's items through the target's routing.
  virtual void OnUpdateCmdUI(CCmdTarget* target);

  // The frame the bar belongs to, docked or floating.
  CFrameWnd* GetDockSite() const { return dockSite; }
  bool IsFloating() const { return floating; }
  CMiniDockFrameWnd* GetFloatingFrame() { return &floatFrame; }
  // The gripper's rectangle in window coordinates; empty when the bar has
  // none (no CBRS_GRIPPER, or floating).
  CRect GetGripperRect() const;
  bool IsTracking() const { return tracking; }
  // Starts moving the bar with the mouse, pressed at `screen`.
  void BeginTrack(const CPoint& screen);

  // The non-client gripper, and the mouse while the bar is being moved,
  // come before the message maps so a derived bar's handlers cannot hide
  // them.
  intptr_t WindowProc(unsigned message, uintptr_t wParam,
                      intptr_t lParam) override;

  // Where the frame docked it: the side (CBRS_ALIGN_...; 0 while
  // floating) and the row (a column on the left and right) on that side,
  // 0 nearest the edge; while floating, its frame's top left corner on the
  // screen; the side it had before it floated.
  uint32_t dockSide = 0;
  int dockRow = 0;
  bool floating = false;
  CPoint floatPos;
  uint32_t lastDockSide = CBRS_ALIGN_TOP;

  // A gripper's size across the bar.
  static const int gripperSize = 10;

 protected:
  friend class CFrameWnd;
  uint32_t barStyle = 0;
  uint32_t dockingAllowed = 0;
  CFrameWnd* dockSite = nullptr;
  CMiniDockFrameWnd floatFrame;

 private:
  void TrackTo(const CPoint& screen);
  void EndTrack(bool drop, const CPoint& screen);
  // Where the bar would go if dropped with the mouse at `screen`.
  CRect TrackRect(const CPoint& screen) const;

  bool tracking = false;
  bool trackMoved = false;
  CPoint trackStart, trackOffset;
  CRect trackRect;
  CWnd* focusBefore = nullptr;
};

// One button of a toolbar as its resource gives it; id 0 is a separator.
struct ToolButton {
  unsigned id;
  int image;  // index in the bar's bitmap, -1 for a separator
};

class CToolBar : public CControlBar {
 public:
  CToolBar();
  ~CToolBar() override;

  // The bar's window, a toolbar control with `ctrlStyle` (TBSTYLE_...),
  // bar style `style` (WS_ | CBRS_); `borders` left, top, right, bottom.
  bool CreateEx(CWnd* parent, uint32_t ctrlStyle, uint32_t style,
                const CRect& borders, unsigned id);
  // The buttons and bitmap of toolbar resource `resourceId` (the bitmap
  // has the same id).
  bool LoadToolBar(unsigned resourceId);

  int GetCount() const { return buttonCount; }
  unsigned GetItemID(int index) const;
  int CommandToIndex(unsigned id) const;
  // The rectangle of button `index` in the bar's client area.
  void GetItemRect(int index, CRect* rect) const;
  // TB_ISBUTTONENABLED.
  bool IsButtonEnabled(unsigned id) const;
  bool EnableButton(unsigned id, bool enable);
  bool CheckButton(unsigned id, bool check);
  bool IsButtonChecked(unsigned id) const;

  int CalcHeight(int width) const override;
  int CalcWidth(int height) const override;
  int CalcLength() const override;
  void SetVertical(bool vertical, int height) override;
  void OnUpdateCmdUI(CCmdTarget* target) override;

  static const int maxButtons = 32;

 protected:
  // Columns of a bar docked left or right for a column `height` pixels
  // high; buttons per column in *perColumn.
  int ColumnsFor(int height, int* perColumn) const;
  int ImageButtonCount() const;

  ToolButton buttons[maxButtons];
  int buttonCount = 0;
  int buttonWidth = 16, buttonHeight = 15;
  int layoutColumns = 0;  // 0: one row
};

class CStatusBar : public CControlBar {
 public:
  CStatusBar();
  ~CStatusBar() override;

  bool Create(CWnd* parent, uint32_t style, unsigned id);
  // The panes: ID_SEPARATOR for the message pane (which stretches), or the
  // id of a string resource for an indicator.
  bool SetIndicators(const unsigned* ids, int count);
  int GetPaneCount() const { return paneCount; }
  bool SetPaneText(int index, const char* text);
  // Copies the pane's text (always terminated): its length.
  int GetPaneText(int index, char* buffer, int size) const;

  int CalcHeight(int width) const override;

 private:
  int paneCount = 0;
};
