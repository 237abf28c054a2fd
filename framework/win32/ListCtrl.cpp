// CListCtrl over the common list view: each method fills the message's
// structure and sends one LVM_ message.
#include "framework/ListCtrl.h"

#include <stdlib.h>
#include <string.h>

#include "framework/ImageList.h"
#include "framework/win32/Win32Wnd.h"

namespace {

// Sorting. The control's own sort moves rows while it runs, and a compare
// function that reads the list (FindItem, GetItemText) would see it half
// sorted: Win32 calls the results unpredictable. So the order is found
// first, by a stable merge sort over a copy of the rows' item data, with
// the list untouched; the control then only applies it, each row going to
// its rank.
struct Ranked {
  intptr_t data;
  int rank;
};

struct RankTable {
  const Ranked* entries;  // by data; of equal data, the lowest rank first
  int count;
};

// Stable: `after(a, b)` is true when a must go after b.
template <class T, class After>
void MergeSort(T* items, T* scratch, int count, After after) {
  for (int width = 1; width < count; width *= 2) {
    for (int left = 0; left < count; left += 2 * width) {
      const int middle = left + width < count ? left + width : count;
      const int right = middle + width < count ? middle + width : count;
      int i = left, j = middle, k = left;
      while (i < middle && j < right)
        scratch[k++] = after(items[i], items[j]) ? items[j++] : items[i++];
      while (i < middle) scratch[k++] = items[i++];
      while (j < right) scratch[k++] = items[j++];
    }
    memcpy(items, scratch, count * sizeof(T));
  }
}

int RankOf(const RankTable& table, intptr_t data) {
  int low = 0, high = table.count;
  while (low < high) {
    const int middle = low + (high - low) / 2;
    if (table.entries[middle].data < data)
      low = middle + 1;
    else
      high = middle;
  }
  // Data the table lacks cannot occur: every row's is in it.
  if (low == table.count || table.entries[low].data != data) return table.count;
  return table.entries[low].rank;
}

// LVM_SORTITEMS calls a CALLBACK (stdcall on i686) function.
int CALLBACK ByRank(LPARAM lParam1, LPARAM lParam2, LPARAM table) {
  const RankTable& t = *reinterpret_cast<const RankTable*>(table);
  const int a = RankOf(t, lParam1), b = RankOf(t, lParam2);
  return (a > b) - (a < b);
}

// The item's LVIF_ fields of one row, false when there is no such row.
bool GetItem(HWND list, int item, UINT mask, LVITEMA* lv) {
  memset(lv, 0, sizeof *lv);
  lv->mask = mask;
  lv->iItem = item;
  return SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(lv)) != 0;
}

}  // namespace

CListCtrl::CListCtrl() {}

CListCtrl::~CListCtrl() {}

bool CListCtrl::Create(uint32_t style, const CRect& rect, CWnd* parent,
                       unsigned id) {
  return CreateEx(0, WC_LISTVIEWA, "", style | WS_CHILD, rect, parent, id);
}

bool CListCtrl::PreCreateWindow(CreateStruct& cs) {
  // Loads comctl32 and its classes; once is enough for the process.
  static bool controlsReady = false;
  if (!controlsReady) {
    InitCommonControls();
    controlsReady = true;
  }
  cs.className = WC_LISTVIEWA;
  return CWnd::PreCreateWindow(cs);
}

uint32_t CListCtrl::GetExtendedStyle() const {
  return static_cast<uint32_t>(
      SendMessageA(HwndOf(this), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
}

uint32_t CListCtrl::SetExtendedStyle(uint32_t exStyle) {
  // A mask of 0 replaces every extended style.
  return static_cast<uint32_t>(
      SendMessageA(HwndOf(this), LVM_SETEXTENDEDLISTVIEWSTYLE, 0, exStyle));
}

int CListCtrl::InsertColumn(int column, const char* heading, int format,
                            int width, int subItem) {
  LVCOLUMNA c;
  memset(&c, 0, sizeof c);
  c.mask = LVCF_FMT | LVCF_TEXT;
  c.fmt = format;
  c.pszText = const_cast<char*>(heading != nullptr ? heading : "");
  if (width != -1) {
    c.mask |= LVCF_WIDTH;
    c.cx = width;
  }
  if (subItem != -1) {
    c.mask |= LVCF_SUBITEM;
    c.iSubItem = subItem;
  }
  return static_cast<int>(SendMessageA(HwndOf(this), LVM_INSERTCOLUMNA, column,
                                       reinterpret_cast<LPARAM>(&c)));
}

bool CListCtrl::DeleteColumn(int column) {
  return SendMessageA(HwndOf(this), LVM_DELETECOLUMN, column, 0) != 0;
}

bool CListCtrl::SetColumn(int column, const char* heading, int format,
                          int width) {
  LVCOLUMNA c;
  memset(&c, 0, sizeof c);
  c.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH;
  c.fmt = format;
  c.pszText = const_cast<char*>(heading != nullptr ? heading : "");
  c.cx = width;
  return SendMessageA(HwndOf(this), LVM_SETCOLUMNA, column,
                      reinterpret_cast<LPARAM>(&c)) != 0;
}

bool CListCtrl::SetColumnWidth(int column, int width) {
  return SendMessageA(HwndOf(this), LVM_SETCOLUMNWIDTH, column,
                      MAKELPARAM(width, 0)) != 0;
}

int CListCtrl::GetColumnWidth(int column) const {
  return static_cast<int>(
      SendMessageA(HwndOf(this), LVM_GETCOLUMNWIDTH, column, 0));
}

int CListCtrl::GetStringWidth(const char* text) const {
  return static_cast<int>(SendMessageA(HwndOf(this), LVM_GETSTRINGWIDTHA, 0,
                                       reinterpret_cast<LPARAM>(text)));
}

int CListCtrl::GetColumnCount() const {
  HWND header =
      reinterpret_cast<HWND>(SendMessageA(HwndOf(this), LVM_GETHEADER, 0, 0));
  if (header == nullptr) return 0;
  const LRESULT count = SendMessageA(header, HDM_GETITEMCOUNT, 0, 0);
  return count > 0 ? static_cast<int>(count) : 0;
}

int CListCtrl::InsertItem(int item, const char* text, int image) {
  LVITEMA lv;
  memset(&lv, 0, sizeof lv);
  // Without an image the row gets none (I_IMAGENONE) rather than the
  // first image, which a row without LVIF_IMAGE would show.
  lv.mask = LVIF_TEXT | LVIF_IMAGE;
  lv.iItem = item;
  lv.pszText = const_cast<char*>(text != nullptr ? text : "");
  lv.iImage = image >= 0 ? image : I_IMAGENONE;
  return static_cast<int>(SendMessageA(HwndOf(this), LVM_INSERTITEMA, 0,
                                       reinterpret_cast<LPARAM>(&lv)));
}

bool CListCtrl::SetItemText(int item, int subItem, const char* text) {
  LVITEMA lv;
  memset(&lv, 0, sizeof lv);
  lv.iSubItem = subItem;
  lv.pszText = const_cast<char*>(text != nullptr ? text : "");
  return SendMessageA(HwndOf(this), LVM_SETITEMTEXTA, item,
                      reinterpret_cast<LPARAM>(&lv)) != 0;
}

int CListCtrl::GetItemText(int item, int subItem, char* buffer,
                           int size) const {
  if (buffer == nullptr || size <= 0) return 0;
  buffer[0] = '\0';
  LVITEMA lv;
  memset(&lv, 0, sizeof lv);
  lv.iSubItem = subItem;
  lv.pszText = buffer;
  lv.cchTextMax = size;
  SendMessageA(HwndOf(this), LVM_GETITEMTEXTA, item,
               reinterpret_cast<LPARAM>(&lv));
  // The control may point at its own copy instead of filling ours.
  if (lv.pszText != buffer && lv.pszText != nullptr &&
      lv.pszText != LPSTR_TEXTCALLBACKA) {
    strncpy(buffer, lv.pszText, size);
  }
  buffer[size - 1] = '\0';
  return static_cast<int>(strlen(buffer));
}

bool CListCtrl::SetItemData(int item, intptr_t data) {
  LVITEMA lv;
  memset(&lv, 0, sizeof lv);
  lv.mask = LVIF_PARAM;
  lv.iItem = item;
  lv.lParam = data;
  return SendMessageA(HwndOf(this), LVM_SETITEMA, 0,
                      reinterpret_cast<LPARAM>(&lv)) != 0;
}

intptr_t CListCtrl::GetItemData(int item) const {
  LVITEMA lv;
  return GetItem(HwndOf(this), item, LVIF_PARAM, &lv) ? lv.lParam : 0;
}

int CListCtrl::GetItemCount() const {
  return static_cast<int>(SendMessageA(HwndOf(this), LVM_GETITEMCOUNT, 0, 0));
}

bool CListCtrl::DeleteItem(int item) {
  return SendMessageA(HwndOf(this), LVM_DELETEITEM, item, 0) != 0;
}

bool CListCtrl::DeleteAllItems() {
  return SendMessageA(HwndOf(this), LVM_DELETEALLITEMS, 0, 0) != 0;
}

int CListCtrl::GetItemImage(int item) const {
  LVITEMA lv;
  if (!GetItem(HwndOf(this), item, LVIF_IMAGE, &lv)) return -1;
  return lv.iImage >= 0 ? lv.iImage : -1;
}

unsigned CListCtrl::GetItemState(int item, unsigned mask) const {
  return static_cast<unsigned>(
      SendMessageA(HwndOf(this), LVM_GETITEMSTATE, item, mask));
}

bool CListCtrl::SetItemState(int item, unsigned state, unsigned mask) {
  LVITEMA lv;
  memset(&lv, 0, sizeof lv);
  lv.state = state;
  lv.stateMask = mask;
  return SendMessageA(HwndOf(this), LVM_SETITEMSTATE, item,
                      reinterpret_cast<LPARAM>(&lv)) != 0;
}

int CListCtrl::GetNextItem(int start, unsigned flags) const {
  return static_cast<int>(
      SendMessageA(HwndOf(this), LVM_GETNEXTITEM, start, MAKELPARAM(flags, 0)));
}

unsigned CListCtrl::GetSelectedCount() const {
  return static_cast<unsigned>(
      SendMessageA(HwndOf(this), LVM_GETSELECTEDCOUNT, 0, 0));
}

int CListCtrl::FindItem(intptr_t data, int start) const {
  LVFINDINFOA find;
  memset(&find, 0, sizeof find);
  find.flags = LVFI_PARAM;
  find.lParam = data;
  return static_cast<int>(SendMessageA(HwndOf(this), LVM_FINDITEMA, start,
                                       reinterpret_cast<LPARAM>(&find)));
}

bool CListCtrl::SortItems(ListCompareFunction compare, intptr_t data) {
  if (compare == nullptr || GetSafeHwnd() == 0) return false;
  const int count = GetItemCount();
  if (count < 2) return true;
  // One block: the rows' data, their order, the rank table, and the merge
  // buffers.
  const size_t bytes =
      count * (sizeof(intptr_t) + 2 * sizeof(int) + 2 * sizeof(Ranked));
  void* block = malloc(bytes);
  if (block == nullptr) return false;
  Ranked* ranked = static_cast<Ranked*>(block);
  Ranked* rankedScratch = ranked + count;
  intptr_t* rowData = reinterpret_cast<intptr_t*>(rankedScratch + count);
  int* order = reinterpret_cast<int*>(rowData + count);
  int* orderScratch = order + count;

  for (int i = 0; i < count; ++i) {
    rowData[i] = GetItemData(i);
    order[i] = i;
  }
  MergeSort(order, orderScratch, count, [&](int a, int b) {
    return compare(rowData[a], rowData[b], data) > 0;
  });
  for (int p = 0; p < count; ++p) ranked[p] = {rowData[order[p]], p};
  MergeSort(ranked, rankedScratch, count,
            [](const Ranked& a, const Ranked& b) { return a.data > b.data; });

  RankTable table = {ranked, count};
  const bool sorted = SendMessageA(HwndOf(this), LVM_SORTITEMS,
                                   reinterpret_cast<WPARAM>(&table),
                                   reinterpret_cast<LPARAM>(&ByRank)) != 0;
  free(block);
  return sorted;
}

int CListCtrl::HitTest(ListHitTestInfo* info) const {
  LVHITTESTINFO hit;
  memset(&hit, 0, sizeof hit);
  hit.pt.x = info->point.x;
  hit.pt.y = info->point.y;
  const int item = static_cast<int>(SendMessageA(
      HwndOf(this), LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  info->flags = hit.flags;
  info->item = item;
  // LVM_HITTEST leaves the column out; LVM_SUBITEMHITTEST (comctl32 4.70,
  // report view) gives it, and where it is missing the column stays 0.
  info->subItem = 0;
  if (item >= 0) {
    LVHITTESTINFO sub;
    memset(&sub, 0, sizeof sub);
    sub.pt = hit.pt;
    if (SendMessageA(HwndOf(this), LVM_SUBITEMHITTEST, 0,
                     reinterpret_cast<LPARAM>(&sub)) == item)
      info->subItem = sub.iSubItem;
  }
  return item;
}

int CListCtrl::HitTest(CPoint point, unsigned* flags) const {
  ListHitTestInfo info;
  info.point = point;
  const int item = HitTest(&info);
  if (flags != nullptr) *flags = info.flags;
  return item;
}

bool CListCtrl::GetItemRect(int item, CRect* rect, unsigned code) const {
  RECT r = {static_cast<LONG>(code), 0, 0, 0};
  const bool ok = SendMessageA(HwndOf(this), LVM_GETITEMRECT, item,
                               reinterpret_cast<LPARAM>(&r)) != 0;
  *rect = ok ? CRect(r.left, r.top, r.right, r.bottom) : CRect();
  return ok;
}

int CListCtrl::GetTopIndex() const {
  return static_cast<int>(SendMessageA(HwndOf(this), LVM_GETTOPINDEX, 0, 0));
}

bool CListCtrl::EnsureVisible(int item, bool partialOk) {
  return SendMessageA(HwndOf(this), LVM_ENSUREVISIBLE, item,
                      partialOk ? TRUE : FALSE) != 0;
}

uint32_t CListCtrl::GetItemSpacing(bool smallIcons) const {
  return static_cast<uint32_t>(SendMessageA(HwndOf(this), LVM_GETITEMSPACING,
                                            smallIcons ? TRUE : FALSE, 0));
}

uintptr_t CListCtrl::SetImageList(CImageList* list, int kind) {
  return static_cast<uintptr_t>(
      SendMessageA(HwndOf(this), LVM_SETIMAGELIST, kind,
                   list != nullptr ? list->GetSafeHandle() : 0));
}

uintptr_t CListCtrl::GetImageList(int kind) const {
  return static_cast<uintptr_t>(
      SendMessageA(HwndOf(this), LVM_GETIMAGELIST, kind, 0));
}

bool CListCtrl::CreateDragImage(int item, CPoint* upperLeft,
                                CImageList* image) {
  POINT corner = {0, 0};
  HIMAGELIST list = reinterpret_cast<HIMAGELIST>(
      SendMessageA(HwndOf(this), LVM_CREATEDRAGIMAGE, item,
                   reinterpret_cast<LPARAM>(&corner)));
  if (list == nullptr) return false;
  if (upperLeft != nullptr) *upperLeft = CPoint(corner.x, corner.y);
  if (image != nullptr) {
    image->Attach(reinterpret_cast<uintptr_t>(list));
  } else {
    ImageList_Destroy(list);
  }
  return true;
}
