// Pages 3 and 4: the story-board layout, caption fonts, colours and style,
// and the TV-Out sliders that change the carousel at once.
#include "options/frmProgramOptions.h"

#include "core/modReelwise.h"
#include "core/modRegistry.h"
#include "platform/controls/Label.h"
#include "platform/controls/PictureBox.h"
#include "platform/controls/TextBox.h"
#include "platform/Rounding.h"
#include "ui/clsDialogs.h"
#include "ui/cwSlider.h"
#include "ui/ucCarouselOptionsPanel.h"

#include <QButtonGroup>
#include <QRadioButton>

namespace {

const char* const kFieldCaptions[] = {"Columns", "Rows", "Thumbnail Width", "Thumbnail Height",
                                      "Vertical Spacing", "Horizontal Spacing", "JPG Save Quality (%)"};
const char* const kFieldSettings[] = {"HorizontalTiles", "VerticalTiles", "TileWidth", "TileHeight",
                                      "VerticalSpacing", "HorizontalSpacing", "Compression"};
const char* const kColourSettings[] = {"CaptionColour", "CaptionTextColour", "TimestampColour"};
const char* const kColourCaptions[] = {"Item Label", "Item Text", "Timestamp"};

constexpr int kLargestCaptionSize = 16;

int32_t Posters(const char* name) { return modRegistry::GetSettingLong(kRegFilePosters, QLatin1String(name)); }

void SavePosters(const char* name, const QVariant& value) {
  modRegistry::SetRegValue(HKEY_CURRENT_USER, kRegFilePosters, QLatin1String(name), value);
}

void DigitsOnly(int& keyAscii) {
  if (keyAscii != 8 && (keyAscii < '0' || keyAscii > '9')) keyAscii = 0;
}

}  // namespace

void frmProgramOptions::CreateStoryBoardPage() {
  QWidget* page = picProgOptions[3];
  for (int i = 0; i < 7; ++i) {
    auto* caption = new ctl::Label(page);
    caption->setObjectName(QStringLiteral("Label1"));
    caption->SetCaption(QLatin1String(kFieldCaptions[i]));
    caption->SetBackStyle(0);
    caption->setGeometry(8, 10 + 28 * i, 160, 20);
    auto* field = new ctl::TextBox(page);
    field->setObjectName(QStringLiteral("Text1"));
    field->setGeometry(170, 8 + 28 * i, 60, 22);
    field->KeyPress = DigitsOnly;
    field->GotFocus = [this, i] { Text1_GotFocus(static_cast<int16_t>(i)); };
    field->Validate = [this, i](bool& cancel) { cancel = !Text1_LostFocus(static_cast<int16_t>(i)); };
    Text1[i] = field;
  }
  for (int i = 0; i < 3; ++i) {
    auto* name = new ctl::Label(page);
    name->setObjectName(QStringLiteral("Label1"));
    name->SetCaption(QLatin1String(kColourCaptions[i]));
    name->SetBackStyle(0);
    name->setGeometry(250, 10 + 46 * i, 170, 18);
    auto* label = new ctl::Label(page);
    label->setObjectName(QStringLiteral("lblColourOption"));
    label->SetCaption(QStringLiteral("Double-click to change"));
    label->SetBackStyle(0);
    label->setGeometry(250, 28 + 46 * i, 180, 24);
    label->DblClick = [this, i] { lblColourOption_DblClick(static_cast<int16_t>(i)); };
    lblColourOption[i] = label;
  }
  auto* styles = new QButtonGroup(page);
  const char* const styleCaptions[] = {"Classic", "Modern*"};
  for (int i = 0; i < 2; ++i) {
    optPosterStyle[i] = new QRadioButton(QLatin1String(styleCaptions[i]), page);
    optPosterStyle[i]->setObjectName(QStringLiteral("optPosterStyle"));
    optPosterStyle[i]->setGeometry(250 + 90 * i, 160, 88, 20);
    styles->addButton(optPosterStyle[i]);
    connect(optPosterStyle[i], &QRadioButton::clicked, this, [this, i] { optPosterStyle_Click(static_cast<int16_t>(i)); });
  }
  auto* note = new ctl::Label(page);
  note->setObjectName(QStringLiteral("Label1"));
  note->SetCaption(QStringLiteral("* Detail/Layout/Fonts and Colours do not apply"));
  note->SetWordWrap(true);
  note->SetBackStyle(0);
  note->setGeometry(250, 184, 180, 36);
  lblSaveDir = new ctl::Label(page);
  lblSaveDir->setObjectName(QStringLiteral("lblSaveDir"));
  lblSaveDir->SetWordWrap(true);
  lblSaveDir->SetBackStyle(0);
  lblSaveDir->setGeometry(8, 220, 420, 40);
}

void frmProgramOptions::CreateCarouselPage() {
  CarouselOptions = new ucCarouselOptionsPanel(picProgOptions[4]);
  CarouselOptions->setObjectName(QStringLiteral("CarouselOptions"));
  CarouselOptions->setGeometry(picProgOptions[4]->contentsRect());
}

// Made by the load's second step, before any page is filled.
void frmProgramOptions::CreateCarouselSliders() {
  const int16_t entries = Main.CarouselEntries ? Main.CarouselEntries() : 11;
  const int16_t increments = Main.ScrollIncrements ? Main.ScrollIncrements() : 10;
  CarouselEntriesSlider = std::make_shared<cwSlider>();
  CarouselEntriesSlider->Init(180, 24, QStringLiteral("Less"), QStringLiteral("More"),
                              QStringLiteral("Number of Carousel Images"), 4, 8, 1, entries / 2);
  CarouselSmoothnessSlider = std::make_shared<cwSlider>();
  CarouselSmoothnessSlider->Init(180, 24, QStringLiteral("Less"), QStringLiteral("More"),
                                 QStringLiteral("Animation Smoothness"), 6, 20, 1, increments);
  CarouselOptions->Widgets().Add(CarouselEntriesSlider, QStringLiteral("CarouselEntriesSlider"), 30, 30, 180, 38);
  CarouselOptions->Widgets().Add(CarouselSmoothnessSlider, QStringLiteral("CarouselSmoothnessSlider"), 30, 90, 180, 38);
  CarouselEntriesSlider->ValueChanged = [this](double value) { CarouselEntriesSlider_ValueChanged(value); };
  CarouselSmoothnessSlider->ValueChanged = [this](double value) { CarouselSmoothnessSlider_ValueChanged(value); };
}

void frmProgramOptions::LoadStoryBoardPage() {
  lblSaveDir->SetCaption(QStringLiteral("Files saved as '") + gTempFolder + QStringLiteral("Story Board.jpg'"));
  for (int i = 0; i < 7; ++i) Text1[i]->SetText(QString::number(Posters(kFieldSettings[i])));
  const QString font = modRegistry::GetSettingText(kRegFilePosters, QStringLiteral("CaptionFont"));
  const int32_t size = Posters("CaptionSize");
  for (int i = 0; i < 3; ++i) {
    lblColourOption[i]->SetFontName(font);
    lblColourOption[i]->SetFontSize(size);
    lblColourOption[i]->SetForeColor(static_cast<COLORREF>(Posters(kColourSettings[i])));
  }
  const int32_t style = Posters("StoryBoardStyle");
  if (style == 0 || style == 1) optPosterStyle[style]->setChecked(true);
}

// A field never left before DONE gets the leaving rules first; one that
// still cannot be read keeps its stored value.
void frmProgramOptions::SaveStoryBoardPage() {
  for (int i = 0; i < 7; ++i) {
    Text1_LostFocus(static_cast<int16_t>(i));
    bool ok = false;
    const int value = Text1[i]->Text().toShort(&ok);
    SavePosters(kFieldSettings[i], ok ? value : Posters(kFieldSettings[i]));
  }
  const QFont font = lblColourOption[0]->font();
  SavePosters("CaptionSize", static_cast<int32_t>(RoundHalfEven(font.pointSizeF())));
  SavePosters("CaptionFont", font.family());
  for (int i = 0; i < 3; ++i) SavePosters(kColourSettings[i], static_cast<int32_t>(lblColourOption[i]->ForeColor()));
  SavePosters("StoryBoardStyle", gPosterStyle);
}

void frmProgramOptions::Text1_GotFocus(int16_t Index) { text1Remembered_[Index] = Text1[Index]->Text(); }

bool frmProgramOptions::Text1_LostFocus(int16_t Index) {
  ctl::TextBox* field = Text1[Index];
  bool ok = false;
  const short value = field->Text().toShort(&ok);
  if (!ok) {
    field->SetText(text1Remembered_[Index].isEmpty() ? QString::number(Posters(kFieldSettings[Index]))
                                                     : text1Remembered_[Index]);
    if (isVisible()) field->setFocus();
    return false;
  }
  if (Index <= 3 && value == 0) field->SetText(QStringLiteral("1"));
  return true;
}

void frmProgramOptions::lblColourOption_DblClick(int16_t Index) {
  if (!gDialogs) return;
  ctl::Label* chosen = lblColourOption[Index];
  if (!gDialogs->blnChooseFont(chosen->font(), chosen->ForeColor())) return;
  QFont font(gDialogs->strFontFaceName());
  font.setPointSizeF(gDialogs->lngFontSize() < 17 ? gDialogs->lngFontSize() : kLargestCaptionSize);
  font.setBold(gDialogs->blnIsFontBold());
  font.setItalic(gDialogs->blnIsFontItalic());
  chosen->SetForeColor(gDialogs->lngFontColor());
  for (ctl::Label* label : lblColourOption) label->setFont(font);
}

void frmProgramOptions::optPosterStyle_Click(int16_t Index) { gPosterStyle = Index; }

void frmProgramOptions::CarouselEntriesSlider_ValueChanged(double Value) {
  const int16_t entries = static_cast<int16_t>(2 * RoundHalfEven(Value) + 1);
  if (!Main.CarouselEntries || !Main.SetCarouselEntries) return;
  if (Main.CarouselEntries() != entries) Main.SetCarouselEntries(entries);
}

void frmProgramOptions::CarouselSmoothnessSlider_ValueChanged(double Value) {
  if (Main.SetScrollIncrements) Main.SetScrollIncrements(static_cast<int16_t>(RoundHalfEven(Value)));
}
