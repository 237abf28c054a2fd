// The persistent network connections: read byte for byte, moved to their
// drives' New letters on save, and never lost on the way.
#include <gtest/gtest.h>
#include <string.h>

#include <string>
#include <vector>

#include "drives/PersistentConnections.h"
#include "platform/Codes.h"
#include "tests/support/MachineTest.h"

namespace {

const char kRoot[] = "HKEY_CURRENT_USER\\Network\\Persistent";

class PersistentConnectionsTest : public MachineTest {
 protected:
  void SetUp() override {
    Boot("basic");
    for (int i = 0; i < 26; ++i) newLetters[i] = char('A' + i);
  }
  // Creates (or adds to) a connection key with a string, a DWORD and a
  // binary value.
  void AddConnection(const char* name, const std::string& remote) {
    RegKey key;
    std::string path = std::string("Network\\Persistent\\") + name;
    ASSERT_EQ(
        platform::registry().RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0,
                                             KEY_ALL_ACCESS, &key, nullptr),
        ERROR_SUCCESS);
    Set(key, "RemotePath", REG_SZ, remote + '\0');
    Set(key, "ProviderType", REG_DWORD, std::string("\x00\x00\x02\x00", 4));
    Set(key, "Opaque", REG_BINARY, std::string("\x01\x00\xFF", 3));
    platform::registry().RegCloseKey(key);
  }
  static void Set(RegKey key, const char* name, uint32_t type,
                  const std::string& bytes) {
    platform::registry().RegSetValueExA(
        key, name, type, reinterpret_cast<const uint8_t*>(bytes.data()),
        uint32_t(bytes.size()));
  }
  std::string Path(const char* name) {
    return std::string(kRoot) + "\\" + name;
  }
  // The values of a key as (name, type, bytes), in the order stored.
  std::vector<std::string> Values(const char* name) {
    std::vector<std::string> found;
    RegKey key;
    std::string path = std::string("Network\\Persistent\\") + name;
    if (platform::registry().RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0,
                                           KEY_ALL_ACCESS,
                                           &key) != ERROR_SUCCESS)
      return found;
    for (uint32_t i = 0;; ++i) {
      char valueName[256];
      uint8_t data[512];
      uint32_t nameSize = sizeof valueName, dataSize = sizeof data, type = 0;
      if (platform::registry().RegEnumValueA(key, i, valueName, &nameSize,
                                             &type, data,
                                             &dataSize) != ERROR_SUCCESS)
        break;
      found.push_back(std::string(valueName) + "/" + std::to_string(type) +
                      "/" +
                      std::string(reinterpret_cast<char*>(data), dataSize));
    }
    platform::registry().RegCloseKey(key);
    return found;
  }
  void ExpectError(const std::string& text) {
    user().Expect("Pelmora", text, MB_ICONERROR | MB_OK, IDOK);
  }
  char newLetters[26];
};

TEST_F(PersistentConnectionsTest, ValuesAreCopiedInOrderWithTypesAndBytes) {
  PersistentConnectionTable table;
  ASSERT_EQ(table.readPersistentConnections(), 1);
  ASSERT_TRUE(table.hasPersistentConnection('N' - 'A'));
  const PersistentValue* v = table.connection('N' - 'A');
  const char* names[] = {"RemotePath", "UserName", "ProviderName",
                         "ProviderType", "ConnectionType"};
  for (const char* name : names) {
    ASSERT_NE(v->valueName, nullptr);
    EXPECT_STREQ(v->valueName, name);
    ++v;
  }
  EXPECT_EQ(v->valueName, nullptr);
  v = table.connection('N' - 'A');
  EXPECT_EQ(v[0].valueType, REG_SZ);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(v[0].data), v[0].dataLength),
            std::string("\\\\SERVER\\SHARED") + '\0');
  EXPECT_EQ(v[3].valueType, REG_DWORD);
  EXPECT_EQ(v[3].dataLength, 4u);
  for (int i = 0; i < 26; ++i)
    EXPECT_EQ(table.hasPersistentConnection(i), i == 'N' - 'A') << i;
}

TEST_F(PersistentConnectionsTest,
       OneLetterNamesOfEitherCaseCountOthersAreLeftAlone) {
  AddConnection("e", "\\\\SERVER\\E");
  AddConnection("EF", "\\\\SERVER\\EF");
  AddConnection("7", "\\\\SERVER\\7");
  PersistentConnectionTable table;
  ASSERT_EQ(table.readPersistentConnections(), 1);
  EXPECT_TRUE(table.hasPersistentConnection('E' - 'A'));
  EXPECT_FALSE(table.hasPersistentConnection('F' - 'A'));
  // Saved in place: the lower-case key comes back upper case; the long
  // and the odd name stay as they were.
  std::vector<std::string> before = Values("e");
  ASSERT_EQ(table.writePersistentConnections(newLetters), 1);
  EXPECT_EQ(Values("E"), before);
  RegKey key;
  ASSERT_EQ(
      platform::registry().RegOpenKeyExA(
          HKEY_CURRENT_USER, "Network\\Persistent", 0, KEY_ALL_ACCESS, &key),
      ERROR_SUCCESS);
  std::vector<std::string> names;
  for (uint32_t i = 0;; ++i) {
    char name[64];
    uint32_t size = sizeof name;
    if (platform::registry().RegEnumKeyExA(key, i, name, &size) !=
        ERROR_SUCCESS)
      break;
    names.push_back(name);
  }
  platform::registry().RegCloseKey(key);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"7", "E", "EF", "N"}));
  EXPECT_EQ(Values("EF").size(), 3u);
}

TEST_F(PersistentConnectionsTest, MovingEToGKeepsTypesAndBytes) {
  AddConnection("E", "\\\\SERVER\\MOVED");
  PersistentConnectionTable table;
  ASSERT_EQ(table.readPersistentConnections(), 1);
  std::vector<std::string> e = Values("E"), n = Values("N");
  newLetters['E' - 'A'] = 'G';
  ASSERT_EQ(table.writePersistentConnections(newLetters), 1);
  EXPECT_FALSE(machine().RegistryKeyExists(Path("E")));
  EXPECT_EQ(Values("G"), e);
  EXPECT_EQ(Values("N"), n);
  // The table is unchanged; the next read finds the moved key.
  EXPECT_TRUE(table.hasPersistentConnection('E' - 'A'));
  ASSERT_EQ(table.readPersistentConnections(), 1);
  EXPECT_TRUE(table.hasPersistentConnection('G' - 'A'));
  EXPECT_FALSE(table.hasPersistentConnection('E' - 'A'));
}

TEST_F(PersistentConnectionsTest, TwoConnectionsCanSwapLetters) {
  AddConnection("E", "\\\\SERVER\\E");
  PersistentConnectionTable table;
  ASSERT_EQ(table.readPersistentConnections(), 1);
  std::vector<std::string> e = Values("E"), n = Values("N");
  newLetters['E' - 'A'] = 'N';
  newLetters['N' - 'A'] = 'E';
  ASSERT_EQ(table.writePersistentConnections(newLetters), 1);
  EXPECT_EQ(Values("N"), e);
  EXPECT_EQ(Values("E"), n);
}

TEST_F(PersistentConnectionsTest,
       WithoutTheKeyNothingIsPersistentAndSavingWritesNothing) {
  RegKey key;
  ASSERT_EQ(platform::registry().RegOpenKeyExA(HKEY_CURRENT_USER, "Network", 0,
                                               KEY_ALL_ACCESS, &key),
            ERROR_SUCCESS);
  ASSERT_EQ(platform::registry().RegDeleteKeyA(key, "Persistent"),
            ERROR_SUCCESS);
  platform::registry().RegCloseKey(key);
  PersistentConnectionTable table;
  EXPECT_EQ(table.readPersistentConnections(), 1);
  for (int i = 0; i < 26; ++i) EXPECT_FALSE(table.hasPersistentConnection(i));
  machine().ClearCallLog();
  EXPECT_EQ(table.writePersistentConnections(newLetters), 1);
  EXPECT_TRUE(machine().CallLog().empty());
  EXPECT_FALSE(machine().RegistryKeyExists(kRoot));
}

TEST_F(PersistentConnectionsTest,
       AnUnreadableConnectionIsLeftOutAndItsKeyKept) {
  AddConnection("E", "\\\\SERVER\\E");
  faults().Fail("RegEnumValueA", ERROR_CANTREAD, 1, "Persistent\\E 1");
  PersistentConnectionTable table;
  EXPECT_EQ(table.readPersistentConnections(), 0);
  EXPECT_FALSE(table.hasPersistentConnection('E' - 'A'));
  EXPECT_TRUE(table.hasPersistentConnection('N' - 'A'));
  // N moves to E's letter: E's key stays, so N cannot go there and stays
  // too; the save fails without losing either.
  std::vector<std::string> e = Values("E"), n = Values("N");
  newLetters['N' - 'A'] = 'E';
  ExpectError("Saving letters for the network drives failed.");
  EXPECT_EQ(table.writePersistentConnections(newLetters), 0);
  EXPECT_EQ(Values("E"), e);
  EXPECT_EQ(Values("N"), n);
  // Moved elsewhere, N goes and E still stays.
  newLetters['N' - 'A'] = 'P';
  EXPECT_EQ(table.writePersistentConnections(newLetters), 1);
  EXPECT_EQ(Values("E"), e);
  EXPECT_EQ(Values("P"), n);
  EXPECT_FALSE(machine().RegistryKeyExists(Path("N")));
}

TEST_F(PersistentConnectionsTest, AConnectionWithoutALetterStaysWhereItIs) {
  PersistentConnectionTable table;
  ASSERT_EQ(table.readPersistentConnections(), 1);
  std::vector<std::string> n = Values("N");
  newLetters['N' - 'A'] = static_cast<char>(0xFF);
  ExpectError("Saving letters for the network drives failed.");
  EXPECT_EQ(table.writePersistentConnections(newLetters), 0);
  EXPECT_EQ(Values("N"), n);
}

TEST_F(PersistentConnectionsTest, ReadFailuresAreReported) {
  AddConnection("E", "\\\\SERVER\\E");
  faults().Fail("RegOpenKeyExA", ERROR_ACCESS_DENIED, 1, "Persistent\\E");
  ExpectError(
      "Error opening Registry key HKEY_CURRENT_USER\\Network\\Persistent\\E : "
      "Access is denied.\r\n");
  PersistentConnectionTable table;
  EXPECT_EQ(table.readPersistentConnections(), 0);
  EXPECT_FALSE(table.hasPersistentConnection('E' - 'A'));
  EXPECT_TRUE(table.hasPersistentConnection('N' - 'A'));

  faults().Fail("RegOpenKeyExA", ERROR_ACCESS_DENIED, 1, "Network\\Persistent");
  ExpectError(
      "Error opening Registry key HKEY_CURRENT_USER\\Network\\Persistent : "
      "Access is denied.\r\n");
  EXPECT_EQ(table.readPersistentConnections(), 0);
  EXPECT_FALSE(table.hasPersistentConnection('N' - 'A'));

  faults().Fail("RegQueryInfoKeyA", ERROR_CANTREAD, 1, "Network\\Persistent");
  ExpectError("Reading Registry information about network drives failed.");
  EXPECT_EQ(table.readPersistentConnections(), 0);
}

TEST_F(PersistentConnectionsTest,
       WriteFailuresAreReportedAndTheOthersStillWritten) {
  AddConnection("E", "\\\\SERVER\\E");
  PersistentConnectionTable table;
  ASSERT_EQ(table.readPersistentConnections(), 1);
  std::vector<std::string> n = Values("N");
  faults().Fail("RegCreateKeyExA", ERROR_ACCESS_DENIED, 1, "Persistent\\E");
  ExpectError(
      "Error creating Registry key HKEY_CURRENT_USER\\Network\\Persistent\\E : "
      "Access is denied.\r\n");
  ExpectError("Saving letters for the network drives failed.");
  EXPECT_EQ(table.writePersistentConnections(newLetters), 0);
  EXPECT_EQ(Values("N"), n);

  faults().Fail("RegCreateKeyExA", ERROR_ACCESS_DENIED, 1,
                "HKEY_CURRENT_USER\\Network\\Persistent");
  ExpectError(
      "Error opening Registry key HKEY_CURRENT_USER\\Network\\Persistent : "
      "Access is denied.\r\n");
  EXPECT_EQ(table.writePersistentConnections(newLetters), 0);
}

TEST_F(PersistentConnectionsTest, AFailedWriteOfAMovedConnectionPutsAllBack) {
  // The old keys are gone when the new ones are written: a failure there
  // would lose the connection, so every moved one returns to its letter.
  const struct {
    const char* call;
    const char* argument;
  } failures[] = {
      {"RegCreateKeyExA", "Persistent\\N"},
      {"RegSetValueExA", "Persistent\\N ProviderType"},
      {"RegSetValueExA", "Persistent\\E ConnectionType"},
  };
  AddConnection("E", "\\\\SERVER\\E");
  const std::vector<std::string> e = Values("E"), n = Values("N");
  for (const auto& failure : failures) {
    SCOPED_TRACE(failure.argument);
    PersistentConnectionTable table;
    ASSERT_EQ(table.readPersistentConnections(), 1);
    newLetters['E' - 'A'] = 'N';
    newLetters['N' - 'A'] = 'E';
    faults().Fail(failure.call, ERROR_ACCESS_DENIED, 1, failure.argument);
    const int fired = faults().Fired();
    user().Answer(IDOK);
    if (failure.call[3] == 'C') user().Answer(IDOK);
    EXPECT_EQ(table.writePersistentConnections(newLetters), 0);
    EXPECT_EQ(faults().Fired(), fired + 1);
    EXPECT_EQ(user().Boxes().back().text,
              "Saving letters for the network drives failed.");
    EXPECT_EQ(Values("E"), e);
    EXPECT_EQ(Values("N"), n);
  }
  // A move to a free letter comes back too.
  PersistentConnectionTable table;
  ASSERT_EQ(table.readPersistentConnections(), 1);
  newLetters['E' - 'A'] = 'G';
  newLetters['N' - 'A'] = 'N';
  faults().Fail("RegSetValueExA", ERROR_ACCESS_DENIED, 1, "Persistent\\G");
  user().Answer(IDOK);
  EXPECT_EQ(table.writePersistentConnections(newLetters), 0);
  EXPECT_EQ(Values("E"), e);
  EXPECT_FALSE(machine().RegistryKeyExists(Path("G")));
  EXPECT_EQ(Values("N"), n);
}

}  // namespace
