#pragma once
// The one road every file, folder, colour and font dialog takes. The program's
// common-dialog service calls ShowFileDialog; tests install a responder that
// answers without showing anything. With no responder, Qt's dialogs are shown.
#include "platform/ColorRef.h"

#include <QFont>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <functional>

class QWidget;

enum class FileDialogKind { Open, Save, Folder, Colour, Font };

// The error a dialog reports when it cannot be shown at all.
inline constexpr int32_t kFileDialogFailure = 0xFFFF;

// The colour dialog's sixteen custom colours.
using CustomColours = std::array<COLORREF, 16>;

struct FileDialogRequest {
  FileDialogKind kind = FileDialogKind::Open;
  QString title;
  // Qt filter text: "Libraries (*.rw2);;All files (*)".
  QString filter;
  // 1-based index of the filter selected when the dialog opens.
  int filterIndex = 1;
  QString initialDirectory;
  QString fileName;
  QString defaultSuffix;
  bool multiSelect = false;
  bool confirmOverwrite = true;
  // Save: a name that does not exist yet is only taken after the user agrees
  // to create it.
  bool createPrompt = false;
  COLORREF colour = 0;
  CustomColours customColours{};
  // Font: family, size, weight, italic, underline and strike-out all travel
  // in the font, in and out.
  QFont font;
  QWidget* owner = nullptr;
};

struct FileDialogResult {
  bool accepted = false;
  QStringList files;  // Open, Save: chosen files; Folder: the one folder
  // 1-based index of the filter the user left selected; 0 when not known.
  int filterIndex = 0;
  COLORREF colour = 0;
  // The custom colours as the user left them, chosen or cancelled.
  CustomColours customColours{};
  QFont font;
  // 0 when the dialog was shown (chosen or cancelled); otherwise why it
  // failed, kFileDialogFailure when no dialog could be shown.
  int32_t extendedError = 0;
};

using FileDialogHandler = std::function<FileDialogResult(const FileDialogRequest&)>;

FileDialogResult ShowFileDialog(const FileDialogRequest& request);
// Tests answer dialogs here; returns the previous responder.
FileDialogHandler SetFileDialogResponder(FileDialogHandler responder);
