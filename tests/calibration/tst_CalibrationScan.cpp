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

    void widgetsFollowTheConnectionType()
    {
        TestWorkDir dir;
        CalibrationScan dialog;
        dialog.show();
        auto *type = child<QComboBox>(dialog, "comboBox_Communication");
        auto *address = child<QComboBox>(dialog, "comboBox_Address");
        auto *addressEdit = child<QLineEdit>(dialog, "lineEdit_Address");
        auto *parameter = child<QComboBox>(dialog, "comboBox_Parameter");
        auto *parameterEdit = child<QLineEdit>(dialog, "lineEdit_Parameter");
        auto *addressLabel = child<QLabel>(dialog, "label_Address");
        auto *parameterLabel = child<QLabel>(dialog, "label_Parameter");

        // A record never set: the first type, the serial ports and the first baud rate.
        dialog.SetParameters(connection("QNLK"));
        QCOMPARE(type->currentText(), QStringLiteral("串口"));
        QCOMPARE(addressLabel->text(), QStringLiteral("串口号："));
        QCOMPARE(parameterLabel->text(), QStringLiteral("波特率："));
        QCOMPARE(items(address), Tool::getSerialPortNames());
        QCOMPARE(items(parameter), QStringList({"4800", "9600", "19200", "38400", "57600", "115200"}));
        QCOMPARE(parameter->currentText(), QStringLiteral("4800"));
        QVERIFY(address->isVisible() && parameter->isVisible());
        QVERIFY(!addressEdit->isVisible() && !parameterEdit->isVisible());

        type->setCurrentText(QStringLiteral("网络"));
        QCOMPARE(addressLabel->text(), QStringLiteral("IP地址："));
        QCOMPARE(parameterLabel->text(), QStringLiteral("端口号："));
        QVERIFY(addressEdit->isVisible() && parameterEdit->isVisible() && parameterLabel->isVisible());
        QVERIFY(!address->isVisible() && !parameter->isVisible());
        QCOMPARE(addressEdit->text(), QStringLiteral("192.168.1.1"));
        QCOMPARE(parameterEdit->text(), QStringLiteral("5980"));
        QCOMPARE(parameterEdit->maxLength(), 6);

        // A stored TCP connection shows exactly its texts, empty ones included.
        dialog.SetParameters(connection("QNLK", "网络", "10.0.0.7", "4001"));
        QCOMPARE(type->currentText(), QStringLiteral("网络"));
        QCOMPARE(addressEdit->text(), QStringLiteral("10.0.0.7"));
        QCOMPARE(parameterEdit->text(), QStringLiteral("4001"));
        dialog.SetParameters(connection("QNLK", "网络"));
        QVERIFY(addressEdit->text().isEmpty() && parameterEdit->text().isEmpty());

        // A stored serial connection selects its baud rate.
        dialog.SetParameters(connection("QNVA", "串口", "ttyNONE", "38400"));
        QCOMPARE(parameter->currentText(), QStringLiteral("38400"));

        // Bluetooth: the device name only; without a radio the name list stays empty.
        dialog.SetParameters(connection("QN P710W", "蓝牙", "P710W-1"));
        QCOMPARE(addressLabel->text(), QStringLiteral("设备名："));
        QVERIFY(address->isVisible());
        QVERIFY(!parameterLabel->isVisible() && !parameter->isVisible() && !parameterEdit->isVisible()
                && !addressEdit->isVisible());
        if (QBluetoothLocalDevice::allDevices().isEmpty())
            QCOMPARE(address->count(), 0);
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
