// The callers' contracts are checked in the build the tests run: a wrong
// call aborts at once, naming what it broke, and a right one passes.
#include "platform/Contract.h"
#include "platform/SqlConnection.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <thread>

namespace {

TEST(ContractDeathTest, ARowNumberReadOutsideATransactionAbortsAndOneInsideIsRead) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  auto db = SqlConnection::Create(dir.filePath(QStringLiteral("contract.db")));
  db->Execute(QStringLiteral("CREATE TABLE t (id integer PRIMARY KEY, name text)"));
  db->BeginTrans(QStringLiteral("add"));
  db->Execute(QStringLiteral("INSERT INTO t (name) VALUES ('a')"));
  EXPECT_EQ(db->LastInsertRowNumber(), 1);
  db->CommitTrans(QStringLiteral("add"));
  db->Execute(QStringLiteral("INSERT INTO t (name) VALUES ('b')"));
  EXPECT_DEATH(db->LastInsertRowNumber(), "Contract broken at .*inside a transaction");
}

TEST(ContractTest, OnlyTheEventLoopsThreadIsTheUiThread) {
  EXPECT_TRUE(contract::OnUiThread());
  bool elsewhere = true;
  std::thread([&elsewhere] { elsewhere = contract::OnUiThread(); }).join();
  EXPECT_FALSE(elsewhere);
}

}  // namespace
