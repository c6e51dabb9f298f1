#include "nv6842_fc.h"
#include "nv6842fp_globals.h"
#include "nv6842fp_App.h"
#include "nv6842fp_startup.h"
#include "nv9471fp_messages.h"
#include "nv9471fp_splashLabel.h"

#include <QApplication>
#include <QSplashScreen>

int main(int argc, char *argv[])
{
    // The summary and the versions need no display: answered before the GUI exists.
    QStringList rawArguments;
    for (int i = 0; i < argc; ++i)
        rawArguments << QString::fromLocal8Bit(argv[i]);
    if (printRequestedInformation(interpretArguments(rawArguments)))
        return 0;

    QApplication application(argc, argv);
    sfp::setMessageCard(&gl_fc);

    const StartupArguments arguments = interpretArguments(application.arguments());
    if (printRequestedInformation(arguments))
        return 0; // asked for behind Qt's own options, such as "-platform offscreen"
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

    auto *window = new nv6842fp_App(&gl_fc, demoCardCount, fileModeActive());
    if (window->connectionAbandoned())
        return 0; // the operator gave up in the connection dialog
    centreOnScreen(window);
    window->show();
    if (fileModeActive())
        window->presetFromStoredFile(StoredFileInfo);

    splash->finish(window);
    application.exec();
    delete splash;
    delete window;
    return 0;
}
