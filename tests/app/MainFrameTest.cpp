// Kromva32 starting on a simulated machine over the headless framework:
// the frame with its bars and list, command routing, the letter bar's
// click and drag, the bar layout kept across runs, the About box.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/Menu.h"
#include "framework/WindowCodes.h"
#include "framework/headless/Dialogs.h"
#include "framework/headless/Windows.h"
#include "platform/Codes.h"
#include "platform/RegistryKey.h"
#include "shell/AboutDialog.h"
#include "shell/PelmoraApp.h"
#include "tests/support/MachineTest.h"

namespace {

using headless::Windows;

// The program's resources as the headless backend serves them: dialogs,
// strings and toolbars from the script, bitmaps from its folder.
void LoadProgramResources() {
  headless::Resources resources;
  std::string error;
  ASSERT_TRUE(headless::ParseResourceScript(KROMVA32_RC, &resources, &error))
      << error;
  headless::SetResources(resources);
  const std::string rc = KROMVA32_RC;
  headless::SetResourceFolder(rc.substr(0, rc.rfind('/')));
}

class MainFrameTest : public MachineTest {
 protected:
  void SetUp() override {
    LoadProgramResources();
    headless::DialogUser::Get().Reset();
    Boot("drivelist");
  }
  void TearDown() override {
    app.reset();
    EXPECT_TRUE(headless::DialogUser::Get().Done());
    EXPECT_TRUE(Windows::Get().MenusDone());
    Windows::Get().Reset();
    MachineTest::TearDown();
  }

  // Starts the program as its entry would, up to the message loop.
  bool Start() {
    // The splash, shown modeless while the table is built.
    app = std::make_unique<PelmoraApp>();
    const bool started = app->InitInstance();
    Windows::Get().PumpMessages();
    return started;
  }
  CMainFrame& Frame() { return *app->frame; }
  DriveListView& View() { return app->frame->view; }

  std::string StatusText() {
    char text[128];
    Frame().statusBar.GetPaneText(0, text, sizeof text);
    return text;
  }
  void Command(unsigned id) {
    Frame().SendMessage(WM_COMMAND, id, 0);
    Windows::Get().PumpMessages();
  }
  bool Checked(unsigned id) {
    CCmdUI ui(id);
    EXPECT_TRUE(Frame().OnCmdMsg(id, CN_UPDATE_COMMAND_UI, &ui));
    return ui.check != 0;
  }
  std::string NewTextOf(char letter) {
    char text[16];
    View().GetItemText(View().FindItem(letter - 'A'),
                       View().columnPosition[columnNew], text, sizeof text);
    return text;
  }
  void SelectRow(char letter) {
    headless::ClickRow(&View(), View().FindItem(letter - 'A'));
    Windows::Get().PumpMessages();
  }

  std::unique_ptr<PelmoraApp> app;
};

TEST_F(MainFrameTest, StartUpBuildsTheFrameAroundTheListAndFitsIt) {
  ASSERT_TRUE(Start());
  char folder[260];
  platform::kernel().GetCurrentDirectoryA(sizeof folder, folder);
  EXPECT_STREQ(folder, "C:\\Pelmora");
  EXPECT_EQ(Windows::Get().commonControlsInitialised, 1);
  EXPECT_EQ(app->options.saveBy, 0);
  EXPECT_EQ(app->m_pMainWnd, &Frame());

  char title[64];
  Frame().GetWindowText(title, sizeof title);
  EXPECT_STREQ(title, "Pelmora");
  EXPECT_EQ(View().GetItemCount(), 6);
  EXPECT_EQ(Frame().toolBar.GetCount(), 15);
  EXPECT_EQ(Frame().letterBar.GetCount(), 26);
  EXPECT_EQ(Frame().letterBar.GetItemID(12), 32783u);  // M
  EXPECT_EQ(Frame().letterBar.targetView, &View());
  EXPECT_EQ(StatusText(), "Ready");
  // The letter bar in its own row below the main toolbar, the list below
  // both, the status bar at the bottom.
  CRect tool, letters, list, status;
  Frame().toolBar.GetWindowRect(&tool);
  Frame().letterBar.GetWindowRect(&letters);
  View().GetWindowRect(&list);
  Frame().statusBar.GetWindowRect(&status);
  EXPECT_EQ(letters.top, tool.bottom);
  EXPECT_EQ(list.top, letters.bottom);
  EXPECT_EQ(status.top, list.bottom);

  // The splash was up during the creation and is gone.
  const std::vector<headless::ShownDialog>& shown =
      headless::DialogUser::Get().Shown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].templateId, 143);
  EXPECT_TRUE(shown[0].modeless);
  EXPECT_TRUE(shown[0].ended);
  EXPECT_EQ(Windows::Get().foreground, Frame().GetSafeHwnd());

  // Shown normal, as the list's rows say.
  WindowPlacement placement;
  Frame().GetWindowPlacement(&placement);
  EXPECT_EQ(placement.showCommand, SW_SHOWNORMAL);
  EXPECT_TRUE(Frame().IsWindowVisible());
  EXPECT_GT(placement.normal.left, 0);
  EXPECT_LT(placement.normal.right, headless::kScreenWidth);
}

TEST_F(MainFrameTest, StartedElsewhereItStillFindsItsDriverBesideIt) {
  ASSERT_TRUE(platform::kernel().SetCurrentDirectoryA("C:\\WINDOWS"));
  ASSERT_TRUE(Start());
  EXPECT_TRUE(View().table.driverLink.isDriverOpen());
}

TEST_F(MainFrameTest, CommandsReachTheListFirstWhereverTheFocusIs) {
  ASSERT_TRUE(Start());
  SelectRow('G');
  Frame().SetFocus();
  Command(ID_LETTER_A + ('Y' - 'A'));
  EXPECT_EQ(NewTextOf('G'), "Y:");
  // The idle update disables the letters in use.
  Frame().OnIdleUpdate();
  EXPECT_FALSE(Frame().letterBar.IsButtonEnabled(ID_LETTER_A + ('Y' - 'A')));
  EXPECT_TRUE(Frame().letterBar.IsButtonEnabled(ID_LETTER_A + ('G' - 'A')));
  EXPECT_TRUE(Frame().toolBar.IsButtonEnabled(ID_EDIT_CLEAR));
}

TEST_F(MainFrameTest, MenusAskTheUpdateHandlersAndShowThePrompts) {
  ASSERT_TRUE(Start());
  SelectRow('G');
  CMenu view;
  ASSERT_TRUE(view.CreatePopupMenu());
  view.AppendMenu(MF_STRING, ID_VIEW_TOOLBAR, "&Toolbar");
  view.AppendMenu(MF_STRING, ID_VIEW_LETTER_BAR, "&Letter Bar");
  view.AppendMenu(MF_SEPARATOR);
  view.AppendMenu(MF_STRING, ID_VIEW_REFRESH, "&Refresh");
  // G: has a device node; nobody handles the last one.
  view.AppendMenu(MF_STRING, 32813, "&Device Properties");
  view.AppendMenu(MF_STRING, 40000, "Unhandled");
  Command(ID_VIEW_TOOLBAR);
  Frame().SendMessage(WM_INITMENUPOPUP, view.GetSafeHmenu(), 2);
  EXPECT_EQ(view.GetMenuState(ID_VIEW_TOOLBAR) & MF_CHECKED, 0);
  EXPECT_EQ(view.GetMenuState(ID_VIEW_LETTER_BAR) & MF_CHECKED, MF_CHECKED);
  EXPECT_EQ(view.GetMenuState(ID_VIEW_REFRESH) & MF_GRAYED, 0);
  EXPECT_EQ(view.GetMenuState(32813) & MF_GRAYED, 0);
  EXPECT_EQ(view.GetMenuState(40000) & MF_GRAYED, MF_GRAYED);
  EXPECT_FALSE(Frame().toolBar.IsVisible());

  // The highlighted entry's prompt, up to the line break; "Ready" when the
  // menu closes.
  Frame().SendMessage(WM_MENUSELECT, ID_VIEW_REFRESH,
                      static_cast<intptr_t>(view.GetSafeHmenu()));
  EXPECT_EQ(StatusText(), "Refresh drive information");
  Frame().SendMessage(WM_MENUSELECT, 0xFFFF0000u, 0);
  EXPECT_EQ(StatusText(), "Ready");
}

TEST_F(MainFrameTest, LetterButtonClickAssignsAndTheFifthMoveStartsADrag) {
  ASSERT_TRUE(Start());
  SelectRow('G');
  Frame().OnIdleUpdate();
  LetterBar& bar = Frame().letterBar;
  // Four moves and a release: a click.
  headless::PressToolButton(&bar, 'X' - 'A');
  EXPECT_EQ(bar.dragArmed, 1);
  for (int i = 0; i < 4; ++i) headless::MoveMouse(&bar, CPoint(10 + i, 40));
  headless::ReleaseToolButton(&bar);
  EXPECT_EQ(bar.dragArmed, 0);
  EXPECT_EQ(NewTextOf('G'), "X:");
  EXPECT_FALSE(View().dragging);

  // The fifth move hands a drag of W over to the list; the release that
  // ends the button's press issues W, which the list drops.
  Frame().OnIdleUpdate();
  headless::PressToolButton(&bar, 'W' - 'A');
  for (int i = 0; i < 5; ++i) headless::MoveMouse(&bar, CPoint(10 + i, 40));
  EXPECT_EQ(bar.dragArmed, 0);
  EXPECT_TRUE(View().dragging);
  EXPECT_EQ(View().dragLetter, 'W');
  EXPECT_EQ(View().hotSpot, CPoint(16, 8));
  EXPECT_FALSE(View().ignoreNextLetterCommand);
  EXPECT_EQ(NewTextOf('G'), "X:");
  EXPECT_EQ(CWnd::GetCapture(), &View());
  EXPECT_LT(Windows::Get().cursorCount, 0);
  ASSERT_FALSE(Windows::Get().dragCalls.empty());
  EXPECT_EQ(Windows::Get().dragCalls[0].name, "BeginDrag");
  EXPECT_EQ(Windows::Get().dragCalls[0].list,
            View().noDropImages->GetSafeHandle());
  // Dropped on C: the C drive warning is asked (the Windows drive).
  user().Answer(IDNO);
  const CPoint onC = headless::RowPoint(View().FindItem('C' - 'A'));
  headless::MoveMouse(&View(), onC);
  headless::ReleaseButton(&View(), onC);
  EXPECT_FALSE(View().dragging);
  EXPECT_EQ(Windows::Get().cursorCount, 0);
}

TEST_F(MainFrameTest, DisabledLetterButtonStartsNothing) {
  ASSERT_TRUE(Start());
  SelectRow('G');
  Frame().OnIdleUpdate();
  LetterBar& bar = Frame().letterBar;
  ASSERT_FALSE(bar.IsButtonEnabled(ID_LETTER_A + ('C' - 'A')));
  headless::PressToolButton(&bar, 'C' - 'A');
  for (int i = 0; i < 6; ++i) headless::MoveMouse(&bar, CPoint(10, 40));
  EXPECT_EQ(bar.dragArmed, 0);
  EXPECT_FALSE(View().dragging);
  EXPECT_EQ(NewTextOf('G'), "G:");
}

TEST_F(MainFrameTest, HiddenLetterBarStaysHiddenAtTheNextStart) {
  ASSERT_TRUE(Start());
  EXPECT_TRUE(Checked(ID_VIEW_LETTER_BAR));
  Command(ID_VIEW_LETTER_BAR);
  EXPECT_FALSE(Frame().letterBar.IsVisible());
  EXPECT_FALSE(Checked(ID_VIEW_LETTER_BAR));
  // Closing is allowed: the layout is saved, the frame goes, the loop
  // ends.
  Frame().SendMessage(WM_CLOSE);
  EXPECT_EQ(Frame().GetSafeHwnd(), 0u);
  EXPECT_TRUE(Windows::Get().quitPosted);
  EXPECT_TRUE(machine().RegistryKeyExists(
      "HKEY_CURRENT_USER\\Software\\Ardentol\\Pelmora\\BarState"));
  app->ExitInstance();
  app.reset();
  headless::DialogUser::Get().Reset();

  Windows::Get().Reset();
  ASSERT_TRUE(Start());
  EXPECT_FALSE(Frame().letterBar.IsVisible());
  EXPECT_TRUE(Frame().toolBar.IsVisible());
  EXPECT_FALSE(Checked(ID_VIEW_LETTER_BAR));
  Command(ID_VIEW_LETTER_BAR);
  EXPECT_TRUE(Frame().letterBar.IsVisible());
}

TEST_F(MainFrameTest, AboutBoxClosesOnAnyPressOrWhenItLosesTheMouse) {
  ASSERT_TRUE(Start());
  headless::DialogUser::Get().Expect(
      143, {headless::PressEscape(), headless::RightMouseDown()});
  Command(ID_APP_ABOUT);
  const headless::ShownDialog& about =
      headless::DialogUser::Get().Shown().back();
  EXPECT_FALSE(about.modeless);
  EXPECT_EQ(about.result, IDCANCEL);
  EXPECT_EQ(about.ignoredActs, (std::vector<std::string>{"press Esc"}));
  EXPECT_EQ(about.fonts.size(), 2u);
  headless::DialogUser::Get().Expect(143, {headless::CaptureLoss()});
  Command(ID_APP_ABOUT);
  EXPECT_EQ(headless::DialogUser::Get().Shown().back().result, IDCANCEL);
}

TEST_F(MainFrameTest, AboutBoxIsBlueOnCyanInTimesNewRoman) {
  AboutDialog about;
  ASSERT_TRUE(about.Create(0));
  EXPECT_EQ(about.titleFont.tenths, 200);
  EXPECT_STREQ(about.titleFont.face, "Times New Roman");
  EXPECT_EQ(about.noticeFont.tenths, 160);
  EXPECT_EQ(about.background.color, RGB(0, 255, 255));
  intptr_t brush = 0;
  ASSERT_TRUE(about.OnMessage(WM_CTLCOLORSTATIC, 0x77,
                              static_cast<intptr_t>(about.GetDlgItem(1036)),
                              &brush));
  EXPECT_EQ(brush, static_cast<intptr_t>(about.background.GetSafeHandle()));
  EXPECT_EQ(headless::ColorsOf(0x77).text, RGB(0, 0, 255));
  EXPECT_EQ(headless::ColorsOf(0x77).background, RGB(0, 255, 255));
  // The dialog's own background gets no text colour.
  ASSERT_TRUE(about.OnMessage(WM_CTLCOLORDLG, 0x78,
                              static_cast<intptr_t>(about.GetSafeHwnd()),
                              &brush));
  EXPECT_FALSE(headless::ColorsOf(0x78).textSet);
  EXPECT_TRUE(about.DestroyWindow());
}

TEST_F(MainFrameTest, AListThatCannotBeBuiltEndsTheStartWithoutAWindow) {
  faults().Fail("EnumObjects", E_FAIL);
  user().Expect("Pelmora", "Error creating main window", MB_ICONERROR | MB_OK,
                IDOK);
  EXPECT_FALSE(Start());
  EXPECT_EQ(Frame().GetSafeHwnd(), 0u);
  EXPECT_EQ(Windows::Get().debugOutput,
            (std::vector<std::string>{"Error constructing main frame."}));
  // The splash went with the failed creation.
  ASSERT_EQ(headless::DialogUser::Get().Shown().size(), 1u);
  EXPECT_TRUE(headless::DialogUser::Get().Shown()[0].ended);
}

}  // namespace

// The bars on every side of the frame, floating, moved by their grippers,
// and their places kept across runs.
class BarDockingTest : public MainFrameTest {
 protected:
  CRect RectOf(CWnd& window) {
    CRect rect;
    window.GetWindowRect(&rect);
    return rect;
  }
  CRect ClientOnScreen() {
    CRect client;
    Frame().GetClientRect(&client);
    CPoint origin(0, 0);
    Frame().ClientToScreen(&origin);
    return CRect(origin.x, origin.y, origin.x + client.Width(),
                 origin.y + client.Height());
  }
  // A press on the bar's gripper at a screen point, the mouse moved to
  // `to` (screen) and released there, as the system reports them.
  static intptr_t Pack(CPoint p) {
    return static_cast<intptr_t>(
        (static_cast<uint32_t>(static_cast<uint16_t>(p.y)) << 16) |
        static_cast<uint16_t>(p.x));
  }
  void PressGripper(CControlBar& bar) {
    const CRect window = RectOf(bar);
    const CPoint at(window.left + 4, window.top + 4);
    ASSERT_EQ(bar.SendMessage(WM_NCHITTEST, 0, Pack(at)), HTCAPTION);
    bar.SendMessage(WM_NCLBUTTONDOWN, HTCAPTION, Pack(at));
  }
  void MoveTo(CControlBar& bar, CPoint screen) {
    bar.ScreenToClient(&screen);
    bar.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, Pack(screen));
  }
  void ReleaseAt(CControlBar& bar, CPoint screen) {
    bar.ScreenToClient(&screen);
    bar.SendMessage(WM_LBUTTONUP, 0, Pack(screen));
  }
  void DragGripper(CControlBar& bar, CPoint to) {
    PressGripper(bar);
    MoveTo(bar, CPoint(to.x - 20, to.y - 20));
    MoveTo(bar, to);
    ReleaseAt(bar, to);
  }
  // Every outline drawn while dragging was taken away again.
  void ExpectOutlinesErased() {
    const std::vector<CRect>& drawn = Windows::Get().invertedRects;
    EXPECT_EQ(drawn.size() % 2, 0u);
    for (size_t i = 0; i + 1 < drawn.size(); i += 2)
      EXPECT_TRUE(drawn[i] == drawn[i + 1]) << "outline " << i;
  }
};

TEST_F(BarDockingTest, BarsDockOnEverySideAndTheListTakesWhatTheyLeave) {
  ASSERT_TRUE(Start());
  LetterBar& letters = Frame().letterBar;
  CToolBar& tool = Frame().toolBar;
  const CRect client = ClientOnScreen();

  Frame().DockControlBar(&letters, CBRS_ALIGN_LEFT, 0);
  CRect l = RectOf(letters), t = RectOf(tool), v = RectOf(View()),
        s = RectOf(Frame().statusBar);
  EXPECT_EQ(l.left, client.left);
  EXPECT_EQ(l.top, t.bottom);
  EXPECT_EQ(l.bottom, s.top);
  EXPECT_EQ(v.left, l.right);
  EXPECT_EQ(v.top, t.bottom);
  // The letters in as few columns as hold all 26 in the column's height.
  const int perColumn = (l.Height() - CControlBar::gripperSize - 4) / 22;
  const int columns = (l.Width() - 4) / 23;
  EXPECT_GE(columns * perColumn, 26);
  EXPECT_LT((columns - 1) * perColumn, 26);
  EXPECT_TRUE(Windows::Get().Find(letters.GetSafeHwnd())->tool->vertical);
  EXPECT_EQ(letters.GetGripperRect(),
            CRect(0, 0, l.Width(), CControlBar::gripperSize));

  Frame().DockControlBar(&tool, CBRS_ALIGN_RIGHT, 0);
  t = RectOf(tool);
  v = RectOf(View());
  l = RectOf(letters);
  EXPECT_EQ(t.right, client.right);
  EXPECT_EQ(l.top, client.top);
  EXPECT_EQ(v.top, client.top);
  EXPECT_EQ(v.right, t.left);
  EXPECT_EQ(v.left, l.right);

  // Back on top, in a row again; the toolbar stays on the right.
  Frame().DockControlBar(&letters, CBRS_ALIGN_TOP, 0);
  l = RectOf(letters);
  EXPECT_EQ(l.left, client.left);
  EXPECT_EQ(l.right, client.right);
  EXPECT_EQ(l.top, client.top);
  EXPECT_FALSE(Windows::Get().Find(letters.GetSafeHwnd())->tool->vertical);
  EXPECT_EQ(RectOf(tool).top, l.bottom);
  EXPECT_EQ(RectOf(View()).top, l.bottom);
}

TEST_F(BarDockingTest, ADropDocksOnTheEdgeNearestTheMouseOrFloats) {
  ASSERT_TRUE(Start());
  const CRect c = ClientOnScreen();
  const CRect t = RectOf(Frame().toolBar), l = RectOf(Frame().letterBar);
  const int middleY = (c.top + c.bottom) / 2, middleX = (c.left + c.right) / 2;
  struct Case {
    const char* where;
    CPoint at;
    uint32_t allowed;
    uint32_t side;
    int row;
  } cases[] = {
      {"above the toolbar's middle",
       {middleX, t.top + 2},
       CBRS_ALIGN_ANY,
       CBRS_ALIGN_TOP,
       0},
      {"between the bars",
       {middleX, t.bottom + 1},
       CBRS_ALIGN_ANY,
       CBRS_ALIGN_TOP,
       1},
      {"just below the letter bar",
       {middleX, l.bottom + 4},
       CBRS_ALIGN_ANY,
       CBRS_ALIGN_TOP,
       2},
      {"on the menu bar",
       {middleX, c.top - 6},
       CBRS_ALIGN_ANY,
       CBRS_ALIGN_TOP,
       0},
      {"at the left edge",
       {c.left + 3, middleY},
       CBRS_ALIGN_ANY,
       CBRS_ALIGN_LEFT,
       0},
      {"at the right edge",
       {c.right - 3, middleY},
       CBRS_ALIGN_ANY,
       CBRS_ALIGN_RIGHT,
       0},
      {"above the status bar",
       {middleX, RectOf(Frame().statusBar).top - 3},
       CBRS_ALIGN_ANY,
       CBRS_ALIGN_BOTTOM,
       1},
      {"in the list's middle", {middleX, middleY}, CBRS_ALIGN_ANY, 0, 0},
      {"far outside", {c.right + 200, middleY}, CBRS_ALIGN_ANY, 0, 0},
      {"at the left edge, where it may not go",
       {c.left + 3, middleY},
       CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM,
       0,
       0},
  };
  for (const Case& k : cases) {
    int row = -1;
    EXPECT_EQ(Frame().DockSideAt(k.at, k.allowed, nullptr, &row), k.side)
        << k.where;
    if (k.side != 0) {
      EXPECT_EQ(row, k.row) << k.where;
    }
  }
}

TEST_F(BarDockingTest, TheGripperFloatsTheBarWhoseFrameClosesAndDocksIt) {
  ASSERT_TRUE(Start());
  LetterBar& letters = Frame().letterBar;
  const CRect c = ClientOnScreen();
  const CRect toolRect = RectOf(Frame().toolBar);
  DragGripper(letters, CPoint((c.left + c.right) / 2, (c.top + c.bottom) / 2));
  EXPECT_FALSE(Windows::Get().invertedRects.empty());
  ExpectOutlinesErased();
  ASSERT_TRUE(letters.IsFloating());
  EXPECT_EQ(CWnd::GetCapture(), nullptr);
  CMiniDockFrameWnd* floating = letters.GetFloatingFrame();
  const headless::WindowRecord* record =
      Windows::Get().Find(floating->GetSafeHwnd());
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->owner, Frame().GetSafeHwnd());
  EXPECT_EQ(record->title, "Letter Bar");
  EXPECT_TRUE(record->visible);
  EXPECT_NE(record->exStyle & WS_EX_TOOLWINDOW, 0u);
  EXPECT_EQ(letters.GetParent(), floating);
  EXPECT_EQ(letters.GetGripperRect(), CRect());
  // The list takes the letter bar's row.
  EXPECT_EQ(RectOf(View()).top, toolRect.bottom);

  // A letter clicked on the floating bar still reaches the list.
  SelectRow('G');
  Frame().OnIdleUpdate();
  const int n = 'N' - 'A';
  ASSERT_TRUE(letters.IsButtonEnabled(ID_LETTER_A + n));
  headless::PressToolButton(&letters, n);
  headless::ReleaseToolButton(&letters);
  Windows::Get().PumpMessages();
  EXPECT_EQ(NewTextOf('G'), "N:");

  // Its close box hides the bar; the View menu follows and shows it again
  // where it floated.
  floating->SendMessage(WM_CLOSE);
  EXPECT_FALSE(letters.IsVisible());
  EXPECT_FALSE(Windows::Get().Find(floating->GetSafeHwnd())->visible);
  EXPECT_FALSE(Checked(ID_VIEW_LETTER_BAR));
  Command(ID_VIEW_LETTER_BAR);
  EXPECT_TRUE(letters.IsVisible());
  EXPECT_TRUE(Windows::Get().Find(floating->GetSafeHwnd())->visible);
  EXPECT_TRUE(Checked(ID_VIEW_LETTER_BAR));

  // A double click on its caption docks it where it was, and the floating
  // frame goes.
  floating->SendMessage(WM_NCLBUTTONDBLCLK, HTCAPTION, 0);
  EXPECT_FALSE(letters.IsFloating());
  EXPECT_EQ(floating->GetSafeHwnd(), 0u);
  EXPECT_EQ(letters.GetParent(), &Frame());
  EXPECT_EQ(RectOf(letters).top, toolRect.bottom);
  EXPECT_EQ(RectOf(View()).top, RectOf(letters).bottom);
}

TEST_F(BarDockingTest, APressThatDoesNotMoveOrADragCutShortMovesNothing) {
  ASSERT_TRUE(Start());
  LetterBar& letters = Frame().letterBar;
  const CRect before = RectOf(letters);
  const CRect c = ClientOnScreen();
  const CPoint middle((c.left + c.right) / 2, (c.top + c.bottom) / 2);

  PressGripper(letters);
  MoveTo(letters, CPoint(before.left + 6, before.top + 5));
  ReleaseAt(letters, CPoint(before.left + 6, before.top + 5));
  EXPECT_TRUE(Windows::Get().invertedRects.empty());

  // Escape, and the mouse taken by another window, end the drag where it
  // is.
  View().SetFocus();
  PressGripper(letters);
  EXPECT_EQ(CWnd::GetFocus(), &letters);
  MoveTo(letters, middle);
  letters.SendMessage(WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_FALSE(letters.IsTracking());
  EXPECT_EQ(CWnd::GetFocus(), &View());
  ReleaseAt(letters, middle);
  PressGripper(letters);
  MoveTo(letters, middle);
  View().SetCapture();
  EXPECT_FALSE(letters.IsTracking());
  CWnd::ReleaseCapture();
  ReleaseAt(letters, middle);

  EXPECT_FALSE(letters.IsFloating());
  EXPECT_TRUE(RectOf(letters) == before);
  EXPECT_EQ(Windows::Get().invertedRects.size(), 4u);
  ExpectOutlinesErased();
}

TEST_F(BarDockingTest, SidesAndFloatingPlacesSurviveARestart) {
  ASSERT_TRUE(Start());
  const CRect c = ClientOnScreen();
  DragGripper(Frame().toolBar, CPoint(c.left + 2, (c.top + c.bottom) / 2));
  EXPECT_EQ(Frame().toolBar.dockSide, CBRS_ALIGN_LEFT);
  Frame().FloatControlBar(&Frame().letterBar, CPoint(300, 200));
  Frame().SendMessage(WM_CLOSE);
  app->ExitInstance();
  app.reset();
  headless::DialogUser::Get().Reset();
  Windows::Get().Reset();

  ASSERT_TRUE(Start());
  EXPECT_EQ(Frame().toolBar.dockSide, CBRS_ALIGN_LEFT);
  ASSERT_TRUE(Frame().letterBar.IsFloating());
  EXPECT_TRUE(Frame().letterBar.IsVisible());
  EXPECT_EQ(Frame().letterBar.lastDockSide, CBRS_ALIGN_TOP);
  CRect floating;
  Frame().letterBar.GetFloatingFrame()->GetWindowRect(&floating);
  EXPECT_EQ(floating.left, 300);
  EXPECT_EQ(floating.top, 200);
  EXPECT_EQ(RectOf(View()).left, RectOf(Frame().toolBar).right);

  // A floating place off this screen is brought back onto it.
  Frame().FloatControlBar(&Frame().letterBar, CPoint(5000, -300));
  Frame().letterBar.GetFloatingFrame()->GetWindowRect(&floating);
  EXPECT_EQ(floating.right, headless::kScreenWidth);
  EXPECT_EQ(floating.top, 0);
}

TEST_F(BarDockingTest, AnOlderLayoutIsReadAndADamagedOneIgnored) {
  // The first layouts' records: id, visible, side (1: bottom), row.
  const uint8_t older[] = {1,    3,    0x00, 0xE8, 1, 1, 1,  // toolbar
                           130,  0,    0,    0,    0,        // letter bar
                           0x01, 0xE8, 1,    1,    0};       // status bar
  RegistryKey key;
  ASSERT_EQ(
      key.Create(HKEY_CURRENT_USER, "Software\\Ardentol\\Pelmora\\BarState"),
      0);
  ASSERT_EQ(key.SetValue("Layout", REG_BINARY, older, sizeof older), 0);
  ASSERT_TRUE(Start());
  EXPECT_EQ(Frame().toolBar.dockSide, CBRS_ALIGN_BOTTOM);
  EXPECT_FALSE(Frame().letterBar.IsVisible());
  EXPECT_EQ(RectOf(Frame().toolBar).bottom, RectOf(Frame().statusBar).top);
  Frame().SendMessage(WM_CLOSE);
  app->ExitInstance();
  app.reset();
  headless::DialogUser::Get().Reset();
  Windows::Get().Reset();

  const uint8_t damaged[] = {2, 3, 0x00, 0xE8, 1, 2};
  ASSERT_EQ(key.SetValue("Layout", REG_BINARY, damaged, sizeof damaged), 0);
  ASSERT_TRUE(Start());
  EXPECT_EQ(Frame().toolBar.dockSide, CBRS_ALIGN_TOP);
  EXPECT_TRUE(Frame().letterBar.IsVisible());
}
