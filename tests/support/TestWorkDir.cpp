#include "TestWorkDir.h"

#include "shell/AppSetup.h"
#include "store/Tool.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QtGlobal>

TestWorkDir::TestWorkDir(Database database)
    : m_Dir(QDir::tempPath() + QStringLiteral("/daqtest-XXXXXX"))
    , m_PreviousDir(QDir::currentPath())
{
    AppSetup::initResources();
    AppSetup::installFontSubstitution();
    if (!m_Dir.isValid() || !QDir::setCurrent(m_Dir.path()))
        return;
    if (database == OpenDatabase && !Tool::openDatabase(QStringLiteral("DAQ.db3")))
        return;
    m_Valid = true;
}

TestWorkDir::~TestWorkDir()
{
    Tool::closeDatabase(QStringLiteral("DAQ"));
    Tool::closeDatabase();
    QDir::setCurrent(m_PreviousDir);
}

bool TestWorkDir::copyFromBuild(const QString &fileName) const
{
    const QString from = QDir(buildDir()).filePath(fileName);
    const QString to = m_Dir.filePath(fileName);
    QFile::remove(to);
    return !buildDir().isEmpty() && QFile::copy(from, to);
}

QString TestWorkDir::sourceDir()
{
    return qEnvironmentVariable("DAQ_SOURCE_DIR");
}

QString TestWorkDir::buildDir()
{
    return qEnvironmentVariable("DAQ_BINARY_DIR");
}
