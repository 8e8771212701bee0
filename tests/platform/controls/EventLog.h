#pragma once
// Records the events a control raises, in order, as short texts.
#include <QString>
#include <QStringList>

#include <string>

namespace rwtest {

class EventLog {
 public:
  void Add(const QString& entry) { entries_.append(entry); }
  const QStringList& Entries() const { return entries_; }
  std::string Joined() const { return entries_.join(QStringLiteral(" | ")).toStdString(); }
  void Clear() { entries_.clear(); }

 private:
  QStringList entries_;
};

}  // namespace rwtest
