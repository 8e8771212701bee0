#pragma once
// Records the events a control raises, in order, as short texts.
#include <QString>
#include <QStringList>

namespace rwtest {

class EventLog {
 public:
  void Add(const QString& entry) { entries_.append(entry); }
  const QStringList& Entries() const { return entries_; }
  QString Joined() const { return entries_.join(QStringLiteral(" | ")); }
  void Clear() { entries_.clear(); }

 private:
  QStringList entries_;
};

}  // namespace rwtest
