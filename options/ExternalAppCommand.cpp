#include "options/ExternalAppCommand.h"

#include "core/modReelwise.h"

namespace ExternalAppCommand {

namespace {
bool IsBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }
bool IsQuote(QChar c) { return c == QLatin1Char('"') || c == QLatin1Char('\''); }
}  // namespace

std::optional<QStringList> SplitWords(const QString& commandLine) {
  QStringList words;
  QString word;
  bool inWord = false;
  QChar quote;
  for (qsizetype at = 0; at < commandLine.size(); ++at) {
    const QChar c = commandLine[at];
    const QChar next = at + 1 < commandLine.size() ? commandLine[at + 1] : QChar();
    if (quote == QLatin1Char('\'')) {
      if (c == quote) quote = QChar();
      else word += c;
    } else if (c == QLatin1Char('\\') && (IsQuote(next) || next == QLatin1Char('\\'))) {
      // Outside single quotes a backslash takes the quote or backslash after
      // it as it is; before anything else it is itself.
      word += next;
      inWord = true;
      ++at;
    } else if (!quote.isNull()) {
      if (c == quote) quote = QChar();
      else word += c;
    } else if (IsQuote(c)) {
      quote = c;
      inWord = true;
    } else if (IsBlank(c)) {
      if (inWord) words << word;
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (!quote.isNull()) return std::nullopt;
  if (inWord) words << word;
  return words;
}

QString ExpandWord(const QString& word, const Values& values) {
  QString result;
  qsizetype at = 0;
  while (at < word.size()) {
    bool replaced = false;
    if (word[at] == QLatin1Char('<')) {
      for (const auto& [name, value] : values) {
        if (QStringView(word).mid(at).startsWith(name)) {
          result += value;
          at += name.size();
          replaced = true;
          break;
        }
      }
    }
    if (!replaced) result += word[at++];
  }
  return result;
}

QString SelectionTime(double seconds, bool plainSeconds) {
  if (plainSeconds) return QString::number(seconds, 'g', 15);
  return modReelwise::FormatDuration(seconds, true, true);
}

QString TagsArgument(QString tags) {
  tags.remove(QStringLiteral("***"));
  tags.replace(QLatin1Char(' '), QLatin1Char('+'));
  const qsizetype comma = tags.indexOf(QLatin1Char(','));
  if (comma >= 0) tags.remove(comma, 1);
  return tags;
}

}  // namespace ExternalAppCommand

namespace {

// The path kept in memory while no main window holds it.
QString& WindowlessTag() {
  static QString tag;
  return tag;
}

void SetWindowlessFunctions(ExternalAppHost& host) {
  host.setMainWindowTag = [](const QString& text) { WindowlessTag() = text; };
  host.mainWindowTag = [] { return WindowlessTag(); };
  host.reloadInspector = [] {};
}

}  // namespace

ExternalAppHost& gExternalAppHost() {
  static ExternalAppHost host = [] {
    ExternalAppHost h;
    SetWindowlessFunctions(h);
    return h;
  }();
  return host;
}

void ResetExternalAppHost() { SetWindowlessFunctions(gExternalAppHost()); }
