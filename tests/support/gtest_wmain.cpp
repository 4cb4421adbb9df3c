// Test exes that link with -municode start at wmain, and GoogleTest's own
// main would never run; this one starts the tests.
#include <gtest/gtest.h>

#include <cstdio>

int wmain(int argc, wchar_t** argv) {
  // Output to a pipe is held in a buffer until exit: a test process that
  // crashed would then have printed nothing at all, not even which test
  // it was in. Unbuffered, whatever was printed before a crash is there.
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  std::setvbuf(stderr, nullptr, _IONBF, 0);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
