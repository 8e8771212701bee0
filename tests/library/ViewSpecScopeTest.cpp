// The scope and storage filter of the search steps as the statements take
// them: every value of each, and values that are none of them (a forged or
// corrupted enum), which raise error 5 instead of reaching the database.
#include "library/ViewSpec.h"
#include "platform/RWError.h"

#include <gtest/gtest.h>

namespace {

const QDate kToday(2024, 3, 31);

const ResultScope kScopes[] = {ResultScope::File, ResultScope::SegmentsOfFiles, ResultScope::Segment};
const StorageFilter kFilters[] = {StorageFilter::All, StorageFilter::Online, StorageFilter::Offline};

QString FilterText(StorageFilter filter) {
  if (filter == StorageFilter::Online) return QStringLiteral("Segment.Online = 1");
  if (filter == StorageFilter::Offline) return QStringLiteral("Segment.Online = 0");
  return QString();
}

// The error number a statement raises; 0 when it is made.
template <typename Make>
int ErrorOf(Make&& make) {
  try {
    make();
    return 0;
  } catch (const RWError& error) {
    return error.Number();
  }
}

TEST(ViewSpecScopeTest, EveryScopeAndFilterReachesTheStatementsAsTheirCondition) {
  for (const ResultScope scope : kScopes) {
    for (const StorageFilter filter : kFilters) {
      SCOPED_TRACE(testing::Message() << "scope " << static_cast<int>(scope) << ", filter " << static_cast<int>(filter));
      const QString tag = ViewSpec::TagStatement(QStringLiteral("_"), QStringLiteral("12"), scope, filter);
      const QString search =
          ViewSpec::SearchStatement(QStringLiteral("&"), QStringLiteral("?R:3"), scope, filter, kToday);
      for (const QString& sql : {tag, search}) {
        EXPECT_EQ(sql.contains(QStringLiteral("Segment.Online")), filter != StorageFilter::All) << sql.toStdString();
        if (filter != StorageFilter::All) {
          EXPECT_TRUE(sql.contains(FilterText(filter))) << sql.toStdString();
        }
      }
      EXPECT_EQ(search.contains(QStringLiteral("FileFlag='Y'")), scope == ResultScope::File);
      // The scope chooses the rows a tag step lists: whole files, the cut
      // segments of their files, or the tagged segments themselves.
      const QString listed = tag.section(QStringLiteral("SELECT DISTINCT "), 1).section(QLatin1Char(','), 0, 0);
      EXPECT_EQ(listed, scope == ResultScope::Segment ? QStringLiteral("Segment.SegmentID")
                        : scope == ResultScope::File  ? QStringLiteral("File.SegmentID")
                                                      : QStringLiteral(" File.SegmentID"));
    }
  }
  EXPECT_TRUE(ViewSpec::MissingThumbnailsStatement(ResultScope::File).endsWith(QStringLiteral("FileFlag='Y'")));
  EXPECT_TRUE(ViewSpec::MissingThumbnailsStatement(ResultScope::Segment).endsWith(QStringLiteral("IS NULL")));
}

TEST(ViewSpecScopeTest, AScopeOrFilterThatIsNoneOfTheValuesMakesNoStatement) {
  const auto forgedScope = static_cast<ResultScope>(7);
  const auto forgedFilter = static_cast<StorageFilter>(-1);
  EXPECT_EQ(ErrorOf([&] { ViewSpec::TagStatement(QStringLiteral("_"), QStringLiteral("1"), forgedScope,
                                                 StorageFilter::All); }),
            kErrInvalidArgument);
  EXPECT_EQ(ErrorOf([&] { ViewSpec::TagStatement(QStringLiteral("-"), QStringLiteral("1"), ResultScope::File,
                                                 forgedFilter); }),
            kErrInvalidArgument);
  EXPECT_EQ(ErrorOf([&] { ViewSpec::SearchStatement(QStringLiteral("_"), QStringLiteral("?R:1"), forgedScope,
                                                    StorageFilter::Online, kToday); }),
            kErrInvalidArgument);
  EXPECT_EQ(ErrorOf([&] { ViewSpec::SearchStatement(QStringLiteral("+"), QStringLiteral("?R:1"), ResultScope::Segment,
                                                    forgedFilter, kToday); }),
            kErrInvalidArgument);
  EXPECT_EQ(ErrorOf([&] { ViewSpec::MissingThumbnailsStatement(forgedScope); }), kErrInvalidArgument);
}

}  // namespace
