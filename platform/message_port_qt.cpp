#include "platform/message_port_qt.h"

#include <QMetaObject>
#include <QPointer>
#include <QSocketNotifier>

#include <atomic>
#include <mutex>
#include <unistd.h>

namespace platform {
namespace {
std::atomic<MessagePort*> g_instance{nullptr};
// Messages still waiting for a full receiver get this long when the port goes.
constexpr int FLUSH_AT_END_MS = 2000;
}

// Queues local messages into the port's thread. Kept alive by postMessage
// while it delivers, and closed before the port goes away.
class MessagePort::Delivery : public LocalDelivery {
public:
    explicit Delivery(MessagePort* port) : port_(port) {}
    void deliver(const Message& m) override {
        std::lock_guard lock(mutex_);
        if (!port_) return;
        MessagePort* port = port_;
        QMetaObject::invokeMethod(port, [port, m] { port->dispatch(m); }, Qt::QueuedConnection);
    }
    void close() {
        std::lock_guard lock(mutex_);
        port_ = nullptr;
    }

private:
    std::mutex mutex_;
    MessagePort* port_;
};

MessagePort::MessagePort(QObject* parent) : QObject(parent) {
    endpoint_ = MessageEndpoint::open();
    if (endpoint_) {
        notifier_ = new QSocketNotifier(static_cast<qintptr>(endpoint_->fd()), QSocketNotifier::Read, this);
        connect(notifier_, &QSocketNotifier::activated, this, [this] { readSocket(); });
    }
    delivery_ = std::make_shared<Delivery>(this);
    setLocalDelivery(delivery_);
    g_instance.store(this);
}

MessagePort::~MessagePort() {
    MessagePort* self = this;
    g_instance.compare_exchange_strong(self, nullptr);
    setLocalDelivery(nullptr);
    delivery_->close();
    flushPostedMessages(FLUSH_AT_END_MS);
    // The endpoint's destructor removes the socket file.
}

MessagePort* MessagePort::instance() { return g_instance.load(); }

WindowHandle MessagePort::handleFor(int k) { return makeWindowHandle(::getpid(), k); }

WindowHandle MessagePort::registerWindow(int k, Handler handler) {
    if (k < 0 || k >= HANDLES_PER_PROCESS) return -1;
    const WindowHandle handle = handleFor(k);
    handlers_[handle] = std::move(handler);
    return handle;
}

WindowHandle MessagePort::registerNextWindow(Handler handler) {
    for (int k = 2; k < HANDLES_PER_PROCESS; ++k)
        if (!isRegistered(handleFor(k))) return registerWindow(k, std::move(handler));
    return -1;
}

void MessagePort::unregisterWindow(WindowHandle handle) { handlers_.erase(handle); }

int MessagePort::refusedCount() const { return endpoint_ ? endpoint_->refusedCount() : 0; }

void MessagePort::readSocket() {
    // Queue rather than dispatch here: handlers may open modal dialogs, and
    // messages then keep their order with the ones already queued.
    while (auto received = endpoint_->receive()) {
        const Message m = received->message;
        QMetaObject::invokeMethod(this, [this, m] { dispatch(m); }, Qt::QueuedConnection);
    }
}

void MessagePort::dispatch(const Message& m) {
    const auto it = handlers_.find(m.target);
    const bool handled = it != handlers_.end();
    if (handled) {
        // A copy: the handler may unregister itself.
        const Handler handler = it->second;
        QPointer<MessagePort> guard(this);
        handler(m.msg, m.wParam, m.lParam);
        if (!guard) return;
    }
    emit messageDispatched(m.target, m.msg, m.wParam, m.lParam, handled);
}

}  // namespace platform
