#include "platform/RegistryKey.h"

#include <string.h>

void RegistryKey::Replace(RegKey obtained) {
  Close();
  key = obtained;
}

int32_t RegistryKey::Open(RegKey parent, const char* subKey,
                          uint32_t samDesired) {
  RegKey obtained = 0;
  int32_t result = platform::registry().RegOpenKeyExA(parent, subKey, 0,
                                                      samDesired, &obtained);
  if (result == ERROR_SUCCESS) Replace(obtained);
  return result;
}

int32_t RegistryKey::Create(RegKey parent, const char* subKey,
                            uint32_t* disposition) {
  RegKey obtained = 0;
  int32_t result = platform::registry().RegCreateKeyExA(
      parent, subKey, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, &obtained,
      disposition);
  if (result == ERROR_SUCCESS) Replace(obtained);
  return result;
}

int32_t RegistryKey::QueryValue(const char* name, uint32_t* type,
                                uint8_t* data, uint32_t* dataSize) {
  return platform::registry().RegQueryValueExA(key, name, type, data,
                                               dataSize);
}

int32_t RegistryKey::SetStringValue(const char* name, const char* value) {
  return SetValue(name, REG_SZ, reinterpret_cast<const uint8_t*>(value),
                  static_cast<uint32_t>(strlen(value) + 1));
}

int32_t RegistryKey::SetValue(const char* name, uint32_t type,
                              const uint8_t* data, uint32_t dataSize) {
  return platform::registry().RegSetValueExA(key, name, type, data, dataSize);
}

int32_t RegistryKey::DeleteValue(const char* name) {
  return platform::registry().RegDeleteValueA(key, name);
}

void RegistryKey::Close() {
  if (key != 0) {
    platform::registry().RegCloseKey(key);
    key = 0;
  }
}
