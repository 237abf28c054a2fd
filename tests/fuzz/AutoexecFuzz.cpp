// Quobrill's edit of C:\autoexec.bat: an install puts the companion's line
// first and drops every other line that runs KROMVALE.EXE, an uninstall
// only drops them; every other line is kept as it was, and a second run
// writes the same bytes.
#include <stdint.h>

#include "setup/Quobrill.h"
#include "tests/fuzz/FuzzMachine.h"

namespace {

const char kAutoexec[] = "C:\\AUTOEXEC.BAT";
const char kLine[] =
    "C:\\PROGRA~1\\PELMORA\\KROMVALE.EXE @LETTERS.INI /O:DRIVEMAP.DAT /CD";

std::string Without(const std::string& text) {
  std::string out;
  for (const std::string& line : fuzz::Lines(text))
    if (fuzz::Upper(line).find("KROMVALE.EXE") == std::string::npos)
      out += line;
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  sim::Machine& machine = fuzz::Machine("win98-setup");
  fuzz::Reset();
  fuzz::Input input(data, size);
  const bool install = input.Byte() & 1;
  const std::string raw = input.Rest();
  const std::string text = fuzz::ReadAsText(raw);
  if (text.find('\0') != std::string::npos) return -1;
  machine.WriteFile(kAutoexec, raw);

  const char* line = install ? kLine : nullptr;
  fuzz::Check(EditAutoexecBat(line), "the edit succeeds");
  fuzz::Check(fuzz::Boxes().empty(), "no message");
  const std::string once = machine.ReadFile(kAutoexec);
  fuzz::Check(fuzz::IsWrittenText(once), "CR LF line ends only", "", once);
  const std::string expected =
      (install ? std::string(kLine) + "\n" : std::string()) + Without(text);
  fuzz::Check(fuzz::ReadAsText(once) == expected,
              "the companion's line first, every other line kept", expected,
              fuzz::ReadAsText(once));

  fuzz::Check(EditAutoexecBat(line), "the second edit succeeds");
  fuzz::Check(machine.ReadFile(kAutoexec) == once,
              "a second run changes nothing", once,
              machine.ReadFile(kAutoexec));
  fuzz::Check(!machine.Exists("C:\\temp.tmp"), "C:\\temp.tmp removed");
  return 0;
}
