#include "comm/threadhandoff.h"

#include <QCoreApplication>

#if defined(__SANITIZE_THREAD__)
extern "C" void __tsan_acquire(void *address);
extern "C" void __tsan_release(void *address);
#endif

namespace threadhandoff {

#if defined(__SANITIZE_THREAD__)
namespace {

// One token for every hand-off: a little more ordering than the real queues give, never less.
char g_token;

}  // namespace
#endif

CallEvent::CallEvent(std::function<void()> call) : QEvent(eventType()), m_call(std::move(call)) {}

QEvent::Type CallEvent::eventType() {
    static const auto type = QEvent::Type(QEvent::registerEventType());
    return type;
}

void CallEvent::run() {
    m_call();
}

void post(QObject *receiver, std::function<void()> call) {
    auto *event = new CallEvent(std::move(call));
    release();
    QCoreApplication::postEvent(receiver, event);
    release();  // also covers what postEvent itself wrote, in the usual case that it is not consumed yet
}

bool handle(QEvent *event) {
    acquire();
    if (event->type() != CallEvent::eventType()) {
        return false;
    }
    static_cast<CallEvent *>(event)->run();
    return true;
}

void release() {
#if defined(__SANITIZE_THREAD__)
    __tsan_release(&g_token);
#endif
}

void acquire() {
#if defined(__SANITIZE_THREAD__)
    __tsan_acquire(&g_token);
#endif
}

}  // namespace threadhandoff
