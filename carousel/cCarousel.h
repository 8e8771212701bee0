#pragma once
// The carousel: the ten-foot browser of the carousel view and of TV-Out
// mode. It draws the current results as a ring of thumbnail cards, turning
// from result to result frame by frame, over a greyed enlargement of the
// front card's thumbnail, on the canvas's fixed 1280 x 720 surface. A move
// draws only the ring; one tick of the carousel timer later the costly
// details (tags, description) follow. Keys, on-canvas menus and the keypad
// panel drive it from a keyboard or a remote; in TV-Out mode it plays
// background music and remembers its colour theme.
#include "carousel/CarouselMenuEntries.h"
#include "carousel/CarouselPacer.h"
#include "carousel/CarouselRing.h"
#include "carousel/ClsT9Interface.h"
#include "carousel/ICarouselHost.h"
#include "platform/ColorRef.h"
#include "ui/CairoContext.h"
#include "ui/CairoImageList.h"
#include "ui/CairoSurface.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

class CarouselPane;
class cAudioPlayer;
struct ResultItem;

// Turns every pixel grey in place: 0.3 red + 0.59 green + 0.11 blue, rounded
// half to even, into all three channels; alpha is kept.
void GreyPixels(ImageSurface& image);

// One row of the front file's tag list: a tag, or a separator (brackets and
// punctuation between tags) that cannot be highlighted.
struct TagListRow {
  int32_t TagID = 0;
  QString Caption;
  double Width = 0;        // the caption's measured width
  bool Separator = false;  // a header row: cannot be highlighted
  int32_t LinkedTagID = 0; // the explicit tag an implied tag hangs under, or the link parent
  QString LinkedCaption;
  bool ViaSegment = false; // the tag reaches the file through one of its segments
};

// One entry of an on-canvas menu: its command's number, its glyph in the
// program's symbol font, its caption (with the tokens "<TAG-TOKEN>",
// "<LINKED-TAG-TOKEN>" and "<FILE-TOKEN>") and whether it can be chosen.
struct CarouselMenuEntry {
  int32_t ID = 0;
  QString Glyph;
  QString Caption;
  bool Enabled = true;
};
// A menu's entries from index 1; index 0 is unused.
using CarouselMenu = std::vector<CarouselMenuEntry>;

class cCarousel {
 public:
  // Draws on the pane's canvas and runs its carousel timer; without a pane
  // (a carousel with no window) on a surface of its own, with no timer.
  // Asks the host for the main window's services (none without one).
  explicit cCarousel(CarouselPane* pane = nullptr, ICarouselHost* host = nullptr);
  ~cCarousel();
  cCarousel(const cCarousel&) = delete;
  cCarousel& operator=(const cCarousel&) = delete;

  // ---- The public members ----
  // "ID" and the TagID of the highlighted tag row.
  QString HighlightedTagID;
  // The glyph of the last menu entry chosen; "L" makes the next wipe-in of
  // new results run from the other side. WipeDirection is the same text.
  QString BroadcastMsg;
  QString& WipeDirection = BroadcastMsg;
  // True when the description box cannot show the whole description.
  bool DescriptionOverflow = false;
  // The palette (see ColourScheme).
  COLORREF lColour3 = 0;
  COLORREF HighlightColour = 0;
  COLORREF lTextColour = 0;
  COLORREF lBGColour = 0;
  COLORREF lMenuColour1 = 0;
  COLORREF lMenuColour2 = 0;
  COLORREF lMenuColour3 = 0;
  // True when the front file's tag list holds tags (not only "No Tags").
  bool HasTags = false;

  // ---- Drawing and timing ----
  // The tick of the carousel timer and of the keypad timer: hands it to the
  // keypad while its panel is up; else, with results, draws the details.
  void TimerEvent();
  // Frame, ring and details again (the details never fade in), optionally
  // with the tag list rebuilt and the canvas repainted.
  void RedrawAll(bool RebuildTags, bool Refresh);
  // Selects the tag row to highlight: separator rows are skipped and the
  // list wraps at both ends; row 0 with no current result.
  void SetHighlightedTag(int32_t& Value);
  int32_t HighlightedTag() const { return m_HighlightedTagIndex; }
  // Frames per step of a move (below 1 counts as 1), stored in the settings.
  void SetScrollIncrements(int16_t& S);
  int16_t ScrollIncrements() const { return m_ScrollIncrements; }
  // Cards on the ring, 9 to 17 (the caller's value is clamped), stored in
  // the settings; the current count again changes nothing.
  void SetCarouselEntries(int16_t& N);
  int16_t CarouselEntries() const { return static_cast<int16_t>(m_Entries); }
  // Makes a result current (clamped to the results), turning the ring to it
  // when Animate is True. SlowTimer lets the details follow after 100 ms
  // instead of 10 ms. Returns Animate, False when nothing had to move.
  bool SetCarouselIndex(int32_t NewIndex, bool Animate, bool SlowTimer);

  // ==== Details panel and frame (cCarousel_details.cpp) ====
  // One text at (X, Y), its top left, with an outline; Colour equal to
  // HighlightColour asks for the highlighted (glowing) style.
  void OutlinedTextOut(const QString& Text, const QString& FontName, int FontSize, bool Bold, bool Italic,
                       int OutlineWidth, double X, double Y, double& Opacity, COLORREF Colour,
                       COLORREF OutlineColour, CairoContext& Context);
  // Lays out and draws the front file's tag list.
  void DrawTags();
  // For tests: the frame behind everything, the last details panel (1200 x
  // 500, placed at (40, 220)), the y below its tag lines, what its
  // file-status line found, and whether a stamp has landed since the frame.
  const CairoSurfacePtr& FrameSurface() const { return m_BackgroundSurface; }
  const CairoSurfacePtr& DetailsSurface() const { return m_DetailsSurface; }
  int32_t TagsBottom() const { return m_TagsBottom; }
  bool FileOffline() const { return m_FileOffline; }
  bool FileMissing() const { return m_FileMissing; }
  bool StampShown() const { return m_StampShown; }
  // The first description line shown (1 the first) from the next details
  // drawing on; below 1 counts as 1.
  void SetDescriptionPage(int16_t Page) { m_DescriptionPage = Page < 1 ? int16_t{1} : Page; }

  // ==== Menus, menu commands and menu state (cCarousel_menus.cpp,
  // cCarousel_commands.cpp, cCarousel_menustate.cpp) ====
  // The on-canvas menu or focus zone ("NULL" none).
  void SetMenuMode(const QString& sValue);
  const QString& MenuMode() const { return m_MenuMode; }
  // The highlighted entry of the open menu, wrapping at both ends.
  void SetCurrentMenuIndex(int32_t& iValue);
  int32_t CurrentMenuIndex() const { return m_CurrentMenuIndex; }
  // Shows (bHide False) or removes the menu bar; bSlideIn chooses the sound
  // and the animation.
  void DrawMenu(bool bHide, bool bSlideIn);
  // Carries out the chosen entry of the open menu (MenuIndex 0) or the
  // command of that number.
  void ProcessMenuCommand(int32_t MenuIndex);
  void ProcessMenuCommand(CarouselCommand command);
  // The generator of "Random Two Colours": seeded once from the clock when
  // first used, or with this seed (tests).
  void SeedMenuRandom(uint64_t seed);
  // For tests and benchmarks: the menus, the open menu's state, the prepared
  // bar and lower strip of the last DrawMenu, and the tag list.
  const CarouselMenu& Menu(const QString& name) const;
  const CarouselMenu& ActiveMenu() const { return m_ActiveMenu; }
  bool MenuShown() const { return m_MenuShown; }
  int16_t DescriptionPage() const { return m_DescriptionPage; }
  const CairoSurfacePtr& MenuBar() const { return m_MenuBarSurface; }
  const CairoSurfacePtr& MenuStrip() const { return m_MenuStripSurface; }
  const std::vector<TagListRow>& TagRows() const { return m_TagList; }
  // An entry's caption as the bar shows it, its tokens filled in.
  QString MenuCaption(const CarouselMenuEntry& entry) const;
  // Puts the rows in place of the tag list and highlights row `highlighted`.
  void SetTagRows(std::vector<TagListRow> rows, int32_t highlighted);

  // ==== Results, announcements, start-up, tag list, view strip, keys
  // (cCarousel_results.cpp, cCarousel_keys.cpp) ====

  // One key of the canvas: moves, focus zones, menus and commands. A key
  // within 100 ms of the last accepted one is dropped.
  void KeyPress(int& KeyCode);
  // True after an arrow acted at the top level, False after another key.
  bool KeyNavigation() const { return m_KeyNavigation; }
  // 0 after NewResults, 1 after a wipe-in, one more for each announcement.
  int16_t ResultsWipedIn() const { return m_ResultsWipedIn; }
  // The view strip of TV-Out mode (none outside it).
  const CairoSurfacePtr& ViewStrip() const { return m_ViewStripSurface; }

  // ==== Music and colour themes (cCarousel_music.cpp, cCarousel_themes.cpp) ====
  // The music files found at creation (names in "SFX/" of the documents folder).
  const QStringList& MusicFiles() const { return m_MusicFiles; }
  bool MusicEnabled() const { return m_MusicEnabled; }
  void SetMusicEnabled(bool on) { m_MusicEnabled = on; }
  // The player of the background music (its own audio core, apart from the
  // sound effects').
  cAudioPlayer& Music();
  // The draw of a new track, from 0 to below n; tests put their own in.
  void SetTrackChooser(std::function<int(int n)> chooser) { m_ChooseTrack = std::move(chooser); }
  // The tint ramp, lightest (0) to darkest (3), and the base tint (4).
  COLORREF TintColour(int i) const { return m_TintColour[i]; }
  bool Invert() const { return m_Invert; }
  void SetInvert(bool on) { m_Invert = on; }

  // ---- Hot spot ----
  // True when the point of the canvas control lies on the front card
  // (strictly inside); always False in TV-Out mode.
  void InsideHotSpot(double X, double Y, bool& Inside);

  // ---- Results, announcements, music ----
  // Forgets the old result set: no current result, not yet wiped in.
  void NewResults();
  // The animated entry of new results (in TV-Out mode, when the program is
  // ready); elsewhere it only notes that it ran.
  void WipeInResults();
  // An announcement across the canvas, animated from From to To (percent).
  void Broadcast(const QString& Message, double From, double To);
  // The start-up splash of TV-Out mode; gAppReady is held True while it runs.
  void AppStartUp(bool First, bool Second);
  // A snapshot of the canvas, and the snapshot painted back.
  void SaveContext();
  void RestoreContext();
  // Background music of TV-Out mode: True plays or resumes, False pauses.
  void PlayBackgroundSFX(bool Play);
  // The palette from a tint scheme: 0 the program's colour scheme, 1 to 6
  // single tints, 7 greys, 8 the two stored colours; any other number keeps
  // the tints. Redraws the carousel; TV-Out mode remembers the choice.
  void SetColourScheme(int32_t Scheme);
  int32_t ColourScheme() const { return m_TintScheme; }

  // The keypad type-ahead panel, owned by the carousel.
  ClsT9Interface& Keypad() { return *m_Keypad; }

  // ---- For tests and benchmarks ----
  // The frame pacing of moves (the default waits 1/60 s between frames).
  void SetPacer(std::unique_ptr<CarouselPacer> pacer) { m_Pacer = std::move(pacer); }
  const CarouselRing::Pose& Pose() const { return m_Pose; }
  int32_t ResultTotal() const { return m_ResultTotal; }
  // The counter over the ring: "<current> of <results>".
  QString CounterText() const;
  bool Scrolling() const { return m_Scrolling; }
  bool DetailsDrawn() const { return m_DetailsDrawn; }
  // The carousel's own image list ("BkGrnd", "Thumb1".., "NextBkGrnd").
  const CairoImageList& Images() const { return m_Images; }
  const CairoSurfacePtr& NextBackground() const { return m_NextBackgroundSurface; }
  const CairoSurfacePtr& CardTile() const { return m_CardTileSurface; }
  CairoContext& Canvas() const { return *m_CanvasContext; }
  // One card as the ring draws it (see DrawCard).
  void PaintCard(int ImageNumber, int32_t X, int32_t Y, double Width, double Height, double Opacity,
                 double ImageAlpha, COLORREF& FrameColour) {
    DrawCard(ImageNumber, X, Y, Width, Height, Opacity, ImageAlpha, FrameColour);
  }
  const CairoSurfacePtr& RingSurface() const { return m_RingSurface; }
  void PrepareBackgroundFor(int32_t Index) { PrepareBackground(Index); }

 private:
  // ---- Creation ----
  void LoadSettings();
  void LoadResources();
  void FillMenus();
  void LoadMusicList();

  // ---- Ring ----
  void ScrollSteps(int32_t Start, int32_t Stop, double& ImageAlpha);
  void DrawRing(double ImageAlpha, double RingOpacity);
  void DrawCounter(double ImageAlpha);
  void ComposeCanvas(double RingOpacity);
  void PaintFrameLayer();
  void LoadEntries(int32_t Index);
  void BuildCardTile();
  ImageSurfacePtr ThumbnailOf(const ResultItem& item) const;
  bool HasResult(int32_t Index) const;

  // ---- Cards and backgrounds ----
  void DrawCard(int ImageNumber, int32_t X, int32_t Y, double Width, double Height, double Opacity,
                double ImageAlpha, COLORREF& FrameColour);
  void PrepareBackground(int32_t Index);
  // The background of a thumbnail: grey, stretched, washed.
  void PaintBackground(CairoContext& context, const ImageSurfacePtr& thumbnail);

  // The palette of a scheme, without the redraw.
  void ApplyPalette(int32_t Scheme);

  // ==== Music and colour themes: private ====
  void SetTintColours(COLORREF Light, COLORREF Dark);
  void StartNewTrack();
  QStringList m_MusicFiles;
  int32_t m_LastTrack = 0;  // from 1; 0 before the first track
  std::unique_ptr<cAudioPlayer> m_Music;
  std::function<int(int n)> m_ChooseTrack;

  // ==== Details panel and frame: private (cCarousel_details.cpp) ====
  // The frame (cCarousel_frame.cpp).
  void DrawEmptyFrame(CairoContext& Context);
  void DrawLogoWallpaper(CairoContext& Context);
  void DrawFrameMessage(CairoContext& Context);
  // The panel: a fresh work surface, the layers under it, the fade and the stamp.
  void NewDetailsSurface();
  void ComposeUnderDetails();
  bool FadeInDetails(uint64_t Generation);
  bool AnimationInterrupted(uint64_t Generation) const;
  void DrawStamp(const QString& Text);
  void LayStamp(const QString& Text);
  void PaintStamp(const CairoSurface& Stamp, double Scale);
  static double StampScale(double T);
  CairoSurfacePtr MakeStamp(const QString& Text) const;
  // The texts (cCarousel_text.cpp).
  void DrawHaloText(const QString& Text, int FontSize, int OutlineWidth, double X, double Y, double Width,
                    double Height, int Alignment, COLORREF Colour, COLORREF OutlineColour);
  void DrawTagLine(size_t First, size_t Last, double Width, double Y);
  void DrawDescription(const QString& Text, double X, double Y);
  void DrawDescriptionMarker(const QString& Marker, double X, double Y);
  // The parts of the panel (cCarousel_details.cpp).
  void DrawTitle();
  void DrawRating();
  void DrawDescriptionBlock();
  void DrawFileStatus();
  bool FileReachable(const QString& Path);
  bool MountAnswers(const QString& Root);
  void EnableFileEntries(bool Enabled);
  CairoSurfacePtr m_DetailsSurface;
  std::shared_ptr<CairoContext> m_DetailsContext;
  CairoSurfacePtr m_CompositionSurface;  // the frame and the ring under the panel
  int32_t m_TagsBottom = 65;
  bool m_FileOffline = false;
  bool m_FileMissing = false;
  uint64_t m_DetailsGeneration = 0;  // one more for every panel drawn
  // Mount roots that did not answer, with the tick of that answer: asked
  // again only after a while, so a dead share costs one wait, not one a move.
  std::map<QString, uint64_t> m_SilentMounts;

  // ==== Menus: private (cCarousel_menus.cpp, cCarousel_commands.cpp,
  // cCarousel_menustate.cpp) ====
  std::map<QString, CarouselMenu> m_Menus;  // the nine menus by name
  CarouselMenu m_ActiveMenu;                // a copy of the open one
  int32_t m_CurrentMenuIndex = 1;
  bool m_MenuShown = false;
  int16_t m_DescriptionPage = 1;
  // Menu state: the command's entry in the menu that holds it; the entry
  // there and, while that menu is open, in its open copy too; the tags
  // menu's entries for the highlighted row.
  CarouselMenuEntry* MenuEntry(CarouselCommand command);
  void EnableEntry(CarouselCommand command, bool enabled);
  void SyncTagsMenuState();
  // Menu drawing: the bar and the lower strip once, then each frame of a slide.
  void PrepareMenuBar();
  void PaintMenuGlyphs(CairoContext& bar);
  void PaintColourPatches(CairoContext& bar, COLORREF lastColour);
  void PrepareMenuStrip();
  void ComposeMenuFrame(double offset);
  void SlideMenu(bool hide, bool slideIn);
  CairoSurfacePtr m_MenuBarSurface;
  CairoSurfacePtr m_MenuStripSurface;
  // Menu commands, by group; each returns False when the focus stays put.
  bool RunMenuCommand(CarouselCommand command);
  bool RunViewCommand(CarouselCommand command);
  bool RunTagCommand(CarouselCommand command);
  bool RunTagSearch(const QString& glyph, const QString& mode, bool hideFirst);
  bool RunColourCommand(CarouselCommand command);
  bool RunOptionCommand(CarouselCommand command);
  bool RunFileCommand(CarouselCommand command);
  bool ChangeOption(CarouselCommand option, const QString& glyph, const QString& caption, const QString& key);
  void RenewShuffleCaptions();
  void AskConfirmation(CarouselCommand asking, const QString& caption);
  bool CancelConfirmation();
  void RandomTwoColours();
  void ShowMenuAgain() { DrawMenu(false, false); }
  void HideMenu() { DrawMenu(true, true); }
  int MenuRandom(int count);
  uint64_t m_MenuRandomState = 0;
  bool m_MenuRandomSeeded = false;

  // ==== Results, keys: private (cCarousel_results.cpp, cCarousel_keys.cpp) ====
  bool m_KeyNavigation = false;
  bool m_KeyAccepted = false;   // a key has passed the gate
  uint64_t m_LastKeyTime = 0;   // of the monotonic clock, ms
  CairoSurfacePtr m_ViewStripSurface;
  CairoSurfacePtr m_WipeSurface;  // the new picture of a wipe, the splash's base
  ImageSurfacePtr m_Logo;
  // Frames of a step (the scroll increments, at least 1).
  int FrameSteps() const;
  // Announcements and splash.
  void DrawBigGlyph(CairoContext& context, const QString& glyph, double opacity);
  ImageSurfacePtr Logo();
  void DrawWipeFrame(double left, int direction);
  void DrawBroadcastFrame(const QString& Message, double opacity);
  void SplashPleaseWait();
  void DrawSplashFrame(const ImageSurfacePtr& logo, int value);
  void SplashWelcome();
  void DrawWelcomeFrame(int value);
  void DrawStripButtons(CairoContext& context);
  // Keys.
  // Whether a key or command of the carousel may run: the input gate is
  // open, or held by the carousel's own fade or keypad.
  bool Admitted() const;
  bool KeyGatePasses();
  void MoveTo(int32_t Index);
  void StepMenu(int32_t Delta);
  void ShowZone(const QString& Zone);
  bool CarouselTimerRunning() const;
  void LeftRightKey(bool Right);
  void RateBy(int Delta);
  void UpKey();
  void LeaveMenu(const QString& Menu);
  void DownKey();
  void EnterKey();
  void EscapeKey();
  void OtherKeys(int KeyCode);

  // ---- Frame, details, view strip ----
  void DrawFrame();
  void DrawDetails();
  void DrawFileTagList();
  void SyncMenuState();
  void DrawViewStrip();
  void PaintViewStrip(CairoContext& Context, double Opacity);
  void RefreshCanvas();
  void SetCarouselTimer(int intervalMs, bool enabled);
  int32_t OpenSegmentCount() const;

  CarouselPane* m_Pane = nullptr;
  ICarouselHost* m_Host = nullptr;
  ICarouselHost m_NoHost;

  // Canvas.
  CairoSurfacePtr m_OwnCanvas;  // only without a pane
  std::shared_ptr<CairoContext> m_CanvasContext;
  int m_CanvasWidth = 1280;
  int m_CanvasHeight = 720;
  CairoSurfacePtr m_SpareSurface;
  std::shared_ptr<CairoContext> m_SpareContext;
  CairoSurfacePtr m_SnapshotSurface;

  // Layers.
  CairoSurfacePtr m_BackgroundSurface;
  CairoSurfacePtr m_NextBackgroundSurface;
  CairoSurfacePtr m_RingSurface;
  std::shared_ptr<CairoContext> m_RingContext;
  CairoSurfacePtr m_CardTileSurface;
  CairoImageList m_Images;

  // Resource images.
  QByteArray m_NoThumb, m_Star, m_UnStar, m_Ticket, m_NoTicket;

  // Ring.
  int m_Entries = CarouselRing::DefaultEntries;
  int m_FrontSlot = CarouselRing::FrontSlot(CarouselRing::DefaultEntries);
  std::vector<int> m_SlotImages;  // image number of slots 1 .. N
  CarouselRing::Pose m_Pose = CarouselRing::RestPose(CarouselRing::DefaultEntries);
  int16_t m_ScrollIncrements = 10;
  CarouselRing::FrameCounts m_Frames = CarouselRing::FrameCountsFor(10);
  int32_t m_ResultTotal = 0;
  std::unique_ptr<CarouselPacer> m_Pacer;

  // Flags.
  bool m_Scrolling = false;
  bool m_DetailsDrawn = false;
  bool m_SlowTimer = false;
  int16_t m_ResultsWipedIn = 0;
  bool m_Invert = false;
  bool m_MusicEnabled = false;
  bool m_StampShown = false;

  // Tint scheme.
  int32_t m_TintScheme = 0;
  COLORREF m_TintColour[5] = {};

  // Tags and menus.
  std::vector<TagListRow> m_TagList;
  int32_t m_HighlightedTagIndex = 0;
  QString m_HighlightedTagCaption;
  QString m_MenuMode = QStringLiteral("NULL");

  std::unique_ptr<ClsT9Interface> m_Keypad;
};

extern std::unique_ptr<cCarousel> gCarousel;
