#include "resources/Resources.h"

#include "platform/RWError.h"

#include <QFile>
#include <QHash>
#include <QPixmap>
#include <QRegularExpression>

#include <cstring>

// The generated resources are compiled into this static library; naming their
// initialiser here keeps the linker from dropping them.
static void InitGeneratedResources() { Q_INIT_RESOURCE(Resources); }

namespace {

const QString kSource = QStringLiteral("Resources");

void EnsureResources() {
  static const bool done = (InitGeneratedResources(), true);
  (void)done;
}

// A name is one resource of its type: never empty, never a step out of it.
bool ValidName(const QString& name) {
  return !name.isEmpty() && !name.split(QLatin1Char('/')).contains(QStringLiteral(".."));
}

RWError NotFound(const QString& name, const QString& type) {
  return RWError(kErrResourceNotFound,
                 QStringLiteral("The resource '%1' of type '%2' does not exist in the program").arg(name, type),
                 kSource);
}

QPoint ParsePoint(const QString& text) {
  const QStringList xy = text.split(QLatin1Char(','));
  return xy.size() == 2 ? QPoint(xy[0].toInt(), xy[1].toInt()) : QPoint();
}

// "hotspot=9,1" and "frames=12 interval=80" from the detail column.
void ParseDetail(ResourceInfo& info) {
  static const QRegularExpression pair(QStringLiteral("(\\w+)=([^ ]+)"));
  for (const auto& m : pair.globalMatch(info.detail)) {
    const QString key = m.captured(1), value = m.captured(2);
    if (key == QLatin1String("hotspot")) info.hotSpot = ParsePoint(value);
    if (key == QLatin1String("frames")) info.frames = value.toInt();
    if (key == QLatin1String("interval")) info.intervalMs = value.toInt();
  }
}

QVector<ResourceInfo> ParseManifest(const QByteArray& text) {
  QVector<ResourceInfo> entries;
  bool header = true;
  for (const QByteArray& raw : text.split('\n')) {
    const QString line = QString::fromUtf8(raw);
    if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
    const QStringList f = line.split(QLatin1Char('\t'));
    if (header) { header = false; continue; }
    if (f.size() < 8) continue;
    ResourceInfo info;
    info.type = f[0];
    info.name = f[1];
    info.format = f[2];
    info.width = f[3].toInt();
    info.height = f[4].toInt();
    info.transparent = f[5] == QLatin1String("alpha");
    info.detail = f[6];
    info.usedBy = f[7];
    ParseDetail(info);
    entries.push_back(info);
  }
  return entries;
}

}  // namespace

QString ResourcePath(const QString& name, const QString& type) {
  // Names with characters such as "&" or "+" (history-combo keys) are stored
  // percent-encoded; every other name is its own path.
  const QString stored = QString::fromLatin1(name.toUtf8().toPercentEncoding("/"));
  return QStringLiteral(":/") + type.toUpper() + QLatin1Char('/') + stored;
}

bool ResourceExists(const QString& name, const QString& type) {
  EnsureResources();
  return ValidName(name) && QFile::exists(ResourcePath(name, type));
}

QByteArray LoadResData(const QString& name, const QString& type) {
  EnsureResources();
  QFile file(ResourcePath(name, type));
  if (!ValidName(name) || !file.open(QIODevice::ReadOnly)) throw NotFound(name, type);
  return file.readAll();
}

QImage LoadResPicture(const QString& name, const QString& type) {
  QImage image;
  if (!image.loadFromData(LoadResData(name, type))) {
    throw RWError(kErrInvalidPicture,
                  QStringLiteral("The resource '%1' of type '%2' is not a picture").arg(name, type), kSource);
  }
  return image.convertToFormat(QImage::Format_ARGB32);
}

ImageSurfacePtr LoadResSurface(const QString& name, const QString& type) {
  const QImage picture = LoadResPicture(name, type).convertToFormat(QImage::Format_ARGB32_Premultiplied);
  auto surface = std::make_shared<ImageSurface>(picture.width(), picture.height());
  surface->Flush();
  for (int y = 0; y < picture.height(); ++y) {
    memcpy(surface->Bits() + y * surface->Stride(), picture.constScanLine(y), size_t(picture.width()) * 4);
  }
  surface->MarkDirty();
  return surface;
}

QImage LoadImageListPicture(const QString& list, const QString& key) {
  return LoadResPicture(list + QLatin1Char('/') + key, kResImageList);
}

QStringList ImageListKeys(const QString& list) {
  QStringList keys;
  const QString prefix = list + QLatin1Char('/');
  for (const ResourceInfo& info : ResourceManifest()) {
    if (info.type == kResImageList && info.name.startsWith(prefix)) keys << info.name.mid(prefix.size());
  }
  return keys;
}

QCursor LoadResCursor(const QString& name) {
  const QImage picture = LoadResPicture(name, kResCursor);
  const ResourceInfo* info = FindResourceInfo(name, kResCursor);
  const QPoint hotSpot = info ? info->hotSpot : QPoint(0, 0);
  return QCursor(QPixmap::fromImage(picture), hotSpot.x(), hotSpot.y());
}

ResAnimation LoadResAnimation(const QString& name) {
  const QImage strip = LoadResPicture(name, kResAnimation);
  const ResourceInfo* info = FindResourceInfo(name, kResAnimation);
  ResAnimation animation;
  const int frames = info && info->frames > 0 ? info->frames : 1;
  const int width = strip.width() / frames;
  for (int i = 0; i < frames; ++i) animation.frames.push_back(strip.copy(i * width, 0, width, strip.height()));
  animation.intervalMs = info && info->intervalMs > 0 ? info->intervalMs : 100;
  return animation;
}

const QVector<ResourceInfo>& ResourceManifest() {
  static const QVector<ResourceInfo> entries =
      ParseManifest(LoadResData(QStringLiteral("Resources.tsv"), QStringLiteral("MANIFEST")));
  return entries;
}

const ResourceInfo* FindResourceInfo(const QString& name, const QString& type) {
  static const QHash<QString, int> index = [] {
    QHash<QString, int> map;
    const QVector<ResourceInfo>& entries = ResourceManifest();
    for (int i = 0; i < entries.size(); ++i) map.insert(entries[i].type + QLatin1Char('/') + entries[i].name, i);
    return map;
  }();
  const auto it = index.find(type.toUpper() + QLatin1Char('/') + name);
  return it == index.end() ? nullptr : &ResourceManifest()[it.value()];
}
