#include "ui/SchemeColours.h"

#include "platform/RWError.h"
#include "resources/Resources.h"

#include <QPoint>

COLORREF gSchemeColour1 = 0;
COLORREF gSchemeColour2 = 0;
COLORREF gSchemeColour3 = 0;
COLORREF gSchemeColour4 = 0;

namespace {

const QString kSkinName = QStringLiteral("MPLAYER");

COLORREF Sample(const QImage& skin, QPoint at) { return QColorToColorRef(skin.pixelColor(at)); }

void SetSchemeColours(const SchemeColours& colours) {
  gSchemeColour1 = colours.colour1;
  gSchemeColour2 = colours.colour2;
  gSchemeColour3 = colours.colour3;
  gSchemeColour4 = colours.colour4;
}

}  // namespace

std::optional<SchemeColours> SampleSchemeColours(const QImage& skin) {
  const QPoint at1(8, 5), at2(50, 50), at3(75, 255), at4(174, 313);
  for (const QPoint& at : {at1, at2, at3, at4}) {
    if (!skin.valid(at)) return std::nullopt;
  }
  return SchemeColours{Sample(skin, at1), Sample(skin, at2), Sample(skin, at3), Sample(skin, at4)};
}

SchemeColours DefaultSchemeColours() {
  return {RGB(222, 228, 236), RGB(246, 248, 251), RGB(156, 172, 194), RGB(46, 62, 92)};
}

bool LoadSchemeColours() {
  std::optional<SchemeColours> sampled;
  try {
    sampled = SampleSchemeColours(LoadResPicture(kSkinName, kResCustom));
  } catch (const RWError&) {
    // A skin that cannot be read leaves the default scheme.
  }
  SetSchemeColours(sampled.value_or(DefaultSchemeColours()));
  return sampled.has_value();
}
