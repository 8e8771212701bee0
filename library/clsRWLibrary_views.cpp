// Saved views and searches: a view spec kept under a name as a tag of the
// "Saved Views" or "Saved Searches" folder with its Views row, shown as a
// node of the library tree, and read back by the node's key.
#include "library/clsRWLibrary.h"

#include "core/ProgramMessage.h"
#include "core/modReelwise.h"
#include "library/TagStore.h"
#include "platform/RWError.h"
#include "platform/SqlRecordset.h"
#include "platform/controls/TreeView.h"
#include "ui/SchemeColours.h"
#include "ui/modReelwise_drawing.h"

namespace {

constexpr int32_t kSavedSearchesTag = 3;
constexpr int32_t kSavedViewsTag = 4;

// The new node is shown, selected and bold in the scheme colour; an unnamed
// view has its label edited at once, so that the user names it.
void ShowViewNode(ILibraryView& view, int32_t tagId, const QString& spec, const QString& name, bool isSearch) {
  if (!view.LibraryTree()) return;
  ctl::TreeView& tree = *view.LibraryTree();
  const int32_t folder = isSearch ? kSavedSearchesTag : kSavedViewsTag;
  ctl::Node* node = tree.Nodes.Add(QStringLiteral("ID%1").arg(folder), ctl::tvwChild, QStringLiteral("ID%1").arg(tagId),
                                   name.isEmpty() ? QStringLiteral("New View") : name,
                                   isSearch ? QStringLiteral("SEARCH") : QStringLiteral("VIEW"));
  node->EnsureVisible();
  node->SetSelected(true);
  node->SetForeColor(gSchemeColour4);
  node->SetBold(true);
  node->SetTag(isSearch ? spec : QString());
  int16_t state = 0;
  modReelwise::UpdateNodeExpandIcon(&tree, node, state);
  if (name.isEmpty() && !isSearch) {
    gPendingRenameNode = node;
    view.StartTreeEditTimer();
  }
}

}  // namespace

void clsRWLibrary::SaveView(const QString& Spec, const QString& Name, bool IsSearch) {
  const QString type = IsSearch ? QStringLiteral("S") : QStringLiteral("V");
  int32_t tagId = 0;
  {
    // The tag and its view are stored together or not at all.
    TransactionGuard guard(*m_Connection, QStringLiteral("SaveView"));
    const int32_t folder = IsSearch ? kSavedSearchesTag : kSavedViewsTag;
    tagId = TagStore::CreateTag(*m_Connection, Name, type, QString::number(folder));
    SqlRecordset view(*m_Connection, QStringLiteral("SELECT * from Views WHERE 1=0"));
    view.AddNew();
    view.Fields(QStringLiteral("ViewSpec")).SetValue(Spec);
    view.Fields(QStringLiteral("Type")).SetValue(type);
    view.Fields(QStringLiteral("TagID")).SetValue(tagId);
    view.Update();
    tagId = m_Connection->LastInsertRowNumber();
    guard.Commit();
  }
  if (gAutoRefresh) RefreshResults();
  ShowViewNode(View(), tagId, Spec, Name, IsSearch);
}

QString clsRWLibrary::GetViewSpec(QString& Key) {
  Key.remove(QStringLiteral("ID"));
  // Only a number reaches the statement.
  bool isNumber = false;
  const qint64 tagId = Key.toLongLong(&isNumber);
  try {
    if (isNumber) {
      SqlRecordset view(*m_Connection, QStringLiteral("SELECT * from Views WHERE TagID = ") + QString::number(tagId));
      if (!view.Eof()) return view.Fields(QStringLiteral("ViewSpec")).toString();
    }
  } catch (const RWError&) {
    // Told below, as for a view that is gone.
  }
  ShowProgramMessage(QStringLiteral("There was an unexpected problem processing this View"), vbExclamation, QString(),
                     ProgramMessageOwner());
  return QString();
}
