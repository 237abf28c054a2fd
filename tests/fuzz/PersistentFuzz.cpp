// The persistent network connections: whatever keys and values the user's
// HKEY_CURRENT_USER\Network\Persistent holds, every one-letter key is read
// byte for byte, and moving the connections to new letters keeps every
// connection whole, at its new letter or (when the move is blocked, which
// fails the save) at its own, and leaves every other key alone.
#include <stdint.h>

#include <map>

#include "drives/PersistentConnections.h"
#include "platform/Codes.h"
#include "platform/RegistryKey.h"
#include "tests/fuzz/FuzzMachine.h"

namespace {

struct Value {
  std::string name;
  uint32_t type;
  std::string data;
  bool operator==(const Value& o) const {
    return name == o.name && type == o.type && data == o.data;
  }
};
using Values = std::vector<Value>;

const char kNames[] = "AEeNnZz1_";

// Every value of HKCU\Network\Persistent\<name>, in order; false when the
// key is missing.
bool ReadKey(const std::string& name, Values* values) {
  values->clear();
  RegistryKey key;
  const std::string path = std::string(persistentConnectionsKey) + "\\" + name;
  if (key.Open(HKEY_CURRENT_USER, path.c_str()) != ERROR_SUCCESS) return false;
  platform::Registry& registry = platform::registry();
  for (uint32_t i = 0;; ++i) {
    char valueName[300];
    uint8_t data[600];
    uint32_t nameSize = sizeof valueName, dataSize = sizeof data, type = 0;
    if (registry.RegEnumValueA(key.Handle(), i, valueName, &nameSize, &type,
                               data, &dataSize) != ERROR_SUCCESS)
      break;
    values->push_back(
        {valueName, type,
         std::string(reinterpret_cast<const char*>(data), dataSize)});
  }
  return true;
}

Values Held(const PersistentConnectionTable& table, int slot) {
  Values values;
  for (const PersistentValue* v = table.connection(slot); v && v->valueName;
       ++v)
    values.push_back(
        {v->valueName, v->valueType,
         std::string(reinterpret_cast<const char*>(v->data), v->dataLength)});
  return values;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Machine("roundtrip-network");
  fuzz::Reset();
  platform::Registry& registry = platform::registry();
  registry.RegDeleteKeyA(HKEY_CURRENT_USER, "Network");

  // The keys: a name from a small set (one-letter keys of both cases and
  // others), then values of any type and bytes.
  fuzz::Input input(data, size);
  std::map<std::string, bool> made;
  for (int k = 0; k < 6 && !input.Empty(); ++k) {
    const char name[2] = {kNames[input.Byte() % (sizeof kNames - 1)], '\0'};
    RegistryKey key;
    const std::string path =
        std::string(persistentConnectionsKey) + "\\" + name;
    if (key.Create(HKEY_CURRENT_USER, path.c_str()) != ERROR_SUCCESS) return 0;
    const int count = input.Byte() % 5;
    for (int v = 0; v < count; ++v) {
      std::string valueName;
      for (int n = input.Byte() % 12; n > 0; --n)
        valueName += char(1 + input.Byte() % 255);
      const uint32_t type = input.Byte() % 12;
      std::string bytes;
      for (int n = input.Byte() % 40; n > 0; --n) bytes += char(input.Byte());
      key.SetValue(valueName.c_str(), type,
                   reinterpret_cast<const uint8_t*>(bytes.data()),
                   uint32_t(bytes.size()));
    }
  }
  char newLetters[26];
  for (int i = 0; i < 26; ++i) {
    const uint8_t b = input.Byte();
    newLetters[i] = b < 200 ? char('A' + b % 26) : char(0xFF);
  }

  // What the registry holds now, per letter and for the other keys.
  Values before[26];
  bool present[26];
  for (int i = 0; i < 26; ++i)
    present[i] = ReadKey(std::string(1, char('A' + i)), &before[i]);
  Values others[2];
  const bool otherPresent[2] = {ReadKey("1", &others[0]),
                                ReadKey("_", &others[1])};

  PersistentConnectionTable table;
  fuzz::Check(table.readPersistentConnections() == 1, "the read succeeds");
  fuzz::Check(fuzz::Boxes().empty(), "no message on reading");
  for (int i = 0; i < 26; ++i) {
    fuzz::Check(table.hasPersistentConnection(i) == present[i],
                "one connection per letter key");
    if (present[i])
      fuzz::Check(Held(table, i) == before[i], "values copied byte for byte");
  }

  const int32_t result = table.writePersistentConnections(newLetters);
  fuzz::Check(fuzz::Boxes().size() == (result ? 0u : 1u),
              "a failed move is reported once");
  bool moved[26] = {};
  for (int i = 0; i < 26; ++i) {
    if (!present[i]) continue;
    Values now;
    const char target = newLetters[i];
    if (target >= 'A' && target <= 'Z' &&
        ReadKey(std::string(1, target), &now) && now == before[i]) {
      moved[i] = true;
      continue;
    }
    fuzz::Check(
        ReadKey(std::string(1, char('A' + i)), &now) && now == before[i],
        "a connection not moved stays whole at its own letter");
    fuzz::Check(result == 0, "a connection not moved fails the save");
  }
  // No key appears that no connection went to.
  for (int t = 0; t < 26; ++t) {
    Values now;
    if (!ReadKey(std::string(1, char('A' + t)), &now)) continue;
    bool accounted = false;
    for (int i = 0; i < 26 && !accounted; ++i)
      accounted = present[i] && ((moved[i] && newLetters[i] == 'A' + t) ||
                                 (!moved[i] && i == t));
    fuzz::Check(accounted || (present[t] && now == before[t]),
                "only connections' keys");
  }
  for (int o = 0; o < 2; ++o) {
    Values now;
    fuzz::Check(
        ReadKey(o ? "_" : "1", &now) == otherPresent[o] && now == others[o],
        "other keys untouched");
  }
  return 0;
}
