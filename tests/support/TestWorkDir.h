#pragma once

#include <QString>
#include <QTemporaryDir>

// One test's own working directory (RAII).
//
//   TestWorkDir dir;                          // temp dir, chdir into it, fresh "DAQ.db3" opened
//   QVERIFY(dir.isValid());                   //   through Tool::openDatabase() (default connection)
//   TestWorkDir empty(TestWorkDir::NoDatabase); // temp dir only, nothing opened
//
// The destructor closes the default connection and the "DAQ" connection (when present),
// changes back to the previous working directory and removes the directory.
// The constructor also registers the resource bundle and the font substitution, so widgets
// find ":/HKRQ5713/Image/..." images as in the program.
class TestWorkDir
{
public:
    enum Database { OpenDatabase, NoDatabase };

    explicit TestWorkDir(Database database = OpenDatabase);
    ~TestWorkDir();
    TestWorkDir(const TestWorkDir &) = delete;
    TestWorkDir &operator=(const TestWorkDir &) = delete;

    // Directory made, working directory changed and, when asked, the database opened.
    bool isValid() const { return m_Valid; }
    QString path() const { return m_Dir.path(); }
    QString filePath(const QString &name) const { return m_Dir.filePath(name); }

    // Copies a file of the build folder (for example "DAQ_en.qm") into this directory.
    // The build folder comes from the environment variable DAQ_BINARY_DIR set by CTest.
    bool copyFromBuild(const QString &fileName) const;
    // The source and build folders (DAQ_SOURCE_DIR / DAQ_BINARY_DIR), empty when unset.
    static QString sourceDir();
    static QString buildDir();

private:
    QTemporaryDir m_Dir;
    QString m_PreviousDir;
    bool m_Valid = false;
};
