// The portable part of CWnd: message dispatch through the chained message
// maps, reflection of notifications, commands. The backends create the
// windows and call WindowProc for every message.
#include "framework/Wnd.h"

#include "framework/WndBackend.h"

namespace {
const unsigned kWmCommand = 0x0111;
const unsigned kWmNotify = 0x004E;

// A point packed in a message's lParam: two signed 16-bit words.
CPoint PointOf(intptr_t lParam) {
  return CPoint(static_cast<int16_t>(lParam & 0xFFFF),
                static_cast<int16_t>((lParam >> 16) & 0xFFFF));
}

const MessageMapEntry noMessages[] = {Map::End()};
}  // namespace

const MessageMap CWnd::messageMap = {nullptr, noMessages};

const MessageMap* CWnd::GetMessageMap() const { return &messageMap; }

bool CWnd::PreCreateWindow(CreateStruct&) { return true; }

intptr_t CWnd::WindowProc(unsigned message, uintptr_t wParam, intptr_t lParam) {
  // Handlers may send further messages to this window; each keeps its own
  // message for Default().
  CurrentMessage saved = current;
  current = {message, wParam, lParam};
  intptr_t result = 0;
  bool handled = false;
  if (message == kWmNotify) {
    // A control's notification goes to the control's own object first.
    NotifyHeader header;
    if (WindowBackend::ReadNotifyHeader(lParam, &header)) {
      CWnd* child = FromHandle(header.from);
      if (child != nullptr && child != this)
        handled = child->OnChildNotify(message, wParam, lParam, &result);
    }
  } else if (message == kWmCommand) {
    handled = OnCommand(wParam, lParam);
  }
  if (!handled)
    handled =
        DispatchMessageMap(GetMessageMap(), message, wParam, lParam, &result);
  if (!handled) result = DefWindowProc(message, wParam, lParam);
  current = saved;
  return result;
}

intptr_t CWnd::Default() {
  return DefWindowProc(current.message, current.wParam, current.lParam);
}

bool CWnd::OnCommand(uintptr_t wParam, intptr_t) {
  return OnCmdMsg(static_cast<unsigned>(wParam & 0xFFFF), CN_COMMAND, nullptr);
}

bool CWnd::DispatchMessageMap(const MessageMap* map, unsigned message,
                              uintptr_t wParam, intptr_t lParam,
                              intptr_t* result) {
  for (; map; map = map->base) {
    for (const MessageMapEntry* e = map->entries;
         e->kind != MessageMapEntry::kEnd; ++e) {
      if (e->message != message) continue;
      const WindowHandler& f = e->function;
      switch (e->kind) {
        case MessageMapEntry::kCreate: {
          CreateStruct cs;
          WindowBackend::ReadCreateStruct(lParam, &cs);
          *result = (this->*f.create)(&cs);
          return true;
        }
        case MessageMapEntry::kVoid:
          (this->*f.plain)();
          *result = 0;
          return true;
        case MessageMapEntry::kChar:
          (this->*f.character)(static_cast<unsigned>(wParam),
                               static_cast<unsigned>(lParam & 0xFFFF),
                               static_cast<unsigned>((lParam >> 16) & 0xFFFF));
          *result = 0;
          return true;
        case MessageMapEntry::kContextMenu:
          (this->*f.contextMenu)(FromHandle(static_cast<WindowHandle>(wParam)),
                                 PointOf(lParam));
          *result = 0;
          return true;
        case MessageMapEntry::kMouse:
          (this->*f.mouse)(static_cast<unsigned>(wParam), PointOf(lParam));
          *result = 0;
          return true;
        case MessageMapEntry::kCaptureChanged:
          (this->*f.captureChanged)(
              FromHandle(static_cast<WindowHandle>(lParam)));
          *result = 0;
          return true;
        case MessageMapEntry::kMessage:
          *result = (this->*f.message)(wParam, lParam);
          return true;
        case MessageMapEntry::kListNotify:
        case MessageMapEntry::kListKeyDown:
        case MessageMapEntry::kToolNotify:
          // Reflected notifications only reach OnChildNotify.
          break;
        case MessageMapEntry::kEnd:
          break;
      }
    }
  }
  return false;
}

bool CWnd::OnChildNotify(unsigned message, uintptr_t wParam, intptr_t lParam,
                         intptr_t* result) {
  if (message != kWmNotify) return false;
  NotifyHeader header;
  if (!WindowBackend::ReadNotifyHeader(lParam, &header)) return false;
  CurrentMessage saved = current;
  current = {message, wParam, lParam};
  bool handled = false;
  for (const MessageMap* map = GetMessageMap(); map && !handled;
       map = map->base) {
    for (const MessageMapEntry* e = map->entries;
         e->kind != MessageMapEntry::kEnd; ++e) {
      if (e->message != kWmNotify || e->code != header.code) continue;
      if (e->kind == MessageMapEntry::kListNotify) {
        NmListView nm;
        WindowBackend::ReadListNotify(lParam, &nm);
        *result = (this->*e->function.listNotify)(nm);
        handled = true;
        break;
      }
      if (e->kind == MessageMapEntry::kToolNotify) {
        NmToolBar nm;
        WindowBackend::ReadToolNotify(lParam, &nm);
        *result = (this->*e->function.toolNotify)(nm);
        handled = true;
        break;
      }
      if (e->kind == MessageMapEntry::kListKeyDown) {
        NmListKeyDown nm;
        WindowBackend::ReadListKeyDown(lParam, &nm);
        *result = (this->*e->function.listKeyDown)(nm);
        handled = true;
        break;
      }
    }
  }
  current = saved;
  return handled;
}
