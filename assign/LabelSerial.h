// Volume labels and serial numbers of the drives: the Set Label and Set
// Serial Number commands and the save's checks that the DOS hard disks,
// which the DOS-mode companion recognises by serial number or by label,
// can be told apart.
#pragma once
#include "framework/Dialog.h"
#include "platform/Types.h"

class DriveListView;
class DriveTable;

// A present, fixed, uncompressed drive that MS-DOS sees.
bool IsDosHardDisk(const DriveTable& table, int index);
// Reads (write false) or writes the media ID record of drive `index` at the
// start of the DOS data buffer; reports a failure.
bool AccessMediaId(DriveTable& table, int index, bool write);
// Writes `serial` to the disk, keeping its label and file-system type;
// false without a message when the driver is not open.
bool SetSerialNumber(DriveTable& table, int index, uint32_t serial);

// The pseudo-random draws of new serial numbers: 0..32767 each, seeded with
// the time in seconds.
struct SerialDraws {
  uint32_t state;
  explicit SerialDraws(uint32_t seed) : state(seed) {}
  uint32_t Next();
  // The low half from one draw, the high half from the next.
  uint32_t NextSerial();
};

// Gives the earlier disk of every equal pair a new serial number, after one
// question; false when the user declined, a disk's volume data is missing or
// a write failed.
bool CheckDuplicateSerials(DriveListView& view);
// Reports the first label two DOS hard disks share (case aside).
bool CheckDuplicateLabels(DriveListView& view);

// The serial number dialog's rule for its two fields: four hexadecimal
// digits each, upper case as the edits force it.
struct SerialFormat {
  static bool IsWord(const char* text);
  // high * 65536 + low of two valid words.
  static uint32_t Parse(const char* high, const char* low);
};

// Template 132 and its controls.
const int labelDialogId = 132;
const int labelEditId = 1000;
const int promptTextId = 1001;
// Template 133 and its edits.
const int serialDialogId = 133;
const int serialHighId = 1002;
const int serialLowId = 1003;

// Asks for a volume label of at most 11 characters.
class LabelDialog : public CDialog {
 public:
  LabelDialog() : CDialog(labelDialogId, 0) {}
  char label[12] = "";
  char prompt[64] = "";
  void DoDataExchange(CDataExchange* dx) override;

 protected:
  const DialogCommandEntry* GetCommandMap() const override;
};

// Asks for a serial number as two words of four hexadecimal digits; OK
// keeps the dialog open until both have that form.
class SerialNumberDialog : public CDialog {
 public:
  SerialNumberDialog() : CDialog(serialDialogId, 0) {}
  char prompt[64] = "";
  char high[5] = "";
  char low[5] = "";
  void DoDataExchange(CDataExchange* dx) override;

 protected:
  void OnOK();
  const DialogCommandEntry* GetCommandMap() const override;
};
