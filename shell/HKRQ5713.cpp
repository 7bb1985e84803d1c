#include "shell/HKRQ5713.h"

#include "acquisition/ParametersEntry.h"
#include "calibration/Calibration.h"
#include "reports/VerificationReport.h"

#include "shell/LogHandler.h"
#include "store/SystemSetKeys.h"
#include "store/Tool.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPixmap>
#include <QSplashScreen>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStatusBar>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <QTranslator>
#include <QVBoxLayout>

int HKRQ5713::s_SplashDelay = 2000;

namespace {
const int clockIntervalMs = 1000;
const int logKeepDays = 31;

bool toBool(const QString &text)
{
    const QString t = text.trimmed().toLower();
    return t == QLatin1String("true") || t == QLatin1String("1");
}
}

HKRQ5713::HKRQ5713(QWidget *parent)
    : QMainWindow(parent)
{
    setupUi();
    showSplash();

    m_System = new Struct_System;

    const QString database = QStringLiteral("DAQ.db3");
    if (!Tool::openDatabase(database)) {
        fail(tr("数据库打开失败!") + QLatin1Char('\n') + databaseFailure(database));
        return;
    }
    if (!loadSettings(*m_System)) {
        fail(tr("Sql Error"));
        return;
    }
    installTranslator();
    LogHandler::deleteOldLogs(QDir::current(), QDate::currentDate(), logKeepDays);

    Clock_timeout();
    m_Clock->start(clockIntervalMs);

    SwitchPage(Page_Device);
    closeSplash();
    m_Ready = true;
}

HKRQ5713::~HKRQ5713()
{
    if (m_Page)
        delete m_Page.data();
    for (QTranslator *translator : {m_Translator, m_QtTranslator}) {
        if (translator)
            QCoreApplication::removeTranslator(translator);
    }
    delete m_System;
}

void HKRQ5713::setSplashDelay(int milliseconds)
{
    s_SplashDelay = qMax(0, milliseconds);
}

int HKRQ5713::splashDelay()
{
    return s_SplashDelay;
}

void HKRQ5713::setupUi()
{
    setObjectName(QStringLiteral("HKRQ5713"));
    setWindowTitle(QStringLiteral("QNRIX"));
    setWindowIcon(QIcon(QStringLiteral(":/HKRQ5713/Image/AppIcon.png")));
    resize(1280, 800);

    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("centralWidget"));
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(5, 5, 5, 5);
    layout->setSpacing(5);

    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(6);
    auto makeButton = [&](const char *name, const char *icon) {
        auto *button = new QToolButton(central);
        button->setObjectName(QString::fromLatin1(name));
        button->setIcon(QIcon(QString::fromLatin1(icon)));
        button->setIconSize(QSize(48, 48));
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setAutoRaise(true);
        buttons->addWidget(button);
        return button;
    };
    m_ButtonParameters = makeButton("toolButton_Parameters", ":/HKRQ5713/Image/Parameters.png");
    m_ButtonCalibration = makeButton("toolButton_Calibration", ":/HKRQ5713/Image/Calibration.png");
    m_ButtonReport = makeButton("toolButton_VerificationReport", ":/HKRQ5713/Image/ValidationReport.png");
    buttons->addStretch(1);
    layout->addLayout(buttons);

    connect(m_ButtonParameters, SIGNAL(clicked()), this, SLOT(Parameters_clicked()));
    connect(m_ButtonCalibration, &QToolButton::clicked, this, [this] { SwitchPage(Page_Calibration); });
    connect(m_ButtonReport, &QToolButton::clicked, this, [this] { SwitchPage(Page_Report); });

    m_PageArea = new QWidget(central);
    m_PageArea->setObjectName(QStringLiteral("widget_Page"));
    m_PageLayout = new QVBoxLayout(m_PageArea);
    m_PageLayout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_PageArea, 1);
    setCentralWidget(central);

    m_Version = new QLabel(this);
    m_Version->setObjectName(QStringLiteral("label_Version"));
    m_Time = new QLabel(this);
    m_Time->setObjectName(QStringLiteral("label_Time"));
    statusBar()->addWidget(m_Version);
    statusBar()->addPermanentWidget(m_Time);

    m_Clock = new QTimer(this);
    m_Clock->setObjectName(QStringLiteral("timer_Clock"));
    connect(m_Clock, SIGNAL(timeout()), this, SLOT(Clock_timeout()));

    retranslateUi();
}

void HKRQ5713::retranslateUi()
{
    m_ButtonParameters->setText(tr("数据采集"));
    m_ButtonCalibration->setText(tr("传感器校准"));
    m_ButtonReport->setText(tr("验证报告"));
    m_Version->setText(tr("版本：") + (m_System ? m_System->Version : Struct_System().Version));
}

void HKRQ5713::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslateUi();
    QMainWindow::changeEvent(event);
}

void HKRQ5713::showSplash()
{
    m_Splash = new QSplashScreen(QPixmap(QStringLiteral(":/HKRQ5713/Image/Open.png")));
    m_Splash->setObjectName(QStringLiteral("splash"));
    m_Splash->show();
    QCoreApplication::processEvents();
    if (s_SplashDelay > 0)
        QThread::msleep(static_cast<unsigned long>(s_SplashDelay));
}

void HKRQ5713::closeSplash()
{
    if (!m_Splash)
        return;
    m_Splash->close();
    delete m_Splash;
    m_Splash = nullptr;
}

void HKRQ5713::fail(const QString &text)
{
    closeSplash();
    m_Ready = false;
    m_ErrorText = text;
    qWarning() << "start-up stopped:" << text;
    QMessageBox::warning(this, tr("警告"), text);
}

bool HKRQ5713::loadSettings(Struct_System &system)
{
    struct Switch {
        const QString &key;
        bool &value;
    };
    const Switch switches[] = {
        {SystemSetKeys::Switch_ChannelTypeSet, system.Switch_ChannelTypeSet},
        {SystemSetKeys::Switch_ChannelParameterSet, system.Switch_ChannelParameterSet},
        {SystemSetKeys::Switch_ChannelConfig, system.Switch_ChannelConfig},
        {SystemSetKeys::Switch_ChannelCalibration, system.Switch_ChannelCalibration},
        {SystemSetKeys::Switch_Notification, system.Switch_Notification},
        {SystemSetKeys::Switch_ExportADvanced, system.Switch_ExportADvanced},
        {SystemSetKeys::Switch_DeviceSupport, system.Switch_DeviceSupport},
        {SystemSetKeys::Switch_DeviceSet, system.Switch_DeviceSet},
    };
    QString data;
    for (const Switch &s : switches) {
        if (!Tool::getSystemSet(s.key, data))
            return false;
        s.value = toBool(data);
    }

    if (!Tool::getSystemSet(SystemSetKeys::DataAccuracy, data))
        return false;
    bool ok = false;
    const int accuracy = data.trimmed().toInt(&ok);
    if (ok && accuracy >= 0 && accuracy <= 10)
        system.DataAccuracy = accuracy;
    else
        qWarning() << "DataAccuracy unusable, keeping" << system.DataAccuracy << ":" << data;

    if (!Tool::getSystemSet(SystemSetKeys::SystemLanguage, data))
        return false;
    system.SystemLanguage = data.trimmed();

    if (!Tool::getSystemSet(SystemSetKeys::EmailAddress, data))
        return false;
    system.EmailAddress.clear();
    for (const QString &address : data.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        if (!address.trimmed().isEmpty())
            system.EmailAddress << address.trimmed();
    }

    if (!Tool::getSystemSet(SystemSetKeys::EmailInterval, data))
        return false;
    // Minutes; the run counts in seconds (x 60), so beyond a year is taken for a typing error.
    const qint64 interval = data.trimmed().toLongLong(&ok);
    if (ok && interval >= 0 && interval <= 365 * 24 * 60)
        system.EmailInterval = int(interval);
    else
        qWarning() << "EmailInterval unusable, keeping" << system.EmailInterval << ":" << data;

    if (!Tool::getSystemSet(SystemSetKeys::EmailAutoTrigger, data))
        return false;
    system.EmailAutoTrigger = toBool(data);

    QList<Tool::Struct_Collection> devices;
    if (!Tool::getCollection(devices))
        return false;
    system.DeviceList = devices;
    return true;
}

QString HKRQ5713::databaseFailure(const QString &fileName)
{
    const QString path = QDir::toNativeSeparators(QFileInfo(fileName).absoluteFilePath());
    QSqlDatabase db = QSqlDatabase::database(QLatin1String(QSqlDatabase::defaultConnection), false);
    QString reason = db.lastError().text().trimmed();
    if (reason.isEmpty() && db.isValid()) {
        // The file opened but its tables could not be made: the driver says why on first use.
        if (db.open()) {
            QSqlQuery probe(db);
            if (!probe.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")))
                reason = probe.lastError().text().trimmed();
            db.close();
        } else {
            reason = db.lastError().text().trimmed();
        }
    }
    return reason.isEmpty() ? path : path + QStringLiteral(": ") + reason;
}

QTranslator *HKRQ5713::loadTranslator(const QString &name, const QStringList &folders, QString *path)
{
    auto *translator = new QTranslator(this);
    for (const QString &folder : folders) {
        const QString file = QDir(folder).filePath(name);
        if (QFileInfo::exists(file) && translator->load(file)) {
            QCoreApplication::installTranslator(translator);
            if (path)
                *path = file;
            return translator;
        }
    }
    delete translator;
    qWarning() << "translation file not found:" << name << "in" << folders;
    return nullptr;
}

bool HKRQ5713::installTranslator()
{
    const QString programFolder = QCoreApplication::applicationDirPath();
    const bool chinese = m_System->SystemLanguage == QStringLiteral("中文");
    // Qt's own texts (standard buttons, file dialogs) follow the chosen language; they are
    // English without a catalogue.
    if (chinese)
        m_QtTranslator = loadTranslator(QStringLiteral("qtbase_zh_CN.qm"),
                                        {QLibraryInfo::location(QLibraryInfo::TranslationsPath), programFolder});
    m_Translator = loadTranslator(chinese ? QStringLiteral("DAQ_zh.qm") : QStringLiteral("DAQ_en.qm"),
                                  {programFolder, QDir::currentPath()}, &m_TranslationFile);
    return m_Translator != nullptr;
}

void HKRQ5713::Clock_timeout()
{
    m_Time->setText(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
}

void HKRQ5713::SwitchPage(int page)
{
    if (m_Page) {
        QWidget *old = m_Page.data();
        m_Page = nullptr;
        m_PageLayout->removeWidget(old);
        old->hide();
        old->deleteLater();
    }
    m_PageIndex = page;

    // Each subsystem that provides a page creates it here, in the page area.
    QWidget *created = nullptr;
    switch (page) {
    case Page_Calibration: {
        auto *calibration = new Calibration(m_PageArea);
        calibration->SetSystem(m_System);
        created = calibration;
        break;
    }
    case Page_Report: {
        auto *report = new VerificationReport(m_PageArea);
        report->SetSystem(m_System);
        created = report;
        break;
    }
    default:
        break;
    }
    if (created) {
        m_Page = created;
        m_PageLayout->addWidget(created);
    }
}

void HKRQ5713::Parameters_clicked()
{
    SwitchPage(Page_None);
    ParametersEntry::run(m_System, this);
}

void HKRQ5713::closeEvent(QCloseEvent *event)
{
    const QMessageBox::StandardButton answer =
        QMessageBox::question(this, tr("提示"), tr("确认退出程序?"), QMessageBox::Yes | QMessageBox::No,
                              QMessageBox::No);
    if (answer == QMessageBox::Yes)
        event->accept();
    else
        event->ignore();
}
