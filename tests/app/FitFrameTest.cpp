// Where the main frame opens, as a table of work areas and lists.
#include <gtest/gtest.h>

#include "shell/MainFrame.h"

namespace {

struct FitCase {
  const char* name;
  CRect frame;  // the maximized frame's window rectangle
  CRect list;   // the list's client rectangle
  int rows;
  CRect lastRow;
  bool placed;
  CRect normal;
};

// A 1024 x 768 work area with a 4-pixel border, and an 800 x 600 one with
// a 3-pixel border.
const FitCase cases[] = {
    {"empty list keeps the default size", CRect(-4, -4, 1028, 772),
     CRect(0, 0, 1016, 600), 0, CRect(), false, CRect(0, 0, 1024, 768)},
    {"a short list is centred and half the height", CRect(-4, -4, 1028, 772),
     CRect(0, 0, 1016, 600), 6, CRect(0, 100, 600, 116), true,
     CRect(204, 192, 820, 576)},
    {"a list taller than the work area fills it", CRect(-4, -4, 1028, 772),
     CRect(0, 0, 1016, 600), 26, CRect(0, 1000, 1100, 1016), true,
     CRect(0, 0, 1024, 768)},
    {"free height less than half is taken whole, halves rounded down",
     CRect(-3, -3, 803, 603), CRect(0, 0, 794, 500), 20,
     CRect(0, 300, 601, 317), true, CRect(93, 80, 707, 520)},
};

TEST(FitFrameTest, FrameFitsTheListOnTheWorkArea) {
  for (const FitCase& c : cases) {
    CRect normal;
    EXPECT_EQ(FitFrameRectangle(c.frame, c.list, c.rows, c.lastRow, &normal),
              c.placed)
        << c.name;
    EXPECT_EQ(normal, c.normal)
        << c.name << ": " << normal.left << "," << normal.top << ","
        << normal.right << "," << normal.bottom;
  }
}

}  // namespace
