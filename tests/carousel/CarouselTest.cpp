// The carousel on a library of generated thumbnails: moves through the
// results frame by frame (counted, not timed), the clamps of the target and
// of the settings, the cards and backgrounds it paints, and where the front
// card lands on the canvas at any size.
#include "tests/carousel/CarouselFixture.h"

namespace {

using rwtest::kBluePicture;
using rwtest::CountingPacer;
using CarouselTest = rwtest::CarouselFixture;

TEST_F(CarouselTest, MovesDrawTheFramesOfTheirStepsAndLongOnesSkipTheirMiddle) {
  OpenResults(40);
  MakeCarousel();
  Move(1);
  ASSERT_EQ(gBrowserIndex, 1);

  EXPECT_TRUE(Move(2));
  EXPECT_EQ(log.frames, 9) << "a neighbour: S - 1 frames";
  EXPECT_EQ(log.smallestRadiusX, 180) << "a neighbour never contracts the ring";
  EXPECT_EQ(gBrowserIndex, 2);
  EXPECT_EQ(gCurrentItem.SegmentID, SegmentAt(2));

  Move(15);  // 13 results on: every step, 9 + 11 x 3 + 9 frames
  EXPECT_EQ(log.frames, 51);
  EXPECT_EQ(log.indexes.size(), 13u);
  EXPECT_LT(log.smallestRadiusX, 180) << "a longer move contracts the ring";
  EXPECT_EQ(log.fastFrames, 0);

  Move(29);  // 14 on: 6 steps out, the jump, 6 steps in
  EXPECT_EQ(log.frames, 9 + 6 * 2 + 5 * 2 + 9);
  EXPECT_EQ(log.fastFrames, log.frames);
  EXPECT_EQ(log.indexes, (std::set<int32_t>{15, 16, 17, 18, 19, 20, 22, 23, 24, 25, 26, 27, 28}))
      << "the jump passes from 6 steps out to 6 steps before the target";
  EXPECT_EQ(gBrowserIndex, 29);
  EXPECT_EQ(gCarousel->Pose().BaseAngle, CarouselRing::RestBaseAngle(11)) << "at rest after the move";
  EXPECT_FALSE(gCarousel->Pose().FastMode);
}

TEST_F(CarouselTest, TargetsAreClampedToTheResultsAndTheCurrentOneDrawsNothing) {
  OpenResults(20);
  MakeCarousel();
  Move(5);
  EXPECT_FALSE(Move(5)) << "the current index hands Animate back False";
  EXPECT_EQ(log.frames, 0);
  Move(0);
  EXPECT_EQ(gBrowserIndex, 1);
  EXPECT_FALSE(Move(-3) && log.frames > 0) << "a step past the first result stays put";
  EXPECT_EQ(gBrowserIndex, 1);
  Move(99);
  EXPECT_EQ(gBrowserIndex, 20);
  Move(21);
  EXPECT_EQ(log.frames, 0) << "a step past the last result stays put";
  EXPECT_EQ(gBrowserIndex, 20);
  EXPECT_EQ(gCurrentItem.SegmentID, SegmentAt(20));
  EXPECT_TRUE(gCarousel->Scrolling());
  EXPECT_FALSE(gCarousel->DetailsDrawn());
  gCarousel->TimerEvent();
  EXPECT_FALSE(gCarousel->Scrolling());
  EXPECT_TRUE(gCarousel->DetailsDrawn()) << "the timer's tick completes the details";
}

TEST_F(CarouselTest, NoResultsGiveAnEmptyRingOfCardTilesAndTheTimerDoesNothing) {
  OpenResults(0);
  MakeCarousel();
  gBrowserIndex = 4;
  Move(3);
  EXPECT_EQ(gBrowserIndex, 0);
  EXPECT_EQ(gCarousel->ResultTotal(), 0);
  EXPECT_FALSE(gCarousel->Images().Exists(QStringLiteral("BkGrnd")));
  for (int slot = 1; slot <= 11; ++slot) {
    EXPECT_EQ(gCarousel->Images().Item(QStringLiteral("Thumb%1").arg(slot)), gCarousel->CardTile()->SharedSurface());
  }
  gCarousel->TimerEvent();
  EXPECT_FALSE(gCarousel->DetailsDrawn());
}

TEST_F(CarouselTest, SlotsPastTheEndsShowTheCardTileAndTheRestTheirResults) {
  OpenResults(20);
  MakeCarousel();
  Move(2);
  // Slot s shows result 2 + 6 - s: slots 1..5 results 7..3, the front 2,
  // slot 7 result 1, slots 8..11 nothing.
  const ImageSurfacePtr tile = gCarousel->CardTile()->SharedSurface();
  for (int slot = 1; slot <= 7; ++slot) {
    const ImageSurfacePtr thumb = gCarousel->Images().Item(QStringLiteral("Thumb%1").arg(slot));
    ASSERT_NE(thumb, tile) << slot;
    EXPECT_TRUE(Close(thumb->Image().pixel(50, 37), ColourOf(SegmentAt(8 - slot)), 12)) << slot;
  }
  for (int slot = 8; slot <= 11; ++slot) {
    EXPECT_EQ(gCarousel->Images().Item(QStringLiteral("Thumb%1").arg(slot)), tile) << slot;
  }
}

TEST_F(CarouselTest, TheRingSettingsAreClampedStoredAndPutTheRingAtRest) {
  OpenResults(3);
  MakeCarousel();
  auto stored = [](const char* name) {
    return modRegistry::GetRegValue(HKEY_CURRENT_USER, kRegOther, QLatin1String(name)).ToLong(-1);
  };
  int16_t n = 8;
  gCarousel->SetCarouselEntries(n);
  EXPECT_EQ(n, 9);
  EXPECT_EQ(gCarousel->CarouselEntries(), 9);
  EXPECT_EQ(stored("CarouselEntries"), 9);
  n = 20;
  gCarousel->SetCarouselEntries(n);
  EXPECT_EQ(n, 17);
  EXPECT_EQ(gCarousel->Pose().BaseAngle, CarouselRing::RestBaseAngle(17))
      << "a new count stands at rest, its front card at the front";
  modRegistry::SetRegValue(HKEY_CURRENT_USER, kRegOther, QStringLiteral("CarouselEntries"), 5);
  n = 17;
  gCarousel->SetCarouselEntries(n);
  EXPECT_EQ(stored("CarouselEntries"), 5) << "the current count again writes nothing";

  int16_t s = 1;
  gCarousel->SetScrollIncrements(s);
  EXPECT_EQ(stored("CarouselScrollIncrements"), 1);
  Move(2);
  EXPECT_EQ(log.frames, 0) << "one frame a step: nothing between rest poses";
  s = 0;
  gCarousel->SetScrollIncrements(s);
  Move(3);
  EXPECT_EQ(gBrowserIndex, 3) << "no frames per step counts as one";

  // A stored count of another kind is clamped when the carousel is made.
  gCarousel.reset();
  modRegistry::SetRegValue(HKEY_CURRENT_USER, kRegOther, QStringLiteral("CarouselEntries"), QStringLiteral("lots"));
  modRegistry::SetRegValue(HKEY_CURRENT_USER, kRegOther, QStringLiteral("CarouselScrollIncrements"), -4);
  MakeCarousel();
  EXPECT_EQ(gCarousel->CarouselEntries(), 11);
  EXPECT_EQ(gCarousel->ScrollIncrements(), 1);
}

TEST_F(CarouselTest, AFocusedRingFramesItsCardInTheHighlightWithTheThumbnailOpaque) {
  OpenResults(3);
  MakeCarousel();
  Move(1);
  gCarousel->HighlightColour = RGB(255, 128, 0);
  gCarousel->SetMenuMode(QStringLiteral("Carousel"));
  const CairoSurfacePtr& ring = gCarousel->RingSurface();
  ring->Surface().Fill(0, 0);
  ring->Surface().MarkDirty();
  COLORREF frame = RGB(1, 2, 3);
  // Slot 6 shows the front result.
  gCarousel->PaintCard(6, 10, 10, 100, 170, 1, 0.2, frame);
  EXPECT_EQ(frame, gCarousel->HighlightColour) << "the caller's colour is the highlight";
  EXPECT_TRUE(Close(Pixel(*ring, 10, 60), RGB(255, 128, 0), 2)) << "the frame's left edge";
  EXPECT_TRUE(Close(Pixel(*ring, 60, 11), RGB(255, 128, 0), 2)) << "the frame's top edge";
  EXPECT_TRUE(Close(Pixel(*ring, 60, 95), ColourOf(SegmentAt(1)), 12)) << "the thumbnail at full strength";

  gCarousel->SetMenuMode(QStringLiteral("NULL"));
  frame = RGB(0, 0, 0);
  gCarousel->PaintCard(6, 200, 10, 100, 170, 1, 0.5, frame);
  EXPECT_EQ(frame, RGB(0, 0, 0));
  const COLORREF thumb = ColourOf(SegmentAt(1));
  const COLORREF half = RGB((thumb & 0xFF) / 2, ((thumb >> 8) & 0xFF) / 2, ((thumb >> 16) & 0xFF) / 2);
  EXPECT_TRUE(Close(Pixel(*ring, 250, 90), half, 8)) << "unfocused: the thumbnail to the edge, at its alpha";
}

TEST_F(CarouselTest, TheBackgroundIsTheThumbnailGreyedThenWashed) {
  OpenResults(3);
  MakeCarousel();
  Exec(QStringLiteral("UPDATE SegmentThumbnails SET Thumbnail = X'%1'")
           .arg(QString::fromLatin1(Jpeg(RGB(255, 0, 0)).toHex())));
  gLibrary->ThumbnailCache.Clear();
  gLibrary->LoadThumbnails();
  gCarousel->PrepareBackgroundFor(2);
  const double grey = 0.3 * 255;  // pure red, by luminance
  auto washed = [&](int channel) {
    const double c = (grey * 0.8 + 128 * 0.2) * 0.4 + channel * 0.6;
    return static_cast<int>(std::lround(c));
  };
  const COLORREF bg = gCarousel->lBGColour;
  const COLORREF expected = RGB(washed(bg & 0xFF), washed((bg >> 8) & 0xFF), washed((bg >> 16) & 0xFF));
  EXPECT_TRUE(Close(Pixel(*gCarousel->NextBackground(), 640, 360), expected, 6))
      << std::hex << Pixel(*gCarousel->NextBackground(), 640, 360) << " " << expected;
}

TEST_F(CarouselTest, AFileWithoutAPictureShowsNoThumbBesideAPicturedSegmentOfAnotherFile) {
  // Segment 7 (of file 1) has the blue picture; file 70 (whole-file segment
  // 70, as the import numbers files) has none at all.
  OpenResults(0, QStringLiteral("INSERT INTO VideoFiles (FileID, DiskSerialNo, FilePath, FileName, FileSize, "
                                "CurrentPath) VALUES (1, 'A', 'f\\', 'One.mkv', 1, '/f/'), "
                                "(70, 'A', 'f\\', 'Seventy.mkv', 1, '/f/');"
                                "INSERT INTO VideoSegments (SegmentID, FileID, FileFlag, SelectionStart, SelectionEnd, "
                                "Online, Rating) VALUES (1, 1, 'Y', 0, 60, 1, 0), (7, 1, NULL, 1, 2, 1, 0), "
                                "(70, 70, 'Y', 0, 60, 1, 0);"
                                "INSERT INTO SegmentThumbnails VALUES (7, X'%1', 1);")
                     .arg(QString::fromLatin1(Jpeg(kBluePicture).toHex())));
  Exec(QStringLiteral("DELETE FROM SearchResults; INSERT INTO SearchResults VALUES (7, 1), (70, 70)"));
  gLibrary->FetchSearchResults();
  ASSERT_EQ(gLibrary->ResultCount, 2);
  MakeCarousel();
  const int32_t seven = SegmentAt(1) == 70 ? 1 : 2;
  Move(seven);
  const QImage shown = gCarousel->Images().Item(QStringLiteral("Thumb6"))->Image();
  EXPECT_EQ(shown.convertToFormat(QImage::Format_RGB32), NoThumb().convertToFormat(QImage::Format_RGB32));
}

TEST_F(CarouselTest, TheFrontCardLandsAtTheSamePlaceOfTheCanvasAtAnySize) {
  OpenResults(5);
  for (const QSize size : {QSize(640, 360), QSize(1920, 1080)}) {
    SCOPED_TRACE(size.width());
    MakeCarousel(size);
    window_->show();
    Move(3);
    const QImage shown = pane_->ucCarouselCanvas->Shown();
    ASSERT_EQ(shown.size(), size);
    // The front card: 100 x 170 at (190, 53) of the ring, stretched onto the
    // canvas from x 100 over 1080 pixels: its middle is at (640, 138).
    const double scale = size.width() / 1280.0;
    EXPECT_TRUE(Close(shown.pixel(static_cast<int>(640 * scale), static_cast<int>(138 * scale)),
                      ColourOf(SegmentAt(3)), 16));
    // Below the ring lies the greyed background: every channel alike before the wash.
    EXPECT_FALSE(Close(shown.pixel(static_cast<int>(640 * scale), static_cast<int>(600 * scale)),
                       ColourOf(SegmentAt(3)), 40));
    gCarousel.reset();
  }
}

// The counter over the front card keeps its rows on a canvas shown lower
// than its own height (the carousel in the window of a 1024 x 768 screen):
// it is as many rows high there as on a canvas shown at its own height.
TEST_F(CarouselTest, TheCounterKeepsItsRowsOnACanvasShownSmall) {
  OpenResults(10);
  // The rows above the front card, around the middle, that show the counter.
  const auto counterRows = [](const QImage& shown, int frontTop) {
    const int middle = shown.width() / 2;
    const QColor text = ColorRefToQColor(gCarousel->lTextColour);
    int rows = 0;
    for (int y = 0; y < frontTop; ++y) {
      for (int x = middle - shown.width() / 12; x < middle + shown.width() / 12; ++x) {
        const QColor pixel = shown.pixelColor(x, y);
        if (std::abs(pixel.red() - text.red()) + std::abs(pixel.green() - text.green()) +
                std::abs(pixel.blue() - text.blue()) < 120) {
          ++rows;
          break;
        }
      }
    }
    return rows;
  };
  int ownHeight = 0;
  for (const QSize size : {QSize(1280, 720), QSize(740, 310)}) {
    SCOPED_TRACE(size.width());
    MakeCarousel(size);
    window_->show();
    Move(10);
    gCarousel->TimerEvent();
    ASSERT_EQ(gCarousel->CounterText(), QStringLiteral("10 of 10"));
    // The front card's top at rest: y 53 of the ring, which lies at the
    // canvas's top at its own height.
    const QImage shown = pane_->ucCarouselCanvas->Shown();
    const int rows = counterRows(shown, static_cast<int>(53 * size.height() / 720.0));
    if (size.width() == 1280) {
      ownHeight = rows;
      EXPECT_GE(rows, 8);
    } else {
      EXPECT_GE(rows, ownHeight - 1) << "of " << ownHeight;
    }
    gCarousel.reset();
  }
}

// With RW_SCREENSHOT set, the canvas at rest on result 5 of 20 is saved
// there, and a frame from the middle of the move to result 6 beside it
// ("-move" before the extension).
TEST_F(CarouselTest, AMoveFrameShowsTheRingTurnedBetweenTwoRestingRings) {
  OpenResults(20);
  MakeCarousel(QSize(1280, 720));
  window_->show();
  Move(5);
  gCarousel->TimerEvent();
  const QImage atRest = pane_->ucCarouselCanvas->Shown();

  class SnapshotPacer : public CarouselPacer {
   public:
    SnapshotPacer(ucCanvas& canvas, QImage& frame) : canvas_(canvas), frame_(frame) {}
    void BeginFrame() override {}
    void EndFrame() override {
      if (++count_ == 5) frame_ = canvas_.Shown();
    }

   private:
    ucCanvas& canvas_;
    QImage& frame_;
    int count_ = 0;
  };
  QImage midMove;
  gCarousel->SetPacer(std::make_unique<SnapshotPacer>(*pane_->ucCarouselCanvas, midMove));
  gCarousel->SetCarouselIndex(6, true, false);
  ASSERT_FALSE(midMove.isNull());
  // Mid-move the front card's middle is no longer the resting one's colour.
  EXPECT_TRUE(Close(atRest.pixel(640, 138), ColourOf(SegmentAt(5)), 16));
  EXPECT_FALSE(Close(midMove.pixel(640, 138), ColourOf(SegmentAt(5)), 16));
  EXPECT_TRUE(Close(pane_->ucCarouselCanvas->Shown().pixel(640, 138), ColourOf(SegmentAt(6)), 16));

  const QString picture = qEnvironmentVariable("RW_SCREENSHOT");
  if (!picture.isEmpty()) {
    EXPECT_TRUE(atRest.save(picture, "PNG"));
    const int dot = picture.lastIndexOf(QLatin1Char('.'));
    const QString movePicture = dot > 0 ? picture.left(dot) + QStringLiteral("-move") + picture.mid(dot)
                                        : picture + QStringLiteral("-move");
    EXPECT_TRUE(midMove.save(movePicture, "PNG"));
  }
}

TEST_F(CarouselTest, TheHotSpotIsTheFrontCardStrictlyInsideAndNoneInTVOutMode) {
  OpenResults(3);
  MakeCarousel(QSize(640, 360));
  // W/2 - 100 sx = 270, 53 sy = 26.5 -> 26 (half to even), 100 x 85.
  bool inside = false;
  gCarousel->InsideHotSpot(320, 100, inside);
  EXPECT_TRUE(inside);
  gCarousel->InsideHotSpot(270, 100, inside);
  EXPECT_FALSE(inside) << "the left edge is outside";
  gCarousel->InsideHotSpot(271, 27, inside);
  EXPECT_TRUE(inside);
  gCarousel->InsideHotSpot(369.9, 110.9, inside);
  EXPECT_TRUE(inside);
  gCarousel->InsideHotSpot(370, 100, inside);
  EXPECT_FALSE(inside) << "the right edge is outside";
  gTVOutMode = true;
  gCarousel->InsideHotSpot(320, 100, inside);
  EXPECT_FALSE(inside);
}

TEST_F(CarouselTest, FiftyThousandResultsCountPastASixteenBitIndex) {
  MakeCarousel();
  gResults.assign(50001, ResultItem{});
  for (int32_t i = 1; i <= 50000; ++i) gResults[static_cast<size_t>(i)].SegmentID = i;
  gLibrary->ResultCount = 50000;
  Move(40000, false);
  EXPECT_EQ(gBrowserIndex, 40000);
  EXPECT_EQ(gCurrentItem.SegmentID, 40000);
  EXPECT_EQ(gCarousel->ResultTotal(), 50000);
  Move(40020);
  EXPECT_EQ(gBrowserIndex, 40020);
  EXPECT_EQ(log.frames, 9 + 6 * 2 + 5 * 2 + 9);
  gLibrary->ResultCount = 0;
}

TEST_F(CarouselTest, TheHighlightedTagIsRowZeroWithoutACurrentResult) {
  OpenResults(3);
  MakeCarousel();
  gBrowserIndex = 0;
  for (int32_t value : {-1, 0, 1, 5}) {
    int32_t row = value;
    gCarousel->SetHighlightedTag(row);
    EXPECT_EQ(gCarousel->HighlightedTag(), 0) << value;
    EXPECT_EQ(gCarousel->HighlightedTagID, QStringLiteral("ID0"));
  }
}

TEST_F(CarouselTest, TheSchemeZeroPaletteComesFromTheProgramsColours) {
  MakeCarousel();
  gCarousel->SetColourScheme(0);
  EXPECT_EQ(gCarousel->HighlightColour, gCursorColour);
  EXPECT_EQ(gCarousel->lTextColour, gSchemeColour2);
  EXPECT_EQ(gCarousel->lBGColour, gSchemeColour4);
  EXPECT_EQ(gCarousel->lMenuColour3, gSchemeColour4);
  EXPECT_EQ(gCarousel->lColour3, gSchemeColour1);
  EXPECT_EQ(gCarousel->WipeDirection, gCarousel->BroadcastMsg);
  gCarousel->WipeDirection = QStringLiteral("L");
  EXPECT_EQ(gCarousel->BroadcastMsg, QStringLiteral("L")) << "one text under both names";
}

}  // namespace
