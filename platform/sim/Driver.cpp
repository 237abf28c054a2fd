// The simulated letter-assignment driver and the 16-bit services behind
// the DOS link: the "small layer of our own" that answers the program's
// real-mode calls from the machine description. Packets are decoded from
// their raw bytes at the driver's offsets, so a wrong layout on the
// program's side shows up as a wrong answer here.
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "platform/Codes.h"
#include "platform/DriverAddress.h"
#include "platform/sim/MachineImpl.h"

namespace fs = std::filesystem;

namespace sim {

namespace {

[[noreturn]] void LoadError(const std::string& message) {
  throw std::runtime_error(message);
}

uint32_t Get32(const uint8_t* p, size_t at) {
  return uint32_t(p[at]) | uint32_t(p[at + 1]) << 8 |
         uint32_t(p[at + 2]) << 16 | uint32_t(p[at + 3]) << 24;
}
uint16_t Get16(const uint8_t* p, size_t at) {
  return uint16_t(p[at] | p[at + 1] << 8);
}
void Put32(uint8_t* p, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[at + i] = uint8_t(v >> (8 * i));
}
void Put16(uint8_t* p, size_t at, uint16_t v) {
  p[at] = uint8_t(v);
  p[at + 1] = uint8_t(v >> 8);
}

bool ParseHex(const std::string& text, uint64_t* value) {
  if (text.empty()) return false;
  char* end = nullptr;
  unsigned long long number = strtoull(text.c_str(), &end, 16);
  if (*end) return false;
  *value = number;
  return true;
}

std::string Hex(uint32_t value, int digits) {
  char text[16];
  snprintf(text, sizeof text, "%0*X", digits, value);
  return text;
}

// Offsets of the register packet.
enum {
  kEbx = 16,
  kEdx = 20,
  kEcx = 24,
  kEax = 28,
  kFlags = 32,
  kSp = 36,
  kSs = 40,
  kEs = 42,
  kDs = 44,
  kInt = 48,
  kMode = 52,
  kPacketSize = 56
};

// The fake KERNEL32 image: its export directory gives the three ordinals.
enum : uint32_t {
  kImageSize = 0x400,
  kPeAt = 0x80,
  kExportAt = 0x200,
  kFunctionsAt = 0x240,
  kOrdinalBase = 1,
  kFunctionCount = 40,
  kLoadLibrary16At = 0x300,
  kFreeLibrary16At = 0x310,
  kGetProcAddress16At = 0x320,
  kQtThunkAt = 0x330,
  kKrnl386 = 0x1297,
  kGlobalDosAllocAddress = 0x01170123,
  kGlobalDosFreeAddress = 0x01170456
};

}  // namespace

// ---------------------------------------------------------------- fixture

void ParseDriveDevice(Drive& drive, const std::string& root,
                      const std::string& where) {
  DriveDevice& d = drive.device;
  auto hexKey = [&](const char* key, uint64_t fallback, uint64_t limit) {
    if (!drive.HasProperty(key)) return fallback;
    uint64_t value;
    if (!ParseHex(drive.Property(key), &value) || value > limit)
      LoadError(where + key + "=" + drive.Property(key) +
                " must be a hexadecimal number up to " +
                Hex(uint32_t(limit), 2));
    return value;
  };
  auto flag = [&](const char* key) {
    if (!drive.HasProperty(key)) return false;
    std::string value = drive.Property(key);
    if (value != "0" && value != "1")
      LoadError(where + key + "=" + value + " must be 0 or 1");
    return value == "1";
  };
  d.biosUnit = uint8_t(hexKey("BiosUnit", 0xFF, 0xFF));
  uint64_t defaultType = drive.type == DRIVE_REMOVABLE ? 7 : 5;
  d.dosDeviceType = uint8_t(hexKey("DosDeviceType", defaultType, 0xFF));
  d.categories = {0x48, 0x08};
  if (drive.HasProperty("Categories")) {
    d.categories.clear();
    std::istringstream words(drive.Property("Categories"));
    std::string word;
    while (words >> word) {
      uint64_t category;
      if (!ParseHex(word, &category) || (category != 0x48 && category != 0x08))
        LoadError(where + "Categories=" + drive.Property("Categories") +
                  " may list only 48 and 08");
      d.categories.push_back(uint8_t(category));
    }
  }
  d.protectedModeOnly = flag("ProtectedModeOnly");
  d.sharesPhysicalDrive = flag("SharesPhysicalDrive");
  d.deviceNode = uint32_t(hexKey("DeviceNode", 0, 0xFFFFFFFFu));
  d.deviceKey = drive.Property("DeviceKey");
  if (d.deviceKey.size() > 255)
    LoadError(where + "DeviceKey is longer than 255 characters");
  if (!d.deviceKey.empty() && !d.deviceNode)
    LoadError(where + "DeviceKey needs a DeviceNode");
  if (drive.HasProperty("BootSector") && drive.HasProperty("BootSectorFile"))
    LoadError(where + "give BootSector or BootSectorFile, not both");
  if (drive.HasProperty("BootSector")) {
    std::string digits;
    for (char c : drive.Property("BootSector"))
      if (!isspace((unsigned char)c) && c != ',') digits += c;
    if (digits.size() % 2 || digits.size() > 1024)
      LoadError(where + "BootSector must be pairs of hex digits, at most 512");
    for (size_t i = 0; i < digits.size(); i += 2) {
      uint64_t byte;
      if (!ParseHex(digits.substr(i, 2), &byte))
        LoadError(where + "BootSector holds a non-hex digit");
      d.bootSector += char(byte);
    }
  } else if (drive.HasProperty("BootSectorFile")) {
    std::string path = root + "/" + drive.Property("BootSectorFile");
    std::ifstream in(path, std::ios::binary);
    if (!in)
      LoadError(where + "BootSectorFile " + drive.Property("BootSectorFile") +
                " is not in the machine folder");
    std::ostringstream bytes;
    bytes << in.rdbuf();
    d.bootSector = bytes.str().substr(0, 512);
  }
  if (drive.HasProperty("CompressedOn")) {
    std::string host = drive.Property("CompressedOn");
    if (host.size() != 1 || !isalpha((unsigned char)host[0]))
      LoadError(where + "CompressedOn=" + host + " must be a drive letter");
    d.compressedOn = char(toupper((unsigned char)host[0]));
  }
  d.cvfSequence = uint8_t(hexKey("CvfSequence", 0, 0xFF));
  d.swappedWithHost = flag("SwappedWithHost");
  if (d.swappedWithHost && !d.compressedOn)
    LoadError(where + "SwappedWithHost needs CompressedOn");
  std::istringstream refusals(drive.Property("Refuse"));
  std::string word;
  while (refusals >> word) {
    static const char* const known[] = {"440D", "440E", "13", "KEY"};
    std::string upper = UpperCase(word);
    if (std::find_if(std::begin(known), std::end(known), [&](const char* k) {
          return upper == k;
        }) == std::end(known))
      LoadError(where + "Refuse=" + word + " is not one of 440D 440E 13 KEY");
    d.refuse.insert(upper);
  }
}

// ---------------------------------------------------------------- 16-bit

SimServices16::SimServices16(MachineImpl& machine) : m(machine) {
  image.assign(kImageSize, 0);
  uint8_t* p = image.data();
  p[0] = 'M';
  p[1] = 'Z';
  Put32(p, 60, kPeAt);
  memcpy(p + kPeAt, "PE\0\0", 4);
  Put16(p, kPeAt + 4, 0x014C);  // i386
  uint8_t* optional = p + kPeAt + 24;
  Put16(optional, 0, 0x10B);  // PE32
  Put32(optional, 56, kImageSize);
  Put32(optional, 92, 16);  // data directories
  Put32(optional, 96, kExportAt);
  Put32(optional, 100, 0x100);
  Put32(p, kExportAt + 16, kOrdinalBase);
  Put32(p, kExportAt + 20, kFunctionCount);
  Put32(p, kExportAt + 28, kFunctionsAt);
  Put32(p, kFunctionsAt + (35 - kOrdinalBase) * 4, kLoadLibrary16At);
  Put32(p, kFunctionsAt + (36 - kOrdinalBase) * 4, kFreeLibrary16At);
  Put32(p, kFunctionsAt + (37 - kOrdinalBase) * 4, kGetProcAddress16At);
}

uintptr_t SimServices16::At(uint32_t offset) const {
  return reinterpret_cast<uintptr_t>(image.data()) + offset;
}

bool SimServices16::Enter(const char* call, const std::string& argument) {
  uint32_t code;
  if (m.Enter(call, argument, &code)) {
    m.lastError = code;
    return false;
  }
  return true;
}

const uint8_t* SimServices16::GetModuleHandleA(const char* name) {
  std::string text = name ? name : "";
  if (!Enter("GetModuleHandleA", text)) return nullptr;
  if (!m.services16 || !EqualNoCase(text, "KERNEL32.DLL")) {
    m.lastError = ERROR_FILE_NOT_FOUND;
    return nullptr;
  }
  return image.data();
}

uintptr_t SimServices16::GetProcAddress(const uint8_t* module,
                                        const char* name) {
  std::string text = name ? name : "";
  if (!Enter("GetProcAddress", text)) return 0;
  if (module != image.data()) {
    m.Fail("GetProcAddress: not the module GetModuleHandleA gave");
    return 0;
  }
  if (text == "QT_Thunk") return At(kQtThunkAt);
  m.lastError = ERROR_PROC_NOT_FOUND;
  return 0;
}

uint32_t SimServices16::LoadLibrary16(uintptr_t entry, const char* name) {
  std::string text = name ? name : "";
  if (entry != At(kLoadLibrary16At)) {
    m.Fail("LoadLibrary16 called at an address that is not ordinal 35");
    return 0;
  }
  uint32_t code;
  if (m.Enter("LoadLibrary16", text, &code)) return code;  // an error < 32
  if (!EqualNoCase(text, "KRNL386.EXE")) return 2;
  ++moduleReferences;
  return kKrnl386;
}

void SimServices16::FreeLibrary16(uintptr_t entry, uint32_t instance) {
  if (entry != At(kFreeLibrary16At)) {
    m.Fail("FreeLibrary16 called at an address that is not ordinal 36");
    return;
  }
  uint32_t code;
  m.Enter("FreeLibrary16", Hex(instance, 4), &code);
  if (instance == kKrnl386 && moduleReferences > 0) --moduleReferences;
}

uint32_t SimServices16::GetProcAddress16(uintptr_t entry, uint32_t instance,
                                         const char* name) {
  std::string text = name ? name : "";
  if (entry != At(kGetProcAddress16At)) {
    m.Fail("GetProcAddress16 called at an address that is not ordinal 37");
    return 0;
  }
  if (!Enter("GetProcAddress16", text)) return 0;
  if (instance != kKrnl386) return 0;
  if (text == "GlobalDosAlloc") return kGlobalDosAllocAddress;
  if (text == "GlobalDosFree") return kGlobalDosFreeAddress;
  return 0;
}

bool SimServices16::Thunk(uintptr_t thunk, uint32_t target, uint32_t expected,
                          const char* call) {
  if (thunk != At(kQtThunkAt) || target != expected) {
    m.Fail(std::string(call) + ": not called through QT_Thunk at its address");
    return false;
  }
  return true;
}

uint32_t SimServices16::GlobalDosAlloc(uintptr_t thunk, uint32_t target,
                                       uint32_t size) {
  if (!Thunk(thunk, target, kGlobalDosAllocAddress, "GlobalDosAlloc")) return 0;
  uint32_t code;
  if (m.Enter("GlobalDosAlloc", std::to_string(size), &code)) return 0;
  uint32_t paragraphs = (size + 15) / 16;
  // Conventional memory from 2000:0 up to the 640 KB line.
  if (size == 0 || nextSegment + paragraphs > 0xA000) return 0;
  DosBlock block;
  block.segment = uint16_t(nextSegment);
  block.selector = nextSelector;
  block.memory.assign(size, 0);
  nextSegment += paragraphs;
  nextSelector = uint16_t(nextSelector + 8);
  blocks.push_back(std::move(block));
  return uint32_t(blocks.back().segment) << 16 | blocks.back().selector;
}

uint32_t SimServices16::GlobalDosFree(uintptr_t thunk, uint32_t target,
                                      uint16_t selector) {
  if (!Thunk(thunk, target, kGlobalDosFreeAddress, "GlobalDosFree"))
    return selector;
  uint32_t code;
  if (m.Enter("GlobalDosFree", Hex(selector, 4), &code)) return selector;
  for (auto it = blocks.begin(); it != blocks.end(); ++it) {
    if (it->selector != selector) continue;
    blocks.erase(it);
    return 0;
  }
  return selector;  // not a block of ours: the selector comes back
}

void* SimServices16::WOWGetVDMPointer(uint32_t address, uint32_t size,
                                      bool protectedMode) {
  uint32_t code;
  if (m.Enter("WOWGetVDMPointer", Hex(address, 8), &code)) return nullptr;
  uint16_t base = uint16_t(address >> 16);
  uint32_t offset = address & 0xFFFF;
  for (DosBlock& block : blocks) {
    if ((protectedMode ? block.selector : block.segment) != base) continue;
    if (offset + uint64_t(size) > block.memory.size()) return nullptr;
    return block.memory.data() + offset;
  }
  return nullptr;
}

uint8_t* SimServices16::Conventional(uint16_t segment, uint32_t offset,
                                     uint32_t size) {
  for (DosBlock& block : blocks) {
    if (block.segment != segment) continue;
    if (offset + uint64_t(size) > block.memory.size()) return nullptr;
    return block.memory.data() + offset;
  }
  return nullptr;
}

// ---------------------------------------------------------------- driver

DeviceHandle SimDriver::CreateFileA(const char* path, uint32_t access,
                                    uint32_t shareMode, uint32_t creation,
                                    uint32_t flags) {
  std::string text = path ? path : "";
  uint32_t code;
  if (m.Enter("CreateFileA",
              text + " access=" + Hex(access, 8) +
                  " share=" + Hex(shareMode, 8) +
                  " creation=" + Hex(creation, 8) + " flags=" + Hex(flags, 8),
              &code)) {
    m.lastError = code;
    return INVALID_HANDLE_VALUE;
  }
  // Only dynamically loadable VxDs are simulated: "\\.\NAME.VXD", found in
  // the current directory or the system directory, as Windows 9x looks.
  std::string name = text.size() > 4 && text.compare(0, 4, "\\\\.\\") == 0
                         ? text.substr(4)
                         : "";
  bool found = false;
  if (!name.empty() && name.find('\\') == std::string::npos &&
      EqualNoCase(fs::path(name).extension().string(), ".VXD")) {
    for (const std::string& folder : {m.currentDir, m.systemDir}) {
      WinPath where;
      uint32_t error;
      if (!ParseWinPath(folder, m.currentDir, &where, &error)) continue;
      bool exists = false;
      std::string host =
          ResolveHost(m.root, where.Child(name), &exists, nullptr);
      if (exists && fs::is_regular_file(host)) found = true;
    }
  }
  if (!found) {
    m.lastError = ERROR_FILE_NOT_FOUND;
    return INVALID_HANDLE_VALUE;
  }
  DeviceHandle handle = nextHandle;
  nextHandle += 4;
  open.insert(handle);
  return handle;
}

bool SimDriver::CloseHandle(DeviceHandle device) {
  uint32_t code;
  if (m.Enter("CloseHandle", Hex(uint32_t(device), 8), &code)) {
    m.lastError = code;
    return false;
  }
  if (!open.erase(device)) {
    m.lastError = ERROR_INVALID_HANDLE;
    return false;
  }
  return true;
}

std::string SimDriver::Describe(uint32_t code, const uint8_t* in) {
  if (code == 2 && in) return "2 drive " + std::to_string(Get32(in, 0));
  if (code != 1 || !in) return std::to_string(code);
  return "1 int " + Hex(Get32(in, kInt), 2) +
         "h AX=" + Hex(Get16(in, kEax), 4) + " BX=" + Hex(Get16(in, kEbx), 4) +
         " CX=" + Hex(Get16(in, kEcx), 4) + " DX=" + Hex(Get16(in, kEdx), 4) +
         " DS=" + Hex(Get16(in, kDs), 4) + " ES=" + Hex(Get16(in, kEs), 4);
}

bool SimDriver::DeviceIoControl(DeviceHandle device, uint32_t controlCode,
                                void* inBuffer, uint32_t inSize,
                                void* outBuffer, uint32_t outSize,
                                uint32_t* bytesReturned) {
  uint8_t* in = static_cast<uint8_t*>(inBuffer);
  uint32_t code;
  bool fault = m.Enter("DeviceIoControl", Describe(controlCode, in), &code);
  if (bytesReturned) *bytesReturned = 0;
  if (!open.count(device)) {
    m.lastError = ERROR_INVALID_HANDLE;
    return false;
  }
  DriverRequest request;
  request.code = controlCode;
  request.inSize = inSize;
  request.outSize = outSize;
  if (in) {
    size_t length = controlCode == 1 ? size_t(kPacketSize) : size_t(inSize);
    request.bytes.assign(reinterpret_cast<char*>(in), length);
  }
  m.driverRequests.push_back(request);
  if (fault) {
    m.lastError = code;
    return false;
  }
  bool done = false;
  if (!in || outBuffer || outSize) {
    m.lastError = ERROR_INVALID_PARAMETER;
  } else if (controlCode == 1 && inSize == 0) {
    done = RunInterrupt(in);
  } else if (controlCode == 2 && inSize == 12) {
    done = DeviceKey(in);
  } else {
    m.lastError = ERROR_INVALID_PARAMETER;
  }
  return done;
}

bool SimDriver::Refused(const Drive* drive, const char* what) {
  if (!drive || !drive->device.refuse.count(what)) return false;
  m.lastError = ERROR_GEN_FAILURE;
  return true;
}

bool SimDriver::DeviceKey(uint8_t* in) {
  uint32_t number = Get32(in, 0);
  Drive* drive = number < 26 ? m.FindDrive(char('A' + number)) : nullptr;
  if (Refused(drive, "KEY")) return false;
  if (!drive || !drive->device.deviceNode) {
    m.lastError = ERROR_NOT_SUPPORTED;
    return false;
  }
  void* node = DriverAddress::Resolve(Get32(in, 4));
  void* key = DriverAddress::Resolve(Get32(in, 8));
  if (!node || !key) {
    m.Fail("device request: an address that names no buffer of the program");
    m.lastError = ERROR_INVALID_PARAMETER;
    return false;
  }
  uint32_t value = drive->device.deviceNode;
  memcpy(node, &value, 4);
  memcpy(key, drive->device.deviceKey.c_str(),
         drive->device.deviceKey.size() + 1);
  return true;
}

std::string SimDriver::BootSector(const Drive& drive) {
  if (!drive.device.bootSector.empty()) {
    std::string sector = drive.device.bootSector;
    sector.resize(512, '\0');
    return sector;
  }
  // A FAT boot sector as FORMAT writes it, from the drive's facts.
  std::string sector(512, '\0');
  const char jump[] = "\xEB\x3C\x90MSWIN4.1";
  memcpy(&sector[0], jump, 11);
  uint8_t* p = reinterpret_cast<uint8_t*>(&sector[0]);
  Put16(p, 11, uint16_t(drive.bytesPerSector));
  p[13] = uint8_t(drive.sectorsPerCluster);
  p[38] = 0x29;  // extended boot signature
  Put32(p, 39, drive.serial);
  std::string label = drive.label.empty() ? "NO NAME" : drive.label;
  label.resize(11, ' ');
  memcpy(p + 43, label.data(), 11);
  std::string type = drive.fileSystem.substr(0, 8);
  if (EqualNoCase(type, "FAT")) type = "FAT12";
  type.resize(8, ' ');
  memcpy(p + 54, type.data(), 8);
  p[510] = 0x55;
  p[511] = 0xAA;
  return sector;
}

bool SimDriver::RunInterrupt(uint8_t* packet) {
  uint32_t mode = Get32(packet, kMode);
  uint16_t stack = Get16(packet, kSs);
  uint32_t sp = Get32(packet, kSp);
  // The call runs on the stack the link names: a conventional block of
  // ours at least as large as the stack pointer says.
  bool stackOk = mode == 1
                     ? m.services16Impl->Conventional(stack, 0, sp) != nullptr
                     : false;
  if (!stackOk || sp == 0) {
    m.lastError = ERROR_INVALID_PARAMETER;
    return false;
  }
  uint32_t number = Get32(packet, kInt);
  uint16_t ax = Get16(packet, kEax);
  bool carry = true;
  uint16_t outAx = ax;
  uint16_t bx = Get16(packet, kEbx);
  uint16_t outBx = bx;
  if (number == 0x21 && (ax == 0x440D || ax == 0x440E)) {
    uint8_t bl = uint8_t(bx);
    Drive* drive =
        bl >= 1 && bl <= 26 ? m.FindDrive(char('A' + bl - 1)) : nullptr;
    if (Refused(drive, ax == 0x440D ? "440D" : "440E")) return false;
    if (!drive) {
      outAx = 0x000F;  // invalid drive
    } else if (ax == 0x440E) {
      if (drive->device.categories.empty()) {
        outAx = 0x0001;  // not a block device of DOS's
      } else {
        outAx = uint16_t((ax & 0xFF00) |
                         (drive->device.sharesPhysicalDrive ? bl : 0));
        carry = false;
      }
    } else {
      carry = !GenericIoctl(*drive, packet, &outAx);
    }
  } else if (number == 0x13 && (ax >> 8) == 0x02) {
    uint8_t unit = uint8_t(Get16(packet, kEdx));
    Drive* drive = nullptr;
    for (auto& entry : m.drives)
      if (entry.second.device.biosUnit == unit && !drive) drive = &entry.second;
    if (Refused(drive, "13")) return false;
    uint8_t* target =
        m.services16Impl->Conventional(Get16(packet, kEs), bx, 512);
    if (!drive) {
      outAx = 0x0100;  // invalid command
    } else if (!drive->ready) {
      outAx = 0x8000;  // timeout: no disk in the drive
    } else if (!target || (ax & 0xFF) != 1 || Get16(packet, kEcx) != 0x0001) {
      outAx = 0x0100;
    } else {
      std::string sector = BootSector(*drive);
      memcpy(target, sector.data(), 512);
      outAx = 0x0001;  // status 0, one sector read
      carry = false;
    }
  } else if (number == 0x2F && ax == 0x4A11) {
    bool present = false;
    for (auto& entry : m.drives)
      present = present || entry.second.device.compressedOn;
    present = present || m.driveSpace;
    if (!present) {
      // Nobody answers the multiplex call: the registers come back as sent.
    } else if (bx == 0x0000) {
      outAx = 0;
      outBx = 0x444D;
      carry = false;
    } else if (bx == 0x0001) {
      uint8_t d = uint8_t(Get16(packet, kEdx));
      outAx = 0;
      outBx = d < 26 ? DriveSpaceMap(d) : d;
      carry = false;
    }
  } else {
    outAx = 0x0001;
  }
  Put16(packet, kEax, outAx);
  Put16(packet, kEbx, outBx);
  uint16_t flags = Get16(packet, kFlags);
  Put16(packet, kFlags, carry ? uint16_t(flags | 1) : uint16_t(flags & ~1));
  return true;
}

uint16_t SimDriver::DriveSpaceMap(uint8_t d) {
  Drive* drive = m.FindDrive(char('A' + d));
  if (drive && drive->device.compressedOn)
    return uint16_t(drive->device.cvfSequence << 8 | 0x80 |
                    (drive->device.compressedOn - 'A'));
  // A host swapped with its compressed volume is mapped to that volume.
  for (auto& entry : m.drives) {
    const DriveDevice& other = entry.second.device;
    if (other.compressedOn == 'A' + d && other.swappedWithHost)
      return uint16_t(entry.first - 'A');
  }
  return d;
}

bool SimDriver::GenericIoctl(Drive& drive, uint8_t* packet, uint16_t* ax) {
  uint8_t category = uint8_t(Get16(packet, kEcx) >> 8);
  uint8_t minor = uint8_t(Get16(packet, kEcx));
  const DriveDevice& d = drive.device;
  if (d.categories.empty()) {
    *ax = 0x000F;
    return false;
  }
  if (std::find(d.categories.begin(), d.categories.end(), category) ==
      d.categories.end()) {
    *ax = 0x0001;
    return false;
  }
  uint8_t* block = m.services16Impl->Conventional(Get16(packet, kDs),
                                                  Get16(packet, kEdx), 32);
  if (!block) {
    *ax = 0x0009;  // invalid memory block
    return false;
  }
  switch (minor) {
    case 0x60:  // Get Device Parameters
      block[1] = d.dosDeviceType;
      Put16(block, 2, drive.type == DRIVE_REMOVABLE ? 0 : 1);
      return true;
    case 0x6F:  // Get Drive Map Info
      if (block[0] < 16) {
        *ax = 0x0018;  // bad request length
        return false;
      }
      block[1] = 16;
      block[2] = uint8_t(0x01 | (d.protectedModeOnly ? 0x04 : 0) |
                         (drive.type == DRIVE_REMOVABLE ? 0x08 : 0));
      block[3] = d.biosUnit;
      Put32(block, 4, 0);
      for (auto& entry : m.drives)
        if (entry.second.device.biosUnit == d.biosUnit && d.biosUnit != 0xFF)
          block[4 + (entry.first - 'A') / 8] |=
              uint8_t(1 << ((entry.first - 'A') % 8));
      memset(block + 8, 0, 8);
      return true;
    case 0x66:    // Get Media ID
    case 0x46: {  // Set Media ID
      if (!drive.ready) {
        *ax = 0x0015;
        return false;
      }
      if (minor == 0x66) {
        Put16(block, 0, 0);
        Put32(block, 2, drive.serial);
        std::string label = drive.label.empty() ? "NO NAME" : drive.label;
        label.resize(11, ' ');
        memcpy(block + 6, label.data(), 11);
        std::string type = drive.fileSystem.substr(0, 8);
        type.resize(8, ' ');
        memcpy(block + 17, type.data(), 8);
        return true;
      }
      if (drive.readOnly) {
        *ax = 0x0013;  // write protected
        return false;
      }
      drive.serial = Get32(block, 2);
      if (!drive.device.bootSector.empty()) {
        drive.device.bootSector.resize(512, '\0');
        memcpy(&drive.device.bootSector[39], block + 2, 4);
      }
      return true;
    }
    default:
      *ax = 0x0001;
      return false;
  }
}

}  // namespace sim
