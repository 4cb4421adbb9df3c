#include "settings/setting_value.h"

#include <gtest/gtest.h>

TEST(ParseInt16Setting, RoundsHalvesToEven) {
  EXPECT_EQ(ParseInt16Setting(L"2.5"), int16_t{2});
  EXPECT_EQ(ParseInt16Setting(L"3.5"), int16_t{4});
  EXPECT_EQ(ParseInt16Setting(L"-2.5"), int16_t{-2});
  EXPECT_EQ(ParseInt16Setting(L"2.51"), int16_t{3});
  EXPECT_EQ(ParseInt16Setting(L"0.4"), int16_t{0});
  EXPECT_EQ(ParseInt16Setting(L" 7 "), int16_t{7});
  EXPECT_EQ(ParseInt16Setting(L"+1"), int16_t{1});
  EXPECT_EQ(ParseInt16Setting(L"1e2"), int16_t{100});
}

TEST(ParseInt16Setting, SixteenBitRangeOnly) {
  EXPECT_EQ(ParseInt16Setting(L"32767"), int16_t{32767});
  EXPECT_EQ(ParseInt16Setting(L"-32768"), int16_t{-32768});
  EXPECT_EQ(ParseInt16Setting(L"32768"), std::nullopt);
  EXPECT_EQ(ParseInt16Setting(L"40000"), std::nullopt);
  EXPECT_EQ(ParseInt16Setting(L"32767.5"), std::nullopt);  // rounds to 32768
  EXPECT_EQ(ParseInt16Setting(L"-32768.5"), int16_t{-32768});
}

TEST(ParseInt16Setting, NotNumbers) {
  for (const wchar_t* text : {L"", L"abc", L"true", L"1x", L".", L"-", L"1e", L"1 2", L"１"})
    EXPECT_EQ(ParseInt16Setting(text), std::nullopt) << text;
}

TEST(BuildNumber, SixteenBitArithmetic) {
  EXPECT_EQ(BuildNumber(2, 0, 19), int16_t{20019});
  EXPECT_EQ(BuildNumber(3, 27, 67), int16_t{32767});
  EXPECT_EQ(BuildNumber(3, 27, 68), std::nullopt);
  EXPECT_EQ(BuildNumber(4, 0, 0), std::nullopt);
  EXPECT_EQ(BuildNumber(0, 400, 0), std::nullopt);
  // An operand out of 16 bits is refused even when the sum would fit, and
  // one too large for 32 bits never wraps into a plausible number.
  EXPECT_EQ(BuildNumber(0, 0, 40000), std::nullopt);
  EXPECT_EQ(BuildNumber(-1, 0, 40000), std::nullopt);
  EXPECT_EQ(BuildNumber(429497, 0, 0), std::nullopt);
}
