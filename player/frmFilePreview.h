#pragma once
// The story-board window of the "Classic" style: gSavedItem as a grid of
// frames grabbed at even intervals through a player of the window's own,
// each tile with its time stamp, under a header with the file's details,
// tags and the program logo. The whole picture is saved as
// gTempFolder + "Story Board.jpg". A double click on a tile plays that stretch
// in place. Everything is built while the window loads (in the constructor),
// before it is first shown.
#include "platform/ColorRef.h"
#include "platform/ImageSurface.h"

#include <QDialog>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>

class BoardFrames;
class clsRWPlayer;
class QFrame;
class QImage;
class QMenu;
class QAction;
class QPushButton;
class QScrollBar;
class QTimer;
class QWidget;
class CairoContext;
class RWError;

// The settings of section "ProgramOptions\FilePosters\" a board is built
// from. The options page labels HorizontalTiles "Columns" and VerticalTiles
// "Rows", and the board follows the page.
struct StoryBoardSettings {
  int32_t HorizontalSpacing = 10;
  int32_t VerticalSpacing = 10;
  int32_t RowCount = 5;     // VerticalTiles
  int32_t ColumnCount = 5;  // HorizontalTiles
  int32_t TileWidth = 200;
  int32_t TileHeight = 150;
  int32_t Compression = 75;  // kept within 1..100
  QString CaptionFont = QStringLiteral("Tahoma");
  COLORREF CaptionColour = 0;
  int32_t CaptionSize = 10;
  COLORREF CaptionTextColour = 0xFF0000;
  COLORREF TimestampColour = 0xFFFFFF;
};

// Reads the settings; counts and sizes below 1 count as 1, spacings below 0
// as 0. TV-Out mode takes 4 rows of 5 tiles sized to the screen.
StoryBoardSettings ReadStoryBoardSettings(bool tvOut, int screenWidth, int screenHeight);

// Tells that a story board or poster could not be written to its file (the
// error names it and why) and what the user can do; the picture stays shown.
void TellStoryBoardNotSaved(const RWError& error, QWidget* owner);

// The biggest board side Cairo draws, and the memory a board may take.
inline constexpr int64_t kMaxBoardSide = 32767;
inline constexpr int64_t kBoardMemoryBudget = 256LL * 1024 * 1024;  // bytes, 4 per pixel

// Where things lie on the board (pixels, 64-bit so that no count overflows).
struct StoryBoardLayout {
  int32_t Margin = 10;
  int32_t LineHeight = 13;
  int32_t ValueColumn = 104;
  int32_t HeaderHeight = 117;  // y of the first row of tiles
  int64_t TileCount = 25;
  int64_t GridWidth = 0;
  int64_t GridHeight = 0;
  int64_t BoardWidth = 0;   // grid width and a margin each side
  int64_t BoardHeight = 0;  // header, grid and a bottom margin
  // The tile's top left; k counts from 1, row by row.
  int64_t TileX(int64_t k, const StoryBoardSettings& s) const;
  int64_t TileY(int64_t k, const StoryBoardSettings& s) const;
};

StoryBoardLayout MakeStoryBoardLayout(const StoryBoardSettings& s, bool tvOut, int extraTagLines);
// Empty when the board can be drawn, else the reason to show.
QString StoryBoardSizeProblem(const StoryBoardLayout& layout);
// The length a story board's or poster's frames are spread over: the exact
// length up to 6 s, Int(Duration) beyond.
double StoryBoardLength(double duration);
// Seconds between neighbouring tiles: the length / (tiles + 1) above 5 s,
// else the length / tiles.
double StoryBoardInterval(double duration, int64_t tileCount);
// The header's tag lines from the compact tag text: "--No Tags" gives
// "No Tags", an explicit tag under two ancestors "Beach (Places, Holiday)".
QStringList StoryBoardTagLines(const QString& compactTags);
// The tag text as the header prints it with splitting: "," between lines,
// "*-*" and "***" standing for ", " and ")" inside a line.
QString StoryBoardTagText(const QString& compactTags);
// A split text's lines: cut at every ",", then "*-*" read as ", " and "***" as ")".
QStringList StoryBoardSplitLines(const QString& text);
// The tile under a point of the board (1-based), or 0 for none; truncating
// division as the double click reads it.
int64_t StoryBoardTileAt(int64_t x, int64_t y, const StoryBoardLayout& layout, const StoryBoardSettings& s);

// What the story board needs of the windows above the player. Start-up
// connects them (app/UpwardCalls.cpp); an empty function does nothing.
struct StoryBoardHooks {
  std::function<void(const QString&)> SetMainTag;  // the main window's Tag
  std::function<void()> ShowOptions;               // the options dialog on the story-board page
  std::function<void(int)> CarouselBusy;           // "BUSY" at that percentage, carousel mode only
  std::function<void()> RestoreFocus;              // the main window's active control
};
void SetStoryBoardHooks(StoryBoardHooks hooks);
const StoryBoardHooks& GetStoryBoardHooks();

// The strip along the foot of the story-board and poster windows, below the
// picture, that holds the window's "Quit" button at its right.
inline constexpr int kQuitStripHeight = 36;
// The story board's scroll bars: the one down beside the board, the one
// across under it.
inline constexpr int kScrollBarSize = 20;
QWidget* MakeQuitStrip(QWidget& window, QPushButton& quit);
// Lays the strip across the window's width from `top` (the picture's foot).
void PlaceQuitStrip(QWidget& strip, int width, int top);

inline const QString kStoryBoardRefusal = QStringLiteral(
    "It is not possible to create this Story Board as Reelwise II cannot capture frames from this movie");

class frmFilePreview : public QDialog {
 public:
  explicit frmFilePreview(QWidget* owner = nullptr);
  ~frmFilePreview() override;

  // Controls under their design names.
  QWidget* picPreview = nullptr;
  QScrollBar* VScroll1 = nullptr;
  QScrollBar* HScroll1 = nullptr;
  QFrame* framePlayer = nullptr;
  QTimer* Timer1 = nullptr;
  QPushButton* cmdClose = nullptr;
  QWidget* quitStrip = nullptr;
  QMenu* mnuPreview = nullptr;
  QAction* mnuOpen = nullptr;
  QAction* mnuSettings = nullptr;
  QAction* mnuSep = nullptr;
  QAction* mnuClose = nullptr;

  void cmdClose_Click();
  void mnuClose_Click() { cmdClose_Click(); }
  void mnuOpen_Click();
  void mnuSettings_Click();
  void picPreview_MouseDown(int Button, int Shift, double X, double Y);
  void picPreview_DblClick();
  void Timer1_Timer();
  // Either bar moves the board under the window (VScroll1_Change serves both).
  void VScroll1_Change();

  // What the build left: the board's picture, its layout and settings.
  ImageSurface* Board() const { return board_.get(); }
  const StoryBoardLayout& Layout() const { return layout_; }
  const StoryBoardSettings& Settings() const { return settings_; }
  double Interval() const { return m_Interval; }
  // Seconds asked for tile k, and the grabs that came back.
  double TileTime(int64_t k) const;
  int GrabbedCount() const { return grabbed_; }
  // How often the tiles' reader moved to a keyframe (0: one forward pass).
  int FrameSeeks() const { return frameSeeks_; }
  // False when the board was refused before the player opened.
  bool Built() const { return built_; }
  clsRWPlayer* Player() const { return m_Player.get(); }
  // Milliseconds the build spent grabbing, drawing and encoding.
  struct Timings {
    double grabMs = 0;
    double drawMs = 0;
    double encodeMs = 0;
  };
  const Timings& BuildTimings() const { return timings_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void MakeControls();
  void Form_Load();
  bool OpenPlayer();
  void DrawHeader(const QString& tagText);
  void DrawLogo();
  void SizeWindow();
  void LayOutBoard();
  void DrawGrid();
  void DrawTile(int64_t k, bool& giveUp);
  void ShowTileProgress(int64_t k);
  double GrabTime(int64_t k) const;
  void DrawFrameTile(const QImage& Frame, double X, double Y);
  void PrintWrappedText(const QString& Text, double X, double Y, COLORREF Colour, bool Split, int Size,
                        const QString& FontName);
  void SaveBoard();
  void Form_Unload();

  std::unique_ptr<clsRWPlayer> m_Player;
  std::unique_ptr<BoardFrames> frames_;  // while the grid is drawn
  QWidget* scrollCorner_ = nullptr;
  StoryBoardSettings settings_;
  StoryBoardLayout layout_;
  double m_Interval = 0;
  int64_t m_ClickX = 0;
  int64_t m_ClickY = 0;
  COLORREF shadowColour_ = 0xFFFFFF;
  ImageSurfacePtr board_;
  std::shared_ptr<CairoContext> context_;
  int grabbed_ = 0;
  int frameSeeks_ = 0;
  Timings timings_;
  bool built_ = false;
  bool closeAtOnce_ = false;
  bool unloaded_ = false;
};
