// The tag cloud of the current results: how many result segments each tag
// covers (its own and those of the tags below or linked to it), and one
// label per tag on the tag-cloud window, larger and darker the more of the
// results it covers, in centred rows.
#include "library/clsRWLibrary.h"

#include "carousel/frmTagCloud.h"
#include "platform/RWError.h"
#include "platform/Rounding.h"
#include "platform/SqlRecordset.h"

#include <QRegularExpression>

#include <vector>

namespace {

struct CloudTag {
  QString tagId;
  QString name;
  double count = 0;
};

struct Band {
  double points;
  int grey;
};

// Relevance is the share of the results in per cent.
Band BandOf(int relevance) {
  if (relevance <= 10) return {8, 180};
  if (relevance <= 30) return {10, 120};
  if (relevance <= 50) return {12, 80};
  if (relevance <= 70) return {13, 50};
  return {14, 0};
}

// The category filter is a list of TagIDs the window's menu writes, "(3,7)";
// anything else is no list and filters nothing, so it never reaches the
// statement.
QString CategoryFilter() {
  static const QRegularExpression list(QStringLiteral(R"(^\(\s*(\d+(\s*,\s*\d+)*)?\s*\)$)"));
  if (gTagCloudCategories.isEmpty() || !list.match(gTagCloudCategories).hasMatch()) return QString();
  return QStringLiteral("AND T.CategoryID IN ") + gTagCloudCategories;
}

std::vector<CloudTag> ReadCloudTags(SqlConnection& db) {
  SqlRecordset rows(db, QStringLiteral("SELECT TagID, Tag, SUM(TagCount) AS TagCount FROM (SELECT T.TagID AS TagID, "
                                       "T.Tag AS Tag, TC.TagCount AS TagCount FROM TagCloud TC, Tags T WHERE T.TagID = "
                                       "TC.LinkedTag ") +
                            CategoryFilter() + QStringLiteral(" AND T.Type = 'T')GROUP BY TagID, Tag ORDER BY Tag"));
  std::vector<CloudTag> tags;
  tags.reserve(static_cast<size_t>(rows.RecordCount()));
  for (; !rows.Eof(); rows.MoveNext()) {
    tags.push_back({rows.Value(0).toString(), rows.Value(1).toString(), rows.Value(2).toDouble()});
  }
  return tags;
}

// Moves labels first..last right by `shift`.
void ShiftRow(frmTagCloud& form, int first, int last, double shift) {
  for (int k = first; k <= last; ++k) {
    ctl::Label& label = *form.lblTag[static_cast<size_t>(k)];
    label.Move(label.Left() + shift, label.Top());
  }
}

void HideLabelsFrom(frmTagCloud& form, int first) {
  for (int k = first; k <= form.TagLabelUBound(); ++k) form.lblTag[static_cast<size_t>(k)]->SetVisible(false);
}

// Rows of labels from left to right; a label that does not fit starts a new
// row 24 pixels lower, and each finished row is centred in the width.
void LayOutLabels(frmTagCloud& form, const std::vector<CloudTag>& tags, double width, int32_t resultCount) {
  double x = 1;
  double y = 1;
  int rowStart = 1;
  int n = 0;
  for (const CloudTag& tag : tags) {
    ++n;
    try {
      ctl::Label& label = form.LoadTagLabel(n);
      label.SetCaption(tag.name);
      label.SetFontName(QStringLiteral("Tahoma"));
      // A cloud drawn over no results has nothing to measure against.
      const int relevance = resultCount > 0 ? static_cast<int>(RoundHalfEven(tag.count * 100 / resultCount)) : 0;
      const Band band = BandOf(relevance);
      label.SetFontSize(band.points);
      label.SetAutoSize(true);
      const double w = label.Width();
      if (x + w > width) {
        x -= 15;
        ShiftRow(form, rowStart, n - 1, (width - x) / 2);
        rowStart = n;
        y += 24;
        x = 2;
      }
      label.SetForeColor(RGB(band.grey, band.grey, band.grey));
      label.Move(x, y);
      label.SetTag(tag.tagId);
      label.SetVisible(true);
      x = RoundHalfEven(x + w + 15);
    } catch (const RWError&) {
      // A label that cannot be made is left out; the others still show.
    }
  }
  x -= 15;
  ShiftRow(form, rowStart, n, (width - x) / 2);
  HideLabelsFrom(form, n + 1);
  form.picTags->SetHeight(y + 28);
  const double containerHeight = form.picTagContainer->Height();
  if (form.picTags->Height() < containerHeight) form.picTags->SetTop((containerHeight - form.picTags->Height()) / 2);
}

}  // namespace

// A tag's count is the sum of its TagCount rows. Own counts come first; then
// every count that reached a tag in the last round is pushed along each of
// its links to the linked tag, unless that pair carries counts already, so
// the rounds end even where links run in a circle.
void clsRWLibrary::PopulateTagCloudTable() {
  RunInTransaction(QStringLiteral("Cloud"), [this] {
    m_Connection->Execute(QStringLiteral("DELETE from TagCloud"));
    m_Connection->Execute(
        QStringLiteral("Insert into TagCloud SELECT 0, ST.TagID , Count(1), 1 FROM SearchResults SR, "
                       "SegmentTags ST WHERE ST.SegmentID = SR.SegmentID GROUP BY ST.TagID"));
    // The pairs that carry counts already are listed once per round and
    // looked up through an index SQLite makes for the list (a correlated
    // test would scan the whole table once per candidate).
    for (int n = 1;; ++n) {
      m_Connection->Execute(QStringLiteral("INSERT INTO TagCloud SELECT C.LinkedTag, TL.LinkedTag, C.TagCount, %1 FROM "
                                           "TagLinks TL JOIN TagCloud C ON C.LinkedTag = TL.TagID LEFT JOIN (SELECT "
                                           "DISTINCT TagID AS FromTag, LinkedTag AS ToTag FROM TagCloud) Used ON "
                                           "Used.FromTag = C.LinkedTag AND Used.ToTag = TL.LinkedTag WHERE C.iteration "
                                           "= %2 AND Used.FromTag IS NULL")
                                .arg(n + 1)
                                .arg(n));
      if (m_Connection->RowsChanged() == 0) break;
    }
  });
}

void clsRWLibrary::ShowTagCloud(bool Repopulate) {
  frmTagCloud& form = TagCloudForm();
  const double width = RoundHalfEven(form.picTagContainer->Width());
  if (Repopulate) PopulateTagCloudTable();
  std::vector<CloudTag> tags;
  try {
    tags = ReadCloudTags(*m_Connection);
  } catch (const RWError& error) {
    ReportError(error);
  }
  form.picTags->Move(0, 0, width, 0);
  if (tags.empty()) {
    HideLabelsFrom(form, 1);
    return;
  }
  LayOutLabels(form, tags, width, ResultCount);
}
