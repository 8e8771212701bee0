// Long work: nothing of the program's own runs inside it (a zero-delay
// timer, a queued call, a posted event wait for its end), while past its
// grace the window's painting is done; work on a worker thread reports its
// steps, hands back its exception, is given up when it stops answering and
// is cancelled by a request to end the program, one that waits in the
// window system's queue among them.
#include "platform/LongWork.h"
#include "platform/QueuedClose.h"
#include "platform/QuitRequest.h"
#include "platform/RWError.h"
#include "platform/SqlConnection.h"
#include "platform/SqlRecordset.h"
#include "tests/support/EventLoopWaits.h"
#include "tests/support/OwnXServer.h"
#include "tests/support/PaintCounter.h"
#include "tests/support/TestTickClock.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

// Receives a posted event of its own type.
class Receiver : public QObject {
 public:
  static inline const QEvent::Type kType = static_cast<QEvent::Type>(QEvent::registerEventType());
  int received = 0;

 protected:
  bool event(QEvent* e) override {
    if (e->type() != kType) return QObject::event(e);
    ++received;
    return true;
  }
};

// What the program sends itself: a zero-delay timer, a queued call and a
// posted event, each counted as it runs.
struct Sent {
  Receiver receiver;
  int timers = 0;
  int queued = 0;

  void Send() {
    QTimer::singleShot(0, [this] { ++timers; });
    QMetaObject::invokeMethod(QCoreApplication::instance(), [this] { ++queued; }, Qt::QueuedConnection);
    QCoreApplication::postEvent(&receiver, new QEvent(Receiver::kType));
  }
  int Count() const { return timers + queued + receiver.received; }
  void Reset() { timers = queued = receiver.received = 0; }
};

class LongWorkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));
    rwtest::RunEventLoopPasses();
    widget.paints = 0;
  }
  rwtest::CountedWidget widget{QRect(0, 0, 40, 20)};
  Sent sent;
};

TEST_F(LongWorkTest, APacerReportsOnceAnIntervalAndPastItsGracePaintsButRunsNothingElse) {
  rwtest::TestTickClock clock;
  LongWork::Pacer pacer;
  LongWork::Pacer quiet(LongWork::Pacer::kNoPainting);
  sent.Send();
  widget.update();
  EXPECT_TRUE(pacer.Due()) << "the first report";
  clock.now += 99;
  EXPECT_FALSE(pacer.Due());
  clock.now += 1;
  EXPECT_TRUE(pacer.Due());
  EXPECT_EQ(widget.paints, 0) << "within the grace nothing is painted";
  clock.now += 400;
  EXPECT_TRUE(quiet.Due());
  EXPECT_EQ(widget.paints, 0) << "a pacer without painting never paints";
  EXPECT_TRUE(pacer.Due());
  EXPECT_EQ(widget.paints, 1) << "past the grace the window paints";
  widget.update();
  clock.now += 100;
  EXPECT_TRUE(pacer.Due());
  EXPECT_EQ(widget.paints, 2);
  // Work that reports no position ticks: past the grace, once an interval,
  // the pulse is drawn and painted.
  std::vector<int64_t> pulses;
  LongWork::SetPulse([this, &pulses](int64_t elapsedMs) {
    pulses.push_back(elapsedMs);
    widget.update();
  });
  LongWork::Pacer ticking;
  clock.now += 499;
  ticking.Tick();
  EXPECT_TRUE(pulses.empty()) << "within the grace";
  clock.now += 1;
  ticking.Tick();
  ticking.Tick();
  clock.now += 100;
  ticking.Tick();
  LongWork::SetPulse(nullptr);
  EXPECT_EQ(pulses, (std::vector<int64_t>{500, 600}));
  EXPECT_EQ(widget.paints, 4) << "each pulse painted at once";
  EXPECT_EQ(sent.Count(), 0) << "nothing else ran inside the work";
  EXPECT_TRUE(QTest::qWaitFor([this] { return sent.Count() == 3; }, rwtest::kWaitCeilingMs)) << "it runs after";
}

TEST_F(LongWorkTest, WorkOnAWorkerReportsItsStepsAndPaintsWhileTheWindowRunsNothingElse) {
  std::atomic<bool> painted{false};
  std::vector<int> reports;
  const auto paintedTwice = [this, &painted, &reports](int steps) {
    reports.push_back(steps);
    widget.update();
    if (widget.paints >= 2) painted = true;
  };
  sent.Send();
  const bool finished = LongWork::Run(
      [&painted](LongWork::Job& job) {
        job.Step();
        job.Step();
        // Until the window has painted twice, past the half second's grace.
        while (!painted) std::this_thread::sleep_for(std::chrono::milliseconds(5));
      },
      {.report = paintedTwice});
  EXPECT_TRUE(finished);
  EXPECT_GE(widget.paints, 2);
  ASSERT_FALSE(reports.empty());
  EXPECT_EQ(reports.back(), 2);
  EXPECT_EQ(sent.Count(), 0) << "nothing else ran inside the work";

  // Work that reports nothing pulses past the grace, so that the window shows
  // it goes on.
  std::atomic<bool> pulsedAndPainted{false};
  widget.paints = 0;
  LongWork::SetPulse([this, &pulsedAndPainted](int64_t elapsedMs) {
    EXPECT_GE(elapsedMs, LongWork::kGraceMs);
    if (widget.paints >= 2) pulsedAndPainted = true;
    widget.update();
  });
  EXPECT_TRUE(LongWork::Run([&pulsedAndPainted](LongWork::Job&) {
    while (!pulsedAndPainted) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }));
  LongWork::SetPulse(nullptr);
  EXPECT_GE(widget.paints, 2);

  // An exception of the work is thrown on the waiting thread.
  EXPECT_THROW(LongWork::Run([](LongWork::Job&) { throw std::runtime_error("no"); }), std::runtime_error);

  // A request to end the program cancels the work, which stops at its next step.
  QuitRequest::Request([] {});
  bool cancelled = false;
  EXPECT_TRUE(LongWork::Run([&cancelled](LongWork::Job& job) {
    while (!job.Cancelled()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    cancelled = true;
  }));
  // Work started after the request is cancelled from its start; a statement
  // of SQLite that would run for ever stops at its next step, rolled back.
  bool cancelledFromTheStart = false;
  EXPECT_TRUE(LongWork::Run([&](LongWork::Job& job) { cancelledFromTheStart = job.Cancelled(); }));
  QTemporaryDir folder;
  const QString file = folder.filePath(QStringLiteral("stop.db"));
  SqlConnection::Create(file)->Execute(QStringLiteral("CREATE TABLE t (n integer)"));
  bool stopped = false;
  try {
    LongWork::Run([&file](LongWork::Job& job) {
      const auto db = SqlConnection::Open(file);
      db->StopWhen([&job] { return job.Cancelled(); });
      db->Execute(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n) "
                                 "INSERT INTO t SELECT i FROM n"));
    });
  } catch (const RWError& error) {
    stopped = SqlConnection::IsStopped(error);
  }
  QuitRequest::Reset();
  EXPECT_TRUE(cancelled);
  EXPECT_TRUE(cancelledFromTheStart);
  EXPECT_TRUE(stopped);
  EXPECT_EQ(SqlConnection::Open(file)->OpenRecordset(QStringLiteral("SELECT count(*) FROM t"))->Value(0).toInt(), 0);
  EXPECT_EQ(sent.Count(), 0);
  EXPECT_TRUE(QTest::qWaitFor([this] { return sent.Count() == 3; }, rwtest::kWaitCeilingMs)) << "it runs after";
}

// Work that makes no step for the quiet limit is given up and cancelled; it
// ends by itself later, with what it owns.
TEST_F(LongWorkTest, WorkThatStopsAnsweringIsGivenUpAndEndsByItself) {
  rwtest::TestTickClock clock;
  clock.stepPerRead = 100;
  auto release = std::make_shared<std::atomic<bool>>(false);
  auto ended = std::make_shared<std::atomic<bool>>(false);
  auto cancelled = std::make_shared<std::atomic<bool>>(false);
  sent.Send();
  const bool finished = LongWork::Run(
      [release, ended, cancelled](LongWork::Job& job) {
        job.Step();
        while (!*release) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        *cancelled = job.Cancelled();
        *ended = true;
      },
      {.quietLimitMs = 3000});
  EXPECT_FALSE(finished);
  EXPECT_FALSE(*ended);
  EXPECT_EQ(sent.Count(), 0) << "nothing ran inside the wait";
  *release = true;
  EXPECT_TRUE(QTest::qWaitFor([&] { return ended->load(); }, rwtest::kWaitCeilingMs));
  EXPECT_TRUE(*cancelled) << "the work given up is told so";
}

// The two waits of the window's own thread, a pause and a window hidden
// before long work: they paint and run nothing else.
TEST_F(LongWorkTest, APauseAndWhatAHiddenWindowCoveredArePaintedAtOnceAndNothingElseRuns) {
  // A pause paints and runs nothing else.
  sent.Send();
  widget.update();
  LongWork::Pause(250);
  EXPECT_EQ(widget.paints, 1);
  EXPECT_EQ(sent.Count(), 0);
  EXPECT_TRUE(QTest::qWaitFor([this] { return sent.Count() == 3; }, rwtest::kWaitCeilingMs));

  // What a hidden window covered of the window under it is painted at once,
  // the window elsewhere on the screen is not painted.
  sent.Reset();
  widget.move(100, 100);
  rwtest::CountedWidget elsewhere(QRect(0, 0, 40, 20));
  elsewhere.move(400, 400);
  QWidget cover;
  cover.setGeometry(widget.geometry().adjusted(10, 5, 10, 5));
  cover.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&elsewhere));
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&cover));
  rwtest::RunEventLoopPasses();
  widget.paints = 0;
  elsewhere.paints = 0;
  const QRect covered = cover.frameGeometry();
  cover.hide();
  sent.Send();
  LongWork::PaintUncovered(covered);
  EXPECT_EQ(widget.paints, 1);
  EXPECT_EQ(elsewhere.paints, 0);
  EXPECT_EQ(sent.Count(), 0);

  // The window manager takes the hidden window's frame away a moment later:
  // the waits of long work paint the part again, a few times, and still
  // handle nothing else.
  LongWork::Done never;
  for (int wait = 0; wait < 4 * LongWork::kUncoveredRepaints && widget.paints <= LongWork::kUncoveredRepaints; ++wait) {
    LongWork::Wait().For(never, 2 * LongWork::kUncoveredMs);
  }
  EXPECT_EQ(widget.paints, 1 + LongWork::kUncoveredRepaints);
  LongWork::Wait().For(never, 2 * LongWork::kUncoveredMs);
  EXPECT_EQ(widget.paints, 1 + LongWork::kUncoveredRepaints) << "and then no more";
  EXPECT_EQ(elsewhere.paints, 0);
  EXPECT_EQ(sent.Count(), 0);
  EXPECT_TRUE(QTest::qWaitFor([this] { return sent.Count() == 3; }, rwtest::kWaitCeilingMs));
}

// What the window manager sends a window to close it (WM_DELETE_WINDOW),
// or the keyboard for Ctrl+Q (Q is key 24 in Xvfb's own map), through a
// connection of the test's own.
void SendAsTheWindowSystem(xcb_window_t window, bool ctrlQ) {
  xcb_connection_t* x = xcb_connect(nullptr, nullptr);
  const auto atom = [x](const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(x, xcb_intern_atom(x, 0, std::strlen(name), name), nullptr);
    const xcb_atom_t found = reply ? reply->atom : 0;
    std::free(reply);
    return found;
  };
  if (ctrlQ) {
    xcb_key_press_event_t key{};
    key.response_type = XCB_KEY_PRESS;
    key.detail = 24;
    key.state = XCB_MOD_MASK_CONTROL;
    key.event = window;
    key.same_screen = 1;
    xcb_send_event(x, 1, window, XCB_EVENT_MASK_KEY_PRESS, reinterpret_cast<const char*>(&key));
  } else {
    xcb_client_message_event_t close{};
    close.response_type = XCB_CLIENT_MESSAGE;
    close.format = 32;
    close.window = window;
    close.type = atom("WM_PROTOCOLS");
    close.data.data32[0] = atom("WM_DELETE_WINDOW");
    xcb_send_event(x, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&close));
  }
  // A round trip: the server has handled the sending before the connection goes.
  std::free(xcb_get_input_focus_reply(x, xcb_get_input_focus(x), nullptr));
  xcb_disconnect(x);
}

class CloseCounter : public QWidget {
 public:
  int closes = 0;

 protected:
  void closeEvent(QCloseEvent* event) override {
    ++closes;
    event->ignore();
  }
};

// On a real window system, the window manager's close of the main window and
// Ctrl+Q, sent while long work handles no event, are found in the queue as
// the work waits: the work stops at its next step and the request stays in
// the queue, for the event loop after the work.
TEST_F(LongWorkTest, ACloseOrCtrlQWaitingInTheWindowSystemsQueueEndsTheWorkAndStaysThere) {
  RW_ON_OWN_X_SERVER("the window system's queue is not tried");
  ASSERT_EQ(QGuiApplication::platformName(), QLatin1String("xcb"));
  CloseCounter main;
  main.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
  int requests = 0;
  QueuedClose::Set(&main, [&requests] {
    ++requests;
    QuitRequest::Request([] {});
  });
  const auto window = static_cast<xcb_window_t>(main.windowHandle()->winId());
  for (const bool ctrlQ : {false, true}) {
    bool cancelled = false;
    EXPECT_TRUE(LongWork::Run([&](LongWork::Job& job) {
      SendAsTheWindowSystem(window, ctrlQ);
      const QDeadlineTimer ceiling(rwtest::kWaitCeilingMs);
      while (!job.Cancelled() && !ceiling.hasExpired()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
      cancelled = job.Cancelled();
    }));
    EXPECT_TRUE(cancelled) << (ctrlQ ? "Ctrl+Q" : "the close");
    EXPECT_EQ(requests, ctrlQ ? 2 : 1);
    EXPECT_EQ(main.closes, ctrlQ ? 1 : 0) << "the close is handled after the work";
    QuitRequest::Reset();
    if (!ctrlQ) {
      EXPECT_TRUE(QTest::qWaitFor([&main] { return main.closes == 1; }, rwtest::kWaitCeilingMs));
    }
  }
  QueuedClose::Set(nullptr, {});
}

}  // namespace
