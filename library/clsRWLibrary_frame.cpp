// The frame every catalogue operation of the library object follows:
// progress caption, named transaction, commit, refresh, error report.
#include "library/clsRWLibrary.h"

#include "core/ProgramMessage.h"
#include "core/modReelwise.h"
#include "platform/RWError.h"

void clsRWLibrary::ShowProgress(const QString& Caption, int32_t Value) { View().ShowProgress(Caption, Value); }

void clsRWLibrary::ProgressOff() { View().ProgressOff(); }

void clsRWLibrary::ReportError(const RWError& error) {
  ShowProgramMessage(error.Text(), vbExclamation, QString(), ProgramMessageOwner());
}

bool clsRWLibrary::RunInTransaction(const QString& Name, const std::function<void()>& Work) {
  try {
    TransactionGuard guard(*m_Connection, Name);
    Work();
    guard.Commit();
    return true;
  } catch (const RWError& error) {
    // The guard has rolled the transaction back.
    ReportError(error);
    return false;
  }
}

void clsRWLibrary::RefreshAfterEdit() {
  if (gAutoRefresh) RefreshResults();
  if (gTagCloudShown) ShowTagCloud(true);
}
