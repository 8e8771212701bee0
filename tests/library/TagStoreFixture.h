#pragma once
// A new library from the empty-library template, in a private home (so
// deletions to the trash stay inside the test), with helpers to lay out tags,
// files and segments and to read rows back as text.
#include "core/modReelwise.h"
#include "library/TagStore.h"
#include "platform/SqlConnection.h"
#include "platform/SqlRecordset.h"
#include "platform/SqlText.h"
#include "tests/support/TempHome.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <memory>

namespace rwtest {

class TagStoreTest : public TempHomeTest {
 protected:
  void SetUp() override {
    TempHomeTest::SetUp();
    const QString path = ScratchPath(QStringLiteral("Test.rw2"));
    modReelwise::ExtractTemplateLibrary(path);
    db_ = SqlConnection::Open(path);
  }

  SqlConnection& Db() { return *db_; }
  void Exec(const QString& sql) { db_->Execute(sql); }

  // Every row of a query, its values joined by "|"; NULL reads as "NULL".
  QStringList Rows(const QString& sql) {
    QStringList rows;
    SqlRecordset rs(*db_, sql);
    for (; !rs.Eof(); rs.MoveNext()) {
      QStringList values;
      for (int c = 0; c < rs.FieldCount(); ++c) {
        values << (rs.Value(c).IsNull() ? QStringLiteral("NULL") : rs.Value(c).toString());
      }
      rows << values.join(QLatin1Char('|'));
    }
    return rows;
  }
  int Count(const QString& table, const QString& where = QString()) {
    const QString sql = QStringLiteral("SELECT count(*) FROM ") + table +
                        (where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where);
    return SqlRecordset(*db_, sql).Value(0).toInt();
  }
  // A snapshot of the tables the tag and segment operations write.
  QStringList Everything() {
    QStringList all;
    for (const char* sql : {"SELECT * FROM Tags ORDER BY TagID", "SELECT * FROM TagLinks ORDER BY TagID, LinkedTag",
                            "SELECT * FROM SegmentTags ORDER BY SegmentID, TagID",
                            "SELECT * FROM VideoSegments ORDER BY SegmentID", "SELECT * FROM VideoFiles ORDER BY FileID",
                            "SELECT * FROM Views ORDER BY TagID", "SELECT * FROM SearchResults ORDER BY SegmentID",
                            "SELECT SegmentID, FileID FROM SegmentThumbnails ORDER BY SegmentID"}) {
      all << Rows(QString::fromLatin1(sql)) << QStringLiteral("--");
    }
    return all;
  }

  // A node of the tag tree with a fixed id; `parent` 0 puts it at the top.
  void Tag(int id, const QString& name, const char* type = "T", int parent = 0) {
    Exec(QStringLiteral("INSERT INTO Tags (TagID, Tag, Type) VALUES (%1, %2, '%3')")
             .arg(id)
             .arg(SqlQuote(name), QLatin1String(type)));
    if (parent) Link(id, parent, "P");
  }
  void Link(int tag, int linked, const char* relationship) {
    Exec(QStringLiteral("INSERT INTO TagLinks VALUES (%1, %2, '%3')").arg(tag).arg(linked).arg(QLatin1String(relationship)));
  }
  // A file with its whole-file segment (SegmentID = FileID), online at `folder`.
  void File(int id, const QString& name = QStringLiteral("Film.mkv"), const QString& folder = QStringLiteral("/films/"),
            double duration = 600) {
    Exec(QStringLiteral("INSERT INTO VideoFiles (FileID, DiskSerialNo, FilePath, FileName, CurrentPath) VALUES "
                        "(%1, '1A2B3C4D', 'films\\', %2, %3)")
             .arg(id)
             .arg(SqlQuote(name), SqlQuote(folder)));
    Segment(id, id, 0, duration, true);
  }
  void Segment(int id, int file, double start, double end, bool wholeFile = false) {
    Exec(QStringLiteral("INSERT INTO VideoSegments (SegmentID, FileID, FileFlag, SelectionStart, SelectionEnd, Online, "
                        "Rating) VALUES (%1, %2, %3, %4, %5, 1, 0)")
             .arg(id)
             .arg(file)
             .arg(wholeFile ? QStringLiteral("'Y'") : QStringLiteral("NULL"), SqlReal(start), SqlReal(end)));
  }
  void Put(int segment, int tag) { Exec(QStringLiteral("INSERT INTO SegmentTags VALUES (%1, %2)").arg(segment).arg(tag)); }
  void Thumbnail(int segment, int file) {
    Exec(QStringLiteral("INSERT INTO SegmentThumbnails (SegmentID, Thumbnail, FileID) VALUES (%1, X'FFD8', %2)")
             .arg(segment)
             .arg(file));
  }
  void InResults(int segment, int file) {
    Exec(QStringLiteral("INSERT INTO SearchResults VALUES (%1, %2)").arg(segment).arg(file));
  }
  QStringList TagsOf(int segment) {
    return Rows(QStringLiteral("SELECT TagID FROM SegmentTags WHERE SegmentID = %1 ORDER BY TagID").arg(segment));
  }

 private:
  std::unique_ptr<SqlConnection> db_;
};

}  // namespace rwtest
