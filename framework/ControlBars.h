// Control bars with MFC's names: CControlBar, the docking toolbar CToolBar
// over the common toolbar control, and the status bar CStatusBar. A frame
// (framework/FrameWnd.h) lays them out in rows along its edges and updates
// their buttons through its command routing when the message queue runs
// empty.
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

class CControlBar : public CWnd {
 public:
  CControlBar();
  uint32_t GetBarStyle() const { return barStyle; }
  void SetBarStyle(uint32_t style) { barStyle = style; }
  // The sides the bar may dock on (CBRS_ALIGN_...).
  void EnableDocking(uint32_t align) { dockingAllowed = align; }
  uint32_t GetDockingAllowed() const { return dockingAllowed; }
  bool IsVisible() const;
  // The bar's height when it runs along the top or bottom of a frame
  // `width` pixels wide.
  virtual int CalcHeight(int width) const = 0;
  // Updates the state of the bar's items through the target's routing.
  virtual void OnUpdateCmdUI(CCmdTarget* target);

  // Where the frame docked it: the side (CBRS_ALIGN_TOP or
  // CBRS_ALIGN_BOTTOM) and the row on that side, 0 nearest the edge.
  uint32_t dockSide = 0;
  int dockRow = 0;

 protected:
  uint32_t barStyle = 0;
  uint32_t dockingAllowed = 0;
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
  void OnUpdateCmdUI(CCmdTarget* target) override;

  static const int maxButtons = 32;

 protected:
  ToolButton buttons[maxButtons];
  int buttonCount = 0;
  int buttonWidth = 16, buttonHeight = 15;
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
