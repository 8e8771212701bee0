// Recolouring the skin: every picture is reloaded from the resources and run
// through the colour scheme, the four scheme colours are sampled from the
// recoloured player skin, and the main window repaints in them while its
// drawing is held.
#include "options/frmProgramOptions.h"

#include "core/ProgramMessage.h"
#include "core/modReelwise.h"
#include "platform/ErrorGuard.h"
#include "platform/controls/Toolbar.h"
#include "resources/Resources.h"
#include "ui/SchemeColours.h"
#include "ui/frmGlass.h"

#include <map>

namespace {

constexpr int kMediaButtons = 15;

struct SkinPicture {
  const char* name;
  const QString& type;
};

// Every skin picture the scheme recolours, by resource name and type.
const SkinPicture kSkinPictures[] = {
    {"MPLAYER", kResCustom},     {"TAB_BG", kResCustom},       {"SEL_TRACK", kResBitmap},
    {"TB_BG", kResBitmap},       {"TAB_SPEC", kResCustom},     {"TAB_PREV", kResCustom},
    {"TAB_CAT", kResCustom},     {"TAB_SEG", kResCustom},      {"LV_BG", kResCustom},
    {"TILE", kResCustom},        {"GRIPPER", kResCustom},      {"MAIN_TB_BG", kResBitmap},
    {"SLIDER_THUMB", kResBitmap}, {"VOL_SLIDER", kResBitmap},  {"VOL_THUMB", kResBitmap},
    {"ADD_FILES_BANNER", kResCustom}, {"SEARCH_BANNER", kResCustom}, {"RW_BANNER", kResCustom},
};

std::map<QString, QImage>& SchemePictures() {
  static std::map<QString, QImage> pictures;
  return pictures;
}

// Holds the main window's drawing for the life of the object, so every way
// out of the recolouring lets it draw again.
class RedrawLock {
 public:
  explicit RedrawLock(QWidget* window) : window_(window) {
    locked_ = window_ && modReelwise::SetWindowRedraw(window_, true);
  }
  ~RedrawLock() {
    if (locked_) modReelwise::SetWindowRedraw(window_, false);
  }
  RedrawLock(const RedrawLock&) = delete;
  RedrawLock& operator=(const RedrawLock&) = delete;

 private:
  QWidget* window_;
  bool locked_ = false;
};

void Step(const char* name) {
  if (frmProgramOptions::SchemeStepWatch) frmProgramOptions::SchemeStepWatch(name);
}

void RecolourSkin(const ColourScheme& scheme) {
  auto& pictures = SchemePictures();
  for (const SkinPicture& skin : kSkinPictures) {
    const QString name = QLatin1String(skin.name);
    pictures[name] = AdjustImageColours(LoadResPicture(name, skin.type), scheme);
  }
  for (int i = 1; i <= kMediaButtons; ++i) {
    for (const char* state : {"_NORMAL", "_HOVER", "_DOWN"}) {
      const QString name = QString::number(i) + QLatin1String(state);
      pictures[name] = AdjustImageColours(LoadResPicture(name, kResBitmap), scheme);
    }
  }
}

void SampleColours(const QImage& skin) {
  const std::optional<SchemeColours> colours = SampleSchemeColours(skin);
  const SchemeColours chosen = colours ? *colours : DefaultSchemeColours();
  gSchemeColour1 = chosen.colour1;
  gSchemeColour2 = chosen.colour2;
  gSchemeColour3 = chosen.colour3;
  gSchemeColour4 = chosen.colour4;
}

void BuildMediaButtons() {
  gMediaButtons.assign(kMediaButtons + 1, MediaButtonFaces{});
  for (int i = 1; i <= kMediaButtons; ++i) {
    const QString name = QString::number(i);
    auto face = [&](const char* state) { return QPixmap::fromImage(SchemePicture(name + QLatin1String(state), kResBitmap)); };
    gMediaButtons[static_cast<size_t>(i)] = {face("_NORMAL"), face("_HOVER"), face("_DOWN")};
  }
}

}  // namespace

QImage SchemePicture(const QString& name, const QString& type) {
  const auto& pictures = SchemePictures();
  const auto found = pictures.find(name);
  if (found != pictures.end()) return found->second;
  return LoadResPicture(name, type);
}

void frmProgramOptions::ApplyColourScheme() {
  RedrawLock lock(SchemeWindow ? SchemeWindow() : nullptr);
  ErrorGuard guard;
  guard.Run([this] {
    const ColourScheme scheme = loaded_ ? CurrentScheme() : ReadColourScheme();
    Step("recolour");
    RecolourSkin(scheme);
    Step("colours");
    SampleColours(SchemePicture(QStringLiteral("MPLAYER"), kResCustom));
    if (gGlassForm) gGlassForm->SetBackColor(gSchemeColour3);
    Step("toolbar");
    ctl::Toolbar::SetClassBackground(QPixmap::fromImage(SchemePicture(QStringLiteral("TB_BG"), kResBitmap)));
    Step("buttons");
    BuildMediaButtons();
    gAddFilesBanner = SchemePicture(QStringLiteral("ADD_FILES_BANNER"), kResCustom);
    Step("main window");
    if (RepaintInScheme) RepaintInScheme();
  });
}
