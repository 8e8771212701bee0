// The system's desktop shell: GIO for content types, applications and
// launching; D-Bus for the desktop's own chooser (the document portal's
// OpenFile with "ask") and properties window (org.freedesktop.FileManager1).
//
// GIO comes before any Qt header: Qt defines "signals" as a macro, and GIO
// uses the word as a name.
#include <gio/gio.h>
#include <gio/gunixfdlist.h>

#include "core/DesktopShell.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kDbusTimeoutMs = 5000;

template <typename T>
struct GObjectPtr {
  T* p = nullptr;
  explicit GObjectPtr(T* object) : p(object) {}
  ~GObjectPtr() {
    if (p) g_object_unref(p);
  }
  GObjectPtr(const GObjectPtr&) = delete;
  GObjectPtr& operator=(const GObjectPtr&) = delete;
  explicit operator bool() const { return p != nullptr; }
};

struct ErrorPtr {
  GError* p = nullptr;
  ~ErrorPtr() {
    if (p) g_error_free(p);
  }
};

QByteArray NativePath(const QString& path) { return QFile::encodeName(QFileInfo(path).absoluteFilePath()); }

QString ContentTypeOf(const QString& path) {
  GObjectPtr<GFile> file(g_file_new_for_path(NativePath(path).constData()));
  GObjectPtr<GFileInfo> info(g_file_query_info(file.p, G_FILE_ATTRIBUTE_STANDARD_CONTENT_TYPE,
                                               G_FILE_QUERY_INFO_NONE, nullptr, nullptr));
  if (!info) return QString();
  const char* type = g_file_info_get_content_type(info.p);
  return type ? QString::fromUtf8(type) : QString();
}

int CodeForError(const GError* error) {
  if (!error) return kShellLaunched;
  if (error->domain == G_IO_ERROR) {
    switch (error->code) {
      case G_IO_ERROR_NOT_FOUND: return SE_ERR_FNF;
      case G_IO_ERROR_PERMISSION_DENIED: return SE_ERR_ACCESSDENIED;
      case G_IO_ERROR_NOT_SUPPORTED: return SE_ERR_NOASSOC;
      default: return kShellUnknownError;
    }
  }
  if (error->domain == G_SPAWN_ERROR) {
    switch (error->code) {
      case G_SPAWN_ERROR_NOMEM: return SE_ERR_OOM;
      case G_SPAWN_ERROR_ACCES:
      case G_SPAWN_ERROR_PERM: return SE_ERR_ACCESSDENIED;
      default: return SE_ERR_ASSOCINCOMPLETE;  // the application's program is missing or broken
    }
  }
  return kShellUnknownError;
}

int Launch(GAppInfo* app, const QString& path) {
  GObjectPtr<GFile> file(g_file_new_for_path(NativePath(path).constData()));
  GList* files = g_list_append(nullptr, file.p);
  ErrorPtr error;
  g_app_info_launch(app, files, nullptr, &error.p);
  g_list_free(files);
  return CodeForError(error.p);
}

// The session bus, when one is reachable without starting one.
GDBusConnection* SessionBus() {
  const bool address = !qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS");
  const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (!address && (runtime.isEmpty() || !QFileInfo::exists(runtime + QStringLiteral("/bus")))) return nullptr;
  return g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
}

class GioDesktopShell : public DesktopShell {
 public:
  int OpenWithDefault(const QString& path) override {
    const QString type = ContentTypeOf(path);
    if (type.isEmpty()) return SE_ERR_FNF;
    GObjectPtr<GAppInfo> app(g_app_info_get_default_for_type(type.toUtf8().constData(), FALSE));
    return app ? Launch(app.p, path) : SE_ERR_NOASSOC;
  }

  int OpenUrl(const QString& url) override {
    ErrorPtr error;
    g_app_info_launch_default_for_uri(url.toUtf8().constData(), nullptr, &error.p);
    return CodeForError(error.p);
  }

  int OpenWith(const QString& appId, const QString& path) override {
    GList* apps = g_app_info_get_all_for_type(ContentTypeOf(path).toUtf8().constData());
    int code = SE_ERR_NOASSOC;
    for (GList* item = apps; item; item = item->next) {
      GAppInfo* app = G_APP_INFO(item->data);
      if (QString::fromUtf8(g_app_info_get_id(app)) == appId) {
        code = Launch(app, path);
        break;
      }
    }
    g_list_free_full(apps, g_object_unref);
    return code;
  }

  std::vector<DesktopApp> AppsFor(const QString& path) override {
    std::vector<DesktopApp> result;
    const QString type = ContentTypeOf(path);
    if (type.isEmpty()) return result;
    GObjectPtr<GAppInfo> preferred(g_app_info_get_default_for_type(type.toUtf8().constData(), FALSE));
    GList* apps = g_app_info_get_all_for_type(type.toUtf8().constData());
    for (GList* item = apps; item; item = item->next) {
      GAppInfo* app = G_APP_INFO(item->data);
      const char* id = g_app_info_get_id(app);
      if (!id || !g_app_info_should_show(app)) continue;
      const DesktopApp entry{QString::fromUtf8(id), QString::fromUtf8(g_app_info_get_display_name(app))};
      const bool isDefault = preferred && g_app_info_equal(app, preferred.p);
      result.insert(isDefault ? result.begin() : result.end(), entry);
    }
    g_list_free_full(apps, g_object_unref);
    return result;
  }

  bool ShowOpenWithChooser(const QString& path) override {
    GObjectPtr<GDBusConnection> bus(SessionBus());
    if (!bus) return false;
    const int fd = ::open(NativePath(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    GObjectPtr<GUnixFDList> fds(g_unix_fd_list_new());
    const int handle = g_unix_fd_list_append(fds.p, fd, nullptr);
    ::close(fd);
    if (handle < 0) return false;
    GVariantBuilder options;
    g_variant_builder_init(&options, G_VARIANT_TYPE_VARDICT);
    g_variant_builder_add(&options, "{sv}", "ask", g_variant_new_boolean(TRUE));
    GVariant* reply = g_dbus_connection_call_with_unix_fd_list_sync(
        bus.p, "org.freedesktop.portal.Desktop", "/org/freedesktop/portal/desktop", "org.freedesktop.portal.OpenURI",
        "OpenFile", g_variant_new("(sha{sv})", "", handle, &options), G_VARIANT_TYPE("(o)"),
        G_DBUS_CALL_FLAGS_NONE, kDbusTimeoutMs, fds.p, nullptr, nullptr, nullptr);
    if (!reply) return false;
    g_variant_unref(reply);
    return true;
  }

  // org.freedesktop.FileManager1.ShowItems with the file's URI, else the
  // folder opened with its default application; no shell command is run.
  bool ShowItemInFolder(const QString& path) override {
    if (CallFileManager("ShowItems", path)) return true;
    return DesktopShell::ShowItemInFolder(path);
  }

  bool ShowProperties(const QString& path) override { return CallFileManager("ShowItemProperties", path); }

 private:
  // A FileManager1 method with the file's URI; false when no file manager
  // answered.
  static bool CallFileManager(const char* method, const QString& path) {
    GObjectPtr<GDBusConnection> bus(SessionBus());
    if (!bus) return false;
    gchar* uri = g_filename_to_uri(NativePath(path).constData(), nullptr, nullptr);
    if (!uri) return false;
    GVariantBuilder uris;
    g_variant_builder_init(&uris, G_VARIANT_TYPE("as"));
    g_variant_builder_add(&uris, "s", uri);
    g_free(uri);
    GVariant* reply = g_dbus_connection_call_sync(
        bus.p, "org.freedesktop.FileManager1", "/org/freedesktop/FileManager1", "org.freedesktop.FileManager1",
        method, g_variant_new("(ass)", &uris, ""), nullptr, G_DBUS_CALL_FLAGS_NONE, kDbusTimeoutMs,
        nullptr, nullptr);
    if (!reply) return false;
    g_variant_unref(reply);
    return true;
  }
};

}  // namespace

std::unique_ptr<DesktopShell> MakeSystemDesktopShell() { return std::make_unique<GioDesktopShell>(); }
