// The dialog framework's headless backend, and Quobrill's resources as the
// .rc script gives them to the .exe.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "framework/Dialog.h"
#include "framework/headless/Dialogs.h"
#include "setup/resource.h"

namespace {

const uint32_t kWsPopup = 0x80000000u, kWsCaption = 0x00C00000u,
               kWsSysMenu = 0x00080000u, kWsTabStop = 0x00010000u,
               kDsModalFrame = 0x80u, kDsCenter = 0x800u;

headless::Resources Load() {
  headless::Resources resources;
  std::string error;
  EXPECT_TRUE(headless::ParseResourceScript(QUOBRILL_RC, &resources, &error))
      << error;
  return resources;
}

TEST(SetupResources, SetupCompletedDialogHasExactlyItsControls) {
  headless::Resources resources = Load();
  ASSERT_EQ(resources.dialogs.count(104), 1u);
  const headless::DialogTemplate& dialog = resources.dialogs.at(104);
  EXPECT_EQ(dialog.caption, "Setup Completed");
  EXPECT_EQ(dialog.width, 278);
  EXPECT_EQ(dialog.height, 183);
  uint32_t frame =
      kDsModalFrame | kDsCenter | kWsPopup | kWsCaption | kWsSysMenu;
  EXPECT_EQ(dialog.style & frame, frame);
  const struct {
    const char* text;
    int id;
    const char* className;
    uint32_t type;  // the low style bits: SS_ / BS_ kind
    int x, y, width, height;
  } expected[] = {
      {"#101", 108, "Static", 0x0E, 5, 6, 78, 142},
      {"Setup has finished installing Pelmora on your computer.", -1, "Static",
       0x00, 92, 9, 180, 16},
      {"Run Pelmora now.", 1001, "Button", 0x03, 93, 60, 170, 11},
      {"Click Finish to exit setup.", -1, "Static", 0x00, 93, 113, 180, 12},
      {"", -1, "Static", 0x10, 5, 156, 270, 1},
      {"&Finish", 1000, "Button", 0x01, 155, 163, 50, 14},
  };
  ASSERT_EQ(dialog.controls.size(), std::size(expected));
  for (size_t i = 0; i < std::size(expected); ++i) {
    const headless::DialogControl& control = dialog.controls[i];
    SCOPED_TRACE(expected[i].text);
    EXPECT_EQ(control.text, expected[i].text);
    EXPECT_EQ(control.id, expected[i].id);
    EXPECT_EQ(control.className, expected[i].className);
    EXPECT_EQ(control.style & 0x1F, expected[i].type);
    EXPECT_EQ(control.x, expected[i].x);
    EXPECT_EQ(control.y, expected[i].y);
    EXPECT_EQ(control.width, expected[i].width);
    EXPECT_EQ(control.height, expected[i].height);
  }
  EXPECT_TRUE(dialog.Control(1001)->style & kWsTabStop);
  EXPECT_TRUE(dialog.Control(1000)->style & kWsTabStop);
}

TEST(SetupResources, BitmapIsASixteenColourPictureFillingThePictureFrame) {
  headless::Resources resources = Load();
  ASSERT_EQ(resources.bitmaps.count(101), 1u);
  EXPECT_EQ(resources.bitmaps.at(101), "SetupBitmap.bmp");
  std::ifstream file(SETUP_BITMAP, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(file)),
                    std::istreambuf_iterator<char>());
  ASSERT_GT(bytes.size(), 118u);
  auto u16 = [&](size_t at) {
    return unsigned(uint8_t(bytes[at])) | unsigned(uint8_t(bytes[at + 1])) << 8;
  };
  auto u32 = [&](size_t at) { return u16(at) | u16(at + 2) << 16; };
  EXPECT_EQ(bytes.substr(0, 2), "BM");
  EXPECT_EQ(u32(2), bytes.size());
  EXPECT_EQ(u32(14), 40u);  // BITMAPINFOHEADER, readable by Windows 95
  // The frame's 78 dialog units wide in 8-point MS Sans Serif, and short
  // enough to clear the separator 8 units below the frame in smaller fonts.
  EXPECT_EQ(u32(18), 117u);
  EXPECT_EQ(u32(22), 222u);
  EXPECT_EQ(u16(28), 4u);  // bits per pixel
  EXPECT_EQ(u32(30), 0u);  // not compressed
}

// A dialog that lists IDCANCEL (and so can be left with Esc), as later
// dialogs will.
class CancellableDialog : public CDialog {
 public:
  CancellableDialog() : CDialog(104, 0x77) {}
  bool OnInitDialog() override {
    CheckDlgButton(1001, kBstChecked);
    initialised = true;
    return true;
  }
  bool initialised = false;

 protected:
  const DialogCommandEntry* GetCommandMap() const override { return map; }

 private:
  static const DialogCommandEntry map[];
};
const DialogCommandEntry CancellableDialog::map[] = {
    {2, static_cast<DialogCommandHandler>(&CancellableDialog::OnCancel)},
    {1000, static_cast<DialogCommandHandler>(&CancellableDialog::OnOK)},
    {0, nullptr},
};

class HeadlessDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    headless::SetResources(Load());
    headless::DialogUser::Get().Reset();
    headless::DialogUser::Get().SetFailureHandler(
        [this](const std::string& message) { failures.push_back(message); });
  }
  void TearDown() override {
    headless::DialogUser::Get().SetFailureHandler(nullptr);
  }
  std::vector<std::string> failures;
};

TEST_F(HeadlessDialogTest, MappedCommandsEndTheDialogAndAutoCheckBoxesToggle) {
  headless::DialogUser& user = headless::DialogUser::Get();
  user.Expect(104, {headless::Click(1001), headless::PressEscape()});
  CancellableDialog dialog;
  EXPECT_EQ(dialog.DoModal(), 2);
  EXPECT_TRUE(dialog.initialised);
  EXPECT_EQ(dialog.GetSafeHwnd(), 0u);
  ASSERT_EQ(user.Shown().size(), 1u);
  EXPECT_EQ(user.Shown()[0].owner, 0x77u);
  EXPECT_EQ(user.Shown()[0].checksAtStart.at(1001), kBstChecked);
  EXPECT_EQ(user.Shown()[0].ignoredActs,
            std::vector<std::string>{"click 1001"});
  EXPECT_TRUE(user.Done());
  EXPECT_TRUE(failures.empty());
}

TEST_F(HeadlessDialogTest, ScriptMistakesAreReported) {
  headless::DialogUser& user = headless::DialogUser::Get();
  CancellableDialog dialog;
  // Nobody expected it.
  EXPECT_EQ(dialog.DoModal(), -1);
  // Left open after the last act; then a click on no control.
  user.Expect(104, {headless::Click(1001)});
  EXPECT_EQ(dialog.DoModal(), -1);
  user.Expect(104, {headless::Click(4242), headless::Click(1000),
                    headless::Click(1000)});
  EXPECT_EQ(dialog.DoModal(), 1);
  // A missing template.
  user.Expect(999, {});
  CDialog other(999, 0);
  EXPECT_EQ(other.DoModal(), -1);
  user.Expect(104, {});
  EXPECT_FALSE(user.Done());
  EXPECT_EQ(failures,
            (std::vector<std::string>{
                "dialog 104 was shown but nobody expected it",
                "dialog 104 is still open after the user's acts",
                "dialog 104 has no control 4242 to click",
                "dialog 104 ended before the user could click 1000",
                "dialog 999: no such dialog template in the resources",
                "dialog 104 was expected but never shown",
            }));
}

// Exchanges the check box's text with a buffer too small for it.
class TextDialog : public CDialog {
 public:
  TextDialog() : CDialog(104, 0) {}
  void DoDataExchange(CDataExchange* dx) override {
    DDX_Text(dx, 1001, text, sizeof text);
  }
  char text[8] = "Run";

 protected:
  const DialogCommandEntry* GetCommandMap() const override { return map; }

 private:
  static const DialogCommandEntry map[];
};
const DialogCommandEntry TextDialog::map[] = {
    {1000, static_cast<DialogCommandHandler>(&TextDialog::OnOK)},
    {0, nullptr},
};

TEST_F(HeadlessDialogTest, TextIsExchangedCutToTheBufferAndTypedOnlyInEdits) {
  headless::DialogUser& user = headless::DialogUser::Get();
  user.Expect(104, {headless::Type(1001, "x"), headless::Click(1000)});
  TextDialog dialog;
  EXPECT_EQ(dialog.DoModal(), 1);
  ASSERT_EQ(user.Shown().size(), 1u);
  EXPECT_EQ(user.Shown()[0].textsAtStart.at(1001), "Run");
  EXPECT_STREQ(dialog.text, "Run");
  EXPECT_EQ(
      failures,
      (std::vector<std::string>{"dialog 104 has no edit 1001 to type into"}));

  // The template's text, longer than the buffer, comes back cut.
  failures.clear();
  dialog.text[0] = '\0';
  user.Expect(104, {headless::Click(1000)});
  class Untouched : public TextDialog {
    bool OnInitDialog() override { return true; }
  } untouched;
  EXPECT_EQ(untouched.DoModal(), 1);
  EXPECT_STREQ(untouched.text, "Run Pel");
  EXPECT_TRUE(failures.empty());
}

TEST_F(HeadlessDialogTest, ResourceStringsComeFromTheScript) {
  char text[32];
  EXPECT_EQ(AfxLoadString(IDS_OPINION, text, sizeof text), 31);
  EXPECT_STREQ(text, "It is important for the author ");
  EXPECT_EQ(AfxLoadString(9999, text, sizeof text), 0);
  EXPECT_STREQ(text, "");
}

TEST(ResourceScript, BadScriptsAreRefusedWithTheirLine) {
  const struct {
    const char* script;
    const char* error;
  } cases[] = {
      {"1 DIALOG 0, 0, 10, 10\nBEGIN\n  CONTROL \"x\", 5, \"Button\", "
       "BS_UNKNOWN, 1, 2, 3, 4\nEND\n",
       ":3: unknown name BS_UNKNOWN"},
      {"1 CURSOR \"arrow.cur\"\n", ":1: unsupported resource statement"},
      {"STRINGTABLE\nBEGIN\n  1 \"open\n", ":3: unended string"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.script);
    std::string path = ::testing::TempDir() + "/bad.rc";
    std::ofstream(path) << c.script;
    headless::Resources resources;
    std::string error;
    EXPECT_FALSE(headless::ParseResourceScript(path, &resources, &error));
    EXPECT_EQ(error, path + c.error);
  }
}

}  // namespace
