#include "carousel/frmTagCloud.h"

#include "platform/RWError.h"
#include "platform/Rounding.h"

QPointer<frmTagCloud> gTagCloudForm;

namespace {

constexpr int kWidth = 400;
constexpr int kHeight = 300;

struct Band {
  double points;
  int grey;
};

// Relevance is the share of the results in per cent.
Band BandOf(int relevance) {
  if (relevance <= 10) return {8, 180};
  if (relevance <= 30) return {10, 120};
  if (relevance <= 50) return {12, 80};
  if (relevance <= 70) return {13, 50};
  return {14, 0};
}

}  // namespace

frmTagCloud::frmTagCloud() : QWidget(nullptr, Qt::Tool) {
  setObjectName(QStringLiteral("frmTagCloud"));
  setWindowTitle(QStringLiteral("Tag Cloud"));
  resize(kWidth, kHeight);
  picTagContainer = new ctl::PictureBox(this);
  picTagContainer->setObjectName(QStringLiteral("picTagContainer"));
  picTagContainer->Move(0, 0, kWidth, kHeight);
  picTags = new ctl::PictureBox(picTagContainer);
  picTags->setObjectName(QStringLiteral("picTags"));
  picTags->Move(0, 0, kWidth, 0);
  auto* pattern = new ctl::Label(picTags);
  pattern->setObjectName(QStringLiteral("lblTag(0)"));
  pattern->SetBackStyle(0);
  pattern->SetAutoSize(true);
  pattern->SetVisible(false);
  lblTag.push_back(pattern);
}

ctl::Label& frmTagCloud::LoadTagLabel(int n) {
  while (TagLabelUBound() < n) {
    const ctl::Label& pattern = *lblTag.front();
    auto* label = new ctl::Label(picTags);
    label->setObjectName(QStringLiteral("lblTag(%1)").arg(lblTag.size()));
    label->setFont(pattern.font());
    label->SetBackStyle(pattern.BackStyle());
    label->SetAutoSize(pattern.AutoSize());
    label->SetMouseIcon(pattern.MouseIcon());
    label->SetVisible(false);
    lblTag.push_back(label);
  }
  return *lblTag[static_cast<size_t>(n)];
}

frmTagCloud& TagCloudForm() {
  if (!gTagCloudForm) gTagCloudForm = new frmTagCloud();
  return *gTagCloudForm;
}

void frmTagCloud::ShowTags(const std::vector<TagCloudEntry>& tags, int32_t resultCount) {
  const double width = RoundHalfEven(picTagContainer->Width());
  picTags->Move(0, 0, width, 0);
  if (tags.empty()) {
    HideLabelsFrom(1);
    return;
  }
  LayOutLabels(tags, width, resultCount);
}

// Moves labels first..last right by `shift`.
void frmTagCloud::ShiftRow(int first, int last, double shift) {
  for (int k = first; k <= last; ++k) {
    ctl::Label& label = *lblTag[static_cast<size_t>(k)];
    label.Move(label.Left() + shift, label.Top());
  }
}

void frmTagCloud::HideLabelsFrom(int first) {
  for (int k = first; k <= TagLabelUBound(); ++k) lblTag[static_cast<size_t>(k)]->SetVisible(false);
}

// Rows of labels from left to right; a label that does not fit starts a new
// row 24 pixels lower, and each finished row is centred in the width.
void frmTagCloud::LayOutLabels(const std::vector<TagCloudEntry>& tags, double width, int32_t resultCount) {
  double x = 1;
  double y = 1;
  int rowStart = 1;
  int n = 0;
  for (const TagCloudEntry& tag : tags) {
    ++n;
    try {
      ctl::Label& label = LoadTagLabel(n);
      label.SetCaption(tag.Tag);
      label.SetFontName(QStringLiteral("Tahoma"));
      // A cloud drawn over no results has nothing to measure against.
      const int relevance = resultCount > 0 ? static_cast<int>(RoundHalfEven(tag.TagCount * 100 / resultCount)) : 0;
      const Band band = BandOf(relevance);
      label.SetFontSize(band.points);
      label.SetAutoSize(true);
      const double w = label.Width();
      if (x + w > width) {
        x -= 15;
        ShiftRow(rowStart, n - 1, (width - x) / 2);
        rowStart = n;
        y += 24;
        x = 2;
      }
      label.SetForeColor(RGB(band.grey, band.grey, band.grey));
      label.Move(x, y);
      label.SetTag(tag.TagID);
      label.SetVisible(true);
      x = RoundHalfEven(x + w + 15);
    } catch (const RWError&) {
      // A label that cannot be made is left out; the others still show.
    }
  }
  x -= 15;
  ShiftRow(rowStart, n, (width - x) / 2);
  HideLabelsFrom(n + 1);
  picTags->SetHeight(y + 28);
  const double containerHeight = picTagContainer->Height();
  if (picTags->Height() < containerHeight) picTags->SetTop((containerHeight - picTags->Height()) / 2);
}
