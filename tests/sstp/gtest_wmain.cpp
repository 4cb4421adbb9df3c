// Windows test exes link with -municode, whose start-up code calls wmain;
// GoogleTest's own main would never run.
#include <gtest/gtest.h>

int wmain(int argc, wchar_t** argv) {
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
