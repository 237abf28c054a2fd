// CListCtrl over the headless list model. Sub-item texts are kept by
// column position, and inserting or deleting a column shifts the texts of
// the columns after it, as the common control does.
#include "framework/ListCtrl.h"

#include <string.h>

#include <algorithm>

#include "framework/ImageList.h"
#include "framework/WindowCodes.h"
#include "framework/headless/Windows.h"

using headless::ListModel;
using headless::ListRow;
using headless::Windows;

namespace {

ListModel* ModelOf(const CListCtrl* list) {
  return Windows::Get().List(list->GetSafeHwnd());
}

bool ValidRow(const ListModel* model, int item) {
  return model && item >= 0 && item < static_cast<int>(model->rows.size());
}

int TotalWidth(const ListModel& model) {
  int width = 0;
  for (const headless::ListColumn& c : model.columns) width += c.width;
  return width;
}

}  // namespace

CListCtrl::CListCtrl() {}

CListCtrl::~CListCtrl() {}

bool CListCtrl::Create(uint32_t style, const CRect& rect, CWnd* parent,
                       unsigned id) {
  return CreateEx(0, WC_LISTVIEWA, "", style | WS_CHILD, rect, parent, id);
}

bool CListCtrl::PreCreateWindow(CreateStruct& cs) {
  cs.className = WC_LISTVIEWA;
  return CWnd::PreCreateWindow(cs);
}

uint32_t CListCtrl::GetExtendedStyle() const {
  const ListModel* model = ModelOf(this);
  return model ? model->extendedStyle : 0;
}

uint32_t CListCtrl::SetExtendedStyle(uint32_t exStyle) {
  ListModel* model = ModelOf(this);
  if (model == nullptr) return 0;
  const uint32_t previous = model->extendedStyle;
  model->extendedStyle = exStyle;
  return previous;
}

int CListCtrl::InsertColumn(int column, const char* heading, int format,
                            int width, int subItem) {
  ListModel* model = ModelOf(this);
  if (model == nullptr || column < 0) return -1;
  const int at = std::min(column, static_cast<int>(model->columns.size()));
  headless::ListColumn c;
  c.heading = heading ? heading : "";
  c.format = format;
  c.width = width < 0 ? 0 : width;
  c.subItem = subItem < 0 ? at : subItem;
  model->columns.insert(model->columns.begin() + at, c);
  for (ListRow& row : model->rows)
    if (static_cast<int>(row.texts.size()) > at)
      row.texts.insert(row.texts.begin() + at, std::string());
  return at;
}

bool CListCtrl::DeleteColumn(int column) {
  ListModel* model = ModelOf(this);
  if (model == nullptr || column < 0 ||
      column >= static_cast<int>(model->columns.size()))
    return false;
  if (column == 0 && model->keepsColumnZero) return false;
  model->columns.erase(model->columns.begin() + column);
  for (ListRow& row : model->rows)
    if (static_cast<int>(row.texts.size()) > column)
      row.texts.erase(row.texts.begin() + column);
  return true;
}

bool CListCtrl::SetColumn(int column, const char* heading, int format,
                          int width) {
  ListModel* model = ModelOf(this);
  if (model == nullptr || column < 0 ||
      column >= static_cast<int>(model->columns.size()))
    return false;
  headless::ListColumn& c = model->columns[column];
  c.heading = heading ? heading : "";
  c.format = format;
  c.width = width < 0 ? 0 : width;
  return true;
}

bool CListCtrl::SetColumnWidth(int column, int width) {
  ListModel* model = ModelOf(this);
  if (model == nullptr || column < 0 ||
      column >= static_cast<int>(model->columns.size()) || width < 0)
    return false;
  model->columns[column].width = width;
  return true;
}

int CListCtrl::GetColumnWidth(int column) const {
  const ListModel* model = ModelOf(this);
  if (model == nullptr || column < 0 ||
      column >= static_cast<int>(model->columns.size()))
    return 0;
  return model->columns[column].width;
}

int CListCtrl::GetStringWidth(const char* text) const {
  return text ? static_cast<int>(strlen(text)) * headless::kCharWidth : 0;
}

int CListCtrl::GetColumnCount() const {
  const ListModel* model = ModelOf(this);
  return model ? static_cast<int>(model->columns.size()) : 0;
}

int CListCtrl::InsertItem(int item, const char* text, int image) {
  ListModel* model = ModelOf(this);
  if (model == nullptr || item < 0) return -1;
  const int at = std::min(item, static_cast<int>(model->rows.size()));
  ListRow row;
  row.texts.assign(std::max<size_t>(1, model->columns.size()), std::string());
  row.texts[0] = text ? text : "";
  row.image = image;
  model->rows.insert(model->rows.begin() + at, row);
  return at;
}

bool CListCtrl::SetItemText(int item, int subItem, const char* text) {
  ListModel* model = ModelOf(this);
  if (!ValidRow(model, item) || subItem < 0) return false;
  ListRow& row = model->rows[item];
  if (subItem > 0 && subItem >= static_cast<int>(model->columns.size()))
    return false;
  if (static_cast<int>(row.texts.size()) <= subItem)
    row.texts.resize(subItem + 1);
  row.texts[subItem] = text ? text : "";
  return true;
}

int CListCtrl::GetItemText(int item, int subItem, char* buffer,
                           int size) const {
  if (buffer == nullptr || size <= 0) return 0;
  buffer[0] = '\0';
  const ListModel* model = ModelOf(this);
  if (!ValidRow(model, item) || subItem < 0) return 0;
  const ListRow& row = model->rows[item];
  if (subItem >= static_cast<int>(row.texts.size())) return 0;
  const std::string& text = row.texts[subItem];
  const size_t n = std::min(text.size(), static_cast<size_t>(size - 1));
  memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
  return static_cast<int>(n);
}

bool CListCtrl::SetItemData(int item, intptr_t data) {
  ListModel* model = ModelOf(this);
  if (!ValidRow(model, item)) return false;
  model->rows[item].data = data;
  return true;
}

intptr_t CListCtrl::GetItemData(int item) const {
  const ListModel* model = ModelOf(this);
  return ValidRow(model, item) ? model->rows[item].data : 0;
}

int CListCtrl::GetItemCount() const {
  const ListModel* model = ModelOf(this);
  return model ? static_cast<int>(model->rows.size()) : 0;
}

bool CListCtrl::DeleteItem(int item) {
  ListModel* model = ModelOf(this);
  if (!ValidRow(model, item)) return false;
  model->rows.erase(model->rows.begin() + item);
  return true;
}

bool CListCtrl::DeleteAllItems() {
  ListModel* model = ModelOf(this);
  if (model == nullptr) return false;
  model->rows.clear();
  model->topIndex = 0;
  return true;
}

int CListCtrl::GetItemImage(int item) const {
  const ListModel* model = ModelOf(this);
  return ValidRow(model, item) ? model->rows[item].image : -1;
}

unsigned CListCtrl::GetItemState(int item, unsigned mask) const {
  const ListModel* model = ModelOf(this);
  return ValidRow(model, item) ? (model->rows[item].state & mask) : 0;
}

bool CListCtrl::SetItemState(int item, unsigned state, unsigned mask) {
  ListModel* model = ModelOf(this);
  if (model == nullptr) return false;
  Windows& world = Windows::Get();
  if (item == -1) {
    for (int r = 0; r < GetItemCount(); ++r)
      world.SetRowState(GetSafeHwnd(), r, state, mask);
    return true;
  }
  if (!ValidRow(model, item)) return false;
  world.SetRowState(GetSafeHwnd(), item, state, mask);
  return true;
}

int CListCtrl::GetNextItem(int start, unsigned flags) const {
  const ListModel* model = ModelOf(this);
  if (model == nullptr) return -1;
  // LVNI_FOCUSED, LVNI_SELECTED, LVNI_CUT and LVNI_DROPHILITED are the
  // state bits themselves.
  const unsigned want = flags & 0x000F;
  for (int r = start + 1; r < static_cast<int>(model->rows.size()); ++r) {
    if (r < 0) continue;
    if ((model->rows[r].state & want) == want) return r;
  }
  return -1;
}

unsigned CListCtrl::GetSelectedCount() const {
  const ListModel* model = ModelOf(this);
  if (model == nullptr) return 0;
  unsigned count = 0;
  for (const ListRow& row : model->rows)
    if (row.state & LVIS_SELECTED) ++count;
  return count;
}

int CListCtrl::FindItem(intptr_t data, int start) const {
  const ListModel* model = ModelOf(this);
  if (model == nullptr) return -1;
  for (int r = std::max(0, start + 1); r < static_cast<int>(model->rows.size());
       ++r)
    if (model->rows[r].data == data) return r;
  return -1;
}

bool CListCtrl::SortItems(ListCompareFunction compare, intptr_t data) {
  ListModel* model = ModelOf(this);
  if (model == nullptr || compare == nullptr) return false;
  // An insertion sort, which ends whatever the compare function answers;
  // the function may look rows up while the sort runs.
  std::vector<ListRow>& rows = model->rows;
  for (size_t i = 1; i < rows.size(); ++i)
    for (size_t j = i;
         j > 0 && compare(rows[j - 1].data, rows[j].data, data) > 0; --j)
      std::swap(rows[j - 1], rows[j]);
  return true;
}

int CListCtrl::HitTest(ListHitTestInfo* info) const {
  info->item = -1;
  info->subItem = 0;
  info->flags = LVHT_NOWHERE;
  const ListModel* model = ModelOf(this);
  if (model == nullptr) return -1;
  const CPoint p = info->point;
  if (p.y < headless::kListHeaderHeight || p.x < 0 || p.x >= TotalWidth(*model))
    return -1;
  const int row =
      (p.y - headless::kListHeaderHeight) / headless::kListRowHeight +
      model->topIndex;
  if (row >= static_cast<int>(model->rows.size())) return -1;
  info->item = row;
  const bool hasIcons = model->imageLists[LVSIL_SMALL] != 0;
  info->flags = hasIcons && p.x < 16 ? LVHT_ONITEMICON : LVHT_ONITEMLABEL;
  int x = 0;
  for (size_t c = 0; c < model->columns.size(); ++c) {
    if (p.x < x + model->columns[c].width) {
      info->subItem = static_cast<int>(c);
      break;
    }
    x += model->columns[c].width;
  }
  return row;
}

int CListCtrl::HitTest(CPoint point, unsigned* flags) const {
  ListHitTestInfo info;
  info.point = point;
  const int row = HitTest(&info);
  if (flags) *flags = info.flags;
  return row;
}

bool CListCtrl::GetItemRect(int item, CRect* rect, unsigned code) const {
  const ListModel* model = ModelOf(this);
  if (!ValidRow(model, item)) return false;
  const int top = headless::kListHeaderHeight +
                  (item - model->topIndex) * headless::kListRowHeight;
  const int bottom = top + headless::kListRowHeight;
  const int icon = model->imageLists[LVSIL_SMALL] != 0 ? 16 : 0;
  const int first = model->columns.empty() ? 0 : model->columns[0].width;
  switch (code) {
    case LVIR_ICON:
      *rect = CRect(0, top, icon, bottom);
      return true;
    case LVIR_LABEL:
      *rect = CRect(icon, top, first, bottom);
      return true;
    default:
      *rect = CRect(0, top, TotalWidth(*model), bottom);
      return true;
  }
}

int CListCtrl::GetTopIndex() const {
  const ListModel* model = ModelOf(this);
  return model ? model->topIndex : 0;
}

bool CListCtrl::EnsureVisible(int item, bool) {
  ListModel* model = ModelOf(this);
  if (!ValidRow(model, item)) return false;
  CRect client;
  GetClientRect(&client);
  const int visible =
      std::max(1, (client.Height() - headless::kListHeaderHeight) /
                      headless::kListRowHeight);
  if (item < model->topIndex) model->topIndex = item;
  if (item >= model->topIndex + visible) model->topIndex = item - visible + 1;
  return true;
}

uint32_t CListCtrl::GetItemSpacing(bool smallIcons) const {
  const uint32_t vertical = smallIcons ? headless::kSmallIconSpacing : 64;
  const uint32_t horizontal = smallIcons ? 80 : 75;
  return (vertical << 16) | horizontal;
}

uintptr_t CListCtrl::SetImageList(CImageList* list, int kind) {
  ListModel* model = ModelOf(this);
  if (model == nullptr || kind < 0 || kind > 2) return 0;
  const uintptr_t previous = model->imageLists[kind];
  model->imageLists[kind] = list ? list->GetSafeHandle() : 0;
  return previous;
}

uintptr_t CListCtrl::GetImageList(int kind) const {
  const ListModel* model = ModelOf(this);
  if (model == nullptr || kind < 0 || kind > 2) return 0;
  return model->imageLists[kind];
}

bool CListCtrl::CreateDragImage(int item, CPoint* upperLeft,
                                CImageList* image) {
  CRect bounds;
  if (!GetItemRect(item, &bounds, LVIR_BOUNDS)) return false;
  image->DeleteImageList();
  if (!image->Create(bounds.Width(), bounds.Height(), ILC_MASK, 1, 0))
    return false;
  // The picture of the row: one image, whatever it shows.
  ListModel* model = ModelOf(this);
  headless::ImageListRecord* record =
      reinterpret_cast<headless::ImageListRecord*>(image->GetSafeHandle());
  record->images.push_back(static_cast<IconHandle>(model->rows[item].image));
  if (upperLeft) *upperLeft = CPoint(bounds.left, bounds.top);
  return true;
}
