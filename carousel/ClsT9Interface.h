#pragma once
// The keypad type-ahead panel of the carousel: with the numeric keypad alone
// the user finds a tag by the keypad digits of its letters (2 ABC .. 9 WXYZ)
// and applies it, or spells a short text by multi-tap. The panel is drawn
// over a dimmed snapshot of the carousel's canvas; Show holds its caller in
// a loop until the panel is hidden again, while the carousel hands it every
// key and every tick of the pane's keypad timer.
//
// Modes of Show: 0 playlists, 1 and 4 all tags, 6 tags of type 'T', any
// other positive mode the tags of the current results' tag cloud; -1 a name
// for a saved view, any other negative mode a text search.
#include "platform/ColorRef.h"
#include "ui/CairoSurface.h"

#include <QString>

#include <cstdint>
#include <memory>

class cCarousel;
class CarouselPane;
class CarouselPacer;
class CairoContext;
class ICarouselHost;
class SqlRecordset;
class QObject;

class ClsT9Interface {
 public:
  // Draws on the carousel's canvas in its palette, blinks with the pane's
  // keypad timer (no pane: the panel never opens) and acts through the
  // window's services. Its frames and waits go through the carousel's frame
  // pacer, whichever is in place at the time.
  ClsT9Interface(cCarousel& carousel, CarouselPane* pane, ICarouselHost& host,
                 const std::unique_ptr<CarouselPacer>& pacer);
  // A Show still waiting returns at once, with "*CANCELLED*".
  ~ClsT9Interface();
  ClsT9Interface(const ClsT9Interface&) = delete;
  ClsT9Interface& operator=(const ClsT9Interface&) = delete;

  // Builds the match list again (Requery), keeping the tag KeepTagID current
  // when it is listed, and redraws.
  void ShowMatches(bool Requery, int32_t KeepTagID);
  // A key while the panel is up.
  void KeyPressHandler(int& KeyCode);
  // Draws the panel again.
  void Refresh();
  // Opens the panel in a mode and returns once it is hidden; then
  // EnteredText holds the answer. Refused while the panel is up; a canvas
  // that is not on screen can take no key, so there it returns at once as
  // cancelled. The application's quit cancels the wait; a close of the
  // canvas's window cancels it too and is carried out once Show has returned.
  void Show(int16_t Mode);
  // Fades the panel out and marks it hidden.
  void Hide();
  // One tick of the keypad timer (250 ms): the cursor's blink and, after two
  // seconds without a key, the multi-tap letter committed.
  void TimerEvent();
  bool Visible() const { return m_Visible; }
  // "*CANCELLED*", a view spec of a text search, or empty.
  QString EnteredText() const { return m_EnteredText; }
  int16_t Mode() const { return m_Mode; }

  // ---- For tests and benchmarks ----
  // The match line in three parts: tag mode the name before, at and after
  // the typed letters; text mode nothing, the committed text and the
  // pending letter.
  const QString& Before() const { return m_Before; }
  const QString& Match() const { return m_Match; }
  const QString& After() const { return m_After; }
  const QString& Caption() const { return m_Caption; }
  const QString& Counter() const { return m_Counter; }
  const QString& KindGlyph() const { return m_KindGlyph; }
  const QString& Digits() const { return m_Digits; }
  const QString& NodeKey() const { return m_NodeKey; }
  int32_t TagID() const { return m_TagID; }
  bool Shown() const { return m_Shown; }
  bool CursorOn() const { return m_CursorOn; }
  // The panel as last drawn (720 x 160), and its palette.
  const CairoSurfacePtr& PanelSurface() const { return m_PanelSurface; }
  COLORREF ShadowColour() const { return m_ShadowColour; }
  COLORREF TextColour() const { return m_TextColour; }
  COLORREF FrameColour() const { return m_FrameColour; }

  // Where the typed digits stand in a name: the first character and the
  // number of characters of `name` that the digits' position in the keypad
  // text covers. Each character is converted on its own, so a letter whose
  // upper case is longer ("ß" to "SS") still maps to itself. Length 0 when
  // the digits are not in the name.
  struct Span {
    int Start = 0;
    int Length = 0;
  };
  static Span MatchSpan(const QString& name, const QString& digits);

 private:
  void DrawPanel();
  void TagKeyPress(int KeyCode);
  void TextKeyPress(int KeyCode);
  void DrawPanelFrame();
  void FadeIn();

  // Show's wait and its end (ClsT9Interface.cpp).
  void ClearState();
  void ShowPrompt();
  bool WaitUntilHidden();
  void EndShow();
  void Cancel();
  void TakeBackdrop();
  bool LetEventsRun();
  void PaceWait(int ms);
  void SetTimer(bool enabled);
  void RefreshCanvas();
  bool CanvasOnScreen() const;
  // The match list and Enter on a tag (ClsT9Interface_matches.cpp).
  bool RunQuery(int32_t KeepTagID);
  QString MatchStatement() const;
  void ShowNoMatches();
  void ShowCurrentRow();
  QString ParentPath(const QString& nodeKey) const;
  void RunTagAction();
  void TagCurrentResult(int32_t tagId);
  void RunSearchStep();
  void LinkHighlightedTag(int32_t tagId);
  // Keys (ClsT9Interface_keys.cpp).
  void EnterOnTag();
  void StepRow(int delta);
  void JumpToNextInitial();
  QString PendingLetter(int KeyCode) const;
  void CommitPending();
  void ShowTyping(int KeyCode);
  void TextEntered();
  // Drawing (ClsT9Interface_draw.cpp).
  void DrawMatchLine(CairoContext& panel);
  void DrawShadowedText(CairoContext& panel, const QString& text, double x, double y);
  void DrawCursor(CairoContext& panel, double x);
  void DrawCounter(CairoContext& panel);
  void DrawArrows(CairoContext& panel);
  void PaintBackdrop(CairoContext& target);
  void PaintPanelOnCanvas(CairoContext& target, double opacity);
  void DrawFadeFrame(double dimming);

  cCarousel& m_Carousel;
  CarouselPane* m_Pane;
  ICarouselHost& m_Host;
  const std::unique_ptr<CarouselPacer>& m_Pacer;
  // False once the panel is gone: a Show still waiting must not touch it.
  std::shared_ptr<bool> m_Alive = std::make_shared<bool>(true);
  // Watches the application's quit and the window's close while Show waits.
  std::unique_ptr<QObject> m_ShutDownWatch;
  bool m_CloseHeld = false;  // the window asked to close while the panel was up

  int16_t m_Mode = 0;
  bool m_TagMode = true;
  bool m_Visible = false;
  bool m_Shown = false;
  QString m_Digits;
  QString m_NodeKey;
  int32_t m_TagID = 0;
  std::unique_ptr<SqlRecordset> m_Matches;
  QString m_Operator;
  QString m_Counter;
  QString m_Before, m_Match, m_After;
  QString m_KindGlyph;
  QString m_Caption;
  int m_TapCount = 0;
  int m_LastKey = 0;
  bool m_CursorOn = false;
  int m_Ticks = 0;
  QString m_EnteredText;
  int32_t m_PanelWidth = 540;
  int32_t m_PanelHeight = 120;
  CairoSurfacePtr m_PanelSurface;  // 720 x 160, drawn again for every change
  std::shared_ptr<CairoContext> m_PanelContext;
  CairoSurfacePtr m_FrameSurface;  // 720 x 160, the static background
  CairoSurfacePtr m_Backdrop;      // 1280 x 720, the canvas when Show began
  CairoSurfacePtr m_Scratch;       // 1280 x 720, one frame of a fade
  std::shared_ptr<CairoContext> m_ScratchContext;
  COLORREF m_ShadowColour = 0;
  COLORREF m_TextColour = 0;
  COLORREF m_FrameColour = 0;
};
