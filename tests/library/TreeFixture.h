#pragma once
// A library of the test's own making opened by the library object, on a
// host that is either the library alone (LibraryTest) or the running program
// (RunningProgramTest): helpers to lay out rows before the open and to read
// the tree and the tables back.
#include "core/modReelwise.h"
#include "library/clsRWLibrary.h"
#include "platform/SqlRecordset.h"
#include "platform/SqlText.h"
#include "platform/controls/TreeView.h"
#include "tests/library/LibraryFixture.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace rwtest {

template <class Host>
class OpenLibraryTestOn : public Host {
 protected:

  // Writes a library from the template with `sql` run on it and opens it.
  void OpenWith(const QString& sql = QString(), const QString& name = QStringLiteral("Test.rw2")) {
    const QString path = gLibrariesFolder + name;
    modReelwise::ExtractTemplateLibrary(path);
    if (!sql.isEmpty()) SqlConnection::Open(path)->Execute(sql);
    gLibrary->OpenLibrary(path, true);
    ASSERT_EQ(gLibrary->LibraryPath, path);
  }

  static void Exec(const QString& sql) { gLibrary->Connection().Execute(sql); }
  static SqlValue One(const QString& sql) {
    auto rs = gLibrary->Connection().OpenRecordset(sql);
    return rs->RecordCount() ? rs->Value(0) : SqlValue();
  }
  static int Count(const QString& sql) { return One(sql).toInt(); }
  // The first column of every row.
  static QStringList Column(const QString& sql) {
    QStringList values;
    auto rs = gLibrary->Connection().OpenRecordset(sql);
    for (; !rs->Eof(); rs->MoveNext()) values << rs->Value(0).toString();
    return values;
  }

  // Rows for the template: a file with its whole-file segment, online on
  // device 1A2B3C4D, and the device's drive row.
  static QString FileRow(int id, const QString& name = QStringLiteral("Film.mkv"),
                         const QString& format = QStringLiteral("'AVI'")) {
    return QStringLiteral(
               "INSERT INTO VideoFiles (FileID, DiskSerialNo, FilePath, FileName, FileFormat, FileSize, "
               "Bitrate, CurrentPath) VALUES (%1, '1A2B3C4D', 'films\\', %2, %3, 1000, 800, '/films/');"
               "INSERT INTO VideoSegments (SegmentID, FileID, FileFlag, SelectionStart, SelectionEnd, "
               "Online, Rating) VALUES (%1, %1, 'Y', 0, 60, 1, 0);")
        .arg(id)
        .arg(SqlQuote(name), format);
  }

  static ctl::Node& Node(const QString& key) { return Host::Tree().Nodes(key); }
  // The texts of a node's children (the top level for an empty key), in
  // the order shown.
  static QStringList Shown(const QString& key = QString()) {
    QStringList texts;
    ctl::Node* child =
        key.isEmpty() ? (Host::Tree().Nodes.Count() ? Host::Tree().Nodes(1).FirstSibling() : nullptr)
                      : Node(key).Child();
    for (; child; child = child->Next()) texts << child->Text();
    return texts;
  }
};

using OpenLibraryTest = OpenLibraryTestOn<LibraryTest>;

}  // namespace rwtest
