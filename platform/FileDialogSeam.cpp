#include "platform/FileDialogSeam.h"

#include "platform/LongWork.h"
#include "platform/MessageBoxSeam.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>

#include <utility>

namespace {

FileDialogHandler& Responder() {
  static FileDialogHandler responder;
  return responder;
}

FileDialogResult QtColourDialog(const FileDialogRequest& request) {
  FileDialogResult result;
  // Qt keeps custom colours program-wide; they are loaded from the request
  // and read back so the caller owns them.
  for (int i = 0; i < static_cast<int>(request.customColours.size()); ++i) {
    QColorDialog::setCustomColor(i, ColorRefToQColor(request.customColours[i]));
  }
  const QColor chosen = QColorDialog::getColor(ColorRefToQColor(request.colour), request.owner, request.title);
  for (int i = 0; i < static_cast<int>(result.customColours.size()); ++i) {
    result.customColours[i] = QColorToColorRef(QColorDialog::customColor(i));
  }
  result.accepted = chosen.isValid();
  result.colour = result.accepted ? QColorToColorRef(chosen) : request.colour;
  return result;
}

FileDialogResult QtFontDialog(const FileDialogRequest& request) {
  FileDialogResult result;
  bool ok = false;
  result.font = QFontDialog::getFont(&ok, request.font, request.owner, request.title);
  result.accepted = ok;
  return result;
}

void SetUpFileDialog(QFileDialog& dialog, const FileDialogRequest& request) {
  switch (request.kind) {
    case FileDialogKind::Save:
      dialog.setAcceptMode(QFileDialog::AcceptSave);
      dialog.setFileMode(QFileDialog::AnyFile);
      dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
      break;
    case FileDialogKind::Folder:
      dialog.setFileMode(QFileDialog::Directory);
      dialog.setOption(QFileDialog::ShowDirsOnly, true);
      break;
    default:
      dialog.setFileMode(request.multiSelect ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
      break;
  }
  const QStringList filters = dialog.nameFilters();
  if (request.filterIndex >= 1 && request.filterIndex <= filters.size()) {
    dialog.selectNameFilter(filters[request.filterIndex - 1]);
  }
  if (!request.defaultSuffix.isEmpty()) dialog.setDefaultSuffix(request.defaultSuffix);
  if (!request.fileName.isEmpty()) dialog.selectFile(request.fileName);
}

// Save with createPrompt: a name that does not exist yet needs the user's yes.
bool CreateRefused(const FileDialogRequest& request, const QStringList& files) {
  if (request.kind != FileDialogKind::Save || !request.createPrompt || files.isEmpty()) return false;
  if (QFileInfo::exists(files.front())) return false;
  MessageBoxRequest ask;
  ask.prompt = files.front() + QStringLiteral("\nThis file does not exist.\nDo you want to create it?");
  ask.style = vbYesNo | vbExclamation;
  ask.title = request.title;
  ask.owner = request.owner;
  return ShowMessageBox(ask) != vbYes;
}

FileDialogResult QtFileDialog(const FileDialogRequest& request) {
  QFileDialog dialog(request.owner, request.title, request.initialDirectory, request.filter);
  SetUpFileDialog(dialog, request);
  FileDialogResult result;
  do {
    result.accepted = dialog.exec() == QDialog::Accepted;
    result.files = result.accepted ? dialog.selectedFiles() : QStringList();
  } while (result.accepted && CreateRefused(request, result.files));
  result.filterIndex = static_cast<int>(dialog.nameFilters().indexOf(dialog.selectedNameFilter())) + 1;
  // What the chosen name starts (a copy, an open) may be long work, which
  // paints only its progress: the window shows without the dialog first.
  LongWork::PaintUncovered(dialog.frameGeometry());
  return result;
}

FileDialogResult QtDialog(const FileDialogRequest& request) {
  // Without a widget application no dialog can be shown.
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
    FileDialogResult failed;
    failed.extendedError = kFileDialogFailure;
    failed.colour = request.colour;
    failed.customColours = request.customColours;
    return failed;
  }
  switch (request.kind) {
    case FileDialogKind::Colour:
      return QtColourDialog(request);
    case FileDialogKind::Font:
      return QtFontDialog(request);
    default:
      return QtFileDialog(request);
  }
}

}  // namespace

FileDialogResult ShowFileDialog(const FileDialogRequest& request) {
  if (Responder()) return Responder()(request);
  return QtDialog(request);
}

FileDialogHandler SetFileDialogResponder(FileDialogHandler responder) {
  return std::exchange(Responder(), std::move(responder));
}
