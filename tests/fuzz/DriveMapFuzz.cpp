// drivemap.dat: whatever the file holds, the map is valid exactly when 26
// letters follow the first line, every lookup of a valid map answers a
// letter of the file and the inverse is consistent with it, an invalid map
// answers 0 everywhere and is reported once.
#include <stdint.h>

#include "drives/DriveMap.h"
#include "tests/fuzz/FuzzMachine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  sim::Machine& machine = fuzz::Machine("writers");
  fuzz::Reset();
  const std::string raw(reinterpret_cast<const char*>(data), size);
  machine.WriteFile("C:\\Pelmora\\drivemap.dat", raw);

  // The format, read independently: the first line, then a letter and one
  // separator per original letter.
  const std::string text = fuzz::ReadAsText(raw);
  std::string letters;
  size_t at = text.find('\n');
  if (at != std::string::npos) {
    ++at;
    while (letters.size() < 26 && at < text.size() && text[at] >= 'A' &&
           text[at] <= 'Z') {
      letters += text[at];
      at += 2;
    }
  }
  const bool valid = letters.size() == 26;

  DriveMap map;
  map.readDriveMap("drivemap.dat");
  fuzz::Check(map.valid == (valid ? 1 : 0), "valid exactly when whole",
              valid ? "valid" : "invalid", map.valid ? "valid" : "invalid");
  fuzz::Check(fuzz::Boxes().size() == (valid ? 0u : 1u),
              "an invalid map is reported once");
  if (!valid)
    fuzz::Check(fuzz::Boxes()[0].text == "File drivemap.dat has bad format.",
                "the bad format message", "File drivemap.dat has bad format.",
                fuzz::Boxes()[0].text);

  for (int i = 0; i < 26; ++i) {
    const char letter = char('A' + i);
    const char lower = char('a' + i);
    const char current = map.currentLetterOf(letter);
    const char original = map.originalLetterOf(letter);
    fuzz::Check(map.currentLetterOf(lower) == current &&
                    map.originalLetterOf(lower) == original,
                "lookups ignore case");
    if (!valid) {
      fuzz::Check(current == 0 && original == 0, "an invalid map answers 0");
      continue;
    }
    fuzz::Check(current == letters[size_t(i)], "the file's current letter",
                std::string(1, letters[size_t(i)]), std::string(1, current));
    // The lowest original letter that now carries this letter.
    const size_t first = letters.find(letter);
    const char expected = first == std::string::npos ? 0 : char('A' + first);
    fuzz::Check(original == expected, "the inverse", std::string(1, expected),
                std::string(1, original));
  }
  for (int c = 0; c < 256; ++c) {
    const char other = char(c);
    if ((other >= 'A' && other <= 'Z') || (other >= 'a' && other <= 'z'))
      continue;
    fuzz::Check(
        map.currentLetterOf(other) == 0 && map.originalLetterOf(other) == 0,
        "no letter for anything else");
  }
  fuzz::Check(machine.OpenStreams() == 0, "the file is closed");
  return 0;
}
