// The seam's formatting: printf conversions through the C runtime, the
// buffer always terminated, -1 when the text was cut.
#include <cstring>

#include "tests/contract/ContractTest.h"

namespace {

TEST(FormatContract, FormatsAndCountsTheText) {
  char buffer[32];
  EXPECT_EQ(platform::Format(buffer, sizeof(buffer), "%s %d %04X %c%%",
                             "D:", -12, 0xBEEFu, 'x'),
            14);
  EXPECT_STREQ(buffer, "D: -12 BEEF x%");
}

TEST(FormatContract, ExactFitIsKeptAndOneMoreIsCutButTerminated) {
  char buffer[6];
  memset(buffer, '#', sizeof(buffer));
  EXPECT_EQ(platform::Format(buffer, sizeof(buffer), "%s", "12345"), 5);
  EXPECT_STREQ(buffer, "12345");

  memset(buffer, '#', sizeof(buffer));
  EXPECT_EQ(platform::Format(buffer, sizeof(buffer), "%s", "123456"), -1);
  EXPECT_EQ(buffer[sizeof(buffer) - 1], '\0');
  EXPECT_LT(strlen(buffer), sizeof(buffer));

  // Nothing fits in no buffer, not even the terminator.
  EXPECT_EQ(platform::Format(buffer, 0, "%s", ""), -1);
}

}  // namespace
