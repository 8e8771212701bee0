#include "options/frmProgramOptions.h"

#include "platform/controls/Toolbar.h"
#include "resources/Resources.h"
#include "ui/SchemeColours.h"

std::vector<MediaButtonFaces> gMediaButtons;
std::function<void()> frmProgramOptions::RepaintInScheme;

namespace {

constexpr size_t kMediaButtons = 15;

}  // namespace

frmProgramOptions::frmProgramOptions() { setObjectName(QStringLiteral("frmProgramOptions")); }

void frmProgramOptions::ApplyColourScheme() {
  LoadSchemeColours();
  ctl::Toolbar::SetClassBackground(QPixmap::fromImage(LoadResPicture(QStringLiteral("TB_BG"), kResBitmap)));
  gMediaButtons.assign(kMediaButtons + 1, MediaButtonFaces{});
  for (size_t i = 1; i <= kMediaButtons; ++i) {
    const QString name = QString::number(i);
    auto face = [&](const char* state) { return QPixmap::fromImage(LoadResPicture(name + QLatin1String(state), kResBitmap)); };
    gMediaButtons[i] = {face("_NORMAL"), face("_HOVER"), face("_DOWN")};
  }
  if (RepaintInScheme) RepaintInScheme();
}
