// Windows test exes link with -municode, whose start-up code calls wmain
// rather than the main that gtest_main supplies.
#include <gtest/gtest.h>

int wmain(int argc, wchar_t** argv) {
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
