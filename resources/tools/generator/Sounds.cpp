#include "Sounds.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <random>

namespace {

constexpr int kRate = 22050;

std::vector<unsigned char> Wav(const std::vector<double>& samples) {
  std::vector<unsigned char> out;
  auto u32 = [&](uint32_t v) { for (int i = 0; i < 4; ++i) out.push_back((v >> (8 * i)) & 255); };
  auto u16 = [&](uint16_t v) { out.push_back(v & 255); out.push_back(v >> 8); };
  auto tag = [&](const char* t) { for (int i = 0; i < 4; ++i) out.push_back(static_cast<unsigned char>(t[i])); };
  const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
  tag("RIFF"); u32(36 + dataBytes); tag("WAVE");
  tag("fmt "); u32(16); u16(1); u16(1); u32(kRate); u32(kRate * 2); u16(2); u16(16);
  tag("data"); u32(dataBytes);
  for (double s : samples) {
    const double c = std::max(-1.0, std::min(1.0, s));
    u16(static_cast<uint16_t>(static_cast<int16_t>(std::lround(c * 32000))));
  }
  return out;
}

// A two-pole resonant band-pass, enough to shape noise.
struct BandPass {
  double y1 = 0, y2 = 0;
  double Step(double x, double freq, double q) {
    const double w = 2 * M_PI * freq / kRate;
    const double r = std::exp(-w / (2 * q));
    const double y = (1 - r) * x + 2 * r * std::cos(w) * y1 - r * r * y2;
    y2 = y1;
    y1 = y;
    return y;
  }
};

// Renders a sound of the given length, one sample at a time from its time,
// a fresh white-noise value and a band-pass filter the voice may use.
std::vector<double> Render(double seconds, unsigned seed,
                           const std::function<double(double t, double noise, BandPass& filter)>& voice) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> white(-1, 1);
  BandPass filter;
  std::vector<double> s;
  const int n = static_cast<int>(kRate * seconds);
  for (int i = 0; i < n; ++i) s.push_back(voice(double(i) / kRate, white(rng), filter));
  return s;
}

// A soft two-note refusal: a short falling pair of tones.
double Beep(double t, double, BandPass&) {
  if (t >= 0.1 && t < 0.11) return 0;
  const double f = t < 0.1 ? 660 : 440;
  const double local = t < 0.1 ? t : t - 0.11;
  const double env = std::min(1.0, local / 0.005) * std::exp(-local * 18);
  return 0.55 * env * (std::sin(2 * M_PI * f * t) + 0.25 * std::sin(4 * M_PI * f * t));
}

// A crisp key click: a very short knock with a bright tick.
double Click(double t, double noise, BandPass& filter) {
  const double tick = filter.Step(noise, 3200, 4) * 6;
  return 0.7 * std::exp(-t * 260) * (tick + 0.6 * std::sin(2 * M_PI * 1800 * t));
}

// A bar sliding in: rough noise whose pitch falls as it slows down.
double Scrape(double t, double noise, BandPass& filter) {
  const double env = std::min(1.0, t / 0.02) * std::pow(1 - t / 0.38, 1.5);
  const double rough = 0.6 + 0.4 * std::sin(2 * M_PI * (60 - 40 * t) * t);
  return 0.9 * env * rough * filter.Step(noise, std::max(400.0, 2400 - 3000 * t), 3) * 4;
}

// A quick whoosh: noise swept up and down through a resonant filter.
double Whip(double t, double noise, BandPass& filter) {
  const double x = t / 0.3;
  const double env = std::sin(M_PI * std::pow(x, 0.6)) * (1 - x * 0.3);
  return 0.9 * env * filter.Step(noise, 500 + 3500 * std::sin(M_PI * x), 6) * 5;
}

}  // namespace

std::vector<unsigned char> SynthesiseSound(const std::string& name) {
  if (name == "BEEP") return Wav(Render(0.22, 1, Beep));
  if (name == "CLICK") return Wav(Render(0.035, 7, Click));
  if (name == "SCRAPE") return Wav(Render(0.38, 11, Scrape));
  if (name == "WHIP") return Wav(Render(0.3, 23, Whip));
  return {};
}
