// The window's construction and the layout of its labels.
#include "carousel/frmTagCloud.h"

#include "library/clsRWLibrary.h"
#include "platform/RWError.h"
#include "platform/Rounding.h"
#include "resources/Resources.h"
#include "ui/cDIBSection.h"

#include <QMenu>
#include <QPainter>

#include <algorithm>

QPointer<frmTagCloud> gTagCloudForm;

namespace {

// Where the controls lie on the 400 x 300 picture "TAGCLOUD".
constexpr int kTitleTextLeft = 32;
constexpr int kTitleTextTop = 7;
const QPoint kMenuButton(10, 6);
const QPoint kCloseButton(374, 6);
const QRect kCloud(10, 34, 356, 256);
const QRect kScrollUp(372, 34, 18, 18);
const QRect kScrollDown(372, 272, 18, 18);
// The picture's colour that is cut from the window's shape.
constexpr COLORREF kCutColour = RGB(255, 0, 255);
// How long the mouse rests on an arrow before the cloud moves a step.
constexpr int kScrollHoverMs = 60;

constexpr std::pair<const char*, const char*> kOperatorCursors[] = {
    {"_", "HANDOPEN"}, {"&", "HANDAPPEND"}, {"+", "HANDFILTERIN"}, {"-", "HANDFILTEROUT"}};

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

ctl::Image* MakeButton(QWidget* parent, const QString& name, const QString& picture, QPoint at) {
  auto* button = new ctl::Image(parent);
  button->setObjectName(name);
  button->SetPicture(QPixmap::fromImage(LoadResPicture(picture, kResCustom)));
  button->Move(at.x(), at.y());
  button->SetMouseIcon(QCursor(Qt::PointingHandCursor));
  return button;
}

ctl::PictureBox* MakeArrow(QWidget* parent, const QString& name, const QString& picture, const QRect& at) {
  auto* arrow = new ctl::PictureBox(parent);
  arrow->setObjectName(name);
  arrow->SetPicture(QPixmap::fromImage(LoadResPicture(picture, kResCustom)));
  arrow->Move(at.x(), at.y(), at.width(), at.height());
  arrow->setMouseTracking(true);
  return arrow;
}

}  // namespace

frmTagCloud::frmTagCloud() : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint) {
  setObjectName(QStringLiteral("frmTagCloud"));
  setWindowTitle(QStringLiteral("Tag Cloud"));
  setFocusPolicy(Qt::ClickFocus);
  m_Picture = LoadResPicture(QStringLiteral("TAGCLOUD"), kResCustom);
  setFixedSize(m_Picture.size());
  CreateControls();
  CreateMenu();
  // A new window's menu is empty: it is built at its first use.
  gCategoryMenuBuilt = false;
  Form_Load();
}

frmTagCloud::~frmTagCloud() { ctl::Control::EndEvents(*this); }

// Each control takes the colour of the picture under it, so the picture's
// design alone decides the window's look.
void frmTagCloud::CreateControls() {
  auto colourAt = [this](QPoint at) { return QColorToColorRef(m_Picture.pixelColor(at)); };
  Label1 = new ctl::Label(this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->SetBackStyle(0);
  Label1->SetFontName(QStringLiteral("Tahoma"));
  Label1->SetFontSize(9);
  Label1->SetFontBold(true);
  Label1->SetForeColor(RGB(255, 255, 255));
  Label1->SetAutoSize(true);
  Label1->SetCaption(QStringLiteral("Tag Cloud"));
  Label1->Move(kTitleTextLeft, kTitleTextTop);
  // The title drags the window like the rest of its body.
  Label1->setAttribute(Qt::WA_TransparentForMouseEvents);
  imgCloudMenu = MakeButton(this, QStringLiteral("imgCloudMenu"), QStringLiteral("TAGCLOUD_MENU"), kMenuButton);
  imgClose = MakeButton(this, QStringLiteral("imgClose"), QStringLiteral("TAGCLOUD_CLOSE"), kCloseButton);
  picTagContainer = new ctl::PictureBox(this);
  picTagContainer->setObjectName(QStringLiteral("picTagContainer"));
  picTagContainer->Move(kCloud.x(), kCloud.y(), kCloud.width(), kCloud.height());
  picTagContainer->SetBackColor(colourAt(kCloud.topLeft()));
  picTags = new ctl::PictureBox(picTagContainer);
  picTags->setObjectName(QStringLiteral("picTags"));
  picTags->SetBackColor(picTagContainer->BackColor());
  picTags->Move(0, 0, kCloud.width(), 0);
  picTags->setMouseTracking(true);
  auto* pattern = new ctl::Label(picTags);
  pattern->setObjectName(QStringLiteral("lblTag(0)"));
  pattern->SetBackStyle(0);
  pattern->SetAutoSize(true);
  pattern->SetMouseIcon(LoadResCursor(QStringLiteral("HAND_POINTER")));
  pattern->SetVisible(false);
  lblTag.push_back(pattern);
  picScrollUp = MakeArrow(this, QStringLiteral("picScrollUp"), QStringLiteral("TAGCLOUD_UP"), kScrollUp);
  picScrollDown = MakeArrow(this, QStringLiteral("picScrollDown"), QStringLiteral("TAGCLOUD_DOWN"), kScrollDown);
  for (ctl::PictureBox* arrow : {picScrollUp, picScrollDown}) {
    arrow->SetBackColor(colourAt(QPoint(static_cast<int>(arrow->Left()), static_cast<int>(arrow->Top()))));
    arrow->SetMouseIcon(pattern->MouseIcon());
  }
  imgClose->Click = [this] { imgClose_Click(); };
  imgCloudMenu->Click = [this] { imgCloudMenu_Click(); };
  picScrollUp->Click = [this] { picScrollUp_Click(); };
  picScrollDown->Click = [this] { picScrollDown_Click(); };
  picTags->MouseMove = [this](int, int, double, double) { picTags_MouseMove(); };
}

// The window takes the outline of its picture; the three hover trackers
// follow the arrows and the cloud; the four hand cursors of the operators.
void frmTagCloud::Form_Load() {
  ShapeWindow();
  AttachTrackers();
  for (const auto& [op, name] : kOperatorCursors)
    m_Cursors[QString::fromLatin1(op)] = LoadResCursor(QString::fromLatin1(name));
}

void frmTagCloud::ShapeWindow() {
  cDIBSection dib;
  dib.CreateFromPicture(m_Picture);
  m_Region.Create(dib, kCutColour);
  m_Region.SetApplied(this, true);
}

void frmTagCloud::AttachTrackers() {
  m_ScrollUp = std::make_unique<cMouseTrack>();
  m_ScrollDown = std::make_unique<cMouseTrack>();
  m_Tag = std::make_unique<cMouseTrack>();
  m_ScrollUp->AttachMouseTracking(picScrollUp, -1, kScrollHoverMs);
  m_ScrollDown->AttachMouseTracking(picScrollDown, -1, kScrollHoverMs);
  m_Tag->AttachMouseTracking(picTags, -1, 0);
  m_ScrollUp->MouseHover = [this](int, int, double, double) { m_ScrollUp_MouseHover(); };
  m_ScrollDown->MouseHover = [this](int, int, double, double) { m_ScrollDown_MouseHover(); };
  m_Tag->MouseLeave = [this] { m_Tag_MouseLeave(); };
  picScrollUp->MouseMove = [this](int, int, double, double) { picScroll_MouseMove(*m_ScrollUp); };
  picScrollDown->MouseMove = [this](int, int, double, double) { picScroll_MouseMove(*m_ScrollDown); };
}

const QCursor& frmTagCloud::OperatorCursor(const QString& op) const {
  const auto found = m_Cursors.find(op);
  return found != m_Cursors.end() ? found->second : lblTag.front()->MouseIcon();
}

void frmTagCloud::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawImage(0, 0, m_Picture);
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
    ConnectLabel(*label, static_cast<int>(lblTag.size()));
    lblTag.push_back(label);
  }
  return *lblTag[static_cast<size_t>(n)];
}

void frmTagCloud::ConnectLabel(ctl::Label& label, int index) {
  label.setMouseTracking(true);
  label.MouseDown = [this, index](int button, int, double, double) { lblTag_MouseDown(index, button); };
  label.MouseMove = [this, index](int, int, double, double) { lblTag_MouseMove(index); };
  label.Click = [this, index] { lblTag_Click(index); };
}

frmTagCloud& TagCloudForm() {
  if (!gTagCloudForm) gTagCloudForm = new frmTagCloud();
  return *gTagCloudForm;
}

void frmTagCloud::ShowTags(const std::vector<TagCloudEntry>& tags, int32_t resultCount,
                           const std::function<void(int laidOut)>& laidOut) {
  // The labels take new tags and colours: the one under the mouse has no
  // colour of its own to get back.
  m_HoverIndex = 0;
  const double width = RoundHalfEven(picTagContainer->Width());
  picTags->Move(0, 0, width, 0);
  if (tags.empty()) {
    HideLabelsFrom(1);
    return;
  }
  LayOutLabels(tags, width, resultCount, laidOut);
}

// The label sizes itself once, to the caption in its font: measuring text is
// what a large cloud's layout spends its time on.
void frmTagCloud::SetCaptionAndFont(ctl::Label& label, const QString& caption, double points) {
  QFont font = label.font();
  font.setFamily(QStringLiteral("Tahoma"));
  font.setPointSizeF(points);
  label.SetAutoSize(false);
  label.setFont(font);
  label.SetCaption(caption);
  label.SetAutoSize(true);
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
void frmTagCloud::LayOutLabels(const std::vector<TagCloudEntry>& tags, double width, int32_t resultCount,
                               const std::function<void(int laidOut)>& laidOut) {
  double x = 1;
  double y = 1;
  int rowStart = 1;
  int n = 0;
  for (const TagCloudEntry& tag : tags) {
    ++n;
    try {
      ctl::Label& label = LoadTagLabel(n);
      // A cloud drawn over no results has nothing to measure against.
      const int relevance = resultCount > 0 ? static_cast<int>(RoundHalfEven(tag.TagCount * 100 / resultCount)) : 0;
      const Band band = BandOf(relevance);
      SetCaptionAndFont(label, tag.Tag, band.points);
      const double w = label.Width();
      if (x + w > width) {
        x -= 15;
        ShiftRow(rowStart, n - 1, (width - x) / 2);
        rowStart = n;
        y += 24;
        x = 2;
      }
      label.SetForeColor(RGB(band.grey, band.grey, band.grey));
      // An accent over a capital rises above the row, the text stays on it.
      label.Move(x, y - label.CaptionInkAbove());
      label.SetTag(tag.TagID);
      label.SetVisible(true);
      x = RoundHalfEven(x + w + 15);
    } catch (const RWError&) {
      // A label that cannot be made is left out; the others still show.
    }
    if (laidOut) laidOut(n);
  }
  x -= 15;
  ShiftRow(rowStart, n, (width - x) / 2);
  HideLabelsFrom(n + 1);
  // The first row's accents, above the row, stay inside the cloud.
  double above = 0;
  for (int k = 1; k <= n; ++k) above = std::max(above, -lblTag[static_cast<size_t>(k)]->Top());
  for (int k = 1; k <= n && above > 0; ++k) {
    ctl::Label& label = *lblTag[static_cast<size_t>(k)];
    label.Move(label.Left(), label.Top() + above);
  }
  picTags->SetHeight(y + 28 + above);
  const double containerHeight = picTagContainer->Height();
  if (picTags->Height() < containerHeight) picTags->SetTop((containerHeight - picTags->Height()) / 2);
}
