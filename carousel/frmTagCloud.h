#pragma once
// The floating tag-cloud window: one label per tag of the current results on
// the panel picTags, which lies inside picTagContainer. The library lays the
// labels out (clsRWLibrary::ShowTagCloud); each label's Tag is its TagID.
#include "platform/controls/Label.h"
#include "platform/controls/PictureBox.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <vector>

class frmTagCloud : public QWidget {
 public:
  frmTagCloud();

  ctl::PictureBox* picTagContainer;
  ctl::PictureBox* picTags;
  // The tag labels; element 0 is the hidden pattern the others are made from.
  std::vector<ctl::Label*> lblTag;

  // Label n, made from element 0 when it does not exist yet (together with
  // any missing elements below it); an existing one is reused as it is.
  ctl::Label& LoadTagLabel(int n);
  // The highest label index there is.
  int TagLabelUBound() const { return static_cast<int>(lblTag.size()) - 1; }
};

// The window, made on first use.
extern QPointer<frmTagCloud> gTagCloudForm;
frmTagCloud& TagCloudForm();

// The category TagIDs the cloud shows, "(3,7)"; empty for all categories.
extern QString gTagCloudCategories;
