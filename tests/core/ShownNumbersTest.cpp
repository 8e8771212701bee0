// Sizes, durations, frame rates and counts as the windows show them: in the
// digits 0 to 9 with the locale's grouping and decimal separator, on one line.
#include "core/ShownNumbers.h"

#include <QDateTime>
#include <QLocale>
#include <QScopeGuard>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using ShownNumbers::Grouping;

struct LocaleCase {
  QLocale locale;
  const char16_t* count;      // 20000
  const char16_t* grouped;    // 1,294,538,130 bytes
  const char16_t* plain;      // the same without grouping
  const char16_t* rate;       // 29.97
  const char16_t* duration;   // 3725.456 s with hundredths
};

TEST(ShownNumbersTest, EachLocaleGroupsAndSeparatesAsItWritesNumbersInLatinDigits) {
  const QLocale saved;
  const auto restore = qScopeGuard([&saved] { QLocale::setDefault(saved); });
  const LocaleCase cases[] = {
      {QLocale(QLocale::English, QLocale::UnitedStates), u"20,000", u"1,234.568 MB", u"1234.568 MB", u"29.97",
       u"1:02:05.45"},
      {QLocale(QLocale::French, QLocale::France), u"20\u202F000", u"1\u202F234,568 MB", u"1234,568 MB", u"29,97",
       u"1:02:05,45"},
      {QLocale(QLocale::German, QLocale::Germany), u"20.000", u"1.234,568 MB", u"1234,568 MB", u"29,97",
       u"1:02:05,45"},
      // Arabic and Persian write digits of their own: with the digits 0 to 9
      // go the marks of 0 to 9, never "1\u066B699" read as 1,699.
      {QLocale(QLocale::Arabic, QLocale::Egypt), u"20,000", u"1,234.568 MB", u"1234.568 MB", u"29.97",
       u"1:02:05.45"},
      {QLocale(QLocale::Persian, QLocale::Iran), u"20,000", u"1,234.568 MB", u"1234.568 MB", u"29.97",
       u"1:02:05.45"},
  };
  for (const LocaleCase& c : cases) {
    QLocale::setDefault(c.locale);
    const std::string name = c.locale.name().toStdString();
    EXPECT_EQ(ShownNumbers::Count(20000), QString::fromUtf16(c.count)) << name;
    EXPECT_EQ(ShownNumbers::Megabytes(1294538130, Grouping::Thousands), QString::fromUtf16(c.grouped)) << name;
    EXPECT_EQ(ShownNumbers::Megabytes(1294538130, Grouping::None), QString::fromUtf16(c.plain)) << name;
    EXPECT_EQ(ShownNumbers::FrameRate(29.97f), QString::fromUtf16(c.rate)) << name;
    EXPECT_EQ(ShownNumbers::Duration(3725.456, true, true), QString::fromUtf16(c.duration)) << name;
    EXPECT_EQ(ShownNumbers::Duration(65, false, false), QStringLiteral("0h:01m:05s")) << name;
    EXPECT_EQ(ShownNumbers::BitRate(20000), QString::fromUtf16(c.count)) << name << ": bit rates are counts";
    const QString point = QString::fromUtf16(c.rate).mid(2, 1);
    EXPECT_EQ(ShownNumbers::DecimalPoint(), point.front()) << name << ": what the numbers are read back with";
  }
}

// Dates in the locale's short form, in the digits 0 to 9 whatever digits the
// locale writes; nothing for a date that is not valid.
TEST(ShownNumbersTest, DatesTakeTheLocalesShortFormInLatinDigits) {
  const QLocale saved;
  const auto restore = qScopeGuard([&saved] { QLocale::setDefault(saved); });
  const QDate leap(2024, 2, 29);
  const QDateTime evening(leap, QTime(21, 5));
  for (const QLocale& locale : {QLocale(QLocale::English, QLocale::UnitedStates), QLocale(QLocale::German, QLocale::Germany),
                                QLocale(QLocale::Arabic, QLocale::Egypt), QLocale(QLocale::Persian, QLocale::Iran)}) {
    QLocale::setDefault(locale);
    const std::string name = locale.name().toStdString();
    const QString date = ShownNumbers::Date(leap);
    EXPECT_TRUE(date.contains(QStringLiteral("29"))) << name << ": " << date.toStdString();
    const bool latin = std::all_of(date.begin(), date.end(), [](QChar c) { return !c.isDigit() || c.unicode() < 128; });
    EXPECT_TRUE(latin) << name;
    const QString stamp = ShownNumbers::DateTime(evening);
    EXPECT_TRUE(stamp.contains(QStringLiteral("29")) && stamp.contains(QStringLiteral("05"))) << name;
  }
  // Arabic sets right-to-left marks between the parts of a date: among
  // the digits 0 to 9 they would turn 9/12/2026 into "2026/12/9" on the
  // screen, so they go, and the parts read in the order written.
  QLocale::setDefault(QLocale(QLocale::Arabic, QLocale::Egypt));
  EXPECT_EQ(ShownNumbers::Date(QDate(2026, 12, 9)), QStringLiteral("9/12/2026"));
  EXPECT_EQ(ShownNumbers::DateTime(QDateTime(QDate(2026, 12, 9), QTime(21, 5))), QStringLiteral("9/12/2026 9:05 PM"))
      << "the program's words beside the digits 0 to 9, not the locale's letter";
  EXPECT_EQ(ShownNumbers::Count(-1234), QStringLiteral("-1,234")) << "nor before a minus";
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  EXPECT_EQ(ShownNumbers::Date(leap), QStringLiteral("2/29/24"));
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  EXPECT_EQ(ShownNumbers::Date(leap), QStringLiteral("29.02.24"));
  EXPECT_EQ(ShownNumbers::Date(QDate()), QString());
  EXPECT_EQ(ShownNumbers::DateTime(QDateTime()), QString());
}

// A size's number is written as the locale writes numbers, its unit in the
// program's words: File Properties shows it beside "bytes".
TEST(ShownNumbersTest, DataSizesTakeTheLocalesNumberAndTheProgramsUnit) {
  const QLocale saved;
  const auto restore = qScopeGuard([&saved] { QLocale::setDefault(saved); });
  const struct {
    QLocale locale;
    const char16_t* mega;
  } cases[] = {{QLocale(QLocale::English, QLocale::UnitedStates), u"1.18\u00A0MB"},
               {QLocale(QLocale::French, QLocale::France), u"1,18\u00A0MB"},
               {QLocale(QLocale::Arabic, QLocale::Egypt), u"1.18\u00A0MB"},
               {QLocale(QLocale::Persian, QLocale::Iran), u"1.18\u00A0MB"}};
  for (const auto& c : cases) {
    QLocale::setDefault(c.locale);
    const std::string name = c.locale.name().toStdString();
    EXPECT_EQ(ShownNumbers::DataSize(1234567), QString::fromUtf16(c.mega)) << name;
    EXPECT_EQ(ShownNumbers::DataSize(123), QStringLiteral("123\u00A0bytes")) << name;
    EXPECT_TRUE(ShownNumbers::DataSize(int64_t{3} << 30).endsWith(QStringLiteral("\u00A0GB"))) << name;
    EXPECT_TRUE(ShownNumbers::DataSize(2048).endsWith(QStringLiteral("\u00A0KB"))) << name;
  }
}

TEST(ShownNumbersTest, SizesRoundHalfAwayFromZeroAndRatesShowTheDigitsTheSingleHolds) {
  const QLocale saved;
  const auto restore = qScopeGuard([&saved] { QLocale::setDefault(saved); });
  QLocale::setDefault(QLocale::c());
  EXPECT_EQ(ShownNumbers::Megabytes(65536, Grouping::None), QStringLiteral("0.063 MB")) << "0.0625 MB";
  EXPECT_EQ(ShownNumbers::Megabytes(0, Grouping::Thousands), QStringLiteral("0.000 MB"));
  EXPECT_EQ(ShownNumbers::FrameRate(25.0f), QStringLiteral("25"));
  EXPECT_EQ(ShownNumbers::FrameRate(23.976f), QStringLiteral("23.976"));
  EXPECT_EQ(ShownNumbers::Count(-1234), QStringLiteral("-1,234"));
}

// A locale that groups with a plain blank gets a no-break space, and a
// duration or a size made to stay together keeps no place to break.
TEST(ShownNumbersTest, NothingShownBreaksAcrossLines) {
  const QLocale saved;
  const auto restore = qScopeGuard([&saved] { QLocale::setDefault(saved); });
  const QList<QLocale> every =
      QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory);
  for (const QLocale& locale : every) {
    QLocale::setDefault(locale);
    EXPECT_FALSE(ShownNumbers::Count(1234567).contains(QLatin1Char(' '))) << locale.name().toStdString();
  }
  EXPECT_EQ(ShownNumbers::OnOneLine(QStringLiteral("1w 2d 3h:00m:00s")),
            QStringLiteral(u"1w\u00A02d\u00A03h:\u206000m:\u206000s"));
}

}  // namespace
