// Moving a persistent network connection from E: to G: through the real
// registry calls (under Wine) and the simulated ones: the key moves with
// every value's name, type and bytes, and keys with longer names stay.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "drives/PersistentConnections.h"
#include "tests/contract/ContractTest.h"

namespace {

class PersistentConnectionsContract : public Contract {
 protected:
  void TearDown() override {
    for (const char* name : {"E", "G", "EF"}) Delete(name);
    Contract::TearDown();
  }
  static std::string Key(const char* name) {
    return std::string("Network\\Persistent\\") + name;
  }
  static void Delete(const char* name) {
    RegKey parent;
    if (platform::registry().RegOpenKeyExA(
            HKEY_CURRENT_USER, "Network\\Persistent", 0, KEY_ALL_ACCESS,
            &parent) != ERROR_SUCCESS)
      return;
    platform::registry().RegDeleteKeyA(parent, name);
    platform::registry().RegCloseKey(parent);
  }
  static bool Exists(const char* name) {
    RegKey key;
    if (platform::registry().RegOpenKeyExA(HKEY_CURRENT_USER, Key(name).c_str(),
                                           0, KEY_ALL_ACCESS,
                                           &key) != ERROR_SUCCESS)
      return false;
    platform::registry().RegCloseKey(key);
    return true;
  }
  static void Create(
      const char* name,
      const std::vector<std::pair<std::string, std::string>>& values,
      const std::vector<uint32_t>& types) {
    RegKey key;
    ASSERT_EQ(platform::registry().RegCreateKeyExA(
                  HKEY_CURRENT_USER, Key(name).c_str(), 0, KEY_ALL_ACCESS, &key,
                  nullptr),
              ERROR_SUCCESS);
    for (size_t i = 0; i < values.size(); ++i)
      EXPECT_EQ(platform::registry().RegSetValueExA(
                    key, values[i].first.c_str(), types[i],
                    reinterpret_cast<const uint8_t*>(values[i].second.data()),
                    uint32_t(values[i].second.size())),
                ERROR_SUCCESS);
    platform::registry().RegCloseKey(key);
  }
  // Every value as name, type and bytes.
  static std::vector<std::string> Values(const char* name) {
    std::vector<std::string> found;
    RegKey key;
    if (platform::registry().RegOpenKeyExA(HKEY_CURRENT_USER, Key(name).c_str(),
                                           0, KEY_ALL_ACCESS,
                                           &key) != ERROR_SUCCESS)
      return found;
    for (uint32_t i = 0;; ++i) {
      char valueName[256];
      uint8_t data[256];
      uint32_t nameSize = sizeof valueName, size = sizeof data, type = 0;
      if (platform::registry().RegEnumValueA(key, i, valueName, &nameSize,
                                             &type, data,
                                             &size) != ERROR_SUCCESS)
        break;
      found.push_back(std::string(valueName) + "|" + std::to_string(type) +
                      "|" + std::string(reinterpret_cast<char*>(data), size));
    }
    platform::registry().RegCloseKey(key);
    return found;
  }
};

TEST_F(PersistentConnectionsContract, ASaveMovesTheKeyByteForByte) {
  ASSERT_FALSE(Exists("E"));
  ASSERT_FALSE(Exists("G"));
  Create("E",
         {{"RemotePath", std::string("\\\\SERVER\\SHARE") + '\0'},
          {"ProviderType", std::string("\x00\x00\x02\x00", 4)},
          {"Opaque", std::string("\x00\xFF\x10", 3)},
          {"Path", std::string("%WINDIR%") + '\0'}},
         {REG_SZ, REG_DWORD, REG_BINARY, REG_EXPAND_SZ});
  Create("EF", {{"RemotePath", std::string("\\\\OTHER") + '\0'}}, {REG_SZ});
  std::vector<std::string> before = Values("E");
  ASSERT_EQ(before.size(), 4u);

  PersistentConnectionTable table;
  ASSERT_EQ(table.readPersistentConnections(), 1);
  ASSERT_TRUE(table.hasPersistentConnection('E' - 'A'));
  char newLetters[26];
  for (int i = 0; i < 26; ++i) newLetters[i] = char('A' + i);
  newLetters['E' - 'A'] = 'G';
  ASSERT_EQ(table.writePersistentConnections(newLetters), 1);

  EXPECT_FALSE(Exists("E"));
  EXPECT_EQ(Values("G"), before);
  EXPECT_EQ(Values("EF").size(), 1u);
}

}  // namespace
