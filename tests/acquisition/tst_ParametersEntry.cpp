#include "acquisition/ParametersEntry.h"
#include "acquisition/ParametersOnLine.h"
#include "common/Struct_System.h"
#include "store/Tool.h"
#include "support/MessageBoxHelper.h"
#include "support/TestWorkDir.h"
#include "SetupTestHelpers.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTranslator>
#include <QtTest>

namespace {

// Shows the mode words of the set-up dialog in English.
class EnglishModes : public QTranslator
{
public:
    QString translate(const char *context, const char *sourceText, const char *, int) const override
    {
        static const QHash<QString, QString> english{{"在线", "Online"}, {"导入", "Import"}};
        return qstrcmp(context, "ParametersMode") == 0 ? english.value(QString::fromUtf8(sourceText)) : QString();
    }
    bool isEmpty() const override { return false; }
};

// Presses "下一步" once the dialog's own event loop runs.
void pressNext(QWidget *dialog)
{
    QTimer::singleShot(0, dialog->findChild<QPushButton *>(QStringLiteral("pushButton_OK")), &QPushButton::click);
}

} // namespace

class tst_ParametersEntry : public QObject
{
    Q_OBJECT

private slots:
    // setup: how the set-up dialog is answered; channels: whether the channel table is accepted;
    // made: the steps whose dialog was made, in order, "*" where it had no parent. A rejected
    // dialog ends the entry there (any further dialog is rejected, so a wrong road fails instead
    // of hanging). The mode words are shown translated: the road follows the mode all the same.
    void roads_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<bool>("channels");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("made");
        QTest::newRow("set-up rejected") << "reject" << false << int(ParametersEntry::SetupRejected) << "mode";
        QTest::newRow("channel table rejected") << "online" << false << int(ParametersEntry::ChannelRejected) << "mode channel";
        QTest::newRow("on-line run") << "online" << true << int(ParametersEntry::RunFinished) << "mode channel run*";
        QTest::newRow("import") << "import" << false << int(ParametersEntry::ImportFinished) << "mode import";
    }

    void roads()
    {
        QFETCH(QString, setup);
        QFETCH(bool, channels);
        QFETCH(int, result);
        QFETCH(QString, made);
        // A dialog still open after 30 s would stay open for good (a refused set-up, a run that
        // never finishes): it is closed, and any that follows it, and the test fails instead of hanging.
        bool expired = false;
        QTimer deadline;
        connect(&deadline, &QTimer::timeout, this, [&expired, &deadline] {
            expired = true;
            if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
                dialog->done(QDialog::Rejected);
            deadline.start(50);
        });
        deadline.start(30000);
        TestWorkDir dir;
        QVERIFY(dir.isValid());
        Struct_System system;
        system.DeviceList = {testDevice(QStringLiteral("R27K-RTD-16CH"), QStringLiteral("7"))};
        QVERIFY(Tool::addCollection(testDevice(QStringLiteral("P540W"), QStringLiteral("8"))));
        EnglishModes translator;
        QVERIFY(QCoreApplication::installTranslator(&translator));

        // The real steps, each noted with whether it was given the parent.
        QWidget parent;
        QStringList steps;
        auto count = [&steps, &parent](const QString &name, const ParametersEntry::Factory &factory) {
            return [&steps, &parent, name, factory](Struct_System *s, QWidget *p) {
                steps << name + (p == &parent ? "" : p ? "?" : "*");
                return factory(s, p);
            };
        };
        const ParametersEntry::Steps real = ParametersEntry::defaultSteps();
        const ParametersEntry::Steps counting{count("mode", real.mode), count("import", real.import),
                                              count("channel", real.channel), count("run", real.run)};
        MessageBoxHelper boxes;
        QStringList modes;
        if (setup == "reject") {
            boxes.rejectDialog("ParametersMode");
        } else {
            boxes.onDialog([&modes, setup](QWidget *dialog) {
                auto *mode = dialog->findChild<QComboBox *>(QStringLiteral("comboBox_Mode"));
                for (int i = 0; i < mode->count(); ++i)
                    modes << mode->itemText(i);
                mode->setCurrentIndex(setup == "import" ? 1 : 0);
                dialog->findChild<QLineEdit *>(QStringLiteral("lineEdit_Name1"))->setText(QStringLiteral("Oven"));
                pressNext(dialog);
            }, "ParametersMode");
        }
        boxes.rejectDialog("ParametersImport");
        if (channels) {
            boxes.onDialog(pressNext, "ParametersChannel");
            // The registered record-file instrument cannot be connected: the run reports it,
            // finishes, and can then be closed.
            boxes.onDialog([](QWidget *widget) {
                auto *timer = new QTimer(widget);
                QObject::connect(timer, &QTimer::timeout, widget, [widget] {
                    if (qobject_cast<ParametersOnLine *>(widget)->runState() == ParametersOnLine::Finished)
                        qobject_cast<QDialog *>(widget)->reject();
                });
                timer->start(10);
            }, "ParametersOnLine");
        }
        boxes.rejectDialog();
        QCOMPARE(int(ParametersEntry::run(&system, &parent, counting)), result);
        QCoreApplication::removeTranslator(&translator);
        QVERIFY2(!expired, "a dialog stayed open until the deadline");

        QCOMPARE(steps.join(' '), made);
        QCOMPARE(system.ProjectNames.join(' ') + ' ' + modes.join(' '), setup == "reject" ? " " : "Oven Online Import");
        QCOMPARE(system.ParametersChannels.size(), channels ? 2 : 0);
        QCOMPARE(ParametersEntry::isImport(system), setup == "import");
        if (setup == "import") {
            // Only the import models were offered, under the translated mode too.
            QCOMPARE(system.Mode + ' ' + system.ProjectDevices.value(0).Model + ' ' + QString::number(system.ProjectDevices.size()),
                     QStringLiteral("Import P540W 1"));
        }
        // The driver's reason on the line under the text.
        QCOMPARE(boxes.texts().filter(QStringLiteral("设备连接失败,请退出重试！\n")).size(), channels ? 1 : 0);
    }
};

QTEST_MAIN(tst_ParametersEntry)
#include "tst_ParametersEntry.moc"
