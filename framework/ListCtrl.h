// CListCtrl: the common list view, with MFC's names; a thin forward of each
// LVM_ message in the win32 backend, an in-memory list in the headless one
// (see framework/headless/Windows.h for its geometry and its user).
#pragma once
#include <stddef.h>
#include <stdint.h>

#include "framework/Wnd.h"

class CImageList;

// LVM_SORTITEMS's compare function: negative when the row with item data
// lParam1 goes first, positive when it goes after, 0 when equal.
typedef int (*ListCompareFunction)(intptr_t lParam1, intptr_t lParam2,
                                   intptr_t data);

// LVHITTESTINFO.
struct ListHitTestInfo {
  CPoint point;        // client coordinates, in
  unsigned flags = 0;  // LVHT_..., out
  int item = -1;       // out
  int subItem = 0;     // out
};

class CListCtrl : public CWnd {
 public:
  CListCtrl();
  // The window is destroyed with the object if it still exists.
  ~CListCtrl() override;

  // A child list view (WC_LISTVIEW) with `style` (WS_CHILD is added).
  bool Create(uint32_t style, const CRect& rect, CWnd* parent, unsigned id);
  // Sets the list view's class name before the base's checks.
  bool PreCreateWindow(CreateStruct& cs) override;

  uint32_t GetExtendedStyle() const;
  // Replaces the extended list-view style; the previous style.
  uint32_t SetExtendedStyle(uint32_t exStyle);

  // Columns. InsertColumn returns the new column's position or -1.
  int InsertColumn(int column, const char* heading, int format = 0,
                   int width = -1, int subItem = -1);
  // False when the control refuses: list controls before comctl32 6 never
  // delete column 0.
  bool DeleteColumn(int column);
  // Sets an existing column's heading, format and width.
  bool SetColumn(int column, const char* heading, int format, int width);
  bool SetColumnWidth(int column, int width);
  int GetColumnWidth(int column) const;
  // The width `text` takes in the control's font, in pixels.
  int GetStringWidth(const char* text) const;
  // The column count (from the header control).
  int GetColumnCount() const;

  // Rows. InsertItem returns the new row's index or -1; `image` -1 for
  // none.
  int InsertItem(int item, const char* text, int image = -1);
  bool SetItemText(int item, int subItem, const char* text);
  // Copies the text into `buffer` (always terminated): its length.
  int GetItemText(int item, int subItem, char* buffer, int size) const;
  bool SetItemData(int item, intptr_t data);
  intptr_t GetItemData(int item) const;
  int GetItemCount() const;
  bool DeleteItem(int item);
  bool DeleteAllItems();
  // The image of a row, -1 for none.
  int GetItemImage(int item) const;

  // State bits LVIS_...; SetItemState with item -1 sets every row.
  unsigned GetItemState(int item, unsigned mask) const;
  bool SetItemState(int item, unsigned state, unsigned mask);
  // The next row after `start` (-1: from the first) with the LVNI_ flags.
  int GetNextItem(int start, unsigned flags) const;
  unsigned GetSelectedCount() const;

  // The row whose item data is `data` (LVFI_PARAM), searching from the
  // row after `start`; -1 when none.
  int FindItem(intptr_t data, int start = -1) const;
  bool SortItems(ListCompareFunction compare, intptr_t data);

  int HitTest(ListHitTestInfo* info) const;
  int HitTest(CPoint point, unsigned* flags = nullptr) const;
  // LVIR_BOUNDS, LVIR_ICON, LVIR_LABEL rectangle of a row, client
  // coordinates.
  bool GetItemRect(int item, CRect* rect, unsigned code) const;
  int GetTopIndex() const;
  bool EnsureVisible(int item, bool partialOk);
  // LVM_GETITEMSPACING: the spacing in the low word (horizontal) and the
  // high word (vertical).
  uint32_t GetItemSpacing(bool smallIcons) const;

  // The list view's image list of a kind (LVSIL_SMALL ...) as a handle;
  // 0 for none. SetImageList returns the previous one. The control does
  // not own the list (no LVS_SHAREIMAGELISTS handling here).
  uintptr_t SetImageList(CImageList* list, int kind);
  uintptr_t GetImageList(int kind) const;

  // LVM_CREATEDRAGIMAGE: an image list with a row's drag picture and the
  // picture's upper-left corner; the caller destroys it. Not all backends
  // can draw: headless makes a list of one image of the row's size.
  bool CreateDragImage(int item, CPoint* upperLeft, CImageList* image);
};
