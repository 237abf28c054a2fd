// The program's main view: one row per drive with its New and Old letter
// and its description. It owns the drive table, widens every selection to
// a whole device group, and is the central dispatch of the drive commands.
#pragma once
#include "assign/AssignmentRules.h"
#include "assign/OptionsDialog.h"
#include "drives/DriveDiscovery.h"
#include "drives/DriveTable.h"
#include "framework/ImageList.h"
#include "framework/ListCtrl.h"

// Command ids the view handles.
enum DriveCommand {
  ID_LETTER_A = 32771,
  ID_LETTER_Z = 32796,
  ID_VIEW_REFRESH = 32797,
  ID_TOOLS_SET_LABEL = 32808,
  ID_TOOLS_SET_SERIAL_NUMBER = 32809,
  ID_VIEW_OPTIONS = 32812,
  ID_DEVICE_PROPERTIES = 32813,
  ID_EDIT_RESTORE_ORIGINAL = 32817,
  ID_FILE_DISABLE_AND_EXIT = 32816,
  ID_FILE_SAVE = 57603,
  ID_EDIT_CLEAR = 57632,
  ID_EDIT_CLEAR_ALL = 57633
};

// The private message that widens a selection to its device group.
const unsigned WM_SELECT_GROUP = 0x8000 + 1000;
// The control id of the main view.
const unsigned driveListId = 59648;

class DriveListView : public CListCtrl, public DriveRows {
 public:
  // `options` is the application's, for the Options command and the save.
  explicit DriveListView(OptionsDialog* options = nullptr);
  ~DriveListView() override;

  bool PreCreateWindow(CreateStruct& cs) override;

  // The focused row while at least one row is selected, else -1.
  int TargetRow() const;
  // Sets `state` on `row` and its device group and clears it on every
  // other row; row -1 clears it everywhere.
  void SelectGroup(int row, unsigned state);
  // Sorts by the column at `position` in its remembered direction.
  void SortRows(int position);
  // Tears the rows, columns and icons down, then the table's records.
  void ClearView();
  // Finds every drive and fills the list: 1, or 0 when a shell call or the
  // image list failed.
  int32_t buildDriveTable();
  void Refresh();

  // Takes over a drag that the letter bar started: the view owns both
  // image lists (heap objects) from here on.
  void BeginLetterDrag(CImageList* dropImages, CImageList* noDropImages,
                       int hotSpotX, int hotSpotY, char letter);
  // Ends a drag without assigning anything; safe when re-entered.
  void EndLetterDrag();
  // Writes the New letters everywhere the system keeps letters: every
  // writer runs, each reports its own failure, and a failed save ends with
  // one summary. True when all of them succeeded.
  bool SaveAssignment();
  // Whether the program may close now: offers to save unsaved changes and,
  // after a save, the reboot. Virtual, so that tests can stand in for it.
  virtual bool QueryClose();

  // The rows as the assignment rules see them.
  int GetRowCount() const override;
  int GetRowDrive(int row) const override;
  void SetRowNewText(int row, const char* text) override;
  void SetModified(bool value) override { modified = value; }
  WindowHandle GetBoxOwner() const override { return GetSafeHwnd(); }

  DriveTable table;
  AssignmentRules rules;
  int columnCount;
  int columnPosition[driveColumnCount];
  int sortColumn;
  int sortDirection[driveColumnCount];
  int selectionGuard;
  bool ignoreNextLetterCommand;
  bool modified;
  bool restartPending;
  OptionsDialog* options;

  // The letter drag.
  bool dragging;
  CImageList* dropImages;    // the picture with the arrow, owned
  CImageList* noDropImages;  // the picture with the "no" sign, owned
  CPoint hotSpot;
  int dropTargetRow;
  char dragLetter;

 protected:
  // Start-up checks, and the Device Properties command on the target row
  // (the command, the double click and the shortcut menu). Virtual, so
  // that tests can stand in for them.
  virtual bool CheckCdRomLetters();
  virtual bool CheckDriveSpaceLaunched();
  virtual void ShowDeviceProperties();
  // The save's checks that the DOS hard disks' serial numbers or labels are
  // unique.
  virtual bool CheckDuplicateSerials();
  virtual bool CheckDuplicateLabels();

  int OnCreate(CreateStruct* cs);
  void OnNcDestroy();
  intptr_t OnColumnClick(const NmListView& notify);
  intptr_t OnItemChanged(const NmListView& notify);
  intptr_t OnSelectGroupMessage(uintptr_t wParam, intptr_t lParam);
  void OnChar(unsigned ch, unsigned repeat, unsigned flags);
  void OnContextMenu(CWnd* window, CPoint screen);
  void OnLButtonDblClk(unsigned keyFlags, CPoint point);
  intptr_t OnBeginDrag(const NmListView& notify);
  void OnMouseMove(unsigned keyFlags, CPoint point);
  void OnLButtonUp(unsigned keyFlags, CPoint point);
  intptr_t OnKeyDown(const NmListKeyDown& notify);
  void OnCaptureChanged(CWnd* newCapture);

  void OnLetter(unsigned id);
  void OnUpdateLetter(CCmdUI* ui);
  void OnViewRefresh();
  void OnViewOptions();
  void OnEditClear();
  void OnUpdateEditClear(CCmdUI* ui);
  void OnEditClearAll();
  void OnEditRestoreOriginal();
  void OnFileSave();
  // Set Label and Set Serial Number on the target row's drive.
  void OnSetLabel();
  void OnUpdateSetLabel(CCmdUI* ui);
  void OnSetSerialNumber();
  void OnUpdateSetSerialNumber(CCmdUI* ui);
  // Enabled for a target row whose drive has a device node.
  void OnDeviceProperties();
  void OnUpdateDeviceProperties(CCmdUI* ui);
  // Empties Letters.ini, so that the companion changes no letter at the
  // next boot, and closes the program.
  void DisableAndExit();

  const MessageMap* GetMessageMap() const override;
  const CommandMap* GetCommandMap() const override;

 private:
  void addDriveRow(const char* root, ItemIdList* shellItem, int row, int image,
                   int* widths, int32_t* compressionSeen);
  // The image index of an icon, creating the image list at the first one;
  // -2 when the list could not be created.
  int AddIcon(IconHandle icon);
  void RemoveColumn(int column, int* widths);
  static int CompareRows(intptr_t a, intptr_t b, intptr_t view);
  // The full-row look, off while a drag runs.
  void SetFullRowLook(bool on);
  // The row under a client point; to the right of the columns, the row at
  // that height.
  int DragHitTest(CPoint point);
  // Hides the cursor for the drag; EndLetterDrag shows it as often.
  void HideCursor();

  CImageList smallImages;
  int sortingColumn;
  // ShowCursor(FALSE) calls made for the running drag.
  int cursorHidden;
};
