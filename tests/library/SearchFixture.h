#pragma once
// A small catalogue for the view-step, result and history tests, opened by
// the library object on a host that is either the library alone
// (LibraryTest) or the running program (RunningProgramTest): six files on three devices (two offline), cut
// segments with ratings, aliases and descriptions, and a tag tree with a
// category, a parent chain, a cross link and a playlist. The same catalogue
// is kept as plain records, from which a test works out what a step must
// leave in SearchResults without asking the database.
#include "library/HistoryEntry.h"
#include "library/ResultItem.h"
#include "library/ViewSpec.h"
#include "library/clsRWLibrary.h"
#include "platform/SqlRecordset.h"
#include "platform/SqlText.h"
#include "tests/library/LibraryFixture.h"

#include <QFile>

#include <algorithm>
#include <functional>
#include <ostream>
#include <set>
#include <vector>

// Failures show texts as text.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace rwtest {

struct FixtureFile {
  int id;
  QString name;
  QString format;  // a null text is a NULL format
  QString serial;
  bool online;
  QString added;  // DateAdded as stored
};

struct FixtureSegment {
  int id;
  int file;
  bool fileRow;
  int rating;
  QString alias;        // null: NULL
  QString description;  // null: NULL
  std::vector<int> tags;
};

struct FixtureTag {
  int id;
  QString name;
  const char* type;
  const char* behaviour;
};

using RowSet = std::set<int>;

template <class Host>
class SearchTestOn : public Host {
 protected:
  // The date every date step of these tests takes for today: a month end
  // after a leap day.
  static QDate Today() { return QDate(2024, 3, 31); }

  void SetUp() override {
    Host::SetUp();
    ViewSpec::SetSearchClock([] { return Today(); });
    const QString path = gLibrariesFolder + QStringLiteral("Search.rw2");
    modReelwise::ExtractTemplateLibrary(path);
    SqlConnection::Open(path)->Execute(CatalogueSql());
    MountOnlineDevices();
    gLibrary->OpenLibrary(path, true);
    ASSERT_EQ(gLibrary->LibraryPath, path);
    AddTreeNodes();
    gResultKind = ResultScope::File;
    gOnlineFilter = StorageFilter::All;
  }

  void TearDown() override {
    ViewSpec::SetSearchClock({});
    Host::TearDown();
  }

  // The devices present: AAAA1111 a FAT disk mounted at "/" (so its files
  // are in /films/), CC'33 a card known by its identifier file; BBBB2222 is
  // absent.
  void MountOnlineDevices() {
    FakeSystemRoot& system = this->System();
    system.MountDisk(QStringLiteral("/"), QStringLiteral("vfat"),
                     {.device = QStringLiteral("/dev/sda1"), .uuid = QStringLiteral("AAAA-1111"), .major = 8, .minor = 1});
    const QString card = system.MountPoint(QStringLiteral("card"));
    QFile identifier(card + QStringLiteral("/Reelwise_II_Identifier"));
    if (identifier.open(QIODevice::WriteOnly)) identifier.write("CC'33\r\n");
    system.Mount(card, QStringLiteral("tmpfs"), QStringLiteral("tmpfs"), QStringLiteral("/"), 0, 50);
    system.Write();
  }

  // ---- The catalogue ----
  static const std::vector<FixtureFile>& Files() {
    static const std::vector<FixtureFile> files = {
        {1, QStringLiteral("Summer Beach.mkv"), QStringLiteral("MPEG-4"), QStringLiteral("AAAA1111"), true,
         QStringLiteral("2024-03-31 10:15:00")},
        {2, QStringLiteral("Winter.avi"), QString(), QStringLiteral("BBBB2222"), false, QStringLiteral("2024-03-21")},
        {3, QStringLiteral("Party [2019].mp4"), QStringLiteral(""), QStringLiteral("AAAA1111"), true,
         QStringLiteral("2024-02-29")},
        {4, QStringLiteral("O'Brien.mov"), QStringLiteral("QuickTime"), QStringLiteral("CC'33"), true,
         QStringLiteral("2022-03-31")},
        {5, QStringLiteral("Untitled.mkv"), QStringLiteral("Matroska"), QStringLiteral("BBBB2222"), false,
         QStringLiteral("2024-02-28")},
        {6, QStringLiteral("Été à Nice.mkv"), QStringLiteral("MPEG-4"), QStringLiteral("AAAA1111"), true,
         QStringLiteral("2023-03-31")},
    };
    return files;
  }
  static const std::vector<FixtureSegment>& Segments() {
    static const std::vector<FixtureSegment> segments = {
        {1, 1, true, 3, QString(), QString(), {14}},
        {101, 1, false, 0, QStringLiteral("Anna's swim"), QStringLiteral("at the BEACH"), {11}},
        {102, 1, false, 5, QString(), QStringLiteral("sunset"), {20}},
        {2, 2, true, 0, QStringLiteral("Snow"), QString(), {}},
        {201, 2, false, 5, QString(), QString(), {12}},
        {3, 3, true, 4, QString(), QStringLiteral("a beach party"), {13}},
        {301, 3, false, 0, QStringLiteral("Dancing"), QString(), {}},
        {302, 3, false, 2, QString(), QString(), {15}},
        {4, 4, true, 0, QString(), QString(), {}},
        {5, 5, true, 1, QString(), QString(), {}},
        {501, 5, false, 0, QStringLiteral("Clip"), QStringLiteral("x"), {20}},
        {6, 6, true, 5, QString(), QString(), {}},
        {601, 6, false, 0, QString(), QString(), {11}},
        {602, 6, false, 3, QStringLiteral("Harbour"), QString(), {}},
    };
    return segments;
  }
  static const std::vector<FixtureTag>& Tags() {
    static const std::vector<FixtureTag> tags = {
        {10, QStringLiteral("People"), "C", "C"},      {11, QStringLiteral("Anna"), "T", "T"},
        {12, QStringLiteral("Anna Jr"), "T", "T"},     {13, QStringLiteral("Ben"), "T", "T"},
        {14, QStringLiteral("Beach"), "T", "T"},       {15, QStringLiteral("Sea"), "T", "T"},
        {20, QStringLiteral("Party mix"), "L", "L"},
    };
    return tags;
  }
  // {TagID, LinkedTag}: 11 and 13 under 10, 12 under 11, 15 linked to 14.
  static const std::vector<std::pair<int, int>>& Links() {
    static const std::vector<std::pair<int, int>> links = {{11, 10}, {12, 11}, {13, 10}, {15, 14}};
    return links;
  }

  static QString Nullable(const QString& text) { return text.isNull() ? QStringLiteral("NULL") : SqlQuote(text); }

  static QString CatalogueSql() {
    QStringList sql;
    for (const FixtureFile& f : Files()) {
      sql << QStringLiteral(
                 "INSERT INTO VideoFiles (FileID, DiskSerialNo, FilePath, FileName, FileFormat, FileSize, Dimensions, "
                 "Bitrate, FrameRate, CurrentPath, DateAdded) VALUES (%1, %2, 'films\\', %3, %4, %5, '640x480', 800, "
                 "29.97, '/films/', %6)")
                 .arg(f.id)
                 .arg(SqlQuote(f.serial), SqlQuote(f.name), Nullable(f.format))
                 .arg(1572864 * f.id)
                 .arg(SqlQuote(f.added));
    }
    for (const FixtureSegment& s : Segments()) {
      sql << QStringLiteral(
                 "INSERT INTO VideoSegments (SegmentID, FileID, FileFlag, SelectionStart, SelectionEnd, Online, Rating, "
                 "FileAlias, Description) VALUES (%1, %2, %3, 10, 70.5, %4, %5, %6, %7)")
                 .arg(s.id)
                 .arg(s.file)
                 .arg(s.fileRow ? QStringLiteral("'Y'") : QStringLiteral("NULL"))
                 .arg(File(s.file).online ? 1 : 0)
                 .arg(s.rating)
                 .arg(Nullable(s.alias), Nullable(s.description));
      for (int tag : s.tags) sql << QStringLiteral("INSERT INTO SegmentTags VALUES (%1, %2)").arg(s.id).arg(tag);
    }
    for (const FixtureTag& t : Tags()) {
      sql << QStringLiteral("INSERT INTO Tags (TagID, Tag, Type, Behaviour) VALUES (%1, %2, '%3', '%4')")
                 .arg(t.id)
                 .arg(SqlQuote(t.name), QLatin1String(t.type), QLatin1String(t.behaviour));
    }
    for (const auto& [tag, linked] : Links()) {
      sql << QStringLiteral("INSERT INTO TagLinks VALUES (%1, %2, 'P')").arg(tag).arg(linked);
    }
    sql << QStringLiteral(
        "INSERT INTO FileLocations VALUES ('AAAA1111', 'Disk AAAA1111', ':\\', '/', 'Fixed Disk', NULL, 1), "
        "('BBBB2222', 'Disk BBBB2222', ':\\', '/media/winter/', 'Removable drive', NULL, 0), "
        "('CC''33', 'Disk CC''33', ':\\', '/media/card/', 'Removable drive', NULL, 1)");
    return sql.join(QStringLiteral(";\n"));
  }

  // The tree nodes the steps read their descriptions from, where the library
  // tree has not made them itself.
  static void AddTreeNodes() {
    ctl::NodeCollection& nodes = Host::Tree().Nodes;
    auto add = [&nodes](const QString& key, const QString& text) {
      if (!nodes.Exists(key)) nodes.Add(QString(), ctl::tvwLast, key, text);
    };
    for (const FixtureTag& t : Tags()) add(QStringLiteral("ID%1").arg(t.id), t.name);
    add(QStringLiteral("ID-1"), QStringLiteral("Untagged"));
    for (const char* serial : {"AAAA1111", "BBBB2222", "CC'33"}) {
      add(QStringLiteral("M-") + QLatin1String(serial), QStringLiteral("Disk ") + QLatin1String(serial));
    }
  }

  static const FixtureFile& File(int id) {
    return *std::find_if(Files().begin(), Files().end(), [id](const FixtureFile& f) { return f.id == id; });
  }
  static const FixtureSegment& Segment(int id) {
    return *std::find_if(Segments().begin(), Segments().end(), [id](const FixtureSegment& s) { return s.id == id; });
  }

  // ---- What a step must leave, worked out from the records ----
  static std::set<int> Family(int tag) {
    std::set<int> family{tag};
    for (bool grew = true; grew;) {
      grew = false;
      for (const auto& [child, parent] : Links()) {
        if (family.count(parent) && family.insert(child).second) grew = true;
      }
    }
    return family;
  }
  static bool Carries(const FixtureSegment& s, const std::set<int>& family) {
    return std::any_of(s.tags.begin(), s.tags.end(), [&](int t) { return family.count(t) > 0; });
  }
  static bool Tagged(const FixtureSegment& s) {
    return std::any_of(s.tags.begin(), s.tags.end(), [](int t) {
      return std::any_of(Tags().begin(), Tags().end(),
                         [t](const FixtureTag& tag) { return tag.id == t && QLatin1String(tag.behaviour) == "T"; });
    });
  }
  static bool AnyOfFile(int file, const std::function<bool(const FixtureSegment&)>& test) {
    return std::any_of(Segments().begin(), Segments().end(),
                       [&](const FixtureSegment& s) { return s.file == file && test(s); });
  }
  static bool PassesFilter(const FixtureSegment& s, StorageFilter filter) {
    if (filter == StorageFilter::Online) return File(s.file).online;
    if (filter == StorageFilter::Offline) return !File(s.file).online;
    return true;
  }

  // Rows a tag step on `tag` (-1 Untagged) leaves, given the rows before.
  static RowSet ExpectedTagStep(const QString& op, int tag, ResultScope kind, StorageFilter filter,
                                const RowSet& before) {
    const std::set<int> family = Family(tag);
    const auto carries = [&](const FixtureSegment& s) { return tag == -1 ? !Tagged(s) : Carries(s, family); };
    if (op == QLatin1String("+") || op == QLatin1String("-")) {
      RowSet after;
      for (int row : before) {
        const FixtureSegment& s = Segment(row);
        const bool byFile = tag != -1 && kind != ResultScope::Segment;
        const bool matches = byFile ? AnyOfFile(s.file, carries) : carries(s);
        if (matches == (op == QLatin1String("+"))) after.insert(row);
      }
      return after;
    }
    RowSet after = op == QLatin1String("&") ? before : RowSet();
    for (const FixtureSegment& s : Segments()) {
      if (!PassesFilter(s, filter)) continue;
      bool listed;
      if (kind == ResultScope::File) {
        listed = s.fileRow && (tag == -1 ? !AnyOfFile(s.file, [](const FixtureSegment& x) { return Tagged(x); })
                                         : AnyOfFile(s.file, carries));
      } else if (kind == ResultScope::SegmentsOfFiles) {
        listed = !s.fileRow && (tag == -1 ? !AnyOfFile(s.file, [](const FixtureSegment& x) { return Tagged(x); })
                                          : AnyOfFile(s.file, carries));
      } else {
        listed = !s.fileRow && carries(s);
      }
      if (listed) after.insert(s.id);
    }
    return after;
  }

  // Whether a segment meets the condition of a search step.
  static bool MeetsSearch(const FixtureSegment& s, const QString& searchSpec) {
    const FixtureFile& f = File(s.file);
    const QString kind = searchSpec.mid(1, 1);
    const QString value = searchSpec.mid(3);
    if (kind == QLatin1String("I")) return f.id > searchSpec.mid(12).toInt();
    if (kind == QLatin1String("C")) return value == QLatin1String("Undetermined") ? f.format.isEmpty() : f.format == value;
    if (kind == QLatin1String("D")) {
      return f.added >= ViewSpec::DateAddedSince(searchSpec, Today()).toString(QStringLiteral("yyyy-MM-dd"));
    }
    if (kind == QLatin1String("R")) return s.rating == (value == QLatin1String("Unrated") ? 0 : value.toInt());
    if (kind == QLatin1String("M")) return f.serial == value;
    const ViewSpec::TextSearch text = ViewSpec::ParseTextSearch(searchSpec);
    const auto has = [&](const QString& field) {
      return !field.isNull() && field.contains(text.text, Qt::CaseInsensitive);
    };
    return (text.fileNames && has(f.name)) || (text.descriptions && has(s.description)) ||
           (text.aliases && has(s.alias));
  }

  static RowSet ExpectedSearchStep(const QString& op, const QString& searchSpec, ResultScope kind,
                                   StorageFilter filter, const RowSet& before) {
    const bool fileRows = kind == ResultScope::File;
    const auto matches = [&](const FixtureSegment& s) { return s.fileRow == fileRows && MeetsSearch(s, searchSpec); };
    if (op == QLatin1String("+") || op == QLatin1String("-")) {
      RowSet after;
      for (int row : before) {
        if (matches(Segment(row)) == (op == QLatin1String("+"))) after.insert(row);
      }
      return after;
    }
    RowSet after = op == QLatin1String("&") ? before : RowSet();
    for (const FixtureSegment& s : Segments()) {
      if (PassesFilter(s, filter) && matches(s)) after.insert(s.id);
    }
    return after;
  }

  // ---- Reading and setting the state ----
  static RowSet SearchResults() {
    RowSet rows;
    SqlRecordset rs(gLibrary->Connection(), QStringLiteral("SELECT SegmentID FROM SearchResults"));
    for (; !rs.Eof(); rs.MoveNext()) rows.insert(rs.Value(0).toInt());
    return rows;
  }
  static void SetSearchResults(const RowSet& rows) {
    QStringList ids;
    for (int row : rows) ids << QString::number(row);
    gLibrary->Connection().Execute(
        QStringLiteral("DELETE FROM SearchResults; INSERT INTO SearchResults SELECT SegmentID, FileID FROM "
                       "VideoSegments WHERE SegmentID IN (%1)")
            .arg(ids.join(QLatin1Char(','))));
  }
  static QStringList ComboTexts() {
    QStringList texts;
    for (const auto& item : Host::HistoryCombo().ComboItems) texts << item->Text();
    return texts;
  }
  static QString LastComboText() { return ComboTexts().isEmpty() ? QString() : ComboTexts().last(); }
  // The bracketed count at the end of a history-combo text.
  static QString ComboCount(const QString& text) {
    const qsizetype bracket = text.lastIndexOf(QLatin1Char('['));
    return bracket < 0 ? QString() : text.mid(bracket);
  }
  static QStringList MenuTexts() {
    QStringList texts;
    for (const auto& item : Host::HistoryMenu()) texts << item->Text();
    return texts;
  }
};

using SearchTest = SearchTestOn<LibraryTest>;

}  // namespace rwtest
