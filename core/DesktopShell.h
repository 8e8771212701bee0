#pragma once
// The desktop's services for documents: opening a file with its default
// application or a chosen one, listing the applications for a file's type,
// and the desktop's own Open-With chooser and properties window where it has
// them. The program reaches them through one replaceable object, so tests can
// stand in for the desktop and never start an application.
#include <QString>

#include <memory>
#include <vector>

// Results of a launch in the shell's terms: 33 or more is success; below that,
// the code of the cause (texts in modLaunchDoc::ShellErrorText).
inline constexpr int kShellLaunched = 42;
inline constexpr int kShellUnknownError = 0;
inline constexpr int SE_ERR_FNF = 2;
inline constexpr int SE_ERR_PNF = 3;
inline constexpr int SE_ERR_ACCESSDENIED = 5;
inline constexpr int SE_ERR_OOM = 8;
inline constexpr int SE_ERR_ASSOCINCOMPLETE = 27;
inline constexpr int SE_ERR_NOASSOC = 31;

struct DesktopApp {
  QString id;    // the desktop file's id, e.g. "org.videolan.VLC.desktop"
  QString name;  // the name to show
};

class DesktopShell {
 public:
  virtual ~DesktopShell() = default;
  // Opens `path` with the default application of its type.
  virtual int OpenWithDefault(const QString& path) = 0;
  // Opens `path` with the application `appId`.
  virtual int OpenWith(const QString& appId, const QString& path) = 0;
  // Applications registered for the type of `path`, the default first.
  virtual std::vector<DesktopApp> AppsFor(const QString& path) = 0;
  // The desktop's own Open-With chooser; false when the desktop has none.
  virtual bool ShowOpenWithChooser(const QString& path) = 0;
  // The desktop's own properties window; false when the desktop has none.
  virtual bool ShowProperties(const QString& path) = 0;
  // Opens a web address in the desktop's browser. A shell that only knows
  // files is handed the address as a document.
  virtual int OpenUrl(const QString& url) { return OpenWithDefault(url); }
  // Shows the file selected in the desktop's file manager; a shell without
  // one opens the file's folder with the folder's default application.
  // False when neither happened.
  virtual bool ShowItemInFolder(const QString& path) { return OpenWithDefault(FolderOf(path)) >= 33; }

 protected:
  // The folder holding `path`, ending in "/".
  static QString FolderOf(const QString& path);
};

// The desktop shell in use: the system's (GIO and D-Bus) unless replaced.
DesktopShell& TheDesktopShell();
// Replaces it (nullptr restores the system's); returns the previous one.
std::unique_ptr<DesktopShell> SetDesktopShell(std::unique_ptr<DesktopShell> shell);
// The system's desktop shell.
std::unique_ptr<DesktopShell> MakeSystemDesktopShell();
