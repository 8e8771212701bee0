// The steps of a view on the test catalogue: every operator with every kind
// of step, scope and storage filter against what the catalogue's records
// say, then the edge cases of each kind, the history-combo items, and steps
// that cannot be read.
#include "tests/library/SearchFixture.h"
#include "tests/support/TurkishCharacters.h"

#include "ui/cwProgress.h"

#include <QLocale>

namespace {

using rwtest::RowSet;

const QStringList kOperators = {QStringLiteral("_"), QStringLiteral("&"), QStringLiteral("+"), QStringLiteral("-")};
const ResultScope kScopes[] = {ResultScope::File, ResultScope::SegmentsOfFiles, ResultScope::Segment};
const StorageFilter kFilters[] = {StorageFilter::All, StorageFilter::Online, StorageFilter::Offline};
// What the set holds before a step that does not start afresh: file rows
// and cut segments, tagged and untagged, online and offline.
const RowSet kBefore = {1, 101, 2, 3, 302, 4, 5, 501, 602};

class SearchStepsTest : public rwtest::SearchTest {
 protected:
  // The rows a step changed, as the history combo shows them.
  static QString ExpectedCount(const QString& op, const RowSet& before, const RowSet& after) {
    const auto added = static_cast<int>(after.size()) - static_cast<int>(op == QLatin1String("_") ? 0 : before.size());
    if (op == QLatin1String("_")) return QStringLiteral("[%1]").arg(added);
    if (op == QLatin1String("&")) return QStringLiteral("[+%1]").arg(added);
    return QStringLiteral("[-%1]").arg(-added);
  }

  template <typename Run, typename Expect>
  void RunMatrix(const QStringList& steps, Run run, Expect expect) {
    for (const QString& step : steps) {
      for (const QString& op : kOperators) {
        for (const ResultScope scope : kScopes) {
          for (const StorageFilter filter : kFilters) {
            SCOPED_TRACE(QStringLiteral("step %1%2, scope %3, filter %4")
                             .arg(op, step)
                             .arg(static_cast<int>(scope))
                             .arg(static_cast<int>(filter))
                             .toStdString());
            gResultKind = scope;
            gOnlineFilter = filter;
            SetSearchResults(kBefore);
            gViewSpec = QStringLiteral("|_T:14");
            run(op, step);
            const RowSet expected = expect(op, step, scope, filter);
            EXPECT_EQ(SearchResults(), expected);
            EXPECT_EQ(ComboCount(LastComboText()), ExpectedCount(op, kBefore, expected));
            const QString appended = QStringLiteral("|") + op + step;
            EXPECT_EQ(gViewSpec, op == QLatin1String("_") ? appended : QStringLiteral("|_T:14") + appended);
          }
        }
      }
    }
    EXPECT_EQ(boxes.Count(), 0);
  }
};

TEST_F(SearchStepsTest, TagStepsMatchTheCatalogueForEveryOperatorScopeAndFilter) {
  // Anna with Anna Jr below; the category People; Beach with Sea linked
  // across; Untagged; a playlist, which tags nothing.
  const QStringList steps = {QStringLiteral("T:11"), QStringLiteral("T:10"), QStringLiteral("T:14"),
                             QStringLiteral("T:-1"), QStringLiteral("T:20")};
  RunMatrix(
      steps,
      [](const QString& op, const QString& step) {
        gLibrary->BuildSearchResults(op, QStringLiteral("ID") + step.mid(2), false, QString());
      },
      [](const QString& op, const QString& step, ResultScope scope, StorageFilter filter) {
        return ExpectedTagStep(op, step.mid(2).toInt(), scope, filter, kBefore);
      });
}

TEST_F(SearchStepsTest, SearchStepsMatchTheCatalogueForEveryOperatorScopeAndFilter) {
  const QStringList steps = {QStringLiteral("?D:D-07d"),      QStringLiteral("?D:D-01m"),
                             QStringLiteral("?D:D-01yyyy"),   QStringLiteral("?I:10:30:00-3"),
                             QStringLiteral("?C:MPEG-4"),     QStringLiteral("?C:Undetermined"),
                             QStringLiteral("?R:5"),          QStringLiteral("?R:Unrated"),
                             QStringLiteral("?M:AAAA1111"),   QStringLiteral("?M:CC'33"),
                             QStringLiteral("?FAD:beach"),    QStringLiteral("?1A3:an"),
                             QStringLiteral("?F23:o'b"),      QStringLiteral("?12D:BEACH")};
  RunMatrix(
      steps, [](const QString& op, const QString& step) { gLibrary->ExecuteSearch(op, step, QString()); },
      [](const QString& op, const QString& step, ResultScope scope, StorageFilter filter) {
        return ExpectedSearchStep(op, step, scope, filter, kBefore);
      });
}

TEST_F(SearchStepsTest, UntaggedCountsOnlyTagsOfBehaviourT) {
  gLibrary->BuildSearchResults(QStringLiteral("_"), QStringLiteral("ID-1"), false, QString());
  EXPECT_EQ(SearchResults(), (RowSet{4, 5})) << "file 5 carries only a playlist; file 6 has a tagged cut segment";
  gResultKind = ResultScope::Segment;
  gLibrary->BuildSearchResults(QStringLiteral("_"), QStringLiteral("ID-1"), false, QString());
  EXPECT_EQ(SearchResults(), (RowSet{102, 301, 501, 602}));
  // Narrowing looks at each row's own segment, excluding removes the same rows.
  SetSearchResults({1, 101, 102, 4, 602});
  gLibrary->BuildSearchResults(QStringLiteral("+"), QStringLiteral("ID-1"), true, QString());
  EXPECT_EQ(SearchResults(), (RowSet{102, 4, 602}));
  SetSearchResults({1, 101, 102, 4, 602});
  gLibrary->BuildSearchResults(QStringLiteral("-"), QStringLiteral("ID-1"), true, QString());
  EXPECT_EQ(SearchResults(), (RowSet{1, 101}));
}

TEST_F(SearchStepsTest, DateKeysGoBackInCalendarUnitsFromToday) {
  EXPECT_EQ(ViewSpec::DateAddedSince(QStringLiteral("?D:D-00d"), Today()), Today());
  EXPECT_EQ(ViewSpec::DateAddedSince(QStringLiteral("?D:D-07d"), Today()), QDate(2024, 3, 24));
  // A month back from the 31st ends on the last day of February.
  EXPECT_EQ(ViewSpec::DateAddedSince(QStringLiteral("?D:D-01m"), Today()), QDate(2024, 2, 29));
  EXPECT_EQ(ViewSpec::DateAddedSince(QStringLiteral("?D:D-01m"), QDate(2023, 3, 31)), QDate(2023, 2, 28));
  EXPECT_EQ(ViewSpec::DateAddedSince(QStringLiteral("?D:D-06m"), QDate(2024, 8, 31)), QDate(2024, 2, 29));
  EXPECT_EQ(ViewSpec::DateAddedSince(QStringLiteral("?D:D-01yyyy"), QDate(2024, 2, 29)), QDate(2023, 2, 28));
  for (const char* malformed : {"?D:D-7d", "?D:D-xxd", "?D:D-01w", "?D:D-01", "?D:"}) {
    EXPECT_FALSE(ViewSpec::DateAddedSince(QLatin1String(malformed), Today()).isValid()) << malformed;
  }

  gLibrary->ExecuteSearch(QStringLiteral("_"), QStringLiteral("?D:D-00d"), QStringLiteral("Added: Today"));
  EXPECT_EQ(SearchResults(), RowSet{1}) << "a file added today at 10:15 counts";
  const QString description =
      QStringLiteral("Files added to Library since ") + QLocale().toString(Today(), QLocale::ShortFormat);
  EXPECT_TRUE(LastComboText().startsWith(description + QString(500, QLatin1Char(' ')) + QStringLiteral(" [1]")));
  EXPECT_TRUE(gViewDescription.endsWith(QStringLiteral(" '") + description + QStringLiteral("'")));

  gLibrary->ExecuteSearch(QStringLiteral("_"), QStringLiteral("?D:D-01m"), QString());
  EXPECT_EQ(SearchResults(), (RowSet{1, 2, 3})) << "the 29th of February is a month before the 31st of March";
}

TEST_F(SearchStepsTest, TextStepsKeepWildcardsAndQuotesAreHarmless) {
  gLibrary->ExecuteSearch(QStringLiteral("_"), QStringLiteral("?F23:O'Brien"), QString());
  EXPECT_EQ(SearchResults(), RowSet{4}) << "the alias \"Anna's swim\" is not looked in";
  EXPECT_EQ(gViewSpec, QStringLiteral("|_?F23:O'Brien")) << "the view keeps the text as typed";

  gResultKind = ResultScope::Segment;
  gLibrary->ExecuteSearch(QStringLiteral("_"), QStringLiteral("?1A3:*"), QString());
  EXPECT_EQ(SearchResults(), (RowSet{101, 301, 501, 602})) << "every cut segment with an alias";

  gResultKind = ResultScope::File;
  gLibrary->ExecuteSearch(QStringLiteral("_"), QStringLiteral("?F23:[2]*9]"), QString());
  EXPECT_EQ(SearchResults(), RowSet{3}) << "brackets and stars act as wildcards";
  gLibrary->ExecuteSearch(QStringLiteral("_"), QStringLiteral("?F23:x') OR 1=1 OR ('"), QString());
  EXPECT_TRUE(SearchResults().empty());
  EXPECT_EQ(boxes.Count(), 0);
  // Case by the user's rules: under Turkish ones the capital of "i" is "İ".
  const rwtest::TurkishCharacters turkish;
  if (!turkish.Switched()) GTEST_SKIP() << rwtest::kNoTurkishLocale;
  gLibrary->ExecuteSearch(QStringLiteral("_"), QStringLiteral("?F23:WİNTER"), QString());
  EXPECT_EQ(SearchResults(), RowSet{2});
  gLibrary->ExecuteSearch(QStringLiteral("_"), QStringLiteral("?F23:été"), QString());
  EXPECT_EQ(SearchResults(), RowSet{6});
}

TEST_F(SearchStepsTest, TextStepDescriptionBecomesTheCaption) {
  gLibrary->ExecuteSearch(QStringLiteral("_"), QStringLiteral("?F2D:beach"), QStringLiteral("ignored"));
  const QString description = QStringLiteral("'beach'  (look in Filenames, Descriptions)");
  EXPECT_TRUE(LastComboText().startsWith(description + QStringLiteral("   ")));
  EXPECT_EQ(gHistory.back().Caption, description);
  EXPECT_EQ(ViewSpec::TextDescription(ViewSpec::ParseTextSearch(QStringLiteral("?1AD:x"))),
            QStringLiteral("'x'  (look in Aliases, Descriptions)"));
  EXPECT_EQ(HistoryCombo().ComboItems(1).Image(), QStringLiteral("_S"));
}

TEST_F(SearchStepsTest, TextStepWithoutLookInChangesNothingAndIsStillRecorded) {
  for (const QString& op : kOperators) {
    SetSearchResults(kBefore);
    gViewSpec = QStringLiteral("|_T:14");
    gLibrary->ExecuteSearch(op, QStringLiteral("?123:beach"), QString());
    EXPECT_EQ(SearchResults(), op == QLatin1String("_") ? RowSet{} : kBefore) << op.toStdString();
    EXPECT_TRUE(gViewSpec.endsWith(QStringLiteral("|") + op + QStringLiteral("?123:beach")));
    EXPECT_EQ(gHistory.back().ViewSpec, gViewSpec);
  }
  EXPECT_EQ(boxes.Count(), 0);
}

TEST_F(SearchStepsTest, AnAddStepOfRowsAlreadyListedReportsPlusNothing) {
  gLibrary->BuildSearchResults(QStringLiteral("_"), QStringLiteral("ID11"), false, QStringLiteral("Anna"));
  const RowSet anna = SearchResults();
  gLibrary->BuildSearchResults(QStringLiteral("&"), QStringLiteral("ID12"), true, QString());
  EXPECT_EQ(SearchResults(), anna);
  EXPECT_TRUE(LastComboText().endsWith(QStringLiteral(" [+0]")));
  EXPECT_EQ(HistoryCombo().ComboItems.Count(), 2);
  EXPECT_EQ(HistoryCombo().SelectedIndex(), 2);
  EXPECT_EQ(HistoryCombo().ComboItems(2).Image(), QStringLiteral("&T"));
  EXPECT_EQ(gViewSpec, QStringLiteral("|_T:11|&T:12"));
  EXPECT_EQ(gViewDescription, QStringLiteral(" 'Anna',  'Anna Jr'"));
}

TEST_F(SearchStepsTest, TagStepDescriptionsComeFromTheTree) {
  gLibrary->BuildSearchResults(QStringLiteral("_"), QStringLiteral("ID14"), false, QString());
  gLibrary->BuildSearchResults(QStringLiteral("+"), QStringLiteral("ID11"), true, QString());
  gLibrary->BuildSearchResults(QStringLiteral("-"), QStringLiteral("ID13"), true, QString());
  EXPECT_EQ(gViewDescription, QStringLiteral(" 'Beach', + 'Anna', - 'Ben'"));
  EXPECT_EQ(ComboTexts()[0], QStringLiteral(" 'Beach'") + QString(500, QLatin1Char(' ')) + QStringLiteral(" [2]"));
  EXPECT_TRUE(ComboTexts()[1].endsWith(QStringLiteral(" [-1]")));

  // A tag the tree does not show still runs; it cannot be described.
  Tree().Nodes.Remove(QStringLiteral("ID13"));
  gLibrary->BuildSearchResults(QStringLiteral("_"), QStringLiteral("ID13"), false, QString());
  EXPECT_EQ(SearchResults(), RowSet{3});
  EXPECT_TRUE(LastComboText().startsWith(QStringLiteral("Unable to Refresh this View!   ")));
  EXPECT_EQ(boxes.Count(), 0);
}

TEST_F(SearchStepsTest, AStepThatIsNoTagKeyDoesNothingButForgetTheCurrentItem) {
  gLibrary->BuildSearchResults(QStringLiteral("_"), QStringLiteral("ID11"), false, QString());
  gLibrary->ResultCount = 7;
  gCurrentItem.SegmentID = 101;
  const RowSet before = SearchResults();
  gLibrary->BuildSearchResults(QStringLiteral("_"), QStringLiteral("R-5"), false, QString());
  EXPECT_EQ(gLibrary->ResultCount, 0);
  EXPECT_EQ(gCurrentItem.SegmentID, 0);
  EXPECT_EQ(SearchResults(), before);
  EXPECT_EQ(gViewSpec, QStringLiteral("|_T:11"));
  EXPECT_EQ(ComboTexts().size(), 1);
}

TEST_F(SearchStepsTest, StepsThatCannotBeReadReportOnceAndChangeNoRows) {
  boxes.AnswerAll([](const MessageBoxRequest&) { return vbOK; });
  gLibrary->BuildSearchResults(QStringLiteral("_"), QStringLiteral("ID14"), false, QStringLiteral("Beach"));
  struct Case {
    QString op;
    QString step;  // "T:..." for a tag step, else a search step
  };
  const std::vector<Case> cases = {
      {QStringLiteral("&"), QStringLiteral("T:11 OR 1=1")},      {QStringLiteral("+"), QStringLiteral("T:1;DROP TABLE Tags")},
      {QStringLiteral("&"), QStringLiteral("?R:5 OR 1=1")},      {QStringLiteral("-"), QStringLiteral("?I:10:30:00-0 OR 1=1")},
      {QStringLiteral("&"), QStringLiteral("?D:D-1yd")},         {QStringLiteral("*"), QStringLiteral("?R:5")},
      {QStringLiteral("x"), QStringLiteral("T:11")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE((c.op + c.step).toStdString());
    SetSearchResults(kBefore);
    gViewSpec = QStringLiteral("|_T:14");
    const int shown = boxes.Count();
    const size_t entries = gHistory.size();
    if (c.step.startsWith(QLatin1Char('T'))) {
      gLibrary->BuildSearchResults(c.op, QStringLiteral("ID") + c.step.mid(2), true, QString());
    } else {
      gLibrary->ExecuteSearch(c.op, c.step, QString());
    }
    EXPECT_EQ(boxes.Count(), shown + 1);
    EXPECT_TRUE(boxes.Last().prompt.startsWith(QStringLiteral("5: "))) << boxes.Last().prompt.toStdString();
    EXPECT_EQ(boxes.Last().style, vbExclamation);
    EXPECT_EQ(SearchResults(), kBefore);
    EXPECT_EQ(gViewSpec, QStringLiteral("|_T:14|") + c.op + c.step) << "still part of the view";
    EXPECT_EQ(gHistory.size(), entries) << "recorded in the current entry";
    EXPECT_EQ(gHistory.back().ViewSpec, gViewSpec);
  }
  EXPECT_EQ(gLibrary->Connection().OpenRecordset(QStringLiteral("SELECT count(*) FROM Tags"))->Value(0).toInt(),
            static_cast<int>(Tags().size()) + 4);
}

TEST_F(SearchStepsTest, StoredTextsInStepsAreQuoted) {
  gLibrary->ExecuteSearch(QStringLiteral("_"), QStringLiteral("?M:CC'33"), QString());
  EXPECT_EQ(SearchResults(), RowSet{4});
  EXPECT_TRUE(LastComboText().startsWith(QStringLiteral("Disk CC'33   "))) << LastComboText().toStdString();
  EXPECT_EQ(HistoryCombo().ComboItems(1).Image(), QStringLiteral("_M"));
  gLibrary->ExecuteSearch(QStringLiteral("_"), QStringLiteral("?C:x' OR '1'='1"), QString());
  EXPECT_TRUE(SearchResults().empty());
  EXPECT_EQ(boxes.Count(), 0);
}

TEST_F(SearchStepsTest, ADeviceTheTreeDoesNotShowIsReportedAndStillSearched) {
  boxes.Answer(vbOK);
  Tree().Nodes.Remove(QStringLiteral("M-BBBB2222"));
  gLibrary->ExecuteSearch(QStringLiteral("_"), QStringLiteral("?M:BBBB2222"), QStringLiteral("Device: Archive"));
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_TRUE(boxes.Last().prompt.startsWith(QStringLiteral("35601: ")));
  EXPECT_EQ(SearchResults(), (RowSet{2, 5}));
  EXPECT_EQ(gHistory.back().Caption, QStringLiteral("Device: Archive"));
}

TEST_F(SearchStepsTest, SearchStepsClearTheSelectionAndTagStepsMayKeepIt) {
  gSelectedById.Set(101, 1);
  gSelectedById.Set(60000, 1);
  gLibrary->BuildSearchResults(QStringLiteral("&"), QStringLiteral("ID11"), true, QString());
  EXPECT_EQ(gSelectedById.Count(), 2);
  gLibrary->BuildSearchResults(QStringLiteral("&"), QStringLiteral("ID11"), false, QString());
  EXPECT_EQ(gSelectedById.Count(), 0);
  gSelectedById.Set(60000, 1);
  gLibrary->ExecuteSearch(QStringLiteral("+"), QStringLiteral("?R:5"), QString());
  EXPECT_EQ(gSelectedById[60000], 0);
}

TEST_F(SearchStepsTest, TheStepsLeaveTheProgressStripToTheDisplay) {
  gLibrary->BuildSearchResults(QStringLiteral("_"), QStringLiteral("ID11"), false, QString());
  EXPECT_TRUE(View().progressShown);
  EXPECT_EQ(View().progressCaption, QStringLiteral("Identifying Requested Files..."));
  gLibrary->ExecuteSearch(QStringLiteral("+"), QStringLiteral("?R:5"), QString());
  EXPECT_TRUE(View().progressCaption.isEmpty()) << "a search step ends the progress display";
}

TEST_F(SearchStepsTest, ATagStepGivesTheLibraryItsTagIndex) {
  const auto indexes = [] {
    return gLibrary->Connection()
        .OpenRecordset(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name = 'rw2_SegmentTags_TagID'"))
        ->Value(0)
        .toInt();
  };
  EXPECT_EQ(indexes(), 0) << "an opened library is left as it was";
  gLibrary->BuildSearchResults(QStringLiteral("_"), QStringLiteral("ID11"), false, QString());
  EXPECT_EQ(indexes(), 1);
  gLibrary->BuildSearchResults(QStringLiteral("&"), QStringLiteral("ID13"), false, QString());
  EXPECT_EQ(indexes(), 1);
  // Made once for a connection: an index taken away meanwhile is made again
  // when the library is opened again, not at every step.
  gLibrary->Connection().Execute(QStringLiteral("DROP INDEX rw2_SegmentTags_TagID"));
  gLibrary->BuildSearchResults(QStringLiteral("_"), QStringLiteral("ID11"), false, QString());
  EXPECT_EQ(indexes(), 0);
  const QString path = gLibrary->LibraryPath;
  gLibrary->OpenLibrary(path, true);
  ASSERT_EQ(gLibrary->LibraryPath, path);
  gLibrary->BuildSearchResults(QStringLiteral("_"), QStringLiteral("ID11"), false, QString());
  EXPECT_EQ(indexes(), 1);
}

}  // namespace
