#pragma once
// The program's common dialogs: open file, save file, colour, font and folder.
// The object remembers between calls the last file, folder and filter index
// of the open and save dialogs, the colour dialog's custom colours and the
// result of the last font dialog, and keeps the code and text of the last
// dialog error. Every dialog goes through ShowFileDialog.
//
// Typical use: set strTitle, strFilter and strInitialDir, then call
// strGetOpenFileName or strGetSaveFileName and test for the empty text.
#include "platform/ColorRef.h"
#include "platform/FileDialogSeam.h"

#include <QFont>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>

class clsDialogs {
 public:
  // Dialog error codes the program produces itself.
  static constexpr int32_t kDialogFailure = kFileDialogFailure;
  static constexpr int32_t kBufferTooSmall = 0x3003;
  // Bits of lngFontType.
  static constexpr int32_t BOLD_FONTTYPE = 0x100;
  static constexpr int32_t ITALIC_FONTTYPE = 0x200;
  static constexpr int32_t REGULAR_FONTTYPE = 0x400;
  static constexpr int32_t SCREEN_FONTTYPE = 0x2000;

  // The file-type filter. It is assigned as description and pattern pairs
  // separated by "|" ("Libraries (*.rw2)|*.rw2;*.rw|All files (*.*)|*.*")
  // and kept with NULs in place of "|", ending in two NULs.
  class Filter {
   public:
    Filter& operator=(const QString& text);
    const QString& Text() const { return text_; }

   private:
    QString text_ = QStringLiteral("All Files (*.*)") + QChar(0) + QStringLiteral("*.*") + QChar(0);
  };

  clsDialogs();

  // Settings read and written freely.
  bool blnShowErrorMessages = true;  // failures are shown in a message box
  COLORREF lngColor = RGB(192, 192, 192);
  bool blnCreatePrompt = false;  // the save dialog asks before taking a new name
  QPointer<QWidget> lngHWnd;     // owner of the dialogs; none: the desktop
  int32_t lngMaxFileNameBuffer = 250;
  QString strTitle;       // caption of the next file dialog; empty: the default
  QString strInitialDir;  // folder the next file dialog starts in
  QString strDefaultExt;  // stored only; no dialog uses it
  Filter strFilter;

  // What the dialogs left behind.
  int32_t lngDialogError() const { return lngDialogError_; }
  const QString& strDialogError() const { return strDialogError_; }
  const QString& strLastOpenFolder() const { return strLastOpenFolder_; }
  const QString& strLastSaveFolder() const { return strLastSaveFolder_; }
  const QString& strLastOpenFile() const { return strLastOpenFile_; }
  const QString& strLastSaveFile() const { return strLastSaveFile_; }
  int32_t lngLastOpenFilter() const { return lngLastOpenFilter_; }
  int32_t lngLastSaveFilter() const { return lngLastSaveFilter_; }
  int32_t lngFontSize() const { return lngFontSize_; }
  const QString& strFontFaceName() const { return strFontFaceName_; }
  COLORREF lngFontColor() const { return lngFontColor_; }
  const QString& strFontStyle() const { return strFontStyle_; }
  bool blnIsFontBold() const { return blnIsFontBold_; }
  bool blnIsFontItalic() const { return blnIsFontItalic_; }
  int32_t lngFontType() const { return lngFontType_; }

  // The chosen existing file's full path, or "" when cancelled or failed.
  // `fileName` is the name the dialog starts with; the program passes none.
  QString strGetOpenFileName(const QString& fileName = QString());
  // The chosen path to save to, or "". A save never asks before replacing a
  // file; the callers confirm that themselves.
  QString strGetSaveFileName();
  // The chosen colour (also kept in lngColor), or -1 when cancelled or failed.
  int32_t lngChooseColor(COLORREF Colour);
  // True when a font was chosen; its size, face, style and type are then
  // kept. Qt's font dialog has no colour: `Colour` becomes lngFontColor.
  bool blnChooseFont(const QFont& Font, COLORREF Colour);
  // A local existing folder ending in "/", or "".
  QString fstrBrowseForFolder(QWidget* ownerHWnd);

 private:
  QString RunFileDialog(bool save, const QString& fileName);
  QString ChosenPath(const FileDialogResult& result, int32_t bufferLength);
  int32_t RunColourDialog(COLORREF Colour);
  bool RunFontDialog(const QFont& Font, COLORREF Colour);
  void TakeFont(const QFont& chosen, COLORREF Colour);
  void ReportDialogError(int32_t code);
  // Runs a dialog operation; a failure inside it is recorded and reported
  // under `title`, and the caller returns its failure result.
  bool Guarded(const QString& title, const std::function<void()>& step);

  // The text before the first NUL.
  static QString StripNull(const QString& text);
  // The path up to and including its last "/"; "" when it has none.
  static QString GetFolderFromPath(const QString& path);
  // Every occurrence of find's first character replaced by replace's first.
  static QString ReplaceChars(QString text, const QString& find, const QString& replace);

  CustomColours customColours_;
  int32_t lngDialogError_ = 0;
  QString strDialogError_ = QStringLiteral("N/A");
  QString strLastOpenFolder_;
  QString strLastSaveFolder_;
  QString strLastOpenFile_;
  QString strLastSaveFile_;
  int32_t lngLastOpenFilter_ = 1;
  int32_t lngLastSaveFilter_ = 1;
  int32_t lngFontSize_ = 10;
  QString strFontFaceName_;
  COLORREF lngFontColor_ = 0;
  QString strFontStyle_;
  bool blnIsFontBold_ = false;
  bool blnIsFontItalic_ = false;
  int32_t lngFontType_ = REGULAR_FONTTYPE;
};

extern std::unique_ptr<clsDialogs> gDialogs;
