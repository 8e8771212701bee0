#include "tests/support/SmallDisk.h"

#include "tests/support/TestTimeLimit.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <sys/mount.h>

namespace rwtest {

namespace {

constexpr const char* kInNamespace = "RW_TEST_SMALL_DISK_CHILD";

QString CurrentTestName() {
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  return QString::fromUtf8(test->test_suite_name()) + QLatin1Char('.') + QString::fromUtf8(test->name());
}

// Runs this test again in a namespace of its own; its failures become ours.
void RunInNamespace() {
  const QString unshare = QStandardPaths::findExecutable(QStringLiteral("unshare"));
  const QStringList inNamespace = {"--user", "--map-root-user", "--mount"};
  if (unshare.isEmpty()) GTEST_SKIP() << "unshare is not installed: no small disk of our own";
  if (QProcess::execute(unshare, inNamespace + QStringList{"true"}) != 0) {
    GTEST_SKIP() << "this machine allows no user namespaces: no small disk of our own";
  }
  QProcess child;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QLatin1String(kInNamespace), QStringLiteral("1"));
  environment.insert(QStringLiteral("RW_TEST_TIME_LIMIT"), QString::number(TestTimeLimit::ChildSeconds()));
  child.setProcessEnvironment(environment);
  child.setProcessChannelMode(QProcess::MergedChannels);
  child.start(unshare, inNamespace + QStringList{QCoreApplication::applicationFilePath(),
                                                 QStringLiteral("--gtest_filter=") + CurrentTestName()});
  ASSERT_TRUE(child.waitForFinished((TestTimeLimit::ChildSeconds() + 5) * 1000)) << "the test in the namespace did not finish";
  const QByteArray output = child.readAll();
  EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
  EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
}

}  // namespace

SmallDisk::~SmallDisk() {
  if (!folder_.isEmpty()) ::umount2(QFile::encodeName(folder_).constData(), MNT_DETACH);
}

bool SmallDisk::Here() {
  if (!qEnvironmentVariableIsSet(kInNamespace)) {
    RunInNamespace();
    return false;
  }
  if (!mountPoint_.isValid()) {
    ADD_FAILURE() << "no folder to mount the small disk on";
    return false;
  }
  const QByteArray options = "size=" + QByteArray::number(kilobytes_) + "k";
  if (::mount("tmpfs", QFile::encodeName(mountPoint_.path()).constData(), "tmpfs", 0, options.constData()) != 0) {
    ADD_FAILURE() << "the small disk could not be mounted";
    return false;
  }
  folder_ = mountPoint_.path();
  return true;
}

void SmallDisk::Fill() {
  QFile filler(Path(QStringLiteral(".filler")));
  ASSERT_TRUE(filler.open(QIODevice::Append | QIODevice::Unbuffered));
  const QByteArray block(64 * 1024, 'f');
  while (filler.write(block) > 0) {
  }
  while (filler.write("f", 1) > 0) {
  }
}

void SmallDisk::Free() { QFile::remove(Path(QStringLiteral(".filler"))); }

}  // namespace rwtest
