// For tests that call the real VBMP3.dll beside them: the library loaded
// and started once for the whole test program, a stand-in for a volume
// without short names, and scratch files to read. A test registers the environment itself:
//   const auto* const kEnvironment =
//       ::testing::AddGlobalTestEnvironment(new Vbmp3Environment);
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "audio_library/tag_access.h"
#include "audio_library/library_path.h"
#include "audio_library/vbmp3_api.h"
#include "tests/support/test_files.h"

class Vbmp3Environment : public ::testing::Environment {
 public:
  void SetUp() override {
    ASSERT_TRUE(LoadVbmp3()) << "VBMP3.dll beside the test";
    ASSERT_TRUE(Vbmp3Succeeded(g_vbmp3->init()));
  }
  void TearDown() override {
    if (g_vbmp3->free) g_vbmp3->free();
  }
};

// GetShortPathNameW on a volume that keeps no short (8.3) names.
inline DWORD WINAPI NoShortName(const wchar_t*, wchar_t*, DWORD) {
  SetLastError(ERROR_INVALID_PARAMETER);
  return 0;
}

// Files in a scratch folder for the library to read.
class LibraryFileTest : public ::testing::Test {
 protected:
  void SetUp() override { folder_ = std::make_unique<testing_files::ScratchFolder>(L"library"); }
  void TearDown() override { folder_.reset(); }
  std::wstring File(const std::wstring& name, const std::string& bytes) {
    std::wstring path = *folder_ / name;
    testing_files::WriteBytes(path, bytes);
    return path;
  }
  std::unique_ptr<testing_files::ScratchFolder> folder_;
};
