#include "support/FakeCollection.h"

#include "devices/AcquisitionDevice.h"

#include <QMutexLocker>
#include <QThread>

#include <algorithm>
#include <cmath>
#include <stdexcept>

// --- Script ------------------------------------------------------------------------------

void FakeCollection::Script::addChannel(quint32 number, const QString &unit, bool enabled)
{
    Struct_Channel channel;
    channel.Number = number;
    channel.Unit = unit;
    channel.Enabled = enabled;
    QMutexLocker lock(&m_mutex);
    m_channels.append(channel);
}

void FakeCollection::Script::setRecordFile(const QList<Struct_Channel> &header, const QList<Row> &rows)
{
    QMutexLocker lock(&m_mutex);
    m_hasRecordFile = true;
    m_header = header;
    m_rows = rows;
}

double FakeCollection::Sensor::resistance(double t) const
{
    if (kind == Platinum) {
        const double c = t < 0.0 ? p[3] : 0.0;
        return p[0] * (1.0 + p[1] * t + p[2] * t * t + c * (t - 100.0) * t * t * t);
    }
    // 1/T = a + b·x + c·x³ with x = ln R, solved for x (Cardano; one real root for b, c > 0).
    const double y = (p[0] - 1.0 / (t + 273.15)) / p[2];
    const double q = std::sqrt(std::pow(p[1] / (3.0 * p[2]), 3.0) + y * y / 4.0);
    return std::exp(std::cbrt(q - y / 2.0) - std::cbrt(q + y / 2.0));
}

bool FakeCollection::Script::enter(Call call)
{
    int delay = 0;
    bool fail = false;
    bool raise = false;
    {
        QMutexLocker lock(&m_mutex);
        const int n = ++m_calls[int(call)];
        const QPair<int, int> scripted = m_delay.value(int(call));
        delay = scripted.second == 0 || scripted.second == n ? scripted.first : 0;
        fail = m_failAt.value(int(call)).contains(n);
        raise = m_throwAt.value(int(call)).contains(n);
    }
    if (delay > 0)
        QThread::msleep(delay);
    if (raise)
        throw std::runtime_error("scripted driver fault");
    return !fail;
}

QList<double> FakeCollection::Script::scanValues(int index, const QList<Struct_Channel> &enabled) const
{
    if (!m_scans.isEmpty())
        return m_scans.at(qMin(index, m_scans.size() - 1));
    const double temperature = m_temperatures.isEmpty() ? 0.0 : m_temperatures.at(qMin(index, m_temperatures.size() - 1));
    QList<double> values;
    for (int j = 0; j < enabled.size(); ++j) {
        const auto sensor = m_sensors.constFind(enabled.at(j).Number);
        values.append(sensor != m_sensors.constEnd() ? sensor->resistance(temperature) : 10.0 * (j + 1) + index);
    }
    return values;
}

// --- Registration ------------------------------------------------------------------------

std::shared_ptr<FakeCollection::Script> FakeCollection::install(const QString &model)
{
    auto script = std::make_shared<Script>();
    AcquisitionDevice::RegisterModel(model, [script]() -> Collection * { return new FakeCollection(script); });
    return script;
}

// --- Driver ------------------------------------------------------------------------------

FakeCollection::FakeCollection(std::shared_ptr<Script> script, QObject *parent)
    : Collection(parent), m_script(std::move(script))
{
    QMutexLocker lock(&m_script->m_mutex);
    ++m_script->m_created;
    ++m_script->m_alive;
}

FakeCollection::~FakeCollection()
{
    QMutexLocker lock(&m_script->m_mutex);
    --m_script->m_alive;
}

bool FakeCollection::Connect(Call call, QString &text)
{
    if (!m_script->enter(call)) {
        m_open.store(false);
        text = QStringLiteral("Open Error");
        return false;
    }
    QMutexLocker lock(&m_script->m_mutex);
    m_open.store(true);
    text = m_script->m_serial;
    return true;
}

bool FakeCollection::Open(const QString &type, const QString &address, const QString &parameter, QString &text)
{
    RememberConnection(type, address, parameter);
    return Connect(Call::Open, text);
}

bool FakeCollection::Close()
{
    if (!m_script->enter(Call::Close))
        return false;
    m_open.store(false);
    const int linger = m_script->get(m_script->m_closeLinger);
    if (linger > 0)
        QThread::msleep(ulong(linger));
    return true;
}

bool FakeCollection::GetChannelConfig(const QStringList &channels, const QStringList &units)
{
    if (!m_script->enter(Call::GetChannelConfig))
        return false;
    QMutexLocker lock(&m_script->m_mutex);
    QList<Struct_Channel> records = m_script->m_channels;
    if (!channels.isEmpty() && !m_script->m_keepChannels) {
        for (Struct_Channel &record : records)
            record.Enabled = false;
        for (int i = 0; i < channels.size(); ++i) {
            bool ok = false;
            const quint32 number = channels.at(i).toUInt(&ok);
            auto it = std::find_if(records.begin(), records.end(),
                                   [number](const Struct_Channel &c) { return c.Number == number; });
            if (!ok || it == records.end())
                return false;
            it->Enabled = true;
            if (i < units.size())
                it->Unit = units.at(i);
        }
    }
    m_Channels = records;
    return true;
}

bool FakeCollection::StartScan(const QString &rate)
{
    if (!m_script->enter(Call::StartScan))
        return false;
    QMutexLocker lock(&m_script->m_mutex);
    m_script->m_lastRate = rate;
    return true;
}

bool FakeCollection::Scan(Call call, QList<double> &values)
{
    values.clear();
    if (!m_script->enter(call))
        return false;
    const QList<Struct_Channel> enabled = GetEnabledChannels();
    QMutexLocker lock(&m_script->m_mutex);
    int &taken = call == Call::GetOneData ? m_script->m_oneData : m_script->m_reads;
    values = m_script->scanValues(taken++, enabled);
    return true;
}

bool FakeCollection::GetOneChannelParameter(Struct_Channel &channel)
{
    if (!m_script->enter(Call::GetOneChannelParameter))
        return false;
    QMutexLocker lock(&m_script->m_mutex);
    for (const Struct_Channel &source : qAsConst(m_script->m_channels)) {
        if (source.Number != channel.Number)
            continue;
        for (QString Struct_Channel::*text : {&Struct_Channel::A, &Struct_Channel::B, &Struct_Channel::C, &Struct_Channel::D,
                                              &Struct_Channel::R0, &Struct_Channel::A4, &Struct_Channel::B4,
                                              &Struct_Channel::Parameter1, &Struct_Channel::Parameter2})
            channel.*text = source.*text;
        channel.Offset_M = source.Offset_M;
        channel.Offset_B = source.Offset_B;
        return true;
    }
    return false;
}

bool FakeCollection::SetChannelConfig(const QList<Struct_Channel> &channels, QString &message)
{
    if (!m_script->enter(Call::SetChannelConfig)) {
        message = QStringLiteral("Set Range Error！");
        return false;
    }
    for (const Struct_Channel &given : channels) {
        for (Struct_Channel &record : m_Channels) {
            if (record.Number == given.Number) {
                record.Type = given.Type;
                record.Function = given.Function;
                record.Wire = given.Wire;
                record.Unit = given.Unit;
            }
        }
    }
    QMutexLocker lock(&m_script->m_mutex);
    m_script->m_lastConfig = channels;
    return true;
}

bool FakeCollection::EnableOnlyChannels(const QList<Struct_Channel> &channels)
{
    if (!m_script->enter(Call::EnableOnlyChannels))
        return false;
    for (Struct_Channel &record : m_Channels) {
        record.Enabled = std::any_of(channels.begin(), channels.end(),
                                     [&record](const Struct_Channel &c) { return c.Number == record.Number; });
    }
    return true;
}

bool FakeCollection::SetOneChannelParameter(const Struct_Channel &channel)
{
    if (!m_script->enter(Call::SetOneChannelParameter))
        return false;
    QMutexLocker lock(&m_script->m_mutex);
    m_script->m_written.append(channel);
    return true;
}

bool FakeCollection::OpenCSVFile(const QString &, QList<Struct_Channel> &channels)
{
    if (!m_script->enter(Call::OpenCSVFile))
        return false;
    QMutexLocker lock(&m_script->m_mutex);
    if (!m_script->m_hasRecordFile)
        return false;
    channels = m_script->m_header;
    m_recordOpen = true;
    m_recordRow = 0;
    return true;
}

bool FakeCollection::GetCSVData(QDateTime &time, QStringList &values)
{
    values.clear();
    if (!m_script->enter(Call::GetCSVData) || !m_recordOpen)
        return false;
    QMutexLocker lock(&m_script->m_mutex);
    if (m_recordRow >= m_script->m_rows.size())
        return true;
    const Row &row = m_script->m_rows.at(m_recordRow++);
    time = row.time;
    values = row.values;
    return true;
}

bool FakeCollection::CloseCSVFile()
{
    const bool ok = m_script->enter(Call::CloseCSVFile);
    m_recordOpen = false;
    return ok;
}
