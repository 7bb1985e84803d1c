#pragma once

#include <QCoreApplication>
#include <QThread>

#include <functional>

// Runs fn on a thread of its own, the way the product's workers call drivers, while this
// thread keeps processing its events (so peers living here, such as a QTcpServer, answer).
// Returns when fn has returned.
inline void callInWorker(const std::function<void()> &fn)
{
    QThread *worker = QThread::create(fn);
    worker->start();
    while (!worker->wait(5))
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    delete worker;
}

// The same for a function with a result, which is returned.
template <class Fn>
auto resultInWorker(Fn fn) -> decltype(fn())
{
    decltype(fn()) result{};
    callInWorker([&]() { result = fn(); });
    return result;
}
