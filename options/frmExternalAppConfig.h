#pragma once
// The window that edits one external application (entry AppIndex of
// gExternalApps) from the options dialog's page 2: its menu text, file
// extensions, program and command line, and the menus that offer it. In the
// command line, Up and Down cycle the selected placeholder through the ten
// the launcher knows.
#include <QPointer>
#include <QString>
#include <QWidget>

#include <array>
#include <cstdint>
#include <memory>

class QCheckBox;
class QPushButton;
class frmProgramOptions;
class OptionsShape;
namespace ctl {
class Label;
class TextBox;
}  // namespace ctl

// A window of its own: the options dialog that opened it only lends it the
// list whose ticks Done reads.
class frmExternalAppConfig : public QWidget {
 public:
  explicit frmExternalAppConfig(frmProgramOptions* options);
  ~frmExternalAppConfig() override;

  // The entry edited, 1 to 30; set before the window is shown.
  int16_t AppIndex = 0;

  // The placeholders in completion order, indices 0 to 9.
  static const std::array<QString, 10>& Placeholders();

  ctl::TextBox* txtMenuText = nullptr;
  ctl::TextBox* txtExtensions = nullptr;
  ctl::TextBox* txtPath = nullptr;
  ctl::TextBox* txtCommandLine = nullptr;
  // Boxes 1 "File Inspector", 2 "File Browser", 3 "Tools Menu".
  std::array<QCheckBox*, 4> chkContexts{};
  QPushButton* cmdDone = nullptr;
  QPushButton* cmdCancel = nullptr;
  QPushButton* Command3 = nullptr;
  ctl::Label* lblApply = nullptr;
  ctl::Label* lblCancel = nullptr;
  ctl::Label* Caption = nullptr;
  ctl::Label* lblHint = nullptr;
  OptionsShape* Edge = nullptr;

  // Fills the fields from the entry and colours the window; ShowModal runs it.
  void Load();
  // Shows the window and waits in a nested loop until it is unloaded.
  void ShowModal();
  void cmdDone_Click();
  void lblApply_Click() { cmdDone_Click(); }
  void cmdCancel_Click();
  void lblCancel_Click() { cmdCancel_Click(); }
  void Command3_Click();
  void txtCommandLine_KeyDown(int& keyCode, int shift);
  void txtCommandLine_KeyUp(int& keyCode, int shift);

  // The Contexts value of boxes 1 to 3 (1 inspector, 2 browser, 4 Tools).
  static int16_t ContextsFromBoxes(bool inspector, bool browser, bool tools);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void CreateControls();
  void ColourControls();
  void Unload();
  void SelectPairBeforeCaret();
  void SelectPlaceholderBeforeCaret();
  void SelectPlaceholderAfterCaret();
  void CyclePlaceholder(int step);
  void RecordSelection();

  QPointer<frmProgramOptions> options_;
  bool waiting_ = false;  // ShowModal is waiting for the window
  int placeholder_ = -1;
  int selStart_ = 0;
  int selLength_ = 0;
  QString selText_;
  bool typedGreater_ = false;
};

extern std::unique_ptr<frmExternalAppConfig> gExternalAppConfigForm;
