#pragma once
// The running program with a library of the test's own making opened in it:
// helpers to lay out rows before the open and to read the tree, the tables
// and the result grids back.
#include "core/modReelwise.h"
#include "library/clsRWLibrary.h"
#include "mainwindow/frmReelwise.h"
#include "platform/SqlRecordset.h"
#include "platform/SqlText.h"
#include "tests/core/ProgramRun.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace rwtest {

class OpenLibraryTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    ASSERT_TRUE(Start());
  }

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

  static ctl::TreeView& Tree() { return *gMainForm->tvwLibrary; }
  static ctl::Node& Node(const QString& key) { return Tree().Nodes(key); }
  // The texts of a node's children (the top level for an empty key), in
  // the order shown.
  static QStringList Shown(const QString& key = QString()) {
    QStringList texts;
    ctl::Node* child =
        key.isEmpty() ? (Tree().Nodes.Count() ? Tree().Nodes(1).FirstSibling() : nullptr) : Node(key).Child();
    for (; child; child = child->Next()) texts << child->Text();
    return texts;
  }
};

}  // namespace rwtest
