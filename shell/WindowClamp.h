#pragma once

#include <QObject>
#include <QRect>

// Keeps top-level windows on the screen: an application-wide event filter that, when a window
// or dialog is shown, shrinks it to the screen's available area if it is larger. Windows that
// fit keep their size; where a window goes is left to the dialog's own centring and the window
// manager. Installed once at start.
class WindowClamp : public QObject
{
    Q_OBJECT

public:
    // Installs the one filter on the application; further calls change nothing.
    static void install();

    // The area used instead of the screen's available geometry; a null rectangle (the default)
    // uses the screen's. For tests that need a screen of a given size.
    static void setAvailableArea(const QRect &area);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    using QObject::QObject;
    static QRect s_Area;
};
