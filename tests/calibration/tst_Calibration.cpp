// The calibration page: checks before a run, references by source, the run tree and its check
// rules, viewing, recalculating, deleting (with the store failing for real), continuing and the
// coefficient export from the menu.
#include "FormTestHelpers.h"
#include "SourceTestHelpers.h"

#include "calibration/Calibration.h"
#include "calibration/CalibrationScan.h"
#include "calibration/CalibrationTiming.h"
#include "calibration/CalibrationWork.h"
#include "calibration/CoefficientFit.h"
#include "calibration/CoefficientIni.h"
#include "common/Struct_System.h"
#include "store/Tool.h"
#include "support/FakeCollection.h"
#include "support/MessageBoxHelper.h"
#include "support/TestWorkDir.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSqlQuery>
#include <QTableWidget>
#include <QTreeWidget>
#include <QtTest>

using Record = Tool::Struct_CalibrationData;

namespace {

const QString kSerial = QStringLiteral("SN-1");
const QString kModel = QStringLiteral("P540W");
const QString kFakeModel = QStringLiteral("CAL-FAKE");

Record record(const QString &run, const QString &number, const QString &method, int points)
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

// A stored run with one channel record per given record.
void storeRun(const QString &time, const QStringList &numbers, const QList<Record> &records)
{
    QVERIFY(Tool::addCalibration({time, kModel, kSerial, numbers}));
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

QStringList numbersOf(const QList<Record> &records)
{
    QStringList numbers;
    for (const Record &r : records)
        numbers.append(r.Number);
    return numbers;
}

} // namespace

class tst_Calibration : public QObject
{
    Q_OBJECT

    Struct_System m_System;

    void openPage(Calibration &page, bool withInstrument = true, const QString &model = kModel)
    {
        m_System = Struct_System();
        if (withInstrument) {
            Tool::Struct_Collection device;
            device.Model = model;
            device.Serial = kSerial;
            device.SignalMode = ToolComm::TcpText;
            device.Rate = QStringLiteral("1Hz");
            m_System.DeviceList = {device};
        }
        page.SetSystem(&m_System);
        page.show();
    }

    static void click(QTreeWidgetItem *item, Qt::CheckState state)
    {
        item->setCheckState(0, state);
        emit item->treeWidget()->itemClicked(item, 0);
    }

    static void trigger(Calibration &page, const char *action)
    {
        page.findChild<QAction *>(QString::fromLatin1(action))->trigger();
    }

    // Chooses the source, then tests its connection over TCP in the connection dialog and
    // closes the dialog (by OK, or by its close button).
    static void testSource(Calibration &page, MessageBoxHelper &boxes, const QString &source, quint16 port,
                           bool byOk = true)
    {
        child<QComboBox>(page, "comboBox_Field")->setCurrentText(source);
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
        child<QPushButton>(page, "pushButton_FieldScan")->click();
    }

private slots:
    void init()
    {
        CommTiming::set(fastTiming());
        Calibration::forceP710WOffered(false);
        Calibration::setFileChooser({});
    }
    void cleanup()
    {
        CalibrationTiming::set(CalibrationTiming());
        FakeCollection::uninstall(kFakeModel);
    }
    void cleanupTestCase()
    {
        CommTiming::reset();
        Calibration::forceP710WOffered(std::nullopt);
    }

    void emptyPageAndNoInstrument()
    {
        TestWorkDir dir;
        MessageBoxHelper boxes;
        Calibration page;
        openPage(page, false);
        auto *tree = child<QTreeWidget>(page, "treeWidget");
        QCOMPARE(tree->topLevelItemCount(), 0);
        QCOMPARE(tree->headerItem()->text(0), QStringLiteral("项目列表"));
        QCOMPARE(child<QTableWidget>(page, "tableWidget")->columnCount(), 13);
        // No menu over an empty tree.
        const QPoint inside = tree->mapToGlobal(tree->rect().center());
        QContextMenuEvent event(QContextMenuEvent::Mouse, page.mapFromGlobal(inside), inside);
        QApplication::sendEvent(&page, &event);
        QVERIFY(!event.isAccepted());

        // The instrument comes first, before any device check.
        child<QPushButton>(page, "pushButton_Calibration")->click();
        QCOMPARE(boxes.texts(), QStringList{"未选择采集器!"});
    }

    void checksBeforeARun()
    {
        TestWorkDir dir;
        MessageBoxHelper boxes;
        InstrumentSimulator sim(InstrumentSimulator::Dialect::DryWell);
        const quint16 port = sim.listen();
        Calibration::forceP710WOffered(true);
        Calibration page;
        openPage(page);
        auto *field = child<QComboBox>(page, "comboBox_Field");
        auto *criteria = child<QComboBox>(page, "comboBox_Criteria");
        auto *run = child<QPushButton>(page, "pushButton_Calibration");

        // Source untouched: not connected.
        run->click();
        QCOMPARE(boxes.last().text, QStringLiteral("温场未连接!"));
        QCOMPARE(boxes.last().title, QStringLiteral("提示"));

        // No source, a thermometer that was never tested.
        field->setCurrentText("Other");
        criteria->setCurrentText("QN P710W");
        run->click();
        QCOMPARE(boxes.last().text, QStringLiteral("标准未连接!"));

        // A tested source with a typed-in reference.
        testSource(page, boxes, "QNLK", port);
        QVERIFY(page.fieldConnection().Connected);
        QCOMPARE(criteria->currentText(), QStringLiteral("Other"));
        boxes.clear();
        run->click();
        QCOMPARE(boxes.texts(), QStringList{"当前温场不支持标准手动采集!"});
        QCOMPARE(m_System.FieldModel, QString());

        // A source that is its own reference passes once tested (closed without OK, too).
        testSource(page, boxes, "QNLK-R", port, false);
        QCOMPARE(criteria->currentText(), QStringLiteral("QNLK-R"));
        QVERIFY(page.CheckDevices());
        QCOMPARE(QStringList({m_System.FieldModel, m_System.FieldSignalMode, m_System.FieldSignal1,
                              m_System.FieldSignal2, m_System.CriteriaModel}),
                 QStringList({"QNLK-R", "网络", "127.0.0.1", QString::number(port), "QNLK-R"}));

        // Changing the source forgets the test.
        field->setCurrentText("QNLK");
        QVERIFY(!page.fieldConnection().Connected);

        // Neither source nor thermometer: a manual run with a typed-in reference.
        field->setCurrentText("Other");
        QVERIFY(page.CheckDevices());
        QCOMPARE(m_System.FieldModel + '/' + m_System.CriteriaModel, QStringLiteral("Other/Other"));
    }

    void referencesFollowTheSource_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<bool>("bluetooth");
        QTest::addColumn<QStringList>("references");
        QTest::newRow("bath") << "QNVA" << true << QStringList{"Other", "QN P710W"};
        QTest::newRow("bath as reference") << "QNVA-R" << true << QStringList{"QNVA-R", "Other", "QN P710W"};
        QTest::newRow("dry-well as reference") << "QNLK-R" << false << QStringList{"QNLK-R", "Other"};
        QTest::newRow("none, no adapter") << "Other" << false << QStringList{"Other"};
    }
    void referencesFollowTheSource()
    {
        QFETCH(QString, source);
        QFETCH(bool, bluetooth);
        QFETCH(QStringList, references);
        TestWorkDir dir;
        MessageBoxHelper boxes;
        Calibration::forceP710WOffered(bluetooth);
        Calibration page;
        openPage(page);
        child<QComboBox>(page, "comboBox_Field")->setCurrentText("QNLK");
        child<QComboBox>(page, "comboBox_Field")->setCurrentText(source);
        auto *criteria = child<QComboBox>(page, "comboBox_Criteria");
        QCOMPARE(items(criteria), references);
        QCOMPARE(page.criteriaConnection().Model, references.first());
        QCOMPARE(child<QPushButton>(page, "pushButton_FieldScan")->isEnabled(), source != "Other");

        // Only the thermometer has connection settings.
        auto *settings = child<QPushButton>(page, "pushButton_CriteriaScan");
        QVERIFY(!settings->isEnabled());
        page.CriteriaScan_clicked();
        QCOMPARE(boxes.texts(), QStringList{"当前标准无需设置通信信息!"});
        if (bluetooth) {
            criteria->setCurrentText("QN P710W");
            QVERIFY(settings->isEnabled() && !page.criteriaConnection().Connected);
        }
    }

    void treeCheckRulesAndViewing()
    {
        TestWorkDir dir;
        MessageBoxHelper boxes;
        const QString older = "2024-03-01 10:00:00", newer = "2024-03-02 10:00:00";
        QList<Record> records;
        for (const QString n : {"1", "2", "3", "4"})
            records << record(older, n, "CVD", 3);
        storeRun(older, numbersOf(records), records);
        storeRun(newer, {"7", "8"}, {record(newer, "7", "CVD", 3), record(newer, "8", "CVD", 3)});
        Calibration page;
        openPage(page);
        auto *tree = child<QTreeWidget>(page, "treeWidget");
        QCOMPARE(tree->topLevelItem(0)->text(0), newer + "-" + kSerial);
        QTreeWidgetItem *first = tree->topLevelItem(1), *second = tree->topLevelItem(0);
        // The check states of both runs, newest first: run, then its channels.
        const auto checks = [&]() {
            QString text;
            for (QTreeWidgetItem *run : {second, first}) {
                text += QLatin1Char(' ') + QString::number(run->checkState(0)) + QLatin1Char(':');
                for (int i = 0; i < run->childCount(); ++i)
                    text += QString::number(run->child(i)->checkState(0) / 2);
            }
            return text.trimmed();
        };

        // Channels 2 and 4: the run shows partly checked; viewing shows exactly those two.
        click(first->child(1), Qt::Checked);
        click(first->child(3), Qt::Checked);
        QCOMPARE(checks(), QStringLiteral("0:00 1:0101"));
        trigger(page, "action_Show");
        QCOMPARE(numbersOf(page.records()), QStringList({"2", "4"}));
        auto *table = child<QTableWidget>(page, "tableWidget");
        QCOMPARE(table->rowCount(), 2);
        QCOMPARE(table->item(1, Calibration::ColReference)->text(), records[3].CList.join(','));
        QCOMPARE(table->item(1, Calibration::ColA)->text(), QStringLiteral("a4"));

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
        emit tree->itemDoubleClicked(first, 0);
        QCOMPARE(numbersOf(page.records()), QStringList({"1", "2", "3", "4"}));

        // Nothing checked: nothing to show or export, the table keeps its rows.
        click(first, Qt::Unchecked);
        trigger(page, "action_Show");
        QVERIFY(page.records().isEmpty());
        QCOMPARE(table->rowCount(), 4);
        trigger(page, "action_Export");
        QCOMPARE(boxes.texts(), QStringList{"请先选择需要导出的通道!"});
    }

    void recalculateReplacesRowsOrNothing()
    {
        TestWorkDir dir;
        MessageBoxHelper boxes;
        const QString run = "2024-03-01 10:00:00";
        // Channel 2's ITS90 fit needs 3 or 5 points; channel 9 has no stored record.
        const QList<Record> records{record(run, "1", "CVD", 3), record(run, "2", "ITS90", 4),
                                    record(run, "3", "R(T)", 4)};
        storeRun(run, {"1", "2", "3", "9"}, records);
        QVERIFY(exec("CREATE TRIGGER full BEFORE INSERT ON CalibrationData WHEN NEW.Number = '3'"
                     " BEGIN SELECT RAISE(ABORT, 'disk full'); END"));
        Calibration page;
        openPage(page);
        auto *tree = child<QTreeWidget>(page, "treeWidget");
        click(tree->topLevelItem(0), Qt::Checked);

        // The third channel cannot be stored: every channel keeps its row, and the page shows
        // (and exports) what is stored.
        trigger(page, "action_Recalculate");
        QCOMPARE(boxes.texts(), QStringList{"数据库保存数据失败！"});
        QCOMPARE(rows("CalibrationData"), 3);
        for (const Record &r : records)
            QCOMPARE(stored(run, r.Number).A, r.A);
        QCOMPARE(numbersOf(page.records()), QStringList({"1", "2", "3"}));
        QCOMPARE(page.records().at(0).A, QStringLiteral("a1"));
        QCOMPARE(child<QTableWidget>(page, "tableWidget")->item(0, Calibration::ColA)->text(), QStringLiteral("a1"));

        QVERIFY(exec("DROP TRIGGER full"));
        boxes.clear();
        trigger(page, "action_Recalculate");
        QCOMPARE(boxes.count(), 0);
        QCOMPARE(rows("CalibrationData"), 3);
        QCOMPARE(rows("CalibrationData WHERE Name = ''"), 0);
        for (Record expected : records) {
            CoefficientFit::fitRecord(expected);
            QCOMPARE(stored(run, expected.Number).A, expected.A);
        }
        QVERIFY(stored(run, "1").A.contains('E'));
        QCOMPARE(stored(run, "2").A, QStringLiteral("a2"));
        QCOMPARE(page.records().at(0).A, stored(run, "1").A);
    }

    void deleteTakesTheRunWithItsChannelsOrNothing()
    {
        TestWorkDir dir;
        MessageBoxHelper boxes;
        const QString kept = "2024-03-01 10:00:00", gone = "2024-03-02 10:00:00";
        storeRun(kept, {"1"}, {record(kept, "1", "CVD", 3)});
        storeRun(gone, {"1", "2"}, {record(gone, "1", "CVD", 3), record(gone, "2", "CVD", 3)});
        Calibration page;
        openPage(page);
        auto *tree = child<QTreeWidget>(page, "treeWidget");

        trigger(page, "action_Delete");
        QCOMPARE(boxes.texts(), QStringList{"请先选择需要删除的项目!"});

        click(tree->topLevelItem(0), Qt::Checked);
        trigger(page, "action_Show");
        QCOMPARE(page.records().size(), 2);
        QVERIFY(exec("CREATE TRIGGER locked BEFORE DELETE ON CalibrationData"
                     " BEGIN SELECT RAISE(ABORT, 'locked'); END"));
        boxes.clear();
        trigger(page, "action_Delete");
        QCOMPARE(boxes.texts(), QStringList{"删除数据失败!"});
        QCOMPARE(rows("Calibration"), 2);
        QCOMPARE(rows("CalibrationData"), 3);
        QCOMPARE(tree->topLevelItemCount(), 2);

        QVERIFY(exec("DROP TRIGGER locked"));
        boxes.clear();
        trigger(page, "action_Delete");
        QCOMPARE(boxes.count(), 0);
        QCOMPARE(rows("Calibration"), 1);
        QCOMPARE(rows("CalibrationData WHERE Name = '" + gone + "'"), 0);
        QCOMPARE(rows("CalibrationData"), 1);
        QCOMPARE(tree->topLevelItemCount(), 1);
        QCOMPARE(child<QTableWidget>(page, "tableWidget")->rowCount(), 0);
        trigger(page, "action_Export");
        QCOMPARE(boxes.texts(), QStringList{"请先选择需要导出的通道!"});
    }

    void exportFromTheMenu()
    {
        TestWorkDir dir;
        MessageBoxHelper boxes;
        const QString run = "2024-03-01 10:00:00";
        storeRun(run, {"1", "2", "3"},
                 {record(run, "1", "CVD", 3), record(run, "2", "CVD", 3), record(run, "3", "CVD", 3)});
        Calibration page;
        openPage(page);
        click(child<QTreeWidget>(page, "treeWidget")->topLevelItem(0), Qt::Checked);
        trigger(page, "action_Show");

        // Cancelled: nothing written, nothing said.
        QString answer;
        Calibration::setFileChooser([&](QWidget *) { return answer; });
        trigger(page, "action_Export");
        QCOMPARE(boxes.count(), 0);

        // A name without ".ini" gets it.
        answer = dir.filePath("coefficients");
        trigger(page, "action_Export");
        QCOMPARE(boxes.texts(), QStringList{"数据导出成功！"});
        QSettings ini(dir.filePath("coefficients.ini"), QSettings::IniFormat);
        QCOMPARE(ini.value("Standardizer/A_C0").toStringList(), QStringList({"a1", "a2", "a3"}));
        QCOMPARE(ini.value("Standardizer/Mx_B_M").toStringList(), QStringList({"1", "1", "1"}));
        QCOMPARE(ini.value("Standardizer/Name").toStringList(), QStringList({run, run, run}));

        answer = dir.filePath("coefficients.v2");
        trigger(page, "action_Export");
        QVERIFY(QFileInfo::exists(dir.filePath("coefficients.v2.ini")));

        // A file that cannot be written (its folder is a file) is reported.
        boxes.clear();
        QFile blocker(dir.filePath("blocker"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        answer = dir.filePath("blocker/coefficients.ini");
        trigger(page, "action_Export");
        QCOMPARE(boxes.texts(), QStringList{"数据导出失败！"});
    }

    // A run stored after two of its three set points continues from the page: the set-up keeps
    // its channel, the run takes the third point only and fits, and the tree is read again.
    void continueAStoredRun()
    {
        TestWorkDir dir;
        MessageBoxHelper boxes;
        const QString model = kFakeModel, run = QStringLiteral("2024-03-01 10:00:00");
        const auto pt100 = FakeCollection::Sensor::pt100();
        const std::shared_ptr<FakeCollection::Script> script = FakeCollection::install(model);
        script->setSerial(kSerial);
        script->addChannel(1, QStringLiteral("℃"));
        script->setSensor(1, pt100);
        script->setTemperatures({100.0});
        CalibrationTiming::set({2, 10, 20, 1});
        Record first = record(run, "1", "CVD", 0);
        first.CList = QStringList{"0.000000", "50.000000"};
        first.DList = Tool::toStringList(8, {pt100.resistance(0.0), pt100.resistance(50.0)});
        QVERIFY(Tool::addCalibration({run, model, kSerial, {"1"}}));
        QVERIFY(Tool::addCalibrationData(first));

        InstrumentSimulator source(InstrumentSimulator::Dialect::DryWell);
        source.script("READ?", {"100.000\r\n"});
        const quint16 port = source.listen();
        Calibration page;
        openPage(page, true, model);
        testSource(page, boxes, "QNLK-R", port);
        click(child<QTreeWidget>(page, "treeWidget")->topLevelItem(0), Qt::Checked);

        boxes.onDialog([](QWidget *w) {
            child<QLineEdit>(*w, "lineEdit_Delay")->setText("1");
            for (int k = 1; k <= 3; ++k)
                child<QLineEdit>(*w, qPrintable(QStringLiteral("lineEdit_Temp%1").arg(k)))->setText(QString::number(50 * (k - 1)));
            child<QPushButton>(*w, "pushButton_Next")->click();
        }, "CalibrationChannel");
        boxes.onDialog([](QWidget *w) {
            auto *work = static_cast<CalibrationWork *>(w);
            QTest::qWaitFor([&]() { return !work->isBusy() && !work->isRunning(); }, 30000);
            work->reject();
        }, "CalibrationWork");
        source.commands.clear();
        trigger(page, "action_Continue");

        QCOMPARE(boxes.texts(), QStringList{"测试成功！"});
        QCOMPARE(m_System.Calibration.TimeName, run);
        QCOMPARE(source.commands.filter(QRegularExpression("^s ")).value(0), QStringLiteral("s 100.00"));
        const Record fitted = stored(run, "1");
        QCOMPARE(fitted.CList, QStringList({"0.000000", "50.000000", "100.000000"}));
        QVERIFY2(qAbs(fitted.R0.toDouble() - 100.0) < 1e-6, qPrintable(fitted.R0));
        QCOMPARE(child<QTreeWidget>(page, "treeWidget")->topLevelItem(0)->checkState(0), Qt::Unchecked);
    }

    void continuingNeedsARunAndItsInstrument()
    {
        TestWorkDir dir;
        MessageBoxHelper boxes;
        const QString run = "2024-03-01 10:00:00";
        QVERIFY(Tool::addCalibration({run, kModel, "SN-REMOVED", {"1"}}));
        Calibration page;
        openPage(page);
        child<QComboBox>(page, "comboBox_Field")->setCurrentText("Other");

        trigger(page, "action_Continue");
        QCOMPARE(boxes.texts(), QStringList{"项目信息异常!"});

        click(child<QTreeWidget>(page, "treeWidget")->topLevelItem(0), Qt::Checked);
        boxes.clear();
        trigger(page, "action_Continue");
        QCOMPARE(boxes.texts(), QStringList{"选择的采集器未连接!"});
        QVERIFY(m_System.Calibration.TimeName.isEmpty());
    }
};

QTEST_MAIN(tst_Calibration)
#include "tst_Calibration.moc"
