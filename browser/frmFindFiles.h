#pragma once
// The Find dialog ("Find Files"): a text to look for, where to look (file
// names, titles and aliases, descriptions), whether to search only the
// current results, and a name under which to keep the search as a saved
// search of the library tree. SEARCH builds the one search step
// "|_?" (or "|+?" within the results), the look-in flags ("123" with "F",
// "A", "D" put in for the ticked options), ":" and the text, and runs it.
//
// What it opens for is gFindFilesMode: empty for a plain search, "SAVE" to
// make a saved search, else the view spec of the saved search it edits (the
// tree's selected node), which SEARCH replaces by the edited one.
#include "platform/ColorRef.h"

#include <QImage>
#include <QString>
#include <QWidget>

#include <functional>

class QCheckBox;
class QLabel;
class QPushButton;
namespace ctl {
class Label;
class TextBox;
}  // namespace ctl

// The dialog's banner picture, as the colour scheme leaves it; the dialog
// takes the "SEARCH_BANNER" resource while none is set.
extern QImage gSearchBanner;

// A rectangle with a border colour and a fill colour (the dialog's "Edge"
// strip and "Border" frame, which the colour scheme paints).
class FormShape : public QWidget {
 public:
  explicit FormShape(QWidget* parent) : QWidget(parent) {}
  COLORREF BorderColor() const { return border_; }
  void SetBorderColor(COLORREF colour);
  COLORREF FillColor() const { return fill_; }
  void SetFillColor(COLORREF colour);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  COLORREF border_ = 0;
  COLORREF fill_ = 0;
};

class frmFindFiles : public QWidget {
 public:
  frmFindFiles();
  ~frmFindFiles() override;

  QLabel* Image1;
  ctl::Label* Caption;
  FormShape* Edge;
  FormShape* Border;
  ctl::TextBox* txtSearchExpression;
  QCheckBox* chkSearchFileNames;
  QCheckBox* chkSearchAliases;
  QCheckBox* chkSearchDescriptions;
  QCheckBox* chkSearchInResults;
  QCheckBox* chkSaveSearch;
  ctl::TextBox* txtSearchName;
  ctl::TextBox* txtSearchFeedback;
  ctl::Label* lblFind;
  ctl::Label* lblCancel;
  // The keyboard's default (Enter) and cancel (Esc) buttons.
  QPushButton* Command1;
  QPushButton* Command2;

  void lblFind_Click();
  void lblCancel_Click();
  void Command1_Click() { lblFind_Click(); }
  void Command2_Click() { lblCancel_Click(); }
  void chkSaveSearch_Click();
  void txtSearchExpression_GotFocus();

  // "123" with "F", "A", "D" in place of the ticked options' digits.
  QString LookInFlags() const;

 protected:
  void showEvent(QShowEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void CreateControls();
  void CreateOptions();
  void Form_Load();
  void ColourControls();
  void Form_Activate();
  // Keeps the search under its name: a new saved search, or in edit mode
  // the edited one replaced.
  void SaveSearch(const QString& spec);
  void ReplaceSavedSearch(const QString& spec, const QString& name);
  // Runs one step of SEARCH; false, having told the user, when it failed
  // in a way that ends the click.
  bool SearchStep(const std::function<void()>& step);
  void Refuse(const QString& text, const QString& title);

  // The tree key of the saved search being edited (edit mode).
  QString editedKey_;
  bool activated_ = false;
  QImage gradient_;
};
