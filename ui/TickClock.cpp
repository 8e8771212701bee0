#include "ui/TickClock.h"

#include <QTimer>

namespace {

class QtTickClock : public TickClock {
 public:
  void Start(int intervalMs, std::function<void()> tick) override {
    timer_.disconnect();
    QObject::connect(&timer_, &QTimer::timeout, std::move(tick));
    timer_.start(intervalMs);
  }
  void Stop() override { timer_.stop(); }

 private:
  QTimer timer_;
};

}  // namespace

std::unique_ptr<TickClock> NewQtTickClock() { return std::make_unique<QtTickClock>(); }
