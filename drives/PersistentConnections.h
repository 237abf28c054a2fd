// The user's saved (persistent) network connections, by drive letter.
// Until they are read from the registry the table holds none.
#pragma once
#include "platform/Types.h"

struct PersistentValue;

class PersistentConnectionTable {
 public:
  PersistentConnectionTable() { empty(); }
  void empty() {
    for (PersistentValue*& slot : slots) slot = nullptr;
  }
  bool hasPersistentConnection(int index) const {
    return index >= 0 && index < 26 && slots[index] != nullptr;
  }

 private:
  PersistentValue* slots[26];
};
