// The writers on the writers machine: a drive table whose records each test
// describes itself, and helpers for the files, boxes and registry values
// the writers leave behind.
#pragma once
#include <memory>
#include <string>

#include "assign/AssignmentRules.h"
#include "drives/DriveTable.h"
#include "platform/Codes.h"
#include "tests/support/MachineTest.h"

extern const uint32_t kErrorBox;
extern const char kConfig[];
extern const char kAutoexec[];
extern const char kTemp[];
extern const char kTempPath[];
// FormatMessage's text of ERROR_ACCESS_DENIED, its line end included.
extern const char kAccessDenied[];

// The rows of a list without rows: the rules' group tests need none.
class NoRows : public DriveRows {
 public:
  int GetRowCount() const override { return 0; }
  int GetRowDrive(int) const override { return -1; }
  void SetRowNewText(int, const char*) override {}
  void SetModified(bool) override {}
  WindowHandle GetBoxOwner() const override { return 0; }
};

class WritersTest : public MachineTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A present drive at `letter` with its New letter (noLetter for none).
  DriveRecord& Drive(char letter, int32_t type, char newLetter);
  // Gives the drive a device: its node, its key below HKLM and the letters
  // the device's value reserved when the table was built.
  void Device(char letter, uint32_t node, const std::string& key,
              uint32_t reserved = 1);
  // The next box is an error box with this text.
  void ExpectError(const std::string& text);
  std::string Read(const std::string& path) { return machine().ReadFile(path); }
  bool Exists(const std::string& path) { return machine().Exists(path); }
  // The device key's UserDriveLetterAssignment without its terminator,
  // "(none)" when the key has none.
  std::string Assignment(const std::string& key);
  // Whether any call of the log so far opened a stream on `path`.
  bool Opened(const std::string& path);

  std::unique_ptr<DriveTable> table;
  NoRows rows;
  std::unique_ptr<AssignmentRules> rules;
};
