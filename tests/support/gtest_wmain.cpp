// Test exes that link with -municode start at wmain, and GoogleTest's own
// main would never run; this one starts the tests.
#include <gtest/gtest.h>

int wmain(int argc, wchar_t** argv) {
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
