#include "tests/writers/WritersTest.h"

#include <string.h>

const uint32_t kErrorBox = MB_ICONERROR | MB_OK;
const char kConfig[] = "C:\\CONFIG.SYS";
const char kAutoexec[] = "C:\\AUTOEXEC.BAT";
const char kTemp[] = "temp.tmp";
const char kTempPath[] = "C:\\Pelmora\\temp.tmp";
const char kAccessDenied[] = "Access is denied.\r\n";

void WritersTest::SetUp() {
  Boot("writers");
  table = std::make_unique<DriveTable>();
  rules = std::make_unique<AssignmentRules>(*table, rows);
  machine().ClearCallLog();
}

void WritersTest::TearDown() {
  rules.reset();
  table.reset();
  MachineTest::TearDown();
}

DriveRecord& WritersTest::Drive(char letter, int32_t type, char newLetter) {
  DriveRecord& record = table->recordOf(letter);
  record.present = 1;
  record.driveType = type;
  record.newLetter = newLetter;
  return record;
}

void WritersTest::Device(char letter, uint32_t node, const std::string& key,
                         uint32_t reserved) {
  DriveRecord& record = table->recordOf(letter);
  record.deviceNode = node;
  delete[] record.deviceKeyPath;
  record.deviceKeyPath = new char[256]();
  strncpy(record.deviceKeyPath, key.c_str(), 255);
  for (int i = 0; i < table->letterGroupCount; ++i) {
    if (table->letterGroups[i].deviceNode == node) {
      record.letterGroup = &table->letterGroups[i];
      return;
    }
  }
  LetterGroup& group = table->letterGroups[table->letterGroupCount++];
  group.deviceNode = node;
  group.letterCount = reserved;
  record.letterGroup = &group;
}

void WritersTest::ExpectError(const std::string& text) {
  user().Expect("Pelmora", text, kErrorBox, IDOK);
}

std::string WritersTest::Assignment(const std::string& key) {
  sim::RegValue value;
  if (!machine().RegistryValue("HKEY_LOCAL_MACHINE\\" + key,
                               "UserDriveLetterAssignment", &value))
    return "(none)";
  EXPECT_EQ(value.type, REG_SZ) << key;
  // A string value's data counts its terminator.
  if (value.data.empty() || value.data.back() != '\0')
    return "(unterminated) " + value.data;
  return value.data.substr(0, value.data.size() - 1);
}

bool WritersTest::Opened(const std::string& path) {
  for (const std::string& call : machine().CallLog()) {
    if (call.rfind("Open ", 0) != 0) continue;
    std::string argument = call.substr(5);
    if (strncasecmp(argument.c_str(), path.c_str(), path.size()) == 0 &&
        argument[path.size()] == ' ')
      return true;
  }
  return false;
}
