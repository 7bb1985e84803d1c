#include "acquisition/ParametersEntry.h"
#include "acquisition/ParametersMode.h"
#include "shell/Struct_System.h"
#include "store/Tool.h"
#include "support/MessageBoxHelper.h"
#include "support/TestWorkDir.h"
#include "SetupTestHelpers.h"

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
        if (qstrcmp(context, "ParametersMode") != 0)
            return QString();
        const QString text = QString::fromUtf8(sourceText);
        if (text == QStringLiteral("在线"))
            return QStringLiteral("Online");
        if (text == QStringLiteral("导入"))
            return QStringLiteral("Import");
        return QString();
    }
    bool isEmpty() const override { return false; }
};

// Fills the set-up dialog and presses "下一步" once its own event loop runs.
std::function<void(QWidget *)> fillSetup(const QString &name, bool import)
{
    return [name, import](QWidget *dialog) {
        if (import)
            dialog->findChild<QComboBox *>(QStringLiteral("comboBox_Mode"))->setCurrentIndex(1);
        dialog->findChild<QLineEdit *>(QStringLiteral("lineEdit_Name1"))->setText(name);
        QPushButton *next = dialog->findChild<QPushButton *>(QStringLiteral("pushButton_OK"));
        QTimer::singleShot(0, next, &QPushButton::click);
    };
}

std::function<void(QWidget *)> pressNext()
{
    return [](QWidget *dialog) {
        QPushButton *next = dialog->findChild<QPushButton *>(QStringLiteral("pushButton_OK"));
        QTimer::singleShot(0, next, &QPushButton::click);
    };
}

// Any further dialog is one no handler expected: reject it, so the test fails instead of hanging.
void rejectUnexpected(MessageBoxHelper &boxes)
{
    boxes.rejectDialog();
}

} // namespace

class tst_ParametersEntry : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestWorkDir> m_dir;
    Struct_System m_system;
    QStringList m_made;   // steps whose dialog was made, in order
    QList<QWidget *> m_parents;

    // Every step counted; import and run are plain dialogs.
    ParametersEntry::Steps countingSteps()
    {
        const ParametersEntry::Steps real = ParametersEntry::defaultSteps();
        ParametersEntry::Steps steps;
        auto wrap = [this](const QString &name, ParametersEntry::Factory factory) {
            return [this, name, factory](Struct_System *system, QWidget *parent) -> QDialog * {
                m_made << name;
                m_parents << parent;
                if (factory)
                    return factory(system, parent);
                auto *dialog = new QDialog(parent);
                dialog->setObjectName(name);
                return dialog;
            };
        };
        steps.mode = wrap(QStringLiteral("mode"), real.mode);
        steps.import = wrap(QStringLiteral("import"), nullptr);
        steps.channel = wrap(QStringLiteral("channel"), real.channel);
        steps.run = wrap(QStringLiteral("run"), nullptr);
        return steps;
    }

private slots:
    void init()
    {
        m_dir.reset(new TestWorkDir);
        QVERIFY(m_dir->isValid());
        m_system = Struct_System();
        m_system.DeviceList = {testDevice(QStringLiteral("R27K-RTD-16CH"), QStringLiteral("7"))};
        QVERIFY(Tool::addCollection(testDevice(QStringLiteral("P540W"), QStringLiteral("8"))));
        m_made.clear();
        m_parents.clear();
    }

    void cleanup() { m_dir.reset(); }

    void rejectedSetupEndsTheEntry()
    {
        MessageBoxHelper boxes;
        boxes.rejectDialog("ParametersMode");
        QWidget parent;
        rejectUnexpected(boxes);
        QCOMPARE(ParametersEntry::run(&m_system, &parent, countingSteps()), ParametersEntry::SetupRejected);
        QCOMPARE(m_made, QStringList{QStringLiteral("mode")});
        QVERIFY(m_system.ProjectNames.isEmpty());
        QVERIFY(m_system.Mode.isEmpty());
    }

    void onLineRoadLeadsThroughTheChannelTableToTheRun()
    {
        MessageBoxHelper boxes;
        boxes.onDialog(fillSetup(QStringLiteral("Oven"), false), "ParametersMode");
        boxes.onDialog(pressNext(), "ParametersChannel");
        boxes.acceptDialog("QDialog");
        QWidget parent;
        rejectUnexpected(boxes);
        QCOMPARE(ParametersEntry::run(&m_system, &parent, countingSteps()), ParametersEntry::RunFinished);
        QCOMPARE(m_made, (QStringList{"mode", "channel", "run"}));
        // The run dialog has no parent.
        QCOMPARE(m_parents, (QList<QWidget *>{&parent, &parent, nullptr}));
        QCOMPARE(boxes.texts(), QStringList());
        QCOMPARE(m_system.ProjectNames, QStringList{QStringLiteral("Oven")});
        QCOMPARE(m_system.ParametersChannels.size(), 2);
    }

    void rejectedChannelTableStartsNoRun()
    {
        MessageBoxHelper boxes;
        boxes.onDialog(fillSetup(QStringLiteral("Oven"), false), "ParametersMode");
        boxes.rejectDialog("ParametersChannel");
        rejectUnexpected(boxes);
        QCOMPARE(ParametersEntry::run(&m_system, nullptr, countingSteps()), ParametersEntry::ChannelRejected);
        QCOMPARE(m_made, (QStringList{"mode", "channel"}));
        QVERIFY(m_system.ParametersChannels.isEmpty());
    }

    void defaultStepsStopAfterTheChannelTable()
    {
        MessageBoxHelper boxes;
        boxes.onDialog(fillSetup(QStringLiteral("Oven"), false), "ParametersMode");
        boxes.onDialog(pressNext(), "ParametersChannel");
        rejectUnexpected(boxes);
        QCOMPARE(ParametersEntry::run(&m_system, nullptr), ParametersEntry::RunMissing);
        QCOMPARE(m_system.ParametersChannels.size(), 2);
    }

    void defaultStepsLeadToTheImport()
    {
        MessageBoxHelper boxes;
        boxes.onDialog(fillSetup(QStringLiteral("Records"), true), "ParametersMode");
        boxes.rejectDialog("ParametersImport");
        rejectUnexpected(boxes);
        QCOMPARE(ParametersEntry::run(&m_system, nullptr), ParametersEntry::ImportFinished);
        bool sawImport = false;
        for (const auto &box : boxes.boxes())
            sawImport = sawImport || box.className == QLatin1String("ParametersImport");
        QVERIFY(sawImport);
        QCOMPARE(m_system.ProjectDevices.size(), 1);
        QCOMPARE(m_system.ProjectDevices.at(0).Model, QStringLiteral("P540W"));
    }

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
        boxes.acceptDialog("QDialog");
        rejectUnexpected(boxes);
        const ParametersEntry::Result result = ParametersEntry::run(&m_system, nullptr, countingSteps());
        QCoreApplication::removeTranslator(&translator);

        QCOMPARE(modes, (QStringList{"Online", "Import"}));
        QCOMPARE(result, ParametersEntry::ImportFinished);
        QCOMPARE(m_made, (QStringList{"mode", "import"}));
        QCOMPARE(m_system.Mode, QStringLiteral("Import"));
        QCOMPARE(m_system.ModeKey, QStringLiteral("导入"));
        QVERIFY(ParametersEntry::isImport(m_system));
        // Only the import models were offered under the translated mode too.
        QCOMPARE(m_system.ProjectDevices.at(0).Serial, QStringLiteral("8"));
    }
};

QTEST_MAIN(tst_ParametersEntry)
#include "tst_ParametersEntry.moc"
