#pragma once
// The poster window: the 1250 x 800 poster, built while the window loads (in
// the constructor) and shown modally, over the strip with its "Quit" button;
// "Quit" or closing unloads it.
#include <QDialog>
#include <QPointer>

#include <memory>

class cFilePosterArt;
class QFrame;
class QPushButton;

class frmFilePosterArt : public QDialog {
 public:
  explicit frmFilePosterArt(QWidget* owner = nullptr);
  ~frmFilePosterArt() override;

  QFrame* framePlayer = nullptr;
  QPushButton* cmdClose = nullptr;

  void cmdClose_Click();
  cFilePosterArt* Poster() const { return poster_.get(); }
  // False when the poster was refused (offline, missing or frameless file).
  bool Built() const { return built_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void Form_Load();

  std::unique_ptr<cFilePosterArt> poster_;
  bool built_ = false;
  bool unloading_ = false;
};

extern QPointer<frmFilePosterArt> gFilePosterArtForm;
