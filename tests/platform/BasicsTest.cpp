#include "platform/ColorRef.h"
#include "platform/RWError.h"
#include "platform/Rounding.h"
#include "platform/SqlValue.h"
#include "platform/Twips.h"

#include <QGuiApplication>
#include <QScreen>

#include <gtest/gtest.h>

namespace {

TEST(RoundingTest, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(RoundHalfEven(2.5), 2.0);
  EXPECT_EQ(RoundHalfEven(3.5), 4.0);
  EXPECT_EQ(RoundHalfEven(-2.5), -2.0);
  EXPECT_EQ(RoundHalfEven(0.5), 0.0);
  EXPECT_EQ(RoundHalfEven(2.5001), 3.0);
  EXPECT_EQ(RoundHalfEven(0.125, 2), 0.12);
  EXPECT_EQ(RoundHalfEven(0.375, 2), 0.38);
  EXPECT_EQ(CLng(1.5), 2);
  EXPECT_EQ(CLng(-1.5), -2);
  EXPECT_EQ(CInt(32767.4), 32767);
}

TEST(RoundingTest, OutOfRangeConversionsOverflow) {
  EXPECT_EQ(CLng(2147483647.0), 2147483647);
  EXPECT_EQ(CLng(-2147483648.0), -2147483647 - 1);
  for (double bad : {2147483647.5, 2147483648.0, -2147483649.0, 1e300}) {
    try {
      CLng(bad);
      ADD_FAILURE() << bad;
    } catch (const RWError& e) {
      EXPECT_EQ(e.Number(), kErrOverflow);
    }
  }
  EXPECT_THROW(CInt(32767.5), RWError) << "32767.5 rounds to 32768";
  EXPECT_EQ(CInt(-32768.5), -32768) << "and -32768.5 to -32768";
}

TEST(ColorRefTest, RedLivesInTheLowByte) {
  const COLORREF orange = RGB(255, 128, 0);
  EXPECT_EQ(orange, 0x000080FFu);
  EXPECT_EQ(ColorRefToQColor(orange), QColor(255, 128, 0));
  EXPECT_EQ(QColorToColorRef(QColor(10, 20, 30)), RGB(10, 20, 30));
  EXPECT_EQ(QColorToColorRef(QColor::fromHsv(0, 255, 255)), RGB(255, 0, 0));
  const CairoRGB c = ColorRefToCairo(RGB(255, 0, 51));
  EXPECT_DOUBLE_EQ(c.r, 1.0);
  EXPECT_DOUBLE_EQ(c.b, 0.2);
}

TEST(TwipsTest, FifteenTwipsPerPixelOnTheTestScreen) {
  EXPECT_DOUBLE_EQ(TwipsPerPixelX(), 15.0);
  EXPECT_DOUBLE_EQ(TwipsPerPixelY(), 15.0);
  EXPECT_EQ(TwipsToPixelsX(1500), 100);
  EXPECT_EQ(TwipsToPixelsX(22.5), 2) << "1.5 pixels round to even";
  EXPECT_EQ(TwipsToPixelsY(37.5), 2) << "2.5 pixels round to even";
  EXPECT_DOUBLE_EQ(PixelsToTwipsY(10), 150.0);
}

TEST(SqlValueTest, LooseConversionsFollowTheStoredType) {
  EXPECT_EQ(SqlValue(QStringLiteral(" 42 ")).toInt(), 42);
  EXPECT_EQ(SqlValue("2.5").toInt(), 2);
  EXPECT_EQ(SqlValue("3.5").toInt(), 4);
  EXPECT_DOUBLE_EQ(SqlValue("1e3").toDouble(), 1000.0);
  EXPECT_EQ(SqlValue("abc").toInt(), 0);
  EXPECT_EQ(SqlValue().toString(), QString());
  EXPECT_EQ(SqlValue(0.1).toString(), QStringLiteral("0.1"));
  EXPECT_EQ(SqlValue(1e21).toString(), QStringLiteral("1e+21"));
  EXPECT_EQ(SqlValue(int64_t{9007199254740993}).toString(), QStringLiteral("9007199254740993"));
  EXPECT_TRUE(SqlValue("True").toBool());
  EXPECT_FALSE(SqlValue("0").toBool());
  EXPECT_EQ(SqlValue(QDate()).type(), SqlValue::Type::Null);
  EXPECT_EQ(SqlValue(QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5))).toString(), QStringLiteral("2026-01-02 03:04:05"));
}

}  // namespace
