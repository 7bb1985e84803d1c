#include "store/Tool.h"
#include "store/SystemSetKeys.h"

#include <QCoreApplication>
#include <QDebug>
#include <QHash>
#include <QMutex>
#include <QMutexLocker>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>

namespace {

const char *const kTimeMs = "yyyy-MM-dd hh:mm:ss.zzz";
const char *const kTime = "yyyy-MM-dd hh:mm:ss";

QSqlDatabase connection(const QString &name)
{
    return name.isEmpty() ? QSqlDatabase::database() : QSqlDatabase::database(name);
}

QString joinList(const QStringList &list)
{
    return list.join(QLatin1Char(','));
}

// An empty column is an empty list, not a list of one empty text.
QStringList splitList(const QString &text)
{
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char(','));
}

// Whether this thread's last failed statement met another connection's lock.
thread_local bool t_lastFailureWasLock = false;
thread_local QString t_lastFailureText;

bool isLockError(const QSqlError &error)
{
    // SQLITE_BUSY (5) and SQLITE_LOCKED (6), with their extended codes (low byte).
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    return ok && ((code & 0xff) == 5 || (code & 0xff) == 6);
}

void noteResult(bool ok, const QSqlError &error)
{
    t_lastFailureWasLock = !ok && isLockError(error);
    t_lastFailureText = ok ? QString() : (error.databaseText().isEmpty() ? error.text() : error.databaseText());
}

bool run(QSqlQuery &query, const char *what)
{
    if (query.exec()) {
        noteResult(true, QSqlError());
        return true;
    }
    noteResult(false, query.lastError());
    qWarning() << what << query.lastError().text();
    return false;
}

// Binds the values to the statement's placeholders in order.
void bindAll(QSqlQuery &query, const QVariantList &values)
{
    for (int i = 0; i < values.size(); ++i)
        query.bindValue(i, values.at(i));
}

// Every table of the store, columns in record order.
const char *const kSchema[] = {
    "CREATE TABLE IF NOT EXISTS Collection (Model TEXT, Serial TEXT, SignalMode TEXT, Signal1 TEXT,"
    " Signal2 TEXT, Rate TEXT, Interval REAL, CHSerial TEXT, CHUnit TEXT)",
    "CREATE TABLE IF NOT EXISTS ChannelData (Name TEXT, Model TEXT, Number TEXT, Type TEXT,"
    " Function TEXT, Wire TEXT, Unit TEXT, A TEXT, B TEXT, C TEXT, D TEXT, R0 TEXT, A4 TEXT, B4 TEXT,"
    " Offset_M TEXT, Offset_B TEXT, Parameter1 TEXT, Parameter2 TEXT)",
    "CREATE TABLE IF NOT EXISTS Parameters (Name TEXT, CreateTime TEXT, StartTime TEXT, Model TEXT,"
    " Serial TEXT, SignalMode TEXT, Signal1 TEXT, Signal2 TEXT, Rate TEXT, Interval TEXT, CHName TEXT,"
    " CHType TEXT, CHFunction TEXT, CHWire TEXT, CHUnit TEXT, CHM TEXT, CHB TEXT, CHDisplayUnit TEXT)",
    "CREATE TABLE IF NOT EXISTS ParametersData (Name TEXT, Time TEXT, Data TEXT)",
    "CREATE INDEX IF NOT EXISTS ParametersData_Name_Time ON ParametersData (Name, Time)",
    "CREATE TABLE IF NOT EXISTS Calibration (TimeName TEXT, Model TEXT, Serial TEXT, CHNumber TEXT)",
    "CREATE TABLE IF NOT EXISTS CalibrationData (Name TEXT, Number TEXT, Type TEXT, \"Range\" TEXT,"
    " Wire TEXT, A TEXT, B TEXT, C TEXT, D TEXT, R0 TEXT, A4 TEXT, B4 TEXT, Offset_M TEXT, Offset_B TEXT,"
    " Parameter1 TEXT, Parameter2 TEXT, CList TEXT, DList TEXT)",
    "CREATE TABLE IF NOT EXISTS AuditLog (Time TEXT, Type TEXT, Text TEXT)",
    "CREATE TABLE IF NOT EXISTS SystemSet (Name TEXT PRIMARY KEY, Data TEXT)",
};

// Settings a new user needs; existing rows are never overwritten.
const QList<QPair<QString, QString>> &defaultSettings()
{
    static const QList<QPair<QString, QString>> rows = {
        {SystemSetKeys::DataAccuracy, QStringLiteral("2")},
        {SystemSetKeys::SystemLanguage, QStringLiteral("中文")},
        {SystemSetKeys::EmailAddress, QString()},
        {SystemSetKeys::EmailInterval, QStringLiteral("10")},
        {SystemSetKeys::EmailAutoTrigger, QStringLiteral("false")},
        {SystemSetKeys::Switch_ChannelTypeSet, QStringLiteral("false")},
        {SystemSetKeys::Switch_ChannelParameterSet, QStringLiteral("false")},
        {SystemSetKeys::Switch_ChannelConfig, QStringLiteral("false")},
        {SystemSetKeys::Switch_ChannelCalibration, QStringLiteral("false")},
        {SystemSetKeys::Switch_Notification, QStringLiteral("true")},
        {SystemSetKeys::Switch_ExportADvanced, QStringLiteral("true")},
        {SystemSetKeys::Switch_DeviceSupport, QStringLiteral("false")},
        {SystemSetKeys::Switch_DeviceSet, QStringLiteral("false")},
    };
    return rows;
}

// Nesting depth of Tool::Transaction per connection: only the outermost one begins and ends.
QMutex g_transactionMutex;
QHash<QString, int> g_transactionDepth;

// Ends one level of the connection's transaction; the levels still open (0: it was the outermost
// one, which ends the SQL transaction).
int leaveTransaction(const QString &connection)
{
    QMutexLocker lock(&g_transactionMutex);
    return --g_transactionDepth[connection];
}

Tool::Struct_Parameters parametersFromQuery(const QSqlQuery &q)
{
    Tool::Struct_Parameters r;
    r.Name = q.value(0).toString();
    r.CreateTime = q.value(1).toString();
    r.StartTime = q.value(2).toString();
    r.Model = splitList(q.value(3).toString());
    r.Serial = splitList(q.value(4).toString());
    r.SignalMode = splitList(q.value(5).toString());
    r.Signal1 = splitList(q.value(6).toString());
    r.Signal2 = splitList(q.value(7).toString());
    r.Rate = splitList(q.value(8).toString());
    r.Interval = q.value(9).toString();
    r.CHName = splitList(q.value(10).toString());
    r.CHType = splitList(q.value(11).toString());
    r.CHFunction = splitList(q.value(12).toString());
    r.CHWire = splitList(q.value(13).toString());
    r.CHUnit = splitList(q.value(14).toString());
    r.CHM = splitList(q.value(15).toString());
    r.CHB = splitList(q.value(16).toString());
    r.CHDisplayUnit = splitList(q.value(17).toString());
    return r;
}

const char *const kParametersColumns =
    "Name, CreateTime, StartTime, Model, Serial, SignalMode, Signal1, Signal2, Rate, Interval, CHName,"
    " CHType, CHFunction, CHWire, CHUnit, CHM, CHB, CHDisplayUnit";

int digitsAt(const QString &text, int from, int count)
{
    int value = 0;
    for (int i = from; i < from + count; ++i) {
        const ushort c = text.at(i).unicode();
        if (c < '0' || c > '9')
            return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

// A stored sample time "yyyy-MM-dd hh:mm:ss.zzz", read as local time like QDateTime::fromString
// with that format, without parsing the format for every row.
bool parseSampleTime(const QString &text, qint64 &msecsSinceEpoch)
{
    if (text.size() != 23 || text.at(4) != QLatin1Char('-') || text.at(7) != QLatin1Char('-')
        || text.at(10) != QLatin1Char(' ') || text.at(13) != QLatin1Char(':') || text.at(16) != QLatin1Char(':')
        || text.at(19) != QLatin1Char('.'))
        return false;
    const int fields[] = {digitsAt(text, 0, 4), digitsAt(text, 5, 2), digitsAt(text, 8, 2), digitsAt(text, 11, 2),
                          digitsAt(text, 14, 2), digitsAt(text, 17, 2), digitsAt(text, 20, 3)};
    for (int field : fields) {
        if (field < 0)
            return false;
    }
    const QDate date(fields[0], fields[1], fields[2]);
    const QTime time(fields[3], fields[4], fields[5], fields[6]);
    if (!date.isValid() || !time.isValid())
        return false;
    // The local-time conversion is the costly part, and stored samples come hour by hour: the
    // start of the last hour is kept, as long as that hour has one offset from UTC throughout
    // (an hour with a change of the clocks is converted time by time).
    struct Hour {
        QDate date;
        int hour = -1;
        qint64 start = 0;
        bool even = false;
    };
    thread_local Hour last;
    if (last.hour != fields[3] || last.date != date) {
        last.date = date;
        last.hour = fields[3];
        last.start = QDateTime(date, QTime(fields[3], 0)).toMSecsSinceEpoch();
        last.even = QDateTime(date, QTime(fields[3], 59, 59, 999)).toMSecsSinceEpoch() - last.start == 3599999
                    && QDateTime::fromMSecsSinceEpoch(last.start).time() == QTime(fields[3], 0);
    }
    msecsSinceEpoch = last.even ? last.start + ((fields[4] * 60 + fields[5]) * 1000 + fields[6])
                                : QDateTime(date, time).toMSecsSinceEpoch();
    return true;
}

bool insertParametersData(QSqlQuery &q, const Tool::Struct_ParametersData &record)
{
    q.bindValue(0, record.Name);
    q.bindValue(1, record.Time.toString(QLatin1String(kTimeMs)));
    q.bindValue(2, joinList(record.Data));
    return run(q, "insert ParametersData failed:");
}

} // namespace

// ---------------------------------------------------------------------------------------
// Transaction

Tool::Transaction::Transaction(const QString &connectionName)
    : m_connection(connectionName.isEmpty() ? QString::fromLatin1(QSqlDatabase::defaultConnection)
                                            : connectionName)
{
    {
        QMutexLocker lock(&g_transactionMutex);
        int &depth = g_transactionDepth[m_connection];
        if (depth > 0) {
            // Nested: the outer transaction decides.
            ++depth;
            m_active = true;
            return;
        }
    }
    QSqlQuery q(connection(m_connection));
    // IMMEDIATE takes the write lock at once (waiting through the busy timeout), so a second
    // connection writing at the same time never makes this transaction fail half-way.
    if (!q.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
        // Counted only once begun: a transaction that never began must not make the next one
        // pass for nested.
        noteResult(false, q.lastError());
        qWarning() << "begin transaction failed:" << q.lastError().text();
        return;
    }
    noteResult(true, QSqlError());
    QMutexLocker lock(&g_transactionMutex);
    g_transactionDepth[m_connection] = 1;
    m_active = true;
}

Tool::Transaction::~Transaction()
{
    rollback();
}

bool Tool::Transaction::commit()
{
    if (!m_active)
        return false;
    m_active = false;
    if (leaveTransaction(m_connection) > 0)
        return true;
    QSqlQuery q(connection(m_connection));
    if (q.exec(QStringLiteral("COMMIT")))
        return true;
    noteResult(false, q.lastError());
    qWarning() << "commit failed:" << q.lastError().text();
    QSqlQuery(connection(m_connection)).exec(QStringLiteral("ROLLBACK"));
    return false;
}

void Tool::Transaction::rollback()
{
    if (!m_active)
        return;
    m_active = false;
    if (leaveTransaction(m_connection) > 0)
        return;
    QSqlQuery q(connection(m_connection));
    if (!q.exec(QStringLiteral("ROLLBACK")))
        qWarning() << "rollback failed:" << q.lastError().text();
}

// ---------------------------------------------------------------------------------------
// Lock waits

Tool::LockWait::LockWait(int milliseconds, const QString &connectionName)
    : m_connection(connectionName)
{
    QSqlQuery(connection(m_connection)).exec(QStringLiteral("PRAGMA busy_timeout=%1").arg(qMax(0, milliseconds)));
}

Tool::LockWait::~LockWait()
{
    QSqlQuery(connection(m_connection)).exec(QStringLiteral("PRAGMA busy_timeout=%1").arg(Tool::BusyTimeoutMs));
}

bool Tool::lastFailureWasLock()
{
    return t_lastFailureWasLock;
}

QString Tool::withLockNote(const QString &text)
{
    if (!t_lastFailureWasLock)
        return text;
    return text + QLatin1Char('\n') + lastFailureReason();
}

QString Tool::lastFailureReason()
{
    if (t_lastFailureWasLock)
        return QCoreApplication::translate("Tool", "数据库正被其他程序使用，未做任何更改。");
    return t_lastFailureText;
}

QString Tool::lastFailureText()
{
    return t_lastFailureText;
}

QString Tool::withFailureReason(const QString &text)
{
    const QString reason = lastFailureReason();
    return reason.isEmpty() ? text : text + QLatin1Char('\n') + reason;
}

// ---------------------------------------------------------------------------------------
// Connections

bool Tool::openDatabase(const QString &path, const QString &connectionName)
{
    QSqlDatabase db;
    const QString name = connectionName.isEmpty() ? QString::fromLatin1(QSqlDatabase::defaultConnection)
                                                   : connectionName;
    if (QSqlDatabase::contains(name)) {
        db = QSqlDatabase::database(name, false);
        db.close();
    } else {
        db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    }
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(Tool::BusyTimeoutMs));
    if (!db.open()) {
        qWarning() << "open database failed:" << path << db.lastError().text();
        return false;
    }
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("PRAGMA journal_mode=WAL")))
        qWarning() << "WAL journal not available:" << q.lastError().text();
    q.exec(QStringLiteral("PRAGMA busy_timeout=%1").arg(Tool::BusyTimeoutMs));
    for (const char *statement : kSchema) {
        if (!q.exec(QString::fromUtf8(statement))) {
            qWarning() << "create table failed:" << q.lastError().text();
            db.close();
            return false;
        }
    }
    // Only missing rows are inserted: a database that has them all is opened without a write,
    // so a connection that only reads (an export's, a worker's) opens while another program
    // holds the write lock.
    QSet<QString> present;
    if (!q.exec(QStringLiteral("SELECT Name FROM SystemSet"))) {
        noteResult(false, q.lastError());
        qWarning() << "read SystemSet failed:" << q.lastError().text();
        db.close();
        return false;
    }
    while (q.next())
        present.insert(q.value(0).toString());
    q.finish();
    q.prepare(QStringLiteral("INSERT OR IGNORE INTO SystemSet (Name, Data) VALUES (?, ?)"));
    for (const auto &row : defaultSettings()) {
        if (present.contains(row.first))
            continue;
        q.bindValue(0, row.first);
        q.bindValue(1, row.second);
        if (!run(q, "seed SystemSet failed:")) {
            db.close();
            return false;
        }
    }
    return true;
}

void Tool::closeDatabase(const QString &connectionName)
{
    const QString name = connectionName.isEmpty() ? QString::fromLatin1(QSqlDatabase::defaultConnection)
                                                   : connectionName;
    if (!QSqlDatabase::contains(name))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

// ---------------------------------------------------------------------------------------
// Collection

bool Tool::getCollection(QList<Struct_Collection> &list)
{
    QSqlQuery q(connection(QString()));
    q.prepare(QStringLiteral("SELECT Model, Serial, SignalMode, Signal1, Signal2, Rate, Interval, CHSerial,"
                             " CHUnit FROM Collection"));
    if (!run(q, "query Collection failed:"))
        return false;
    while (q.next()) {
        Struct_Collection r;
        r.Model = q.value(0).toString();
        r.Serial = q.value(1).toString();
        r.SignalMode = q.value(2).toString();
        r.Signal1 = q.value(3).toString();
        r.Signal2 = q.value(4).toString();
        r.Rate = q.value(5).toString();
        r.Interval = q.value(6).toDouble();
        r.CHSerial = splitList(q.value(7).toString());
        r.CHUnit = splitList(q.value(8).toString());
        list.append(r);
    }
    return true;
}

bool Tool::addCollection(const Struct_Collection &r)
{
    QSqlQuery q(connection(QString()));
    q.prepare(QStringLiteral("INSERT INTO Collection (Model, Serial, SignalMode, Signal1, Signal2, Rate,"
                             " Interval, CHSerial, CHUnit) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    const QVariantList values = {r.Model, r.Serial, r.SignalMode, r.Signal1, r.Signal2, r.Rate,
                                 r.Interval, joinList(r.CHSerial), joinList(r.CHUnit)};
    bindAll(q, values);
    return run(q, "insert Collection failed:");
}

bool Tool::deleteCollection(const QString &serial)
{
    QSqlQuery q(connection(QString()));
    q.prepare(QStringLiteral("DELETE FROM Collection WHERE Serial = ?"));
    q.bindValue(0, serial);
    return run(q, "delete Collection failed:");
}

// ---------------------------------------------------------------------------------------
// ChannelData

bool Tool::getChannelData(QList<Struct_ChannelData> &list)
{
    QSqlQuery q(connection(QString()));
    q.prepare(QStringLiteral("SELECT Name, Model, Number, Type, Function, Wire, Unit, A, B, C, D, R0, A4,"
                             " B4, Offset_M, Offset_B, Parameter1, Parameter2 FROM ChannelData"));
    if (!run(q, "query ChannelData failed:"))
        return false;
    while (q.next()) {
        Struct_ChannelData r;
        r.Name = q.value(0).toString();
        r.Model = q.value(1).toString();
        QStringList *lists[] = {&r.Number, &r.Type, &r.Function, &r.Wire, &r.Unit, &r.A, &r.B, &r.C,
                                &r.D, &r.R0, &r.A4, &r.B4, &r.Offset_M, &r.Offset_B, &r.Parameter1,
                                &r.Parameter2};
        for (int i = 0; i < 16; ++i)
            *lists[i] = splitList(q.value(2 + i).toString());
        list.append(r);
    }
    return true;
}

bool Tool::addChannelData(const Struct_ChannelData &r)
{
    QSqlQuery q(connection(QString()));
    q.prepare(QStringLiteral("INSERT INTO ChannelData (Name, Model, Number, Type, Function, Wire, Unit, A, B,"
                             " C, D, R0, A4, B4, Offset_M, Offset_B, Parameter1, Parameter2)"
                             " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    const QStringList *lists[] = {&r.Number, &r.Type, &r.Function, &r.Wire, &r.Unit, &r.A, &r.B, &r.C,
                                  &r.D, &r.R0, &r.A4, &r.B4, &r.Offset_M, &r.Offset_B, &r.Parameter1,
                                  &r.Parameter2};
    q.bindValue(0, r.Name);
    q.bindValue(1, r.Model);
    for (int i = 0; i < 16; ++i)
        q.bindValue(2 + i, joinList(*lists[i]));
    return run(q, "insert ChannelData failed:");
}

bool Tool::deleteChannelData(const QString &name)
{
    QSqlQuery q(connection(QString()));
    q.prepare(QStringLiteral("DELETE FROM ChannelData WHERE Name = ?"));
    q.bindValue(0, name);
    return run(q, "delete ChannelData failed:");
}

// ---------------------------------------------------------------------------------------
// Parameters

bool Tool::addParameters(const Struct_Parameters &r, const QString &connectionName)
{
    QSqlQuery q(connection(connectionName));
    q.prepare(QStringLiteral("INSERT INTO Parameters (%1) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?,"
                             " ?, ?, ?, ?)").arg(QLatin1String(kParametersColumns)));
    const QVariantList values = {
        r.Name, r.CreateTime, r.StartTime, joinList(r.Model), joinList(r.Serial), joinList(r.SignalMode),
        joinList(r.Signal1), joinList(r.Signal2), joinList(r.Rate), r.Interval, joinList(r.CHName),
        joinList(r.CHType), joinList(r.CHFunction), joinList(r.CHWire), joinList(r.CHUnit),
        joinList(r.CHM), joinList(r.CHB), joinList(r.CHDisplayUnit)};
    bindAll(q, values);
    return run(q, "insert Parameters failed:");
}

bool Tool::addNewParameters(const Struct_Parameters &r, bool *nameTaken, const QString &connectionName)
{
    if (nameTaken)
        *nameTaken = false;
    QSqlQuery q(connection(connectionName));
    q.prepare(QStringLiteral("SELECT 1 FROM Parameters WHERE Name = ? LIMIT 1"));
    q.bindValue(0, r.Name);
    if (!run(q, "query Parameters failed:"))
        return false;
    if (!q.next()) // the statement's first step ran in exec(): no row means none bears the name
        return addParameters(r, connectionName);
    if (nameTaken)
        *nameTaken = true;
    t_lastFailureWasLock = false;
    t_lastFailureText = QCoreApplication::translate("Tool", "项目名称已存在！（%1）").arg(r.Name);
    qWarning() << "project record not stored, a stored project bears its name:" << r.Name;
    return false;
}

bool Tool::getParameters(Struct_Parameters &record, const QString &name)
{
    QSqlQuery q(connection(QString()));
    q.prepare(QStringLiteral("SELECT %1 FROM Parameters WHERE Name = ?").arg(QLatin1String(kParametersColumns)));
    q.bindValue(0, name);
    if (!run(q, "query Parameters failed:"))
        return false;
    if (q.next())
        record = parametersFromQuery(q);
    else
        record.Name = QStringLiteral("NULL");
    return true;
}

bool Tool::queryParameters(QList<Struct_Parameters> &list, const QString &nameFilter)
{
    QString escaped = nameFilter;
    escaped.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    escaped.replace(QLatin1Char('%'), QLatin1String("\\%"));
    escaped.replace(QLatin1Char('_'), QLatin1String("\\_"));
    QSqlQuery q(connection(QString()));
    q.prepare(QStringLiteral("SELECT %1 FROM Parameters WHERE Name LIKE ? ESCAPE '\\' ORDER BY rowid")
                  .arg(QLatin1String(kParametersColumns)));
    q.bindValue(0, QLatin1Char('%') + escaped + QLatin1Char('%'));
    if (!run(q, "query Parameters failed:"))
        return false;
    while (q.next())
        list.append(parametersFromQuery(q));
    // next() also ends on a failed step: the projects handed over are then not all of them.
    if (q.lastError().isValid()) {
        noteResult(false, q.lastError());
        qWarning() << "query Parameters failed part-way:" << q.lastError().text();
        return false;
    }
    return true;
}

bool Tool::deleteParameters(const QString &name, const QString &connectionName)
{
    QSqlQuery q(connection(connectionName));
    q.prepare(QStringLiteral("DELETE FROM Parameters WHERE Name = ?"));
    q.bindValue(0, name);
    return run(q, "delete Parameters failed:");
}

bool Tool::projectExists(const QString &name, const QString &createTime, bool &exists,
                         const QString &connectionName)
{
    QSqlQuery q(connection(connectionName));
    q.prepare(QStringLiteral("SELECT 1 FROM Parameters WHERE Name = ? AND CreateTime = ? LIMIT 1"));
    q.bindValue(0, name);
    q.bindValue(1, createTime);
    if (!run(q, "query Parameters failed:"))
        return false;
    exists = q.next();
    if (q.lastError().isValid()) {
        noteResult(false, q.lastError());
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------------------
// ParametersData

bool Tool::addParametersData(const Struct_ParametersData &record, const QString &connectionName)
{
    QSqlQuery q(connection(connectionName));
    q.prepare(QStringLiteral("INSERT INTO ParametersData (Name, Time, Data) VALUES (?, ?, ?)"));
    return insertParametersData(q, record);
}

bool Tool::addParametersDataList(const QList<Struct_ParametersData> &records, const QString &connectionName)
{
    Transaction transaction(connectionName);
    if (!transaction.isActive())
        return false;
    {
        QSqlQuery q(connection(connectionName));
        q.prepare(QStringLiteral("INSERT INTO ParametersData (Name, Time, Data) VALUES (?, ?, ?)"));
        for (const Struct_ParametersData &record : records) {
            if (!insertParametersData(q, record))
                return false; // the transaction rolls back
        }
    }
    return transaction.commit();
}

bool Tool::getParametersData(QList<Struct_ParametersData> &list, const QString &name)
{
    QSqlQuery q(connection(QString()));
    if (name.isEmpty()) {
        q.prepare(QStringLiteral("SELECT Name, Time, Data FROM ParametersData ORDER BY Time, rowid"));
    } else {
        q.prepare(QStringLiteral("SELECT Name, Time, Data FROM ParametersData WHERE Name = ? ORDER BY Time, rowid"));
        q.bindValue(0, name);
    }
    q.setForwardOnly(true);
    if (!run(q, "query ParametersData failed:"))
        return false;
    const QString format = QLatin1String(kTimeMs);
    while (q.next()) {
        Struct_ParametersData r;
        r.Name = q.value(0).toString();
        r.Time = QDateTime::fromString(q.value(1).toString(), format);
        r.Data = splitList(q.value(2).toString());
        list.append(r);
    }
    return true;
}

bool Tool::readParametersData(const QString &name, const ParametersDataReceiver &receive,
                              const QString &connectionName)
{
    QSqlQuery q(connection(connectionName));
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT Time, Data FROM ParametersData WHERE Name = ? ORDER BY Time, rowid"));
    q.bindValue(0, name);
    if (!run(q, "query ParametersData failed:"))
        return false;
    qint64 unreadable = 0;
    qint64 time = 0;
    while (q.next()) {
        if (parseSampleTime(q.value(0).toString(), time))
            receive(time, q.value(1).toString());
        else
            ++unreadable;
    }
    // next() also ends on a failed step: the rows handed over are then not all of them.
    if (q.lastError().isValid()) {
        noteResult(false, q.lastError());
        qWarning() << "query ParametersData failed part-way:" << q.lastError().text();
        return false;
    }
    if (unreadable > 0)
        qWarning() << "samples of" << name << "left out, their time is unreadable:" << unreadable;
    return true;
}

bool Tool::deleteParametersData(const QString &name, const QString &connectionName)
{
    QSqlQuery q(connection(connectionName));
    q.prepare(QStringLiteral("DELETE FROM ParametersData WHERE Name = ?"));
    q.bindValue(0, name);
    return run(q, "delete ParametersData failed:");
}

bool Tool::modifytParametersData(const QString &oldName, const QString &newName, const QString &connectionName)
{
    if (oldName == newName)
        return true;
    QSqlQuery q(connection(connectionName));
    q.prepare(QStringLiteral("UPDATE ParametersData SET Name = ? WHERE Name = ?"));
    q.bindValue(0, newName);
    q.bindValue(1, oldName);
    return run(q, "rename ParametersData failed:");
}

bool Tool::deleteProject(const QString &name)
{
    Transaction transaction;
    if (!transaction.isActive())
        return false;
    if (!deleteParameters(name) || !deleteParametersData(name))
        return false;
    return transaction.commit();
}

// ---------------------------------------------------------------------------------------
// Calibration

bool Tool::addCalibration(const Struct_Calibration &r)
{
    QSqlQuery q(connection(QString()));
    q.prepare(QStringLiteral("INSERT INTO Calibration (TimeName, Model, Serial, CHNumber) VALUES (?, ?, ?, ?)"));
    q.bindValue(0, r.TimeName);
    q.bindValue(1, r.Model);
    q.bindValue(2, r.Serial);
    q.bindValue(3, joinList(r.CHNumber));
    return run(q, "insert Calibration failed:");
}

bool Tool::getCalibration(QList<Struct_Calibration> &list, const QString &time)
{
    QSqlQuery q(connection(QString()));
    if (time.isEmpty()) {
        q.prepare(QStringLiteral("SELECT TimeName, Model, Serial, CHNumber FROM Calibration"));
    } else {
        q.prepare(QStringLiteral("SELECT TimeName, Model, Serial, CHNumber FROM Calibration WHERE TimeName = ?"));
        q.bindValue(0, time);
    }
    if (!run(q, "query Calibration failed:"))
        return false;
    while (q.next()) {
        Struct_Calibration r;
        r.TimeName = q.value(0).toString();
        r.Model = q.value(1).toString();
        r.Serial = q.value(2).toString();
        r.CHNumber = splitList(q.value(3).toString());
        list.append(r);
    }
    // next() also ends on a failed step: the runs handed over are then not all of them.
    if (q.lastError().isValid()) {
        noteResult(false, q.lastError());
        qWarning() << "query Calibration failed part-way:" << q.lastError().text();
        return false;
    }
    return true;
}

bool Tool::deleteCalibration(const QString &timeName)
{
    QSqlQuery q(connection(QString()));
    q.prepare(QStringLiteral("DELETE FROM Calibration WHERE TimeName = ?"));
    q.bindValue(0, timeName);
    return run(q, "delete Calibration failed:");
}

bool Tool::addCalibrationData(const Struct_CalibrationData &r)
{
    QSqlQuery q(connection(QString()));
    q.prepare(QStringLiteral("INSERT INTO CalibrationData (Name, Number, Type, \"Range\", Wire, A, B, C, D, R0,"
                             " A4, B4, Offset_M, Offset_B, Parameter1, Parameter2, CList, DList)"
                             " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    const QVariantList values = {r.Name, r.Number, r.Type, r.Range, r.Wire, r.A, r.B, r.C, r.D, r.R0,
                                 r.A4, r.B4, r.Offset_M, r.Offset_B, r.Parameter1, r.Parameter2,
                                 joinList(r.CList), joinList(r.DList)};
    bindAll(q, values);
    return run(q, "insert CalibrationData failed:");
}

bool Tool::getCalibrationData(Struct_CalibrationData &r, const QString &name, const QString &number)
{
    QSqlQuery q(connection(QString()));
    q.prepare(QStringLiteral("SELECT Name, Number, Type, \"Range\", Wire, A, B, C, D, R0, A4, B4, Offset_M,"
                             " Offset_B, Parameter1, Parameter2, CList, DList FROM CalibrationData"
                             " WHERE Name = ? AND Number = ?"));
    q.bindValue(0, name);
    q.bindValue(1, number);
    if (!run(q, "query CalibrationData failed:"))
        return false;
    if (!q.next())
        return true;
    QString *texts[] = {&r.Name, &r.Number, &r.Type, &r.Range, &r.Wire, &r.A, &r.B, &r.C, &r.D, &r.R0,
                        &r.A4, &r.B4, &r.Offset_M, &r.Offset_B, &r.Parameter1, &r.Parameter2};
    for (int i = 0; i < 16; ++i)
        *texts[i] = q.value(i).toString();
    r.CList = splitList(q.value(16).toString());
    r.DList = splitList(q.value(17).toString());
    return true;
}

bool Tool::deleteCalibrationData(const QString &name, const QString &number)
{
    QSqlQuery q(connection(QString()));
    q.prepare(QStringLiteral("DELETE FROM CalibrationData WHERE Name = ? AND Number = ?"));
    q.bindValue(0, name);
    q.bindValue(1, number);
    return run(q, "delete CalibrationData failed:");
}

bool Tool::replaceCalibrationRun(const Struct_Calibration &run, const QList<Struct_CalibrationData> &records)
{
    Transaction transaction;
    if (!transaction.isActive() || !deleteCalibration(run.TimeName) || !addCalibration(run))
        return false;
    for (const Struct_CalibrationData &record : records) {
        if (!deleteCalibrationData(record.Name, record.Number) || !addCalibrationData(record))
            return false; // the transaction rolls back
    }
    return transaction.commit();
}

// ---------------------------------------------------------------------------------------
// AuditLog

bool Tool::addAuditLog(const QString &type, const QString &text)
{
    QSqlQuery q(connection(QString()));
    q.prepare(QStringLiteral("INSERT INTO AuditLog (Time, Type, Text) VALUES (?, ?, ?)"));
    q.bindValue(0, QDateTime::currentDateTime().toString(QLatin1String(kTime)));
    q.bindValue(1, type);
    q.bindValue(2, text);
    return run(q, "insert AuditLog failed:");
}

bool Tool::addAuditLogList(const QList<Struct_AuditLog> &entries, int lockWaitMs)
{
    QSqlDatabase db = connection(QString());
    const LockWait wait(lockWaitMs);
    bool stored = false;
    {
        Transaction transaction;
        if (transaction.isActive()) {
            QSqlQuery q(db);
            q.prepare(QStringLiteral("INSERT INTO AuditLog (Time, Type, Text) VALUES (?, ?, ?)"));
            stored = true;
            for (const Struct_AuditLog &entry : entries) {
                bindAll(q, {entry.Time, entry.Type, entry.Text});
                if (!run(q, "insert AuditLog failed:")) {
                    stored = false;
                    break;
                }
            }
            stored = stored && transaction.commit();
        }
    }
    return stored;
}

bool Tool::getAuditLog(QList<Struct_AuditLog> &list)
{
    QSqlQuery q(connection(QString()));
    q.prepare(QStringLiteral("SELECT Time, Type, Text FROM AuditLog ORDER BY rowid"));
    if (!run(q, "query AuditLog failed:"))
        return false;
    while (q.next())
        list.append({q.value(0).toString(), q.value(1).toString(), q.value(2).toString()});
    return true;
}

// ---------------------------------------------------------------------------------------
// SystemSet

bool Tool::getSystemSet(const QString &name, QString &data)
{
    QSqlQuery q(connection(QString()));
    q.prepare(QStringLiteral("SELECT Data FROM SystemSet WHERE Name = ?"));
    q.bindValue(0, name);
    if (!run(q, "query SystemSet failed:"))
        return false;
    if (q.next()) {
        data = q.value(0).toString();
        return true;
    }
    q.finish();
    data.clear();
    QSqlQuery insert(connection(QString()));
    insert.prepare(QStringLiteral("INSERT INTO SystemSet (Name, Data) VALUES (?, '')"));
    insert.bindValue(0, name);
    return run(insert, "insert SystemSet failed:");
}

bool Tool::setSystemSet(const QString &name, const QString &data)
{
    QSqlQuery q(connection(QString()));
    q.prepare(QStringLiteral("INSERT INTO SystemSet (Name, Data) VALUES (?, ?)"
                             " ON CONFLICT(Name) DO UPDATE SET Data = excluded.Data"));
    q.bindValue(0, name);
    q.bindValue(1, data);
    return run(q, "write SystemSet failed:");
}

// ---------------------------------------------------------------------------------------
// Helpers

QStringList Tool::toStringList(int decimals, const QList<double> &values)
{
    QStringList texts;
    texts.reserve(values.size());
    for (double v : values)
        texts.append(QString::number(v, 'f', decimals));
    return texts;
}

QList<double> Tool::toDoubleList(const QStringList &texts)
{
    QList<double> values;
    values.reserve(texts.size());
    for (const QString &t : texts)
        values.append(t.toDouble()); // no number gives 0
    return values;
}

double Tool::sum(const QList<double> &values)
{
    double total = 0.0;
    for (double v : values)
        total += v;
    return total;
}

QStringList Tool::uniqueUnits(const QStringList &units)
{
    QStringList distinct;
    for (const QString &u : units) {
        if (!distinct.contains(u))
            distinct.append(u);
    }
    if (distinct.isEmpty())
        return {QString(), QString()};
    if (distinct.size() == 1)
        return {distinct.first(), QString()};
    if (distinct.size() == 2 && distinct.first() != QStringLiteral("℃") && distinct.first() != QStringLiteral("℉"))
        distinct.swapItemsAt(0, 1);
    return distinct;
}

QString Tool::unitToQuantity(const QString &unit)
{
    static const QHash<QString, const char *> quantities = {
        {QStringLiteral("℃"), QT_TRANSLATE_NOOP("Tool", "温度")},
        {QStringLiteral("℉"), QT_TRANSLATE_NOOP("Tool", "温度")},
        {QStringLiteral("%RH"), QT_TRANSLATE_NOOP("Tool", "湿度")},
        {QStringLiteral("psi"), QT_TRANSLATE_NOOP("Tool", "压力")},
        {QStringLiteral("mbar"), QT_TRANSLATE_NOOP("Tool", "压力")},
        {QStringLiteral("bar"), QT_TRANSLATE_NOOP("Tool", "压力")},
        {QStringLiteral("Pa"), QT_TRANSLATE_NOOP("Tool", "压力")},
        {QStringLiteral("KPa"), QT_TRANSLATE_NOOP("Tool", "压力")},
        {QStringLiteral("MPa"), QT_TRANSLATE_NOOP("Tool", "压力")},
        {QStringLiteral("mV"), QT_TRANSLATE_NOOP("Tool", "电压")},
        {QStringLiteral("V"), QT_TRANSLATE_NOOP("Tool", "电压")},
        {QStringLiteral("Ω"), QT_TRANSLATE_NOOP("Tool", "电阻")},
        {QStringLiteral("kΩ"), QT_TRANSLATE_NOOP("Tool", "电阻")},
        {QStringLiteral("MΩ"), QT_TRANSLATE_NOOP("Tool", "电阻")},
        {QStringLiteral("μA"), QT_TRANSLATE_NOOP("Tool", "电流")},
        {QStringLiteral("mA"), QT_TRANSLATE_NOOP("Tool", "电流")},
        {QStringLiteral("A"), QT_TRANSLATE_NOOP("Tool", "电流")},
    };
    const char *source = quantities.value(unit, QT_TRANSLATE_NOOP("Tool", "其他"));
    return QCoreApplication::translate("Tool", source);
}
