#include "browser/cToolTipHost.h"

#include "platform/DragController.h"
#include "ui/CairoObject.h"
#include "ui/modCairo.h"

#include <QApplication>
#include <QBitmap>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QRegion>

#include <dlfcn.h>
#include <xcb/xcb.h>

#include <exception>

namespace {

constexpr int kDelayMs = 100;
constexpr int kLifetimeMs = 10000;

// An open menu or a drag under way: a tip would lie over the menu, or ride
// along with the pointer as it carries a result away.
bool TipInTheWay() { return QApplication::activePopupWidget() || ctl::DragController::Instance().Dragging(); }

// The form or the timer may be the very object whose event is running (a
// tick, a pointer move over the form): the host lets go of it now, and it is
// deleted once control is back in the event loop.
template <typename T>
void ReleaseLater(std::shared_ptr<T>& object) {
  if (!object) return;
  // The keeper holds the object until the event loop deletes the keeper.
  auto* keeper = new QObject(QCoreApplication::instance());
  QObject::connect(keeper, &QObject::destroyed, [held = std::move(object)] {});
  keeper->deleteLater();
}

// A compositing manager on X11 owns the selection _NET_WM_CM_S<screen>.
// Without one a translucent window shows black where nothing is drawn. The
// X connection's functions are looked up in the library Qt's X11 platform
// has loaded; on any other platform there is no compositor to ask.
bool CompositorRunning() {
  if (QGuiApplication::platformName() != QLatin1String("xcb")) return false;
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
  void* xcb = connection ? dlopen("libxcb.so.1", RTLD_LAZY | RTLD_NOLOAD) : nullptr;
  if (!xcb) return false;
  auto intern = reinterpret_cast<decltype(&xcb_intern_atom)>(dlsym(xcb, "xcb_intern_atom"));
  auto internReply = reinterpret_cast<decltype(&xcb_intern_atom_reply)>(dlsym(xcb, "xcb_intern_atom_reply"));
  auto owner = reinterpret_cast<decltype(&xcb_get_selection_owner)>(dlsym(xcb, "xcb_get_selection_owner"));
  auto ownerReply =
      reinterpret_cast<decltype(&xcb_get_selection_owner_reply)>(dlsym(xcb, "xcb_get_selection_owner_reply"));
  bool running = false;
  if (intern && internReply && owner && ownerReply) {
    const QByteArray name = QByteArrayLiteral("_NET_WM_CM_S0");
    xcb_intern_atom_reply_t* atom = internReply(connection, intern(connection, 1, name.size(), name.constData()), nullptr);
    if (atom && atom->atom != XCB_ATOM_NONE) {
      xcb_get_selection_owner_reply_t* reply = ownerReply(connection, owner(connection, atom->atom), nullptr);
      running = reply && reply->owner != XCB_WINDOW_NONE;
      free(reply);
    }
    free(atom);
  }
  dlclose(xcb);
  return running;
}

}  // namespace

cToolTipHost::cToolTipHost() : tip_(std::make_shared<cwToolTip>()) {}

cToolTipHost::~cToolTipHost() { DestroyTip(); }

void cToolTipHost::Show(QWidget* id, int32_t x, int32_t y) {
  if (armed_ || TipInTheWay()) return;
  armed_ = true;
  shown_ = false;
  TipForm_ = modCairo::GetCairo()->WidgetForms().Create();
  cwTimer_ = TipForm_->WidgetRoot().NewTimer(kDelayMs, false);
  TipForm_->WidgetRoot().SetBackColour(-1);
  tip_ = TipForm_->Widgets().Add(tip_, QStringLiteral("Tooltip"), 0, 0, 100, 100, true, false);
  TipForm_->SetMouseMove([this](int b, int s, double fx, double fy) { TipForm_MouseMove(b, s, fx, fy); });
  cwTimer_->Timer = [this] { cwTimer_Timer(); };
  id_ = id;
  x_ = x;
  y_ = y;
  cwTimer_->SetInterval(kDelayMs);
  cwTimer_->SetEnabled(true);
}

void cToolTipHost::DestroyTip() {
  if (TipForm_) {
    TipForm_->Widgets().RemoveAll();
    TipForm_->SetMouseMove(nullptr);
    TipForm_->Close();
    ReleaseLater(TipForm_);
  }
  if (cwTimer_) {
    cwTimer_->SetEnabled(false);
    ReleaseLater(cwTimer_);
  }
  armed_ = false;
}

void cToolTipHost::cwTimer_Timer() {
  if (shown_) {
    DestroyTip();  // visible for its lifetime
    return;
  }
  if (TipInTheWay()) {
    DestroyTip();
    return;
  }
  try {
    ShowTip();
  } catch (...) {
    DestroyTip();  // a tip is not worth a message
  }
}

void cToolTipHost::ShowTip() {
  tip_->Initialise(id_, x_, y_);
  int32_t left = 0, top = 0, width = 0, height = 0;
  tip_->GetTipRect(left, top, width, height);
  TipForm_->Widgets().Item(QStringLiteral("Tooltip")).Move(0, 0, width, height);
  TipForm_->Move(left, top, width, height);
  ShapeToBalloon();
  // The tip lies beside the pointer, over the next results: a click that
  // arrives there together with the pointer (before the move has taken the
  // tip away) goes through it to the result it lands on. A window the
  // window manager frames would take the click in its frame: a tip's is
  // not framed.
  QWidget& window = *TipForm_->Window();
  window.setWindowFlags(window.windowFlags() | Qt::X11BypassWindowManagerHint | Qt::WindowTransparentForInput);
  // The lifetime starts before the form shows: showing it may run the event
  // loop, where the first tick must not come again.
  cwTimer_->SetInterval(kLifetimeMs);
  shown_ = true;
  TipForm_->Show(false, nullptr);
}

// Without a compositor the form is cut to what the tip draws (the balloon
// and its glow), so no dark rectangle shows around it.
void cToolTipHost::ShapeToBalloon() {
  if (CompositorRunning()) return;
  TipForm_->Window()->setMask(tip_->BalloonMask());
}

void cToolTipHost::TipForm_MouseMove(int, int, double, double) { DestroyTip(); }
