#include "shell/KeepAwake.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDebug>

const QString KeepAwake::Service = QStringLiteral("org.freedesktop.ScreenSaver");
const QString KeepAwake::Path = QStringLiteral("/org/freedesktop/ScreenSaver");
const QString KeepAwake::Interface = QStringLiteral("org.freedesktop.ScreenSaver");

namespace {
const int callTimeoutMs = 2000;
}

KeepAwake::KeepAwake(const QDBusConnection &bus, const QString &reason)
    : m_Bus(bus)
{
    if (!m_Bus.isConnected() || !m_Bus.interface())
        return;
    if (!m_Bus.interface()->isServiceRegistered(Service).value())
        return;

    QDBusMessage call = QDBusMessage::createMethodCall(Service, Path, Interface, QStringLiteral("Inhibit"));
    QString application = QCoreApplication::applicationName();
    if (application.isEmpty())
        application = QStringLiteral("DAQ");
    call << application << reason;
    const QDBusMessage reply = m_Bus.call(call, QDBus::Block, callTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        qWarning() << "screen saver inhibit refused:" << reply.errorMessage();
        return;
    }
    m_Cookie = reply.arguments().constFirst().toUInt();
    m_Active = true;
}

KeepAwake::~KeepAwake()
{
    if (!m_Active)
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(Service, Path, Interface, QStringLiteral("UnInhibit"));
    call << m_Cookie;
    m_Bus.call(call, QDBus::Block, callTimeoutMs);
}
