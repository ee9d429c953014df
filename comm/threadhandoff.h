#pragma once

#include <QEvent>
#include <QObject>
#include <functional>

// Running a call in another object's thread through its event queue.
//
// Qt's event queue is guarded by a futex-based mutex that ThreadSanitizer does not see, so
// every hand-off would look like a data race to it. The calls posted here carry explicit
// happens-before annotations (no-ops in ordinary builds): whatever the poster did before
// posting is visible to the call.
namespace threadhandoff {

class CallEvent : public QEvent {
  public:
    explicit CallEvent(std::function<void()> call);
    static QEvent::Type eventType();
    void run();

  private:
    std::function<void()> m_call;
};

// Queues call for receiver's thread; the receiver's event() passes it to handle().
void post(QObject *receiver, std::function<void()> call);
// Runs event if it is a CallEvent; false otherwise.
bool handle(QEvent *event);

// Runs the calls posted to it, in its own thread.
class CallReceiver : public QObject {
  public:
    explicit CallReceiver(QObject *parent) : QObject(parent) {}
    bool event(QEvent *event) override { return handle(event) || QObject::event(event); }
};

// Like a queued connection from sender's signal to fn in context's thread, with the
// arguments copied in the emitting thread and handed over as above. The connection ends with
// context.
template <typename Sender, typename... Args, typename Fn>
QMetaObject::Connection connectQueued(Sender *sender, void (Sender::*signal)(Args...), QObject *context,
                                      Fn fn) {
    auto *receiver = new CallReceiver(context);
    return QObject::connect(
        sender, signal, receiver,
        [receiver, fn](Args... args) { post(receiver, [fn, args...] { fn(args...); }); },
        Qt::DirectConnection);
}

// Suppressions for a ThreadSanitizer build: Qt's own synchronisation that no annotation can
// reach. A finished QThread wakes its waiters after the last point any project code runs in
// it; QtTest runs a watchdog thread. Every executable links tools/common/sanitizerdefaults.cpp,
// which returns this from __tsan_default_suppressions().
constexpr const char *kSanitizerSuppressions =
    "called_from_lib:libQt5Core.so.5\n"
    "race:QWaitCondition::~QWaitCondition\n"
    "race:QTest::qRun\n";

// The annotations themselves, for hand-offs made some other way.
void release();
void acquire();

}  // namespace threadhandoff
