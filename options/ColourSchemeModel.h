#pragma once
// The colour-scheme model: the saved scheme (five sliders and two switches),
// its presets, the gains derived from it, and the two recolouring passes that
// run over every skin picture. An RGB pass multiplies each channel by its own
// gain; the Colourise pass keeps each pixel's lightness and gives it the
// scheme's hue and saturation. Pure green (the key colour) is never changed,
// and a picture's alpha is kept. Nothing here needs a window.
#include <QImage>
#include <QString>
#include <QStringList>

#include <cstdint>

// The settings "Red", "Green", "Blue", "Hue", "Sat", "AdjustHLS", "AdjustRGB".
struct ColourScheme {
  int32_t Red = 100;    // 0 to 200
  int32_t Green = 100;  // 0 to 200
  int32_t Blue = 100;   // 0 to 200
  int32_t Hue = 100;    // 0 to 600
  int32_t Sat = 50;     // 0 to 100
  int32_t AdjHLS = 0;   // the Colourise pass, 0 or 1
  int32_t AdjRGB = 0;   // the RGB pass, 0 or 1
  bool operator==(const ColourScheme&) const = default;
};

// Derived from the sliders before every render.
struct ColourGains {
  float RedGain = 0;    // -1 to +1
  float GreenGain = 0;  // -1 to +1
  float BlueGain = 0;   // -1 to +1
  float Hue = 0;        // -1 to 5, in sextants (0 red, 2 green, 4 blue)
  float Sat = 0;        // 0 to 1
};

ColourGains GainsOf(const ColourScheme& scheme);

// The scheme as saved, with the first-run defaults for missing values.
ColourScheme ReadColourScheme();
// Saves AdjustHLS, AdjustRGB, Red, Green, Blue, Hue and Sat in that order.
void SaveColourScheme(const ColourScheme& scheme);

// The preset names sorted as the list shows them.
QStringList ColourSchemePresetNames();
// A preset as its stored text ("|151|100|80|214|16|1|0"); any other name
// gives the fall-back preset, which has both passes off.
QString ColourSchemePresetText(const QString& name);
// The preset text split at "|" (element 0 empty) into a scheme.
ColourScheme ColourSchemeFromText(const QString& text);

// R, G, B 0 to 255; H in sextants (may be negative), S and L 0 to 1.
void RGBToHLS(int32_t R, int32_t G, int32_t B, float& H, float& S, float& L);
void HLSToRGB(float H, float S, float L, int32_t& R, int32_t& G, int32_t& B);

// The two passes over the W x H top-left area of SourceDC, written into
// DestDC (which may be the same picture). Both pictures are 32-bit; alpha
// comes from the source.
void AdjustRGB(const QImage& SourceDC, QImage& DestDC, int32_t W, int32_t H, float RedGain, float GreenGain,
               float BlueGain);
void AdjustHLS(const QImage& SourceDC, QImage& DestDC, int32_t W, int32_t H, float Hue, float Sat);

// The picture recoloured by the scheme: the RGB pass first when it is on,
// then the Colourise pass when it is on. The result is 32-bit ARGB.
QImage AdjustImageColours(const QImage& picture, const ColourScheme& scheme);
