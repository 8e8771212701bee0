#include "library/LibraryLayout.h"

#include "platform/SqlConnection.h"

#include <QHash>
#include <QSet>

#include <utility>
#include <vector>

namespace LibraryLayout {

namespace {

// The column names of `table` (in lower case, as SQLite matches them), in
// `schema`, or wherever an unqualified name finds it (TEMP first) when
// `schema` is empty; none when there is no such table.
QSet<QString> Columns(SqlConnection& db, const QString& table, const QString& schema = QString()) {
  SqlCommand columns(db, schema.isEmpty() ? QStringLiteral("SELECT name FROM pragma_table_info(?1)")
                                          : QStringLiteral("SELECT name FROM pragma_table_info(?1, ?2)"));
  columns.Bind(1, table);
  if (!schema.isEmpty()) columns.Bind(2, schema);
  QSet<QString> names;
  while (columns.Step()) names.insert(columns.toString(0).toLower());
  return names;
}

// The layout of the stored file (its main schema), as the open finds it.
class StoredLayout {
 public:
  explicit StoredLayout(SqlConnection& db) : db_(db) {}

  bool HasTable(const QString& table) { return !Of(table).isEmpty(); }
  bool Has(const QString& table, const QString& column) { return Of(table).contains(column.toLower()); }
  // The first of `columns` the table lacks.
  std::optional<LayoutGap> FirstLacking(const QString& table, const std::vector<const char*>& columns) {
    for (const char* column : columns) {
      if (!Has(table, QLatin1String(column))) return LayoutGap{table, QLatin1String(column)};
    }
    return std::nullopt;
  }

 private:
  const QSet<QString>& Of(const QString& table) {
    const auto found = tables_.constFind(table);
    if (found != tables_.constEnd()) return found.value();
    return tables_[table] = Columns(db_, table, QStringLiteral("main"));
  }

  SqlConnection& db_;
  QHash<QString, QSet<QString>> tables_;
};

// A table every layout has, with the columns no step of the upgrade adds:
// lacking one, the file is no layout the program knows.
std::optional<LayoutGap> LacksWhatEveryLayoutHas(StoredLayout& file) {
  const struct {
    const char* table;
    std::vector<const char*> columns;
  } kept[] = {
      {"Tags", {"TagID", "Tag", "Type"}},
      {"TagLinks", {"TagID", "LinkedTag", "Relationship"}},
      {"SegmentTags", {"SegmentID", "TagID"}},
      {"Views", {"ViewSpec", "Type", "TagID"}},
      {"VideoFiles",
       {"FileID", "DiskSerialNo", "FilePath", "FileName", "DateTime", "FileFormat", "FileSize", "Dimensions",
        "Bitrate", "FrameRate"}},
      {"VideoSegments", {"SegmentID", "FileID", "FileFlag", "SelectionStart", "SelectionEnd"}},
  };
  for (const auto& table : kept) {
    const QString name = QLatin1String(table.table);
    if (!file.HasTable(name)) return LayoutGap{name, QString()};
    if (auto gap = file.FirstLacking(name, table.columns)) return gap;
  }
  return std::nullopt;
}

// A table the upgrade makes whole when it is missing: one that is there has
// every column.
std::optional<LayoutGap> LacksPartOfAWholeTable(StoredLayout& file) {
  const struct {
    const char* table;
    std::vector<const char*> columns;
  } whole[] = {
      {"VersionData", {"Major", "Minor", "Revision", "ReleaseStatus"}},
      {"FileLocations",
       {"DiskSerialNo", "DiskLabel", "PhysicalPath", "LogicalPath", "DiskType", "FriendlyName", "Online"}},
      {"SegmentThumbnails", {"SegmentID", "Thumbnail", "FileID"}},
  };
  for (const auto& table : whole) {
    const QString name = QLatin1String(table.table);
    if (!file.HasTable(name)) continue;
    if (auto gap = file.FirstLacking(name, table.columns)) return gap;
  }
  return std::nullopt;
}

// Columns the upgrade adds together with something else, lacking where that
// something is there: the step that would add them does not run (its probe
// finds the rest), or runs and copies over what the file holds.
std::optional<LayoutGap> LacksPartOfAStep(StoredLayout& file) {
  const QString files = QStringLiteral("VideoFiles");
  const QString segments = QStringLiteral("VideoSegments");
  // The files' current folders come with the table of their locations.
  if (file.HasTable(QStringLiteral("FileLocations")) && !file.Has(files, QStringLiteral("CurrentPath"))) {
    return LayoutGap{files, QStringLiteral("CurrentPath")};
  }
  // Ratings, aliases and descriptions moved from the files to the segments
  // in one step, which copies the files' values over the segments': the
  // older layout keeps the alias and the description on the files and
  // neither on the segments.
  const bool segmentDetails = file.Has(segments, QStringLiteral("FileAlias")) ||
                              file.Has(segments, QStringLiteral("Description"));
  if (segmentDetails) return file.FirstLacking(segments, {"Rating", "FileAlias", "Description"});
  if (!file.Has(files, QStringLiteral("FileAlias")) || !file.Has(files, QStringLiteral("Description"))) {
    return LayoutGap{segments, QStringLiteral("FileAlias")};
  }
  return std::nullopt;
}

}  // namespace

const std::vector<Table>& Reference() {
  static const std::vector<Table> tables = [] {
    const std::pair<const char*, std::vector<const char*>> layout[] = {
        {"Tags", {"TagID", "Tag", "Type", "Behaviour", "CategoryID", "T9Text"}},
        {"TEMP_FileTagStructure",
         {"ExplicitTagID", "TagID", "Tag", "TagCategory", "ExplicitTagCategory", "Tier", "Type", "FileFlag",
          "ViaSegment"}},
        {"SearchResults", {"SegmentID", "FileID"}},
        {"SegmentTags", {"SegmentID", "TagID"}},
        {"TagLinks", {"TagID", "LinkedTag", "Relationship"}},
        {"Views", {"ViewSpec", "Type", "TagID"}},
        {"FileLocations",
         {"DiskSerialNo", "DiskLabel", "PhysicalPath", "LogicalPath", "DiskType", "FriendlyName", "Online"}},
        {"VersionData", {"Major", "Minor", "Revision", "ReleaseStatus"}},
        {"TagCloud", {"TagID", "LinkedTag", "TagCount", "iteration"}},
        {"SegmentThumbnails", {"SegmentID", "Thumbnail", "FileID"}},
        {"VideoSegments",
         {"SegmentID", "FileID", "FileFlag", "SelectionStart", "SelectionEnd", "Online", "Rating", "FileAlias",
          "Description"}},
        {"VideoFiles",
         {"FileID", "DiskSerialNo", "FilePath", "FileName", "DateTime", "FileFormat", "FileSize", "Dimensions",
          "Bitrate", "FrameRate", "CurrentPath", "Rating", "DateAdded"}},
    };
    std::vector<Table> made;
    for (const auto& [name, columns] : layout) {
      Table table{QLatin1String(name), {}};
      for (const char* column : columns) table.columns.push_back(QLatin1String(column));
      made.push_back(std::move(table));
    }
    return made;
  }();
  return tables;
}

std::optional<LayoutGap> Missing(SqlConnection& db) {
  for (const Table& table : Reference()) {
    const QSet<QString> held = Columns(db, table.name);
    if (held.isEmpty()) return LayoutGap{table.name, QString()};
    for (const QString& column : table.columns) {
      if (!held.contains(column.toLower())) return LayoutGap{table.name, column};
    }
  }
  return std::nullopt;
}

std::optional<LayoutGap> NeitherOldNorCurrent(SqlConnection& db) {
  StoredLayout file(db);
  if (auto gap = LacksWhatEveryLayoutHas(file)) return gap;
  if (auto gap = LacksPartOfAWholeTable(file)) return gap;
  return LacksPartOfAStep(file);
}

}  // namespace LibraryLayout
