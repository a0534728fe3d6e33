#include "Support/CancellationError.h"
#include "Support/TaskScope.h"
#include "Support/TestEventLoop.h"
#include "ViewModelTestSupport.h"

#include <QThread>
#include <QTimer>

#include <stdexcept>
#include <thread>

namespace quorvelle::test {
namespace {

QCoro::Task<void> waitThenWrite(Sleeper sleep, QStringList* steps, TaskGuard guard) {
    *steps << QStringLiteral("started");
    co_await sleep(1.0, guard.stopToken);
    if (!guard) co_return;
    *steps << QStringLiteral("wrote");
}

TEST(TaskScope, AJobStopsWithItsOwnerOrHandleAndAFailureIsNeverLost) {
    ManualSleeper sleeper;
    QStringList orphaned, cancelled, kept;
    QList<std::exception_ptr> failures;
    auto owner = std::make_unique<QObject>();
    auto gone = std::make_unique<TaskScope>(owner.get());
    const TaskHandle orphan = gone->start([&](TaskGuard g) { return waitThenWrite(sleeper.sleeper(), &orphaned, g); });
    EXPECT_TRUE(orphan.isRunning());
    gone.reset();
    owner.reset();

    QObject stays;
    TaskScope scope(&stays, [&](std::exception_ptr failure) { failures << failure; });
    TaskHandle stopped = scope.start([&](TaskGuard g) { return waitThenWrite(sleeper.sleeper(), &cancelled, g); });
    scope.start([&](TaskGuard g) { return waitThenWrite(sleeper.sleeper(), &kept, g); });
    stopped.cancel();
    EXPECT_TRUE(stopped.isEmpty());
    settle();  // the stopped wait ends with CancellationError, which is no failure
    sleeper.finishAll();
    scope.start([](TaskGuard) -> QCoro::Task<void> {
        co_await sleepFor(0, {});
        throw std::runtime_error("disk full");
    });
    scope.start([](TaskGuard) -> QCoro::Task<void> {
        throw CancellationError();
        co_return;
    });
    settle();
    EXPECT_EQ(orphaned, QStringList{QStringLiteral("started")});
    EXPECT_FALSE(orphan.isRunning());
    EXPECT_EQ(cancelled, QStringList{QStringLiteral("started")});
    EXPECT_EQ(kept, (QStringList{QStringLiteral("started"), QStringLiteral("wrote")}));
    ASSERT_EQ(failures.size(), 1);
    EXPECT_THROW(std::rethrow_exception(failures[0]), std::runtime_error);
}

TEST(CancellableSleep, EndsWithCancellationWhenStoppedBeforeOrDuring) {
    std::stop_source before;
    before.request_stop();
    EXPECT_THROW(runTask(sleepFor(60, before.get_token())), CancellationError);

    std::stop_source during;
    std::thread other;
    QTimer::singleShot(0, [&] { other = std::thread([&] { during.request_stop(); }); });
    EXPECT_THROW(runTask(sleepFor(600, during.get_token())), CancellationError);
    other.join();

    EXPECT_NO_THROW(runTask(sleepFor(0, {})));
    EXPECT_NO_THROW(runTask(sleepFor(std::numeric_limits<double>::quiet_NaN(), {})));
}

using ViewModelThreads = ViewModelTest;

TEST_F(ViewModelThreads, AudioThreadValuesReachTheMainThreadAndNothingReachesAViewModelThatIsGone) {
    AppViewModel& vm = make();
    settle();
    QThread* deliveredOn = nullptr;
    QObject::connect(vm.session(), &SessionViewModel::audioLevelSnapshotChanged,
                     [&] { deliveredOn = QThread::currentThread(); });
    const AudioLevelSnapshot loud{-12.0, -3.0, std::vector<double>(12, 0.5)};
    fakes.audioCapture->sendLevelFromAnotherThread(loud);
    AudioCaptureDebugSnapshot seen = AudioCaptureDebugSnapshot::empty();
    seen.didObserveAudioFrames = true;
    fakes.audioCapture->sendDebugSnapshotFromAnotherThread(seen);
    settle();
    EXPECT_EQ(vm.session()->audioLevelSnapshot(), loud);
    EXPECT_EQ(deliveredOn, QThread::currentThread());
    EXPECT_EQ(vm.diagnostics()->diagnosticsSnapshot().captureSignalSummary,
              QStringLiteral("Audio frame goruldu ama non-silent sample yok."));

    // Values still queued and jobs still waiting when the view model goes write nothing.
    bool wrote = false;
    vm.context().tasks().start([&, sleep = fakes.dismissSleeper.sleeper()](TaskGuard guard) -> QCoro::Task<void> {
        co_await sleep(2.0, guard.stopToken);
        if (guard) wrote = true;
    });
    ASSERT_EQ(fakes.dismissSleeper.requestedSeconds(), QList<double>{2.0});
    fakes.audioCapture->sendLevelFromAnotherThread(AudioLevelSnapshot::silent());
    fakes.sessionCoordinator->fail(QuorvelleError(QuorvelleErrorCase::noSpeechDetected));
    viewModel.reset();
    fakes.dismissSleeper.finishAll();
    settle();
    EXPECT_FALSE(wrote);
}

TEST_F(ViewModelThreads, AFailedJobIsRecordedAsAnEvent) {
    AppViewModel& vm = make();
    vm.context().tasks().start([](TaskGuard) -> QCoro::Task<void> {
        throw std::runtime_error("refused Bearer abc.DEF-123");
        co_return;
    });
    settle();
    EXPECT_EQ(fakes.diagnostics->codes(), QStringList{QStringLiteral("runtime.error.unexpected")});
    // The error's text is kept, its credential is not.
    EXPECT_TRUE(fakes.diagnostics->stored[0].message.endsWith(QStringLiteral("refused [redacted]")));
}

}  // namespace
}  // namespace quorvelle::test
