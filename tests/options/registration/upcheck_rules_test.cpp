#include "options/registration/upcheck_rules.h"

#include <gtest/gtest.h>

TEST(UpCheckRules, ErrorNumbersLieInTheComponentRange) {
  const std::pair<UpCheckError, uint32_t> cases[] = {
      {UpCheckError::NotInstalled, 0x80040001u},    {UpCheckError::NoMailAddress, 0x80040002u},
      {UpCheckError::NoAuthor, 0x80040003u},        {UpCheckError::NoInfoUrl, 0x80040004u},
      {UpCheckError::NoDistinctName, 0x80040005u},  {UpCheckError::NegativeIconIndex, 0x80040006u},
      {UpCheckError::RegistryFailure, 0x8004000Au},
  };
  for (auto [error, number] : cases) {
    AppError raised = MakeUpCheckError(error);
    EXPECT_EQ(raised.Number(), number);
    EXPECT_EQ(raised.Description(), UpCheckErrorText(error));
    EXPECT_FALSE(raised.Description().empty());
  }
  EXPECT_EQ(UpCheckErrorText(UpCheckError::RegistryFailure),
            L"レジストリに原因不明のエラーが発生しアクセスできません");
  EXPECT_EQ(UpCheckErrorText(UpCheckError::NotInstalled),
            L"カネナリがインストールされていないのでソフトの情報が書き込めません");
}

TEST(UpCheckRules, BuildIn16BitArithmetic) {
  EXPECT_EQ(ComputeBuild(2, 0, 19), 20019);
  EXPECT_EQ(ComputeBuild(3, 27, 67), 32767);
  EXPECT_EQ(ComputeBuild(0, 0, 0), 0);
  auto overflows = [](int major, int minor, int revision) {
    try {
      ComputeBuild(major, minor, revision);
    } catch (const AppError& error) {
      return error.Number() == kOverflowError;
    }
    return false;
  };
  EXPECT_TRUE(overflows(3, 27, 68));    // one above the range
  EXPECT_TRUE(overflows(4, 0, 0));      // the first product already leaves it
  EXPECT_TRUE(overflows(0, 328, 0));    // so does the minor's
  EXPECT_TRUE(overflows(0, 0, 40000));  // an operand outside the range
}

TEST(UpCheckRules, JoinPathKeepsOneSeparator) {
  EXPECT_EQ(JoinPath(L"C:\\", L"VELNOIR.EXE"), L"C:\\VELNOIR.EXE");
  EXPECT_EQ(JoinPath(L"C:\\Tools", L"VELNOIR.EXE"), L"C:\\Tools\\VELNOIR.EXE");
  EXPECT_EQ(JoinPath(L"C:\\ab", L"x"), L"C:\\ab\\x");
  EXPECT_EQ(JoinPath(L"", L"x"), L"\\x");
}

TEST(UpCheckRules, ExecutableBaseNameDropsOnlyTheExtension) {
  EXPECT_EQ(ExecutableBaseName(L"C:\\Tools\\velnoir.exe"), L"velnoir");
  EXPECT_EQ(ExecutableBaseName(L"C:\\my.tools\\Velnoir.SE.exe"), L"Velnoir.SE");
  EXPECT_EQ(ExecutableBaseName(L"C:\\Tools\\velnoir"), L"velnoir");
}

TEST(UpCheckRules, NewerBuildComparisonIsSigned) {
  EXPECT_FALSE(IsNewerBuildKnown(-1, 0, 20019));
  EXPECT_FALSE(IsNewerBuildKnown(20020, -1, 20019));  // a next build below ours
}
