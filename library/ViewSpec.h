#pragma once
// The view-spec search language: a view is a text of steps, each "|", an
// operator ("_" new, "&" add, "+" narrow, "-" exclude), a kind ("T" tag,
// "?" attribute or text search) and a value. This module reads steps and
// builds the one statement each step runs on SearchResults; the library
// object runs them and keeps the view's state.
//
// Every value a step puts into a statement comes from text that may have
// been stored or typed (saved views, workspaces, media details, identifier
// files): texts are quoted, numbers are checked, and a step that cannot be
// read raises error 5 instead of reaching the database. The scope and the
// storage filter of the steps are values, not statement text: only this
// module turns them into SQL.
#include <QDate>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>

// What every search step lists: whole files ("File"), the cut segments of
// matching files (" File") or matching segments ("Segment").
enum class ResultScope { File, SegmentsOfFiles, Segment };
// Which files every search step keeps: all of them, those on storage that is
// connected, or those on storage that is not.
enum class StorageFilter { All, Online, Offline };

// The scope and filter of the steps; the browser's commands set them.
extern ResultScope gResultKind;
extern StorageFilter gOnlineFilter;

namespace ViewSpec {

// The steps of a view spec, each without its leading "|" (the empty text
// before the first "|" is not a step).
QStringList Steps(const QString& spec);

// True for the four operators "_", "&", "+" and "-".
bool IsOperator(const QString& op);
// The separator of a tag step's text in the view description: none for "_",
// ", " for "&", ", +" for "+", ", -" for "-".
QString TagSeparator(const QString& op);
// A history-combo item: the description, 500 blanks, then the rows the step
// changed in brackets with the operator's sign ("+" for "&", "-" for "+" and
// "-"), e.g. "... [+12]".
QString HistoryComboText(const QString& description, const QString& op, int64_t changed);

// The statement of a tag step on `tagId` (-1 is Untagged) for the scope
// and storage filter. The tag and the tags below it are expected in
// TEMP_FileTagStructure. Raises error 5 for an unknown operator, scope or
// filter or a tag that is no whole number.
QString TagStatement(const QString& op, const QString& tagId, ResultScope resultKind, StorageFilter onlineFilter);

// The date a date-added step ("?D:D-" nn and "d", "m" or "yyyy") goes back
// to from `today`, in calendar days, months or years (a day beyond the end of
// a shorter month becomes its last day); invalid when the key is malformed.
QDate DateAddedSince(const QString& searchSpec, const QDate& today);

// The look-in flags and the text of a text step: "?" F A D ":" text.
struct TextSearch {
  bool fileNames = false;
  bool aliases = false;
  bool descriptions = false;
  QString text;
};
TextSearch ParseTextSearch(const QString& searchSpec);
// "'beach'  (look in Filenames, Descriptions)".
QString TextDescription(const TextSearch& search);
// True when the kind (the second character of a search step) is a text search.
bool IsTextSearch(const QString& searchSpec);
// The history image letter of a search step: "D", "C", "R", "M", else "S".
QString SearchImageLetter(const QString& searchSpec);

// The statement of an attribute or text search step (`searchSpec` from its
// "?"); empty for a text step without any look-in flag, which matches
// nothing. Raises error 5 for an unknown operator, scope or filter, a
// malformed date key, or a rating or file number that is no whole number.
QString SearchStatement(const QString& op, const QString& searchSpec, ResultScope resultKind,
                        StorageFilter onlineFilter, const QDate& today);

// The statement that lists the rows without a thumbnail: the whole files
// under the scope "File", else the cut segments. Raises error 5 for an
// unknown scope.
QString MissingThumbnailsStatement(ResultScope resultKind);

// Today as the date-added steps see it; tests install a clock of their own
// (an empty function goes back to the system's date).
QDate SearchToday();
void SetSearchClock(std::function<QDate()> clock);

}  // namespace ViewSpec
