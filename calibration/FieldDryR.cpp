#include "calibration/FieldDryR.h"

bool FieldDryR::ReadTemp(double &t)
{
    return QueryTemp(QStringLiteral("READ?\r\n"), t);
}
