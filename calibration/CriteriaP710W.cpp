#include "calibration/CriteriaP710W.h"

#include "comm/CommTiming.h"

#include <QDebug>
#include <QMutexLocker>
#include <QThread>
#include <QtEndian>

#include <cmath>
#include <cstring>

namespace {
const QString StartCommand = QStringLiteral("04050200");
const QString StopCommand = QStringLiteral("04050101");
constexpr int FrameSize = 24;
constexpr int TemperatureOffset = 18;
constexpr int MaxReadings = 10;
}

CriteriaP710W::CriteriaP710W() : m_Link(this, CommLink::Mode::Passthrough) {}

CriteriaP710W::~CriteriaP710W() = default;

QString CriteriaP710W::GetCheckSum(const QString &command)
{
    const QString text = command.left(16);
    int check = 0;
    for (int i = 0; i + 1 < text.size(); i += 2)
        check ^= text.mid(i, 2).toInt(nullptr, 16);
    return QStringLiteral("%1").arg(check, 2, 16, QLatin1Char('0'));
}

bool CriteriaP710W::Open(const QString &type, const QString &address, const QString &parameter, QString &sn)
{
    if (m_Link.IsConnected())
        return false;
    Forget();
    emit Open_signals(type, address, parameter.trimmed().toInt());
    const bool connected = m_Link.WaitConnected(true, CommTiming::get().connectPolls);
    {
        QMutexLocker lock(&m_Mutex);
        m_ID = address;
    }
    sn = address;
    return connected;
}

bool CriteriaP710W::Close()
{
    if (!WriteHex(StopCommand + GetCheckSum(StopCommand)))
        qDebug() << "写入数据失败";
    QThread::msleep(CommTiming::get().thermometerPauseMs);
    emit Close_signals();
    const bool closed = m_Link.WaitConnected(false, CommTiming::get().connectPolls);
    Forget();
    return closed;
}

bool CriteriaP710W::IsOpen()
{
    return m_Link.IsConnected();
}

bool CriteriaP710W::GetID(QString &id)
{
    QMutexLocker lock(&m_Mutex);
    id = m_ID;
    return true;
}

bool CriteriaP710W::Start()
{
    QThread::msleep(CommTiming::get().thermometerPauseMs);
    return WriteHex(StartCommand + GetCheckSum(StartCommand));
}

bool CriteriaP710W::ReadTemp(double &t)
{
    const CommTiming timing = CommTiming::get();
    for (int i = 0; i < timing.readingPolls; ++i) {
        QThread::msleep(timing.readingPollMs);
        QMutexLocker lock(&m_Mutex);
        if (!m_Link.IsConnected()) {
            // A reading taken before the link went down must not pass for a current one.
            m_Buffer.clear();
            m_Readings.clear();
            return false;
        }
        if (!m_Readings.isEmpty()) {
            const double value = m_Readings.last();
            m_Readings.clear();
            if (!IsTemperature(value)) {
                qWarning() << "CriteriaP710W: reading" << value << "is no temperature";
                return false;
            }
            t = value;
            return true;
        }
    }
    return false;
}

bool CriteriaP710W::IsReady()
{
    return false;
}

bool CriteriaP710W::WriteHex(const QString &hex)
{
    {
        QMutexLocker lock(&m_Mutex);
        m_Buffer.clear();
    }
    if (!m_Link.IsConnected())
        return false;
    emit Write_signals(QByteArray::fromHex(hex.toLatin1()));
    return true;
}

void CriteriaP710W::ReadData_slots(QByteArray data)
{
    QMutexLocker lock(&m_Mutex);
    m_Buffer.append(data);
    if (m_Buffer.size() < FrameSize)
        return;
    const bool frame = quint8(m_Buffer.at(0)) == 0x17 && quint8(m_Buffer.at(1)) == 0x05;
    const quint32 bits = qFromBigEndian<quint32>(m_Buffer.constData() + TemperatureOffset);
    // Bytes behind the frame go with it.
    m_Buffer.clear();
    if (!frame)
        return;
    float value = 0.0f;
    std::memcpy(&value, &bits, sizeof value);
    if (!std::isfinite(value)) {
        qWarning() << "CriteriaP710W: reading frame without a finite temperature dropped";
        return;
    }
    m_Readings.append(double(value));
    if (m_Readings.size() > MaxReadings)
        m_Readings.clear();
}

void CriteriaP710W::Forget()
{
    QMutexLocker lock(&m_Mutex);
    m_Buffer.clear();
    m_Readings.clear();
}
