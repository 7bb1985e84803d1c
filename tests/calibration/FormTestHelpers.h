#pragma once

// Finding the named widgets of the calibration dialogs and pages.
#include <QComboBox>
#include <QStringList>
#include <QWidget>

// The child widget of that object name; ends the test run when the form lacks it.
template <class T>
T *child(QWidget &parent, const char *name)
{
    T *widget = parent.findChild<T *>(QString::fromLatin1(name));
    if (!widget)
        qFatal("missing widget %s", name);
    return widget;
}

inline QStringList items(const QComboBox *combo)
{
    QStringList list;
    for (int i = 0; i < combo->count(); ++i)
        list.append(combo->itemText(i));
    return list;
}
