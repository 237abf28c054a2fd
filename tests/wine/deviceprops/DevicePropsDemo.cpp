// The Device Properties dialog on a device key of Wine's registry, where no
// driver gives the drives device nodes: ShowDeviceProperties runs on the
// key named on the command line with the large icon of C:, the letters and
// the letter count given, and the result and the count it hands back are
// written to the output file ("result 1" and "letters 5", a line each).
//
//   DevicePropsDemo.exe OUTPUT KEYPATH LETTERS COUNT
//
// Exit code 0 once the file is written, 1 for bad arguments or when the
// file cannot be written.
#include "assign/DeviceProperties.h"
#include "framework/App.h"
#include "framework/System.h"
#include "framework/WinApp.h"
#include "platform/Codes.h"
#include "platform/Platform.h"
#include "platform/ScopedFile.h"

namespace {

const int argumentSize = 260;

// The next blank-separated argument into `argument`; the rest after it.
const char* NextArgument(const char* p, char* argument) {
  while (*p == ' ' || *p == '\t') ++p;
  int n = 0;
  while (*p != '\0' && *p != ' ' && *p != '\t' && n + 1 < argumentSize)
    argument[n++] = *p++;
  argument[n] = '\0';
  return p;
}

bool ParseCount(const char* text, int32_t* count) {
  if (*text == '\0') return false;
  int32_t value = 0;
  for (; *text != '\0'; ++text) {
    if (*text < '0' || *text > '9' || value > 1000) return false;
    value = value * 10 + (*text - '0');
  }
  *count = value;
  return true;
}

}  // namespace

int RunApplication(const char* commandLine, int) {
  char output[argumentSize], keyPath[argumentSize], letters[argumentSize],
      countText[argumentSize];
  const char* p = NextArgument(commandLine, output);
  p = NextArgument(p, keyPath);
  p = NextArgument(p, letters);
  NextArgument(p, countText);
  int32_t count = 0;
  if (output[0] == '\0' || keyPath[0] == '\0' || !ParseCount(countText, &count))
    return 1;
  // Boxes are captioned with the program's name, as in Kromva32.
  CWinApp app("Pelmora");
  AfxInitCommonControls();

  platform::Shell& shell = platform::shell();
  IconHandle icon = 0;
  shell.SHGetFileInfoA("C:\\", FILE_ATTRIBUTE_DIRECTORY,
                       SHGFI_ICON | SHGFI_USEFILEATTRIBUTES, &icon);
  bool result;
  {
    DevicePropertiesDialog dialog;
    result = dialog.ShowDeviceProperties(keyPath, icon, letters, count);
  }
  if (icon != 0) shell.DestroyIcon(icon);

  ScopedFile file;
  if (!file.Open(output, "wt")) return 1;
  char line[64];
  platform::Format(line, sizeof line, "result %d\nletters %d\n", result ? 1 : 0,
                   static_cast<int>(count));
  platform::files().Puts(line, file.Get());
  return !file.Error() && file.Close() ? 0 : 1;
}
