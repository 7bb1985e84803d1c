#pragma once

#include "calibration/FieldTank.h"

// The bath read as the reference of a calibration; it behaves as FieldTank in every operation.
class FieldTankR : public FieldTank
{
    Q_OBJECT
};
