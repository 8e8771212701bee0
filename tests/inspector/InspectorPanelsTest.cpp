// The inspector's description of the inspected file: device, folder and
// online state, details, alias, back-up note, rating stars and tags.
#include "tests/app/ProgramRun.h"

#include "devices/modStorageDevices.h"
#include "library/ResultItem.h"
#include "library/clsRWLibrary.h"
#include "platform/SqlConnection.h"
#include "platform/controls/ListView.h"
#include "ui/SchemeColours.h"

#include "platform/SqlRecordset.h"
#include "library/ViewSpec.h"

#include <QAction>
#include <QMenu>

#include <QAbstractItemModel>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QImage>
#include <QLocale>
#include <QScopeGuard>
#include <QTreeView>

#include <algorithm>
#include <map>
#include <utility>

namespace rwtest {
namespace {

class InspectorPanelsTest : public RunningProgramTest {
 protected:
  void SetUp() override {
    RunningProgramTest::SetUp();
    const QString library = gLibrariesFolder + QStringLiteral("Films.rw2");
    modReelwise::ExtractTemplateLibrary(library);
    gLibrary->OpenLibrary(library, true);
    folder_ = ScratchPath(QStringLiteral("films/"));
    QDir().mkpath(folder_);
    Db().Execute(QStringLiteral("INSERT INTO FileLocations VALUES ('AB12', 'Films', ':\\\\', '%1', 'Fixed Disk', "
                                "NULL, 1)")
                     .arg(folder_));
  }

  static SqlConnection& Db() { return gLibrary->Connection(); }
  void AddFile(int id, const QString& name, const QString& currentPath, const QString& extra = QString()) {
    Db().Execute(QStringLiteral("INSERT INTO VideoFiles (FileID, DiskSerialNo, FilePath, FileName, FileSize, "
                                "FrameRate, Bitrate, Dimensions, Rating, CurrentPath, DateTime) VALUES (%1, 'AB12', '', "
                                "'%2', 1294538130, 29.97, 12800, ' 720x576', %3, '%4', '2024-02-29 10:15:00')")
                     .arg(id)
                     .arg(name)
                     .arg(id % 6)
                     .arg(currentPath));
    Db().Execute(QStringLiteral("INSERT INTO VideoSegments (SegmentID, FileID, FileFlag, SelectionEnd, Online, "
                                "Rating%1) VALUES (%2, %2, 'Y', 65.4, 1, %2 % 6%3)")
                     .arg(extra.isEmpty() ? QString() : QStringLiteral(", FileAlias"))
                     .arg(id)
                     .arg(extra.isEmpty() ? QString() : QStringLiteral(", '%1'").arg(extra)));
  }
  static void Inspect(int id) {
    ResultItem item;
    item.SegmentID = id;
    item.FileID = id;
    bool loaded = false;
    gMainForm->Inspector().LoadInspector(item, loaded);
  }
  static InspectorPane& Pane() { return gMainForm->Inspector(); }
  static QString Label(int i) { return Pane().lblFileData[i]->Caption(); }
  // The tab expanded, as the user opens it with its arrow.
  static void Expand(int tab) {
    const int collapsed[] = {0, 21, 23, 138, 23};
    if (static_cast<int>(Pane().picInspector[tab]->Width()) == collapsed[tab]) Pane().lblCollapseTab_Click(tab);
  }
  // How far the farthest pixel of the area lies from the area's commonest
  // colour, in grey levels: what stands out from the ground.
  static int Contrast(const QImage& image, const QRect& area) {
    std::map<QRgb, int> counts;
    const QRect box = area.intersected(image.rect());
    for (int y = box.top(); y <= box.bottom(); ++y) {
      for (int x = box.left(); x <= box.right(); ++x) ++counts[image.pixel(x, y)];
    }
    if (counts.empty()) return 0;
    const QRgb ground = std::max_element(counts.begin(), counts.end(), [](const auto& a, const auto& b) {
                          return a.second < b.second;
                        })->first;
    int farthest = 0;
    for (const auto& [pixel, n] : counts) farthest = std::max(farthest, std::abs(qGray(pixel) - qGray(ground)));
    return farthest;
  }

  QString folder_;
};

TEST_F(InspectorPanelsTest, AnOfflineFileShowsItsStoredDetailsItsFolderAndOffline) {
  AddFile(5, QStringLiteral("Clip.avi"), QStringLiteral("[Offline] Films:\\films\\"));
  Inspect(5);
  EXPECT_EQ(boxes.Count(), 0);
  EXPECT_EQ(Label(1), QStringLiteral("Films/films/")) << "the volume and the folder on it, without the offline mark";
  EXPECT_EQ(Label(9), QStringLiteral("OFFLINE"));
  EXPECT_EQ(Pane().lblFileData[9]->ForeColor(), 255u);
  EXPECT_EQ(Label(8), QStringLiteral("Films"));
  EXPECT_EQ(Label(3), QStringLiteral("1,234.568 MB"));
  EXPECT_EQ(Label(4), QStringLiteral("0h:01m:05s"));
  EXPECT_EQ(Label(5), QStringLiteral("12,800 kbps"));
  EXPECT_EQ(Label(6), QStringLiteral("720x576"));
  EXPECT_EQ(Label(7), QStringLiteral("29.97 per sec."));
  AddFile(6, QStringLiteral("Root.avi"), QStringLiteral("[Offline] (no label):\\"));
  Inspect(6);
  EXPECT_EQ(Label(1), QStringLiteral("(no label)")) << "the root of a disk without a label, as its message names it";
  // The date in the locale's short form; under Arabic, which writes digits
  // of its own, the digits 0 to 9 with their own marks throughout.
  const QLocale saved;
  const auto restore = qScopeGuard([&saved] { QLocale::setDefault(saved); });
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  Inspect(5);
  EXPECT_EQ(Label(2), QStringLiteral("2/29/24"));
  QLocale::setDefault(QLocale(QLocale::Arabic, QLocale::Egypt));
  Inspect(5);
  EXPECT_EQ(Label(3), QStringLiteral("1,234.568 MB"));
  EXPECT_EQ(Label(5), QStringLiteral("12,800 kbps"));
  EXPECT_EQ(Label(7), QStringLiteral("29.97 per sec."));
  EXPECT_TRUE(Label(2).contains(QStringLiteral("29")) && Label(2).contains(QStringLiteral("2024")))
      << Label(2).toStdString();
  EXPECT_EQ(Pane().flexFileDetails->TextMatrix(1, 0), QStringLiteral("Clip")) << "the name without its extension";
  EXPECT_EQ(Pane().imgDeviceType->Picture().toImage(),
            gMainForm->imglstDragIcons.Picture(QStringLiteral("DRIVE")).toImage());

  // In French, as the list and the statistics show numbers there.
  QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
  Inspect(5);
  EXPECT_EQ(Label(3), QStringLiteral(u"1\u202F234,568 MB"));
  EXPECT_EQ(Label(7), QStringLiteral("29,97 per sec."));
}

// The device table stores the type the device code names for a mount; the
// inspector shows the picture of each such type, a RAM disk's among them.
TEST_F(InspectorPanelsTest, EachKindOfDeviceTheDeviceCodeNamesShowsItsPicture) {
  AddFile(5, QStringLiteral("Clip.avi"), QStringLiteral("[Offline] Films:\\films\\"));
  const QString ram = System().MountPoint(QStringLiteral("ram"));
  System().Mount(ram, QStringLiteral("tmpfs"), QStringLiteral("tmpfs"), QStringLiteral("/"), 0, 61);
  const QString stick = System().MountPoint(QStringLiteral("stick"));
  System().MountDisk(stick, QStringLiteral("vfat"),
                     {.device = QStringLiteral("/dev/sdb1"), .uuid = QStringLiteral("0A2B-3C4D"), .removable = true});
  const QString disc = System().MountPoint(QStringLiteral("dvd"));
  System().MountDisk(disc, QStringLiteral("iso9660"),
                     {.device = QStringLiteral("/dev/sr0"), .uuid = QStringLiteral("2019-05-01-12-00-00-00"),
                      .optical = true, .major = 11, .minor = 0});
  const QString disk = System().MountPoint(QStringLiteral("disk"));
  System().MountDisk(disk, QStringLiteral("ext4"),
                     {.device = QStringLiteral("/dev/sda2"), .uuid = QStringLiteral("4f1c2d3e"), .minor = 2});
  const QString share = System().MountPoint(QStringLiteral("share"));
  System().Mount(share, QStringLiteral("cifs"), QStringLiteral("//server/Films"));
  System().Write();
  const std::pair<QString, const char*> kinds[] = {
      {disk, "DRIVE"}, {ram, "RAMDISK"}, {stick, "FLASH"}, {share, "NETSHARE"}, {disc, "DVD"}, {ram, "RAMDISK"}};
  for (const auto& [root, key] : kinds) {
    const QString type = modStorageDevices::GetDriveTypeText(root);
    Db().Execute(QStringLiteral("UPDATE FileLocations SET DiskType = '%1'").arg(type));
    Inspect(5);
    EXPECT_EQ(Pane().imgDeviceType->Picture().toImage(),
              gMainForm->imglstDragIcons.Picture(QLatin1String(key)).toImage())
        << type.toStdString();
  }
  EXPECT_EQ(boxes.Count(), 0);
}

TEST_F(InspectorPanelsTest, AFileThatDoesNotOpenShowsItsOwnStoredPoints) {
  AddFile(5, QStringLiteral("Clip.avi"), QStringLiteral("[Offline] Films:\\films\\"));
  Db().Execute(QStringLiteral("INSERT INTO VideoSegments (SegmentID, FileID, SelectionStart, SelectionEnd, Online, "
                              "Rating) VALUES (50, 5, 12.5, 20, 0, 0)"));
  Pane().m_SegmentStart = 3;  // what a previous file left
  Pane().m_SegmentEnd = 4;
  Inspect(5);
  EXPECT_EQ(Pane().m_SegmentStart, 0.0);
  EXPECT_EQ(Pane().m_SegmentEnd, 65.4) << "the whole file: 0 and its stored end";
  ResultItem segment;
  segment.SegmentID = 50;
  segment.FileID = 5;
  bool loaded = true;
  gResultKind = ResultScope::Segment;  // the segment's own row is selected
  Pane().LoadInspector(segment, loaded);
  EXPECT_EQ(Pane().m_SegmentStart, 12.5);
  EXPECT_EQ(Pane().m_SegmentEnd, 20.0);
  EXPECT_EQ(gInspectedItem.SelectionStart, 12.5);
}

TEST_F(InspectorPanelsTest, AnOnlineFileShowsOnlineItsAliasAndItsBackUpChoices) {
  AddFile(2, QStringLiteral("Film.mkv"), folder_, QStringLiteral("The Film"));
  QFile(folder_ + "Film.mkv.RWBAK").open(QIODevice::WriteOnly);
  Inspect(2);
  EXPECT_EQ(Label(9), QStringLiteral("ONLINE"));
  EXPECT_EQ(Pane().lblFileData[9]->ForeColor(), 49152u);
  EXPECT_EQ(Label(1), folder_);
  EXPECT_EQ(Pane().flexFileDetails->TextMatrix(1, 0), QStringLiteral("The Film"));
  EXPECT_TRUE(Pane().frameBackupOptions->isVisibleTo(Pane().frameBackupOptions->parentWidget()));
  EXPECT_FALSE(Pane().lblRemoveBackup[1]->isVisibleTo(Pane().frameBackupOptions)) << "the file itself is missing";
  EXPECT_TRUE(Pane().lblRemoveBackup[2]->isVisibleTo(Pane().frameBackupOptions));
  QFile(folder_ + "Film.mkv").open(QIODevice::WriteOnly);
  Inspect(2);
  EXPECT_TRUE(Pane().lblRemoveBackup[1]->isVisibleTo(Pane().frameBackupOptions));
  EXPECT_TRUE(Pane().lblRemoveBackup[3]->isVisibleTo(Pane().frameBackupOptions));
}

TEST_F(InspectorPanelsTest, StarsAreFilledUpToTheRating) {
  AddFile(3, QStringLiteral("Three.avi"), folder_);
  Inspect(3);
  for (int star = 1; star <= 5; ++star) {
    EXPECT_EQ(Pane().imgRating[star]->property("Star").toString(),
              star <= 3 ? QStringLiteral("STAR") : QStringLiteral("UNSTAR"))
        << "star " << star;
  }
  Pane().ShowRating(0);
  for (int star = 1; star <= 5; ++star) EXPECT_EQ(Pane().imgRating[star]->property("Star"), "UNSTAR");
}

TEST_F(InspectorPanelsTest, TagsOfTheFileItsSegmentsAndTheirLinksEachHaveTheirLook) {
  AddFile(4, QStringLiteral("Tagged.avi"), folder_);
  Db().Execute(QStringLiteral("INSERT INTO VideoSegments (SegmentID, FileID, SelectionStart, SelectionEnd, Online, "
                              "Rating) VALUES (40, 4, 1, 2, 1, 0)"));
  Db().Execute(QStringLiteral(
      "INSERT INTO Tags (TagID, Tag, Type) VALUES (10, 'Genre', 'C'), (11, 'Drama', 'T'), (12, 'Night', 'T'), "
      "(13, 'Mood', 'T')"));
  Db().Execute(QStringLiteral("INSERT INTO TagLinks (TagID, LinkedTag, Relationship) VALUES (11, 10, 'C'), "
                              "(12, 13, 'T')"));
  Db().Execute(QStringLiteral("INSERT INTO SegmentTags (SegmentID, TagID) VALUES (4, 11), (40, 12)"));
  gResultKind = ResultScope::File;
  Inspect(4);
  gEditedSegment.SegmentID = -1;  // the whole-file view: no particular segment
  gEditedSegment.IsFileRow = true;
  gEditedSegment.FileID = 4;
  Pane().ShowFileTags(gEditedSegment);
  std::map<QString, const ctl::ListSubItem*> looks;
  for (int i = 1; i <= Pane().lstFileTags->ListItems.Count(); ++i) {
    const ctl::ListItem& item = Pane().lstFileTags->ListItems.Item(i);
    const ctl::ListSubItem& tag = item.ListSubItems.Item(1);
    looks[tag.Text()] = &tag;
  }
  ASSERT_TRUE(looks.count(QStringLiteral("Drama")) && looks.count(QStringLiteral("Night")));
  EXPECT_TRUE(looks[QStringLiteral("Drama")]->Bold()) << "an explicit file tag";
  EXPECT_EQ(looks[QStringLiteral("Drama")]->ForeColor(), gSchemeColour4);
  EXPECT_EQ(looks[QStringLiteral("Night")]->ForeColor(), gSchemeColour3) << "carried by a segment";
  EXPECT_TRUE(looks[QStringLiteral("Night")]->ToolTipText().endsWith(QStringLiteral(" (implied via Segment)")));
  if (looks.count(QStringLiteral("Mood"))) {
    EXPECT_FALSE(looks[QStringLiteral("Mood")]->Bold()) << "reached through a link";
    EXPECT_TRUE(looks[QStringLiteral("Mood")]->ToolTipText().endsWith(QStringLiteral(" (implied via Link)")));
  }

  // Tagged Holiday and, under it, Beach and Sand: Holiday is named once, as
  // the explicit tag it is; Summer, above Beach and Sand, once as implied.
  Db().Execute(QStringLiteral("INSERT INTO Tags (TagID, Tag, Type) VALUES (14, 'Holiday', 'T'), (15, 'Beach', 'T'), "
                              "(16, 'Sand', 'T'), (17, 'Summer', 'T')"));
  Db().Execute(QStringLiteral("INSERT INTO TagLinks (TagID, LinkedTag, Relationship) VALUES (15, 14, 'P'), "
                              "(16, 14, 'P'), (15, 17, 'L'), (16, 17, 'L')"));
  Db().Execute(QStringLiteral("INSERT INTO SegmentTags (SegmentID, TagID) VALUES (4, 15), (4, 14), (4, 16)"));
  Pane().ShowFileTags(gEditedSegment);
  QStringList names;
  for (int i = 1; i <= Pane().lstFileTags->ListItems.Count(); ++i) {
    names << Pane().lstFileTags->ListItems.Item(i).ListSubItems.Item(1).Text();
  }
  for (const char* name : {"Holiday", "Beach", "Sand", "Summer", "Drama"}) {
    EXPECT_EQ(names.count(QLatin1String(name)), 1) << name << " in " << names.join(QLatin1Char(',')).toStdString();
  }
  const qsizetype holiday = names.indexOf(QStringLiteral("Holiday"));
  ASSERT_GE(holiday, 0);
  EXPECT_TRUE(Pane().lstFileTags->ListItems.Item(static_cast<int>(holiday) + 1).ListSubItems.Item(1).Bold())
      << "named as the explicit tag";
}

TEST_F(InspectorPanelsTest, RemovingTheSelectedTagTakesItOffTheSegmentShown) {
  AddFile(6, QStringLiteral("Six.avi"), folder_);
  Db().Execute(QStringLiteral("INSERT INTO Tags (TagID, Tag, Type) VALUES (21, 'Comedy', 'T'), (22, 'Summer', 'T')"));
  Db().Execute(QStringLiteral("INSERT INTO SegmentTags (SegmentID, TagID) VALUES (6, 21), (6, 22)"));
  Inspect(6);
  ASSERT_EQ(Pane().lstFileTags->ListItems.Count(), 2);
  for (int i = 1; i <= 2; ++i) {
    ctl::ListItem& item = Pane().lstFileTags->ListItems.Item(i);
    if (item.Tag() == QLatin1String("22")) item.SetSelected(true);
  }
  Pane().tbCataloguing_ButtonClick(1);
  EXPECT_EQ(Db().OpenRecordset(QStringLiteral("SELECT count(*) FROM SegmentTags WHERE SegmentID = 6"))->Value(0).toInt(), 1);
  ASSERT_EQ(Pane().lstFileTags->ListItems.Count(), 1);
  EXPECT_EQ(Pane().lstFileTags->ListItems.Item(1).Tag(), QStringLiteral("21"));
}

TEST_F(InspectorPanelsTest, ARightPressOnThePreviewActsOnTheSegmentShownWithItsPoints) {
  AddFile(7, QStringLiteral("Seven.avi"), folder_);
  Db().Execute(QStringLiteral("INSERT INTO VideoSegments (SegmentID, FileID, SelectionStart, SelectionEnd, Online, "
                              "Rating) VALUES (70, 7, 3.5, 9, 1, 0)"));
  gResultKind = ResultScope::Segment;
  ResultItem item;
  item.SegmentID = 70;
  item.FileID = 7;
  bool loaded = false;
  Pane().LoadInspector(item, loaded);
  gCurrentItem = ResultItem{};
  gCurrentItem.SegmentID = 999;  // the browser's current item is another
  Pane().picOpenFile_MouseDown(2, 0, 10, 10);
  EXPECT_EQ(gSavedItem.SegmentID, 70);
  EXPECT_EQ(gSavedItem.FileID, 7);
  EXPECT_EQ(gSavedItem.SelectionStart, 3.5);
  EXPECT_EQ(gSavedItem.SelectionEnd, 9.0);
  EXPECT_TRUE(gMainForm->mnuResultsPopUp->isVisible());
  EXPECT_EQ(gMainForm->mnuResultsPopUp->property("Tag").toString(), QStringLiteral("Inspector"));
  EXPECT_TRUE(gMainForm->mnuRecentFiles->isVisible());
  EXPECT_FALSE(gMainForm->mnuClearSelections->isVisible());
  gMainForm->mnuResultsPopUp->hide();
}

TEST_F(InspectorPanelsTest, EachDetailHasItsCaptionBesideItAndTheNameStandsOutFromItsGround) {
  AddFile(2, QStringLiteral("Film.mkv"), folder_);
  Expand(1);
  Inspect(2);
  const std::pair<int, const char*> captions[] = {{2, "Date:"},       {3, "Size:"},         {4, "Duration:"},
                                                  {5, "Bitrate:"},    {6, "Resolution:"},   {7, "Frame Rate:"},
                                                  {12, "Format:"},    {13, "Video:"},       {14, "Audio:"}};
  for (const auto& [index, text] : captions) {
    const ctl::Label* value = Pane().lblFileData[static_cast<size_t>(index)];
    const auto caption = std::find_if(Pane().lblFileSpec.begin(), Pane().lblFileSpec.end(),
                                      [&](const ctl::Label* label) { return label->Caption() == QLatin1String(text); });
    ASSERT_NE(caption, Pane().lblFileSpec.end()) << text;
    EXPECT_EQ((*caption)->Top(), value->Top()) << text << " on the row of its value";
    EXPECT_LE((*caption)->Left() + (*caption)->Width(), value->Left()) << text << " left of its value";
    EXPECT_TRUE((*caption)->isVisibleTo(Pane().picInspector[1])) << text;
  }
  const ctl::Label& name = *Pane().lblFileData[0];
  ASSERT_EQ(name.Caption().trimmed(), QStringLiteral("Film.mkv"));
  const QImage tab = Pane().picInspector[1]->grab().toImage();
  EXPECT_GT(Contrast(tab, name.geometry()), 100) << "the file name is readable on what lies behind it";
}

TEST_F(InspectorPanelsTest, TheTagListHasOneHeadingAndItsNamesInTheWideColumn) {
  AddFile(6, QStringLiteral("Six.avi"), folder_);
  Db().Execute(QStringLiteral("INSERT INTO Tags (TagID, Tag, Type) VALUES (21, 'Zoë''s Birthday', 'T')"));
  Db().Execute(QStringLiteral("INSERT INTO SegmentTags (SegmentID, TagID) VALUES (6, 21), (6, 1)"));
  Inspect(6);
  QTreeView& view = *Pane().lstFileTags->View();
  QStringList headings;
  int widest = 0;
  for (int c = 0; c < view.model()->columnCount(); ++c) {
    if (view.isColumnHidden(c) || view.columnWidth(c) <= 0) continue;
    const QString heading = view.model()->headerData(c, Qt::Horizontal).toString();
    if (!heading.isEmpty()) headings << heading;
    if (view.columnWidth(c) > view.columnWidth(widest)) widest = c;
  }
  EXPECT_EQ(headings, QStringList{QStringLiteral("Tags")});
  ASSERT_EQ(Pane().lstFileTags->ListItems.Count(), 2);
  QFont bold = view.font();  // the names are bold
  bold.setBold(true);
  const QFontMetrics metrics(bold);
  for (int row = 0; row < 2; ++row) {
    const QModelIndex name = view.model()->index(row, widest);
    const QString text = name.data().toString();
    EXPECT_TRUE(text == QStringLiteral("Zoë's Birthday") || text == QStringLiteral("Unplayable")) << text.toStdString();
    EXPECT_GE(view.visualRect(name).width(), metrics.horizontalAdvance(text)) << "the whole name shows";
    EXPECT_LE(view.visualRect(name).left(), 2) << "from the list's left edge";
  }
}

TEST_F(InspectorPanelsTest, AFileWithoutItsDeviceRowSaysSo) {
  Db().Execute(QStringLiteral("INSERT INTO VideoFiles (FileID, DiskSerialNo, FilePath, FileName, FileSize, "
                              "CurrentPath) VALUES (9, 'NONE', '', 'Lost.avi', 1, '[Offline] X:\\\\')"));
  Db().Execute(QStringLiteral("INSERT INTO VideoSegments (SegmentID, FileID, FileFlag, SelectionEnd, Online, "
                              "Rating) VALUES (9, 9, 'Y', 1, 0, 0)"));
  boxes.Answer(1);
  Inspect(9);
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_EQ(boxes.Last().title, QStringLiteral("Problem getting File Information!"));
}

}  // namespace
}  // namespace rwtest
