#include "app/about/version_line.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(VersionLine, RevisionIsPaddedToFourDigits) {
  EXPECT_EQ(VersionLine(2, 0, 19), L"Version 2.0 β6 (build.0019)");
  EXPECT_EQ(VersionLine(2, 0, 0), L"Version 2.0 β6 (build.0000)");
  EXPECT_EQ(VersionLine(2, 0, 7), L"Version 2.0 β6 (build.0007)");
  EXPECT_EQ(VersionLine(2, 0, 1234), L"Version 2.0 β6 (build.1234)");
}

TEST(VersionLine, LongRevisionKeepsAllItsDigits) {
  EXPECT_EQ(VersionLine(2, 0, 12345), L"Version 2.0 β6 (build.12345)");
  EXPECT_EQ(VersionLine(2, 0, 65535), L"Version 2.0 β6 (build.65535)");
}

TEST(VersionLine, MajorAndMinorHaveNoPadding) {
  EXPECT_EQ(VersionLine(2, 0, 19), L"Version 2.0 β6 (build.0019)");  // not "2.00"
  EXPECT_EQ(VersionLine(10, 12, 19), L"Version 10.12 β6 (build.0019)");
  EXPECT_EQ(VersionLine(0, 5, 19), L"Version 0.5 β6 (build.0019)");
}

TEST(VersionLine, NegativeRevisionKeepsItsSignBeforeThePadding) {
  EXPECT_EQ(VersionLine(2, 0, -5), L"Version 2.0 β6 (build.-0005)");
  EXPECT_EQ(VersionLine(2, 0, INT_MIN), L"Version 2.0 β6 (build.-2147483648)");
}

}  // namespace
