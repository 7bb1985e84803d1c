#pragma once

#include "common/Struct_System.h"

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QStringList>

class QLabel;
class QSplashScreen;
class QTimer;
class QToolButton;
class QTranslator;
class QVBoxLayout;

// The main window: start-up (splash, database, settings, language), status bar clock, tool
// buttons and the page area. Owns the one Struct_System of the process.
class HKRQ5713 : public QMainWindow
{
    Q_OBJECT
public:
    // Pages of the page area.
    enum Page {
        Page_None = 0,
        Page_SystemSet,
        Page_DeviceSeries,
        Page_Device,
        Page_DeviceSet,
        Page_Calibration,
        Page_Report,
        Page_Notification
    };

    // Runs the whole start-up. When it fails (database cannot be opened, a setting cannot be
    // read) it shows the error box and stops: isReady() is false and the program must end.
    explicit HKRQ5713(QWidget *parent = nullptr);
    ~HKRQ5713() override;

    bool isReady() const { return m_Ready; }
    QString errorText() const { return m_ErrorText; }
    Struct_System *system() const { return m_System; }
    QWidget *currentPage() const { return m_Page; }
    int currentPageIndex() const { return m_PageIndex; }
    // File name of the installed translation, empty when none could be loaded.
    QString translationFile() const { return m_TranslationFile; }

    // Start-up timing: the splash stays this long (2000 ms in the program). Tests shorten it.
    static void setSplashDelay(int milliseconds);
    static int splashDelay();

    // Reads the settings rows of SystemSet and the registered instruments into system.
    // False when any read fails.
    static bool loadSettings(Struct_System &system);

public slots:
    // Deletes the current page and creates the chosen one in the page area.
    void SwitchPage(int page);
    // The acquisition entry: leaves the current page.
    void Parameters_clicked();

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private slots:
    void Clock_timeout();

private:
    void setupUi();
    void retranslateUi();
    void showSplash();
    void closeSplash();
    bool installTranslator();
    // Loads the catalogue from the first folder that holds it and installs it; null when none does.
    QTranslator *loadTranslator(const QString &name, const QStringList &folders, QString *path = nullptr);
    // Where the database is and why the driver could not open it, for the second line of the box.
    static QString databaseFailure(const QString &fileName);
    void fail(const QString &text);

    Struct_System *m_System = nullptr;
    QTranslator *m_Translator = nullptr;
    QTranslator *m_QtTranslator = nullptr;
    QString m_TranslationFile;
    QSplashScreen *m_Splash = nullptr;
    QTimer *m_Clock = nullptr;
    QLabel *m_Time = nullptr;
    QLabel *m_Version = nullptr;
    QToolButton *m_ButtonParameters = nullptr;
    QToolButton *m_ButtonCalibration = nullptr;
    QToolButton *m_ButtonReport = nullptr;
    QWidget *m_PageArea = nullptr;
    QVBoxLayout *m_PageLayout = nullptr;
    QPointer<QWidget> m_Page;
    int m_PageIndex = Page_None;
    bool m_Ready = false;
    QString m_ErrorText;

    static int s_SplashDelay;
};
