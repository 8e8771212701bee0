// The full-screen player's play queue and the playlist files handed to
// another player. The queue holds copies of result rows: entries 1 to
// gPlayCount for a run through the queue, entry 0 for a one-item run (and as
// the shuffle's spare place). Each copy remembers its row in BrowserRow.
#include "player/modMainPlayer.h"

#include "core/DesktopShell.h"
#include "core/ProgramMessage.h"
#include "core/modLaunchDoc.h"
#include "core/modReelwise.h"
#include "core/modRegistry.h"
#include "library/ViewSpec.h"
#include "library/clsRWLibrary.h"
#include "platform/WholeFile.h"

#include <QDir>
#include <QLocale>
#include <QStringEncoder>

#include <algorithm>
#include <random>
#include <span>

namespace {

using Entries = std::span<const ResultItem>;

const QString kPlaylistTitle = QStringLiteral("Playlist");

std::mt19937& RandomEngine() {
  static std::mt19937 engine{std::random_device{}()};
  return engine;
}

// ---- The queue ----

// The 1-based queue position of the segment, 0 when it is not queued.
int32_t QueuePosition(int32_t segmentId) {
  for (int32_t n = 1; n <= gPlayCount; ++n) {
    if (gPlayQueue[static_cast<size_t>(n)].SegmentID == segmentId) return n;
  }
  return 0;
}

// Copies the selected rows (every row with `everyRow`) into entries 1 on, in
// result order. Returns how many entries were queued before the current
// item; 0 when it is the first or not queued.
int32_t FillQueue(bool everyRow) {
  gPlayCount = 0;
  int32_t before = 0;
  bool currentSeen = false;
  for (size_t i = 1; i < gResults.size(); ++i) {
    const ResultItem& row = gResults[i];
    if (!everyRow && !row.Selected) continue;
    if (!currentSeen && row.SegmentID == gCurrentItem.SegmentID) {
      currentSeen = true;
      before = gPlayCount;
    }
    ++gPlayCount;
    // The library's count and the rows' flags should agree; more rows than
    // counted still each get a place.
    if (static_cast<size_t>(gPlayCount) >= gPlayQueue.size()) gPlayQueue.resize(static_cast<size_t>(gPlayCount) + 1);
    ResultItem& entry = gPlayQueue[static_cast<size_t>(gPlayCount)];
    entry = row;
    entry.BrowserRow = static_cast<int32_t>(i);
  }
  return before;
}

// The entry a queue run plays first (RunPlaylist steps on from one before
// it; 0 stands for the last entry). In result order the run starts at the
// current item, else at the first entry. A queue shuffled now starts as many
// entries in as were queued before the current item, which lands anywhere in
// the shuffled order; a kept shuffled queue goes on at the current item.
int32_t FirstEntry(bool kept, int32_t queuedBefore) {
  const int32_t position = QueuePosition(gCurrentItem.SegmentID);
  if (!gRandomPlayback) return position > 0 ? position : 1;
  return kept ? position : queuedBefore;
}

// True when the queued entry is the row's segment of the row's file. A
// segment number alone is not enough: another library (or the same one
// after its file was moved) may give the number to another file.
bool SameEntry(const ResultItem& entry, const ResultItem& row) {
  return entry.SegmentID == row.SegmentID && entry.FileID == row.FileID && entry.CurrentPath == row.CurrentPath &&
         entry.FileName == row.FileName;
}

// A one-item run plays entry 0: the row gPlayStartIndex. When entry 0
// already holds that row the run resumes it.
void PrepareOneItemRun() {
  gPlayCount = 0;
  if (gPlayStartIndex < 1 || static_cast<size_t>(gPlayStartIndex) >= gResults.size()) return;
  const ResultItem& row = gResults[static_cast<size_t>(gPlayStartIndex)];
  if (SameEntry(gPlayQueue[0], row)) {
    gPlayQueueBuilt = true;
    return;
  }
  gPlayQueue[0] = row;
  gPlayQueue[0].BrowserRow = gPlayStartIndex;
}

// Entries 1 to gPlayCount (as many as the queue holds).
Entries QueuedEntries() {
  if (gPlayQueue.empty()) return {};
  const auto count = std::clamp<size_t>(static_cast<size_t>(std::max(gPlayCount, 0)), 0, gPlayQueue.size() - 1);
  return Entries(gPlayQueue).subspan(1, count);
}

// ---- Playlist text ----

enum class PlaylistFormat { M3U, ASX, PLS };

PlaylistFormat FormatNamed(const QString& format) {
  if (format.compare(QLatin1String("M3U"), Qt::CaseInsensitive) == 0) return PlaylistFormat::M3U;
  if (format.compare(QLatin1String("ASX"), Qt::CaseInsensitive) == 0) return PlaylistFormat::ASX;
  return PlaylistFormat::PLS;
}

bool HasLineBreak(const QString& text) {
  return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
}

// Another program can open the file: it is online ("[Offline] ..." paths are
// not) and its path fits on one line of the playlist.
bool Playable(const ResultItem& entry) {
  return !entry.CurrentPath.startsWith(QLatin1Char('[')) && !HasLineBreak(entry.CurrentPath) &&
         !HasLineBreak(entry.FileName);
}

// The text on one line: line breaks as blanks.
QString OneLine(QString text) {
  text.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
  return text;
}

// The file's name as the user can read it in a message.
QString ReadableName(const ResultItem& entry) {
  return OneLine(entry.FileName.isEmpty() ? entry.CurrentPath : entry.FileName);
}

bool IsXmlSpecial(char16_t c) { return c == '&' || c == '<' || c == '>' || c == '"' || c == '\''; }

// Appends the text with &, <, >, " and ' as XML entities.
void AppendXmlEscaped(QString& out, QStringView text) {
  qsizetype plain = 0;  // the start of the run not yet appended
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t c = text[i].unicode();
    if (!IsXmlSpecial(c)) continue;
    out += text.sliced(plain, i - plain);
    plain = i + 1;
    switch (c) {
      case '&': out += QLatin1String("&amp;"); break;
      case '<': out += QLatin1String("&lt;"); break;
      case '>': out += QLatin1String("&gt;"); break;
      case '"': out += QLatin1String("&quot;"); break;
      default: out += QLatin1String("&apos;"); break;
    }
  }
  out += text.sliced(plain);
}

// Seconds in the fewest digits that read back as the same number, "." the
// decimal point: "12.5", "0", "3".
QString StartText(double seconds) { return QString::number(seconds, 'f', QLocale::FloatingPointShortest); }

const char* HeaderOf(PlaylistFormat format) {
  switch (format) {
    case PlaylistFormat::M3U: return "#EXTM3U\r\n";
    case PlaylistFormat::ASX: return "<asx version = 3.0>\r\n";
    case PlaylistFormat::PLS: break;
  }
  return "[playlist]\r\n";
}

const char* FooterOf(PlaylistFormat format) { return format == PlaylistFormat::ASX ? "</asx>\r\n" : ""; }

// Replaces `lines` with the lines of the n-th entry written, appended piece
// by piece into the buffer the caller reuses (no temporary strings).
void EntryLines(QString& lines, PlaylistFormat format, const ResultItem& entry, int n) {
  lines.truncate(0);
  switch (format) {
    case PlaylistFormat::M3U:
      lines += QLatin1String("#EXTINF:");
      lines += OneLine(entry.FileAlias);
      lines += QLatin1String("\r\n");
      lines += entry.CurrentPath;
      lines += entry.FileName;
      lines += QLatin1String("\r\n");
      break;
    case PlaylistFormat::ASX:
      lines += QLatin1String("  <entry>\r\n    <title>\"");
      AppendXmlEscaped(lines, entry.FileName);
      lines += QLatin1String("\"</title>\r\n    <ref href = \"");
      AppendXmlEscaped(lines, entry.CurrentPath);  // the path escapes as its two parts do
      AppendXmlEscaped(lines, entry.FileName);
      lines += QLatin1String("\"/>\r\n    <STARTTIME  Value = \"");
      lines += StartText(entry.SelectionStart);
      lines += QLatin1String("\" />\r\n  </entry>\r\n");
      break;
    case PlaylistFormat::PLS:
      lines += QLatin1String("File");
      lines += QString::number(n);
      lines += QLatin1Char('=');
      lines += entry.CurrentPath;
      lines += entry.FileName;
      lines += QLatin1String("\r\n");
      break;
  }
}

// Appends the text as UTF-8. Every piece given begins and ends with a
// character of its own (a line's ASCII), so encoding piece by piece writes
// the bytes encoding the whole text at once would. The encoder marks a lone
// surrogate differently from QString::toUtf8 ("\uFFFD", not "?"), so a piece
// holding one is encoded again the way the whole text was.
void AppendUtf8(QByteArray& out, QStringEncoder& utf8, QStringView text) {
  const qsizetype at = out.size();
  const qsizetype room = utf8.requiredSpace(text.size());
  if (out.capacity() < at + room) out.reserve(std::max(2 * out.capacity(), at + room));
  out.resize(at + room);
  char* end = utf8.appendToBuffer(out.data() + at, text);
  out.truncate(end - out.constData());
  if (!utf8.hasError()) return;
  out.truncate(at);
  out += text.toUtf8();
  utf8.resetState();
}

// The playlist's text, UTF-8 encoded: each entry's lines are written into one
// reused buffer and encoded onto the text, which is never held whole as
// UTF-16.
QByteArray TextOf(Entries entries, const QString& formatName, QStringList* left) {
  const PlaylistFormat format = FormatNamed(formatName);
  QStringEncoder utf8(QStringEncoder::Utf8, QStringConverter::Flag::Stateless);
  QByteArray out;
  out.reserve(static_cast<qsizetype>(entries.size()) * 200 + 64);
  out += HeaderOf(format);
  QString lines;
  int written = 0;
  for (const ResultItem& entry : entries) {
    if (Playable(entry)) {
      EntryLines(lines, format, entry, ++written);
      AppendUtf8(out, utf8, lines);
    } else if (left) {
      left->append(ReadableName(entry));
    }
  }
  out += FooterOf(format);
  return out;
}

// ---- The playlist file ----

QString LeftOutMessage(const QStringList& names) {
  return QStringLiteral("These files cannot be put in the playlist (offline, or a line break in the name):\r\n\r\n") +
         names.join(QStringLiteral("\r\n"));
}

// Replaces the file with the text; the reason when that fails, else empty.
QString WriteFile(const QString& path, const QByteArray& text) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QString reason;
  if (WriteFileWhole(path, text, &reason)) return {};
  return QStringLiteral("The playlist could not be written to %1:\r\n%2").arg(QDir::toNativeSeparators(path), reason);
}

// Opens the playlist with the desktop's application for its type. When that
// fails the user is told why and where the playlist lies, to open it with a
// player of their choice; the text is returned (empty on success).
QString OpenPlaylist(const QString& path) {
  const int code = TheDesktopShell().OpenWithDefault(path);
  if (code >= 33) return {};
  const QString where = QDir::toNativeSeparators(path);
  const QString text =
      code == SE_ERR_NOASSOC
          ? QStringLiteral("No application of this desktop opens %1 playlists. The playlist was saved as:"
                           "\r\n\r\n%2\r\n\r\n"
                           "Open it with a media player, or choose the program's own player in the options.")
                .arg(gPlaylistFormat.toUpper(), where)
          : QStringLiteral("The playlist could not be opened (%1). It was saved as:\r\n\r\n%2")
                .arg(modLaunchDoc::ShellErrorText(code), where);
  ShowProgramMessage(text, vbExclamation, kPlaylistTitle, ProgramMessageOwner());
  return text;
}

}  // namespace

namespace modMainPlayer {

void BuildPlaylist() {
  int32_t count = gLibrary->SelectedSegmentCount();
  const bool everyRow = count == 0;
  if (everyRow) count = gLibrary->OpenSegmentCount();
  gPlayCount = count;
  gPlayQueue.resize(static_cast<size_t>(std::max(count, 0)) + 1);

  const bool kept = gPlayQueueBuilt;
  int32_t queuedBefore = 0;
  if (!kept) {
    queuedBefore = FillQueue(everyRow);
    if (gRandomPlayback) ShufflePlaylist();
  }

  gPlayWholeQueue = gPlayStartIndex == 0;
  if (!gPlayWholeQueue) {
    PrepareOneItemRun();
    return;
  }
  gPlayIndex = FirstEntry(kept, queuedBefore);
  if (!kept) {
    gPlayQueueBuilt = true;
    if (gPlayCount == 1) gRepeatEntry = true;
  }
  // Another player is handed the queue at every run, kept or new: it has no
  // place in our queue to resume from.
  if (QueueGoesToOtherPlayer()) WriteAndLaunchPlaylist();
}

bool QueueGoesToOtherPlayer() { return gResultKind == ResultScope::File && !gUseInternalPlayer && !gTVOutMode; }

// Swapping in place leaves entry 0 as the swaps through it would: holding a
// copy of entry 1.
void ShufflePlaylist() {
  std::mt19937& engine = RandomEngine();
  const int32_t count = std::min<int32_t>(gPlayCount, static_cast<int32_t>(gPlayQueue.size()) - 1);
  for (int32_t k = count; k >= 1; --k) {
    const int32_t j = std::uniform_int_distribution<int32_t>(1, k)(engine);
    if (j != k) std::swap(gPlayQueue[static_cast<size_t>(j)], gPlayQueue[static_cast<size_t>(k)]);
  }
  if (count >= 1) gPlayQueue[0] = gPlayQueue[1];
}

QByteArray PlaylistText(const std::vector<ResultItem>& entries, const QString& format, QStringList* left) {
  return TextOf(entries, format, left);
}

QString WriteAndLaunchPlaylist() {
  const Entries entries = QueuedEntries();
  QStringList left;
  const QByteArray text = TextOf(entries, gPlaylistFormat, &left);
  if (!left.isEmpty()) ShowProgramMessage(LeftOutMessage(left), vbInformation, kPlaylistTitle, ProgramMessageOwner());
  if (entries.empty()) return QStringLiteral("The play queue is empty: no playlist was written.");
  if (static_cast<size_t>(left.size()) == entries.size()) {
    return QStringLiteral("No file of the play queue can be played by another program: no playlist was written.");
  }
  const QString path = gTempFolder + QStringLiteral("playlist.") + gPlaylistFormat;
  if (const QString error = WriteFile(path, text); !error.isEmpty()) {
    ShowProgramMessage(error, vbExclamation, kPlaylistTitle, ProgramMessageOwner());
    return error;
  }
  return OpenPlaylist(path);
}

}  // namespace modMainPlayer
