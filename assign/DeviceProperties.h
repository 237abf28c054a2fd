// A device's registry settings: its description, class, firmware revision
// and SCSI address, six on/off settings that Windows keeps in the device's
// key, and for a device group the most letters the device may hold.
#pragma once
#include <stdint.h>

#include "framework/Dialog.h"
#include "framework/DialogControls.h"
#include "platform/RegistryKey.h"
#include "platform/Types.h"

// Template 135 and its controls.
const int devicePropertiesDialogId = 135;
const int deviceDisconnectId = 1007;
const int deviceSyncDataTransferId = 1008;
const int deviceAutoInsertId = 1009;
const int deviceRemovableId = 1010;
const int deviceInt13Id = 1011;
const int deviceDmaId = 1012;
const int deviceCurrentLettersId = 1013;
const int deviceIconId = 1015;
const int deviceTargetId = 1016;
const int deviceLogicalUnitId = 1017;
const int deviceFirmwareRevisionId = 1018;
const int deviceNameId = 1021;
const int deviceTypeId = 1022;
const int deviceMaxLettersSpinId = 1039;
const int deviceMaxLettersId = 1040;

// The six on/off settings, in the order they are read and written.
enum DeviceSetting {
  settingRemovable,
  settingInt13,
  settingDma,
  settingDisconnect,
  settingSyncDataTransfer,
  settingAutoInsertNotification,
  deviceSettingCount
};

class DevicePropertiesDialog : public CDialog {
 public:
  explicit DevicePropertiesDialog(WindowHandle parent = 0);

  // Reads the device key HKEY_LOCAL_MACHINE\keyPath, shows the dialog and,
  // on OK, writes the settings that exist (or that the user agreed to
  // create) as one binary byte each, stopping at the first failing write.
  // `maxLetters`, 0 when the count does not apply, becomes the dialog's
  // count after OK. False when the key cannot be read or a write failed
  // (both reported); true after a cancel or when every write succeeded.
  bool ShowDeviceProperties(const char* keyPath, IconHandle icon,
                            const char* currentLetters, int32_t& maxLetters);

  CSpinButtonCtrl spin;
  CStatic iconView;
  char deviceName[256] = "";
  char deviceType[256] = "";
  char firmwareRevision[256] = "";
  char currentLetters[52] = "";
  char logicalUnitNumber[256] = "";
  char targetId[256] = "";
  int32_t autoInsertNotification = 0;
  int32_t disconnect = 0;
  int32_t dma = 0;
  int32_t int13Setting = 0;
  int32_t removable = 0;
  int32_t syncDataTransfer = 0;
  // 0: not applicable.
  int32_t maxLetters = 0;
  // Per setting (in DeviceSetting's order): the value exists in the key, or
  // the user agreed to create it.
  bool present[deviceSettingCount] = {};
  IconHandle icon = 0;  // not owned
  uint32_t valueBufferSize = 0;
  RegistryKey deviceKey;

  void DoDataExchange(CDataExchange* dx) override;
  bool OnInitDialog() override;

 protected:
  const DialogCommandEntry* GetCommandMap() const override;

 private:
  // Whether the count is exchanged and validated: fixed when the dialog
  // starts, so that a refused 0 does not turn the check off.
  bool letterCountApplies = false;

  void ReadTexts(uint8_t* buffer);
  void ReadSettings();
  bool WriteSettings(const char* keyPath);
  // A click on a setting's box: asks whether to create a missing value.
  void OnSettingClicked(DeviceSetting setting);
  void OnRemovableClicked() { OnSettingClicked(settingRemovable); }
  void OnInt13Clicked() { OnSettingClicked(settingInt13); }
  void OnDmaClicked() { OnSettingClicked(settingDma); }
  void OnDisconnectClicked() { OnSettingClicked(settingDisconnect); }
  void OnSyncDataTransferClicked() {
    OnSettingClicked(settingSyncDataTransfer);
  }
  void OnAutoInsertClicked() {
    OnSettingClicked(settingAutoInsertNotification);
  }
};
