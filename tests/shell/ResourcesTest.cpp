// Kromva32's resources as its .rc script gives them to the .exe: the
// dialogs, the prompt strings, the menu, accelerators and toolbars, the
// pictures they name; and the resource-script reader's statements for
// them.
#include <gtest/gtest.h>
#include <stdint.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "framework/headless/Dialogs.h"

namespace {

const uint32_t kWsPopup = 0x80000000u, kWsVisible = 0x10000000u,
               kWsCaption = 0x00C00000u, kWsSysMenu = 0x00080000u,
               kWsGroup = 0x00020000u, kWsTabStop = 0x00010000u,
               kDsModalFrame = 0x80u, kDsCenter = 0x800u;
const unsigned kFVirtKey = 0x01, kFControl = 0x08;

class KromvaResources : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(headless::ParseResourceScript(KROMVA32_RC, &resources, &error))
        << error;
  }
  std::string Folder() const {
    const std::string rc = KROMVA32_RC;
    return rc.substr(0, rc.rfind('/'));
  }
  std::vector<unsigned char> ReadFile(const std::string& name) const {
    std::ifstream in(Folder() + "/" + name, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
  }
  headless::Resources resources;
};

unsigned Word(const std::vector<unsigned char>& data, size_t at) {
  return data[at] | data[at + 1] << 8;
}
int Long(const std::vector<unsigned char>& data, size_t at) {
  return static_cast<int>(Word(data, at) | Word(data, at + 2) << 16);
}

struct ExpectedControl {
  int id;
  const char* className;
  uint32_t kind;   // the low style bits: the BS_ or SS_ kind
  uint32_t flags;  // WS_GROUP and WS_TABSTOP
  const char* text;
  int x, y, width, height;
};

void ExpectControls(const headless::DialogTemplate& dialog,
                    const std::vector<ExpectedControl>& expected) {
  ASSERT_EQ(dialog.controls.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    const headless::DialogControl& control = dialog.controls[i];
    SCOPED_TRACE(control.text);
    EXPECT_EQ(control.id, expected[i].id);
    EXPECT_EQ(control.className, expected[i].className);
    EXPECT_EQ(control.style & 0x0F, expected[i].kind);
    EXPECT_EQ(control.style & (kWsGroup | kWsTabStop), expected[i].flags);
    if (expected[i].text != nullptr) {
      EXPECT_EQ(control.text, expected[i].text);
    }
    EXPECT_EQ(control.x, expected[i].x);
    EXPECT_EQ(control.y, expected[i].y);
    EXPECT_EQ(control.width, expected[i].width);
    EXPECT_EQ(control.height, expected[i].height);
  }
}

TEST_F(KromvaResources, OptionsDialogHasItsRadioGroupAndButtons) {
  ASSERT_EQ(resources.dialogs.count(134), 1u);
  const headless::DialogTemplate& dialog = resources.dialogs.at(134);
  EXPECT_EQ(dialog.caption, "Options");
  const uint32_t frame = kDsModalFrame | kWsPopup | kWsCaption | kWsSysMenu;
  EXPECT_EQ(dialog.style & frame, frame);
  EXPECT_EQ(dialog.fontName, "MS Sans Serif");
  EXPECT_EQ(dialog.fontSize, 8);
  EXPECT_EQ(dialog.width, 235);
  EXPECT_EQ(dialog.height, 80);
  ExpectControls(
      dialog, {{1005, "Button", 0x9, kWsGroup | kWsTabStop,
                "Save by serial number", 15, 21, 84, 12},
               {1006, "Button", 0x9, 0, "Save by label", 15, 36, 90, 15},
               {1, "Button", 0x1, kWsGroup | kWsTabStop, "OK", 165, 9, 50, 14},
               {2, "Button", 0x0, kWsTabStop, "Cancel", 165, 33, 50, 14},
               {-1, "Button", 0x7, 0,
                "How to save letters for DOS-visible drives", 6, 9, 144, 51}});
}

TEST_F(KromvaResources, LabelAndSerialDialogsHaveTheirEditsAndButtons) {
  const uint32_t frame = kDsModalFrame | kWsPopup | kWsCaption | kWsSysMenu;
  const uint32_t kEsAutoHScroll = 0x80u, kWsBorder = 0x00800000u;
  ASSERT_EQ(resources.dialogs.count(132), 1u);
  const headless::DialogTemplate& label = resources.dialogs.at(132);
  EXPECT_EQ(label.caption, "Setting Volume Label");
  EXPECT_EQ(label.style & frame, frame);
  EXPECT_EQ(label.width, 141);
  EXPECT_EQ(label.height, 73);
  ExpectControls(label,
                 {{1001, "Static", 0x0, 0, "", 15, 6, 117, 12},
                  {1000, "Edit", 0x0, kWsTabStop, "", 25, 25, 92, 14},
                  {1, "Button", 0x1, kWsTabStop, "OK", 33, 48, 33, 12},
                  {2, "Button", 0x0, kWsTabStop, "Cancel", 75, 48, 33, 12}});
  EXPECT_EQ(label.Control(1000)->style & (kEsAutoHScroll | kWsBorder),
            kEsAutoHScroll | kWsBorder);

  ASSERT_EQ(resources.dialogs.count(133), 1u);
  const headless::DialogTemplate& serial = resources.dialogs.at(133);
  EXPECT_EQ(serial.caption, "Serial Number");
  EXPECT_EQ(serial.style & frame, frame);
  EXPECT_EQ(serial.width, 138);
  EXPECT_EQ(serial.height, 70);
  // The edits' kind bit is ES_UPPERCASE; the static texts are centred.
  ExpectControls(serial,
                 {{1001, "Static", 0x1, 0, "", 2, 6, 133, 13},
                  {1002, "Edit", 0x8, kWsTabStop, "", 35, 21, 30, 11},
                  {-1, "Static", 0x1, 0, "-", 65, 23, 8, 8},
                  {1003, "Edit", 0x8, kWsTabStop, "", 73, 21, 30, 11},
                  {1, "Button", 0x1, kWsTabStop, "OK", 20, 45, 36, 12},
                  {2, "Button", 0x0, kWsTabStop, "Cancel", 71, 45, 36, 12}});
}

TEST_F(KromvaResources, AboutDialogIsACentredPopupWithTwoLines) {
  ASSERT_EQ(resources.dialogs.count(143), 1u);
  const headless::DialogTemplate& dialog = resources.dialogs.at(143);
  const uint32_t style = kWsPopup | kWsVisible | kDsModalFrame | kDsCenter;
  EXPECT_EQ(dialog.style & style, style);
  EXPECT_EQ(dialog.style & kWsCaption, 0u);
  EXPECT_EQ(dialog.fontName, "MS Sans Serif");
  EXPECT_EQ(dialog.fontSize, 8);
  EXPECT_EQ(dialog.width, 270);
  EXPECT_EQ(dialog.height, 67);
  // The notice line's text is the product's own; it only has to be there.
  ExpectControls(dialog,
                 {{1036, "Static", 0x1, 0, "Pelmora v1.2.0", 7, 7, 230, 21},
                  {1037, "Static", 0x1, 0, nullptr, 7, 39, 256, 20}});
  EXPECT_FALSE(dialog.Control(1037)->text.empty());
}

TEST_F(KromvaResources, EveryCommandHasItsPromptAndTheLettersHaveNone) {
  const struct {
    unsigned id;
    const char* text;
  } expected[] = {
      {128, "Pelmora"},
      {57345, "Ready"},
      {57603, "Save letters\nSave"},
      {32816, "Temporarrily disable Pelmora and exit\nDisable and exit"},
      {57665, "Quit the application; prompts to save letters\nExit"},
      {57632, "Clear the letter for the selected item\nClear selection"},
      {57633, "Clear all letter assignments ( the \"New\" column )\nClear All"},
      {32817,
       "Restore original letters ( copy the \"Old\" column to the \"New\" "
       "column )\nRestore Original"},
      {59392, "Show or hide the toolbar\nToggle ToolBar"},
      {32948, "Show or hide the letter bar\nToggle Letter Bar"},
      {59393, "Show or hide the status bar\nToggle Status Bar"},
      {32797, "Refresh drive information\nRefresh"},
      {32812, "Change options\nOptions"},
      {32808, "Set the label for the selected drive\nSet label"},
      {32809,
       "Set the serial number for the selected drive.\nSet serial number"},
      {32813,
       "Show device properties for the selected drive\nDevice "
       "properties"},
      {32950, "Displays the table of contents for the help."},
      {32957, "Please, leave your opinion about Pelmora !"},
      {57664,
       "Display program information, version number and copyright\nAbout"},
  };
  for (const auto& e : expected) {
    SCOPED_TRACE(e.id);
    ASSERT_EQ(resources.strings.count(e.id), 1u);
    EXPECT_EQ(resources.strings.at(e.id), e.text);
  }
  EXPECT_EQ(resources.strings.size(), std::size(expected));
  for (unsigned id = 32771; id <= 32796; ++id)
    EXPECT_EQ(resources.strings.count(id), 0u) << id;
}

TEST_F(KromvaResources, MenuHoldsTheCommandsInTheirOrder) {
  ASSERT_EQ(resources.menus.count(128), 1u);
  const std::vector<headless::MenuEntry>& bar = resources.menus.at(128);
  const struct {
    const char* caption;
    std::vector<std::pair<unsigned, const char*>> entries;  // 0: separator
  } expected[] = {
      {"&File",
       {{57603, "&Save\tCtrl+S"},
        {32816, "Disable And Exit"},
        {57665, "E&xit"}}},
      {"&Edit",
       {{57632, "&Clear\tDel"},
        {57633, "Clear &All\tCtrl+A"},
        {32817, "&Restore Original\tCtrl+Z"}}},
      {"&View",
       {{59392, "&Toolbar"},
        {32948, "&Letter Bar"},
        {59393, "&Status Bar"},
        {0, ""},
        {32797, "&Refresh"},
        {32812, "&Options"}}},
      {"&Tools",
       {{32808, "Set &Label"},
        {32809, "Set &Serial Number"},
        {32813, "&Device Properties"}}},
      {"&Help",
       {{32950, "&Contents\tF1"},
        {32957, "Your Opinion..."},
        {57664, "&About ..."}}},
  };
  ASSERT_EQ(bar.size(), std::size(expected));
  for (size_t i = 0; i < bar.size(); ++i) {
    SCOPED_TRACE(expected[i].caption);
    EXPECT_TRUE(bar[i].popup);
    EXPECT_EQ(bar[i].text, expected[i].caption);
    ASSERT_EQ(bar[i].items.size(), expected[i].entries.size());
    for (size_t j = 0; j < bar[i].items.size(); ++j) {
      const headless::MenuEntry& entry = bar[i].items[j];
      EXPECT_EQ(entry.separator, expected[i].entries[j].first == 0);
      EXPECT_EQ(entry.id, expected[i].entries[j].first);
      EXPECT_EQ(entry.text, expected[i].entries[j].second);
      EXPECT_FALSE(entry.popup);
      EXPECT_EQ(entry.flags, 0u);
    }
  }
}

TEST_F(KromvaResources, AcceleratorsAreVirtualKeys) {
  ASSERT_EQ(resources.accelerators.count(128), 1u);
  const std::vector<headless::Accelerator>& table =
      resources.accelerators.at(128);
  const headless::Accelerator expected[] = {
      {'S', 57603, kFVirtKey | kFControl},
      {0x2E, 57632, kFVirtKey},  // Delete
      {'A', 57633, kFVirtKey | kFControl},
      {'Z', 32817, kFVirtKey | kFControl},
      {0x70, 32950, kFVirtKey},  // F1
  };
  ASSERT_EQ(table.size(), std::size(expected));
  for (size_t i = 0; i < table.size(); ++i) {
    SCOPED_TRACE(expected[i].id);
    EXPECT_EQ(table[i].key, expected[i].key);
    EXPECT_EQ(table[i].id, expected[i].id);
    EXPECT_EQ(table[i].flags, expected[i].flags);
  }
}

// The bitmap of each toolbar holds one 16 x 15 image, 16 colours, per
// button that is not a separator.
TEST_F(KromvaResources, ToolbarsListTheirButtonsAndTheirBitmapsFit) {
  const std::vector<unsigned> mainButtons = {57603, 32816, 0,     57632, 57633,
                                             32817, 0,     32797, 32812, 0,
                                             32808, 32809, 32813, 0,     57664};
  std::vector<unsigned> letters;
  for (unsigned id = 32771; id <= 32796; ++id) letters.push_back(id);
  const struct {
    int id;
    const std::vector<unsigned>& buttons;
    int images;
  } expected[] = {{128, mainButtons, 11}, {130, letters, 26}};
  for (const auto& e : expected) {
    SCOPED_TRACE(e.id);
    ASSERT_EQ(resources.toolbars.count(e.id), 1u);
    const headless::ToolbarTemplate& toolbar = resources.toolbars.at(e.id);
    EXPECT_EQ(toolbar.width, 16);
    EXPECT_EQ(toolbar.height, 15);
    EXPECT_EQ(toolbar.ids, e.buttons);

    ASSERT_EQ(resources.bitmaps.count(e.id), 1u);
    std::vector<unsigned char> bmp = ReadFile(resources.bitmaps.at(e.id));
    ASSERT_GE(bmp.size(), 54u);
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    EXPECT_EQ(Long(bmp, 18), 16 * e.images);  // width
    EXPECT_EQ(Long(bmp, 22), 15);             // height, bottom-up
    EXPECT_EQ(Word(bmp, 28), 4u);             // bits per pixel
    // The file holds the palette and every row, padded to 4 bytes.
    const size_t rowBytes = (16 * e.images / 2 + 3) & ~3u;
    EXPECT_EQ(bmp.size(), 14u + 40 + 16 * 4 + rowBytes * 15);
  }
}

TEST_F(KromvaResources, IconHasA32And16PixelImageOf16Colours) {
  ASSERT_EQ(resources.icons.count(128), 1u);
  std::vector<unsigned char> ico = ReadFile(resources.icons.at(128));
  ASSERT_GE(ico.size(), 6u + 2 * 16);
  EXPECT_EQ(Word(ico, 0), 0u);
  EXPECT_EQ(Word(ico, 2), 1u);  // an icon, not a cursor
  ASSERT_EQ(Word(ico, 4), 2u);
  const int sizes[] = {32, 16};
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(sizes[i]);
    const size_t entry = 6 + 16 * i;
    EXPECT_EQ(ico[entry], sizes[i]);
    EXPECT_EQ(ico[entry + 1], sizes[i]);
    EXPECT_EQ(ico[entry + 2], 16);  // colours
    const size_t length = static_cast<size_t>(Long(ico, entry + 8));
    const size_t offset = static_cast<size_t>(Long(ico, entry + 12));
    ASSERT_LE(offset + length, ico.size());
    // The image: its header (height counts the mask too), the palette,
    // 4-bit colour rows and 1-bit mask rows, each padded to 4 bytes.
    EXPECT_EQ(Long(ico, offset + 4), sizes[i]);
    EXPECT_EQ(Long(ico, offset + 8), 2 * sizes[i]);
    EXPECT_EQ(Word(ico, offset + 14), 4u);
    const size_t colourRow = (sizes[i] / 2 + 3) & ~3u;
    EXPECT_EQ(length, 40u + 16 * 4 + (colourRow + 4) * sizes[i]);
  }
}

TEST_F(KromvaResources, VersionNamesPelmora120) {
  const headless::VersionInfo& version = resources.version;
  ASSERT_TRUE(version.present);
  const unsigned number[4] = {1, 2, 0, 0};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(version.fileVersion[i], number[i]);
    EXPECT_EQ(version.productVersion[i], number[i]);
  }
  EXPECT_EQ(version.fileType, 1u);  // an application
  EXPECT_EQ(version.strings.at("ProductName"), "Pelmora");
  EXPECT_EQ(version.strings.at("ProductVersion"), "1.2.0");
  EXPECT_EQ(version.strings.at("FileVersion"), "1.2.0");
  EXPECT_EQ(version.strings.at("OriginalFilename"), "Kromva32.exe");
}

TEST(ResourceScriptStatements, BadMenusAcceleratorsAndToolbarsAreRefused) {
  const struct {
    const char* script;
    const char* error;
  } cases[] = {
      {"1 MENU\nBEGIN\n  POPUP \"&File\"\n  BEGIN\n    MENUITEM \"x\" 5\n",
       ":5: ',' expected"},
      {"1 MENU\nBEGIN\n  ITEM \"x\", 5\nEND\n", ":3: menu item expected"},
      {"1 MENU\nBEGIN\n  MENUITEM \"x\", 5\n", ":4: END expected"},
      {"1 ACCELERATORS\nBEGIN\n  \"Save\", 5, VIRTKEY\nEND\n",
       ":3: accelerator key expected"},
      {"1 ACCELERATORS\nBEGIN\n  \"S\", 5, VIRTKEY, HYPER\nEND\n",
       ":3: accelerator option expected"},
      // A count that does not match the commands, and another version.
      {"1 241\nBEGIN\n  1, 16, 15, 3, 100, 0\nEND\n",
       ":1: toolbar data is not version, width, height, count and that many "
       "commands"},
      {"1 241\nBEGIN\n  2, 16, 15, 1, 100\nEND\n",
       ":1: toolbar data is not version, width, height, count and that many "
       "commands"},
      {"1 241\nBEGIN\n  1, 16, 15, 1, 70000\nEND\n",
       ":1: toolbar data holds WORDs only"},
      {"1 240\nBEGIN\n  1\nEND\n", ":1: unsupported resource type 240"},
      {"1 VERSIONINFO\nFILEDATE 1\nBEGIN\nEND\n",
       ":2: unsupported version field FILEDATE"},
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

TEST(ResourceScriptStatements, MenuOptionsAndAcceleratorKeysAreRead) {
  std::string path = ::testing::TempDir() + "/options.rc";
  std::ofstream(path) << "#define CMD 7\n"
                         "1 MENU DISCARDABLE\nBEGIN\n"
                         "  MENUITEM \"&On\", CMD, CHECKED, GRAYED\n"
                         "  POPUP \"&More\", HELP\n  BEGIN\n"
                         "    MENUITEM SEPARATOR\n  END\nEND\n"
                         "2 ACCELERATORS\nBEGIN\n"
                         "  \"^C\", CMD\n"
                         "  \"a\", CMD, ASCII, NOINVERT\n"
                         "  65, CMD, VIRTKEY, SHIFT, ALT\nEND\n";
  headless::Resources resources;
  std::string error;
  ASSERT_TRUE(headless::ParseResourceScript(path, &resources, &error)) << error;
  const std::vector<headless::MenuEntry>& menu = resources.menus.at(1);
  ASSERT_EQ(menu.size(), 2u);
  EXPECT_EQ(menu[0].id, 7u);
  EXPECT_EQ(menu[0].flags, 0x0009u);  // MF_CHECKED | MF_GRAYED
  EXPECT_TRUE(menu[1].popup);
  EXPECT_EQ(menu[1].flags, 0x4000u);  // MF_HELP
  ASSERT_EQ(menu[1].items.size(), 1u);
  EXPECT_TRUE(menu[1].items[0].separator);
  const std::vector<headless::Accelerator>& keys = resources.accelerators.at(2);
  ASSERT_EQ(keys.size(), 3u);
  EXPECT_EQ(keys[0].key, 3u);  // Ctrl+C as a character
  EXPECT_EQ(keys[0].flags, 0u);
  EXPECT_EQ(keys[1].key, unsigned('a'));
  EXPECT_EQ(keys[1].flags, 0x02u);  // FNOINVERT
  EXPECT_EQ(keys[2].key, 65u);
  EXPECT_EQ(keys[2].flags, 0x15u);  // FVIRTKEY | FSHIFT | FALT
}

}  // namespace
