#pragma once
// The device code without the library object: a private home with the
// program's folders, and a host of the test's own in the open library's place
// (a library file made from the template, its connection and the progress
// display it was asked for), installed as the open library. OpenWith and
// Rebuild run the device table as the library's open does.
#include "core/modReelwise.h"
#include "devices/StorageDevice.h"
#include "devices/modStorageDevices.h"
#include "platform/SqlConnection.h"
#include "platform/SqlRecordset.h"
#include "platform/SqlText.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TempHome.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <memory>

namespace rwtest {

class DeviceTableTestHost final : public IDeviceTableHost {
 public:
  std::unique_ptr<SqlConnection> connection;
  // The caption shown last; empty once the display is off.
  QString progressCaption;

  SqlConnection& DeviceTableConnection() override { return *connection; }
  void ShowDeviceProgress(const QString& caption) override { progressCaption = caption; }
  void DeviceProgressOff() override { progressCaption.clear(); }
};

class DeviceTest : public TempHomeTest {
 protected:
  void SetUp() override {
    TempHomeTest::SetUp();
    modReelwise::ComputeProgramFolders();
    modReelwise::CreateProgramFolders();
    Open(gLibrariesFolder + QStringLiteral("Empty.rw2"));
    modStorageDevices::SetDeviceTableHost([this]() -> IDeviceTableHost* { return &host_; });
  }

  void TearDown() override {
    modStorageDevices::SetDeviceTableHost(nullptr);
    host_.connection.reset();
    TempHomeTest::TearDown();
  }

  // Writes a library from the template with `sql` run on it, opens it and
  // rebuilds its device table.
  void OpenWith(const QString& sql = QString()) {
    Open(gLibrariesFolder + QStringLiteral("Test.rw2"), sql);
    Rebuild();
  }
  void Rebuild() { modStorageDevices::EnumStorageDevices(host_); }

  DeviceTableTestHost& Host() { return host_; }
  SqlConnection& Connection() { return *host_.connection; }
  void Exec(const QString& sql) { Connection().Execute(sql); }
  SqlValue One(const QString& sql) {
    auto rs = Connection().OpenRecordset(sql);
    return rs->RecordCount() ? rs->Value(0) : SqlValue();
  }
  int Count(const QString& sql) { return One(sql).toInt(); }
  // The first column of every row.
  QStringList Column(const QString& sql) {
    QStringList values;
    auto rs = Connection().OpenRecordset(sql);
    for (; !rs->Eof(); rs->MoveNext()) values << rs->Value(0).toString();
    return values;
  }

  ScriptedMessageBoxes boxes;

 private:
  void Open(const QString& path, const QString& sql = QString()) {
    host_.connection.reset();
    modReelwise::ExtractTemplateLibrary(path);
    host_.connection = SqlConnection::Open(path);
    if (!sql.isEmpty()) host_.connection->Execute(sql);
  }

  DeviceTableTestHost host_;
};

}  // namespace rwtest
