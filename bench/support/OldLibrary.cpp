#include "bench/support/OldLibrary.h"

#include "bench/support/LargeLibrary.h"
#include "platform/SqlConnection.h"
#include "tests/library/OldLibraries.h"

#include <QDir>
#include <QFile>

namespace {

// The oldest layout the upgrade knows, as the upgrade's tests have it, with
// their few sample rows taken out again: the benchmark adds its own.
constexpr char kWithoutSampleRows[] =
    "DELETE FROM VideoFiles; DELETE FROM VideoSegments; DELETE FROM Thumbnails; DELETE FROM SegmentTags; "
    "DELETE FROM Tags WHERE TagID >= 10;";

}  // namespace

QString MakeOldLibrary(const QString& folder, int files) {
  const QString path = QDir(folder).filePath(QStringLiteral("Old-%1.rw2").arg(files));
  QFile::remove(path);
  auto db = SqlConnection::Create(path);
  db->Execute(QString::fromUtf8(kOldestLibrary));
  db->Execute(QLatin1String(kWithoutSampleRows));
  TransactionGuard guard(*db, QStringLiteral("Old"));
  auto file = db->Prepare(QStringLiteral(
      "INSERT INTO VideoFiles VALUES (?, '1A2B3C4D', ?, ?, '2009-07-01', 'AVI', 700000000, '640x480', 1500, 25, ?, "
      "?, ?)"));
  auto segment = db->Prepare(QStringLiteral("INSERT INTO VideoSegments VALUES (?, ?, ?, ?, ?)"));
  auto thumbnail = db->Prepare(QStringLiteral("INSERT INTO Thumbnails VALUES (?, ?)"));
  // Pictures as old versions stored them: most 100 x 75 already, one in ten
  // of a larger size, which the upgrade scales.
  const QByteArray small = SampleThumbnail();
  const QByteArray large = SampleThumbnail(160, 120);
  auto tagged = db->Prepare(QStringLiteral("INSERT INTO SegmentTags VALUES (?, ?)"));
  for (int f = 1; f <= files; ++f) {
    file->Bind(1, f);
    file->Bind(2, QStringLiteral(":\\Films\\Year %1\\").arg(2000 + f % 25));
    file->Bind(3, QStringLiteral("Clip %1.avi").arg(f));
    file->Bind(4, f % 6);
    file->Bind(5, f % 2 ? SqlValue(QStringLiteral("Alias %1").arg(f)) : SqlValue());
    file->Bind(6, f % 2 ? SqlValue(QStringLiteral("About clip %1").arg(f)) : SqlValue());
    file->Execute();
    const int whole = 3 * files + f;  // apart from every file number
    const struct {
      int id;
      const char* flag;
      double start;
      double end;
    } segments[] = {{whole, "Y", 0, 5400}, {2 * f, nullptr, 60, 90}, {2 * f + 1, nullptr, 120, 150}};
    for (const auto& s : segments) {
      segment->Bind(1, s.id);
      segment->Bind(2, f);
      segment->Bind(3, s.flag ? SqlValue(QLatin1String(s.flag)) : SqlValue());
      segment->Bind(4, s.start);
      segment->Bind(5, s.end);
      segment->Execute();
    }
    thumbnail->Bind(1, f);
    thumbnail->Bind(2, SqlValue::Blob(f % 10 == 0 ? large : small));
    thumbnail->Execute();
    tagged->Bind(1, whole);
    tagged->Bind(2, 10 + f % 100);
    tagged->Execute();
  }
  auto tag = db->Prepare(QStringLiteral("INSERT INTO Tags VALUES (?, ?, 'T')"));
  for (int t = 10; t < 110; ++t) {
    tag->Bind(1, t);
    tag->Bind(2, QStringLiteral("Tag %1").arg(t));
    tag->Execute();
  }
  guard.Commit();
  return path;
}

