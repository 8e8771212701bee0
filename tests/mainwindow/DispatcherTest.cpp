// The command dispatcher: what every key does, the keys it ignores, the
// state the modes leave when the view runs again, its nested use from a modal
// window and its handling of a failing command.
#include "carousel/cCarousel.h"
#include "core/modRegistry.h"
#include "library/ResultItem.h"
#include "mainwindow/MainMenu.h"
#include "options/frmProgramOptions.h"
#include "player/clsRWPlayer.h"
#include "player/modMainPlayer.h"
#include "platform/SqlConnection.h"
#include "tests/mainwindow/CommandRun.h"
#include "tests/mainwindow/FaultRun.h"

#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

using rwtest::CommandTest;

class DispatcherTest : public CommandTest {
 protected:
  void SetUp() override {
    CommandTest::SetUp();
    watch.shown.clear();
  }

  rwtest::ScriptedFileDialogs dialogs;
  rwtest::ModalWatch watch;

  // A library of two files under a tag, open in the program.
  QString OpenSmallLibrary() {
    const QString path = HomePath(QStringLiteral("Films.rw2"));
    modReelwise::ExtractTemplateLibrary(path);
    SqlConnection::Open(path)->Execute(
        QStringLiteral("INSERT INTO VideoFiles (FileID, FileName, FilePath, DiskSerialNo, FileSize, CurrentPath) VALUES "
                       "(1, 'One.mkv', 'films\\', 'ABCD1234', 1000, '/films/'), "
                       "(2, 'Two.mkv', 'films\\', 'ABCD1234', 1000, '/films/');"
                       "INSERT INTO VideoSegments (SegmentID, FileID, FileFlag, SelectionStart, SelectionEnd, Online, "
                       "Rating) VALUES (1, 1, 'Y', 0, 60, 1, 0), (2, 2, 'Y', 0, 60, 1, 0);"
                       "INSERT INTO Tags (TagID, Tag, Type) VALUES (10, 'People', 'C'), (11, 'Anna', 'T');"
                       "INSERT INTO TagLinks VALUES (11, 10, 'P'); INSERT INTO SegmentTags VALUES (1, 11);"));
    gLibrary->OpenLibrary(path, true);
    return path;
  }

  // Whether any box holds SQLite's words or an error number of the database.
  std::string RawBoxes() const {
    static const QRegularExpression raw(
        QStringLiteral("2147221504|readonly|constraint|no such|disk I/O|malformed|database is locked|SQLite"));
    std::string found;
    for (const MessageBoxRequest& box : boxes.Shown()) {
      if (box.prompt.contains(raw) || box.title.isEmpty()) {
        found += (box.title + QStringLiteral(": ") + box.prompt).toStdString() + "\n";
      }
    }
    return found;
  }
};

using rwtest::LooseExceptionWatch;

// Run Playlist with whole files for the desktop's player: the playlist is
// written and opened at every run, and no full-screen window opens for it.
TEST_F(DispatcherTest, RunPlaylistHandsEveryRunToTheDesktopsPlayerWithoutAFullScreenWindow) {
  gUseInternalPlayer = false;
  gResultKind = ResultScope::File;
  FakeResults(3);
  const QString playlist = gTempFolder + QStringLiteral("playlist.") + gPlaylistFormat;
  Send("mnuToolsRunPlaylist");
  Send("mnuToolsRunPlaylist");
  gUseInternalPlayer = true;
  EXPECT_EQ(desktop_->opened, QStringList({playlist, playlist}));
  EXPECT_FALSE(watch.shown.contains(QStringLiteral("frmDSSink"))) << watch.shown.join(QLatin1Char(' ')).toStdString();
  EXPECT_FALSE(modMainPlayer::RunActive());
}

TEST_F(DispatcherTest, EveryKeyMakesItsCalls) {
  struct Case {
    const char* key;
    std::function<void()> before;
    std::function<void()> check;
  };
  const auto none = [] {};
  int16_t optionGroup = 0;
  int dialogsBefore = 0;
  QString guide;
  watch.inside = [&](QWidget& window) {
    if (auto* options = dynamic_cast<frmProgramOptions*>(&window)) optionGroup = options->OptionGroup;
  };
  auto optionsOn = [&](int16_t group) {
    return [&, group] {
      EXPECT_EQ(watch.shown, QStringList({"frmGlass", "frmProgramOptions"}));
      EXPECT_EQ(optionGroup, group);
    };
  };
  auto fileDialog = [&](FileDialogKind kind, const char* title) {
    return [&, kind, title] {
      ASSERT_EQ(dialogs.Count(), dialogsBefore + 1);
      EXPECT_EQ(dialogs.Last().kind, kind);
      EXPECT_EQ(dialogs.Last().title, QLatin1String(title));
    };
  };
  auto nothingShown = [&] {
    EXPECT_EQ(dialogs.Count(), dialogsBefore);
    EXPECT_TRUE(watch.shown.isEmpty());
  };
  auto view = [&](int mode, const char* key, const char* button) {
    return [=] {
      EXPECT_EQ(gBrowserMode, mode);
      for (const char* k : {"mnuViewTile", "mnuViewList", "mnuViewCarousel"}) EXPECT_EQ(Radio(k), k == key) << k;
      EXPECT_EQ(Form().tbMain->Buttons(QLatin1String(button)).Value(), ctl::tbrPressed);
    };
  };
  auto current = [] {
    gCurrentItem.SegmentID = 7;
    gInspectedItem.SegmentID = 8;
    gSavedItem = ResultItem{};
  };
  auto selected = [](std::vector<bool> flags) {
    return [flags] {
      for (size_t i = 0; i < flags.size(); ++i) {
        EXPECT_EQ(gResults[i + 1].Selected, flags[i]) << i;
        EXPECT_EQ(gSelectedById[i + 1], flags[i] ? 1 : 0) << i;
      }
      EXPECT_FALSE(gPlayQueueBuilt);
    };
  };

  const Case cases[] = {
      {"mnuLibraryNew", [&] { dialogs.Cancel(); },
       fileDialog(FileDialogKind::Save, "Specify a name for this new Library...")},
      {"mnuLibraryOpen", [&] { dialogs.Cancel(); }, fileDialog(FileDialogKind::Open, "Choose Library")},
      {"mnuLibrarySaveAs", [&] { dialogs.Cancel(); }, fileDialog(FileDialogKind::Save, "Save Library")},
      {"mnuLibraryAddFiles", none, nothingShown},  // no library open
      {"mnuToolsFindFiles", none, nothingShown},   // no library open
      {"mnuLibraryInfo", none, optionsOn(5)},
      {"mnuToolsExternalAppSetup", none, optionsOn(2)},
      {"mnuToolsOptions", none, optionsOn(1)},
      {"mnuHelpAbout", none, [&] { EXPECT_EQ(watch.shown, QStringList({"frmGlass", "frmAboutReelwise"})); }},
      {"mnuToolsRunPlaylist", none, nothingShown},  // no results
      {"mnuToolsRunPlaylist", [&] { FakeResults(3); gPlayStartIndex = 2; },
       [&] {
         EXPECT_EQ(watch.shown, QStringList({"frmDSSink"}));
         EXPECT_EQ(gPlayStartIndex, 0);
       }},
      {"mnuHelpUserGuide", none, [&] { guide = desktop_->opened.value(0); }},
      {"mnuHelpForum", none,
       [&] {
         ASSERT_EQ(desktop_->opened.size(), 1);
         EXPECT_EQ(guide, desktop_->opened[0] + QStringLiteral("index-of-content-t50.html")) << "on the forum site";
       }},
      {"mnuHelpBlog", none,
       [&] {
         ASSERT_EQ(desktop_->opened.size(), 1);
         EXPECT_FALSE(guide.startsWith(desktop_->opened[0]));
       }},
      {"mnuHelpDailyTip", [&] { boxes.Answer(vbOK); },
       [&] { EXPECT_EQ(boxes.Last().title, QStringLiteral("Tip of The Day")); }},
      {"mnuBrowserBack", none, [] { EXPECT_EQ(gCarousel->WipeDirection, QStringLiteral("L")); }},
      {"mnuBrowserForward", none, [] { EXPECT_EQ(gCarousel->WipeDirection, QStringLiteral("M")); }},
      {"mnuBrowserRefresh", [] { gLibrary->ResultCount = 4; }, [] { EXPECT_EQ(gLibrary->ResultCount, 0); }},
      {"mnuLibrarySaveWorkspace", none,
       [] {
         EXPECT_TRUE(gSaveWorkspace);
         EXPECT_TRUE(Checked("mnuLibrarySaveWorkspace"));
       }},
      {"mnuToolsRandomPlayback", [] { gPlayQueueBuilt = true; },
       [] {
         EXPECT_TRUE(gRandomPlayback);
         EXPECT_FALSE(gPlayQueueBuilt);
         EXPECT_EQ(Form().tbMain->Buttons(QStringLiteral("SHUFFLE")).Value(), ctl::tbrPressed);
       }},
      {"mnuViewGUIAlternate", none,
       [] {
         EXPECT_EQ(Form().m_GUILayout, 2);
         EXPECT_EQ(modRegistry::GetRegValue(HKEY_CURRENT_USER, kRegGeneral, QStringLiteral("GUILayout")).ToLong(0), 2);
       }},
      {"mnuViewGUIStandard", none, [] { EXPECT_EQ(Form().m_GUILayout, 1); }},
      {"mnuViewList", none, view(2, "mnuViewList", "LIST_VIEW")},
      {"mnuViewCarousel", none, view(3, "mnuViewCarousel", "CAROUSEL_VIEW")},
      {"mnuViewTile", none, view(1, "mnuViewTile", "TILE_VIEW")},
      // Each tab's mark says whether it is expanded (its arrow "3") after the
      // toggle and the others made room.
      {"mnuViewExpandSpecs", none, [] { EXPECT_TRUE(Checked("mnuViewExpandSpecs")); }},
      {"mnuViewExpandPreview", none, [] { EXPECT_FALSE(Checked("mnuViewExpandPreview")); }},
      {"mnuViewExpandCataloguing", none,
       [] {
         EXPECT_EQ(Checked("mnuViewExpandCataloguing"),
                   Form().Inspector().lblCollapseTab[3]->Caption() == QLatin1String("3"));
       }},
      {"mnuViewExpandSegments", none, [] { EXPECT_FALSE(Checked("mnuViewExpandSegments")); }},
      {"mnuTV-Out", none,
       [] {
         EXPECT_TRUE(gTVOutMode);
         EXPECT_TRUE(Checked("mnuTV-Out"));
       }},
      {"mnuTV-Out", none,
       [] {
         EXPECT_FALSE(gTVOutMode);
         EXPECT_EQ(gBrowserMode, 3) << "leaving TV-Out keeps the carousel";
         Send("mnuViewTile");
       }},
      {"mnuToolsMediaInfo", current, [] { EXPECT_EQ(gSavedItem.SegmentID, 7); }},
      {"mnuToolsCreatePoster", current, [] { EXPECT_EQ(gSavedItem.SegmentID, 7); }},
      {"mnuBrowserSelectAll", [&] { FakeResults(3); }, selected({true, true, true})},
      {"mnuBrowserSelectNone", none, selected({false, false, false})},
      {"mnuBrowserSelectInverse", [] { gResults[2].Selected = true; }, selected({true, false, true})},
      {"mnuViewInspector", none,
       [] {
         EXPECT_EQ(Form().Inspector().picBottom->Height(), 0);
         EXPECT_EQ(Form().tbMain->Buttons(QStringLiteral("INSPECTOR")).Value(), ctl::tbrUnpressed);
         EXPECT_TRUE(Form().updatesEnabled());
       }},
      {"mnuToolsShowDuplicates", none,
       [] {
         EXPECT_EQ(gBrowserMode, 2);
         EXPECT_TRUE(Form().updatesEnabled());
       }},
      {"mnuToolsShowMissing", none, none},
      {"mnuToolsShowMissingThumbs", none, none},
      {"mnuToolsExportCSV", [&] { boxes.Answer(vbOK); },
       [&] { EXPECT_EQ(boxes.Last().title, QStringLiteral("Export Failed!")) << "no results to export"; }},
      {"mnuViewFullScreen", none, none},
      // The tag cloud's command twice shows, then hides the cloud and releases its button.
      {"mnuViewTagCloud", none,
       [] {
         EXPECT_TRUE(gTagCloudShown);
         EXPECT_TRUE(Checked("mnuViewTagCloud"));
         EXPECT_EQ(Form().tbMain->Buttons(QStringLiteral("CLOUD")).Value(), ctl::tbrPressed);
       }},
      {"mnuViewTagCloud", none,
       [] {
         EXPECT_FALSE(gTagCloudShown);
         EXPECT_FALSE(Checked("mnuViewTagCloud"));
         EXPECT_EQ(Form().tbMain->Buttons(QStringLiteral("CLOUD")).Value(), ctl::tbrUnpressed);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    watch.shown.clear();
    desktop_->opened.clear();
    dialogsBefore = dialogs.Count();
    c.before();
    Send(c.key);
    c.check();
  }
  EXPECT_EQ(boxes.Count(), 2) << "only the tip of the day and the empty export; no command failed";
}

// The dispatcher's edges: keys that name no command do nothing; a command
// that fails is reported, releases the redraw lock it took and the program
// goes on; a command sent from inside a modal window runs, and the
// dispatcher goes on afterwards.
TEST_F(DispatcherTest, NoCommandDoesNothingAFailingOneIsToldAndOneFromAModalWindowRuns) {
  // Keys that name no command do nothing.
  const QStringList before = MenuState();
  const char* keys[] = {"mnulibrarysaveworkspace", "MNUTV-OUT",        "mnuTV-out",
                        "mnuLibraryHeader",        "mnuToolsExternalApps", "mnuToolsExternalApps0",
                        "None defined for this menu", "mnuToolsCreatePosterArt", "mnuViewTabVisibility",
                        "mnuBrowserRefresh ",      "",                 "mnuLibrary"};
  gLibrary->ResultCount = 4;
  for (const char* key : keys) Send(key);
  EXPECT_EQ(MenuState(), before);
  EXPECT_EQ(gLibrary->ResultCount, 4) << "no refresh ran";
  EXPECT_FALSE(gSaveWorkspace);
  EXPECT_FALSE(gTVOutMode);
  EXPECT_TRUE(watch.shown.isEmpty());
  EXPECT_EQ(dialogs.Count(), 0);
  EXPECT_EQ(boxes.Count(), 0);

  // A failing command is reported, releases the redraw lock and the program goes on.
  boxes.AnswerAll([](const MessageBoxRequest&) { return vbOK; });
  std::unique_ptr<clsRWLibrary> library = std::move(gLibrary);
  Send("mnuViewInspector");  // takes the redraw lock, then fails on the missing library
  gLibrary = std::move(library);
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_EQ(boxes.Last().prompt, QStringLiteral("91: Object variable or With block variable not set"));
  EXPECT_EQ(boxes.Last().style, vbExclamation);
  EXPECT_EQ(boxes.Last().fontName, QStringLiteral("Tahoma"));
  EXPECT_TRUE(Form().updatesEnabled());
  EXPECT_TRUE(modReelwise::SetWindowRedraw(gMainForm, true)) << "the lock is free";
  modReelwise::SetWindowRedraw(gMainForm, false);

  gLibrary->ResultCount = 4;
  Send("mnuBrowserRefresh");
  EXPECT_EQ(gLibrary->ResultCount, 0);
  EXPECT_EQ(boxes.Count(), 1);

  // A command sent from inside a modal window runs.
  watch.shown.clear();
  watch.inside = [](QWidget& window) {
    if (window.objectName() == QLatin1String("frmProgramOptions")) Send("mnuBrowserStorageOffline");
  };
  Send("mnuToolsOptions");
  EXPECT_EQ(watch.shown, QStringList({"frmGlass", "frmProgramOptions"}));
  EXPECT_EQ(gOnlineFilter, StorageFilter::Offline);
  EXPECT_TRUE(Radio("mnuBrowserStorageOffline"));
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window != gMainForm) {
      EXPECT_FALSE(window->isVisible()) << window->objectName().toStdString();
    }
  }
  Send("mnuBrowserStorageAll");  // the dispatcher goes on afterwards
  EXPECT_EQ(gOnlineFilter, StorageFilter::All);
}

TEST(ExternalAppKeyTest, OnlyTheNumbersOneToThirtyNameAnApplication) {
  const struct {
    const char* key;
    int number;
  } cases[] = {{"mnuToolsExternalApps12", 12}, {"mnuToolsExternalApps1", 1},  {"mnuToolsExternalApps30", 30},
               {"mnuToolsExternalApps31", 0},  {"mnuToolsExternalApps0", 0},  {"mnuToolsExternalApps", 0},
               {"mnuToolsExternalApps012", 0}, {"mnuToolsExternalApps-1", 0}, {"mnuToolsExternalApps+1", 0},
               {"mnuToolsExternalApps1a", 0},  {"mnuToolsExternalApps 1", 0}, {"mnutoolsexternalapps12", 0},
               {"xmnuToolsExternalApps12", 0}, {"mnuToolsExternalAppSetup", 0}};
  for (const auto& c : cases) EXPECT_EQ(frmReelwise::ExternalAppNumber(QLatin1String(c.key)), c.number) << c.key;
}

// The refresh shows its progress and ends by turning the display off, each
// repainting the strip at once: what the controls show at those moments is
// what the user sees while the library works. One look per command is kept;
// a command whose looks differ would be caught by the tests.
class RefreshWatch : public QObject {
 public:
  explicit RefreshWatch(std::function<QString()> look) : look_(std::move(look)) {
    gMainForm->Results().picProgress->installEventFilter(this);
  }
  QStringList seen;
  // Sends each key in turn, each a command of its own.
  void SendEach(std::initializer_list<const char*> keys) {
    for (const char* key : keys) {
      gMainForm->MainToolbarHandler(QLatin1String(key));
      EndCommand();
    }
  }
  // Ends one command: its looks, all alike, become one entry.
  void EndCommand() {
    if (current_.isEmpty()) return;
    current_.removeDuplicates();
    seen << current_.join(QStringLiteral(" / "));
    current_.clear();
  }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) current_ << look_();
    return false;
  }

 private:
  std::function<QString()> look_;
  QStringList current_;
};

// The browser's result kind and its storage filter, chosen from the menu,
// are shown by the menu's marks and the toolbar's buttons before the view
// runs again; a kind chosen again runs again, and a filter outlives a refresh.
TEST_F(DispatcherTest, ResultKindsAndStorageFiltersAreShownBeforeTheViewRunsAgain) {
  {
    RefreshWatch refresh([] {
      const ctl::Toolbar& bar = *gMainForm->Results().tbFileBrowser;
      return QStringLiteral("%1 %2%3%4 %5%6%7")
          .arg(QLatin1Char('[') + rwtest::ScopeName(gResultKind) + QLatin1Char(']'))
          .arg(Radio("mnuBrowserMatchingFiles")).arg(Radio("mnuBrowserSegmentsFromFiles"))
          .arg(Radio("mnuBrowserMatchingSegments"))
          .arg(bar.Buttons(QStringLiteral("FILE")).Value()).arg(bar.Buttons(QStringLiteral("SEGMENT_FROM_FILE")).Value())
          .arg(bar.Buttons(QStringLiteral("SEGMENT")).Value());
    });
    // Matching segments twice: it runs again though nothing changes.
    refresh.SendEach({"mnuBrowserSegmentsFromFiles", "mnuBrowserMatchingSegments", "mnuBrowserMatchingSegments",
                      "mnuBrowserMatchingFiles"});
    EXPECT_EQ(refresh.seen, QStringList({"[SegmentsOfFiles] 010 010", "[Segments] 001 001", "[Segments] 001 001",
                                         "[Files] 100 100"}));
  }

  // Storage filters are shown before the view runs again and outlive a refresh.
  RefreshWatch refresh([] {
    const ctl::Button& filter = gMainForm->Results().tbFileBrowser->Buttons(QStringLiteral("SD_FILTER"));
    return QStringLiteral("[%1] %2%3%4 %5 %6")
        .arg(rwtest::FilterName(gOnlineFilter))
        .arg(Radio("mnuBrowserStorageAll")).arg(Radio("mnuBrowserStorageOnline")).arg(Radio("mnuBrowserStorageOffline"))
        .arg(filter.Image(), filter.ToolTipText());
  });
  refresh.SendEach({"mnuBrowserStorageOnline", "mnuBrowserStorageOffline", "mnuBrowserRefresh", "mnuBrowserStorageAll"});
  const QString offline = QStringLiteral("[Offline] 001 OFFLINE_DISKS Currently showing Offline files only");
  EXPECT_EQ(refresh.seen,
            QStringList({"[Online] 010 ONLINE_DISKS Currently showing Online files only", offline, offline,
                         "[All] 100 ALL_DISKS Currently showing all files (Online and Offline)"}));
}

TEST_F(DispatcherTest, LibraryCanBeMadeOpenedAndBrowsedFromTheMenu) {
  const QString first = HomePath(QStringLiteral("First.rw2"));
  const QString second = HomePath(QStringLiteral("Second.rw2"));
  modReelwise::ExtractTemplateLibrary(second);

  dialogs.Choose({first});
  Send("mnuLibraryNew");
  ASSERT_EQ(gLibrary->LibraryPath, first);
  EXPECT_TRUE(Menu().Enabled(Item("mnuLibrarySaveAs")));
  EXPECT_EQ(Form().windowTitle(), QStringLiteral("Reelwise II - First"));

  dialogs.Choose({second});
  Send("mnuLibraryOpen");
  ASSERT_EQ(gLibrary->LibraryPath, second);
  EXPECT_EQ(dialogs.Last().initialDirectory, gLibrariesFolder);

  dialogs.Choose({second});  // the open library again: nothing changes
  gViewSpec = QStringLiteral("|_T:ID1");
  Send("mnuLibraryOpen");
  EXPECT_EQ(gViewSpec, QStringLiteral("|_T:ID1"));

  for (const char* key : {"mnuBrowserRefresh", "mnuBrowserBack", "mnuBrowserForward", "mnuViewList",
                          "mnuViewCarousel", "mnuViewTile", "mnuBrowserSegmentsFromFiles",
                          "mnuBrowserMatchingSegments", "mnuBrowserMatchingFiles", "mnuBrowserStorageOnline",
                          "mnuBrowserStorageOffline", "mnuBrowserStorageAll", "mnuToolsFindFiles"}) {
    Send(key);
  }
  EXPECT_EQ(watch.shown, QStringList({"frmGlass", "frmFindFiles"})) << "Find opens once a library is open";
  EXPECT_EQ(boxes.Count(), 0);
}

// Every command of the menu on a library whose file refuses every write, as
// one made read-only while open does: none lets an exception out, into the
// event loop or to its caller, each tells the fault in exactly one titled box
// in the program's own words, or in none when it completed all the same (as
// the same command on the writable library completes: what the window shows
// and the library's content alike), and the program goes on.
TEST_F(DispatcherTest, EveryCommandOnALibraryThatRefusesEveryWriteTellsItOnceAndLetsNoExceptionOut) {
  const QString path = OpenSmallLibrary();
  ASSERT_EQ(gLibrary->LibraryPath, path);
  const QString snapshot = HomePath(QStringLiteral("Films snapshot.rw2"));
  ASSERT_TRUE(rwtest::CopyDatabase(gLibrary->Connection().Handle(), snapshot));
  boxes.AnswerAll([](const MessageBoxRequest&) { return vbOK; });
  const LooseExceptionWatch loose;
  // The library as it was, writable, and the state each command starts from.
  const auto start = [&] {
    if (gLibrary->LibraryPath != path) gLibrary->OpenLibrary(path, true);
    gLibrary->Connection().Execute(QStringLiteral("PRAGMA query_only = OFF"));
    ASSERT_TRUE(rwtest::CopyDatabase(snapshot, gLibrary->Connection().Handle()));
    dialogs.ClearAnswers();
    for (int i = 0; i < 3; ++i) dialogs.Cancel();
    FakeResults(2);
    gResults[1].Selected = true;
    gLibrary->SelectedCount = 1;
  };
  const auto outcome = [&] {
    return rwtest::ShownLibrary() + rwtest::StateOfLibraryFile(path).dump;
  };
  for (const MainMenu::Entry& entry : frmReelwise::MainMenuTable()) {
    const QString key = QLatin1String(entry.key);
    // The player's run and the full screen have tests of their own; quitting ends the run.
    if (!entry.run || key == QLatin1String("mnuToolsRunPlaylist") || key == QLatin1String("mnuViewFullScreen") ||
        key == QLatin1String("mnuLibraryQuitRW2")) {
      continue;
    }
    SCOPED_TRACE(entry.key);
    // What the command shows and leaves when nothing stands in its way.
    start();
    const size_t cleanFrom = boxes.Shown().size();
    Send(entry.key);
    QCoreApplication::processEvents();
    const QString completed = outcome();
    QStringList cleanBoxes;
    for (size_t i = cleanFrom; i < boxes.Shown().size(); ++i) cleanBoxes << rwtest::BoxText(boxes.Shown()[i]);

    start();
    gLibrary->Connection().Execute(QStringLiteral("PRAGMA query_only = ON"));
    const size_t from = boxes.Shown().size();
    try {
      Send(entry.key);
      QCoreApplication::processEvents();
    } catch (...) {
      ADD_FAILURE() << "an exception left the command";
    }
    ASSERT_TRUE(gLibrary && gMainForm) << "the program went on";
    if (gLibrary->LibraryPath == path) gLibrary->Connection().Execute(QStringLiteral("PRAGMA query_only = OFF"));
    const std::vector<MessageBoxRequest> told = rwtest::BoxesBeyond(boxes.Shown(), from, cleanBoxes);
    QStringList texts;
    for (const MessageBoxRequest& box : told) texts << rwtest::BoxText(box);
    EXPECT_LE(told.size(), 1u) << texts.join(QLatin1Char('\n')).toStdString();
    if (told.empty()) {
      EXPECT_EQ(outcome(), completed) << "no box, yet the command did not complete: the refusal vanished without a word";
    }
  }
  EXPECT_FALSE(LooseExceptionWatch::Loose());
  EXPECT_EQ(RawBoxes(), std::string());
}

}  // namespace
