// Notice of ended child processes inside a Qt event loop (a viewer that
// crashed, was killed or failed to start never posts its closing message).
//
// watch(pid) reaps the child when it ends (removing the message socket it
// left, see reapChild) and emits exited(pid, status) on the watcher's
// thread, once. It uses a pidfd where the system has one and
// otherwise looks every 200 ms.
#pragma once

#include <QObject>

#include <sys/types.h>

#include <map>

class QSocketNotifier;
class QTimer;

namespace platform {

class ChildWatcher : public QObject {
    Q_OBJECT
public:
    explicit ChildWatcher(QObject* parent = nullptr);
    ~ChildWatcher() override;

    // Starts watching a child of this process. A child that has already
    // ended is reported from the event loop.
    void watch(pid_t pid);
    // Stops watching without reaping (someone else waits for it).
    void forget(pid_t pid);
    bool isWatching(pid_t pid) const { return watched_.count(pid) != 0; }

signals:
    // status as waitpid gives it; -1 when the child had been reaped elsewhere.
    void exited(qint64 pid, int status);

private:
    void check(pid_t pid);
    void pollAll();

    struct Watch {
        int pidfd = -1;
        QSocketNotifier* notifier = nullptr;
    };
    std::map<pid_t, Watch> watched_;
    QTimer* timer_ = nullptr;
};

}  // namespace platform
