// The small controls: geometry in the container's units, labels that size to
// their captions, picture boxes with their persistent drawing, image lists by
// key, timers, the scroll bar's Change and repaint and the key and button codes.
#include "platform/LongWork.h"
#include "platform/controls/ControlErrors.h"
#include "platform/controls/FlexGrid.h"
#include "platform/controls/Frame.h"
#include "platform/controls/ImageControl.h"
#include "platform/controls/ImageList.h"
#include "platform/controls/Label.h"
#include "platform/controls/PictureBox.h"
#include "platform/controls/TimerControl.h"
#include "platform/controls/VScrollBar.h"
#include "tests/platform/controls/ControlTestSupport.h"
#include "tests/support/EventLoopWaits.h"
#include "tests/support/PaintCounter.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TestFonts.h"

#include <QKeyEvent>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QStyleFactory>
#include <QTest>

#include <cairo.h>

#include <memory>

#include <gtest/gtest.h>

namespace {

TEST(ControlGeometryTest, PositionsAreInTheContainersUnits) {
  QWidget form;
  ctl::Frame frame(&form);
  frame.Move(10, 20, 215.0 * 15 / 12, 30);
  EXPECT_EQ(frame.geometry(), QRect(10, 20, 269, 30)) << "268.75 pixels round to 269";
  EXPECT_DOUBLE_EQ(frame.Width(), 268.75) << "reading gives back what was set";
  frame.SetContainerUnits(ctl::ScaleUnits::Twips);
  EXPECT_DOUBLE_EQ(frame.Width(), 269 * 15.0);
  frame.SetLeft(60);  // twips
  EXPECT_EQ(frame.geometry().left(), 4);
  frame.setGeometry(1, 2, 3, 4);  // moved by something else
  EXPECT_DOUBLE_EQ(frame.Top(), 30.0);
  frame.SetVisible(false);
  EXPECT_FALSE(frame.Visible());
  frame.SetTag("BUSY");
  EXPECT_EQ(frame.Tag(), "BUSY");
}

// A label as it is sized to its caption and painted, in text and symbol fonts.
TEST(LabelTest, ALabelSizesToItsCaptionPaintsItsColoursAndDrawsSymbolArrows) {
  ctl::Label label;
  label.SetFontName("DejaVu Sans");
  label.SetFontSize(9);
  label.SetAutoSize(true);
  label.SetCaption("Welcome to Reelwise II...");
  const double wide = label.Width();
  EXPECT_GT(wide, 100);
  label.SetCaption(" ");
  EXPECT_LT(label.Width(), 10);
  EXPECT_GT(label.Width(), 0);
  label.SetFontSize(18);
  EXPECT_GT(label.Height(), 20);
  label.SetCaption("Welcome to Reelwise II...");
  EXPECT_GT(label.Width(), 1.5 * wide);

  // Opaque labels paint their back colour and caption.
  ctl::Label opaque;
  opaque.resize(60, 20);
  opaque.SetBackColor(RGB(0, 0, 200));
  opaque.SetForeColor(RGB(255, 255, 255));
  opaque.SetFontSize(14);
  opaque.SetCaption("WWWW");
  const QImage shot = opaque.grab().toImage();
  EXPECT_EQ(shot.pixelColor(59, 19), QColor(0, 0, 200));
  int light = 0;
  for (int x = 0; x < 60; ++x) light += shot.pixelColor(x, 10).red() > 128 ? 1 : 0;
  EXPECT_GT(light, 3) << "the caption is drawn in the fore colour";

  // Symbol-font arrows draw as triangles, other text as it is.
  EXPECT_EQ(ctl::Label::SymbolText(QStringLiteral("Webdings"), QStringLiteral("34")), QStringLiteral("\u25C0\u25B6"));
  EXPECT_EQ(ctl::Label::SymbolText(QStringLiteral("marlett"), QStringLiteral("56")), QStringLiteral("\u25B2\u25BC"));
  EXPECT_EQ(ctl::Label::SymbolText(QStringLiteral("Tahoma"), QStringLiteral("34")), QStringLiteral("34"));
  ctl::Label symbol;
  symbol.resize(20, 20);
  symbol.SetFontName(QStringLiteral("Webdings"));
  symbol.SetFontSize(12);
  symbol.SetCaption(QStringLiteral("4"));
  const QImage arrow = symbol.grab().toImage();
  symbol.SetCaption(QStringLiteral("3"));
  EXPECT_NE(symbol.grab().toImage(), arrow) << "left and right arrows differ";
}

// The accent over a capital rises above the font's ascent in these fonts:
// a label shows it whole, sized to it or set down within its own height.
TEST(LabelTest, TheAccentOverACapitalShowsWhole) {
  rwtest::AlsoWithNotoFonts();
  const rwtest::WineTahoma tahoma;
  const QString caption = QStringLiteral("\u00C9t\u00E9 caf\u00E9.mp4");
  for (const char* family : {"Tahoma", "DejaVu Sans"}) {
    for (const bool bold : {false, true}) {
      for (const int points : {7, 8, 9, 10, 12, 14, 18, 24}) {
        SCOPED_TRACE(std::string(family) + " " + std::to_string(points) + (bold ? " bold" : ""));
        QFont font(QLatin1String(family), points);
        font.setBold(bold);
        const auto [freeTop, freeBottom] = rwtest::FreeInkRows(font, caption);
        ctl::Label label;
        label.SetFontName(QLatin1String(family));
        label.SetFontSize(points);
        label.SetFontBold(bold);
        label.SetBackColor(RGB(255, 255, 255));
        label.SetAutoSize(true);
        label.SetCaption(caption);
        const auto [top, bottom] = rwtest::InkRows(label.grab().toImage());
        EXPECT_GE(bottom - top, freeBottom - freeTop) << "every row of the ink, the accents' too";
        if (points != 8) continue;
        // As the inspector's file name: 16 pixels high, not sized to it.
        label.SetAutoSize(false);
        label.resize(label.width(), 16);
        const auto [fixedTop, fixedBottom] = rwtest::InkRows(label.grab().toImage());
        EXPECT_GE(fixedBottom - fixedTop, freeBottom - freeTop) << "in a label of 16 pixels";
      }
    }
  }
}

// The picture controls: a picture box's scale, image and drawing, and an
// image control's size.
TEST(PictureBoxTest, APictureBoxAndAnImageControlScaleComposeAndSizeTheirPictures) {
  // Scale sizes exclude the border and follow the scale mode.
  ctl::PictureBox box;
  box.resize(104, 79);
  EXPECT_DOUBLE_EQ(box.ScaleWidth(), 104);
  box.SetBorderStyle(1);
  EXPECT_DOUBLE_EQ(box.ScaleWidth(), 100);
  EXPECT_DOUBLE_EQ(box.ScaleHeight(), 75);
  box.SetScaleMode(ctl::vbTwips);
  EXPECT_DOUBLE_EQ(box.ScaleWidth(), 1500);

  // The image composes back colour, picture and drawing.
  ctl::PictureBox drawn;
  drawn.resize(40, 30);
  drawn.SetBackColor(RGB(10, 20, 30));
  drawn.SetPicture(rwtest::Square(QColor(200, 0, 0), 10, 10));
  ImageSurface& surface = drawn.Surface();
  cairo_t* cr = cairo_create(surface.CairoSurface());
  SetCairoSource(cr, RGB(0, 255, 0));
  cairo_rectangle(cr, 20, 0, 10, 10);
  cairo_fill(cr);
  cairo_destroy(cr);
  surface.MarkDirty();
  EXPECT_EQ(drawn.Point(5, 5), RGB(200, 0, 0));
  EXPECT_EQ(drawn.Point(25, 5), RGB(0, 255, 0));
  EXPECT_EQ(drawn.Point(35, 25), RGB(10, 20, 30));
  EXPECT_EQ(drawn.Point(45, 5), static_cast<COLORREF>(-1)) << "outside the box";
  const QPixmap image = drawn.Image();
  drawn.Cls();
  EXPECT_EQ(drawn.Point(25, 5), RGB(10, 20, 30));
  drawn.SetPicture(image);  // the drawing made persistent
  EXPECT_EQ(drawn.Point(25, 5), RGB(0, 255, 0));

  // The drawing keeps its content when the box grows.
  ctl::PictureBox grown;
  grown.resize(10, 10);
  grown.Surface().Fill(RGB(1, 2, 3));
  grown.resize(20, 20);
  EXPECT_EQ(grown.Surface().Width(), 20);
  EXPECT_EQ(grown.Surface().PixelColorRef(5, 5), RGB(1, 2, 3));

  // An image control takes the picture's size unless stretched.
  ctl::Image picture;
  picture.SetPicture(rwtest::Square(Qt::blue, 24, 12));
  EXPECT_EQ(picture.size(), QSize(24, 12));
  picture.SetStretch(true);
  picture.Move(0, 0, 48, 48);
  EXPECT_EQ(picture.grab().toImage().pixelColor(40, 40), QColor(Qt::blue));
}

TEST(ImageListTest, ImagesAreFoundByKeyAndByIndex) {
  ctl::ImageList list;
  list.ListImages.Add("FILE", rwtest::Square(Qt::red));
  list.ListImages.Add("NO_DROP", rwtest::Square(Qt::green));
  list.ListImages.Add(1, "LOGO", rwtest::Square(Qt::blue));
  EXPECT_EQ(list.ListImages.Count(), 3);
  EXPECT_EQ(list.ListImages("FILE").Index(), 2);
  EXPECT_EQ(list.ListImages(1).Key(), "LOGO");
  EXPECT_EQ(list.Picture("NO_DROP").toImage().pixelColor(0, 0), QColor(Qt::green));
  EXPECT_FALSE(list.ExtractIcon("LOGO").isNull());
  EXPECT_EQ(list.DragCursor("FILE").hotSpot(), QPoint(8, 8));
  EXPECT_EQ(rwtest::ErrorNumber([&] { list.ListImages("file"); }), ctl::kErrElementNotFound);
  EXPECT_EQ(rwtest::ErrorNumber([&] { list.ListImages(4); }), ctl::kErrIndexOutOfBounds);
  EXPECT_EQ(rwtest::ErrorNumber([&] { list.ListImages.Add("FILE", QPixmap()); }), ctl::kErrKeyNotUnique);
  list.ListImages.Remove("LOGO");
  EXPECT_EQ(list.ListImages("FILE").Index(), 1);
}

// A timer's ticks, and an error in its handler.
TEST(TimerControlTest, ATimerTicksWhileEnabledWithAnIntervalAndAnErrorInItsHandlerIsReported) {
  ctl::TimerControl timer;
  int ticks = 0;
  timer.Timer = [&] {
    if (++ticks == 2) timer.SetEnabled(false);  // a one-shot timer turns itself off the same way
  };
  rwtest::RunTimersDueWithin(30);
  EXPECT_EQ(ticks, 0) << "no interval, no tick";
  timer.SetInterval(5);
  EXPECT_TRUE(QTest::qWaitFor([&] { return ticks == 2; }, rwtest::kWaitCeilingMs));
  rwtest::RunTimersDueWithin(30);
  EXPECT_EQ(ticks, 2);

  // An error in the handler is reported.
  rwtest::ScriptedMessageBoxes boxes;
  boxes.Answer(vbOK);
  ctl::TimerControl failing;
  failing.Timer = [&] {
    failing.SetEnabled(false);
    throw RWError(5, "Invalid procedure call or argument");
  };
  failing.SetInterval(1);
  EXPECT_TRUE(QTest::qWaitFor([&] { return boxes.Count() == 1; }, rwtest::kWaitCeilingMs));
  EXPECT_EQ(boxes.Last().prompt, "5: Invalid procedure call or argument");
}

// The scroll bar's value and Change, and its repaint and the results grid's
// a pixel under it: each repaints only itself.
TEST(VScrollBarTest, AScrollBarsChangeFollowsItsValueAndItAndTheGridUnderItRepaintOnlyThemselves) {
  {
    SCOPED_TRACE("Change follows every change of value and the value stays in range");
    ctl::VScrollBar bar;
    bar.SetMin(1);
    bar.SetMax(10);
    std::vector<int> changes;
    bar.Change = [&] { changes.push_back(bar.Value()); };
    bar.SetValue(4);
    bar.SetValue(4);
    bar.SetMax(3);
    bar.SetLargeChange(5);
    EXPECT_EQ(bar.LargeChange(), 5);
    EXPECT_EQ(changes, (std::vector<int>{4, 3}));
    bar.SetTag("BUSY");
    EXPECT_EQ(bar.Tag(), "BUSY");
  }
  // A value step repaints only where the thumb was and is: in every style at
  // hand, the bar on the screen shows after each step what it shows painted
  // whole, at the ends too.
  for (const QString& name : QStyleFactory::keys()) {
    std::unique_ptr<QStyle> style(QStyleFactory::create(name));
    ctl::VScrollBar bar;
    bar.findChild<QScrollBar*>()->setStyle(style.get());
    bar.resize(17, 300);
    bar.SetMax(1000);
    bar.SetLargeChange(10);
    bar.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar)) << name.toStdString();
    for (const int value : {100, 350, 360, 1000, 990, 0, 500, 1}) {
      bar.SetValue(value);
      LongWork::Paint();
      const QImage shown = bar.screen()->grabWindow(bar.winId()).toImage().convertToFormat(QImage::Format_RGB32);
      const QImage whole = bar.grab().toImage().convertToFormat(QImage::Format_RGB32);
      EXPECT_EQ(shown, whole) << name.toStdString() << " at " << value;
    }
  }
  // The results grid lies a pixel under its scroll bar. Its repaint leaves the
  // bar alone (a whole bar's height painted with every page of results), and
  // the screen still shows the bar on top and the grid's new cells beside it.
  SCOPED_TRACE("the grid under the bar repaints without it");
  QWidget frame;
  frame.resize(140, 120);
  ctl::FlexGrid grid(&frame);
  grid.setGeometry(0, 0, 100, 120);
  grid.SetRows(4);
  grid.SetCols(3);
  ctl::VScrollBar bar(&frame);
  bar.setGeometry(99, 0, 17, 120);
  bar.SetMax(100);
  frame.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
  LongWork::Paint();
  rwtest::PaintCounter counter(bar.findChild<QScrollBar*>());
  for (const COLORREF colour : {RGB(200, 0, 0), RGB(0, 0, 200)}) {
    grid.SetRedraw(false);
    for (int row = 0; row < grid.Rows(); ++row) {
      grid.SetRow(row);
      grid.SetCol(2);
      grid.SetCellBackColor(colour);
    }
    grid.SetRedraw(true);
    grid.Refresh();
    LongWork::Paint();
    EXPECT_EQ(counter.paints, 0);
    const QImage shown = frame.screen()->grabWindow(frame.winId()).toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown.copy(99, 0, 17, 120), bar.grab().toImage().convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(shown.copy(0, 0, 99, 120), grid.grab(QRect(0, 0, 99, 120)).toImage().convertToFormat(QImage::Format_RGB32));
    counter.paints = 0;  // grabbing the bar painted it
  }
}

TEST(VbInputTest, KeysButtonsAndShiftStatesUseTheProgramsCodes) {
  const auto code = [](int key, Qt::KeyboardModifiers modifiers = {}) {
    QKeyEvent event(QEvent::KeyPress, key, modifiers);
    return ctl::VbKeyCode(&event);
  };
  EXPECT_EQ(code(Qt::Key_Return), 13);
  EXPECT_EQ(code(Qt::Key_Down), 40);
  EXPECT_EQ(code(Qt::Key_Delete), 46);
  EXPECT_EQ(code(Qt::Key_F2), 113);
  EXPECT_EQ(code(Qt::Key_T), 'T');
  EXPECT_EQ(code(Qt::Key_5, Qt::KeypadModifier), 101);
  EXPECT_EQ(code(Qt::Key_5), '5');
  EXPECT_EQ(code(Qt::Key_Comma), 188);
  EXPECT_EQ(code(Qt::Key_Period), 190);
  EXPECT_EQ(code(Qt::Key_Period, Qt::KeypadModifier), 110);
  EXPECT_EQ(code(Qt::Key_BracketLeft), 219);
  EXPECT_EQ(code(Qt::Key_BracketRight), 221);
  EXPECT_EQ(code(Qt::Key_Plus, Qt::KeypadModifier), 107);
  EXPECT_EQ(ctl::VbShift(Qt::ShiftModifier | Qt::AltModifier), 5);
  EXPECT_EQ(ctl::VbButton(Qt::RightButton), 2);
  EXPECT_EQ(ctl::VbButtons(Qt::LeftButton | Qt::MiddleButton), 5);
  EXPECT_EQ(ctl::QtKeyForVbKeyCode(113), Qt::Key_F2);
}

}  // namespace
