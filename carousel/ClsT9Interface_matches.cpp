// The keypad panel's match list: the tags whose keypad digits begin with the
// typed digits, then those holding them further in, and what Enter does
// with the chosen tag in each mode.
#include "carousel/ClsT9Interface.h"

#include "carousel/ICarouselHost.h"
#include "carousel/cCarousel.h"
#include "core/ShownNumbers.h"
#include "core/modReelwise.h"
#include "library/ResultItem.h"
#include "library/clsRWLibrary.h"
#include "platform/ErrorGuard.h"
#include "platform/SqlRecordset.h"
#include "platform/controls/TreeView.h"
#include "platform/modSound.h"

#include <vector>

namespace {

void Beep() { modSound::PlayEffect(gSoundBeep); }

// The typed digits as they may stand in the statement: only the characters
// 0 to 9 (the keys can give nothing else; anything else is dropped).
QString StatementDigits(const QString& digits) {
  QString kept;
  for (QChar c : digits) {
    if (c >= u'0' && c <= u'9') kept += c;
  }
  return kept;
}

// Where the mode's tags come from, ending so that a condition can follow.
QString SourceOf(int16_t mode) {
  switch (mode) {
    case 0: return QStringLiteral("Tags T WHERE T.Type = 'L' AND ");
    case 1: case 4: return QStringLiteral("Tags T WHERE ");
    case 6: return QStringLiteral("Tags T WHERE T.Type='T' AND ");
    default: return QStringLiteral("TagCloud TC, Tags T WHERE TC.LinkedTag = T.TagID AND ");
  }
}

ctl::Node* TreeNode(const QString& key) {
  ctl::TreeView* tree = gLibrary ? gLibrary->View().LibraryTree() : nullptr;
  return tree ? tree->Nodes.Find(key) : nullptr;
}

// A character of the text with its low surrogate, if it has one.
int CharLength(const QString& text, int at) {
  return text.at(at).isHighSurrogate() && at + 1 < text.size() && text.at(at + 1).isLowSurrogate() ? 2 : 1;
}

}  // namespace

ClsT9Interface::Span ClsT9Interface::MatchSpan(const QString& name, const QString& digits) {
  if (digits.isEmpty()) return {};
  // The keypad text built character by character, noting for each of its
  // positions the character of the name it came from.
  QString keypad;
  std::vector<int> from;
  for (int at = 0; at < name.size(); at += CharLength(name, at)) {
    const QString part = clsRWLibrary::ConvertToT9(name.mid(at, CharLength(name, at)));
    keypad += part;
    from.insert(from.end(), static_cast<size_t>(part.size()), at);
  }
  const qsizetype found = keypad.indexOf(digits);
  if (found < 0) return {};
  const int first = from[static_cast<size_t>(found)];
  const int last = from[static_cast<size_t>(found + digits.size() - 1)];
  return {first, last + CharLength(name, last) - first};
}

// Prefix matches (Sort 0) first, then names holding the digits further in
// (Sort 1), each by name; the fixed folders (TagIDs 1 to 4) never match.
QString ClsT9Interface::MatchStatement() const {
  const QString source = SourceOf(m_Mode);
  const QString digits = StatementDigits(m_Digits);
  return QStringLiteral("SELECT TagID, Tag, Type, T9Text, Sort FROM ") +
         QStringLiteral("(SELECT T.TagID as TagID, T.Tag as Tag, T.Type as Type, T.T9Text as T9Text, 0 as Sort FROM ") +
         source + QStringLiteral("T.T9Text LIKE '") + digits + QStringLiteral("%' AND T.TagID > 4") +
         QStringLiteral(" UNION ") + QStringLiteral("SELECT T.TagID, T.Tag, T.Type, T.T9Text, 1 as Sort FROM ") +
         source + QStringLiteral("NOT T.T9Text LIKE '") + digits + QStringLiteral("%' AND T.T9Text LIKE '%") +
         digits + QStringLiteral("%' AND T.TagID > 4) ") + QStringLiteral("ORDER BY Sort, Tag COLLATE NOCASE");
}

void ClsT9Interface::ShowMatches(bool Requery, int32_t KeepTagID) {
  if (!m_Shown) {
    // The first list of a Show: the tag cloud's counts of the current results.
    if (!LetEventsRun()) return;
    if (gLibrary) ErrorGuard().Run([] { gLibrary->PopulateTagCloudTable(); });
  }
  if (Requery && !RunQuery(KeepTagID)) {
    ShowNoMatches();
    return;
  }
  ShowCurrentRow();
  DrawPanel();
}

// Reads the list again; the row of KeepTagID is current when it is listed,
// else the first. False when nothing matches.
bool ClsT9Interface::RunQuery(int32_t KeepTagID) {
  m_TagID = KeepTagID;
  gSQL = MatchStatement();
  m_Matches.reset();
  if (gLibrary) {
    ErrorGuard().Run([this] { m_Matches = std::make_unique<SqlRecordset>(gLibrary->Connection(), gSQL); });
  }
  if (!m_Matches || m_Matches->RecordCount() == 0) return false;
  m_Matches->MoveFirst();
  if (m_TagID > 0) {
    while (!m_Matches->Eof() && m_Matches->Fields(QStringLiteral("TagID")).toInt() != m_TagID) m_Matches->MoveNext();
    if (m_Matches->Eof()) m_Matches->MoveFirst();
  }
  return true;
}

// Nothing matches: a beep and "No Matches"; with digits typed the last one
// is taken back half a second later.
void ClsT9Interface::ShowNoMatches() {
  Beep();
  m_Match = QStringLiteral("No Matches");
  m_Before.clear();
  m_After.clear();
  m_NodeKey.clear();
  m_Counter.clear();
  DrawPanel();
  if (m_Digits.isEmpty()) return;
  PaceWait(500);
  TagKeyPress(ctl::vbKeyLeft);
}

void ClsT9Interface::ShowCurrentRow() {
  if (!m_Matches || m_Matches->Eof() || m_Matches->Bof()) return;
  const QString name = m_Matches->Fields(QStringLiteral("Tag")).toString();
  m_KindGlyph = m_Matches->Fields(QStringLiteral("Type")).toString().toLower();
  m_TagID = m_Matches->Fields(QStringLiteral("TagID")).toInt();
  m_NodeKey = QStringLiteral("ID") + QString::number(m_TagID);
  m_Caption = ParentPath(m_NodeKey);
  const Span span = MatchSpan(name, m_Digits);
  m_Before = name.left(span.Start);
  m_Match = name.mid(span.Start, span.Length);
  m_After = name.mid(span.Start + span.Length);
  m_Counter = QStringLiteral("%1 / %2  ").arg(ShownNumbers::Count(m_Matches->AbsolutePosition()),
                                               ShownNumbers::Count(m_Matches->RecordCount()));
}

// The full path of the node's parent in the library tree, of the node itself
// at the top level; empty for a tag the tree does not show.
QString ClsT9Interface::ParentPath(const QString& nodeKey) const {
  const ctl::Node* node = TreeNode(nodeKey);
  if (!node) return QString();
  return node->Parent() ? node->Parent()->FullPath() : node->FullPath();
}

// ---- Enter on a tag ----

void ClsT9Interface::RunTagAction() {
  static const char* const operators[] = {"", "_", "+", "-", "&"};
  m_Operator = m_Mode >= 1 && m_Mode <= 4 ? QString::fromLatin1(operators[m_Mode]) : QString();
  m_Carousel.DrawMenu(true, true);
  const int32_t chosen = m_NodeKey.mid(2).toInt();
  if (m_Mode == 0) {
    TagCurrentResult(chosen);
  } else if (m_Mode <= 4) {
    RunSearchStep();
  } else {
    LinkHighlightedTag(chosen);
  }
}

// Mode 0: the carousel's current result goes into the chosen playlist.
void ClsT9Interface::TagCurrentResult(int32_t tagId) {
  const bool hasResult = gBrowserIndex >= 1 && static_cast<size_t>(gBrowserIndex) < gResults.size();
  if (!gLibrary || !hasResult) return Beep();
  const int32_t segment = gResults[static_cast<size_t>(gBrowserIndex)].SegmentID;
  ErrorGuard().Run([&] { gLibrary->TagSegment(segment, tagId, false); });
}

// Modes 1 to 4: the tag's node dropped on the browser with the mode's
// operator. A tag the tree does not show runs no search: the drop would take
// whatever node happens to be selected.
void ClsT9Interface::RunSearchStep() {
  ctl::Node* node = TreeNode(m_NodeKey);
  if (!node) return Beep();
  gLibrary->View().LibraryTree()->SetSelectedItem(node);
  m_Host.BrowserDragDrop(0, 0, QStringLiteral("tvwLibrary"), m_Operator);
  m_Host.SetFocusToBrowser();
}

// Modes 5 and above: the carousel's highlighted tag linked to the chosen one.
void ClsT9Interface::LinkHighlightedTag(int32_t tagId) {
  const int32_t highlighted = m_Carousel.HighlightedTagID.mid(2).toInt();
  if (!gLibrary || highlighted <= 0) return Beep();
  ErrorGuard().Run([&] { gLibrary->CreateTagRelationship(highlighted, tagId, QStringLiteral("L")); });
}
