// CFrameWnd: a main frame with a menu, accelerators, control bars docked
// in rows along its edges, and the view (the child with id
// AFX_IDW_PANE_FIRST) in the space they leave. Commands go to the frame's
// command map and then to the application's; a frame that has a view
// offers them to the view first by overriding OnCmdMsg.
//
// Bars dock one to a row: rows along the top and bottom span the frame's
// width, columns along the left and right the height between them. A bar
// may also float in a frame of its own. The layout is kept in the
// per-user profile: which bars are visible, where they are docked, and
// where the floating ones float.
#pragma once
#include <stddef.h>
#include <stdint.h>

#include "framework/ControlBars.h"
#include "framework/Wnd.h"

// The framework's commands.
const unsigned ID_APP_EXIT = 57665;
const unsigned ID_VIEW_TOOLBAR = AFX_IDW_TOOLBAR;
const unsigned ID_VIEW_STATUS_BAR = AFX_IDW_STATUS_BAR;
// The status bar's idle text ("Ready").
const unsigned AFX_IDS_IDLEMESSAGE = 57345;

class CFrameWnd : public CWnd {
 public:
  CFrameWnd();
  ~CFrameWnd() override;

  // Creates the frame from resource `resourceId`: the title is the first
  // newline-separated field of string `resourceId`; menu and accelerator
  // table `resourceId` when the program has them. False when the creation
  // failed (WM_CREATE returned -1, for example).
  bool LoadFrame(unsigned resourceId, uint32_t style, CWnd* parent = nullptr);
  // A class of the framework's when none is given; WS_EX_CLIENTEDGE added.
  bool PreCreateWindow(CreateStruct& cs) override;
  bool IsFrameWnd() const override { return true; }

  // The bars' places and the view's, from the client area.
  void RecalcLayout();
  // The sides bars may dock on.
  void EnableDocking(uint32_t align);
  uint32_t GetDockingSides() const { return dockingSides; }
  // Docks the bar on the first side both allow, top first, in a row of its
  // own after the rows already there.
  void DockControlBar(CControlBar* bar);
  // Docks the bar on `side` in a row of its own at `row` (0 nearest the
  // edge; -1 or past the last: after the rows already there).
  void DockControlBar(CControlBar* bar, uint32_t side, int row);
  // Floats the bar in its own frame with its top left corner at `screen`,
  // kept within the work area.
  void FloatControlBar(CControlBar* bar, const CPoint& screen);
  // The side (among `allowed`) a bar dropped with the mouse at `screen`
  // docks on, and in *row the row it goes into; 0 when the drop is away
  // from every edge, so the bar floats. `moving` is left out of the rows.
  uint32_t DockSideAt(const CPoint& screen, uint32_t allowed,
                      const CControlBar* moving, int* row) const;
  void ShowControlBar(CControlBar* bar, bool show, bool delay);
  // A bar of this frame by id; null when there is none.
  CControlBar* GetControlBar(unsigned id) const;
  // Bars register here when they are created with the frame as parent.
  void AddControlBar(CControlBar* bar);
  void RemoveControlBar(CControlBar* bar);

  // The bar layout in the profile under `profileName`.
  void SaveBarState(const char* profileName) const;
  void LoadBarState(const char* profileName);

  // The frame's own command map, then the application's.
  bool OnCmdMsg(unsigned id, int code, CCmdUI* ui) override;
  // The idle update: every visible bar's items through OnCmdMsg.
  void OnIdleUpdate();
  // The status bar's message pane: a text, or the part before the newline
  // of string `id` (0: the idle text).
  void SetMessageText(const char* text);
  void SetMessageText(unsigned id);

  MenuHandle GetMenuHandle() const { return menu; }
  uintptr_t GetAccelerators() const { return accelerators; }

  static const int maxBars = 8;

 protected:
  int OnCreate(CreateStruct* cs);
  intptr_t OnSize(uintptr_t type, intptr_t size);
  void OnClose();
  void OnDestroy();
  intptr_t OnInitMenuPopup(uintptr_t menu, intptr_t position);
  intptr_t OnMenuSelect(uintptr_t item, intptr_t menu);
  void OnBarCheck(unsigned id);
  void Unfloat(CControlBar* bar);
  void Arrange(const CControlBar* moving, CRect* rects, CRect* view) const;
  // Row numbers on `side` made 0, 1, 2... in their order.
  void CompactRows(uint32_t side);
  void OnUpdateControlBarMenu(CCmdUI* ui);

  const MessageMap* GetMessageMap() const override;
  const CommandMap* GetCommandMap() const override;

  CControlBar* bars[maxBars];
  int barCount = 0;
  uint32_t dockingSides = 0;
  MenuHandle menu = 0;
  uintptr_t accelerators = 0;
};

// A window class registered on the spot with these class styles, cursor,
// background brush and icon (0: none); the name lives for the program's
// run. Null when it could not be registered.
const char* AfxRegisterWndClass(unsigned classStyle, uintptr_t cursor = 0,
                                uintptr_t brush = 0, uintptr_t icon = 0);
