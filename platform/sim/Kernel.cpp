// kernel32 of the simulated machine: drives, volumes, files and folders,
// the machine's folders and version, errors and time.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "platform/Codes.h"
#include "platform/sim/MachineImpl.h"

namespace fs = std::filesystem;

namespace sim {

namespace {
const uint32_t kErrorNotSameDevice = 17;
const uint32_t kErrorDirectory = 267;
const uint32_t kErrorMessageNotFound = 317;

std::string Text(const char* text) { return text ? text : "(null)"; }

bool IsFolder(const std::string& host) {
  struct stat info;
  return stat(host.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

uint64_t HostSize(const std::string& host) {
  struct stat info;
  return stat(host.c_str(), &info) == 0 && !S_ISDIR(info.st_mode)
             ? uint64_t(info.st_size)
             : 0;
}

void CopyString(const std::string& text, char* buffer, size_t size) {
  size_t length = std::min(text.size(), size - 1);
  memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
}
}  // namespace

bool SimKernel::Failed(uint32_t code) {
  m.lastError = code;
  return false;
}

Drive* SimKernel::RootDrive(const char* rootPath, bool needBackslash,
                            uint32_t* error) {
  std::string root = rootPath ? rootPath : m.currentDir.substr(0, 3);
  bool shaped = (root.size() == 3 && root[2] == '\\') ||
                (!needBackslash && root.size() == 2);
  if (!shaped || root[1] != ':' || !isalpha((unsigned char)root[0])) {
    *error = ERROR_INVALID_NAME;
    return nullptr;
  }
  Drive* drive = m.FindDrive(root[0]);
  if (!drive || drive->type == DRIVE_NO_ROOT_DIR ||
      drive->type == DRIVE_UNKNOWN) {
    *error = ERROR_PATH_NOT_FOUND;
    return nullptr;
  }
  if (!drive->ready) {
    *error = ERROR_NOT_READY;
    return nullptr;
  }
  return drive;
}

bool SimKernel::Locate(const char* path, WinPath* out, std::string* host,
                       bool* exists, bool* parentExists, uint32_t* error,
                       bool wildcards) {
  if (!path) {
    *error = ERROR_INVALID_PARAMETER;
    return false;
  }
  if (!ParseWinPath(path, m.currentDir, out, error, wildcards)) return false;
  Drive* drive = m.FindDrive(out->drive);
  if (!drive || drive->type == DRIVE_NO_ROOT_DIR ||
      drive->type == DRIVE_UNKNOWN) {
    *error = ERROR_PATH_NOT_FOUND;
    return false;
  }
  if (!drive->ready) {
    *error = ERROR_NOT_READY;
    return false;
  }
  *host = ResolveHost(m.root, *out, exists, parentExists);
  return true;
}

bool SimKernel::Writable(const WinPath& path, uint32_t* error) {
  Drive* drive = m.FindDrive(path.drive);
  if (drive && drive->readOnly) {
    *error = ERROR_WRITE_PROTECT;
    return false;
  }
  return true;
}

uint32_t SimKernel::CopyOut(const std::string& text, char* buffer,
                            uint32_t size) {
  if (!buffer || size <= text.size()) return uint32_t(text.size() + 1);
  memcpy(buffer, text.c_str(), text.size() + 1);
  return uint32_t(text.size());
}

// ---------------------------------------------------------------- drives

uint32_t SimKernel::GetLogicalDrives() {
  uint32_t code;
  if (m.Enter("GetLogicalDrives", "", &code)) return Failed(code), 0;
  uint32_t mask = 0;
  for (const auto& entry : m.drives) mask |= 1u << (entry.first - 'A');
  return mask;
}

uint32_t SimKernel::GetDriveTypeA(const char* rootPath) {
  uint32_t code;
  if (m.Enter("GetDriveTypeA", Text(rootPath), &code))
    return Failed(code), DRIVE_UNKNOWN;
  std::string root = rootPath ? rootPath : m.currentDir.substr(0, 3);
  bool shaped = (root.size() == 3 && root[2] == '\\') || root.size() == 2;
  if (!shaped || root[1] != ':') return DRIVE_NO_ROOT_DIR;
  Drive* drive = m.FindDrive(root[0]);
  return drive ? drive->type : DRIVE_NO_ROOT_DIR;
}

bool SimKernel::GetVolumeInformationA(const char* rootPath, char* volumeName,
                                      uint32_t volumeNameSize,
                                      uint32_t* serialNumber,
                                      uint32_t* maxComponentLength,
                                      uint32_t* fileSystemFlags,
                                      char* fileSystemName,
                                      uint32_t fileSystemNameSize) {
  uint32_t code;
  if (m.Enter("GetVolumeInformationA", Text(rootPath), &code))
    return Failed(code);
  Drive* drive = RootDrive(rootPath, true, &code);
  if (!drive) return Failed(code);
  if ((volumeName && volumeNameSize <= drive->label.size()) ||
      (fileSystemName && fileSystemNameSize <= drive->fileSystem.size()))
    return Failed(ERROR_MORE_DATA);
  bool cdfs = EqualNoCase(drive->fileSystem, "CDFS");
  if (volumeName) CopyString(drive->label, volumeName, volumeNameSize);
  if (fileSystemName)
    CopyString(drive->fileSystem, fileSystemName, fileSystemNameSize);
  if (serialNumber) *serialNumber = drive->serial;
  if (maxComponentLength)
    *maxComponentLength = uint32_t(strtoul(
        drive->Property("MaxComponentLength", "255").c_str(), nullptr, 0));
  // FAT with long names keeps case and stores Unicode names.
  if (fileSystemFlags)
    *fileSystemFlags = uint32_t(
        strtoul(drive->Property("FileSystemFlags", cdfs ? "4" : "6").c_str(),
                nullptr, 0));
  return true;
}

bool SimKernel::SetVolumeLabelA(const char* rootPath, const char* label) {
  uint32_t code;
  if (m.Enter("SetVolumeLabelA", Text(rootPath) + " " + Text(label), &code))
    return Failed(code);
  Drive* drive = RootDrive(rootPath, true, &code);
  if (!drive) return Failed(code);
  if (drive->type == DRIVE_CDROM || drive->type == DRIVE_REMOTE)
    return Failed(ERROR_ACCESS_DENIED);
  if (drive->readOnly) return Failed(ERROR_WRITE_PROTECT);
  std::string text = label ? label : "";
  // A FAT label holds 11 characters; a longer one is refused rather than
  // cut, so the user's label is never silently changed.
  if (text.size() > 11) return Failed(ERROR_INVALID_NAME);
  for (unsigned char c : text)
    if (c < 0x20 || strchr("*?/\\|.,;:+=[]<>\"", c))
      return Failed(ERROR_INVALID_NAME);
  drive->label = text;
  drive->properties["Label"] = text;
  return true;
}

bool SimKernel::GetDiskFreeSpaceA(const char* rootPath,
                                  uint32_t* sectorsPerCluster,
                                  uint32_t* bytesPerSector,
                                  uint32_t* freeClusters,
                                  uint32_t* totalClusters) {
  uint32_t code;
  if (m.Enter("GetDiskFreeSpaceA", Text(rootPath), &code)) return Failed(code);
  Drive* drive = RootDrive(rootPath, false, &code);
  if (!drive) return Failed(code);
  uint64_t sectors = drive->sectorsPerCluster;
  uint64_t total = drive->totalClusters, free = drive->freeClusters;
  if (m.platformId == VER_PLATFORM_WIN32_WINDOWS) {
    // Windows 9x reports at most 2 GB, in fewer than 65536 clusters.
    uint64_t unit = sectors * drive->bytesPerSector;
    if (total * unit > 0x7FFFFFFFu) total = 0x7FFFFFFFu / unit;
    if (free * unit > 0x7FFFFFFFu) free = 0x7FFFFFFFu / unit;
    while (total > 0xFFFF) {
      sectors *= 2;
      total /= 2;
      free /= 2;
    }
  }
  if (sectorsPerCluster) *sectorsPerCluster = uint32_t(sectors);
  if (bytesPerSector) *bytesPerSector = drive->bytesPerSector;
  if (freeClusters) *freeClusters = uint32_t(free);
  if (totalClusters) *totalClusters = uint32_t(total);
  return true;
}

bool SimKernel::GetDiskFreeSpaceExA(const char* rootPath,
                                    uint64_t* freeBytesToCaller,
                                    uint64_t* totalBytes,
                                    uint64_t* totalFreeBytes) {
  uint32_t code;
  if (m.Enter("GetDiskFreeSpaceExA", Text(rootPath), &code))
    return Failed(code);
  if (!m.hasFreeSpaceEx) return Failed(ERROR_PROC_NOT_FOUND);
  // Any folder of the drive will do.
  WinPath path;
  std::string root = rootPath ? rootPath : m.currentDir;
  if (!ParseWinPath(root, m.currentDir, &path, &code)) return Failed(code);
  std::string letter = std::string(1, path.drive) + ":\\";
  Drive* drive = RootDrive(letter.c_str(), true, &code);
  if (!drive) return Failed(code);
  if (freeBytesToCaller) *freeBytesToCaller = drive->FreeBytes();
  if (totalBytes) *totalBytes = drive->TotalBytes();
  if (totalFreeBytes) *totalFreeBytes = drive->FreeBytes();
  return true;
}

// ---------------------------------------------------------------- files

uint32_t SimKernel::GetFileAttributesA(const char* path) {
  uint32_t code;
  if (m.Enter("GetFileAttributesA", Text(path), &code))
    return Failed(code), INVALID_FILE_ATTRIBUTES;
  WinPath where;
  std::string host;
  bool exists, parentExists;
  if (!Locate(path, &where, &host, &exists, &parentExists, &code))
    return Failed(code), INVALID_FILE_ATTRIBUTES;
  if (!exists)
    return Failed(parentExists ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND),
           INVALID_FILE_ATTRIBUTES;
  if (where.IsRoot()) return FILE_ATTRIBUTE_DIRECTORY;
  uint32_t attributes = m.Meta(where, host).attributes;
  return attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
}

bool SimKernel::SetFileAttributesA(const char* path, uint32_t attributes) {
  uint32_t code;
  if (m.Enter("SetFileAttributesA", Text(path), &code)) return Failed(code);
  WinPath where;
  std::string host;
  bool exists, parentExists;
  if (!Locate(path, &where, &host, &exists, &parentExists, &code))
    return Failed(code);
  if (!exists)
    return Failed(parentExists ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND);
  if (!Writable(where, &code)) return Failed(code);
  if (where.IsRoot()) return Failed(ERROR_ACCESS_DENIED);
  FileMeta& info = m.Meta(where, host);
  const uint32_t settable = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                            FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;
  info.attributes =
      (info.attributes & FILE_ATTRIBUTE_DIRECTORY) | (attributes & settable);
  return true;
}

std::string SimKernel::ShortName(const std::string& hostFolder,
                                 const std::string& name) {
  if (IsShortName(name)) return name;
  // Windows' numeric tails: the first six usable characters, "~N", and the
  // first three of the last extension, N counting the names before this one
  // that share the same stem.
  auto stem = [](const std::string& longName, std::string* ext) {
    size_t dot = longName.rfind('.');
    std::string base = longName.substr(0, dot == 0 ? std::string::npos : dot);
    *ext = dot == std::string::npos || dot == 0 ? "" : longName.substr(dot + 1);
    auto clean = [](const std::string& text) {
      std::string out;
      for (unsigned char c : text) {
        if (c == ' ' || c == '.') continue;
        out += strchr("+,;=[]", c) ? '_' : char(toupper(c));
      }
      return out;
    };
    base = clean(base);
    *ext = clean(*ext).substr(0, 3);
    return base;
  };
  std::string ext;
  std::string base = stem(name, &ext);
  int index = 1;
  for (const std::string& sibling : ListHost(hostFolder)) {
    if (EqualNoCase(sibling, name)) break;
    if (IsShortName(sibling)) continue;
    std::string siblingExt;
    std::string siblingBase = stem(sibling, &siblingExt);
    if (siblingBase.substr(0, 6) == base.substr(0, 6) && siblingExt == ext)
      ++index;
  }
  std::string tail = "~" + std::to_string(index);
  std::string shortName = base.substr(0, 8 - tail.size()) + tail;
  if (!ext.empty()) shortName += "." + ext;
  return shortName;
}

bool SimKernel::FindFirstFile(const char* path, platform::FindData* data) {
  uint32_t code;
  if (m.Enter("FindFirstFile", Text(path), &code)) return Failed(code);
  WinPath where;
  std::string host;
  bool exists, parentExists;
  if (!Locate(path, &where, &host, &exists, &parentExists, &code, true))
    return Failed(code);
  if (where.IsRoot()) return Failed(ERROR_FILE_NOT_FOUND);
  std::string pattern = where.parts.back();
  WinPath folder = where.Parent();
  bool folderExists;
  std::string hostFolder = ResolveHost(m.root, folder, &folderExists, nullptr);
  if (!folderExists || !IsFolder(hostFolder))
    return Failed(ERROR_PATH_NOT_FOUND);
  std::vector<std::string> names;
  if (!folder.IsRoot()) names = {".", ".."};
  for (const std::string& name : ListHost(hostFolder)) names.push_back(name);
  bool wild = pattern.find_first_of("*?") != std::string::npos;
  for (const std::string& name : names) {
    if (wild ? !WildcardMatch(pattern, name) : !EqualNoCase(pattern, name))
      continue;
    bool dots = name == "." || name == "..";
    WinPath entry =
        dots ? (name == "." ? folder : folder.Parent()) : folder.Child(name);
    std::string entryHost = ResolveHost(m.root, entry, nullptr, nullptr);
    FileMeta info = entry.IsRoot() ? FileMeta{FILE_ATTRIBUTE_DIRECTORY, 0, 0, 0}
                                   : m.Meta(entry, entryHost);
    memset(data, 0, sizeof *data);
    data->attributes =
        info.attributes ? info.attributes : FILE_ATTRIBUTE_NORMAL;
    data->creationTime = info.creation;
    data->lastAccessTime = info.access;
    data->lastWriteTime = info.write;
    data->size = HostSize(entryHost);
    CopyString(name, data->fileName, sizeof data->fileName);
    if (!IsShortName(name))
      CopyString(ShortName(hostFolder, name), data->alternateFileName,
                 sizeof data->alternateFileName);
    return true;
  }
  return Failed(ERROR_FILE_NOT_FOUND);
}

bool SimKernel::SetFileTime(const char* path, const FileTime* creation,
                            const FileTime* lastAccess,
                            const FileTime* lastWrite) {
  uint32_t code;
  if (m.Enter("SetFileTime", Text(path), &code)) return Failed(code);
  WinPath where;
  std::string host;
  bool exists, parentExists;
  if (!Locate(path, &where, &host, &exists, &parentExists, &code))
    return Failed(code);
  if (!exists)
    return Failed(parentExists ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND);
  if (!Writable(where, &code)) return Failed(code);
  // The file is opened for writing first: folders and read-only files
  // refuse that.
  FileMeta& info = m.Meta(where, host);
  if (where.IsRoot() || IsFolder(host) ||
      (info.attributes & FILE_ATTRIBUTE_READONLY))
    return Failed(ERROR_ACCESS_DENIED);
  if (creation) info.creation = *creation;
  if (lastAccess) info.access = *lastAccess;
  if (lastWrite) info.write = *lastWrite;
  return true;
}

FileTime SimKernel::GetSystemTimeAsFileTime() {
  uint32_t code;
  m.Enter("GetSystemTimeAsFileTime", "", &code);
  return m.Tick();
}

uint32_t SimKernel::GetTickCount() {
  uint32_t code;
  m.Enter("GetTickCount", "", &code);
  m.Tick();
  return uint32_t(m.tickBase + (m.clock - m.bootClock) / 10000);
}

bool SimKernel::DeleteFileA(const char* path) {
  uint32_t code;
  if (m.Enter("DeleteFileA", Text(path), &code)) return Failed(code);
  WinPath where;
  std::string host;
  bool exists, parentExists;
  if (!Locate(path, &where, &host, &exists, &parentExists, &code))
    return Failed(code);
  if (!exists)
    return Failed(parentExists ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND);
  if (!Writable(where, &code)) return Failed(code);
  if (where.IsRoot() || IsFolder(host)) return Failed(ERROR_ACCESS_DENIED);
  if (m.Meta(where, host).attributes & FILE_ATTRIBUTE_READONLY)
    return Failed(ERROR_ACCESS_DENIED);
  if (m.openFiles.count(where.Key())) return Failed(ERROR_SHARING_VIOLATION);
  if (::remove(host.c_str()) != 0) return Failed(ERROR_ACCESS_DENIED);
  m.ForgetMeta(where);
  return true;
}

bool SimKernel::MoveFileA(const char* from, const char* to) {
  uint32_t code;
  if (m.Enter("MoveFileA", Text(from) + " " + Text(to), &code))
    return Failed(code);
  WinPath source, target;
  std::string sourceHost, targetHost;
  bool exists, parentExists, targetExists, targetParent;
  if (!Locate(from, &source, &sourceHost, &exists, &parentExists, &code))
    return Failed(code);
  if (!exists)
    return Failed(parentExists ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND);
  if (!Locate(to, &target, &targetHost, &targetExists, &targetParent, &code))
    return Failed(code);
  bool sameFile = source.Key() == target.Key();
  if (targetExists && !sameFile) return Failed(ERROR_ALREADY_EXISTS);
  if (!targetParent) return Failed(ERROR_PATH_NOT_FOUND);
  if (!Writable(source, &code) || !Writable(target, &code)) return Failed(code);
  if (source.IsRoot() || (target.IsInside(source) && !sameFile))
    return Failed(ERROR_ACCESS_DENIED);
  for (const auto& open : m.openFiles) {
    WinPath openPath;
    uint32_t ignored;
    if (ParseWinPath(open.first, "", &openPath, &ignored) &&
        openPath.IsInside(source))
      return Failed(ERROR_SHARING_VIOLATION);
  }
  bool folder = IsFolder(sourceHost);
  // A renamed file keeps the spelling asked for.
  targetHost = ResolveHost(m.root, target.Parent(), nullptr, nullptr) + "/" +
               target.parts.back();
  if (source.drive == target.drive) {
    if (::rename(sourceHost.c_str(), targetHost.c_str()) != 0)
      return Failed(ERROR_ACCESS_DENIED);
  } else {
    if (folder) return Failed(kErrorNotSameDevice);
    Drive* drive = m.FindDrive(target.drive);
    if (HostSize(sourceHost) > drive->FreeBytes())
      return Failed(ERROR_DISK_FULL);
    std::error_code error;
    fs::copy_file(sourceHost, targetHost, error);
    if (error) return Failed(ERROR_ACCESS_DENIED);
    ::remove(sourceHost.c_str());
  }
  m.Meta(source, sourceHost);
  m.MoveMeta(source, target);
  return true;
}

bool SimKernel::CopyFileA(const char* from, const char* to, bool failIfExists) {
  uint32_t code;
  if (m.Enter("CopyFileA", Text(from) + " " + Text(to), &code))
    return Failed(code);
  WinPath source, target;
  std::string sourceHost, targetHost;
  bool exists, parentExists, targetExists, targetParent;
  if (!Locate(from, &source, &sourceHost, &exists, &parentExists, &code))
    return Failed(code);
  if (!exists)
    return Failed(parentExists ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND);
  if (source.IsRoot() || IsFolder(sourceHost))
    return Failed(ERROR_ACCESS_DENIED);
  // The NUL device swallows the copy: a test that the source can be read.
  if (to && (EqualNoCase(to, "NUL") || EqualNoCase(to, "NUL:"))) return true;
  if (!Locate(to, &target, &targetHost, &targetExists, &targetParent, &code))
    return Failed(code);
  if (!targetParent) return Failed(ERROR_PATH_NOT_FOUND);
  if (targetExists && failIfExists) return Failed(ERROR_FILE_EXISTS);
  if (!Writable(target, &code)) return Failed(code);
  if (targetExists) {
    if (target.IsRoot() || IsFolder(targetHost))
      return Failed(ERROR_ACCESS_DENIED);
    if (m.Meta(target, targetHost).attributes & FILE_ATTRIBUTE_READONLY)
      return Failed(ERROR_ACCESS_DENIED);
    if (source.Key() == target.Key() || m.openFiles.count(target.Key()))
      return Failed(ERROR_SHARING_VIOLATION);
  }
  uint64_t size = HostSize(sourceHost);
  Drive* drive = m.FindDrive(target.drive);
  uint64_t room =
      drive->FreeBytes() + (targetExists ? HostSize(targetHost) : 0);
  if (size > room) return Failed(ERROR_DISK_FULL);
  FileMeta original = m.Meta(source, sourceHost);
  std::error_code error;
  fs::copy_file(sourceHost, targetHost, fs::copy_options::overwrite_existing,
                error);
  if (error) return Failed(ERROR_ACCESS_DENIED);
  // The copy keeps the original's attributes and last write time.
  FileTime now = m.Tick();
  FileMeta copy = original;
  copy.attributes |= FILE_ATTRIBUTE_ARCHIVE;
  copy.creation = targetExists ? m.Meta(target, targetHost).creation : now;
  copy.access = now;
  m.meta[target.Key()] = copy;
  return true;
}

bool SimKernel::CreateDirectoryA(const char* path) {
  uint32_t code;
  if (m.Enter("CreateDirectoryA", Text(path), &code)) return Failed(code);
  WinPath where;
  std::string host;
  bool exists, parentExists;
  if (!Locate(path, &where, &host, &exists, &parentExists, &code))
    return Failed(code);
  if (exists) return Failed(ERROR_ALREADY_EXISTS);
  if (!parentExists) return Failed(ERROR_PATH_NOT_FOUND);
  if (!Writable(where, &code)) return Failed(code);
  if (::mkdir(host.c_str(), 0777) != 0) return Failed(ERROR_ACCESS_DENIED);
  FileTime now = m.Tick();
  m.meta[where.Key()] = {FILE_ATTRIBUTE_DIRECTORY, now, now, now};
  return true;
}

bool SimKernel::RemoveDirectoryA(const char* path) {
  uint32_t code;
  if (m.Enter("RemoveDirectoryA", Text(path), &code)) return Failed(code);
  WinPath where;
  std::string host;
  bool exists, parentExists;
  if (!Locate(path, &where, &host, &exists, &parentExists, &code))
    return Failed(code);
  if (!exists)
    return Failed(parentExists ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND);
  if (where.IsRoot()) return Failed(ERROR_ACCESS_DENIED);
  if (!IsFolder(host)) return Failed(kErrorDirectory);
  if (!Writable(where, &code)) return Failed(code);
  if (!ListHost(host).empty()) return Failed(ERROR_DIR_NOT_EMPTY);
  if (m.Meta(where, host).attributes & FILE_ATTRIBUTE_READONLY)
    return Failed(ERROR_ACCESS_DENIED);
  if (::rmdir(host.c_str()) != 0) return Failed(ERROR_ACCESS_DENIED);
  m.ForgetMeta(where);
  return true;
}

// ---------------------------------------------------------------- folders

uint32_t SimKernel::GetWindowsDirectoryA(char* buffer, uint32_t size) {
  uint32_t code;
  if (m.Enter("GetWindowsDirectoryA", "", &code)) return Failed(code), 0;
  return CopyOut(m.windowsDir, buffer, size);
}

uint32_t SimKernel::GetSystemDirectoryA(char* buffer, uint32_t size) {
  uint32_t code;
  if (m.Enter("GetSystemDirectoryA", "", &code)) return Failed(code), 0;
  return CopyOut(m.systemDir, buffer, size);
}

uint32_t SimKernel::GetTempPathA(uint32_t size, char* buffer) {
  uint32_t code;
  if (m.Enter("GetTempPathA", "", &code)) return Failed(code), 0;
  return CopyOut(m.tempPath, buffer, size);
}

uint32_t SimKernel::GetTempFileNameA(const char* path, const char* prefix,
                                     uint32_t unique, char* buffer) {
  uint32_t code;
  if (m.Enter("GetTempFileNameA", Text(path) + " " + Text(prefix), &code))
    return Failed(code), 0;
  if (!path || !prefix || !buffer) return Failed(ERROR_INVALID_PARAMETER), 0;
  WinPath folder;
  std::string host;
  bool exists, parentExists;
  if (!Locate(path, &folder, &host, &exists, &parentExists, &code))
    return Failed(code), 0;
  if (!exists || !IsFolder(host)) return Failed(kErrorDirectory), 0;
  std::string stem = std::string(prefix).substr(0, 3);
  auto nameOf = [&](uint32_t number) {
    char hex[16];
    snprintf(hex, sizeof hex, "%X", number & 0xFFFF);
    return folder.Child(stem + hex + ".tmp");
  };
  uint32_t number = unique;
  if (unique == 0) {
    // The next number whose file does not exist yet; Windows tries 65535
    // numbers before giving up.
    int tries = 0;
    for (;;) {
      number = (m.lastTempNumber++ & 0xFFFF) + 1;
      bool taken;
      ResolveHost(m.root, nameOf(number), &taken, nullptr);
      if (!taken) break;
      if (++tries == 0xFFFF) return Failed(ERROR_FILE_EXISTS), 0;
    }
  }
  std::string name = nameOf(number).Text();
  if (name.size() >= 260) return Failed(ERROR_INVALID_NAME), 0;
  if (unique == 0) {
    if (!Writable(folder, &code)) return Failed(code), 0;
    std::string fileHost =
        ResolveHost(m.root, nameOf(number), nullptr, nullptr);
    FILE* created = fopen(fileHost.c_str(), "wb");
    if (!created) return Failed(ERROR_ACCESS_DENIED), 0;
    fclose(created);
    m.Touch(nameOf(number), fileHost, true);
  }
  memcpy(buffer, name.c_str(), name.size() + 1);
  return number;
}

uint32_t SimKernel::GetModuleFileNameA(char* buffer, uint32_t size) {
  uint32_t code;
  if (m.Enter("GetModuleFileNameA", "", &code)) return Failed(code), 0;
  if (!buffer || size == 0) return Failed(ERROR_INSUFFICIENT_BUFFER), 0;
  // A short buffer gets as much as fits, terminated; the result is then
  // the buffer's size.
  CopyString(m.programPath, buffer, size);
  if (size <= m.programPath.size()) {
    m.lastError = ERROR_INSUFFICIENT_BUFFER;
    return size;
  }
  return uint32_t(m.programPath.size());
}

uint32_t SimKernel::GetCurrentDirectoryA(uint32_t size, char* buffer) {
  uint32_t code;
  if (m.Enter("GetCurrentDirectoryA", "", &code)) return Failed(code), 0;
  return CopyOut(m.currentDir, buffer, size);
}

bool SimKernel::SetCurrentDirectoryA(const char* path) {
  uint32_t code;
  if (m.Enter("SetCurrentDirectoryA", Text(path), &code)) return Failed(code);
  WinPath where;
  std::string host;
  bool exists, parentExists;
  if (!Locate(path, &where, &host, &exists, &parentExists, &code))
    return Failed(code);
  if (!exists)
    return Failed(parentExists ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND);
  if (!IsFolder(host)) return Failed(kErrorDirectory);
  m.currentDir = where.Text();
  return true;
}

uint32_t SimKernel::GetShortPathNameA(const char* longPath, char* shortPath,
                                      uint32_t size) {
  uint32_t code;
  if (m.Enter("GetShortPathNameA", Text(longPath), &code))
    return Failed(code), 0;
  WinPath where;
  std::string host;
  bool exists, parentExists;
  if (!Locate(longPath, &where, &host, &exists, &parentExists, &code))
    return Failed(code), 0;
  if (!exists)
    return Failed(parentExists ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND),
           0;
  std::string result = std::string(1, where.drive) + ":";
  WinPath folder = where;
  folder.parts.clear();
  for (const std::string& name : where.parts) {
    std::string hostFolder = ResolveHost(m.root, folder, nullptr, nullptr);
    std::string onDisk = name;
    for (const std::string& entry : ListHost(hostFolder))
      if (EqualNoCase(entry, name)) onDisk = entry;
    // A name that already is 8.3 stays as written.
    result += "\\" + (IsShortName(name) ? name : ShortName(hostFolder, onDisk));
    folder = folder.Child(onDisk);
  }
  if (where.IsRoot()) result += "\\";
  std::string input = longPath;
  if (!where.IsRoot() && !input.empty() &&
      (input.back() == '\\' || input.back() == '/'))
    result += "\\";
  return CopyOut(result, shortPath, size);
}

bool SimKernel::GetVersionExA(platform::VersionInfo* info) {
  uint32_t code;
  if (m.Enter("GetVersionExA", "", &code)) return Failed(code);
  if (!info) return Failed(ERROR_INVALID_PARAMETER);
  memset(info, 0, sizeof *info);
  info->majorVersion = m.major;
  info->minorVersion = m.minor;
  // Windows 9x repeats the version in the build number's high word.
  info->buildNumber = m.platformId == VER_PLATFORM_WIN32_WINDOWS
                          ? (m.major << 24) | (m.minor << 16) | m.build
                          : m.build;
  info->platformId = m.platformId;
  CopyString(m.csd, info->csdVersion, sizeof info->csdVersion);
  return true;
}

// ---------------------------------------------------------------- errors

uint32_t SimKernel::GetLastError() {
  uint32_t code;
  m.Enter("GetLastError", "", &code);
  return m.lastError;
}

void SimKernel::SetLastError(uint32_t value) {
  uint32_t code;
  m.Enter("SetLastError", std::to_string(value), &code);
  m.lastError = value;
}

uint32_t SimKernel::FormatMessageA(uint32_t flags, uint32_t messageId,
                                   uint32_t languageId, char** buffer) {
  (void)languageId;
  uint32_t code;
  if (m.Enter("FormatMessageA", std::to_string(messageId), &code))
    return Failed(code), 0;
  if (!buffer) return Failed(ERROR_INVALID_PARAMETER), 0;
  // The buffer is always allocated; the text must come from the system.
  *buffer = nullptr;
  if (!(flags & FORMAT_MESSAGE_FROM_SYSTEM))
    return Failed(ERROR_INVALID_PARAMETER), 0;
  const char* text = SystemMessage(messageId);
  if (!text) return Failed(kErrorMessageNotFound), 0;
  size_t length = strlen(text);
  char* memory = static_cast<char*>(malloc(length + 1));
  memcpy(memory, text, length + 1);
  m.allocations.insert(memory);
  *buffer = memory;
  return uint32_t(length);
}

void SimKernel::LocalFree(void* memory) {
  uint32_t code;
  m.Enter("LocalFree", "", &code);
  if (!memory) return;
  if (!m.allocations.erase(memory)) {
    m.Fail("LocalFree of memory that FormatMessageA did not allocate");
    return;
  }
  free(memory);
}

// The ANSI code page is taken as Latin-1: characters above 0xFF have no
// byte and become '?', as a default character would.
int SimKernel::WideCharToMultiByte(uint32_t codePage, uint32_t flags,
                                   const uint16_t* wide, int wideCount,
                                   char* buffer, int bufferSize) {
  uint32_t code;
  if (m.Enter("WideCharToMultiByte", std::to_string(codePage), &code))
    return Failed(code) ? 1 : 0;
  (void)flags;
  if (!wide || wideCount < -1 || bufferSize < 0 ||
      (bufferSize > 0 && !buffer)) {
    m.lastError = ERROR_INVALID_PARAMETER;
    return 0;
  }
  size_t count = 0;
  if (wideCount == -1) {
    while (wide[count]) count++;
    count++;  // the terminator is converted too
  } else {
    count = size_t(wideCount);
  }
  if (count == 0) {
    m.lastError = ERROR_INVALID_PARAMETER;
    return 0;
  }
  if (bufferSize == 0) return int(count);
  if (count > size_t(bufferSize)) {
    m.lastError = ERROR_INSUFFICIENT_BUFFER;
    return 0;
  }
  for (size_t i = 0; i < count; i++)
    buffer[i] = wide[i] <= 0xFF ? char(wide[i]) : '?';
  return int(count);
}

void SimKernel::Sleep(uint32_t milliseconds) {
  uint32_t code;
  m.Enter("Sleep", std::to_string(milliseconds), &code);
  m.slept += milliseconds;
  m.clock += uint64_t(milliseconds) * 10000;
}

bool SimKernel::ExitWindowsEx(uint32_t flags, uint32_t reserved) {
  (void)reserved;
  uint32_t code;
  if (m.Enter("ExitWindowsEx", std::to_string(flags), &code))
    return Failed(code);
  m.exitRequests.push_back(flags);
  return true;
}

bool SimKernel::RunProcessAndWait(const char* commandLine,
                                  const char* directory, uint32_t* exitCode) {
  uint32_t code;
  if (m.Enter("RunProcessAndWait", Text(commandLine), &code))
    return Failed(code);
  if (!commandLine) return Failed(ERROR_INVALID_PARAMETER);
  // The program is the first word, or the quoted text.
  std::string line = commandLine;
  ProcessRun run;
  size_t end;
  if (!line.empty() && line[0] == '"') {
    end = line.find('"', 1);
    if (end == std::string::npos) return Failed(ERROR_FILE_NOT_FOUND);
    run.program = line.substr(1, end - 1);
    ++end;
  } else {
    end = line.find(' ');
    if (end == std::string::npos) end = line.size();
    run.program = line.substr(0, end);
  }
  size_t rest = line.find_first_not_of(' ', end);
  run.arguments = rest == std::string::npos ? "" : line.substr(rest);
  WinPath where;
  std::string host;
  bool exists, parentExists;
  if (!Locate(run.program.c_str(), &where, &host, &exists, &parentExists,
              &code))
    return Failed(code);
  if (!exists || IsFolder(host))
    return Failed(parentExists ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND);
  if (directory) {
    WinPath folder;
    if (!Locate(directory, &folder, &host, &exists, &parentExists, &code))
      return Failed(code);
    if (!exists || !IsFolder(host)) return Failed(kErrorDirectory);
    run.directory = directory;
  }
  m.processRuns.push_back(run);
  *exitCode = m.processRunner ? m.processRunner(run) : 0;
  return true;
}

}  // namespace sim
