#include "options/frmProgramOptions.h"

#include "mainwindow/frmReelwise.h"
#include "options/ColourSchemeModel.h"
#include "resources/Resources.h"
#include "ui/SchemeColours.h"

std::vector<MediaButtonFaces> gMediaButtons;

namespace {

// The main window's panels in the scheme colours.
void PaintMainWindow(frmReelwise& form) {
  for (ctl::PictureBox* panel : {form.picWindowHeader, form.picCaption, form.picHolder, form.cReBar1, form.picLeft,
                                 form.picRight, form.picBottom, form.picBottomFrame, form.picSysMenu}) {
    panel->SetBackColor(gSchemeColour1);
  }
  for (int i = 1; i <= 4; ++i) form.picInspector[i]->SetBackColor(gSchemeColour1);
  form.picLeftFrame->SetBackColor(gSchemeColour3);
  form.picRightFrame->SetBackColor(gSchemeColour3);
  form.picFlexFrame->SetBackColor(gSchemeColour2);
  for (ctl::FlexGrid* grid : {form.flexThumbsTiled, form.flexThumbsList}) {
    grid->SetBackColor(gSchemeColour2);
    grid->SetBackColorBkg(gSchemeColour2);
  }
  form.lblCaption->SetForeColor(gSchemeColour4);
  form.lblResultSize->SetForeColor(gSchemeColour4);
  form.lblSelectCount->SetForeColor(gSchemeColour4);
}

}  // namespace

frmProgramOptions::frmProgramOptions() { setObjectName(QStringLiteral("frmProgramOptions")); }

void frmProgramOptions::ApplyColourScheme() {
  LoadSchemeColours();
  ctl::Toolbar::SetClassBackground(QPixmap::fromImage(LoadResPicture(QStringLiteral("TB_BG"), kResBitmap)));
  if (!gMainForm) return;
  PaintMainWindow(*gMainForm);
  auto& buttons = gMainForm->picMediaControl;
  gMediaButtons.assign(buttons.size(), MediaButtonFaces{});
  for (size_t i = 1; i < buttons.size(); ++i) {
    const QString name = QString::number(i);
    auto face = [&](const char* state) { return QPixmap::fromImage(LoadResPicture(name + QLatin1String(state), kResBitmap)); };
    gMediaButtons[i] = {face("_NORMAL"), face("_HOVER"), face("_DOWN")};
    buttons[i]->SetPicture(gMediaButtons[i].Normal);
  }
  gMainForm->BuildRebar();
}
