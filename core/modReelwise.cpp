// The program-wide variables of the main module, set by start-up and the
// windows, read everywhere.
#include "core/modReelwise.h"

#include "platform/controls/TreeView.h"

bool gAppReady = false;
bool gAddingFiles = false;
QString gLibraryToOpen;
QString gViewSpec;
bool gSaveWorkspace = false;
QString gPlaceholderLibraryPath;
int32_t gTwipsPerPixelX = 15;
int32_t gTwipsPerPixelY = 15;
int32_t gTileWidthTwips = 104 * 15;
int32_t gTileHeightTwips = 79 * 15;
int32_t gWindowMode = 1;
bool gTVOutMode = false;
bool gAutoRefresh = false;
bool gTagCloudShown = false;
bool gRandomPlayback = false;
int32_t gPlayStartIndex = 0;
QString gSQL;
PendingRenameNode gPendingRenameNode;
QString gFindFilesMode;
std::array<ListColumn, 8> gListColumns;
QCursor gHandCursor;
QByteArray gSoundClick;
QByteArray gSoundScrape;
QByteArray gSoundWhip;
QByteArray gSoundBeep;

PendingRenameNode& PendingRenameNode::operator=(const ctl::Node* node) {
  key_ = node ? node->Key() : QString();
  nameBefore_ = node ? node->Text() : QString();
  return *this;
}

ctl::Node* PendingRenameNode::In(const ctl::TreeView& tree) const {
  return key_.isEmpty() ? nullptr : tree.Nodes.Find(key_);
}

bool PendingRenameNode::operator==(const ctl::Node* node) const {
  return node ? !key_.isEmpty() && key_ == node->Key() : key_.isEmpty();
}
