#pragma once
// The form timer: Enabled and Interval (milliseconds) and the Timer event.
// Setting Enabled or Interval restarts the count; an interval of 0 never
// ticks. Each tick is an entry point from the event loop: an error the
// handler raises is reported in the program's message box.
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

namespace ctl {

class TimerControl : public QObject {
 public:
  explicit TimerControl(QObject* parent = nullptr);

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  int Interval() const { return interval_; }
  void SetInterval(int milliseconds);
  const QString& Tag() const { return tag_; }
  void SetTag(const QString& tag) { tag_ = tag; }

  std::function<void()> Timer;

 private:
  void Restart();
  void Tick();

  QTimer timer_;
  bool enabled_ = true;
  int interval_ = 0;
  QString tag_;
};

}  // namespace ctl
