// The simulated machine's implementations of the seam's interfaces.
#pragma once
#include <stdint.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/sim/Machine.h"

namespace sim {

class MachineImpl;

// A Windows path taken apart: drive letter and the names below its root,
// with "." and ".." already applied.
struct WinPath {
  char drive = 0;  // 'A' .. 'Z'
  std::vector<std::string> parts;

  bool IsRoot() const { return parts.empty(); }
  std::string Text() const;  // "C:\\WINDOWS", "C:\\"
  std::string Key() const;   // Text() in upper case, for lookups
  WinPath Parent() const;
  WinPath Child(const std::string& name) const;
  bool IsInside(const WinPath& folder) const;  // folder itself included
};

// Takes an absolute, rooted ("\\x") or relative path apart against the
// current directory. False with ERROR_INVALID_NAME or ERROR_PATH_NOT_FOUND
// for a path that cannot name a file.
// Only FindFirstFile allows wildcards, in the last name.
bool ParseWinPath(const std::string& path, const std::string& currentDir,
                  WinPath* out, uint32_t* error, bool wildcards = false);
bool IsValidFileName(const std::string& name);
bool IsShortName(const std::string& name);  // already 8.3
std::string UpperCase(std::string text);
bool EqualNoCase(const std::string& a, const std::string& b);
// DOS wildcard match ("*.*", "DRV?.DAT"), case-insensitive.
bool WildcardMatch(const std::string& pattern, const std::string& name);
// The host path under the machine's copy, found case-insensitively. Names
// that do not exist keep their spelling. *exists: the whole path exists;
// *parentExists: the folder it lies in exists (as a folder).
std::string ResolveHost(const std::string& root, const WinPath& path,
                        bool* exists, bool* parentExists);
// The names in a host folder, sorted case-insensitively.
std::vector<std::string> ListHost(const std::string& hostFolder);

// The registry: one tree per predefined key.
struct RegNode {
  std::string name;
  RegNode* parent = nullptr;
  std::vector<std::shared_ptr<RegNode>> children;
  std::vector<std::pair<std::string, RegValue>> values;
  bool deleted = false;

  RegNode* FindChild(const std::string& childName) const;
  RegNode* AddChild(const std::string& childName);  // or the existing one
  RegValue* FindValue(const std::string& valueName);
  void SetValue(const std::string& valueName, const RegValue& value);
  bool RemoveValue(const std::string& valueName);
  std::string Path() const;
};

struct RegRoot {
  RegKey key;
  const char* name;
};
extern const RegRoot kRegRoots[6];
// A key path by its root name ("HKEY_LOCAL_MACHINE\\Software"); null when
// it names no key.
RegNode* FindRegPath(const std::map<RegKey, std::shared_ptr<RegNode>>& roots,
                     const std::string& path, bool create);

// REGEDIT4 text: parse into the trees (throws std::runtime_error naming the
// file and line on bad text) and write back.
void ParseRegText(const std::string& text, const std::string& fileName,
                  std::map<RegKey, std::shared_ptr<RegNode>>* roots);
std::string WriteRegText(
    const std::map<RegKey, std::shared_ptr<RegNode>>& roots);

// The system's message texts, and msvcrt's strerror texts by errno.
const char* SystemMessage(uint32_t code);
extern const char* const kCrtErrors[];
extern const int kCrtErrorCount;

class SimKernel final : public platform::Kernel {
 public:
  explicit SimKernel(MachineImpl& machine) : m(machine) {}

  uint32_t GetLogicalDrives() override;
  uint32_t GetDriveTypeA(const char* rootPath) override;
  bool GetVolumeInformationA(const char* rootPath, char* volumeName,
                             uint32_t volumeNameSize, uint32_t* serialNumber,
                             uint32_t* maxComponentLength,
                             uint32_t* fileSystemFlags, char* fileSystemName,
                             uint32_t fileSystemNameSize) override;
  bool SetVolumeLabelA(const char* rootPath, const char* label) override;
  bool GetDiskFreeSpaceA(const char* rootPath, uint32_t* sectorsPerCluster,
                         uint32_t* bytesPerSector, uint32_t* freeClusters,
                         uint32_t* totalClusters) override;
  bool GetDiskFreeSpaceExA(const char* rootPath, uint64_t* freeBytesToCaller,
                           uint64_t* totalBytes,
                           uint64_t* totalFreeBytes) override;
  uint32_t GetFileAttributesA(const char* path) override;
  bool SetFileAttributesA(const char* path, uint32_t attributes) override;
  bool FindFirstFile(const char* path, platform::FindData* data) override;
  bool SetFileTime(const char* path, const FileTime* creation,
                   const FileTime* lastAccess,
                   const FileTime* lastWrite) override;
  FileTime GetSystemTimeAsFileTime() override;
  uint32_t GetTickCount() override;
  bool DeleteFileA(const char* path) override;
  bool MoveFileA(const char* from, const char* to) override;
  bool CopyFileA(const char* from, const char* to, bool failIfExists) override;
  bool CreateDirectoryA(const char* path) override;
  bool RemoveDirectoryA(const char* path) override;
  uint32_t GetWindowsDirectoryA(char* buffer, uint32_t size) override;
  uint32_t GetSystemDirectoryA(char* buffer, uint32_t size) override;
  uint32_t GetTempPathA(uint32_t size, char* buffer) override;
  uint32_t GetTempFileNameA(const char* path, const char* prefix,
                            uint32_t unique, char* buffer) override;
  uint32_t GetModuleFileNameA(char* buffer, uint32_t size) override;
  uint32_t GetCurrentDirectoryA(uint32_t size, char* buffer) override;
  bool SetCurrentDirectoryA(const char* path) override;
  uint32_t GetShortPathNameA(const char* longPath, char* shortPath,
                             uint32_t size) override;
  bool GetVersionExA(platform::VersionInfo* info) override;
  uint32_t GetLastError() override;
  void SetLastError(uint32_t code) override;
  uint32_t FormatMessageA(uint32_t flags, uint32_t messageId,
                          uint32_t languageId, char** buffer) override;
  void LocalFree(void* memory) override;
  int WideCharToMultiByte(uint32_t codePage, uint32_t flags,
                          const uint16_t* wide, int wideCount, char* buffer,
                          int bufferSize) override;
  void Sleep(uint32_t milliseconds) override;
  bool ExitWindowsEx(uint32_t flags, uint32_t reserved) override;
  bool RunProcessAndWait(const char* commandLine, const char* directory,
                         uint32_t* exitCode) override;

 private:
  bool Failed(uint32_t code);
  // The drive of a root path such as "C:\\" (null: the current drive).
  Drive* RootDrive(const char* rootPath, bool needBackslash, uint32_t* error);
  // A path on a drive that is there and ready.
  bool Locate(const char* path, WinPath* out, std::string* host, bool* exists,
              bool* parentExists, uint32_t* error, bool wildcards = false);
  bool Writable(const WinPath& path, uint32_t* error);
  std::string ShortName(const std::string& hostFolder, const std::string& name);
  uint32_t CopyOut(const std::string& text, char* buffer, uint32_t size);
  MachineImpl& m;
};

class SimFiles final : public platform::FileSystem {
 public:
  explicit SimFiles(MachineImpl& machine) : m(machine) {}
  ~SimFiles();

  platform::Stream* Open(const char* path, const char* mode) override;
  int Close(platform::Stream* stream) override;
  char* Gets(char* buffer, int size, platform::Stream* stream) override;
  int Getc(platform::Stream* stream) override;
  int Puts(const char* text, platform::Stream* stream) override;
  int Putc(int c, platform::Stream* stream) override;
  size_t Read(void* buffer, size_t size, size_t count,
              platform::Stream* stream) override;
  size_t Write(const void* buffer, size_t size, size_t count,
               platform::Stream* stream) override;
  int Seek(platform::Stream* stream, long offset, int origin) override;
  long Tell(platform::Stream* stream) override;
  int Flush(platform::Stream* stream) override;
  int SetBuffer(platform::Stream* stream, size_t size) override;
  bool Error(platform::Stream* stream) override;
  bool Eof(platform::Stream* stream) override;
  int Errno() override;
  void SetErrno(int value) override;
  const char* StrError(int value) override;

  int OpenCount() const { return int(open.size()); }

 private:
  bool Known(platform::Stream* stream, const char* call);
  bool Enter(const char* call, platform::Stream* stream);
  int ReadChar(platform::Stream* s);
  bool PutChar(platform::Stream* s, unsigned char c);
  bool FlushWrites(platform::Stream* s);
  bool StartWriting(platform::Stream* s);
  bool StartReading(platform::Stream* s);
  MachineImpl& m;
  std::vector<platform::Stream*> open;
  uint32_t faultCode = 0;
};

class SimRegistry final : public platform::Registry {
 public:
  explicit SimRegistry(MachineImpl& machine);

  int32_t RegOpenKeyExA(RegKey key, const char* subKey, uint32_t options,
                        uint32_t samDesired, RegKey* result) override;
  int32_t RegCreateKeyExA(RegKey key, const char* subKey, uint32_t options,
                          uint32_t samDesired, RegKey* result,
                          uint32_t* disposition) override;
  int32_t RegCloseKey(RegKey key) override;
  int32_t RegQueryValueExA(RegKey key, const char* valueName, uint32_t* type,
                           uint8_t* data, uint32_t* dataSize) override;
  int32_t RegSetValueExA(RegKey key, const char* valueName, uint32_t type,
                         const uint8_t* data, uint32_t dataSize) override;
  int32_t RegDeleteValueA(RegKey key, const char* valueName) override;
  int32_t RegDeleteKeyA(RegKey key, const char* subKey) override;
  int32_t RegEnumKeyExA(RegKey key, uint32_t index, char* name,
                        uint32_t* nameSize) override;
  int32_t RegEnumValueA(RegKey key, uint32_t index, char* name,
                        uint32_t* nameSize, uint32_t* type, uint8_t* data,
                        uint32_t* dataSize) override;
  int32_t RegQueryInfoKeyA(RegKey key, uint32_t* subKeys,
                           uint32_t* maxSubKeyLength, uint32_t* values,
                           uint32_t* maxValueNameLength,
                           uint32_t* maxValueLength) override;

  std::map<RegKey, std::shared_ptr<RegNode>> roots;
  int OpenHandles() const { return int(handles.size()); }

 private:
  // The key behind a handle: 0, or ERROR_INVALID_HANDLE /
  // ERROR_KEY_DELETED.
  int32_t Lookup(RegKey key, std::shared_ptr<RegNode>* node);
  std::string Describe(RegKey key, const char* subKey);
  RegKey NewHandle(const std::shared_ptr<RegNode>& node);
  std::shared_ptr<RegNode> Share(RegNode* node);
  MachineImpl& m;
  std::map<RegKey, std::shared_ptr<RegNode>> handles;
  std::vector<std::shared_ptr<RegNode>> deletedKeys;
  RegKey nextHandle = 0xC2A0;
};

class SimPrompts final : public platform::UserPrompts {
 public:
  explicit SimPrompts(MachineImpl& machine) : m(machine) {}
  int MessageBoxA(WindowHandle owner, const char* text, const char* caption,
                  uint32_t type) override;

 private:
  MachineImpl& m;
};

class SimShell final : public platform::Shell {
 public:
  explicit SimShell(MachineImpl& machine) : m(machine) {}
  intptr_t ShellExecuteA(WindowHandle owner, const char* verb, const char* file,
                         const char* parameters, const char* directory,
                         int showCommand) override;
  int32_t GetComputerFolder(platform::ShellFolder** folder) override;
  void ReleaseFolder(platform::ShellFolder* folder) override;
  int32_t EnumObjects(platform::ShellFolder* folder, WindowHandle owner,
                      uint32_t flags, platform::ShellEnum** result) override;
  int32_t NextItem(platform::ShellEnum* items,
                   platform::ItemIdList** item) override;
  void ReleaseEnum(platform::ShellEnum* items) override;
  int32_t GetDisplayNameOf(platform::ShellFolder* folder,
                           const platform::ItemIdList* item, uint32_t flags,
                           platform::StrRet* name) override;
  void FreeItem(platform::ItemIdList* item) override;
  void CoTaskMemFree(void* memory) override;
  int32_t ExtractSmallIcon(platform::ShellFolder* folder, WindowHandle owner,
                           const platform::ItemIdList* item,
                           IconHandle* icon) override;
  uint32_t SHGetFileInfoA(const char* path, uint32_t attributes, uint32_t flags,
                          IconHandle* icon) override;
  bool GetIconBitmapWidth(IconHandle icon, int* width) override;
  bool DestroyIcon(IconHandle icon) override;
  int32_t GetContextMenu(platform::ShellFolder* folder, WindowHandle owner,
                         const platform::ItemIdList* item,
                         platform::ContextMenu** menu) override;
  int32_t QueryContextMenu(platform::ContextMenu* contextMenu, MenuHandle menu,
                           uint32_t index, uint32_t idFirst, uint32_t idLast,
                           uint32_t flags) override;
  int32_t InvokeCommand(platform::ContextMenu* contextMenu, WindowHandle owner,
                        uint32_t verbIndex, int showCommand) override;
  void ReleaseContextMenu(platform::ContextMenu* contextMenu) override;
  int32_t GetSpecialFolderPath(int csidl, char* path) override;
  int32_t CreateShellLink(const char* linkPath,
                          const platform::ShellLinkInfo& link) override;
  int32_t ReadShellLink(const char* linkPath,
                        platform::ShellLinkInfo* link) override;

 private:
  MachineImpl& m;
};

class SimServices16 final : public platform::Services16 {
 public:
  explicit SimServices16(MachineImpl& machine);
  const uint8_t* GetModuleHandleA(const char* name) override;
  uintptr_t GetProcAddress(const uint8_t* module, const char* name) override;
  uint32_t LoadLibrary16(uintptr_t entry, const char* name) override;
  void FreeLibrary16(uintptr_t entry, uint32_t instance) override;
  uint32_t GetProcAddress16(uintptr_t entry, uint32_t instance,
                            const char* name) override;
  uint32_t GlobalDosAlloc(uintptr_t thunk, uint32_t target,
                          uint32_t size) override;
  uint32_t GlobalDosFree(uintptr_t thunk, uint32_t target,
                         uint16_t selector) override;
  void* WOWGetVDMPointer(uint32_t address, uint32_t size,
                         bool protectedMode) override;

  // The memory at segment:offset of an allocated block, null unless size
  // bytes fit there.
  uint8_t* Conventional(uint16_t segment, uint32_t offset, uint32_t size);
  int BlockCount() const { return int(blocks.size()); }

 private:
  struct DosBlock {
    uint16_t segment;
    uint16_t selector;
    std::vector<uint8_t> memory;
  };
  uintptr_t At(uint32_t offset) const;
  bool Enter(const char* call, const std::string& argument);
  bool Thunk(uintptr_t thunk, uint32_t target, uint32_t expected,
             const char* call);
  MachineImpl& m;
  std::vector<uint8_t> image;  // KERNEL32 as the export walk sees it
  std::vector<DosBlock> blocks;
  uint32_t nextSegment = 0x2000;
  uint16_t nextSelector = 0x1A07;
  int moduleReferences = 0;
};

class SimDriver final : public platform::DeviceDriver {
 public:
  explicit SimDriver(MachineImpl& machine) : m(machine) {}
  DeviceHandle CreateFileA(const char* path, uint32_t access,
                           uint32_t shareMode, uint32_t creation,
                           uint32_t flags) override;
  bool DeviceIoControl(DeviceHandle device, uint32_t controlCode,
                       void* inBuffer, uint32_t inSize, void* outBuffer,
                       uint32_t outSize, uint32_t* bytesReturned) override;
  bool CloseHandle(DeviceHandle device) override;

  int OpenCount() const { return int(open.size()); }

 private:
  std::string Describe(uint32_t code, const uint8_t* in);
  bool Refused(const Drive* drive, const char* what);
  bool RunInterrupt(uint8_t* packet);
  bool GenericIoctl(Drive& drive, uint8_t* packet, uint16_t* ax);
  bool DeviceKey(uint8_t* in);
  uint16_t DriveSpaceMap(uint8_t drive);
  std::string BootSector(const Drive& drive);
  MachineImpl& m;
  std::set<DeviceHandle> open;
  DeviceHandle nextHandle = 0x0C40;
};

}  // namespace sim
