// The save on the bundled demo machine, without the letter-assignment
// driver: the files and registry values it leaves are the ones the Wine run
// (tests/wine/kromva32-save.sh) must find in its prefix, byte for byte. The
// expected bytes live in tests/wine/expected/; with PELMORA_WRITE_EXPECTED
// set to a folder this test writes what the save gave there instead of
// comparing, so a change of the product's output is made on purpose.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "assign/DriveListView.h"
#include "assign/OptionsDialog.h"
#include "framework/WindowCodes.h"
#include "framework/headless/Windows.h"
#include "platform/Codes.h"
#include "platform/Platform.h"
#include "tests/support/MachineTest.h"

namespace {

const char kRebootQuestion[] =
    "The computer must be restarted before the changes will take "
    "effect.\nDo you want to reboot now ?";

const char kDosMemory[] =
    "Error allocating MS-DOS memory. The program may function incorrectly.";

const std::filesystem::path kRepository =
    std::filesystem::path(__FILE__).parent_path().parent_path().parent_path();

std::string ExpectedDir() {
  return (kRepository / "tests" / "wine" / "expected").string();
}

std::string Hex(const uint8_t* data, uint32_t size) {
  static const char digits[] = "0123456789abcdef";
  std::string text;
  for (uint32_t i = 0; i < size; ++i) {
    text += digits[data[i] >> 4];
    text += digits[data[i] & 15];
  }
  return text;
}

// Every value under a key, one "key|name|type|hex bytes" line each, and a
// line with the key's path for every key, sorted: the form boxreader's
// "registry" command prints from a Wine prefix.
void DumpKey(RegKey key, const std::string& path,
             std::vector<std::string>* lines) {
  platform::Registry& registry = platform::registry();
  lines->push_back(path);
  for (uint32_t i = 0;; ++i) {
    char name[256];
    uint8_t data[1024];
    uint32_t nameSize = sizeof name, dataSize = sizeof data, type = 0;
    if (registry.RegEnumValueA(key, i, name, &nameSize, &type, data,
                               &dataSize) != ERROR_SUCCESS)
      break;
    lines->push_back(path + "|" + name + "|" + std::to_string(type) + "|" +
                     Hex(data, dataSize));
  }
  for (uint32_t i = 0;; ++i) {
    char name[256];
    uint32_t nameSize = sizeof name;
    if (registry.RegEnumKeyExA(key, i, name, &nameSize) != ERROR_SUCCESS) break;
    RegKey sub;
    if (registry.RegOpenKeyExA(key, name, 0, KEY_READ, &sub) != ERROR_SUCCESS)
      continue;
    DumpKey(sub, path + "\\" + name, lines);
    registry.RegCloseKey(sub);
  }
}

std::string DumpRegistry(RegKey root, const char* rootName,
                         const char* subKey) {
  std::vector<std::string> lines;
  RegKey key;
  if (platform::registry().RegOpenKeyExA(root, subKey, 0, KEY_READ, &key) ==
      ERROR_SUCCESS) {
    DumpKey(key, std::string(rootName) + "\\" + subKey, &lines);
    platform::registry().RegCloseKey(key);
  }
  std::sort(lines.begin(), lines.end());
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

class DemoSaveTest : public MachineTest {
 protected:
  void TearDown() override {
    view.reset();
    frame.DestroyWindow();
    headless::Windows::Get().Reset();
    MachineTest::TearDown();
    std::filesystem::remove_all(fixture);
  }

  // The demo as Wine runs it: Wine has none of the 16-bit services the DOS
  // link needs, so the link fails at its first step, as under wine64.
  void BootDemoAsWine() {
    fixture = std::filesystem::temp_directory_path() /
              ("pelmora-demo-wine-" + std::to_string(::getpid()));
    std::filesystem::remove_all(fixture);
    std::filesystem::copy(kRepository / "machines" / "demo", fixture,
                          std::filesystem::copy_options::recursive);
    std::ifstream in(fixture / "machine.ini", std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    in.close();
    std::string ini = text.str();
    const size_t section = ini.find("[Machine]");
    ASSERT_NE(section, std::string::npos);
    ini.insert(ini.find('\n', section) + 1, "Services16=0\n");
    std::ofstream(fixture / "machine.ini", std::ios::binary) << ini;
    Boot(fixture.string().c_str());
  }

  void Assign(char drive, char letter) {
    headless::ClickRow(view.get(), view->FindItem(drive - 'A'));
    headless::Windows::Get().PumpMessages();
    ASSERT_TRUE(
        view->OnCmdMsg(ID_LETTER_A + (letter - 'A'), CN_COMMAND, nullptr));
  }

  // Compares the bytes with the expected file, or writes them into the
  // folder PELMORA_WRITE_EXPECTED names.
  void Check(const std::string& name, const std::string& bytes) {
    if (const char* out = std::getenv("PELMORA_WRITE_EXPECTED")) {
      std::ofstream(std::string(out) + "/" + name, std::ios::binary) << bytes;
      return;
    }
    std::ifstream in(ExpectedDir() + "/" + name, std::ios::binary);
    ASSERT_TRUE(in) << ExpectedDir() << "/" << name;
    std::ostringstream expected;
    expected << in.rdbuf();
    EXPECT_EQ(bytes, expected.str()) << name;
  }

  std::filesystem::path fixture;
  // As the start-up reads it when the registry holds no option.
  OptionsDialog options;
  CWnd frame;
  std::unique_ptr<DriveListView> view;
};

TEST_F(DemoSaveTest, SaveWithoutTheDriverWritesWhatTheWineRunFinds) {
  BootDemoAsWine();
  // Wine has no letter-assignment driver; neither has the demo.
  ASSERT_FALSE(machine().Exists("C:\\Pelmora\\Kromvale.VxD"));
  ASSERT_FALSE(machine().Exists("C:\\WINDOWS\\SYSTEM\\Kromvale.VxD"));
  options.saveBy = 0;
  // The start's one box under Wine, answered OK as the Wine run does.
  user().Expect("Pelmora", kDosMemory, MB_ICONERROR | MB_OK, IDOK);
  ASSERT_TRUE(frame.CreateEx(0, "PelmoraFrame", "Pelmora",
                             WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                             CRect(100, 50, 740, 530), nullptr, 0));
  view = std::make_unique<DriveListView>(&options);
  ASSERT_TRUE(view->CreateEx(0, "", "", WS_VISIBLE | LVS_REPORT,
                             CRect(0, 0, 640, 440), &frame, driveListId));
  headless::Windows::Get().PumpMessages();

  // The CD-ROM moves to R: (the MSCDEX line follows) and the network drive
  // to N: (its persistent connection follows); the other drives keep their
  // letters, so their lines come from the drive map and the serials.
  Assign('E', 'R');
  Assign('G', 'N');
  ASSERT_TRUE(view->OnCmdMsg(ID_FILE_SAVE, CN_COMMAND, nullptr));
  EXPECT_EQ(user().Boxes().size(), 1u);
  EXPECT_FALSE(view->modified);
  // The close asks only for the restart, which is declined.
  user().Expect("Pelmora", kRebootQuestion, MB_ICONQUESTION | MB_YESNO, IDNO);
  EXPECT_TRUE(view->QueryClose());
  EXPECT_TRUE(machine().ExitRequests().empty());
  view.reset();

  Check("Letters.ini", machine().ReadFile("C:\\Pelmora\\Letters.ini"));
  Check("CONFIG.SYS", machine().ReadFile("C:\\CONFIG.SYS"));
  Check("AUTOEXEC.BAT", machine().ReadFile("C:\\AUTOEXEC.BAT"));
  Check("registry.txt", DumpRegistry(HKEY_CURRENT_USER, "HKEY_CURRENT_USER",
                                     "Network\\Persistent"));
}

}  // namespace
