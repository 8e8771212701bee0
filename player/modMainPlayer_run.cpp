// The run of the play queue in the full-screen window: each entry opened,
// started at its start point, waited for, repeated or left.
#include "core/ProgramMessage.h"
#include "core/ShownNumbers.h"
#include "core/modReelwise.h"
#include "core/modRegistry.h"
#include "library/ViewSpec.h"
#include "library/clsRWLibrary.h"
#include "platform/InputGate.h"
#include "platform/ModalLoop.h"
#include "platform/QuitRequest.h"
#include "player/clsRWPlayer.h"
#include "player/frmDSSink.h"
#include "player/modMainPlayer.h"

#include <QApplication>

namespace modMainPlayer {

namespace {

bool runActive = false;
// Whether the last entry given to PlayFileFullScreen could be opened.
bool lastOpenFailed = false;

void Call(const std::function<void()>& hook) {
  if (hook) hook();
}
void Call(const std::function<void(bool)>& hook, bool value) {
  if (hook) hook(value);
}

// The next entry of the run: queue runs wrap at both ends.
ResultItem& NextEntry() {
  if (!gPlayWholeQueue) return gPlayQueue[0];
  ++gPlayIndex;
  if (gPlayIndex < 1) gPlayIndex = gPlayCount;
  if (gPlayIndex > gPlayCount) gPlayIndex = 1;
  return gPlayQueue[gPlayIndex];
}

int32_t EntriesInPass() { return gPlayWholeQueue ? std::max(gPlayCount, 1) : 1; }

// Steps through the queue until KillPlayback. Entries that are offline or
// whose file does not open are skipped; when a whole pass plays nothing the
// run ends, and the return value says so.
bool PlayEntries() {
  gFullScreenFileOpen = false;
  gPlayIndex -= 1;
  gEntryDone = true;
  bool playedAny = false;
  int32_t unplayable = 0;
  while (!gStopPlaylist) {
    gRepeatEntry = false;
    if (gPlayWholeQueue && gPlayCount < 1) return false;
    gPlayItem = NextEntry();
    bool played = false;
    if (!gPlayItem.CurrentPath.startsWith(QLatin1Char('['))) {
      PlayFileFullScreen(gPlayItem);
      played = !lastOpenFailed;
    }
    if (played) {
      playedAny = true;
      unplayable = 0;
    } else if (++unplayable >= EntriesInPass()) {
      return playedAny;
    } else {
      InputGate::Turn();
    }
  }
  return true;
}

void EndRun(bool playedSomething) {
  if (gPlayer) {
    gPlayer->SetVisible(false);
    gPlayer->StopPlayback();
    gPlayer->CleanUp();
  }
  gOpenFileID = 0;
  gFullScreenFileOpen = false;
  if (playedSomething) gCurrentItem = gPlayItem;
}

// Builds the queue and plays it, or hands it to another player; true when
// the run found nothing it could play.
bool PlayQueue() {
  Call(Hooks().CarouselMusic, false);
  Call(Hooks().SetPositionTimer, false);
  gStopPlaylist = false;
  gEntryDone = false;
  DropWaitingCommands();
  BuildPlaylist();
  if (QueueGoesToOtherPlayer() || !gPlayer) return false;
  const bool played = PlayEntries();
  EndRun(played);
  return !played && !gStopPlaylist;
}

void EndWindow() {
  Call(Hooks().StopFade);
  runActive = false;
  if (gDSSinkForm) gDSSinkForm->close();
  Call(Hooks().SetPositionTimer, true);
}

}  // namespace

bool RunActive() { return runActive; }

void ResumeCarouselMusic() {
  if (gBrowserMode == 3) Call(Hooks().CarouselMusic, true);
}

void RunPlaylist() {
  if (runActive) return;
  // A request to end the program ends the run at its next wait.
  const QuitRequest::LongWork work([] { gStopPlaylist = true; });
  // The run's window takes the player's keys; no command of another window
  // runs inside the run, and Esc there ends it (platform/InputGate.h).
  const InputGate::Hold gate(
      {.own = {gDSSinkForm.data()}, .escape = [] { ExecutePlayerCommand(QStringLiteral("KillPlayback")); }});
  runActive = true;
  bool nothingPlayable = false;
  try {
    nothingPlayable = PlayQueue();
  } catch (...) {
    // The window never stays up without a run behind it.
    EndWindow();
    throw;
  }
  EndWindow();
  if (nothingPlayable) {
    ShowProgramMessage(QStringLiteral("None of the files to be played could be opened: they are offline, "
                                      "missing or unreadable."),
                       48, QStringLiteral("Nothing to Play"), QApplication::activeWindow());
  }
}

void PlayFileFullScreen(ResultItem& Item) {
  gOpeningEntry = true;
  lastOpenFailed = false;
  QWidget* window = gDSSinkForm;
  if (Item.FileID != gOpenFileID || !gPlayer->FileLoaded()) {
    const QString error = gPlayer->OpenFile(Item.CurrentPath + Item.FileName, 0, 0, window ? window->width() : 0,
                                            window ? window->height() : 0, window, false);
    // A file that opens but has nothing to play (cut short, not media) is
    // skipped like one that does not open.
    if (!error.isEmpty() || !gPlayer->FileLoaded() || gPlayer->Duration() <= 0) {
      gOpeningEntry = false;
      gOpenFileID = 0;
      lastOpenFailed = true;
      return;
    }
    gPlayer->SetMessageDrain(window);
  } else {
    gOsdTimeText.clear();
  }
  gFullScreenFileOpen = true;
  double start = 0;
  if (!Item.IsFileRow) {
    start = Item.SelectionStart;
  } else if (Item.SegmentID == gLastSegmentID) {
    // A whole file that stopped at its end starts again from its start.
    const bool resume = gPlayQueueBuilt && gResumePosition < Item.SelectionEnd - 0.001;
    start = resume ? gResumePosition : Item.SelectionStart;
    gPlayQueueBuilt = false;
  }
  gPlayer->ForcePosition(start);
  const double duration = gPlayer->Duration();
  // A row whose end was never measured plays to the file's end.
  if (Item.SelectionEnd >= duration || Item.SelectionEnd <= start) Item.SelectionEnd = duration;
  if (gEntryDone) {
    gOsdTimeText.clear();
    gOsdIcon = QStringLiteral("OV_PLAY");
    gOsdText = Item.FileAlias.isEmpty() ? Item.FileName : Item.FileAlias;
    if (Hooks().SetFadeInterval) Hooks().SetFadeInterval(1000);
    gPlayer->OverlayText(gOsdText, 1.0, gOsdTimeText, true);
  } else {
    gOsdIcon.clear();
    gOsdText.clear();
    gOsdTimeText = ShownNumbers::Duration(start, false, true);
  }
  Call(Hooks().RestartFade);
  gEntryDone = false;
  gLastSegmentID = Item.SegmentID;
  gOpenFileID = Item.FileID;
  gPlayer->SetPosition(start);
  InputGate::Turn();
  gPlayer->SetFullScreen(!gPlayer->StretchToScreen);
  gPlayer->SetVisible(true);
  gPlayer->Play();
  WaitForEntryEnd();
}

void WaitForEntryEnd() {
  gOpeningEntry = false;
  RunWaitingCommands();
  for (;;) {
    do {
      // Through the gate the run holds: timers, the run's keys and paints
      // are handled while it waits; a request to end the program ends the
      // run (its stop sets gStopPlaylist).
      InputGate::TurnFor(10);
    } while (gPlayer->Position() < gPlayItem.SelectionEnd - 0.001 && !gStopPlaylist && !gEntryDone);
    if (gOsdIcon == QLatin1String("OV_TAG")) gRepeatEntry = true;
    if (!gRepeatEntry) gEntryDone = true;
    if (gStopPlaylist || gEntryDone) break;
    gPlayer->SetPosition(gPlayItem.SelectionStart);
    gPlayer->Play();
  }
  gResumePosition = gPlayer->Position();
  gPlayer->OverlayText(QString(), 0, QString(), false);
  gPlayQueueBuilt = true;
}

void ShowFullScreenPlayer(QWidget* owner) {
  if (gDSSinkForm) return;
  if (QueueGoesToOtherPlayer()) {
    // The playlist opens in the desktop's player: no full-screen window
    // stands behind it or behind a message about it.
    RunPlaylist();
    ResumeCarouselMusic();
    return;
  }
  auto* window = new frmDSSink(owner);
  gDSSinkForm = window;
  window->setParent(owner, Qt::Window | Qt::FramelessWindowHint);
  window->setWindowModality(Qt::ApplicationModal);
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->show();
  if (gDSSinkForm) ModalLoop::Run(*window, ModalLoop::Until::Destroyed);
  gDSSinkForm = nullptr;
}

void CloseIdleWindow() {
  if (gDSSinkForm && !runActive) gDSSinkForm->close();
}

}  // namespace modMainPlayer
