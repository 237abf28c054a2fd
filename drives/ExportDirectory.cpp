#include "drives/ExportDirectory.h"

#include <string.h>

namespace {

uint32_t read32(const uint8_t* at) {
  return uint32_t(at[0]) | uint32_t(at[1]) << 8 | uint32_t(at[2]) << 16 |
         uint32_t(at[3]) << 24;
}

uint16_t read16(const uint8_t* at) { return uint16_t(at[0] | at[1] << 8); }

// Offsets in the PE format.
const uint32_t peOffsetAt = 60;            // e_lfanew in the DOS header
const uint32_t optionalHeaderAt = 4 + 20;  // after "PE\0\0" and COFF header
const uint32_t sizeOfImageAt = 56;         // in the optional header
const uint32_t directoriesAt32 = 96;       // PE32
const uint32_t directoriesAt64 = 112;      // PE32+
const uint32_t directoryCountAt32 = 92;
const uint32_t directoryCountAt64 = 108;
const uint16_t magic32 = 0x10B;
const uint16_t magic64 = 0x20B;
// In the export directory.
const uint32_t ordinalBaseAt = 16;
const uint32_t functionCountAt = 20;
const uint32_t functionTableAt = 28;
const uint32_t exportDirectorySize = 40;

}  // namespace

uintptr_t exportByOrdinal(const uint8_t* image, uint32_t ordinal) {
  if (!image || image[0] != 'M' || image[1] != 'Z') return 0;
  const uint8_t* pe = image + read32(image + peOffsetAt);
  if (memcmp(pe, "PE\0\0", 4) != 0) return 0;
  const uint8_t* optional = pe + optionalHeaderAt;
  uint16_t magic = read16(optional);
  uint32_t directoriesAt, directoryCountAt;
  if (magic == magic32) {
    directoriesAt = directoriesAt32;
    directoryCountAt = directoryCountAt32;
  } else if (magic == magic64) {
    directoriesAt = directoriesAt64;
    directoryCountAt = directoryCountAt64;
  } else {
    return 0;
  }
  uint32_t imageSize = read32(optional + sizeOfImageAt);
  if (read32(optional + directoryCountAt) < 1) return 0;
  uint32_t exportRva = read32(optional + directoriesAt);
  uint32_t exportSize = read32(optional + directoriesAt + 4);
  // Everything read below must lie inside the image.
  if (exportRva == 0 || exportSize == 0 || exportRva > imageSize ||
      imageSize - exportRva < exportDirectorySize)
    return 0;
  const uint8_t* directory = image + exportRva;
  uint32_t base = read32(directory + ordinalBaseAt);
  uint32_t count = read32(directory + functionCountAt);
  uint32_t table = read32(directory + functionTableAt);
  if (ordinal < base) return 0;
  uint32_t index = ordinal - base;
  if (index >= count) return 0;
  if (table > imageSize || (imageSize - table) / 4 <= index) return 0;
  uint32_t entry = read32(image + table + index * 4);
  if (entry == 0) return 0;
  return reinterpret_cast<uintptr_t>(image) + entry;
}
