#include "platform/FileDialogSeam.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>

#include <utility>

namespace {

FileDialogHandler& Responder() {
  static FileDialogHandler responder;
  return responder;
}

FileDialogResult QtFileDialog(const FileDialogRequest& request) {
  FileDialogResult result;
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return result;
  switch (request.kind) {
    case FileDialogKind::Colour: {
      const QColor chosen = QColorDialog::getColor(ColorRefToQColor(request.colour), request.owner, request.title);
      result.accepted = chosen.isValid();
      result.colour = result.accepted ? QColorToColorRef(chosen) : request.colour;
      return result;
    }
    case FileDialogKind::Font: {
      bool ok = false;
      result.font = QFontDialog::getFont(&ok, request.font, request.owner, request.title);
      result.accepted = ok;
      return result;
    }
    default:
      break;
  }
  QFileDialog dialog(request.owner, request.title, request.initialDirectory, request.filter);
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
  if (!request.defaultSuffix.isEmpty()) dialog.setDefaultSuffix(request.defaultSuffix);
  if (!request.fileName.isEmpty()) dialog.selectFile(request.fileName);
  result.accepted = dialog.exec() == QDialog::Accepted;
  if (result.accepted) result.files = dialog.selectedFiles();
  return result;
}

}  // namespace

FileDialogResult ShowFileDialog(const FileDialogRequest& request) {
  if (Responder()) return Responder()(request);
  return QtFileDialog(request);
}

FileDialogHandler SetFileDialogResponder(FileDialogHandler responder) {
  return std::exchange(Responder(), std::move(responder));
}
