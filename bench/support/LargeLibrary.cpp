#include "core/modReelwise.h"
#include "bench/support/LargeLibrary.h"

#include "platform/ImageSurface.h"
#include "platform/JpegCodec.h"
#include "platform/SqlConnection.h"

#include <QDir>
#include <QtGlobal>

#include <cairo.h>

#include <random>

namespace {

void AddFiles(SqlConnection& db, const LargeLibrarySpec& spec) {
  auto file = db.Prepare(QStringLiteral(
      "INSERT INTO VideoFiles (FileID, DiskSerialNo, FilePath, FileName, \"DateTime\", FileFormat, FileSize, "
      "Dimensions, Bitrate, FrameRate, CurrentPath, Rating, DateAdded) VALUES (?, ?, ?, ?, '2020-01-01', ?, ?, "
      "'1920x1080', 8000, 25, ?, 0, '2024-05-06')"));
  auto segment = db.Prepare(QStringLiteral(
      "INSERT INTO VideoSegments (SegmentID, FileID, FileFlag, SelectionStart, SelectionEnd, Online, Rating) VALUES "
      "(?, ?, ?, ?, ?, 1, ?)"));
  const char* formats[] = {"MPEG-4", "Matroska", "AVI", "QuickTime"};
  for (int f = 1; f <= spec.files; ++f) {
    const QString folder = QStringLiteral("Films\\Year %1\\").arg(2000 + f % 25);
    file->Bind(1, f);
    file->Bind(2, f % 2 ? "1A2B3C4D" : "5E6F7081");
    file->Bind(3, folder);
    file->Bind(4, QStringLiteral("Clip %1.mkv").arg(f));
    file->Bind(5, formats[f % 4]);
    file->Bind(6, int64_t{700000000} + f);
    file->Bind(7, QStringLiteral("/media/films/") + QString(folder).replace(QLatin1Char('\\'), QLatin1Char('/')));
    file->Execute();
    segment->Bind(1, f);
    segment->Bind(2, f);
    segment->Bind(3, "Y");
    segment->Bind(4, 0.0);
    segment->Bind(5, 5400.0);
    segment->Bind(6, f % 6);
    segment->Execute();
  }
  for (int s = spec.files + 1; s <= spec.segments; ++s) {
    segment->Bind(1, s);
    segment->Bind(2, 1 + s % spec.files);
    segment->Bind(3, SqlValue());
    segment->Bind(4, 60.0 * (s % 50));
    segment->Bind(5, 60.0 * (s % 50) + 30.5);
    segment->Bind(6, 0);
    segment->Execute();
  }
}

void AddTags(SqlConnection& db, const LargeLibrarySpec& spec, std::mt19937& random) {
  auto tag = db.Prepare(QStringLiteral("INSERT INTO Tags (TagID, Tag, Type, Behaviour, CategoryID) VALUES (?, ?, ?, ?, ?)"));
  auto link = db.Prepare(QStringLiteral("INSERT INTO TagLinks (TagID, LinkedTag, Relationship) VALUES (?, ?, 'P')"));
  const int first = 100;
  for (int i = 0; i < spec.tags; ++i) {
    const int id = first + i;
    const bool category = i % 100 == 0;
    const int categoryId = first + i / 100 * 100;
    tag->Bind(1, id);
    tag->Bind(2, category ? QStringLiteral("Category %1").arg(i / 100) : QStringLiteral("Tag %1").arg(i));
    tag->Bind(3, category ? "C" : "T");
    tag->Bind(4, category ? "C" : "T");
    tag->Bind(5, categoryId);
    tag->Execute();
    if (!category) {
      link->Bind(1, id);
      link->Bind(2, categoryId);
      link->Execute();
    }
  }
  db.Execute(QStringLiteral("UPDATE Tags SET T9Text = UPPER(Tag) WHERE TagID >= 100"));
  auto segmentTag = db.Prepare(QStringLiteral("INSERT OR IGNORE INTO SegmentTags (SegmentID, TagID) VALUES (?, ?)"));
  std::uniform_int_distribution<int> segments(1, spec.segments);
  std::uniform_int_distribution<int> tags(0, spec.tags - 1);
  for (int added = 0; added < spec.segmentTags;) {
    int tagIndex = tags(random);
    if (tagIndex % 100 == 0) ++tagIndex;  // segments carry tags, not categories
    segmentTag->Bind(1, segments(random));
    segmentTag->Bind(2, first + tagIndex);
    added += static_cast<int>(segmentTag->Execute());
  }
}

void AddThumbnails(SqlConnection& db, const LargeLibrarySpec& spec) {
  const QByteArray jpeg = SampleThumbnail();
  auto thumb = db.Prepare(QStringLiteral("INSERT INTO SegmentThumbnails (SegmentID, Thumbnail, FileID) VALUES (?, ?, ?)"));
  for (int s = 1; s <= spec.thumbnails && s <= spec.segments; ++s) {
    thumb->Bind(1, s);
    thumb->Bind(2, SqlValue::Blob(jpeg));
    thumb->Bind(3, s <= spec.files ? s : 1 + s % spec.files);
    thumb->Execute();
  }
}

}  // namespace

QByteArray SampleThumbnail(int width, int height) {
  ImageSurface surface(width, height);
  cairo_t* cr = cairo_create(surface.CairoSurface());
  cairo_pattern_t* gradient = cairo_pattern_create_linear(0, 0, width, height);
  cairo_pattern_add_color_stop_rgb(gradient, 0, 0.1, 0.3, 0.6);
  cairo_pattern_add_color_stop_rgb(gradient, 1, 0.9, 0.7, 0.2);
  cairo_set_source(cr, gradient);
  cairo_paint(cr);
  cairo_pattern_destroy(gradient);
  cairo_destroy(cr);
  JpegCodec codec;
  return codec.Encode(surface, 90);
}

int LargeLibraryScale() {
  bool ok = false;
  const int scale = qEnvironmentVariableIntValue("RW_BENCH_SCALE", &ok);
  return ok && scale > 0 ? scale : 1;
}

LargeLibrarySpec ScaledLargeLibrary(LargeLibrarySpec spec, int scale) {
  spec.files *= scale;
  spec.segments *= scale;
  spec.segmentTags *= scale;
  spec.thumbnails *= scale;
  return spec;
}

int ScaledSegments(const LargeLibrarySpec& spec) { return ScaledLargeLibrary(spec, LargeLibraryScale()).segments; }

QString MakeLargeLibrary(const QString& folder, const QString& name, const LargeLibrarySpec& unscaled) {
  const LargeLibrarySpec spec = ScaledLargeLibrary(unscaled, LargeLibraryScale());
  const QString path = QDir(folder).filePath(name);
  modReelwise::ExtractTemplateLibrary(path);

  auto db = SqlConnection::Open(path);
  std::mt19937 random(20261207);
  db->BeginTrans(QStringLiteral("Generate"));
  db->Execute(QStringLiteral(
      "INSERT INTO FileLocations VALUES ('1A2B3C4D', 'FILMS', ':\\', '/media/films/', 'Fixed Disk', NULL, 1), "
      "('5E6F7081', 'ARCHIVE', ':\\', '/media/archive/', 'Removable drive', 'Archive', 0)"));
  AddFiles(*db, spec);
  AddTags(*db, spec, random);
  AddThumbnails(*db, spec);
  db->Execute(QStringLiteral("UPDATE VersionData SET Revision = 5, ReleaseStatus = 'Final'"));
  db->CommitTrans(QStringLiteral("Generate"));
  return path;
}
