// Page 5, "LiBRARY iNFO": the report on the open library, built from two
// queries and the library's total playing time.
#include "options/frmProgramOptions.h"

#include "core/ShownNumbers.h"
#include "core/modReelwise.h"
#include "library/clsRWLibrary.h"
#include "platform/SqlConnection.h"
#include "platform/SqlRecordset.h"
#include "platform/controls/Label.h"
#include "platform/controls/PictureBox.h"

#include <utility>

namespace {

const QString kCrLf2 = QStringLiteral("\r\n\r\n");

const char* const kSegmentsQuery = "SELECT count(SegmentID) as NumSegs FROM VideoSegments WHERE FileFlag IS NULL";

const char* const kCountSelects[] = {
    "SELECT '<NUM_DISKS>' as Label, count(distinct DiskSerialNo) as Count FROM VideoFiles ",
    "SELECT '<NUM_FILES>' as Label, count(FileID) as Count FROM VideoFiles ",
    "SELECT '<NUM_TAGS>' as Label, count(TagID)-1 as Count FROM Tags WHERE Type = 'T' ",
    "SELECT '<NUM_TAG_CATS>' as Label, count(TagID) as Count FROM Tags WHERE Type = 'C' ",
    "SELECT '<NUM_UNPLAYABLE>' as Label, count(FileID) as Count FROM SegmentTags ST, VideoSegments VS "
    "WHERE VS.SegmentId = St.SegmentID AND TagID = 1 ",
    "SELECT '<NUM_UNTAGGED>' as Label, count(distinct FileID) as Count FROM VideoSegments Segment "
    "Where Not Exists "
    "(SELECT S.FileID FROM VideoSegments S, SegmentTags ST, Tags T "
    "WHERE S.SegmentID = ST.SegmentID AND Segment.FileID = S.FileID AND ST.TagID = T.TagID AND T.Behaviour = 'T') "
    "AND Segment.FileFlag ='Y' ",
    "SELECT '<DISK_SPACE>' as Label, IFNULL((SUM(Filesize)/1024/1024),0) AS Count FROM VideoFiles",
};

QString CountsQuery() {
  QStringList selects;
  for (const char* select : kCountSelects) selects << QLatin1String(select);
  return selects.join(QStringLiteral("UNION "));
}

// "1 Tag", "2 Tags".
QString Counted(int64_t count, const char* one, const char* many) {
  return ShownNumbers::Count(count) + QLatin1Char(' ') + QLatin1String(count == 1 ? one : many);
}

// What the second query counts, by its label.
struct LibraryCounts {
  int64_t files = 0, megabytes = 0, disks = 0, tags = 0, categories = 0, untagged = 0, unplayable = 0;
};

LibraryCounts ReadCounts(SqlConnection& connection) {
  LibraryCounts counts;
  const std::pair<const char*, int64_t LibraryCounts::*> labels[] = {
      {"<NUM_FILES>", &LibraryCounts::files},       {"<DISK_SPACE>", &LibraryCounts::megabytes},
      {"<NUM_DISKS>", &LibraryCounts::disks},       {"<NUM_TAGS>", &LibraryCounts::tags},
      {"<NUM_TAG_CATS>", &LibraryCounts::categories}, {"<NUM_UNTAGGED>", &LibraryCounts::untagged},
      {"<NUM_UNPLAYABLE>", &LibraryCounts::unplayable}};
  auto rows = connection.OpenRecordset(CountsQuery());
  for (rows->MoveFirst(); !rows->Eof(); rows->MoveNext()) {
    const QString label = rows->Value(QStringLiteral("Label")).toString();
    for (const auto& [name, field] : labels) {
      if (label == QLatin1String(name)) counts.*field = rows->Value(QStringLiteral("Count")).toInt64();
    }
  }
  return counts;
}

// The sentences of the report after the library path. A clause whose count
// is nought is left out or said in other words, so no sentence has a gap.
QString FilesSentence(const LibraryCounts& c) {
  if (c.files == 0) return QStringLiteral("' holds no video files yet.");
  const QString space = c.megabytes >= 1
                            ? ShownNumbers::OnOneLine(ShownNumbers::Count(c.megabytes) + QStringLiteral(" MB"))
                            : QStringLiteral("less than 1 MB");
  return QStringLiteral("' holds data for %1 occupying %2 of disk space across %3.")
      .arg(Counted(c.files, "video file", "video files"), space, Counted(c.disks, "storage device", "storage devices"));
}

QString TagsSentence(const LibraryCounts& c) {
  const QString tags = Counted(c.tags, "Tag", "Tags");
  const QString categories = Counted(c.categories, "Category", "Categories");
  if (c.tags == 0) {
    return c.categories == 0 ? QStringLiteral("The content of this library has not been catalogued with Tags yet")
                             : QStringLiteral("The library has %1 but no Tags yet").arg(categories);
  }
  if (c.categories == 0) return QStringLiteral("The content of this library has been catalogued using ") + tags;
  return QStringLiteral("The content of this library has been catalogued using %1 organised into %2")
      .arg(tags, categories);
}

QString SegmentsSentence(int64_t segments) {
  if (segments == 0) return QStringLiteral("No Segments have been created.");
  return Counted(segments, "Segment has", "Segments have") + QStringLiteral(" been created.");
}

// Nothing to say of files' tags in a library without files.
QString UntaggedSentence(const LibraryCounts& c) {
  if (c.files == 0) return QString();
  const QString untagged = c.untagged == 0
                               ? QStringLiteral("Every file has been tagged")
                               : Counted(c.untagged, "File is", "Files are") + QStringLiteral(" yet to be tagged");
  if (c.unplayable == 0) return untagged;
  return untagged + QStringLiteral(" and the library contains ") +
         Counted(c.unplayable, "unplayable file", "unplayable files");
}

// Everything of the report after the library path.
QString ReportAfterPath(SqlConnection& connection, const QString& duration) {
  auto segments = connection.OpenRecordset(QLatin1String(kSegmentsQuery));
  segments->MoveFirst();
  const int64_t segmentCount = segments->Value(QStringLiteral("NumSegs")).toInt64();
  const LibraryCounts counts = ReadCounts(connection);
  QStringList sentences{FilesSentence(counts), TagsSentence(counts), SegmentsSentence(segmentCount)};
  const QString untagged = UntaggedSentence(counts);
  if (!untagged.isEmpty()) sentences << untagged;
  sentences << QStringLiteral("The total playback time, for all content, is ") + ShownNumbers::OnOneLine(duration);
  return sentences.join(kCrLf2);
}

}  // namespace

// The path heads the report as it is, even one that holds a placeholder's
// name.
QString frmProgramOptions::LibraryStatistics() {
  if (!gLibrary || gLibrary->LibraryPath == gPlaceholderLibraryPath) return QStringLiteral("No Library Loaded");
  const QString rest = ReportAfterPath(gLibrary->Connection(), gLibrary->GetPlayListStats(false));
  return QStringLiteral("The library '") + gLibrary->LibraryPath + rest;
}

QStringList frmProgramOptions::LibraryStatisticsStatements() { return {QLatin1String(kSegmentsQuery), CountsQuery()}; }

void frmProgramOptions::CreateStatisticsPage() {
  lblLibraryInfo = new ctl::Label(picProgOptions[5]);
  lblLibraryInfo->setObjectName(QStringLiteral("lblLibraryInfo"));
  lblLibraryInfo->SetWordWrap(true);
  lblLibraryInfo->SetBackStyle(0);
  lblLibraryInfo->SetFontSize(11);
  lblLibraryInfo->setGeometry(12, 12, 410, 340);
}
