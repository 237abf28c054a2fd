// The seam over the real Win32 calls. Each method is a one-to-one forward;
// the only work done here is converting between the seam's fixed-size
// types and Win32's (DWORD is unsigned long, FILETIME two halves, HKEY a
// pointer), so callers can read each call against Win32's documentation.
#include "platform/win32/Win32Platform.h"

#include <errno.h>
#include <stdio.h>
#include <string.h>

#include "platform/win32/Win32Services16.h"
#include "platform/win32/Win32Shell.h"
// <windows.h> first: the other Win32 headers need its types.
#include <windows.h>
// Separate, so that sorting includes keeps it after <windows.h>.
#include <shellapi.h>

// <windows.h> maps FindFirstFile to FindFirstFileA; the seam's method of
// that name closes the search and is a different call.
#undef FindFirstFile

namespace platform {

namespace {

FileTime FromFiletime(const FILETIME& time) {
  return (static_cast<uint64_t>(time.dwHighDateTime) << 32) |
         time.dwLowDateTime;
}

FILETIME ToFiletime(FileTime time) {
  FILETIME result;
  result.dwLowDateTime = static_cast<DWORD>(time);
  result.dwHighDateTime = static_cast<DWORD>(time >> 32);
  return result;
}

// The predefined keys are 32-bit values with the top bit set, which
// <windows.h> sign-extends into a 64-bit HKEY; our RegKey constants are not
// sign-extended, so widen them the same way. On i686 this changes nothing.
HKEY ToHkey(RegKey key) {
  if (key >= 0x80000000u && key <= 0xFFFFFFFFu) {
    return reinterpret_cast<HKEY>(static_cast<intptr_t>(
        static_cast<int32_t>(static_cast<uint32_t>(key))));
  }
  return reinterpret_cast<HKEY>(key);
}

RegKey FromHkey(HKEY key) { return reinterpret_cast<RegKey>(key); }

// An optional DWORD out-parameter over an optional uint32_t one: uint32_t
// is unsigned int and DWORD unsigned long, so one may not stand in for the
// other.
class DwordOut {
 public:
  explicit DwordOut(uint32_t* target)
      : target(target), value(target ? *target : 0) {}
  ~DwordOut() {
    if (target) *target = value;
  }
  DwordOut(const DwordOut&) = delete;
  DwordOut& operator=(const DwordOut&) = delete;
  DWORD* Get() { return target ? &value : nullptr; }

 private:
  uint32_t* target;
  DWORD value;
};

FILE* ToFile(Stream* stream) { return reinterpret_cast<FILE*>(stream); }

class Win32Kernel : public Kernel {
 public:
  uint32_t GetLogicalDrives() override { return ::GetLogicalDrives(); }

  uint32_t GetDriveTypeA(const char* rootPath) override {
    return ::GetDriveTypeA(rootPath);
  }

  bool GetVolumeInformationA(const char* rootPath, char* volumeName,
                             uint32_t volumeNameSize, uint32_t* serialNumber,
                             uint32_t* maxComponentLength,
                             uint32_t* fileSystemFlags, char* fileSystemName,
                             uint32_t fileSystemNameSize) override {
    DwordOut serial(serialNumber);
    DwordOut component(maxComponentLength);
    DwordOut flags(fileSystemFlags);
    return ::GetVolumeInformationA(rootPath, volumeName, volumeNameSize,
                                   serial.Get(), component.Get(), flags.Get(),
                                   fileSystemName, fileSystemNameSize) != 0;
  }

  // Wine 8 crashes on a null label (Windows deletes the label); callers
  // pass "" to delete it, which both accept.
  bool SetVolumeLabelA(const char* rootPath, const char* label) override {
    return ::SetVolumeLabelA(rootPath, label) != 0;
  }

  bool GetDiskFreeSpaceA(const char* rootPath, uint32_t* sectorsPerCluster,
                         uint32_t* bytesPerSector, uint32_t* freeClusters,
                         uint32_t* totalClusters) override {
    DwordOut sectors(sectorsPerCluster);
    DwordOut bytes(bytesPerSector);
    DwordOut free(freeClusters);
    DwordOut total(totalClusters);
    return ::GetDiskFreeSpaceA(rootPath, sectors.Get(), bytes.Get(), free.Get(),
                               total.Get()) != 0;
  }

  // Windows 95 before OSR2 lacks the call, so it is looked up on every
  // call rather than imported.
  bool GetDiskFreeSpaceExA(const char* rootPath, uint64_t* freeBytesToCaller,
                           uint64_t* totalBytes,
                           uint64_t* totalFreeBytes) override {
    typedef BOOL(WINAPI * Function)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER,
                                    PULARGE_INTEGER);
    HMODULE kernel32 = ::GetModuleHandleA("KERNEL32.DLL");
    FARPROC address =
        kernel32 ? ::GetProcAddress(kernel32, "GetDiskFreeSpaceExA") : nullptr;
    if (!address) {
      ::SetLastError(ERROR_PROC_NOT_FOUND);
      return false;
    }
    Function function =
        reinterpret_cast<Function>(reinterpret_cast<void (*)(void)>(address));
    ULARGE_INTEGER toCaller, total, totalFree;
    if (!function(rootPath, &toCaller, &total, &totalFree)) return false;
    if (freeBytesToCaller) *freeBytesToCaller = toCaller.QuadPart;
    if (totalBytes) *totalBytes = total.QuadPart;
    if (totalFreeBytes) *totalFreeBytes = totalFree.QuadPart;
    return true;
  }

  uint32_t GetFileAttributesA(const char* path) override {
    return ::GetFileAttributesA(path);
  }

  bool SetFileAttributesA(const char* path, uint32_t attributes) override {
    return ::SetFileAttributesA(path, attributes) != 0;
  }

  bool FindFirstFile(const char* path, FindData* data) override {
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA(path, &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    ::FindClose(search);
    data->attributes = found.dwFileAttributes;
    data->creationTime = FromFiletime(found.ftCreationTime);
    data->lastAccessTime = FromFiletime(found.ftLastAccessTime);
    data->lastWriteTime = FromFiletime(found.ftLastWriteTime);
    data->size =
        (static_cast<uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
    memcpy(data->fileName, found.cFileName, sizeof(data->fileName));
    data->fileName[sizeof(data->fileName) - 1] = '\0';
    memcpy(data->alternateFileName, found.cAlternateFileName,
           sizeof(data->alternateFileName));
    data->alternateFileName[sizeof(data->alternateFileName) - 1] = '\0';
    return true;
  }

  // Windows 9x has no FILE_WRITE_ATTRIBUTES access, so the file is opened
  // for writing; a read-only file fails with ERROR_ACCESS_DENIED there too.
  bool SetFileTime(const char* path, const FileTime* creation,
                   const FileTime* lastAccess,
                   const FileTime* lastWrite) override {
    HANDLE file =
        ::CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    FILETIME created, accessed, written;
    if (creation) created = ToFiletime(*creation);
    if (lastAccess) accessed = ToFiletime(*lastAccess);
    if (lastWrite) written = ToFiletime(*lastWrite);
    BOOL set = ::SetFileTime(file, creation ? &created : nullptr,
                             lastAccess ? &accessed : nullptr,
                             lastWrite ? &written : nullptr);
    DWORD error = ::GetLastError();
    ::CloseHandle(file);
    // The reason SetFileTime failed, not what CloseHandle left behind.
    if (!set) ::SetLastError(error);
    return set != 0;
  }

  FileTime GetSystemTimeAsFileTime() override {
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    return FromFiletime(now);
  }

  uint32_t GetTickCount() override { return ::GetTickCount(); }

  bool DeleteFileA(const char* path) override {
    return ::DeleteFileA(path) != 0;
  }

  bool MoveFileA(const char* from, const char* to) override {
    return ::MoveFileA(from, to) != 0;
  }

  bool CopyFileA(const char* from, const char* to, bool failIfExists) override {
    return ::CopyFileA(from, to, failIfExists) != 0;
  }

  bool CreateDirectoryA(const char* path) override {
    return ::CreateDirectoryA(path, nullptr) != 0;
  }

  bool RemoveDirectoryA(const char* path) override {
    return ::RemoveDirectoryA(path) != 0;
  }

  uint32_t GetWindowsDirectoryA(char* buffer, uint32_t size) override {
    return ::GetWindowsDirectoryA(buffer, size);
  }

  uint32_t GetSystemDirectoryA(char* buffer, uint32_t size) override {
    return ::GetSystemDirectoryA(buffer, size);
  }

  uint32_t GetTempPathA(uint32_t size, char* buffer) override {
    return ::GetTempPathA(size, buffer);
  }

  uint32_t GetTempFileNameA(const char* path, const char* prefix,
                            uint32_t unique, char* buffer) override {
    return ::GetTempFileNameA(path, prefix, unique, buffer);
  }

  uint32_t GetModuleFileNameA(char* buffer, uint32_t size) override {
    return ::GetModuleFileNameA(nullptr, buffer, size);
  }

  uint32_t GetCurrentDirectoryA(uint32_t size, char* buffer) override {
    return ::GetCurrentDirectoryA(size, buffer);
  }

  bool SetCurrentDirectoryA(const char* path) override {
    return ::SetCurrentDirectoryA(path) != 0;
  }

  uint32_t GetShortPathNameA(const char* longPath, char* shortPath,
                             uint32_t size) override {
    return ::GetShortPathNameA(longPath, shortPath, size);
  }

  bool GetVersionExA(VersionInfo* info) override {
    OSVERSIONINFOA version;
    memset(&version, 0, sizeof(version));
    version.dwOSVersionInfoSize = sizeof(version);
    if (!::GetVersionExA(&version)) return false;
    info->majorVersion = version.dwMajorVersion;
    info->minorVersion = version.dwMinorVersion;
    info->buildNumber = version.dwBuildNumber;
    info->platformId = version.dwPlatformId;
    memcpy(info->csdVersion, version.szCSDVersion, sizeof(info->csdVersion));
    info->csdVersion[sizeof(info->csdVersion) - 1] = '\0';
    return true;
  }

  uint32_t GetLastError() override { return ::GetLastError(); }

  void SetLastError(uint32_t code) override { ::SetLastError(code); }

  // The seam's form of the call always allocates the buffer and never
  // expands inserts (there are no arguments to expand them from).
  uint32_t FormatMessageA(uint32_t flags, uint32_t messageId,
                          uint32_t languageId, char** buffer) override {
    *buffer = nullptr;
    return ::FormatMessageA(
        flags | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, messageId, languageId, reinterpret_cast<LPSTR>(buffer), 0,
        nullptr);
  }

  void LocalFree(void* memory) override {
    ::LocalFree(static_cast<HLOCAL>(memory));
  }

  int WideCharToMultiByte(uint32_t codePage, uint32_t flags,
                          const uint16_t* wide, int wideCount, char* buffer,
                          int bufferSize) override {
    return ::WideCharToMultiByte(
        codePage, flags, reinterpret_cast<const WCHAR*>(wide), wideCount,
        buffer, bufferSize, nullptr, nullptr);
  }

  void Sleep(uint32_t milliseconds) override { ::Sleep(milliseconds); }

  bool ExitWindowsEx(uint32_t flags, uint32_t reserved) override {
    return ::ExitWindowsEx(flags, reserved) != 0;
  }
  bool RunProcessAndWait(const char* commandLine, const char* directory,
                         uint32_t* exitCode) override {
    // CreateProcessA may write into its command line.
    char line[1024];
    size_t length = strlen(commandLine);
    if (length >= sizeof line) {
      ::SetLastError(ERROR_INVALID_PARAMETER);
      return false;
    }
    memcpy(line, commandLine, length + 1);
    STARTUPINFOA startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    if (!::CreateProcessA(nullptr, line, nullptr, nullptr, FALSE, 0, nullptr,
                          directory, &startup, &process))
      return false;
    ::CloseHandle(process.hThread);
    // The program's boxes are owned by our window: its messages must flow
    // while we wait, or both programs hang.
    for (;;) {
      DWORD woken = ::MsgWaitForMultipleObjects(1, &process.hProcess, FALSE,
                                                INFINITE, QS_ALLINPUT);
      if (woken != WAIT_OBJECT_0 + 1) break;
      MSG message;
      while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
      }
    }
    DWORD code = 0;
    bool known = ::GetExitCodeProcess(process.hProcess, &code) != 0;
    DWORD error = ::GetLastError();
    ::CloseHandle(process.hProcess);
    if (!known) {
      ::SetLastError(error);
      return false;
    }
    *exitCode = code;
    return true;
  }
};

// Stream* is the FILE* itself.
class Win32FileSystem : public FileSystem {
 public:
  Stream* Open(const char* path, const char* mode) override {
    return reinterpret_cast<Stream*>(fopen(path, mode));
  }
  int Close(Stream* stream) override { return fclose(ToFile(stream)); }
  char* Gets(char* buffer, int size, Stream* stream) override {
    return fgets(buffer, size, ToFile(stream));
  }
  int Getc(Stream* stream) override { return fgetc(ToFile(stream)); }
  int Puts(const char* text, Stream* stream) override {
    return fputs(text, ToFile(stream));
  }
  int Putc(int c, Stream* stream) override { return fputc(c, ToFile(stream)); }
  size_t Read(void* buffer, size_t size, size_t count,
              Stream* stream) override {
    return fread(buffer, size, count, ToFile(stream));
  }
  size_t Write(const void* buffer, size_t size, size_t count,
               Stream* stream) override {
    return fwrite(buffer, size, count, ToFile(stream));
  }
  int Seek(Stream* stream, long offset, int origin) override {
    return fseek(ToFile(stream), offset, origin);
  }
  long Tell(Stream* stream) override { return ftell(ToFile(stream)); }
  int Flush(Stream* stream) override { return fflush(ToFile(stream)); }
  int SetBuffer(Stream* stream, size_t size) override {
    return setvbuf(ToFile(stream), nullptr, _IOFBF, size);
  }
  bool Error(Stream* stream) override { return ferror(ToFile(stream)) != 0; }
  bool Eof(Stream* stream) override { return feof(ToFile(stream)) != 0; }
  int Errno() override { return errno; }
  void SetErrno(int value) override { errno = value; }
  const char* StrError(int value) override { return strerror(value); }
};

class Win32Registry : public Registry {
 public:
  int32_t RegOpenKeyExA(RegKey key, const char* subKey, uint32_t options,
                        uint32_t samDesired, RegKey* result) override {
    HKEY opened = nullptr;
    LONG error =
        ::RegOpenKeyExA(ToHkey(key), subKey, options, samDesired, &opened);
    *result = error == ERROR_SUCCESS ? FromHkey(opened) : 0;
    return error;
  }

  int32_t RegCreateKeyExA(RegKey key, const char* subKey, uint32_t options,
                          uint32_t samDesired, RegKey* result,
                          uint32_t* disposition) override {
    HKEY created = nullptr;
    DwordOut how(disposition);
    LONG error = ::RegCreateKeyExA(ToHkey(key), subKey, 0, nullptr, options,
                                   samDesired, nullptr, &created, how.Get());
    *result = error == ERROR_SUCCESS ? FromHkey(created) : 0;
    return error;
  }

  int32_t RegCloseKey(RegKey key) override {
    return ::RegCloseKey(ToHkey(key));
  }

  int32_t RegQueryValueExA(RegKey key, const char* valueName, uint32_t* type,
                           uint8_t* data, uint32_t* dataSize) override {
    DwordOut kind(type);
    DwordOut size(dataSize);
    return ::RegQueryValueExA(ToHkey(key), valueName, nullptr, kind.Get(), data,
                              size.Get());
  }

  int32_t RegSetValueExA(RegKey key, const char* valueName, uint32_t type,
                         const uint8_t* data, uint32_t dataSize) override {
    return ::RegSetValueExA(ToHkey(key), valueName, 0, type, data, dataSize);
  }

  int32_t RegDeleteValueA(RegKey key, const char* valueName) override {
    return ::RegDeleteValueA(ToHkey(key), valueName);
  }

  int32_t RegDeleteKeyA(RegKey key, const char* subKey) override {
    return ::RegDeleteKeyA(ToHkey(key), subKey);
  }

  int32_t RegEnumKeyExA(RegKey key, uint32_t index, char* name,
                        uint32_t* nameSize) override {
    DwordOut size(nameSize);
    return ::RegEnumKeyExA(ToHkey(key), index, name, size.Get(), nullptr,
                           nullptr, nullptr, nullptr);
  }

  int32_t RegEnumValueA(RegKey key, uint32_t index, char* name,
                        uint32_t* nameSize, uint32_t* type, uint8_t* data,
                        uint32_t* dataSize) override {
    DwordOut size(nameSize);
    DwordOut kind(type);
    DwordOut bytes(dataSize);
    return ::RegEnumValueA(ToHkey(key), index, name, size.Get(), nullptr,
                           kind.Get(), data, bytes.Get());
  }

  int32_t RegQueryInfoKeyA(RegKey key, uint32_t* subKeys,
                           uint32_t* maxSubKeyLength, uint32_t* values,
                           uint32_t* maxValueNameLength,
                           uint32_t* maxValueLength) override {
    DwordOut keys(subKeys);
    DwordOut keyLength(maxSubKeyLength);
    DwordOut valueCount(values);
    DwordOut nameLength(maxValueNameLength);
    DwordOut valueLength(maxValueLength);
    return ::RegQueryInfoKeyA(ToHkey(key), nullptr, nullptr, nullptr,
                              keys.Get(), keyLength.Get(), nullptr,
                              valueCount.Get(), nameLength.Get(),
                              valueLength.Get(), nullptr, nullptr);
  }
};

class Win32UserPrompts : public UserPrompts {
 public:
  int MessageBoxA(WindowHandle owner, const char* text, const char* caption,
                  uint32_t type) override {
    return ::MessageBoxA(reinterpret_cast<HWND>(owner), text, caption, type);
  }
};

class Win32DeviceDriver : public DeviceDriver {
 public:
  DeviceHandle CreateFileA(const char* path, uint32_t access,
                           uint32_t shareMode, uint32_t creation,
                           uint32_t flags) override {
    return reinterpret_cast<DeviceHandle>(::CreateFileA(
        path, access, shareMode, nullptr, creation, flags, nullptr));
  }

  bool DeviceIoControl(DeviceHandle device, uint32_t controlCode,
                       void* inBuffer, uint32_t inSize, void* outBuffer,
                       uint32_t outSize, uint32_t* bytesReturned) override {
    DwordOut returned(bytesReturned);
    return ::DeviceIoControl(reinterpret_cast<HANDLE>(device), controlCode,
                             inBuffer, inSize, outBuffer, outSize,
                             returned.Get(), nullptr) != 0;
  }

  bool CloseHandle(DeviceHandle device) override {
    return ::CloseHandle(reinterpret_cast<HANDLE>(device)) != 0;
  }
};

// Holds an object that is built at compile time and never destroyed: the
// destructors of static objects elsewhere may still use the platform at
// exit, in an order between files that nobody controls.
template <class T>
union Forever {
  constexpr Forever() : object() {}
  ~Forever() {}
  T object;
};

Forever<Win32Kernel> theKernel;
Forever<Win32FileSystem> theFiles;
Forever<Win32Registry> theRegistry;
Forever<Win32UserPrompts> thePrompts;
Forever<Win32DeviceDriver> theDriver;

}  // namespace

Platform Win32Platform() {
  Platform platform = {&theKernel.object,   &theFiles.object,
                       &theRegistry.object, &thePrompts.object,
                       Win32ShellObject(),  &theDriver.object,
                       Win32Services16()};
  return platform;
}

}  // namespace platform
