#include "library/ViewSpec.h"

#include "core/ShownNumbers.h"
#include "platform/RWError.h"
#include "platform/SqlText.h"

#include <QRegularExpression>

ResultScope gResultKind = ResultScope::File;
StorageFilter gOnlineFilter = StorageFilter::All;

namespace ViewSpec {

namespace {

const QString kFile = QStringLiteral("File");
const QString kSegmentsOfFiles = QStringLiteral(" File");
const QString kSegment = QStringLiteral("Segment");

[[noreturn]] void Malformed(const QString& step);

// The table alias a scope's rows are read from, as the statements name it
// ("File" and " File" read the whole-file alias, "Segment" the segments').
QString ScopeAlias(ResultScope scope, const QString& step) {
  switch (scope) {
    case ResultScope::File:
      return kFile;
    case ResultScope::SegmentsOfFiles:
      return kSegmentsOfFiles;
    case ResultScope::Segment:
      return kSegment;
  }
  Malformed(step);
}

QString FilterCondition(StorageFilter filter, const QString& step) {
  switch (filter) {
    case StorageFilter::All:
      return QString();
    case StorageFilter::Online:
      return QStringLiteral(" AND Segment.Online = 1 ");
    case StorageFilter::Offline:
      return QStringLiteral(" AND Segment.Online = 0 ");
  }
  Malformed(step);
}

std::function<QDate()>& Clock() {
  static std::function<QDate()> clock;
  return clock;
}

[[noreturn]] void Malformed(const QString& step) {
  throw RWError(kErrInvalidArgument,
                QStringLiteral("Invalid procedure call or argument: the search step '%1' cannot be run").arg(step),
                QStringLiteral("ViewSpec"));
}

// A whole number as the statement may take it; anything else is malformed.
QString WholeNumber(const QString& text, const QString& step) {
  static const QRegularExpression number(QStringLiteral("^-?[0-9]{1,18}$"));
  if (!number.match(text).hasMatch()) Malformed(step);
  return QString::number(text.toLongLong());
}

bool Inserts(const QString& op) { return op == QLatin1String("_") || op == QLatin1String("&"); }

// The rows come from the segments that carry a tag of the family, found
// through the tag index of SegmentTags. Whole-file rows and the cut segments
// of files are read by file from the list of files with such a segment,
// each once: joined per tagged segment instead, every row of a file would be
// read again for each of its tagged segments and the repeats sorted out.
//
// Those lists are built inside out, each sorted once by SQLite as an IN list:
// the tagged segments by SegmentID, so that VideoSegments is walked once in
// key order (looked up a tag at a time, the walk starts over for every tag and
// jumps across the whole table, which costs more than the rows as the table
// outgrows the caches), then their files by FileID. A whole-file row is found
// through the index of whole-file rows (the "IS" is the term that index is
// kept for; see EnsureSearchIndexes), one look-up a file where the file index
// would visit every segment of the file.
QString TagInsert(const QString& op, const QString& k, const QString& onlineFilter) {
  QString sql;
  if (k == kSegment) {
    sql = QStringLiteral(
              "INSERT INTO SearchResults SELECT DISTINCT %1.SegmentID, File.FileID "
              "FROM VideoSegments File, VideoSegments Segment, SegmentTags ST "
              "WHERE File.FileID = Segment.FileID AND Segment.SegmentID = ST.SegmentID AND ST.TagID IN (SELECT TagID "
              "FROM TEMP_FileTagStructure) AND Segment.FileFlag IS NULL ")
              .arg(k) +
          onlineFilter;
  } else {
    sql = QStringLiteral(
              "INSERT INTO SearchResults SELECT DISTINCT %1.SegmentID, File.FileID FROM VideoSegments File "
              "WHERE File.FileID IN (SELECT Segment.FileID FROM VideoSegments Segment WHERE Segment.SegmentID IN "
              "(SELECT ST.SegmentID FROM SegmentTags ST WHERE ST.TagID IN (SELECT TagID FROM TEMP_FileTagStructure)) ")
              .arg(k) +
          onlineFilter + QStringLiteral(") ");
    sql += k == kFile ? QStringLiteral("AND File.FileFlag IS 'Y' ") : QStringLiteral("AND File.FileFlag IS NULL ");
  }
  if (op == QLatin1String("&")) {
    sql += QStringLiteral("AND NOT EXISTS (SELECT 1 FROM SearchResults SR WHERE %1.SegmentID = SR.SegmentID)").arg(k);
  }
  return sql;
}

// A segment is tagged when it carries a tag of behaviour 'T'; tags below
// playlists, folders and the like do not count.
QString TaggedSegmentsOf(const QString& match) {
  return QStringLiteral(
             "(SELECT S.FileID FROM VideoSegments S, SegmentTags ST, Tags T "
             "WHERE S.SegmentID = ST.SegmentID AND %1 AND ST.TagID = T.TagID AND T.Behaviour = 'T') ")
      .arg(match);
}

QString UntaggedInsert(const QString& op, const QString& k, const QString& onlineFilter) {
  QString sql = QStringLiteral("INSERT INTO SearchResults SELECT DISTINCT SegmentID, FileID FROM VideoSegments Segment ");
  if (k == kFile) {
    sql += QStringLiteral("WHERE NOT EXISTS ") + TaggedSegmentsOf(QStringLiteral("Segment.FileID = S.FileID")) +
           QStringLiteral("AND Segment.FileFlag ='Y' ");
  } else if (k == kSegment) {
    sql += QStringLiteral("WHERE NOT EXISTS ") + TaggedSegmentsOf(QStringLiteral("Segment.SegmentID=S.SegmentID")) +
           QStringLiteral("AND Segment.FileFlag IS NULL ");
  } else {
    sql += QStringLiteral("WHERE EXISTS(SELECT SegmentID FROM VideoSegments Segs WHERE NOT EXISTS ") +
           TaggedSegmentsOf(QStringLiteral("Segs.FileID=S.FileID")) +
           QStringLiteral("AND Segment.SegmentID = Segs.SegmentID) AND Segment.FileFlag IS NULL ");
  }
  if (op == QLatin1String("&")) {
    sql += QStringLiteral(
        "AND NOT EXISTS (SELECT SR.SegmentID FROM SearchResults SR WHERE Segment.SegmentID = SR.SegmentID)");
  }
  return sql + onlineFilter;
}

// Narrowing keeps ("+") and excluding removes ("-") the rows whose file
// (scope "File" and " File") or own segment ("Segment") carries the tag.
// Each row looks up its own segments' tags: the "+" keeps SQLite from
// walking every segment of the tag family once per row instead.
QString TagDelete(const QString& op, const QString& k) {
  QString key = k;
  key.remove(QLatin1Char(' '));
  return QStringLiteral(
             "DELETE FROM SearchResults WHERE %1 EXISTS (SELECT 1 FROM VideoSegments VS, SegmentTags ST "
             "WHERE SearchResults.%2ID = VS.%2ID AND VS.SegmentID = ST.SegmentID "
             "AND +ST.TagID IN (SELECT TagID FROM TEMP_FileTagStructure))")
      .arg(op == QLatin1String("+") ? QStringLiteral("NOT") : QString(), key);
}

// Untagged always looks at the row's own segment.
QString UntaggedDelete(const QString& op) {
  return QStringLiteral(
             "DELETE FROM SearchResults WHERE %1 NOT EXISTS (SELECT 1 FROM SegmentTags ST, Tags T "
             "WHERE ST.TagID = T.TagID AND T.Behaviour = 'T' AND SearchResults.SegmentID = ST.SegmentID) ")
      .arg(op == QLatin1String("+") ? QStringLiteral("NOT") : QString());
}

QString GlobCondition(const QString& column, const QString& text) {
  return QStringLiteral("rw_upper(%1) GLOB rw_upper(%2)")
      .arg(column, SqlQuote(QLatin1Char('*') + text + QLatin1Char('*')));
}

// A text step looks in file names, descriptions and aliases, in that order;
// its text keeps the GLOB wildcards ("*", "?", "[...]") the user typed.
QString TextCondition(const QString& searchSpec) {
  const TextSearch search = ParseTextSearch(searchSpec);
  if (!search.fileNames && !search.aliases && !search.descriptions) return QString();
  const QString& text = search.text;
  QStringList parts;
  if (search.fileNames) parts << GlobCondition(QStringLiteral("VF.FileName"), text);
  if (search.descriptions) parts << GlobCondition(QStringLiteral("Segment.Description"), text);
  if (search.aliases) parts << GlobCondition(QStringLiteral("Segment.FileAlias"), text);
  return QStringLiteral("(") + parts.join(QStringLiteral(" OR ")) + QStringLiteral(")");
}

QString SearchCondition(const QString& searchSpec, const QString& step, const QDate& today) {
  const QString value = searchSpec.mid(3);
  switch (searchSpec.size() > 1 ? searchSpec.at(1).unicode() : 0) {
    case 'I':
      return QStringLiteral("VF.FileID > ") + WholeNumber(searchSpec.mid(12), step);
    case 'C':
      return value == QLatin1String("Undetermined") ? QStringLiteral("(VF.FileFormat IS NULL OR VF.FileFormat='')")
                                                     : QStringLiteral("VF.FileFormat = ") + SqlQuote(value);
    case 'D': {
      const QDate since = DateAddedSince(searchSpec, today);
      if (!since.isValid()) Malformed(step);
      return QStringLiteral("VF.DateAdded >= '%1' ").arg(since.toString(QStringLiteral("yyyy-MM-dd")));
    }
    case 'R':
      return QStringLiteral("Segment.Rating = ") +
             WholeNumber(value == QLatin1String("Unrated") ? QStringLiteral("0") : value, step);
    case 'M':
      return QStringLiteral("VF.DiskSerialNo= ") + SqlQuote(value);
    default:
      return TextCondition(searchSpec);
  }
}

}  // namespace

QStringList Steps(const QString& spec) {
  QStringList steps = spec.split(QLatin1Char('|'));
  steps.removeFirst();
  return steps;
}

bool IsOperator(const QString& op) {
  return op == QLatin1String("_") || op == QLatin1String("&") || op == QLatin1String("+") || op == QLatin1String("-");
}

QString TagSeparator(const QString& op) {
  if (op == QLatin1String("&")) return QStringLiteral(", ");
  if (op == QLatin1String("+")) return QStringLiteral(", +");
  if (op == QLatin1String("-")) return QStringLiteral(", -");
  return QString();
}

QString HistoryComboText(const QString& description, const QString& op, int64_t changed) {
  QString sign;
  if (op == QLatin1String("&")) sign = QStringLiteral("+");
  if (op == QLatin1String("+") || op == QLatin1String("-")) sign = QStringLiteral("-");
  return description + QString(500, QLatin1Char(' ')) + QStringLiteral(" [") + sign + ShownNumbers::Count(changed) +
         QStringLiteral("]");
}

QString TagStatement(const QString& op, const QString& tagId, ResultScope scope, StorageFilter filter) {
  const QString step = op + QStringLiteral("T:") + tagId;
  const QString resultKind = ScopeAlias(scope, step);
  const QString onlineFilter = FilterCondition(filter, step);
  if (!IsOperator(op)) Malformed(step);
  const bool untagged = WholeNumber(tagId, step) == QLatin1String("-1");
  if (Inserts(op)) {
    return untagged ? UntaggedInsert(op, resultKind, onlineFilter) : TagInsert(op, resultKind, onlineFilter);
  }
  return untagged ? UntaggedDelete(op) : TagDelete(op, resultKind);
}

QDate DateAddedSince(const QString& searchSpec, const QDate& today) {
  static const QRegularExpression twoDigits(QStringLiteral("^[0-9]{2}$"));
  const QString count = searchSpec.mid(5, 2);
  if (!twoDigits.match(count).hasMatch()) return QDate();
  const int n = count.toInt();
  const QString unit = searchSpec.mid(7);
  if (unit == QLatin1String("d")) return today.addDays(-n);
  if (unit == QLatin1String("m")) return today.addMonths(-n);
  if (unit == QLatin1String("yyyy")) return today.addYears(-n);
  return QDate();
}

TextSearch ParseTextSearch(const QString& searchSpec) {
  TextSearch search;
  search.fileNames = searchSpec.mid(1, 1) == QLatin1String("F");
  search.aliases = searchSpec.mid(2, 1) == QLatin1String("A");
  search.descriptions = searchSpec.mid(3, 1) == QLatin1String("D");
  search.text = searchSpec.mid(5);
  return search;
}

QString TextDescription(const TextSearch& search) {
  const QString start = QStringLiteral("'  (look in ");
  QString lookIn = start;
  const auto append = [&](const char* place) {
    if (lookIn.size() > start.size()) lookIn += QStringLiteral(", ");
    lookIn += QLatin1String(place);
  };
  if (search.fileNames) append("Filenames");
  if (search.aliases) append("Aliases");
  if (search.descriptions) append("Descriptions");
  return QStringLiteral("'") + search.text + lookIn + QStringLiteral(")");
}

bool IsTextSearch(const QString& searchSpec) {
  const QString kind = searchSpec.mid(1, 1);
  return kind.isEmpty() || !QStringLiteral("DICRM").contains(kind);
}

QString SearchImageLetter(const QString& searchSpec) {
  const QString kind = searchSpec.mid(1, 1);
  return IsTextSearch(searchSpec) || kind == QLatin1String("I") ? QStringLiteral("S") : kind;
}

QString SearchStatement(const QString& op, const QString& searchSpec, ResultScope scope, StorageFilter filter,
                        const QDate& today) {
  const QString step = op + searchSpec;
  ScopeAlias(scope, step);
  const QString onlineFilter = FilterCondition(filter, step);
  if (!IsOperator(op)) Malformed(step);
  const QString condition = SearchCondition(searchSpec, step, today);
  if (condition.isEmpty()) return QString();
  const bool fileRows = scope == ResultScope::File;
  QString sql;
  if (Inserts(op)) {
    sql = QStringLiteral(
              "INSERT INTO SearchResults SELECT DISTINCT Segment.SegmentID, Segment.FileID "
              "FROM VideoFiles VF, VideoSegments Segment WHERE VF.FileID = Segment.FileID ") +
          onlineFilter +
          (fileRows ? QStringLiteral("AND Segment.FileFlag='Y' AND ") : QStringLiteral("AND Segment.FileFlag IS NULL AND "));
  } else {
    sql = QStringLiteral(
              "DELETE FROM SearchResults WHERE %1 EXISTS (SELECT 1 FROM VideoFiles VF, VideoSegments Segment "
              "WHERE VF.FileID = Segment.FileID AND SearchResults.SegmentID = Segment.SegmentID AND ")
              .arg(op == QLatin1String("+") ? QStringLiteral("NOT") : QString()) +
          (fileRows ? QStringLiteral("Segment.FileFlag='Y' AND ") : QStringLiteral("Segment.FileFlag IS NULL AND "));
  }
  sql += condition;
  if (op == QLatin1String("&")) {
    sql += QStringLiteral(" AND NOT EXISTS (SELECT SR.SegmentID FROM SearchResults SR WHERE Segment.SegmentID = SR.SegmentID)");
  } else if (!Inserts(op)) {
    sql += QStringLiteral(")");
  }
  return sql;
}

QString MissingThumbnailsStatement(ResultScope scope) {
  ScopeAlias(scope, QStringLiteral("missing thumbnails"));
  return QStringLiteral(
             "INSERT INTO SearchResults SELECT VS.SegmentID, VS.FileID FROM VideoSegments VS WHERE NOT EXISTS (SELECT "
             "1 FROM SegmentThumbnails ST WHERE ST.SegmentID = VS.SegmentID)") +
         (scope == ResultScope::File ? QStringLiteral(" AND VS.FileFlag='Y'") : QStringLiteral(" AND VS.FileFlag IS NULL"));
}

QDate SearchToday() { return Clock() ? Clock()() : QDate::currentDate(); }

void SetSearchClock(std::function<QDate()> clock) { Clock() = std::move(clock); }

}  // namespace ViewSpec
