#include "shell/WindowClamp.h"

#include <QApplication>
#include <QEvent>
#include <QScreen>
#include <QWidget>
#include <QWindow>

QRect WindowClamp::s_Area;

void WindowClamp::install()
{
    static WindowClamp *installed = nullptr;
    if (installed || !qApp)
        return;
    installed = new WindowClamp(qApp);
    qApp->installEventFilter(installed);
}

void WindowClamp::setAvailableArea(const QRect &area)
{
    s_Area = area;
}

bool WindowClamp::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::Show || !watched->isWidgetType())
        return false;
    auto *window = static_cast<QWidget *>(watched);
    const Qt::WindowType type = window->windowType();
    if (!window->isWindow() || (type != Qt::Window && type != Qt::Dialog)
        || (window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)))
        return false;

    QRect available = s_Area;
    if (available.isNull()) {
        const QScreen *screen = window->screen();
        if (!screen)
            return false;
        available = screen->availableGeometry();
    }
    // The frame (title bar, borders) must fit as well; it is known once the window has been on
    // screen, before that only the window manager knows it.
    QMargins frame;
    if (const QWindow *handle = window->windowHandle())
        frame = handle->frameMargins();
    const QSize room(available.width() - frame.left() - frame.right(),
                     available.height() - frame.top() - frame.bottom());
    const QSize size = window->size().boundedTo(room);
    if (size != window->size())
        window->resize(size);
    return false;
}
