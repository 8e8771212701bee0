#pragma once
// What a command left behind, for the tests that run commands under faults
// (FaultSweepTest, DispatcherTest): a library's whole content as text and
// SQLite's integrity check of it, what the window shows of the library (the
// outcome a fault must either leave as it was or as the command makes it),
// what the command left busy, and the boxes it showed that a run without a
// fault does not show.
#include "browser/LibraryTreePane.h"
#include "browser/ResultsPane.h"
#include "core/modReelwise.h"
#include "import/ImportPane.h"
#include "inspector/InspectorPane.h"
#include "library/ResultItem.h"
#include "library/clsRWLibrary.h"
#include "mainwindow/frmReelwise.h"
#include "platform/MessageBoxSeam.h"
#include "platform/SqlConnection.h"
#include "platform/controls/ImageCombo.h"
#include "platform/controls/ListView.h"
#include "platform/controls/PictureBox.h"
#include "platform/controls/TreeView.h"
#include "ui/cwProgress.h"

#include <QApplication>
#include <QFile>
#include <QRegularExpression>
#include <QStringList>

#include <sqlite3.h>

#include <algorithm>
#include <vector>

namespace rwtest {

// One value of a row as text, with its type, so 1, 1.0 and '1' differ.
inline QString DumpValue(sqlite3_stmt* stmt, int column) {
  switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_NULL:
      return QStringLiteral("NULL");
    case SQLITE_INTEGER:
      return QString::number(sqlite3_column_int64(stmt, column));
    case SQLITE_FLOAT:
      return QStringLiteral("r") + QString::number(sqlite3_column_double(stmt, column), 'g', 17);
    case SQLITE_TEXT:
      return QLatin1Char('\'') +
             QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, column)),
                               sqlite3_column_bytes(stmt, column)) +
             QLatin1Char('\'');
    default:
      return QStringLiteral("x") + QByteArray(static_cast<const char*>(sqlite3_column_blob(stmt, column)),
                                               sqlite3_column_bytes(stmt, column))
                                        .toHex();
  }
}

// Every row of one statement, a line each; a failure reads as such.
inline QString DumpRows(sqlite3* db, const QString& sql) {
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &stmt, nullptr) != SQLITE_OK) {
    return QStringLiteral("(cannot read: %1)\n").arg(QString::fromUtf8(sqlite3_errmsg(db)));
  }
  QString text;
  int rc;
  while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
    QStringList row;
    for (int c = 0; c < sqlite3_column_count(stmt); ++c) row << DumpValue(stmt, c);
    text += row.join(QLatin1Char('|')) + QLatin1Char('\n');
  }
  if (rc != SQLITE_DONE) text += QStringLiteral("(read failed: %1)\n").arg(QString::fromUtf8(sqlite3_errmsg(db)));
  sqlite3_finalize(stmt);
  return text;
}

// The main database's schema and every row of every table, in a fixed
// order: what sqlite3's .dump compares, without its layout.
inline QString LibraryDump(sqlite3* db) {
  QString dump = DumpRows(db, QStringLiteral("SELECT type, name, tbl_name, sql FROM main.sqlite_master ORDER BY name"));
  sqlite3_stmt* tables = nullptr;
  sqlite3_prepare_v2(db, "SELECT name FROM main.sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%' "
                         "ORDER BY name",
                     -1, &tables, nullptr);
  QStringList names;
  while (tables && sqlite3_step(tables) == SQLITE_ROW) {
    names << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(tables, 0)));
  }
  sqlite3_finalize(tables);
  for (const QString& name : names) {
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    dump += QStringLiteral("== %1\n").arg(name) +
            DumpRows(db, QStringLiteral("SELECT * FROM main.\"%1\" ORDER BY 1, 2").arg(quoted));
  }
  return dump;
}

// "ok", or what SQLite's integrity check finds.
inline QString IntegrityCheck(sqlite3* db) {
  QString found = DumpRows(db, QStringLiteral("PRAGMA main.integrity_check")).trimmed();
  return found == QLatin1String("'ok'") ? QStringLiteral("ok") : found;
}

// The first word where two lines differ, with the words around it.
inline QString FirstWordDifference(const QString& expected, const QString& seen) {
  const QStringList a = expected.split(QLatin1Char(' '));
  const QStringList b = seen.split(QLatin1Char(' '));
  qsizetype i = 0;
  while (i < std::min(a.size(), b.size()) && a[i] == b[i]) ++i;
  const qsizetype from = std::max<qsizetype>(0, i - 1);
  return QStringLiteral("\"%1\" where \"%2\" was expected")
      .arg(b.mid(from, 3).join(QLatin1Char(' ')), a.mid(from, 3).join(QLatin1Char(' ')));
}

// The first line where two texts differ, for messages.
inline QString FirstDifference(const QString& expected, const QString& seen) {
  const QStringList a = expected.split(QLatin1Char('\n'));
  const QStringList b = seen.split(QLatin1Char('\n'));
  for (qsizetype i = 0; i < std::max(a.size(), b.size()); ++i) {
    if (a.value(i) != b.value(i)) {
      return QStringLiteral("\"%1\" where \"%2\" was expected").arg(b.value(i).left(200), a.value(i).left(200));
    }
  }
  return QString();
}

// A library file as the next reader finds it: through the program's own
// connection while the program has it open (so a journal a failed commit
// left is rolled back as the program's next read would), else through a
// connection of its own. Empty when there is no file.
struct FileState {
  QString dump;
  QString integrity;
  bool operator==(const FileState& other) const { return dump == other.dump; }
};

inline FileState StateOfLibraryFile(const QString& path) {
  if (gLibrary && gLibrary->LibraryPath == path) {
    sqlite3* db = gLibrary->Connection().Handle();
    return {LibraryDump(db), IntegrityCheck(db)};
  }
  if (!QFile::exists(path)) return {};
  sqlite3* db = nullptr;
  FileState state;
  if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
    state = {LibraryDump(db), IntegrityCheck(db)};
  } else {
    state = {QStringLiteral("(cannot open)"), QStringLiteral("(cannot open)")};
  }
  sqlite3_close_v2(db);
  return state;
}

// The content of a database copied whole from one connection's main
// database to another's, as SQLite's backup copies it: a snapshot of the open
// library taken, or the library put back as the snapshot through the
// program's own connection (its own write, which the program takes for no
// other program's).
inline bool CopyDatabase(sqlite3* from, sqlite3* into) {
  sqlite3_backup* backup = sqlite3_backup_init(into, "main", from, "main");
  if (!backup) return false;
  const int rc = sqlite3_backup_step(backup, -1);
  sqlite3_backup_finish(backup);
  return rc == SQLITE_DONE;
}

inline bool CopyDatabase(sqlite3* from, const QString& into) {
  QFile::remove(into);
  sqlite3* target = nullptr;
  const bool opened = sqlite3_open_v2(QFile::encodeName(into).constData(), &target,
                                      SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) == SQLITE_OK;
  const bool copied = opened && CopyDatabase(from, target);
  sqlite3_close_v2(target);
  return copied;
}

inline bool CopyDatabase(const QString& from, sqlite3* into) {
  sqlite3* source = nullptr;
  const bool opened = sqlite3_open_v2(QFile::encodeName(from).constData(), &source, SQLITE_OPEN_READONLY, nullptr) ==
                      SQLITE_OK;
  const bool copied = opened && CopyDatabase(source, into);
  sqlite3_close_v2(source);
  return copied;
}

// What the window shows of the library, part by part: its name and the
// caption, the view (its steps and its name in the history), its results,
// the tree, and the inspector (the segment inspected and its tags).
inline QStringList ShownParts() {
  if (!gLibrary || !gMainForm) return {QStringLiteral("(no program)")};
  QStringList results;
  for (size_t i = 1; i < gResults.size(); ++i) {
    results << QStringLiteral("%1/%2").arg(gResults[i].SegmentID).arg(gResults[i].FileID);
  }
  // Each node under its parent, in no order of the collection's.
  QStringList nodes;
  for (const auto& node : gMainForm->Tree().tvwLibrary->Nodes) {
    nodes << (node->Parent() ? node->Parent()->Key() + QLatin1Char('/') : QString()) + node->Key() + QLatin1Char('=') +
                 node->Text();
  }
  nodes.sort();
  QStringList inspected{QString::number(gInspectedItem.SegmentID)};
  ctl::ListView& tags = *gMainForm->Inspector().lstFileTags;
  for (int i = 1; i <= tags.ListItems.Count(); ++i) inspected << tags.ListItems.Item(i).Tag() + QLatin1Char('=') + tags.ListItems.Item(i).ListSubItems.Item(1).Text();
  return {gLibrary->LibraryPath + QLatin1Char(' ') + gMainForm->windowTitle(),
          QStringLiteral("%1 %2").arg(gViewSpec, gMainForm->Results().cmbBrowserHistory->Text()),
          QStringLiteral("%1: %2").arg(gLibrary->ResultCount).arg(results.join(QLatin1Char(' '))),
          nodes.join(QLatin1Char(' ')), inspected.join(QLatin1Char(' '))};
}
inline const char* const kShownPartNames[] = {"the caption", "the view", "the results", "the tree", "the inspector"};

inline QString ShownLibrary() { return ShownParts().join(QLatin1Char('\n')); }

// What a command left on that should have been put back when it ended.
inline QStringList LeftBusy() {
  QStringList left;
  if (!gMainForm || !gLibrary) return {QStringLiteral("the program ended")};
  frmReelwise& form = *gMainForm;
  if (form.picBusyIndicator->isVisible()) left << QStringLiteral("the busy indicator");
  if (!form.Tree().picLeft->isEnabled() || !form.Results().picRight->isEnabled()) {
    left << QStringLiteral("the browser's controls disabled");
  }
  if (form.progProgress && (!form.progProgress->Caption().isEmpty() || form.progProgress->Value() != 0)) {
    left << QStringLiteral("progress \"%1\"").arg(form.progProgress->Caption());
  }
  if (form.Import().cmdAbortScan->isVisible()) left << QStringLiteral("the Abort button");
  if (!form.updatesEnabled()) left << QStringLiteral("the window's redraw lock");
  if (const QCursor* cursor = QApplication::overrideCursor();
      cursor && (cursor->shape() == Qt::WaitCursor || cursor->shape() == Qt::BusyCursor)) {
    left << QStringLiteral("a busy cursor");
  }
  if (gAddingFiles) left << QStringLiteral("the adding-files state");
  if (gLibrary->Connection().InTransaction()) left << QStringLiteral("a transaction open on the library");
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window != gMainForm && window->isVisible() && window->isModal()) {
      left << QStringLiteral("the window %1").arg(window->objectName());
    }
  }
  return left;
}

// A box in words that are not the program's: SQLite's, the C library's,
// Qt's, or none at all.
inline bool RawBox(const MessageBoxRequest& box) {
  static const QRegularExpression raw(QStringLiteral(
      "2147221504|readonly|constraint|no such|disk I/O|malformed|database is locked|SQLite|sqlite|errno|"
      "Resource temporarily|No space left|Input/output error|Permission denied"));
  return box.title.isEmpty() || box.prompt.contains(raw);
}

inline QString BoxText(const MessageBoxRequest& box) { return box.title + QStringLiteral(": ") + box.prompt; }

// The boxes of `shown` from `from` on that a run without a fault did not
// show, told apart by their titles (a box of the command's own, a tip of the
// day, may say something else each time).
inline std::vector<MessageBoxRequest> BoxesBeyond(const std::vector<MessageBoxRequest>& shown, size_t from,
                                                  const QStringList& clean) {
  QStringList expected;
  for (const QString& text : clean) expected << text.section(QStringLiteral(": "), 0, 0);
  std::vector<MessageBoxRequest> beyond;
  for (size_t i = from; i < shown.size(); ++i) {
    const int at = static_cast<int>(expected.indexOf(shown[i].title));
    if (at >= 0) {
      expected.removeAt(at);
    } else {
      beyond.push_back(shown[i]);
    }
  }
  return beyond;
}

// Catches Qt's word that an exception went through its event loop.
class LooseExceptionWatch {
 public:
  LooseExceptionWatch() {
    loose_ = false;
    previous_ = qInstallMessageHandler(&Seen);
  }
  ~LooseExceptionWatch() { qInstallMessageHandler(previous_); }
  static bool Loose() { return loose_; }
  static void Forget() { loose_ = false; }

 private:
  static void Seen(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.contains(QLatin1String("caught an exception"))) loose_ = true;
    if (previous_) previous_(type, context, message);
  }
  static inline QtMessageHandler previous_ = nullptr;
  static inline bool loose_ = false;
};

}  // namespace rwtest
