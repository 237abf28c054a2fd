#include "assign/ExitCommands.h"

#include <string.h>

#include "assign/DriveListView.h"
#include "assign/SaveSequence.h"
#include "framework/AppWindow.h"
#include "framework/WindowCodes.h"
#include "platform/Codes.h"
#include "platform/Platform.h"
#include "platform/ScopedFile.h"
#include "shell/ErrorReport.h"
#include "writers/CompressionIni.h"

namespace {

const int pathSize = 260;

const char saveQuestion[] =
    "Do you want to save the letter assignment changes before exit ?";
const char rebootQuestion[] =
    "The computer must be restarted before the changes will take "
    "effect.\nDo you want to reboot now ?";
const char disableWarning[] =
    "If you temporarily disable Pelmora, Windows\xAE will not start, because "
    "the drive with the Windows\xAE directory will appear as %c: instead of "
    "%c:\n\nAre you absolutely sure that you want to disable Pelmora ?";
const char driveSpaceQuestion[] =
    "You launched DriveSpace after the last reboot. The computer must be "
    "restarted in order to use Pelmora.\nDo you want to reboot now ?";

char UpperLetter(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

int Ask(const char* text, const char* caption, uint32_t type) {
  return platform::prompts().MessageBoxA(GetMainWindowHandle(), text, caption,
                                         type);
}

FileTime LastWriteTime(const char* path) {
  return DriveMap::fileTime(path, DriveMap::lastWriteTime);
}

}  // namespace

void RequestReboot() { platform::kernel().ExitWindowsEx(EWX_REBOOT, 0); }

bool CheckDriveSpaceLaunched(const DriveTable& table) {
  if (!table.compressionPresent) return true;
  char settings[pathSize];
  if (!FindCompressionIni(table, settings, sizeof settings)) return true;

  char windows[pathSize];
  const uint32_t length =
      platform::kernel().GetWindowsDirectoryA(windows, sizeof windows);
  if (length == 0 || length >= sizeof windows) return true;
  // SYSTEM.DA0 is written at every start of Windows.
  char backup[pathSize];
  const char* separator = windows[length - 1] == '\\' ? "" : "\\";
  const int formed = platform::Format(backup, sizeof backup, "%s%sSYSTEM.DA0",
                                      windows, separator);
  if (formed < 0 || formed >= static_cast<int>(sizeof backup)) return true;

  const FileTime settingsTime = LastWriteTime(settings);
  const FileTime startTime = LastWriteTime(backup);
  const FileTime savedTime = LastWriteTime(lettersIniName);
  if (settingsTime == 0 || startTime == 0 || savedTime == 0) return true;
  const FileTime later = startTime > savedTime ? startTime : savedTime;
  if (settingsTime <= later) return true;

  if (Ask(driveSpaceQuestion, "Pelmora", MB_ICONQUESTION | MB_YESNO) == IDYES)
    RequestReboot();
  return false;
}

bool DriveListView::QueryClose() {
  if (modified) {
    const int answer =
        Ask(saveQuestion, "Closing", MB_ICONQUESTION | MB_YESNOCANCEL);
    // Only a No closes without saving: a box that could not be shown
    // (answer 0) keeps the program and its changes, as Cancel does.
    if (answer != IDYES && answer != IDNO) return false;
    if (answer == IDYES && !SaveAssignment()) return false;
  }
  if (restartPending &&
      Ask(rebootQuestion, "Pelmora", MB_ICONQUESTION | MB_YESNO) == IDYES)
    RequestReboot();
  return true;
}

void DriveListView::DisableAndExit() {
  char windows[pathSize];
  char windowsLetter = 0;
  if (platform::kernel().GetWindowsDirectoryA(windows, sizeof windows) != 0)
    windowsLetter = UpperLetter(windows[0]);
  const char original = table.originalLetterOf(windowsLetter);
  if (original != 0 && original != windowsLetter) {
    char warning[sizeof disableWarning + 8];
    platform::Format(warning, sizeof warning, disableWarning, original,
                     windowsLetter);
    if (Ask(warning, "Warning", MB_ICONQUESTION | MB_YESNO) != IDYES) return;
  }
  // An empty Letters.ini makes the companion change no letter at boot.
  ScopedFile file;
  if (!file.Open(lettersIniName, "wt")) {
    ReportCrtError("Error opening the file %s", lettersIniName);
    return;
  }
  file.Close();
  modified = false;
  restartPending = true;
  if (CWnd* frame = GetParent()) frame->PostMessage(WM_CLOSE);
}

bool DriveListView::CheckDriveSpaceLaunched() {
  return ::CheckDriveSpaceLaunched(table);
}
