// Record-file import of one day at 1 s with 40 channels: open and read, thin to 10 s, save,
// through the import dialog with the product's record-file driver. The save is measured beside
// a plain SQLite bulk insert of the same rows in one transaction, in the same run. A wide file
// (30 lines of thousands of channels) measures opening up to the filled table.
//
//   bench_import            86400 lines (one day); wide file of 10000 channels
//   bench_import --quick    10800 lines (three hours); wide file of 5000 channels
//
// Each run is repeated three times (fresh databases each time); the figures are medians and
// peak_rss is the process's high-water mark (VmHWM).

#include "BenchFigures.h"
#include "acquisition/ParametersImport.h"
#include "common/Struct_System.h"
#include "store/Tool.h"

#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QApplication>
#include <QDateTime>
#include <QDateTimeEdit>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

const int kChannels = 40;
const QString kTimeMs = QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz");

// A record file in the application's CSV layout: one line per second, values with 2 decimals.
void writeRecordFile(const QString &path, const QDateTime &start, int lines, int channels = kChannels)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    QTextStream out(&file);
    out.setCodec("UTF-8");
    out << "Time";
    for (int c = 1; c <= channels; ++c)
        out << ",1-" << c << "(℃)";
    out << '\n';
    for (int i = 0; i < lines; ++i) {
        out << start.addMSecs(qint64(i) * 1000 + (i % 7)).toString(kTimeMs);
        for (int c = 0; c < channels; ++c)
            out << ',' << QString::number(20.0 + c * 0.5 + ((i * 37 + c * 11) % 200) / 100.0, 'f', 2);
        out << '\n';
    }
}

// Answers every message box at once with its default button; remembers its text and when it
// appeared (the end of the step that shows it).
class BoxAnswerer : public QObject
{
public:
    QStringList texts;
    QList<qint64> shownAt; // ns on clock
    QElapsedTimer clock;

private:
    QList<QObject *> m_seen;
public:

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // The first event a message box receives comes while it is being built: the work of
        // the step is done then; laying out and showing the box is not counted.
        auto *box = qobject_cast<QMessageBox *>(watched);
        if (box && !m_seen.contains(box)) {
            m_seen.append(box);
            connect(box, &QObject::destroyed, this, [this, box] { m_seen.removeOne(box); });
            shownAt.append(clock.nsecsElapsed());
        }
        if (event->type() == QEvent::Show) {
            if (box) {
                texts.append(box->text());
                QTimer::singleShot(0, box, [box] { box->done(QMessageBox::Ok); });
            }
        }
        return false;
    }
};

void waitUntil(const std::function<bool()> &done)
{
    while (!done())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
}

// The same rows the import stores, inserted with one prepared statement in one transaction.
double plainInsertMs(const QString &file, const QList<Tool::Struct_ParametersData> &rows)
{
    const QString connection = QStringLiteral("plain");
    double ms = -1.0;
    {
        if (!Tool::openDatabase(file, connection))
            qFatal("cannot open %s", qPrintable(file));
        QSqlDatabase db = QSqlDatabase::database(connection);
        // Texts prepared beforehand: only the insert is timed.
        QVector<QString> times, data;
        for (const Tool::Struct_ParametersData &row : rows) {
            times.append(row.Time.toString(kTimeMs));
            data.append(row.Data.join(QLatin1Char(',')));
        }
        QElapsedTimer timer;
        timer.start();
        QSqlQuery q(db);
        q.exec(QStringLiteral("BEGIN IMMEDIATE"));
        q.prepare(QStringLiteral("INSERT INTO ParametersData (Name, Time, Data) VALUES (?, ?, ?)"));
        for (int i = 0; i < rows.size(); ++i) {
            q.bindValue(0, rows.at(i).Name);
            q.bindValue(1, times.at(i));
            q.bindValue(2, data.at(i));
            if (!q.exec())
                qFatal("plain insert failed");
        }
        QSqlQuery(db).exec(QStringLiteral("COMMIT"));
        ms = timer.nsecsElapsed() / 1e6;
    }
    Tool::closeDatabase(connection);
    return ms;
}

struct Run {
    double readMs = 0, thinMs = 0, saveMs = 0, plainMs = 0;
    int rows = 0;
};

// One import through the dialog into a fresh database, then the plain insert of the same rows
// into another fresh database.
Run runImport(const QString &path, const QDateTime &start, int lines, int repetition, BoxAnswerer &answerer)
{
    Run run;
    const QString suffix = QString::number(repetition);
    Tool::closeDatabase();
    if (!Tool::openDatabase(QStringLiteral("DAQ-%1.db3").arg(suffix)))
        qFatal("cannot open the database");
    answerer.texts.clear();
    answerer.shownAt.clear();

    Struct_System system;
    system.ProjectNames = QStringList{QStringLiteral("Bench")};
    Tool::Struct_Collection device;
    device.Model = QStringLiteral("P540W");
    device.Serial = QStringLiteral("BENCH-1");
    system.ProjectDevices = {device};

    auto *dialog = new ParametersImport;
    dialog->setParameters(&system);
    dialog->show();
    QAbstractItemModel *table = dialog->findChild<QTableView *>(QStringLiteral("tableWidget"))->model();

    // Open and read: until the read's message appears.
    qint64 clicked = answerer.clock.nsecsElapsed();
    dialog->findChild<QPushButton *>(QStringLiteral("pushButton_Open"))->click();
    waitUntil([&] { return !dialog->isReading() && !answerer.texts.isEmpty(); });
    QCoreApplication::processEvents();
    run.readMs = (answerer.shownAt.value(0) - clicked) / 1e6;
    if (answerer.texts.value(0) != QStringLiteral("数据读取成功！") || table->rowCount() != lines)
        qFatal("reading failed: %s", qPrintable(answerer.texts.value(0)));

    // Thin the whole file to 10 s.
    dialog->findChild<QLineEdit *>(QStringLiteral("lineEdit_Interval"))->setText(QStringLiteral("10"));
    dialog->findChild<QDateTimeEdit *>(QStringLiteral("dateTimeEdit_Start"))->setDateTime(start);
    dialog->findChild<QDateTimeEdit *>(QStringLiteral("dateTimeEdit_End"))
        ->setDateTime(start.addMSecs(qint64(lines - 1) * 1000));
    QElapsedTimer timer;
    timer.start();
    dialog->findChild<QPushButton *>(QStringLiteral("pushButton_Set"))->click();
    QCoreApplication::processEvents();
    run.thinMs = timer.nsecsElapsed() / 1e6;
    run.rows = table->rowCount();
    if (answerer.texts.size() != 1 || run.rows != lines / 10)
        qFatal("thinning failed: %d rows", run.rows);

    // The rows as they will be stored, for the plain insert.
    QList<Tool::Struct_ParametersData> plainRows;
    for (int r = 0; r < run.rows; ++r) {
        Tool::Struct_ParametersData row;
        row.Name = QStringLiteral("Bench");
        row.Time = QDateTime::fromString(table->index(r, 1).data().toString(), kTimeMs);
        for (int c = 0; c < kChannels; ++c)
            row.Data.append(table->index(r, c + 2).data().toString());
        plainRows.append(row);
    }

    // Save: until the success message appears.
    clicked = answerer.clock.nsecsElapsed();
    dialog->findChild<QPushButton *>(QStringLiteral("pushButton_Save"))->click();
    QCoreApplication::processEvents();
    run.saveMs = (answerer.shownAt.value(1) - clicked) / 1e6;
    if (answerer.texts.value(1) != QStringLiteral("数据保存成功！") || dialog->result() != QDialog::Accepted)
        qFatal("saving failed: %s", qPrintable(answerer.texts.value(1)));
    {
        QSqlQuery q;
        q.exec(QStringLiteral("SELECT COUNT(*) FROM ParametersData"));
        if (!q.next() || q.value(0).toInt() != run.rows)
            qFatal("stored row count differs");
    }
    delete dialog;

    run.plainMs = plainInsertMs(QStringLiteral("plain-%1.db3").arg(suffix), plainRows);
    return run;
}

// Opening a wide file through the dialog, up to the read's message (the table filled and its
// columns fitted).
double wideOpenMs(const QString &path, int lines, BoxAnswerer &answerer)
{
    Struct_System system;
    system.ProjectNames = QStringList{QStringLiteral("Wide")};
    Tool::Struct_Collection device;
    device.Model = QStringLiteral("P540W");
    system.ProjectDevices = {device};
    ParametersImport dialog;
    dialog.setParameters(&system);
    dialog.show();
    answerer.texts.clear();
    answerer.shownAt.clear();
    ParametersImport::setFileChooser([path](QWidget *) { return path; });
    const qint64 clicked = answerer.clock.nsecsElapsed();
    dialog.findChild<QPushButton *>(QStringLiteral("pushButton_Open"))->click();
    waitUntil([&] { return !dialog.isReading() && !answerer.texts.isEmpty(); });
    QCoreApplication::processEvents();
    const QAbstractItemModel *table = dialog.findChild<QTableView *>(QStringLiteral("tableWidget"))->model();
    if (answerer.texts.value(0) != QStringLiteral("数据读取成功！") || table->rowCount() != lines)
        qFatal("reading the wide file failed: %s", qPrintable(answerer.texts.value(0)));
    return (answerer.shownAt.value(0) - clicked) / 1e6;
}

double median(QVector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bool quick = app.arguments().contains(QStringLiteral("--quick"));
    const int lines = quick ? 10800 : 86400;
    const int repetitions = 3;

    QTemporaryDir dir;
    if (!dir.isValid() || !QDir::setCurrent(dir.path()))
        qFatal("no working directory");

    const QDateTime start = QDateTime::fromString(QStringLiteral("2024-05-01 00:00:00.000"), kTimeMs);
    const QString path = dir.filePath(QStringLiteral("record.csv"));
    writeRecordFile(path, start, lines);
    figure("lines", lines, "lines", 0);
    figure("channels", kChannels, "channels", 0);
    figure("file_size", QFileInfo(path).size() / 1048576.0, "MB");
    figure("repetitions", repetitions, "runs", 0);

    BoxAnswerer answerer;
    answerer.clock.start();
    app.installEventFilter(&answerer);
    ParametersImport::setFileChooser([path](QWidget *) { return path; });

    // Medians over the repetitions; each save is compared with the plain insert of its own run.
    QVector<double> read, thin, save, plain, ratio, total;
    int rows = 0;
    for (int r = 0; r < repetitions; ++r) {
        const Run run = runImport(path, start, lines, r, answerer);
        read.append(run.readMs);
        thin.append(run.thinMs);
        save.append(run.saveMs);
        plain.append(run.plainMs);
        ratio.append(run.plainMs > 0 ? run.saveMs / run.plainMs : 0.0);
        total.append(run.readMs + run.thinMs + run.saveMs);
        rows = run.rows;
    }

    const int wideColumns = quick ? 5000 : 10000;
    const int wideLines = 30;
    const QString widePath = dir.filePath(QStringLiteral("wide.csv"));
    writeRecordFile(widePath, start, wideLines, wideColumns);
    const double wideMs = wideOpenMs(widePath, wideLines, answerer);
    Tool::closeDatabase();

    figure("open_read", median(read), "ms");
    figure("thin_10s", median(thin), "ms");
    figure("rows_saved", rows, "rows", 0);
    figure("save", median(save), "ms");
    figure("plain_insert", median(plain), "ms");
    figure("save_vs_plain_insert", median(ratio), "x", 2);
    figure("total", median(total), "ms");
    figure("wide_channels", wideColumns, "channels", 0);
    figure("wide_lines", wideLines, "lines", 0);
    figure("wide_open_read", wideMs, "ms");
    figure("peak_rss", peakRss(), "MB");
    return 0;
}
