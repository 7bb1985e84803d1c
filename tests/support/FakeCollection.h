#pragma once

#include "comm/Collection.h"
#include "devices/AcquisitionDevice.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QMutex>
#include <QMutexLocker>
#include <QString>
#include <QStringList>

#include <atomic>
#include <memory>

// A scripted acquisition driver for tests. It opens no transport: every operation answers
// from a Script that the test fills and inspects:
//     auto script = FakeCollection::install("FAKE-1");   // the factory now makes it for "FAKE-1"
//     script->addChannel(1, "℃");
//     script->failAt(FakeCollection::Call::ReadOneScan, 3); // the third read fails
//     ... QCOMPARE(script->calls(FakeCollection::Call::ReadOneScan), 4);
//     FakeCollection::uninstall("FAKE-1");
// One Script serves every driver made for its model; counters count over all of them. Script
// and drivers are thread-safe as the product uses drivers (one worker thread per driver at a
// time, counters read from the test thread).
//
// Each operation first counts the call, waits its scripted delay, then throws or fails if the
// call number is scripted to. Then:
// - Open / Reconnect: opens the driver and puts the serial number into text; failing, closes it
//   and puts "Open Error" there. Open remembers the connection texts. Close closes (failing, the
//   driver stays open). IsOpen is neither counted nor failed.
// - GetChannelConfig(numbers, units): the records become the scripted channels; with numbers
//   given (and keepChannels off) exactly those are enabled, in script order, with the given
//   units, and an unscripted number fails. GetEnabledChannels works on those records.
// - StartScan(rate) remembers the rate (lastRate()); WriteOneScan succeeds.
// - ReadOneScan / getOneData: scan k (the successful calls of that operation so far) gives
//   scans[k] of setScans() (the last one past the list); without scans, one value per enabled
//   channel j: 10 * (j + 1) + k, or for a channel with a sensor its resistance at temperature k
//   of setTemperatures() (the last one past the list).
// - GetOneChannelParameter copies coefficients, factors and parameters of the scripted channel
//   of that number (an unknown number fails); SetChannelConfig copies type, function, wiring and
//   unit into the records (remembered in lastChannelConfig(); failing says "Set Range Error！");
//   EnableOnlyChannels enables exactly the given numbers; SetOneChannelParameter appends the
//   record to written().
// - OpenCSVFile / GetCSVData / CloseCSVFile replay setRecordFile() (without one OpenCSVFile
//   fails); a GetCSVData call scripted to fail is a line that does not fit; after the last row
//   it reports the end (true, empty values).
class FakeCollection : public Collection
{
    Q_OBJECT
public:
    enum class Call {
        Open, Close, Reconnect, GetChannelConfig, StartScan, WriteOneScan, ReadOneScan, GetOneData,
        GetOneChannelParameter, SetChannelConfig, EnableOnlyChannels, SetOneChannelParameter,
        OpenCSVFile, GetCSVData, CloseCSVFile
    };

    struct Row {
        QDateTime time;
        QStringList values;
    };

    // A sensor on a channel, answering its resistance (Ω) at a temperature (℃).
    struct Sensor {
        enum Kind { Platinum, Thermistor };
        Kind kind = Platinum;
        // Platinum (IEC 60751): R0, A, B, C of R(t) = R0·(1 + A·t + B·t² + C·(t − 100)·t³),
        // the C term below 0 ℃ only. Thermistor (Steinhart–Hart): a, b, c of
        // 1/T = a + b·ln R + c·(ln R)³, T in K; p[3] unused.
        double p[4] = {100.0, 3.9083e-3, -5.775e-7, -4.183e-12};

        // The standard Pt100.
        static Sensor pt100() { return Sensor(); }
        static Sensor thermistor(double a, double b, double c)
        {
            Sensor s;
            s.kind = Thermistor;
            s.p[0] = a;
            s.p[1] = b;
            s.p[2] = c;
            s.p[3] = 0.0;
            return s;
        }
        double resistance(double t) const;
    };

    class Script
    {
    public:
        // --- set-up ---------------------------------------------------------------------
        void setSerial(const QString &serial) { set(m_serial, serial); }
        // Replaces the instrument's channels.
        void setChannels(const QList<Struct_Channel> &channels) { set(m_channels, channels); }
        // Appends one enabled (or disabled) channel with that number and unit.
        void addChannel(quint32 number, const QString &unit, bool enabled = true);
        // GetChannelConfig leaves the scripted records as they are (to provoke mismatches).
        void setKeepChannels(bool keep) { set(m_keepChannels, keep); }
        void setScans(const QList<QList<double>> &scans) { set(m_scans, scans); }
        void setRecordFile(const QList<Struct_Channel> &header, const QList<Row> &rows);
        // The channel of that number carries the sensor.
        void setSensor(quint32 number, const Sensor &sensor) { QMutexLocker lock(&m_mutex); m_sensors.insert(number, sensor); }
        // Scan k finds the sensors at temperature k (℃), the last one once k is past the list.
        void setTemperatures(const QList<double> &temperatures) { set(m_temperatures, temperatures); }
        // Call number n (from 1, over all drivers of the model) of the operation fails.
        void failAt(Call call, int n) { QMutexLocker lock(&m_mutex); m_failAt[int(call)].append(n); }
        void clearFailures() { QMutexLocker lock(&m_mutex); m_failAt.clear(); }
        // Call number n of the operation throws std::runtime_error (a fault escaping a driver).
        void throwAt(Call call, int n) { QMutexLocker lock(&m_mutex); m_throwAt[int(call)].append(n); }
        // The operation sleeps this long before it answers: every call, or only call number n.
        void setDelay(Call call, int ms, int n = 0) { QMutexLocker lock(&m_mutex); m_delay[int(call)] = {ms, n}; }
        // A successful Close sleeps this long once the driver is closed, before it returns.
        void setCloseLinger(int ms) { set(m_closeLinger, ms); }

        // --- inspection ------------------------------------------------------------------
        int calls(Call call) const { QMutexLocker lock(&m_mutex); return m_calls.value(int(call)); }
        int created() const { return get(m_created); }  // drivers made for the model so far
        int alive() const { return get(m_alive); }      // drivers not yet deleted
        QString lastRate() const { return get(m_lastRate); }
        QList<Struct_Channel> lastChannelConfig() const { return get(m_lastConfig); }
        QList<Struct_Channel> written() const { return get(m_written); }

    private:
        friend class FakeCollection;
        template <class T> void set(T &field, const T &value)
        {
            QMutexLocker lock(&m_mutex);
            field = value;
        }
        template <class T> T get(const T &field) const
        {
            QMutexLocker lock(&m_mutex);
            return field;
        }
        // Counts the call, sleeps its delay and tells whether it is scripted to fail.
        bool enter(Call call);
        QList<double> scanValues(int index, const QList<Struct_Channel> &enabled) const;

        mutable QMutex m_mutex;
        QString m_serial = QStringLiteral("FAKE0001");
        QList<Struct_Channel> m_channels;
        bool m_keepChannels = false;
        QList<QList<double>> m_scans;
        bool m_hasRecordFile = false;
        QList<Struct_Channel> m_header;
        QList<Row> m_rows;
        QHash<quint32, Sensor> m_sensors;
        QList<double> m_temperatures;
        QHash<int, int> m_calls;
        QHash<int, QList<int>> m_failAt;
        QHash<int, QList<int>> m_throwAt;
        QHash<int, QPair<int, int>> m_delay; // ms, call number (0: every call)
        int m_closeLinger = 0;
        int m_reads = 0;      // successful ReadOneScan calls
        int m_oneData = 0;    // successful getOneData calls
        int m_created = 0;
        int m_alive = 0;
        QString m_lastRate;
        QList<Struct_Channel> m_lastConfig;
        QList<Struct_Channel> m_written;
    };

    // Registers the model in the driver factory and returns its fresh script.
    static std::shared_ptr<Script> install(const QString &model);
    // Removes the model from the factory (drivers already made keep their script).
    static void uninstall(const QString &model) { AcquisitionDevice::UnregisterModel(model); }

    explicit FakeCollection(std::shared_ptr<Script> script, QObject *parent = nullptr);
    ~FakeCollection() override;

    bool Open(const QString &type, const QString &address, const QString &parameter, QString &text) override;
    bool Close() override;
    bool IsOpen() override { return m_open.load(); }
    bool Reconnect(QString &text) override { return Connect(Call::Reconnect, text); }
    bool GetChannelConfig(const QStringList &channels, const QStringList &units) override;
    bool StartScan(const QString &rate) override;
    bool WriteOneScan() override { return m_script->enter(Call::WriteOneScan); }
    bool ReadOneScan(QList<double> &values) override { return Scan(Call::ReadOneScan, values); }
    bool getOneData(QList<double> &values) override { return Scan(Call::GetOneData, values); }
    bool GetOneChannelParameter(Struct_Channel &channel) override;
    bool SetChannelConfig(const QList<Struct_Channel> &channels, QString &message) override;
    bool EnableOnlyChannels(const QList<Struct_Channel> &channels) override;
    bool SetOneChannelParameter(const Struct_Channel &channel) override;
    bool OpenCSVFile(const QString &path, QList<Struct_Channel> &channels) override;
    bool GetCSVData(QDateTime &time, QStringList &values) override;
    bool CloseCSVFile() override;

private:
    bool Connect(Call call, QString &text);
    bool Scan(Call call, QList<double> &values);

    std::shared_ptr<Script> m_script;
    std::atomic<bool> m_open{false};
    bool m_recordOpen = false;
    int m_recordRow = 0;
};
