#pragma once
// The program's own file writes (OwnFileWrites.h) counted and failed as
// FaultVfs fails the library's: the Nth call of a kind fails with an errno
// (ENOSPC, EIO, EACCES), once or from then on, or stands for a power cut
// (kPowerCut, PowerCut.h). Shared by every thread.
#include "platform/OwnFileWrites.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace rwtest {

struct FileFault {
  OwnFileWrites::Call call = OwnFileWrites::Call::Write;
  int nth = 1;
  int error = 0;
  bool lasting = false;
};

class OwnFileFaults {
 public:
  // Counts afresh from now on; with a fault, arms it.
  static void Start(std::optional<FileFault> fault = std::nullopt);
  // Stops counting and disarms; the counts stay readable.
  static void Stop();
  static int Calls(OwnFileWrites::Call call);
  static int Injected();
  // The file the fault first hit.
  static QString FaultedFile();
  // The files put in place by a rename (a file written whole), in order.
  static QStringList Renamed();
  static const char* CallName(OwnFileWrites::Call call);
};

}  // namespace rwtest
