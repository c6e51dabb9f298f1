#include "nv6842_fc.h"
#include "nv6842fp_globals.h"
#include "nv6842fp_startWindow.h"
#include "nv6842fp_startup.h"
#include "nv9471fp_messages.h"
#include "nv9471fp_splashLabel.h"

#include <QApplication>
#include <QSplashScreen>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    sfp::setMessageCard(&gl_fc);

    const StartupArguments arguments = interpretArguments(application.arguments());
    storeCalibMode = arguments.storeCalib;
    clearStoredFile();
    if (arguments.fileGiven && !openStoredFile(arguments.filePath))
        return -1;

    QString middle = gl_fc.description();
    middle.replace(QStringLiteral(" Function Card"), QStringLiteral(" FC"));
    const nv9471fp_splashLabel picture(1.0f, 20, gl_fc.modelCode, true, gl_fc.legalNotice(),
                                       middle);
    auto *splash = new QSplashScreen(picture);
    splash->show();
    application.processEvents();

    auto *window = new nv6842fp_StartWindow(&gl_fc, demoCardCount, fileModeActive());
    if (window->connectionAbandoned())
        return 0; // the operator gave up in the connection dialog
    centreOnScreen(window);
    window->show();

    splash->finish(window);
    application.exec();
    delete splash;
    delete window;
    return 0;
}
