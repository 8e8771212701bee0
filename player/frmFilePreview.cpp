// The story-board window: its controls, its load (the board built and saved)
// and its events.
#include "player/frmFilePreview.h"

#include "core/ProgramMessage.h"
#include "core/ShownNumbers.h"
#include "core/modLaunchDoc.h"
#include "core/modReelwise.h"
#include "library/ResultItem.h"
#include "library/clsRWLibrary.h"
#include "platform/ErrorGuard.h"
#include "platform/LongWork.h"
#include "platform/QuitRequest.h"
#include "platform/RWError.h"
#include "platform/Rounding.h"
#include "player/BoardFrames.h"
#include "player/clsRWPlayer.h"
#include "player/modMainPlayer.h"
#include "platform/JpegCodec.h"
#include "ui/CairoContext.h"
#include "ui/PictureFit.h"
#include "ui/WorkArea.h"
#include "ui/modReelwise_drawing.h"

#include <QCloseEvent>
#include <QElapsedTimer>
#include <QFrame>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <QRegularExpression>

#include <cstring>
#include <vector>

namespace {

// The board's picture, shown 1:1; presses and double clicks go to the window.
class BoardPicture : public QWidget {
 public:
  BoardPicture(frmFilePreview& form, QWidget* parent) : QWidget(parent), form_(form) {
    setObjectName(QStringLiteral("picPreview"));
    setAttribute(Qt::WA_OpaquePaintEvent);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    if (ImageSurface* board = form_.Board()) {
      board->Flush();
      painter.drawImage(0, 0, board->Image());
    } else {
      painter.fillRect(rect(), Qt::white);
    }
  }
  void mousePressEvent(QMouseEvent* event) override {
    const int button = event->button() == Qt::RightButton ? 2 : event->button() == Qt::LeftButton ? 1 : 4;
    const QPointF at = event->position();
    ErrorGuard().Run([&] { form_.picPreview_MouseDown(button, 0, at.x(), at.y()); });
  }
  void mouseDoubleClickEvent(QMouseEvent* event) override {
    const QPointF at = event->position();
    ErrorGuard().Run([&] {
      form_.picPreview_MouseDown(1, 0, at.x(), at.y());
      form_.picPreview_DblClick();
    });
  }

 private:
  frmFilePreview& form_;
};

QSize ScreenSize() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->geometry().size() : QSize(1920, 1080);
}

ILibraryView* View() { return gLibrary ? &gLibrary->View() : nullptr; }

}  // namespace

frmFilePreview::frmFilePreview(QWidget* owner) : QDialog(owner) {
  setObjectName(QStringLiteral("frmFilePreview"));
  setWindowTitle(QStringLiteral("Story Board"));
  MakeControls();
  ErrorGuard().Run([&] { Form_Load(); });
}

frmFilePreview::~frmFilePreview() { Form_Unload(); }

void frmFilePreview::MakeControls() {
  picPreview = new BoardPicture(*this, this);
  VScroll1 = new QScrollBar(Qt::Vertical, this);
  VScroll1->setObjectName(QStringLiteral("VScroll1"));
  VScroll1->hide();
  connect(VScroll1, &QScrollBar::valueChanged, this, [this] { VScroll1_Change(); });
  HScroll1 = new QScrollBar(Qt::Horizontal, this);
  HScroll1->setObjectName(QStringLiteral("HScroll1"));
  HScroll1->hide();
  connect(HScroll1, &QScrollBar::valueChanged, this, [this] { VScroll1_Change(); });
  scrollCorner_ = new QWidget(this);
  scrollCorner_->setAutoFillBackground(true);
  scrollCorner_->hide();
  framePlayer = new QFrame(picPreview);
  framePlayer->setObjectName(QStringLiteral("framePlayer"));
  framePlayer->hide();
  Timer1 = new QTimer(this);
  Timer1->setObjectName(QStringLiteral("Timer1"));
  Timer1->setInterval(250);
  connect(Timer1, &QTimer::timeout, this, [this] { ErrorGuard().Run([&] { Timer1_Timer(); }); });
  cmdClose = new QPushButton(QStringLiteral("Quit"), this);
  cmdClose->setObjectName(QStringLiteral("cmdClose"));
  quitStrip = MakeQuitStrip(*this, *cmdClose);
  connect(cmdClose, &QPushButton::clicked, this, [this] { cmdClose_Click(); });
  mnuPreview = new QMenu(this);
  mnuPreview->setObjectName(QStringLiteral("mnuPreview"));
  mnuOpen = mnuPreview->addAction(QStringLiteral("Open in Default Application"));
  mnuSettings = mnuPreview->addAction(QStringLiteral("Reconfigure..."));
  mnuSep = mnuPreview->addSeparator();
  mnuClose = mnuPreview->addAction(QStringLiteral("Close"));
  mnuOpen->setObjectName(QStringLiteral("mnuOpen"));
  mnuSettings->setObjectName(QStringLiteral("mnuSettings"));
  mnuSep->setObjectName(QStringLiteral("mnuSep"));
  mnuClose->setObjectName(QStringLiteral("mnuClose"));
  connect(mnuOpen, &QAction::triggered, this, [this] { ErrorGuard().Run([&] { mnuOpen_Click(); }); });
  connect(mnuSettings, &QAction::triggered, this, [this] { ErrorGuard().Run([&] { mnuSettings_Click(); }); });
  connect(mnuClose, &QAction::triggered, this, [this] { mnuClose_Click(); });
}

// The board is built here, before the window is first shown. A board too
// large to draw, or a file that is not there, is refused before the player
// opens, and the window then closes as soon as it is shown.
void frmFilePreview::Form_Load() {
  // A request to end the program, or a termination signal taken while a
  // frame is read (no event is handled then), stops the board at its next
  // tile; the unfinished board is not saved over the last one.
  const QuitRequest::LongWork work;
  if (const auto& hook = GetStoryBoardHooks().SetMainTag) hook(QString());
  modReelwise::SetDropShadow(this, true);
  if (QWidget* main = parentWidget()) setWindowIcon(main->windowIcon());
  const QSize screen = ScreenSize();
  settings_ = ReadStoryBoardSettings(gTVOutMode, screen.width(), screen.height());
  gSavedItem.Duration = gSavedItem.SelectionEnd - gSavedItem.SelectionStart;
  QString tagText;
  if (!gTVOutMode) {
    const QString compact = gLibrary ? gLibrary->GetSegmentTags(gSavedItem.IsFileRow, gSavedItem.FileID,
                                                                gSavedItem.SegmentID, false, false)
                                     : QStringLiteral("--No Tags");
    tagText = StoryBoardTagText(compact);
  }
  layout_ = MakeStoryBoardLayout(settings_, gTVOutMode, static_cast<int>(tagText.count(QLatin1Char(','))));
  closeAtOnce_ = true;
  if (const QString problem = StoryBoardSizeProblem(layout_); !problem.isEmpty()) {
    ShowProgramMessage(problem, 48, QStringLiteral("Story Board"), parentWidget());
    return;
  }
  const QString path = gSavedItem.CurrentPath + gSavedItem.FileName;
  // A drive that does not answer counts as offline: the window never waits on it.
  const std::optional<bool> there = modReelwise::FileThere(path);
  if (!there) {
    ShowOfflineFileMessage(gSavedItem.FileName, gSavedItem.CurrentPath, parentWidget());
    return;
  }
  if (!*there) {
    ShowProgramMessage(QStringLiteral("'%1' cannot be found in '%2'.").arg(gSavedItem.FileName, gSavedItem.CurrentPath),
                       48, QStringLiteral("Story Board"), parentWidget());
    return;
  }
  closeAtOnce_ = false;
  built_ = true;
  OpenPlayer();
  if (ILibraryView* view = View()) {
    view->SetProgressMax(static_cast<int32_t>(std::min<int64_t>(layout_.TileCount, INT32_MAX)));
    view->ShowProgress(QStringLiteral("Creating Story Board..."), 0);
  }
  board_ = std::make_shared<ImageSurface>(static_cast<int>(layout_.BoardWidth), static_cast<int>(layout_.BoardHeight));
  board_->Fill(0xFFFFFF);
  context_ = std::make_shared<CairoContext>(board_);
  DrawLogo();
  if (!gTVOutMode) DrawHeader(tagText);
  SizeWindow();
  if (!m_Player->CanGrabFrame()) {
    PrintWrappedText(kStoryBoardRefusal, 10, layout_.HeaderHeight + settings_.VerticalSpacing, 255, false,
                     settings_.CaptionSize, settings_.CaptionFont);
  } else {
    DrawGrid();
    if (!LongWork::EndRequested()) SaveBoard();
  }
  if (ILibraryView* view = View()) view->ProgressOff();
  picPreview->update();
}

bool frmFilePreview::OpenPlayer() {
  framePlayer->setGeometry(0, 0, settings_.TileWidth, settings_.TileHeight);
  if (ILibraryView* view = View()) view->ShowBusyIndicator(true);
  m_Player = std::make_unique<clsRWPlayer>();
  m_Player->OpenFile(gSavedItem.CurrentPath + gSavedItem.FileName, 0, 0, settings_.TileWidth, settings_.TileHeight,
                     framePlayer, true);
  m_Player->SetVisible(true);
  if (ILibraryView* view = View()) {
    view->ShowBusyIndicator(false);
    view->Repaint();
  }
  return m_Player->FileLoaded();
}

// The window's client area is the board over the Quit strip, as large as
// the work area lets the window be (its frame included); a board taller or
// wider than that scrolls, with a bar beside or under it.
void frmFilePreview::SizeWindow() {
  const int width = static_cast<int>(layout_.BoardWidth);
  const int height = static_cast<int>(layout_.BoardHeight);
  picPreview->setGeometry(0, 0, width, height);
  const QSize room = WorkArea::Room(this);
  // A bar down takes width, a bar across height.
  bool down = height + kQuitStripHeight > room.height();
  const bool across = width + (down ? kScrollBarSize : 0) > room.width();
  if (across) down = height + kQuitStripHeight + kScrollBarSize > room.height();
  const QSize client(width + (down ? kScrollBarSize : 0), height + kQuitStripHeight + (across ? kScrollBarSize : 0));
  setFixedSize(client.boundedTo(room));
  LayOutBoard();
}

// The scroll bars the client size needs, the strip along its foot and the
// board where the bars have moved it; again whenever the window is cut.
void frmFilePreview::LayOutBoard() {
  const QSize board(static_cast<int>(layout_.BoardWidth), static_cast<int>(layout_.BoardHeight));
  const int above = height() - kQuitStripHeight;
  bool down = board.height() > above;
  const bool across = board.width() > width() - (down ? kScrollBarSize : 0);
  if (across) down = board.height() > above - kScrollBarSize;
  const QSize view(width() - (down ? kScrollBarSize : 0), above - (across ? kScrollBarSize : 0));
  const auto place = [](QScrollBar& bar, bool shown, const QRect& where, int length, int shownLength) {
    bar.setVisible(shown);
    bar.setGeometry(where);
    bar.setMaximum(shown ? length - shownLength : 0);
    bar.setSingleStep(10);
    bar.setPageStep(std::max(shownLength, 1));
  };
  place(*VScroll1, down, QRect(view.width(), 0, kScrollBarSize, view.height()), board.height(), view.height());
  place(*HScroll1, across, QRect(0, view.height(), view.width(), kScrollBarSize), board.width(), view.width());
  // Where the two bars meet the board does not show through.
  scrollCorner_->setGeometry(view.width(), view.height(), kScrollBarSize, kScrollBarSize);
  scrollCorner_->setVisible(down && across);
  scrollCorner_->raise();
  PlaceQuitStrip(*quitStrip, width(), above);
  VScroll1_Change();
}

void frmFilePreview::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  if (built_) LayOutBoard();
}

QWidget* MakeQuitStrip(QWidget& window, QPushButton& quit) {
  auto* strip = new QWidget(&window);
  strip->setObjectName(QStringLiteral("QuitStrip"));
  strip->setAutoFillBackground(true);
  quit.setParent(strip);
  quit.show();
  return strip;
}

void PlaceQuitStrip(QWidget& strip, int width, int top) {
  strip.setGeometry(0, top, width, kQuitStripHeight);
  if (auto* quit = strip.findChild<QPushButton*>()) {
    const QSize size(std::max(80, quit->sizeHint().width()), kQuitStripHeight - 12);
    quit->setGeometry(width - size.width() - 10, 6, size.width(), size.height());
  }
  // Over a board that scrolls under it.
  strip.raise();
}

double frmFilePreview::TileTime(int64_t k) const {
  return gSavedItem.SelectionStart + static_cast<double>(k) * m_Interval;
}

// A tile's time, past the end of the video its last frame's.
double frmFilePreview::GrabTime(int64_t k) const {
  const double duration = m_Player->Duration();
  const double frameRate = m_Player->FrameRate();
  const double seconds = TileTime(k);
  return duration > 0 && frameRate > 0 ? std::min(seconds, std::max(0.0, duration - 1.0 / frameRate)) : seconds;
}

// The tiles' frames are taken in one forward pass where they share a
// stretch between keyframes (BoardFrames).
void frmFilePreview::DrawGrid() {
  m_Interval = StoryBoardInterval(gSavedItem.Duration, layout_.TileCount);
  // The frames come at the size they are drawn at.
  const QSize display = m_Player->DisplaySize();
  const QRectF fitted = FitPictureInBox(display, QRectF(0, 0, settings_.TileWidth, settings_.TileHeight));
  const QSize size =
      display.isEmpty() ? QSize() : QSize(std::max(1, qRound(fitted.width())), std::max(1, qRound(fitted.height())));
  std::vector<double> times;
  for (int64_t k = 1; k <= layout_.TileCount; ++k) times.push_back(GrabTime(k));
  frames_ = std::make_unique<BoardFrames>(gSavedItem.CurrentPath + gSavedItem.FileName, *m_Player, std::move(times),
                                         size);
  if (!frames_->Reads()) m_Player->ForcePosition(gSavedItem.SelectionStart);
  if (ILibraryView* view = View()) view->CarouselSaveContext();
  bool giveUp = false;
  for (int64_t k = 1; k <= layout_.TileCount && !LongWork::EndRequested(); ++k) DrawTile(k, giveUp);
  frameSeeks_ = frames_->Seeks();
  frames_.reset();
}

// The progress strip (and the carousel's "BUSY") at tile k.
void frmFilePreview::ShowTileProgress(int64_t k) {
  const auto& busy = GetStoryBoardHooks().CarouselBusy;
  if (gBrowserMode == 3 && busy) {
    busy(static_cast<int>(static_cast<double>(k - 1) / static_cast<double>(layout_.TileCount) * 50 + 1));
  }
  if (ILibraryView* view = View()) {
    view->ShowProgress(QStringLiteral("Creating Story Board..."), static_cast<int32_t>(std::min<int64_t>(k, INT32_MAX)));
  }
}

// One tile: its shadow, its frame and its time stamp. A grab past the end of
// the video takes the last frame; after a grab has failed the later tiles,
// which lie further into the same file, are not tried again.
void frmFilePreview::DrawTile(int64_t k, bool& giveUp) {
  ShowTileProgress(k);
  double seconds = GrabTime(k);
  const double x = static_cast<double>(layout_.TileX(k, settings_));
  const double y = static_cast<double>(layout_.TileY(k, settings_));
  context_->SetSourceColour(shadowColour_);
  context_->Rectangle(x + 4, y + 4, settings_.TileWidth, settings_.TileHeight);
  context_->Fill();
  QImage frame;
  QElapsedTimer clock;
  clock.start();
  if (!giveUp) {
    // The frames of the tiles after it are read with it; the strip follows
    // the reading.
    const BoardFrames::Taken taken = frames_->Take(static_cast<size_t>(k - 1), [this](int read) {
      ShowTileProgress(std::max<int64_t>(read, 1));
    });
    // Past the end of what can be read of a damaged file, the last frame
    // read, stamped with its own time.
    frame = taken.picture;
    giveUp = frame.isNull();
    if (!frame.isNull()) seconds = taken.seconds;
  }
  if (!frame.isNull()) ++grabbed_;
  timings_.grabMs += static_cast<double>(clock.nsecsElapsed()) / 1e6;
  clock.restart();
  DrawFrameTile(frame, x, y);
  if (!gTVOutMode) {
    const QString stamp = ShownNumbers::Duration(seconds, true, false);
    PrintWrappedText(stamp, x + 4, y + 1, 0, false, settings_.CaptionSize, settings_.CaptionFont);
    PrintWrappedText(stamp, x + 3, y, settings_.TimestampColour, false, settings_.CaptionSize, settings_.CaptionFont);
  }
  timings_.drawMs += static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

// The frame scaled into the tile with Cairo's good filter, which averages
// the pixels a tile pixel covers, in the video's display proportions
// between black bars; a missing frame draws nothing.
void frmFilePreview::DrawFrameTile(const QImage& Grabbed, double X, double Y) {
  if (Grabbed.isNull()) return;
  const QSize display = m_Player && !m_Player->DisplaySize().isEmpty() ? m_Player->DisplaySize() : Grabbed.size();
  // A frame wider or taller than a surface can be is scaled down first.
  const QImage Frame = FittedToSurface(Grabbed);
  const QRectF tile(X, Y, settings_.TileWidth, settings_.TileHeight);
  const QRectF fitted = FitPictureInBox(display, tile);
  if (fitted != tile) {
    context_->SetSourceColour(0);
    context_->Rectangle(tile.x(), tile.y(), tile.width(), tile.height());
    context_->Fill();
  }
  ImageSurface picture(Frame.width(), Frame.height());
  const QImage source = Frame.format() == QImage::Format_RGB32 || Frame.format() == QImage::Format_ARGB32_Premultiplied
                            ? Frame
                            : Frame.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  const int rowBytes = Frame.width() * 4;
  for (int row = 0; row < Frame.height(); ++row) {
    std::memcpy(picture.Bits() + static_cast<qsizetype>(row) * picture.Stride(), source.constScanLine(row),
                static_cast<size_t>(rowBytes));
  }
  if (source.format() == QImage::Format_RGB32) {
    // RGB32 leaves its alpha byte undefined; the tile is opaque.
    for (int row = 0; row < Frame.height(); ++row) {
      auto* pixels = reinterpret_cast<uint32_t*>(picture.Bits() + static_cast<qsizetype>(row) * picture.Stride());
      for (int col = 0; col < Frame.width(); ++col) pixels[col] |= 0xFF000000u;
    }
  }
  picture.MarkDirty();
  context_->RenderSurface(picture, fitted.x(), fitted.y(), fitted.width(), fitted.height(), 1.0, kFilterGood);
}

// Text with its top left at (X, Y). Split cuts it at every "," into lines
// 15 px apart, and the header grows by the lines past the first.
void frmFilePreview::PrintWrappedText(const QString& Text, double X, double Y, COLORREF Colour, bool Split, int Size,
                                      const QString& FontName) {
  context_->SelectFont(FontName, Size, Colour);
  if (!Split) {
    context_->TextOut(X, Y, Text);
    return;
  }
  const QStringList pieces = StoryBoardSplitLines(Text);
  for (int i = 0; i < pieces.size(); ++i) context_->TextOut(X, Y + 15.0 * i, pieces[i]);
}

void frmFilePreview::DrawHeader(const QString& tagText) {
  const ResultItem& item = gSavedItem;
  const QString values[6] = {
      item.FileName,
      ShownNumbers::Megabytes(item.FileSize, ShownNumbers::Grouping::None),
      QString(item.Dimensions).remove(QRegularExpression(QStringLiteral("^\\s+"))),
      ShownNumbers::Duration(item.Duration, false, false),
      ShownNumbers::BitRate(item.Bitrate) + QStringLiteral(" kbps"),
      ShownNumbers::FrameRate(item.FrameRate) + QStringLiteral(" fps"),
  };
  static const char* const labels[7] = {"Filename:", "File Size:", "Resolution:", "Duration:",
                                        "Bitrate:",  "Frame Rate:", "Tags:"};
  const StoryBoardSettings& s = settings_;
  for (int k = 1; k <= 7; ++k) {
    const double y = static_cast<double>(k) * layout_.LineHeight;
    PrintWrappedText(QLatin1String(labels[k - 1]), layout_.Margin, y, s.CaptionColour, false, s.CaptionSize,
                     s.CaptionFont);
    const QString value = k < 7 ? values[k - 1] : tagText;
    PrintWrappedText(value, layout_.ValueColumn, y, s.CaptionTextColour, k == 7, s.CaptionSize, s.CaptionFont);
  }
}

// The program logo at the header's top right; its pixel (6, 6) is the colour
// of the tiles' shadows, in TV-Out mode too, where the logo is not drawn.
void frmFilePreview::DrawLogo() {
  const int height = std::max(20, CInt(9.0 * layout_.LineHeight) - 30);
  const int width = std::max(1, height * 520 / 434);
  const QImage logo = modReelwise::DrawLogo(width, height).toImage();
  if (logo.width() > 6 && logo.height() > 6) shadowColour_ = RGB(qRed(logo.pixel(6, 6)), qGreen(logo.pixel(6, 6)), qBlue(logo.pixel(6, 6)));
  if (gTVOutMode) return;
  ImageSurface picture(logo.width(), logo.height());
  const QImage source = logo.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  for (int row = 0; row < source.height(); ++row) {
    std::memcpy(picture.Bits() + static_cast<qsizetype>(row) * picture.Stride(), source.constScanLine(row),
                static_cast<size_t>(source.width()) * 4);
  }
  picture.MarkDirty();
  context_->RenderSurface(picture, static_cast<double>(layout_.BoardWidth - width - 10), 20, width, height, 1.0,
                          kFilterFast);
}

// Written at Compression, replacing an older file only once the new one is
// whole; a failure is reported once and the board is still shown.
void frmFilePreview::SaveBoard() {
  QElapsedTimer clock;
  clock.start();
  board_->Flush();
  const QString path = gTempFolder + QStringLiteral("Story Board.jpg");
  try {
    JpegCodec codec;
    codec.EncodeToFile(*board_, settings_.Compression, path);
    timings_.encodeMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
  } catch (const RWError& error) {
    TellStoryBoardNotSaved(error, this);
  }
}

void TellStoryBoardNotSaved(const RWError& error, QWidget* owner) {
  ShowProgramMessage(QStringLiteral("The Story Board could not be saved.\r\n\r\n") + error.Description() +
                         QStringLiteral("\r\n\r\nIt is still shown. Free some space on that disk, or make the "
                                        "folder writable, and make the Story Board again."),
                     48, QStringLiteral("Story Board"), owner);
}

void frmFilePreview::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (closeAtOnce_) QTimer::singleShot(0, this, [this] { hide(); });
}

void frmFilePreview::closeEvent(QCloseEvent* event) {
  Timer1->stop();
  QDialog::closeEvent(event);
}

void frmFilePreview::cmdClose_Click() { hide(); }

void frmFilePreview::mnuOpen_Click() { modLaunchDoc::LaunchDocument(gTempFolder + QStringLiteral("Story Board.jpg")); }

// The options dialog opens on the story-board page; the host, finding the
// main window's Tag "REDO", then builds a new board with the new settings.
// The options dialog's own loop paints where the board was.
void frmFilePreview::mnuSettings_Click() {
  const StoryBoardHooks& hooks = GetStoryBoardHooks();
  if (hooks.SetMainTag) hooks.SetMainTag(QStringLiteral("REDO"));
  hide();
  if (hooks.ShowOptions) hooks.ShowOptions();
  if (hooks.RestoreFocus) hooks.RestoreFocus();
}

void frmFilePreview::picPreview_MouseDown(int Button, int, double X, double Y) {
  m_ClickX = CLngLng(X);
  m_ClickY = CLngLng(Y);
  if (Button == 2) mnuPreview->popup(picPreview->mapToGlobal(QPoint(static_cast<int>(X), static_cast<int>(Y))));
}

// Plays the stretch from the tile's frame to the next tile's in place over
// the tile; the player pauses at the stop time and Timer1 then hides it.
void frmFilePreview::picPreview_DblClick() {
  if (!m_Player || !built_) return;
  const int64_t k = StoryBoardTileAt(m_ClickX, m_ClickY, layout_, settings_);
  if (k < 1) return;
  const int64_t c = (m_ClickX - layout_.Margin) / (int64_t{settings_.TileWidth} + settings_.HorizontalSpacing) + 1;
  const int64_t r = (m_ClickY - layout_.HeaderHeight) / (int64_t{settings_.TileHeight} + settings_.VerticalSpacing) + 1;
  m_Player->StopPlayback();
  m_Player->ForcePosition(0);
  m_Player->SetStopTime(TileTime(k + 1));
  m_Player->ForcePosition(TileTime(k));
  framePlayer->move(static_cast<int>((c - 1) * (settings_.TileWidth + settings_.HorizontalSpacing) + layout_.Margin),
                    static_cast<int>((r - 1) * (settings_.TileHeight + settings_.VerticalSpacing) + layout_.HeaderHeight));
  framePlayer->show();
  framePlayer->raise();
  Timer1->start();
  m_Player->Play();
  m_Player->OverlayText(QString(), 1.0, gOsdTimeText, false);
}

void frmFilePreview::Timer1_Timer() {
  if (m_Player && m_Player->PlayState() != 1) return;
  framePlayer->hide();
  Timer1->stop();
}

void frmFilePreview::VScroll1_Change() { picPreview->move(-HScroll1->value(), -VScroll1->value()); }

void frmFilePreview::Form_Unload() {
  if (unloaded_) return;
  unloaded_ = true;
  modReelwise::SetDropShadow(this, false);
  Timer1->stop();
  frames_.reset();
  m_Player.reset();
  context_.reset();
  board_.reset();
}
