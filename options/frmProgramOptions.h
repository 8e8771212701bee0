#pragma once
// The options dialog ("Program Options"): six pages stacked on each other,
// chosen with the column of page labels on the left, each with a short hint
// under its label. Page 1 holds the general settings, 2 the external
// applications, 3 the story-board layout, 4 the TV-Out sliders, 5 the library
// statistics and 6 the colour scheme. DONE writes the general and story-board
// settings; the colour scheme is saved by APPLY, which also recolours the
// whole program (ApplyColourScheme).
//
// The dialog loads when it is first shown (or when Load is called): callers
// set StartPage first. Start-up makes one without showing it, only to run
// ApplyColourScheme, which needs no loaded page, glass or open library.
#include "options/ColourSchemeModel.h"
#include "platform/ColorRef.h"

#include <QImage>
#include <QPixmap>
#include <QStringList>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QCheckBox;
class QComboBox;
class QPushButton;
class QRadioButton;
class QScrollBar;
class cwSlider;
class ucCarouselOptionsPanel;
namespace ctl {
class Label;
class ListItem;
class ListView;
class PictureBox;
class TextBox;
}  // namespace ctl

// The Normal, Hover and Down faces of one preview transport button.
struct MediaButtonFaces {
  QPixmap Normal;
  QPixmap Hover;
  QPixmap Down;
};
// One record per transport button, from index 1.
extern std::vector<MediaButtonFaces> gMediaButtons;
// The add-files dialog's banner as the colour scheme leaves it; empty until
// the first ApplyColourScheme.
extern QImage gAddFilesBanner;
// A skin picture as the last ApplyColourScheme recoloured it; the resource as
// compiled in before the first.
QImage SchemePicture(const QString& name, const QString& type);

// A line, rectangle or frame drawn in a border colour and a fill colour (the
// dialog's "Line1", "Shape1", "Edge" and "Border" shapes).
class OptionsShape : public QWidget {
 public:
  OptionsShape(QWidget* parent, const QString& name, bool filled);
  COLORREF BorderColor() const { return border_; }
  void SetBorderColor(COLORREF colour);
  COLORREF FillColor() const { return fill_; }
  void SetFillColor(COLORREF colour);
  // A line from (X1, Y1) to (X2, Y2) in the parent's pixels.
  void SetLine(int X1, int Y1, int X2, int Y2);
  int X1() const { return x1_; }
  int Y1() const { return y1_; }
  int X2() const { return x2_; }
  int Y2() const { return y2_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  bool filled_;
  bool line_ = false;
  int x1_ = 0, y1_ = 0, x2_ = 0, y2_ = 0;
  COLORREF border_ = 0;
  COLORREF fill_ = 0;
};

class frmProgramOptions : public QWidget {
 public:
  frmProgramOptions();
  ~frmProgramOptions() override;

  // The page the dialog opens on, 1 to 6 (0 opens page 1). Older callers
  // name it OptionGroup: both names are the same member.
  int16_t StartPage = 1;
  int16_t& OptionGroup = StartPage;

  // The load's steps; runs once, on the first show if not called before.
  void Load();
  bool Loaded() const { return loaded_; }

  // Page labels and pages, indexes 1 to 6.
  std::array<ctl::Label*, 7> lblOptionGroup{};
  std::array<ctl::PictureBox*, 7> picProgOptions{};
  ctl::Label* lblOptionGroupHint = nullptr;
  std::array<OptionsShape*, 4> Line1{};
  ctl::Label* lblDone = nullptr;
  QPushButton* cmdClose = nullptr;
  ctl::PictureBox* picOptionsIcon = nullptr;
  ctl::PictureBox* Image1 = nullptr;
  // The work picture every skin picture is recoloured in.
  QImage picTemp;

  // Page 1.
  QCheckBox* chkCompactDB = nullptr;
  QCheckBox* chkSendToTray = nullptr;
  std::array<QRadioButton*, 2> optInternalPlayer{};
  QCheckBox* chkStretchToScreen = nullptr;
  std::array<QRadioButton*, 3> optPlaylistFormat{};
  std::array<QRadioButton*, 3> optThumbnailPolicy{};
  QCheckBox* chkUseRecycleBin = nullptr;
  QCheckBox* chkIndicateOffline = nullptr;
  QCheckBox* chkTooltipAliases = nullptr;
  QCheckBox* chkBevelledThumbnails = nullptr;
  QCheckBox* chkTreeStyle = nullptr;
  QCheckBox* chkTipOfTheDay = nullptr;
  ctl::TextBox* txtThumbTimeOut = nullptr;
  ctl::TextBox* txtTooltipDelay = nullptr;
  std::array<ctl::Label*, 2> lblCursorColour{};

  // Page 2: entries 1 to 30 of gExternalApps, row n for entry n.
  ctl::ListView* lvExternalApps = nullptr;
  ctl::Label* lblExternalAppsHint = nullptr;
  // Writes entry n (1 to 30) to "ExternalApps.ini" and captions mnuApp(n).
  void SaveExternalApp(int n);
  void RefreshExternalAppsList();
  void lvExternalApps_ItemCheck(ctl::ListItem& item);
  void lvExternalApps_DblClick();
  // The list's text for a Contexts value; empty outside 0 to 7.
  static QString VisibilityText(int contexts);

  // Page 3.
  std::array<ctl::TextBox*, 7> Text1{};
  std::array<ctl::Label*, 3> lblColourOption{};
  std::array<QRadioButton*, 2> optPosterStyle{};
  ctl::Label* lblSaveDir = nullptr;

  // Page 4.
  ucCarouselOptionsPanel* CarouselOptions = nullptr;
  std::shared_ptr<cwSlider> CarouselEntriesSlider;
  std::shared_ptr<cwSlider> CarouselSmoothnessSlider;

  // Page 5.
  ctl::Label* lblLibraryInfo = nullptr;

  // Page 6: sliders 1 to 5 are Red, Green, Blue, Hue, Sat.
  std::array<QScrollBar*, 6> HScroll1{};
  QCheckBox* chkAdjRGB = nullptr;
  QCheckBox* chkAdjHLS = nullptr;
  std::array<ctl::Label*, 5> Caption{};
  QComboBox* cmbColourSchemes = nullptr;
  ctl::PictureBox* picPreview = nullptr;
  ctl::Label* lblApplyColours = nullptr;
  OptionsShape* Border11 = nullptr;

  // Events.
  void lblOptionGroup_Click(int16_t Index);
  void lblDone_Click();
  void cmdClose_Click() { lblDone_Click(); }
  void chkIndicateOffline_Click();
  void chkTreeStyle_Click();
  void optInternalPlayer_Click(int16_t Index);
  void optThumbnailPolicy_Click(int16_t Index);
  void txtThumbTimeOut_LostFocus();
  void txtTooltipDelay_LostFocus();
  void lblCursorColour_DblClick();
  void Text1_GotFocus(int16_t Index);
  // False when the text is put back and the focus returned to the field.
  bool Text1_LostFocus(int16_t Index);
  void lblColourOption_DblClick(int16_t Index);
  void optPosterStyle_Click(int16_t Index);
  void CarouselEntriesSlider_ValueChanged(double Value);
  void CarouselSmoothnessSlider_ValueChanged(double Value);
  void cmbColourSchemes_Click();
  void HScroll1_Change(int16_t Index);
  void chkAdjRGB_Click();
  void chkAdjHLS_Click();
  void Caption_Click(int16_t Index);
  void lblApplyColours_Click();

  // The scheme the colour page holds now (sliders and switches).
  ColourScheme CurrentScheme() const;
  // Renders the MPLAYER preview with the current scheme.
  void UpdateColourPreview();
  // Recolours picTemp in place with the page's scheme and returns it.
  QImage AdjustImageColours();
  // Paints the dialog in the scheme colours sampled from picTemp.
  void ColourOptionsForm();
  // The number of preview renders so far.
  int PreviewRenders() const { return previewRenders_; }

  // Recolours every skin picture from the resources with the saved scheme
  // (or the page's, once the dialog has loaded), sets the four scheme
  // colours from the recoloured "MPLAYER", and has the main window repaint
  // in them with its drawing held.
  void ApplyColourScheme();

  // The statistics report of page 5 for the open library.
  static QString LibraryStatistics();
  // Its two statements: the segment count, then the other counts.
  static QStringList LibraryStatisticsStatements();

  // What a new scheme repaints besides this window: the main window, which
  // paints its panes in the scheme colours. Start-up connects these hooks
  // (app/UpwardCalls.cpp).
  static std::function<void()> RepaintInScheme;
  // The window whose drawing ApplyColourScheme holds (the main window, while
  // there is one); empty or null: none.
  static std::function<QWidget*()> SchemeWindow;
  // What the dialog reaches in the main window and the carousel (both lie
  // above this layer).
  struct MainWindowHooks {
    // Runs one of the main window's commands ("mnuBrowserRefresh").
    std::function<void(const QString&)> MainToolbarHandler;
    // The delete menu's caption follows the recycle-bin setting.
    std::function<void(bool toRecycleBin)> SetDeleteMenu;
    // The results' cursor colour follows a new choice at once.
    std::function<void(COLORREF)> CursorColourChanged;
    std::function<int16_t()> CarouselEntries;
    // Sets the entries and rebuilds the ring around the current result.
    std::function<void(int16_t)> SetCarouselEntries;
    std::function<int16_t()> ScrollIncrements;
    std::function<void(int16_t)> SetScrollIncrements;
  };
  static MainWindowHooks Main;
  // What the external applications' page reaches in the main window's
  // menus.
  struct ExternalAppHooks {
    // frmReelwise.InitExternalAppMenus.
    std::function<void(const QString& fileName, int16_t context, bool toolsOnly)> InitExternalAppMenus;
    // The caption of mnuApp item n.
    std::function<void(int n, const QString& caption)> SetAppCaption;
  };
  static ExternalAppHooks ExternalApps;
  // Runs each ApplyColourScheme step under its name; tests replace it to
  // watch the order. Null: the steps run directly.
  static std::function<void(const char* step)> SchemeStepWatch;

 protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void CreateFrame();
  void CreateGeneralPage();
  void CreateExternalAppsPage();
  void LoadExternalAppsPage();
  void ColourExternalAppRow(ctl::ListItem& item);
  void CreateStoryBoardPage();
  void CreateCarouselPage();
  void CreateStatisticsPage();
  void CreateColourPage();
  void CreateCarouselSliders();
  void LoadColourPage();
  void LoadStoryBoardPage();
  void LoadGeneralPage();
  void SaveStoryBoardPage();
  void SaveGeneralPage();
  void SetBusy(bool busy);
  bool Busy() const;
  void ColourControls();
  void PaintCursorColour(COLORREF colour);

  bool loaded_ = false;
  int previewRenders_ = 0;
  QString text1Remembered_[7];
  QImage gradient_;
};
