// For tests that call the real VBMP3.dll beside them: the library loaded
// and started once for the whole test program, and a stand-in for a volume
// without short names. A test registers the environment itself:
//   const auto* const kEnvironment =
//       ::testing::AddGlobalTestEnvironment(new Vbmp3Environment);
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include "audio_library/tag_reader.h"
#include "audio_library/vbmp3_api.h"

class Vbmp3Environment : public ::testing::Environment {
 public:
  void SetUp() override {
    ASSERT_TRUE(LoadVbmp3()) << "VBMP3.dll beside the test";
    ASSERT_TRUE(Vbmp3Succeeded(g_vbmp3.init()));
  }
  void TearDown() override {
    if (g_vbmp3.free) g_vbmp3.free();
  }
};

// GetShortPathNameW on a volume that keeps no short (8.3) names.
inline DWORD WINAPI NoShortName(const wchar_t*, wchar_t*, DWORD) {
  SetLastError(ERROR_INVALID_PARAMETER);
  return 0;
}
