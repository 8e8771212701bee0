// Prepared texts: they stay laid out while other texts are prepared in the
// same context, until the context's transformation changes; their ink rows;
// and a prepared text drawn at a point of its own draws as the boxed text
// does, also when only the start of a long line fits the box.
#include "ui/CairoContext.h"
#include "ui/CairoSurface.h"
#include "ui/ProgramFonts.h"
#include "tests/support/TestFonts.h"

#include <QImage>

#include <gtest/gtest.h>

namespace {

constexpr COLORREF kInk = RGB(20, 40, 160);

QImage Drawn(const std::function<void(CairoContext&)>& draw) {
  CairoSurface surface(420, 60);
  {
    auto cc = surface.Context();
    cc->Translate(3, 2);
    draw(*cc);
  }
  surface.Surface().Flush();
  return surface.Surface().Image().copy();
}

TEST(CairoPreparedTextTest, TextsStayLaidOutUntilTheTransformationChanges) {
  CairoSurface surface(10, 10);
  auto cc = surface.Context();
  cc->SelectFont(QStringLiteral("Tahoma"), 8, kInk);
  const CairoText first = cc->PrepareText(QStringLiteral("first"));
  const CairoText second = cc->PrepareText(QStringLiteral("second"));
  EXPECT_TRUE(first.IsCurrent()) << "preparing another text left the first laid out";
  EXPECT_TRUE(second.IsCurrent());
  EXPECT_EQ(first.Colour(), kInk);

  cc->Scale(2, 2);
  const CairoText scaled = cc->PrepareText(QStringLiteral("third"));
  EXPECT_FALSE(first.IsCurrent()) << "laid out for the old transformation";
  EXPECT_TRUE(scaled.IsCurrent());
  EXPECT_FALSE(CairoText().IsCurrent());
}

TEST(CairoPreparedTextTest, InkRowsOnlyWhenAskedForAndOnlyWhereGlyphsAre) {
  CairoSurface surface(10, 10);
  auto cc = surface.Context();
  cc->SelectFont(QStringLiteral("Tahoma"), 8, kInk);
  const CairoText plain = cc->PrepareText(QStringLiteral("Tag"));
  EXPECT_EQ(plain.InkTop(), 0);
  EXPECT_EQ(plain.InkBottom(), 0);
  const CairoText inked = cc->PrepareText(QStringLiteral("Tag"), true);
  EXPECT_GT(inked.InkBottom(), inked.InkTop());
  EXPECT_GE(inked.InkTop(), 0);
  EXPECT_LE(inked.InkBottom(), inked.Size().Height + 1);
  const CairoText blank = cc->PrepareText(QStringLiteral("   "), true);
  EXPECT_EQ(blank.InkBottom(), blank.InkTop()) << "spaces draw nothing";
  EXPECT_TRUE(inked.LeftToRight());
  EXPECT_FALSE(cc->PrepareText(QString::fromUtf8("שלום"), true).LeftToRight());
}

TEST(CairoPreparedTextTest, ATextAtItsOwnPointDrawsAsTheBoxedText) {
  CairoSurface scratch(10, 10);
  auto cc = scratch.Context();
  cc->SelectFont(QStringLiteral("Tahoma"), 8, kInk);
  QString wide;
  for (int i = 0; i < 400; ++i) wide += QStringLiteral("Tag %1, ").arg(i);
  const QString texts[] = {wide, QString::fromUtf8("Ünïcödé ẑ̷̢a̸l̴g̵o̶ ") + wide, QStringLiteral("short"),
                           QStringLiteral("two\r\nlines ") + wide, QString::fromUtf8("שלום ") + wide};
  for (const QString& text : texts) {
    const CairoText prepared = cc->PrepareText(text);
    for (double width : {400.0, 97.0, 1.0}) {
      SCOPED_TRACE(text.left(20).toStdString() + " " + std::to_string(width));
      const QImage boxed = Drawn([&](CairoContext& c) { c.DrawText(10, 5, width, 40, prepared, kAlignLeft, 0.7); });
      const QImage placed = Drawn([&](CairoContext& c) { c.DrawTextAt(10, 5, width, 40, prepared, 10, 5, 0.7); });
      EXPECT_TRUE(boxed == placed);
    }
  }
  // Placed lower, the text moves with its point while the box stays.
  const CairoText line = cc->PrepareText(wide);
  const QImage lower = Drawn([&](CairoContext& c) { c.DrawTextAt(10, 5, 300, 40, line, 10, 20, 1); });
  const QImage boxedLower = Drawn([&](CairoContext& c) { c.DrawText(10, 20, 300, 25, line, kAlignLeft, 1); });
  EXPECT_TRUE(lower == boxedLower);
}

// The first row that holds ink, -1 for none.
int FirstInkRow(const QImage& image) {
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (qAlpha(image.pixel(x, y)) > 0) return y;
    }
  }
  return -1;
}

// Marks that rise above the line's top, over a capital or in scripts whose
// marks stack higher than the font's ascent, are drawn whole: a text in a box
// whose top is the text's top shows the same rows as the text drawn freely;
// a text scrolled up out of its box still shows nothing above the box.
TEST(CairoPreparedTextTest, NothingAboveTheCapitalsIsCutAtTheBoxTop) {
  rwtest::AlsoWithNotoFonts();
  RegisterProgramFonts();  // the program's Tahoma, whose ascent leaves the accent of "É" above it
  CairoSurface scratch(10, 10);
  auto cc = scratch.Context();
  const QString texts[] = {QString::fromUtf8("Été café"), QString::fromUtf8("Ấp Ỗ Ữ"), QString::fromUtf8("ที่นี่"),
                           QString::fromUtf8("कि की"), QString::fromUtf8("Å̊ ḉ")};
  for (const bool bold : {false, true}) {
    cc->SelectFont(QStringLiteral("Tahoma"), 11, kInk, bold);
    for (const QString& text : texts) {
      SCOPED_TRACE(text.toStdString() + (bold ? " bold" : ""));
      const CairoText prepared = cc->PrepareText(text);
      const QImage free = Drawn([&](CairoContext& c) {
        c.SelectFont(QStringLiteral("Tahoma"), 11, kInk, bold);
        c.TextOut(10, 20, text);
      });
      const QImage boxed = Drawn([&](CairoContext& c) { c.DrawText(10, 20, 400, 30, prepared, kAlignLeft); });
      const QImage placed = Drawn([&](CairoContext& c) { c.DrawTextAt(10, 20, 400, 30, prepared, 10, 20); });
      const QImage plain = Drawn([&](CairoContext& c) {
        c.SelectFont(QStringLiteral("Tahoma"), 11, kInk, bold);
        c.DrawText(10, 20, 400, 30, text, true, kAlignLeft);
      });
      ASSERT_GE(FirstInkRow(free), 0);
      EXPECT_EQ(FirstInkRow(boxed), FirstInkRow(free));
      EXPECT_EQ(FirstInkRow(placed), FirstInkRow(free));
      EXPECT_EQ(FirstInkRow(plain), FirstInkRow(free));
      const QImage scrolled = Drawn([&](CairoContext& c) { c.DrawTextAt(10, 20, 400, 30, prepared, 10, 12); });
      EXPECT_GE(FirstInkRow(scrolled), 22) << "the box's top";
    }
  }
}

}  // namespace
