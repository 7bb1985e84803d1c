#pragma once

#include "comm/Device.h"

#include <QString>

#include <atomic>

class Field;

// The reference thermometer of a calibration. This base serves when the temperature source
// reads its own reference temperature: it wraps the source (not owned, opened and closed by its
// owner) and forwards identity and temperature reads to it. Without a source every operation
// that needs one fails.
class Criteria : public Device
{
    Q_OBJECT
public:
    Criteria();
    explicit Criteria(Field *source);
    ~Criteria() override;

    // Mirrors the source's open state (opens nothing); sn becomes "QN". False without a source.
    bool Open(const QString &type, const QString &address, const QString &parameter, QString &sn) override;
    // Clears the open flag; the source stays open.
    bool Close() override;
    bool IsOpen() override;

    // The source's identity query.
    virtual bool GetID(QString &id);
    // Nothing to start: true when a source is present.
    virtual bool Start();
    // The source's temperature. A reading outside MinTemp … MaxTemp is a failed read (t untouched).
    virtual bool ReadTemp(double &t);
    virtual bool IsReady();
    // Sends a command given as hex text; the base has nothing to send.
    virtual bool WriteHex(const QString &hex);

    // The range a reference temperature can lie in, ℃: absolute zero up to far above any source.
    // Instruments answer a failed measurement with numbers such as 1e38 or 1e308.
    static constexpr double MinTemp = -273.15;
    static constexpr double MaxTemp = 10000.0;
    static bool IsTemperature(double t);

private:
    std::atomic<bool> m_Open{false};
    Field *m_Field = nullptr;
};
