#include "platform/WindowSystemQueue.h"

#include "platform/Contract.h"

#include <QGuiApplication>

#include <dlfcn.h>

namespace WindowSystemQueue {

namespace {

// The peeker is called with each event not yet handled, oldest first, until
// it answers true.
using Peeker = bool (*)(xcb_generic_event_t* event, void* data);
using PeekQueue = bool (*)(Peeker peeker, void* data, int options, int peekerId);

PeekQueue QueueLook() {
  static const PeekQueue look = []() -> PeekQueue {
    void* library = dlopen("libQt6XcbQpa.so.6", RTLD_LAZY | RTLD_NOLOAD);
    if (!library) return nullptr;
    return reinterpret_cast<PeekQueue>(dlsym(library,
                                             "_ZN19QXcbNativeInterface14peekEventQueueEPFbP19xcb_generic_event_tPvES2_"
                                             "6QFlagsIN14QXcbEventQueue10PeekOptionEEi"));
  }();
  return look;
}

}  // namespace

xcb_connection_t* XConnection() {
  if (QGuiApplication::platformName() != QLatin1String("xcb")) return nullptr;
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  return x11 ? x11->connection() : nullptr;
}

bool Holds(const std::function<bool(const xcb_generic_event_t& event)>& match) {
  if (!contract::OnUiThread() || !XConnection() || !QueueLook()) return false;
  return QueueLook()(
      [](xcb_generic_event_t* event, void* data) {
        return (*static_cast<const std::function<bool(const xcb_generic_event_t&)>*>(data))(*event);
      },
      const_cast<std::function<bool(const xcb_generic_event_t&)>*>(&match), 0, -1);
}

}  // namespace WindowSystemQueue
