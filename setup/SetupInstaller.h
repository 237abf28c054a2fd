// Setup.exe's work, written once against the platform seam: install
// Pelmora from the folder Setup runs in (the unpacked ZIP file) into a
// folder of the user's choice, and remove it again. Each step that changes
// the machine is logged, so a failure undoes everything done so far and
// leaves the machine as it was.
#pragma once
#include <stddef.h>
#include <stdint.h>

#include "platform/Types.h"

// What Setup copies, relative to its own folder and to the installation
// folder. Kromva32.exe comes first, so an uninstall that finds it in use
// stops before it removes anything.
extern const char* const kSetupFiles[];
extern const size_t kSetupFileCount;

// The uninstall entry's key below HKEY_LOCAL_MACHINE.
extern const char kUninstallKey[];

const size_t kSetupPath = 260;

// The folder the user typed, made into a full folder path without a
// trailing backslash: false with the reason shown to the user in `message`.
bool CheckInstallFolder(const char* typed, char* folder, char* message,
                        size_t messageSize);

// The folder Setup offers: where Pelmora is installed already (then
// *installed is true), else "Program Files\Pelmora" under the system's
// ProgramFilesDir, else C:\Program Files\Pelmora.
void DefaultInstallFolder(char* folder, bool* installed);

// Installs into `folder`, with `owner` as the owner of every box and the
// window Quobrill is given. True when Pelmora is installed; false after
// the failure was shown and everything undone.
bool InstallPelmora(const char* folder, WindowHandle owner);

// Where Pelmora is installed (the uninstall entry's InstallLocation):
// false when it is not.
bool InstalledFolder(char* folder);

// The uninstall entry's "/uninstall": Setup.exe in the installation folder
// cannot delete itself while it runs, so it copies itself to the temporary
// folder and starts that copy with "/remove". False (the reason shown)
// when it could not.
bool StartRemovalCopy(WindowHandle owner);

// Removes Pelmora: Quobrill /uninstall first, then exactly what Setup
// installed (and the files the programs write beside themselves, and
// their settings). A copy running from outside the folder asks Windows to
// delete it at the next start (WININIT.INI). True when everything is gone;
// the caller says so once its window is closed.
bool UninstallPelmora(WindowHandle owner);

// Setup's boxes: caption "Pelmora Setup", owned by `owner`.
void ShowSetupBox(WindowHandle owner, uint32_t type, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
