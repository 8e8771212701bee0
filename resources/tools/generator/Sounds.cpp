#include "Sounds.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
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

// A soft two-note refusal: a short falling pair of tones.
std::vector<double> Beep() {
  std::vector<double> s;
  const int n = kRate * 0.22;
  for (int i = 0; i < n; ++i) {
    const double t = double(i) / kRate;
    const double f = t < 0.1 ? 660 : 440;
    const double local = t < 0.1 ? t : t - 0.11;
    double env = local < 0 ? 0 : std::min(1.0, local / 0.005) * std::exp(-local * 18);
    if (t >= 0.1 && t < 0.11) env = 0;
    s.push_back(0.55 * env * (std::sin(2 * M_PI * f * t) + 0.25 * std::sin(4 * M_PI * f * t)));
  }
  return s;
}

// A crisp key click: a very short knock with a bright tick.
std::vector<double> Click() {
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> noise(-1, 1);
  BandPass bp;
  std::vector<double> s;
  const int n = kRate * 0.035;
  for (int i = 0; i < n; ++i) {
    const double t = double(i) / kRate;
    const double env = std::exp(-t * 260);
    const double tick = bp.Step(noise(rng), 3200, 4) * 6;
    s.push_back(0.7 * env * (tick + 0.6 * std::sin(2 * M_PI * 1800 * t)));
  }
  return s;
}

// A bar sliding in: rough noise whose pitch falls as it slows down.
std::vector<double> Scrape() {
  std::mt19937 rng(11);
  std::uniform_real_distribution<double> noise(-1, 1);
  BandPass bp;
  std::vector<double> s;
  const int n = kRate * 0.38;
  for (int i = 0; i < n; ++i) {
    const double t = double(i) / kRate;
    const double env = std::min(1.0, t / 0.02) * std::pow(1 - t / 0.38, 1.5);
    const double rough = 0.6 + 0.4 * std::sin(2 * M_PI * (60 - 40 * t) * t);
    const double f = 2400 - 3000 * t;
    s.push_back(0.9 * env * rough * bp.Step(noise(rng), std::max(400.0, f), 3) * 4);
  }
  return s;
}

// A quick whoosh: noise swept up and down through a resonant filter.
std::vector<double> Whip() {
  std::mt19937 rng(23);
  std::uniform_real_distribution<double> noise(-1, 1);
  BandPass bp;
  std::vector<double> s;
  const int n = kRate * 0.3;
  for (int i = 0; i < n; ++i) {
    const double t = double(i) / kRate;
    const double x = t / 0.3;
    const double env = std::sin(M_PI * std::pow(x, 0.6)) * (1 - x * 0.3);
    const double f = 500 + 3500 * std::sin(M_PI * x);
    s.push_back(0.9 * env * bp.Step(noise(rng), f, 6) * 5);
  }
  return s;
}

}  // namespace

std::vector<unsigned char> SynthesiseSound(const std::string& name) {
  if (name == "BEEP") return Wav(Beep());
  if (name == "CLICK") return Wav(Click());
  if (name == "SCRAPE") return Wav(Scrape());
  if (name == "WHIP") return Wav(Whip());
  return {};
}
