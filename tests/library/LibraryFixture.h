#pragma once
// The library object without any window: a private home with the program's
// folders and settings, the scratch library open, and a test view
// (LibraryTestView) in place of the main window. The tree, the history combo
// and the history menu are reached through the same names the fixtures of
// the running program use (Tree(), HistoryCombo(), HistoryMenu()), so a
// fixture built on either serves both kinds of test.
#include "core/modReelwise.h"
#include "core/modRegistry.h"
#include "devices/modStorageDevices.h"
#include "library/HistoryEntry.h"
#include "library/ResultItem.h"
#include "library/ViewSpec.h"
#include "library/clsRWLibrary.h"
#include "tests/library/LibraryTestView.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TempHome.h"
#include "ui/clsDialogs.h"

#include <gtest/gtest.h>

#include <memory>

namespace rwtest {

class LibraryTest : public TempHomeTest {
 protected:
  void SetUp() override {
    TempHomeTest::SetUp();
    modReelwise::ComputeProgramFolders();
    modReelwise::CreateProgramFolders();
    modRegistry::EnsureDefaultSettings();
    modRegistry::ReadSettingsMirrors();
    ResetProgramState();
    gPlaceholderLibraryPath = modReelwise::ClaimScratchLibrary();
    modReelwise::ExtractTemplateLibrary(gPlaceholderLibraryPath);
    view_ = std::make_unique<LibraryTestView>();
    gLibrary = std::make_unique<clsRWLibrary>();
    gLibrary->SetView(view_.get());
    // The device table's operations work on the open library, as start-up
    // connects them in the program.
    modStorageDevices::SetDeviceTableHost([]() -> IDeviceTableHost* { return gLibrary.get(); });
    gDialogs = std::make_unique<clsDialogs>();
    gAppReady = true;
  }

  void TearDown() override {
    gDialogs.reset();
    modStorageDevices::SetDeviceTableHost(nullptr);
    gLibrary.reset();
    modReelwise::ReleaseScratchLibrary();
    view_.reset();
    ResetProgramState();
    gAppReady = false;
    TempHomeTest::TearDown();
  }

  static LibraryTestView& View() { return *view_; }
  static ctl::TreeView& Tree() { return view_->tree; }
  static ctl::ImageCombo& HistoryCombo() { return view_->combo; }
  static ctl::ButtonMenuCollection& HistoryMenu() { return view_->HistoryMenu(); }

  ScriptedMessageBoxes boxes;

 private:
  // The program-wide state a test may leave behind, as start-up sets it.
  static void ResetProgramState() {
    gViewSpec.clear();
    gViewDescription.clear();
    gSelectedById.Reset();
    gResults.assign(1, ResultItem{});
    gCurrentItem = ResultItem{};
    gInspectedItem = ResultItem{};
    gAutoRefresh = false;
    gTagCloudShown = false;
    gBrowserMode = 1;
    gResultKind = ResultScope::File;
    gOnlineFilter = StorageFilter::All;
    gTagCloudCategories.clear();
    for (size_t k = 0; k < gListColumns.size(); ++k) gListColumns[k] = {static_cast<int16_t>(k + 3), 0};
  }

  static inline std::unique_ptr<LibraryTestView> view_;
};

}  // namespace rwtest
