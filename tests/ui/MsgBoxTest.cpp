// The program's message box, driven as a real window on the offscreen
// screen: each test acts on the box from inside its nested modal loop.
#include "platform/MessageBoxSeam.h"
#include "platform/Twips.h"
#include "tests/support/PaintCounter.h"
#include "ui/ProgramFonts.h"
#include "ui/SchemeColours.h"
#include "tests/support/EventLoopWaits.h"
#include "tests/support/TempHome.h"
#include "tests/ui/ManualTickClock.h"
#include "ui/cWindowMgr.h"
#include "ui/frmMsgBox.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTextDocumentFragment>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

// A home of its own: the window manager some tests make keeps its placement
// in the settings. The program's fonts are registered, as at start-up, so
// that the box measures the same text whatever ran before in the binary.
class MsgBoxTest : public rwtest::TempHomeTest {
 protected:
  static void SetUpTestSuite() { RegisterProgramFonts(); }

  void SetUp() override {
    TempHomeTest::SetUp();
    gSchemeColour1 = RGB(220, 230, 240);
    gSchemeColour2 = RGB(250, 250, 250);
    gSchemeColour4 = RGB(40, 60, 100);
    frmMsgBox::SetBeeper([this](int type) { beeps.push_back(type); });
    frmMsgBox::SetClockFactory([this] {
      auto clock = std::make_unique<rwtest::ManualTickClock>();
      clock_ = clock.get();
      return clock;
    });
    // Whatever goes wrong, no test waits for ever on a box.
    safety_.setSingleShot(true);
    QObject::connect(&safety_, &QTimer::timeout, [] { frmMsgBox::CloseOtherMessageBoxes(); });
    safety_.start(20000);
  }
  void TearDown() override {
    safety_.stop();
    frmMsgBox::CloseOtherMessageBoxes();
    frmMsgBox::SetBeeper(nullptr);
    frmMsgBox::SetClockFactory(nullptr);
    gWindowMgr.reset();
    TempHomeTest::TearDown();
  }

  // Runs the action on the current box once its modal loop runs.
  static void WhenShown(std::function<void(frmMsgBox&)> action) {
    QTimer::singleShot(0, qApp, [action] {
      ASSERT_TRUE(gMsgBoxForm);
      action(*gMsgBoxForm);
    });
  }

  static std::vector<QString> VisibleCaptions(frmMsgBox& box) {
    std::vector<QString> captions;
    for (QPushButton* button : box.cmdButton) {
      if (!button->isHidden()) captions.push_back(button->text());
    }
    return captions;
  }

  static QPushButton* ButtonWithCaption(frmMsgBox& box, const QString& caption) {
    for (QPushButton* button : box.cmdButton) {
      if (!button->isHidden() && button->text() == caption) return button;
    }
    return nullptr;
  }

  static void Click(frmMsgBox& box, const QString& caption) {
    QPushButton* button = ButtonWithCaption(box, caption);
    ASSERT_NE(button, nullptr) << caption.toStdString();
    QTest::mouseClick(button, Qt::LeftButton);
  }

  std::vector<int> beeps;
  rwtest::ManualTickClock* clock_ = nullptr;  // the countdown's clock
  QTimer safety_;
};

struct StyleCase {
  int style;
  std::vector<QString> captions;
  std::vector<int> codes;
  int escape;  // -1: Esc does nothing
};

TEST_F(MsgBoxTest, EveryButtonSetShowsItsCaptionsAndReturnsItsCodes) {
  const std::vector<StyleCase> cases = {
      {0, {"OK"}, {1}, 1},
      {1, {"OK"}, {1}, 1},  // the picture style shows one OK button
      {33, {"OK", "Cancel"}, {1, 2}, 2},
      {18, {"Abort", "Retry", "Ignore"}, {3, 4, 5}, -1},
      {35, {"Yes", "No", "Cancel"}, {6, 7, 2}, 2},
      {36, {"Yes", "No"}, {6, 7}, -1},
      {53, {"Retry", "Cancel"}, {4, 2}, 2},
      {6, {"OK"}, {1}, 1},
      {64, {"OK"}, {1}, 1},
  };
  for (const StyleCase& c : cases) {
    for (size_t i = 0; i < c.captions.size(); ++i) {
      WhenShown([&](frmMsgBox& box) {
        EXPECT_EQ(VisibleCaptions(box), c.captions) << "style " << c.style;
        Click(box, c.captions[i]);
      });
      EXPECT_EQ(frmMsgBox::SMessageModal(QStringLiteral("Continue?"), c.style), c.codes[i]) << "style " << c.style;
    }
    WhenShown([&](frmMsgBox& box) {
      QTest::keyClick(&box, Qt::Key_Escape);
      if (c.escape < 0) {
        EXPECT_TRUE(box.isVisible()) << "style " << c.style << ": no cancel button";
        box.Unload();
      }
    });
    EXPECT_EQ(frmMsgBox::SMessageModal(QStringLiteral("Continue?"), c.style), std::max(0, c.escape))
        << "style " << c.style;
    EXPECT_EQ(gMsgBoxForm, nullptr);
  }
}

TEST_F(MsgBoxTest, HelpButtonJoinsTheRowWithoutAGap) {
  WhenShown([](frmMsgBox& box) {
    EXPECT_EQ(VisibleCaptions(box), (std::vector<QString>{"Yes", "No", "Help"}));
    const int w = box.width();
    EXPECT_GE(w, 394);
    EXPECT_EQ(box.cmdButton[3]->x(), w - 68 - 15);
    EXPECT_EQ(box.cmdButton[1]->x(), w - 68 - 15 - 73);
    EXPECT_EQ(box.cmdButton[0]->x(), w - 68 - 15 - 146);
    QTest::keyClick(&box, Qt::Key_Escape);
    EXPECT_TRUE(box.isVisible());
    Click(box, QStringLiteral("Help"));
  });
  EXPECT_EQ(frmMsgBox::SMessageModal(QStringLiteral("Delete?"), 4 + 0x4000), 8);
}

TEST_F(MsgBoxTest, DefaultTitlesAndBeepsFollowTheIconRow) {
  QString title;
  auto readTitle = [&title](frmMsgBox& box) {
    title = box.lblTitle->text();
    box.Unload();
  };
  WhenShown(readTitle);
  frmMsgBox::SMessageModal(QStringLiteral("Careful"), 48);
  EXPECT_EQ(title, QStringLiteral("Warning!"));
  WhenShown(readTitle);
  frmMsgBox::SMessageModal(QStringLiteral("Careful"), 48, QStringLiteral("Invalid Name"));
  EXPECT_EQ(title, QStringLiteral("Invalid Name"));
  EXPECT_EQ(beeps, (std::vector<int>{48, 48}));

  const std::vector<std::pair<int, QString>> rows = {{16, "ERROR!"},
                                                     {32, "Question?"},
                                                     {64, "Information"},
                                                     {80, "Working... Please Wait"},
                                                     {160, "Printing.. Please Wait"},
                                                     {128, ""},
                                                     {1, ""},
                                                     {2, ""},
                                                     {112, ""}};
  beeps.clear();
  for (const auto& [style, expected] : rows) {
    WhenShown(readTitle);
    frmMsgBox::SMessageModal(QStringLiteral("Text"), style);
    EXPECT_EQ(title, expected) << style;
  }
  EXPECT_EQ(beeps, (std::vector<int>{16, 32, 64, 64, 64}));
}

TEST_F(MsgBoxTest, TheDefaultButtonHasTheFocusAndEnterPressesIt) {
  // The window under the box shows without it as soon as the answer is
  // given, before anything the answer starts (long work paints nothing else).
  rwtest::CountedWidget under;
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&under));
  WhenShown([&under](frmMsgBox& box) {
    ASSERT_TRUE(QTest::qWaitForWindowActive(&box));
    EXPECT_TRUE(box.cmdButton[1]->hasFocus());
    under.paints = 0;
    QTest::keyClick(&box, Qt::Key_Return);
  });
  EXPECT_EQ(frmMsgBox::SMessageModal(QStringLiteral("Replace?"), 3 + 0x100), 7);
  EXPECT_EQ(under.paints, 1);
  under.hide();

  // Button 2 is not in the Yes/No set: no button takes the focus.
  WhenShown([](frmMsgBox& box) {
    ASSERT_TRUE(QTest::qWaitForWindowActive(&box));
    for (QPushButton* button : box.cmdButton) EXPECT_FALSE(button->hasFocus());
    QTest::keyClick(&box, Qt::Key_Return);
    EXPECT_TRUE(box.isVisible());
    box.Unload();
  });
  EXPECT_EQ(frmMsgBox::SMessageModal(QStringLiteral("Replace?"), 0x204), 0);
}

TEST_F(MsgBoxTest, CountdownCountsDownInTheTitleAndClosesUnanswered) {
  std::vector<QString> titles;
  WhenShown([&](frmMsgBox& box) {
    ASSERT_TRUE(clock_->Running());
    EXPECT_EQ(clock_->interval, 1000);
    titles.push_back(box.lblTitle->text());
    for (int i = 0; i < 5 && gMsgBoxForm; ++i) {
      clock_->Tick();
      if (gMsgBoxForm) titles.push_back(box.lblTitle->text());
    }
  });
  EXPECT_EQ(frmMsgBox::SMessageModal(QStringLiteral("Done"), 0, QStringLiteral("Information"), 5), 0);
  EXPECT_EQ(titles, (std::vector<QString>{"Information -5", "Information -4", "Information -3", "Information -2",
                                          "Information -1"}));

  titles.clear();
  WhenShown([&](frmMsgBox& box) {
    titles.push_back(box.lblTitle->text());
    clock_->Tick();
    titles.push_back(box.lblTitle->text());
    box.Unload();
  });
  frmMsgBox::SMessageModal(QStringLiteral("Done"), 0, QString(), 5);
  EXPECT_EQ(titles, (std::vector<QString>{"5", "4"}));
}

TEST_F(MsgBoxTest, CountdownIsClearedForQuestionsAndKeptForAbortRetryIgnore) {
  WhenShown([this](frmMsgBox& box) {
    EXPECT_FALSE(clock_->Running());
    EXPECT_EQ(box.lblTitle->text(), QStringLiteral("Question?"));
    Click(box, QStringLiteral("No"));
  });
  EXPECT_EQ(frmMsgBox::SMessageModal(QStringLiteral("Sure?"), 36, QString(), 5), 7);

  WhenShown([this](frmMsgBox& box) {
    EXPECT_EQ(box.lblTitle->text(), QStringLiteral("ERROR! -5"));
    for (int i = 0; i < 5; ++i) clock_->Tick();
  });
  EXPECT_EQ(frmMsgBox::SMessageModal(QStringLiteral("Failed"), 18, QString(), 5), 0);

  // A negative time-out leaves the title as it is and closes at the first tick.
  WhenShown([this](frmMsgBox& box) {
    EXPECT_EQ(box.lblTitle->text(), QStringLiteral("Information"));
    clock_->Tick();
  });
  EXPECT_EQ(frmMsgBox::SMessageModal(QStringLiteral("Bye"), 64, QString(), -3), 0);
}

TEST_F(MsgBoxTest, WidthHasAMinimumAndGrowsForLongTitles) {
  int width = 0;
  WhenShown([&width](frmMsgBox& box) {
    width = box.width();
    EXPECT_EQ(box.cmdButton[0]->x(), width - 68 - 15);
    box.Unload();
  });
  frmMsgBox::SMessageModal(QStringLiteral("Short"), 0, QStringLiteral("T"), 0, true, 3000);
  EXPECT_EQ(width, static_cast<int>(4500 / TwipsPerPixelX()));

  const QString title = QStringLiteral("A rather long title for such a short message, it must widen the box");
  QFont font(QStringLiteral("Tahoma"));
  font.setPointSizeF(10);
  const int expected = QFontMetrics(font).horizontalAdvance(title) + 130;
  WhenShown([&width](frmMsgBox& box) {
    width = box.width();
    box.Unload();
  });
  frmMsgBox::SMessageModal(QStringLiteral("Short"), 0, title);
  EXPECT_NEAR(width, expected, 1);
}

TEST_F(MsgBoxTest, SeveralLinesGrowTheBoxAroundTextAndButtons) {
  int oneLine = 0;
  WhenShown([&oneLine](frmMsgBox& box) {
    oneLine = box.height();
    box.Unload();
  });
  frmMsgBox::SMessageModal(QStringLiteral("One line"), 0);

  WhenShown([oneLine](frmMsgBox& box) {
    const QRect text(box.scrollMessage->geometry());
    EXPECT_EQ(text.topLeft(), QPoint(20, 50));
    EXPECT_EQ(box.txtMessage->height(), text.height());
    EXPECT_EQ(box.cmdButton[0]->y(), text.bottom() + 1 + 10);
    EXPECT_EQ(box.height(), box.cmdButton[0]->geometry().bottom() + 1 + 12);
    EXPECT_GE(box.height(), oneLine + 3 * box.txtMessage->fontMetrics().lineSpacing()) << "three lines more";
    box.Unload();
  });
  frmMsgBox::SMessageModal(QStringLiteral("First line\r\nSecond line\r\nThird line\r\nFourth line"), 33);
}

TEST_F(MsgBoxTest, ABoxLargerThanTheWorkAreaScrollsItsMessageAndKeepsItsButtons) {
  QString report;
  for (int i = 0; i < 150; ++i) {
    report += QStringLiteral("Format                                   : MPEG-4 %1 ").arg(i) + QString(200, QLatin1Char('x')) +
              QStringLiteral("\r\n");
  }
  WhenShown([](frmMsgBox& box) {
    const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE(box.width(), work.width());
    EXPECT_LE(box.height(), work.height());
    EXPECT_TRUE(work.contains(box.geometry()));
    EXPECT_LE(box.cmdButton[0]->geometry().bottom(), box.height() - 12);
    EXPECT_GT(box.scrollMessage->verticalScrollBar()->maximum(), 0);
    // Not re-wrapped: the lines keep their length and scroll sideways.
    EXPECT_GT(box.txtMessage->width(), box.scrollMessage->viewport()->width());
    Click(box, QStringLiteral("OK"));
  });
  EXPECT_EQ(frmMsgBox::SMessageModal(report, 1, QString(), 0, true, -1, QStringLiteral("Courier")), 1);
}

TEST_F(MsgBoxTest, ABoxThatReplacesAnotherLeavesTheOuterCallUnanswered) {
  int inner = -1;
  WhenShown([&inner](frmMsgBox&) {
    WhenShown([](frmMsgBox& box) { Click(box, QStringLiteral("Yes")); });
    inner = frmMsgBox::SMessageModal(QStringLiteral("Inner"), 36);
  });
  EXPECT_EQ(frmMsgBox::SMessageModal(QStringLiteral("Outer"), 36), 0);
  EXPECT_EQ(inner, 6);
  EXPECT_EQ(gMsgBoxForm, nullptr);
}

TEST_F(MsgBoxTest, CentresOverTheMainWindowOrTheWorkArea) {
  const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
  QRect placed;
  auto record = [&placed](frmMsgBox& box) {
    placed = box.frameGeometry();
    box.Unload();
  };
  WhenShown(record);
  frmMsgBox::SMessageModal(QStringLiteral("No main window yet"), 0, QString(), 0, false);
  EXPECT_NEAR(placed.center().x(), work.center().x(), 1);
  EXPECT_NEAR(placed.center().y(), work.center().y(), 1);

  QWidget mainWindow;
  mainWindow.setGeometry(100, 80, 900, 700);
  mainWindow.show();
  gWindowMgr = std::make_unique<cWindowMgr>(&mainWindow);
  WhenShown(record);
  frmMsgBox::SMessageModal(QStringLiteral("Over the main window"), 0);
  EXPECT_NEAR(placed.center().x(), mainWindow.frameGeometry().center().x(), 1);
  EXPECT_NEAR(placed.center().y(), mainWindow.frameGeometry().center().y(), 1);

  mainWindow.showMinimized();
  WhenShown(record);
  frmMsgBox::SMessageModal(QStringLiteral("Main window minimised"), 0);
  EXPECT_NEAR(placed.center().x(), work.center().x(), 1);

  mainWindow.hide();
  WhenShown(record);
  frmMsgBox::SMessageModal(QStringLiteral("Main window hidden"), 0);
  EXPECT_NEAR(placed.center().y(), work.center().y(), 1);
}

TEST_F(MsgBoxTest, AnOwnerWithoutADeviceContextGetsATopmostBox) {
  QWidget owner;
  bool topmost = true;
  auto record = [&topmost](frmMsgBox& box) {
    topmost = box.windowFlags().testFlag(Qt::WindowStaysOnTopHint);
    box.Unload();
  };
  WhenShown(record);
  frmMsgBox::SMessageModal(QStringLiteral("Plain owner"), 0, QString(), 0, true, -1, QStringLiteral("Tahoma"), &owner);
  EXPECT_FALSE(topmost);
  owner.setProperty("HasDC", false);
  WhenShown(record);
  frmMsgBox::SMessageModal(QStringLiteral("Owner without DC"), 0, QString(), 0, true, -1, QStringLiteral("Tahoma"),
                           &owner);
  EXPECT_TRUE(topmost);
}

TEST_F(MsgBoxTest, FaceTitleBandAndShapeAreDrawnInTheSchemeColours) {
  gSchemeColour2 = RGB(120, 250, 120);
  WhenShown([](frmMsgBox& box) {
    const QImage face = box.grab().toImage();
    const QColor band = face.pixelColor(box.width() / 2, 2);
    EXPECT_NEAR(band.red(), 40, 3);
    EXPECT_NEAR(band.blue(), 100, 3);
    const QColor left = face.pixelColor(15, 45);
    EXPECT_NEAR(left.red(), 220, 3);
    EXPECT_NEAR(left.blue(), 240, 3);
    // The message area shows the face through it.
    const QColor above = face.pixelColor(box.width() / 2 + 40, 40);
    const QColor inside = face.pixelColor(box.width() / 2 + 40, 60);
    EXPECT_NEAR(inside.red(), above.red(), 2);
    EXPECT_NEAR(inside.green(), above.green(), 2);
    EXPECT_LT(above.red(), 215) << "the face runs toward the second colour";
    EXPECT_FALSE(box.mask().contains(QPoint(0, 0))) << "rounded corner";
    EXPECT_TRUE(box.mask().contains(QPoint(box.width() / 2, box.height() / 2)));
    box.Unload();
  });
  frmMsgBox::SMessageModal(QStringLiteral("Colours"), 0, QStringLiteral("Scheme"));
}

// A path in the bold title reads as typed, without a blank's width after
// each slash: the inked width of "/tmp/card/media/" is that of its letters
// in bold and its slashes in the regular weight, whose slash has no gap
// after it.
// A title's blanks and its "&" and "<" are kept.
TEST_F(MsgBoxTest, APathInTheTitleShowsNoBlankAfterItsSlashes) {
  const QString path = QStringLiteral("/tmp/card/media/");
  int inked = 0;
  WhenShown([&inked](frmMsgBox& box) {
    // The white title on the dark band, between the icon and the edge.
    const QImage band = box.grab(box.lblTitle->geometry()).toImage();
    int first = -1, last = -1;
    std::vector<int> rows;  // those of the dark band
    for (int y = 0; y < band.height(); ++y) {
      if (band.pixelColor(band.width() - 30, y).red() < 100) rows.push_back(y);
    }
    ASSERT_GT(rows.size(), 8u);
    for (int x = 40; x < band.width() - 10; ++x) {
      for (const int y : rows) {
        const QColor c = band.pixelColor(x, y);
        if (c.red() > 150 && c.green() > 150 && c.blue() > 150) {
          if (first < 0) first = x;
          last = x;
          break;
        }
      }
    }
    inked = last - first + 1;
    box.Unload();
  });
  frmMsgBox::SMessageModal(QStringLiteral("Proceed?"), 4 | 48, path, 0, true, -1, QStringLiteral("Tahoma"));
  // The inked width the path takes with regular and with bold slashes.
  QFont regular(QStringLiteral("Tahoma"));
  regular.setPointSizeF(9.75);
  QFont bold = regular;
  bold.setBold(true);
  const double letters = QFontMetricsF(bold).horizontalAdvance(QStringLiteral("tmpcardmedia"));
  const auto withSlashes = [&](const QFont& font) {
    const QFontMetricsF metrics(font);
    return letters + 3 * metrics.horizontalAdvance(QLatin1Char('/')) + metrics.tightBoundingRect(QStringLiteral("/")).width();
  };
  const double thin = withSlashes(regular);
  const double wide = withSlashes(bold);
  ASSERT_GT(wide - thin, 4) << "the bold slash is wider";
  EXPECT_LT(std::abs(inked - thin), std::abs(inked - wide)) << inked << " px; regular " << thin << ", bold " << wide;

  WhenShown([](frmMsgBox& box) {
    EXPECT_EQ(QTextDocumentFragment::fromHtml(box.lblTitle->text()).toPlainText(),
              QStringLiteral("Problem with drive /a  b/<x> & y/"));
    box.Unload();
  });
  frmMsgBox::SMessageModal(QStringLiteral("Proceed?"), 4 | 48, QStringLiteral("Problem with drive /a  b/<x> & y/"));
}

TEST_F(MsgBoxTest, IconsAndPicturesAreDrawnAtTheTopLeft) {
  // Pixels of the icon's lower part, below the title band, that differ from
  // the plain face of a box without an icon.
  auto iconPixels = [](int style) {
    int changed = 0;
    WhenShown([&changed](frmMsgBox& box) {
      const QImage face = box.grab().toImage();
      for (int x = 8; x < 40; ++x) {
        for (int y = 32; y < 40; ++y) {
          const QColor c = face.pixelColor(x, y);
          if (std::abs(c.red() - 220) > 12 || std::abs(c.blue() - 240) > 12) ++changed;
        }
      }
      box.Unload();
    });
    frmMsgBox::SMessageModal(QStringLiteral("Icon"), style, QStringLiteral("Title"));
    return changed;
  };
  EXPECT_EQ(iconPixels(0), 0);
  EXPECT_GT(iconPixels(48), 10);
  EXPECT_GT(iconPixels(1), 10) << "the media report's picture, or its stand-in";
  EXPECT_GT(iconPixels(2), 10) << "the tip of the day's picture, or its stand-in";
}

TEST_F(MsgBoxTest, DraggingTheTitleMovesTheBox) {
  WhenShown([](frmMsgBox& box) {
    const QPoint start = box.pos();
    QWidget* title = box.lblTitle;
    const QPoint at(20, 5);
    QMouseEvent press(QEvent::MouseButtonPress, at, title->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(title, &press);
    const QPoint to = at + QPoint(40, 25);
    QMouseEvent move(QEvent::MouseMove, to, title->mapToGlobal(at) + QPoint(40, 25), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(title, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, to, title->mapToGlobal(at) + QPoint(40, 25), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(title, &release);
    EXPECT_EQ(box.pos(), start + QPoint(40, 25));
    box.Unload();
  });
  frmMsgBox::SMessageModal(QStringLiteral("Drag me"), 0);
}

TEST_F(MsgBoxTest, EveryShowMessageBoxReachesTheProgramsBox) {
  auto previous = SetMessageBoxHandler(nullptr);
  frmMsgBox::InstallMessageBoxHandler();
  QString font;
  WhenShown([&font](frmMsgBox& box) {
    font = box.txtMessage->font().family();
    Click(box, QStringLiteral("Cancel"));
  });
  MessageBoxRequest request;
  request.prompt = QStringLiteral("Delete the tag?");
  request.style = vbOKCancel + vbQuestion;
  EXPECT_EQ(ShowMessageBox(request), vbCancel);
  EXPECT_EQ(font, QStringLiteral("Tahoma"));
  SetMessageBoxHandler(std::move(previous));
}

TEST_F(MsgBoxTest, ModelessBoxesReturnAtOnceAndCloseThemselves) {
  QWidget owner;
  EXPECT_EQ(frmMsgBox::sMessage(QStringLiteral("Busy closing"), 6, QString(), 0, 0, true, -1,
                                QStringLiteral("Tahoma"), &owner),
            0);
  QPointer<frmMsgBox> box = gMsgBoxForm;
  ASSERT_TRUE(box);
  EXPECT_EQ(VisibleCaptions(*box), (std::vector<QString>{"Ok"}));
  Click(*box, QStringLiteral("Ok"));
  EXPECT_EQ(gMsgBoxForm, nullptr);
  EXPECT_TRUE(QTest::qWaitFor([&box] { return box.isNull(); }, rwtest::kWaitCeilingMs));

  frmMsgBox::sMessage(QStringLiteral("Working"), 64);
  box = gMsgBoxForm;
  ASSERT_TRUE(box);
  EXPECT_TRUE(VisibleCaptions(*box).empty());
  frmMsgBox::CloseOtherMessageBoxes();
  EXPECT_TRUE(QTest::qWaitFor([&box] { return box.isNull(); }, rwtest::kWaitCeilingMs));
}

TEST_F(MsgBoxTest, ClosedByTheWindowSystemIsUnanswered) {
  WhenShown([](frmMsgBox& box) { box.close(); });
  EXPECT_EQ(frmMsgBox::SMessageModal(QStringLiteral("Close me"), 36), 0);
}

}  // namespace
