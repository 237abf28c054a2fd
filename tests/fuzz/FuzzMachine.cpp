#include "tests/fuzz/FuzzMachine.h"

#include <stdio.h>
#include <stdlib.h>

#include <memory>

namespace fuzz {

namespace {

std::unique_ptr<sim::Machine> machine;
std::unique_ptr<platform::PlatformScope> scope;

std::string Printable(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    if (c >= 32 && c < 127 && c != '\\') {
      out += char(c);
    } else {
      char escape[8];
      snprintf(escape, sizeof escape, "\\x%02X", c);
      out += escape;
    }
  }
  return out;
}

}  // namespace

sim::Machine& Machine(const char* fixture) {
  if (!machine) {
    machine = sim::Machine::Load(fixture);
    machine->SetCallLogging(false);
    scope.reset(new platform::PlatformScope(machine->Platform()));
    // The boxes are the target's to judge; unexpected ones are not test
    // failures here.
    machine->SetFailureHandler([](const std::string& message) {
      if (message.find("message box") != std::string::npos) return;
      fprintf(stderr, "machine failure: %s\n", message.c_str());
      abort();
    });
  }
  return *machine;
}

void Reset() {
  machine->User().Forget();
  machine->User().ClearBoxes();
}

const std::vector<sim::Box>& Boxes() { return machine->User().Boxes(); }

void Check(bool holds, const char* what, const std::string& expected,
           const std::string& actual) {
  if (holds) return;
  fprintf(stderr, "property failed: %s\n  expected: %s\n  actual:   %s\n", what,
          Printable(expected).c_str(), Printable(actual).c_str());
  abort();
}

std::string ReadAsText(const std::string& raw) {
  std::string text;
  for (size_t i = 0; i < raw.size(); ++i) {
    const char c = raw[i];
    if (c == '\x1A') break;
    if (c == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') continue;
    text += c;
  }
  return text;
}

std::string WriteAsText(const std::string& text) {
  std::string raw;
  for (char c : text) {
    if (c == '\n') raw += '\r';
    raw += c;
  }
  return raw;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    end = end == std::string::npos ? text.size() : end + 1;
    lines.push_back(text.substr(start, end - start));
    start = end;
  }
  return lines;
}

bool IsWrittenText(const std::string& raw) {
  for (size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == '\x1A') return false;
    if (raw[i] == '\n' && (i == 0 || raw[i - 1] != '\r')) return false;
  }
  return true;
}

std::string Body(const std::string& line) {
  if (!line.empty() && line.back() == '\n')
    return line.substr(0, line.size() - 1);
  return line;
}

std::string Upper(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
  return text;
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' ||
         c == '\r';
}

std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  std::string word;
  for (char c : line) {
    if (IsBlank(c)) {
      if (!word.empty()) words.push_back(word);
      word.clear();
    } else {
      word += c;
    }
  }
  if (!word.empty()) words.push_back(word);
  return words;
}

}  // namespace fuzz
