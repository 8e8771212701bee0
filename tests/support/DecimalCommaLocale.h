#pragma once
// The C library's numbers and Qt's default locale switched to German
// (de_DE.UTF-8, a decimal comma) for the life of the object or until
// Restore(), so that a failing assertion cannot leave the locale behind.
#include <QLocale>

#include <clocale>
#include <cstdio>
#include <string>

namespace rwtest {

inline constexpr char kNoGermanLocale[] =
    "the de_DE.UTF-8 locale cannot be set (scripts/install-deps.sh generates it)";

class DecimalCommaLocale {
 public:
  DecimalCommaLocale() : numeric_(std::setlocale(LC_NUMERIC, nullptr)) {
    switched_ = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
    if (switched_) QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  }
  ~DecimalCommaLocale() { Restore(); }
  DecimalCommaLocale(const DecimalCommaLocale&) = delete;
  DecimalCommaLocale& operator=(const DecimalCommaLocale&) = delete;

  // False when the system has no such locale; nothing was switched.
  bool Switched() const { return switched_; }
  // 2.5 as the C library writes it now.
  static std::string TwoAndAHalf() {
    char written[8];
    std::snprintf(written, sizeof written, "%.1f", 2.5);
    return written;
  }
  void Restore() {
    if (!switched_) return;
    switched_ = false;
    std::setlocale(LC_NUMERIC, numeric_.c_str());
    QLocale::setDefault(qt_);
  }

 private:
  std::string numeric_;
  QLocale qt_;
  bool switched_ = false;
};

}  // namespace rwtest
