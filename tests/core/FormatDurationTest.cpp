// Duration texts as exports and command lines write them, and as the
// windows show them in the user's locale.
#include "core/modReelwise.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using modReelwise::FormatDuration;

namespace {

TEST(FormatDurationTest, ColonAndUnitStylesWithAndWithoutHundredths) {
  EXPECT_EQ(FormatDuration(3725.456, true, true), QStringLiteral("1:02:05.45")) << "hundredths are cut, not rounded";
  EXPECT_EQ(FormatDuration(65, false, false), QStringLiteral("0h:01m:05s"));
  EXPECT_EQ(FormatDuration(59.999, true, false), QStringLiteral("0:00:59")) << "whole seconds are cut";
  EXPECT_EQ(FormatDuration(0, true, true), QStringLiteral("0:00:00.00"));
  EXPECT_EQ(FormatDuration(7322.0, false, true), QStringLiteral("2h:02m:02.00s"));
  EXPECT_EQ(FormatDuration(3599.996, true, true), QStringLiteral("0:59:59.99"));
}

TEST(FormatDurationTest, AllFieldsComeFromOneRoundedMillisecondCount) {
  EXPECT_EQ(FormatDuration(0.29, true, true), QStringLiteral("0:00:00.29"));
  EXPECT_EQ(FormatDuration(1.15, true, true), QStringLiteral("0:00:01.15"));
  EXPECT_EQ(FormatDuration(3599.9996, true, true), QStringLiteral("1:00:00.00"));
  EXPECT_EQ(FormatDuration(3599.9996, true, false), QStringLiteral("0:59:59"));
  EXPECT_EQ(FormatDuration(59.9996, false, true), QStringLiteral("0h:01m:00.00s"));
}

TEST(FormatDurationTest, LongDurationsDoNotOverflow) {
  EXPECT_EQ(FormatDuration(3000000, true, false), QStringLiteral("833:20:00"));
  EXPECT_EQ(FormatDuration(3000000.5, false, true), QStringLiteral("833h:20m:00.50s"));
  EXPECT_EQ(FormatDuration(2147483.648, true, true), QStringLiteral("596:31:23.64"));
}

TEST(FormatDurationTest, NegativeAndNonNumbersGiveZero) {
  EXPECT_EQ(FormatDuration(-5, true, true), QStringLiteral("0:00:00.00"));
  EXPECT_EQ(FormatDuration(std::nan(""), false, false), QStringLiteral("0h:00m:00s"));
  EXPECT_EQ(FormatDuration(-std::numeric_limits<double>::infinity(), true, false), QStringLiteral("0:00:00"));
}

TEST(FormatDurationTest, DecimalPointWhateverTheLocale) {
  const QLocale saved;
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  const QString text = FormatDuration(3725.456, true, true);
  QLocale::setDefault(saved);
  EXPECT_EQ(text, QStringLiteral("1:02:05.45"));
}

}  // namespace
