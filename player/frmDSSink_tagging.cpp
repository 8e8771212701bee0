// Keypad tagging in the full-screen player. Numpad 0 starts it; the digits 2
// to 9 spell a tag's name as on a phone keypad (each letter by its key, once),
// and the display shows the best matching tag with the typed part set apart:
// "before//typed//after//row/count". Up and Down step through the matches,
// Enter tags the segment playing with the one shown, Esc gives up.
//
// A digit that matches nothing beeps, shows "No Matches" and is taken back
// 750 ms later; keys released during that wait are held and follow the
// taking back in the order they came, so fast typing is neither lost nor
// reordered.
#include "player/frmDSSink.h"

#include "core/ShownNumbers.h"
#include "core/modReelwise.h"
#include "library/clsRWLibrary.h"
#include "platform/ErrorGuard.h"
#include "platform/SqlConnection.h"
#include "platform/modSound.h"
#include "player/clsRWPlayer.h"
#include "player/modMainPlayer.h"

#include <QEvent>
#include <QTimer>

#include <sqlite3.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <utility>

namespace {

constexpr int kNumpad0 = 96;
constexpr int kNumpad0Alt = 196;
constexpr int kEnter = 13;
constexpr int kEscape = 27;
constexpr int kLeft = 37;
constexpr int kUp = 38;
constexpr int kDown = 40;
// Numpad 2 to 9, each with the first letter of its group.
constexpr int kFirstLetterKey = 98;
constexpr int kLastLetterKey = 105;
constexpr char kGroupLetters[] = "ADGJMPTW";

constexpr int kDropDelayMs = 750;

// Tags of type 'T' (not the reserved tag 1) whose keypad digits begin with
// the typed digits, then those holding them further in, each part by name.
// ?1 is the typed digits.
constexpr char kMatchesSql[] =
    "SELECT TagID, Tag, T9Text FROM ("
    "SELECT T.TagID, T.Tag, T.T9Text, 0 AS Sort FROM Tags T "
    "WHERE T.Type = 'T' AND T.T9Text LIKE ?1 || '%' AND T.TagID > 1 "
    "UNION SELECT T.TagID, T.Tag, T.T9Text, 1 AS Sort FROM Tags T "
    "WHERE T.Type = 'T' AND NOT T.T9Text LIKE ?1 || '%' AND T.T9Text LIKE '%' || ?1 || '%' AND T.TagID > 1) "
    "ORDER BY Sort, Tag";

bool IsLetterKey(int key) { return key >= kFirstLetterKey && key <= kLastLetterKey; }
QChar DigitOf(int key) { return QLatin1Char(static_cast<char>('2' + key - kFirstLetterKey)); }
QChar LetterOf(int key) { return QLatin1Char(kGroupLetters[key - kFirstLetterKey]); }

QString ColumnText(sqlite3_stmt* stmt, int column) {
  return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, column)),
                           sqlite3_column_bytes(stmt, column));
}

// Hands each tag matching `digits` to `add` (id, name, keypad digits), in
// the order they are listed.
void ReadT9Matches(SqlConnection& db, const QString& digits,
                   const std::function<void(int32_t, const QString&, const QString&)>& add) {
  std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)> stmt(db.PrepareStatement(QString::fromLatin1(kMatchesSql)),
                                                                  &sqlite3_finalize);
  const QByteArray typed = digits.toUtf8();
  if (sqlite3_bind_text(stmt.get(), 1, typed.constData(), static_cast<int>(typed.size()), SQLITE_TRANSIENT) !=
      SQLITE_OK) {
    db.Fail(QStringLiteral("parameter 1"));
  }
  int rc;
  while ((rc = sqlite3_step(stmt.get())) == SQLITE_ROW) {
    add(static_cast<int32_t>(sqlite3_column_int64(stmt.get(), 0)), ColumnText(stmt.get(), 1),
        ColumnText(stmt.get(), 2));
  }
  if (rc != SQLITE_DONE) db.Fail(QString());
}

// The display's text for a match: the tag's name split around the part the
// typed digits stand for, then "row/count".
QString MatchText(const QString& tag, const QString& t9Text, const QString& digits, int row, int count) {
  const qsizetype at = digits.isEmpty() ? 0 : std::max<qsizetype>(0, t9Text.indexOf(digits, 0, Qt::CaseInsensitive));
  const QString parts = QStringLiteral("//");
  return tag.left(at) + parts + tag.mid(at, digits.size()) + parts + tag.mid(at + digits.size()) + parts +
         ShownNumbers::Count(row) + QLatin1Char('/') + ShownNumbers::Count(count);
}

// The last message of a tagging, shown at once by the interpreter and then
// left to fade.
void ShowTaggingEnd(const QString& text) {
  gOsdText = text;
  modMainPlayer::ExecutePlayerCommand(QStringLiteral("Tagging"));
  if (const auto& restartFade = modMainPlayer::Hooks().RestartFade) restartFade();
}

// Runs `onClose` when the window gets its close event, so a wait in progress
// ends with the window.
class CloseWatch : public QObject {
 public:
  CloseWatch(QWidget* window, std::function<void()> onClose) : QObject(window), onClose_(std::move(onClose)) {
    window->installEventFilter(this);
  }
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Close) onClose_();
    return QObject::eventFilter(watched, event);
  }

 private:
  std::function<void()> onClose_;
};

// The end of the wait after "No Matches": the digit goes as Left would take
// it, then the keys held meanwhile go through the key map in order. A held
// key that again finds nothing starts a new wait, and the keys after it stay
// held for that one.
void DropThenReplay(frmDSSink& form, std::deque<std::pair<int, int>>& waiting, const QTimer& timer) {
  if (!form.TaggingMode()) {
    waiting.clear();
    return;
  }
  form.HandleTaggingKey(kLeft, 0);
  while (!waiting.empty() && !timer.isActive()) {
    const auto [key, shift] = waiting.front();
    waiting.pop_front();
    form.Form_KeyUp(key, shift);
  }
}

}  // namespace

void frmDSSink::HandleTaggingKey(int KeyCode, int Shift) {
  if (dropTimer_ && dropTimer_->isActive()) {
    waitingKeys_.emplace_back(KeyCode, Shift);
    return;
  }
  bool requery = true;
  switch (KeyCode) {
    case kNumpad0:
    case kNumpad0Alt:
      typedDigits_.clear();
      typedLetters_.clear();
      if (gOsdTimeText == QLatin1String("AB")) {
        modSound::PlayEffect(gSoundBeep);
        return;
      }
      taggingMode_ = true;
      break;
    case kEnter:
      if (currentTagKey_.isEmpty()) return;
      gLibrary->TagSegment(gPlayItem.SegmentID, currentTagID_, false);
      typedDigits_.clear();
      typedLetters_.clear();
      currentTagKey_.clear();
      currentTagID_ = 0;
      taggingMode_ = false;
      ShowTaggingEnd(QStringLiteral("////Tag Applied...//"));
      return;
    case kEscape:
      taggingMode_ = false;
      typedLetters_.clear();
      gOsdIcon = QStringLiteral("OV_TAG");
      ShowTaggingEnd(QStringLiteral("////Cancelled...//"));
      return;
    case kLeft:
      typedDigits_.chop(1);
      typedLetters_.chop(1);
      break;
    case kUp:
      if (matchIndex_ > 0) --matchIndex_;
      requery = false;
      break;
    case kDown:
      if (matchIndex_ + 1 < static_cast<int>(matches_.size())) ++matchIndex_;
      requery = false;
      break;
    default:
      if (!IsLetterKey(KeyCode)) return;
  }
  modSound::PlayEffect(gSoundClick);
  if (IsLetterKey(KeyCode)) {
    typedDigits_ += DigitOf(KeyCode);
    typedLetters_ += LetterOf(KeyCode);
  }
  FindT9Tags(requery);
  modMainPlayer::ExecutePlayerCommand(QStringLiteral("Tagging"));
}

void frmDSSink::FindT9Tags(bool requery) {
  if (requery) {
    matches_.clear();
    matchIndex_ = 0;
    ReadT9Matches(gLibrary->Connection(), typedDigits_, [this](int32_t id, const QString& tag, const QString& t9) {
      matches_.push_back({id, tag, t9});
    });
  }
  if (!matches_.empty()) {
    const T9Match& match = matches_[static_cast<size_t>(matchIndex_)];
    currentTagID_ = match.TagID;
    currentTagKey_ = QStringLiteral("ID") + QString::number(match.TagID);
    gOsdText = MatchText(match.Tag, match.T9Text, typedDigits_, matchIndex_ + 1, static_cast<int>(matches_.size()));
    return;
  }
  currentTagKey_.clear();
  currentTagID_ = 0;
  gOsdText = QStringLiteral("////No Matches//");
  modSound::PlayEffect(gSoundBeep);
  if (gPlayer) gPlayer->OverlayText(gOsdText, 1.0, gOsdTimeText, true);
  // With nothing typed there is no digit to take back (the library has no
  // tags to offer), so no wait starts.
  if (typedDigits_.isEmpty()) return;
  if (!dropTimer_) {
    dropTimer_ = new QTimer(this);
    dropTimer_->setSingleShot(true);
    dropTimer_->setInterval(kDropDelayMs);
    connect(dropTimer_, &QTimer::timeout, this,
            [this] { ErrorGuard().Run([this] { DropThenReplay(*this, waitingKeys_, *dropTimer_); }); });
    new CloseWatch(this, [this] {
      dropTimer_->stop();
      waitingKeys_.clear();
    });
  }
  dropTimer_->start();
}
