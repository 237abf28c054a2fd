// The shell: My Computer lists the drive roots by parsing name beside
// other items, their icons, SHGetFileInfoA's icon of a root, and the
// context menu of a drive.
#include <string>
#include <vector>

#include "tests/contract/ContractTest.h"

namespace {

using ShellContract = Contract;

// A display name as the drive build reads it, whatever kind the shell chose;
// a wide name is freed here.
std::string Decode(const platform::StrRet& name,
                   const platform::ItemIdList* item) {
  switch (name.type) {
    case STRRET_WSTR: {
      char buffer[260];
      int length = platform::kernel().WideCharToMultiByte(
          CP_ACP, 0, name.wide, -1, buffer, sizeof(buffer));
      platform::shell().CoTaskMemFree(name.wide);
      return length > 0 ? std::string(buffer) : "(unconvertible)";
    }
    case STRRET_OFFSET:
      return reinterpret_cast<const char*>(item) + name.offset;
    case STRRET_CSTR:
      return name.cStr;
  }
  return "(unknown kind)";
}

bool IsDriveRoot(const std::string& name) {
  return name.size() == 3 && name[1] == ':' && name[2] == '\\' &&
         ((name[0] >= 'A' && name[0] <= 'Z') ||
          (name[0] >= 'a' && name[0] <= 'z'));
}

// My Computer, bound and enumerated as the drive build does; items stay
// owned by the fixture unless taken.
class ComputerFolder : public Contract {
 protected:
  void SetUp() override {
    Contract::SetUp();
    platform::Shell& shell = platform::shell();
    ASSERT_EQ(shell.GetComputerFolder(&folder), S_OK);
    ASSERT_NE(folder, nullptr);
    platform::ShellEnum* items = nullptr;
    ASSERT_EQ(shell.EnumObjects(
                  folder, 0, SHCONTF_FOLDERS | SHCONTF_INCLUDEHIDDEN, &items),
              S_OK);
    ASSERT_NE(items, nullptr);
    platform::ItemIdList* item = nullptr;
    int32_t status;
    while ((status = shell.NextItem(items, &item)) == S_OK) {
      ASSERT_NE(item, nullptr);
      platform::StrRet name;
      ASSERT_EQ(shell.GetDisplayNameOf(folder, item, SHGDN_FORPARSING, &name),
                S_OK);
      names.push_back(Decode(name, item));
      list.push_back(item);
    }
    EXPECT_EQ(status, S_FALSE);
    EXPECT_EQ(item, nullptr);
    shell.ReleaseEnum(items);
  }

  void TearDown() override {
    for (platform::ItemIdList* item : list)
      if (item) platform::shell().FreeItem(item);
    if (folder) platform::shell().ReleaseFolder(folder);
    Contract::TearDown();
  }

  // C:\'s item, or null.
  platform::ItemIdList* DriveC() {
    for (size_t i = 0; i < names.size(); i++)
      if (names[i] == "C:\\" || names[i] == "c:\\") return list[i];
    return nullptr;
  }

  platform::ShellFolder* folder = nullptr;
  std::vector<platform::ItemIdList*> list;
  std::vector<std::string> names;
};

TEST_F(ComputerFolder, ListsEveryDriveRootOnceBesideOtherItems) {
  uint32_t logical = platform::kernel().GetLogicalDrives();
  uint32_t seen = 0;
  for (const std::string& name : names) {
    if (!IsDriveRoot(name)) {
      // Control Panel, Printers ...: a name the build must skip.
      EXPECT_FALSE(name.empty());
      continue;
    }
    uint32_t bit = 1u << ((name[0] & ~0x20) - 'A');
    EXPECT_NE(logical & bit, 0u) << name << " is not a logical drive";
    EXPECT_EQ(seen & bit, 0u) << name << " is listed twice";
    seen |= bit;
  }
  EXPECT_NE(DriveC(), nullptr);
}

TEST_F(ComputerFolder, AKeptItemIsFreedWithTheTaskAllocator) {
  platform::ItemIdList* kept = DriveC();
  ASSERT_NE(kept, nullptr);
  for (platform::ItemIdList*& item : list)
    if (item == kept) item = nullptr;
  // Its names can still be read while it is kept.
  platform::StrRet name;
  ASSERT_EQ(
      platform::shell().GetDisplayNameOf(folder, kept, SHGDN_FORPARSING, &name),
      S_OK);
  EXPECT_EQ(Decode(name, kept).substr(1), ":\\");
  platform::shell().CoTaskMemFree(kept);
}

TEST_F(ComputerFolder, TheSmallIconOfADriveIsSixteenOrThirtyTwoWide) {
  ASSERT_NE(DriveC(), nullptr);
  platform::Shell& shell = platform::shell();
  IconHandle icon = 0;
  ASSERT_EQ(shell.ExtractSmallIcon(folder, 0, DriveC(), &icon), S_OK);
  ASSERT_NE(icon, 0u);
  int width = 0;
  ASSERT_TRUE(shell.GetIconBitmapWidth(icon, &width));
  EXPECT_TRUE(width == 16 || width == 32) << width;
  EXPECT_TRUE(shell.DestroyIcon(icon));
}

TEST_F(ShellContract, FileInfoGivesASmallIconForARootByAttributes) {
  platform::Shell& shell = platform::shell();
  IconHandle icon = 0;
  EXPECT_NE(shell.SHGetFileInfoA(
                "C:\\", FILE_ATTRIBUTE_DIRECTORY,
                SHGFI_ICON | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES, &icon),
            0u);
  ASSERT_NE(icon, 0u);
  int width = 0;
  ASSERT_TRUE(shell.GetIconBitmapWidth(icon, &width));
  EXPECT_TRUE(width == 16 || width == 32) << width;
  EXPECT_TRUE(shell.DestroyIcon(icon));
}

TEST_F(ComputerFolder, ADrivesContextMenuInsertsItsEntries) {
  ASSERT_NE(DriveC(), nullptr);
  platform::Shell& shell = platform::shell();
  platform::ContextMenu* menu = nullptr;
  ASSERT_EQ(shell.GetContextMenu(folder, 0, DriveC(), &menu), S_OK);
  ASSERT_NE(menu, nullptr);
  ContractWorld& world = TheContractWorld();
  MenuHandle popup = world.CreateTestMenu();
  ASSERT_NE(popup, 0u);
  int32_t status =
      shell.QueryContextMenu(menu, popup, 0, 3, 0x7FFF, CMF_NORMAL);
  EXPECT_TRUE(SUCCEEDED(status)) << std::hex << status;
  EXPECT_GE(HRESULT_CODE(status), 1);
  EXPECT_GE(world.TestMenuCount(popup), 1);
  world.DestroyTestMenu(popup);
  shell.ReleaseContextMenu(menu);
}

}  // namespace
