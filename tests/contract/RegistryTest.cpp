// The registry calls: round trips of each value type, the size protocol,
// enumeration, key information, deletion and the codes of what is missing.
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "tests/contract/ContractTest.h"

namespace {

class RegistryContract : public Contract {
 protected:
  void SetUp() override {
    Contract::SetUp();
    ASSERT_EQ(platform::registry().RegOpenKeyExA(
                  HKEY_CURRENT_USER, TheContractWorld().ScratchKey().c_str(), 0,
                  KEY_ALL_ACCESS, &scratch),
              ERROR_SUCCESS);
  }
  void TearDown() override {
    if (scratch) platform::registry().RegCloseKey(scratch);
    Contract::TearDown();
  }

  void Set(const char* name, uint32_t type, const std::string& data) {
    ASSERT_EQ(
        platform::registry().RegSetValueExA(
            scratch, name, type, reinterpret_cast<const uint8_t*>(data.data()),
            uint32_t(data.size())),
        ERROR_SUCCESS);
  }

  RegKey CreateSub(const char* name, uint32_t* disposition = nullptr) {
    RegKey key = 0;
    EXPECT_EQ(platform::registry().RegCreateKeyExA(
                  scratch, name, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, &key,
                  disposition),
              ERROR_SUCCESS);
    return key;
  }

  RegKey scratch = 0;
};

TEST_F(RegistryContract, CreateReportsNewThenExistingAndOpenFindsTheKey) {
  platform::Registry& registry = platform::registry();
  uint32_t disposition = 0;
  RegKey created = CreateSub("Child", &disposition);
  EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
  EXPECT_EQ(registry.RegCloseKey(created), ERROR_SUCCESS);

  RegKey again = CreateSub("Child", &disposition);
  EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
  registry.RegCloseKey(again);

  RegKey opened = 0;
  std::string path = TheContractWorld().ScratchKey() + "\\Child";
  ASSERT_EQ(registry.RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ,
                                   &opened),
            ERROR_SUCCESS);
  EXPECT_NE(opened, 0u);
  registry.RegCloseKey(opened);
}

TEST_F(RegistryContract, ValuesComeBackWithTheirTypeSizeAndBytes) {
  struct Case {
    const char* name;
    uint32_t type;
    std::string data;
  };
  const Case cases[] = {
      // A REG_SZ value's size counts its terminator.
      {"Text", REG_SZ, std::string("C:\\WINDOWS", 11)},
      {"", REG_SZ, std::string("default", 8)},
      {"Bytes", REG_BINARY, std::string("\x00\x01\xFF\x00\x7F", 5)},
      {"Number", REG_DWORD, std::string("\x78\x56\x34\x12", 4)},
      {"Empty", REG_BINARY, std::string()},
  };
  for (const Case& c : cases) Set(c.name, c.type, c.data);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    uint32_t type = 0;
    uint8_t data[64] = {0};
    uint32_t size = sizeof(data);
    ASSERT_EQ(platform::registry().RegQueryValueExA(scratch, c.name, &type,
                                                    data, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, c.type);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(data), size), c.data);
  }
}

TEST_F(RegistryContract, ShortBufferGivesMoreDataAndTheSizeNeeded) {
  Set("Path", REG_SZ, std::string("C:\\PROGRAM FILES\\PELMORA", 25));
  platform::Registry& registry = platform::registry();

  uint8_t small[4];
  uint32_t size = sizeof(small);
  uint32_t type = 0;
  EXPECT_EQ(registry.RegQueryValueExA(scratch, "Path", &type, small, &size),
            ERROR_MORE_DATA);
  EXPECT_EQ(size, 25u);

  // No buffer at all asks for the size only.
  size = 0;
  EXPECT_EQ(registry.RegQueryValueExA(scratch, "Path", nullptr, nullptr, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(size, 25u);
}

TEST_F(RegistryContract, EnumerationListsEveryKeyAndValueThenNoMoreItems) {
  platform::Registry& registry = platform::registry();
  registry.RegCloseKey(CreateSub("Alpha"));
  registry.RegCloseKey(CreateSub("Beta"));
  Set("One", REG_DWORD, std::string("\x01\x00\x00\x00", 4));
  Set("Two", REG_SZ, std::string("2", 2));

  // The order differs between Windows versions, so compare as sets.
  std::set<std::string> keys;
  for (uint32_t index = 0;; ++index) {
    char name[64];
    uint32_t size = sizeof(name);
    int32_t error = registry.RegEnumKeyExA(scratch, index, name, &size);
    if (error == ERROR_NO_MORE_ITEMS) break;
    ASSERT_EQ(error, ERROR_SUCCESS);
    ASSERT_LT(index, 10u);
    // The size comes back without the terminator.
    EXPECT_EQ(size, strlen(name));
    keys.insert(name);
  }
  EXPECT_EQ(keys, (std::set<std::string>{"Alpha", "Beta"}));

  std::set<std::string> values;
  for (uint32_t index = 0;; ++index) {
    char name[64];
    uint32_t nameSize = sizeof(name);
    uint32_t type = 0;
    uint8_t data[16];
    uint32_t dataSize = sizeof(data);
    int32_t error = registry.RegEnumValueA(scratch, index, name, &nameSize,
                                           &type, data, &dataSize);
    if (error == ERROR_NO_MORE_ITEMS) break;
    ASSERT_EQ(error, ERROR_SUCCESS);
    ASSERT_LT(index, 10u);
    EXPECT_EQ(nameSize, strlen(name));
    values.insert(std::string(name) + "/" + std::to_string(type) + "/" +
                  std::to_string(dataSize));
  }
  EXPECT_EQ(values, (std::set<std::string>{"One/4/4", "Two/1/2"}));
}

TEST_F(RegistryContract, QueryInfoCountsKeysAndValuesAndTheLongestOfEach) {
  platform::Registry& registry = platform::registry();
  registry.RegCloseKey(CreateSub("Short"));
  registry.RegCloseKey(CreateSub("LongerName"));
  Set("A", REG_BINARY, std::string(7, 'x'));
  Set("Longest", REG_BINARY, std::string(3, 'y'));

  uint32_t subKeys = 0, maxSubKey = 0, values = 0, maxName = 0, maxValue = 0;
  ASSERT_EQ(registry.RegQueryInfoKeyA(scratch, &subKeys, &maxSubKey, &values,
                                      &maxName, &maxValue),
            ERROR_SUCCESS);
  EXPECT_EQ(subKeys, 2u);
  EXPECT_EQ(maxSubKey, 10u);
  EXPECT_EQ(values, 2u);
  EXPECT_EQ(maxName, 7u);
  EXPECT_EQ(maxValue, 7u);
  // Every out-pointer is optional.
  EXPECT_EQ(registry.RegQueryInfoKeyA(scratch, &subKeys, nullptr, nullptr,
                                      nullptr, nullptr),
            ERROR_SUCCESS);
}

TEST_F(RegistryContract, DeletedValuesAndKeysAreGoneWithFileNotFound) {
  platform::Registry& registry = platform::registry();
  Set("Doomed", REG_SZ, std::string("x", 2));
  EXPECT_EQ(registry.RegDeleteValueA(scratch, "Doomed"), ERROR_SUCCESS);
  uint32_t size = 0;
  EXPECT_EQ(
      registry.RegQueryValueExA(scratch, "Doomed", nullptr, nullptr, &size),
      ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(registry.RegDeleteValueA(scratch, "Doomed"), ERROR_FILE_NOT_FOUND);

  // Only a key without subkeys: Windows 9x deletes a whole subtree, Windows
  // NT and Wine refuse one, so the contract does not cover it.
  registry.RegCloseKey(CreateSub("Leaf"));
  EXPECT_EQ(registry.RegDeleteKeyA(scratch, "Leaf"), ERROR_SUCCESS);
  RegKey key = 0;
  EXPECT_EQ(registry.RegOpenKeyExA(scratch, "Leaf", 0, KEY_READ, &key),
            ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(registry.RegDeleteKeyA(scratch, "Leaf"), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryContract, MissingKeysAndValuesGiveFileNotFound) {
  platform::Registry& registry = platform::registry();
  RegKey key = 0;
  std::string missing = TheContractWorld().ScratchKey() + "\\No\\Such";
  EXPECT_EQ(registry.RegOpenKeyExA(HKEY_CURRENT_USER, missing.c_str(), 0,
                                   KEY_READ, &key),
            ERROR_FILE_NOT_FOUND);
  uint8_t data[8];
  uint32_t size = sizeof(data);
  EXPECT_EQ(registry.RegQueryValueExA(scratch, "Nothing", nullptr, data, &size),
            ERROR_FILE_NOT_FOUND);
}

}  // namespace
