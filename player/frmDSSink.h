#pragma once
// The full-screen player window: frameless, covering the screen the main
// window lies on, it owns the player's video window while the play queue
// runs. Showing it starts the run; keys released in it (the video window
// passes its events here) become player commands, or, while keypad tagging
// is on, go to the tagging handler. The run unloads the window at its end.
#include "platform/KeyRepeats.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <deque>
#include <utility>
#include <vector>

class QTimer;

class frmDSSink : public QWidget {
 public:
  // `screenOf`: the window whose screen (by its centre) the player covers;
  // null takes the primary screen.
  explicit frmDSSink(QWidget* screenOf = nullptr);
  ~frmDSSink() override;

  // Runs the play queue once the window is shown (only once), then resumes
  // the carousel's music in carousel mode.
  void Form_Activate();
  // The key map: a key acts once, on release (Ctrl+Q on its press).
  void Form_KeyUp(int KeyCode, int Shift);
  // The player command of a key outside tagging; empty for a key that has none.
  static QString CommandForKey(int KeyCode);
  // Numpad 0 (or code 196) starts keypad tagging.
  static bool StartsTagging(int KeyCode);

  // ---- Keypad tagging (frmDSSink_tagging.cpp) ----
  // Numpad 0 (or 196) starts tagging; while it is on every key comes here.
  void HandleTaggingKey(int KeyCode, int Shift);
  // Looks the typed digits up (requery) or shows the current match again,
  // and fills the display's text.
  void FindT9Tags(bool requery);
  bool TaggingMode() const { return taggingMode_; }
  const QString& TypedDigits() const { return typedDigits_; }
  int32_t CurrentTagID() const { return currentTagID_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void CoverScreen();

  QPointer<QWidget> screenOf_;
  bool activated_ = false;
  KeyRepeats repeats_;

  // Keypad tagging state.
  struct T9Match {
    int32_t TagID = 0;
    QString Tag;
    QString T9Text;
  };
  bool taggingMode_ = false;
  QString typedDigits_;
  QString typedLetters_;
  QString currentTagKey_;  // "ID" & TagID of the match shown, empty when none
  int32_t currentTagID_ = 0;
  std::vector<T9Match> matches_;
  int matchIndex_ = 0;  // 0-based into matches_
  // After "No Matches" the digit is dropped 750 ms later; keys released
  // meanwhile wait and follow it in order.
  QTimer* dropTimer_ = nullptr;
  std::deque<std::pair<int, int>> waitingKeys_;
};

// The window while a run lasts, else null.
extern QPointer<frmDSSink> gDSSinkForm;
