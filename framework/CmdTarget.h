// Command routing with MFC's names. A class lists its commands in a plain
// table of (id or id range -> member function); OnCmdMsg runs the entry for
// a command (CN_COMMAND) or asks the entry's update handler for the
// command's state (CN_UPDATE_COMMAND_UI with a CCmdUI). A class's table
// chains to its base class's, so a derived class handles what it lists and
// inherits the rest.
#pragma once
#include <stddef.h>
#include <stdint.h>

// OnCmdMsg codes: run the command, or ask for its state.
const int CN_COMMAND = 0;
const int CN_UPDATE_COMMAND_UI = -1;
// Asks only whether a command handler exists, without running it: menus
// disable entries that nobody handles.
const int CN_COMMAND_EXISTS = -2;

// The state of one command as its update handler sets it. The menu or
// toolbar that asks derives from it to apply the state; the base only
// records it, which is what a headless test reads.
class CCmdUI {
 public:
  explicit CCmdUI(unsigned id) : m_nID(id) {}
  virtual ~CCmdUI() {}
  virtual void Enable(bool on = true);
  // 0 unchecked, 1 checked, 2 indeterminate.
  virtual void SetCheck(int check = 1);

  unsigned m_nID;
  // What the handler set; enableSet / checkSet tell whether it set it.
  bool enabled = true;
  bool enableSet = false;
  int check = 0;
  bool checkSet = false;
};

class CCmdTarget;
// The member-function pointer kinds a command map can hold; the table
// stores one of them behind a common type and its kind.
typedef void (CCmdTarget::*CommandFunction)();
typedef void (CCmdTarget::*CommandRangeFunction)(unsigned id);
typedef void (CCmdTarget::*UpdateFunction)(CCmdUI* ui);

// The handler of an entry; the entry's kind says which member is set.
union CommandHandler {
  CommandFunction command;
  CommandRangeFunction range;
  UpdateFunction update;
  constexpr CommandHandler() : command(nullptr) {}
  constexpr CommandHandler(CommandFunction f) : command(f) {}
  constexpr CommandHandler(CommandRangeFunction f) : range(f) {}
  constexpr CommandHandler(UpdateFunction f) : update(f) {}
};

struct CommandMapEntry {
  enum Kind { kEnd, kCommand, kCommandRange, kUpdate };
  Kind kind;
  unsigned firstId, lastId;
  CommandHandler function;
};

// A class's table and the table of its base (null for CCmdTarget's).
struct CommandMap {
  const CommandMap* base;
  const CommandMapEntry* entries;  // ends with a kEnd entry
};

// Entries of a command map, written in a derived class as
//   Cmd::Command(57632, &DriveListView::OnEditClear),
//   Cmd::Range(32771, 32796, &DriveListView::OnLetter),
//   Cmd::Update(57632, &DriveListView::OnUpdateEditClear),
//   Cmd::End()
// The static member-function casts make a handler of a derived class fit
// the table; they are valid because every handler belongs to a class
// derived from CCmdTarget and is only called on an object of that class.
struct Cmd {
  template <class T>
  static CommandMapEntry Command(unsigned id, void (T::*f)()) {
    return {CommandMapEntry::kCommand, id, id,
            CommandHandler(static_cast<CommandFunction>(f))};
  }
  template <class T>
  static CommandMapEntry Range(unsigned first, unsigned last,
                               void (T::*f)(unsigned)) {
    return {CommandMapEntry::kCommandRange, first, last,
            CommandHandler(static_cast<CommandRangeFunction>(f))};
  }
  template <class T>
  static CommandMapEntry Update(unsigned id, void (T::*f)(CCmdUI*)) {
    return UpdateRange(id, id, f);
  }
  template <class T>
  static CommandMapEntry UpdateRange(unsigned first, unsigned last,
                                     void (T::*f)(CCmdUI*)) {
    return {CommandMapEntry::kUpdate, first, last,
            CommandHandler(static_cast<UpdateFunction>(f))};
  }
  static CommandMapEntry End() {
    return {CommandMapEntry::kEnd, 0, 0, CommandHandler()};
  }
};

class CCmdTarget {
 public:
  CCmdTarget() {}
  virtual ~CCmdTarget() {}
  CCmdTarget(const CCmdTarget&) = delete;
  CCmdTarget& operator=(const CCmdTarget&) = delete;

  // CN_COMMAND: runs the handler of `id`; CN_UPDATE_COMMAND_UI: runs the
  // update handler of `id` with `ui`. True when this object had one; a
  // command it does not handle is left to the next target.
  virtual bool OnCmdMsg(unsigned id, int code, CCmdUI* ui);

  // This class's command map; a derived class that handles commands
  // overrides it to return its own, whose base is the parent class's.
  virtual const CommandMap* GetCommandMap() const;
  static const CommandMap commandMap;
};
