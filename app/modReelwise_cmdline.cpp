// The command line and the saved workspace: which library opens first, with
// which view, and whether TV-Out mode starts.
#include "app/modReelwise_startup.h"

#include "core/ProgramMessage.h"
#include "core/modReelwise.h"
#include "mainwindow/frmReelwise.h"
#include "platform/ErrorGuard.h"
#include "platform/RWError.h"

#include <QDir>
#include <QRegularExpression>

namespace modReelwise {

SavedWorkspace SplitSavedWorkspace(const QString& text) {
  // A folder name may contain ".rw2"; the library's own extension is the one
  // followed by the view (" |"), by the blank before an empty view, or by nothing.
  static const QRegularExpression end(QStringLiteral("\\.rw2(?= \\||\\s$|$)"),
                                      QRegularExpression::CaseInsensitiveOption);
  const QRegularExpressionMatch match = end.match(text);
  if (!match.hasMatch()) return {};
  const qsizetype cut = match.capturedEnd();
  return {text.left(cut), text.mid(cut + 1)};
}

namespace {

void ReportMissingLibrary(const QString& text) {
  ShowProgramMessage(text, vbExclamation, QStringLiteral("Library not found!"), gMainForm);
}

// A name with a folder part is where the user points, from the current
// folder; a bare name is one of the Libraries folder.
QString LibraryPathOf(const QString& name) {
  if (QDir::isAbsolutePath(name)) return name;
  if (name.contains(QLatin1Char('/'))) return QDir::cleanPath(QDir::current().absoluteFilePath(name));
  return gLibrariesFolder + name;
}

// Each argument is one piece; a single leading "-" is a switch marker.
void ParsePieces(const QStringList& arguments) {
  QString candidate;
  for (QString piece : arguments) {
    if (piece.startsWith(QLatin1Char('-'))) piece.remove(0, 1);
    piece = piece.trimmed();
    if (piece == QLatin1String("TV")) {
      gMainForm->MainToolbarHandler(QStringLiteral("mnuTV-Out"));
      continue;
    }
    candidate.clear();
    if (piece.isEmpty()) continue;
    piece.remove(QLatin1Char('"'));
    if (!piece.contains(QLatin1String(".rw2"))) piece += QLatin1String(".rw2");
    piece = LibraryPathOf(piece);
    if (!FileExists(piece)) {
      ReportMissingLibrary(QStringLiteral("The Library %1 does not exist!").arg(piece));
      return;
    }
    candidate = piece;
  }
  if (!candidate.isEmpty() && candidate != gLibraryToOpen) {
    gLibraryToOpen = candidate;
    gViewSpec.clear();
  }
}

}  // namespace

// A failure is told as "number - description" in the box of a missing library.
void ParseCommandLine(const QStringList& arguments) {
  ErrorGuard({.title = QStringLiteral("Library not found!"),
              .owner = ProgramMessageOwner(),
              .text = ErrorGuard::Numbered(QStringLiteral(" - "))})
      .Run([&] { ParsePieces(arguments); });
}

}  // namespace modReelwise
