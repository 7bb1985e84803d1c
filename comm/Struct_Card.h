#pragma once

#include <QMetaType>
#include <QString>

// One card slot of a card-cage instrument, as the card scan reports it.
struct Struct_Card {
    int Index = 0;          // slot index
    bool Present = false;   // a card sits in the slot
    QString Serial;
    QString Version;
    QString Precision;
    QString Rate;
    QString Filter;
    QString Type;           // card type
};
Q_DECLARE_METATYPE(Struct_Card)
