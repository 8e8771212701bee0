// The full-screen player's command interpreter: each command changes the
// playback and says what it did on the on-screen display.
#include "core/modReelwise.h"
#include "core/ShownNumbers.h"
#include "library/clsRWLibrary.h"
#include "platform/SqlRecordset.h"
#include "platform/modSound.h"
#include "player/ModMixers.h"
#include "player/clsRWPlayer.h"
#include "player/modMainPlayer.h"

#include <QThread>

#include <algorithm>
#include <cmath>
#include <random>
#include <utility>

namespace modMainPlayer {

namespace {

// What a branch leaves for the interpreter's last step.
struct CommandOutcome {
  bool stop = false;         // the display is left alone
  bool restartFade = true;   // the display fades after the command
};

bool AbActive() { return gOsdTimeText == QLatin1String("AB"); }
bool Paused() { return gPlayer->PlayState() == 1; }

QString PositionText() { return ShownNumbers::Duration(gPlayer->Position(), false, true); }

QString PercentText() {
  const double duration = gPlayer->Duration();
  const double share = duration > 0 ? gPlayer->Position() / duration : 0;
  return QString::number(std::lround(share * 100)) + QLatin1Char('%');
}

void Beep() { modSound::PlayEffect(gSoundBeep); }

CommandOutcome Tagging() {
  if (!gOsdText.isEmpty()) {
    gOsdTimeText.clear();
    gOsdIcon = QStringLiteral("OV_TAG");
  } else if (Paused()) {
    gOsdIcon = QStringLiteral("OV_PAUSE");
    gOsdText = QLatin1Char('(') + PercentText() + QLatin1Char(')');
    gOsdTimeText = PositionText();
  }
  return {};
}

CommandOutcome Rating(int stars) {
  if (AbActive()) {
    Beep();
    return {true, false};
  }
  gLibrary->RateSegment(static_cast<int16_t>(stars), gPlayItem.SegmentID);
  gOsdText = QString::number(stars);
  gOsdTimeText = PositionText();
  gOsdIcon = QStringLiteral("OV_STAR");
  const int32_t row = gPlayItem.BrowserRow;
  if (row >= 1 && row < static_cast<int32_t>(gResults.size())) gResults[row].Rating = static_cast<int16_t>(stars);
  return {};
}

CommandOutcome PlayOrPause() {
  if (Paused()) {
    gPlayer->Play();
    if (AbActive()) return {true, false};
    gOsdIcon = QStringLiteral("OV_PLAY");
    gOsdTimeText = PositionText();
    gOsdText.clear();
    return {};
  }
  if (!AbActive()) {
    gOsdIcon = QStringLiteral("OV_PAUSE");
    gOsdText = PercentText();
    gOsdTimeText = PositionText();
    gPlayer->OverlayText(gOsdText, 1.0, gOsdTimeText, true);
    QThread::msleep(80);
  }
  gPlayer->Pause();
  return {};
}

CommandOutcome RandomJump() {
  static std::mt19937 random{std::random_device{}()};
  const double duration = gPlayer->Duration();
  std::uniform_real_distribution<double> share(0.0, 1.0);
  gPlayer->SetPosition(std::floor(share(random) * duration));
  gOsdIcon = QStringLiteral("OV_JUMP_FORWARD");
  gOsdText = QStringLiteral("Random Jump");
  gRepeatEntry = true;
  return {};
}

CommandOutcome Volume(int step) {
  const int32_t volume = std::clamp(gPlayer->Volume() + step, 0, 100);
  gPlayer->SetVolume(volume);
  ModMixers::SetVolume(0, volume);
  ModMixers::SetVolume(5, volume);
  if (AbActive()) return {true, false};
  gOsdIcon = step > 0 ? QStringLiteral("OV_VOL_UP") : QStringLiteral("OV_VOL_DOWN");
  gOsdTimeText = PositionText();
  gOsdText = QString::number(volume) + QLatin1Char('%');
  return {};
}

// Paused, a jump steps one frame; playing, it skips the step.
CommandOutcome Jump(int direction, int step) {
  if (Paused()) {
    const double rate = gPlayer->FrameRate();
    gPlayer->TimeJump(direction * (rate > 0 ? 1.0 / rate : 0.04));
    if (AbActive()) return {true, false};
    gOsdIcon = QStringLiteral("OV_PAUSE");
    gOsdText = direction > 0 ? QStringLiteral("Frame Advance") : QStringLiteral("Frame Retreat");
  } else {
    gPlayer->TimeJump(direction * step);
    if (AbActive()) return {true, false};
    gOsdIcon = direction > 0 ? QStringLiteral("OV_JUMP_FORWARD") : QStringLiteral("OV_JUMP_BACK");
    gOsdText = QStringLiteral("Jump ") + QString::number(step) + QStringLiteral(" secs");
  }
  gOsdTimeText = PositionText();
  return {};
}

bool PointASet() { return gPlayItem.SelectionStart != 0; }
bool PointBSet() { return std::abs(gPlayItem.SelectionEnd - gPlayer->Duration()) > 0.001; }

void Show(const char* icon, const char* text) {
  gOsdIcon = QLatin1String(icon);
  gOsdText = QLatin1String(text);
}

CommandOutcome SetPointA() {
  gOsdTimeText = QStringLiteral("AB");
  CommandOutcome outcome;
  if (PointASet() && PointBSet()) {
    Show("OV_SET_A", "Set Point A");
    outcome.restartFade = false;
    gPlayItem.SelectionStart = 0;
  } else if (PointASet()) {
    Show("OV_AB_CANCEL", "A-B Repeat Cancelled");
    gOsdTimeText.clear();
    gPlayItem.SelectionStart = 0;
  } else if (PointBSet()) {
    Show("OV_AB_INIT", "A-B Repeat Initiated!");
    gPlayItem.SelectionStart = gPlayer->Position();
  } else {
    Show("OV_SET_B", "Set Point B");
    outcome.restartFade = false;
    gPlayItem.SelectionStart = gPlayer->Position();
  }
  gRepeatEntry = true;
  return outcome;
}

CommandOutcome SetPointB() {
  gOsdTimeText = QStringLiteral("AB");
  CommandOutcome outcome;
  if (PointBSet() && !PointASet()) {
    Show("OV_AB_CANCEL", "A-B Repeat Cancelled");
    gOsdTimeText.clear();
    gPlayItem.SelectionEnd = gPlayer->Duration();
  } else if (PointBSet()) {
    Show("OV_SET_B", "Set Point B");
    outcome.restartFade = false;
    gPlayItem.SelectionEnd = gPlayer->Duration();
  } else if (!PointASet()) {
    gPlayItem.SelectionEnd = gPlayer->Position();
    Show("OV_SET_A", "Set Point A");
    outcome.restartFade = false;
  } else {
    gPlayItem.SelectionEnd = gPlayer->Position();
    Show("OV_AB_INIT", "A-B Repeat Initiated!");
  }
  gRepeatEntry = true;
  return outcome;
}

void RestartFade() {
  if (Hooks().RestartFade) Hooks().RestartFade();
}

// The file's saved segments, in start order, played one after the other
// inside the entry; then the run moves on.
CommandOutcome Highlights() {
  if (AbActive()) {
    Beep();
    return {true, false};
  }
  gPlayQueueBuilt = false;
  SqlRecordset rows(gLibrary->Connection(),
                    QStringLiteral("SELECT SelectionStart, SelectionEnd, SegmentID from VideoSegments WHERE "
                                   "FileFlag IS NULL AND FileID = %1 ORDER BY SelectionStart")
                        .arg(gPlayItem.FileID));
  if (rows.Eof()) {
    gOsdTimeText.clear();
    Show("OV_ILLEGAL", "No Saved Segments...");
    return {};
  }
  RestartFade();
  for (rows.MoveFirst(); !rows.Eof() && !gStopPlaylist; rows.MoveNext()) {
    gPlayItem.SegmentID = rows.Value(2).toInt();
    gPlayItem.SelectionStart = rows.Value(0).toDouble();
    gPlayItem.SelectionEnd = rows.Value(1).toDouble();
    gPlayItem.IsFileRow = false;
    gRepeatEntry = false;
    PlayFileFullScreen(gPlayItem);
    gEntryDone = false;
  }
  gEntryDone = true;
  return {};
}

CommandOutcome SaveSegment() {
  int32_t created = 0;
  gLibrary->CreateSegment(gPlayItem.SelectionStart, gPlayItem.SelectionEnd, gPlayItem.FileID, gPlayItem.SegmentID,
                          created);
  Show("OV_SAVE", "Segment Saved...");
  return {};
}

CommandOutcome KillPlayback() {
  gStopPlaylist = true;
  gPlayer->SetVisible(false);
  gPlayer->SetFullScreen(false);
  return {};
}

// Commands given while an entry opened, in the order given.
QStringList& WaitingCommands() {
  static QStringList commands;
  return commands;
}

CommandOutcome Run(const QString& command) {
  const int step = command.contains(QLatin1String("Big")) ? 60 : 10;
  if (command == QLatin1String("Tagging")) return Tagging();
  if (command.startsWith(QLatin1String("Rating")) && command.size() == 7) {
    const int stars = command.at(6).digitValue();
    if (stars >= 1 && stars <= 5) return Rating(stars);
  }
  if (command == QLatin1String("Highlights")) return Highlights();
  if (command == QLatin1String("Play/Pause")) return PlayOrPause();
  if (command == QLatin1String("RandomJump")) return RandomJump();
  if (command == QLatin1String("VolumeUp")) return Volume(5);
  if (command == QLatin1String("VolumeDown")) return Volume(-5);
  if (command == QLatin1String("SetPointA")) return SetPointA();
  if (command == QLatin1String("SetPointB")) return SetPointB();
  if (command == QLatin1String("KillPlayback")) return KillPlayback();
  if (command.startsWith(QLatin1String("JumpBack"))) return Jump(-1, step);
  if (command.startsWith(QLatin1String("JumpForward"))) return Jump(1, step);
  if (command == QLatin1String("Next")) {
    gEntryDone = true;
    return {};
  }
  if (command == QLatin1String("Previous")) {
    gEntryDone = true;
    gPlayIndex -= 2;
    return {};
  }
  if (command == QLatin1String("SaveSegment")) return SaveSegment();
  gPlayer->SetFullScreen(!gPlayer->FullScreen());
  return {};
}

}  // namespace

// Esc while an entry opens ends the run at once: the open is given up (one
// that hangs on an unreachable file would otherwise hold the run for its
// whole time-out). Other commands wait until the entry plays.
void ExecutePlayerCommand(const QString& command) {
  if (!gPlayer) return;
  if (gOpeningEntry) {
    if (command == QLatin1String("KillPlayback")) {
      WaitingCommands().clear();
      KillPlayback();
      gPlayer->CleanUp();
    } else {
      WaitingCommands().append(command);
    }
    return;
  }
  if (Hooks().StopFade) Hooks().StopFade();
  const CommandOutcome outcome = Run(command);
  if (command == QLatin1String("KillPlayback")) CloseIdleWindow();
  if (outcome.stop) return;
  gPlayer->OverlayText(gOsdText, 1.0, gOsdTimeText, true);
  if (Paused()) gPlayer->SetPosition(gPlayer->Position());
  if (outcome.restartFade) RestartFade();
}

void RunWaitingCommands() {
  const QStringList commands = std::exchange(WaitingCommands(), {});
  for (const QString& command : commands) {
    // A command that ends the entry or the run leaves the rest undone.
    if (gStopPlaylist || gEntryDone || gOpeningEntry) break;
    ExecutePlayerCommand(command);
  }
}

void DropWaitingCommands() { WaitingCommands().clear(); }

}  // namespace modMainPlayer
