#include "platform/SqlText.h"

#include "platform/SqlValue.h"

QString SqlQuote(const QString& text) {
  QString quoted = text;
  quoted.replace(QLatin1Char('\''), QStringLiteral("''"));
  return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

QString SqlReal(double value) { return FormatReal(value); }

QString SqlIdentifier(const QString& name) {
  QString quoted = name;
  quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
  return QLatin1Char('"') + quoted + QLatin1Char('"');
}
