#pragma once

// Runs steps on the Qt GUI thread with a blocking queued invocation.

#include "platform/Thread.h"

class QObject;

namespace quenlo::platform {

class QtWindowThread final : public WindowThread {
public:
    // `context` lives on the GUI thread; steps are delivered through its
    // event queue, so they run in order and only while the event loop runs.
    explicit QtWindowThread(QObject* context) : context_(context) {}
    void runAndWait(const std::function<void()>& step) override;

private:
    QObject* context_;
};

}  // namespace quenlo::platform
