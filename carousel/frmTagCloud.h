#pragma once
// The floating tag-cloud window: one label per tag of the current results on
// the panel picTags, which lies inside picTagContainer; each label's Tag is
// its TagID. The library counts the tags (clsRWLibrary::ShowTagCloud) and
// the window lays their labels out.
#include "library/ILibraryView.h"
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

  // One label per tag, in the order given, in rows centred in the panel's
  // width: size and grey by the share of `resultCount` the tag covers (up to
  // 10 per cent 8 points light grey, up to 30 10 points, up to 50 12 points,
  // up to 70 13 points, above that 14 points black). Labels left over from a
  // larger cloud are hidden.
  void ShowTags(const std::vector<TagCloudEntry>& tags, int32_t resultCount);

 private:
  void ShiftRow(int first, int last, double shift);
  void HideLabelsFrom(int first);
  void LayOutLabels(const std::vector<TagCloudEntry>& tags, double width, int32_t resultCount);
};

// The window, made on first use.
extern QPointer<frmTagCloud> gTagCloudForm;
frmTagCloud& TagCloudForm();
