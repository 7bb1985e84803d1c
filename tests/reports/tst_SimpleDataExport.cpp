// The simple data export from the report page, read back with openpyxl: its layout, all samples
// or those of the display range, rows stored out of time order, the sheet's row limit, a worker
// that cannot be started, and the page closed while an export runs.
#include "ReportFixture.h"
#include "ReportTestHelpers.h"

#include "common/Struct_System.h"
#include "reports/SimpleDataExport.h"
#include "reports/VerificationReport.h"
#include "reports/VerificationReportExport.h"
#include "reports/XlsxWorkbook.h"
#include "support/MessageBoxHelper.h"
#include "widgets/QWaiting.h"

#include <QAction>
#include <QDateTimeEdit>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

#include <atomic>
#include <cerrno>
#include <dlfcn.h>
#include <memory>
#include <pthread.h>

namespace {

std::atomic<bool> g_refuseThreads{false};

} // namespace

// Every thread this process starts passes here; once refused, creating the next one fails as it
// does when the system has no resources left.
extern "C" int pthread_create(pthread_t *thread, const pthread_attr_t *attr, void *(*start)(void *), void *arg)
{
    using Create = int (*)(pthread_t *, const pthread_attr_t *, void *(*)(void *), void *);
    static const Create next = reinterpret_cast<Create>(dlsym(RTLD_NEXT, "pthread_create"));
    if (g_refuseThreads.exchange(false))
        return EAGAIN;
    return next(thread, attr, start, arg);
}

class tst_SimpleDataExport : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestWorkDir> m_dir;
    std::unique_ptr<MessageBoxHelper> m_boxes;
    Struct_System m_system;
    std::unique_ptr<VerificationReport> m_page;
    QString m_path;

    // Two instruments, channels 1-1(℃), 1-2(%RH), 1-3(℃); samples stored newest first.
    void storeLine(const QStringList &values)
    {
        Tool::Struct_Parameters p = testProject("Line", {"℃", "%RH", "℃"});
        p.Model << "R24K";
        p.Serial << "SN-2";
        p.SignalMode << "串口";
        p.Signal1 << "COM3";
        p.Signal2 << "9600";
        QVERIFY(Tool::addParameters(p));
        for (int n = values.size() - 1; n >= 0; --n)
            QVERIFY(Tool::addParametersData({p.Name, sampleTime(n), values.at(n).split(',')}));
    }
    // The page with the project checked but channel 1-2, and the file dialog answered with m_path.
    void makePage()
    {
        m_system.DataAccuracy = 3;
        m_page.reset(new VerificationReport);
        m_page->SetSystem(&m_system);
        QTreeWidgetItem *project = m_page->findChild<QTreeWidget *>("treeWidget")->topLevelItem(0);
        for (int c : {0, 2})
            project->child(c)->setCheckState(0, Qt::Checked);
        project->setCheckState(0, Qt::PartiallyChecked);
        m_path = m_dir->filePath("data.xls");
        VerificationReportExport::setFileChooser([this](QWidget *, const QString &) { return m_path; });
    }
    void simpleExport() { m_page->Menu()->actions().at(2)->trigger(); }
    // The page's result message, once the export has ended.
    QString result()
    {
        if (!QTest::qWaitFor([this] { return !m_boxes->texts().isEmpty(); }, 30000))
            return QString();
        return m_boxes->texts().join('|');
    }
    // The sheet's rows from row 10 on.
    QList<QStringList> dataRows(const QJsonObject &sheet)
    {
        QList<QStringList> found;
        for (int row = SimpleDataExport::FirstDataRow; !ReportFixture::cell(sheet, "A" + QString::number(row)).isEmpty(); ++row) {
            QStringList texts{ReportFixture::cell(sheet, "A" + QString::number(row))};
            const QJsonObject cells = sheet.value("cells").toObject();
            for (const char *column : {"B", "C", "D"}) {
                const QJsonValue value = cells.value(column + QString::number(row));
                texts << (value.isObject() ? QString::number(value.toObject().value("n").toDouble()) : value.toString());
            }
            found << texts;
        }
        return found;
    }

private slots:
    void init()
    {
        m_dir.reset(new TestWorkDir);
        QVERIFY(m_dir->isValid());
        m_boxes.reset(new MessageBoxHelper);
        m_system = Struct_System();
    }
    void cleanup()
    {
        m_page.reset();
        VerificationReportExport::setFileChooser(nullptr);
        XlsxWorkbook::setRowLimit(1048576);
        m_boxes.reset();
        m_dir.reset();
    }

    // All samples in time order, whatever the stored order: information block, head row of the
    // checked channels, numbers with the page's decimals, "nan" empty, no number 0, a short row
    // as far as it goes, extra values dropped.
    void layoutOfAllSamples()
    {
        storeLine({"1.5,50,nan", "abc,51,3", "3,52", "4,53,5,99"});
        makePage();
        simpleExport();
        QCOMPARE(result(), QStringLiteral("报表生成成功!"));
        const QJsonObject sheet = ReportFixture::sheet(ReportFixture::readWorkbook(m_path), "Sheet1");
        QList<QStringList> information;
        for (int row = 1; row <= 9; ++row)
            information << ReportFixture::sheetRow(sheet, row, 4);
        QCOMPARE(information, (QList<QStringList>{{"项目名称:", "Line"}, {"设备型号：", "R27K,R24K"}, {"设备序列号：", "SN-1;SN-2"},
                                                  {"通讯方式：", "网络,串口"}, {"IP/COM：", "192.168.1.10,COM3"},
                                                  {"Port/BaudRate：", "502,9600"}, {"扫描间隔：", "1s"}, {}, {"时间", "1-1(℃)", "1-3(℃)"}}));
        QCOMPARE(sheet.value("merged").toVariant().toStringList(),
                 QStringList({"B1:D1", "B2:D2", "B3:D3", "B4:D4", "B5:D5", "B6:D6", "B7:D7"}));
        QCOMPARE(dataRows(sheet), (QList<QStringList>{{"2024-05-01 08:00:00.000", "1.5", "", ""},
                                                      {"2024-05-01 08:00:01.001", "0", "3", ""},
                                                      {"2024-05-01 08:00:02.002", "3", "", ""},
                                                      {"2024-05-01 08:00:03.003", "4", "5", ""}}));
        QCOMPARE(sheet.value("formats").toObject().value("B10").toString(), QStringLiteral("0.000"));
    }

    // "报表生成" takes the loaded project's samples within the display range as the edits show it,
    // the range end with its last second's milliseconds; stored newest first, none is lost.
    void rangedExport()
    {
        storeLine({"1,1,1", "2,2,2", "3,3,3", "4,4,4"});
        makePage();
        m_page->LoadProject();
        m_page->findChild<QDateTimeEdit *>("dateTimeEdit_Start")->setDateTime(QDateTime(QDate(2024, 5, 1), QTime(8, 0, 1)));
        m_page->findChild<QDateTimeEdit *>("dateTimeEdit_End")->setDateTime(QDateTime(QDate(2024, 5, 1), QTime(8, 0, 2)));
        m_page->findChild<QPushButton *>("pushButton_CalibrationReport")->click();
        QCOMPARE(result(), QStringLiteral("报表生成成功!"));
        const QJsonObject sheet = ReportFixture::sheet(ReportFixture::readWorkbook(m_path), "Sheet1");
        QCOMPARE(dataRows(sheet), (QList<QStringList>{{"2024-05-01 08:00:01.001", "2", "2", ""},
                                                      {"2024-05-01 08:00:02.002", "3", "3", ""}}));
    }

    // A sheet holds rows up to its limit: one sample more fails the export and leaves nothing.
    void rowLimit_data()
    {
        QTest::addColumn<int>("samples");
        QTest::addColumn<QString>("message");
        QTest::newRow("fits") << 3 << "报表生成成功!";
        QTest::newRow("one too many") << 4 << "数据异常，生成报表失败!";
    }

    void rowLimit()
    {
        QFETCH(int, samples);
        QFETCH(QString, message);
        XlsxWorkbook::setRowLimit(SimpleDataExport::FirstDataRow + 2);
        storeLine(QStringList(QVector<QString>(samples, "1,2,3").toList()));
        makePage();
        simpleExport();
        QCOMPARE(result(), message);
        const QStringList files = QDir(m_dir->path()).entryList({"*.xls*", ".data*"}, QDir::Files | QDir::Hidden);
        QCOMPARE(files, samples == 3 ? QStringList{"data.xls"} : QStringList{});
    }

    // A worker that cannot be started ends the busy dialog with the failure; the next one runs.
    void workerNotStarted()
    {
        storeLine({"1,2,3"});
        makePage();
        g_refuseThreads = true;
        simpleExport();
        QCOMPARE(m_boxes->texts(), QStringList{"数据异常，生成报表失败!"});
        QVERIFY(!m_page->isExporting() && !m_page->findChild<QWaiting *>());
        m_boxes->clear();
        simpleExport();
        QCOMPARE(result(), QStringLiteral("报表生成成功!"));
    }

    // The page goes while its export runs: it waits for the export, whose file is then complete,
    // and its result goes with it.
    void pageClosedWhileExporting()
    {
        Tool::Struct_Parameters p = testProject("Long", {"℃", "℃", "℃"});
        QVERIFY(Tool::addParameters(p));
        QList<Tool::Struct_ParametersData> samples;
        for (int n = 0; n < 30000; ++n)
            samples.append({p.Name, sampleTime(n), {"1.5", "2.5", "3.5"}});
        QVERIFY(Tool::addParametersDataList(samples));
        makePage();
        simpleExport();
        QVERIFY(m_page->isExporting());
        m_page.reset();
        QVERIFY(QFile::exists(m_path)); // the workbook reaches its path only once complete
        QTest::qWait(50);
        QCOMPARE(m_boxes->texts(), QStringList());
    }
};

QTEST_MAIN(tst_SimpleDataExport)
#include "tst_SimpleDataExport.moc"
