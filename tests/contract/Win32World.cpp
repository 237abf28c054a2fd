// The contract world of the wine build: the real Win32 platform, with a
// scratch folder in the temporary folder and a scratch key below HKCU.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include "platform/Codes.h"
#include "platform/win32/Win32Platform.h"
#include "tests/contract/ContractWorld.h"
#include "tests/contract/Win32Menus.h"

namespace {

// Deletes a key with everything below it, one level at a time: Windows NT
// and Wine refuse to delete a key that still has subkeys.
int32_t DeleteKeyTree(RegKey parent, const std::string& name) {
  platform::Registry& registry = platform::registry();
  RegKey key;
  int32_t error =
      registry.RegOpenKeyExA(parent, name.c_str(), 0, KEY_ALL_ACCESS, &key);
  if (error != ERROR_SUCCESS) return error;
  for (;;) {
    char child[256];
    uint32_t size = sizeof(child);
    if (registry.RegEnumKeyExA(key, 0, child, &size) != ERROR_SUCCESS) break;
    error = DeleteKeyTree(key, child);
    if (error != ERROR_SUCCESS) break;
  }
  registry.RegCloseKey(key);
  return registry.RegDeleteKeyA(parent, name.c_str());
}

// Removes the folder and all in it, read-only files included.
void RemoveFolder(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code error;
  if (!fs::exists(path, error)) return;
  for (const fs::directory_entry& entry :
       fs::recursive_directory_iterator(path, error)) {
    fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add,
                    error);
  }
  fs::remove_all(path, error);
  if (error)
    ADD_FAILURE() << "cannot remove " << path << ": " << error.message();
}

class Win32World : public ContractWorld {
 public:
  void SetUp() override {
    scope.reset(new platform::PlatformScope(platform::Win32Platform()));
    platform::Kernel& kernel = platform::kernel();
    char buffer[260];
    uint32_t length = kernel.GetCurrentDirectoryA(sizeof(buffer), buffer);
    ASSERT_GT(length, 0u);
    ASSERT_LT(length, sizeof(buffer));
    startDir = buffer;
    length = kernel.GetTempPathA(sizeof(buffer), buffer);
    ASSERT_GT(length, 1u);
    ASSERT_LT(length, sizeof(buffer));
    // The temporary path ends with a backslash.
    scratchDir = std::string(buffer) + "pelmora-contract";

    // What a crashed run left behind goes first.
    RemoveFolder(scratchDir);
    DeleteKeyTree(HKEY_CURRENT_USER, ScratchKey());
    ASSERT_TRUE(kernel.CreateDirectoryA(scratchDir.c_str()))
        << "cannot create " << scratchDir << ": " << kernel.GetLastError();
    RegKey key;
    ASSERT_EQ(platform::registry().RegCreateKeyExA(
                  HKEY_CURRENT_USER, ScratchKey().c_str(), 0, KEY_ALL_ACCESS,
                  &key, nullptr),
              ERROR_SUCCESS);
    platform::registry().RegCloseKey(key);
  }

  void TearDown() override {
    if (!scope) return;
    // A folder that is current cannot be removed.
    if (!startDir.empty())
      platform::kernel().SetCurrentDirectoryA(startDir.c_str());
    RemoveFolder(scratchDir);
    int32_t error = DeleteKeyTree(HKEY_CURRENT_USER, ScratchKey());
    if (error != ERROR_SUCCESS)
      ADD_FAILURE() << "cannot delete HKCU\\" << ScratchKey() << ": " << error;
    scope.reset();
  }

  std::string ScratchDir() override { return scratchDir; }
  std::string ScratchKey() override { return "Software\\PelmoraContract"; }
  const char* Name() override { return "win32"; }
  MenuHandle CreateTestMenu() override { return CreateWin32TestMenu(); }
  int TestMenuCount(MenuHandle menu) override {
    return Win32TestMenuCount(menu);
  }
  void DestroyTestMenu(MenuHandle menu) override { DestroyWin32TestMenu(menu); }

 private:
  std::unique_ptr<platform::PlatformScope> scope;
  std::string startDir;
  std::string scratchDir;
};

}  // namespace

ContractWorld& TheContractWorld() {
  static Win32World world;
  return world;
}
