#include "shell/AppSetup.h"
#include "shell/HKRQ5713.h"
#include "shell/KeepAwake.h"
#include "shell/LogHandler.h"
#include "shell/WindowClamp.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("DAQ"));
    AppSetup::initResources();
    LogHandler::install();
    AppSetup::installFontSubstitution();
    WindowClamp::install();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/HKRQ5713/Image/AppIcon.png")));

    KeepAwake keepAwake;

    HKRQ5713 window;
    if (!window.isReady())
        return 1;
    window.show();
    return app.exec();
}
