#pragma once
// Capital letters by the user's case rules, as the C library's character
// type (LC_CTYPE) gives them. Where those rules capitalise "i" as "İ"
// (Turkish, Azerbaijani), "i", "ı", "İ" and "I" all fold to one letter, so a
// search finds a name whichever of them it was written with; elsewhere
// letters take Unicode's own capitals, as QString gives them. Searches and
// type-ahead that ignore case compare texts so.
#include <QString>

namespace CaseRules {

// The calling thread's case rules capitalise "i" as "İ".
bool DottedCapitalI();

// The text in capitals by those rules.
QString Upper(const QString& text);

}  // namespace CaseRules
