#include "calibration/Criteria.h"

#include "calibration/Field.h"

#include <QDebug>

Criteria::Criteria() : Device(nullptr) {}

Criteria::Criteria(Field *source) : Device(nullptr), m_Field(source) {}

Criteria::~Criteria() = default;

bool Criteria::Open(const QString &, const QString &, const QString &, QString &sn)
{
    if (!m_Field)
        return false;
    m_Open = m_Field->IsOpen();
    sn = QStringLiteral("QN");
    return m_Open;
}

bool Criteria::Close()
{
    m_Open = false;
    return true;
}

bool Criteria::IsOpen()
{
    return m_Open;
}

bool Criteria::GetID(QString &id)
{
    return m_Field && m_Field->CheckID(id);
}

bool Criteria::Start()
{
    return m_Field != nullptr;
}

bool Criteria::ReadTemp(double &t)
{
    double value = 0.0;
    if (!m_Field || !m_Field->ReadTemp(value))
        return false;
    if (!IsTemperature(value)) {
        qWarning() << "Criteria: the source's reference reading" << value << "is no temperature";
        return false;
    }
    t = value;
    return true;
}

bool Criteria::IsTemperature(double t)
{
    return t >= MinTemp && t <= MaxTemp;
}

bool Criteria::IsReady()
{
    return true;
}

bool Criteria::WriteHex(const QString &)
{
    return true;
}
