// The Qt side of the message transport (see message_port.h): one
// MessagePort per process, created in main() after the QApplication.
//
// It binds the process's socket, installs the local delivery for handles of
// this process, and dispatches every message on the thread the port lives on
// (the GUI thread): messages posted inside the process travel through the Qt
// event queue, so postMessage is safe from any thread and a render thread's
// messages arrive in the order posted; messages from other processes are
// read when the socket becomes readable and queued the same way.
//
// Windows register a handler under an index k (handle pid * 256 + k);
// k = 0 is the process itself (WM_CLOSE to pid * 256). A message whose
// handle has no handler when it is dispatched is dropped.
//
// Destroying the port waits (up to 2 s) for messages still queued for
// other processes (see flushPostedMessages). Destroy the port only after every thread that posts to this process has
// ended or stopped posting; later posts to local handles are dropped.
#pragma once

#include "platform/message_port.h"

#include <QObject>

#include <functional>
#include <map>
#include <memory>

class QSocketNotifier;

namespace platform {

class MessagePort : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void(int msg, int wParam, int lParam)>;

    explicit MessagePort(QObject* parent = nullptr);
    ~MessagePort() override;

    // The port of this process, or nullptr before it is created.
    static MessagePort* instance();

    // True when the socket is bound (messages from other processes arrive).
    bool isListening() const { return endpoint_ != nullptr; }

    // Registers a handler for index k (0..255) and returns its handle; a
    // handler already registered under k is replaced.
    WindowHandle registerWindow(int k, Handler handler);
    // Registers under the lowest free index from 2 on; -1 when none is free.
    WindowHandle registerNextWindow(Handler handler);
    void unregisterWindow(WindowHandle handle);
    bool isRegistered(WindowHandle handle) const { return handlers_.count(handle) != 0; }

    // The handle of index k in this process.
    static WindowHandle handleFor(int k);

    // Messages from other processes refused so far (other user, pid mismatch, ...).
    int refusedCount() const;

signals:
    // Emitted after every dispatched message (handled or dropped), for tests.
    void messageDispatched(int target, int msg, int wParam, int lParam, bool handled);

private:
    class Delivery;
    void readSocket();
    void dispatch(const Message& m);

    std::unique_ptr<MessageEndpoint> endpoint_;
    QSocketNotifier* notifier_ = nullptr;
    std::map<WindowHandle, Handler> handlers_;
    std::shared_ptr<Delivery> delivery_;
};

}  // namespace platform
