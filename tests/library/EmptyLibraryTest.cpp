// The empty library the program carries: its schema, read back through the
// database's own catalogue, must be the one every part of the program expects.
#include "core/modReelwise.h"
#include "library/LibraryFile.h"
#include "library/cFactory.h"
#include "resources/Resources.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

namespace {

struct ColumnSpec {
  const char* name;
  const char* type;
  bool notNull;
  const char* defaultValue;  // nullptr: no default
  int keyPosition;           // 0: not part of the primary key
};

struct TableSpec {
  const char* name;
  std::vector<ColumnSpec> columns;
};

const std::vector<TableSpec>& ExpectedTables() {
  static const std::vector<TableSpec> tables = {
      {"Tags",
       {{"TagID", "INTEGER", true, nullptr, 1},
        {"Tag", "TEXT(50)", false, nullptr, 0},
        {"Type", "TEXT(1)", false, nullptr, 0},
        {"Behaviour", "varchar(1)", false, nullptr, 0},
        {"CategoryID", "integer", false, nullptr, 0},
        {"T9Text", "text", false, nullptr, 0}}},
      {"TEMP_FileTagStructure",
       {{"ExplicitTagID", "INTEGER", false, "0", 1},
        {"TagID", "INTEGER", false, "0", 2},
        {"Tag", "TEXT(50)", false, nullptr, 0},
        {"TagCategory", "TEXT(50)", false, nullptr, 0},
        {"ExplicitTagCategory", "TEXT(50)", false, nullptr, 0},
        {"Tier", "INTEGER", false, "0", 0},
        {"Type", "text", false, nullptr, 0},
        {"FileFlag", "varchar(1)", true, "N", 0},
        {"ViaSegment", "boolean", false, nullptr, 0}}},
      {"SearchResults", {{"SegmentID", "integer", true, "0", 1}, {"FileID", "integer", false, "0", 0}}},
      {"SegmentTags", {{"SegmentID", "integer", false, nullptr, 1}, {"TagID", "integer", false, nullptr, 2}}},
      {"TagLinks",
       {{"TagID", "integer", false, nullptr, 1},
        {"LinkedTag", "integer", false, nullptr, 2},
        {"Relationship", "text", true, nullptr, 0}}},
      {"Views",
       {{"ViewSpec", "text", false, nullptr, 0},
        {"Type", "text", true, nullptr, 0},
        {"TagID", "integer", true, nullptr, 1}}},
      {"FileLocations",
       {{"DiskSerialNo", "text", true, nullptr, 1},
        {"DiskLabel", "text", false, nullptr, 0},
        {"PhysicalPath", "text", true, nullptr, 2},
        {"LogicalPath", "text", true, nullptr, 3},
        {"DiskType", "text", false, nullptr, 0},
        {"FriendlyName", "text", false, nullptr, 0},
        {"Online", "boolean", false, nullptr, 0}}},
      {"VersionData",
       {{"Major", "integer", false, nullptr, 0},
        {"Minor", "integer", false, nullptr, 0},
        {"Revision", "integer", false, nullptr, 0},
        {"ReleaseStatus", "varchar(8)", false, nullptr, 0}}},
      {"TagCloud",
       {{"TagID", "integer", false, nullptr, 0},
        {"LinkedTag", "integer", false, nullptr, 0},
        {"TagCount", "integer", false, nullptr, 0},
        {"iteration", "integer", false, nullptr, 0}}},
      {"SegmentThumbnails",
       {{"SegmentID", "integer", true, nullptr, 1},
        {"Thumbnail", "blob", false, nullptr, 0},
        {"FileID", "integer", true, nullptr, 0}}},
      {"VideoSegments",
       {{"SegmentID", "integer", true, nullptr, 1},
        {"FileID", "integer", true, nullptr, 0},
        {"FileFlag", "varchar(1)", false, nullptr, 0},
        {"SelectionStart", "real(50)", true, "0", 0},
        {"SelectionEnd", "real", false, nullptr, 0},
        {"Online", "boolean", true, nullptr, 0},
        {"Rating", "integer", true, nullptr, 0},
        {"FileAlias", "text", false, nullptr, 0},
        {"Description", "text", false, nullptr, 0}}},
      {"VideoFiles",
       {{"FileID", "integer", true, nullptr, 1},
        {"DiskSerialNo", "text", true, nullptr, 0},
        {"FilePath", "text", true, nullptr, 0},
        {"FileName", "text", true, nullptr, 0},
        {"DateTime", "date", false, nullptr, 0},
        {"FileFormat", "text", false, nullptr, 0},
        {"FileSize", "integer", true, "0", 0},
        {"Dimensions", "text", false, nullptr, 0},
        {"Bitrate", "integer", false, nullptr, 0},
        {"FrameRate", "real", false, nullptr, 0},
        {"CurrentPath", "text", false, nullptr, 0},
        {"Rating", "integer", true, "0", 0},
        {"DateAdded", "date", false, nullptr, 0}}},
  };
  return tables;
}

class EmptyLibraryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    bytes_ = LoadResData(QString::fromLatin1(modReelwise::kEmptyLibraryResourceName), QString::fromLatin1(modReelwise::kEmptyLibraryResourceType));
    path_ = dir_.filePath(QStringLiteral("New Library.rw2"));
    QFile file(path_);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes_), bytes_.size());
    file.close();
    db_ = gFactory.OpenConnection(path_);
  }

  std::unique_ptr<SqlRecordset> Query(const QString& sql) { return gFactory.NewRecordset(*db_, sql); }
  int64_t Pragma(const char* name) { return Query(QStringLiteral("PRAGMA ") + QLatin1String(name))->Value(0).toInt64(); }

  QTemporaryDir dir_;
  QByteArray bytes_;
  QString path_;
  std::unique_ptr<SqlConnection> db_;
};

TEST_F(EmptyLibraryTest, FileHeaderIsThatOfEveryLibrary) {
  EXPECT_TRUE(bytes_.startsWith(QByteArrayLiteral("SQLite format 3\0")));
  EXPECT_EQ(Pragma("page_size"), 4096);
  EXPECT_EQ(Query(QStringLiteral("PRAGMA encoding"))->Value(0).toString(), QStringLiteral("UTF-8"));
  EXPECT_EQ(Pragma("user_version"), 0);
  EXPECT_EQ(Pragma("application_id"), 0);
  EXPECT_EQ(Pragma("schema_version") > 0, true);
  EXPECT_EQ(bytes_.size() % 4096, 0);
  EXPECT_EQ(Query(QStringLiteral("PRAGMA integrity_check"))->Value(0).toString(), QStringLiteral("ok"));
}

TEST_F(EmptyLibraryTest, TablesAndColumnsAreExactlyTheSchema) {
  auto tables = Query(QStringLiteral("SELECT name, sql FROM sqlite_master WHERE type = 'table' ORDER BY rowid"));
  const auto& expected = ExpectedTables();
  ASSERT_EQ(tables->RecordCount(), static_cast<int>(expected.size()));
  for (const TableSpec& table : expected) {
    SCOPED_TRACE(table.name);
    EXPECT_EQ(tables->Value(QStringLiteral("name")).toString(), QLatin1String(table.name)) << "definition order";
    const QString sql = tables->Value(QStringLiteral("sql")).toString();
    tables->MoveNext();

    auto columns = Query(QStringLiteral("PRAGMA table_info(%1)").arg(QLatin1String(table.name)));
    ASSERT_EQ(columns->RecordCount(), static_cast<int>(table.columns.size()));
    for (const ColumnSpec& column : table.columns) {
      SCOPED_TRACE(column.name);
      EXPECT_EQ(columns->Value(QStringLiteral("name")).toString(), QLatin1String(column.name));
      // SQLite reports standard type names in capitals; the stored text keeps them as written.
      EXPECT_EQ(columns->Value(QStringLiteral("type")).toString().toLower(), QString::fromLatin1(column.type).toLower());
      EXPECT_TRUE(sql.contains(QString::fromLatin1(column.type))) << sql.toStdString();
      EXPECT_EQ(columns->Value(QStringLiteral("notnull")).toBool(), column.notNull);
      if (column.defaultValue) {
        EXPECT_EQ(columns->Value(QStringLiteral("dflt_value")).toString(), QLatin1String(column.defaultValue));
      } else {
        EXPECT_TRUE(columns->Value(QStringLiteral("dflt_value")).IsNull());
      }
      EXPECT_EQ(columns->Value(QStringLiteral("pk")).toInt(), column.keyPosition);
      columns->MoveNext();
    }
  }
}

TEST_F(EmptyLibraryTest, IndexesAreTheNamedOnes) {
  auto indexes = Query(QStringLiteral(
      "SELECT m.name, m.tbl_name, i.\"unique\" AS isUnique, (SELECT group_concat(name) FROM pragma_index_info(m.name)) "
      "AS cols FROM sqlite_master m JOIN pragma_index_list(m.tbl_name) i ON i.name = m.name "
      "WHERE m.type = 'index' AND m.sql IS NOT NULL ORDER BY m.name"));
  struct IndexSpec {
    const char* name;
    const char* table;
    bool unique;
    const char* columns;
  };
  const IndexSpec expected[] = {{"SegmentThumbnails_Index01", "SegmentThumbnails", false, "FileID"},
                                {"Tags_Index01", "Tags", true, "TagID"},
                                {"idx_FileID", "SearchResults", false, "FileID"},
                                {"idx_VF_DiskSerialNo", "VideoFiles", false, "DiskSerialNo"},
                                {"idx_VS_FileID", "VideoSegments", false, "FileID"}};
  ASSERT_EQ(indexes->RecordCount(), 5);
  for (const IndexSpec& index : expected) {
    SCOPED_TRACE(index.name);
    EXPECT_EQ(indexes->Value(QStringLiteral("name")).toString(), QLatin1String(index.name));
    EXPECT_EQ(indexes->Value(QStringLiteral("tbl_name")).toString(), QLatin1String(index.table));
    EXPECT_EQ(indexes->Value(QStringLiteral("isUnique")).toBool(), index.unique);
    EXPECT_EQ(indexes->Value(QStringLiteral("cols")).toString(), QLatin1String(index.columns));
    indexes->MoveNext();
  }
}

TEST_F(EmptyLibraryTest, ResultViewYieldsItsColumnsInOrder) {
  auto view = Query(QStringLiteral("SELECT * FROM vw_SearchResults"));
  const char* expected[] = {"FileID",         "FileName",     "CurrentPath", "FileSize",  "FileFormat", "FrameRate",
                            "Bitrate",        "Dimensions",   "SegmentID",   "SelectionStart",
                            "SelectionEnd",   "FileFlag",     "FileAlias",   "Description", "Rating",    "Online"};
  ASSERT_EQ(view->FieldCount(), 16);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(view->FieldName(i), QLatin1String(expected[i])) << i;
  EXPECT_EQ(Query(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'view'"))->Value(0).toInt(), 1);
}

TEST_F(EmptyLibraryTest, SeedRowsAreTheFixedTagsAndTheVersion) {
  auto tags = Query(QStringLiteral("SELECT * FROM Tags ORDER BY TagID"));
  const char* names[] = {"Unplayable", "Saved Playlists", "Saved Searches", "Saved Views"};
  const char* types[] = {"T", "F", "F", "F"};
  ASSERT_EQ(tags->RecordCount(), 4);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(tags->Value(QStringLiteral("TagID")).toInt(), i + 1);
    EXPECT_EQ(tags->Value(QStringLiteral("Tag")).toString(), QLatin1String(names[i]));
    EXPECT_EQ(tags->Value(QStringLiteral("Type")).toString(), QLatin1String(types[i]));
    EXPECT_TRUE(tags->Value(QStringLiteral("Behaviour")).IsNull());
    EXPECT_TRUE(tags->Value(QStringLiteral("CategoryID")).IsNull());
    EXPECT_TRUE(tags->Value(QStringLiteral("T9Text")).IsNull());
    tags->MoveNext();
  }
  auto version = Query(QStringLiteral("SELECT * FROM VersionData"));
  ASSERT_EQ(version->RecordCount(), 1);
  EXPECT_EQ(version->Value(QStringLiteral("Major")).toInt(), 1);
  EXPECT_EQ(version->Value(QStringLiteral("Minor")).toInt(), 6);
  EXPECT_EQ(version->Value(QStringLiteral("Revision")).toInt(), 0);
  EXPECT_EQ(version->Value(QStringLiteral("ReleaseStatus")).toString(), QStringLiteral("Beta"));

  for (const char* table : {"TEMP_FileTagStructure", "SearchResults", "SegmentTags", "TagLinks", "Views",
                            "FileLocations", "TagCloud", "SegmentThumbnails", "VideoSegments", "VideoFiles"}) {
    EXPECT_EQ(Query(QStringLiteral("SELECT count(*) FROM ") + QLatin1String(table))->Value(0).toInt(), 0) << table;
  }
}

TEST_F(EmptyLibraryTest, BareDefaultOfFileFlagIsTheTextN) {
  db_->Execute(QStringLiteral("INSERT INTO TEMP_FileTagStructure (ExplicitTagID, TagID) VALUES (5, 6)"));
  auto row = Query(QStringLiteral("SELECT FileFlag, typeof(FileFlag) AS t, Tier FROM TEMP_FileTagStructure"));
  EXPECT_EQ(row->Value(QStringLiteral("FileFlag")).toString(), QStringLiteral("N"));
  EXPECT_EQ(row->Value(QStringLiteral("t")).toString(), QStringLiteral("text"));
  EXPECT_EQ(row->Value(QStringLiteral("Tier")).toInt(), 0);
}

TEST_F(EmptyLibraryTest, ResultViewListsSegmentsByFileWithAliasFallingBackToFileName) {
  db_->Execute(QStringLiteral(
      "INSERT INTO VideoFiles (FileID, DiskSerialNo, FilePath, FileName, FileSize, DateAdded) VALUES "
      "(12, '1A2B3C4D', 'Films\\', 'Été.mkv', 1000, '2026-12-07'), (3, '1A2B3C4D', '', 'b.avi', 5, '2026-01-01')"));
  db_->Execute(QStringLiteral(
      "INSERT INTO VideoSegments (SegmentID, FileID, FileFlag, SelectionEnd, Online, Rating, FileAlias) VALUES "
      "(12, 12, 'Y', 90.5, 1, 3, NULL), (40, 12, NULL, 10, 1, 0, 'Opening'), (41, 12, NULL, 20, 1, 0, NULL), "
      "(3, 3, 'Y', 1, 0, 0, 'Second')"));
  db_->Execute(QStringLiteral("INSERT INTO SearchResults (SegmentID, FileID) SELECT SegmentID, FileID FROM VideoSegments"));

  auto rs = Query(QStringLiteral("SELECT * FROM vw_SearchResults"));
  ASSERT_EQ(rs->RecordCount(), 4);
  EXPECT_EQ(rs->Value(QStringLiteral("FileID")).toInt(), 3) << "ascending FileID";
  EXPECT_EQ(rs->Value(QStringLiteral("FileAlias")).toString(), QStringLiteral("Second"));
  int sameFile = 0;
  for (rs->MoveNext(); !rs->Eof(); rs->MoveNext()) {
    EXPECT_EQ(rs->Value(QStringLiteral("FileID")).toInt(), 12);
    ++sameFile;
    const int segment = rs->Value(QStringLiteral("SegmentID")).toInt();
    const QString alias = rs->Value(QStringLiteral("FileAlias")).toString();
    EXPECT_EQ(alias, segment == 40 ? QStringLiteral("Opening") : QStringLiteral("Été.mkv")) << segment;
  }
  EXPECT_EQ(sameFile, 3);

  // Dates are ISO text, so the date search's comparison with 'yyyy-mm-dd' works.
  EXPECT_EQ(Query(QStringLiteral("SELECT count(*) FROM VideoFiles WHERE DateAdded >= '2026-06-01'"))->Value(0).toInt(), 1);
}

TEST_F(EmptyLibraryTest, FactoryMakesEveryGeneralObject) {
  auto surface = gFactory.NewSurface(100, 75);
  EXPECT_EQ(surface->Width(), 100);
  auto codec = gFactory.NewJpegCodec();
  surface->Fill(RGB(0, 128, 255));
  EXPECT_FALSE(codec->Encode(*surface, 90).isEmpty());
  auto thumbs = gFactory.NewCollection<QByteArray>();
  thumbs.Add(QByteArray("jpeg"), 0);
  EXPECT_TRUE(thumbs.Exists(0));
  EXPECT_THROW(gFactory.NewDatabase(path_), RWError) << "never over an existing library";
}

TEST(ResourcesTest, MissingResourceIsAClearError) {
  try {
    LoadResData(QStringLiteral("NO_SUCH_THING"), QStringLiteral("CUSTOM"));
    ADD_FAILURE() << "a missing resource loaded";
  } catch (const RWError& e) {
    EXPECT_EQ(e.Number(), kErrResourceNotFound);
    EXPECT_TRUE(e.Description().contains(QStringLiteral("NO_SUCH_THING")));
  }
}

}  // namespace
