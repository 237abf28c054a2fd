// A dialog's data exchange and its control objects, in any world: text,
// check boxes and whole numbers with their validation messages, the
// up-down control with its buddy, and the icon static. Each test acts in
// the dialog's OnInitDialog, as a user would with the dialog on screen.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/Dialog.h"
#include "framework/DialogControls.h"
#include "framework/System.h"
#include "framework/WinApp.h"
#include "platform/Platform.h"
#include "tests/framework/DialogTestIds.h"
#include "tests/framework/FrameworkWorld.h"

namespace {

const int kIdOk = 1;
const unsigned kExclamationOk = 0x30;  // MB_ICONEXCLAMATION | MB_OK
const char kNumber[] = "Please enter a whole number.";
const char kRange[] = "Please enter a whole number from 1 to 26.";

// The message boxes the framework shows, each answered with OK.
class RecordingPrompts : public platform::UserPrompts {
 public:
  struct Box {
    WindowHandle owner;
    std::string text, caption;
    uint32_t type;
  };
  std::vector<Box> boxes;
  int MessageBoxA(WindowHandle owner, const char* text, const char* caption,
                  uint32_t type) override {
    boxes.push_back({owner, text, caption, type});
    return kIdOk;
  }
};

class ExchangeDialog : public CDialog {
 public:
  ExchangeDialog() : CDialog(IDD_EXCHANGE, 0) {}

  char name[8] = "";
  int32_t flag = 0;
  int32_t count = 0;
  CSpinButtonCtrl spin;
  CStatic picture;
  CStatic label;
  // What the user does once the controls exist.
  std::function<void(ExchangeDialog&)> during;

  // The count first: a count that does not pass leaves the others alone.
  void DoDataExchange(CDataExchange* dx) override {
    DDX_Control(dx, IDC_COUNT_SPIN, spin);
    DDX_Control(dx, IDC_PICTURE, picture);
    DDX_Control(dx, IDC_LABEL, label);
    DDX_Text(dx, IDC_COUNT, count);
    DDV_MinMaxInt(dx, count, 1, 26);
    DDX_Text(dx, IDC_NAME, name, sizeof name);
    DDX_Check(dx, IDC_FLAG, flag);
  }

  bool OnInitDialog() override {
    CDialog::OnInitDialog();
    if (during) during(*this);
    EndDialog(kIdOk);
    return true;
  }

  std::string Text(int id) const {
    char text[64];
    GetDlgItemText(id, text, sizeof text);
    return text;
  }
};

class DialogTest : public testing::Test {
 protected:
  DialogTest() : scope(Prompts()) {}

  platform::Platform Prompts() {
    platform::Platform world = {};
    world.prompts = &prompts;
    return world;
  }

  // Runs the dialog with `during` as the user's part; false when it did
  // not run to its end.
  bool Run(std::function<void(ExchangeDialog&)> during) {
    dialog.during = std::move(during);
    return frameworkworld::RunDialog(dialog) == kIdOk;
  }

  RecordingPrompts prompts;
  platform::PlatformScope scope;
  CWinApp app{"Framework test"};
  ExchangeDialog dialog;
};

TEST_F(DialogTest, TextCheckAndNumberGoBothWays) {
  dialog.count = 7;
  dialog.flag = 1;
  snprintf(dialog.name, sizeof dialog.name, "abc");
  ASSERT_TRUE(Run([](ExchangeDialog& d) {
    EXPECT_EQ(d.Text(IDC_NAME), "abc");
    EXPECT_EQ(d.IsDlgButtonChecked(IDC_FLAG), kBstChecked);
    EXPECT_EQ(d.Text(IDC_COUNT), "7");
    // The user's changes; a name longer than the member is cut to it.
    d.SetDlgItemText(IDC_NAME, "abcdefghij");
    d.CheckDlgButton(IDC_FLAG, kBstUnchecked);
    d.SetDlgItemText(IDC_COUNT, " 12 ");
    EXPECT_TRUE(d.UpdateData(true));
  }));
  EXPECT_STREQ(dialog.name, "abcdefg");
  EXPECT_EQ(dialog.flag, 0);
  EXPECT_EQ(dialog.count, 12);
  EXPECT_TRUE(prompts.boxes.empty());
}

TEST_F(DialogTest, ANumberOutOfFormOrRangeFailsWithOneMessage) {
  struct Case {
    const char* typed;
    const char* message;  // null: passes
    int32_t count;        // the member afterwards
  };
  const Case cases[] = {
      {"", kNumber, 5},   {"abc", kNumber, 5},        {"1 2", kNumber, 5},
      {"+", kNumber, 5},  {"4294967296", kNumber, 5}, {"0", kRange, 0},
      {"27", kRange, 27}, {"-3", kRange, -3},         {"26", nullptr, 26},
      {"+1", nullptr, 1}, {"\t9", nullptr, 9},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    prompts.boxes.clear();
    dialog.count = 5;
    snprintf(dialog.name, sizeof dialog.name, "old");
    WindowHandle window = 0;
    bool passed = false;
    ASSERT_TRUE(Run([&](ExchangeDialog& d) {
      window = d.GetSafeHwnd();
      d.SetDlgItemText(IDC_COUNT, c.typed);
      d.SetDlgItemText(IDC_NAME, "new");
      passed = d.UpdateData(true);
    }));
    EXPECT_EQ(passed, c.message == nullptr);
    EXPECT_EQ(dialog.count, c.count);
    // The exchange stopped at the count.
    EXPECT_STREQ(dialog.name, c.message ? "old" : "new");
    if (c.message == nullptr) {
      EXPECT_TRUE(prompts.boxes.empty());
      continue;
    }
    ASSERT_EQ(prompts.boxes.size(), 1u);
    EXPECT_EQ(prompts.boxes[0].text, c.message);
    EXPECT_EQ(prompts.boxes[0].caption, "Framework test");
    EXPECT_EQ(prompts.boxes[0].type, kExclamationOk);
    EXPECT_EQ(prompts.boxes[0].owner, window);
  }
}

TEST_F(DialogTest, UpDownKeepsItsRangeAndWritesItsBuddy) {
  ASSERT_TRUE(Run([](ExchangeDialog& d) {
    // The range an up-down control starts with runs from 100 down to 0.
    int lower = 0, upper = 0;
    d.spin.GetRange(&lower, &upper);
    EXPECT_EQ(lower, 100);
    EXPECT_EQ(upper, 0);
    d.spin.SetRange(1, 26);
    d.spin.GetRange(&lower, &upper);
    EXPECT_EQ(lower, 1);
    EXPECT_EQ(upper, 26);
    EXPECT_EQ(d.spin.GetBuddy(), d.GetDlgItem(IDC_COUNT));
    d.spin.SetPos(5);
    EXPECT_EQ(d.Text(IDC_COUNT), "5");
    EXPECT_EQ(d.spin.SetPos(40), 5);
    EXPECT_EQ(d.Text(IDC_COUNT), "26");
    bool error = true;
    EXPECT_EQ(d.spin.GetPos(&error), 26);
    EXPECT_FALSE(error);
    // The position follows what the user typed into the buddy, while it
    // is a number in the range.
    d.SetDlgItemText(IDC_COUNT, "13");
    EXPECT_EQ(d.spin.GetPos(&error), 13);
    EXPECT_FALSE(error);
    for (const char* typed : {"x", "27", ""}) {
      d.SetDlgItemText(IDC_COUNT, typed);
      EXPECT_EQ(d.spin.GetPos(&error), 13) << typed;
      EXPECT_TRUE(error) << typed;
    }
    // Disabled and enabled again: EnableWindow tells the state before.
    EXPECT_TRUE(d.spin.IsWindowEnabled());
    EXPECT_FALSE(d.spin.EnableWindow(false));
    EXPECT_FALSE(d.spin.IsWindowEnabled());
    EXPECT_FALSE(d.IsDlgItemEnabled(IDC_COUNT_SPIN));
    EXPECT_TRUE(d.spin.EnableWindow(true));
    EXPECT_TRUE(d.spin.IsWindowEnabled());
    d.SetDlgItemText(IDC_COUNT, "8");
    EXPECT_TRUE(d.UpdateData(true));
  }));
  EXPECT_EQ(dialog.count, 8);
}

TEST_F(DialogTest, OnlyAnIconStaticShowsAnIcon) {
  const IconHandle icon = AfxLoadStandardCursor(kIdcArrow);
  ASSERT_NE(icon, 0u);
  dialog.count = 1;
  ASSERT_TRUE(Run([&](ExchangeDialog& d) {
    EXPECT_EQ(d.picture.GetIcon(), 0u);
    EXPECT_EQ(d.picture.SetIcon(icon), 0u);
    EXPECT_EQ(d.picture.GetIcon(), icon);
    EXPECT_EQ(d.label.SetIcon(icon), 0u);
    EXPECT_EQ(d.label.GetIcon(), 0u);
    EXPECT_EQ(d.Text(IDC_LABEL), "Label");
  }));
  // An object not bound to a control answers nothing.
  CStatic unbound;
  EXPECT_EQ(unbound.SetIcon(icon), 0u);
  EXPECT_FALSE(unbound.IsWindowEnabled());
}

}  // namespace
