// DRVSPACE.INI: whatever the file holds, the rewritten one keeps every line
// whose key is not FirstDrive, LastDrive or ActivateDrive as it was, ends
// with the three kinds of line this writer owns, and a second run writes
// the same bytes.
#include <stdint.h>

#include "drives/DriveTable.h"
#include "platform/Codes.h"
#include "tests/fuzz/FuzzMachine.h"
#include "writers/CompressionIni.h"

namespace {

const char kIni[] = "C:\\DRVSPACE.INI";

bool IsOwnLine(const std::string& line) {
  const size_t equals = line.find('=');
  if (equals == std::string::npos) return false;
  const std::string key = fuzz::Upper(line.substr(0, equals));
  return key == "FIRSTDRIVE" || key == "LASTDRIVE" || key == "ACTIVATEDRIVE";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  sim::Machine& machine = fuzz::Machine("writers");
  static DriveTable* table = new DriveTable;
  fuzz::Reset();
  fuzz::Input input(data, size);
  const char letter = char('E' + input.Byte() % 22);
  const int sequence = input.Byte() % 255;
  const std::string raw = input.Rest();
  const std::string text = fuzz::ReadAsText(raw);
  if (text.find('\0') != std::string::npos) return -1;
  machine.WriteFile(kIni, raw);

  table->compressionPresent = 1;
  for (DriveRecord& record : table->records) record.present = 0;
  DriveRecord& volume = table->recordOf('H');
  volume.present = 1;
  volume.driveType = DRIVE_FIXED;
  volume.compressionRole = 1;
  volume.hostLetter = 'D';
  volume.cvfSequence = uint8_t(sequence);
  volume.newLetter = letter;

  std::string expected;
  for (const std::string& line : fuzz::Lines(text))
    if (!IsOwnLine(line)) expected += line;
  // The owned lines are lines of their own, also after a last line that
  // had no line end.
  if (!expected.empty() && expected.back() != '\n') expected += '\n';
  expected += std::string("FirstDrive=") + letter + "\nLastDrive=" + letter +
              "\nActivateDrive=" + letter + ",D" + std::to_string(sequence) +
              "\n";

  fuzz::Check(UpdateCompressionIni(*table), "the rewrite succeeds");
  fuzz::Check(fuzz::Boxes().empty(), "no message");
  const std::string once = machine.ReadFile(kIni);
  fuzz::Check(fuzz::IsWrittenText(once), "CR LF line ends only", "", once);
  fuzz::Check(fuzz::ReadAsText(once) == expected,
              "other lines kept, the owned lines at the end", expected,
              fuzz::ReadAsText(once));

  fuzz::Check(UpdateCompressionIni(*table), "the second rewrite succeeds");
  fuzz::Check(machine.ReadFile(kIni) == once, "a second run changes nothing",
              once, machine.ReadFile(kIni));
  fuzz::Check(!machine.Exists("C:\\Pelmora\\DrvSpIni.tmp"),
              "DrvSpIni.tmp removed");
  return 0;
}
