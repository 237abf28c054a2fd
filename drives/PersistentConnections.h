// The user's saved (persistent) network connections, by drive letter: the
// keys below HKEY_CURRENT_USER\Network\Persistent, copied byte for byte so
// that a save can move each one to its drive's New letter.
#pragma once
#include "platform/Types.h"

struct PersistentValue {
  char* valueName;  // owned; null ends a connection's array
  uint32_t valueType;
  uint8_t* data;  // owned
  uint32_t dataLength;
};

class PersistentConnectionTable {
 public:
  static const int slotCount = 26;

  PersistentConnectionTable() { empty(); }
  ~PersistentConnectionTable() { freePersistentConnections(); }
  PersistentConnectionTable(const PersistentConnectionTable&) = delete;
  PersistentConnectionTable& operator=(const PersistentConnectionTable&) =
      delete;

  // Sets every slot to null without freeing (construction only).
  void empty();
  void freePersistentConnections();
  bool hasPersistentConnection(int index) const {
    return index >= 0 && index < slotCount && slots[index] != nullptr;
  }
  // The values of a connection, ended by an entry with a null name; null
  // when the letter has none.
  const PersistentValue* connection(int index) const {
    return hasPersistentConnection(index) ? slots[index] : nullptr;
  }

  // 1 on success, also when the user has no saved connections.
  int32_t readPersistentConnections();
  // Moves each connection to newLetters[its index]; 1 on success.
  int32_t writePersistentConnections(const char* newLetters);

 private:
  PersistentValue* slots[slotCount];
};

extern const char persistentConnectionsKey[];
