#include "comm/CommLink.h"

#include "comm/CommTiming.h"
#include "comm/ToolComm.h"

#include <QDebug>
#include <QThread>

CommLink::CommLink(QObject *owner, Mode mode)
    : m_thread(new QThread), m_comm(new ToolComm)
{
    m_comm->moveToThread(m_thread);
    bool wired =
        QObject::connect(owner, SIGNAL(Open_signals(QString,QString,int)), m_comm, SLOT(Open_slots(QString,QString,int)))
        && QObject::connect(owner, SIGNAL(Write_signals(QByteArray)), m_comm, SLOT(Write_slots(QByteArray)))
        && QObject::connect(owner, SIGNAL(Close_signals()), m_comm, SLOT(Close_slots()));
    if (mode == Mode::Passthrough) {
        m_comm->SetPassthrough(true);
        wired = QObject::connect(m_comm, SIGNAL(Read_signals(QByteArray)), owner, SLOT(ReadData_slots(QByteArray)))
            && wired;
    }
    if (!wired)
        qWarning() << Q_FUNC_INFO << "owner lacks the transport signals (or ReadData_slots):" << owner->metaObject()->className();
    QObject::connect(m_thread, &QThread::finished, m_comm, &QObject::deleteLater);
    m_thread->start();
}

CommLink::~CommLink()
{
    m_thread->quit();
    m_thread->wait();
    delete m_thread;
}

bool CommLink::IsConnected() const
{
    return m_comm->IsConnected();
}

void CommLink::ClearBuffer()
{
    m_comm->ClearBuffer();
}

QByteArray CommLink::GetBuffer() const
{
    return m_comm->TakeBuffer();
}

bool CommLink::WaitConnected(bool connected, int polls) const
{
    const int pause = CommTiming::get().connectPollMs;
    for (int i = 0; i < polls; ++i) {
        if (m_comm->IsConnected() == connected)
            return true;
        QThread::msleep(pause);
    }
    return m_comm->IsConnected() == connected;
}
