#include "shell/HelpPages.h"

#include <string.h>

#include "platform/Codes.h"
#include "platform/Platform.h"
#include "shell/ErrorReport.h"

const char helpContentsPage[] = "Help.html";
const char helpOpinionPage[] = "Opinion.html";

namespace {
const uint32_t pathSize = 260;
}

bool OpenHelpPage(const char* page) {
  char current[pathSize];
  uint32_t length = platform::kernel().GetCurrentDirectoryA(pathSize, current);
  if (length == 0 || length >= pathSize) current[0] = '\0';
  // A root directory already ends with a backslash ("C:\").
  const char* separator =
      (length > 0 && current[strlen(current) - 1] == '\\') ? "" : "\\";
  char dir[pathSize];
  char path[pathSize];
  int dirLength =
      platform::Format(dir, sizeof dir, "%s%sHelp", current, separator);
  int pathLength = platform::Format(path, sizeof path, "%s\\%s", dir, page);
  if (current[0] == '\0' || dirLength < 0 || pathLength < 0) {
    // No usable directory, or a path beyond the platform's limit: nothing
    // sensible can be opened.
    ReportError("Error opening help page %s", path);
    return false;
  }
  intptr_t result = platform::shell().ShellExecuteA(0, "open", path, nullptr,
                                                    dir, SW_SHOWNORMAL);
  if (result > 32) return true;
  ReportError("Error opening help page %s", path);
  return false;
}
