#pragma once
// The poster window: the 1250 x 800 poster, built while the window loads (in
// the constructor) and shown modally, over the strip with its "Quit" button;
// "Quit" or closing unloads it. On a work area too small for it the window
// is smaller and shows the whole poster made smaller.
#include <QDialog>
#include <QPointer>
#include <QRect>

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
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Form_Load();
  void SizeWindow();
  QRect PosterRect() const;

  QWidget* quitStrip_ = nullptr;
  std::unique_ptr<cFilePosterArt> poster_;
  bool built_ = false;
  bool unloading_ = false;
};

extern QPointer<frmFilePosterArt> gFilePosterArtForm;
