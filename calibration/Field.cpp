#include "calibration/Field.h"

#include "calibration/FieldDryR.h"
#include "calibration/FieldTankR.h"
#include "comm/CommTiming.h"

#include <QDebug>
#include <QThread>

#include <cmath>

Field::Field() : Device(nullptr), m_Link(this) {}

Field::~Field() = default;

Field *Field::Create(const QString &type)
{
    if (type == QLatin1String("QNVA"))
        return new FieldTank;
    if (type == QLatin1String("QNVA-R"))
        return new FieldTankR;
    if (type == QLatin1String("QNLK"))
        return new FieldDry;
    if (type == QLatin1String("QNLK-R"))
        return new FieldDryR;
    return nullptr;
}

bool Field::Close()
{
    emit Close_signals();
    return m_Link.WaitConnected(false, CommTiming::get().connectPolls);
}

bool Field::IsOpen()
{
    return m_Link.IsConnected();
}

QStringList Field::GetModelList()
{
    return m_ModelList;
}

QStringList Field::GetSignalModeList()
{
    return m_SignalModeList;
}

bool Field::WriteData(const QString &line)
{
    m_Link.ClearBuffer();
    if (!m_Link.IsConnected())
        return false;
    emit Write_signals(line.toLatin1());
    return true;
}

bool Field::SetPointText(double t, QString &text)
{
    if (!std::isfinite(t)) {
        qWarning() << "Field: set point is no finite number:" << t;
        return false;
    }
    text = QString::number(t, 'f', 2);
    return true;
}

bool Field::OpenSource(const QString &type, const QString &address, const QString &parameter, QString &sn,
                       int polls)
{
    if (m_Link.IsConnected()) {
        // The flag of the old connection must not pass for the new one.
        emit Close_signals();
        m_Link.WaitConnected(false, CommTiming::get().connectPolls);
    }
    emit Open_signals(type, address, parameter.trimmed().toInt());
    m_Link.WaitConnected(true, polls);
    // A transport that did not connect makes the identity query fail at its first write; one
    // that dropped while the identity came is no open source either.
    if (CheckID(sn) && m_Link.IsConnected())
        return true;
    sn = QStringLiteral("ID Error");
    emit Close_signals();
    return false;
}

bool Field::ReadLine(QString &line, int polls)
{
    const int pause = CommTiming::get().lineReplyPollMs;
    QByteArray buffer;
    for (int i = 0; i < polls; ++i) {
        QThread::msleep(pause);
        buffer = m_Link.GetBuffer();
        QString text = QString::fromUtf8(buffer);
        if (!text.endsWith(QLatin1Char('\n')))
            continue;
        text.remove(QLatin1Char('\r'));
        text.remove(QLatin1Char('\n'));
        if (!text.isEmpty()) {
            line = text;
            return true;
        }
        // Only line ends: no reply will follow.
        m_Link.ClearBuffer();
        return false;
    }
    qDebug().nospace() << "读取失败：" << buffer;
    m_Link.ClearBuffer();
    return false;
}

bool Field::ToNumber(const QString &text, double &value)
{
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return false;
    value = v;
    return true;
}
