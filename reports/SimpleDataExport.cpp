#include "reports/SimpleDataExport.h"

#include "reports/ProjectRows.h"
#include "reports/XlsxWorkbook.h"

#include <QDebug>

#include <atomic>

namespace {

const int kInformationColumns = 4; // a value is merged over B to D

// The writer's own connection to the database, closed and removed with it.
class OwnConnection
{
public:
    explicit OwnConnection(const QString &databaseFile)
    {
        static std::atomic<int> serial{0};
        m_name = QStringLiteral("SimpleDataExport-%1").arg(++serial);
        m_open = Tool::openDatabase(databaseFile, m_name);
    }
    ~OwnConnection() { Tool::closeDatabase(m_name); }
    OwnConnection(const OwnConnection &) = delete;
    OwnConnection &operator=(const OwnConnection &) = delete;

    bool isOpen() const { return m_open; }
    const QString &name() const { return m_name; }

private:
    QString m_name;
    bool m_open = false;
};

} // namespace

SimpleDataExport::SimpleDataExport(const Tool::Struct_Parameters &project, const QList<bool> &shown, int precision)
    : m_Project(project), m_Shown(shown), m_Precision(qMax(0, precision))
{
}

void SimpleDataExport::SetRange(const QDateTime &from, const QDateTime &to)
{
    m_Ranged = true;
    m_From = from.toSecsSinceEpoch() * 1000;
    m_To = to.toSecsSinceEpoch() * 1000 + 999;
}

bool SimpleDataExport::Write(const QString &path, const QString &databaseFile)
{
    const Tool::Struct_Parameters &p = m_Project;
    const int channels = p.CHName.size();
    XlsxWorkbook book(path);
    XlsxFormat look;
    look.align = XlsxFormat::Center;
    const XlsxWorkbook::Format centred = book.format(look);
    look.numberFormat = QStringLiteral("0.") + QString(m_Precision, QLatin1Char('0'));
    const XlsxWorkbook::Format number = book.format(look);

    book.addSheet(QStringLiteral("Sheet1"));
    book.setColumnWidth(1, 1, 25);
    if (channels > 0)
        book.setColumnWidth(2, channels + 1, 12);
    const QList<QPair<QString, QString>> information = {
        {tr("项目名称:"), p.Name},
        {tr("设备型号："), p.Model.join(QLatin1Char(','))},
        {tr("设备序列号："), p.Serial.join(QLatin1Char(';'))},
        {tr("通讯方式："), p.SignalMode.join(QLatin1Char(','))},
        {QStringLiteral("IP/COM："), p.Signal1.join(QLatin1Char(','))},
        {QStringLiteral("Port/BaudRate："), p.Signal2.join(QLatin1Char(','))},
        {tr("扫描间隔："), p.Interval + QLatin1Char('s')}};
    for (int i = 0; i < information.size(); ++i) {
        book.writeText(i + 1, 1, information.at(i).first, centred);
        book.mergeText(i + 1, 2, i + 1, kInformationColumns, information.at(i).second, centred);
    }
    const int headRow = FirstDataRow - 1;
    QVector<int> columns; // project channel of each value column
    book.writeText(headRow, 1, tr("时间"), centred);
    for (int c = 0; c < channels; ++c) {
        if (!m_Shown.value(c, true))
            continue;
        columns.append(c);
        book.writeText(headRow, columns.size() + 1,
                       p.CHName.at(c) + QLatin1Char('(') + p.CHDisplayUnit.value(c) + QLatin1Char(')'), centred);
    }
    if (!book.ok()) {
        m_FileError = book.fileError();
        return false;
    }

    OwnConnection connection(databaseFile);
    if (!connection.isOpen())
        return false;
    // One row parsed at a time, as the report rows are: the same numbers, missing values empty.
    ProjectRows sample(channels);
    int row = FirstDataRow;
    bool writing = true;
    const bool read = Tool::readParametersData(p.Name, [&](qint64 time, const QString &values) {
        if (!writing || (m_Ranged && (time < m_From || time > m_To)))
            return;
        sample.clear();
        sample.appendJoined(time, values);
        writing = book.writeText(row, 1, QDateTime::fromMSecsSinceEpoch(time).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz")),
                                 centred);
        for (int k = 0; writing && k < columns.size(); ++k)
            writing = book.writeNumber(row, k + 2, sample.value(0, columns.at(k)), number);
        ++row;
    }, connection.name());
    if (!read) {
        qWarning() << "查询ParametersData失败！" << p.Name;
        return false;
    }
    if (!writing)
        qWarning().noquote() << "Data export of" << p.Name << "stopped:" << book.errorString();
    const bool saved = book.save();
    m_FileError = book.fileError();
    return saved;
}
