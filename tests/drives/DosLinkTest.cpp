// The DOS link: KERNEL32's ordinals found through the export directory of
// an image in memory, the 16-bit services found through them, and the
// conventional-memory blocks they give.
#include <gtest/gtest.h>
#include <string.h>

#include <vector>

#include "drives/DosLink.h"
#include "drives/ExportDirectory.h"
#include "platform/Codes.h"
#include "tests/support/MachineTest.h"

namespace {

void Put32(std::vector<uint8_t>& image, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) image[at + i] = uint8_t(value >> (8 * i));
}

// A minimal PE image: DOS header, PE header, optional header (PE32 or
// PE32+) with the export directory as data directory 0, and an address
// table of `count` functions from ordinal `base`, entry i = 0x1000 + i.
std::vector<uint8_t> Image(uint32_t base, uint32_t count, bool wide = false,
                           bool withExports = true) {
  std::vector<uint8_t> image(0x800, 0);
  image[0] = 'M';
  image[1] = 'Z';
  Put32(image, 60, 0x100);
  memcpy(&image[0x100], "PE\0\0", 4);
  size_t optional = 0x100 + 24;
  image[optional] = 0x0B;
  image[optional + 1] = wide ? 0x02 : 0x01;
  Put32(image, optional + 56, uint32_t(image.size()));
  size_t directories = optional + (wide ? 112 : 96);
  Put32(image, directories - 4, 16);
  if (withExports) {
    Put32(image, directories, 0x300);
    Put32(image, directories + 4, 0x100);
  }
  Put32(image, 0x300 + 16, base);
  Put32(image, 0x300 + 20, count);
  Put32(image, 0x300 + 28, 0x400);
  for (uint32_t i = 0; i < count; ++i) Put32(image, 0x400 + 4 * i, 0x1000 + i);
  return image;
}

TEST(ExportDirectoryTest, AnOrdinalIsFoundOnlyInsideTheDirectorysRange) {
  struct Case {
    const char* what;
    std::vector<uint8_t> image;
    uint32_t ordinal;
    uint32_t entry;  // 0: rejected
  } cases[] = {
      {"ordinal 35 of a table from 1", Image(1, 40), 35, 0x1000 + 34},
      {"the first ordinal", Image(1, 40), 1, 0x1000},
      {"the last ordinal", Image(1, 40), 40, 0x1000 + 39},
      {"PE32+", Image(1, 40, true), 37, 0x1000 + 36},
      {"an ordinal below the base", Image(36, 4), 35, 0},
      {"the index past the function count", Image(1, 35), 36, 0},
      {"no export directory", Image(1, 40, false, false), 35, 0},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.what);
    uintptr_t found = exportByOrdinal(c.image.data(), c.ordinal);
    if (c.entry)
      EXPECT_EQ(found, reinterpret_cast<uintptr_t>(c.image.data()) + c.entry);
    else
      EXPECT_EQ(found, 0u);
  }
}

TEST(ExportDirectoryTest, AnImageThatIsNoPeImageHasNoExports) {
  std::vector<uint8_t> image = Image(1, 40);
  image[0] = 'X';
  EXPECT_EQ(exportByOrdinal(image.data(), 35), 0u);
  image = Image(1, 40);
  image[0x100] = 'N';
  EXPECT_EQ(exportByOrdinal(image.data(), 35), 0u);
  // A function table said to lie past the image.
  image = Image(1, 40);
  Put32(image, 0x300 + 28, 0x7FF0);
  EXPECT_EQ(exportByOrdinal(image.data(), 35), 0u);
  EXPECT_EQ(exportByOrdinal(nullptr, 35), 0u);
}

class DosLinkTest : public MachineTest {
 protected:
  void SetUp() override { Boot("basic"); }
};

TEST_F(DosLinkTest, SetUpFindsTheServicesAndGivesTheModuleBack) {
  DosLink link;
  link.setUpDosLink();
  EXPECT_EQ(link.ready, 1);
  EXPECT_NE(link.thunkEntry, 0u);
  EXPECT_NE(link.globalDosAlloc, 0u);
  EXPECT_NE(link.globalDosFree, 0u);
  EXPECT_EQ(machine().CallCount("LoadLibrary16"), 1u);
  EXPECT_EQ(machine().CallCount("FreeLibrary16"), 1u);
}

TEST_F(DosLinkTest, AnyMissingPieceLeavesTheLinkNotReady) {
  struct Case {
    const char* call;
    uint32_t code;
  } cases[] = {
      {"GetModuleHandleA", ERROR_FILE_NOT_FOUND},
      {"GetProcAddress", ERROR_PROC_NOT_FOUND},  // QT_Thunk
      {"LoadLibrary16", 2},                      // KRNL386 does not load
      {"GetProcAddress16", ERROR_PROC_NOT_FOUND},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.call);
    faults().Fail(c.call, c.code);
    DosLink link;
    link.setUpDosLink();
    EXPECT_EQ(link.ready, 0);
    DosBuffer buffer;
    EXPECT_EQ(link.allocateDosBuffer(&buffer, 512), 0);
    EXPECT_EQ(buffer.flatPointer, nullptr);
    faults().Clear();
  }
  EXPECT_EQ(machine().DosBlocks(), 0);
}

TEST_F(DosLinkTest, ABufferHasSegmentSelectorAndFlatPointerUntilFreed) {
  DosLink link;
  link.setUpDosLink();
  DosBuffer first, second;
  ASSERT_EQ(link.allocateDosBuffer(&first, 4096), 1);
  ASSERT_EQ(link.allocateDosBuffer(&second, 512), 1);
  EXPECT_NE(first.segment, 0);
  EXPECT_NE(first.selector, second.selector);
  EXPECT_EQ(second.segment, first.segment + 4096 / 16);
  ASSERT_NE(first.flatPointer, nullptr);
  memset(first.flatPointer, 0xAA, 4096);  // all of it is ours
  EXPECT_EQ(machine().DosBlocks(), 2);
  EXPECT_EQ(link.freeDosBuffer(&first), 1);
  EXPECT_EQ(link.freeDosBuffer(&second), 1);
  EXPECT_EQ(machine().DosBlocks(), 0);
  EXPECT_EQ(link.freeDosBuffer(&second), 0);  // nothing left to free
}

TEST_F(DosLinkTest, ABlockWithoutAFlatAddressIsGivenBack) {
  DosLink link;
  link.setUpDosLink();
  faults().Fail("WOWGetVDMPointer", 0);
  DosBuffer buffer;
  EXPECT_EQ(link.allocateDosBuffer(&buffer, 512), 0);
  EXPECT_EQ(machine().DosBlocks(), 0);
  faults().Fail("GlobalDosAlloc", 0);
  EXPECT_EQ(link.allocateDosBuffer(&buffer, 512), 0);
}

}  // namespace
