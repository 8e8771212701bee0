#pragma once
// Helpers of the control tests: an event log, plain pictures and the number
// of the error a call raises.
#include "platform/RWError.h"

#include <QColor>
#include <QPixmap>
#include <QString>
#include <QStringList>

#include <string>

namespace rwtest {

// Records the events a control raises, in order, as short texts.
class EventLog {
 public:
  void Add(const QString& entry) { entries_.append(entry); }
  const QStringList& Entries() const { return entries_; }
  std::string Joined() const { return entries_.join(QStringLiteral(" | ")).toStdString(); }
  void Clear() { entries_.clear(); }

 private:
  QStringList entries_;
};

inline QPixmap Square(const QColor& colour, int width = 16, int height = 16) {
  QPixmap picture(width, height);
  picture.fill(colour);
  return picture;
}

// The number of the error the call raises; 0 when it raises none.
template <typename Call>
int ErrorNumber(Call&& call) {
  try {
    call();
  } catch (const RWError& error) {
    return error.Number();
  }
  return 0;
}

}  // namespace rwtest
