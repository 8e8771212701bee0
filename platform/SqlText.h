#pragma once
// Pieces of statement text: the program builds most SQL as text, so user text
// is always quoted with every "'" doubled, and numbers use "." whatever the locale.
#include <QString>

// 'text' with embedded single quotes doubled.
QString SqlQuote(const QString& text);
// A real number as SQL text ("12.5"), never with a locale's decimal comma.
QString SqlReal(double value);
// "name" with embedded double quotes doubled, for identifiers and savepoint names.
QString SqlIdentifier(const QString& name);
