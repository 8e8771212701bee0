#include "carousel/frmTagCloud.h"

QPointer<frmTagCloud> gTagCloudForm;
QString gTagCloudCategories;

namespace {

constexpr int kWidth = 400;
constexpr int kHeight = 300;

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
