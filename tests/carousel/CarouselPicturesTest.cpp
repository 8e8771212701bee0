// The carousel as a person sees it: a tagged, rated and described result
// with its details drawn and the "Main" menu bar over the ring, in the
// program's own colours, in the red theme and in the red theme inverted.
// With RW_SCREENSHOT set the canvases are saved as PNGs there ("-menu",
// "-red" and "-inverted" before the extension for the bar and the themes).
#include "tests/carousel/CarouselFixture.h"

namespace {

class CarouselPicturesTest : public rwtest::CarouselFixture {
 protected:
  static QImage Canvas() {
    gCarousel->Canvas().Surface().Flush();
    return gCarousel->Canvas().Surface().Image().copy();
  }
  static void Save(const QImage& picture, const QString& suffix) {
    QString path = qEnvironmentVariable("RW_SCREENSHOT");
    if (path.isEmpty()) return;
    const int dot = path.lastIndexOf(QLatin1Char('.'));
    path = dot > 0 ? path.left(dot) + suffix + path.mid(dot) : path + suffix;
    EXPECT_TRUE(picture.save(path, "PNG"));
  }
  // The details at rest; then the "Main" bar shown in place over the frame,
  // the ring's strip at the foot.
  static QImage Details() {
    gCarousel->SetMenuMode(QStringLiteral("NULL"));
    gCarousel->RedrawAll(true, false);
    return Canvas();
  }
  static QImage WithMainBar() {
    gCarousel->SetMenuMode(QStringLiteral("Main"));
    gCarousel->DrawMenu(false, false);
    return Canvas();
  }
};

TEST_F(CarouselPicturesTest, ATaggedRatedDescribedResultUnderTheMainBarInThreeThemes) {
  OpenResults(20, QStringLiteral(
                      "INSERT INTO Tags (TagID, Tag, Type, CategoryID) VALUES (20, 'People', 'C', 0), "
                      "(21, 'Anna', 'T', 20), (22, 'Holidays', 'C', 0), (23, 'Beach', 'T', 22), (24, 'Summer', 'T', 22);"
                      "INSERT INTO TagLinks VALUES (23, 24, 'L');"
                      "INSERT INTO SegmentTags VALUES (5, 21), (5, 23);"
                      "UPDATE VideoSegments SET Rating = 4, FileAlias = 'A Day at the Sea', Description = "
                      "'Anna builds a sand castle while the tide comes in; the gulls watch from the breakwater.' "
                      "WHERE SegmentID = 5;"));
  MakeCarousel(QSize(1280, 720));
  int32_t five = 0;
  for (int32_t i = 1; i <= gLibrary->ResultCount; ++i) {
    if (SegmentAt(i) == 5) five = i;
  }
  ASSERT_GT(five, 0);
  Move(five);
  gCarousel->TimerEvent();
  ASSERT_TRUE(gCarousel->HasTags);
  EXPECT_EQ(gCurrentItem.Rating, 4);

  const QImage plain = Details();
  Save(plain, QString());
  Save(WithMainBar(), QStringLiteral("-menu"));
  gCarousel->SetColourScheme(1);
  const QImage red = Details();
  Save(red, QStringLiteral("-red"));
  gCarousel->SetInvert(true);
  gCarousel->SetColourScheme(1);
  const QImage inverted = Details();
  Save(inverted, QStringLiteral("-inverted"));
  // Each theme shades the background below the details differently.
  EXPECT_NE(plain.pixel(20, 700), red.pixel(20, 700));
  EXPECT_NE(red.pixel(20, 700), inverted.pixel(20, 700));
}

}  // namespace
