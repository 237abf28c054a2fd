// Holds at most one open registry key and closes it when it goes out of
// scope. Open and Create replace the key held only when the new one was
// obtained, so a failed open keeps the previous key usable.
#pragma once
#include "platform/Codes.h"
#include "platform/Platform.h"

class RegistryKey {
 public:
  RegistryKey() : key(0) {}
  ~RegistryKey() { Close(); }
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;

  int32_t Open(RegKey parent, const char* subKey,
               uint32_t samDesired = KEY_ALL_ACCESS);
  int32_t Create(RegKey parent, const char* subKey,
                 uint32_t* disposition = nullptr);
  int32_t QueryValue(const char* name, uint32_t* type, uint8_t* data,
                     uint32_t* dataSize);
  // A REG_SZ value; its length counts the terminator.
  int32_t SetStringValue(const char* name, const char* value);
  int32_t SetValue(const char* name, uint32_t type, const uint8_t* data,
                   uint32_t dataSize);
  int32_t DeleteValue(const char* name);
  void Close();

  bool IsOpen() const { return key != 0; }
  RegKey Handle() const { return key; }

 private:
  void Replace(RegKey obtained);
  RegKey key;
};
