#include "assign/OptionsDialog.h"

#include "platform/Codes.h"
#include "platform/Platform.h"
#include "shell/ErrorReport.h"

namespace {

const char optionsKey[] = "Software\\Ardentol\\Pelmora";
const char saveByValue[] = "SaveBy";

int32_t OpenOptionsKey(RegKey* key) {
  return platform::registry().RegCreateKeyExA(HKEY_LOCAL_MACHINE, optionsKey,
                                              REG_OPTION_NON_VOLATILE,
                                              KEY_ALL_ACCESS, key, nullptr);
}

}  // namespace

void OptionsDialog::DoDataExchange(CDataExchange* dx) {
  DDX_Radio(dx, optionsSaveBySerial, saveBy);
}

const DialogCommandEntry* OptionsDialog::GetCommandMap() const {
  static const DialogCommandEntry entries[] = {
      {IDOK, static_cast<DialogCommandHandler>(&OptionsDialog::OnOK)},
      {IDCANCEL, static_cast<DialogCommandHandler>(&OptionsDialog::OnCancel)},
      {0, nullptr}};
  return entries;
}

void ReadOptions(OptionsDialog& options) {
  RegKey key;
  const int32_t error = OpenOptionsKey(&key);
  if (error != ERROR_SUCCESS) {
    ReportSystemError(static_cast<uint32_t>(error), "Error reading options");
    return;
  }
  // Straight into the option, whatever the value's type; a shorter value
  // replaces only its own bytes.
  uint32_t size = sizeof options.saveBy;
  if (platform::registry().RegQueryValueExA(
          key, saveByValue, nullptr,
          reinterpret_cast<uint8_t*>(&options.saveBy), &size) != ERROR_SUCCESS)
    options.saveBy = 0;
  platform::registry().RegCloseKey(key);
}

bool SaveOptions(const OptionsDialog& options) {
  RegKey key;
  const int32_t error = OpenOptionsKey(&key);
  if (error != ERROR_SUCCESS) {
    ReportSystemError(static_cast<uint32_t>(error), "Error saving options");
    return false;
  }
  const int32_t value = options.saveBy;
  const bool written =
      platform::registry().RegSetValueExA(
          key, saveByValue, REG_DWORD, reinterpret_cast<const uint8_t*>(&value),
          sizeof value) == ERROR_SUCCESS;
  if (!written) ReportError("Error saving options");
  platform::registry().RegCloseKey(key);
  return written;
}

void RunOptionsCommand(OptionsDialog& options) {
  if (options.DoModal() == IDOK) SaveOptions(options);
}
