// The dialog service's state, its error codes and texts, and the filter.
#include "ui/clsDialogs.h"

#include "core/ProgramMessage.h"
#include "core/modReelwise.h"
#include "platform/RWError.h"

#include <exception>

std::unique_ptr<clsDialogs> gDialogs;

namespace {

QString DialogErrorText(int32_t code) {
  switch (code) {
    case 0xFFFF: return QStringLiteral("Dialog Failure");
    case 0: return QStringLiteral("General Codes Failure");
    case 1: return QStringLiteral("Structure Size Error");
    case 2: return QStringLiteral("Initialization Failure");
    case 3: return QStringLiteral("No Template");
    case 4: return QStringLiteral("No Instance Handle");
    case 5: return QStringLiteral("Load String Failure");
    case 6: return QStringLiteral("Find Resource Failure");
    case 7: return QStringLiteral("Load Resource Failure");
    case 8: return QStringLiteral("Lock Resource Failure");
    case 9: return QStringLiteral("Memory Allocation Failure");
    case 10: return QStringLiteral("Memory Lock Failure");
    case 11: return QStringLiteral("No Hook");
    case 12: return QStringLiteral("Register Message Failure");
    case 0x3000: return QStringLiteral("File Name Codes Error");
    case 0x3001: return QStringLiteral("Subclassing Failure");
    case 0x3002: return QStringLiteral("Invalid File Name");
    case 0x3003: return QStringLiteral("File Name/Title Buffer Too Small");
    default: return QStringLiteral("Unknown Error");
  }
}

}  // namespace

clsDialogs::clsDialogs()
    : strInitialDir(gDocsFolder),
      customColours_{0,        RGB(255, 255, 255), 0xFF,     0xFF00,   0xFFFF,   0xFF0000,
                     0xFF00FF, 0xFFFF00,           0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
                     0xFFFFFF, 0xFFFFFF,           0xFFFFFF, 0xFFFFFF},
      strLastOpenFolder_(gDocsFolder),
      strLastSaveFolder_(gDocsFolder) {}

clsDialogs::Filter& clsDialogs::Filter::operator=(const QString& text) {
  const QString nul(QChar(0));
  text_ = ReplaceChars(text, QStringLiteral("|"), nul);
  if (!text_.endsWith(nul + nul)) text_ += nul + nul;
  return *this;
}

// A cancelled dialog records code 0 and shows nothing.
void clsDialogs::ReportDialogError(int32_t code) {
  lngDialogError_ = code;
  strDialogError_ = DialogErrorText(code);
  if (blnShowErrorMessages && code != 0) {
    ShowProgramMessage(strDialogError_, vbCritical, QStringLiteral("DIALOG ERROR"));
  }
}

bool clsDialogs::Guarded(const QString& title, const std::function<void()>& step) {
  RWError failure(0, QString());
  try {
    step();
    return true;
  } catch (const RWError& error) {
    failure = error;
  } catch (const std::exception& error) {
    failure = RWError(kErrInternal, QString::fromLocal8Bit(error.what()));
  }
  // The earlier error text stays at the end, so nothing is lost.
  strDialogError_ = QStringLiteral("Error #:%1\r\n%2\r\n%3")
                        .arg(QString::number(failure.Number()), failure.Description(), strDialogError_);
  if (blnShowErrorMessages) ShowProgramMessage(strDialogError_, vbCritical, title);
  return false;
}

QString clsDialogs::StripNull(const QString& text) { return text.section(QChar(0), 0, 0); }

QString clsDialogs::GetFolderFromPath(const QString& path) {
  return path.left(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString clsDialogs::ReplaceChars(QString text, const QString& find, const QString& replace) {
  if (find.isEmpty() || replace.isEmpty()) return text;
  return text.replace(find.front(), replace.front());
}
