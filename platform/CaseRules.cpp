#include "platform/CaseRules.h"

#include <cwctype>

namespace CaseRules {

bool DottedCapitalI() { return std::towupper(L'i') == 0x130; }

// Unicode already capitalises "i" and "ı" as "I"; folding "İ" to "I" too
// makes the four one letter, so that "istanbul" finds "İstanbul" and a name
// written in ASCII capitals ("ISTANBUL") alike.
QString Upper(const QString& text) {
  if (!text.contains(u'\u0130') || !DottedCapitalI()) return text.toUpper();
  QString folded = text;
  folded.replace(u'\u0130', u'I');
  return folded.toUpper();
}

}  // namespace CaseRules
