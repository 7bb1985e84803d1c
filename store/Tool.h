#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// Static data-access layer over the SQLite file "DAQ.db3", plus small shared helpers.
// Every statement binds its values; list fields are stored joined with ",".
// Operations report failure by returning false.
class Tool
{
public:
    // How long a statement waits for another connection's write lock before it fails.
    static constexpr int BusyTimeoutMs = 10000;
    // How long a write from the window's thread waits for it (with LockWait), so the window is
    // never held for more than a moment by another program.
    static constexpr int GuiLockWaitMs = 1000;

    // One registered instrument (table Collection, keyed by serial number).
    struct Struct_Collection {
        QString Model;
        QString Serial;
        QString SignalMode;   // "串口", "网络" or "蓝牙"
        QString Signal1;      // port name or host
        QString Signal2;      // baud rate or TCP port
        QString Rate;
        double Interval = 0.0;
        QStringList CHSerial; // channel numbers
        QStringList CHUnit;   // their units, parallel to CHSerial
    };

    // One named set of channel coefficients (table ChannelData).
    struct Struct_ChannelData {
        QString Name;
        QString Model;
        QStringList Number, Type, Function, Wire, Unit;
        QStringList A, B, C, D, R0, A4, B4;
        QStringList Offset_M, Offset_B;
        QStringList Parameter1, Parameter2;
    };

    // One acquisition project (table Parameters).
    struct Struct_Parameters {
        QString Name;
        QString CreateTime;   // "yyyy-MM-dd hh:mm:ss"
        QString StartTime;    // "yyyy-MM-dd hh:mm:ss"
        QStringList Model, Serial, SignalMode, Signal1, Signal2, Rate; // one entry per instrument
        QString Interval;     // seconds
        QStringList CHName;   // channel labels ("1-3", or "3" for imports)
        QStringList CHType, CHFunction, CHWire;
        QStringList CHUnit;
        QStringList CHM, CHB;
        QStringList CHDisplayUnit;
    };

    // One sample of a project (table ParametersData).
    struct Struct_ParametersData {
        QString Name;
        QDateTime Time;       // stored "yyyy-MM-dd hh:mm:ss.zzz"
        QStringList Data;     // one number text per channel
    };

    // One calibration run (table Calibration).
    struct Struct_Calibration {
        QString TimeName;     // key, "yyyy-MM-dd hh:mm:ss"
        QString Model;
        QString Serial;
        QStringList CHNumber;
    };

    // One calibrated channel of a run (table CalibrationData).
    struct Struct_CalibrationData {
        QString Name;         // the run's TimeName
        QString Number, Type, Range, Wire;
        QString A, B, C, D, R0, A4, B4;
        QString Offset_M, Offset_B;
        QString Parameter1, Parameter2;
        QStringList CList;    // reference temperatures
        QStringList DList;    // channel readings
    };

    // One audit-log entry (table AuditLog).
    struct Struct_AuditLog {
        QString Time;         // "yyyy-MM-dd hh:mm:ss"
        QString Type;
        QString Text;
    };

    // Keeps a transaction open on one connection; rolls back on destruction unless committed.
    class Transaction {
    public:
        explicit Transaction(const QString &connectionName = QString());
        ~Transaction();
        bool isActive() const { return m_active; }
        bool commit();
        void rollback();
        Transaction(const Transaction &) = delete;
        Transaction &operator=(const Transaction &) = delete;
    private:
        QString m_connection;
        bool m_active = false;
    };

    // Lowers, while it lives, how long statements of one connection wait for another
    // connection's write lock (another program, another thread's connection), so a GUI-thread
    // write gives up after a moment instead of holding the window for BusyTimeoutMs. The full
    // wait comes back on destruction.
    class LockWait {
    public:
        explicit LockWait(int milliseconds, const QString &connectionName = QString());
        ~LockWait();
        LockWait(const LockWait &) = delete;
        LockWait &operator=(const LockWait &) = delete;
    private:
        QString m_connection;
    };

    // True when the last statement of this thread that failed on the store failed because
    // another connection held the database (SQLite busy or locked); cleared by the next success
    // of a Transaction or a write.
    static bool lastFailureWasLock();
    // A failed write's message, with a second line saying that another program holds the
    // database and nothing was changed when that is why this thread's last write failed.
    static QString withLockNote(const QString &text);
    // The database's own words for that failure ("database disk image is malformed"); empty
    // when the last statement of this thread succeeded.
    static QString lastFailureText();
    // A failed write's message with the reason of this thread's last failure on a second line:
    // the note that another program holds the database, or else the database's own words.
    static QString withFailureReason(const QString &text);
    // That reason alone: the lock note, or else the database's own words.
    static QString lastFailureReason();

    // --- Connections -----------------------------------------------------------------
    // Opens (and creates when missing) the database file on the named connection (the default
    // connection when the name is empty): WAL journal, busy timeout, every table created,
    // settings rows seeded.
    static bool openDatabase(const QString &path = QStringLiteral("DAQ.db3"),
                             const QString &connectionName = QString());
    static void closeDatabase(const QString &connectionName = QString());

    // --- Collection --------------------------------------------------------------------
    static bool getCollection(QList<Struct_Collection> &list);
    static bool addCollection(const Struct_Collection &record);
    static bool deleteCollection(const QString &serial);

    // --- ChannelData -------------------------------------------------------------------
    static bool getChannelData(QList<Struct_ChannelData> &list);
    static bool addChannelData(const Struct_ChannelData &record);
    static bool deleteChannelData(const QString &name);

    // --- Parameters (projects) ---------------------------------------------------------
    static bool addParameters(const Struct_Parameters &record, const QString &connectionName = QString());
    // Stores a new project: refused, with nothing stored and *nameTaken set (when given), when a
    // stored project already bears its name; the failure's reason then names it. Called inside the
    // transaction that stores the rest of the project, the look-up and the store are one step for
    // every other connection, so a name stored meanwhile by another program is never stored twice.
    static bool addNewParameters(const Struct_Parameters &record, bool *nameTaken = nullptr,
                                 const QString &connectionName = QString());
    // Fills record from the project of that name; record.Name is "NULL" when none exists.
    static bool getParameters(Struct_Parameters &record, const QString &name);
    // Appends every project whose name contains the filter text (all for an empty filter).
    static bool queryParameters(QList<Struct_Parameters> &list, const QString &nameFilter);
    static bool deleteParameters(const QString &name, const QString &connectionName = QString());
    // Whether the project of that name and creation time is stored (exists is set); false when
    // the query fails.
    static bool projectExists(const QString &name, const QString &createTime, bool &exists,
                              const QString &connectionName = QString());

    // --- ParametersData (samples) ------------------------------------------------------
    static bool addParametersData(const Struct_ParametersData &record, const QString &connectionName = QString());
    // Stores all records in one transaction: all or none.
    static bool addParametersDataList(const QList<Struct_ParametersData> &records,
                                      const QString &connectionName = QString());
    // The project's rows sorted by time; every row for an empty name.
    static bool getParametersData(QList<Struct_ParametersData> &list, const QString &name);
    // One stored sample handed over without a record: its time in milliseconds since the epoch
    // (the stored local time) and its value texts as stored, joined with ",".
    using ParametersDataReceiver = std::function<void(qint64 msecsSinceEpoch, const QString &joinedValues)>;
    // The project's rows sorted by time, each handed to receive as it is read. Rows whose time
    // is not a stored time are left out and logged. False when the query fails, also part-way.
    static bool readParametersData(const QString &name, const ParametersDataReceiver &receive,
                                   const QString &connectionName = QString());
    static bool deleteParametersData(const QString &name, const QString &connectionName = QString());
    // Renames every sample row of oldName to newName; nothing when the two are equal.
    static bool modifytParametersData(const QString &oldName, const QString &newName,
                                      const QString &connectionName = QString());
    // A project with its samples, in one transaction.
    static bool deleteProject(const QString &name);

    // --- Calibration -------------------------------------------------------------------
    static bool addCalibration(const Struct_Calibration &record);
    static bool getCalibration(QList<Struct_Calibration> &list, const QString &time);
    static bool deleteCalibration(const QString &timeName);
    static bool addCalibrationData(const Struct_CalibrationData &record);
    static bool getCalibrationData(Struct_CalibrationData &record, const QString &name, const QString &number);
    static bool deleteCalibrationData(const QString &name, const QString &number);
    // Replaces the stored run and the rows of its channels by these, in one transaction: all or
    // nothing (a failure leaves the previous rows).
    static bool replaceCalibrationRun(const Struct_Calibration &run, const QList<Struct_CalibrationData> &records);

    // --- AuditLog ----------------------------------------------------------------------
    static bool addAuditLog(const QString &type, const QString &text);
    // Stores the entries (with their own times) in one transaction on the default connection,
    // waiting at most lockWaitMs for another connection's write lock: all or none.
    static bool addAuditLogList(const QList<Struct_AuditLog> &entries, int lockWaitMs);
    static bool getAuditLog(QList<Struct_AuditLog> &list);

    // --- SystemSet ---------------------------------------------------------------------
    // A missing row is inserted with an empty Data; data is then empty.
    static bool getSystemSet(const QString &name, QString &data);
    // Updates the row, inserting it when missing.
    static bool setSystemSet(const QString &name, const QString &data);

    // --- Helpers -----------------------------------------------------------------------
    static QStringList toStringList(int decimals, const QList<double> &values);
    static QList<double> toDoubleList(const QStringList &texts);
    static double sum(const QList<double> &values);
    // Distinct units in first-appearance order; always at least two entries (see .cpp).
    static QStringList uniqueUnits(const QStringList &units);
    static QString unitToQuantity(const QString &unit);
    static QStringList getSerialPortNames();
    static QString toDisplayText(const QString &stored);
    static QString fromDisplayText(const QString &display);
};
