// The headless backend's world of dialogs, for native tests: the
// program's resources (read from its .rc script, so a test runs the very
// template that goes into the .exe) and the user in front of each dialog,
// who acts from a script ("click 1000", "press Esc", "close box").
#pragma once
#include <stdint.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/Types.h"

namespace headless {

// One control of a dialog template, as the script gives it (the CONTROL
// statement's style with WS_CHILD | WS_VISIBLE added, as rc does).
struct DialogControl {
  std::string text;  // an ordinal (a bitmap's id) as "#101"
  int id;
  std::string className;  // "Button", "Static" ...
  uint32_t style;
  int x, y, width, height;
};

struct DialogTemplate {
  int id;
  std::string caption;
  uint32_t style;
  int x, y, width, height;
  int fontSize;
  std::string fontName;
  std::vector<DialogControl> controls;

  // The control with this id; null when there is none.
  const DialogControl* Control(int controlId) const;
};

// One entry of a menu: a command, a separator (id 0, no text) or a popup
// with its own entries.
struct MenuEntry {
  std::string text;
  unsigned id = 0;
  bool separator = false;
  bool popup = false;
  unsigned flags = 0;  // MF_CHECKED, MF_GRAYED ... as the script names them
  std::vector<MenuEntry> items;  // a popup's entries
};

// One accelerator: the key (a virtual-key code with FVIRTKEY, else a
// character), the command, and FVIRTKEY | FNOINVERT | FSHIFT | FCONTROL |
// FALT.
struct Accelerator {
  unsigned key;
  unsigned id;
  unsigned flags;
};

// A toolbar resource (type 241): the button size and the command of each
// button in order, 0 for a separator.
struct ToolbarTemplate {
  int width = 0, height = 0;
  std::vector<unsigned> ids;
};

// The VERSIONINFO block: its fixed numbers and its string values by name.
struct VersionInfo {
  bool present = false;
  unsigned fileVersion[4] = {0, 0, 0, 0};
  unsigned productVersion[4] = {0, 0, 0, 0};
  unsigned fileOs = 0, fileType = 0;
  std::map<std::string, std::string> strings;
};

struct Resources {
  std::map<int, DialogTemplate> dialogs;
  std::map<unsigned, std::string> strings;
  std::map<int, std::string> bitmaps;  // id -> file named in the script
  std::map<int, std::string> icons;    // id -> file named in the script
  std::map<int, std::vector<MenuEntry>> menus;
  std::map<int, std::vector<Accelerator>> accelerators;
  std::map<int, ToolbarTemplate> toolbars;
  VersionInfo version;
};

// Reads the statements of a resource script that the programs use:
// #include of headers (for their #defines) and #define, DIALOG and
// DIALOGEX with STYLE, CAPTION, FONT and CONTROL (or LTEXT, PUSHBUTTON,
// DEFPUSHBUTTON, AUTOCHECKBOX) lines, STRINGTABLE, BITMAP, ICON, MENU,
// ACCELERATORS, VERSIONINFO, and toolbars as user-defined resources of
// type 241 (WORDs: version 1, width, height, count, the commands). False
// with *error as "file:line: reason" for anything else.
bool ParseResourceScript(const std::string& path, Resources* resources,
                         std::string* error);

// The resources the headless backend serves (DoModal's templates,
// AfxLoadString's strings).
void SetResources(const Resources& resources);
const Resources& GetResources();

// What the user does in an open dialog.
struct UserAct {
  enum Kind {
    kClick,
    kEscape,
    kCloseBox,
    kMouseDown,
    kRightMouseDown,
    kCaptureLoss,
    kType
  } kind;
  int id;            // the control clicked or typed into
  std::string text;  // what is typed
};
inline UserAct Click(int id) { return {UserAct::kClick, id, {}}; }
inline UserAct PressEscape() { return {UserAct::kEscape, 0, {}}; }
inline UserAct CloseBox() { return {UserAct::kCloseBox, 0, {}}; }
// A press of the left or right button anywhere (the dialog sees it when it
// holds the mouse), and another window taking the mouse away.
inline UserAct MouseDown() { return {UserAct::kMouseDown, 0, {}}; }
inline UserAct RightMouseDown() { return {UserAct::kRightMouseDown, 0, {}}; }
inline UserAct CaptureLoss() { return {UserAct::kCaptureLoss, 0, {}}; }
// Replaces edit `id`'s text with `text`, as the edit takes it: cut to its
// limit, upper-cased when its style says so.
inline UserAct Type(int id, const std::string& text) {
  return {UserAct::kType, id, text};
}

// An up-down control's range and position.
struct SpinState {
  int lower = 0, upper = 0, position = 0;
  bool operator==(const SpinState& o) const {
    return lower == o.lower && upper == o.upper && position == o.position;
  }
};

// A dialog as it was shown.
struct ShownDialog {
  int templateId = 0;
  WindowHandle owner = 0;
  // Check state of every button right after OnInitDialog.
  std::map<int, unsigned> checksAtStart;
  // Text of every control right after OnInitDialog and when the dialog
  // ended, and the edits' limits (0: none).
  std::map<int, std::string> textsAtStart;
  std::map<int, std::string> textsAtEnd;
  std::map<int, int> limits;
  // Acts the dialog did not end on, in order ("press Esc" ...).
  std::vector<std::string> ignoredActs;
  bool ended = false;
  intptr_t result = -1;
  // Modeless (Create) rather than modal (DoModal).
  bool modeless = false;
  // Whether it took the mouse, and the fonts set on its controls.
  bool captured = false;
  std::map<int, uintptr_t> fonts;
  // Whether each control was enabled right after OnInitDialog and at the
  // end; the icons its statics showed at the end; the up-down controls
  // right after OnInitDialog; every control the focus was moved to, in
  // order.
  std::map<int, bool> enabledAtStart;
  std::map<int, bool> enabledAtEnd;
  std::map<int, uintptr_t> icons;
  std::map<int, SpinState> spinsAtStart;
  std::vector<int> focusMoves;
};

using DialogFailureHandler = std::function<void(const std::string&)>;

// The user in front of the headless dialogs, one per process.
class DialogUser {
 public:
  static DialogUser& Get();

  // The next dialog opened must be `templateId`; the user takes these acts
  // in it, in order. A dialog nobody expected, a template that is missing,
  // a click on a control that is not there or disabled, a dialog still
  // open after the last act, or acts left over after it ended are
  // reported to the failure handler; DoModal then returns -1.
  void Expect(int templateId, std::vector<UserAct> acts);
  const std::vector<ShownDialog>& Shown() const { return shown; }
  // Reports each expectation never met; true when none is left.
  bool Done();
  // Forgets expectations and shown dialogs.
  void Reset();
  // Where failures go; by default they are printed and the process aborts.
  void SetFailureHandler(DialogFailureHandler handler);

  // For the backend.
  void Fail(const std::string& message);
  bool Next(int templateId, std::vector<UserAct>* acts);
  void Record(const ShownDialog& dialog) { shown.push_back(dialog); }

 private:
  struct Expected {
    int templateId;
    std::vector<UserAct> acts;
  };
  std::vector<Expected> queue;
  std::vector<ShownDialog> shown;
  DialogFailureHandler onFailure;
};

std::string DescribeAct(const UserAct& act);

}  // namespace headless
