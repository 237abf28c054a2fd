// Times a windowed program's start under Wine, from CreateProcess to two
// moments: the first window of the program's own (a splash counts, a
// message box does not) is visible and painted; and a window of its own
// that is not a dialog is visible and the program waits for input. A
// message box on the way is answered with OK at once, as a user who knows
// it would. After the start it reads the process's private memory, then
// ends the process.
//
//   firstwindow RUNS PROGRAM [FOLDER]
// prints one line per run:
// "run N: MS ms, private KB KB, boxes B, working set KB KB, first window
// MS ms"
#include <stdlib.h>
#include <string.h>
#include <windows.h>

namespace {

// Built like the products (freestanding, Windows 95 imports only), so it
// writes through the console handles rather than stdio.
void Out(const char* text, DWORD handle = STD_OUTPUT_HANDLE) {
  DWORD written;
  WriteFile(GetStdHandle(handle), text, DWORD(strlen(text)), &written, nullptr);
}

void OutNumber(unsigned long value) {
  char digits[24];
  char* p = digits + sizeof digits - 1;
  *p = '\0';
  do {
    *--p = char('0' + value % 10);
    value /= 10;
  } while (value);
  Out(p);
}

void Fail(const char* text, const char* program) {
  Out("firstwindow: ", STD_ERROR_HANDLE);
  Out(text, STD_ERROR_HANDLE);
  Out(program, STD_ERROR_HANDLE);
  Out("\n", STD_ERROR_HANDLE);
}

struct Search {
  DWORD process;
  HWND box;      // a visible message box
  HWND window;   // a visible window that is not a dialog
  bool painted;  // a visible window, not a box, with nothing left to paint
};

BOOL CALLBACK FindUnpainted(HWND child, LPARAM data) {
  if (IsWindowVisible(child) && GetUpdateRect(child, nullptr, FALSE)) {
    *reinterpret_cast<bool*>(data) = true;
    return FALSE;
  }
  return TRUE;
}

// Neither the window nor a visible child of it waits for WM_PAINT.
bool Painted(HWND window) {
  if (GetUpdateRect(window, nullptr, FALSE)) return false;
  bool unpainted = false;
  EnumChildWindows(window, FindUnpainted, reinterpret_cast<LPARAM>(&unpainted));
  return !unpainted;
}

BOOL CALLBACK Visit(HWND window, LPARAM data) {
  Search* search = reinterpret_cast<Search*>(data);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != search->process || !IsWindowVisible(window)) return TRUE;
  char name[64], caption[64];
  GetClassNameA(window, name, sizeof name);
  GetWindowTextA(window, caption, sizeof caption);
  // Boxes are dialogs captioned with the program's name; another dialog
  // (a splash) is neither answered nor taken for the program's window.
  const bool dialog = strcmp(name, "#32770") == 0;
  if (dialog && strcmp(caption, "Pelmora") == 0) {
    search->box = window;
    return TRUE;
  }
  if (!dialog) search->window = window;
  if (!search->painted && Painted(window)) search->painted = true;
  return TRUE;
}

// The committed private bytes and the working set, through the call Wine
// and NT have (looked up at run time; Windows 95 has none).
struct Memory {
  SIZE_T privateBytes, workingSet;
};
Memory MemoryOf(HANDLE process) {
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
  if (!query || !query(process, &counters, sizeof counters)) return {0, 0};
  // NT counts the commit charge in both; wine 8 fills only PagefileUsage.
  const SIZE_T committed =
      counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
  return {committed, counters.WorkingSetSize};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    Out("usage: firstwindow RUNS PROGRAM [FOLDER]\n", STD_ERROR_HANDLE);
    return 2;
  }
  const int runs = atoi(argv[1]);
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  for (int run = 1; run <= runs; ++run) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    LARGE_INTEGER begin, end, first = {};
    QueryPerformanceCounter(&begin);
    if (!CreateProcessA(argv[2], nullptr, nullptr, nullptr, FALSE, 0, nullptr,
                        argc > 3 ? argv[3] : nullptr, &startup, &started)) {
      Fail("cannot start ", argv[2]);
      return 1;
    }
    int boxes = 0;
    bool shown = false;
    HWND answered = nullptr;
    for (int i = 0; i < 60000 && !shown; ++i) {
      const DWORD idle = WaitForInputIdle(started.hProcess, 1);
      Search search = {started.dwProcessId, nullptr, nullptr, false};
      EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
      if (search.painted && first.QuadPart == 0)
        QueryPerformanceCounter(&first);
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
    const unsigned long tenths = static_cast<unsigned long>(
        (end.QuadPart - begin.QuadPart) * 10000 / frequency.QuadPart);
    // The ready window is painted too, if no earlier one was.
    if (first.QuadPart == 0) first = end;
    const unsigned long firstTenths = static_cast<unsigned long>(
        (first.QuadPart - begin.QuadPart) * 10000 / frequency.QuadPart);
    const Memory memory = MemoryOf(started.hProcess);
    TerminateProcess(started.hProcess, 0);
    WaitForSingleObject(started.hProcess, 10000);
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    if (!shown) {
      Fail("no window from ", argv[2]);
      return 1;
    }
    Out("run ");
    OutNumber(static_cast<unsigned long>(run));
    Out(": ");
    OutNumber(tenths / 10);
    Out(".");
    OutNumber(tenths % 10);
    Out(" ms, private ");
    OutNumber(static_cast<unsigned long>(memory.privateBytes / 1024));
    Out(" KB, boxes ");
    OutNumber(static_cast<unsigned long>(boxes));
    Out(", working set ");
    OutNumber(static_cast<unsigned long>(memory.workingSet / 1024));
    Out(" KB, first window ");
    OutNumber(firstTenths / 10);
    Out(".");
    OutNumber(firstTenths % 10);
    Out(" ms\n");
  }
  return 0;
}
