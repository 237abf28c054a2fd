// The seam between the system and Windows. Each interface keeps Win32's
// meaning: the same arguments, Win32 error codes, the same success
// conventions, so callers read one-to-one against Win32's documentation.
// One platform is installed per process (the real one in the programs, a
// simulated machine in tests) and reached through the accessors below.
#pragma once
#include <stdarg.h>

#include "platform/Types.h"

namespace platform {

// WIN32_FIND_DATAA, the fields the system uses.
struct FindData {
  uint32_t attributes;
  FileTime creationTime;
  FileTime lastAccessTime;
  FileTime lastWriteTime;
  uint64_t size;
  char fileName[260];
  char alternateFileName[14];
};

// OSVERSIONINFOA.
struct VersionInfo {
  uint32_t majorVersion;
  uint32_t minorVersion;
  uint32_t buildNumber;
  uint32_t platformId;
  char csdVersion[128];
};

class Kernel {
 public:
  virtual uint32_t GetLogicalDrives() = 0;
  virtual uint32_t GetDriveTypeA(const char* rootPath) = 0;
  // Any of the out pointers may be null, as in Win32.
  virtual bool GetVolumeInformationA(const char* rootPath, char* volumeName,
                                     uint32_t volumeNameSize,
                                     uint32_t* serialNumber,
                                     uint32_t* maxComponentLength,
                                     uint32_t* fileSystemFlags,
                                     char* fileSystemName,
                                     uint32_t fileSystemNameSize) = 0;
  virtual bool SetVolumeLabelA(const char* rootPath, const char* label) = 0;
  virtual bool GetDiskFreeSpaceA(const char* rootPath,
                                 uint32_t* sectorsPerCluster,
                                 uint32_t* bytesPerSector,
                                 uint32_t* freeClusters,
                                 uint32_t* totalClusters) = 0;
  // Not exported before Windows 95 OSR2: the real implementation looks it up
  // at run time and fails with ERROR_PROC_NOT_FOUND where it is missing.
  virtual bool GetDiskFreeSpaceExA(const char* rootPath,
                                   uint64_t* freeBytesToCaller,
                                   uint64_t* totalBytes,
                                   uint64_t* totalFreeBytes) = 0;
  // INVALID_FILE_ATTRIBUTES on failure.
  virtual uint32_t GetFileAttributesA(const char* path) = 0;
  virtual bool SetFileAttributesA(const char* path, uint32_t attributes) = 0;
  // FindFirstFileA with the search handle closed at once.
  virtual bool FindFirstFile(const char* path, FindData* data) = 0;
  // Opens the file for writing attributes and calls SetFileTime; a null
  // time is left as it is.
  virtual bool SetFileTime(const char* path, const FileTime* creation,
                           const FileTime* lastAccess,
                           const FileTime* lastWrite) = 0;
  virtual FileTime GetSystemTimeAsFileTime() = 0;
  virtual uint32_t GetTickCount() = 0;
  virtual bool DeleteFileA(const char* path) = 0;
  virtual bool MoveFileA(const char* from, const char* to) = 0;
  virtual bool CopyFileA(const char* from, const char* to,
                         bool failIfExists) = 0;
  virtual bool CreateDirectoryA(const char* path) = 0;
  virtual bool RemoveDirectoryA(const char* path) = 0;
  virtual uint32_t GetWindowsDirectoryA(char* buffer, uint32_t size) = 0;
  virtual uint32_t GetSystemDirectoryA(char* buffer, uint32_t size) = 0;
  virtual uint32_t GetTempPathA(uint32_t size, char* buffer) = 0;
  // Forms "<path>\<first 3 of prefix><hex>.tmp" in a buffer of at least
  // 260 characters; with unique 0 it picks an unused number and creates
  // the empty file. The number used, 0 on failure.
  virtual uint32_t GetTempFileNameA(const char* path, const char* prefix,
                                    uint32_t unique, char* buffer) = 0;
  // The path of the running program (GetModuleFileNameA with no module).
  virtual uint32_t GetModuleFileNameA(char* buffer, uint32_t size) = 0;
  virtual uint32_t GetCurrentDirectoryA(uint32_t size, char* buffer) = 0;
  virtual bool SetCurrentDirectoryA(const char* path) = 0;
  virtual uint32_t GetShortPathNameA(const char* longPath, char* shortPath,
                                     uint32_t size) = 0;
  virtual bool GetVersionExA(VersionInfo* info) = 0;
  virtual uint32_t GetLastError() = 0;
  virtual void SetLastError(uint32_t code) = 0;
  // FormatMessageA with FORMAT_MESSAGE_ALLOCATE_BUFFER and no source or
  // inserts: on success *buffer is a LocalAlloc'ed text the caller frees
  // with LocalFree; returns its length, 0 on failure.
  virtual uint32_t FormatMessageA(uint32_t flags, uint32_t messageId,
                                  uint32_t languageId, char** buffer) = 0;
  virtual void LocalFree(void* memory) = 0;
  // WideCharToMultiByte with no default character: the bytes written
  // (counting the terminator when wideCount is -1), 0 on failure.
  virtual int WideCharToMultiByte(uint32_t codePage, uint32_t flags,
                                  const uint16_t* wide, int wideCount,
                                  char* buffer, int bufferSize) = 0;
  virtual void Sleep(uint32_t milliseconds) = 0;
  virtual bool ExitWindowsEx(uint32_t flags, uint32_t reserved) = 0;
  // CreateProcessA(no application name, commandLine, ..., directory), then
  // waits for the process to end while dispatching this thread's messages
  // (MsgWaitForMultipleObjects), so that our windows keep painting and the
  // boxes the program shows with one of them as owner work; the exit code
  // from GetExitCodeProcess. False when it could not be started, with the
  // reason in GetLastError().
  virtual bool RunProcessAndWait(const char* commandLine, const char* directory,
                                 uint32_t* exitCode) = 0;

 protected:
  ~Kernel() {}
};

// An open C runtime stream (FILE*), opaque to its users.
struct Stream;

// The C runtime's buffered file streams. Text mode ("rt", "wt", or no "b")
// has CR LF on disk and '\n' in memory on every platform, and a Ctrl-Z ends
// a text read, as msvcrt does.
class FileSystem {
 public:
  // fopen: null on failure, with the reason in Errno().
  virtual Stream* Open(const char* path, const char* mode) = 0;
  // fclose: 0 on success, EOF (-1) on failure; the stream is gone either way.
  virtual int Close(Stream* stream) = 0;
  virtual char* Gets(char* buffer, int size, Stream* stream) = 0;
  virtual int Getc(Stream* stream) = 0;
  virtual int Puts(const char* text, Stream* stream) = 0;
  virtual int Putc(int c, Stream* stream) = 0;
  virtual size_t Read(void* buffer, size_t size, size_t count,
                      Stream* stream) = 0;
  virtual size_t Write(const void* buffer, size_t size, size_t count,
                       Stream* stream) = 0;
  virtual int Seek(Stream* stream, long offset, int origin) = 0;
  virtual long Tell(Stream* stream) = 0;
  virtual int Flush(Stream* stream) = 0;
  // setvbuf(stream, NULL, _IOFBF, size): a buffer of `size` bytes that the
  // runtime allocates, in place of its own 4 KB one. Only before the first
  // read or write; 0 on success, nonzero (the old buffer kept) on failure.
  virtual int SetBuffer(Stream* stream, size_t size) = 0;
  virtual bool Error(Stream* stream) = 0;
  virtual bool Eof(Stream* stream) = 0;
  // errno and strerror; the texts are msvcrt's on every platform.
  virtual int Errno() = 0;
  virtual void SetErrno(int value) = 0;
  virtual const char* StrError(int value) = 0;

 protected:
  ~FileSystem() {}
};

// advapi32's registry calls; each returns a Win32 error code.
class Registry {
 public:
  virtual int32_t RegOpenKeyExA(RegKey key, const char* subKey,
                                uint32_t options, uint32_t samDesired,
                                RegKey* result) = 0;
  // disposition may be null.
  virtual int32_t RegCreateKeyExA(RegKey key, const char* subKey,
                                  uint32_t options, uint32_t samDesired,
                                  RegKey* result, uint32_t* disposition) = 0;
  virtual int32_t RegCloseKey(RegKey key) = 0;
  virtual int32_t RegQueryValueExA(RegKey key, const char* valueName,
                                   uint32_t* type, uint8_t* data,
                                   uint32_t* dataSize) = 0;
  virtual int32_t RegSetValueExA(RegKey key, const char* valueName,
                                 uint32_t type, const uint8_t* data,
                                 uint32_t dataSize) = 0;
  virtual int32_t RegDeleteValueA(RegKey key, const char* valueName) = 0;
  virtual int32_t RegDeleteKeyA(RegKey key, const char* subKey) = 0;
  virtual int32_t RegEnumKeyExA(RegKey key, uint32_t index, char* name,
                                uint32_t* nameSize) = 0;
  virtual int32_t RegEnumValueA(RegKey key, uint32_t index, char* name,
                                uint32_t* nameSize, uint32_t* type,
                                uint8_t* data, uint32_t* dataSize) = 0;
  virtual int32_t RegQueryInfoKeyA(RegKey key, uint32_t* subKeys,
                                   uint32_t* maxSubKeyLength, uint32_t* values,
                                   uint32_t* maxValueNameLength,
                                   uint32_t* maxValueLength) = 0;

 protected:
  ~Registry() {}
};

class UserPrompts {
 public:
  // MessageBoxA: the button pressed (IDOK, IDYES ...), 0 on failure.
  virtual int MessageBoxA(WindowHandle owner, const char* text,
                          const char* caption, uint32_t type) = 0;

 protected:
  ~UserPrompts() {}
};

// A shortcut's fields (IShellLinkA's path, arguments, working directory
// and description).
struct ShellLinkInfo {
  char target[260];
  char arguments[260];
  char directory[260];
  char description[260];
};

// Shell objects, opaque to portable code. An ItemIdList is the shell's
// ITEMIDLIST (its bytes may be read, as STRRET_OFFSET names do); the others
// stand for an interface pointer each (IShellFolder, IEnumIDList,
// IContextMenu) and are released through the calls below.
struct ItemIdList;
struct ShellFolder;
struct ShellEnum;
struct ContextMenu;

// STRRET: which member holds the name is told by type (STRRET_WSTR,
// STRRET_OFFSET, STRRET_CSTR). A wide name belongs to the caller, who frees
// it with CoTaskMemFree; an offset counts bytes from the item's start.
struct StrRet {
  uint32_t type;
  union {
    uint16_t* wide;
    uint32_t offset;
    char cStr[260];
  };
};

class Shell {
 public:
  // ShellExecuteA: a value above 32 is success.
  virtual intptr_t ShellExecuteA(WindowHandle owner, const char* verb,
                                 const char* file, const char* parameters,
                                 const char* directory, int showCommand) = 0;

  // My Computer as a folder: SHGetMalloc, SHGetDesktopFolder,
  // SHGetSpecialFolderLocation(no window, CSIDL_DRIVES), BindToObject for
  // IShellFolder, and the My Computer id list freed with the allocator. The
  // first failing step's HRESULT; *folder is null unless S_OK.
  virtual int32_t GetComputerFolder(ShellFolder** folder) = 0;
  virtual void ReleaseFolder(ShellFolder* folder) = 0;

  // IShellFolder::EnumObjects (SHCONTF_ flags). A success other than S_OK
  // (S_FALSE: nothing to list) leaves *result null.
  virtual int32_t EnumObjects(ShellFolder* folder, WindowHandle owner,
                              uint32_t flags, ShellEnum** result) = 0;
  // IEnumIDList::Next for one item: S_OK with *item set (the caller owns
  // it), S_FALSE at the end with *item null, or a failure.
  virtual int32_t NextItem(ShellEnum* items, ItemIdList** item) = 0;
  virtual void ReleaseEnum(ShellEnum* items) = 0;

  // IShellFolder::GetDisplayNameOf (SHGDN_ flags).
  virtual int32_t GetDisplayNameOf(ShellFolder* folder, const ItemIdList* item,
                                   uint32_t flags, StrRet* name) = 0;

  // Frees an item id list with the shell allocator (SHGetMalloc's Free).
  virtual void FreeItem(ItemIdList* item) = 0;
  // ole32's task allocator Free: item id lists a drive record owns, and
  // STRRET_WSTR names.
  virtual void CoTaskMemFree(void* memory) = 0;

  // The item's small icon: GetUIObjectOf(IExtractIconA) with owner,
  // GetIconLocation(0, buffer of 260), Extract with size 0 keeping the
  // small icon and destroying the large one. Any failure: its HRESULT (E_FAIL
  // when Extract gives no small icon) and *icon 0.
  virtual int32_t ExtractSmallIcon(ShellFolder* folder, WindowHandle owner,
                                   const ItemIdList* item,
                                   IconHandle* icon) = 0;
  // SHGetFileInfoA asking for an icon (SHGFI_ICON among the flags): the
  // call's result, nonzero on success, with the icon in *icon (0 when none).
  virtual uint32_t SHGetFileInfoA(const char* path, uint32_t attributes,
                                  uint32_t flags, IconHandle* icon) = 0;
  // The width of the icon's colour bitmap: GetIconInfo, then GetObjectA of
  // the colour bitmap; both bitmaps are deleted.
  virtual bool GetIconBitmapWidth(IconHandle icon, int* width) = 0;
  virtual bool DestroyIcon(IconHandle icon) = 0;

  // IShellFolder::GetUIObjectOf for one item, interface IContextMenu.
  virtual int32_t GetContextMenu(ShellFolder* folder, WindowHandle owner,
                                 const ItemIdList* item,
                                 ContextMenu** menu) = 0;
  // IContextMenu::QueryContextMenu (CMF_ flags): a success code whose low
  // word is the largest id used minus idFirst plus one.
  virtual int32_t QueryContextMenu(ContextMenu* contextMenu, MenuHandle menu,
                                   uint32_t index, uint32_t idFirst,
                                   uint32_t idLast, uint32_t flags) = 0;
  // IContextMenu::InvokeCommand with a 36-byte CMINVOKECOMMANDINFO: no mask
  // flags, owner, the verb as the integer verbIndex, no parameters or
  // directory, showCommand, no hot key or icon.
  virtual int32_t InvokeCommand(ContextMenu* contextMenu, WindowHandle owner,
                                uint32_t verbIndex, int showCommand) = 0;
  virtual void ReleaseContextMenu(ContextMenu* contextMenu) = 0;

  // A special folder's path (CSIDL_PROGRAMS ...): SHGetSpecialFolderLocation
  // and SHGetPathFromIDListA into `path` (260 characters), the id list
  // freed with the shell allocator; SHGetSpecialFolderPathA is missing from
  // a retail Windows 95. The first failing step's HRESULT (E_FAIL when no
  // path), `path` empty unless S_OK.
  virtual int32_t GetSpecialFolderPath(int csidl, char* path) = 0;
  // Writes the shortcut file `linkPath` (a full path) through ole32's
  // IShellLinkA and IPersistFile::Save, in a COM apartment of its own
  // (CoInitialize ... CoUninitialize). The first failing step's HRESULT.
  virtual int32_t CreateShellLink(const char* linkPath,
                                  const ShellLinkInfo& link) = 0;
  // Reads the fields of the shortcut file `linkPath` (IPersistFile::Load,
  // then IShellLinkA's getters, the path without SLGP_ flags).
  virtual int32_t ReadShellLink(const char* linkPath, ShellLinkInfo* link) = 0;

 protected:
  ~Shell() {}
};

// The letter-assignment driver: a VxD opened by path and sent requests
// through DeviceIoControl. The buffers are passed as raw bytes; what they
// hold is the caller's and the driver's business.
class DeviceDriver {
 public:
  // CreateFileA on a device path ("\\.\NAME.VxD"): on Windows 9x this
  // loads the dynamically loadable VxD. INVALID_HANDLE_VALUE on failure,
  // with the reason in GetLastError().
  virtual DeviceHandle CreateFileA(const char* path, uint32_t access,
                                   uint32_t shareMode, uint32_t creation,
                                   uint32_t flags) = 0;
  // DeviceIoControl with raw byte buffers and no overlapped structure.
  // bytesReturned may be null only where Win32 allows it (never on 9x).
  virtual bool DeviceIoControl(DeviceHandle device, uint32_t controlCode,
                               void* inBuffer, uint32_t inSize, void* outBuffer,
                               uint32_t outSize, uint32_t* bytesReturned) = 0;
  virtual bool CloseHandle(DeviceHandle device) = 0;

 protected:
  ~DeviceDriver() {}
};

// The 16-bit kernel services of Windows 9x that allocate conventional
// memory: KERNEL32's entries by ordinal (35 LoadLibrary16, 36
// FreeLibrary16, 37 GetProcAddress16, passed in as the addresses the
// caller resolved), QT_Thunk and WOW32's WOWGetVDMPointer. Only the i686
// Windows build has them; elsewhere every call reports them missing.
class Services16 {
 public:
  // GetModuleHandleA: the module's image in memory, null when missing.
  virtual const uint8_t* GetModuleHandleA(const char* name) = 0;
  // GetProcAddress by name: 0 when missing.
  virtual uintptr_t GetProcAddress(const uint8_t* module, const char* name) = 0;
  // The three ordinal entries, called at the address given.
  virtual uint32_t LoadLibrary16(uintptr_t entry, const char* name) = 0;
  virtual void FreeLibrary16(uintptr_t entry, uint32_t instance) = 0;
  virtual uint32_t GetProcAddress16(uintptr_t entry, uint32_t instance,
                                    const char* name) = 0;
  // KRNL386's GlobalDosAlloc(DWORD) and GlobalDosFree(WORD) at the 16:16
  // `target`, called through QT_Thunk at `thunk`; the result is DX:AX.
  virtual uint32_t GlobalDosAlloc(uintptr_t thunk, uint32_t target,
                                  uint32_t size) = 0;
  virtual uint32_t GlobalDosFree(uintptr_t thunk, uint32_t target,
                                 uint16_t selector) = 0;
  // The flat address of a 16:16 (protectedMode) or segment:offset one.
  virtual void* WOWGetVDMPointer(uint32_t address, uint32_t size,
                                 bool protectedMode) = 0;

 protected:
  ~Services16() {}
};

struct Platform {
  Kernel* kernel;
  FileSystem* files;
  Registry* registry;
  UserPrompts* prompts;
  Shell* shell;
  DeviceDriver* driver;
  Services16* services16;
};

// The installed platform. Calling a part of it before one is installed is
// a programming error.
Platform& Current();
inline Kernel& kernel() { return *Current().kernel; }
inline FileSystem& files() { return *Current().files; }
inline Registry& registry() { return *Current().registry; }
inline UserPrompts& prompts() { return *Current().prompts; }
inline Shell& shell() { return *Current().shell; }
inline DeviceDriver& driver() { return *Current().driver; }
inline Services16& services16() { return *Current().services16; }

// Installs a platform for its lifetime and puts the previous one back.
class PlatformScope {
 public:
  explicit PlatformScope(const Platform& platform);
  ~PlatformScope();
  PlatformScope(const PlatformScope&) = delete;
  PlatformScope& operator=(const PlatformScope&) = delete;

 private:
  Platform previous;
};

// vsnprintf that always terminates the buffer (when size > 0) and returns
// the length written, or -1 when the text was cut.
int FormatV(char* buffer, size_t size, const char* format, va_list args);
int Format(char* buffer, size_t size, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

}  // namespace platform
