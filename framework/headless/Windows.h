// The headless backend's world of windows, for native tests: window
// records behind the handles, a posted-message queue that a test pumps,
// capture and focus, the list views' in-memory models, image lists with a
// log of the drag-image calls, and the user in front of popup menus.
//
// Geometry is fixed so that tests can compute it: a top-level window's
// client area starts at its (x, y) on the screen, a child's at its (x, y)
// in the parent's client area; a list view's header is kListHeaderHeight
// pixels high and each row kListRowHeight, rows run the width of all
// columns; text is kCharWidth pixels per character.
#pragma once
#include <stdint.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/WindowCodes.h"
#include "framework/Wnd.h"

namespace headless {

const int kListHeaderHeight = 20;
const int kListRowHeight = 16;
const int kCharWidth = 6;
const int kSmallIconSpacing = 16;  // LVM_GETITEMSPACING's vertical part

struct ListColumn {
  std::string heading;
  int format = 0;
  int width = 0;
  int subItem = 0;
};

struct ListRow {
  std::vector<std::string> texts;  // one per column position
  intptr_t data = 0;
  unsigned state = 0;
  int image = -1;
};

// A list view's content: what LVM_ messages would change.
struct ListModel {
  std::vector<ListColumn> columns;
  std::vector<ListRow> rows;
  uint32_t extendedStyle = 0;
  uintptr_t imageLists[3] = {0, 0, 0};
  int topIndex = 0;
  // Like list controls before comctl32 6: column 0 cannot be deleted.
  bool keepsColumnZero = false;
};

// A toolbar control's buttons, and the one the mouse holds down.
struct ToolModel {
  struct Button {
    unsigned id = 0;  // 0: separator
    bool enabled = true;
    bool checked = false;
  };
  std::vector<Button> buttons;
  int pressed = -1;
  int width = 16, height = 15;
  bool vertical = false;  // buttons in columns
  int columns = 0;        // how many, when vertical
};

// The screen's work area, and the frame and caption of a top-level window
// with a caption (and a menu bar when it has a menu).
const int kScreenWidth = 1024;
const int kScreenHeight = 768;
const int kFrameBorder = 4;
const int kCaptionHeight = 18;
const int kMenuBarHeight = 18;

struct WindowRecord {
  WindowHandle handle = 0;
  CWnd* object = nullptr;
  WindowHandle parent = 0;
  WindowHandle owner = 0;  // a popup's owner
  unsigned id = 0;
  std::string className;
  std::string title;
  uint32_t style = 0;
  uint32_t exStyle = 0;
  CRect rect;  // in the parent's client area, or on the screen
  bool visible = false;
  // Messages that reached the default handling (DefWindowProc or the
  // control's own), in order, with their wParam.
  std::vector<std::pair<unsigned, uintptr_t>> defaulted;
  std::unique_ptr<ListModel> list;  // for list views
  std::unique_ptr<ToolModel> tool;  // for toolbars
  std::vector<std::string> panes;   // a status bar's texts
  MenuHandle menu = 0;
  CRect normal;  // where a maximized window goes when restored
  int invalidations = 0;
  int updates = 0;
};

// A call of the image-list drag support, as made.
struct DragCall {
  std::string name;  // "BeginDrag", "DragEnter", "DragMove", "DragLeave",
                     // "EndDrag"
  uintptr_t list = 0;
  int image = 0;
  WindowHandle window = 0;
  CPoint point;
};

struct ImageListRecord {
  int cx = 0, cy = 0;
  unsigned flags = 0;
  std::vector<IconHandle> images;  // the icons added, by value
};

// A popup menu as it was shown.
struct ShownMenu {
  std::vector<std::pair<unsigned, std::string>> entries;  // id 0: separator
  int defaultId = -1;
  unsigned flags = 0;
  CPoint point;
  int chosen = 0;
};

// A toolbar resource: the button size and the buttons' commands in order,
// 0 for a separator. The toolbars the headless CToolBar loads; like the
// dialog resources they outlive Windows::Reset.
struct ToolbarResource {
  int width = 16, height = 15;
  std::vector<unsigned> ids;
};
void SetToolbar(int id, const ToolbarResource& toolbar);
const ToolbarResource* FindToolbar(int id);
// The folder that the resource script's file names (bitmaps) are relative
// to.
void SetResourceFolder(const std::string& folder);
const std::string& ResourceFolder();
// The colours a WM_CTLCOLOR... handler set on a device context.
struct DcColors {
  uint32_t text = 0, background = 0;
  bool textSet = false, backgroundSet = false;
};
DcColors& ColorsOf(uintptr_t dc);

using FailureHandler = std::function<void(const std::string&)>;

// The client area of a window in its own window coordinates.
CRect ClientArea(const WindowRecord& record);

class Windows {
 public:
  static Windows& Get();

  // Forgets every window, message, image list, drag call and menu
  // expectation; windows still open are destroyed first.
  void Reset();

  WindowRecord* Find(WindowHandle window);
  // The child of `parent` with control id `id`; null when there is none.
  WindowRecord* FindChild(WindowHandle parent, unsigned id);
  ListModel* List(WindowHandle window);
  WindowHandle Create(const CreateStruct& cs, CWnd* object);
  void Destroy(WindowHandle window);

  // Delivers posted messages in order until none is left: the number
  // delivered.
  int PumpMessages();
  size_t PendingMessages() const { return queue.size(); }
  void Post(WindowHandle window, unsigned message, uintptr_t wParam,
            intptr_t lParam);
  intptr_t Send(WindowHandle window, unsigned message, uintptr_t wParam,
                intptr_t lParam);
  // The class's own handling (the list view's, or DefWindowProc).
  intptr_t DefaultProcedure(WindowHandle window, unsigned message,
                            uintptr_t wParam, intptr_t lParam);

  // Sets a list row's state bits as the control does: one focused row, an
  // LVN_ITEMCHANGED to the parent for each row whose state changed.
  void SetRowState(WindowHandle list, int row, unsigned state, unsigned mask);
  // Sends a notification to the window's parent (its header's window and
  // id are filled in).
  intptr_t NotifyParent(WindowHandle list, NmListView* nm);
  intptr_t NotifyParent(WindowHandle list, NmListKeyDown* nm);
  intptr_t NotifyParent(WindowHandle window, NotifyHeader* header);

  // The window origin of `window`'s client area on the screen.
  CPoint ClientOrigin(WindowHandle window) const;

  WindowHandle capture = 0;
  WindowHandle focus = 0;
  // The cursor: its display count (shown at 0 and above), its position on
  // the screen, and every ShowCursor call ("show" / "hide").
  int cursorCount = 0;
  CPoint cursorPos;
  std::vector<std::string> cursorCalls;
  // The next list view's own creation (WM_CREATE's default) fails.
  bool failNextListCreate = false;
  // WM_QUIT was posted, with this exit code.
  bool quitPosted = false;
  int exitCode = 0;
  WindowHandle foreground = 0;
  // Debugger output, and how often the common controls were initialised.
  std::vector<std::string> debugOutput;
  int commonControlsInitialised = 0;

  std::vector<ImageListRecord*> imageLists;  // live lists
  uintptr_t dragList = 0;
  std::vector<DragCall> dragCalls;
  // The outlines a bar being moved inverted on the screen, in order.
  std::vector<CRect> invertedRects;

  // The user in front of popup menus: the next menu shown is answered with
  // `id` (0: dismissed). A menu nobody expected goes to the failure
  // handler and is dismissed.
  void ExpectMenuChoice(int id) { menuChoices.push_back(id); }
  std::vector<ShownMenu> shownMenus;
  int NextMenuChoice();
  bool MenusDone() const { return menuChoices.empty(); }
  // Where failures go; by default they are printed and the process aborts.
  void SetFailureHandler(FailureHandler handler) { onFailure = handler; }
  void Fail(const std::string& message);

 private:
  struct Posted {
    WindowHandle window;
    unsigned message;
    uintptr_t wParam;
    intptr_t lParam;
  };
  std::vector<std::unique_ptr<WindowRecord>> windows;
  std::deque<Posted> queue;
  std::deque<int> menuChoices;
  FailureHandler onFailure;
  uintptr_t nextHandle = 0x10010;
};

// The user's acts on a list view, as the real control turns them into
// messages: a click on a row (keyFlags MK_CONTROL for a control-click) is
// WM_LBUTTONDOWN and WM_LBUTTONUP at the row's middle, whose default
// handling selects and focuses as the control does; a double click adds
// WM_LBUTTONDBLCLK; a click on a column heading is LVN_COLUMNCLICK to the
// parent; a typed character is WM_CHAR; a right click on a row is
// WM_CONTEXTMENU at the row's middle in screen coordinates.
void ClickRow(CWnd* list, int row, unsigned keyFlags = 0);
void DoubleClickRow(CWnd* list, int row);
void ClickColumn(CWnd* list, int position);
void TypeChar(CWnd* window, char ch);
void RightClickRow(CWnd* list, int row);
// A drag as the control starts it (LVN_BEGINDRAG for a row, at the row's
// middle) and the mouse and keys that follow: WM_MOUSEMOVE and
// WM_LBUTTONUP at a client point (the cursor position follows), and a key
// pressed in a list (LVN_KEYDOWN).
void BeginDragRow(CWnd* list, int row);
void MoveMouse(CWnd* window, CPoint client, unsigned keyFlags = MK_LBUTTON);
void ReleaseButton(CWnd* window, CPoint client);
void PressKey(CWnd* list, unsigned vkey);
// A press on a toolbar button as the control reports it: the bar takes the
// mouse and tells its parent TBN_BEGINDRAG; the release (WM_LBUTTONUP on
// the bar, whose default handling ends the press) tells TBN_ENDDRAG and
// sends the button's command to the bar's parent.
void PressToolButton(CWnd* bar, int index);
void ReleaseToolButton(CWnd* bar);
// The middle of a row, in the list's client coordinates.
CPoint RowPoint(int row, int topIndex = 0);

// Whether the window's default handling got `message` with `wParam`.
bool Defaulted(CWnd* window, unsigned message, uintptr_t wParam);

}  // namespace headless
