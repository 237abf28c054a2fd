// The list control's rows, columns, states, notifications and sorting, in
// any world.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/ImageList.h"
#include "framework/ListCtrl.h"
#include "framework/Wnd.h"
#include "tests/framework/FrameworkWorld.h"

namespace {

const uint32_t kVisibleReport = 0x10000001;  // WS_VISIBLE | LVS_REPORT
const unsigned kFocused = 0x0001, kSelected = 0x0002, kDropHilited = 0x0008;
const int kItemChanged = -101;

// A list that logs the state changes reflected to it.
class LoggingList : public CListCtrl {
 public:
  struct Change {
    int item;
    unsigned oldState, newState;
    intptr_t data;
  };
  std::vector<Change> changes;

  intptr_t OnItemChanged(const NmListView& nm) {
    if (nm.changed & 8 /* LVIF_STATE */)
      changes.push_back({nm.item, nm.oldState, nm.newState, nm.lParam});
    return 0;
  }
  const MessageMap* GetMessageMap() const override {
    static const MessageMapEntry entries[] = {
        Map::ListNotify(kItemChanged, &LoggingList::OnItemChanged), Map::End()};
    static const MessageMap map = {CListCtrl::GetMessageMap(), entries};
    return &map;
  }
};

class ListCtrlTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(frameworkworld::CreateTopWindow(&top, "List"));
    ASSERT_TRUE(list.Create(kVisibleReport, CRect(0, 0, 380, 260), &top, 7));
    ASSERT_EQ(list.InsertColumn(0, "New", 0, 40, 0), 0);
    ASSERT_EQ(list.InsertColumn(1, "Old", 0, 40, 1), 1);
    ASSERT_EQ(list.InsertColumn(2, "Label", 0, 80, 2), 2);
  }

  // Rows with item data `data[i]` and texts "<d>", "<d>:", "label <d>".
  void AddRows(const std::vector<int>& data) {
    for (size_t i = 0; i < data.size(); ++i) {
      const std::string d = std::to_string(data[i]);
      const int row = list.InsertItem(static_cast<int>(i), d.c_str());
      ASSERT_EQ(row, static_cast<int>(i));
      ASSERT_TRUE(list.SetItemData(row, data[i]));
      ASSERT_TRUE(list.SetItemText(row, 1, (d + ":").c_str()));
      ASSERT_TRUE(list.SetItemText(row, 2, ("label " + d).c_str()));
    }
  }

  std::string Text(int row, int column) {
    char buffer[64];
    list.GetItemText(row, column, buffer, sizeof buffer);
    return buffer;
  }

  std::vector<intptr_t> DataInRowOrder() {
    std::vector<intptr_t> data;
    for (int r = 0; r < list.GetItemCount(); ++r)
      data.push_back(list.GetItemData(r));
    return data;
  }

  CWnd top;
  LoggingList list;
};

TEST_F(ListCtrlTest, RowsHoldTextsDataAndImages) {
  AddRows({4, 2});
  EXPECT_EQ(list.GetItemCount(), 2);
  EXPECT_EQ(list.GetColumnCount(), 3);
  EXPECT_EQ(Text(0, 0), "4");
  EXPECT_EQ(Text(1, 1), "2:");
  EXPECT_EQ(Text(1, 2), "label 2");
  EXPECT_EQ(list.GetItemData(1), 2);
  EXPECT_EQ(list.GetItemImage(0), -1);
  // A short buffer gets a terminated prefix.
  char small[4];
  EXPECT_EQ(list.GetItemText(0, 2, small, sizeof small), 3);
  EXPECT_STREQ(small, "lab");
  // A row inserted at 0 goes first.
  EXPECT_EQ(list.InsertItem(0, "first"), 0);
  EXPECT_EQ(Text(0, 0), "first");
  EXPECT_EQ(Text(1, 0), "4");
  EXPECT_TRUE(list.DeleteItem(0));
  EXPECT_EQ(list.FindItem(2), 1);
  EXPECT_EQ(list.FindItem(2, 1), -1);
  EXPECT_EQ(list.FindItem(9), -1);
  EXPECT_TRUE(list.DeleteAllItems());
  EXPECT_EQ(list.GetItemCount(), 0);
}

TEST_F(ListCtrlTest, ColumnsHaveWidthsAndAreDeletedFromTheLast) {
  EXPECT_EQ(list.GetColumnWidth(2), 80);
  EXPECT_TRUE(list.SetColumnWidth(2, 95));
  EXPECT_EQ(list.GetColumnWidth(2), 95);
  EXPECT_GT(list.GetStringWidth("Compression"), list.GetStringWidth("New"));
  // From the last: older list controls never delete column 0.
  while (list.GetColumnCount() > 1)
    ASSERT_TRUE(list.DeleteColumn(list.GetColumnCount() - 1));
  EXPECT_FALSE(list.DeleteColumn(1));
  ASSERT_TRUE(list.SetColumn(0, "Old", 0, 33));
  EXPECT_EQ(list.GetColumnWidth(0), 33);
}

TEST_F(ListCtrlTest, DeletingAColumnShiftsTheTextsOfTheColumnsAfterIt) {
  AddRows({1});
  ASSERT_TRUE(list.DeleteColumn(1));
  EXPECT_EQ(list.GetColumnCount(), 2);
  EXPECT_EQ(Text(0, 0), "1");
  EXPECT_EQ(Text(0, 1), "label 1");
}

TEST_F(ListCtrlTest, StateChangesAreReflectedToTheListAsItemChanged) {
  AddRows({5, 6, 7});
  list.changes.clear();
  ASSERT_TRUE(list.SetItemState(1, kSelected | kFocused, kSelected | kFocused));
  ASSERT_EQ(list.changes.size(), 1u);
  EXPECT_EQ(list.changes[0].item, 1);
  EXPECT_EQ(list.changes[0].oldState & kSelected, 0u);
  EXPECT_EQ(list.changes[0].newState & (kSelected | kFocused),
            kSelected | kFocused);
  EXPECT_EQ(list.changes[0].data, 6);
  // Setting a state a row already has changes nothing.
  list.changes.clear();
  ASSERT_TRUE(list.SetItemState(1, kSelected, kSelected));
  EXPECT_TRUE(list.changes.empty());

  EXPECT_EQ(list.GetSelectedCount(), 1u);
  EXPECT_EQ(list.GetNextItem(-1, 0x0002 /* LVNI_SELECTED */), 1);
  EXPECT_EQ(list.GetNextItem(-1, 0x0001 /* LVNI_FOCUSED */), 1);
  EXPECT_EQ(list.GetNextItem(1, 0x0002), -1);

  // Focusing another row takes the focus from the first.
  ASSERT_TRUE(list.SetItemState(2, kFocused, kFocused));
  EXPECT_EQ(list.GetItemState(1, kFocused), 0u);
  EXPECT_EQ(list.GetNextItem(-1, 0x0001), 2);

  // Row -1 sets or clears a state on every row.
  ASSERT_TRUE(list.SetItemState(-1, kDropHilited, kDropHilited));
  for (int r = 0; r < 3; ++r)
    EXPECT_EQ(list.GetItemState(r, kDropHilited), kDropHilited) << r;
  ASSERT_TRUE(list.SetItemState(-1, 0, kSelected | kDropHilited));
  EXPECT_EQ(list.GetSelectedCount(), 0u);
  EXPECT_EQ(list.GetItemState(0, kDropHilited), 0u);
}

// Sorts by item data; the direction comes with the call.
int CompareData(intptr_t a, intptr_t b, intptr_t direction) {
  return static_cast<int>(((a > b) - (a < b)) * direction);
}

TEST_F(ListCtrlTest, SortingMovesWholeRowsByTheCompareFunction) {
  AddRows({3, 1, 2});
  ASSERT_TRUE(list.SetItemState(0, kSelected | kFocused, kSelected | kFocused));
  ASSERT_TRUE(list.SortItems(&CompareData, 1));
  EXPECT_EQ(DataInRowOrder(), (std::vector<intptr_t>{1, 2, 3}));
  EXPECT_EQ(Text(2, 2), "label 3");
  // The state moves with its row.
  EXPECT_EQ(list.GetNextItem(-1, 0x0002), 2);
  ASSERT_TRUE(list.SortItems(&CompareData, -1));
  EXPECT_EQ(DataInRowOrder(), (std::vector<intptr_t>{3, 2, 1}));
}

TEST_F(ListCtrlTest, HitTestFindsTheRowUnderAPointOfItsRectangle) {
  AddRows({1, 2, 3});
  CRect bounds;
  ASSERT_TRUE(list.GetItemRect(2, &bounds, 0 /* LVIR_BOUNDS */));
  EXPECT_GT(bounds.Height(), 0);
  const CPoint middle(bounds.left + 5, (bounds.top + bounds.bottom) / 2);
  EXPECT_EQ(list.HitTest(middle), 2);
  CRect first;
  ASSERT_TRUE(list.GetItemRect(0, &first, 0));
  EXPECT_LT(first.top, bounds.top);
  // Below the last row there is none.
  EXPECT_EQ(list.HitTest(CPoint(middle.x, bounds.bottom + 40)), -1);
}

TEST_F(ListCtrlTest, ExtendedStyleAndImageListAreSetAndRead) {
  const uint32_t before = list.GetExtendedStyle();
  list.SetExtendedStyle(before | 0x20 /* LVS_EX_FULLROWSELECT */);
  EXPECT_EQ(list.GetExtendedStyle() & 0x20, 0x20u);
  EXPECT_EQ(list.SetExtendedStyle(before) & 0x20, 0x20u);

  CImageList images;
  ASSERT_TRUE(images.Create(16, 16, 0x0001 /* ILC_MASK */, 4, 4));
  EXPECT_EQ(images.GetImageCount(), 0);
  int cx = 0, cy = 0;
  ASSERT_TRUE(images.GetIconSize(&cx, &cy));
  EXPECT_EQ(cx, 16);
  EXPECT_EQ(list.SetImageList(&images, 1 /* LVSIL_SMALL */), 0u);
  EXPECT_EQ(list.GetImageList(1), images.GetSafeHandle());
  EXPECT_EQ(list.SetImageList(nullptr, 1), images.GetSafeHandle());
  EXPECT_EQ(list.GetImageList(1), 0u);
  EXPECT_TRUE(images.DeleteImageList());
  EXPECT_EQ(images.GetSafeHandle(), 0u);
}

TEST_F(ListCtrlTest, RowsAreTornDownWithTheWindow) {
  AddRows({1, 2});
  EXPECT_TRUE(list.DestroyWindow());
  EXPECT_EQ(list.GetSafeHwnd(), 0u);
  EXPECT_EQ(list.GetItemCount(), 0);
}

}  // namespace
