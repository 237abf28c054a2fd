// Command dispatch through the chained command maps.
#include "framework/CmdTarget.h"

namespace {
const CommandMapEntry noCommands[] = {Cmd::End()};
}  // namespace

const CommandMap CCmdTarget::commandMap = {nullptr, noCommands};

const CommandMap* CCmdTarget::GetCommandMap() const { return &commandMap; }

void CCmdUI::Enable(bool on) {
  enabled = on;
  enableSet = true;
}

void CCmdUI::SetCheck(int state) {
  check = state;
  checkSet = true;
}

bool CCmdTarget::OnCmdMsg(unsigned id, int code, CCmdUI* ui) {
  // The most derived class's table first: a class overrides a base's entry
  // by listing the same id.
  for (const CommandMap* map = GetCommandMap(); map; map = map->base) {
    for (const CommandMapEntry* e = map->entries;
         e->kind != CommandMapEntry::kEnd; ++e) {
      if (id < e->firstId || id > e->lastId) continue;
      if (code == CN_COMMAND_EXISTS &&
          (e->kind == CommandMapEntry::kCommand ||
           e->kind == CommandMapEntry::kCommandRange))
        return true;
      if (code == CN_COMMAND) {
        if (e->kind == CommandMapEntry::kCommand) {
          (this->*e->function.command)();
          return true;
        }
        if (e->kind == CommandMapEntry::kCommandRange) {
          (this->*e->function.range)(id);
          return true;
        }
      } else if (code == CN_UPDATE_COMMAND_UI &&
                 e->kind == CommandMapEntry::kUpdate) {
        if (ui == nullptr) return false;
        (this->*e->function.update)(ui);
        return true;
      }
    }
  }
  return false;
}
