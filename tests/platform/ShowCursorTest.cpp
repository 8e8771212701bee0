// The pointer's display counter: blank below 0, shown again at 0, one
// override cursor whatever the depth, other override cursors left alone.
#include "platform/ShowCursor.h"

#include <QCursor>
#include <QGuiApplication>

#include <gtest/gtest.h>

namespace {

Qt::CursorShape Override() {
  return QGuiApplication::overrideCursor() ? QGuiApplication::overrideCursor()->shape() : Qt::ArrowCursor;
}

TEST(ShowCursorTest, BlankBelowZeroShownAgainAtZero) {
  ASSERT_EQ(CursorDisplayCount(), 0);
  QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));  // a busy pointer set before
  EXPECT_EQ(ShowCursor(false), -1);
  EXPECT_EQ(Override(), Qt::BlankCursor);
  EXPECT_EQ(ShowCursor(false), -2);
  EXPECT_EQ(ShowCursor(true), -1);
  EXPECT_EQ(Override(), Qt::BlankCursor) << "still hidden once";
  EXPECT_EQ(ShowCursor(true), 0);
  EXPECT_EQ(Override(), Qt::WaitCursor) << "the busy pointer is back";
  EXPECT_EQ(ShowCursor(true), 1);
  EXPECT_EQ(ShowCursor(false), 0);
  EXPECT_EQ(Override(), Qt::WaitCursor);
  QGuiApplication::restoreOverrideCursor();
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

}  // namespace
