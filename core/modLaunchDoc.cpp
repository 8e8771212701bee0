#include "core/modLaunchDoc.h"

#include "core/DesktopShell.h"
#include "core/frmFileProperties.h"
#include "core/frmOpenWith.h"
#include "core/ProgramMessage.h"
#include "core/modRegistry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

// What can be told before asking the desktop: a missing file or folder, or a
// file we may not read. 0 when the file can be handed on.
int CodeBeforeLaunch(const QString& path) {
  if (path.isEmpty()) return SE_ERR_FNF;
  const QFileInfo info(path);
  if (!info.exists()) return QFileInfo(info.absolutePath()).isDir() ? SE_ERR_FNF : SE_ERR_PNF;
  if (!info.isReadable()) return SE_ERR_ACCESSDENIED;
  return 0;
}

bool ConfirmDelete(const QString& path, bool toTrash) {
  const QString name = QFileInfo(path).fileName();
  const QString prompt = toTrash
                             ? QStringLiteral("Are you sure you want to move '%1' to the Trash?").arg(name)
                             : QStringLiteral("Are you sure you want to permanently delete '%1'?").arg(name);
  return ShowProgramMessage(prompt, vbYesNo | vbQuestion, QStringLiteral("Delete File")) == vbYes;
}

// The user's trash, made when missing. Checked first because Qt, when it cannot
// make this folder, moves the file into "files/" below the working folder.
bool EnsureHomeTrash() {
  const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  if (data.isEmpty()) return false;
  const QString trash = data + QStringLiteral("/Trash");
  const bool existed = QFileInfo(trash).isDir();
  if (!QDir().mkpath(trash + QStringLiteral("/files")) || !QDir().mkpath(trash + QStringLiteral("/info"))) return false;
  if (!existed) QFile::setPermissions(trash, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  return true;
}

// Moves the file to the trash or deletes it; on failure `reason` says why.
bool RemoveFile(const QString& path, bool toTrash, QString& reason) {
  QFile file(path);
  if (toTrash && !EnsureHomeTrash()) {
    reason = QStringLiteral("The Trash folder could not be created.");
    return false;
  }
  if (toTrash ? file.moveToTrash() : file.remove()) return true;
  reason = file.errorString();
  return false;
}

void ReportDeleteFailure(const QString& path, bool toTrash, const QString& reason) {
  const QString what = toTrash ? QStringLiteral("could not be moved to the Trash") : QStringLiteral("could not be deleted");
  ShowProgramMessage(QStringLiteral("The file\r\n%1\r\n%2:\r\n\r\n%3").arg(path, what, reason), vbExclamation,
                     QStringLiteral("Error Deleting File"));
}

}  // namespace

namespace modLaunchDoc {

QString ShellErrorText(int code) {
  switch (code) {
    case 2: return QStringLiteral("File not found");
    case 3: return QStringLiteral("Path not found");
    case 5: return QStringLiteral("Access denied");
    case 8: return QStringLiteral("Out of memory");
    case 11: return QStringLiteral("Invalid EXE file or error in EXE image");
    case 26: return QStringLiteral("A sharing violation occurred");
    case 27: return QStringLiteral("Incomplete or invalid file association");
    case 28: return QStringLiteral("DDE Time out");
    case 29: return QStringLiteral("DDE transaction failed");
    case 30: return QStringLiteral("DDE busy");
    case 31: return QStringLiteral("No association for file extension");
    case 32: return QStringLiteral("DLL not found");
    default: return QStringLiteral("Unknown error");
  }
}

QString ReportLaunchError(int code) {
  const QString text = ShellErrorText(code);
  ShowProgramMessage(text, vbExclamation, QStringLiteral("Error Launching Document"));
  return text;
}

QString LaunchDocument(const QString& path) {
  int code = CodeBeforeLaunch(path);
  if (code == 0) code = TheDesktopShell().OpenWithDefault(path);
  return code >= 33 ? QString() : ReportLaunchError(code);
}

void OpenWithDialog(const QString& path) {
  if (const int code = CodeBeforeLaunch(path)) {
    ReportLaunchError(code);
    return;
  }
  DesktopShell& shell = TheDesktopShell();
  if (shell.ShowOpenWithChooser(path)) return;
  auto* window = new frmOpenWith(path, shell.AppsFor(path));
  window->show();
}

bool ShowFileProperties(const QString& path) {
  if (path.isEmpty() || !QFileInfo::exists(path)) return false;
  if (TheDesktopShell().ShowProperties(path)) return true;
  auto* window = new frmFileProperties(path);
  window->show();
  return true;
}

bool DeleteFileToBin(const QString& path, bool confirm, bool /*silent*/) {
  const bool toTrash = gDeleteToRecycleBin;
  const QFileInfo info(path);
  if (path.isEmpty() || (!info.exists() && !info.isSymLink())) return false;  // nothing to delete
  if (confirm && !ConfirmDelete(path, toTrash)) return false;
  QString reason;
  if (RemoveFile(path, toTrash, reason)) return true;
  ReportDeleteFailure(path, toTrash, reason);
  return false;
}

}  // namespace modLaunchDoc
