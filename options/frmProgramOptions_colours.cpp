// Page 6, "COLOURS": the scheme's sliders, switches and presets, the live
// preview of the player skin, APPLY, and the painting of the dialog itself in
// the colours sampled from that preview.
#include "options/frmProgramOptions.h"

#include "core/modRegistry.h"
#include "platform/ImageSurface.h"
#include "platform/controls/Label.h"
#include "platform/controls/PictureBox.h"
#include "platform/controls/TextBox.h"
#include "resources/Resources.h"
#include "ui/SchemeColours.h"
#include "ui/cwSlider.h"
#include "ui/modGradientFill.h"
#include "ui/ucCarouselOptionsPanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>

namespace {

constexpr int kPreviewWidth = 194;
constexpr int kPreviewHeight = 190;

// Sets one colour property of a control; false when the control has none.
bool SetBackColour(QWidget* control, COLORREF colour) {
  if (auto* label = dynamic_cast<ctl::Label*>(control)) {
    label->SetBackColor(colour);
  } else if (auto* box = dynamic_cast<ctl::PictureBox*>(control)) {
    box->SetBackColor(colour);
  } else if (auto* text = dynamic_cast<ctl::TextBox*>(control)) {
    const QColor c = ColorRefToQColor(colour);
    text->Edit()->setStyleSheet(QStringLiteral("background-color: %1").arg(c.name()));
  } else if (qobject_cast<QCheckBox*>(control) || qobject_cast<QRadioButton*>(control)) {
    QPalette palette = control->palette();
    palette.setColor(QPalette::Window, ColorRefToQColor(colour));
    control->setPalette(palette);
    control->setAutoFillBackground(true);
  } else {
    return false;
  }
  return true;
}

bool SetForeColour(QWidget* control, COLORREF colour) {
  if (auto* label = dynamic_cast<ctl::Label*>(control)) {
    label->SetForeColor(colour);
  } else if (qobject_cast<QCheckBox*>(control) || qobject_cast<QRadioButton*>(control)) {
    QPalette palette = control->palette();
    palette.setColor(QPalette::WindowText, ColorRefToQColor(colour));
    control->setPalette(palette);
  } else {
    return false;
  }
  return true;
}

void SetShapeColours(QWidget* control, const COLORREF* border, const COLORREF* fill) {
  auto* shape = dynamic_cast<OptionsShape*>(control);
  if (!shape) return;
  if (border) shape->SetBorderColor(*border);
  if (fill) shape->SetFillColor(*fill);
}

}  // namespace

void frmProgramOptions::CreateColourPage() {
  QWidget* page = picProgOptions[6];
  const char* const names[] = {"", "Red", "Green", "Blue", "Hue", "Sat"};
  const int maxima[] = {0, 200, 200, 200, 600, 100};
  for (int i = 1; i <= 5; ++i) {
    auto* caption = new ctl::Label(page);
    caption->setObjectName(QStringLiteral("Label1"));
    caption->SetCaption(QLatin1String(names[i]));
    caption->SetBackStyle(0);
    caption->setGeometry(8, 8 + 34 * (i - 1), 50, 18);
    auto* slider = new QScrollBar(Qt::Horizontal, page);
    slider->setObjectName(QStringLiteral("HScroll1"));
    slider->setRange(0, maxima[i]);
    slider->setGeometry(60, 8 + 34 * (i - 1), 140, 18);
    connect(slider, &QScrollBar::valueChanged, this, [this, i] { HScroll1_Change(static_cast<int16_t>(i)); });
    HScroll1[i] = slider;
  }
  chkAdjHLS = new QCheckBox(page);
  chkAdjHLS->setObjectName(QStringLiteral("chkAdjHLS"));
  chkAdjHLS->setGeometry(8, 184, 20, 20);
  chkAdjRGB = new QCheckBox(page);
  chkAdjRGB->setObjectName(QStringLiteral("chkAdjRGB"));
  chkAdjRGB->setGeometry(8, 210, 20, 20);
  connect(chkAdjHLS, &QCheckBox::clicked, this, [this] { chkAdjHLS_Click(); });
  connect(chkAdjRGB, &QCheckBox::clicked, this, [this] { chkAdjRGB_Click(); });
  const char* const captions[] = {"", "", "", "       Colourise", "       RGB"};
  for (int i = 3; i <= 4; ++i) {
    Caption[i] = new ctl::Label(page);
    Caption[i]->setObjectName(QStringLiteral("Caption"));
    Caption[i]->SetCaption(QLatin1String(captions[i]));
    Caption[i]->setGeometry(8, 184 + 26 * (i - 3), 192, 20);
    Caption[i]->Click = [this, i] { Caption_Click(static_cast<int16_t>(i)); };
  }
  chkAdjHLS->raise();
  chkAdjRGB->raise();
  Border11 = new OptionsShape(page, QStringLiteral("Border"), true);
  Border11->setGeometry(218, 6, kPreviewWidth + 4, kPreviewHeight + 4);
  picPreview = new ctl::PictureBox(page);
  picPreview->setObjectName(QStringLiteral("picPreview"));
  picPreview->setGeometry(220, 8, kPreviewWidth, kPreviewHeight);
  cmbColourSchemes = new QComboBox(page);
  cmbColourSchemes->setObjectName(QStringLiteral("cmbColourSchemes"));
  cmbColourSchemes->addItems(ColourSchemePresetNames());
  cmbColourSchemes->setCurrentIndex(-1);
  cmbColourSchemes->setGeometry(220, 204, kPreviewWidth, 24);
  connect(cmbColourSchemes, &QComboBox::activated, this, [this] { cmbColourSchemes_Click(); });
  lblApplyColours = new ctl::Label(page);
  lblApplyColours->setObjectName(QStringLiteral("lblApplyColours"));
  lblApplyColours->SetCaption(QStringLiteral("APPLY"));
  lblApplyColours->SetFontSize(12);
  lblApplyColours->setGeometry(350, 236, 70, 24);
  lblApplyColours->Click = [this] { lblApplyColours_Click(); };
  auto* heading = new ctl::Label(page);
  heading->setObjectName(QStringLiteral("Caption"));
  heading->SetCaption(QStringLiteral(" Cursor Colour"));
  heading->setGeometry(8, 270, 192, 20);
  for (int i = 0; i < 2; ++i) {
    lblCursorColour[i] = new ctl::Label(page);
    lblCursorColour[i]->setObjectName(QStringLiteral("lblCursorColour"));
    lblCursorColour[i]->DblClick = [this] { lblCursorColour_DblClick(); };
  }
  lblCursorColour[0]->SetCaption(QStringLiteral(" Double-click to change"));
  lblCursorColour[0]->setGeometry(30, 296, 170, 20);
  lblCursorColour[1]->SetCaption(QStringLiteral("n"));
  lblCursorColour[1]->SetFontName(QStringLiteral("RW2dings"));
  lblCursorColour[1]->setGeometry(8, 296, 20, 20);
}

// Part of the load, with the busy flag set.
void frmProgramOptions::LoadColourPage() {
  const ColourScheme scheme = ReadColourScheme();
  chkAdjHLS->setChecked(scheme.AdjHLS == 1);
  chkAdjRGB->setChecked(scheme.AdjRGB == 1);
  const int32_t values[] = {0, scheme.Red, scheme.Green, scheme.Blue, scheme.Hue, scheme.Sat};
  for (int i = 1; i <= 5; ++i) HScroll1[i]->setValue(values[i]);
  PaintCursorColour(gCursorColour);
}

ColourScheme frmProgramOptions::CurrentScheme() const {
  ColourScheme scheme;
  scheme.Red = HScroll1[1]->value();
  scheme.Green = HScroll1[2]->value();
  scheme.Blue = HScroll1[3]->value();
  scheme.Hue = HScroll1[4]->value();
  scheme.Sat = HScroll1[5]->value();
  scheme.AdjHLS = chkAdjHLS->isChecked() ? 1 : 0;
  scheme.AdjRGB = chkAdjRGB->isChecked() ? 1 : 0;
  return scheme;
}

QImage frmProgramOptions::AdjustImageColours() {
  picTemp = ::AdjustImageColours(picTemp, CurrentScheme());
  return picTemp;
}

void frmProgramOptions::UpdateColourPreview() {
  ++previewRenders_;
  if (SchemeStepWatch) SchemeStepWatch("preview");
  picTemp = LoadResPicture(QStringLiteral("MPLAYER"), kResCustom);
  const QImage preview = AdjustImageColours();
  picPreview->SetPicture(QPixmap::fromImage(
      preview.scaled(kPreviewWidth, kPreviewHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
  Border11->SetFillColor(QColorToColorRef(QColor::fromRgb(preview.pixel(1, 1))));
}

// Colours every control by its name, paints the gradient band and puts up
// the recoloured banner and the options icon.
void frmProgramOptions::ColourOptionsForm() {
  if (SchemeStepWatch) SchemeStepWatch("form");
  if (const auto sampled = SampleSchemeColours(picTemp)) {
    gSchemeColour1 = sampled->colour1;
    gSchemeColour4 = sampled->colour4;
    gSchemeColour2 = sampled->colour2;
    gSchemeColour3 = sampled->colour3;
  }
  if (CarouselOptions) CarouselOptions->SetBackColour(gSchemeColour1);
  for (const auto& slider : {CarouselEntriesSlider, CarouselSmoothnessSlider}) {
    if (slider) slider->SetColour(gSchemeColour3);
  }
  ColourControls();
  ImageSurface surface(200 + 55, height());
  DrawGradient(surface, 200, height(), 55, gSchemeColour4, gSchemeColour1, false);
  surface.Flush();
  gradient_ = surface.Image().copy();
  picTemp = LoadResPicture(QStringLiteral("OPTIONS_BANNER"), kResCustom);
  Image1->SetPicture(QPixmap::fromImage(AdjustImageColours()));
  if (ResourceExists(QStringLiteral("OPTIONS_ICON"), kResBitmap)) {
    QImage icon = LoadResPicture(QStringLiteral("OPTIONS_ICON"), kResBitmap).copy(0, 0, 48, 48);
    icon = icon.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < icon.height(); ++y) {
      for (int x = 0; x < icon.width(); ++x) {
        if ((icon.pixel(x, y) & 0xFFFFFF) == 0xFF00FF) icon.setPixel(x, y, 0);
      }
    }
    picOptionsIcon->SetPicture(QPixmap::fromImage(icon));
  }
  update();
}

void frmProgramOptions::ColourControls() {
  for (QWidget* control : findChildren<QWidget*>()) {
    const QString name = control->objectName();
    if (name.isEmpty() || name.startsWith(QLatin1String("qt_"))) continue;
    if (name == QLatin1String("txtThumbTimeOut") || name == QLatin1String("txtTooltipDelay") ||
        name == QLatin1String("Text1")) {
      SetBackColour(control, gSchemeColour2);
    } else if (name == QLatin1String("chkAdjHLS") || name == QLatin1String("chkAdjRGB") ||
               name == QLatin1String("Caption")) {
      SetBackColour(control, gSchemeColour4);
      SetForeColour(control, gSchemeColour1);
    } else if (name == QLatin1String("lblCursorColour")) {
      SetForeColour(control, gCursorColour);
    } else if (name == QLatin1String("lblOptionGroupHint")) {
      SetForeColour(control, gSchemeColour2);
    } else if (name == QLatin1String("Line1") || name == QLatin1String("Shape1")) {
      SetShapeColours(control, &gSchemeColour2, nullptr);
    } else if (name == QLatin1String("Edge")) {
      SetShapeColours(control, &gSchemeColour4, &gSchemeColour4);
    } else if (name == QLatin1String("Border")) {
      SetShapeColours(control, &gSchemeColour4, &gSchemeColour1);
    } else if (name == QLatin1String("picOptionsIcon")) {
      SetBackColour(control, gSchemeColour4);
    } else {
      SetBackColour(control, gSchemeColour1);
    }
  }
}

void frmProgramOptions::cmbColourSchemes_Click() {
  SetBusy(true);
  const ColourScheme scheme = ColourSchemeFromText(ColourSchemePresetText(cmbColourSchemes->currentText()));
  const int32_t values[] = {0, scheme.Red, scheme.Green, scheme.Blue, scheme.Hue, scheme.Sat};
  for (int i = 1; i <= 5; ++i) HScroll1[i]->setValue(values[i]);
  chkAdjHLS->setChecked(scheme.AdjHLS == 1);
  chkAdjRGB->setChecked(scheme.AdjRGB == 1);
  SetBusy(false);
  UpdateColourPreview();
}

void frmProgramOptions::HScroll1_Change(int16_t) {
  if (!Busy()) UpdateColourPreview();
}

void frmProgramOptions::chkAdjRGB_Click() {
  if (!Busy()) UpdateColourPreview();
}

void frmProgramOptions::chkAdjHLS_Click() {
  if (!Busy()) UpdateColourPreview();
}

void frmProgramOptions::Caption_Click(int16_t Index) {
  QCheckBox* box = Index == 3 ? chkAdjHLS : Index == 4 ? chkAdjRGB : nullptr;
  if (!box) return;
  box->setChecked(!box->isChecked());
  if (Index == 3) {
    chkAdjHLS_Click();
  } else {
    chkAdjRGB_Click();
  }
}

void frmProgramOptions::lblApplyColours_Click() {
  UpdateColourPreview();
  ColourOptionsForm();
  ApplyColourScheme();
  if (SchemeStepWatch) SchemeStepWatch("save");
  SaveColourScheme(CurrentScheme());
}
