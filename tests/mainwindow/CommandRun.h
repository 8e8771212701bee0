#pragma once
// The running program driven through its menu, its toolbars and the command
// dispatcher: a desktop that records the pages it is asked to open, a watch
// on the modal windows that closes each one as it appears (after running
// what the test asks inside its loop), and a picture of every menu mark.
#include "core/DesktopShell.h"
#include "library/ResultItem.h"
#include "library/ViewSpec.h"
#include "library/clsRWLibrary.h"
#include "platform/cPopupMenu.h"
#include "tests/app/ProgramRun.h"

#include <QApplication>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

namespace rwtest {

// The search scope and storage filter as words, for test messages.
inline QString ScopeName(ResultScope scope) {
  switch (scope) {
    case ResultScope::File:
      return QStringLiteral("Files");
    case ResultScope::SegmentsOfFiles:
      return QStringLiteral("SegmentsOfFiles");
    case ResultScope::Segment:
      return QStringLiteral("Segments");
  }
  return QStringLiteral("?");
}
inline QString FilterName(StorageFilter filter) {
  switch (filter) {
    case StorageFilter::All:
      return QStringLiteral("All");
    case StorageFilter::Online:
      return QStringLiteral("Online");
    case StorageFilter::Offline:
      return QStringLiteral("Offline");
  }
  return QStringLiteral("?");
}

struct RecordingDesktop : DesktopShell {
  QStringList opened;
  int OpenWithDefault(const QString& path) override {
    opened << path;
    return kShellLaunched;
  }
  int OpenWith(const QString&, const QString& path) override { return OpenWithDefault(path); }
  std::vector<DesktopApp> AppsFor(const QString&) override { return {}; }
  bool ShowOpenWithChooser(const QString&) override { return false; }
  bool ShowProperties(const QString&) override { return false; }
};

// Records every window shown and closes the modal ones from inside their own
// loop, first running `inside` there.
class ModalWatch : public QObject {
 public:
  ModalWatch() { qApp->installEventFilter(this); }
  ~ModalWatch() override { qApp->removeEventFilter(this); }

  QStringList shown;
  std::function<void(QWidget& window)> inside;

 protected:
  bool eventFilter(QObject* object, QEvent* event) override {
    auto* window = qobject_cast<QWidget*>(object);
    // The dimming overlay is a child laid over the main window.
    const bool overlay = window && window->objectName() == QLatin1String("frmGlass");
    if (event->type() != QEvent::Show || !window || !(window->isWindow() || overlay)) return false;
    shown << window->objectName();
    if (window->isModal()) {
      QPointer<QWidget> modal = window;
      QTimer::singleShot(0, this, [this, modal] {
        if (!modal) return;
        if (inside) inside(*modal);
        modal->close();
      });
    }
    return false;
  }
};

class CommandTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    auto desktop = std::make_unique<RecordingDesktop>();
    desktop_ = desktop.get();
    previousDesktop_ = SetDesktopShell(std::move(desktop));
    ASSERT_TRUE(Start());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(gMainForm));
    gMainForm->activateWindow();
    // A refresh re-runs the view shown in the history combo; give it one.
    gMainForm->Results().cmbBrowserHistory->ComboItems.Add(0, QString(), QStringLiteral("a view to refresh"));
  }

  void TearDown() override {
    ProgramTest::TearDown();
    SetDesktopShell(std::move(previousDesktop_));
    gTVOutMode = false;
    gAutoRefresh = false;
    gRandomPlayback = false;
    gTagCloudShown = false;
    gResultKind = ResultScope::File;
    gOnlineFilter = StorageFilter::All;
  }

  static frmReelwise& Form() { return *gMainForm; }
  static cPopupMenu& Menu() { return *gMainForm->m_cMenu; }
  static int Item(const char* key) { return Menu().IndexForKey(QLatin1String(key)); }
  static bool Checked(const char* key) { return Menu().Checked(Item(key)); }
  static bool Radio(const char* key) { return Menu().RadioChecked(Item(key)); }
  static void Send(const char* key) { gMainForm->MainToolbarHandler(QLatin1String(key)); }

  // Every item's caption, marks and flags, one text per item.
  static QStringList MenuState() {
    QStringList state;
    for (int i = 1; i <= Menu().Count(); ++i) {
      state << QStringLiteral("%1|%2|%3%4%5%6").arg(Menu().ItemKey(i), Menu().Caption(i)).arg(Menu().Checked(i))
                   .arg(Menu().RadioChecked(i)).arg(Menu().Enabled(i)).arg(Menu().Visible(i));
    }
    return state;
  }

  // Fills the result set with segments 1..n, none selected.
  static void FakeResults(int n) {
    gResults.assign(1, ResultItem{});
    for (int i = 1; i <= n; ++i) {
      ResultItem item;
      item.SegmentID = i;
      item.FileID = i;
      item.FileName = QStringLiteral("Clip %1.avi").arg(i);
      gResults.push_back(item);
    }
    gLibrary->ResultCount = n;
  }

  RecordingDesktop* desktop_ = nullptr;
  std::unique_ptr<DesktopShell> previousDesktop_;
};

}  // namespace rwtest
