// Quobrill, the setup extender: the installer runs it with "/install" or
// "/uninstall" and its window's handle, and it wires the DOS-mode
// companion KROMVALE.EXE into the boot (or takes it out again).
#pragma once
#include <stdint.h>

// The program: reads "switch handle" from the command line, runs the
// install or the uninstall, and always answers 0.
int RunQuobrill(const char* commandLine);

void InstallExtension();
void UninstallExtension();

// Rewrites C:\autoexec.bat without its KROMVALE.EXE lines, with `line` (if
// not null) put first.
bool EditAutoexecBat(const char* line);
bool IsWindowsMe();
// Puts temp.bin of the application directory in place of the system's
// vmm32.vxd, keeping the original as vmm32.vx_.
bool ReplaceVmm32(const char* applicationDirectory);
// Puts vmm32.vx_ back in place of our own vmm32.vxd.
bool RestoreVmm32();
// Whether the file at `path` is our own vmm32.vxd (at most 3072 bytes,
// ending with 78 56 34 12), and its size.
bool ProbeVmm32(const char* path, bool* isOwn, uint64_t* size);
// Whether WININIT.INI will replace the run-time libraries at the next
// restart.
bool PendingRuntimeUpdate();
