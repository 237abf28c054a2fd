// The benchmark of Kromva32's start-up and save on simulated machines
// (machines/bench-*). Prints the rows of scripts/run-bench.sh's table that
// it measures itself:
//   - the platform calls the drive table's construction and build make on
//     the 26-letter machine, beside the least the algorithms need for that
//     machine, counted from the machine's description alone (LeastCalls);
//   - the save's three rewriters on files of 1 KB, 100 KB and 10 MB: time
//     as a ratio to `cp` of the same file in the same run (both timed by
//     Google Benchmark) and the peak heap above the start, counted by the
//     allocator below.
//
//   pelmora_bench                 every row (Google Benchmark flags work)
//   pelmora_bench --check         the call counts only; fails unless equal
//   pelmora_bench --build MACHINE one construction and build, for callgrind
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>

#include <iostream>
#include <map>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "assign/DriveListView.h"
#include "bench/LeastCalls.h"
#include "framework/headless/Windows.h"
#include "platform/Platform.h"
#include "platform/sim/Machine.h"
#include "writers/CompressionIni.h"
#include "writers/DosStartupFiles.h"
#include "writers/TextLines.h"

extern char** environ;

// Every C++ allocation of the process, counted: the bytes held now and the
// most held since the last ResetPeak. The product's code and the simulator
// allocate through these.
namespace heap {
size_t current = 0;
size_t peak = 0;
void ResetPeak() { peak = current; }
}  // namespace heap

namespace {
void* Allocate(size_t size) {
  void* p = malloc(size == 0 ? 1 : size);
  if (!p) throw std::bad_alloc();
  heap::current += malloc_usable_size(p);
  if (heap::current > heap::peak) heap::peak = heap::current;
  return p;
}
void Release(void* p) {
  if (!p) return;
  heap::current -= malloc_usable_size(p);
  free(p);
}
}  // namespace

void* operator new(size_t size) { return Allocate(size); }
void* operator new[](size_t size) { return Allocate(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept {
  void* p = malloc(size == 0 ? 1 : size);
  if (p) heap::current += malloc_usable_size(p);
  if (heap::current > heap::peak) heap::peak = heap::current;
  return p;
}
void* operator new[](size_t size, const std::nothrow_t& tag) noexcept {
  return operator new(size, tag);
}
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, size_t) noexcept { Release(p); }
void operator delete[](void* p, size_t) noexcept { Release(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { Release(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { Release(p); }

namespace {

// The start-up checks after the build are not part of building the table.
class BenchView : public DriveListView {
 protected:
  bool CheckCdRomLetters() override { return true; }
  bool CheckDriveSpaceLaunched() override { return true; }
};

// A simulated machine with its platform installed, and optionally the
// drive list view built on it. Any box or fault the machine reports ends
// the benchmark: a figure measured on a failing run means nothing.
class Session {
 public:
  explicit Session(const std::string& fixture) {
    machine = sim::Machine::Load(fixture);
    machine->SetFailureHandler([](const std::string& message) {
      fprintf(stderr, "pelmora_bench: the machine failed: %s\n",
              message.c_str());
      exit(2);
    });
    machine->SetCallLogging(false);
    scope.reset(new platform::PlatformScope(machine->Platform()));
  }
  ~Session() {
    view.reset();
    if (frame.GetSafeHwnd()) frame.DestroyWindow();
    headless::Windows::Get().Reset();
    machine->User().Done();
    scope.reset();
    machine.reset();
  }

  // The table's construction (with the view object), then its build (the
  // view's creation), each with its calls counted.
  void Construct() {
    machine->ClearCallLog();
    view = std::make_unique<BenchView>();
    construction = Count();
  }
  void Build() {
    if (!frame.GetSafeHwnd())
      frame.CreateEx(0, "PelmoraFrame", "Pelmora",
                     WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(100, 50, 740, 530),
                     nullptr, 0);
    machine->ClearCallLog();
    if (!view->CreateEx(0, "", "", WS_VISIBLE | LVS_REPORT,
                        CRect(0, 0, 640, 440), &frame, driveListId)) {
      fprintf(stderr, "pelmora_bench: the drive list was not created\n");
      exit(2);
    }
    build = Count();
  }
  void Start() {
    Construct();
    Build();
  }

  CallCounts Count() const {
    static const char* const registryCalls[] = {
        "RegOpenKeyExA",    "RegCreateKeyExA", "RegCloseKey",
        "RegQueryValueExA", "RegSetValueExA",  "RegDeleteValueA",
        "RegDeleteKeyA",    "RegEnumKeyExA",   "RegEnumValueA",
        "RegQueryInfoKeyA"};
    CallCounts counts;
    counts.driverRequests = machine->CallCount("DeviceIoControl");
    for (const char* call : registryCalls)
      counts.registryCalls += machine->CallCount(call);
    counts.fileOpens =
        machine->CallCount("Open") + machine->CallCount("CreateFileA");
    return counts;
  }

  std::unique_ptr<sim::Machine> machine;
  std::unique_ptr<platform::PlatformScope> scope;
  CWnd frame;
  std::unique_ptr<BenchView> view;
  CallCounts construction, build;
};

// ---- start-up --------------------------------------------------------

void BM_BuildDriveTable(benchmark::State& state) {
  const std::string fixture = "bench-" + std::to_string(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    Session session(fixture);
    session.Construct();
    state.ResumeTiming();
    session.Build();
    state.PauseTiming();
    session.view.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_BuildDriveTable)
    ->Arg(4)
    ->Arg(13)
    ->Arg(26)
    ->Unit(benchmark::kMicrosecond);

// ---- save ------------------------------------------------------------

struct SavedFile {
  const char* name;  // the row's name
  const char* path;  // where the machine keeps it
  const char* head;  // its first lines, as a real one starts
  const char* filler;
  bool (*write)(const DriveTable&);
};

bool WriteConfigSys(const DriveTable& table) {
  return SetLastDrive(table, 'Z');
}

const SavedFile savedFiles[] = {
    {"CONFIG.SYS", "C:\\CONFIG.SYS",
     "DEVICE=C:\\WINDOWS\\HIMEM.SYS\r\nDEVICE=C:\\CDROM\\OAKCDROM.SYS "
     "/D:MSCD001\r\nLASTDRIVE=Z\r\nFILES=40\r\n",
     "DEVICEHIGH=C:\\WINDOWS\\COMMAND\\DISPLAY.SYS CON=(EGA,,1)\r\n",
     WriteConfigSys},
    {"AUTOEXEC.BAT", "C:\\AUTOEXEC.BAT",
     "@ECHO OFF\r\nPATH C:\\WINDOWS;C:\\WINDOWS\\COMMAND\r\n"
     "LH C:\\WINDOWS\\COMMAND\\MSCDEX.EXE /D:MSCD001 /L:F\r\n",
     "SET BLASTER=A220 I5 D1 H5 P330 T6 REM sound card settings\r\n",
     UpdateMscdexLines},
    {"DRVSPACE.INI", "C:\\DRVSPACE.INI",
     "[DriveSpace]\r\nMaxRemovableDrives=2\r\nFirstDrive=K\r\n"
     "LastDrive=L\r\nActivateDrive=J,K1\r\nActivateDrive=L,J2\r\n",
     "; kept as written: a comment line of the settings file\r\n",
     UpdateCompressionIni},
};

const size_t fileSizes[] = {1024, 100 * 1024, 10 * 1024 * 1024};

std::string SizeName(size_t size) {
  if (size >= 1024 * 1024) return std::to_string(size >> 20) + " MB";
  return std::to_string(size >> 10) + " KB";
}

// The file's head, then filler lines to `size` bytes.
std::string FileOfSize(const SavedFile& file, size_t size) {
  std::string text = file.head;
  const size_t line = strlen(file.filler);
  while (text.size() + line <= size) text += file.filler;
  return text;
}

// One machine for every save: the 26-letter machine with its table built.
// Sessions share the headless window world, so no other lives beside it.
std::unique_ptr<Session> saveSession;
Session& SaveSession() {
  if (!saveSession) {
    saveSession = std::make_unique<Session>("bench-26");
    saveSession->Start();
  }
  return *saveSession;
}

void BM_Save(benchmark::State& state) {
  const SavedFile& file = savedFiles[state.range(0)];
  const size_t size = size_t(state.range(1));
  Session& session = SaveSession();
  const std::string original = session.machine->ReadFile(file.path);
  session.machine->WriteFile(file.path, FileOfSize(file, size));
  for (auto _ : state) {
    if (!file.write(session.view->table)) {
      state.SkipWithError("the rewrite failed");
      break;
    }
  }
  session.machine->WriteFile(file.path, original);
}

// The same bytes copied by cp, on the same host folder.
void BM_Copy(benchmark::State& state) {
  const SavedFile& file = savedFiles[state.range(0)];
  const size_t size = size_t(state.range(1));
  Session& session = SaveSession();
  const std::string original = session.machine->ReadFile(file.path);
  session.machine->WriteFile(file.path, FileOfSize(file, size));
  std::string source = session.machine->HostPath(file.path);
  std::string target = source + ".copy";
  char* argv[] = {const_cast<char*>("cp"), source.data(), target.data(),
                  nullptr};
  for (auto _ : state) {
    // A new file each time, as the rewriters write: ext4 writes a file
    // truncated and written again out at its close.
    state.PauseTiming();
    remove(target.c_str());
    state.ResumeTiming();
    pid_t pid;
    int status = 0;
    if (posix_spawnp(&pid, "cp", nullptr, nullptr, argv, environ) != 0 ||
        waitpid(pid, &status, 0) != pid || status != 0) {
      state.SkipWithError("cp failed");
      break;
    }
  }
  remove(target.c_str());
  session.machine->WriteFile(file.path, original);
}

// The least a rewrite costs through the same runtime: the file read line
// by line and written to another, nothing judged, with the rewriters'
// buffers.
void BM_StreamCopy(benchmark::State& state) {
  const SavedFile& file = savedFiles[state.range(0)];
  const size_t size = size_t(state.range(1));
  Session& session = SaveSession();
  const std::string original = session.machine->ReadFile(file.path);
  session.machine->WriteFile(file.path, FileOfSize(file, size));
  platform::FileSystem& files = platform::files();
  const std::string target = "C:\\Pelmora\\copy.tmp";
  for (auto _ : state) {
    platform::Stream* in = files.Open(file.path, "rt");
    platform::Stream* out = files.Open(target.c_str(), "wt");
    if (in) files.SetBuffer(in, rewriteBufferSize);
    if (out) files.SetBuffer(out, rewriteBufferSize);
    char line[1024];
    while (in && out && files.Gets(line, sizeof line, in))
      files.Puts(line, out);
    if (!in || !out || files.Close(out) != 0) state.SkipWithError("no copy");
    if (in) files.Close(in);
  }
  platform::kernel().DeleteFileA(target.c_str());
  session.machine->WriteFile(file.path, original);
}

void SaveArguments(benchmark::internal::Benchmark* b) {
  for (int f = 0; f < 3; ++f)
    for (size_t size : fileSizes) b->Args({f, int64_t(size)});
}
// Real time decides the iterations: cp's work is in another process.
BENCHMARK(BM_Save)
    ->Apply(SaveArguments)
    ->Repetitions(5)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StreamCopy)
    ->Apply(SaveArguments)
    ->Repetitions(5)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Copy)
    ->Apply(SaveArguments)
    ->Repetitions(5)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// The heap the rewrite of `file` at `size` takes beyond what was held
// before it.
size_t SavePeakHeap(const SavedFile& file, size_t size) {
  Session& session = SaveSession();
  const std::string original = session.machine->ReadFile(file.path);
  session.machine->WriteFile(file.path, FileOfSize(file, size));
  const size_t before = heap::current;
  heap::ResetPeak();
  file.write(session.view->table);
  const size_t peak = heap::peak - before;
  session.machine->WriteFile(file.path, original);
  return peak;
}

// Keeps each benchmark's fastest real time per iteration over its
// repetitions (the machine is shared: the fastest run is the one least
// disturbed), and prints the runs as the console reporter does.
class Collector : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration || run.iterations == 0) continue;
      const double time = run.real_accumulated_time / double(run.iterations);
      const std::string name =
          run.run_name.function_name + "/" + run.run_name.args;
      auto found = seconds.find(name);
      if (found == seconds.end() || time < found->second) seconds[name] = time;
    }
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> seconds;
};

// ---- the rows ----------------------------------------------------------

int failures = 0;

void Row(const std::string& what, const std::string& measured,
         const std::string& target, bool held) {
  printf("| %s | %s | %s | %s |\n", what.c_str(), measured.c_str(),
         target.c_str(), held ? "held" : "OVER");
  if (!held) ++failures;
}

void CallRows() {
  Session session("bench-26");
  session.Start();
  const CallCounts least = LeastStartupCalls(*session.machine);
  const CallCounts leastConstruction = LeastConstructionCalls(*session.machine);
  const struct {
    const char* what;
    uint64_t measured, least;
  } rows[] = {
      {"construction: file opens", session.construction.fileOpens,
       leastConstruction.fileOpens},
      {"construction: registry calls", session.construction.registryCalls,
       leastConstruction.registryCalls},
      {"construction: driver requests", session.construction.driverRequests,
       leastConstruction.driverRequests},
      {"buildDriveTable: driver requests", session.build.driverRequests,
       least.driverRequests},
      {"buildDriveTable: registry calls", session.build.registryCalls,
       least.registryCalls},
      {"buildDriveTable: file opens", session.build.fileOpens, least.fileOpens},
  };
  for (const auto& row : rows)
    Row(std::string("1 calls, 26 drives, ") + row.what,
        std::to_string(row.measured), "= least " + std::to_string(row.least),
        row.measured == row.least);
}

void SaveRows(const Collector& collector) {
  for (int f = 0; f < 3; ++f) {
    size_t hundredKbPeak = 0;
    for (size_t size : fileSizes) {
      const std::string args =
          "/" + std::to_string(f) + "/" + std::to_string(size);
      auto save = collector.seconds.find("BM_Save" + args);
      auto copy = collector.seconds.find("BM_Copy" + args);
      auto streamCopy = collector.seconds.find("BM_StreamCopy" + args);
      if (save == collector.seconds.end() || copy == collector.seconds.end() ||
          streamCopy == collector.seconds.end())
        continue;
      const double ratio = save->second / copy->second;
      char measured[160];
      snprintf(measured, sizeof measured,
               "%.2f x (%.2f ms; cp %.2f ms; line copy through the simulated "
               "runtime %.2f ms = %.2f x)",
               ratio, save->second * 1e3, copy->second * 1e3,
               streamCopy->second * 1e3, save->second / streamCopy->second);
      const std::string what =
          std::string("3 save ") + savedFiles[f].name + " " + SizeName(size);
      Row(what + ", time", measured, "<= 3 x cp", ratio <= 3.0);
      // Streaming: the heap stays within the two streams' buffers and
      // 32 KB besides (a 10 MB file held whole would show), and grows no
      // further from 100 KB to 10 MB.
      const size_t limit = 2 * rewriteBufferSize + 32 * 1024;
      const std::string limitText = "<= " + std::to_string(limit >> 10) + " KB";
      const size_t peak = SavePeakHeap(savedFiles[f], size);
      if (size == fileSizes[1]) hundredKbPeak = peak;
      const bool held =
          peak <= limit && (size != fileSizes[2] || peak <= hundredKbPeak);
      Row(what + ", peak heap", std::to_string(peak) + " B",
          size == fileSizes[2] ? limitText + " and = the 100 KB file's (" +
                                     std::to_string(hundredKbPeak) + " B)"
                               : limitText,
          held);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && strcmp(argv[1], "--build") == 0) {
    Session session(argv[2]);
    session.Start();
    return 0;
  }
  if (argc == 2 && strcmp(argv[1], "--check") == 0) {
    CallRows();
    return failures == 0 ? 0 : 1;
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  // The runs go to stderr; stdout holds the table's rows only.
  Collector collector;
  collector.SetOutputStream(&std::cerr);
  collector.SetErrorStream(&std::cerr);
  CallRows();
  fflush(stdout);
  benchmark::RunSpecifiedBenchmarks(&collector);
  SaveRows(collector);
  saveSession.reset();
  benchmark::Shutdown();
  return failures == 0 ? 0 : 1;
}
