// Tags, links, segments, tagging, ratings, files and the segment tag
// structure: the library object's side of each operation around the database
// work of TagStore (progress, refreshing the view and the tag cloud, the
// windows that show what changed, reports).
#include "library/clsRWLibrary.h"

#include "core/ProgramMessage.h"
#include "core/modReelwise.h"
#include "library/ResultItem.h"
#include "library/TagStore.h"
#include "library/ViewSpec.h"
#include "platform/RWError.h"

namespace {

QWidget* Owner() { return ProgramMessageOwner(); }

// What a removal left in place, told in one box however many files it kept.
void TellFilesKept(const QStringList& messages) {
  constexpr qsizetype kListed = 5;
  if (messages.isEmpty()) return;
  QStringList listed = messages.mid(0, kListed);
  if (messages.size() > kListed) listed << QStringLiteral("... and %1 more.").arg(messages.size() - kListed);
  ShowProgramMessage(listed.join(QStringLiteral("\r\n\r\n")), vbExclamation,
                     messages.size() == 1 ? QStringLiteral("File Kept") : QStringLiteral("Files Kept"), Owner());
}

}  // namespace

int32_t clsRWLibrary::CreateTag(const QString& Name, const QString& Type, const QVariant& Parent) {
  const QString parent = Parent.isNull() ? QString() : Parent.toString();
  const int32_t id = TagStore::CreateTag(*m_Connection, Name, Type, parent);
  if (gAutoRefresh) RefreshResults();
  return id;
}

void clsRWLibrary::DeleteTreeNode(QString& Key) {
  TagStore::DeleteTreeNode(*m_Connection, Key);
  RefreshAfterEdit();
}

bool clsRWLibrary::CreateTagRelationship(int32_t TagID, int32_t LinkedTag, const QString& Relationship) {
  const TagStore::LinkOutcome outcome = TagStore::CreateTagRelationship(*m_Connection, TagID, LinkedTag, Relationship);
  if (outcome.stored) {
    RefreshAfterEdit();
    return true;
  }
  const QString refusal = TagStore::ParentLinkRefusal(outcome.check);
  if (!refusal.isEmpty()) ShowProgramMessage(refusal, vbExclamation, QString(), Owner());
  return false;
}

void clsRWLibrary::DeleteTagRelationship(int32_t TagA, int32_t TagB) {
  TagStore::DeleteTagRelationship(*m_Connection, TagA, TagB);
  RefreshAfterEdit();
}

// `OnlyUnset`: only rows without a Behaviour or CategoryID are derived (a new
// item); otherwise every row is derived again from where it sits.
void clsRWLibrary::SetNodeBehaviours(bool OnlyUnset) { TagStore::SetNodeBehaviours(*m_Connection, OnlyUnset); }

QString clsRWLibrary::ConvertToT9(const QString& Text) { return TagStore::ConvertToT9(Text); }

void clsRWLibrary::TagSegment(int32_t SegmentID, int32_t TagID, bool Remove) {
  TagStore::TagSegment(*m_Connection, SegmentID, TagID, Remove);
  if (m_TagCloudDeferrals > 0) {
    m_TagCloudStale = true;
  } else if (gTagCloudShown) {
    ShowTagCloud(true);
  }
}

clsRWLibrary::TagCloudDeferral::TagCloudDeferral(clsRWLibrary& library) : library_(library) {
  ++library_.m_TagCloudDeferrals;
}

void clsRWLibrary::TagCloudDeferral::Undone() { library_.m_TagCloudStale = false; }

clsRWLibrary::TagCloudDeferral::~TagCloudDeferral() {
  if (--library_.m_TagCloudDeferrals > 0 || !library_.m_TagCloudStale) return;
  library_.m_TagCloudStale = false;
  if (gTagCloudShown) ErrorGuard(Reporting()).Run([this] { library_.ShowTagCloud(true); });
}

void clsRWLibrary::RateSegment(int16_t Rating, int32_t SegmentID) {
  if (TagStore::RateSegment(*m_Connection, Rating, SegmentID)) ShowStoredRating(SegmentID, Rating);
}

void clsRWLibrary::ShowStoredRating(int32_t SegmentID, int16_t Rating) {
  View().ShowSegmentRating(SegmentID, Rating);
  for (ResultItem& item : gResults) {
    if (item.SegmentID == SegmentID) item.Rating = Rating;
  }
  if (gCurrentItem.SegmentID == SegmentID) gCurrentItem.Rating = Rating;
  if (gInspectedItem.SegmentID == SegmentID) gInspectedItem.Rating = Rating;
}

void clsRWLibrary::CreateSegment(double Start, double End, int32_t FileID, int32_t SegmentID, int32_t& Result) {
  Result = TagStore::CreateSegment(*m_Connection, Start, End, FileID, SegmentID, ThumbnailCache).result;
}

void clsRWLibrary::UpdateSegmentAB(int32_t SegmentID, double Start, double End) {
  TagStore::UpdateSegmentAB(*m_Connection, SegmentID, Start, End);
}

void clsRWLibrary::RemoveSegment(int32_t SegmentID) {
  // Segments showing its picture as their file's keep it after its row goes.
  ThumbnailCache.KeepSharedCopies(SegmentID);
  TagStore::RemoveSegment(*m_Connection, SegmentID, ThumbnailCache);
  if (gResultKind != ResultScope::File) {
    FetchSearchResults();
    ShowSearchResults();
  }
}

void clsRWLibrary::RemoveFile(int32_t FileID, bool DeleteFromDisk) {
  TagStore::RemoveFileRequest request;
  request.fileId = FileID;
  request.deleteFromDisk = DeleteFromDisk;
  request.inspectedFileId = gInspectedItem.FileID;
  for (size_t i = 1; i < gResults.size(); ++i) request.results.push_back({gResults[i].FileID, gResults[i].Selected});
  View().SetProgressMax(FileID == 0 ? SelectedCount : 1);
  ShowProgress(QStringLiteral("Removing Files..."), 0);
  request.progress = [this](int32_t done) { ShowProgress(QStringLiteral("Removing Files..."), done); };
  request.releaseInspected = [this] { View().ReleaseInspectedFile(); };
  TagStore::RemoveFileResult result;
  try {
    result = TagStore::RemoveFile(*m_Connection, request, ThumbnailCache);
  } catch (...) {
    // Every file was kept (a removal without the disk); the caller's guard
    // tells why.
    ShowProgress(QString(), 0);
    ProgressOff();
    throw;
  }
  TellFilesKept(result.messages);
  // Files removed before a fault ended the removal are gone from the view
  // before the fault is told.
  if (!result.fault || !result.removed.empty()) {
    FetchSearchResults();
    ShowSearchResults();
  }
  ShowProgress(QString(), 0);
  ProgressOff();
  if (result.fault) throw *result.fault;
}

QString clsRWLibrary::GetSegmentTags(bool WholeFile, int32_t FileID, int32_t SegmentID, bool Layout,
                                     bool StructureOnly) {
  QString tags;
  ErrorReport numbered = Reporting();
  numbered.text = ErrorGuard::Numbered(QStringLiteral(" "));
  ErrorGuard(std::move(numbered)).Run([&] {
    tags = TagStore::GetSegmentTags(*m_Connection, WholeFile, FileID, SegmentID, Layout, StructureOnly);
  });
  return tags;
}

QString clsRWLibrary::GetPlayListStats(bool Current) { return TagStore::GetPlayListStats(*m_Connection, Current); }

bool clsRWLibrary::ViewModified() const { return TagStore::ViewModified(gViewSpec); }

void clsRWLibrary::DeleteSearchResults() {
  ErrorGuard(Reporting()).Run([this] { TagStore::DeleteSearchResults(*m_Connection); });
}

// Holds a check of the library (files carrying a tag that is also on one of
// their segments) that nothing offers yet; it prepares nothing and runs nothing.
void clsRWLibrary::LibraryAnalysis() {}
