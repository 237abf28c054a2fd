#include "assign/DeviceProperties.h"

#include <string.h>

#include "assign/DriveListView.h"
#include "platform/Codes.h"
#include "platform/Platform.h"
#include "shell/ErrorReport.h"

namespace {

const char keyError[] =
    "Error working with the Registry key HKEY_LOCAL_MACHINE\\%s";
const char createQuestion[] =
    "The option \"%s\" is not present in the Registry for this device. Do "
    "you want to create the correspondent value in the Registry ?";

// A setting's check box, registry value, name in the question and member.
struct SettingInfo {
  int controlId;
  const char* valueName;
  const char* questionName;
  int32_t DevicePropertiesDialog::*member;
};

// In DeviceSetting's order.
const SettingInfo settings[deviceSettingCount] = {
    {deviceRemovableId, "Removable", "Removable",
     &DevicePropertiesDialog::removable},
    {deviceInt13Id, "Int13", "Int 13 unit",
     &DevicePropertiesDialog::int13Setting},
    {deviceDmaId, "DMACurrentlyUsed", "DMA", &DevicePropertiesDialog::dma},
    {deviceDisconnectId, "Disconnect", "Disconnect",
     &DevicePropertiesDialog::disconnect},
    {deviceSyncDataTransferId, "SyncDataXfer", "Synchronous data transfer",
     &DevicePropertiesDialog::syncDataTransfer},
    {deviceAutoInsertId, "AutoInsertNotification", "Auto insert notification",
     &DevicePropertiesDialog::autoInsertNotification},
};

// The letters of the present drives of device `node`: "D,E".
void DeviceLetters(const DriveTable& table, uint32_t node, char* letters,
                   size_t size) {
  size_t length = 0;
  letters[0] = '\0';
  for (int i = 0; i < DriveTable::driveCount; ++i) {
    const DriveRecord& record = table.record(i);
    if (!record.present || record.deviceNode != node) continue;
    if (length + 3 > size) break;
    if (length > 0) letters[length++] = ',';
    letters[length++] = static_cast<char>('A' + i);
    letters[length] = '\0';
  }
}

}  // namespace

DevicePropertiesDialog::DevicePropertiesDialog(WindowHandle parent)
    : CDialog(devicePropertiesDialogId, parent) {}

void DevicePropertiesDialog::ReadTexts(uint8_t* buffer) {
  struct {
    const char* name;
    char* text;
    size_t size;
  } const texts[] = {
      {"DeviceDesc", deviceName, sizeof deviceName},
      {"Class", deviceType, sizeof deviceType},
      {"RevisionLevel", firmwareRevision, sizeof firmwareRevision},
      {"SCSITargetID", targetId, sizeof targetId},
      {"SCSILUN", logicalUnitNumber, sizeof logicalUnitNumber},
  };
  for (const auto& value : texts) {
    value.text[0] = '\0';
    uint32_t size = valueBufferSize;
    if (deviceKey.QueryValue(value.name, nullptr, buffer, &size) !=
        ERROR_SUCCESS)
      continue;
    // Text up to its first zero byte; data without one ends where it ends.
    buffer[size < valueBufferSize ? size : valueBufferSize - 1] = 0;
    platform::Format(value.text, value.size, "%s",
                     reinterpret_cast<const char*>(buffer));
  }
}

void DevicePropertiesDialog::ReadSettings() {
  for (int i = 0; i < deviceSettingCount; ++i) {
    // A value of no bytes reads as off.
    uint8_t byte = 0;
    uint32_t size = 1;
    present[i] = deviceKey.QueryValue(settings[i].valueName, nullptr, &byte,
                                      &size) == ERROR_SUCCESS;
    this->*settings[i].member = present[i] && byte != 0 ? 1 : 0;
  }
}

bool DevicePropertiesDialog::WriteSettings(const char* keyPath) {
  for (int i = 0; i < deviceSettingCount; ++i) {
    if (!present[i]) continue;
    const uint8_t byte = this->*settings[i].member != 0 ? 1 : 0;
    if (deviceKey.SetValue(settings[i].valueName, REG_BINARY, &byte, 1) !=
        ERROR_SUCCESS) {
      ReportError(keyError, keyPath);
      return false;
    }
  }
  return true;
}

bool DevicePropertiesDialog::ShowDeviceProperties(const char* keyPath,
                                                  IconHandle driveIcon,
                                                  const char* letters,
                                                  int32_t& letterCount) {
  if (keyPath == nullptr) keyPath = "";
  // An empty path would open HKEY_LOCAL_MACHINE itself.
  if (keyPath[0] == '\0') {
    ReportError(keyError, keyPath);
    return false;
  }
  int32_t error = deviceKey.Open(HKEY_LOCAL_MACHINE, keyPath, KEY_ALL_ACCESS);
  if (error != ERROR_SUCCESS) {
    ReportSystemError(static_cast<uint32_t>(error), keyError, keyPath);
    return false;
  }
  uint32_t longest = 0;
  error = platform::registry().RegQueryInfoKeyA(
      deviceKey.Handle(), nullptr, nullptr, nullptr, nullptr, &longest);
  if (error != ERROR_SUCCESS) {
    ReportSystemError(static_cast<uint32_t>(error), keyError, keyPath);
    return false;
  }
  // The longest data and a terminator; a length that leaves no room for
  // one is no length a key can have.
  if (longest == 0xFFFFFFFFu) {
    ReportError(keyError, keyPath);
    return false;
  }
  valueBufferSize = longest + 1;
  uint8_t* buffer = new uint8_t[valueBufferSize];
  ReadTexts(buffer);
  delete[] buffer;
  ReadSettings();

  icon = driveIcon;
  platform::Format(currentLetters, sizeof currentLetters, "%s",
                   letters != nullptr ? letters : "");
  maxLetters = letterCount;
  letterCountApplies = maxLetters != 0;
  if (DoModal() != IDOK) return true;
  const bool written = WriteSettings(keyPath);
  letterCount = maxLetters;
  return written;
}

void DevicePropertiesDialog::DoDataExchange(CDataExchange* dx) {
  DDX_Control(dx, deviceMaxLettersSpinId, spin);
  DDX_Control(dx, deviceIconId, iconView);
  DDX_Text(dx, deviceNameId, deviceName, sizeof deviceName);
  DDX_Text(dx, deviceTypeId, deviceType, sizeof deviceType);
  DDX_Text(dx, deviceFirmwareRevisionId, firmwareRevision,
           sizeof firmwareRevision);
  DDX_Text(dx, deviceCurrentLettersId, currentLetters, sizeof currentLetters);
  DDX_Text(dx, deviceLogicalUnitId, logicalUnitNumber,
           sizeof logicalUnitNumber);
  DDX_Text(dx, deviceTargetId, targetId, sizeof targetId);
  DDX_Check(dx, deviceAutoInsertId, autoInsertNotification);
  DDX_Check(dx, deviceDisconnectId, disconnect);
  DDX_Check(dx, deviceDmaId, dma);
  DDX_Check(dx, deviceInt13Id, int13Setting);
  DDX_Check(dx, deviceRemovableId, removable);
  DDX_Check(dx, deviceSyncDataTransferId, syncDataTransfer);
  if (letterCountApplies) {
    DDX_Text(dx, deviceMaxLettersId, maxLetters);
    DDV_MinMaxInt(dx, maxLetters, 1, DriveTable::driveCount);
  }
}

bool DevicePropertiesDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  iconView.SetIcon(icon);
  if (letterCountApplies) {
    spin.SetRange(1, DriveTable::driveCount);
    spin.SetPos(maxLetters);
  } else {
    spin.EnableWindow(false);
    SetDlgItemText(deviceMaxLettersId, "");
    EnableDlgItem(deviceMaxLettersId, false);
  }
  return true;
}

void DevicePropertiesDialog::OnSettingClicked(DeviceSetting setting) {
  if (present[setting]) return;
  char question[256];
  platform::Format(question, sizeof question, createQuestion,
                   settings[setting].questionName);
  if (platform::prompts().MessageBoxA(GetSafeHwnd(), question, "Pelmora",
                                      MB_ICONQUESTION | MB_YESNO) == IDYES)
    present[setting] = true;
  else
    CheckDlgButton(settings[setting].controlId, kBstUnchecked);
}

const DialogCommandEntry* DevicePropertiesDialog::GetCommandMap() const {
  typedef DevicePropertiesDialog D;
  static const DialogCommandEntry entries[] = {
      {IDOK, static_cast<DialogCommandHandler>(&D::OnOK)},
      {IDCANCEL, static_cast<DialogCommandHandler>(&D::OnCancel)},
      {deviceRemovableId,
       static_cast<DialogCommandHandler>(&D::OnRemovableClicked)},
      {deviceInt13Id, static_cast<DialogCommandHandler>(&D::OnInt13Clicked)},
      {deviceDmaId, static_cast<DialogCommandHandler>(&D::OnDmaClicked)},
      {deviceDisconnectId,
       static_cast<DialogCommandHandler>(&D::OnDisconnectClicked)},
      {deviceSyncDataTransferId,
       static_cast<DialogCommandHandler>(&D::OnSyncDataTransferClicked)},
      {deviceAutoInsertId,
       static_cast<DialogCommandHandler>(&D::OnAutoInsertClicked)},
      {0, nullptr}};
  return entries;
}

void DriveListView::ShowDeviceProperties() {
  const int row = TargetRow();
  if (row == -1) return;
  const int index = GetRowDrive(row);
  if (index < 0 || index >= DriveTable::driveCount) return;
  DriveRecord& record = table.record(index);
  if (record.deviceNode == 0) return;
  // The large icon, from the attributes alone: the drive is not touched.
  platform::Shell& shell = platform::shell();
  const char root[] = {static_cast<char>('A' + index), ':', '\\', '\0'};
  IconHandle icon = 0;
  if (shell.SHGetFileInfoA(root, FILE_ATTRIBUTE_DIRECTORY,
                           SHGFI_ICON | SHGFI_USEFILEATTRIBUTES, &icon) == 0 ||
      icon == 0)
    return;
  char letters[52];
  DeviceLetters(table, record.deviceNode, letters, sizeof letters);
  int32_t maxLetters = 0;
  if (rules.IsGroupMember(index) && record.letterGroup != nullptr)
    maxLetters = static_cast<int32_t>(record.letterGroup->letterCount);
  {
    // Gone, and its key closed, before the icon goes.
    DevicePropertiesDialog dialog(GetSafeHwnd());
    dialog.ShowDeviceProperties(record.deviceKeyPath, icon, letters,
                                maxLetters);
  }
  shell.DestroyIcon(icon);
  // Shared by every drive of the device; the next save writes it. It does
  // not count as an unsaved change.
  if (maxLetters != 0 && record.letterGroup != nullptr)
    record.letterGroup->letterCount = static_cast<uint32_t>(maxLetters);
}

void DriveListView::OnDeviceProperties() { ShowDeviceProperties(); }

void DriveListView::OnUpdateDeviceProperties(CCmdUI* ui) {
  const int row = TargetRow();
  const int index = row == -1 ? -1 : GetRowDrive(row);
  ui->Enable(index >= 0 && index < DriveTable::driveCount &&
             table.record(index).deviceNode != 0);
}
