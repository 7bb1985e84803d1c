#pragma once

#include "calibration/FieldDry.h"

// The dry-well read as the reference of a calibration: it reads its temperature with "READ?".
class FieldDryR : public FieldDry
{
    Q_OBJECT
public:
    bool ReadTemp(double &t) override;
};
