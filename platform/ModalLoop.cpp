#include "platform/ModalLoop.h"

#include <QEvent>
#include <QEventLoop>

#include <optional>

namespace ModalLoop {

namespace {

// Ends the loop when its window is hidden by the program (a window the
// window system hides, as when it is minimised, is still waited for) or,
// when `closed`, asked to close.
class EndWatch : public QObject {
 public:
  EndWatch(QWidget& window, QEventLoop& loop, bool closed) : loop_(loop), closed_(closed) {
    window.installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if ((event->type() == QEvent::Hide && !event->spontaneous()) || (closed_ && event->type() == QEvent::Close)) {
      loop_.quit();
    }
    return false;
  }

 private:
  QEventLoop& loop_;
  bool closed_;
};

}  // namespace

void Run(QWidget& window, Until until) {
  if (until != Until::Destroyed && !window.isVisible()) return;
  QEventLoop loop;
  QObject::connect(&window, &QObject::destroyed, &loop, &QEventLoop::quit);
  std::optional<EndWatch> watch;
  if (until != Until::Destroyed) watch.emplace(window, loop, until == Until::Closed);
  loop.exec(QEventLoop::DialogExec);
}

}  // namespace ModalLoop
