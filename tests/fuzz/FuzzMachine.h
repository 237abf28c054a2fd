// What every fuzz target shares: one simulated machine per process, the
// C runtime's text-mode view of a file, and a property check that stops
// the run with the input's story.
#pragma once
#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

#include "platform/sim/Machine.h"

namespace fuzz {

// Loads the fixture at the first call and keeps its platform installed for
// the rest of the process. Every box is answered with the box's default
// (OK, or the answer queued by the target); the boxes shown by one input
// are read with Boxes() and forgotten by Reset().
sim::Machine& Machine(const char* fixture);
// Forgets the boxes and answers of the previous input.
void Reset();
const std::vector<sim::Box>& Boxes();

// Ends the run when a property does not hold, printing what was expected
// and what came; libFuzzer then saves the input.
void Check(bool holds, const char* what, const std::string& expected = "",
           const std::string& actual = "");

// msvcrt's text-mode reading of raw bytes: Ctrl-Z ends the text, CR LF is
// one line end, a lone CR is a character.
std::string ReadAsText(const std::string& raw);
// msvcrt's text-mode writing: every line end becomes CR LF.
std::string WriteAsText(const std::string& text);
// The lines of a text, each with its line end (the last may have none).
std::vector<std::string> Lines(const std::string& text);
// A raw file that text-mode writing produced: no Ctrl-Z, and every LF
// preceded by a CR.
bool IsWrittenText(const std::string& raw);
// The line without its line end.
std::string Body(const std::string& line);
std::string Upper(std::string text);
// isspace in the "C" locale.
bool IsBlank(char c);
// The words of a line, split at C-locale white space.
std::vector<std::string> Words(const std::string& line);

// A cursor over the fuzzer's bytes.
class Input {
 public:
  Input(const uint8_t* data, size_t size) : data(data), size(size) {}
  uint8_t Byte() { return at < size ? data[at++] : 0; }
  // The rest of the input.
  std::string Rest() {
    std::string rest(reinterpret_cast<const char*>(data + at), size - at);
    at = size;
    return rest;
  }
  bool Empty() const { return at >= size; }

 private:
  const uint8_t* data;
  size_t size;
  size_t at = 0;
};

}  // namespace fuzz
