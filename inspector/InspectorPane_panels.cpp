// The inspector's description of the inspected file: where it lives (device
// picture, disk, folder, online state), its details, alias, description and
// thumbnail, its back-up note, its rating stars and its tags.
#include "inspector/InspectorPane.h"

#include "core/ProgramMessage.h"
#include "core/ShownNumbers.h"
#include "core/modReelwise.h"
#include "devices/StorageDevice.h"
#include "library/ResultItem.h"
#include "library/clsRWLibrary.h"
#include "platform/ErrorGuard.h"
#include "platform/MountProbe.h"
#include "platform/RWError.h"
#include "platform/SqlConnection.h"
#include "platform/SqlRecordset.h"
#include "platform/controls/ListView.h"
#include "ui/SchemeColours.h"

#include <QFileInfo>
#include <QFontMetrics>
#include <QSet>

#include <utility>

ResultItem gEditedSegment;

namespace {

// The picture of each device type the device table stores; another type
// leaves the picture as it was.
QString DeviceImageKey(const QString& diskType) {
  if (diskType == QLatin1String(DriveType::kFixed)) return QStringLiteral("DRIVE");
  if (diskType == QLatin1String(DriveType::kRemovable)) return QStringLiteral("FLASH");
  if (diskType == QLatin1String(DriveType::kOptical)) return QStringLiteral("DVD");
  if (diskType == QLatin1String(DriveType::kNetwork)) return QStringLiteral("NETSHARE");
  if (diskType == QLatin1String(DriveType::kRamDisk)) return QStringLiteral("RAMDISK");
  return {};
}

constexpr COLORREF kOnlineGreen = 49152;
constexpr COLORREF kOfflineRed = 255;

}  // namespace

// The caption shortened with "..." to the label's width in its own font,
// never ending in a blank before the dots.
QString InspectorPane::FitCaption(ctl::Label& label, const QString& caption) {
  const QFontMetrics metrics(label.font());
  const int width = static_cast<int>(label.width());
  if (metrics.horizontalAdvance(caption) <= width) return caption;
  QString text = caption;
  while (!text.isEmpty() && metrics.horizontalAdvance(text.trimmed() + QStringLiteral("...")) > width) text.chop(1);
  return text.trimmed() + QStringLiteral("...");
}

void InspectorPane::ShowFileLocation() {
  try {
    auto rs = gLibrary->Connection().OpenRecordset(
        QStringLiteral("SELECT SD.DiskType, SD.DiskLabel, VF.CurrentPath FROM FileLocations SD, VideoFiles VF "
                       "WHERE VF.DiskSerialNo = SD.DiskSerialNo AND VF.FileID = %1")
            .arg(gInspectedItem.FileID));
    if (rs->Eof()) throw RWError(3021, QStringLiteral("Either BOF or EOF is True, or the current record has been "
                                                     "deleted. Requested operation requires a current record."));
    ShowDevice(rs->Value(QStringLiteral("DiskType")).toString(), rs->Value(QStringLiteral("DiskLabel")).toString(),
               rs->Value(QStringLiteral("CurrentPath")).toString());
  } catch (const RWError& error) {
    ShowProgramMessage(ErrorGuard::InOwnWords(error, QStringLiteral("[%1] %2").arg(error.Number()).arg(error.Description())),
                       vbExclamation,
                       QStringLiteral("Problem getting File Information!"), picBottom->window());
    return;
  }
  QImage thumbnail;
  gLibrary->ThumbnailToPicture(gInspectedItem.SegmentID, gInspectedItem.FileID, thumbnail);
  if (!thumbnail.isNull()) picThumbnail->SetPicture(QPixmap::fromImage(thumbnail));
  ShowRating(gInspectedItem.Rating);
  ShowDetails();
  // Last: it waits while the file's mount is asked.
  ShowBackupNote();
}

void InspectorPane::ShowDevice(const QString& diskType, const QString& diskLabel, const QString& currentPath) {
  const QString key = DeviceImageKey(diskType);
  if (!key.isEmpty() && host_.imglstDragIcons().ListImages.Exists(key)) {
    imgDeviceType->SetPicture(host_.imglstDragIcons().Picture(key));
  }
  lblFileData[8]->SetCaption(diskLabel);
  const bool online = !currentPath.startsWith(QLatin1Char('['));
  // An offline folder reads as the offline message names it.
  lblFileData[1]->SetCaption(online ? currentPath : ReadOfflineLocation(currentPath).Shown());
  lblFileData[9]->SetCaption(online ? QStringLiteral("ONLINE") : QStringLiteral("OFFLINE"));
  lblFileData[9]->SetForeColor(online ? kOnlineGreen : kOfflineRed);
}

// The note of a back-up (the file's path and ".RWBAK") next to a file on a
// drive: Delete and Swap only while the file itself is there too.
void InspectorPane::ShowBackupNote() {
  const QString& folder = gInspectedItem.CurrentPath;
  if (folder.startsWith(QLatin1Char('['))) return;  // offline: left as it was
  const QString file = folder + gInspectedItem.FileName;
  // Asked through the mount probe: a drive that does not answer shows no note.
  const auto found = MountProbe::CallOnPath(file, [file] {
    return std::pair{QFileInfo::exists(file + QStringLiteral(".RWBAK")), QFileInfo::exists(file)};
  });
  if (!found || !found->first) {
    frameBackupOptions->SetVisible(false);
    return;
  }
  const bool fileThere = found->second;
  frameBackupOptions->SetVisible(true);
  lblRemoveBackup[1]->SetVisible(fileThere);
  lblRemoveBackup[2]->SetVisible(true);
  lblRemoveBackup[3]->SetVisible(fileThere);
}

void InspectorPane::ShowDetails() {
  const ResultItem& item = gInspectedItem;
  lblFileData[0]->SetCaption(FitCaption(*lblFileData[0], item.FileName + QLatin1Char(' ')));
  lblFileData[2]->SetCaption(ShownNumbers::Date(item.FileDate.date()));
  lblFileData[3]->SetCaption(ShownNumbers::Megabytes(item.FileSize, ShownNumbers::Grouping::Thousands));
  lblFileData[4]->SetCaption(ShownNumbers::Duration(item.Duration, false, false));
  lblFileData[5]->SetCaption((item.Bitrate ? ShownNumbers::BitRate(item.Bitrate) : QString()) + QStringLiteral(" kbps"));
  lblFileData[6]->SetCaption(item.Dimensions.trimmed());
  lblFileData[7]->SetCaption(ShownNumbers::FrameRate(item.FrameRate) + QStringLiteral(" per sec."));
  // Rows 1 and 3 hold the alias and the description (under their headings).
  if (flexFileDetails->Rows() < 4) flexFileDetails->SetRows(4);
  if (flexFileDetails->Cols() < 1) flexFileDetails->SetCols(1);
  flexFileDetails->SetTextMatrix(1, 0, ShownAlias(item));
  flexFileDetails->SetTextMatrix(3, 0, item.Description);
}

// Stars 1 to 5: filled up to the rating; the selected segment's row shows
// the number.
void InspectorPane::ShowRating(int16_t rating) {
  ctl::ImageList& images = host_.imglstReelwise();
  for (int star = 1; star <= 5; ++star) {
    const QString key = star <= rating ? QStringLiteral("STAR") : QStringLiteral("UNSTAR");
    if (images.ListImages.Exists(key)) imgRating[star]->SetPicture(images.Picture(key));
    imgRating[star]->setProperty("Star", key);
  }
  if (flexSegments->Rows() > 1 && flexSegments->Cols() > 5) {
    flexSegments->SetTextMatrix(flexSegments->Row(), 5, QString::number(rating));
  }
}

// The explicit and implied tags of the file (or of the segment and its file):
// explicit file tags bold, segment tags bold in the third scheme colour,
// tags reached through links plain; each with its category as tool tip.
void InspectorPane::ShowFileTags(const ResultItem& segment) {
  lstFileTags->ListItems.Clear();
  gLibrary->GetSegmentTags(gEditedSegment.IsFileRow, gInspectedItem.FileID, gEditedSegment.SegmentID, false, true);
  // The structure holds a tag once for each explicit tag that reaches it:
  // the list names it once, as the explicit tag where it is one ("Holiday"
  // tagged and implied by "Beach" under it), else where it is first implied.
  auto rs = gLibrary->Connection().OpenRecordset(QStringLiteral(
      "SELECT * FROM TEMP_FileTagStructure WHERE Tier = 1 OR TagID NOT IN (SELECT TagID FROM "
      "TEMP_FileTagStructure WHERE Tier = 1) ORDER BY ViaSegment, ExplicitTagCategory, ExplicitTagID, Tier, "
      "TagCategory, Tag"));
  QSet<QString> listed;
  for (int position = 1; !rs->Eof(); rs->MoveNext(), ++position) {
    const QString tagId = rs->Value(QStringLiteral("TagID")).toString();
    if (listed.contains(tagId)) continue;
    listed.insert(tagId);
    ctl::ListItem& item = lstFileTags->ListItems.Add();
    item.SetTag(tagId);
    ctl::ListSubItem& tag = item.ListSubItems.Add(0, QString(), rs->Value(QStringLiteral("Tag")).toString());
    const QString category = rs->Value(QStringLiteral("TagCategory")).toString();
    const int tier = rs->Value(QStringLiteral("Tier")).toInt();
    tag.SetTag(QString::number(position));
    tag.SetForeColor(gSchemeColour4);
    tag.SetBold(true);
    tag.SetToolTipText(category);
    if (tier == 1 && rs->Value(QStringLiteral("FileFlag")).toString() != QLatin1String("Y")) {
      tag.SetForeColor(gSchemeColour3);
      if (segment.SegmentID == -1) tag.SetToolTipText(category + QStringLiteral(" (implied via Segment)"));
    } else if (tier > 1) {
      tag.SetBold(false);
      tag.SetToolTipText(category + QStringLiteral(" (implied via Link)"));
    }
  }
  const bool more = lstFileTags->ListItems.Count() > lstFileTags->CountPerPage();
  for (ctl::Label* arrow : lblTagListScroll) arrow->SetVisible(more);
}
