// The settings table: every value EnsureDefaultSettings writes, in its order.
#include "core/modRegistry.h"

#include <QGuiApplication>
#include <QScreen>

namespace modRegistry {

QSize ScreenPixels() {
  const QScreen* screen = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                              ? QGuiApplication::primaryScreen()
                              : nullptr;
  return screen ? screen->geometry().size() : QSize(1024, 768);
}

std::vector<SettingDefault> DefaultSettings(QSize screenPixels) {
  const auto general = [](const char* name, QVariant value) {
    return SettingDefault{kRegGeneral, QString::fromLatin1(name), std::move(value)};
  };
  const auto posters = [](const char* name, QVariant value) {
    return SettingDefault{kRegFilePosters, QString::fromLatin1(name), std::move(value)};
  };
  const auto other = [](const char* name, QVariant value) {
    return SettingDefault{kRegOther, QString::fromLatin1(name), std::move(value)};
  };
  // The placement is kept as a real number here; storing it rounds half to even.
  const double top = (screenPixels.height() - 768) / 2.0;
  const double left = (screenPixels.width() - 1024) / 2.0;
  return {
      general("AppWindowState", 0),
      general("AppTop", top),
      general("AppLeft", left),
      general("AppWidth", 1024),
      general("AppHeight", 768),
      general("GUILayout", 1),
      posters("HorizontalTiles", 5),
      posters("VerticalTiles", 5),
      posters("TileWidth", 200),
      posters("TileHeight", 150),
      posters("VerticalSpacing", 10),
      posters("HorizontalSpacing", 10),
      posters("Compression", 75),
      posters("CaptionSize", 10),
      posters("CaptionFont", QStringLiteral("Tahoma")),
      posters("CaptionColour", 0),
      posters("CaptionTextColour", 0xFF0000),
      posters("TimestampColour", 0xFFFFFF),
      posters("StoryBoardStyle", 0),
      other("UseInternalPlayer", 1),
      other("StretchToScreen", 1),
      other("PlaylistFormat", QStringLiteral("M3U")),
      other("CompactOnExit", 0),
      other("ThumbnailPolicy", 0),
      other("UseRecycleBin", 1),
      other("IndicateOffline", 1),
      other("TipOfTheDay", 1),
      other("TipOfTheDayIndex", 1),
      other("MinimizeToTray", 1),
      other("ThumbnailTimeout", 5),
      other("TooltipAliases", 0),
      other("LibraryTreeClassic", 0),
      other("BevelledThumbnails", 1),
      other("PopupDelay", 50),
      other("SaveWorkspace", QString()),
      other("TV-Out Music", 1),
      other("CarouselEntries", 11),
      other("CarouselScrollIncrements", 10),
      other("SearchSettings", QStringLiteral("F--")),
      other("AdjustRGB", 0),
      other("AdjustHLS", 0),
      other("Hue", 100),
      other("Sat", 50),
      other("Red", 100),
      other("Green", 100),
      other("Blue", 100),
      other("CursorColour", 33023),
      other("TV-Out Theme", 0),
      other("Invert Colours", 0),
      // "TV-Out Colour1" and "TV-Out Colour2" have no default: the carousel
      // writes them when the user picks them.
  };
}

}  // namespace modRegistry
