#include "platform/CaseRules.h"

#include <cwctype>

namespace CaseRules {

bool DottedCapitalI() { return std::towupper(L'i') == 0x130; }

// Unicode capitalises "ı" as "I" already; only "i" needs its own capital.
QString Upper(const QString& text) {
  if (!text.contains(u'i') || !DottedCapitalI()) return text.toUpper();
  QString dotted = text;
  dotted.replace(u'i', u'\u0130');
  return dotted.toUpper();
}

}  // namespace CaseRules
