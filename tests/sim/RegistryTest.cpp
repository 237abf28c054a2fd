// The registry's REGEDIT4 text and the Windows 9x rules the sim keeps.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "platform/Codes.h"
#include "tests/support/MachineTest.h"

namespace {

const char kRegText[] =
    "REGEDIT4\r\n"
    "\r\n"
    "; a comment\r\n"
    "[HKEY_LOCAL_MACHINE\\Software\\Pelmora]\r\n"
    "@=\"default\"\r\n"
    "\"Path\"=\"C:\\\\Pelmora\\\\\"\r\n"
    "\"Quote\"=\"say \\\"hi\\\"\"\r\n"
    "\"Count\"=dword:0000001f\r\n"
    "\"Blob\"=hex:01,02,\\\r\n"
    "  ff\r\n"
    "\"Expand\"=hex(2):25,54,00\r\n"
    "\"Empty\"=hex:\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\Software\\Pelmora\\Empty Key]\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\Software\\Pelmora]\r\n"
    "\"Long\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,"
    "14,15,16,17,18,19,1a,1b,1c,1d,1e,1f\r\n";

class RegistryTest : public MachineTest {
 protected:
  void BootWith(const std::string& text) {
    dir = std::filesystem::temp_directory_path() /
          ("pelmora-reg-" +
           std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "machine.ini")
        << "[Drive C]\nType=fixed\nTotalKb=1024\nFreeKb=512\n";
    std::ofstream(dir / "registry.reg", std::ios::binary) << text;
    Boot(dir.c_str());
  }
  void TearDown() override {
    MachineTest::TearDown();
    if (!dir.empty()) std::filesystem::remove_all(dir);
  }
  sim::RegValue Value(const char* key, const char* name) {
    sim::RegValue value{0, ""};
    EXPECT_TRUE(machine().RegistryValue(key, name, &value))
        << key << " " << name;
    return value;
  }
  std::filesystem::path dir;
};

TEST_F(RegistryTest, ParsesEscapesNumbersHexAndContinuations) {
  BootWith(kRegText);
  const char* key = "HKEY_LOCAL_MACHINE\\Software\\Pelmora";
  EXPECT_EQ(Value(key, "").data, std::string("default\0", 8));
  EXPECT_EQ(Value(key, "path").data, std::string("C:\\Pelmora\\\0", 12));
  EXPECT_EQ(Value(key, "Quote").data, std::string("say \"hi\"\0", 9));
  sim::RegValue count = Value(key, "Count");
  EXPECT_EQ(count.type, uint32_t(REG_DWORD));
  EXPECT_EQ(count.data, std::string("\x1f\0\0\0", 4));
  EXPECT_EQ(Value(key, "Blob").data, "\x01\x02\xff");
  EXPECT_EQ(Value(key, "Expand").type, uint32_t(REG_EXPAND_SZ));
  EXPECT_EQ(Value(key, "Empty").data, "");
  EXPECT_TRUE(machine().RegistryKeyExists(
      "HKEY_LOCAL_MACHINE\\SOFTWARE\\pelmora\\empty key"));
}

TEST_F(RegistryTest, ExportReadsBackToTheSameRegistry) {
  BootWith(kRegText);
  // Values that need hex to survive: a string without terminator, one with
  // a line break.
  RegKey key;
  ASSERT_EQ(platform::registry().RegCreateKeyExA(HKEY_CURRENT_USER,
                                                 "Software\\Pelmora", 0,
                                                 KEY_ALL_ACCESS, &key, nullptr),
            ERROR_SUCCESS);
  platform::registry().RegSetValueExA(key, "Bare", REG_SZ,
                                      (const uint8_t*)"abc", 3);
  platform::registry().RegSetValueExA(key, "Lines", REG_SZ,
                                      (const uint8_t*)"a\r\nb", 5);
  platform::registry().RegCloseKey(key);
  std::string exported = machine().ExportRegistry();
  EXPECT_EQ(exported.compare(0, 10, "REGEDIT4\n\n"), 0);
  EXPECT_NE(exported.find("\"Path\"=\"C:\\\\Pelmora\\\\\"\n"),
            std::string::npos);
  EXPECT_NE(exported.find("\"Count\"=dword:0000001f\n"), std::string::npos);
  EXPECT_NE(exported.find(",\\\n  "), std::string::npos) << "long hex wraps";
  TearDown();
  BootWith(exported);
  EXPECT_EQ(machine().ExportRegistry(), exported);
  EXPECT_EQ(Value("HKEY_CURRENT_USER\\Software\\Pelmora", "Bare").data, "abc");
  EXPECT_EQ(Value("HKEY_CURRENT_USER\\Software\\Pelmora", "Lines").data,
            std::string("a\r\nb", 5));
}

TEST(RegistryText, MalformedLinesAreNamedWithTheirLine) {
  struct Case {
    const char* text;
    const char* reason;
  } cases[] = {
      {"REGEDIT4\n\"x\"=\"y\"\n", "line 2: a value must follow a [key] line"},
      {"REGEDIT4\n[HKEY_NOWHERE\\x]\n", "line 2: unknown root key"},
      {"REGEDIT4\n[HKEY_USERS\\x]\n\"x\"=dword:1f\n", "line 3: dword: needs"},
      {"REGEDIT4\n[HKEY_USERS\\x]\n\"x\"=hex:1,zz\n", "line 3: bad hex byte"},
      {"REGEDIT4\n[HKEY_USERS\\x]\n\"x\"=\"open\n", "line 3: a string has no"},
      {"REGEDIT4\n[HKEY_USERS\\x]\n\"x\"=\"a\\n\"\n", "line 3: unknown escape"},
      {"REGEDIT4\n[HKEY_USERS\\x]\nx=1\n", "line 3: a value line must begin"},
      {"REGEDIT4\n[HKEY_USERS\\x\n", "line 2: a key line must end with ']'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    auto dir = std::filesystem::temp_directory_path() / "pelmora-badreg";
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "machine.ini") << "[Drive C]\nType=fixed\nTotalKb=1\n";
    std::ofstream(dir / "registry.reg") << c.text;
    std::string what = "(loaded)";
    try {
      sim::Machine::Load(dir.string());
    } catch (const std::runtime_error& error) {
      what = error.what();
    }
    std::filesystem::remove_all(dir);
    EXPECT_NE(what.find(std::string("registry.reg ") + c.reason),
              std::string::npos)
        << what;
  }
}

TEST_F(RegistryTest, DeletingAKeyTakesItsSubtreeAndOrphansItsHandles) {
  Boot("basic");
  platform::Registry& r = platform::registry();
  RegKey parent, child;
  ASSERT_EQ(r.RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\A\\B\\C", 0,
                              KEY_ALL_ACCESS, &child, nullptr),
            ERROR_SUCCESS);
  ASSERT_EQ(
      r.RegOpenKeyExA(HKEY_CURRENT_USER, "software\\a", 0, KEY_READ, &parent),
      ERROR_SUCCESS);
  EXPECT_EQ(r.RegDeleteKeyA(parent, "B"), ERROR_SUCCESS);
  EXPECT_FALSE(
      machine().RegistryKeyExists("HKEY_CURRENT_USER\\Software\\A\\B"));
  EXPECT_EQ(r.RegSetValueExA(child, "x", REG_SZ, (const uint8_t*)"", 1),
            ERROR_KEY_DELETED);
  EXPECT_EQ(r.RegCloseKey(child), ERROR_SUCCESS);
  EXPECT_EQ(r.RegCloseKey(child), ERROR_INVALID_HANDLE);
  EXPECT_EQ(r.RegCloseKey(parent), ERROR_SUCCESS);
}

TEST_F(RegistryTest, SizesEnumerationAndCounts) {
  Boot("basic");
  platform::Registry& r = platform::registry();
  RegKey key;
  ASSERT_EQ(r.RegOpenKeyExA(HKEY_CURRENT_USER, "Network\\Persistent\\N", 0,
                            KEY_READ, &key),
            ERROR_SUCCESS);
  uint32_t type = 0, size = 0;
  EXPECT_EQ(r.RegQueryValueExA(key, "RemotePath", &type, nullptr, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(size, 16u);  // "\\SERVER\SHARED" and its terminator
  char small[4];
  size = sizeof small;
  EXPECT_EQ(
      r.RegQueryValueExA(key, "RemotePath", &type, (uint8_t*)small, &size),
      ERROR_MORE_DATA);
  EXPECT_EQ(size, 16u);
  EXPECT_EQ(r.RegQueryValueExA(key, "Missing", &type, nullptr, &size),
            ERROR_FILE_NOT_FOUND);
  uint32_t subKeys, maxKey, values, maxName, maxData;
  ASSERT_EQ(
      r.RegQueryInfoKeyA(key, &subKeys, &maxKey, &values, &maxName, &maxData),
      ERROR_SUCCESS);
  EXPECT_EQ(subKeys, 0u);
  EXPECT_EQ(values, 5u);
  EXPECT_EQ(maxName, 14u);  // "ConnectionType"
  EXPECT_EQ(maxData, 18u);  // "Microsoft Network"
  char name[32];
  uint32_t nameSize = sizeof name;
  EXPECT_EQ(r.RegEnumValueA(key, 0, name, &nameSize, nullptr, nullptr, nullptr),
            ERROR_SUCCESS);
  EXPECT_STREQ(name, "RemotePath");
  nameSize = sizeof name;
  EXPECT_EQ(r.RegEnumValueA(key, 5, name, &nameSize, nullptr, nullptr, nullptr),
            ERROR_NO_MORE_ITEMS);
  r.RegCloseKey(key);
  EXPECT_EQ(
      r.RegOpenKeyExA(HKEY_CURRENT_USER, "Network\\Nope", 0, KEY_READ, &key),
      ERROR_FILE_NOT_FOUND);
}

}  // namespace
