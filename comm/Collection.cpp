#include "comm/Collection.h"

#include "comm/CommTiming.h"
#include "comm/ToolComm.h"

Collection::Collection(QObject *parent) : Device(parent), m_Link(this) {}

Collection::~Collection() = default;

bool Collection::Close()
{
    emit Close_signals();
    return m_Link.WaitConnected(false, CommTiming::get().connectPolls);
}

bool Collection::IsOpen()
{
    return m_Link.IsConnected();
}

bool Collection::Reconnect(QString &text)
{
    return Open(m_SignalMode, m_Signal1, m_Signal2, text);
}

void Collection::RememberConnection(const QString &type, const QString &address, const QString &parameter)
{
    m_SignalMode = type;
    m_Signal1 = address;
    m_Signal2 = parameter;
}

bool Collection::OpenTransport(const QString &type, const QString &address, const QString &parameter)
{
    RememberConnection(type, address, parameter);
    const int polls = CommTiming::get().connectPolls;
    if (m_Link.IsConnected()) {
        // The flag of the old connection must not pass for the new one.
        emit Close_signals();
        m_Link.WaitConnected(false, polls);
    }
    emit Open_signals(type, address, parameter.trimmed().toInt());
    return m_Link.WaitConnected(true, polls);
}

bool Collection::GetChannelConfig(const QStringList &, const QStringList &)
{
    return false;
}

QList<Struct_Channel> Collection::GetEnabledChannels()
{
    QList<Struct_Channel> enabled;
    for (const Struct_Channel &channel : qAsConst(m_Channels)) {
        if (channel.Enabled)
            enabled.append(channel);
    }
    return enabled;
}

bool Collection::StartScan(const QString &)
{
    return false;
}

bool Collection::WriteOneScan()
{
    return true;
}

bool Collection::ReadOneScan(QList<double> &)
{
    return false;
}

bool Collection::OpenCSVFile(const QString &, QList<Struct_Channel> &)
{
    return false;
}

bool Collection::GetCSVData(QDateTime &, QStringList &values)
{
    values.clear();
    return false;
}

bool Collection::CloseCSVFile()
{
    return false;
}

bool Collection::GetOneChannelParameter(Struct_Channel &)
{
    return false;
}

bool Collection::SetChannelConfig(const QList<Struct_Channel> &, QString &message)
{
    message = tr("Set Range Error！");
    return false;
}

bool Collection::EnableOnlyChannels(const QList<Struct_Channel> &)
{
    return false;
}

bool Collection::getOneData(QList<double> &values)
{
    values.clear();
    return WriteOneScan() && ReadOneScan(values);
}

bool Collection::SetOneChannelParameter(const Struct_Channel &)
{
    return false;
}

void Collection::ClearBuffer()
{
    m_Link.ClearBuffer();
}

QByteArray Collection::GetBuffer()
{
    return m_Link.GetBuffer();
}
