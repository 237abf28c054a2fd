// Times a windowed program's start under Wine: from CreateProcess until a
// window of the program's own (not a message box) is visible and the
// program waits for input. A message box on the way is answered with OK
// at once, as a user who knows it would. After the start it reads the
// process's private memory, then ends the process.
//
//   firstwindow RUNS PROGRAM [FOLDER]
// prints one line per run: "run N: MS ms, private KB KB, boxes B"
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

namespace {

struct Search {
  DWORD process;
  HWND box;     // a visible dialog-class window
  HWND window;  // a visible window of another class
};

BOOL CALLBACK Visit(HWND window, LPARAM data) {
  Search* search = reinterpret_cast<Search*>(data);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != search->process || !IsWindowVisible(window)) return TRUE;
  char name[64];
  GetClassNameA(window, name, sizeof name);
  if (strcmp(name, "#32770") == 0)
    search->box = window;
  else
    search->window = window;
  return TRUE;
}

// The committed private bytes, through the call Wine and NT have (looked
// up at run time; Windows 95 has none).
SIZE_T PrivateBytes(HANDLE process) {
  struct Counters {
    DWORD cb;
    DWORD PageFaultCount;
    SIZE_T PeakWorkingSetSize, WorkingSetSize, QuotaPeakPagedPoolUsage,
        QuotaPagedPoolUsage, QuotaPeakNonPagedPoolUsage, QuotaNonPagedPoolUsage,
        PagefileUsage, PeakPagefileUsage, PrivateUsage;
  } counters = {};
  counters.cb = sizeof counters;
  typedef BOOL(WINAPI * Query)(HANDLE, Counters*, DWORD);
  Query query = reinterpret_cast<Query>(reinterpret_cast<void*>(GetProcAddress(
      GetModuleHandleA("KERNEL32.DLL"), "K32GetProcessMemoryInfo")));
  if (!query || !query(process, &counters, sizeof counters)) return 0;
  return counters.PrivateUsage;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    fprintf(stderr, "usage: firstwindow RUNS PROGRAM [FOLDER]\n");
    return 2;
  }
  const int runs = atoi(argv[1]);
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  for (int run = 1; run <= runs; ++run) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    LARGE_INTEGER begin, end;
    QueryPerformanceCounter(&begin);
    if (!CreateProcessA(argv[2], nullptr, nullptr, nullptr, FALSE, 0, nullptr,
                        argc > 3 ? argv[3] : nullptr, &startup, &started)) {
      fprintf(stderr, "firstwindow: cannot start %s (error %lu)\n", argv[2],
              GetLastError());
      return 1;
    }
    int boxes = 0;
    bool shown = false;
    HWND answered = nullptr;
    for (int i = 0; i < 60000 && !shown; ++i) {
      const DWORD idle = WaitForInputIdle(started.hProcess, 1);
      Search search = {started.dwProcessId, nullptr, nullptr};
      EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
      if (search.box && search.box != answered) {
        PostMessageA(search.box, WM_COMMAND, IDOK, 0);
        answered = search.box;
        ++boxes;
      } else if (!search.box && search.window && idle == 0) {
        shown = true;
      }
      if (WaitForSingleObject(started.hProcess, 0) == WAIT_OBJECT_0) break;
    }
    QueryPerformanceCounter(&end);
    const double ms = double(end.QuadPart - begin.QuadPart) * 1000.0 /
                      double(frequency.QuadPart);
    const SIZE_T privateBytes = PrivateBytes(started.hProcess);
    TerminateProcess(started.hProcess, 0);
    WaitForSingleObject(started.hProcess, 10000);
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    if (!shown) {
      fprintf(stderr, "firstwindow: %s showed no window\n", argv[2]);
      return 1;
    }
    printf("run %d: %.1f ms, private %lu KB, boxes %d\n", run, ms,
           static_cast<unsigned long>(privateBytes / 1024), boxes);
    fflush(stdout);
  }
  return 0;
}
