// The portable part of the control bars: visibility and the update of a
// toolbar's buttons through the frame's command routing.
#include "framework/ControlBars.h"

#include "framework/WindowCodes.h"

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

bool CControlBar::IsVisible() const {
  return GetSafeHwnd() != 0 && (GetStyle() & WS_VISIBLE) != 0;
}

void CControlBar::OnUpdateCmdUI(CCmdTarget*) {}

unsigned CToolBar::GetItemID(int index) const {
  return index >= 0 && index < buttonCount ? buttons[index].id : 0;
}

int CToolBar::CommandToIndex(unsigned id) const {
  for (int i = 0; i < buttonCount; ++i)
    if (buttons[i].id == id && id != ID_SEPARATOR) return i;
  return -1;
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
