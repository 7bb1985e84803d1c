// The calibration page and its connection dialog: connection types and widgets per model, the
// connection test against a simulated dry-well over TCP, checks before a run, references by
// source, the run tree and its check rules, viewing, recalculating, deleting (with the store
// failing for real), the coefficient export, and continuing a stored run end to end.
#include "FormTestHelpers.h"
#include "SourceTestHelpers.h"

#include "calibration/Calibration.h"
#include "calibration/CalibrationScan.h"
#include "calibration/CalibrationTiming.h"
#include "calibration/CalibrationWork.h"
#include "calibration/CoefficientFit.h"
#include "common/Struct_System.h"
#include "store/Tool.h"
#include "support/DamagedTable.h"
#include "support/DatabaseLock.h"
#include "support/FakeCollection.h"
#include "support/FifoWithDeadline.h"
#include "support/MessageBoxHelper.h"
#include "support/TestWorkDir.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QSqlQuery>
#include <QTcpServer>
#include <QTranslator>
#include <QTableWidget>
#include <QTreeWidget>
#include <QtTest>

#include <memory>

using Record = Tool::Struct_CalibrationData;

namespace {

const QString kSerial = QStringLiteral("SN-1");
const QString kModel = QStringLiteral("P540W");
const QString kFakeModel = QStringLiteral("CAL-FAKE");
const QString kRun = QStringLiteral("2024-03-01 10:00:00");
const QString kNewer = QStringLiteral("2024-03-02 10:00:00");

Record record(const QString &run, const QString &number, const QString &method = "CVD", int points = 3)
{
    // A platinum sensor: R = 100·(1 + 3.9e-3·t − 6e-7·t²).
    QList<double> t, r;
    for (int i = 0; i < points; ++i) {
        t.append(-40.0 + 40.0 * i);
        r.append(100.0 * (1 + 3.9e-3 * t.last() - 6e-7 * t.last() * t.last()));
    }
    return {run, number, "PT100", method, "4", "a" + number, "b", "c", "d", "r0", "a4", "b4", "1", "0", "", "",
            Tool::toStringList(6, t), Tool::toStringList(8, r)};
}

// A stored run of those channels, with a record for each of the given ones.
void storeRun(const QString &time, const QStringList &numbers, const QList<Record> &records, const QString &model = kModel)
{
    QVERIFY(Tool::addCalibration({time, model, kSerial, numbers}));
    for (const Record &r : records)
        QVERIFY(Tool::addCalibrationData(r));
}

Record stored(const QString &run, const QString &number)
{
    Record r;
    Tool::getCalibrationData(r, run, number);
    return r;
}

int rows(const QString &table)
{
    QSqlQuery q;
    q.exec("SELECT COUNT(*) FROM " + table);
    return q.next() ? q.value(0).toInt() : -1;
}

bool exec(const QString &sql)
{
    QSqlQuery q;
    return q.exec(sql);
}

QString numbersOf(const QList<Record> &records)
{
    QStringList numbers;
    for (const Record &r : records)
        numbers.append(r.Number);
    return numbers.join(',');
}

Struct_Connection connection(const QString &model, const QString &mode = QString(), const QString &signal1 = QString(),
                             const QString &signal2 = QString(), bool connected = false)
{
    return Struct_Connection{model, mode, signal1, signal2, connected};
}

// The address and parameter rows of the connection dialog as shown: label, a combo's choice in
// <>, a line edit's text in [].
QString rowsShown(CalibrationScan &d)
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

} // namespace

class tst_Calibration : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestWorkDir> m_dir;
    std::unique_ptr<MessageBoxHelper> m_boxes;
    std::unique_ptr<Calibration> m_page;
    Struct_System m_System;

    // A new page for a system with one instrument of that model (none when empty).
    Calibration &openPage(const QString &model = kModel)
    {
        m_page.reset();
        m_System = Struct_System();
        if (!model.isEmpty()) {
            Tool::Struct_Collection device;
            device.Model = model;
            device.Serial = kSerial;
            m_System.DeviceList = {device};
        }
        m_page.reset(new Calibration);
        m_page->SetSystem(&m_System);
        m_page->show();
        return *m_page;
    }
    template <class T> T *find(const char *name) { return child<T>(*m_page, name); }
    QTreeWidgetItem *run(int index) { return find<QTreeWidget>("treeWidget")->topLevelItem(index); }
    QStringList texts() { return m_boxes->texts(); }

    static void click(QTreeWidgetItem *item, Qt::CheckState state)
    {
        item->setCheckState(0, state);
        emit item->treeWidget()->itemClicked(item, 0);
    }
    // The menu action's outcome: the boxes it showed.
    QStringList trigger(const char *action)
    {
        m_boxes->clear();
        find<QAction>(action)->trigger();
        return m_boxes->texts();
    }

    // Chooses the source, then tests its connection over TCP in the connection dialog and
    // closes the dialog (by OK, or by its close button).
    void testSource(const QString &source, quint16 port, bool byOk = true)
    {
        find<QComboBox>("comboBox_Field")->setCurrentText(source);
        MessageBoxHelper &boxes = *m_boxes;
        boxes.onDialog([port, byOk, &boxes](QWidget *w) {
            auto *dialog = static_cast<CalibrationScan *>(w);
            child<QComboBox>(*dialog, "comboBox_Communication")->setCurrentText(QStringLiteral("网络"));
            child<QLineEdit>(*dialog, "lineEdit_Address")->setText(QStringLiteral("127.0.0.1"));
            child<QLineEdit>(*dialog, "lineEdit_Parameter")->setText(QString::number(port));
            const int before = boxes.count();
            child<QPushButton>(*dialog, "pushButton_Scan")->click();
            QTest::qWaitFor([&]() { return boxes.count() > before && !dialog->isTesting(); }, 20000);
            if (byOk)
                dialog->accept();
            else
                dialog->close();
        }, "CalibrationScan");
        find<QPushButton>("pushButton_FieldScan")->click();
    }

private slots:
    void init()
    {
        m_dir.reset(new TestWorkDir);
        m_boxes.reset(new MessageBoxHelper);
        CommTiming::set(fastTiming());
        Calibration::forceP710WOffered(false);
        Calibration::setFileChooser({});
    }
    void cleanup()
    {
        m_page.reset();
        m_boxes.reset();
        m_dir.reset();
        CalibrationTiming::set(CalibrationTiming());
        FakeCollection::uninstall(kFakeModel);
    }
    void cleanupTestCase()
    {
        CommTiming::reset();
        Calibration::forceP710WOffered(std::nullopt);
    }

    // The thermometer connects over Bluetooth with a device of its own; a manual source needs no
    // connection. A stored connection shows exactly its texts, empty ones included, and the
    // network defaults stand behind "网络" of a record never set.
    void connectionDialogShowsTheConnection()
    {
        CalibrationScan dialog;
        dialog.show();
        QStringList shown;
        for (const QString model : {"QNVA", "QNVA-R", "QNLK", "QNLK-R", "QN P710W", "Other"}) {
            dialog.SetParameters(connection(model));
            std::unique_ptr<Device> made(CalibrationScan::createDevice(model));
            shown << items(child<QComboBox>(dialog, "comboBox_Communication")).join('/') + ':'
                    + (made ? made->metaObject()->className() : "-");
        }
        dialog.SetParameters(connection("QNLK"));
        shown << rowsShown(dialog);
        child<QComboBox>(dialog, "comboBox_Communication")->setCurrentText(QStringLiteral("网络"));
        shown << rowsShown(dialog);
        for (const Struct_Connection &stored : {connection("QNLK", "网络", "10.0.0.7", "4001"), connection("QNLK", "网络"),
                                                connection("QNVA", "串口", "ttyNONE", "38400")}) {
            dialog.SetParameters(stored);
            shown << rowsShown(dialog);
        }
        const QString port = "串口号：<" + Tool::getSerialPortNames().value(0) + '>';
        QCOMPARE(shown, QStringList({"串口:FieldTank", "串口:FieldTankR", "串口/网络:FieldDry", "串口/网络:FieldDryR",
                                     "蓝牙:CriteriaP710W", "Other:-", port + "|波特率：<4800>", "IP地址：[192.168.1.1]|端口号：[5980]",
                                     "IP地址：[10.0.0.7]|端口号：[4001]", "IP地址：[]|端口号：[]", port + "|波特率：<38400>"}));
    }

    // A failed test clears "connected" and holds the dialog open until its outcome; a passed one
    // sets it, and OK takes the edited address; a model without a connection needs no test.
    void connectionTest()
    {
        InstrumentSimulator sim(InstrumentSimulator::Dialect::DryWell);
        sim.silent = true;
        const QString port = QString::number(sim.listen());
        CalibrationScan dialog;
        dialog.SetParameters(connection("QNLK", "网络", "127.0.0.1", port, true));
        dialog.show();
        auto *scan = child<QPushButton>(dialog, "pushButton_Scan");
        auto *ok = child<QPushButton>(dialog, "pushButton_OK");
        const auto state = [&]() {
            return QStringLiteral("testing %1 scan %2 ok %3 connected %4")
                .arg(dialog.isTesting()).arg(scan->isEnabled()).arg(ok->isEnabled()).arg(dialog.GetParameters().Connected);
        };

        scan->click();
        QCOMPARE(state(), QStringLiteral("testing 1 scan 0 ok 0 connected 1"));
        dialog.OK_clicked();
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(!dialog.close());
        QVERIFY(dialog.isVisible());
        QVERIFY(m_boxes->waitFor(1, 20000));
        QCOMPARE(m_boxes->last().title + '|' + m_boxes->last().text, QStringLiteral("提示|设备连接失败！\n设备在等待时间内没有应答。"));
        QCOMPARE(state(), QStringLiteral("testing 0 scan 1 ok 1 connected 0"));

        sim.silent = false;
        scan->click();
        QVERIFY(m_boxes->waitFor(2, 20000));
        QCOMPARE(m_boxes->last().text, QStringLiteral("测试成功！"));
        QVERIFY(sim.commands.contains(QStringLiteral("*IDN?")));
        QCOMPARE(state(), QStringLiteral("testing 0 scan 1 ok 1 connected 1"));
        child<QLineEdit>(dialog, "lineEdit_Address")->setText(QStringLiteral("127.0.0.2"));
        ok->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        const Struct_Connection tested = dialog.GetParameters();
        QCOMPARE(QStringList({tested.SignalMode, tested.Signal1, tested.Signal2}).join(' '), "网络 127.0.0.2 " + port);

        dialog.SetParameters(connection("Other", QString(), QString(), QString(), true));
        scan->click();
        QCOMPARE(m_boxes->last().text, QStringLiteral("当前模式无需测试！"));
        QVERIFY(!dialog.isTesting() && dialog.GetParameters().Connected);
    }

    // A failed test says why on a second line: a port that refuses the connection, no serial
    // port or device chosen, a serial port that is not there (not opened at all).
    void connectionTestReasons()
    {
        quint16 closedPort = 0;
        {
            QTcpServer server;
            QVERIFY(server.listen(QHostAddress::LocalHost));
            closedPort = server.serverPort();
        }
        CalibrationScan dialog;
        dialog.show();
        auto *address = child<QComboBox>(dialog, "comboBox_Address");
        const auto test = [&](const Struct_Connection &record, const std::function<void()> &edit) {
            dialog.SetParameters(record);
            edit();
            const int before = m_boxes->count();
            child<QPushButton>(dialog, "pushButton_Scan")->click();
            return m_boxes->waitFor(before + 1, 20000) && QTest::qWaitFor([&] { return !dialog.isTesting(); })
                       ? m_boxes->last().text
                       : QString("no outcome");
        };
        const QString refused = test(connection("QNLK", "网络", "127.0.0.1", QString::number(closedPort)), [] {});
        QVERIFY2(refused.startsWith("设备连接失败！\n无法连接：") && refused.contains("refused"), qPrintable(refused));
        QCOMPARE(test(connection("QNLK", "串口"), [&] { address->clear(); }), QString("设备连接失败！\n未选择设备。"));
        QCOMPARE(test(connection("QNVA", "串口"), [&] {
                     address->addItem("ttyGONE7");
                     address->setCurrentText("ttyGONE7");
                 }),
                 QString("设备连接失败！\n找不到串口ttyGONE7。"));
        QVERIFY(!dialog.GetParameters().Connected);
    }

    // Switching to "网络" in an open dialog shows the address and the port as wide as a dialog
    // that opens on "网络", wide enough for a whole address.
    void networkRowsKeepTheirWidth()
    {
        const auto widths = [](const Struct_Connection &record, bool switchToNetwork) {
            CalibrationScan dialog;
            dialog.SetParameters(record);
            dialog.show();
            if (!QTest::qWaitForWindowExposed(&dialog))
                return QSize();
            if (switchToNetwork)
                child<QComboBox>(dialog, "comboBox_Communication")->setCurrentText(QStringLiteral("网络"));
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
            return QSize(child<QLineEdit>(dialog, "lineEdit_Address")->width(),
                         child<QLineEdit>(dialog, "lineEdit_Parameter")->width());
        };
        const QSize opened = widths(connection("QNLK", "网络", "192.168.100.200", "5980"), false);
        CalibrationScan dialog;
        dialog.show();
        const int whole = child<QLineEdit>(dialog, "lineEdit_Address")->fontMetrics().horizontalAdvance("192.168.100.200");
        QVERIFY2(opened.width() > whole && opened.height() > whole, qPrintable(QString::number(opened.width())));
        for (const Struct_Connection &record : {connection("QNLK"), connection("QNLK", "串口", "ttyNONE", "115200")}) {
            const QSize switched = widths(record, true);
            QVERIFY2(switched.width() >= opened.width() && switched.height() >= opened.height(),
                     qPrintable(QStringLiteral("%1x%2").arg(switched.width()).arg(switched.height())));
        }
    }

    void checksBeforeARun()
    {
        // Without an instrument the instrument comes first; an empty tree has no menu.
        openPage(QString());
        find<QPushButton>("pushButton_Calibration")->click();
        QCOMPARE(texts(), QStringList{"未选择采集器!"});
        auto *tree = find<QTreeWidget>("treeWidget");
        const QPoint inside = tree->mapToGlobal(tree->rect().center());
        QContextMenuEvent event(QContextMenuEvent::Mouse, m_page->mapFromGlobal(inside), inside);
        QApplication::sendEvent(m_page.get(), &event);
        QVERIFY(!event.isAccepted());

        InstrumentSimulator sim(InstrumentSimulator::Dialect::DryWell);
        const quint16 port = sim.listen();
        Calibration::forceP710WOffered(true);
        openPage();
        auto *field = find<QComboBox>("comboBox_Field");
        auto *criteria = find<QComboBox>("comboBox_Criteria");
        auto *start = find<QPushButton>("pushButton_Calibration");
        // The source untouched; then no source with a thermometer never tested.
        start->click();
        field->setCurrentText("其他");
        criteria->setCurrentText("QN P710W");
        start->click();
        QCOMPARE(m_boxes->last().title, QStringLiteral("提示"));
        // A tested source with a typed-in reference.
        testSource("QNLK", port);
        QVERIFY(m_page->fieldConnection().Connected);
        QCOMPARE(criteria->currentText(), QStringLiteral("其他"));
        start->click();
        QCOMPARE(texts(), QStringList({"未选择采集器!", "温场未连接!", "标准未连接!", "测试成功！", "当前温场不支持标准手动采集!"}));
        QCOMPARE(m_System.FieldModel, QString());

        // A source that is its own reference passes once tested (closed without OK, too), but not
        // with a typed-in reference.
        testSource("QNLK-R", port, false);
        criteria->setCurrentText("其他");
        QVERIFY(!m_page->CheckDevices());
        QCOMPARE(m_boxes->last().text, QStringLiteral("当前温场不支持标准手动采集!"));
        criteria->setCurrentText("QNLK-R");
        QVERIFY(m_page->CheckDevices());
        QCOMPARE(QStringList({m_System.FieldModel, m_System.FieldSignalMode, m_System.FieldSignal1,
                              m_System.FieldSignal2, m_System.CriteriaModel}),
                 QStringList({"QNLK-R", "网络", "127.0.0.1", QString::number(port), "QNLK-R"}));

        // Changing the source forgets the test.
        field->setCurrentText("QNLK");
        QVERIFY(!m_page->fieldConnection().Connected);
        // Neither source nor thermometer: a manual run with a typed-in reference.
        field->setCurrentText("其他");
        QVERIFY(m_page->CheckDevices());
        QCOMPARE(m_System.FieldModel + '/' + m_System.CriteriaModel, QStringLiteral("Other/Other"));
    }

    // The references offered by source (a source that reads its own reference first, the
    // thermometer only with an adapter), and the settings only the thermometer has.
    void referencesFollowTheSource()
    {
        for (const bool bluetooth : {false, true}) {
            Calibration::forceP710WOffered(bluetooth);
            openPage();
            QStringList offered;
            for (const QString source : {"QNLK", "QNVA", "QNVA-R", "QNLK-R", "其他"}) {
                find<QComboBox>("comboBox_Field")->setCurrentText(source);
                offered << source + ':' + items(find<QComboBox>("comboBox_Criteria")).join('/') + ':'
                        + m_page->criteriaConnection().Model + ':'
                        + QString::number(find<QPushButton>("pushButton_FieldScan")->isEnabled());
            }
            // "Other" shows translated; the reference's model stays "Other".
            const QString expected = "QNLK:其他%1:Other:1 QNVA:其他%1:Other:1 QNVA-R:QNVA-R/其他%1:QNVA-R:1 "
                                     "QNLK-R:QNLK-R/其他%1:QNLK-R:1 其他:其他%1:Other:0";
            QCOMPARE(offered.join(' '), expected.arg(bluetooth ? "/QN P710W" : ""));
            // Only the thermometer has connection settings.
            auto *settings = find<QPushButton>("pushButton_CriteriaScan");
            QVERIFY(!settings->isEnabled());
            m_boxes->clear();
            m_page->CriteriaScan_clicked();
            QCOMPARE(texts(), QStringList{"当前标准无需设置通信信息!"});
        }
        find<QComboBox>("comboBox_Criteria")->setCurrentText("QN P710W");
        QVERIFY(find<QPushButton>("pushButton_CriteriaScan")->isEnabled() && !m_page->criteriaConnection().Connected);
    }

    // The source and reference "Other" are shown in the user's language (the source text in
    // Chinese), the model they stand for stays "Other".
    void otherShownInTheUsersLanguage()
    {
        QVERIFY2(m_dir->copyFromBuild("DAQ_en.qm"), "the build folder holds the catalogue");
        QTranslator english;
        QVERIFY(english.load(m_dir->filePath("DAQ_en.qm")));
        QStringList shown;
        for (const bool inEnglish : {false, true}) {
            if (inEnglish)
                QCoreApplication::installTranslator(&english);
            openPage();
            auto *field = find<QComboBox>("comboBox_Field");
            field->setCurrentIndex(field->count() - 1);
            shown << field->currentText() + '/' + find<QComboBox>("comboBox_Criteria")->currentText();
            QVERIFY(m_page->CheckDevices());
            shown << m_System.FieldModel + '/' + m_System.CriteriaModel;
        }
        QCoreApplication::removeTranslator(&english);
        QCOMPARE(shown, QStringList({"其他/其他", "Other/Other", "Other/Other", "Other/Other"}));
    }

    void treeCheckRulesAndViewing()
    {
        QList<Record> records;
        for (const QString n : {"1", "2", "3", "4"})
            records << record(kRun, n);
        storeRun(kRun, {"1", "2", "3", "4"}, records);
        storeRun(kNewer, {"7", "8"}, {record(kNewer, "7"), record(kNewer, "8")});
        openPage();
        QCOMPARE(run(0)->text(0), kNewer + "-" + kSerial);
        QTreeWidgetItem *first = run(1), *second = run(0);
        // The check states of both runs, newest first: run, then its channels.
        const auto checks = [&]() {
            QString text;
            for (QTreeWidgetItem *item : {second, first}) {
                text += QLatin1Char(' ') + QString::number(item->checkState(0)) + QLatin1Char(':');
                for (int i = 0; i < item->childCount(); ++i)
                    text += QString::number(item->child(i)->checkState(0) / 2);
            }
            return text.trimmed();
        };

        // Channels 2 and 4: the run shows partly checked; viewing shows exactly those two.
        click(first->child(1), Qt::Checked);
        click(first->child(3), Qt::Checked);
        QCOMPARE(checks(), QStringLiteral("0:00 1:0101"));
        trigger("action_Show");
        QCOMPARE(numbersOf(m_page->records()), QStringLiteral("2,4"));
        auto *table = find<QTableWidget>("tableWidget");
        QStringList headers, cells;
        for (int column = 0; column < table->columnCount(); ++column) {
            headers << table->horizontalHeaderItem(column)->text();
            cells << table->item(1, column)->text();
        }
        QCOMPARE(headers.join('/'), QStringLiteral("通道序号/通道类型/通道功能/接线线制/A/B/C/D/R0/A4/B4/校准标准/校准数据"));
        QCOMPARE(cells.join('/'), "4/PT100/CVD/4/a4/b/c/d/r0/a4/b4/" + records[3].CList.join(',') + '/' + records[3].DList.join(','));
        QStringList menu;
        for (const QAction *action : find<QMenu>("menu_Project")->actions())
            menu << action->text();
        QCOMPARE(menu.join('/'), QStringLiteral("查看项目/删除项目/重新计算/继续校准/Ini导出"));

        click(first->child(0), Qt::Checked);
        click(first->child(2), Qt::Checked);
        QCOMPARE(checks(), QStringLiteral("0:00 2:1111"));
        click(first, Qt::Unchecked);
        QCOMPARE(checks(), QStringLiteral("0:00 0:0000"));
        // A channel of another run clears the first run; a run checks all its channels.
        click(first->child(0), Qt::Checked);
        click(second->child(1), Qt::Checked);
        QCOMPARE(checks(), QStringLiteral("1:01 0:0000"));
        click(first, Qt::Checked);
        QCOMPARE(checks(), QStringLiteral("0:00 2:1111"));
        emit first->treeWidget()->itemDoubleClicked(first, 0);
        QCOMPARE(numbersOf(m_page->records()), QStringLiteral("1,2,3,4"));

        // Nothing checked: nothing to show or export, the table keeps its rows.
        click(first, Qt::Unchecked);
        trigger("action_Show");
        QVERIFY(m_page->records().isEmpty());
        QCOMPARE(table->rowCount(), 4);
        QCOMPARE(trigger("action_Export"), QStringList{"请先选择需要导出的通道!"});
    }

    void recalculateReplacesRowsOrNothing()
    {
        // Channel 2's ITS90 fit needs 3 or 5 points; channel 9 has no stored record.
        const QList<Record> records{record(kRun, "1"), record(kRun, "2", "ITS90", 4), record(kRun, "3", "R(T)", 4)};
        storeRun(kRun, {"1", "2", "3", "9"}, records);
        QVERIFY(exec("CREATE TRIGGER full BEFORE INSERT ON CalibrationData WHEN NEW.Number = '2'"
                     " BEGIN SELECT RAISE(ABORT, 'disk full'); END"));
        openPage();
        click(run(0), Qt::Checked);
        const auto shown = [&]() {
            return stored(kRun, "1").A + ' ' + stored(kRun, "2").A + ' ' + stored(kRun, "3").A + " | "
                + numbersOf(m_page->records()) + ' ' + m_page->records().at(0).A + ' '
                + find<QTableWidget>("tableWidget")->item(0, Calibration::ColA)->text();
        };

        // The second channel cannot be stored: every channel keeps its row, and the page shows
        // (and exports) what is stored.
        QCOMPARE(trigger("action_Recalculate"), QStringList{"数据库保存数据失败！"});
        QCOMPARE(rows("CalibrationData"), 3);
        QCOMPARE(shown(), QStringLiteral("a1 a2 a3 | 1,2,3 a1 a1"));

        QVERIFY(exec("DROP TRIGGER full"));
        QCOMPARE(trigger("action_Recalculate"), QStringList());
        QCOMPARE(QString::number(rows("CalibrationData")) + '/' + QString::number(rows("CalibrationData WHERE Name = ''")),
                 QStringLiteral("3/0"));
        QStringList fitted;
        for (Record expected : records) {
            CoefficientFit::fitRecord(expected);
            fitted << expected.A;
        }
        QVERIFY(fitted.at(0).contains('E') && fitted.at(1) == "a2");
        QCOMPARE(shown(), fitted.join(' ') + " | 1,2,3 " + fitted.at(0) + ' ' + fitted.at(0));
    }

    void deleteTakesTheRunWithItsChannelsOrNothing()
    {
        storeRun(kRun, {"1"}, {record(kRun, "1")});
        storeRun(kNewer, {"1", "2"}, {record(kNewer, "1"), record(kNewer, "2")});
        openPage();
        const auto state = [&]() {
            return QStringLiteral("%1 %2 %3 %4 %5")
                .arg(rows("Calibration")).arg(rows("CalibrationData")).arg(rows("CalibrationData WHERE Name = '" + kNewer + "'"))
                .arg(find<QTreeWidget>("treeWidget")->topLevelItemCount()).arg(find<QTableWidget>("tableWidget")->rowCount());
        };
        QCOMPARE(trigger("action_Delete"), QStringList{"请先选择需要删除的项目!"});

        click(run(0), Qt::Checked);
        trigger("action_Show");
        QVERIFY(exec("CREATE TRIGGER locked BEFORE DELETE ON CalibrationData BEGIN SELECT RAISE(ABORT, 'locked'); END"));
        QCOMPARE(trigger("action_Delete"), QStringList{"删除数据失败!"});
        QCOMPARE(state(), QStringLiteral("2 3 2 2 2"));

        QVERIFY(exec("DROP TRIGGER locked"));
        QCOMPARE(trigger("action_Delete"), QStringList());
        QCOMPARE(state(), QStringLiteral("1 1 0 1 0"));
        QCOMPARE(trigger("action_Export"), QStringList{"请先选择需要导出的通道!"});
    }

    void exportFromTheMenu()
    {
        storeRun(kRun, {"1", "2", "3"}, {record(kRun, "1"), record(kRun, "2"), record(kRun, "3")});
        openPage();
        click(run(0), Qt::Checked);
        trigger("action_Show");

        // Cancelled: nothing written, nothing said.
        QString answer;
        Calibration::setFileChooser([&](QWidget *) { return answer; });
        QCOMPARE(trigger("action_Export"), QStringList());

        // A name without ".ini" gets it.
        answer = m_dir->filePath("coefficients");
        QCOMPARE(trigger("action_Export"), QStringList{"数据导出成功！"});
        QSettings ini(m_dir->filePath("coefficients.ini"), QSettings::IniFormat);
        QCOMPARE(ini.value("Standardizer/A_C0").toStringList(), QStringList({"a1", "a2", "a3"}));
        answer = m_dir->filePath("coefficients.v2");
        trigger("action_Export");
        QVERIFY(QFileInfo::exists(m_dir->filePath("coefficients.v2.ini")));

        // A file that cannot be written (its folder is a file) is reported.
        QFile blocker(m_dir->filePath("blocker"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        answer = m_dir->filePath("blocker/coefficients.ini");
        QStringList said = trigger("action_Export");
        QCOMPARE(said, QStringList{"数据导出失败！\n文件写入失败。\n" + answer + ": " + QString::fromLocal8Bit(std::strerror(ENOTDIR))});

        // A FIFO at the path is refused at once, saying so, and stays a FIFO.
        answer = m_dir->filePath("fifo.ini");
        {
            FifoWithDeadline fifo(answer, 3000);
            QVERIFY2(fifo.isMade(), qPrintable(fifo.error()));
            QElapsedTimer clock;
            clock.start();
            said = trigger("action_Export");
            QVERIFY2(!fifo.releasedAReader() && clock.elapsed() < 3000, "the page waited on the FIFO");
            QVERIFY(fifo.isStillFifo());
        }
        QCOMPARE(said, QStringList{"数据导出失败！\n" + answer + " 不是普通文件（命名管道），未做任何更改。"});

        // An existing file that is not UTF-8 text is refused with the reason, and stays as it was.
        const QByteArray latin1("[Other]\nname=caf\xe9\n");
        QFile existing(m_dir->filePath("latin1.ini"));
        QVERIFY(existing.open(QIODevice::WriteOnly));
        existing.write(latin1);
        existing.close();
        answer = existing.fileName();
        said = trigger("action_Export");
        QCOMPARE(said.size(), 1);
        QVERIFY2(said.first().startsWith("数据导出失败！\n") && said.first().size() > 8, qPrintable(said.first()));
        QVERIFY(existing.open(QIODevice::ReadOnly));
        QCOMPARE(existing.readAll(), latin1);
    }

    // Another program holding the database's write lock: recalculating and deleting give up
    // after a moment with their boxes, and nothing is changed.
    void recalculateAndDeleteUnderAnotherProgramsLock()
    {
        storeRun(kRun, {"1", "2"}, {record(kRun, "1"), record(kRun, "2")});
        openPage();
        click(run(0), Qt::Checked);
        DatabaseLock lock;
        QVERIFY2(lock.hold(m_dir->filePath("DAQ.db3")), qPrintable(lock.error()));
        QElapsedTimer held;
        held.start();
        const QString inUse = "\n数据库正被其他程序使用，未做任何更改。";
        QCOMPARE(trigger("action_Recalculate") + trigger("action_Delete"),
                 QStringList({"数据库保存数据失败！" + inUse, "删除数据失败!" + inUse}));
        QVERIFY2(held.elapsed() < 5000, qPrintable(QString::number(held.elapsed())));
        lock.release();
        QCOMPARE(QString::number(rows("Calibration")) + ' ' + stored(kRun, "1").A + ' ' + stored(kRun, "2").A
                     + ' ' + numbersOf(m_page->records()),
                 QStringLiteral("1 a1 a2 1,2"));
        QCOMPARE(trigger("action_Delete"), QStringList());
        QCOMPARE(rows("Calibration") + rows("CalibrationData"), 0);
    }

    // A damaged page of the stored runs: the page warns with the database's reason instead of
    // showing an empty tree as if no run were stored; the table is left alone.
    void damagedRunsAreReported_data()
    {
        QTest::addColumn<bool>("last");
        QTest::newRow("first page") << false;
        QTest::newRow("page of the last runs") << true;
    }

    void damagedRunsAreReported()
    {
        QFETCH(bool, last);
        QStringList numbers;
        for (int n = 1; n <= 40; ++n)
            numbers << QString::number(n);
        for (int run = 0; run < 60; ++run)
            QVERIFY(Tool::addCalibration({QStringLiteral("2024-03-01 10:%1:00").arg(run, 2, 10, QLatin1Char('0')), kModel, kSerial, numbers}));
        QVERIFY(damageTable("Calibration", last));
        openPage();
        QCOMPARE(texts(), QStringList{"读取数据库失败！\ndatabase disk image is malformed"});
        QCOMPARE(find<QTreeWidget>("treeWidget")->topLevelItemCount(), 0);
    }

    // A run stored after two of its three set points continues from the page: the set-up keeps
    // its channel, the run takes the third point only and fits, and the tree is read again.
    void continueAStoredRun()
    {
        const auto pt100 = FakeCollection::Sensor::pt100();
        const std::shared_ptr<FakeCollection::Script> script = FakeCollection::install(kFakeModel);
        script->setSerial(kSerial);
        script->addChannel(1, QStringLiteral("℃"));
        script->setSensor(1, pt100);
        script->setTemperatures({100.0});
        CalibrationTiming::set({{}, 2, 10, 20, 1});
        Record first = record(kRun, "1", "CVD", 0);
        first.CList = QStringList{"0.000000", "50.000000"};
        first.DList = Tool::toStringList(8, {pt100.resistance(0.0), pt100.resistance(50.0)});
        storeRun(kRun, {"1"}, {first}, kFakeModel);

        InstrumentSimulator source(InstrumentSimulator::Dialect::DryWell);
        source.script("READ?", {"100.000\r\n"});
        const quint16 port = source.listen();
        openPage(kFakeModel);
        testSource("QNLK-R", port);
        click(run(0), Qt::Checked);

        m_boxes->onDialog([](QWidget *w) {
            child<QLineEdit>(*w, "lineEdit_Delay")->setText("1");
            for (int k = 1; k <= 3; ++k)
                child<QLineEdit>(*w, qPrintable(QStringLiteral("lineEdit_Temp%1").arg(k)))->setText(QString::number(50 * (k - 1)));
            child<QPushButton>(*w, "pushButton_Next")->click();
        }, "CalibrationChannel");
        m_boxes->onDialog([](QWidget *w) {
            auto *work = static_cast<CalibrationWork *>(w);
            QTest::qWaitFor([&]() { return !work->isBusy() && !work->isRunning(); }, 30000);
            work->reject();
        }, "CalibrationWork");
        source.commands.clear();
        QCOMPARE(trigger("action_Continue"), QStringList());

        QCOMPARE(m_System.Calibration.TimeName, kRun);
        QCOMPARE(source.commands.filter(QRegularExpression("^s ")).join(','), QStringLiteral("s 100.00"));
        const Record fitted = stored(kRun, "1");
        QCOMPARE(fitted.CList.join(','), QStringLiteral("0.000000,50.000000,100.000000"));
        QVERIFY2(qAbs(fitted.R0.toDouble() - 100.0) < 1e-6, qPrintable(fitted.R0));
        // Saved after the point and again at the end, the run is still listed once.
        QCOMPARE(find<QTreeWidget>("treeWidget")->topLevelItemCount(), 1);
        QCOMPARE(run(0)->checkState(0), Qt::Unchecked);
    }

    // A run continues only on its own instrument: the same serial and the same model.
    void continuingNeedsARunAndItsInstrument()
    {
        QVERIFY(Tool::addCalibration({kRun, kModel, "SN-REMOVED", {"1"}}));
        QVERIFY(Tool::addCalibration({kNewer, "P999", kSerial, {"1"}}));
        openPage();
        find<QComboBox>("comboBox_Field")->setCurrentText("其他");
        QCOMPARE(trigger("action_Continue"), QStringList{"项目信息异常!"});
        for (int index : {0, 1}) {
            click(run(index), Qt::Checked);
            QCOMPARE(trigger("action_Continue"), QStringList{"选择的采集器未连接!"});
        }
        QVERIFY(m_System.Calibration.TimeName.isEmpty());
    }
};

QTEST_MAIN(tst_Calibration)
#include "tst_Calibration.moc"
