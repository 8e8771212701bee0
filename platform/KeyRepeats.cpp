#include "platform/KeyRepeats.h"

#include <QTimer>

namespace {

// The window system's times wrap after 49 days of its running.
bool Before(uint32_t a, uint32_t b) { return static_cast<int32_t>(a - b) < 0; }

}  // namespace

bool KeyRepeats::Acts(const QKeyEvent& press) {
  const auto made = static_cast<uint32_t>(press.timestamp());
  if (pending_ && pending_->key == press.key() && pending_->made == made) {
    pending_->repeat = true;
    return false;
  }
  if (!press.isAutoRepeat()) {
    pressedKey_ = press.key();
    pressedAt_ = made;
  } else if (stepEnded_ && Before(made, stepEnd_)) {
    return false;
  }
  stepEnded_ = false;
  stepStart_ = made;
  started_ = std::chrono::steady_clock::now();
  return true;
}

void KeyRepeats::Done() {
  const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started_);
  stepEnd_ = stepStart_ + static_cast<uint32_t>(took.count());
  stepEnded_ = true;
}

void KeyRepeats::Released(const QKeyEvent& release, QObject* context, std::function<void()> act) {
  if (release.isAutoRepeat()) return;
  const auto made = static_cast<uint32_t>(release.timestamp());
  if (release.key() != pressedKey_ || Before(made - kTapMs, pressedAt_)) {
    act();
    return;
  }
  pending_ = std::make_shared<Pending>(Pending{release.key(), made, false});
  QTimer::singleShot(kPairMs, context, [pending = pending_, act = std::move(act)] {
    if (!pending->repeat) act();
  });
}
