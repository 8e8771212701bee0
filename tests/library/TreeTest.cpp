// The library tree as an open builds it: the tag hierarchy, links and
// synonyms, the fixed groups, formats and devices, and the display order.
#include "tests/library/TreeFixture.h"
#include "ui/SchemeColours.h"

namespace {

using rwtest::OpenLibraryTest;
using TreeTest = OpenLibraryTest;

constexpr COLORREF kRed = 255;

TEST_F(TreeTest, NewLibraryShowsTheFixedGroupsInTheirOrder) {
  OpenWith();
  EXPECT_EQ(Shown(), (QStringList{"Unplayable", "Untagged", "Date Added", "File Formats", "Ratings", "Storage Devices",
                                  "Saved Playlists", "Saved Searches", "Saved Views"}));
  EXPECT_EQ(Shown("DATES"), (QStringList{"Today", "Past 3 Days", "Past Week", "Past Month", "Past 3 Months",
                                         "Past 6 Months", "Past Year", "Past 2 Years", "Past 3 Years"}));
  EXPECT_EQ(Shown("RATINGS"), (QStringList{"5", "4", "3", "2", "1", "Unrated"}));
  EXPECT_TRUE(Shown("FORMATS").isEmpty());
  EXPECT_TRUE(Shown("DISKS").isEmpty());

  EXPECT_EQ(Node("ID1").ForeColor(), kRed);
  EXPECT_EQ(Node("ID2").ForeColor(), gSchemeColour4);
  for (const char* key : {"ID1", "ID2", "ID3", "ID4", "ID-1", "DISKS", "DATES", "RATINGS", "FORMATS", "D-03m", "R-0"}) {
    EXPECT_TRUE(Node(QLatin1String(key)).Bold()) << key;
  }
  const std::map<QString, QString> images = {{"ID1", "UNPLAYABLE"},   {"ID2", "PLFOLDER"},  {"ID3", "SEARCHFOLDER"},
                                             {"ID4", "VIEWFOLDER"},   {"ID-1", "UNTAGGED"}, {"DISKS", "MEDIAFOLDER"},
                                             {"DATES", "DATEFOLDER"}, {"D-00d", "DATE"},    {"RATINGS", "RATINGFOLDER"},
                                             {"R-5", "STAR"},         {"R-0", "UNSTAR"},    {"FORMATS", "FORMATS"}};
  for (const auto& [key, image] : images) EXPECT_EQ(Node(key).Image(), image) << key.toStdString();
  EXPECT_EQ(Node("DISKS").StateImage(), 3) << "a group without children shows no expander";
  EXPECT_EQ(Node("DATES").StateImage(), 1);
  EXPECT_EQ(Count("SELECT count(*) FROM temp.sqlite_master WHERE name = 'tempTAGS'"), 0)
      << "the build leaves no work table behind";
  EXPECT_EQ(boxes.Count(), 0);
}

TEST_F(TreeTest, TagsSortByKindThenNameWhateverTheirCase) {
  OpenWith(QStringLiteral(
      "INSERT INTO Tags (TagID, Tag, Type) VALUES (10, 'Banana', 'T'), (11, 'apple', 'T'), (12, 'Zoo', 'C'), "
      "(13, 'Places', 'F'), (14, 'cherry', 'T'), (15, 'Berlin', 'T'), (16, 'athens', 'T'), (17, 'Party', 'L'), "
      "(18, 'Trips', 'S'), (19, 'Best of', 'V');"
      "INSERT INTO TagLinks VALUES (15, 12, 'P'), (16, 12, 'P'), (17, 10, 'P'), (18, 3, 'P'), (19, 4, 'P');"
      "INSERT INTO Views VALUES ('|_T:10', 'S', 18), ('|_T:11', 'V', 19);"
      // What another program left: Berlin filed under the folder, the folder
      // as though it sat under a tag in the category.
      "UPDATE Tags SET Behaviour = 'T', CategoryID = 13 WHERE TagID = 15;"
      "UPDATE Tags SET Behaviour = 'T', CategoryID = 12 WHERE TagID = 13"));
  EXPECT_EQ(Shown(), (QStringList{"Zoo", "Places", "apple", "Banana", "cherry", "Unplayable", "Untagged", "Date Added",
                                  "File Formats", "Ratings", "Storage Devices", "Saved Playlists", "Saved Searches",
                                  "Saved Views"}));
  EXPECT_EQ(Shown("ID12"), (QStringList{"athens", "Berlin"}));
  EXPECT_EQ(Node("ID12").Image(), QStringLiteral("CATEGORY"));
  EXPECT_EQ(Node("ID13").Image(), QStringLiteral("FOLDERCLOSED"));
  // A playlist shows under "Saved Playlists" whatever its parent link says.
  EXPECT_EQ(Node("ID17").Parent()->Key(), QStringLiteral("ID2"));
  EXPECT_EQ(Node("ID17").Image(), QStringLiteral("PLAYLIST"));
  EXPECT_EQ(Node("ID18").Image(), QStringLiteral("SEARCH"));
  EXPECT_EQ(Node("ID18").Tag(), QStringLiteral("|_T:10")) << "a saved search carries its spec";
  EXPECT_EQ(Node("ID19").Tag(), QString()) << "a saved view does not";
  for (const auto& node : Tree().Nodes)
    EXPECT_FALSE(node->Text().startsWith(QLatin1Char(' '))) << node->Key().toStdString();
  // The behaviours and categories follow the tree, whatever the rows held.
  EXPECT_EQ(Column(QStringLiteral("SELECT TagID || '|' || Behaviour || '|' || ifnull(CategoryID, 'NULL') FROM Tags "
                                  "WHERE TagID IN (13, 15, 16) ORDER BY TagID")),
            (QStringList{"13|F|NULL", "15|T|12", "16|T|12"}));
}

TEST_F(TreeTest, LinkBecomesSynonymOnceTheReverseLinkExists) {
  const QString tags = QStringLiteral(
      "INSERT INTO Tags (TagID, Tag, Type) VALUES (10, 'Film', 'T'), (11, 'Movie', 'T'), (12, 'Cinema', 'T');"
      "INSERT INTO TagLinks VALUES (12, 10, 'P');");
  OpenWith(tags + QStringLiteral("INSERT INTO TagLinks VALUES (10, 11, 'L')"));
  // Film hosts a link and has no parent: it is still a top-level tag.
  ASSERT_TRUE(Tree().Nodes.Exists("ID10"));
  EXPECT_EQ(Node("ID10").Parent(), nullptr);
  EXPECT_EQ(Shown("ID10"), (QStringList{"Cinema", "Movie"})) << "links sort after the tags below";
  EXPECT_EQ(Node("LINK10-11").Image(), QStringLiteral("LINK"));
  EXPECT_FALSE(Node("LINK10-11").Bold());
  EXPECT_FALSE(Tree().Nodes.Exists("LINK11-10"));

  Exec(QStringLiteral("INSERT INTO TagLinks VALUES (11, 10, 'L')"));
  gLibrary->PopulateTree();
  gLibrary->SortTree();
  EXPECT_EQ(Node("LINK10-11").Image(), QStringLiteral("AKA"));
  EXPECT_EQ(Node("LINK11-10").Image(), QStringLiteral("AKA"));
  EXPECT_EQ(Node("LINK11-10").Text(), QStringLiteral("Film"));
  EXPECT_FALSE(Node("LINK11-10").Bold());
  EXPECT_EQ(Shown("ID10"), (QStringList{"Cinema", "Movie"}));
  EXPECT_EQ(boxes.Count(), 0);
}

TEST_F(TreeTest, FilesWithoutFormatShareTheRedUndeterminedNode) {
  OpenWith(FileRow(5, "a.avi", "NULL") + FileRow(6, "b.avi", "''") + FileRow(7, "c.mkv", "'matroska'") +
           FileRow(8, "d.avi", "'AVI'") + FileRow(9, "e.avi", "'AVI'"));
  EXPECT_EQ(Shown("FORMATS"), (QStringList{"AVI", "matroska", "Undetermined"}));
  EXPECT_EQ(Node("F-Undetermined").ForeColor(), kRed);
  EXPECT_EQ(Node("F-AVI").ForeColor(), gSchemeColour4);
  EXPECT_EQ(Node("F-matroska").Image(), QStringLiteral("COG"));
  EXPECT_EQ(Node("FORMATS").StateImage(), 1);
}

TEST_F(TreeTest, DeviceWithAnOnlineAndAnOfflineRowEndsRedWithItsLastRowsText) {
  // The device rows as a rebuild left them, written once the library is open.
  OpenWith(FileRow(5) +
           QStringLiteral(
               "INSERT INTO VideoFiles (FileID, DiskSerialNo, FilePath, FileName) VALUES (6, 'CD01', 'x\\', 'b.avi'), "
               "(7, 'STICK', 'x\\', 'c.avi');"));
  Exec(QStringLiteral(
               "INSERT INTO FileLocations VALUES ('1A2B3C4D', 'FILMS', ':\\', '/films/', 'Fixed Disk', 'Films', 1), "
               "('1A2B3C4D', 'FILMS', ':\\share\\', '//server/films/', 'Remote (network) drive', 'Old name', 0), "
               "('CD01', 'DVD', ':\\', '/media/cd/', 'Optical drive (CD or DVD)', '', 1), "
               "('STICK', NULL, ':\\', '/media/usb/', 'Removable drive', NULL, 0), "
               "('EMPTY', 'UNUSED', ':\\', '/media/none/', 'Fixed Disk', NULL, 1)"));
  gLibrary->LoadStorageDeviceNodes();
  EXPECT_EQ(Shown("DISKS"), (QStringList{"DVD", "Old name", "STICK"})) << "a device without files has no node";
  EXPECT_EQ(Node("M-1A2B3C4D").ForeColor(), kRed) << "the offline row comes last in the query's order";
  EXPECT_EQ(Node("M-1A2B3C4D").Tag(), QStringLiteral("1A2B3C4D"));
  EXPECT_EQ(Node("M-1A2B3C4D").Image(), QStringLiteral("DISK"));
  EXPECT_EQ(Node("M-CD01").Image(), QStringLiteral("DISK-CD"));
  EXPECT_EQ(Node("M-CD01").ForeColor(), gSchemeColour4);
  EXPECT_EQ(Node("M-STICK").Image(), QStringLiteral("DISK-STICK"));
  EXPECT_EQ(Node("DISKS").StateImage(), 1);

  // A device that comes online again turns back to the scheme colour in place.
  Exec(QStringLiteral("UPDATE FileLocations SET Online = 1 WHERE DiskSerialNo = 'STICK'"));
  gLibrary->LoadStorageDeviceNodes();
  EXPECT_EQ(Node("M-STICK").ForeColor(), gSchemeColour4);
  EXPECT_EQ(Shown("DISKS").size(), 3);
}

TEST_F(TreeTest, CircleOfParentLinksIsReportedNotFollowed) {
  boxes.AnswerAll([](const MessageBoxRequest&) { return vbOK; });
  // Loop and Again hang below Top and below each other; Left and Right only
  // below each other, out of reach of the top level.
  OpenWith(QStringLiteral(
      "INSERT INTO Tags (TagID, Tag, Type) VALUES (10, 'Top', 'C'), (11, 'Loop', 'T'), (12, 'Again', 'T'), "
      "(13, 'Left', 'T'), (14, 'Right', 'T'), (15, 'Under', 'T');"
      "INSERT INTO TagLinks VALUES (11, 10, 'P'), (11, 12, 'P'), (12, 11, 'P'), (13, 14, 'P'), (14, 13, 'P'), "
      "(15, 12, 'P')"));
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_TRUE(boxes.Last().prompt.contains(QStringLiteral("Again, Left, Loop, Right")))
      << boxes.Last().prompt.toStdString();
  EXPECT_EQ(boxes.Last().style, vbExclamation);
  EXPECT_EQ(Node("ID11").Parent()->Key(), QStringLiteral("ID10"));
  EXPECT_EQ(Node("ID12").Parent()->Key(), QStringLiteral("ID11"));
  EXPECT_EQ(Node("ID15").Parent()->Key(), QStringLiteral("ID12"));
  EXPECT_EQ(Shown("ID12"), QStringList{"Under"});
  EXPECT_FALSE(Tree().Nodes.Exists("ID13"));
  EXPECT_TRUE(Tree().Nodes.Exists("ID4")) << "the rest of the tree is built";
}

TEST_F(TreeTest, TagWithTwoParentsShowsOnceWithItsChildren) {
  OpenWith(
      QStringLiteral("INSERT INTO Tags (TagID, Tag, Type) VALUES (10, 'A', 'T'), (11, 'B', 'T'), (12, 'Both', 'T'), "
                     "(13, 'Child', 'T');"
                     "INSERT INTO TagLinks VALUES (12, 10, 'P'), (12, 11, 'P'), (13, 12, 'P')"));
  EXPECT_EQ(boxes.Count(), 0);
  EXPECT_EQ(Shown("ID12"), QStringList{"Child"});
  EXPECT_EQ(Node("ID12").Parent()->Key(), QStringLiteral("ID10")) << "under its lowest parent, as its category says";
  EXPECT_TRUE(Shown("ID11").isEmpty());
}

}  // namespace
