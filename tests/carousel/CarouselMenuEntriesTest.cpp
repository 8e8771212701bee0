// The carousel's menu commands and the table of its menus: every command has
// one entry (the description's page key none), the lookups find it where the
// table puts it, confirmations lead back to what asked, and the state rules
// reach the entries they name, in the menus and in the open copy.
#include "tests/carousel/CarouselFixture.h"

#include <algorithm>
#include <map>
#include <set>

namespace {

using C = CarouselCommand;

// Where each command stands in the table: (menu, 1-based position), with
// every place it is found.
std::map<C, std::vector<std::pair<std::string, int32_t>>> PlacesInTable() {
  std::map<C, std::vector<std::pair<std::string, int32_t>>> places;
  for (const CarouselMenuTable& table : CarouselMenuTables()) {
    for (size_t i = 0; i < table.Rows.size(); ++i) {
      places[table.Rows[i].Command].emplace_back(table.Name, static_cast<int32_t>(i) + 1);
    }
  }
  return places;
}

bool TakesTheConfirmEntry(C command) { return command == C::ConfirmRemoval || command == C::ConfirmQuit; }

TEST(CarouselMenuEntries, EachCommandHasExactlyOneEntryAndTheLookupsFindIt) {
  const auto places = PlacesInTable();
  const std::vector<C>& all = AllCarouselCommands();
  EXPECT_EQ(std::set<C>(all.begin(), all.end()).size(), all.size()) << "a command listed twice";
  for (const auto& [command, where] : places) {
    EXPECT_NE(std::find(all.begin(), all.end(), command), all.end())
        << "the table holds an unlisted command " << CommandNumber(command);
  }
  for (const C command : all) {
    SCOPED_TRACE(CommandNumber(command));
    const auto found = places.find(command);
    if (command == C::NextDescriptionPage || TakesTheConfirmEntry(command)) {
      EXPECT_EQ(found, places.end()) << "has no row of its own";
    } else {
      ASSERT_NE(found, places.end());
      ASSERT_EQ(found->second.size(), 1u) << "one entry, in one menu";
      EXPECT_STREQ(MenuOf(command), found->second[0].first.c_str());
      EXPECT_EQ(PositionOf(command), found->second[0].second);
    }
  }
  EXPECT_EQ(MenuOf(C::NextDescriptionPage), nullptr);
  EXPECT_EQ(PositionOf(C::NextDescriptionPage), 0);
  for (const C confirm : {C::ConfirmRemoval, C::ConfirmQuit}) {
    EXPECT_STREQ(MenuOf(confirm), "Confirmation");
    EXPECT_EQ(PositionOf(confirm), PositionOf(C::ConfirmDelete));
  }
  EXPECT_EQ(MenuOf(static_cast<C>(50)), nullptr) << "a number no command has";
}

TEST(CarouselMenuEntries, EachConfirmationLeadsBackToTheEntryThatAskedForIt) {
  for (const auto& [asker, confirm] : {std::pair{C::DeleteFile, C::ConfirmDelete},
                                      std::pair{C::RemoveFile, C::ConfirmRemoval}, std::pair{C::Quit, C::ConfirmQuit}}) {
    EXPECT_EQ(ConfirmationOf(asker), confirm);
    EXPECT_EQ(AskerOf(confirm), asker);
    EXPECT_NE(PositionOf(asker), 0);
  }
  EXPECT_EQ(ConfirmationOf(C::PlayFile), C::None);
  EXPECT_EQ(AskerOf(C::CancelConfirmation), C::None);
}

class CarouselMenuStateTest : public rwtest::CarouselFixture {
 protected:
  void TearDown() override {
    gBrowserMode = savedBrowserMode_;
    rwtest::CarouselFixture::TearDown();
  }
  static const CarouselMenuEntry& EntryOf(C command) {
    const CarouselMenu& menu = gCarousel->Menu(QString::fromLatin1(MenuOf(command)));
    return menu[static_cast<size_t>(PositionOf(command))];
  }
  static bool OpenEntryEnabled(C command) {
    EXPECT_EQ(gCarousel->MenuMode(), QString::fromLatin1(MenuOf(command)));
    return gCarousel->ActiveMenu()[static_cast<size_t>(PositionOf(command))].Enabled;
  }

 private:
  int savedBrowserMode_ = gBrowserMode;
};

TEST_F(CarouselMenuStateTest, TheLibraryRulesReachTheEntriesTheyName) {
  OpenResults(3);
  MakeCarousel();
  gLibrary->LibraryName.clear();
  Move(1);
  for (const C command : {C::OpenFiles, C::Search, C::AddFiles}) {
    EXPECT_EQ(EntryOf(command).ID, CommandNumber(command));
    EXPECT_FALSE(EntryOf(command).Enabled) << CommandNumber(command);
  }
  for (const C command : {C::PlayAll, C::FilterOut, C::FilterTo, C::Quit}) {
    EXPECT_TRUE(EntryOf(command).Enabled) << CommandNumber(command);
  }
}

// A front file on a disk not connected: its menu, open while the details
// look for the file, loses play, story board and delete at once; the
// playlist and removal entries stay.
TEST_F(CarouselMenuStateTest, TheFileRulesReachTheOpenCopyOfTheFilesMenu) {
  OpenResults(3);
  gBrowserMode = 3;
  gResults[2].DisplayState = 9;
  MakeCarousel();
  Move(2, false);
  gCarousel->SetMenuMode(QString::fromLatin1(MenuOf(C::PlayFile)));
  pane_->CarouselTimer_Timer();
  for (const C command : {C::PlayFile, C::StoryBoard, C::DeleteFile}) {
    EXPECT_FALSE(OpenEntryEnabled(command)) << CommandNumber(command);
    EXPECT_FALSE(EntryOf(command).Enabled) << CommandNumber(command);
  }
  for (const C command : {C::AddToPlaylist, C::RemoveFile}) {
    EXPECT_TRUE(OpenEntryEnabled(command)) << CommandNumber(command);
  }
}

}  // namespace
