// Tool helpers for the shared vocabulary and the serial port list.
#include "store/Tool.h"

#include <QCollator>
#include <QCoreApplication>
#include <QSerialPortInfo>

namespace {
// Words stored untranslated in records and shown through the translation (context "Tool").
const char *const Vocabulary[] = {
    // connection types
    QT_TRANSLATE_NOOP("Tool", "串口"), QT_TRANSLATE_NOOP("Tool", "网络"),
    QT_TRANSLATE_NOOP("Tool", "蓝牙"), QT_TRANSLATE_NOOP("Tool", "导入"),
    // sensor kinds
    QT_TRANSLATE_NOOP("Tool", "铂电阻"), QT_TRANSLATE_NOOP("Tool", "热敏电阻"),
    QT_TRANSLATE_NOOP("Tool", "热电偶"), QT_TRANSLATE_NOOP("Tool", "NTC"),
    QT_TRANSLATE_NOOP("Tool", "RTD"), QT_TRANSLATE_NOOP("Tool", "TC"), QT_TRANSLATE_NOOP("Tool", "PTC"),
    // equations
    QT_TRANSLATE_NOOP("Tool", "ITS90"), QT_TRANSLATE_NOOP("Tool", "CVD"),
    QT_TRANSLATE_NOOP("Tool", "R(T)"), QT_TRANSLATE_NOOP("Tool", "T(R)"), QT_TRANSLATE_NOOP("Tool", "Other"),
    // thermocouple letters
    QT_TRANSLATE_NOOP("Tool", "K"), QT_TRANSLATE_NOOP("Tool", "J"), QT_TRANSLATE_NOOP("Tool", "T"),
    QT_TRANSLATE_NOOP("Tool", "E"), QT_TRANSLATE_NOOP("Tool", "N"), QT_TRANSLATE_NOOP("Tool", "R"),
    QT_TRANSLATE_NOOP("Tool", "S"), QT_TRANSLATE_NOOP("Tool", "B"),
    // wiring
    QT_TRANSLATE_NOOP("Tool", "2线制"), QT_TRANSLATE_NOOP("Tool", "3线制"),
    QT_TRANSLATE_NOOP("Tool", "4线制"), QT_TRANSLATE_NOOP("Tool", "Auto"),
    // units
    QT_TRANSLATE_NOOP("Tool", "℃"), QT_TRANSLATE_NOOP("Tool", "Ω"),
    // scan rates
    QT_TRANSLATE_NOOP("Tool", "快速"), QT_TRANSLATE_NOOP("Tool", "中速"), QT_TRANSLATE_NOOP("Tool", "慢速"),
};

QString display(const char *word)
{
    return QCoreApplication::translate("Tool", word);
}
}

QStringList Tool::getSerialPortNames()
{
    QStringList names;
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &port : ports) {
        if (!names.contains(port.portName()))
            names.append(port.portName());
    }
    // Numeric-aware order, so COM2 comes before COM10.
    QCollator collator;
    collator.setNumericMode(true);
    std::sort(names.begin(), names.end(), collator);
    return names;
}

QString Tool::toDisplayText(const QString &stored)
{
    for (const char *word : Vocabulary) {
        if (stored == QString::fromUtf8(word))
            return display(word);
    }
    return stored;
}

QString Tool::fromDisplayText(const QString &shown)
{
    // A word that shows as itself wins over another word translated to the same text.
    for (const char *word : Vocabulary) {
        if (shown == QString::fromUtf8(word) && display(word) == shown)
            return shown;
    }
    for (const char *word : Vocabulary) {
        if (display(word) == shown)
            return QString::fromUtf8(word);
    }
    return shown;
}
