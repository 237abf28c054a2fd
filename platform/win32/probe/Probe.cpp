// A small windowless program that proves the freestanding link works: the
// seam, formatting, a stream, a virtual call, static construction and
// destruction and 64-bit division, all without mingw's runtime. It writes
// what it saw to the file named on its command line (probe.txt when none),
// and the Wine run compares that file's bytes.
#include <stdint.h>
#include <string.h>
#include <windows.h>

#include "platform/ScopedFile.h"
#include "platform/win32/Win32Platform.h"

namespace {

char outputPath[MAX_PATH] = "probe.txt";

class Shape {
 public:
  virtual ~Shape() {}
  virtual const char* Name() const = 0;
};

class Square : public Shape {
 public:
  const char* Name() const override { return "square"; }
};

// Constructed before WinMain and destroyed after it: the destructor adds
// the last line, so the file shows that the exit handlers ran.
class Lifetime {
 public:
  Lifetime() : constructed(true) {}
  ~Lifetime() {
    platform::Platform real = platform::Win32Platform();
    platform::Stream* stream = real.files->Open(outputPath, "at");
    if (!stream) return;
    real.files->Puts("destroyed\n", stream);
    real.files->Close(stream);
  }
  bool constructed;
};

Lifetime lifetime;

// Kept out of reach of the optimizer so the division is a real call into
// libgcc on i686.
volatile uint64_t dividend = 1234567890123456789ull;
volatile uint64_t divisor = 1000000000ull;

bool WriteReport(const Shape& shape) {
  ScopedFile file;
  if (!file.Open(outputPath, "wt")) return false;
  char line[128];
  platform::Format(line, sizeof(line), "%s %d %04X\n", "pelmora probe", 42,
                   0xFFu);
  platform::files().Puts(line, file.Get());
  platform::Format(line, sizeof(line), "virtual: %s\n", shape.Name());
  platform::files().Puts(line, file.Get());
  uint64_t quotient = dividend / divisor;
  platform::Format(line, sizeof(line), "division: %lu\n",
                   static_cast<unsigned long>(quotient));
  platform::files().Puts(line, file.Get());
  platform::Format(line, sizeof(line), "constructed: %s\n",
                   lifetime.constructed ? "yes" : "no");
  platform::files().Puts(line, file.Get());
  return !file.Error() && file.Close();
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  if (commandLine[0]) {
    if (strlen(commandLine) >= sizeof(outputPath)) return 2;
    strcpy(outputPath, commandLine);
  }
  platform::PlatformScope scope(platform::Win32Platform());
  Square square;
  const Shape& shape = square;
  return WriteReport(shape) ? 0 : 1;
}
