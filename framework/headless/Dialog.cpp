// CDialog in memory: the template's controls with their check states, the
// scripted user's acts delivered as WM_COMMAND would deliver them.
#include "framework/Dialog.h"

#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>

#include "framework/AppWindow.h"
#include "framework/DialogControls.h"
#include "framework/Gdi.h"
#include "framework/Wnd.h"
#include "framework/headless/Dialogs.h"

namespace {

const int kIdCancel = 2;
const unsigned kWmLButtonDown = 0x0201, kWmRButtonDown = 0x0204,
               kWmCaptureChanged = 0x0215;
const int kBnClicked = 0;
const uint32_t kWsDisabled = 0x08000000u;
const uint32_t kWsGroup = 0x00020000u;
const uint32_t kBsTypeMask = 0x0Fu;
const uint32_t kBsCheckBox = 2, kBsAutoCheckBox = 3, kBsRadioButton = 4,
               kBs3State = 5, kBsAuto3State = 6, kBsAutoRadioButton = 9;

struct ControlState {
  const headless::DialogControl* control;
  WindowHandle handle;
  unsigned check = kBstUnchecked;
  std::string text;
  int limit = 0;  // EM_LIMITTEXT's count; 0: none
  bool enabled = true;
  uintptr_t icon = 0;  // STM_SETICON's, for an SS_ICON static
  // An up-down control's range and position, as the system starts them
  // (100 down to 0, at 0), and its buddy's id (0: none).
  int lower = 100, upper = 0, position = 0;
  int buddy = 0;
};

const uint32_t kEsUpperCase = 0x0008u;
const uint32_t kEsReadOnly = 0x0800u;
const uint32_t kUdsNoThousands = 0x0080u;

bool IsClass(const headless::DialogControl& control, const char* className) {
  std::string name = control.className;
  for (char& c : name) c = static_cast<char>(tolower(c));
  return name == className;
}

bool IsEdit(const headless::DialogControl& control) {
  return IsClass(control, "edit");
}

void RecordTexts(const std::map<int, ControlState>& controls,
                 std::map<int, std::string>* texts) {
  for (const auto& entry : controls) (*texts)[entry.first] = entry.second.text;
}

// A dialog between DoModal's start and its end.
struct OpenDialog {
  const CDialog* dialog;
  std::map<int, ControlState> controls;
  bool ended = false;
  intptr_t result = 0;
  headless::ShownDialog* shown = nullptr;
};

// Modeless dialogs between Create and DestroyWindow.
struct ModelessDialog {
  OpenDialog open;
  headless::ShownDialog shown;
};
std::vector<ModelessDialog*> modelessDialogs;

std::vector<OpenDialog*> openDialogs;
WindowHandle nextHandle = 0x4000;
headless::Resources resources;

OpenDialog* Find(const CDialog* dialog) {
  for (OpenDialog* open : openDialogs)
    if (open->dialog == dialog) return open;
  return nullptr;
}

bool IsCheckable(const headless::DialogControl& control) {
  if (control.className != "Button" && control.className != "BUTTON" &&
      control.className != "button")
    return false;
  uint32_t type = control.style & kBsTypeMask;
  return type == kBsCheckBox || type == kBsAutoCheckBox ||
         type == kBsRadioButton || type == kBs3State || type == kBsAuto3State ||
         type == kBsAutoRadioButton;
}

bool IsRadio(const headless::DialogControl& control) {
  uint32_t type = control.style & kBsTypeMask;
  return IsCheckable(control) &&
         (type == kBsRadioButton || type == kBsAutoRadioButton);
}

// The radio buttons of the group a button belongs to, in template order:
// from the control that starts the group up to the next one that does.
std::vector<int> GroupOf(const headless::DialogTemplate& dialog, int id,
                         bool fromHere = false) {
  const std::vector<headless::DialogControl>& controls = dialog.controls;
  size_t at = 0;
  while (at < controls.size() && controls[at].id != id) ++at;
  std::vector<int> ids;
  if (at == controls.size()) return ids;
  size_t start = at;
  if (!fromHere)
    while (start > 0 && !(controls[start].style & kWsGroup)) --start;
  for (size_t i = start; i < controls.size(); ++i) {
    if (i > start && (controls[i].style & kWsGroup)) break;
    if (IsRadio(controls[i])) ids.push_back(controls[i].id);
  }
  return ids;
}

std::string Name(int templateId) {
  return "dialog " + std::to_string(templateId);
}

// The template's controls as the dialog manager creates them. An up-down
// control with UDS_AUTOBUDDY takes the control before it as its buddy.
void MakeControls(const headless::DialogTemplate& dialog, OpenDialog* open) {
  int previous = 0;
  for (const headless::DialogControl& control : dialog.controls) {
    // Controls without an id (-1) cannot be reached by id anyway.
    const bool reachable = control.id != -1 && control.id != 0xFFFF;
    if (reachable) {
      ControlState state;
      state.control = &control;
      state.handle = nextHandle++;
      state.text = control.text;
      state.enabled = !(control.style & kWsDisabled);
      if (IsClass(control, "msctls_updown32") &&
          (control.style & kUdsAutoBuddy))
        state.buddy = previous;
      open->controls[control.id] = state;
    }
    previous = reachable ? control.id : 0;
  }
}

void RecordEnabled(const std::map<int, ControlState>& controls,
                   std::map<int, bool>* enabled) {
  for (const auto& entry : controls)
    (*enabled)[entry.first] = entry.second.enabled;
}

// UDS_SETBUDDYINT's text of a position: decimal, with thousands separated
// unless UDS_NOTHOUSANDS.
std::string BuddyText(int position, uint32_t style) {
  std::string digits = std::to_string(position < 0 ? -position : position);
  if (!(style & kUdsNoThousands))
    for (int at = int(digits.size()) - 3; at > 0; at -= 3)
      digits.insert(size_t(at), ",");
  return position < 0 ? "-" + digits : digits;
}

// The buddy's text as a position: digits (separators dropped) with an
// optional sign, within the range. False for anything else.
bool ParseBuddy(const std::string& text, const ControlState& spin, int* value) {
  std::string digits;
  for (char c : text)
    if (c != ',') digits += c;
  if (digits.empty()) return false;
  char* end = nullptr;
  const long number = strtol(digits.c_str(), &end, 10);
  if (*end != '\0' || end == digits.c_str()) return false;
  const int low = std::min(spin.lower, spin.upper);
  const int high = std::max(spin.lower, spin.upper);
  if (number < low || number > high) return false;
  *value = int(number);
  return true;
}

headless::SpinState SpinOf(const ControlState& state) {
  return {state.lower, state.upper, state.position};
}

}  // namespace

intptr_t CDialog::DoModal() {
  headless::DialogUser& user = headless::DialogUser::Get();
  std::vector<headless::UserAct> acts;
  if (!user.Next(templateId, &acts)) return -1;
  auto found = resources.dialogs.find(templateId);
  if (found == resources.dialogs.end()) {
    user.Fail(Name(templateId) + ": no such dialog template in the resources");
    return -1;
  }
  OpenDialog open;
  open.dialog = this;
  MakeControls(found->second, &open);
  window = nextHandle++;
  openDialogs.push_back(&open);

  // A dialog made without a parent is owned by the main window.
  headless::ShownDialog shown;
  shown.templateId = templateId;
  shown.owner = parent ? parent : GetMainWindowHandle();
  shown.ended = false;
  shown.result = -1;
  open.shown = &shown;
  OnInitDialog();
  for (const auto& entry : open.controls)
    if (IsCheckable(*entry.second.control))
      shown.checksAtStart[entry.first] = entry.second.check;
  RecordTexts(open.controls, &shown.textsAtStart);
  RecordEnabled(open.controls, &shown.enabledAtStart);
  for (const auto& entry : open.controls)
    if (IsClass(*entry.second.control, "msctls_updown32"))
      shown.spinsAtStart[entry.first] = SpinOf(entry.second);

  std::string name = Name(templateId);
  for (size_t i = 0; i < acts.size(); ++i) {
    const headless::UserAct& act = acts[i];
    if (open.ended) {
      user.Fail(name + " ended before the user could " +
                headless::DescribeAct(act));
      break;
    }
    if (act.kind == headless::UserAct::kClick) {
      auto control = open.controls.find(act.id);
      if (control == open.controls.end()) {
        user.Fail(name + " has no control " + std::to_string(act.id) +
                  " to click");
        continue;
      }
      const headless::DialogControl& info = *control->second.control;
      if (!control->second.enabled) {
        user.Fail(name + ": control " + std::to_string(act.id) +
                  " is disabled");
        continue;
      }
      // Automatic buttons change their own state before telling the
      // dialog, as the system's do.
      uint32_t type = info.style & kBsTypeMask;
      if (type == kBsAutoCheckBox)
        control->second.check = control->second.check ? 0 : 1;
      if (type == kBsAuto3State)
        control->second.check = (control->second.check + 1) % 3;
      if (type == kBsAutoRadioButton) {
        // The other buttons of its group go off, as the system's do.
        for (int other : GroupOf(found->second, act.id))
          if (other != act.id) open.controls[other].check = kBstUnchecked;
        control->second.check = kBstChecked;
      }
      OnCommand(act.id, kBnClicked);
    } else if (act.kind == headless::UserAct::kEscape ||
               act.kind == headless::UserAct::kCloseBox) {
      // Esc and the close box both reach the dialog as IDCANCEL.
      OnCommand(kIdCancel, kBnClicked);
    } else if (act.kind == headless::UserAct::kType) {
      auto control = open.controls.find(act.id);
      if (control == open.controls.end() || !IsEdit(*control->second.control)) {
        user.Fail(name + " has no edit " + std::to_string(act.id) +
                  " to type into");
        continue;
      }
      if (!control->second.enabled) {
        user.Fail(name + ": edit " + std::to_string(act.id) + " is disabled");
        continue;
      }
      if (control->second.control->style & kEsReadOnly) {
        user.Fail(name + ": edit " + std::to_string(act.id) + " is read-only");
        continue;
      }
      std::string text = act.text;
      if (control->second.limit > 0 &&
          text.size() > size_t(control->second.limit))
        text.resize(size_t(control->second.limit));
      if (control->second.control->style & kEsUpperCase)
        for (char& c : text) c = static_cast<char>(toupper(c));
      control->second.text = text;
    } else if (act.kind == headless::UserAct::kCaptureLoss) {
      if (shown.captured) {
        shown.captured = false;
        intptr_t result = 0;
        OnMessage(kWmCaptureChanged, 0, 0, &result);
      }
    } else if (shown.captured) {
      // A press anywhere reaches the dialog that holds the mouse.
      intptr_t result = 0;
      OnMessage(act.kind == headless::UserAct::kMouseDown ? kWmLButtonDown
                                                          : kWmRButtonDown,
                0, 0, &result);
    }
    if (!open.ended) shown.ignoredActs.push_back(headless::DescribeAct(act));
  }
  RecordTexts(open.controls, &shown.textsAtEnd);
  RecordEnabled(open.controls, &shown.enabledAtEnd);
  for (const auto& entry : open.controls) {
    if (IsEdit(*entry.second.control))
      shown.limits[entry.first] = entry.second.limit;
    if (entry.second.icon != 0) shown.icons[entry.first] = entry.second.icon;
  }
  openDialogs.erase(std::find(openDialogs.begin(), openDialogs.end(), &open));
  window = 0;
  shown.ended = open.ended;
  shown.result = open.ended ? open.result : -1;
  if (!open.ended) user.Fail(name + " is still open after the user's acts");
  user.Record(shown);
  return shown.result;
}

bool CDialog::Create(WindowHandle owner) {
  auto found = resources.dialogs.find(templateId);
  if (window != 0 || found == resources.dialogs.end()) return false;
  ModelessDialog* modeless = new ModelessDialog;
  modeless->open.dialog = this;
  MakeControls(found->second, &modeless->open);
  modeless->shown.templateId = templateId;
  modeless->shown.owner = owner;
  modeless->shown.ended = false;
  modeless->shown.result = -1;
  modeless->shown.modeless = true;
  modeless->open.shown = &modeless->shown;
  window = nextHandle++;
  modelessDialogs.push_back(modeless);
  openDialogs.push_back(&modeless->open);
  OnInitDialog();
  return true;
}

bool CDialog::DestroyWindow() {
  for (size_t i = 0; i < modelessDialogs.size(); ++i) {
    ModelessDialog* modeless = modelessDialogs[i];
    if (modeless->open.dialog != this) continue;
    openDialogs.erase(
        std::find(openDialogs.begin(), openDialogs.end(), &modeless->open));
    modelessDialogs.erase(modelessDialogs.begin() + i);
    modeless->shown.ended = true;
    headless::DialogUser::Get().Record(modeless->shown);
    delete modeless;
    window = 0;
    return true;
  }
  return false;
}

void CDialog::UpdateWindow() {}

bool CDialog::ShowWindow(int) { return Find(this) != nullptr; }

void CDialog::SetCapture() {
  if (OpenDialog* open = Find(this)) open->shown->captured = true;
}

void CDialog::SetControlFont(int id, uintptr_t font) {
  if (OpenDialog* open = Find(this)) open->shown->fonts[id] = font;
}

void CDialog::EndDialog(intptr_t result) {
  OpenDialog* open = Find(this);
  if (!open) {
    headless::DialogUser::Get().Fail("EndDialog on a dialog that is not open");
    return;
  }
  open->ended = true;
  open->result = result;
}

int CDialog::GetRadioGroup(int firstId, int* ids, int max) const {
  auto found = resources.dialogs.find(templateId);
  if (found == resources.dialogs.end()) return 0;
  const std::vector<int> group = GroupOf(found->second, firstId, true);
  for (size_t i = 0; i < group.size() && static_cast<int>(i) < max; ++i)
    ids[i] = group[i];
  return static_cast<int>(group.size());
}

int AfxGetDlgCtrlID(WindowHandle control) {
  for (OpenDialog* open : openDialogs)
    for (const auto& entry : open->controls)
      if (entry.second.handle == control) return entry.first;
  CWnd* window = CWnd::FromHandle(control);
  return window != nullptr ? static_cast<int>(window->GetDlgCtrlID()) : 0;
}

void CDialog::CheckDlgButton(int id, unsigned check) {
  OpenDialog* open = Find(this);
  if (open) {
    auto control = open->controls.find(id);
    if (control != open->controls.end() &&
        IsCheckable(*control->second.control)) {
      control->second.check = check;
      return;
    }
  }
  headless::DialogUser::Get().Fail("CheckDlgButton: " + Name(templateId) +
                                   " has no check box " + std::to_string(id));
}

unsigned CDialog::IsDlgButtonChecked(int id) const {
  OpenDialog* open = Find(this);
  if (!open) return kBstUnchecked;
  auto control = open->controls.find(id);
  return control == open->controls.end() ? kBstUnchecked
                                         : control->second.check;
}

void CDialog::SetDlgItemText(int id, const char* text) {
  OpenDialog* open = Find(this);
  if (open) {
    auto control = open->controls.find(id);
    if (control != open->controls.end()) {
      control->second.text = text;
      return;
    }
  }
  headless::DialogUser::Get().Fail("SetDlgItemText: " + Name(templateId) +
                                   " has no control " + std::to_string(id));
}

int CDialog::GetDlgItemText(int id, char* buffer, int size) const {
  if (buffer == nullptr || size <= 0) return 0;
  buffer[0] = '\0';
  OpenDialog* open = Find(this);
  if (!open) return 0;
  auto control = open->controls.find(id);
  if (control == open->controls.end()) return 0;
  const size_t length = std::min(control->second.text.size(), size_t(size - 1));
  memcpy(buffer, control->second.text.data(), length);
  buffer[length] = '\0';
  return int(length);
}

void CDialog::LimitText(int id, int count) {
  OpenDialog* open = Find(this);
  if (open) {
    auto control = open->controls.find(id);
    if (control != open->controls.end() && IsEdit(*control->second.control)) {
      control->second.limit = count;
      return;
    }
  }
  headless::DialogUser::Get().Fail("LimitText: " + Name(templateId) +
                                   " has no edit " + std::to_string(id));
}

intptr_t CDialog::SendDlgItemMessage(int id, unsigned message, uintptr_t wParam,
                                     intptr_t lParam) {
  OpenDialog* open = Find(this);
  ControlState* found = nullptr;
  if (open) {
    auto control = open->controls.find(id);
    if (control != open->controls.end()) found = &control->second;
  }
  if (found == nullptr) {
    headless::DialogUser::Get().Fail("SendDlgItemMessage: " + Name(templateId) +
                                     " has no control " + std::to_string(id));
    return 0;
  }
  ControlState& state = *found;
  const headless::DialogControl& info = *state.control;
  if (IsClass(info, "msctls_updown32")) {
    ControlState* buddy = nullptr;
    auto other = open->controls.find(state.buddy);
    if (state.buddy != 0 && other != open->controls.end())
      buddy = &other->second;
    const bool setsBuddy = buddy != nullptr && (info.style & kUdsSetBuddyInt);
    switch (message) {
      case kUdmSetRange:
        state.upper = int16_t(lParam & 0xFFFF);
        state.lower = int16_t((lParam >> 16) & 0xFFFF);
        return 0;
      case kUdmGetRange:
        return intptr_t((uint32_t(uint16_t(state.lower)) << 16) |
                        uint16_t(state.upper));
      case kUdmSetPos: {
        const int previous = state.position;
        const int low = std::min(state.lower, state.upper);
        const int high = std::max(state.lower, state.upper);
        state.position =
            std::min(std::max(int(int16_t(lParam & 0xFFFF)), low), high);
        if (setsBuddy) buddy->text = BuddyText(state.position, info.style);
        return uint16_t(previous);
      }
      case kUdmGetPos: {
        bool error = false;
        if (setsBuddy) {
          int read = 0;
          error = !ParseBuddy(buddy->text, state, &read);
          if (!error) state.position = read;
        }
        return intptr_t((error ? 0x10000u : 0u) | uint16_t(state.position));
      }
      case kUdmGetBuddy:
        return buddy != nullptr ? intptr_t(buddy->handle) : 0;
      default:
        break;
    }
  } else if (IsClass(info, "static") &&
             (message == kStmSetIcon || message == kStmGetIcon)) {
    // Only an SS_ICON static shows an icon; the others keep none.
    if ((info.style & kSsTypeMask) != kSsIcon) return 0;
    const uintptr_t previous = state.icon;
    if (message == kStmSetIcon) state.icon = wParam;
    return intptr_t(previous);
  }
  headless::DialogUser::Get().Fail("SendDlgItemMessage: message " +
                                   std::to_string(message) + " to control " +
                                   std::to_string(id) + " of " +
                                   Name(templateId) + " is not modelled");
  return 0;
}

bool CDialog::EnableDlgItem(int id, bool enable) {
  OpenDialog* open = Find(this);
  if (!open) return false;
  auto control = open->controls.find(id);
  if (control == open->controls.end()) return false;
  const bool wasDisabled = !control->second.enabled;
  control->second.enabled = enable;
  return wasDisabled;
}

bool CDialog::IsDlgItemEnabled(int id) const {
  OpenDialog* open = Find(this);
  if (!open) return false;
  auto control = open->controls.find(id);
  return control != open->controls.end() && control->second.enabled;
}

void CDialog::GotoDlgCtrl(int id) {
  OpenDialog* open = Find(this);
  if (!open || open->controls.find(id) == open->controls.end()) return;
  open->shown->focusMoves.push_back(id);
}

WindowHandle CDialog::GetDlgItem(int id) const {
  OpenDialog* open = Find(this);
  if (!open) return 0;
  auto control = open->controls.find(id);
  return control == open->controls.end() ? 0 : control->second.handle;
}

int AfxLoadString(unsigned id, char* buffer, int size) {
  if (buffer == nullptr || size <= 0) return 0;
  buffer[0] = '\0';
  auto found = resources.strings.find(id);
  if (found == resources.strings.end()) return 0;
  // LoadStringA cuts a long string to the buffer.
  size_t length = std::min(found->second.size(), size_t(size - 1));
  memcpy(buffer, found->second.data(), length);
  buffer[length] = '\0';
  return int(length);
}

namespace headless {

const DialogControl* DialogTemplate::Control(int controlId) const {
  for (const DialogControl& control : controls)
    if (control.id == controlId) return &control;
  return nullptr;
}

void SetResources(const Resources& loaded) { resources = loaded; }
const Resources& GetResources() { return resources; }

DialogUser& DialogUser::Get() {
  static DialogUser user;
  return user;
}

void DialogUser::Expect(int templateId, std::vector<UserAct> acts) {
  queue.push_back({templateId, std::move(acts)});
}

bool DialogUser::Done() {
  for (const Expected& expected : queue)
    Fail(Name(expected.templateId) + " was expected but never shown");
  bool done = queue.empty();
  queue.clear();
  return done;
}

void DialogUser::Reset() {
  queue.clear();
  shown.clear();
}

void DialogUser::SetFailureHandler(DialogFailureHandler handler) {
  onFailure = std::move(handler);
}

void DialogUser::Fail(const std::string& message) {
  if (onFailure) {
    onFailure(message);
    return;
  }
  fprintf(stderr, "headless dialog: %s\n", message.c_str());
  abort();
}

bool DialogUser::Next(int templateId, std::vector<UserAct>* acts) {
  if (queue.empty()) {
    Fail(Name(templateId) + " was shown but nobody expected it");
    return false;
  }
  Expected next = queue.front();
  queue.erase(queue.begin());
  if (next.templateId != templateId) {
    Fail(Name(templateId) + " was shown where " + Name(next.templateId) +
         " was expected");
    return false;
  }
  *acts = std::move(next.acts);
  return true;
}

std::string DescribeAct(const UserAct& act) {
  switch (act.kind) {
    case UserAct::kClick:
      return "click " + std::to_string(act.id);
    case UserAct::kEscape:
      return "press Esc";
    case UserAct::kCloseBox:
      return "close box";
    case UserAct::kMouseDown:
      return "press the left button";
    case UserAct::kRightMouseDown:
      return "press the right button";
    case UserAct::kCaptureLoss:
      return "take the mouse away";
    case UserAct::kType:
      return "type \"" + act.text + "\" into " + std::to_string(act.id);
  }
  return "?";
}

}  // namespace headless
