#include "shell/KeepAwake.h"

#include <QDBusConnection>
#include <QMutex>
#include <QMutexLocker>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <QtTest>

// A screen saver service as desktops offer it, living in a thread of its own so that the
// blocking calls of the code under test can be answered.
class FakeScreenSaver : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
public:
    QStringList calls() const
    {
        QMutexLocker lock(&m_Mutex);
        return m_Calls;
    }

public slots:
    uint Inhibit(const QString &application, const QString &reason)
    {
        QMutexLocker lock(&m_Mutex);
        m_Calls << QStringLiteral("Inhibit %1 %2").arg(application, reason);
        return 4711;
    }
    void UnInhibit(uint cookie)
    {
        QMutexLocker lock(&m_Mutex);
        m_Calls << QStringLiteral("UnInhibit %1").arg(cookie);
    }

private:
    mutable QMutex m_Mutex;
    QStringList m_Calls;
};

class tst_KeepAwake : public QObject
{
    Q_OBJECT

private slots:
    // Without a screen saver service (or without a bus) nothing is inhibited; with one, the
    // inhibition lasts as long as the object.
    void inhibitsWhileAliveAndReleases()
    {
        const QString program = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (program.isEmpty())
            QSKIP("dbus-daemon is not installed");
        QProcess daemon;
        daemon.start(program, {"--session", "--nofork", "--print-address"});
        QTRY_VERIFY(daemon.canReadLine());
        const QString address = QString::fromUtf8(daemon.readLine()).trimmed();
        QVERIFY(!KeepAwake(QDBusConnection(QStringLiteral("not-connected"))).isActive());
        QDBusConnection client = QDBusConnection::connectToBus(address, QStringLiteral("client"));
        QVERIFY(client.isConnected() && !KeepAwake(client).isActive());

        QDBusConnection service = QDBusConnection::connectToBus(address, QStringLiteral("service"));
        QThread thread;
        FakeScreenSaver saver;
        saver.moveToThread(&thread);
        thread.start();
        QVERIFY(service.registerObject(KeepAwake::Path, &saver, QDBusConnection::ExportAllSlots));
        QVERIFY(service.registerService(KeepAwake::Service));
        {
            KeepAwake awake(client, QStringLiteral("run"));
            QVERIFY(awake.isActive());
            QCOMPARE(saver.calls(), QStringList{"Inhibit " + QCoreApplication::applicationName() + " run"});
        }
        QCOMPARE(saver.calls().mid(1), QStringList{"UnInhibit 4711"});

        service.unregisterService(KeepAwake::Service);
        service.unregisterObject(KeepAwake::Path);
        thread.quit();
        QVERIFY(thread.wait(5000));
        QDBusConnection::disconnectFromBus(QStringLiteral("client"));
        QDBusConnection::disconnectFromBus(QStringLiteral("service"));
        daemon.terminate();
        daemon.waitForFinished(5000);
    }
};

QTEST_GUILESS_MAIN(tst_KeepAwake)
#include "tst_KeepAwake.moc"
