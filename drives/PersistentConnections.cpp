#include "drives/PersistentConnections.h"

#include <string.h>

#include "platform/Codes.h"
#include "platform/Platform.h"
#include "platform/RegistryKey.h"
#include "shell/ErrorReport.h"

const char persistentConnectionsKey[] = "Network\\Persistent";

namespace {

const char currentUserName[] = "HKEY_CURRENT_USER";

void freeValues(PersistentValue* values) {
  if (!values) return;
  for (PersistentValue* value = values; value->valueName; ++value) {
    delete[] value->valueName;
    delete[] value->data;
  }
  delete[] values;
}

// The slot a subkey name stands for: one letter, either case; -1 for
// every other name, which is left alone.
int slotOfName(const char* name) {
  if (name[0] == '\0' || name[1] != '\0') return -1;
  char letter = name[0];
  if (letter >= 'a' && letter <= 'z') letter = char(letter - 'a' + 'A');
  return letter >= 'A' && letter <= 'Z' ? letter - 'A' : -1;
}

// Reads every value of one connection key; null when any of them fails,
// so that a connection is either complete or absent.
PersistentValue* readConnection(RegKey key) {
  platform::Registry& registry = platform::registry();
  uint32_t valueCount = 0, longestName = 0, longestData = 0;
  if (registry.RegQueryInfoKeyA(key, nullptr, nullptr, &valueCount,
                                &longestName, &longestData) != ERROR_SUCCESS)
    return nullptr;
  char* name = new char[longestName + 1];
  uint8_t* data = new uint8_t[longestData ? longestData : 1];
  PersistentValue* values = new PersistentValue[valueCount + 1];
  memset(values, 0, sizeof(PersistentValue) * (valueCount + 1));
  bool failed = false;
  for (uint32_t i = 0; i < valueCount; ++i) {
    uint32_t nameSize = longestName + 1;
    uint32_t dataSize = longestData;
    uint32_t type = 0;
    if (registry.RegEnumValueA(key, i, name, &nameSize, &type, data,
                               &dataSize) != ERROR_SUCCESS) {
      failed = true;
      break;
    }
    PersistentValue& value = values[i];
    size_t length = strlen(name);
    value.valueName = new char[length + 1];
    memcpy(value.valueName, name, length + 1);
    value.valueType = type;
    value.dataLength = dataSize;
    value.data = new uint8_t[dataSize ? dataSize : 1];
    memcpy(value.data, data, dataSize);
  }
  delete[] name;
  delete[] data;
  if (failed) {
    freeValues(values);
    return nullptr;
  }
  return values;
}

// Writes one connection under the letter's key; reports a key that cannot
// be created. False when the connection is not there whole.
bool writeConnection(RegKey main, char letter, const PersistentValue* values) {
  char name[2] = {letter, '\0'};
  RegistryKey connection;
  int32_t error = connection.Create(main, name);
  if (error != ERROR_SUCCESS) {
    ReportSystemError(error, "Error creating Registry key %s\\%s\\%s",
                      currentUserName, persistentConnectionsKey, name);
    return false;
  }
  bool whole = true;
  for (const PersistentValue* value = values; value->valueName; ++value) {
    if (connection.SetValue(value->valueName, value->valueType, value->data,
                            value->dataLength) != ERROR_SUCCESS)
      whole = false;
  }
  return whole;
}

}  // namespace

void PersistentConnectionTable::empty() {
  for (PersistentValue*& slot : slots) slot = nullptr;
}

void PersistentConnectionTable::freePersistentConnections() {
  for (PersistentValue*& slot : slots) {
    freeValues(slot);
    slot = nullptr;
  }
}

int32_t PersistentConnectionTable::readPersistentConnections() {
  freePersistentConnections();
  platform::Registry& registry = platform::registry();
  RegistryKey main;
  int32_t error =
      main.Open(HKEY_CURRENT_USER, persistentConnectionsKey, KEY_ALL_ACCESS);
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return 1;
  if (error != ERROR_SUCCESS) {
    ReportSystemError(error, "Error opening Registry key %s\\%s",
                      currentUserName, persistentConnectionsKey);
    return 0;
  }
  uint32_t subKeyCount = 0, longestName = 0;
  if (registry.RegQueryInfoKeyA(main.Handle(), &subKeyCount, &longestName,
                                nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
    ReportError("Reading Registry information about network drives failed.");
    return 0;
  }
  char* name = new char[longestName + 1];
  int32_t ok = 1;
  for (uint32_t i = 0; i < subKeyCount; ++i) {
    uint32_t nameSize = longestName + 1;
    if (registry.RegEnumKeyExA(main.Handle(), i, name, &nameSize) !=
        ERROR_SUCCESS) {
      ok = 0;
      continue;
    }
    int slot = slotOfName(name);
    // Names are case-insensitive, so a second key for one letter cannot
    // exist; should a registry offer one anyway, the first one counts.
    if (slot < 0 || slots[slot]) continue;
    RegistryKey connection;
    error = connection.Open(main.Handle(), name, KEY_ALL_ACCESS);
    if (error != ERROR_SUCCESS) {
      ReportSystemError(error, "Error opening Registry key %s\\%s\\%s",
                        currentUserName, persistentConnectionsKey, name);
      ok = 0;
      continue;
    }
    slots[slot] = readConnection(connection.Handle());
    if (!slots[slot]) ok = 0;
  }
  delete[] name;
  return ok;
}

// Only the keys of connections held here are deleted and written back: a
// key that could not be read, or that appeared after the read, is never
// deleted, and no connection is written into such a key. A connection
// that cannot be moved keeps its own key as it was and fails the save.
int32_t PersistentConnectionTable::writePersistentConnections(
    const char* newLetters) {
  bool any = false;
  for (PersistentValue* slot : slots) any = any || slot;
  if (!any) return 1;

  platform::Registry& registry = platform::registry();
  RegistryKey main;
  int32_t error = main.Create(HKEY_CURRENT_USER, persistentConnectionsKey);
  if (error != ERROR_SUCCESS) {
    ReportSystemError(error, "Error opening Registry key %s\\%s",
                      currentUserName, persistentConnectionsKey);
    return 0;
  }

  // Letter keys there now.
  bool exists[slotCount];
  for (int i = 0; i < slotCount; ++i) {
    char letter[2] = {char('A' + i), '\0'};
    RegistryKey probe;
    exists[i] =
        probe.Open(main.Handle(), letter, KEY_ALL_ACCESS) == ERROR_SUCCESS;
  }
  // A connection is blocked when it has no letter to go to, shares its
  // target with another, or its target is a key that stays.
  bool blocked[slotCount] = {};
  for (bool changed = true; changed;) {
    changed = false;
    for (int i = 0; i < slotCount; ++i) {
      if (!slots[i] || blocked[i]) continue;
      char target = newLetters[i];
      bool block = target < 'A' || target > 'Z';
      if (!block) {
        int t = target - 'A';
        for (int j = 0; j < slotCount && !block; ++j)
          block = j != i && slots[j] && newLetters[j] == target;
        bool targetStays = !slots[t] || blocked[t];
        block = block || (targetStays && exists[t]);
      }
      if (block) blocked[i] = changed = true;
    }
  }

  for (int i = 0; i < slotCount; ++i) {
    if (!slots[i] || blocked[i]) continue;
    char upper[2] = {char('A' + i), '\0'};
    char lower[2] = {char('a' + i), '\0'};
    registry.RegDeleteKeyA(main.Handle(), upper);
    registry.RegDeleteKeyA(main.Handle(), lower);
  }

  int32_t ok = 1;
  bool writeFailed = false;
  for (int i = 0; i < slotCount; ++i) {
    if (!slots[i]) continue;
    if (blocked[i]) {
      ok = 0;
      continue;
    }
    if (!writeConnection(main.Handle(), newLetters[i], slots[i]))
      writeFailed = true;
  }
  if (writeFailed) {
    // A connection whose old key is gone and whose new one could not be
    // written would be lost: every moved connection goes back to its own
    // letter, as before the save.
    ok = 0;
    for (int i = 0; i < slotCount; ++i) {
      if (!slots[i] || blocked[i]) continue;
      char name[2] = {newLetters[i], '\0'};
      registry.RegDeleteKeyA(main.Handle(), name);
    }
    for (int i = 0; i < slotCount; ++i)
      if (slots[i] && !blocked[i])
        writeConnection(main.Handle(), char('A' + i), slots[i]);
  }
  if (!ok) ReportError("Saving letters for the network drives failed.");
  return ok;
}
