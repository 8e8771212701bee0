#include "platform/QueuedClose.h"

#include "platform/Contract.h"
#include "platform/QuitRequest.h"
#include "platform/WindowSystemQueue.h"

#include <QPointer>
#include <QWindow>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace QueuedClose {

namespace {

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
  const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
      xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 1, static_cast<uint16_t>(std::strlen(name)), name),
                            nullptr),
      &std::free);
  return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

// The key codes that give Q on the keyboard's map.
std::vector<xcb_keycode_t> KeysOfQ(xcb_connection_t* connection) {
  const xcb_setup_t* setup = xcb_get_setup(connection);
  const int count = setup->max_keycode - setup->min_keycode + 1;
  const std::unique_ptr<xcb_get_keyboard_mapping_reply_t, decltype(&std::free)> map(
      xcb_get_keyboard_mapping_reply(
          connection, xcb_get_keyboard_mapping(connection, setup->min_keycode, static_cast<uint8_t>(count)), nullptr),
      &std::free);
  std::vector<xcb_keycode_t> keys;
  if (!map) return keys;
  const xcb_keysym_t* symbols = xcb_get_keyboard_mapping_keysyms(map.get());
  const int perKey = map->keysyms_per_keycode;
  for (int k = 0; k < count; ++k) {
    for (int column = 0; column < std::min(perKey, 2); ++column) {
      const xcb_keysym_t symbol = symbols[k * perKey + column];
      if (symbol == 'q' || symbol == 'Q') keys.push_back(static_cast<xcb_keycode_t>(setup->min_keycode + k));
    }
  }
  return keys;
}

// What a request looks like in the queue of the program's X connection.
struct XRequests {
  xcb_window_t mainWindow = 0;
  xcb_atom_t protocols = XCB_ATOM_NONE;
  xcb_atom_t deleteWindow = XCB_ATOM_NONE;
  std::vector<xcb_keycode_t> keysOfQ;

  bool Matches(const xcb_generic_event_t& event) const {
    switch (event.response_type & 0x7f) {
      case XCB_CLIENT_MESSAGE: {
        const auto* message = reinterpret_cast<const xcb_client_message_event_t*>(&event);
        return message->window == mainWindow && message->type == protocols && message->format == 32 &&
               message->data.data32[0] == deleteWindow;
      }
      case XCB_KEY_PRESS: {
        const auto* key = reinterpret_cast<const xcb_key_press_event_t*>(&event);
        constexpr uint16_t kChord = XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4;
        return (key->state & kChord) == XCB_MOD_MASK_CONTROL &&
               std::find(keysOfQ.begin(), keysOfQ.end(), key->detail) != keysOfQ.end();
      }
      default:
        return false;
    }
  }
};

struct State {
  QPointer<QWidget> mainWindow;
  std::function<void()> close;
  std::unique_ptr<XRequests> x;  // made at the first look on X
};

State& Current() {
  static State state;
  return state;
}

const XRequests* Requests() {
  State& state = Current();
  if (!state.mainWindow || !state.mainWindow->windowHandle()) return nullptr;
  if (!state.x) {
    xcb_connection_t* connection = WindowSystemQueue::XConnection();
    if (!connection) return nullptr;
    state.x = std::make_unique<XRequests>();
    state.x->protocols = Atom(connection, "WM_PROTOCOLS");
    state.x->deleteWindow = Atom(connection, "WM_DELETE_WINDOW");
    state.x->keysOfQ = KeysOfQ(connection);
  }
  state.x->mainWindow = static_cast<xcb_window_t>(state.mainWindow->windowHandle()->winId());
  return state.x.get();
}

}  // namespace

void Set(QWidget* mainWindow, std::function<void()> close) {
  State& state = Current();
  state.mainWindow = mainWindow;
  state.close = std::move(close);
}

bool Waiting() {
  if (!contract::OnUiThread()) return false;
  const XRequests* requests = Requests();
  return requests && WindowSystemQueue::Holds([requests](const xcb_generic_event_t& event) {
           return requests->Matches(event);
         });
}

void Look() {
  State& state = Current();
  if (!state.close || QuitRequest::Requested() || !Waiting()) return;
  // A copy: the call may replace the hook.
  const std::function<void()> close = state.close;
  close();
}

}  // namespace QueuedClose
