// The statements a tag step runs take a longer road than the plain join
// (sorted lists of tagged segments and their files, an index of whole-file
// rows): on small random libraries, every scope and storage filter of a new
// and an added tag step must leave the rows, and the result view the order,
// the plain join gives. The libraries have segment numbers unrelated to file
// numbers, files without a whole-file row or with two, segments carrying
// several tags of one family, and tag links that loop.
#include "tests/library/LibraryFixture.h"

#include "platform/SqlRecordset.h"

#include <QStringList>

#include <algorithm>
#include <random>
#include <set>
#include <vector>

namespace {

const ResultScope kScopes[] = {ResultScope::File, ResultScope::SegmentsOfFiles, ResultScope::Segment};
const StorageFilter kFilters[] = {StorageFilter::All, StorageFilter::Online, StorageFilter::Offline};
constexpr int kTags = 12;

class SearchTagRoadsTest : public rwtest::LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    const QString path = gLibrariesFolder + QStringLiteral("Roads.rw2");
    modReelwise::ExtractTemplateLibrary(path);
    gLibrary->OpenLibrary(path, true);
    ASSERT_EQ(gLibrary->LibraryPath, path);
  }

  static SqlConnection& Db() { return gLibrary->Connection(); }

  // A library of `files` files drawn from `random`, replacing the last one.
  static void Generate(std::mt19937& random, int files) {
    Db().Execute(QStringLiteral(
        "DELETE FROM SegmentTags; DELETE FROM VideoSegments; DELETE FROM VideoFiles; DELETE FROM TagLinks; "
        "DELETE FROM Tags"));
    const auto chance = [&random](int percent) { return static_cast<int>(random() % 100) < percent; };
    // Segment numbers are drawn without repeats from a range wider than the
    // segments, so no order of files follows from them.
    std::vector<int> ids(static_cast<size_t>(files) * 6);
    for (size_t i = 0; i < ids.size(); ++i) ids[i] = static_cast<int>(i) + 1;
    std::shuffle(ids.begin(), ids.end(), random);
    size_t next = 0;
    QStringList sql;
    for (int f = 1; f <= files; ++f) {
      sql << QStringLiteral(
                 "INSERT INTO VideoFiles (FileID, DiskSerialNo, FilePath, FileName, FileSize, CurrentPath) VALUES "
                 "(%1, 'D', 'p\\', 'File %1.mkv', %1, '/p/')")
                 .arg(f * 3);
      // Most files have one whole-file row; a few have none, a few two.
      const int wholeRows = chance(10) ? 0 : chance(5) ? 2 : 1;
      const int cuts = static_cast<int>(random() % 4);
      for (int s = 0; s < wholeRows + cuts; ++s) {
        const int segment = ids[next++];
        sql << QStringLiteral(
                   "INSERT INTO VideoSegments (SegmentID, FileID, FileFlag, Online, Rating) VALUES (%1, %2, %3, %4, 0)")
                   .arg(segment)
                   .arg(f * 3)
                   .arg(s < wholeRows ? QStringLiteral("'Y'") : QStringLiteral("NULL"))
                   .arg(chance(70) ? 1 : 0);
        for (int t = 1; t <= kTags; ++t) {
          if (chance(12)) sql << QStringLiteral("INSERT INTO SegmentTags VALUES (%1, %2)").arg(segment).arg(t);
        }
      }
    }
    for (int t = 1; t <= kTags; ++t) {
      sql << QStringLiteral("INSERT INTO Tags (TagID, Tag, Type, Behaviour) VALUES (%1, 'Tag %1', 'T', 'T')").arg(t);
      // Links point mostly to lower tags, so families form; some loop back.
      for (int parent = 1; parent <= kTags; ++parent) {
        if (parent != t && chance(parent < t ? 15 : 3)) {
          sql << QStringLiteral("INSERT INTO TagLinks VALUES (%1, %2, 'P')").arg(t).arg(parent);
        }
      }
    }
    Db().Execute(sql.join(QStringLiteral(";\n")));
  }

  // The rows of a tag step by the plain join, each tagged segment joined to
  // every row of its file and the repeats sorted out.
  static QString PlainStatement(ResultScope scope, StorageFilter filter) {
    const QString online = filter == StorageFilter::Online    ? QStringLiteral(" AND Segment.Online = 1")
                           : filter == StorageFilter::Offline ? QStringLiteral(" AND Segment.Online = 0")
                                                              : QString();
    const QString tagged = QStringLiteral(
                               "FROM VideoSegments File, VideoSegments Segment, SegmentTags ST WHERE File.FileID = "
                               "Segment.FileID AND Segment.SegmentID = ST.SegmentID AND ST.TagID IN (SELECT TagID FROM "
                               "TEMP_FileTagStructure)") +
                           online;
    if (scope == ResultScope::Segment) {
      return QStringLiteral("SELECT DISTINCT Segment.SegmentID, File.FileID ") + tagged +
             QStringLiteral(" AND Segment.FileFlag IS NULL");
    }
    return QStringLiteral("SELECT DISTINCT File.SegmentID, File.FileID ") + tagged +
           (scope == ResultScope::File ? QStringLiteral(" AND File.FileFlag = 'Y'")
                                       : QStringLiteral(" AND File.FileFlag IS NULL"));
  }

  static std::vector<int> Column(const QString& sql) {
    std::vector<int> values;
    SqlRecordset rs(Db(), sql);
    for (; !rs.Eof(); rs.MoveNext()) values.push_back(rs.Value(0).toInt());
    return values;
  }
  // The result view's rows in the order it lists them.
  static std::vector<int> Listed() { return Column(QStringLiteral("SELECT SegmentID FROM vw_SearchResults")); }

  static void Step(const QString& op, int tag) {
    gLibrary->BuildSearchResults(op, QStringLiteral("ID%1").arg(tag), false, QString());
  }
};

TEST_F(SearchTagRoadsTest, TagStepsLeaveTheRowsAndOrderOfThePlainJoinOnRandomLibraries) {
  std::mt19937 random(20261208);
  for (int library = 0; library < 6; ++library) {
    Generate(random, 8 + library * 7);
    for (int tag = 1; tag <= kTags; tag += 2) {
      for (const ResultScope scope : kScopes) {
        for (const StorageFilter filter : kFilters) {
          SCOPED_TRACE(testing::Message() << "library " << library << ", tag " << tag << ", scope "
                                          << static_cast<int>(scope) << ", filter " << static_cast<int>(filter));
          gResultKind = scope;
          gOnlineFilter = filter;
          Step(QStringLiteral("_"), tag);
          const std::vector<int> stepped = Listed();
          // The family the step gathered stays in its work table.
          Db().Execute(QStringLiteral("DELETE FROM SearchResults; INSERT INTO SearchResults ") +
                       PlainStatement(scope, filter));
          EXPECT_EQ(stepped, Listed());

          // An added step keeps the rows there and adds the plain join's.
          const std::vector<int> plain = Column(QStringLiteral("SELECT SegmentID FROM SearchResults"));
          Db().Execute(QStringLiteral(
              "DELETE FROM SearchResults WHERE SegmentID % 3 = 0; INSERT OR IGNORE INTO SearchResults SELECT "
              "SegmentID, FileID FROM VideoSegments WHERE SegmentID % 5 = 0"));
          std::set<int> expected(plain.begin(), plain.end());
          for (int row : Column(QStringLiteral("SELECT SegmentID FROM SearchResults"))) expected.insert(row);
          Step(QStringLiteral("&"), tag);
          const std::vector<int> added = Column(QStringLiteral("SELECT SegmentID FROM SearchResults"));
          EXPECT_EQ(std::set<int>(added.begin(), added.end()), expected);
        }
      }
    }
  }
  EXPECT_EQ(boxes.Count(), 0);
}

TEST_F(SearchTagRoadsTest, TheWholeFileIndexServesTheTagStepAlone) {
  Step(QStringLiteral("_"), 1);
  const auto plan = [](const QString& sql) {
    QStringList steps;
    SqlRecordset rs(Db(), QStringLiteral("EXPLAIN QUERY PLAN ") + sql);
    for (; !rs.Eof(); rs.MoveNext()) steps << rs.Value(3).toString();
    return steps.join(QLatin1Char('\n'));
  };
  gResultKind = ResultScope::File;
  const QString step = ViewSpec::TagStatement(QStringLiteral("_"), QStringLiteral("1"), gResultKind, gOnlineFilter);
  EXPECT_TRUE(plan(step).contains(QStringLiteral("rw2_VideoSegments_WholeFile"))) << plan(step).toStdString();
  // Statements that name whole-file rows the usual way keep their plans.
  for (const QString& other : {QStringLiteral("SELECT SegmentID, FileID FROM VideoSegments WHERE FileFlag = 'Y'"),
                               QStringLiteral("SELECT SegmentID FROM VideoSegments WHERE FileID = 3 AND FileFlag='Y'")}) {
    EXPECT_FALSE(plan(other).contains(QStringLiteral("rw2_VideoSegments_WholeFile"))) << other.toStdString();
  }
}

}  // namespace
