// Manual check of the connection flow: runs the connected main-panel frame
// as the program would. With "--shots DIR" it saves every modal dialog and
// the final panel as PNG files and answers the dialogs with the texts given
// by "--click TEXT" in turn (OK in the selection tree first selects every
// available card), so that the flow can be screenshotted under xvfb-run.
#include "nv6842_fc.h"
#include "nv9471fp_About.h"
#include "nv9471fp_AppFC.h"
#include "nv9471fp_fcSelect.h"
#include "nv9471fp_messages.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <qwt_global.h>

namespace {

struct ShotScript {
    QString directory;
    QStringList clicks;
    int shots = 0;
    QPointer<QWidget> lastDialog;
    bool seenOnce = false;
};

void save(ShotScript &script, QWidget *widget, const QString &name)
{
    const QString file = QStringLiteral("%1/%2-%3.png")
                             .arg(script.directory)
                             .arg(++script.shots, 2, 10, QLatin1Char('0'))
                             .arg(name);
    widget->grab().save(file);
}

void selectAllCards(QWidget *dialog)
{
    auto *select = qobject_cast<nv9471fp_fcSelect *>(dialog);
    if (!select)
        return;
    for (QTreeWidgetItemIterator it(select->tree); *it; ++it) {
        if ((*it)->flags() & Qt::ItemIsSelectable)
            (*it)->setSelected(true);
    }
}

bool clickButton(QWidget *dialog, const QString &text)
{
    for (QAbstractButton *button : dialog->findChildren<QAbstractButton *>()) {
        if (button->text().remove(QLatin1Char('&')) == text && button->isVisible()) {
            button->click();
            return true;
        }
    }
    return false;
}

// One step of the script, run from the event loop of whichever dialog is open.
void step(ShotScript &script)
{
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible() || modal->inherits("QProgressDialog"))
        return;
    // Let a new dialog paint once before it is saved.
    if (modal != script.lastDialog || !script.seenOnce) {
        script.seenOnce = modal == script.lastDialog;
        script.lastDialog = modal;
        return;
    }
    save(script, modal, QString::fromLatin1(modal->metaObject()->className()));
    script.seenOnce = false;
    script.lastDialog = nullptr;
    if (script.clicks.isEmpty())
        return;
    const QString text = script.clicks.takeFirst();
    if (text == QLatin1String("OK"))
        selectAllCards(modal);
    if (!clickButton(modal, text))
        qWarning("connect_demo: no button \"%s\" on %s", qPrintable(text),
                 modal->metaObject()->className());
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    sfp::setMessageCard(&gl_fc);

    ShotScript script;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--shots"))
            script.directory = args.at(++i);
        else if (args.at(i) == QLatin1String("--click"))
            script.clicks.append(args.at(++i));
    }
    QTimer poll;
    if (!script.directory.isEmpty()) {
        QDir().mkpath(script.directory);
        QObject::connect(&poll, &QTimer::timeout, [&script]() { step(script); });
        poll.start(250);
    }

    nv9471fp_AppFC panel(&gl_fc, true, false, QStringLiteral(QWT_VERSION_STR), true);
    panel.show();
    if (!script.directory.isEmpty()) {
        QTimer::singleShot(1000, [&]() {
            save(script, &panel, QStringLiteral("panel"));
            panel.aboutButton->click();
        });
        QTimer::singleShot(2000, [&]() {
            save(script, panel.aboutDialog, QStringLiteral("about"));
            QCoreApplication::quit();
        });
    }
    return app.exec();
}
