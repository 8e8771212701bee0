#pragma once
// Resources compiled into the program, found by type and name exactly as the
// program names them ("CUSTOM"/"NO_THUMB", "OV_ICONS"/"OV_PLAY",
// "SOUND"/"BEEP"). Each lives in the Qt resource system under
// ":/<TYPE>/<NAME>"; the pictures of the main window's image lists live under
// ":/IMAGELIST/<list>/<key>" (characters other than letters, digits and
// "-._~/" percent-encoded). resources/Manifest.tsv lists every one with its
// size, transparency and the windows that use it, and is compiled in too.
// A name that does not exist raises error 326, never an empty picture.
#include "platform/ImageSurface.h"

#include <QByteArray>
#include <QCursor>
#include <QImage>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QVector>

// Resource types as the program names them.
inline const QString kResCustom = QStringLiteral("CUSTOM");            // encoded files (JPEG, PNG, the template library)
inline const QString kResBitmap = QStringLiteral("BITMAP");            // skin bitmaps
inline const QString kResOverlayIcons = QStringLiteral("OV_ICONS");    // on-screen display icons
inline const QString kResCursor = QStringLiteral("CURSOR");
inline const QString kResSound = QStringLiteral("SOUND");              // WAV files
inline const QString kResImageList = QStringLiteral("IMAGELIST");      // "<list>/<key>"
inline const QString kResSystemIcon = QStringLiteral("SYSTEM_ICON");   // message-box icons by system number
inline const QString kResShellIcon = QStringLiteral("SHELL_ICON");     // message-box icons by shell icon number
inline const QString kResAnimation = QStringLiteral("ANIMATION");      // frames side by side
inline const QString kResFont = QStringLiteral("FONT");
inline const QString kResGlyph = QStringLiteral("GLYPH");              // characters of the glyph font (no file)

// One line of the manifest.
struct ResourceInfo {
  QString type;
  QString name;
  QString format;       // "PNG", "JPEG", "WAV", "TTF", "SQLite" or "-"
  int width = 0;        // pixels of one picture (one frame); 0 where no size applies
  int height = 0;
  bool transparent = false;  // an alpha channel; skins are opaque
  QPoint hotSpot;            // cursors
  int frames = 1;            // animations
  int intervalMs = 0;
  QString detail;            // geometry the program relies on, as written in the manifest
  QString usedBy;
};

// The resource's bytes.
QByteArray LoadResData(const QString& name, const QString& type);
bool ResourceExists(const QString& name, const QString& type);
QString ResourcePath(const QString& name, const QString& type);

// A picture resource decoded into a 32-bit ARGB image; data that is not a
// picture raises error 481.
QImage LoadResPicture(const QString& name, const QString& type);
// The same picture on a surface for Cairo drawing.
ImageSurfacePtr LoadResSurface(const QString& name, const QString& type);

// A picture of one of the main window's image lists ("imglstMenus", "TILE_VIEW").
QImage LoadImageListPicture(const QString& list, const QString& key);
// The keys of an image list in stored order: a key's position is its index.
QStringList ImageListKeys(const QString& list);

// A cursor resource with its hot spot.
QCursor LoadResCursor(const QString& name);

// An animation: its frames in order and the time each one shows.
struct ResAnimation {
  QVector<QImage> frames;
  int intervalMs = 0;
};
ResAnimation LoadResAnimation(const QString& name);

// Every resource of the manifest, in its order.
const QVector<ResourceInfo>& ResourceManifest();
// The manifest line of a resource, or nullptr.
const ResourceInfo* FindResourceInfo(const QString& name, const QString& type);
