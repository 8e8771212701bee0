#pragma once
// The one road every file, folder, colour and font dialog takes. The program's
// common-dialog service calls ShowFileDialog; tests install a responder that
// answers without showing anything. With no responder, Qt's dialogs are shown.
#include "platform/ColorRef.h"

#include <QFont>
#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

enum class FileDialogKind { Open, Save, Folder, Colour, Font };

struct FileDialogRequest {
  FileDialogKind kind = FileDialogKind::Open;
  QString title;
  // Qt filter text: "Libraries (*.rw2);;All files (*)".
  QString filter;
  QString initialDirectory;
  QString fileName;
  QString defaultSuffix;
  bool multiSelect = false;
  bool confirmOverwrite = true;
  COLORREF colour = 0;
  QFont font;
  QWidget* owner = nullptr;
};

struct FileDialogResult {
  bool accepted = false;
  QStringList files;  // Open, Save: chosen files; Folder: the one folder
  COLORREF colour = 0;
  QFont font;
};

using FileDialogHandler = std::function<FileDialogResult(const FileDialogRequest&)>;

FileDialogResult ShowFileDialog(const FileDialogRequest& request);
// Tests answer dialogs here; returns the previous responder.
FileDialogHandler SetFileDialogResponder(FileDialogHandler responder);
