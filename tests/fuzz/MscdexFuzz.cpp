// The MSCDEX edit of CONFIG.SYS and AUTOEXEC.BAT: every active MSCDEX line
// comes out in the edit's form (upper case, one blank after each word, the
// option /L:<letter>) or behind "REM by Pelmora - " when MS-DOS sees
// several CD-ROMs; every other line is kept as it was; a second run writes
// the same bytes; a file without an active line is not rewritten, and a
// save with no line found (with several CD-ROMs, none commented out by an
// earlier save either) fails with its message.
#include <stdint.h>

#include "drives/DriveTable.h"
#include "platform/Codes.h"
#include "tests/fuzz/FuzzMachine.h"
#include "writers/DosStartupFiles.h"

namespace {

const char kConfig[] = "C:\\CONFIG.SYS";
const char kAutoexec[] = "C:\\AUTOEXEC.BAT";

bool IsActive(const std::string& line) {
  if (fuzz::Upper(line).find("MSCDEX") == std::string::npos) return false;
  std::vector<std::string> words = fuzz::Words(fuzz::Upper(line));
  if (!words.empty() && (words[0] == "REM" || words[0] == "@REM")) return false;
  return !(words.size() > 1 && words[0] == "@" && words[1] == "REM");
}

// The edit as its rules say it, written independently of the writer.
std::string Edited(const std::string& line, char letter) {
  const std::string option = std::string("/L:") + letter;
  std::vector<std::string> words = fuzz::Words(fuzz::Upper(line));
  bool replaced = false;
  std::string out;
  for (const std::string& word : words) {
    if (!replaced && word.size() == 4 && word.compare(0, 3, "/L:") == 0) {
      out += option + " ";
      replaced = true;
    } else {
      out += word + " ";
    }
  }
  if (!replaced) out += option + " ";
  return out + "\n";
}

// With several CD-ROMs, a line an earlier save commented out.
bool IsOwnRemark(const std::string& line) {
  return line.compare(0, 17, "REM by Pelmora - ") == 0 &&
         fuzz::Upper(line).find("MSCDEX") != std::string::npos;
}

// The expected text of a file, whether it holds an active line, and
// whether the line counts as found.
std::string Expected(const std::string& text, bool several, char letter,
                     bool* active, bool* found) {
  std::string out;
  for (const std::string& line : fuzz::Lines(text)) {
    if (!IsActive(line)) {
      if (several && IsOwnRemark(line)) *found = true;
      out += line;
      continue;
    }
    *found = true;
    *active = true;
    out += several ? "REM by Pelmora - " + line : Edited(line, letter);
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  sim::Machine& machine = fuzz::Machine("writers");
  static DriveTable* table = new DriveTable;
  fuzz::Reset();
  fuzz::Input input(data, size);
  const uint8_t mode = input.Byte();
  const bool several = mode & 1;
  const char letter = char('A' + (mode >> 1) % 26);
  const uint8_t split = input.Byte();
  const std::string rest = input.Rest();
  const size_t at = rest.size() * split / 256;
  const std::string raw[2] = {rest.substr(0, at), rest.substr(at)};
  const char* paths[2] = {kConfig, kAutoexec};
  std::string text[2];
  for (int i = 0; i < 2; ++i) {
    text[i] = fuzz::ReadAsText(raw[i]);
    if (text[i].find('\0') != std::string::npos) return -1;
    machine.WriteFile(paths[i], raw[i]);
  }

  for (DriveRecord& record : table->records) record.present = 0;
  DriveRecord& cd = table->recordOf('E');
  cd.present = 1;
  cd.driveType = DRIVE_CDROM;
  cd.newLetter = letter;
  DriveRecord& second = table->recordOf('F');
  second.present = several ? 1 : 0;
  second.driveType = DRIVE_CDROM;
  second.newLetter = 'F';

  bool active = false, fileActive[2] = {false, false};
  std::string expected[2];
  for (int i = 0; i < 2; ++i) {
    expected[i] = Expected(text[i], several, letter, &fileActive[i], &active);
  }

  // The warning about several CD-ROMs is answered OK.
  if (several) machine.User().Answer(IDOK);
  const bool result = UpdateMscdexLines(*table);
  fuzz::Check(result == active, "success exactly when a line was found",
              active ? "success" : "failure", result ? "success" : "failure");
  const size_t boxes = (several ? 1u : 0u) + (active ? 0u : 1u);
  fuzz::Check(fuzz::Boxes().size() == boxes, "the boxes shown",
              std::to_string(boxes), std::to_string(fuzz::Boxes().size()));
  if (!active)
    fuzz::Check(fuzz::Boxes().back().text.find("the line was not found") !=
                    std::string::npos,
                "the missing line is reported", "", fuzz::Boxes().back().text);

  std::string once[2];
  for (int i = 0; i < 2; ++i) {
    once[i] = machine.ReadFile(paths[i]);
    if (!fileActive[i]) {
      fuzz::Check(once[i] == raw[i], "a file without the line is untouched",
                  raw[i], once[i]);
      continue;
    }
    fuzz::Check(fuzz::IsWrittenText(once[i]), "CR LF line ends only", "",
                once[i]);
    fuzz::Check(fuzz::ReadAsText(once[i]) == expected[i],
                "edited lines in form, every other line kept", expected[i],
                fuzz::ReadAsText(once[i]));
  }

  fuzz::Reset();
  if (several) machine.User().Answer(IDOK);
  UpdateMscdexLines(*table);
  for (int i = 0; i < 2; ++i)
    fuzz::Check(machine.ReadFile(paths[i]) == once[i],
                "a second run changes nothing", once[i],
                machine.ReadFile(paths[i]));
  fuzz::Check(!machine.Exists("C:\\Pelmora\\temp.tmp"), "temp.tmp removed");
  return 0;
}
