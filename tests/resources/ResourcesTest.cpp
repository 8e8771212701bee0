#include "resources/Resources.h"

#include "platform/JpegCodec.h"
#include "platform/RWError.h"

#include <QColor>
#include <QSet>

#include <gtest/gtest.h>

#include <cmath>

namespace {

int ErrorNumber(const std::function<void()>& action) {
  try {
    action();
  } catch (const RWError& e) {
    return e.Number();
  }
  return 0;
}

double Luminance(QColor c) {
  auto lin = [](double v) { v /= 255.0; return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
  return 0.2126 * lin(c.red()) + 0.7152 * lin(c.green()) + 0.0722 * lin(c.blue());
}

double Contrast(QColor a, QColor b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

bool IsPicture(const ResourceInfo& info) {
  return info.type != kResSound && info.type != kResFont && info.type != kResGlyph && info.type != kResAnimation &&
         !(info.type == kResCustom && info.name == QLatin1String("DB"));
}

// ---- the manifest, walked entry by entry ----------------------------------------------

TEST(ResourceManifestTest, EveryPictureLoadsAtItsSizeAndIsNoPlaceholder) {
  int pictures = 0;
  for (const ResourceInfo& info : ResourceManifest()) {
    if (!IsPicture(info)) continue;
    SCOPED_TRACE((info.type + QLatin1Char('/') + info.name).toStdString());
    const QByteArray bytes = LoadResData(info.name, info.type);
    EXPECT_TRUE(info.format == QLatin1String("JPEG") ? bytes.startsWith("\xFF\xD8") : bytes.startsWith("\x89PNG"));
    const QImage picture = LoadResPicture(info.name, info.type);
    EXPECT_EQ(picture.size(), QSize(info.width, info.height));
    QSet<QRgb> colours;
    bool anyClear = false;
    for (int y = 0; y < picture.height(); ++y)
      for (int x = 0; x < picture.width(); ++x) {
        colours.insert(picture.pixel(x, y));
        anyClear = anyClear || qAlpha(picture.pixel(x, y)) < 255;
      }
    EXPECT_GE(colours.size(), 3) << "a flat placeholder";
    EXPECT_EQ(anyClear, info.transparent) << "transparency differs from the manifest";
    ++pictures;
  }
  EXPECT_GT(pictures, 250);
}

TEST(ResourceManifestTest, SoundsAreShortPcmWaves) {
  for (const QString name : {"BEEP", "CLICK", "SCRAPE", "WHIP"}) {
    SCOPED_TRACE(name.toStdString());
    const QByteArray wav = LoadResData(name, kResSound);
    ASSERT_GT(wav.size(), 44);
    EXPECT_TRUE(wav.startsWith("RIFF"));
    EXPECT_EQ(wav.mid(8, 8), QByteArray("WAVEfmt "));
    const auto u16 = [&](int at) { return uchar(wav[at]) | uchar(wav[at + 1]) << 8; };
    const auto u32 = [&](int at) { return quint32(u16(at)) | quint32(u16(at + 2)) << 16; };
    EXPECT_EQ(u16(20), 1);   // PCM
    EXPECT_EQ(u16(34), 16);  // bits per sample
    const double seconds = double(u32(40)) / u32(28);
    EXPECT_GT(seconds, 0.02);
    EXPECT_LT(seconds, 0.6);
    EXPECT_EQ(int(u32(40)), wav.size() - 44);
  }
}

TEST(ResourceManifestTest, AnimationsCursorsAndTemplateLoad) {
  for (const ResourceInfo& info : ResourceManifest()) {
    SCOPED_TRACE((info.type + QLatin1Char('/') + info.name).toStdString());
    if (info.type == kResAnimation) {
      const ResAnimation animation = LoadResAnimation(info.name);
      ASSERT_EQ(animation.frames.size(), info.frames);
      EXPECT_GT(animation.intervalMs, 0);
      EXPECT_EQ(animation.frames.first().size(), QSize(info.width, info.height));
      EXPECT_NE(animation.frames.first(), animation.frames.last()) << "the frames do not move";
    }
    if (info.type == kResCursor) {
      const QCursor cursor = LoadResCursor(info.name);
      EXPECT_EQ(cursor.pixmap().size(), QSize(32, 32));
      EXPECT_EQ(cursor.hotSpot(), info.hotSpot);
      // the hot spot is on the drawn fingertip, not in empty space
      EXPECT_GT(qAlpha(cursor.pixmap().toImage().pixel(info.hotSpot + QPoint(0, 1))), 128);
    }
  }
  EXPECT_TRUE(LoadResData(QStringLiteral("DB"), kResCustom).startsWith("SQLite format 3"));
}

// ---- names and sizes the program relies on ---------------------------------------------

TEST(ResourceNamesTest, ImageListsHoldTheirKeysInStoredOrder) {
  // A menu item's icon index is the position of its key in the list.
  const QStringList menus = QStringLiteral(
      "TILE_VIEW SPANNER CAROUSEL_VIEW POSTER MEDIAINFO INSPECTOR OPTIONS SEARCH FORWARD REFRESH BACKWARD CLOUD "
      "NEW_LIB OPEN_LIB ADD_FILES LIST_VIEW SAVE DELETE_FILE DELETE HEART REMOVE_FILE REMOVE_TAG EDIT PLAY_SHOW "
      "SHUFFLE SHOW_FILES SHOW_SEGS SEGS_IN_FILES SELECT_ALL SELECT_NONE SELECT_INVERSE INFO BULB HELP FORUM BLOG "
      "TV UI-ALTERNATE UI-STANDARD").split(QLatin1Char(' '));
  EXPECT_EQ(ImageListKeys(QStringLiteral("imglstMenus")), menus);
  const QStringList toolbar = QStringLiteral(
      "TILE_VIEW LIST_VIEW CAROUSEL_VIEW POSTER MEDIAINFO INSPECTOR OPTIONS SEARCH AUTO_REFRESH REFRESH ALL_DISKS "
      "OFFLINE_DISKS ONLINE_DISKS FORWARD BACKWARD CLOUD NEW_LIB OPEN_LIB ADD_FILES PLAY_SHOW SHUFFLE HISTORY "
      "UI-STANDARD UI-ALTERNATE SEGMENT_FROM_FILE FILE SEGMENT").split(QLatin1Char(' '));
  EXPECT_EQ(ImageListKeys(QStringLiteral("imglistToolBar")), toolbar);
  EXPECT_EQ(ImageListKeys(QStringLiteral("imglstViewSpec")).size(), 24);
  EXPECT_EQ(ImageListKeys(QStringLiteral("ilStateIcons")), QStringList({"1", "2", "3"}));
}

TEST(ResourceNamesTest, KeysTheWindowsAskForExistAtTheirListSize) {
  const struct { const char* list; const char* keys; int size; } lists[] = {
      {"imglstReelwise", "TAG CATEGORY FOLDERCLOSED FOLDEROPEN PLAYLIST SEARCH VIEW LINK AKA UNPLAYABLE UNTAGGED "
                         "PLFOLDER SEARCHFOLDER VIEWFOLDER MEDIAFOLDER DISK DISK-CD DISK-STICK DATEFOLDER DATE "
                         "RATINGFOLDER STAR UNSTAR FORMATS COG", 16},
      {"imglstDragIcons", "TAGFILE PLACE_IN REMOVE_FROM RATE UNTAGFILE UNRATE PL_REMOVE PL_ADD MOVETAG MOVEFOLDER "
                          "MOVEVIEW FILTERIN FILTEROUT FILES APPENDFILES OPENFILE FILE LINKTAG SORTED CANCEL_SORT "
                          "DRIVE NETSHARE RAMDISK FLASH DVD MEDIAINFO LOGO NO_DROP", 32},
      {"imglstControlBoxNormal", "MIN MAX RESTORE CLOSE COMPACT LIBRARY FULLSCREEN", 16},
      {"imglstViewSpec", "_T &T +S -D &C +R _M -M", 16},
  };
  for (const auto& l : lists) {
    for (const QString& key : QString::fromLatin1(l.keys).split(QLatin1Char(' '))) {
      SCOPED_TRACE((QString::fromLatin1(l.list) + QLatin1Char('/') + key).toStdString());
      EXPECT_EQ(LoadImageListPicture(QString::fromLatin1(l.list), key).size(), QSize(l.size, l.size));
    }
  }
}

TEST(ResourceNamesTest, FixedSizesOfThePictures) {
  const struct { const char* type; const char* name; int w, h; } sizes[] = {
      {"CUSTOM", "NO_THUMB", 100, 75},   {"CUSTOM", "TILE", 100, 75},       {"CUSTOM", "MPLAYER", 324, 316},
      {"CUSTOM", "MOVIE_FRAME", 170, 156}, {"CUSTOM", "CLAPPERBOARD", 256, 256}, {"CUSTOM", "STAR", 32, 32},
      {"CUSTOM", "UNSTAR", 32, 32},      {"CUSTOM", "TIP_STAR", 24, 24},    {"CUSTOM", "TIP_UNSTAR", 24, 24},
      {"CUSTOM", "TICKET", 64, 64},      {"CUSTOM", "NOTICKET", 64, 64},    {"BITMAP", "SEL_TRACK", 182, 10},
  };
  for (const auto& s : sizes) {
    SCOPED_TRACE(s.name);
    EXPECT_EQ(LoadResPicture(QString::fromLatin1(s.name), QString::fromLatin1(s.type)).size(), QSize(s.w, s.h));
  }
  // On-screen display icons are drawn at the band's icon size per 16 pixels of width.
  for (const QString name : {"OV_PLAY", "OV_PAUSE", "OV_JUMP_BACK", "OV_JUMP_FORWARD", "OV_VOL_UP", "OV_VOL_DOWN",
                             "OV_SET_A", "OV_SET_B", "OV_AB_INIT", "OV_AB_CANCEL", "OV_ILLEGAL", "OV_STAR", "OV_TAG",
                             "OV_SAVE"})
    EXPECT_EQ(LoadResPicture(name, kResOverlayIcons).width(), 16) << name.toStdString();
  // Every transport button has its three faces.
  for (int i = 1; i <= 15; ++i)
    for (const QString state : {"_NORMAL", "_HOVER", "_DOWN"})
      EXPECT_TRUE(ResourceExists(QString::number(i) + state, kResBitmap)) << i << state.toStdString();
}

TEST(ResourceNamesTest, ThumbnailPlaceholderDecodesThroughTheThumbnailCodec) {
  JpegCodec codec;
  ImageSurfacePtr surface = codec.Decode(LoadResData(QStringLiteral("NO_THUMB"), kResCustom));
  EXPECT_EQ(surface->Width(), 100);
  EXPECT_EQ(surface->Height(), 75);
  EXPECT_TRUE(LoadResData(QStringLiteral("OPTIONS_BANNER"), kResCustom).startsWith("\xFF\xD8"));
  EXPECT_TRUE(LoadResData(QStringLiteral("MPLAYER"), kResCustom).startsWith("\xFF\xD8"));
}

// ---- the skin -------------------------------------------------------------------------

TEST(PlayerSkinTest, SchemeColoursAreReadableOnEachOther) {
  const QImage skin = LoadResPicture(QStringLiteral("MPLAYER"), kResCustom);
  const QColor c1 = skin.pixelColor(8, 5), c2 = skin.pixelColor(50, 50), c3 = skin.pixelColor(75, 255),
               c4 = skin.pixelColor(174, 313);
  EXPECT_GE(Contrast(c4, c1), 4.5);  // label text on panels
  EXPECT_GE(Contrast(c4, c3), 4.5);  // label text on frames and headings
  EXPECT_GE(Contrast(c4, c2), 4.5);  // grid and tree text on the grid background
  // Each sample lies in a flat area, so neighbouring pixels agree with it.
  for (const QPoint p : {QPoint(8, 5), QPoint(50, 50), QPoint(75, 255), QPoint(174, 313)}) {
    const QColor a = skin.pixelColor(p), b = skin.pixelColor(p + QPoint(1, 0));
    EXPECT_LE(std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue()), 6);
  }
}

TEST(PlayerSkinTest, ButtonFacesSitOnThePanelColourWithoutKeyColour) {
  const QColor panel = LoadResPicture(QStringLiteral("MPLAYER"), kResCustom).pixelColor(8, 5);
  for (const ResourceInfo& info : ResourceManifest()) {
    if (info.type != kResBitmap && !(info.type == kResCustom && info.usedBy.contains(QLatin1String("recoloured"))))
      continue;
    SCOPED_TRACE(info.name.toStdString());
    const QImage picture = LoadResPicture(info.name, info.type);
    for (int y = 0; y < picture.height(); ++y)
      for (int x = 0; x < picture.width(); ++x)
        ASSERT_NE(picture.pixel(x, y), qRgb(0, 255, 0)) << "the key colour is never recoloured";
    if (info.detail.startsWith(QLatin1String("at="))) {
      const QColor corner = picture.pixelColor(0, 0);
      EXPECT_LE(std::abs(corner.red() - panel.red()) + std::abs(corner.green() - panel.green()) +
                    std::abs(corner.blue() - panel.blue()), 9);
    }
  }
}

TEST(PosterArtTest, FilmFrameWindowIsClearAndFramed) {
  const QImage frame = LoadResPicture(QStringLiteral("MOVIE_FRAME"), kResCustom);
  EXPECT_EQ(qAlpha(frame.pixel(9 + 80, 26 + 53)), 0);
  EXPECT_EQ(qAlpha(frame.pixel(10, 27)), 0);
  EXPECT_EQ(qAlpha(frame.pixel(9 + 159, 26 + 105)), 0);
  EXPECT_EQ(qAlpha(frame.pixel(3, 22)), 255);
  EXPECT_EQ(qAlpha(frame.pixel(100, 140)), 255);
  // The clapperboard's slate is dark where the facts are written in white.
  const QImage clapper = LoadResPicture(QStringLiteral("CLAPPERBOARD"), kResCustom);
  for (const QPoint p : {QPoint(40, 105), QPoint(150, 150), QPoint(200, 205)})
    EXPECT_GE(Contrast(clapper.pixelColor(p), Qt::white), 7.0);
}

// ---- failures -------------------------------------------------------------------------

TEST(ResourceErrorsTest, MissingNamesRaiseErrorNotBlankPictures) {
  EXPECT_EQ(ErrorNumber([] { LoadResData(QStringLiteral("NO_SUCH"), kResCustom); }), kErrResourceNotFound);
  EXPECT_EQ(ErrorNumber([] { LoadResPicture(QStringLiteral("NO_THUMB"), kResBitmap); }), kErrResourceNotFound);
  EXPECT_EQ(ErrorNumber([] { LoadImageListPicture(QStringLiteral("imglstMenus"), QStringLiteral("STAR")); }),
            kErrResourceNotFound);
  EXPECT_EQ(ErrorNumber([] { LoadResCursor(QStringLiteral("ARROW")); }), kErrResourceNotFound);
  EXPECT_EQ(ErrorNumber([] { LoadResAnimation(QString()); }), kErrResourceNotFound);
  EXPECT_EQ(ErrorNumber([] { LoadResData(QString(), kResSound); }), kErrResourceNotFound);
  EXPECT_EQ(ErrorNumber([] { LoadResPicture(QStringLiteral("BEEP"), kResSound); }), kErrInvalidPicture);
  EXPECT_FALSE(ResourceExists(QStringLiteral("../CUSTOM/NO_THUMB"), kResCustom));
  EXPECT_EQ(ErrorNumber([] { LoadResData(QStringLiteral("../CUSTOM/NO_THUMB"), kResBitmap); }), kErrResourceNotFound);
  EXPECT_EQ(FindResourceInfo(QStringLiteral("NO_SUCH"), kResCustom), nullptr);
}

TEST(ResourceErrorsTest, NamesWithSignsAndAnyTypeCaseResolve) {
  EXPECT_TRUE(ResourceExists(QStringLiteral("imglstViewSpec/&T"), kResImageList));
  EXPECT_TRUE(ResourceExists(QStringLiteral("imglstViewSpec/+M"), QStringLiteral("imagelist")));
  EXPECT_TRUE(ResourceExists(QStringLiteral("NO_THUMB"), QStringLiteral("custom")));
  EXPECT_NE(LoadImageListPicture(QStringLiteral("imglstViewSpec"), QStringLiteral("&T")),
            LoadImageListPicture(QStringLiteral("imglstViewSpec"), QStringLiteral("+T")));
  ASSERT_NE(FindResourceInfo(QStringLiteral("HAND_POINTER"), QStringLiteral("cursor")), nullptr);
}

TEST(ResourceSurfaceTest, SurfaceHoldsThePicturePremultiplied) {
  ImageSurfacePtr surface = LoadResSurface(QStringLiteral("STAR"), kResCustom);
  const QImage picture = LoadResPicture(QStringLiteral("STAR"), kResCustom);
  ASSERT_EQ(surface->Width(), 32);
  surface->Flush();
  EXPECT_EQ(surface->Image().pixelColor(16, 16).rgba(), picture.pixelColor(16, 16).rgba());
  EXPECT_EQ(qAlpha(surface->Image().pixel(0, 0)), qAlpha(picture.pixel(0, 0)));
}

}  // namespace
