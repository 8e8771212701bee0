// The tag cloud: counts over the results along parent and cross links, the
// relevance bands of the labels, and their layout in centred rows.
#include "carousel/frmTagCloud.h"
#include "tests/library/TreeFixture.h"

#include <map>

namespace {

class TagCloudTest : public rwtest::OpenLibraryTest {
 protected:
  void TearDown() override {
    gTagCloudCategories.clear();
    OpenLibraryTest::TearDown();
  }
  // Segments first..last carry the tag and are results.
  static void Tagged(int tag, int first, int last) {
    for (int s = first; s <= last; ++s) {
      Exec(
          QStringLiteral("INSERT OR IGNORE INTO SearchResults VALUES (%1, %1); INSERT INTO SegmentTags VALUES (%1, %2)")
              .arg(s)
              .arg(tag));
    }
  }
  // The cloud count of every tag that has one.
  static std::map<int, int> Counts() {
    gLibrary->PopulateTagCloudTable();
    std::map<int, int> counts;
    auto rs = gLibrary->Connection().OpenRecordset(
        QStringLiteral("SELECT LinkedTag, SUM(TagCount) FROM TagCloud GROUP BY LinkedTag"));
    for (; !rs->Eof(); rs->MoveNext()) counts[rs->Value(0).toInt()] = rs->Value(1).toInt();
    return counts;
  }
  static frmTagCloud& Cloud() { return TagCloudForm(); }
  static std::vector<ctl::Label*> Visible() {
    std::vector<ctl::Label*> labels;
    for (ctl::Label* label : Cloud().lblTag) {
      if (label->Visible()) labels.push_back(label);
    }
    return labels;
  }
  static ctl::Label* LabelOf(const QString& caption) {
    for (ctl::Label* label : Visible()) {
      if (label->Caption() == caption) return label;
    }
    return nullptr;
  }
};

TEST_F(TagCloudTest, ChildCountsReachTheParentAndASegmentWithBothCountsTwice) {
  OpenWith(
      QStringLiteral("INSERT INTO Tags (TagID, Tag, Type) VALUES (10, 'Animals', 'T'), (11, 'Cats', 'T');"
                     "INSERT INTO TagLinks VALUES (11, 10, 'P')"));
  Tagged(10, 1, 3);
  Tagged(11, 4, 5);
  EXPECT_EQ(Counts(), (std::map<int, int>{{10, 5}, {11, 2}}));
  Tagged(10, 6, 6);
  Tagged(11, 6, 6);
  EXPECT_EQ(Counts(), (std::map<int, int>{{10, 7}, {11, 3}}));
  EXPECT_FALSE(gLibrary->Connection().InTransaction());
}

TEST_F(TagCloudTest, CountsTravelAlongAPairOnlyInItsFirstRound) {
  OpenWith(
      QStringLiteral("INSERT INTO Tags (TagID, Tag, Type) VALUES (20, 'P', 'T'), (21, 'X', 'T'), (22, 'Y', 'T'), "
                     "(23, 'Film', 'T'), (24, 'Movie', 'T');"
                     "INSERT INTO TagLinks VALUES (21, 20, 'P'), (22, 21, 'P'), (23, 24, 'L'), (24, 23, 'L')"));
  Tagged(21, 1, 2);
  Tagged(22, 3, 5);
  Tagged(23, 6, 6);
  // Y's count reaches X in the second round, when the pair (X, P) carries
  // X's own count already; synonyms pass their counts once each way.
  EXPECT_EQ(Counts(), (std::map<int, int>{{20, 2}, {21, 5}, {22, 3}, {23, 2}, {24, 1}}));
}

TEST_F(TagCloudTest, RelevanceBandsSetSizeAndGrey) {
  OpenWith(
      QStringLiteral("INSERT INTO Tags (TagID, Tag, Type) VALUES (30, 'Ten', 'T'), (31, 'Eleven', 'T'), "
                     "(32, 'Seventy', 'T'), (33, 'SeventyOne', 'T'), (34, 'Fifty', 'T'), (35, 'Thirty', 'T');"));
  Tagged(30, 1, 10);
  Tagged(31, 1, 11);
  Tagged(32, 1, 70);
  Tagged(33, 1, 71);
  Tagged(34, 1, 50);
  Tagged(35, 1, 30);
  Tagged(1, 1, 100);
  gLibrary->ResultCount = 100;
  gLibrary->ShowTagCloud(true);
  const std::map<QString, std::pair<double, int>> expected = {
      {"Ten", {8, 180}},     {"Eleven", {10, 120}},   {"Thirty", {10, 120}},  {"Fifty", {12, 80}},
      {"Seventy", {13, 50}}, {"SeventyOne", {14, 0}}, {"Unplayable", {14, 0}}};
  for (const auto& [name, band] : expected) {
    const ctl::Label* label = LabelOf(name);
    ASSERT_NE(label, nullptr) << name.toStdString();
    EXPECT_EQ(label->FontSize(), band.first) << name.toStdString();
    EXPECT_EQ(label->FontName(), QStringLiteral("Tahoma"));
    EXPECT_EQ(label->ForeColor(), RGB(band.second, band.second, band.second)) << name.toStdString();
  }
  EXPECT_EQ(LabelOf("Ten")->Tag(), QStringLiteral("30"));
  // Labels come in name order.
  EXPECT_EQ(Cloud().lblTag[1]->Caption(), QStringLiteral("Eleven"));
  EXPECT_EQ(Cloud().lblTag[7]->Caption(), QStringLiteral("Unplayable"));

  // Counts above the result size stay in the top band; a cloud drawn over no
  // results shows every label in the lowest one.
  gLibrary->ResultCount = 5;
  gLibrary->ShowTagCloud(false);
  EXPECT_EQ(LabelOf("Ten")->FontSize(), 14);
  gLibrary->ResultCount = 0;
  gLibrary->ShowTagCloud(false);
  EXPECT_EQ(LabelOf("SeventyOne")->FontSize(), 8);
  EXPECT_EQ(LabelOf("SeventyOne")->ForeColor(), RGB(180, 180, 180));
  EXPECT_EQ(boxes.Count(), 0);
}

TEST_F(TagCloudTest, CategoryFilterLeavesOutOtherCategoriesAndNonTags) {
  OpenWith(
      QStringLiteral("INSERT INTO Tags (TagID, Tag, Type) VALUES (40, 'People', 'C'), (41, 'Places', 'C'), "
                     "(42, 'Anna', 'T'), (43, 'Rome', 'T'), (44, 'Loose', 'T');"
                     "INSERT INTO TagLinks VALUES (42, 40, 'P'), (43, 41, 'P')"));
  Tagged(42, 1, 2);
  Tagged(43, 3, 4);
  Tagged(44, 5, 5);
  gLibrary->ResultCount = 5;
  gLibrary->ShowTagCloud(true);
  EXPECT_EQ(Visible().size(), 3u) << "the categories that receive counts are no tags";
  gTagCloudCategories = QStringLiteral("(40)");
  gLibrary->ShowTagCloud(false);
  ASSERT_EQ(Visible().size(), 1u);
  EXPECT_EQ(Visible().front()->Caption(), QStringLiteral("Anna"));
  gTagCloudCategories = QStringLiteral("(40, 41)");
  gLibrary->ShowTagCloud(false);
  EXPECT_EQ(Visible().size(), 2u);
  gTagCloudCategories = QStringLiteral("(40) OR 1=1");
  gLibrary->ShowTagCloud(false);
  EXPECT_EQ(Visible().size(), 3u) << "a filter that is no list of ids filters nothing";
}

TEST_F(TagCloudTest, LabelsFlowInCentredRowsAndSurplusOnesHide) {
  QString tags;
  for (int i = 0; i < 12; ++i)
    tags += QStringLiteral("INSERT INTO Tags (TagID, Tag, Type) VALUES (%1, 'Tag %2', 'T');")
                .arg(50 + i)
                .arg(QChar(u'A' + i));
  OpenWith(tags);
  for (int i = 0; i < 12; ++i) Tagged(50 + i, 1, 1 + i);
  gLibrary->ResultCount = 20;
  Cloud().picTagContainer->Move(0, 0, 200, 300);
  gLibrary->ShowTagCloud(true);

  std::map<int, std::vector<ctl::Label*>> rows;
  for (ctl::Label* label : Visible()) rows[static_cast<int>(label->Top())].push_back(label);
  ASSERT_EQ(Visible().size(), 12u);
  ASSERT_GE(rows.size(), 2u);
  int y = 1;
  for (const auto& [top, labels] : rows) {
    EXPECT_EQ(top, y);
    y += 24;
    const double left = labels.front()->Left();
    const double right = 200 - (labels.back()->Left() + labels.back()->Width());
    EXPECT_NEAR(left, right, 2.0) << "row at " << top << " is centred";
    for (size_t k = 1; k < labels.size(); ++k) {
      EXPECT_NEAR(labels[k]->Left() - (labels[k - 1]->Left() + labels[k - 1]->Width()), 15, 1.0);
    }
  }
  const double height = Cloud().picTags->Height();
  EXPECT_EQ(height, rows.rbegin()->first + 28) << "the last row's y plus 28";
  EXPECT_NEAR(Cloud().picTags->Top(), (300 - height) / 2, 0.5) << "a short cloud is centred in its container";

  Exec(QStringLiteral("DELETE FROM SegmentTags WHERE TagID > 52"));
  gLibrary->ShowTagCloud(true);
  EXPECT_EQ(Visible().size(), 3u);
  EXPECT_EQ(Cloud().TagLabelUBound(), 12) << "labels are kept for the next time";

  Exec(QStringLiteral("DELETE FROM SegmentTags"));
  gLibrary->ShowTagCloud(true);
  EXPECT_TRUE(Visible().empty());
  EXPECT_EQ(Cloud().picTags->Height(), 0);
}

TEST_F(TagCloudTest, LabelWiderThanThePanelStandsAlone) {
  OpenWith(
      QStringLiteral("INSERT INTO Tags (TagID, Tag, Type) VALUES (60, 'A very long tag name indeed', 'T'), "
                     "(61, 'Zz', 'T')"));
  Tagged(60, 1, 1);
  Tagged(61, 2, 2);
  gLibrary->ResultCount = 2;
  Cloud().picTagContainer->Move(0, 0, 60, 300);
  gLibrary->ShowTagCloud(true);
  ASSERT_EQ(Visible().size(), 2u);
  EXPECT_EQ(LabelOf("A very long tag name indeed")->Top(), 25) << "the first row stays empty";
  EXPECT_EQ(LabelOf("Zz")->Top(), 49);
}

}  // namespace
