// Opening a tree node as a search: the library tree's selected node dropped
// on a result browser (or Enter on it) becomes a view step whose operator
// comes from the modifier keys held at the drop (Alt "-" exclude, else Ctrl
// "+" narrow, else Shift "&" add, else "_" new). ShowSearchDragIcon shows
// over a browser which of these a drop would make.
#include "browser/LibraryTreePane.h"

#include "browser/DropSteps.h"
#include "core/ProgramMessage.h"
#include "core/modReelwise.h"
#include "library/clsRWLibrary.h"
#include "platform/RWError.h"

#include <functional>
#include <optional>

using namespace DropSteps;

namespace {

// A saved search opened with an operator: each step's operator "_" (new)
// becomes the chosen one. Only an "_" straight after a step's "|" is an
// operator; one in a searched text ("my_clip") stays as it is.
QString WithOperator(const QString& spec, const QString& op) {
  QString opened = spec;
  for (qsizetype i = 1; i < opened.size(); ++i) {
    if (opened.at(i) == QLatin1Char('_') && opened.at(i - 1) == QLatin1Char('|')) opened[i] = op.at(0);
  }
  return opened;
}

// The view spec and caption of a node that opens through ShowView; false for
// the tags and every other node, which open as a tag step.
bool ViewStepOf(const ctl::Node& node, const QString& op, QString& spec, QString& caption) {
  const QString& image = node.Image();
  const QString step = QStringLiteral("|") + op;
  if (image == QLatin1String("SEARCH")) {
    QString key = node.Key();
    spec = WithOperator(gLibrary->GetViewSpec(key), op);
    caption = QStringLiteral("Search: ") + node.Text();
  } else if (image == QLatin1String("VIEW")) {
    QString key = node.Key();
    spec = gLibrary->GetViewSpec(key);
    caption = QStringLiteral("View: ") + node.Text();
  } else if (image == QLatin1String("STAR") || image == QLatin1String("UNSTAR")) {
    spec = step + QStringLiteral("?R:") + node.Text();
    caption = QStringLiteral("Rated ") + node.Text();
  } else if (image == QLatin1String("COG")) {
    spec = step + QStringLiteral("?C:") + node.Text();
    caption = QStringLiteral("File Type: ") + node.Text();
  } else if (image == QLatin1String("DATE")) {
    spec = step + QStringLiteral("?D:") + node.Key();
    caption = QStringLiteral("Added: ") + node.Text();
  } else if (image.left(4) == QLatin1String("DISK")) {
    spec = step + QStringLiteral("?M:") + node.Tag();
    caption = QStringLiteral("Device: ") + node.Text();
  } else {
    return false;
  }
  return true;
}

}  // namespace

void LibraryTreePane::OpenNodeAsSearch(QString op) {
  DropStep([&] {
    if (op.isEmpty()) op = OperatorFromKeys();
  });
  const ctl::Node* node = tvwLibrary->SelectedItem();
  if (!node || !gLibrary) return;
  QString spec;
  QString caption;
  bool viewStep = false;
  DropStep([&] { viewStep = ViewStepOf(*node, op, spec, caption); });
  if (viewStep) {
    DropStep([&] { gLibrary->ShowView(spec, caption); });
    return;
  }
  const QString key = node->Key();
  const QString text = node->Text();
  DropStep([this] { host_.ShowBusyIndicator(true); });
  {
    // Left open by a failed commit, the step would hold every later change
    // of the library; the guard rolls it back instead.
    std::optional<TransactionGuard> step;
    DropStep([&] { step.emplace(gLibrary->Connection(), QStringLiteral("BSR")); });
    DropStep([&] {
      if (op == QLatin1String("_")) {
        gLibrary->BuildSearchResults(op, key, false, text);
      } else {
        gLibrary->BuildSearchResults(op, key, true, QString());
      }
    });
    DropStep([] { gLibrary->FetchSearchResults(); });
    DropStep([] { gLibrary->ShowSearchResults(); });
    DropStep([&] {
      if (step) step->Commit();
    });
  }
  DropStep([this] { results_->AlignBrowserHistory(); });
  DropStep([this] { host_.ShowBusyIndicator(false); });
}

void LibraryTreePane::ShowSearchDragIcon() {
  const int16_t alt = ctl::GetKeyState(kVkAlt);
  // Ctrl is asked before Alt here, unlike the drop.
  const char* key = Held(kVkControl) ? "FILTERIN"
                    : AltHeld(alt)   ? "FILTEROUT"
                    : Held(kVkShift) ? "APPENDFILES"
                                     : "FILES";
  tvwLibrary->SetDragIcon(host_.imglstDragIcons().DragCursor(QLatin1String(key)));
}
