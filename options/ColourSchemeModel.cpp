#include "options/ColourSchemeModel.h"

#include "core/modRegistry.h"
#include "platform/Rounding.h"
#include "ui/cDIBSection.h"

#include <QColor>

#include <algorithm>
#include <array>
#include <functional>

namespace {

// The key colour, pure green, as its blue, green and red bytes.
constexpr uint8_t kKeyBlue = 0;
constexpr uint8_t kKeyGreen = 255;
constexpr uint8_t kKeyRed = 0;

struct Preset {
  const char* name;
  const char* text;
};

// The presets in their stored order; the list shows them sorted.
constexpr std::array<Preset, 15> kPresets{{
    {"Sense of Fern", "|151|100|80|214|16|1|0"},
    {"Citric Acid", "|141|90|70|145|15|0|1"},
    {"Mink Condition", "|83|102|100|145|15|1|1"},
    {"Aqua", "|83|102|100|404|15|1|1"},
    {"Graphite", "|80|80|80|210|6|1|1"},
    {"XP Silver", "|104|103|103|0|0|1|1"},
    {"Smoked Glass", "|141|142|89|179|14|1|1"},
    {"Lilac Wine", "|90|97|94|0|34|1|1"},
    {"Creme Brulee", "|148|102|96|158|22|1|1"},
    {"Distinctly Minty", "|83|69|120|331|32|1|1"},
    {"Pea Souper", "|73|102|109|221|29|1|1"},
    {"Reelwise Blues", "|35|60|60|456|41|1|0"},
    {"Bubblegum", "|83|112|110|27|74|1|1"},
    {"Clean Slate", "|92|92|102|30|0|1|1"},
    {"Plum Duff", "|130|100|82|27|23|1|1"},
}};
constexpr const char* kOtherPreset = "|105|112|109|0|9|0|0";

int32_t ToByte(float value) { return static_cast<int32_t>(std::clamp(RoundHalfEven(value), 0.0, 255.0)); }

// One pixel as its blue, green and red bytes, changed in place.
using PixelStep = std::function<void(uint8_t* bgr)>;

// Copies the source into a 24-bit DIB section by channel name, runs the step
// over every pixel but the key colour, and writes the result into the
// destination with the source's alpha.
void WalkPixels(const QImage& SourceDC, QImage& DestDC, int32_t W, int32_t H, const PixelStep& step) {
  W = std::min({W, SourceDC.width(), DestDC.width()});
  H = std::min({H, SourceDC.height(), DestDC.height()});
  cDIBSection dib;
  if (W <= 0 || H <= 0 || !dib.Create(W, H)) return;
  const QImage source = SourceDC.convertToFormat(QImage::Format_ARGB32);
  const int32_t stride = dib.BytesPerScanLine();
  uint8_t* bits = dib.DIBSectionBitsPtr();
  std::vector<QRgb> alpha(static_cast<size_t>(W) * static_cast<size_t>(H));
  for (int32_t y = 0; y < H; ++y) {
    const QRgb* in = reinterpret_cast<const QRgb*>(source.constScanLine(y));
    uint8_t* row = bits + int64_t{H - 1 - y} * stride;
    for (int32_t x = 0; x < W; ++x) {
      row[x * 3] = static_cast<uint8_t>(qBlue(in[x]));
      row[x * 3 + 1] = static_cast<uint8_t>(qGreen(in[x]));
      row[x * 3 + 2] = static_cast<uint8_t>(qRed(in[x]));
      alpha[static_cast<size_t>(y) * W + x] = static_cast<QRgb>(qAlpha(in[x]));
    }
  }
  for (int32_t y = 0; y < H; ++y) {
    uint8_t* row = bits + int64_t{y} * stride;
    for (int32_t x = 0; x < W * 3; x += 3) {
      if (row[x] == kKeyBlue && row[x + 1] == kKeyGreen && row[x + 2] == kKeyRed) continue;
      step(row + x);
    }
  }
  if (DestDC.format() != QImage::Format_ARGB32) DestDC = DestDC.convertToFormat(QImage::Format_ARGB32);
  for (int32_t y = 0; y < H; ++y) {
    QRgb* out = reinterpret_cast<QRgb*>(DestDC.scanLine(y));
    const uint8_t* row = bits + int64_t{H - 1 - y} * stride;
    for (int32_t x = 0; x < W; ++x) {
      out[x] = qRgba(row[x * 3 + 2], row[x * 3 + 1], row[x * 3], static_cast<int>(alpha[static_cast<size_t>(y) * W + x]));
    }
  }
}

}  // namespace

ColourGains GainsOf(const ColourScheme& scheme) {
  ColourGains gains;
  gains.RedGain = static_cast<float>(scheme.Red - 100) / 100.0f;
  gains.GreenGain = static_cast<float>(scheme.Green - 100) / 100.0f;
  gains.BlueGain = static_cast<float>(scheme.Blue - 100) / 100.0f;
  gains.Hue = static_cast<float>(scheme.Hue - 100) / 100.0f;
  gains.Sat = static_cast<float>(scheme.Sat) / 100.0f;
  return gains;
}

ColourScheme ReadColourScheme() {
  ColourScheme scheme;
  auto read = [](const char* name, int32_t fallback) {
    return modRegistry::GetRegValue(HKEY_CURRENT_USER, kRegOther, QLatin1String(name)).ToLong(fallback);
  };
  scheme.AdjHLS = read("AdjustHLS", 0) != 0 ? 1 : 0;
  scheme.AdjRGB = read("AdjustRGB", 0) != 0 ? 1 : 0;
  scheme.Red = std::clamp(read("Red", 100), 0, 200);
  scheme.Green = std::clamp(read("Green", 100), 0, 200);
  scheme.Blue = std::clamp(read("Blue", 100), 0, 200);
  scheme.Hue = std::clamp(read("Hue", 100), 0, 600);
  scheme.Sat = std::clamp(read("Sat", 50), 0, 100);
  return scheme;
}

void SaveColourScheme(const ColourScheme& scheme) {
  auto save = [](const char* name, int32_t value) {
    modRegistry::SetRegValue(HKEY_CURRENT_USER, kRegOther, QLatin1String(name), value);
  };
  save("AdjustHLS", scheme.AdjHLS);
  save("AdjustRGB", scheme.AdjRGB);
  save("Red", scheme.Red);
  save("Green", scheme.Green);
  save("Blue", scheme.Blue);
  save("Hue", scheme.Hue);
  save("Sat", scheme.Sat);
}

QStringList ColourSchemePresetNames() {
  QStringList names;
  for (const Preset& preset : kPresets) names << QLatin1String(preset.name);
  std::sort(names.begin(), names.end());
  return names;
}

QString ColourSchemePresetText(const QString& name) {
  for (const Preset& preset : kPresets) {
    if (name == QLatin1String(preset.name)) return QLatin1String(preset.text);
  }
  return QLatin1String(kOtherPreset);
}

ColourScheme ColourSchemeFromText(const QString& text) {
  const QStringList parts = text.split(QLatin1Char('|'));
  auto at = [&](int i) { return i < parts.size() ? parts[i].toInt() : 0; };
  ColourScheme scheme;
  scheme.Red = at(1);
  scheme.Green = at(2);
  scheme.Blue = at(3);
  scheme.Hue = at(4);
  scheme.Sat = at(5);
  scheme.AdjHLS = at(6);
  scheme.AdjRGB = at(7);
  return scheme;
}

void RGBToHLS(int32_t R, int32_t G, int32_t B, float& H, float& S, float& L) {
  const float r = static_cast<float>(R) / 255.0f;
  const float g = static_cast<float>(G) / 255.0f;
  const float b = static_cast<float>(B) / 255.0f;
  const float max = std::max({r, g, b});
  const float min = std::min({r, g, b});
  L = (max + min) / 2.0f;
  if (max == min) {
    S = 0;
    H = 0;
    return;
  }
  const float d = max - min;
  S = L <= 0.5f ? d / (max + min) : d / (2.0f - max - min);
  if (r == max) {
    H = (g - b) / d;
  } else if (g == max) {
    H = 2.0f + (b - r) / d;
  } else {
    H = 4.0f + (r - g) / d;
  }
}

void HLSToRGB(float H, float S, float L, int32_t& R, int32_t& G, int32_t& B) {
  float r = L;
  float g = L;
  float b = L;
  if (S != 0) {
    const float m1 = L <= 0.5f ? L * (1.0f - S) : L - (1.0f - L) * S;
    const float m2 = 2.0f * L - m1;
    const float D = m2 - m1;
    if (H < 0) {
      r = m2, g = m1, b = m1 - H * D;
    } else if (H < 1) {
      r = m2, g = m1 + H * D, b = m1;
    } else if (H < 2) {
      r = m1 + (2.0f - H) * D, g = m2, b = m1;
    } else if (H < 3) {
      r = m1, g = m2, b = m1 + (H - 2.0f) * D;
    } else if (H < 4) {
      r = m1, g = m1 + (4.0f - H) * D, b = m2;
    } else {
      r = m1 + (H - 4.0f) * D, g = m1, b = m2;
    }
  }
  R = ToByte(r * 255.0f);
  G = ToByte(g * 255.0f);
  B = ToByte(b * 255.0f);
}

void AdjustRGB(const QImage& SourceDC, QImage& DestDC, int32_t W, int32_t H, float RedGain, float GreenGain,
               float BlueGain) {
  const float red = 1.0f + RedGain;
  const float green = 1.0f + GreenGain;
  const float blue = 1.0f + BlueGain;
  WalkPixels(SourceDC, DestDC, W, H, [&](uint8_t* bgr) {
    bgr[0] = static_cast<uint8_t>(ToByte(blue * bgr[0]));
    bgr[1] = static_cast<uint8_t>(ToByte(green * bgr[1]));
    bgr[2] = static_cast<uint8_t>(ToByte(red * bgr[2]));
  });
}

void AdjustHLS(const QImage& SourceDC, QImage& DestDC, int32_t W, int32_t H, float Hue, float Sat) {
  WalkPixels(SourceDC, DestDC, W, H, [&](uint8_t* bgr) {
    float h = 0, s = 0, l = 0;
    RGBToHLS(bgr[2], bgr[1], bgr[0], h, s, l);
    int32_t r = 0, g = 0, b = 0;
    HLSToRGB(Hue, Sat, l, r, g, b);
    bgr[0] = static_cast<uint8_t>(b);
    bgr[1] = static_cast<uint8_t>(g);
    bgr[2] = static_cast<uint8_t>(r);
  });
}

QImage AdjustImageColours(const QImage& picture, const ColourScheme& scheme) {
  QImage image = picture.convertToFormat(QImage::Format_ARGB32);
  const ColourGains gains = GainsOf(scheme);
  if (scheme.AdjRGB == 1) {
    AdjustRGB(image, image, image.width(), image.height(), gains.RedGain, gains.GreenGain, gains.BlueGain);
  }
  if (scheme.AdjHLS == 1) AdjustHLS(image, image, image.width(), image.height(), gains.Hue, gains.Sat);
  return image;
}
