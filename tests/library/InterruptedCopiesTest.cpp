// The start's clean-up of the copies a Save As cut short left beside their
// targets: a copy goes only when the note naming it is the program's own and
// its program is gone, and no running program's note names the same copy.
#include "library/InterruptedCopies.h"

#include "core/modReelwise.h"
#include "tests/support/TempHome.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

class InterruptedCopiesTest : public rwtest::TempHomeTest {
 protected:
  void SetUp() override {
    rwtest::TempHomeTest::SetUp();
    saved_ = gTempFolder;
    gTempFolder = ScratchPath(QStringLiteral("Temp/"));
    ASSERT_TRUE(QDir().mkpath(gTempFolder));
  }
  void TearDown() override {
    gTempFolder = saved_;
    rwtest::TempHomeTest::TearDown();
  }

  // A copy under way beside `target`, with its journal.
  QString Copy(const QString& target) {
    const QString partial = PartialCopyOf(ScratchPath(target));
    for (const QString& file : {partial, partial + QStringLiteral("-journal")}) {
      QFile out(file);
      EXPECT_TRUE(out.open(QIODevice::WriteOnly));
      out.write("SQLite format 3");
    }
    return partial;
  }
  // A note under `name` naming `partial`, as CopyUnderWay writes one.
  QString Note(const QString& name, const QString& partial) {
    const QString note = gTempFolder + name;
    QFile out(note);
    EXPECT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(QFile::encodeName(partial));
    return note;
  }

  QString saved_;
};

TEST_F(InterruptedCopiesTest, OnlyACopyNoRunningProgramWritesGoesAndOnlyThroughANoteOfTheProgramsOwn) {
  // No process has this number: above the largest the kernel gives.
  const QString gone = QStringLiteral("Copying-2147483647");
  const QString running = QStringLiteral("Copying-%1").arg(QCoreApplication::applicationPid());

  // A copy whose program is gone and which no other note names goes, with
  // its journal and its note.
  const QString cutShort = Copy(QStringLiteral("Cut short.rw2"));
  const QString cutShortNote = Note(gone, cutShort);

  // The same target saved to again by a program still running: the copy is
  // that program's now. The dead note goes; the copy stays.
  const QString written = Copy(QStringLiteral("Written now.rw2"));
  const QString deadNote = Note(QStringLiteral("Copying-2147483646"), written);
  const QString liveNote = Note(running, QDir(Scratch()).filePath(QStringLiteral("./") + QFileInfo(written).fileName()));

  // Notes of no naming of the program's: number 0 (kill(0, 0) answers for
  // the caller's own process group), a sign, leading zeros. Left alone, with
  // their copies.
  QStringList strangers;
  QStringList strangeCopies;
  for (const char* name : {"Copying-0", "Copying--5", "Copying-+2147483645", "Copying-0002147483644"}) {
    strangeCopies << Copy(QLatin1String(name) + QStringLiteral(".rw2"));
    strangers << Note(QLatin1String(name), strangeCopies.last());
  }

  // An export's new file beside its target, noted second by the same gone
  // program, goes as well.
  const QString exported = ScratchPath(QStringLiteral("export.csv.k3x9.new"));
  QFile(exported).open(QIODevice::WriteOnly);
  const QString exportNote = Note(gone + QStringLiteral("-1"), exported);

  RemoveInterruptedCopies();

  EXPECT_FALSE(QFileInfo::exists(exported));
  EXPECT_FALSE(QFileInfo::exists(exportNote));
  EXPECT_FALSE(QFileInfo::exists(cutShort));
  EXPECT_FALSE(QFileInfo::exists(cutShort + QStringLiteral("-journal")));
  EXPECT_FALSE(QFileInfo::exists(cutShortNote));

  EXPECT_TRUE(QFileInfo::exists(written)) << "a running program's copy is never removed";
  EXPECT_TRUE(QFileInfo::exists(written + QStringLiteral("-journal")));
  EXPECT_TRUE(QFileInfo::exists(liveNote));
  EXPECT_FALSE(QFileInfo::exists(deadNote));

  for (const QString& file : strangers + strangeCopies) EXPECT_TRUE(QFileInfo::exists(file)) << file.toStdString();
}

}  // namespace
