// What only the headless backend has: the user model of the list view, the
// menu user, the drag-image log and the world's bookkeeping.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/ImageList.h"
#include "framework/ListCtrl.h"
#include "framework/Menu.h"
#include "framework/WindowCodes.h"
#include "framework/headless/Windows.h"
#include "tests/framework/FrameworkWorld.h"

namespace {

using headless::Windows;

class HeadlessTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(frameworkworld::CreateTopWindow(&top, "Top"));
    ASSERT_TRUE(
        list.Create(WS_VISIBLE | LVS_REPORT, CRect(0, 0, 300, 200), &top, 1));
    list.InsertColumn(0, "Name", LVCFMT_LEFT, 100, 0);
    for (int i = 0; i < 4; ++i) {
      list.InsertItem(i, std::to_string(i).c_str());
      list.SetItemData(i, 10 + i);
    }
  }

  std::vector<int> Selected() {
    std::vector<int> rows;
    for (int r = list.GetNextItem(-1, LVNI_SELECTED); r != -1;
         r = list.GetNextItem(r, LVNI_SELECTED))
      rows.push_back(r);
    return rows;
  }

  CWnd top;
  CListCtrl list;
};

TEST_F(HeadlessTest, ClickSelectsOneRowAndControlClickTogglesAnother) {
  headless::ClickRow(&list, 1);
  EXPECT_EQ(Selected(), (std::vector<int>{1}));
  EXPECT_EQ(list.GetNextItem(-1, LVNI_FOCUSED), 1);
  headless::ClickRow(&list, 3, MK_CONTROL);
  EXPECT_EQ(Selected(), (std::vector<int>{1, 3}));
  EXPECT_EQ(list.GetNextItem(-1, LVNI_FOCUSED), 3);
  headless::ClickRow(&list, 3, MK_CONTROL);
  EXPECT_EQ(Selected(), (std::vector<int>{1}));
  headless::ClickRow(&list, 2);
  EXPECT_EQ(Selected(), (std::vector<int>{2}));
}

TEST_F(HeadlessTest, RowGeometryIsFixed) {
  EXPECT_EQ(list.HitTest(headless::RowPoint(2)), 2);
  EXPECT_EQ(list.HitTest(CPoint(10, headless::kListHeaderHeight - 1)), -1);
  EXPECT_EQ(list.HitTest(CPoint(100, headless::RowPoint(0).y)), -1);
  CRect rect;
  ASSERT_TRUE(list.GetItemRect(1, &rect, LVIR_BOUNDS));
  EXPECT_EQ(rect, CRect(0, headless::kListHeaderHeight + 16, 100,
                        headless::kListHeaderHeight + 32));
  EXPECT_EQ(list.GetStringWidth("abc"), 3 * headless::kCharWidth);
}

TEST_F(HeadlessTest, UnhandledMessagesReachTheDefaultHandling) {
  headless::TypeChar(&list, '1');
  EXPECT_TRUE(headless::Defaulted(&list, WM_CHAR, '1'));
  EXPECT_FALSE(headless::Defaulted(&list, WM_CHAR, '2'));
}

TEST_F(HeadlessTest, MenuUserChoosesAndTheMenuIsRecordedAsShown) {
  CMenu menu;
  ASSERT_TRUE(menu.CreatePopupMenu());
  menu.AppendMenu(MF_STRING, 1, "One");
  menu.AppendMenu(MF_SEPARATOR);
  menu.AppendMenu(MF_STRING, 2, "Two");
  menu.SetDefaultItem(2);
  Windows::Get().ExpectMenuChoice(2);
  EXPECT_EQ(menu.TrackPopupMenu(TPM_RETURNCMD, 5, 6, &top), 2);
  ASSERT_EQ(Windows::Get().shownMenus.size(), 1u);
  const headless::ShownMenu& shown = Windows::Get().shownMenus[0];
  EXPECT_EQ(shown.entries.size(), 3u);
  EXPECT_EQ(shown.entries[1].first, 0u);
  EXPECT_EQ(shown.defaultId, 2);
  EXPECT_EQ(shown.point, CPoint(5, 6));

  // A choice that is not in the menu, and a menu nobody expected, fail.
  std::vector<std::string> failures;
  Windows::Get().SetFailureHandler(
      [&](const std::string& m) { failures.push_back(m); });
  Windows::Get().ExpectMenuChoice(9);
  EXPECT_EQ(menu.TrackPopupMenu(TPM_RETURNCMD, 0, 0, &top), 0);
  EXPECT_EQ(menu.TrackPopupMenu(TPM_RETURNCMD, 0, 0, &top), 0);
  EXPECT_EQ(failures.size(), 2u);
}

TEST_F(HeadlessTest, DragImageCallsAreLoggedInOrder) {
  CImageList drag;
  CPoint corner;
  ASSERT_TRUE(list.CreateDragImage(1, &corner, &drag));
  EXPECT_EQ(corner, CPoint(0, headless::kListHeaderHeight + 16));
  EXPECT_EQ(drag.GetImageCount(), 1);
  ASSERT_TRUE(drag.BeginDrag(0, CPoint(3, 4)));
  CImageList::DragEnter(nullptr, CPoint(50, 60));
  CImageList::DragMove(CPoint(51, 61));
  CImageList::DragLeave(nullptr);
  CImageList::EndDrag();
  std::vector<std::string> names;
  for (const headless::DragCall& c : Windows::Get().dragCalls)
    names.push_back(c.name);
  EXPECT_EQ(names,
            (std::vector<std::string>{"BeginDrag", "DragEnter", "DragMove",
                                      "DragLeave", "EndDrag"}));
  EXPECT_EQ(Windows::Get().dragCalls[0].list, drag.GetSafeHandle());
  EXPECT_EQ(Windows::Get().dragCalls[1].point, CPoint(50, 60));
}

// Records the capture-change and destruction messages it gets.
class Tracker : public CWnd {
 public:
  std::vector<std::string>* log = nullptr;
  std::string name;
  void OnCaptureChanged(CWnd* to) {
    log->push_back(name + " lost capture to " + (to ? "window" : "none"));
  }
  void OnDestroy() { log->push_back(name + " destroy"); }
  void OnNcDestroy() { log->push_back(name + " ncdestroy"); }
  const MessageMap* GetMessageMap() const override {
    static const MessageMapEntry entries[] = {
        Map::CaptureChanged(&Tracker::OnCaptureChanged),
        Map::Void(WM_DESTROY, &Tracker::OnDestroy),
        Map::Void(WM_NCDESTROY, &Tracker::OnNcDestroy), Map::End()};
    static const MessageMap map = {CWnd::GetMessageMap(), entries};
    return &map;
  }
};

TEST(HeadlessWorldTest, CaptureChangesAndDestructionOrderAreAsOnWindows) {
  std::vector<std::string> log;
  Tracker parent, child;
  parent.log = child.log = &log;
  parent.name = "parent";
  child.name = "child";
  ASSERT_TRUE(frameworkworld::CreateTopWindow(&parent, "P"));
  ASSERT_TRUE(child.CreateEx(0, "Child", "", WS_CHILD, CRect(0, 0, 10, 10),
                             &parent, 2));
  child.SetCapture();
  EXPECT_EQ(CWnd::GetCapture(), &child);
  parent.SetCapture();
  CWnd::ReleaseCapture();
  EXPECT_EQ(CWnd::GetCapture(), nullptr);
  parent.DestroyWindow();
  EXPECT_EQ(child.GetSafeHwnd(), 0u);
  EXPECT_EQ(log, (std::vector<std::string>{
                     "child lost capture to window",
                     "parent lost capture to none", "parent destroy",
                     "child destroy", "child ncdestroy", "parent ncdestroy"}));
}

TEST(HeadlessWorldTest, ListViewsOwnCreationCanBeMadeToFail) {
  CWnd top;
  ASSERT_TRUE(frameworkworld::CreateTopWindow(&top, "T"));
  Windows::Get().failNextListCreate = true;
  CListCtrl list;
  EXPECT_FALSE(list.Create(LVS_REPORT, CRect(0, 0, 10, 10), &top, 1));
  EXPECT_EQ(list.GetSafeHwnd(), 0u);
  // Only the next one.
  EXPECT_TRUE(list.Create(LVS_REPORT, CRect(0, 0, 10, 10), &top, 1));
}

}  // namespace
