#pragma once
// The C library's character type switched to Turkish (tr_TR.UTF-8, whose
// capital of "i" is "İ") for the life of the object, as a user's locale sets it.
#include <clocale>
#include <string>

namespace rwtest {

inline constexpr char kNoTurkishLocale[] = "the tr_TR.UTF-8 locale cannot be set (scripts/install-deps.sh generates it)";

class TurkishCharacters {
 public:
  TurkishCharacters() : ctype_(std::setlocale(LC_CTYPE, nullptr)) {
    switched_ = std::setlocale(LC_CTYPE, "tr_TR.UTF-8") != nullptr;
  }
  ~TurkishCharacters() {
    if (switched_) std::setlocale(LC_CTYPE, ctype_.c_str());
  }
  TurkishCharacters(const TurkishCharacters&) = delete;
  TurkishCharacters& operator=(const TurkishCharacters&) = delete;
  // False when the system has no such locale; nothing was switched.
  bool Switched() const { return switched_; }

 private:
  std::string ctype_;
  bool switched_ = false;
};

}  // namespace rwtest
