// CONFIG.SYS's LASTDRIVE= line: whatever the file holds, the rewritten one
// starts with LASTDRIVE=<letter>, keeps every line that does not start with
// LASTDRIVE= as it was, and a second run writes the same bytes.
#include <stdint.h>

#include "drives/DriveTable.h"
#include "tests/fuzz/FuzzMachine.h"
#include "writers/DosStartupFiles.h"

namespace {

const char kConfig[] = "C:\\CONFIG.SYS";

bool StartsLastDrive(const std::string& line) {
  return fuzz::Upper(line.substr(0, 10)) == "LASTDRIVE=";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  sim::Machine& machine = fuzz::Machine("writers");
  static DriveTable* table = new DriveTable;
  fuzz::Reset();
  fuzz::Input input(data, size);
  const char letter = char('A' + input.Byte() % 26);
  const std::string raw = input.Rest();
  const std::string text = fuzz::ReadAsText(raw);
  // The file is C strings to the run-time library: a NUL is not text.
  if (text.find('\0') != std::string::npos) return -1;
  machine.WriteFile(kConfig, raw);

  fuzz::Check(SetLastDrive(*table, letter), "the rewrite succeeds");
  fuzz::Check(fuzz::Boxes().empty(), "no message");
  const std::string once = machine.ReadFile(kConfig);
  fuzz::Check(fuzz::IsWrittenText(once), "CR LF line ends only", "", once);

  std::string expected = std::string("LASTDRIVE=") + letter + "\n";
  for (const std::string& line : fuzz::Lines(text))
    if (!StartsLastDrive(line)) expected += line;
  fuzz::Check(fuzz::ReadAsText(once) == expected,
              "LASTDRIVE first, every other line kept", expected,
              fuzz::ReadAsText(once));

  fuzz::Check(SetLastDrive(*table, letter), "the second rewrite succeeds");
  fuzz::Check(machine.ReadFile(kConfig) == once, "a second run changes nothing",
              once, machine.ReadFile(kConfig));
  fuzz::Check(!machine.Exists("C:\\Pelmora\\temp.tmp"), "temp.tmp removed");
  return 0;
}
