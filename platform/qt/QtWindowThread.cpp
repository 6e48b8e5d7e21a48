#include "platform/qt/QtWindowThread.h"

#include <QMetaObject>
#include <QObject>
#include <QThread>
#include <exception>

namespace quenlo::platform {

void QtWindowThread::runAndWait(const std::function<void()>& step) {
    if (QThread::currentThread() == context_->thread()) {
        step();
        return;
    }
    std::exception_ptr failure;
    QMetaObject::invokeMethod(
        context_,
        [&] {
            try {
                step();
            } catch (...) {
                failure = std::current_exception();
            }
        },
        Qt::BlockingQueuedConnection);
    if (failure) {
        std::rethrow_exception(failure);
    }
}

}  // namespace quenlo::platform
