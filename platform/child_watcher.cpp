#include "platform/child_watcher.h"

#include "platform/process.h"

#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <sys/wait.h>
#include <unistd.h>

namespace platform {
namespace {
constexpr int POLL_INTERVAL_MS = 200;
}

ChildWatcher::ChildWatcher(QObject* parent) : QObject(parent) {
    timer_ = new QTimer(this);
    timer_->setInterval(POLL_INTERVAL_MS);
    connect(timer_, &QTimer::timeout, this, [this] { pollAll(); });
}

ChildWatcher::~ChildWatcher() {
    for (auto& [pid, w] : watched_) {
        delete w.notifier;
        if (w.pidfd >= 0) ::close(w.pidfd);
    }
}

void ChildWatcher::watch(pid_t pid) {
    if (pid <= 0 || isWatching(pid)) return;
    Watch w;
    w.pidfd = openExitDescriptor(pid);
    if (w.pidfd >= 0) {
        w.notifier = new QSocketNotifier(static_cast<qintptr>(w.pidfd), QSocketNotifier::Read, this);
        connect(w.notifier, &QSocketNotifier::activated, this, [this, pid] { check(pid); });
    } else if (!timer_->isActive()) {
        timer_->start();
    }
    watched_[pid] = w;
    // A child that is already gone: the pidfd (or the timer) may never
    // fire for it, so look once from the event loop.
    QTimer::singleShot(0, this, [this, pid] { check(pid); });
}

void ChildWatcher::forget(pid_t pid) {
    const auto it = watched_.find(pid);
    if (it == watched_.end()) return;
    if (it->second.notifier) {
        it->second.notifier->setEnabled(false);
        it->second.notifier->deleteLater();
    }
    if (it->second.pidfd >= 0) ::close(it->second.pidfd);
    watched_.erase(it);
}

void ChildWatcher::check(pid_t pid) {
    if (!isWatching(pid)) return;
    int status = 0;
    const ReapResult r = reapChild(pid, &status);
    if (r == ReapResult::Running) return;
    if (r == ReapResult::NotAChild) status = -1;  // reaped elsewhere
    forget(pid);
    emit exited(static_cast<qint64>(pid), status);
}

void ChildWatcher::pollAll() {
    std::vector<pid_t> pids;
    for (const auto& [pid, w] : watched_)
        if (w.pidfd < 0) pids.push_back(pid);
    for (pid_t pid : pids) check(pid);
    bool anyPolled = false;
    for (const auto& [pid, w] : watched_) anyPolled = anyPolled || w.pidfd < 0;
    if (!anyPolled) timer_->stop();
}

}  // namespace platform
