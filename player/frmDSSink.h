#pragma once
// The full-screen player window. A least version until the player is built:
// it has no queue to play, so shown, it closes again at once, as it does when
// playback ends.
#include <QWidget>

class frmDSSink : public QWidget {
 public:
  frmDSSink();

 protected:
  void showEvent(QShowEvent* event) override;
};
