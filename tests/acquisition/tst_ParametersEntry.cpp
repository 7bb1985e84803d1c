#include "acquisition/ParametersEntry.h"
#include "acquisition/ParametersOnLine.h"
#include "acquisition/ParametersMode.h"
#include "common/Struct_System.h"
#include "store/Tool.h"
#include "support/MessageBoxHelper.h"
#include "support/TestWorkDir.h"
#include "SetupTestHelpers.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTranslator>
#include <QtTest>

#include <memory>

namespace {

// Shows the mode words of the set-up dialog in English.
class EnglishModes : public QTranslator
{
public:
    QString translate(const char *context, const char *sourceText, const char *, int) const override
    {
        const QString text = QString::fromUtf8(sourceText);
        if (qstrcmp(context, "ParametersMode") != 0 || (text != "在线" && text != "导入"))
            return QString();
        return text == "在线" ? QStringLiteral("Online") : QStringLiteral("Import");
    }
    bool isEmpty() const override { return false; }
};

std::function<void(QWidget *)> pressNext()
{
    return [](QWidget *dialog) {
        QTimer::singleShot(0, dialog->findChild<QPushButton *>(QStringLiteral("pushButton_OK")), &QPushButton::click);
    };
}

// Fills the set-up dialog and presses "下一步" once its own event loop runs.
std::function<void(QWidget *)> fillSetup(const QString &name, bool import)
{
    return [name, import](QWidget *dialog) {
        if (import)
            dialog->findChild<QComboBox *>(QStringLiteral("comboBox_Mode"))->setCurrentIndex(1);
        dialog->findChild<QLineEdit *>(QStringLiteral("lineEdit_Name1"))->setText(name);
        pressNext()(dialog);
    };
}

} // namespace

class tst_ParametersEntry : public QObject
{
    Q_OBJECT

private:
    // A dialog still open this long into a test would stay open for good (a refused set-up, a
    // run that never finishes): it is closed and the test fails instead of hanging.
    static constexpr int DeadlineMs = 30000;
    QTimer m_deadline;
    bool m_expired = false;
    std::unique_ptr<TestWorkDir> m_dir;
    Struct_System m_system;
    QStringList m_made;   // steps whose dialog was made, in order
    QList<QWidget *> m_parents;

    // The real steps, each counted with the parent it was given.
    ParametersEntry::Steps countingSteps()
    {
        ParametersEntry::Steps steps = ParametersEntry::defaultSteps();
        auto wrap = [this](const QString &name, ParametersEntry::Factory factory) {
            return [this, name, factory](Struct_System *system, QWidget *parent) -> QDialog * {
                m_made << name;
                m_parents << parent;
                return factory(system, parent);
            };
        };
        steps.mode = wrap(QStringLiteral("mode"), steps.mode);
        steps.import = wrap(QStringLiteral("import"), steps.import);
        steps.channel = wrap(QStringLiteral("channel"), steps.channel);
        steps.run = wrap(QStringLiteral("run"), steps.run);
        return steps;
    }

private slots:
    void initTestCase()
    {
        m_deadline.setSingleShot(true);
        connect(&m_deadline, &QTimer::timeout, this, [this] {
            m_expired = true;
            if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
                dialog->done(QDialog::Rejected);
            m_deadline.start(50);   // and any dialog that follows it
        });
    }

    void init()
    {
        m_expired = false;
        m_deadline.start(DeadlineMs);
        m_dir.reset(new TestWorkDir);
        QVERIFY(m_dir->isValid());
        m_system = Struct_System();
        m_system.DeviceList = {testDevice(QStringLiteral("R27K-RTD-16CH"), QStringLiteral("7"))};
        QVERIFY(Tool::addCollection(testDevice(QStringLiteral("P540W"), QStringLiteral("8"))));
        m_made.clear();
        m_parents.clear();
    }

    void cleanup()
    {
        m_deadline.stop();
        m_dir.reset();
        QVERIFY2(!m_expired, "a dialog stayed open until the deadline");
    }

    // A rejected dialog ends the entry there; any further dialog would be rejected too, so a
    // wrong road fails instead of hanging.
    void rejectedStepEndsTheEntry_data()
    {
        QTest::addColumn<bool>("rejectSetup");
        QTest::addColumn<int>("result");
        QTest::newRow("set-up") << true << int(ParametersEntry::SetupRejected);
        QTest::newRow("channel table") << false << int(ParametersEntry::ChannelRejected);
    }

    void rejectedStepEndsTheEntry()
    {
        QFETCH(bool, rejectSetup);
        QFETCH(int, result);
        MessageBoxHelper boxes;
        if (rejectSetup)
            boxes.rejectDialog("ParametersMode");
        else
            boxes.onDialog(fillSetup(QStringLiteral("Oven"), false), "ParametersMode");
        boxes.rejectDialog();
        QCOMPARE(int(ParametersEntry::run(&m_system, nullptr, countingSteps())), result);
        QCOMPARE(m_made, (rejectSetup ? QStringList{"mode"} : QStringList{"mode", "channel"}));
        QVERIFY(m_system.ParametersChannels.isEmpty());
        QCOMPARE(m_system.ProjectNames.isEmpty(), rejectSetup);
    }

    void onLineRoadLeadsThroughTheChannelTableToTheRun()
    {
        MessageBoxHelper boxes;
        boxes.onDialog(fillSetup(QStringLiteral("Oven"), false), "ParametersMode");
        boxes.onDialog(pressNext(), "ParametersChannel");
        // The registered record-file instrument cannot be connected: the run reports it, finishes,
        // and can then be closed.
        boxes.onDialog([](QWidget *widget) {
            auto *run = qobject_cast<ParametersOnLine *>(widget);
            auto *timer = new QTimer(widget);
            QObject::connect(timer, &QTimer::timeout, widget, [run] {
                if (run->runState() == ParametersOnLine::Finished)
                    run->reject();
            });
            timer->start(10);
        }, "ParametersOnLine");
        boxes.rejectDialog();
        QWidget parent;
        QCOMPARE(ParametersEntry::run(&m_system, &parent, countingSteps()), ParametersEntry::RunFinished);
        QCOMPARE(m_made, (QStringList{"mode", "channel", "run"}));
        // The run dialog has no parent.
        QCOMPARE(m_parents, (QList<QWidget *>{&parent, &parent, nullptr}));
        QCOMPARE(m_system.ProjectNames, QStringList{QStringLiteral("Oven")});
        QCOMPARE(m_system.ParametersChannels.size(), 2);
        // The driver's reason on the line under the text.
        QCOMPARE(boxes.texts().filter(QStringLiteral("设备连接失败,请退出重试！\n")).size(), 1);
    }

    // The import dialog follows the import mode, also when the mode words are translated.
    void translatedModeStillTakesTheImportRoad()
    {
        EnglishModes translator;
        QVERIFY(QCoreApplication::installTranslator(&translator));
        MessageBoxHelper boxes;
        QStringList modes;
        boxes.onDialog([&modes](QWidget *dialog) {
            const QComboBox *mode = dialog->findChild<QComboBox *>(QStringLiteral("comboBox_Mode"));
            for (int i = 0; i < mode->count(); ++i)
                modes << mode->itemText(i);
            fillSetup(QStringLiteral("Records"), true)(dialog);
        }, "ParametersMode");
        boxes.rejectDialog("ParametersImport");
        boxes.rejectDialog();
        const ParametersEntry::Result result = ParametersEntry::run(&m_system, nullptr, countingSteps());
        QCoreApplication::removeTranslator(&translator);

        QCOMPARE(modes, (QStringList{"Online", "Import"}));
        QCOMPARE(result, ParametersEntry::ImportFinished);
        QCOMPARE(m_made, (QStringList{"mode", "import"}));
        QCOMPARE(m_system.Mode, QStringLiteral("Import"));
        QVERIFY(ParametersEntry::isImport(m_system));
        QCOMPARE(boxes.boxes().at(1).className, QStringLiteral("ParametersImport"));
        // Only the import models were offered under the translated mode too.
        QCOMPARE(m_system.ProjectDevices.size(), 1);
        QCOMPARE(m_system.ProjectDevices.at(0).Model, QStringLiteral("P540W"));
    }
};

QTEST_MAIN(tst_ParametersEntry)
#include "tst_ParametersEntry.moc"
