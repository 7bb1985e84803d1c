#pragma once

#include "shell/AppSetup.h"
#include "store/Tool.h"

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

// One test's own working directory (RAII): a temporary directory made current, with a fresh
// "DAQ.db3" opened through Tool::openDatabase() (the default connection) unless NoDatabase.
// The destructor closes the default and the "DAQ" connections and changes back to the previous
// working directory. The resource bundle and the font substitution are set up as in the program,
// so widgets find ":/HKRQ5713/Image/..." images.
class TestWorkDir
{
public:
    enum Database { OpenDatabase, NoDatabase };

    explicit TestWorkDir(Database database = OpenDatabase)
        : m_Dir(QDir::tempPath() + QStringLiteral("/daqtest-XXXXXX"))
        , m_PreviousDir(QDir::currentPath())
    {
        AppSetup::initResources();
        AppSetup::installFontSubstitution();
        m_Valid = m_Dir.isValid() && QDir::setCurrent(m_Dir.path())
                  && (database == NoDatabase || Tool::openDatabase(QStringLiteral("DAQ.db3")));
    }
    ~TestWorkDir()
    {
        Tool::closeDatabase(QStringLiteral("DAQ"));
        Tool::closeDatabase();
        QDir::setCurrent(m_PreviousDir);
    }
    TestWorkDir(const TestWorkDir &) = delete;
    TestWorkDir &operator=(const TestWorkDir &) = delete;

    // Directory made, working directory changed and, when asked, the database opened.
    bool isValid() const { return m_Valid; }
    QString path() const { return m_Dir.path(); }
    QString filePath(const QString &name) const { return m_Dir.filePath(name); }

    // Copies a file of the build folder (for example "DAQ_en.qm") into this directory.
    bool copyFromBuild(const QString &fileName) const
    {
        QFile::remove(m_Dir.filePath(fileName));
        return !buildDir().isEmpty() && QFile::copy(QDir(buildDir()).filePath(fileName), m_Dir.filePath(fileName));
    }
    // The source and build folders (DAQ_SOURCE_DIR / DAQ_BINARY_DIR set by CTest), empty when unset.
    static QString sourceDir() { return qEnvironmentVariable("DAQ_SOURCE_DIR"); }
    static QString buildDir() { return qEnvironmentVariable("DAQ_BINARY_DIR"); }

private:
    QTemporaryDir m_Dir;
    QString m_PreviousDir;
    bool m_Valid = false;
};
