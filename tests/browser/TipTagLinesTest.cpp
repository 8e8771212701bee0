// The tip's tag text laid out line by line: the same size, line count and
// picture as the whole text laid out at once, whatever the box cuts off;
// the texts that cannot part into plain lines are laid out whole; kept
// lines follow the colour asked for.
#include "browser/cTipTagLines.h"
#include "ui/CairoSurface.h"

#include <QImage>

#include <gtest/gtest.h>

namespace {

constexpr COLORREF kInk = 0x00402010;

QString Repeated(const QString& item, int count) {
  QStringList items;
  for (int i = 0; i < count; ++i) items << item.arg(i);
  return items.join(QStringLiteral(", "));
}

// Both passes of the tip (the faint offset shadow, then the text) into a
// transparent picture, with the box at the tip's place.
QImage Picture(const cTipTagLines& lines, int width, int height, double boxWidth, double boxHeight) {
  auto surface = std::make_shared<CairoSurface>(width, height);
  {
    auto cc = surface->Context();
    cc->Translate(46, 46);
    lines.Draw(*cc, 11, 61, boxWidth, boxHeight, 0.1);
    lines.Draw(*cc, 10, 60, boxWidth, boxHeight, 1);
  }
  surface->Surface().Flush();
  return surface->Surface().Image().copy();
}

struct Roads {
  cTipTagLines lines;
  cTipTagLines block;
  explicit Roads(const QString& text, COLORREF colour = kInk) {
    lines.Prepare(text, colour);
    block.Prepare(text, colour, false);
  }
};

void ExpectSameAsBlock(const QString& text, bool byLines = true) {
  SCOPED_TRACE(text.left(60).toStdString());
  const Roads roads(text);
  EXPECT_EQ(roads.lines.ByLines(), byLines);
  EXPECT_FALSE(roads.block.ByLines());
  EXPECT_EQ(roads.lines.LineCount(), roads.block.LineCount());
  EXPECT_EQ(roads.lines.Size().Width, roads.block.Size().Width);
  EXPECT_EQ(roads.lines.Size().Height, roads.block.Size().Height);
  // A box that shows everything, one that cuts lines off at the right and
  // partway down, and one that shows almost nothing.
  for (const auto& [w, h] : {std::pair{700.0, 500.0}, std::pair{150.0, 57.0}, std::pair{20.0, 3.0}}) {
    EXPECT_TRUE(Picture(roads.lines, 800, 640, w, h) == Picture(roads.block, 800, 640, w, h))
        << "box " << w << " x " << h;
  }
}

TEST(TipTagLinesTest, LineByLineMeasuresAndDrawsAsTheWholeText) {
  ExpectSameAsBlock(QStringLiteral("\r\nNo Tags\r\n"));
  ExpectSameAsBlock(QString());
  ExpectSameAsBlock(QStringLiteral("one"));
  ExpectSameAsBlock(QStringLiteral("lf\nthen cr\rthen crlf\r\nthen para\u2029sep\n\n\r\rend"));
  ExpectSameAsBlock(QStringLiteral("\r\nCategory 0: ") + Repeated(QStringLiteral("Tag %1"), 400) +
                    QStringLiteral("\r\n\r\n        - Category 1: ") + Repeated(QStringLiteral("Chain level %1"), 300) +
                    QStringLiteral("\r\n"));
  ExpectSameAsBlock(QString::fromUtf8("tab\there, fi ffl AVATAR, Ünïcödé ẑ̷̢a̸l̴g̵o̶, 日本語, emoji 🎬🍿\r\nnext"));
  QString many;
  for (int i = 0; i < 120; ++i) many += QStringLiteral("\r\nCategory %1: Tag %2\r\n").arg(i % 7).arg(i * 13);
  ExpectSameAsBlock(many);
}

// A line that reads right to left (the line of digits after it would read
// so too within the whole text), a break inside a line and a nul, which
// ends the text for the layout, keep the whole-text road; right-to-left
// words inside a left-to-right line do not.
TEST(TipTagLinesTest, TextsThatDoNotPartIntoPlainLinesAreLaidOutWhole) {
  ExpectSameAsBlock(QString::fromUtf8("\r\nOrphan Tag: שלום עולם\r\n12345\r\n"));
  ExpectSameAsBlock(QString::fromUtf8("\r\nשלום עולם: Orphan Tag\r\n12345\r\n"), false);
  ExpectSameAsBlock(QStringLiteral("line\u2028separator\r\nnext"), false);
  ExpectSameAsBlock(QStringLiteral("before") + QChar(0) + QStringLiteral("\r\nafter"), false);
}

TEST(TipTagLinesTest, AKeptLineIsDrawnInTheColourAskedFor) {
  const QString text = QStringLiteral("\r\nDrama, Night\r\n");
  const Roads red(text, 0x000000FF);
  const Roads blue(text, 0x00FF0000);
  EXPECT_TRUE(Picture(blue.lines, 300, 200, 200, 100) == Picture(blue.block, 300, 200, 200, 100));
  EXPECT_FALSE(Picture(red.lines, 300, 200, 200, 100) == Picture(blue.lines, 300, 200, 200, 100));

  // Forgetting the kept lines changes nothing but the cost.
  const QImage before = Picture(blue.lines, 300, 200, 200, 100);
  cTipTagLines::ForgetKeptLines();
  cTipTagLines again;
  again.Prepare(text, 0x00FF0000);
  EXPECT_TRUE(Picture(again, 300, 200, 200, 100) == before);
}

TEST(TipTagLinesTest, KeptTextsFollowTheirFontAndColour) {
  const QString text = QStringLiteral("A film.mkv");
  const CairoText bold = cTipTagLines::KeptText(text, 11, kInk, true);
  const CairoText plain = cTipTagLines::KeptText(text, 11, kInk);
  const CairoText small = cTipTagLines::KeptText(text, 7, kInk);
  EXPECT_GT(bold.Size().Width, plain.Size().Width);
  EXPECT_GT(plain.Size().Width, small.Size().Width);
  EXPECT_EQ(cTipTagLines::KeptText(text, 11, 0x00FF0000, true).Colour(), 0x00FF0000u);
  EXPECT_EQ(cTipTagLines::KeptText(text, 11, kInk, true).Size().Width, bold.Size().Width);
}

}  // namespace
