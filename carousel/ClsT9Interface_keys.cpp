// The keypad panel's keys: stepping through the tags that match the typed
// digits, and spelling a text by multi-tap (each key's letters in turn, a
// new key or two seconds without one taking the letter shown).
#include "carousel/ClsT9Interface.h"

#include "carousel/cCarousel.h"
#include "core/modReelwise.h"
#include "library/clsRWLibrary.h"
#include "platform/ErrorGuard.h"
#include "platform/SqlRecordset.h"
#include "platform/controls/VbInput.h"
#include "platform/modSound.h"

#include <array>

using namespace ctl;

namespace {

const QString kCancelled = QStringLiteral("*CANCELLED*");
const QString kTextSearch = QStringLiteral("|_?FAD:");

constexpr int kNumpad9 = vbKeyNumpad0 + 9;

bool IsLetterKey(int key) { return key >= vbKeyNumpad2 && key <= kNumpad9; }

void Click() { modSound::PlayEffect(gSoundClick); }
void Beep() { modSound::PlayEffect(gSoundBeep); }

// The first letter of each word in upper case, the rest in lower case.
QString ProperCase(const QString& text) {
  QString result = text.toLower();
  bool wordStart = true;
  for (QChar& c : result) {
    if (wordStart && c.isLetter()) c = c.toUpper();
    wordStart = c.isSpace();
  }
  return result;
}

}  // namespace

// ---- Tag mode ----

void ClsT9Interface::TagKeyPress(int KeyCode) {
  if (IsLetterKey(KeyCode)) {
    Click();
    m_Digits += QChar(u'0' + (KeyCode - vbKeyNumpad0));
    ShowMatches(true, 0);
    return;
  }
  switch (KeyCode) {
    case vbKeyLeft:
      if (m_Digits.isEmpty()) return;
      Click();
      m_Digits.chop(1);
      ShowMatches(true, 0);
      return;
    case vbKeyRight:
      m_Digits.clear();
      ShowMatches(true, m_TagID);
      return;
    case vbKeyUp: StepRow(-1); return;
    case vbKeyDown: StepRow(1); return;
    case vbKeyNumpad0:
      Click();
      if (m_Digits.isEmpty()) JumpToNextInitial();
      ShowMatches(false, 0);
      return;
    case vbKeyEscape:
      Click();
      m_EnteredText = kCancelled;
      Hide();
      LetEventsRun();
      return;
    case vbKeyReturn: return EnterOnTag();
    default: return;
  }
}

// Enter: the panel goes, and with a tag shown the mode's action follows.
void ClsT9Interface::EnterOnTag() {
  Click();
  Hide();
  if (!m_NodeKey.isEmpty()) RunTagAction();
  m_Digits.clear();
  m_NodeKey.clear();
  m_TagID = 0;
  m_Mode = 1;
}

// Up from the first row goes to the last; Down from the last reads the list
// again, which makes the first row current.
void ClsT9Interface::StepRow(int delta) {
  if (!m_Matches || m_Matches->RecordCount() == 0) return;
  Click();
  const int row = m_Matches->AbsolutePosition();
  if (delta < 0) {
    if (row <= 1) {
      m_Matches->MoveLast();
    } else {
      m_Matches->MovePrevious();
    }
    ShowMatches(false, 0);
  } else if (row >= m_Matches->RecordCount()) {
    ShowMatches(true, 0);
  } else {
    m_Matches->MoveNext();
    ShowMatches(false, 0);
  }
}

// On to the first row whose initial comes after the current row's (upper
// case compared), else back to the first row. An empty list stays as it is.
void ClsT9Interface::JumpToNextInitial() {
  if (!m_Matches || m_Matches->RecordCount() == 0 || m_Matches->Eof() || m_Matches->Bof()) return;
  auto initial = [this] {
    const QString name = m_Matches->Fields(QStringLiteral("Tag")).toString();
    return name.isEmpty() ? char16_t{0} : name.at(0).toUpper().unicode();
  };
  const char16_t current = initial();
  for (m_Matches->MoveNext(); !m_Matches->Eof(); m_Matches->MoveNext()) {
    if (initial() > current) return;
  }
  m_Matches->MoveFirst();
}

// ---- Text mode ----

void ClsT9Interface::TextKeyPress(int KeyCode) {
  const bool known = IsLetterKey(KeyCode) || KeyCode == vbKeyEscape || KeyCode == vbKeyLeft ||
                     KeyCode == vbKeyRight || KeyCode == vbKeyReturn;
  // A key without a role changes nothing, not even the letter pending.
  if (!known) {
    Beep();
    return;
  }
  m_Ticks = 0;
  if (KeyCode != m_LastKey) {
    CommitPending();
    m_TapCount = 0;
  } else {
    ++m_TapCount;
  }
  switch (KeyCode) {
    case vbKeyEscape:
      m_EnteredText = kCancelled;
      Hide();
      return;
    case vbKeyRight:
      if (m_Match.isEmpty()) return Beep();
      m_After = QStringLiteral(" ");
      m_TapCount = 0;
      break;
    case vbKeyLeft:
      m_TapCount = 0;
      if (m_Match.isEmpty()) return Beep();
      m_Match.chop(1);
      m_After.clear();
      break;
    case vbKeyReturn: return TextEntered();
    default: m_After = PendingLetter(KeyCode); break;
  }
  ShowTyping(KeyCode);
}

// The letter of a keypad key after m_TapCount presses beyond the first.
QString ClsT9Interface::PendingLetter(int KeyCode) const {
  static const std::array<const char*, 8> groups = {"ABC", "DEF", "GHI", "JKL", "MNO", "PQRS", "TUV", "WXYZ"};
  const QString group = QString::fromLatin1(groups[static_cast<size_t>(KeyCode - vbKeyNumpad2)]);
  return group.mid(m_TapCount % group.size(), 1);
}

void ClsT9Interface::CommitPending() {
  m_Match += m_After;
  m_After.clear();
}

void ClsT9Interface::ShowTyping(int KeyCode) {
  Click();
  m_Before.clear();
  m_Match = ProperCase(m_Match);
  if (!m_Match.isEmpty() && !m_Match.endsWith(QLatin1Char(' '))) m_After = m_After.toLower();
  m_LastKey = KeyCode;
  DrawPanel();
}

// Enter: a saved view (mode -1) or a text search over file names, aliases
// and descriptions; a search with nothing typed finds every file.
void ClsT9Interface::TextEntered() {
  const QString text = (m_Match + m_After).trimmed();
  if (!text.isEmpty()) {
    if (m_Mode == -1) {
      if (gLibrary) ErrorGuard().Run([&] { gLibrary->SaveView(gViewSpec, text, false); });
    } else {
      m_EnteredText = kTextSearch + text;
    }
  } else if (m_Mode == -2) {
    m_EnteredText = kTextSearch + QStringLiteral("*");
  } else {
    Beep();
    return;
  }
  Hide();
  m_Carousel.DrawMenu(true, true);
  if (gLibrary) ErrorGuard().Run([this] { gLibrary->ShowView(m_EnteredText, QString()); });
}
