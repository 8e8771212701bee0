// The carousel's frame and details panel, read back from their pixels: the
// title, the stars, the description's pages and markers, the tag lines, the
// file-status icon and stamp, the fade and the stamp stopping for a new move,
// and the empty frame's message.
#include "tests/carousel/CarouselFixture.h"
#include "tests/support/TestFonts.h"

#include "library/clsRWLibrary.h"
#include "platform/MountProbe.h"
#include "resources/Resources.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <climits>
#include <functional>

namespace {

using rwtest::CountingPacer;

// The box of the pixels in a rectangle that pass a test (left > right when none do).
struct Extent {
  int Left = INT_MAX;
  int Right = -1;
  int Top = INT_MAX;
  int Bottom = -1;
  bool Empty() const { return Right < 0; }
  int Width() const { return Empty() ? 0 : Right - Left + 1; }
};

QImage Unpremultiplied(const CairoSurface& surface) {
  surface.Surface().Flush();
  return surface.Surface().Image().convertToFormat(QImage::Format_ARGB32);
}

QImage CanvasImage() {
  gCarousel->Canvas().Surface().Flush();
  return gCarousel->Canvas().Surface().Image().convertToFormat(QImage::Format_ARGB32);
}

Extent ExtentOf(const QImage& image, const QRect& area, const std::function<bool(QRgb)>& passes) {
  Extent extent;
  const QRect box = area.intersected(image.rect());
  for (int y = box.top(); y <= box.bottom(); ++y) {
    for (int x = box.left(); x <= box.right(); ++x) {
      if (!passes(image.pixel(x, y))) continue;
      extent.Left = std::min(extent.Left, x);
      extent.Right = std::max(extent.Right, x);
      extent.Top = std::min(extent.Top, y);
      extent.Bottom = std::max(extent.Bottom, y);
    }
  }
  return extent;
}

bool Inked(QRgb pixel) { return qAlpha(pixel) > 40; }

bool SameColour(QRgb a, QRgb b, int tolerance) {
  return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
         std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

// True when the picture's opaque pixels lie at (x, y) of the image.
bool ShowsPicture(const QImage& image, int x, int y, const QString& resource, int size) {
  const QImage picture = LoadResPicture(resource, QStringLiteral("CUSTOM"))
                             .scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                             .convertToFormat(QImage::Format_ARGB32);
  int compared = 0;
  for (int py = 0; py < size; ++py) {
    for (int px = 0; px < size; ++px) {
      const QRgb expected = picture.pixel(px, py);
      if (qAlpha(expected) < 255) continue;
      ++compared;
      if (!SameColour(image.pixel(x + px, y + py), expected, 24)) return false;
    }
  }
  return compared > 0;
}

// Tag rows of these captions (those without a letter are separators) and the end row.
std::vector<TagListRow> TagRows(const QStringList& captions) {
  std::vector<TagListRow> rows;
  for (const QString& caption : captions) {
    TagListRow row;
    row.Caption = caption;
    row.Separator = !caption.contains(QRegularExpression(QStringLiteral("\\w")));
    row.TagID = row.Separator ? 0 : static_cast<int32_t>(rows.size()) + 1;
    rows.push_back(row);
  }
  rows.emplace_back();
  return rows;
}

// Lets a test act between the frames of an animation: `act` runs after frame n.
class HookPacer : public CarouselPacer {
 public:
  HookPacer(int& frames, int at, std::function<void()> act) : frames_(frames), at_(at), act_(std::move(act)) {}
  void BeginFrame() override {}
  void EndFrame() override {
    if (++frames_ == at_) act_();
  }

 private:
  int& frames_;
  int at_;
  std::function<void()> act_;
};

class CarouselDetailsTest : public rwtest::CarouselFixture {
 protected:
  void TearDown() override {
    MountProbe::SetRootProbe(nullptr);
    gAppReady = false;
    gViewSpec.clear();
    gTooltipAliases = false;
    rwtest::CarouselFixture::TearDown();
  }

  // n results, the carousel at rest on result `index`, its timer stopped.
  void ShowResults(int n, int index = 1) {
    OpenResults(n);
    MakeCarousel();
    Move(index, false);
    pane_->CarouselTimer->SetEnabled(false);
  }

  // The details of gCurrentItem drawn at once (no fade, no stamp).
  QImage Redraw() {
    gCarousel->RedrawAll(false, true);
    return Unpremultiplied(*gCarousel->DetailsSurface());
  }

  // A file that exists, made current.
  void MakeCurrentFileReal() {
    const QString path = folder_.filePath(QStringLiteral("clip.mkv"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("clip");
    file.close();
    gCurrentItem.CurrentPath = folder_.path() + QLatin1Char('/');
    gCurrentItem.FileName = QStringLiteral("clip.mkv");
  }

  static bool Highlight(QRgb pixel) { return qAlpha(pixel) > 200 && SameColour(pixel, qRgb(255, 128, 0), 30); }

  QTemporaryDir folder_;
};

// ---- Title ----

TEST_F(CarouselDetailsTest, TheTitleIsTheAliasOnlyWithAliasesOnAndAnAliasToShow) {
  ShowResults(3);
  gCurrentItem.FileName = QStringLiteral("Film.mkv");
  const QRect band(0, 0, 1200, 50);
  auto titleOf = [&](bool aliases, const QString& alias) {
    gTooltipAliases = aliases;
    gCurrentItem.FileAlias = alias;
    return ExtentOf(Redraw(), band, Inked);
  };
  const QString alias = QStringLiteral("A Much Longer Alias Of The Film");
  const Extent name = titleOf(false, alias);
  EXPECT_EQ(titleOf(true, QString()).Left, name.Left) << "no alias: the file name";
  EXPECT_LT(titleOf(true, alias).Left, name.Left - 100) << "the alias";
  EXPECT_NEAR((name.Left + name.Right) / 2.0, 600, 8) << "centred";
  EXPECT_TRUE(ExtentOf(Redraw(), band, Highlight).Empty());
  gCarousel->SetMenuMode(QStringLiteral("Title"));
  EXPECT_FALSE(ExtentOf(Redraw(), band, Highlight).Empty()) << "the focused title glows";
}

TEST_F(CarouselDetailsTest, LongAndUnicodeTitlesStayOnOneLineInTheirBox) {
  ShowResults(2);
  QString title;
  for (int i = 0; i < 60; ++i) title += QStringLiteral("Ünïcødé 東京 ");
  for (const QString& name : {title, QString(400, QLatin1Char('W'))}) {
    gCurrentItem.FileName = name;
    const QImage details = Redraw();
    const Extent ink = ExtentOf(details, QRect(0, 0, 1200, 64), Inked);
    ASSERT_FALSE(ink.Empty());
    EXPECT_GE(ink.Left, 5);
    EXPECT_LE(ink.Right, 5 + 1188);
    EXPECT_LT(ink.Bottom, 55) << "one line, above the tags";
  }
}

// ---- Rating ----

TEST_F(CarouselDetailsTest, TheStarsShowTheRating) {
  ShowResults(2);
  for (int rating : {0, 3, 5}) {
    gCurrentItem.Rating = static_cast<int16_t>(rating);
    const QImage details = Redraw();
    const int top = gCarousel->TagsBottom();
    for (int k = 0; k < 5; ++k) {
      const QString star = k < rating ? QStringLiteral("STAR") : QStringLiteral("UNSTAR");
      EXPECT_TRUE(ShowsPicture(details, 520 + 32 * k, top, star, 32)) << "rating " << rating << ", star " << k;
    }
    EXPECT_TRUE(ExtentOf(details, QRect(460, top - 4, 300, 40), Highlight).Empty()) << "no arrows";
  }
  gCarousel->SetMenuMode(QStringLiteral("Rating"));
  const QImage focused = Redraw();
  const int top = gCarousel->TagsBottom();
  EXPECT_FALSE(ExtentOf(focused, QRect(470, top - 4, 45, 40), Highlight).Empty()) << "the left arrow";
  EXPECT_FALSE(ExtentOf(focused, QRect(690, top - 4, 45, 40), Highlight).Empty()) << "the right arrow";
}

// ---- Description ----

TEST_F(CarouselDetailsTest, ADescriptionLongerThanItsBoxShowsMoreAndItsLastPageTop) {
  ShowResults(2);
  QString paragraphs;
  for (int i = 1; i <= 14; ++i) paragraphs += QStringLiteral("Line %1 of the description\r\n").arg(i);
  gCarousel->SetMenuMode(QStringLiteral("Description"));
  auto marker = [&](const QString& description, int16_t page) {
    gCurrentItem.Description = description;
    gCarousel->SetDescriptionPage(page);
    const QImage details = Redraw();
    return ExtentOf(details, QRect(0, gCarousel->TagsBottom() + 39, 400, 420 - gCarousel->TagsBottom()), Highlight);
  };
  const Extent more = marker(paragraphs, 1);
  EXPECT_TRUE(gCarousel->DescriptionOverflow);
  ASSERT_FALSE(more.Empty()) << "[MORE...]";
  EXPECT_LE(more.Bottom, 440);

  const Extent top = marker(paragraphs, 10);
  EXPECT_FALSE(gCarousel->DescriptionOverflow);
  ASSERT_FALSE(top.Empty()) << "[TOP]";
  EXPECT_LT(top.Width(), more.Width()) << "[TOP] is the shorter marker";
  EXPECT_LT(top.Top, more.Top) << "fewer lines above it";

  EXPECT_TRUE(marker(QStringLiteral("One short line."), 1).Empty()) << "no marker when everything fits";
  EXPECT_FALSE(gCarousel->DescriptionOverflow);
  EXPECT_FALSE(marker(paragraphs, 30).Empty()) << "a page past the end shows [TOP]";
}

TEST_F(CarouselDetailsTest, AWordWiderThanTheBoxTakesALineOfItsOwnCutAtTheEdge) {
  ShowResults(2);
  const QString url = QStringLiteral("http://example.org/") + QString(300, QLatin1Char('x'));
  gCurrentItem.Description = QStringLiteral("before ") + url + QStringLiteral(" after");
  const QImage details = Redraw();
  const int top = gCarousel->TagsBottom() + 39;
  EXPECT_FALSE(gCarousel->DescriptionOverflow) << "three lines fit";
  const QRect area(0, top, 1200, 400 - top);
  const Extent ink = ExtentOf(details, area, Inked);
  ASSERT_FALSE(ink.Empty());
  EXPECT_GE(ink.Left, 8);
  EXPECT_LE(ink.Right, 10 + 1180);
  const Extent lines = ExtentOf(details, QRect(1000, top, 200, 400 - top), Inked);
  ASSERT_FALSE(lines.Empty()) << "the long word reaches the edge";
  EXPECT_GT(lines.Top, top + 10) << "on a line of its own, below \"before\"";
  EXPECT_GT(ExtentOf(details, QRect(0, lines.Bottom + 4, 1200, 60), Inked).Width(), 0) << "\"after\" below it";
}

// ---- Tags ----

TEST_F(CarouselDetailsTest, TagLinesWrapCentredAndARowWiderThanALineIsCut) {
  ShowResults(2);
  gCarousel->SetTagRows(TagRows({QStringLiteral("Short")}), 0);
  Redraw();
  const int pitch = gCarousel->TagsBottom() - 65;
  ASSERT_GT(pitch, 15);

  QStringList many;
  for (int i = 0; i < 40; ++i) many << QStringLiteral("Tag number %1").arg(i) << QStringLiteral("; ");
  gCarousel->SetTagRows(TagRows(many), 0);
  QImage details = Redraw();
  const int lines = (gCarousel->TagsBottom() - 65) / pitch;
  EXPECT_GE(lines, 3);
  for (int line = 0; line < lines - 1; ++line) {
    const Extent ink = ExtentOf(details, QRect(0, 55 + line * pitch + 4, 1200, pitch - 8), Inked);
    EXPECT_NEAR(ink.Left, 1199 - ink.Right, 24) << "line " << line << " is centred";
  }

  // The separator after a row wider than a line stays with it; the next tag
  // starts the second line.
  gCarousel->SetTagRows(TagRows({QString(200, QLatin1Char('W')), QStringLiteral("; "), QStringLiteral("Next")}), 0);
  details = Redraw();
  EXPECT_EQ(gCarousel->TagsBottom(), 65 + 2 * pitch);
  const Extent wide = ExtentOf(details, QRect(0, 55, 1200, pitch), Inked);
  EXPECT_GE(wide.Left, 20);
  EXPECT_LE(wide.Right, 1180);
  const Extent next = ExtentOf(details, QRect(0, 55 + pitch + 2, 1200, pitch - 4), Inked);
  EXPECT_NEAR((next.Left + next.Right) / 2.0, 600, 12) << "\"Next\" centred on the second line";
}

TEST_F(CarouselDetailsTest, TheHighlightedTagGlowsOnlyWhileTheTagsHaveTheFocus) {
  ShowResults(2);
  gCarousel->SetTagRows(TagRows({QStringLiteral("First"), QStringLiteral("; "), QStringLiteral("Second")}), 0);
  const QRect band(0, 50, 1200, 40);
  EXPECT_TRUE(ExtentOf(Redraw(), band, Highlight).Empty());
  gCarousel->SetMenuMode(QStringLiteral("Tags"));
  int32_t row = 0;
  gCarousel->SetHighlightedTag(row);
  const Extent first = ExtentOf(Redraw(), band, Highlight);
  row = 2;
  gCarousel->SetHighlightedTag(row);
  const Extent second = ExtentOf(Redraw(), band, Highlight);
  ASSERT_FALSE(first.Empty());
  EXPECT_GT(second.Left, first.Right) << "the glow follows the highlighted row";
}

// ---- File status, stamp and fade ----

TEST_F(CarouselDetailsTest, TheStatusIconSaysWhetherTheFileCanBePlayed) {
  ShowResults(2);
  struct Case {
    const char* name;
    bool real;
    int32_t displayState;
    bool offline;
    bool missing;
  };
  for (const Case& c : {Case{"online", true, 5, false, false}, Case{"selected online", true, 4, false, false},
                        Case{"missing", false, 5, false, true}, Case{"offline", true, 9, true, false},
                        Case{"selected offline", false, 8, true, false}}) {
    gCurrentItem = gResults[1];
    if (c.real) MakeCurrentFileReal();
    gCurrentItem.DisplayState = c.displayState;
    gCurrentItem.FileFormat = QStringLiteral("MKV");
    const QImage details = Redraw();
    EXPECT_EQ(gCarousel->FileOffline(), c.offline) << c.name;
    EXPECT_EQ(gCarousel->FileMissing(), c.missing) << c.name;
    const bool playable = !c.offline && !c.missing;
    EXPECT_TRUE(ShowsPicture(details, 568, 420, playable ? QStringLiteral("TICKET") : QStringLiteral("NOTICKET"), 64))
        << c.name;
    EXPECT_FALSE(ExtentOf(details, QRect(0, 482, 1200, 18), Inked).Empty()) << "the facts line, " << c.name;
  }
}

TEST_F(CarouselDetailsTest, AMountThatDoesNotAnswerCountsAsMissingAndIsNotAskedAgainAtOnce) {
  ShowResults(2);
  const QString share = System().MountPoint(QStringLiteral("share"));
  System().Mount(share, QStringLiteral("nfs4"), QStringLiteral("server:/export"));
  System().Write();
  QFile(share + QStringLiteral("/clip.mkv")).open(QIODevice::WriteOnly);
  QStringList asked;
  MountProbe::SetRootProbe([&](const QString& root) {
    asked << root;
    return root != share;
  });
  gCurrentItem.CurrentPath = share + QLatin1Char('/');
  gCurrentItem.FileName = QStringLiteral("clip.mkv");
  gCurrentItem.DisplayState = 5;
  Redraw();
  EXPECT_TRUE(gCarousel->FileMissing()) << "the file is there, but its mount does not answer";
  EXPECT_EQ(asked, QStringList{share});
  Redraw();
  EXPECT_EQ(asked.size(), 1) << "the silent mount is remembered";
  EXPECT_TRUE(gCarousel->FileMissing());

  MakeCurrentFileReal();
  Redraw();
  EXPECT_FALSE(gCarousel->FileMissing()) << "a file on another mount is found";
  EXPECT_EQ(asked.size(), 2);
}

TEST_F(CarouselDetailsTest, ASlowMoveFadesThePanelInAndStampsAFileThatCannotBePlayed) {
  OpenResults(3);
  MakeCarousel();
  Move(1, false);
  struct Case {
    const char* name;
    int32_t displayState;
    bool real;
    bool stamp;
  };
  for (const Case& c : {Case{"online", 5, true, false}, Case{"offline", 9, false, true},
                        Case{"missing", 5, false, true}}) {
    gResults[2].DisplayState = c.displayState;
    gResults[2].CurrentPath = c.real ? folder_.path() + QLatin1Char('/') : QStringLiteral("/no/such/folder/");
    if (c.real) QFile(folder_.filePath(gResults[2].FileName)).open(QIODevice::WriteOnly);
    Move(1, false);
    pane_->CarouselTimer->SetEnabled(false);
    gCarousel->SetCarouselIndex(2, true, true);
    log = {};
    pane_->CarouselTimer_Timer();
    EXPECT_TRUE(gCarousel->DetailsDrawn()) << c.name;
    EXPECT_EQ(gCarousel->StampShown(), c.stamp) << c.name;
    EXPECT_EQ(log.frames, c.stamp ? 22 : 11) << c.name << ": 11 frames of fade, 11 of stamp";
    const QImage canvas = CanvasImage();
    const Extent red = ExtentOf(canvas, QRect(540, 420, 200, 160), [](QRgb p) { return SameColour(p, qRgb(255, 0, 0), 40); });
    EXPECT_EQ(!red.Empty(), c.stamp) << c.name << ": the red stamp below the middle";
    if (c.stamp) {
      EXPECT_NEAR((red.Left + red.Right) / 2.0, 640, 40) << c.name;
    }
  }
}

TEST_F(CarouselDetailsTest, ANewMoveStopsTheFadeAndTheStampAtOnce) {
  OpenResults(4);
  MakeCarousel();
  gResults[2].DisplayState = 9;
  // The result moved to can be played: no stamp of its own is due, however
  // soon its details are drawn.
  MakeCurrentFileReal();
  gResults[3].CurrentPath = gCurrentItem.CurrentPath;
  gResults[3].FileName = gCurrentItem.FileName;
  gResults[3].DisplayState = 5;
  struct Case {
    const char* name;
    int stopAfter;
  };
  for (const Case& c : {Case{"during the fade", 3}, Case{"during the stamp", 11 + 4}}) {
    Move(1, false);
    pane_->CarouselTimer->SetEnabled(false);
    gCarousel->SetCarouselIndex(2, true, true);
    int frames = 0;
    gCarousel->SetPacer(std::make_unique<HookPacer>(frames, c.stopAfter, [] {
      gCarousel->SetCarouselIndex(3, false, false);
    }));
    pane_->CarouselTimer_Timer();
    EXPECT_EQ(frames, c.stopAfter) << c.name;
    EXPECT_FALSE(gCarousel->StampShown()) << c.name;
    EXPECT_EQ(gBrowserIndex, 3) << c.name;
    gCarousel->SetPacer(std::make_unique<CountingPacer>(log));
  }
}

TEST_F(CarouselDetailsTest, TheStampShowsAtOnceAndStaysAfterARedrawOrANewTint) {
  OpenResults(3);
  MakeCarousel();
  auto stamped = [] {
    const Extent red = ExtentOf(CanvasImage(), QRect(540, 420, 200, 160),
                                [](QRgb p) { return SameColour(p, qRgb(255, 0, 0), 40); });
    return !red.Empty();
  };
  gResults[2].DisplayState = 9;
  Move(2, false);  // as a choice in another view makes it current: no fade
  pane_->CarouselTimer_Timer();
  EXPECT_TRUE(gCarousel->StampShown());
  EXPECT_TRUE(stamped()) << "an offline file is stamped at once";
  gCarousel->RedrawAll(false, true);  // as after a dialog
  EXPECT_TRUE(gCarousel->StampShown());
  EXPECT_TRUE(stamped()) << "the stamp stays after a redraw";
  gCarousel->SetColourScheme(2);
  EXPECT_TRUE(stamped()) << "and after a new tint";
  MakeCurrentFileReal();
  gResults[1].CurrentPath = gCurrentItem.CurrentPath;
  gResults[1].FileName = gCurrentItem.FileName;
  gResults[1].DisplayState = 5;
  Move(1, false);
  pane_->CarouselTimer_Timer();
  EXPECT_FALSE(gCarousel->StampShown());
  EXPECT_FALSE(stamped()) << "a file that can be played gets none";
}

TEST_F(CarouselDetailsTest, TheCounterStandsWholeAboveTheFrontCard) {
  rwtest::AlsoWithNotoFonts();
  ShowResults(20, 5);
  gCarousel->RedrawAll(false, false);
  const QImage ring = Unpremultiplied(*gCarousel->RingSurface());
  // The front card's top at rest: the ring's centre, its depth and half a card.
  const int cardTop = static_cast<int>(CarouselRing::CentreY + CarouselRing::RestRadiusY - CarouselRing::CardHeight / 2);
  const COLORREF text = gCarousel->lTextColour;
  const Extent ink = ExtentOf(ring, QRect(160, 0, 160, cardTop), [text](QRgb p) {
    return qAlpha(p) > 200 && SameColour(p, qRgb(text & 0xFF, (text >> 8) & 0xFF, (text >> 16) & 0xFF), 40);
  });
  ASSERT_FALSE(ink.Empty()) << "the counter is drawn";
  EXPECT_GT(ink.Top, 0);
  EXPECT_LE(ink.Bottom, cardTop - 4) << "clear of the front card, not running under it";
}

// ---- The empty frame ----

TEST_F(CarouselDetailsTest, TheEmptyFrameWritesItsMessageOnlyWhileTheProgramIsReady) {
  OpenResults(0);
  MakeCarousel();
  // The columns where the frame differs from the frame with no message.
  auto messageColumns = [&](bool ready, const QString& viewSpec, const QString& libraryName) {
    gAppReady = ready;
    gViewSpec = viewSpec;
    gLibrary->LibraryName = libraryName;
    gCarousel->RedrawAll(false, false);
    return Unpremultiplied(*gCarousel->FrameSurface()).copy(0, 340, 1280, 160);
  };
  const QImage plain = messageColumns(false, QString(), QString());
  auto written = [&](const QImage& image) {
    Extent changed;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        if (SameColour(image.pixel(x, y), plain.pixel(x, y), 3)) continue;
        changed.Left = std::min(changed.Left, x);
        changed.Right = std::max(changed.Right, x);
      }
    }
    return changed;
  };
  const QString search = QStringLiteral("|_T:13");
  const QString films = QStringLiteral("Films");
  EXPECT_TRUE(written(messageColumns(false, search, QString())).Empty()) << "not ready";
  EXPECT_TRUE(written(messageColumns(true, QString(), films)).Empty()) << "a library open, no search";
  const Extent noLibrary = written(messageColumns(true, QString(), QString()));
  const Extent noMatches = written(messageColumns(true, search, films));
  ASSERT_FALSE(noMatches.Empty()) << "No Matches";
  EXPECT_GT(noLibrary.Width(), noMatches.Width()) << "No Open Library! is the longer message";
  EXPECT_NEAR((noLibrary.Left + noLibrary.Right) / 2.0, 640, 20) << "centred";
}

TEST_F(CarouselDetailsTest, TheNoOpenLibraryFrameIsSavedWhenAScreenshotIsAskedFor) {
  const QByteArray path = qgetenv("RW_SCREENSHOT");
  if (path.isEmpty()) GTEST_SKIP() << "RW_SCREENSHOT names no file";
  OpenResults(0);
  MakeCarousel();
  gAppReady = true;
  gViewSpec.clear();
  gLibrary->LibraryName.clear();
  gCarousel->RedrawAll(false, true);
  const QImage canvas = CanvasImage();
  EXPECT_EQ(canvas.size(), QSize(1280, 720));
  EXPECT_TRUE(canvas.save(QString::fromLocal8Bit(path), "PNG"));
}

}  // namespace
