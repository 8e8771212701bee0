// Total playing time and whether the current view has been refined.
#include "library/TagStore.h"

#include "core/ShownNumbers.h"
#include "platform/RWError.h"
#include "platform/SqlConnection.h"
#include "platform/SqlRecordset.h"

#include <algorithm>
#include <cmath>

namespace TagStore {

namespace {

constexpr double kSecondsPerDay = 60.0 * 60.0 * 24.0;

// Seconds summed by the query; 0 when there is nothing to sum or it fails,
// since the figure is only shown.
double SummedSeconds(SqlConnection& db, const QString& sql) {
  try {
    SqlRecordset rs(db, sql);
    const double seconds = rs.Eof() ? 0.0 : rs.Value(0).toDouble();
    // Segments stored back to front count as nothing, and so does a sum
    // beyond any real length.
    return std::isfinite(seconds) && seconds > 0 ? seconds : 0.0;
  } catch (const RWError&) {
    return 0.0;
  }
}

}  // namespace

QString GetPlayListStats(SqlConnection& db, bool resultsOnly) {
  // The result list is the outer loop, each segment found by its key: a scan
  // of every segment looking each up in the list costs the whole library
  // however few the results.
  double seconds = SummedSeconds(
      db, resultsOnly ? QStringLiteral("Select sum(SelectionEnd-SelectionStart) as Duration from SearchResults SR "
                                       "CROSS JOIN VideoSegments VS WHERE VS.SegmentId = SR.SegmentID")
                      : QStringLiteral("Select sum(SelectionEnd) as Duration from VideoSegments VS WHERE "
                                       "VS.FileFlag='Y'"));
  const double days = std::floor(seconds / kSecondsPerDay);
  const double weeks = std::floor(days / 7);
  seconds -= days * kSecondsPerDay;
  QString text;
  constexpr double kMostWeeks = 9.0e18;  // inside the 64-bit range
  if (weeks > 0) text = ShownNumbers::Count(static_cast<int64_t>(std::min(weeks, kMostWeeks))) + QStringLiteral("w ");
  if (days > 0) text += ShownNumbers::Count(static_cast<int64_t>(std::fmod(days, 7.0))) + QStringLiteral("d ");
  return text + ShownNumbers::Duration(seconds, false, false);
}

bool ViewModified(const QString& viewSpec) { return viewSpec.count(QLatin1Char('|')) >= 2; }

}  // namespace TagStore
