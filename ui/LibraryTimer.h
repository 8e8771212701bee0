#pragma once
// A timer of the widget kit: while enabled it raises its Timer event every
// Interval milliseconds on the user-interface thread.
#include <QObject>
#include <QTimer>

#include <functional>

class LibraryTimer : public QObject {
  Q_OBJECT

 public:
  LibraryTimer(int intervalMs, bool enabled);

  int Interval() const { return timer_.interval(); }
  // A new interval restarts the count of a running timer.
  void SetInterval(int intervalMs);
  bool Enabled() const { return timer_.isActive(); }
  void SetEnabled(bool enabled);

  // The Timer event; a failure inside it is reported, never passed to Qt.
  std::function<void()> Timer;

 private:
  void Tick();
  QTimer timer_;
};
