#include "assign/LabelSerial.h"

#include <string.h>

#include "assign/DriveListView.h"
#include "assign/SaveSequence.h"
#include "platform/Codes.h"
#include "platform/Platform.h"
#include "shell/ErrorReport.h"

namespace {

const uint8_t dosInterrupt = 0x21;
const uint16_t genericBlockIoctl = 0x440D;
const uint8_t getMediaId = 0x66;
const uint8_t setMediaId = 0x46;
// The FAT32-aware category first, then the old one.
const uint8_t categories[] = {0x48, 0x08};
// Offsets in the media ID record.
const int serialOffset = 2;

// 100-nanosecond intervals between 1601 and 1970.
const uint64_t unixEpoch = 116444736000000000ull;

const char duplicateSerialsQuestion[] =
    "Two or more of your hard disk drives have the same serial number. Their "
    "serial numbers must be corrected in order to save letter "
    "assignments.Do you want to correct them now ?";
const char duplicateLabelFormat[] =
    "You have chosen to save the information about your drives, that are "
    "visible in DOS mode, by label. However, the label '%s' appears more "
    "than once among these drives. Please, ensure that all the labels are "
    "unique. To change them, use menu item: \"Tools/Set Label\". Otherwise, "
    "you can choose to save the information by serial number. To do so, go "
    "to the menu item \"View/Options\".";

uint8_t* dataBlock(DriveTable& table) {
  return static_cast<uint8_t*>(table.dosDataBuffer.flatPointer);
}

void put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

bool sameLabel(const char* a, const char* b) {
  for (;; ++a, ++b) {
    char x = *a, y = *b;
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
    if (x != y) return false;
    if (x == '\0') return true;
  }
}

bool volumeInfoMissing(const DriveTable& table) {
  for (int i = 0; i < DriveTable::driveCount; ++i)
    if (IsDosHardDisk(table, i) && !table.record(i).volumeInfoValid)
      return true;
  return false;
}

// Every DOS hard disk's label and serial must be known. A Refresh reads
// them again, and it rebuilds the table, so the save's completeness check,
// passed on the old table, is made again on the new one.
bool ensureVolumeInfo(DriveListView& view) {
  if (!volumeInfoMissing(view.table)) return true;
  view.Refresh();
  if (volumeInfoMissing(view.table)) return false;
  return CheckAssignmentComplete(view.rules, view.table, view.GetBoxOwner());
}

// Whether `serial` differs from the serial of every DOS hard disk but
// `index`.
bool serialIsFree(const DriveTable& table, int index, uint32_t serial) {
  for (int j = 0; j < DriveTable::driveCount; ++j)
    if (j != index && IsDosHardDisk(table, j) &&
        table.record(j).serialNumber == serial)
      return false;
  return true;
}

void showSerials(DriveListView& view) {
  const int position = view.columnPosition[columnSerial];
  for (int row = 0; row < view.GetItemCount(); ++row) {
    const int drive = view.GetRowDrive(row);
    if (drive < 0 || drive >= DriveTable::driveCount ||
        !IsDosHardDisk(view.table, drive))
      continue;
    DriveRecord& record = view.table.record(drive);
    record.formatSerialText();
    if (position >= 0) view.SetItemText(row, position, record.serialText);
  }
}

}  // namespace

bool IsDosHardDisk(const DriveTable& table, int index) {
  const DriveRecord& record = table.record(index);
  return record.present && !record.protectedModeOnly &&
         record.driveType == DRIVE_FIXED && record.compressionRole == 0;
}

bool AccessMediaId(DriveTable& table, int index, bool write) {
  for (uint8_t category : categories) {
    RegisterPacket packet;
    memset(&packet, 0, sizeof packet);
    packet.interruptNumber = dosInterrupt;
    packet.mode = RegisterPacket::realMode;
    packet.setAx(genericBlockIoctl);
    packet.setBl(static_cast<uint8_t>(index + 1));
    packet.setCh(category);
    packet.setCl(write ? setMediaId : getMediaId);
    packet.setDx(0);
    packet.ds = table.dosDataBuffer.segment;
    table.driverLink.callRealMode(&packet);
    if (!packet.carry()) return true;
  }
  ReportLastError("Error %s serial number for the drive %c.",
                  write ? "writing" : "reading",
                  static_cast<char>('A' + index));
  return false;
}

bool SetSerialNumber(DriveTable& table, int index, uint32_t serial) {
  if (!table.driverLink.isDriverOpen()) return false;
  uint8_t* block = dataBlock(table);
  block[0] = 0;
  block[1] = 0;
  if (!AccessMediaId(table, index, false)) return false;
  block[0] = 0;
  block[1] = 0;
  put32(block + serialOffset, serial);
  return AccessMediaId(table, index, true);
}

uint32_t SerialDraws::Next() {
  state = state * 214013u + 2531011u;
  return (state >> 16) & 0x7FFF;
}

uint32_t SerialDraws::NextSerial() {
  const uint32_t low = Next();
  return low | (Next() << 16);
}

bool CheckDuplicateSerials(DriveListView& view) {
  if (!ensureVolumeInfo(view)) return false;
  DriveTable& table = view.table;
  const FileTime now = platform::kernel().GetSystemTimeAsFileTime();
  SerialDraws draws(static_cast<uint32_t>(
      (now > unixEpoch ? now - unixEpoch : 0) / 10000000u));
  bool asked = false;
  bool changed = false;
  bool result = true;
  for (int i = 0; i < DriveTable::driveCount && result; ++i) {
    if (!IsDosHardDisk(table, i)) continue;
    DriveRecord& record = table.record(i);
    bool duplicated = false;
    for (int j = i + 1; j < DriveTable::driveCount && !duplicated; ++j)
      duplicated = IsDosHardDisk(table, j) &&
                   table.record(j).serialNumber == record.serialNumber;
    if (!duplicated) continue;
    if (!asked) {
      if (platform::prompts().MessageBoxA(
              view.GetBoxOwner(), duplicateSerialsQuestion, "Pelmora",
              MB_ICONQUESTION | MB_YESNO) != IDYES) {
        result = false;
        break;
      }
      asked = true;
    }
    changed = true;
    uint32_t serial;
    do {
      serial = draws.NextSerial();
    } while (!serialIsFree(table, i, serial));
    record.serialNumber = serial;
    if (!SetSerialNumber(table, i, serial)) {
      record.serialNumber = 0;
      result = false;
    }
  }
  if (changed) showSerials(view);
  return result;
}

bool CheckDuplicateLabels(DriveListView& view) {
  if (!ensureVolumeInfo(view)) return false;
  const DriveTable& table = view.table;
  for (int i = 0; i < DriveTable::driveCount; ++i) {
    if (!IsDosHardDisk(table, i)) continue;
    for (int j = i + 1; j < DriveTable::driveCount; ++j) {
      if (!IsDosHardDisk(table, j) ||
          !sameLabel(table.record(i).volumeLabel, table.record(j).volumeLabel))
        continue;
      char text[640];
      platform::Format(text, sizeof text, duplicateLabelFormat,
                       table.record(i).volumeLabel);
      platform::prompts().MessageBoxA(view.GetBoxOwner(), text, "Pelmora",
                                      MB_ICONEXCLAMATION | MB_OK);
      return false;
    }
  }
  return true;
}

bool SerialFormat::IsWord(const char* text) {
  for (int i = 0; i < 4; ++i) {
    const char c = text[i];
    if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return false;
  }
  return text[4] == '\0';
}

uint32_t SerialFormat::Parse(const char* high, const char* low) {
  uint32_t value = 0;
  const char* words[] = {high, low};
  for (const char* text : words) {
    for (int i = 0; i < 4; ++i) {
      const char c = text[i];
      value =
          value * 16 + static_cast<uint32_t>(c <= '9' ? c - '0' : c - 'A' + 10);
    }
  }
  return value;
}

void LabelDialog::DoDataExchange(CDataExchange* dx) {
  DDX_Text(dx, promptTextId, prompt, sizeof prompt);
  DDX_Text(dx, labelEditId, label, sizeof label);
  DDV_MaxChars(dx, labelEditId, sizeof label - 1);
}

const DialogCommandEntry* LabelDialog::GetCommandMap() const {
  static const DialogCommandEntry entries[] = {
      {IDOK, static_cast<DialogCommandHandler>(&LabelDialog::OnOK)},
      {IDCANCEL, static_cast<DialogCommandHandler>(&LabelDialog::OnCancel)},
      {0, nullptr}};
  return entries;
}

void SerialNumberDialog::DoDataExchange(CDataExchange* dx) {
  DDX_Text(dx, promptTextId, prompt, sizeof prompt);
  DDX_Text(dx, serialHighId, high, sizeof high);
  DDV_MaxChars(dx, serialHighId, sizeof high - 1);
  DDX_Text(dx, serialLowId, low, sizeof low);
  DDV_MaxChars(dx, serialLowId, sizeof low - 1);
}

void SerialNumberDialog::OnOK() {
  if (!UpdateData(true)) return;
  if (!SerialFormat::IsWord(high) || !SerialFormat::IsWord(low)) {
    platform::prompts().MessageBoxA(
        GetSafeHwnd(),
        "Serial number must have the following form:\nnnnn - nnnn\nwhere n - "
        "hexadecimal numbers ( 0-9, A-F ).",
        "Pelmora", MB_ICONERROR | MB_OK);
    return;
  }
  EndDialog(IDOK);
}

const DialogCommandEntry* SerialNumberDialog::GetCommandMap() const {
  static const DialogCommandEntry entries[] = {
      {IDOK, static_cast<DialogCommandHandler>(&SerialNumberDialog::OnOK)},
      {IDCANCEL,
       static_cast<DialogCommandHandler>(&SerialNumberDialog::OnCancel)},
      {0, nullptr}};
  return entries;
}

void DriveListView::OnSetLabel() {
  const int row = TargetRow();
  if (row == -1) return;
  const int index = GetRowDrive(row);
  DriveRecord& record = table.record(index);
  const char letter = static_cast<char>('A' + index);
  LabelDialog dialog;
  if (record.volumeInfoValid)
    platform::Format(dialog.label, sizeof dialog.label, "%s",
                     record.volumeLabel);
  platform::Format(dialog.prompt, sizeof dialog.prompt,
                   "Please, enter a label for the drive %c:", letter);
  if (dialog.DoModal() != IDOK) return;
  const char root[4] = {letter, ':', '\\', '\0'};
  if (!platform::kernel().SetVolumeLabelA(root, dialog.label)) {
    ReportLastError("Error setting volume label on drive %c", letter);
    Refresh();
    return;
  }
  platform::Format(record.volumeLabel, sizeof record.volumeLabel, "%s",
                   dialog.label);
  if (columnPosition[columnLabel] >= 0)
    SetItemText(row, columnPosition[columnLabel], record.volumeLabel);
}

void DriveListView::OnSetSerialNumber() {
  const int row = TargetRow();
  if (row == -1) return;
  const int index = GetRowDrive(row);
  DriveRecord& record = table.record(index);
  const char letter = static_cast<char>('A' + index);
  SerialNumberDialog dialog;
  if (record.volumeInfoValid) {
    platform::Format(dialog.high, sizeof dialog.high, "%04X",
                     static_cast<unsigned>(record.serialNumber >> 16));
    platform::Format(dialog.low, sizeof dialog.low, "%04X",
                     static_cast<unsigned>(record.serialNumber & 0xFFFF));
  }
  platform::Format(dialog.prompt, sizeof dialog.prompt,
                   "Please, enter serial number for the drive %c:", letter);
  if (dialog.DoModal() != IDOK) return;
  record.serialNumber = SerialFormat::Parse(dialog.high, dialog.low);
  if (!SetSerialNumber(table, index, record.serialNumber)) {
    // The list then shows the number the disk really has.
    Refresh();
    return;
  }
  platform::Format(record.serialText, sizeof record.serialText, "%04X-%04X",
                   static_cast<unsigned>(record.serialNumber >> 16),
                   static_cast<unsigned>(record.serialNumber & 0xFFFF));
  if (columnPosition[columnSerial] >= 0)
    SetItemText(row, columnPosition[columnSerial], record.serialText);
}

void DriveListView::OnUpdateSetLabel(CCmdUI* ui) {
  ui->Enable(TargetRow() != -1);
}

void DriveListView::OnUpdateSetSerialNumber(CCmdUI* ui) {
  ui->Enable(TargetRow() != -1);
}
