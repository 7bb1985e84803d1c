#pragma once

#include "store/Tool.h"
#include "support/MessageBoxHelper.h"

#include <QStringList>

// A registered instrument with two ℃ channels.
inline Tool::Struct_Collection testDevice(const QString &model, const QString &serial)
{
    Tool::Struct_Collection d;
    d.Model = model;
    d.Serial = serial;
    d.CHSerial = QStringList{QStringLiteral("1"), QStringLiteral("2")};
    d.CHUnit = QStringList{QStringLiteral("℃"), QStringLiteral("℃")};
    return d;
}

// The texts of the message boxes met. The set-up dialogs warn with a box titled "警告" and
// one Ok button; any other box shows up as "unexpected: " plus its title and text.
inline QStringList warningTexts(const MessageBoxHelper &boxes)
{
    QStringList texts;
    for (const MessageBoxHelper::Box &box : boxes.boxes()) {
        const bool warning = box.isMessageBox && box.title == QStringLiteral("警告")
            && box.buttons == QStringList{QStringLiteral("OK")};
        texts << (warning ? box.text : QStringLiteral("unexpected: ") + box.title + box.text);
    }
    return texts;
}
