#include "support/LogCapture.h"
#include "support/MessageBoxHelper.h"
#include "widgets/QWaiting.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QProcess>
#include <QVBoxLayout>
#include <QtTest>

namespace {

// Set in the child process that plays a test meeting a window nobody answers.
const char *const kChildVariable = "MESSAGEBOXHELPER_CHILD";

// A dialog with a title and one line of text, as product code would run it.
class TextDialog : public QDialog
{
    Q_OBJECT
public:
    explicit TextDialog(const QString &title, const QString &text)
    {
        setWindowTitle(title);
        (new QVBoxLayout(this))->addWidget(new QLabel(text, this));
    }
};

} // namespace

class tst_MessageBoxHelper : public QObject
{
    Q_OBJECT

private slots:
    // A test that meets a window nobody answers while code waits on it in exec() ends within
    // seconds (not at ctest's time-out) as a failure that names the window: a dialog with no
    // answer queued, an answered dialog that stays open, a busy window whose step never comes.
    void stuckWindowsFailTheTestAtOnce_data()
    {
        QTest::addColumn<QString>("planted");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("unanswered dialogs")
            << "unanswered" << QStringList{"unexpected modal window, no answer queued for it: TextDialog \"设备选择\": 请选择一台仪器",
                                           "unexpected modal window, no answer queued for it: TextDialog \"Second\": step"};
        QTest::newRow("answer that does not close")
            << "stuck" << QStringList{"modal window still open after its answer, a step never came: TextDialog \"设备选择\": 请选择一台仪器",
                                      "busy window still open, a step never came: QWaiting \"提示\": 数据读取中"};
    }

    void stuckWindowsFailTheTestAtOnce()
    {
        QFETCH(QString, planted);
        QFETCH(QStringList, messages);
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QString::fromLatin1(kChildVariable), planted);
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::MergedChannels);
        QElapsedTimer timer;
        timer.start();
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("plantedStuckWindows")});
        QVERIFY(child.waitForFinished(60000));
        const QString output = QString::fromUtf8(child.readAll());
        QVERIFY2(timer.elapsed() < 20000, qPrintable(output));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QVERIFY2(child.exitCode() != 0, qPrintable(output));
        for (const QString &message : messages)
            QVERIFY2(output.contains(message), qPrintable(message + "\n" + output));
        QVERIFY2(output.contains(QStringLiteral("after both")), qPrintable(output));
    }

    // Runs only in the child: two windows that would keep the test waiting, one after the other.
    void plantedStuckWindows()
    {
        const QString planted = qEnvironmentVariable(kChildVariable);
        if (planted.isEmpty())
            QSKIP("runs in the child process of stuckWindowsFailTheTestAtOnce");
        MessageBoxHelper boxes;
        TextDialog first(QStringLiteral("设备选择"), QStringLiteral("请选择一台仪器"));
        TextDialog second(QStringLiteral("Second"), QStringLiteral("step"));
        if (planted == "stuck") {
            boxes.setStuckMs(500);
            boxes.onDialog([](QWidget *) {}, "TextDialog"); // answers nothing
            boxes.onDialog([](QWidget *dialog) {
                auto *waiting = new QWaiting(dialog); // its worker never ends
                waiting->setText(QStringLiteral("数据读取中"));
                waiting->show();
            }, "TextDialog");
        }
        const int results = first.exec() + second.exec();
        qInfo("after both: %d windows met, results %d", boxes.count(), results);
    }

    // What a test rightly leaves open is not failed: its own modal dialog while it waits, a
    // QWaiting over a running dialog, a dialog whose handler closes it later. A wait that times out
    // says what it met and what is open.
    void windowsLeftOpenOnPurpose()
    {
        MessageBoxHelper boxes;
        TextDialog own(QStringLiteral("Own"), QStringLiteral("under test"));
        own.setModal(true);
        own.show();
        QTest::qWait(MessageBoxHelper::UnansweredMs + 300);
        QVERIFY(own.isVisible());

        TextDialog handled(QStringLiteral("Handled"), QString());
        boxes.onDialog([](QWidget *dialog) {
            auto *waiting = new QWaiting(dialog);
            waiting->show();
            QTimer::singleShot(MessageBoxHelper::UnansweredMs + 300, dialog, [dialog, waiting] {
                delete waiting;
                QTimer::singleShot(MessageBoxHelper::UnansweredMs + 300, qobject_cast<QDialog *>(dialog), &QDialog::accept);
            });
        }, "TextDialog");
        QCOMPARE(handled.exec(), int(QDialog::Accepted));

        LogCapture log;
        QVERIFY(!boxes.waitFor(2, 50));
        QVERIFY2(log.contains(QStringLiteral("waited 50 ms for 2 windows, met 1: [TextDialog \"Handled\"]; "
                                             "open now: TextDialog \"Own\": under test")),
                 qPrintable(log.text()));
    }
};

QTEST_MAIN(tst_MessageBoxHelper)
#include "tst_MessageBoxHelper.moc"
