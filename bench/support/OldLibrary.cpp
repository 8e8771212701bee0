#include "bench/support/OldLibrary.h"

#include "platform/SqlConnection.h"

#include <QDir>
#include <QFile>

namespace {

// The oldest layout the upgrade knows (as tests/library/OldLibraries.h has it).
constexpr char kOldLayout[] = R"SQL(
CREATE TABLE Tags (TagID INTEGER PRIMARY KEY NOT NULL, Tag TEXT(50), Type TEXT(1));
CREATE TABLE TagLinks (TagID integer, LinkedTag integer, Relationship text NOT NULL, PRIMARY KEY (TagID, LinkedTag));
CREATE TABLE SegmentTags (SegmentID integer, TagID integer, PRIMARY KEY (SegmentID, TagID));
CREATE TABLE TagCloud (TagID integer, TagCount integer);
CREATE TABLE Views (ViewSpec text, Type text NOT NULL, TagID integer PRIMARY KEY NOT NULL);
CREATE TABLE SearchResults (SegmentID integer PRIMARY KEY NOT NULL DEFAULT 0, FileID integer DEFAULT 0);
CREATE TABLE TEMP_FileTagStructure (ExplicitTagID INTEGER Default 0, TagID INTEGER Default 0, Tag TEXT(50),
  TagCategory TEXT(50), ExplicitTagCategory TEXT(50), Tier INTEGER Default 0, Type text, PRIMARY KEY (ExplicitTagID, TagID));
CREATE TABLE StorageDevices (DiskSerialNo text NOT NULL, DiskLabel text, DiskType text);
CREATE TABLE VideoFiles (FileID integer PRIMARY KEY NOT NULL, DiskSerialNo text NOT NULL, FilePath text NOT NULL,
  FileName text NOT NULL, DateTime date, FileFormat text, FileSize integer NOT NULL DEFAULT 0, Dimensions text,
  Bitrate integer, FrameRate real, Rating integer NOT NULL DEFAULT 0, FileAlias text, Description text);
CREATE TABLE VideoSegments (SegmentID integer PRIMARY KEY NOT NULL, FileID integer NOT NULL, FileFlag varchar(1),
  SelectionStart real(50) NOT NULL DEFAULT 0, SelectionEnd real);
CREATE TABLE Thumbnails (FileID integer PRIMARY KEY NOT NULL, Thumbnail blob);
INSERT INTO Tags VALUES (1, 'Unplayable', 'T'), (2, 'Saved Playlists', 'F'), (3, 'Saved Searches', 'F'),
  (4, 'Saved Views', 'F');
INSERT INTO StorageDevices VALUES ('1A2B3C4D', 'FILMS', 'Fixed Disk');
)SQL";

}  // namespace

QString MakeOldLibrary(const QString& folder, int files) {
  const QString path = QDir(folder).filePath(QStringLiteral("Old-%1.rw2").arg(files));
  QFile::remove(path);
  auto db = SqlConnection::Create(path);
  db->Execute(QLatin1String(kOldLayout));
  TransactionGuard guard(*db, QStringLiteral("Old"));
  auto file = db->Prepare(QStringLiteral(
      "INSERT INTO VideoFiles VALUES (?, '1A2B3C4D', ?, ?, '2009-07-01', 'AVI', 700000000, '640x480', 1500, 25, ?, "
      "?, ?)"));
  auto segment = db->Prepare(QStringLiteral("INSERT INTO VideoSegments VALUES (?, ?, ?, ?, ?)"));
  auto thumbnail = db->Prepare(QStringLiteral("INSERT INTO Thumbnails VALUES (?, zeroblob(3000))"));
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

