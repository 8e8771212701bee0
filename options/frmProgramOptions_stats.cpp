// Page 5, "LiBRARY iNFO": the report on the open library, built from two
// queries and the library's total playing time.
#include "options/frmProgramOptions.h"

#include "core/modReelwise.h"
#include "library/clsRWLibrary.h"
#include "platform/SqlConnection.h"
#include "platform/SqlRecordset.h"
#include "platform/controls/Label.h"
#include "platform/controls/PictureBox.h"

#include <QLocale>

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

// "#,###": the locale's thousands separator, no decimals, nothing for 0.
QString GroupedCount(int64_t count) {
  if (count == 0) return QString();
  QLocale locale;
  locale.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
  return locale.toString(static_cast<qlonglong>(count));
}

// Everything of the report after the library path, counts filled in.
QString ReportAfterPath(SqlConnection& connection, const QString& duration) {
  auto segments = connection.OpenRecordset(QLatin1String(kSegmentsQuery));
  segments->MoveFirst();
  QString text = QStringLiteral(
      "' holds data for <NUM_FILES> video files occupying <DISK_SPACE>MB of disk space across <NUM_DISKS> "
      "storage devices.");
  text += kCrLf2 + QStringLiteral("The content of this library has been catalogued using <NUM_TAGS> Tags organised "
                                  "into <NUM_TAG_CATS> Categories");
  text += kCrLf2 + segments->Value(QStringLiteral("NumSegs")).toString() + QStringLiteral(" Segments have been created.");
  text += kCrLf2 + QStringLiteral("<NUM_UNTAGGED> Files are yet to be tagged and the library contains <NUM_UNPLAYABLE> "
                                  "unplayable files");
  text += kCrLf2 + QStringLiteral("The total playback time, for all content, is <TOTAL_DURATION>");
  auto counts = connection.OpenRecordset(CountsQuery());
  for (counts->MoveFirst(); !counts->Eof(); counts->MoveNext()) {
    const QString label = counts->Value(QStringLiteral("Label")).toString();
    text.replace(label, GroupedCount(counts->Value(QStringLiteral("Count")).toInt64()), Qt::CaseSensitive);
  }
  return text.replace(QStringLiteral("<TOTAL_DURATION>"), duration, Qt::CaseSensitive);
}

}  // namespace

// The path goes in after the placeholders are filled, so a path that holds
// one of their names shows as it is.
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
