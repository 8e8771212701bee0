// The display stays awake and the screen saver off while the program runs:
// the desktop's screen-saver inhibition (org.freedesktop.ScreenSaver) on the
// session bus, held until shut-down. Without a session bus nothing happens.
// GIO first: its headers use "signals" as a name, which Qt makes a keyword.
#include <gio/gio.h>

#include "core/modReelwise.h"

#include <QFileInfo>

namespace modReelwise {

namespace {

constexpr int kCallTimeoutMs = 1000;

struct Inhibition {
  GDBusConnection* bus = nullptr;
  guint32 cookie = 0;
  bool held = false;
};

Inhibition& State() {
  static Inhibition state;
  return state;
}

// The session bus's address, never one that would start a bus of its own.
QByteArray SessionBusAddress() {
  const QByteArray address = qgetenv("DBUS_SESSION_BUS_ADDRESS");
  if (!address.isEmpty()) return address.startsWith("autolaunch:") ? QByteArray() : address;
  const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  const QString socket = runtime + QStringLiteral("/bus");
  if (runtime.isEmpty() || !QFileInfo(socket).exists()) return QByteArray();
  return "unix:path=" + QFile::encodeName(socket);
}

GDBusConnection* Bus() {
  Inhibition& state = State();
  if (state.bus) return state.bus;
  const QByteArray address = SessionBusAddress();
  if (address.isEmpty()) return nullptr;
  GError* error = nullptr;
  state.bus = g_dbus_connection_new_for_address_sync(
      address.constData(),
      static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                        G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
      nullptr, nullptr, &error);
  if (error) g_error_free(error);
  return state.bus;
}

// Calls a method of the desktop's screen saver; the reply, or nullptr.
GVariant* CallScreenSaver(const char* method, GVariant* parameters, const GVariantType* replyType) {
  GDBusConnection* bus = Bus();
  if (!bus) {
    if (parameters) g_variant_unref(g_variant_ref_sink(parameters));
    return nullptr;
  }
  GError* error = nullptr;
  GVariant* reply = g_dbus_connection_call_sync(bus, "org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver",
                                                "org.freedesktop.ScreenSaver", method, parameters, replyType,
                                                G_DBUS_CALL_FLAGS_NO_AUTO_START, kCallTimeoutMs, nullptr, &error);
  if (error) g_error_free(error);
  return reply;
}

bool Inhibit() {
  Inhibition& state = State();
  if (state.held) return true;
  GVariant* reply = CallScreenSaver("Inhibit", g_variant_new("(ss)", "Reelwise II", "Cataloguing and playing videos"),
                                    G_VARIANT_TYPE("(u)"));
  if (!reply) return false;
  g_variant_get(reply, "(u)", &state.cookie);
  g_variant_unref(reply);
  state.held = true;
  return true;
}

bool Release() {
  Inhibition& state = State();
  bool released = false;
  if (state.held) {
    GVariant* reply = CallScreenSaver("UnInhibit", g_variant_new("(u)", state.cookie), nullptr);
    released = reply != nullptr;
    if (reply) g_variant_unref(reply);
    state.held = false;
  }
  // Closing the connection ends the inhibition in any case.
  if (state.bus) {
    g_dbus_connection_close_sync(state.bus, nullptr, nullptr);
    g_object_unref(state.bus);
    state.bus = nullptr;
  }
  return released;
}

}  // namespace

void KeepDisplayOn() { Inhibit(); }

bool SetScreenSaverActive(bool active) { return active ? Release() : Inhibit(); }

}  // namespace modReelwise
