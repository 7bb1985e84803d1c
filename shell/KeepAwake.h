#pragma once

#include <QDBusConnection>
#include <QString>

// Keeps the system and the display awake while the object lives: asks the desktop's screen
// saver service (org.freedesktop.ScreenSaver on the session bus) for an inhibition and
// releases it on destruction. Without such a service nothing happens.
class KeepAwake
{
public:
    explicit KeepAwake(const QDBusConnection &bus = QDBusConnection::sessionBus(),
                       const QString &reason = QStringLiteral("Data acquisition running"));
    ~KeepAwake();
    KeepAwake(const KeepAwake &) = delete;
    KeepAwake &operator=(const KeepAwake &) = delete;

    bool isActive() const { return m_Active; }
    quint32 cookie() const { return m_Cookie; }

    static const QString Service;
    static const QString Path;
    static const QString Interface;

private:
    QDBusConnection m_Bus;
    bool m_Active = false;
    quint32 m_Cookie = 0;
};
