// Message maps, reflection, posted messages and command routing, in any
// world.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/CmdTarget.h"
#include "framework/ListCtrl.h"
#include "framework/Menu.h"
#include "framework/Wnd.h"
#include "tests/framework/FrameworkWorld.h"

namespace {

const unsigned kWmCreate = 0x0001;
const unsigned kWmNcDestroy = 0x0082;
const unsigned kWmApp = 0x8000;

// A window that logs the messages its map lists.
class LoggingWindow : public CWnd {
 public:
  std::vector<std::string> log;
  bool failCreate = false;

  int OnCreate(CreateStruct* cs) {
    log.push_back(std::string("create ") + cs->windowName);
    return failCreate ? -1 : 0;
  }
  void OnNcDestroy() {
    log.push_back("ncdestroy");
    Default();
  }
  intptr_t OnApp(uintptr_t wParam, intptr_t lParam) {
    log.push_back("app " + std::to_string(wParam) + " " +
                  std::to_string(lParam));
    return 42;
  }

  const MessageMap* GetMessageMap() const override {
    static const MessageMapEntry entries[] = {
        Map::Create(&LoggingWindow::OnCreate),
        Map::Void(kWmNcDestroy, &LoggingWindow::OnNcDestroy),
        Map::Message(kWmApp + 7, &LoggingWindow::OnApp), Map::End()};
    static const MessageMap map = {CWnd::GetMessageMap(), entries};
    return &map;
  }
};

// A derived window whose own line for the same message wins over the
// base's, and whose other messages still reach the base's lines.
class DerivedWindow : public LoggingWindow {
 public:
  intptr_t OnAppDerived(uintptr_t, intptr_t) {
    log.push_back("derived app");
    return 7;
  }
  const MessageMap* GetMessageMap() const override {
    static const MessageMapEntry entries[] = {
        Map::Message(kWmApp + 7, &DerivedWindow::OnAppDerived), Map::End()};
    static const MessageMap map = {LoggingWindow::GetMessageMap(), entries};
    return &map;
  }
};

TEST(WindowTest, CreationRunsTheMapsCreateHandlerAndDestructionTheNcDestroy) {
  std::vector<std::string> log;
  {
    LoggingWindow window;
    ASSERT_TRUE(frameworkworld::CreateTopWindow(&window, "Top"));
    EXPECT_NE(window.GetSafeHwnd(), 0u);
    EXPECT_EQ(CWnd::FromHandle(window.GetSafeHwnd()), &window);
    EXPECT_TRUE(window.DestroyWindow());
    EXPECT_EQ(window.GetSafeHwnd(), 0u);
    log = window.log;
  }
  EXPECT_EQ(log, (std::vector<std::string>{"create Top", "ncdestroy"}));
}

TEST(WindowTest, CreateHandlerReturningMinusOneFailsTheCreation) {
  LoggingWindow window;
  window.failCreate = true;
  EXPECT_FALSE(frameworkworld::CreateTopWindow(&window, "Refused"));
  EXPECT_EQ(window.GetSafeHwnd(), 0u);
  ASSERT_FALSE(window.log.empty());
  EXPECT_EQ(window.log.front(), "create Refused");
}

TEST(WindowTest, PostedMessagesArriveOnlyWhenPumpedAndSentOnesAtOnce) {
  LoggingWindow window;
  ASSERT_TRUE(frameworkworld::CreateTopWindow(&window, "Top"));
  window.log.clear();
  EXPECT_EQ(window.SendMessage(kWmApp + 7, 1, 2), 42);
  EXPECT_TRUE(window.PostMessage(kWmApp + 7, 3, 4));
  EXPECT_EQ(window.log, (std::vector<std::string>{"app 1 2"}));
  frameworkworld::PumpMessages();
  EXPECT_EQ(window.log, (std::vector<std::string>{"app 1 2", "app 3 4"}));
}

TEST(WindowTest, DerivedMapLineWinsAndBaseLinesStillApply) {
  DerivedWindow window;
  ASSERT_TRUE(frameworkworld::CreateTopWindow(&window, "Derived"));
  EXPECT_EQ(window.SendMessage(kWmApp + 7), 7);
  EXPECT_EQ(window.log,
            (std::vector<std::string>{"create Derived", "derived app"}));
}

TEST(WindowTest, ChildKnowsItsParentIdAndCoordinates) {
  LoggingWindow top;
  ASSERT_TRUE(frameworkworld::CreateTopWindow(&top, "Top"));
  CListCtrl list;
  ASSERT_TRUE(list.Create(0x10000001 /* WS_VISIBLE | LVS_REPORT */,
                          CRect(10, 20, 210, 220), &top, 59648));
  EXPECT_EQ(list.GetParent(), &top);
  EXPECT_EQ(list.GetDlgCtrlID(), 59648u);
  CRect client;
  list.GetClientRect(&client);
  EXPECT_EQ(client.left, 0);
  EXPECT_GT(client.Width(), 0);
  CPoint p(5, 6);
  list.ClientToScreen(&p);
  CPoint back = p;
  top.ScreenToClient(&back);
  // The list's client area starts inside its rectangle (a border may lie
  // between).
  EXPECT_GE(back.x, 15);
  EXPECT_GE(back.y, 26);
  list.ScreenToClient(&p);
  EXPECT_EQ(p, CPoint(5, 6));
}

// Command routing.
class Commands : public CCmdTarget {
 public:
  std::vector<std::string> log;
  bool enableTen = true;
  void OnTen() { log.push_back("ten"); }
  void OnRange(unsigned id) { log.push_back("range " + std::to_string(id)); }
  void OnUpdateTen(CCmdUI* ui) { ui->Enable(enableTen); }
  void OnUpdateRange(CCmdUI* ui) { ui->SetCheck(ui->m_nID == 21 ? 1 : 0); }
  const CommandMap* GetCommandMap() const override {
    static const CommandMapEntry entries[] = {
        Cmd::Command(10, &Commands::OnTen),
        Cmd::Range(20, 25, &Commands::OnRange),
        Cmd::Update(10, &Commands::OnUpdateTen),
        Cmd::UpdateRange(20, 25, &Commands::OnUpdateRange), Cmd::End()};
    static const CommandMap map = {CCmdTarget::GetCommandMap(), entries};
    return &map;
  }
};

class MoreCommands : public Commands {
 public:
  void OnTenAgain() { log.push_back("ten again"); }
  const CommandMap* GetCommandMap() const override {
    static const CommandMapEntry entries[] = {
        Cmd::Command(10, &MoreCommands::OnTenAgain), Cmd::End()};
    static const CommandMap map = {Commands::GetCommandMap(), entries};
    return &map;
  }
};

TEST(CommandTest, CommandsRangesAndUpdateHandlersRouteThroughChainedMaps) {
  MoreCommands target;
  EXPECT_TRUE(target.OnCmdMsg(10, CN_COMMAND, nullptr));
  EXPECT_TRUE(target.OnCmdMsg(20, CN_COMMAND, nullptr));
  EXPECT_TRUE(target.OnCmdMsg(25, CN_COMMAND, nullptr));
  EXPECT_FALSE(target.OnCmdMsg(26, CN_COMMAND, nullptr));
  EXPECT_FALSE(target.OnCmdMsg(11, CN_COMMAND, nullptr));
  EXPECT_EQ(target.log,
            (std::vector<std::string>{"ten again", "range 20", "range 25"}));

  target.enableTen = false;
  CCmdUI ten(10);
  EXPECT_TRUE(target.OnCmdMsg(10, CN_UPDATE_COMMAND_UI, &ten));
  EXPECT_TRUE(ten.enableSet);
  EXPECT_FALSE(ten.enabled);
  CCmdUI twentyOne(21), twentyTwo(22), other(30);
  EXPECT_TRUE(target.OnCmdMsg(21, CN_UPDATE_COMMAND_UI, &twentyOne));
  EXPECT_TRUE(target.OnCmdMsg(22, CN_UPDATE_COMMAND_UI, &twentyTwo));
  EXPECT_EQ(twentyOne.check, 1);
  EXPECT_EQ(twentyTwo.check, 0);
  EXPECT_FALSE(twentyTwo.enableSet);
  EXPECT_FALSE(target.OnCmdMsg(30, CN_UPDATE_COMMAND_UI, &other));
}

// A window sends WM_COMMAND to its own command map.
class CommandWindow : public CWnd {
 public:
  int runs = 0;
  void OnRun() { ++runs; }
  const CommandMap* GetCommandMap() const override {
    static const CommandMapEntry entries[] = {
        Cmd::Command(32797, &CommandWindow::OnRun), Cmd::End()};
    static const CommandMap map = {CWnd::GetCommandMap(), entries};
    return &map;
  }
};

TEST(CommandTest, WmCommandReachesTheWindowsCommandMap) {
  CommandWindow window;
  ASSERT_TRUE(frameworkworld::CreateTopWindow(&window, "Commands"));
  window.SendMessage(0x0111 /* WM_COMMAND */, 32797, 0);
  window.PostMessage(0x0111, 32797, 0);
  frameworkworld::PumpMessages();
  EXPECT_EQ(window.runs, 2);
}

TEST(MenuTest, PopupMenuHoldsEntriesSeparatorsAndTheDefault) {
  CMenu menu;
  ASSERT_TRUE(menu.CreatePopupMenu());
  EXPECT_EQ(menu.GetMenuItemCount(), 0);
  ASSERT_TRUE(menu.AppendMenu(0 /* MF_STRING */, 1, "Device Properties"));
  ASSERT_TRUE(menu.AppendMenu(0x0800 /* MF_SEPARATOR */));
  ASSERT_TRUE(menu.AppendMenu(0, 2, "Open"));
  EXPECT_EQ(menu.GetMenuItemCount(), 3);
  EXPECT_EQ(menu.GetMenuItemID(0), 1);
  EXPECT_EQ(menu.GetMenuItemID(1), 0);
  EXPECT_EQ(menu.GetMenuItemID(2), 2);
  char text[32];
  EXPECT_EQ(menu.GetMenuString(2, text, sizeof text), 4);
  EXPECT_STREQ(text, "Open");
  EXPECT_EQ(menu.GetMenuString(1, text, 7), 6);
  EXPECT_STREQ(text, "Device");
  EXPECT_EQ(menu.GetDefaultItem(), -1);
  EXPECT_TRUE(menu.SetDefaultItem(1));
  EXPECT_EQ(menu.GetDefaultItem(), 1);
  EXPECT_TRUE(menu.DestroyMenu());
  EXPECT_EQ(menu.GetSafeHmenu(), 0u);
}

}  // namespace
