// Loading an item into the inspector: the file is measured afresh, opened
// paused in the preview player, its details, location, segments and history
// shown, and what was measured is written back into the library in one
// transaction. The loading animation runs meanwhile; a step that fails is
// reported under the preview and the load goes on with the next one, but a
// full disk or a library file that cannot be written is the command's to
// tell. The load waits with the event loop running, so another load or
// another library may overtake it; it then stops where it is. Also here:
// emptying the inspector when nothing is inspected, and a grabbed frame made
// the file's thumbnail.
#include "inspector/InspectorPane.h"

#include "core/MediaInfoDLL.h"
#include "core/modReelwise.h"
#include "core/modRegistry.h"
#include "library/ResultItem.h"
#include "library/ViewSpec.h"
#include "library/clsRWLibrary.h"
#include "platform/ErrorGuard.h"
#include "platform/MountProbe.h"
#include "platform/RWError.h"
#include "platform/Rounding.h"
#include "platform/SqlConnection.h"
#include "platform/SqlRecordset.h"
#include "platform/controls/ListView.h"
#include "platform/controls/TreeView.h"
#include "player/clsRWPlayer.h"
#include "resources/Resources.h"
#include "ui/PictureFit.h"
#include "ui/SchemeColours.h"
#include "ui/modReelwise_drawing.h"
#include "ui/modImageBevel.h"

#include <QDateTime>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QTimer>

#include <cmath>

namespace {

// The tools named are those that tell what a file holds here: MediaInfo
// (also the inspector's own report) and ffprobe of FFmpeg.
const QString kOpenFailure = QStringLiteral(
    "Cannot open file!\r\n\r\nYour system possibly does not have the required filters/codecs installed: Try "
    "opening the file with one of the following applications:\r\n\r\n                 - your default player\r\n"
    "                 - MediaInfo\r\n                 - ffprobe\r\n\r\n\r\nFailing that, the file is possibly "
    "damaged or corrupt.");

// What LoadInspector measures of a file on the disk, read off the
// user-interface thread since the medium may be slow.
struct FileFacts {
  QString status;  // "OK" or CheckFileAvailable's text
  int64_t size = 0;
  QDateTime modified;
  // The file is there but holds no data: it cannot be played.
  bool empty = false;
};

// A drive that does not answer within the probe's time limit makes the file
// count as offline, its stored size kept.
FileFacts MeasureFile(const QString& path) {
  const std::optional<FileFacts> measured = MountProbe::CallOnPath(path, [path] {
    FileFacts facts;
    facts.status = modReelwise::CheckFileAvailable(path);
    if (facts.status != QLatin1String("OK")) {
      facts.empty = modReelwise::GetFileSizeBytes(path) == 0;
      return facts;
    }
    facts.size = modReelwise::GetFileSizeBytes(path);
    facts.modified = QFileInfo(path).lastModified();
    return facts;
  });
  if (measured) return *measured;
  FileFacts offline;
  offline.status = modReelwise::OfflineFileText();
  offline.size = -1;
  return offline;
}

// Read on a helper thread within the mount probe's time limit, as the other
// looks at a catalogued file are: nothing when the file's mount stopped
// answering since the file was measured.
std::optional<MediaInfoDLL::Formats> ReadFormats(const QString& path) {
  return MountProbe::CallOnPath(path, [path] { return MediaInfoDLL::ReadFormats(path); });
}

ctl::TreeView* LibraryTree() { return gLibrary ? gLibrary->View().LibraryTree() : nullptr; }

QString FormatNodeKey(const QString& format) {
  return QStringLiteral("F-") + (format.isEmpty() ? QStringLiteral("Undetermined") : format);
}

// "F-" nodes under "FORMATS": the format's own, or the red "Undetermined".
void EnsureFormatNode(const QString& format) {
  ctl::TreeView* tree = LibraryTree();
  if (!tree || !tree->Nodes.Find(QStringLiteral("FORMATS"))) return;
  const QString key = FormatNodeKey(format);
  if (tree->Nodes.Find(key)) return;
  ctl::Node* node = modReelwise::AddTreeNode(*tree, format.isEmpty() ? QStringLiteral("Undetermined") : format, key,
                                             QStringLiteral("FORMATS"), QStringLiteral("COG"),
                                             format.isEmpty() ? RGB(255, 0, 0) : gSchemeColour4, true);
  node->EnsureVisible();
}

// The node of a format that no file has any more (its last file read again
// as another, or a stored text that was no format) goes.
void DropFormatNodeOfNoFile(const QString& format) {
  ctl::TreeView* tree = LibraryTree();
  if (!tree || !tree->Nodes.Find(FormatNodeKey(format))) return;
  auto files = gLibrary->Connection().Prepare(
      format.isEmpty() ? QStringLiteral("SELECT 1 FROM VideoFiles WHERE ifnull(FileFormat, '') = ? LIMIT 1")
                       : QStringLiteral("SELECT 1 FROM VideoFiles WHERE FileFormat = ? LIMIT 1"));
  files->Bind(1, SqlValue(format));
  if (!files->Step()) tree->Nodes.Remove(FormatNodeKey(format));
}

// A stored "yyyy-MM-dd HH:mm:ss"; an older row's date alone is midnight.
QDateTime StoredDateTime(const QString& text) {
  QDateTime stamp = QDateTime::fromString(text.left(19), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
  if (!stamp.isValid()) stamp = QDateTime(QDate::fromString(text.left(10), Qt::ISODate), QTime(0, 0));
  return stamp;
}

// " 320x240": the width right-aligned in four characters.
QString DimensionsText(int width, int height) {
  return QStringLiteral("%1x%2").arg(width, 4).arg(height);
}

}  // namespace

// One load: the item, where it stands among loads and clears and the
// library it began on, the text under the preview, whether its segment is to
// be tagged "Unplayable" (and was), and a fault of the library's storage met
// on the way, which says nothing of the file.
struct InspectorPane::Load {
  ResultItem item;
  uint64_t serial = 0;
  uint64_t library = 0;
  QString status;
  bool unplayable = false;
  bool tagged = false;
  std::optional<RWError> storageFault;
};

InspectorPane::WorkUnderWay::WorkUnderWay(InspectorPane& pane) : pane_(pane) { ++pane_.workUnderWay_; }

InspectorPane::WorkUnderWay::~WorkUnderWay() {
  if (--pane_.workUnderWay_ > 0 || !pane_.closeHeld_) return;
  pane_.closeHeld_ = false;
  QWidget* window = pane_.picBottom->window();
  QTimer::singleShot(0, window, [window] { window->close(); });
}

void InspectorPane::LoadInspector(ResultItem& Item, bool& Loaded) {
  Loaded = false;
  if (Item.FileID == 0 || !gLibrary) return;
  FinishCellEdit();
  const WorkUnderWay underWay(*this);
  Load load;
  load.item = Item;
  load.serial = ++loadSerial_;
  load.library = gLibrary->ConnectionCount();
  gEditedSegment.SegmentID = gResultKind != ResultScope::File ? Item.SegmentID : -1;
  gPlayer->SetVisible(false);
  ShowLoading(true);
  gPlayer->CleanUp();
  ShowOpenFileStatus(QString());
  gInspectedItem = Item;
  const bool opened = LoadItem(load);
  ShowLoading(false);
  // Overtaken: what the panel and the preview show is no longer this load's.
  if (!LoadGoesOn(load)) return;
  ShowOpenFileStatus(load.status);
  gPlayer->SetVisible(load.status.isEmpty() && !gAddingFiles);
  if (load.storageFault) StorageFault::Raise(*load.storageFault);
  Loaded = opened && load.status.isEmpty();
}

bool InspectorPane::HoldCloseWhileBusy() {
  if (workUnderWay_ == 0) return false;
  closeHeld_ = true;
  EndHeldLoops();
  return true;
}

// Another load, a clear of the inspector (as before another library opens)
// or another library's connection overtakes a load that waited.
bool InspectorPane::LoadGoesOn(const Load& load) const {
  return load.serial == loadSerial_ && gLibrary && gLibrary->ConnectionCount() == load.library;
}

// The busy indicator (not while files are added) and the loading animation
// over the preview, on while an item loads.
void InspectorPane::ShowLoading(bool on) {
  if (!gAddingFiles) host_.ShowBusyIndicator(on);
  RWLoadingInd->SetVisible(on);
  if (on) {
    RWLoadingInd->ZOrder(0);  // over the player's video window
    RWLoadingInd->Start();
  } else {
    RWLoadingInd->Stop();
  }
}

// The problem text over the preview, wrapped inside its box; a text too long
// for the box at the usual size is set smaller until every line fits.
void InspectorPane::ShowOpenFileStatus(const QString& text) {
  ctl::Label& label = *lblOpenFileStatus;
  label.SetCaption(text);
  const QRectF box(0, 0, label.width(), 1e6);
  const double smallest = modReelwise::ScaledFont(7);
  double size = modReelwise::ScaledFont(10);
  for (;; size -= 0.5) {
    QFont font = label.font();
    font.setPointSizeF(size);
    const QRectF needed = QFontMetricsF(font).boundingRect(box, Qt::AlignHCenter | Qt::TextWordWrap, text);
    if (size <= smallest || (needed.height() <= label.height() && needed.width() <= label.width())) break;
  }
  label.SetFontSize(size);
}

namespace {

// Errors of a file that is not there pass silently: the status text has
// said so already.
bool PassedOver(int32_t number) {
  constexpr int32_t kBadFileName = 52;
  constexpr int32_t kPathNotFound = 76;
  constexpr int32_t kMediaGraphError = -1072889813;
  return number == kBadFileName || number == kErrFileNotFound || number == kPathNotFound ||
         number == kMediaGraphError;
}

}  // namespace

// One step of the load; none runs once the load was overtaken. A full disk
// or a library file that cannot be written is kept to be raised when the
// load ends, and nothing more is written. An unexpected error is shown under
// the preview after what the status said so far, the segment is to be
// tagged "Unplayable", and the load goes on with its next step.
void InspectorPane::LoadStep(Load& load, const std::function<void()>& step) {
  if (!LoadGoesOn(load)) return;
  RWError failure(0, QString());
  try {
    step();
    return;
  } catch (const StorageFault& fault) {
    failure = fault.Error();
  } catch (const RWError& error) {
    failure = error;
  } catch (const std::exception& error) {
    failure = RWError(kErrInternal, QString::fromLocal8Bit(error.what()));
  }
  if (PassedOver(failure.Number())) return;
  if (ErrorGuard::EndsTheCommand(failure)) {
    if (!load.storageFault) load.storageFault = failure;
    return;
  }
  load.status = QStringLiteral("Cannot Open File: \r\n\r\n%1\r\n\r\n%2")
                    .arg(load.status,
                         ErrorGuard::InOwnWords(
                             failure, QStringLiteral("[%1] %2").arg(failure.Number()).arg(failure.Description())));
  load.unplayable = true;
}

// Reads the item's row, measures and opens the file, shows its panels and
// writes the row back; true when the file opened.
bool InspectorPane::LoadItem(Load& load) {
  std::unique_ptr<SqlRecordset> row;
  LoadStep(load, [&] {
    row = gLibrary->Connection().OpenRecordset(
        QStringLiteral("SELECT VF.FileID, VF.CurrentPath, VF.FileName, VF.FileSize, VF.DateTime, VF.FileFormat, "
                       "VF.FrameRate, VF.Dimensions, VF.Bitrate, VF.Rating, VS.FileAlias, VS.Description, "
                       "VS.SelectionStart, VS.SelectionEnd, VS.FileFlag FROM VideoFiles VF, VideoSegments VS "
                       "WHERE VF.FileID = VS.FileID AND VS.SegmentID = %1")
            .arg(load.item.SegmentID));
  });
  if (!row) return false;  // without its row nothing can be shown
  if (row->Eof()) {
    // An item no longer in the library (a removed file's history entry) is
    // not left named under the previous item's panel.
    ClearInspector();
    return false;
  }
  CopyRow(*row);
  const QString path = gInspectedItem.CurrentPath + gInspectedItem.FileName;
  Measured measured;
  const QString storedFormat = row->Value(QStringLiteral("FileFormat")).toString();
  measured.format = storedFormat;
  measured.end = row->Value(QStringLiteral("SelectionEnd")).toDouble();
  lblFileData[12]->SetCaption(measured.format);
  lblFileData[13]->SetCaption(QString());
  lblFileData[14]->SetCaption(QString());
  FileFacts facts;
  LoadStep(load, [&] { facts = MeasureFile(path); });
  const bool available = facts.status == QLatin1String("OK");
  bool opened = false;
  // Sizes are 64-bit; a size that could not be read keeps the stored one.
  measured.size = facts.size >= 0 ? facts.size : static_cast<int64_t>(gInspectedItem.FileSize);
  measured.modified = facts.modified;
  if (available) {
    LoadStep(load, [&] { opened = OpenInPreview(load, *row, path, measured); });
  } else {
    load.status = facts.status;
    load.unplayable = facts.empty;
  }
  LoadStep(load, [&] {
    if (!opened) UseStoredPoints(*row);
    TakeMeasured(available, opened, measured);
  });
  // The format library reads every file that is there, whether the player
  // opened it or not: a file neither can read gets its red "Undetermined"
  // node now, not at the library's next open.
  if (available) LoadStep(load, [&] { ReadMediaFormats(load, path, measured.format); });
  LoadStep(load, [this] { ShowFileLocation(); });
  // Stored before the segments are listed: the whole-file row ends at the
  // length measured.
  LoadStep(load, [&] { StoreMeasured(load, available, opened, measured); });
  if (available && measured.format != storedFormat) LoadStep(load, [&] { DropFormatNodeOfNoFile(storedFormat); });
  LoadStep(load, [this] { LoadSegmentsGrid(gEditedSegment); });
  LoadStep(load, [this] { AddInspectorHistory(); });
  TagUnplayable(load);
  return opened;
}

bool InspectorPane::OpenInPreview(Load& load, SqlRecordset& row, const QString& path, Measured& measured) {
  const QString result = gPlayer->OpenFile(path, 0, 0, framPreview->width(), framPreview->height(), framPreview, true);
  if (!LoadGoesOn(load)) return false;
  if (!result.isEmpty()) {
    // An open another open or an unload cut short says nothing of the file.
    if (gPlayer->OpenInterrupted()) return false;
    load.status = kOpenFailure;
    load.unplayable = true;
    return false;
  }
  measured.end = gPlayer->Duration();
  if (row.Value(QStringLiteral("FileFlag")).toString() == QLatin1String("Y")) {
    m_SegmentStart = 0;
    m_SegmentEnd = measured.end;
  } else {
    m_SegmentStart = row.Value(QStringLiteral("SelectionStart")).toDouble();
    m_SegmentEnd = row.Value(QStringLiteral("SelectionEnd")).toDouble();
  }
  m_DurationHundredths = measured.end < 1 ? 10 : static_cast<int32_t>(std::lround(measured.end * 100));
  gPlayer->SetMessageDrain(picBottom->window());
  gPlayer->ForcePosition(m_SegmentStart);
  measured.frameRate = gPlayer->FrameRate();
  measured.dimensions = DimensionsText(gPlayer->VideoWidth(), gPlayer->VideoHeight());
  // A file without length has no bit rate rather than a failed division.
  if (measured.end > 0) measured.bitrate = static_cast<double>(measured.size) / measured.end * 8 / 1000;
  return true;
}

// A file that did not open shows its own stored A and B points, not the
// previous file's: the whole file from 0 to its stored end.
void InspectorPane::UseStoredPoints(SqlRecordset& row) {
  const bool wholeFile = row.Value(QStringLiteral("FileFlag")).toString() == QLatin1String("Y");
  m_SegmentStart = wholeFile ? 0 : row.Value(QStringLiteral("SelectionStart")).toDouble();
  m_SegmentEnd = row.Value(QStringLiteral("SelectionEnd")).toDouble();
}

// What the library holds of the item, before anything is measured.
void InspectorPane::CopyRow(SqlRecordset& row) {
  ResultItem& item = gInspectedItem;
  item.FileName = row.Value(QStringLiteral("FileName")).toString();
  item.CurrentPath = row.Value(QStringLiteral("CurrentPath")).toString();
  item.FileSize = row.Value(QStringLiteral("FileSize")).toDouble();
  item.FileDate = StoredDateTime(row.Value(QStringLiteral("DateTime")).toString());
  item.FrameRate = static_cast<float>(row.Value(QStringLiteral("FrameRate")).toDouble());
  item.Bitrate = row.Value(QStringLiteral("Bitrate")).toInt();
  item.Dimensions = row.Value(QStringLiteral("Dimensions")).toString();
  item.FileAlias = row.Value(QStringLiteral("FileAlias")).toString();
  item.Description = row.Value(QStringLiteral("Description")).toString();
  item.Rating = static_cast<int16_t>(row.Value(QStringLiteral("Rating")).toInt());
  item.Duration = row.Value(QStringLiteral("SelectionEnd")).toDouble();
}

// The container, video and audio format names; the container's is the
// file's format and gets its node in the library tree. A file the format
// library cannot open has no names: its format is empty, under the red
// "Undetermined" node, as is that of a file whose format has no name. A
// file whose mount stopped answering counts as offline and keeps the stored
// format; its video and audio names stay empty.
void InspectorPane::ReadMediaFormats(Load& load, const QString& path, QString& format) {
  const std::optional<MediaInfoDLL::Formats> read = ReadFormats(path);
  if (!LoadGoesOn(load)) return;
  if (!read) {
    load.status = modReelwise::OfflineFileText();
    return;
  }
  const MediaInfoDLL::Formats& formats = *read;
  format = formats.general;
  lblFileData[12]->SetCaption(format);
  EnsureFormatNode(format);
  lblFileData[13]->SetCaption(formats.video);
  lblFileData[14]->SetCaption(formats.audio);
  gInspectedItem.FileFormat = format;
}

// What was measured, into the inspected item: a file that could not be read
// keeps its stored values.
void InspectorPane::TakeMeasured(bool available, bool opened, const Measured& measured) {
  gInspectedItem.Duration = measured.end;
  gInspectedItem.SelectionStart = m_SegmentStart;
  gInspectedItem.SelectionEnd = m_SegmentEnd;
  if (!available) return;
  gInspectedItem.FileSize = static_cast<double>(measured.size);
  gInspectedItem.FileDate = measured.modified;
  if (!opened) return;
  gInspectedItem.FrameRate = static_cast<float>(measured.frameRate);
  gInspectedItem.Dimensions = measured.dimensions;
  if (measured.bitrate) gInspectedItem.Bitrate = static_cast<int32_t>(std::lround(*measured.bitrate));
}

// What the load writes, in one transaction: the "Unplayable" tag of a file
// that did not open and what was measured. A failure leaves every row as it
// was. Nothing is written after a fault of the library's storage.
void InspectorPane::StoreMeasured(Load& load, bool available, bool opened, const Measured& measured) {
  if (load.storageFault) return;
  clsRWLibrary::TagCloudDeferral oneRedraw(*gLibrary);
  try {
    TransactionGuard guard(gLibrary->Connection(), QStringLiteral("LoadInspector"));
    if (load.unplayable) gLibrary->TagSegment(load.item.SegmentID, 1, false);
    WriteMeasured(load.item.FileID, available, opened, measured);
    guard.Commit();
  } catch (...) {
    oneRedraw.Undone();  // the tag is not stored
    throw;
  }
  load.tagged = load.unplayable;
}

// The whole-file row's end and the file's facts as measured; a file that
// could not be read keeps its stored values.
void InspectorPane::WriteMeasured(int32_t fileId, bool available, bool opened, const Measured& measured) {
  SqlConnection& db = gLibrary->Connection();
  const SqlValue file(static_cast<int64_t>(fileId));
  if (opened) {
    auto end = db.Prepare(
        QStringLiteral("UPDATE VideoSegments SET SelectionEnd = ? WHERE FileID = ? AND FileFlag = 'Y'"));
    end->Bind(1, SqlValue(measured.end));
    end->Bind(2, file);
    end->Execute();
  }
  if (!available) return;
  auto update = db.Prepare(
      QStringLiteral("UPDATE VideoFiles SET FileSize = ?, DateTime = ?, FileFormat = ? WHERE FileID = ?"));
  update->Bind(1, SqlValue(measured.size));
  update->Bind(2, SqlValue(measured.modified.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))));
  update->Bind(3, SqlValue(measured.format));
  update->Bind(4, file);
  update->Execute();
  if (!opened) return;
  auto facts = db.Prepare(
      QStringLiteral("UPDATE VideoFiles SET FrameRate = ?, Dimensions = ?, Bitrate = ? WHERE FileID = ?"));
  facts->Bind(1, SqlValue(measured.frameRate));
  facts->Bind(2, SqlValue(measured.dimensions));
  facts->Bind(3, measured.bitrate ? SqlValue(static_cast<int64_t>(std::lround(*measured.bitrate))) : SqlValue());
  facts->Bind(4, file);
  facts->Execute();
}

// A step after the store failed, or the store itself did: the segment gets
// its "Unplayable" tag now.
void InspectorPane::TagUnplayable(Load& load) {
  if (!load.unplayable || load.tagged || load.storageFault || !LoadGoesOn(load)) return;
  try {
    gLibrary->TagSegment(load.item.SegmentID, 1, false);
    load.tagged = true;
  } catch (const StorageFault& fault) {
    load.storageFault = fault.Error();
  } catch (const RWError& error) {
    // The library that failed the step may refuse the tag too; the text
    // under the preview says why, unless the library's file lacks a column.
    if (ErrorGuard::EndsTheCommand(error)) load.storageFault = error;
  }
}

void InspectorPane::ClearInspector() {
  FinishCellEdit();
  ++loadSerial_;  // a load waiting meanwhile has been overtaken
  picThumbnail->SetTag(QStringLiteral("0"));
  gInspectedItem = ResultItem{};
  if (gPlayer) {
    gPlayer->DestroyWindow();
    gPlayer->SetVisible(false);
    gPlayer->CleanUp();
  }
  ShowRating(0);
  LoadSegmentsGrid(ResultItem{});
  for (int row : {1, 3}) {
    if (flexFileDetails->Rows() > row) flexFileDetails->SetTextMatrix(row, 0, QString());
  }
  ShowOpenFileStatus(QString());
  for (ctl::Label* arrow : lblTagListScroll) arrow->SetVisible(false);
  lstFileTags->ListItems.Clear();
  imgDeviceType->SetPicture(QPixmap());
  // The blank tile of the result grids: nothing is inspected.
  static const QPixmap blank = QPixmap::fromImage(LoadResPicture(QStringLiteral("TILE"), kResCustom));
  picThumbnail->SetPicture(blank);
  host_.Drag().Clear();
  for (ctl::Label* label : lblFileData) label->SetCaption(QString());
}

// The middle of the frame, 80 % of its width and the band from 8 % to 88 %
// of its height, drawn into the 100 x 75 thumbnail in the video's display
// proportions (a portrait or a wide picture between black bars) and
// bevelled when the setting says so.
void InspectorPane::ShowGrabbedFrame(const QImage& Frame, bool& Shown) {
  Shown = false;
  if (Frame.isNull()) return;
  const int w = Frame.width();
  const int h = Frame.height();
  // The middle 80 % across, 8 % to 88 % down; halves round to even.
  const QRect crop(CLng(0.1 * w), CLng(0.08 * h), CLng(0.8 * w), CLng(0.8 * h));
  // The crop keeps the frame's proportions, which are the player's display
  // size's: the frame's own pixels may be stored in another shape.
  const QSize display = gPlayer && !gPlayer->DisplaySize().isEmpty() ? gPlayer->DisplaySize() : Frame.size();
  QImage thumb(100, 75, QImage::Format_RGB32);
  thumb.fill(Qt::black);
  QPainter painter(&thumb);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(FitPictureInBox(display, QRectF(thumb.rect())), Frame, crop);
  painter.end();
  picThumbnail->Cls();
  picThumbnail->SetPicture(QPixmap::fromImage(thumb));
  if (gBevelledThumbnails) modImageBevel::BevelPicture(*picThumbnail, 0.2f, 3);
  picThumbnail->SetPicture(picThumbnail->Image());
  picThumbnail->Cls();
  Shown = true;
}
