// The frame every catalogue operation of the library object follows:
// progress caption, named transaction, commit, refresh, error report.
#include "library/clsRWLibrary.h"

#include "core/ProgramMessage.h"
#include "core/modReelwise.h"
#include "platform/RWError.h"

void clsRWLibrary::ShowProgress(const QString& Caption, int32_t Value) {
  View().ShowProgress(Caption, Value);
  if (m_OpenPacer) m_OpenPacer->Due();
}

void clsRWLibrary::ProgressOff() { View().ProgressOff(); }

bool clsRWLibrary::ProgressDue(LongWork::Pacer& own) { return (m_OpenPacer ? *m_OpenPacer : own).Due(); }

void clsRWLibrary::WorkGoesOn(LongWork::Pacer& own) { (m_OpenPacer ? *m_OpenPacer : own).Tick(); }

int64_t clsRWLibrary::OpenElapsedMs() const { return m_OpenPacer ? m_OpenPacer->ElapsedMs() : 0; }

ErrorReport clsRWLibrary::Reporting(const QString& title) { return {.title = title, .owner = ProgramMessageOwner()}; }

// A failure leaves the transaction rolled back by its guard, then is reported.
bool clsRWLibrary::RunInTransaction(const QString& Name, const std::function<void()>& Work) {
  return ErrorGuard(Reporting()).Run([&] {
    TransactionGuard transaction(*m_Connection, Name);
    Work();
    transaction.Commit();
  });
}

void clsRWLibrary::RefreshAfterEdit() {
  if (gAutoRefresh) RefreshResults();
  if (gTagCloudShown) ShowTagCloud(true);
}
