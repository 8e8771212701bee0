// The tip of the day.
#include "core/modReelwise.h"

#include "core/ProgramMessage.h"
#include "core/modRegistry.h"

#include <QStringList>

#include <array>
#include <cstdlib>

namespace modReelwise {

namespace {

constexpr int kTipCount = 19;

// The lines of each tip; they are joined by CR LF.
const std::array<QStringList, kTipCount + 1>& Tips() {
  static const std::array<QStringList, kTipCount + 1> tips = {
      QStringList{},
      {QStringLiteral("You can show or hide the File Inspector, at any time, by pressing F3?")},
      {QStringLiteral("You can open a file in the File Inspector, even if it is hidden, using the "),
       QStringLiteral("mouse? Drag and Drop a Thumbnail onto itself to see...")},
      {QStringLiteral("You can switch rapidly between Tile and List View via the middle mouse button?")},
      {QStringLiteral("To 'filter out' files with a particular Tag from the File Browser, drag and "),
       QStringLiteral("drop that Tag from the Library Tree to the File Browser whilst pressing ALT?")},
      {QStringLiteral("You can quickly locate files similar to the one that is currently open in the File "
                      "Inspector?"),
       QStringLiteral("Select one or more Tags on the Cataloguing tab and then 'Find other files with these Tags'"),
       QStringLiteral("from the context menu.")},
      {QStringLiteral("That Story Boards are 'live'? Double-click a frame for a preview"),
       QStringLiteral("of the file from that point onward.")},
      {QStringLiteral("You can sort Files when in List View by clicking on the column headings.")},
      {QStringLiteral("Whilst playing a file back in Reelwise II's full-screen player, you can playback"),
       QStringLiteral("the Segments within that file, one after the other, by pressing the ALT key")},
      {QStringLiteral("You can use your favourite media player instead of the built-in one."),
       QStringLiteral("Just choose the 'User's Default Player' option in Tools | Options and "),
       QStringLiteral("then the playlist format for that player.")},
      {QStringLiteral("Whilst playing a file back in Reelwise II's full-screen player, you can create"),
       QStringLiteral("Segments, on-the-fly, using '[' and ']' to set the start- and end-points. Press 'S'"),
       QStringLiteral("to save the new Segment")},
      {QStringLiteral("The tabs in the File Inspector can be collapsed and expanded to better fit your"),
       QStringLiteral("screen size? Click on the title (left-most) part of a tab or press ALT-1, ALT-2,"),
       QStringLiteral("ALT-3 or ALT-4 respectively")},
      {QStringLiteral("To open additional files in the File Browser, drag and drop a Tag from the Library Tree "),
       QStringLiteral("whilst pressing SHIFT?")},
      {QStringLiteral("To Tag or Un-Tag the File that is currently open in the File Inspector,"),
       QStringLiteral("drag-and-drop the Thumbnail from the Cataloguing tab to the Library Tree")},
      {QStringLiteral("You can create a new Tag quickly by double-clicking on a word in the Description"),
       QStringLiteral("part of the File Inspector's Cataloguing tab and then dragging-and-dropping that "),
       QStringLiteral("word from the Cataloguing tab's toolbar to the Library Tree")},
      {QStringLiteral("The file that is open in the File Inspector can be sent to full-screen by"),
       QStringLiteral("double-clicking it?")},
      {QStringLiteral("You can process a file using any program that supports a command-line interface?"),
       QStringLiteral("Select Options from the Tools menu and then the 'External Apps' tab; take a look "),
       QStringLiteral("at the pre-configured examples...")},
      {QStringLiteral("You can choose the columns that are displayed when in List View by right-clicking on"),
       QStringLiteral("the column headings and checking/unchecking the desired columns? ")},
      {QStringLiteral("You can rate files while they are playing in full-screen mode, via the keys"),
       QStringLiteral("1, 2, 3, 4 and 5? ")},
      {QStringLiteral("TV-Out mode can be used with a remote control, allowing you to find and view"),
       QStringLiteral("files from the comfort of your armchair?")}};
  return tips;
}

}  // namespace

QString TipText(int index) {
  if (index < 0 || index > kTipCount) return QString();
  return Tips()[static_cast<size_t>(index)].join(QStringLiteral("\r\n"));
}

void ShowTipOfTheDay() {
  // The stored number may be negative or not a number at all (then tip 1).
  int64_t n = std::llabs(static_cast<int64_t>(modRegistry::GetSettingLong(kRegOther, QStringLiteral("TipOfTheDayIndex"))));
  if (n > kTipCount) n = 1;
  modRegistry::SetRegValue(HKEY_CURRENT_USER, kRegOther, QStringLiteral("TipOfTheDayIndex"), static_cast<int>(n + 1));
  // Style 2 shows the program's logo in place of an icon.
  ShowProgramMessage(QStringLiteral("Did you Know...\r\n\r\n") + TipText(static_cast<int>(n)), 2,
                     QStringLiteral("Tip of The Day"), ProgramMessageOwner());
}

}  // namespace modReelwise
