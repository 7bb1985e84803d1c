#pragma once

#include "comm/Collection.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QMutex>
#include <QString>
#include <QStringList>

#include <atomic>
#include <memory>

// A scripted acquisition driver for tests. It opens no transport: every operation answers
// from a Script that the test fills and inspects.
//
// Typical use:
//     auto script = FakeCollection::install("FAKE-1");   // factory now knows "FAKE-1"
//     script->setSerial("SN1");
//     script->addChannel(1, "℃");
//     script->addChannel(2, "℃");
//     script->failAt(FakeCollection::Call::ReadOneScan, 3); // the third read fails
//     ... run the code under test, which calls AcquisitionDevice::CreateCollection("FAKE-1") ...
//     QCOMPARE(script->calls(FakeCollection::Call::ReadOneScan), 4);
//     FakeCollection::uninstall("FAKE-1");
//
// One Script serves every driver the factory makes for its model; counters count over all of
// them. Script and drivers are thread-safe in the way the product uses drivers (each driver
// called from one worker thread at a time, counters read from the test thread).
//
// Behaviour of the operations (each first counts the call, waits its scripted delay, then throws
// or fails if the call number is scripted to):
// - Open / Reconnect: success opens the driver and puts the serial number into text; failure
//   closes it and puts "Open Error" into text. Open remembers the connection texts.
// - Close: closes the driver and returns true; a scripted failure returns false and stays open.
// - IsOpen: whether the driver is open (not counted, not failed).
// - GetChannelConfig(numbers, units): the driver's channel records become the scripted channels.
//   With numbers given (and keepChannels off), exactly the channels of those numbers are
//   enabled, in script order, and take the given units; a number that is not scripted fails.
//   With empty lists (calibration) or keepChannels on, the scripted records stand as they are.
// - GetEnabledChannels: the base behaviour over those records.
// - StartScan(rate): remembers the rate (lastRate()).
// - WriteOneScan: true.
// - ReadOneScan / getOneData: scan k (k counts the successful calls of that operation, from 0)
//   gives scans[k] of setScans(), the last scan once k is past the list; without scripted scans
//   it gives one value per enabled channel, 10 * (j + 1) + k for enabled channel j. An enabled
//   channel with a sensor (setSensor) instead answers the sensor's resistance at temperature k
//   of setTemperatures() (the last one once k is past the list).
// - GetOneChannelParameter: copies coefficient texts, factors and parameters of the scripted
//   channel with the same number into the record; an unknown number fails.
// - SetChannelConfig: copies type, function, wiring and unit into the records of the same
//   numbers (remembered in lastChannelConfig()); failure message "Set Range Error！".
// - EnableOnlyChannels: enables exactly the given numbers.
// - SetOneChannelParameter: appends the record to written().
// - OpenCSVFile / GetCSVData / CloseCSVFile: replay setRecordFile(); without one OpenCSVFile
//   fails. GetCSVData call n scripted to fail reports a line that does not fit; after the last
//   row it reports the end (true, empty values).
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
        void setSerial(const QString &serial);
        // Replaces the instrument's channels.
        void setChannels(const QList<Struct_Channel> &channels);
        // Appends one enabled (or disabled) channel with that number and unit.
        void addChannel(quint32 number, const QString &unit, bool enabled = true);
        // GetChannelConfig leaves the scripted records as they are (to provoke mismatches).
        void setKeepChannels(bool keep);
        void setScans(const QList<QList<double>> &scans);
        void setRecordFile(const QList<Struct_Channel> &header, const QList<Row> &rows);
        // The channel of that number carries the sensor.
        void setSensor(quint32 number, const Sensor &sensor);
        // Scan k finds the sensors at temperature k (℃), the last one once k is past the list.
        void setTemperatures(const QList<double> &temperatures);
        // Call number n (from 1, over all drivers of the model) of the operation fails.
        void failAt(Call call, int n);
        // Call number n and every later one fail.
        void failFrom(Call call, int n);
        void clearFailures();
        // Call number n of the operation throws std::runtime_error (a fault escaping a driver).
        void throwAt(Call call, int n);
        // The operation sleeps this long before it answers: every call, or only call number n.
        void setDelay(Call call, int ms, int n = 0);

        // --- inspection ------------------------------------------------------------------
        int calls(Call call) const;
        int created() const;   // drivers made for the model so far
        int alive() const;     // drivers not yet deleted
        QString lastRate() const;
        QList<Struct_Channel> lastChannelConfig() const;
        QList<Struct_Channel> written() const;

    private:
        friend class FakeCollection;
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
        QHash<int, int> m_failFrom;
        QHash<int, QList<int>> m_throwAt;
        QHash<int, QPair<int, int>> m_delay; // ms, call number (0: every call)
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
    static void uninstall(const QString &model);

    explicit FakeCollection(std::shared_ptr<Script> script, QObject *parent = nullptr);
    ~FakeCollection() override;

    bool Open(const QString &type, const QString &address, const QString &parameter, QString &text) override;
    bool Close() override;
    bool IsOpen() override;
    bool Reconnect(QString &text) override;
    bool GetChannelConfig(const QStringList &channels, const QStringList &units) override;
    bool StartScan(const QString &rate) override;
    bool WriteOneScan() override;
    bool ReadOneScan(QList<double> &values) override;
    bool getOneData(QList<double> &values) override;
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
