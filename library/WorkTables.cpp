#include "library/WorkTables.h"

#include "platform/RWError.h"
#include "platform/SqlConnection.h"
#include "platform/SqlRecordset.h"
#include "platform/SqlText.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

// Tables filled and emptied by one operation: their stored namesakes stay in
// the file's schema for other readers.
const QStringList& ShadowedTables() {
  static const QStringList tables = {QStringLiteral("SearchResults"), QStringLiteral("TEMP_FileTagStructure"),
                                     QStringLiteral("TagCloud")};
  return tables;
}

// Work tables that no reader of the file knows: an earlier version stored them.
const QStringList& LeftoverTables() {
  static const QStringList tables = {QStringLiteral("tempTAGS")};
  return tables;
}

// The stored definition with TEMP put in after CREATE (SQLite keeps the text
// without a schema name, so the object's name is unqualified).
QString AsTemporary(const QString& sql, const QString& kind) {
  static const QRegularExpression tableOrView(QStringLiteral("^\\s*CREATE\\s+(TABLE|VIEW)\\s+"),
                                              QRegularExpression::CaseInsensitiveOption);
  static const QRegularExpression index(QStringLiteral("^\\s*CREATE\\s+(UNIQUE\\s+)?INDEX\\s+(IF\\s+NOT\\s+EXISTS\\s+)?"),
                                        QRegularExpression::CaseInsensitiveOption);
  QString result = sql;
  if (kind == QLatin1String("index")) return result.replace(index, QStringLiteral("CREATE \\1INDEX \\2temp."));
  return result.replace(tableOrView, QStringLiteral("CREATE TEMP \\1 "));
}

bool Exists(SqlConnection& db, const QString& schema, const QString& name) {
  auto rs = db.OpenRecordset(QStringLiteral("SELECT count(*) FROM %1.sqlite_master WHERE name = %2 COLLATE NOCASE")
                                 .arg(schema, SqlQuote(name)));
  return rs->Value(0).toInt() > 0;
}

void DropLeftovers(SqlConnection& db) {
  for (const QString& table : LeftoverTables()) {
    if (Exists(db, QStringLiteral("main"), table)) {
      db.Execute(QStringLiteral("DROP TABLE main.") + SqlIdentifier(table));
    }
  }
}

// The stored table emptied (when it may hold rows), its TEMP namesake made
// with the same columns and indexes.
void Shadow(SqlConnection& db, const QString& table, bool mayHoldRows) {
  if (!Exists(db, QStringLiteral("main"), table)) return;
  if (mayHoldRows) db.Execute(QStringLiteral("DELETE FROM main.") + SqlIdentifier(table));
  if (Exists(db, QStringLiteral("temp"), table)) return;
  auto rs = db.OpenRecordset(QStringLiteral("SELECT type, sql FROM main.sqlite_master WHERE tbl_name = %1 COLLATE "
                                            "NOCASE AND type IN ('table', 'index') AND sql IS NOT NULL "
                                            "ORDER BY type = 'index'")
                                 .arg(SqlQuote(table)));
  for (; !rs->Eof(); rs->MoveNext()) {
    db.Execute(AsTemporary(rs->Value(1).toString(), rs->Value(0).toString()));
  }
}

// Views of the stored file that read a work table would read the stored,
// empty table: each gets a TEMP namesake, which reads the TEMP tables.
void ShadowViews(SqlConnection& db) {
  QStringList pattern;
  for (const QString& table : ShadowedTables()) pattern << QRegularExpression::escape(table);
  const QRegularExpression readsWorkTable(QStringLiteral("\\b(%1)\\b").arg(pattern.join(u'|')),
                                          QRegularExpression::CaseInsensitiveOption);
  auto rs = db.OpenRecordset(QStringLiteral("SELECT name, sql FROM main.sqlite_master WHERE type = 'view'"));
  for (; !rs->Eof(); rs->MoveNext()) {
    const QString sql = rs->Value(1).toString();
    if (!sql.contains(readsWorkTable) || Exists(db, QStringLiteral("temp"), rs->Value(0).toString())) continue;
    db.Execute(AsTemporary(sql, QStringLiteral("view")));
  }
}

}  // namespace

namespace WorkTables {

void UseTemporaryWorkTables(SqlConnection& db, bool storedMayHoldRows) {
  TransactionGuard guard(db, QStringLiteral("WorkTables"));
  if (storedMayHoldRows) DropLeftovers(db);
  for (const QString& table : ShadowedTables()) Shadow(db, table, storedMayHoldRows);
  ShadowViews(db);
  guard.Commit();
}

}  // namespace WorkTables
