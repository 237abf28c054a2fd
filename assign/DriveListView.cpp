#include "assign/DriveListView.h"

#include <string.h>

#include "assign/EditCommands.h"
#include "assign/LabelSerial.h"
#include "drives/DriveDescription.h"
#include "drives/DriveProbes.h"
#include "framework/Menu.h"
#include "framework/System.h"
#include "framework/WindowCodes.h"
#include "platform/Codes.h"
#include "platform/Platform.h"
#include "writers/RegistryAssignment.h"

namespace {

const int pathSize = 260;
const int textSize = 64;

// Menu ids of the shortcut menu; the shell's entries follow from 3.
const unsigned menuDeviceProperties = 1;
const unsigned menuOpen = 2;
const unsigned menuShellFirst = 3;
const unsigned menuShellLast = 0x7FFF;

bool IsDriveRoot(const char* name) {
  return strlen(name) == 3 && name[1] == ':' && name[2] == '\\';
}

char ToUpper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

// The parsing name of a shell item in `name` (260 bytes); empty when the
// shell gives none.
void ParsingName(platform::ShellFolder* folder, ItemIdList* item, char* name) {
  name[0] = '\0';
  platform::Shell& shell = platform::shell();
  platform::StrRet value;
  memset(&value, 0, sizeof value);
  if (FAILED(shell.GetDisplayNameOf(folder, item, SHGDN_FORPARSING, &value)))
    return;
  switch (value.type) {
    case STRRET_WSTR:
      if (value.wide == nullptr) return;
      if (platform::kernel().WideCharToMultiByte(CP_ACP, 0, value.wide, -1,
                                                 name, pathSize) == 0)
        name[0] = '\0';
      shell.CoTaskMemFree(value.wide);
      break;
    case STRRET_OFFSET:
      platform::Format(name, pathSize, "%s",
                       reinterpret_cast<const char*>(item) + value.offset);
      break;
    case STRRET_CSTR:
      platform::Format(name, pathSize, "%s", value.cStr);
      break;
    default:
      break;
  }
}

}  // namespace

DriveListView::DriveListView(OptionsDialog* options)
    : rules(table, *this),
      columnCount(0),
      sortColumn(0),
      selectionGuard(0),
      ignoreNextLetterCommand(false),
      modified(false),
      restartPending(false),
      options(options),
      dragging(false),
      dropImages(nullptr),
      noDropImages(nullptr),
      dropTargetRow(-1),
      dragLetter(0),
      sortingColumn(0),
      cursorHidden(0) {
  for (int i = 0; i < driveColumnCount; ++i) {
    columnPosition[i] = i;
    sortDirection[i] = 1;
  }
}

DriveListView::~DriveListView() {
  // While the whole object still exists, so that WM_NCDESTROY tears the
  // rows down through this class.
  if (GetSafeHwnd() != 0) DestroyWindow();
  delete dropImages;
  delete noDropImages;
}

bool DriveListView::PreCreateWindow(CreateStruct& cs) {
  if (!CListCtrl::PreCreateWindow(cs)) return false;
  cs.exStyle |= WS_EX_CLIENTEDGE;
  cs.style &= ~static_cast<uint32_t>(WS_BORDER);
  return true;
}

int DriveListView::GetRowCount() const { return GetItemCount(); }

int DriveListView::GetRowDrive(int row) const {
  return static_cast<int>(GetItemData(row));
}

void DriveListView::SetRowNewText(int row, const char* text) {
  SetItemText(row, columnPosition[columnNew], text);
}

int DriveListView::TargetRow() const {
  if (GetSelectedCount() == 0) return -1;
  return GetNextItem(-1, LVNI_FOCUSED);
}

void DriveListView::SelectGroup(int row, unsigned state) {
  ++selectionGuard;
  if (row == -1) {
    SetItemState(-1, 0, state);
  } else {
    if (state & LVIS_SELECTED) SetItemState(row, LVIS_FOCUSED, LVIS_FOCUSED);
    const int drive = GetRowDrive(row);
    for (int r = 0; r < GetItemCount(); ++r) {
      SetItemState(r, rules.InSameGroup(GetRowDrive(r), drive) ? state : 0,
                   state);
    }
  }
  --selectionGuard;
}

int DriveListView::CompareRows(intptr_t a, intptr_t b, intptr_t data) {
  DriveListView* view = reinterpret_cast<DriveListView*>(data);
  const int c = view->sortingColumn;
  const int direction = view->sortDirection[c];
  if (a < 0 || a >= DriveTable::driveCount || b < 0 ||
      b >= DriveTable::driveCount)
    return 1;
  const DriveRecord& ra = view->table.record(static_cast<int>(a));
  const DriveRecord& rb = view->table.record(static_cast<int>(b));
  // Sizes by value, compared rather than subtracted so that no difference
  // can overflow.
  if (c == view->columnPosition[columnTotalSize])
    return ((ra.totalKb > rb.totalKb) - (ra.totalKb < rb.totalKb)) * direction;
  if (c == view->columnPosition[columnFreeSpace])
    return ((ra.freeKb > rb.freeKb) - (ra.freeKb < rb.freeKb)) * direction;
  const int rowA = view->FindItem(a);
  const int rowB = view->FindItem(b);
  if (rowA == -1 || rowB == -1) return 1;
  char textA[textSize], textB[textSize];
  view->GetItemText(rowA, c, textA, sizeof textA);
  view->GetItemText(rowB, c, textB, sizeof textB);
  const int order = strcmp(textA, textB);
  return ((order > 0) - (order < 0)) * direction;
}

void DriveListView::SortRows(int position) {
  if (position < 0 || position >= driveColumnCount) return;
  sortingColumn = position;
  SortItems(&DriveListView::CompareRows, reinterpret_cast<intptr_t>(this));
}

void DriveListView::ClearView() {
  DeleteAllItems();
  // From the last column: list controls before comctl32 6 refuse to delete
  // column 0, and deleting it until none is left would never end. A column
  // that stays is reused by the next build.
  for (int c = GetColumnCount() - 1; c >= 0; --c)
    if (!DeleteColumn(c)) break;
  columnCount = 0;
  SetImageList(nullptr, LVSIL_SMALL);
  smallImages.DeleteImageList();
  table.clear();
}

int DriveListView::AddIcon(IconHandle icon) {
  platform::Shell& shell = platform::shell();
  if (smallImages.GetSafeHandle() == 0) {
    int width = 0;
    if (!shell.GetIconBitmapWidth(icon, &width) ||
        !smallImages.Create(width, width, ILC_MASK, 10, 10))
      return -2;
    SetImageList(&smallImages, LVSIL_SMALL);
  }
  return smallImages.Add(icon);
}

void DriveListView::addDriveRow(const char* root, ItemIdList* shellItem,
                                int row, int image, int* widths,
                                int32_t* compressionSeen) {
  const int index = root[0] - 'A';
  DriveRowTexts texts;
  describeDriveRow(table, rules, root, shellItem, shellItem == nullptr, &texts,
                   compressionSeen);
  row = InsertItem(row, texts.text[columnNew], image);
  if (row < 0) return;
  SetItemData(row, index);
  for (int c = 0; c < driveColumnCount; ++c) {
    if (c != columnNew) SetItemText(row, c, texts.text[c]);
    const int width = GetStringWidth(texts.text[c]);
    if (width > widths[c]) widths[c] = width;
  }
}

void DriveListView::RemoveColumn(int column, int* widths) {
  const int position = columnPosition[column];
  if (position < 0) return;
  DeleteColumn(position);
  --columnCount;
  for (int p = position; p < driveColumnCount - 1; ++p)
    widths[p] = widths[p + 1];
  columnPosition[column] = -1;
  for (int c = column + 1; c < driveColumnCount; ++c) {
    if (columnPosition[c] > 0) --columnPosition[c];
  }
}

int32_t DriveListView::buildDriveTable() {
  platform::Shell& shell = platform::shell();
  platform::Kernel& kernel = platform::kernel();

  columnCount = driveColumnCount;
  const int kept = GetColumnCount();
  for (int c = 0; c < driveColumnCount; ++c) {
    columnPosition[c] = c;
    if (c < kept)
      SetColumn(c, driveColumnTitles[c], LVCFMT_LEFT, 10);
    else
      InsertColumn(c, driveColumnTitles[c], LVCFMT_LEFT, 10, c);
  }

  table.letterGroupCount = 0;
  queryDriveSpaceMapping(table);
  table.persistentConnections.readPersistentConnections();
  char windows[pathSize];
  table.windowsDriveLetter =
      kernel.GetWindowsDirectoryA(windows, sizeof windows) != 0 ? windows[0]
                                                                : 0;

  if (FAILED(shell.GetComputerFolder(&table.computerFolder))) return 0;
  platform::ShellEnum* items = nullptr;
  const int32_t listed = shell.EnumObjects(
      table.computerFolder, 0, SHCONTF_FOLDERS | SHCONTF_INCLUDEHIDDEN, &items);
  if (FAILED(listed)) return 0;

  int widths[driveColumnCount];
  for (int c = 0; c < driveColumnCount; ++c)
    widths[c] = GetStringWidth(driveColumnTitles[c]);

  int rowCount = 0;
  int32_t compressionSeen = 0;
  bool failed = false;
  ItemIdList* item = nullptr;
  while (items != nullptr && !failed) {
    const int32_t next = shell.NextItem(items, &item);
    if (next != S_OK) {
      failed = FAILED(next);
      break;
    }
    char name[pathSize];
    ParsingName(table.computerFolder, item, name);
    bool kept = false;
    if (IsDriveRoot(name)) {
      name[0] = ToUpper(name[0]);
      // A letter the shell lists twice keeps its first row.
      if (name[0] >= 'A' && name[0] <= 'Z' &&
          !table.recordOf(name[0]).present) {
        int image = -1;
        IconHandle icon = 0;
        if (SUCCEEDED(shell.ExtractSmallIcon(table.computerFolder,
                                             GetSafeHwnd(), item, &icon)) &&
            icon != 0) {
          image = AddIcon(icon);
          shell.DestroyIcon(icon);
        }
        if (image == -2) {
          failed = true;
        } else {
          addDriveRow(name, item, rowCount++, image, widths, &compressionSeen);
          kept = true;
        }
      }
    }
    if (!kept) shell.FreeItem(item);
  }
  if (items != nullptr) shell.ReleaseEnum(items);
  if (failed) return 0;

  bool hiddenSeen = false;
  const uint32_t mask = kernel.GetLogicalDrives();
  for (int i = 0; i < DriveTable::driveCount; ++i) {
    if (!((mask >> i) & 1u) || table.record(i).present) continue;
    hiddenSeen = true;
    const char root[] = {static_cast<char>('A' + i), ':', '\\', '\0'};
    int image = -1;
    IconHandle icon = 0;
    if (shell.SHGetFileInfoA(
            root, FILE_ATTRIBUTE_DIRECTORY,
            SHGFI_ICON | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES,
            &icon) != 0 &&
        icon != 0) {
      image = AddIcon(icon);
      shell.DestroyIcon(icon);
      if (image == -2) return 0;
    }
    addDriveRow(root, nullptr, rowCount++, image, widths, &compressionSeen);
  }

  if (table.compressionPresent)
    table.firstDriveSpaceLetter = firstDriveSpaceLetterOf(table);
  if (!hiddenSeen) RemoveColumn(columnHidden, widths);
  if (!compressionSeen) RemoveColumn(columnCompression, widths);

  const int spacing = static_cast<int>(GetItemSpacing(true) >> 16);
  for (int p = 0; p < columnCount; ++p) SetColumnWidth(p, widths[p] + spacing);

  sortColumn = columnPosition[columnOld];
  for (int p = 0; p < driveColumnCount; ++p) sortDirection[p] = 1;
  SortRows(sortColumn);
  SelectGroup(0, LVIS_SELECTED);
  return 1;
}

void DriveListView::Refresh() {
  ShowWindow(SW_HIDE);
  ClearView();
  buildDriveTable();
  ShowWindow(SW_SHOW);
  if (!CheckDriveSpaceLaunched()) {
    modified = false;
    restartPending = false;
    if (CWnd* frame = GetParent()) frame->PostMessage(WM_CLOSE);
  }
}

bool DriveListView::CheckCdRomLetters() { return ::CheckCdRomLetters(table); }

bool DriveListView::CheckDuplicateSerials() {
  return ::CheckDuplicateSerials(*this);
}

bool DriveListView::CheckDuplicateLabels() {
  return ::CheckDuplicateLabels(*this);
}

int DriveListView::OnCreate(CreateStruct*) {
  if (Default() == -1) return -1;
  SetExtendedStyle(LVS_EX_FULLROWSELECT);
  if (!buildDriveTable()) {
    platform::prompts().MessageBoxA(0, "Error creating main window", "Pelmora",
                                    MB_ICONERROR | MB_OK);
    return -1;
  }
  if (!CheckCdRomLetters() || !CheckDriveSpaceLaunched()) return -1;
  return 0;
}

void DriveListView::OnNcDestroy() {
  ClearView();
  Default();
}

intptr_t DriveListView::OnColumnClick(const NmListView& notify) {
  const int c = notify.subItem;
  if (c < 0 || c >= driveColumnCount) return 0;
  if (c == sortColumn) sortDirection[c] = -sortDirection[c];
  sortColumn = c;
  SortRows(c);
  return 0;
}

intptr_t DriveListView::OnItemChanged(const NmListView& notify) {
  if (selectionGuard == 0 &&
      ((notify.oldState ^ notify.newState) & LVIS_SELECTED)) {
    ++selectionGuard;
    PostMessage(WM_SELECT_GROUP);
  }
  return 0;
}

intptr_t DriveListView::OnSelectGroupMessage(uintptr_t, intptr_t) {
  SelectGroup(GetNextItem(-1, LVNI_SELECTED), LVIS_SELECTED);
  --selectionGuard;
  return 0;
}

void DriveListView::OnChar(unsigned ch, unsigned, unsigned) {
  const char letter = ToUpper(static_cast<char>(ch));
  if (ch < 0x80 && letter >= 'A' && letter <= 'Z') {
    // Letters assign; the control's type-ahead search never sees them.
    const int target = TargetRow();
    if (target != -1) rules.AssignLetter(GetRowDrive(target), letter);
    return;
  }
  Default();
}

void DriveListView::OnContextMenu(CWnd*, CPoint screen) {
  CPoint point = screen;
  ScreenToClient(&point);
  const int row = HitTest(point);
  if (row < 0) return;
  const int drive = GetRowDrive(row);
  if (drive < 0 || drive >= DriveTable::driveCount) return;
  const DriveRecord& record = table.record(drive);
  platform::Shell& shell = platform::shell();

  CMenu menu;
  if (!menu.CreatePopupMenu()) return;
  int entries = 0;
  if (record.deviceNode != 0) {
    menu.AppendMenu(MF_STRING, menuDeviceProperties, "Device Properties");
    ++entries;
  }
  platform::ContextMenu* shellMenu = nullptr;
  if (record.shellItem != nullptr) {
    if (SUCCEEDED(shell.GetContextMenu(table.computerFolder, GetSafeHwnd(),
                                       record.shellItem, &shellMenu)) &&
        shellMenu != nullptr) {
      if (entries > 0) menu.AppendMenu(MF_SEPARATOR);
      shell.QueryContextMenu(shellMenu, menu.GetSafeHmenu(),
                             static_cast<uint32_t>(menu.GetMenuItemCount()),
                             menuShellFirst, menuShellLast, CMF_NORMAL);
    } else {
      shellMenu = nullptr;
    }
  } else {
    menu.AppendMenu(MF_STRING, menuOpen, "Open");
  }
  if (record.deviceNode != 0) menu.SetDefaultItem(menuDeviceProperties);

  const int chosen = menu.TrackPopupMenu(TPM_RIGHTBUTTON | TPM_RETURNCMD,
                                         screen.x, screen.y, this);
  if (chosen == static_cast<int>(menuDeviceProperties)) {
    ShowDeviceProperties();
  } else if (chosen == static_cast<int>(menuOpen)) {
    const char root[] = {static_cast<char>('A' + drive), ':', '\\', '\0'};
    shell.ShellExecuteA(GetSafeHwnd(), "open", root, nullptr, nullptr,
                        SW_SHOWNORMAL);
  } else if (chosen >= static_cast<int>(menuShellFirst) &&
             chosen <= static_cast<int>(menuShellLast) &&
             shellMenu != nullptr) {
    shell.InvokeCommand(shellMenu, GetSafeHwnd(),
                        static_cast<uint32_t>(chosen) - menuShellFirst,
                        SW_SHOWNORMAL);
  }
  if (shellMenu != nullptr) shell.ReleaseContextMenu(shellMenu);
  menu.DestroyMenu();
}

void DriveListView::OnLButtonDblClk(unsigned, CPoint) {
  ShowDeviceProperties();
  Default();
}

void DriveListView::OnLetter(unsigned id) {
  if (ignoreNextLetterCommand) {
    ignoreNextLetterCommand = false;
    return;
  }
  const int target = TargetRow();
  if (target != -1)
    rules.AssignLetter(GetRowDrive(target),
                       static_cast<char>('A' + (id - ID_LETTER_A)));
}

void DriveListView::OnUpdateLetter(CCmdUI* ui) {
  ui->Enable(rules.IsLetterAvailable(
      static_cast<char>('A' + (ui->m_nID - ID_LETTER_A))));
}

void DriveListView::OnViewRefresh() { Refresh(); }

void DriveListView::OnViewOptions() {
  if (options) RunOptionsCommand(*options);
}

void DriveListView::OnEditClear() {
  ClearLetter(rules, table, *this, TargetRow());
}

void DriveListView::OnUpdateEditClear(CCmdUI* ui) {
  ui->Enable(TargetRow() != -1);
}

void DriveListView::OnEditClearAll() { ClearAllLetters(rules, table, *this); }

void DriveListView::OnEditRestoreOriginal() {
  RestoreOriginalLetters(table, *this);
}

void DriveListView::SetFullRowLook(bool on) {
  const uint32_t style = GetExtendedStyle();
  SetExtendedStyle(on ? (style | LVS_EX_FULLROWSELECT)
                      : (style & ~static_cast<uint32_t>(LVS_EX_FULLROWSELECT)));
  for (int r = GetNextItem(-1, LVNI_SELECTED); r != -1;
       r = GetNextItem(r, LVNI_SELECTED)) {
    CRect bounds;
    if (GetItemRect(r, &bounds, LVIR_BOUNDS)) InvalidateRect(&bounds, true);
  }
  UpdateWindow();
}

int DriveListView::DragHitTest(CPoint point) {
  ListHitTestInfo info;
  info.point = point;
  int row = HitTest(&info);
  if (row == -1 && (info.flags & LVHT_NOWHERE)) {
    CRect icon;
    if (GetItemRect(GetTopIndex(), &icon, LVIR_ICON)) {
      info.point = CPoint((icon.left + icon.right) / 2, point.y);
      row = HitTest(&info);
    }
  }
  return row;
}

void DriveListView::HideCursor() {
  while (AfxShowCursor(false) >= 0) ++cursorHidden;
  ++cursorHidden;
}

intptr_t DriveListView::OnBeginDrag(const NmListView& notify) {
  const int row = notify.item;
  dropTargetRow = row;
  const int drive = GetRowDrive(row);
  if (drive < 0 || drive >= DriveTable::driveCount) return 0;
  dragLetter = table.record(drive).newLetter;
  if (dragLetter == noLetter) return 0;

  dragging = true;
  SelectGroup(row, LVIS_SELECTED);
  SetFullRowLook(false);

  CImageList picture;
  CPoint corner;
  CreateDragImage(row, &corner, &picture);
  CImageList cursors;
  if (cursors.Create(AfxGetSystemMetrics(kSmCxCursor),
                     AfxGetSystemMetrics(kSmCyCursor), ILC_MASK, 2, 0)) {
    cursors.Add(AfxLoadStandardCursor(kIdcArrow));
    cursors.Add(AfxLoadStandardCursor(kIdcNo));
  }
  hotSpot = CPoint(8, 8);
  delete dropImages;
  delete noDropImages;
  dropImages = new CImageList;
  noDropImages = new CImageList;
  dropImages->CreateMerged(picture, 0, cursors, 0, 8, 8);
  noDropImages->CreateMerged(picture, 0, cursors, 1, 8, 8);
  picture.DeleteImageList();
  cursors.DeleteImageList();

  ClientToScreen(&corner);
  dropImages->BeginDrag(0, hotSpot);
  CImageList::DragEnter(nullptr, corner);
  SetCapture();
  HideCursor();
  return 0;
}

void DriveListView::BeginLetterDrag(CImageList* drop, CImageList* noDrop,
                                    int hotSpotX, int hotSpotY, char letter) {
  if (dragging) EndLetterDrag();
  dropImages = drop;
  noDropImages = noDrop;
  hotSpot = CPoint(hotSpotX, hotSpotY);
  dragLetter = letter;
  dropTargetRow = -1;
  dragging = true;
  SetFullRowLook(false);
  if (noDropImages) noDropImages->BeginDrag(0, hotSpot);
  CPoint cursor;
  AfxGetCursorPos(&cursor);
  CImageList::DragEnter(nullptr, cursor);
  SetCapture();
  HideCursor();
}

void DriveListView::OnMouseMove(unsigned, CPoint point) {
  if (dragging) {
    CPoint screen = point;
    ClientToScreen(&screen);
    int row = DragHitTest(point);
    if (row != -1 &&
        !rules.CanAssignLetter(
            dragLetter, static_cast<char>('A' + GetRowDrive(row)), false))
      row = -1;
    if (row == dropTargetRow) {
      CImageList::DragMove(screen);
    } else {
      CImageList::DragLeave(nullptr);
      if ((row == -1) != (dropTargetRow == -1)) {
        CImageList::EndDrag();
        CImageList* images = row != -1 ? dropImages : noDropImages;
        if (images) images->BeginDrag(0, hotSpot);
      }
      SelectGroup(row, LVIS_DROPHILITED);
      UpdateWindow();
      CImageList::DragEnter(nullptr, screen);
      dropTargetRow = row;
    }
  }
  Default();
}

void DriveListView::OnLButtonUp(unsigned, CPoint point) {
  if (dragging) {
    const int row = DragHitTest(point);
    if (row != -1) SelectGroup(row, LVIS_SELECTED);
    EndLetterDrag();
    if (row != -1) rules.AssignLetter(GetRowDrive(row), dragLetter);
  }
  Default();
}

intptr_t DriveListView::OnKeyDown(const NmListKeyDown& notify) {
  if (dragging && notify.vkey == VK_ESCAPE) EndLetterDrag();
  return 0;
}

void DriveListView::OnCaptureChanged(CWnd*) {
  if (dragging) EndLetterDrag();
  Default();
}

void DriveListView::EndLetterDrag() {
  CImageList::DragLeave(nullptr);
  CImageList::EndDrag();
  // Releasing the capture sends WM_CAPTURECHANGED at once, which runs this
  // again while the drag is still on: the inner run does the whole end,
  // and the outer one finds nothing left to undo.
  ReleaseCapture();
  while (cursorHidden > 0) {
    --cursorHidden;
    AfxShowCursor(true);
  }
  if (dropTargetRow != -1) SelectGroup(-1, LVIS_DROPHILITED);
  if (dragging) SetFullRowLook(true);
  dragging = false;
  delete dropImages;
  dropImages = nullptr;
  delete noDropImages;
  noDropImages = nullptr;
}

const MessageMap* DriveListView::GetMessageMap() const {
  static const MessageMapEntry entries[] = {
      Map::Create(&DriveListView::OnCreate),
      Map::Void(WM_NCDESTROY, &DriveListView::OnNcDestroy),
      Map::ListNotify(LVN_COLUMNCLICK, &DriveListView::OnColumnClick),
      Map::ListNotify(LVN_ITEMCHANGED, &DriveListView::OnItemChanged),
      Map::Char(&DriveListView::OnChar),
      Map::ContextMenu(&DriveListView::OnContextMenu),
      Map::Mouse(WM_LBUTTONDBLCLK, &DriveListView::OnLButtonDblClk),
      Map::ListNotify(LVN_BEGINDRAG, &DriveListView::OnBeginDrag),
      Map::Mouse(WM_MOUSEMOVE, &DriveListView::OnMouseMove),
      Map::Mouse(WM_LBUTTONUP, &DriveListView::OnLButtonUp),
      Map::ListKeyDown(&DriveListView::OnKeyDown),
      Map::CaptureChanged(&DriveListView::OnCaptureChanged),
      Map::Message(WM_SELECT_GROUP, &DriveListView::OnSelectGroupMessage),
      Map::End()};
  static const MessageMap map = {CListCtrl::GetMessageMap(), entries};
  return &map;
}

const CommandMap* DriveListView::GetCommandMap() const {
  static const CommandMapEntry entries[] = {
      Cmd::Range(ID_LETTER_A, ID_LETTER_Z, &DriveListView::OnLetter),
      Cmd::UpdateRange(ID_LETTER_A, ID_LETTER_Z,
                       &DriveListView::OnUpdateLetter),
      Cmd::Command(ID_VIEW_REFRESH, &DriveListView::OnViewRefresh),
      Cmd::Command(ID_VIEW_OPTIONS, &DriveListView::OnViewOptions),
      Cmd::Command(ID_EDIT_CLEAR, &DriveListView::OnEditClear),
      Cmd::Update(ID_EDIT_CLEAR, &DriveListView::OnUpdateEditClear),
      Cmd::Command(ID_EDIT_CLEAR_ALL, &DriveListView::OnEditClearAll),
      Cmd::Command(ID_EDIT_RESTORE_ORIGINAL,
                   &DriveListView::OnEditRestoreOriginal),
      Cmd::Command(ID_FILE_SAVE, &DriveListView::OnFileSave),
      Cmd::Command(ID_TOOLS_SET_LABEL, &DriveListView::OnSetLabel),
      Cmd::Update(ID_TOOLS_SET_LABEL, &DriveListView::OnUpdateSetLabel),
      Cmd::Command(ID_TOOLS_SET_SERIAL_NUMBER,
                   &DriveListView::OnSetSerialNumber),
      Cmd::Update(ID_TOOLS_SET_SERIAL_NUMBER,
                  &DriveListView::OnUpdateSetSerialNumber),
      Cmd::Command(ID_DEVICE_PROPERTIES, &DriveListView::OnDeviceProperties),
      Cmd::Update(ID_DEVICE_PROPERTIES,
                  &DriveListView::OnUpdateDeviceProperties),
      Cmd::Command(ID_FILE_DISABLE_AND_EXIT, &DriveListView::DisableAndExit),
      Cmd::End()};
  static const CommandMap map = {CListCtrl::GetCommandMap(), entries};
  return &map;
}
