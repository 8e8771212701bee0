// The tag-cloud window's labels: size and grey by relevance, the tags' order
// and ids, rows flowing left to right and centred, a label wider than the
// panel alone in its row, and labels left over from a larger cloud hidden.
#include "carousel/frmTagCloud.h"
#include "ui/ProgramFonts.h"
#include "tests/support/TestFonts.h"

#include <QImage>
#include <QPainter>
#include <QStringList>

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace {

class TagCloudLabelsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { RegisterProgramFonts(); }
  void TearDown() override { delete gTagCloudForm; }

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
  // Tags named from the list, with ids from 50 and the given counts.
  static std::vector<TagCloudEntry> Tags(const std::vector<std::pair<QString, double>>& tags) {
    std::vector<TagCloudEntry> entries;
    for (const auto& [name, count] : tags) {
      entries.push_back({QString::number(50 + entries.size()), name, count});
    }
    return entries;
  }
};

TEST_F(TagCloudLabelsTest, RelevanceBandsSetSizeAndGrey) {
  const auto tags = Tags({{"Eleven", 11}, {"Fifty", 50}, {"Seventy", 70}, {"SeventyOne", 71}, {"Ten", 10},
                          {"Thirty", 30}, {"Unplayable", 100}});
  Cloud().ShowTags(tags, 100);
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
  EXPECT_EQ(LabelOf("Ten")->Tag(), QStringLiteral("54"));
  EXPECT_EQ(Cloud().lblTag[1]->Caption(), QStringLiteral("Eleven")) << "labels in the order given";
  EXPECT_EQ(Cloud().lblTag[7]->Caption(), QStringLiteral("Unplayable"));

  // Counts above the result size stay in the top band; a cloud drawn over no
  // results shows every label in the lowest one.
  Cloud().ShowTags(tags, 5);
  EXPECT_EQ(LabelOf("Ten")->FontSize(), 14);
  Cloud().ShowTags(tags, 0);
  EXPECT_EQ(LabelOf("SeventyOne")->FontSize(), 8);
  EXPECT_EQ(LabelOf("SeventyOne")->ForeColor(), RGB(180, 180, 180));
}

TEST_F(TagCloudLabelsTest, LabelsFlowInCentredRowsAndSurplusOnesHide) {
  std::vector<std::pair<QString, double>> named;
  for (int i = 0; i < 12; ++i) named.emplace_back(QStringLiteral("Tag %1").arg(QChar(u'A' + i)), 1 + i);
  Cloud().picTagContainer->Move(0, 0, 200, 300);
  Cloud().ShowTags(Tags(named), 20);

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

  named.resize(3);
  Cloud().ShowTags(Tags(named), 20);
  EXPECT_EQ(Visible().size(), 3u);
  EXPECT_EQ(Cloud().TagLabelUBound(), 12) << "labels are kept for the next time";

  Cloud().ShowTags({}, 20);
  EXPECT_TRUE(Visible().empty());
  EXPECT_EQ(Cloud().picTags->Height(), 0);
}

// The accent over a capital ("\u00C9t\u00E9") rises above the program's
// Tahoma: the tag shows it whole, its text on the row of the others, and a
// first row with it goes down within the cloud.
TEST_F(TagCloudLabelsTest, AnAccentOverACapitalShowsWholeOnItsRow) {
  rwtest::AlsoWithNotoFonts();
  const QString summer = QStringLiteral("\u00C9t\u00E9");
  Cloud().ShowTags(Tags({{"Beach", 1}, {summer, 1}, {"Holiday", 1}}), 2);
  const ctl::Label* plain = LabelOf(QStringLiteral("Beach"));
  const ctl::Label* accented = LabelOf(summer);
  ASSERT_TRUE(plain && accented);
  ASSERT_GT(accented->CaptionInkAbove(), 0) << "the program's Tahoma leaves the accent above its ascent";
  EXPECT_EQ(accented->Top() + accented->CaptionInkAbove(), plain->Top()) << "the text on the row";
  EXPECT_GE(accented->Top(), 0);
  QImage free(200, 80, QImage::Format_RGB32);
  free.fill(ColorRefToQColor(Cloud().picTags->BackColor()));
  {
    QPainter painter(&free);
    painter.setFont(accented->font());
    painter.setPen(ColorRefToQColor(accented->ForeColor()));
    painter.drawText(QPointF(5, 50), summer);
  }
  const auto inkRows = [](const QImage& image) {
    int first = -1;
    int last = -1;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        if (qGray(image.pixel(x, y)) < 160) {
          if (first < 0) first = y;
          last = y;
          break;
        }
      }
    }
    return last - first;
  };
  const QImage shown = Cloud().picTags->grab(accented->geometry()).toImage();
  EXPECT_GE(inkRows(shown), inkRows(free)) << "every row of the ink, the accent's too";
}

TEST_F(TagCloudLabelsTest, LabelWiderThanThePanelStandsAlone) {
  Cloud().picTagContainer->Move(0, 0, 60, 300);
  Cloud().ShowTags(Tags({{"A very long tag name indeed", 1}, {"Zz", 1}}), 2);
  ASSERT_EQ(Visible().size(), 2u);
  EXPECT_EQ(LabelOf("A very long tag name indeed")->Top(), 25) << "the first row stays empty";
  EXPECT_EQ(LabelOf("Zz")->Top(), 49);
}

}  // namespace
