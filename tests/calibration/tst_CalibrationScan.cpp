// The connection dialog of a calibration's source and reference: connection types and widgets
// per model and type, the connection test against a simulated dry-well over TCP, and a dialog
// that cannot be closed while its test runs.
#include "FormTestHelpers.h"
#include "SourceTestHelpers.h"

#include "calibration/CalibrationScan.h"
#include "store/Tool.h"
#include "support/MessageBoxHelper.h"
#include "support/TestWorkDir.h"

#include <QBluetoothLocalDevice>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <memory>

namespace {

Struct_Connection connection(const QString &model, const QString &mode = QString(),
                             const QString &signal1 = QString(), const QString &signal2 = QString(),
                             bool connected = false)
{
    return Struct_Connection{model, mode, signal1, signal2, connected};
}
}

class tst_CalibrationScan : public QObject
{
    Q_OBJECT


    // Starts a test and waits for its outcome box.
    static QString runTest(CalibrationScan &dialog, MessageBoxHelper &boxes)
    {
        const int before = boxes.count();
        child<QPushButton>(dialog, "pushButton_Scan")->click();
        if (!boxes.waitFor(before + 1, 20000))
            return QStringLiteral("no outcome");
        return boxes.last().title + QLatin1Char('|') + boxes.last().text;
    }

private slots:
    void init() { CommTiming::set(fastTiming()); }
    void cleanupTestCase() { CommTiming::reset(); }

    void modelsOfferTheirConnectionTypes_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QStringList>("types");
        QTest::addColumn<QString>("device");
        QTest::newRow("bath") << "QNVA" << QStringList{"串口"} << "FieldTank";
        QTest::newRow("bath as reference") << "QNVA-R" << QStringList{"串口"} << "FieldTankR";
        QTest::newRow("dry-well") << "QNLK" << QStringList{"串口", "网络"} << "FieldDry";
        QTest::newRow("dry-well as reference") << "QNLK-R" << QStringList{"串口", "网络"} << "FieldDryR";
        QTest::newRow("thermometer") << "QN P710W" << QStringList{"蓝牙"} << "CriteriaP710W";
        QTest::newRow("none") << "Other" << QStringList{"Other"} << QString();
    }
    void modelsOfferTheirConnectionTypes()
    {
        QFETCH(QString, model);
        QFETCH(QStringList, types);
        QFETCH(QString, device);
        TestWorkDir dir;
        CalibrationScan dialog;
        dialog.SetParameters(connection(model));
        QCOMPARE(items(child<QComboBox>(dialog, "comboBox_Communication")), types);
        std::unique_ptr<Device> made(CalibrationScan::createDevice(model));
        QCOMPARE(made ? QString::fromLatin1(made->metaObject()->className()) : QString(), device);
    }

    // The address and parameter rows as shown: label, a combo's choice in <>, a line edit's text in [].
    static QString rowsShown(CalibrationScan &d)
    {
        const auto row = [&](const char *label, const char *combo, const char *edit) {
            auto *l = child<QLabel>(d, label);
            auto *c = child<QComboBox>(d, combo);
            auto *e = child<QLineEdit>(d, edit);
            return !l->isVisible() ? QString()
                                   : l->text() + (c->isVisible() ? '<' + c->currentText() + '>' : QString())
                                         + (e->isVisible() ? '[' + e->text() + ']' : QString());
        };
        return row("label_Address", "comboBox_Address", "lineEdit_Address") + '|'
            + row("label_Parameter", "comboBox_Parameter", "lineEdit_Parameter");
    }

    void widgetsFollowTheConnectionType()
    {
        TestWorkDir dir;
        CalibrationScan dialog;
        dialog.show();
        auto *type = child<QComboBox>(dialog, "comboBox_Communication");
        const QString port = "串口号：<" + Tool::getSerialPortNames().value(0) + '>';

        // A record never set: the first type, the serial ports and the first baud rate; the
        // network defaults behind "网络".
        dialog.SetParameters(connection("QNLK"));
        QCOMPARE(type->currentText() + ' ' + rowsShown(dialog), "串口 " + port + "|波特率：<4800>");
        QCOMPARE(items(child<QComboBox>(dialog, "comboBox_Address")), Tool::getSerialPortNames());
        QCOMPARE(items(child<QComboBox>(dialog, "comboBox_Parameter")),
                 QStringList({"4800", "9600", "19200", "38400", "57600", "115200"}));
        type->setCurrentText(QStringLiteral("网络"));
        QCOMPARE(rowsShown(dialog), QStringLiteral("IP地址：[192.168.1.1]|端口号：[5980]"));
        QCOMPARE(child<QLineEdit>(dialog, "lineEdit_Parameter")->maxLength(), 6);

        // Stored connections show exactly their texts, empty ones included.
        dialog.SetParameters(connection("QNLK", "网络", "10.0.0.7", "4001"));
        QCOMPARE(rowsShown(dialog), QStringLiteral("IP地址：[10.0.0.7]|端口号：[4001]"));
        dialog.SetParameters(connection("QNLK", "网络"));
        QCOMPARE(rowsShown(dialog), QStringLiteral("IP地址：[]|端口号：[]"));
        dialog.SetParameters(connection("QNVA", "串口", "ttyNONE", "38400"));
        QCOMPARE(rowsShown(dialog), port + "|波特率：<38400>");
        // Bluetooth: the device name only; without a radio the name list stays empty.
        dialog.SetParameters(connection("QN P710W", "蓝牙", "P710W-1"));
        if (QBluetoothLocalDevice::allDevices().isEmpty())
            QCOMPARE(rowsShown(dialog), QStringLiteral("设备名：<>|"));
    }

    void successfulTestMarksConnected()
    {
        TestWorkDir dir;
        MessageBoxHelper boxes;
        InstrumentSimulator sim(InstrumentSimulator::Dialect::DryWell);
        const QString port = QString::number(sim.listen());
        CalibrationScan dialog;
        dialog.SetParameters(connection("QNLK", "网络", "127.0.0.1", port));
        dialog.show();

        QCOMPARE(runTest(dialog, boxes), QStringLiteral("提示|测试成功！"));
        QVERIFY(sim.commands.contains(QStringLiteral("*IDN?")));
        const Struct_Connection tested = dialog.GetParameters();
        QVERIFY(tested.Connected);
        QCOMPARE(tested.SignalMode, QStringLiteral("网络"));
        QCOMPARE(tested.Signal1 + ':' + tested.Signal2, "127.0.0.1:" + port);
        QVERIFY(child<QPushButton>(dialog, "pushButton_Scan")->isEnabled());

        // OK takes the edited address and keeps what the test found.
        child<QLineEdit>(dialog, "lineEdit_Address")->setText(QStringLiteral("127.0.0.2"));
        child<QPushButton>(dialog, "pushButton_OK")->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.GetParameters().Signal1, QStringLiteral("127.0.0.2"));
        QVERIFY(dialog.GetParameters().Connected);
    }

    void failedTestClearsConnectedAndTheDialogWaitsForIt()
    {
        TestWorkDir dir;
        MessageBoxHelper boxes;
        InstrumentSimulator sim(InstrumentSimulator::Dialect::DryWell);
        sim.silent = true;
        const QString port = QString::number(sim.listen());
        CalibrationScan dialog;
        dialog.SetParameters(connection("QNLK", "网络", "127.0.0.1", port, true));
        dialog.show();
        QVERIFY(dialog.isVisible());

        auto *scan = child<QPushButton>(dialog, "pushButton_Scan");
        auto *ok = child<QPushButton>(dialog, "pushButton_OK");
        scan->click();
        QVERIFY(dialog.isTesting());
        QVERIFY(!scan->isEnabled());
        // OK, Escape and the close button are refused until the outcome has arrived.
        dialog.OK_clicked();
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(!dialog.close());
        QVERIFY(dialog.isVisible() && dialog.isTesting());

        QVERIFY(boxes.waitFor(1, 20000));
        QCOMPARE(boxes.last().text, QStringLiteral("设备连接失败！"));
        QCOMPARE(boxes.last().title, QStringLiteral("提示"));
        QVERIFY(!dialog.isTesting() && scan->isEnabled() && ok->isEnabled());
        QVERIFY(!dialog.GetParameters().Connected);

        // Closed without OK: the record still holds what the test read.
        QVERIFY(dialog.close());
        QCOMPARE(dialog.GetParameters().Signal2, port);
    }

    void modelWithoutConnectionNeedsNoTest()
    {
        TestWorkDir dir;
        MessageBoxHelper boxes;
        CalibrationScan dialog;
        dialog.SetParameters(connection("Other", QString(), QString(), QString(), true));
        child<QPushButton>(dialog, "pushButton_Scan")->click();
        QCOMPARE(boxes.texts(), QStringList{"当前模式无需测试！"});
        QVERIFY(!dialog.isTesting());
        QVERIFY(dialog.GetParameters().Connected);
    }
};

QTEST_MAIN(tst_CalibrationScan)
#include "tst_CalibrationScan.moc"
