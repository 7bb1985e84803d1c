#include "shell/AppSetup.h"

#include <QFont>
#include <QString>

void AppSetup::initResources()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    Q_INIT_RESOURCE(resources);
}

void AppSetup::installFontSubstitution()
{
    QFont::insertSubstitution(QStringLiteral("宋体"), QStringLiteral("WenQuanYi Zen Hei"));
}
