#include "acquisition/ParametersCsvWriter.h"
#include "acquisition/ParametersImport.h"
#include "common/Struct_System.h"
#include "store/Tool.h"
#include "support/FakeCollection.h"
#include "support/MessageBoxHelper.h"
#include "support/TestWorkDir.h"

#include <QAbstractItemModel>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTableView>
#include <QtTest>

#include <memory>

namespace {

const QString kModel = QStringLiteral("FAKE-IMPORT");
const QString kTimeMs = QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz");

QDateTime at(const QString &text)
{
    return QDateTime::fromString(text, kTimeMs);
}

Struct_Channel channel(quint32 number, const QString &unit)
{
    Struct_Channel c;
    c.Number = number;
    c.Unit = unit;
    c.Enabled = true;
    return c;
}

int count(const QString &table)
{
    QSqlQuery q;
    q.exec("SELECT COUNT(*) FROM " + table);
    return q.next() ? q.value(0).toInt() : -1;
}

} // namespace

class tst_ParametersImport : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestWorkDir> m_dir;
    std::shared_ptr<FakeCollection::Script> m_script;
    Struct_System m_system;
    std::unique_ptr<ParametersImport> m_dialog;
    std::unique_ptr<MessageBoxHelper> m_boxes;

    QPushButton *button(const char *name) const { return m_dialog->findChild<QPushButton *>(name); }
    QAbstractItemModel *table() const { return m_dialog->findChild<QTableView *>("tableWidget")->model(); }
    QString cell(int row, int column) const { return table()->index(row, column).data().toString(); }
    // Set, Save and Time enabled, as "110".
    QString enabled() const
    {
        QString states;
        for (const char *name : {"pushButton_Set", "pushButton_Save", "pushButton_Time"})
            states += button(name)->isEnabled() ? '1' : '0';
        return states;
    }
    QStringList column(int col) const
    {
        QStringList texts;
        for (int r = 0; r < table()->rowCount(); ++r)
            texts << cell(r, col);
        return texts;
    }

    void makeDialog(const QString &model)
    {
        m_system.ProjectNames = QStringList{"Oven A"};
        Tool::Struct_Collection device;
        device.Model = model;
        device.Serial = QStringLiteral("SN-77");
        m_system.ProjectDevices = {device};
        m_dialog.reset(new ParametersImport);
        m_dialog->setParameters(&m_system);
    }

    // Rows of one channel at the given times; each value is the row's index, so a test sees which rows were kept.
    static QList<FakeCollection::Row> rowsAt(const QList<QDateTime> &times)
    {
        QList<FakeCollection::Row> rows;
        for (int i = 0; i < times.size(); ++i)
            rows.append({times.at(i), QStringList{QString::number(i)}});
        return rows;
    }

    // Rows every stepMs from start.
    static QList<FakeCollection::Row> regularRows(const QDateTime &start, int n, qint64 stepMs)
    {
        QList<QDateTime> times;
        for (int i = 0; i < n; ++i)
            times.append(start.addMSecs(i * stepMs));
        return rowsAt(times);
    }

    static QList<Tool::Struct_ParametersData> savedRows()
    {
        QList<Tool::Struct_ParametersData> data;
        Tool::getParametersData(data, "Oven A");
        return data;
    }

    // Presses Open and waits for the message that ends the reading; returns its text.
    QString open()
    {
        const int before = m_boxes->count();
        button("pushButton_Open")->click();
        if (!m_boxes->waitFor(before + 1, 20000))
            return QStringLiteral("<no message>");
        if (m_dialog->isReading())
            return QStringLiteral("<still reading>");
        return m_boxes->last().text;
    }

    QString openRows(const QList<FakeCollection::Row> &rows, const QList<Struct_Channel> &header = {})
    {
        m_script->setRecordFile(header.isEmpty() ? QList<Struct_Channel>{channel(1, "℃")} : header, rows);
        return open();
    }

    // Clicks a button; returns the message shown, empty when none.
    QString press(const char *name)
    {
        const int before = m_boxes->count();
        button(name)->click();
        return m_boxes->count() > before ? m_boxes->last().text : QString();
    }

    // Sets range and interval and presses "设置".
    QString thin(const QDateTime &start, const QDateTime &end, const QString &interval)
    {
        m_dialog->findChild<QDateTimeEdit *>("dateTimeEdit_Start")->setDateTime(start);
        m_dialog->findChild<QDateTimeEdit *>("dateTimeEdit_End")->setDateTime(end);
        m_dialog->findChild<QLineEdit *>("lineEdit_Interval")->setText(interval);
        return press("pushButton_Set");
    }

    QString save() { return press("pushButton_Save"); }

private slots:
    void init()
    {
        m_dir.reset(new TestWorkDir);
        QVERIFY(m_dir->isValid());
        m_script = FakeCollection::install(kModel);
        m_system = Struct_System();
        m_boxes.reset(new MessageBoxHelper);
        ParametersImport::setFileChooser([](QWidget *) { return QStringLiteral("record.csv"); });
        makeDialog(kModel);
    }

    void cleanup()
    {
        m_dialog.reset();
        m_boxes.reset();
        ParametersImport::setFileChooser(nullptr);
        FakeCollection::uninstall(kModel);
        m_script.reset();
        m_dir.reset();
    }

    void readShowsSamplesAndEnablesSetAndSave()
    {
        const QDateTime t0 = at("2024-05-01 08:00:00.250");
        QList<FakeCollection::Row> rows;
        for (int i = 0; i < 4; ++i)
            rows.append({t0.addMSecs(1500 * i), QStringList{QString::number(20 + i), QString::number(-i)}});
        QCOMPARE(openRows(rows, {channel(3, "℃"), channel(7, "Ω")}), QStringLiteral("数据读取成功！"));
        QCOMPARE(m_boxes->last().title, QStringLiteral("提示"));
        QCOMPARE(m_script->calls(FakeCollection::Call::CloseCSVFile), 1);

        QStringList headers;
        for (int c = 0; c < table()->columnCount(); ++c)
            headers << table()->headerData(c, Qt::Horizontal).toString();
        QCOMPARE(headers, QStringList({"序号", "时间", "CH3", "CH7"}));
        QCOMPARE(column(0), QStringList({"1", "2", "3", "4"}));
        QCOMPARE(cell(1, 1), QStringLiteral("2024-05-01 08:00:01.750"));
        QCOMPARE(cell(3, 3), QStringLiteral("-3"));
        QCOMPARE(enabled(), QStringLiteral("110"));
        QCOMPARE(m_dialog->findChild<QLineEdit *>("lineEdit_Interval")->text(), QStringLiteral("1.5"));
        QCOMPARE(m_dialog->findChild<QDateTimeEdit *>("dateTimeEdit_Start")->dateTime(), t0);
        QCOMPARE(m_dialog->findChild<QDateTimeEdit *>("dateTimeEdit_End")->dateTime(), t0.addMSecs(4500));

        // A header-only file reads but offers nothing to thin or save.
        QCOMPARE(openRows({}), QStringLiteral("数据读取成功！"));
        QCOMPARE(table()->rowCount(), 0);
        QCOMPARE(table()->columnCount(), 3);
        QCOMPARE(enabled(), QStringLiteral("000"));
    }

    // A second file that fails must leave nothing of the first one to thin or save; a model
    // without a driver reports no channels.
    void failedFileLeavesNothingToSave()
    {
        const QDateTime t0 = at("2024-05-01 08:00:00.000");
        QCOMPARE(openRows(regularRows(t0, 5, 1000)), QStringLiteral("数据读取成功！"));
        QCOMPARE(thin(t0, t0.addSecs(4), "2"), QString());
        QCOMPARE(enabled(), QStringLiteral("111"));

        // Line 3 of the second file does not fit: the two lines before it stay listed.
        m_script->failAt(FakeCollection::Call::GetCSVData, 5 + 1 + 3);
        QCOMPARE(openRows(regularRows(t0.addDays(1), 6, 1000)), QStringLiteral("采集数据不匹配，读取失败！"));
        QCOMPARE(table()->rowCount(), 2);
        QCOMPARE(cell(0, 1), QStringLiteral("2024-05-02 08:00:00.000"));
        QCOMPARE(enabled(), QStringLiteral("000"));
        QVERIFY(save().isEmpty()); // the button is disabled: nothing happens
        QCOMPARE(count("Parameters"), 0);

        // A file that cannot be opened at all clears the table as well.
        m_script->clearFailures();
        QCOMPARE(openRows(regularRows(t0, 5, 1000)), QStringLiteral("数据读取成功！"));
        m_script->failAt(FakeCollection::Call::OpenCSVFile, 4);
        QCOMPARE(open(), QStringLiteral("未检测到通道！"));
        QCOMPARE(table()->rowCount(), 0);
        QCOMPARE(enabled(), QStringLiteral("000"));
        QCOMPARE(m_script->calls(FakeCollection::Call::CloseCSVFile), 4);

        makeDialog("NO-SUCH-MODEL");
        QCOMPARE(open(), QStringLiteral("未检测到通道！"));
        QCOMPARE(m_boxes->last().title, QStringLiteral("警告"));
        QCOMPARE(enabled(), QStringLiteral("000"));
    }

    void thinningKeepsNearestSampleOfEachStep()
    {
        const QDateTime t0 = at("2024-05-01 08:00:00.000");
        QCOMPARE(openRows(regularRows(t0, 61, 1000)), QStringLiteral("数据读取成功！"));
        QCOMPARE(thin(t0, t0.addSecs(60), "10"), QString());
        QCOMPARE(column(0), QStringList({"1", "2", "3", "4", "5", "6", "7"}));
        QCOMPARE(column(2), QStringList({"0", "10", "20", "30", "40", "50", "60"}));
        // An end between two steps ends the grid at the last step before it; the thinning
        // can be repeated on all samples with other values.
        QCOMPARE(thin(t0.addSecs(5), t0.addSecs(47), "10"), QString());
        QCOMPARE(column(2), QStringList({"5", "15", "25", "35", "45"}));
        QCOMPARE(thin(t0, t0.addSecs(4), "2"), QString());
        QCOMPARE(column(2), QStringList({"0", "2", "4"}));

        // Differences beyond 24.8 days do not wrap.
        QCOMPARE(openRows(regularRows(t0, 4, 30LL * 86400 * 1000)), QStringLiteral("数据读取成功！"));
        QCOMPARE(m_dialog->findChild<QLineEdit *>("lineEdit_Interval")->text(), QStringLiteral("2.592e+06"));
        QCOMPARE(thin(t0, t0.addDays(90), "5184000"), QString());
        QCOMPARE(column(2), QStringList({"0", "2"}));
    }

    // For targets 0 s and 10 s: the nearest sample within 2000 ms; a tie goes to the earlier,
    // an exact hit wins, equal times before the target give the later in the file, on it the first.
    void thinningPicksByDistance()
    {
        const QDateTime t0 = at("2024-05-01 08:00:00.000");
        const QList<QPair<QList<int>, QStringList>> cases = {
            {{0, 8500, 11500}, {"0", "1"}}, {{0, 9999, 10000}, {"0", "2"}}, {{0, 9000, 9000}, {"0", "2"}},
            {{0, 10000, 10000}, {"0", "1"}}, {{0, 7000, 12000}, {"0", "2"}}, {{0, 8000}, {"0", "1"}}};
        for (const auto &c : cases) {
            QList<QDateTime> list;
            for (int ms : c.first)
                list.append(t0.addMSecs(ms));
            QCOMPARE(openRows(rowsAt(list)), QStringLiteral("数据读取成功！"));
            QCOMPARE(thin(t0, t0.addSecs(12), "10"), QString());
            QCOMPARE(column(2), c.second);
        }
    }

    // Each refusal names its cause and leaves the last thinning as it was.
    void thinningRefusals()
    {
        const QDateTime t0 = at("2024-05-01 08:00:00.000");
        // Samples every second, but none within 2 s of 25 s.
        QList<QDateTime> times;
        for (int s = 0; s <= 50; ++s)
            if (s < 23 || s > 27)
                times.append(t0.addSecs(s));
        QCOMPARE(openRows(rowsAt(times)), QStringLiteral("数据读取成功！"));
        QCOMPARE(thin(t0, t0.addSecs(50), "10"), QString());
        const QStringList thinned = column(2);

        // The position of the last matched sample (the one at 20 s is the 21st candidate).
        QCOMPARE(thin(t0, t0.addSecs(50), "5"), QStringLiteral("21:时间间隔异常，请检查！"));
        QCOMPARE(m_boxes->last().title, QStringLiteral("警告"));
        // 0 when the very first target has no sample (the first candidate is 28 s).
        QCOMPARE(thin(t0.addSecs(24), t0.addSecs(50), "10"), QStringLiteral("0:时间间隔异常，请检查！"));
        QCOMPARE(thin(t0.addSecs(10), t0.addSecs(9), "1"), QStringLiteral("开始时间不能大于结束时间！"));
        QCOMPARE(thin(t0.addSecs(24), t0.addSecs(26), "1"), QStringLiteral("时间范围异常！"));
        // Intervals below 1 ms are refused.
        for (const char *interval : {"", "0", "0.0004", "."})
            QCOMPARE(thin(t0, t0.addSecs(50), interval), QStringLiteral("扫描间隔设置错误！"));
        QCOMPARE(column(2), thinned);
    }

    // Thinned rows are aligned on the grid and saved with the record the import makes.
    void alignAndSave()
    {
        const QDateTime t0 = at("2024-05-01 08:00:00.000");
        QList<FakeCollection::Row> rows;
        for (int i = 0; i <= 30; ++i)
            rows.append({t0.addMSecs(i == 0 ? 0 : i * 1000 + (i % 3 == 0 ? 137 : -211)),
                         QStringList{QString::number(20.5 + i), QString::number(100 - i)}});
        QCOMPARE(openRows(rows, {channel(3, "℃"), channel(4, "Ω")}), QStringLiteral("数据读取成功！"));
        QCOMPARE(thin(t0, t0.addSecs(31), "10"), QString());
        QCOMPARE(column(1), QStringList({"2024-05-01 08:00:00.000", "2024-05-01 08:00:09.789",
                                         "2024-05-01 08:00:19.789", "2024-05-01 08:00:30.137"}));
        button("pushButton_Time")->click();
        QCOMPARE(save(), QStringLiteral("数据保存成功！"));
        QCOMPARE(m_dialog->result(), int(QDialog::Accepted));

        Tool::Struct_Parameters p;
        QVERIFY(Tool::getParameters(p, "Oven A"));
        QCOMPARE(p.StartTime, QStringLiteral("2024-05-01 08:00:00"));
        QVERIFY(qAbs(QDateTime::fromString(p.CreateTime, "yyyy-MM-dd hh:mm:ss").secsTo(QDateTime::currentDateTime())) < 60);
        const QStringList one{"Auto"}, two{"Auto", "Auto"}, units{"℃", "Ω"};
        QCOMPARE((QList<QStringList>{p.Model, p.Serial, p.SignalMode, p.Signal1, p.Signal2, p.Rate}),
                 (QList<QStringList>{{kModel}, {"SN-77"}, {"导入"}, one, one, one}));
        QCOMPARE(p.Interval, QStringLiteral("10"));
        QCOMPARE((QList<QStringList>{p.CHName, p.CHType, p.CHFunction, p.CHWire, p.CHUnit, p.CHM, p.CHB, p.CHDisplayUnit}),
                 (QList<QStringList>{{"3", "4"}, two, two, two, units, {"1", "1"}, {"0", "0"}, units}));

        const auto data = savedRows();
        QCOMPARE(data.size(), 4);
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(data.at(i).Time, t0.addSecs(10 * i));
            QCOMPARE(data.at(i).Data, QStringList({QString::number(20.5 + 10 * i), QString::number(100 - 10 * i)}));
        }
    }

    // Every row is checked before anything is stored (a missing value, a text that is no
    // number); a save failing part-way stores nothing; a retry stores every sample.
    void failedSaveStoresNothingAndRetryWorks()
    {
        const QDateTime t0 = at("2024-05-01 08:00:00.123");
        const QList<Struct_Channel> header{channel(1, "℃"), channel(2, "℃")};
        for (const QStringList &bad : {QStringList{"3"}, QStringList{"3", "x"}}) {
            QCOMPARE(openRows({{t0, {"1", "2"}}, {t0.addSecs(1), bad}, {t0.addSecs(2), {"5", "6"}}}, header),
                     QStringLiteral("数据读取成功！"));
            QCOMPARE(save(), QStringLiteral("数据保存失败！"));
            QCOMPARE(m_boxes->last().title, QStringLiteral("警告"));
            QCOMPARE(count("Parameters") + count("ParametersData"), 0);
        }

        const int n = 5000; // more than one insert batch
        QCOMPARE(openRows(regularRows(t0, n, 2000)), QStringLiteral("数据读取成功！"));
        QSqlQuery q;
        QVERIFY(q.exec("CREATE TRIGGER fail_late BEFORE INSERT ON ParametersData"
                       " WHEN (SELECT COUNT(*) FROM ParametersData) >= 4321"
                       " BEGIN SELECT RAISE(ABORT, 'disk full'); END"));
        QCOMPARE(save(), QStringLiteral("数据保存失败！"));
        QCOMPARE(m_dialog->result(), int(QDialog::Rejected));
        QCOMPARE(count("Parameters") + count("ParametersData"), 0);

        QVERIFY(q.exec("DROP TRIGGER fail_late"));
        QCOMPARE(save(), QStringLiteral("数据保存成功！"));
        QCOMPARE(count("Parameters"), 1);
        const auto data = savedRows();
        QCOMPARE(data.size(), n);
        QCOMPARE(data.last().Time, t0.addSecs(2 * (n - 1)));
        QCOMPARE(data.last().Data, QStringList{QString::number(n - 1)});
    }

    // A file written by the acquisition CSV writer imports back to the same values.
    void csvWriterFileImportsBack()
    {
        makeDialog("P540W"); // a record-file model with the product's driver
        Tool::Struct_Parameters project;
        project.Name = "Round";
        project.CHName = QStringList{"1-3", "1-12", "2-3"};
        project.CHDisplayUnit = QStringList{"℃", "%RH", "℃"};
        Struct_System system;
        system.DataAccuracy = 3;
        const QDateTime t0 = at("2024-05-01 08:00:00.005");
        QList<QList<double>> values;
        QString path;
        {
            ParametersCsvWriter writer({project}, &system, m_dir->path() + "/Data/");
            writer.createCsvFiles(t0);
            QList<Struct_Sample> samples;
            for (int i = 0; i < 30; ++i) {
                Struct_Sample s;
                s.Time = t0.addMSecs(1000 * i + (i % 2));
                s.Values = {{21.25 + i * 0.001, -3.5 - i, 45.0 + i / 7.0}};
                values.append(s.Values.first());
                samples.append(s);
            }
            writer.addSamples(samples, t0);
            writer.flushAll();
            writer.waitForDone();
            path = writer.filePath(0, t0.date());
        }
        ParametersImport::setFileChooser([path](QWidget *) { return path; });

        QCOMPARE(open(), QStringLiteral("数据读取成功！"));
        QCOMPARE(save(), QStringLiteral("数据保存成功！"));
        Tool::Struct_Parameters p;
        QVERIFY(Tool::getParameters(p, "Oven A"));
        QCOMPARE(p.CHName, QStringList({"3", "12", "3"}));
        QCOMPARE(p.CHUnit, QStringList({"℃", "%RH", "℃"}));
        const auto data = savedRows();
        QCOMPARE(data.size(), 30);
        for (int i = 0; i < 30; ++i) {
            QCOMPARE(data.at(i).Time, t0.addMSecs(1000 * i + (i % 2)));
            QCOMPARE(data.at(i).Data, Tool::toStringList(3, values.at(i)));
        }
    }
};

QTEST_MAIN(tst_ParametersImport)
#include "tst_ParametersImport.moc"
