#pragma once
// Runs a call that may block for long (a slow or dead medium, a media file's
// facts) on a helper thread, while the calling user-interface thread keeps
// its message loop running, and returns the call's result.
#include <QEventLoop>
#include <QThread>

#include <memory>
#include <optional>
#include <type_traits>

template <typename Work>
auto RunOffUiThread(Work work) -> std::invoke_result_t<Work> {
  using Result = std::invoke_result_t<Work>;
  QEventLoop loop;
  if constexpr (std::is_void_v<Result>) {
    std::unique_ptr<QThread> thread(QThread::create(std::move(work)));
    QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    thread->start();
    loop.exec();
    thread->wait();
  } else {
    std::optional<Result> result;
    std::unique_ptr<QThread> thread(QThread::create([&result, &work] { result.emplace(work()); }));
    QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    thread->start();
    loop.exec();
    thread->wait();
    return std::move(*result);
  }
}
