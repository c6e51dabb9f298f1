// The About box: texts, the licence rows, hardware pages and paging, the
// licence dialogs (also as the slots show them), and the licence web page.
#include "clickableLabel.h"
#include "messagerecorder.h"
#include "nv9471fp_About.h"
#include "nv9471fp_licenses.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QUrl>
#include <qwt_global.h>
#include <QtTest>

namespace {
QStringList labelTexts(const QWidget *parent)
{
    QStringList texts;
    for (const QLabel *label : parent->findChildren<QLabel *>())
        texts << label->text();
    return texts;
}

clickableLabel *link(const QWidget *parent, const QString &text)
{
    for (clickableLabel *label : parent->findChildren<clickableLabel *>()) {
        if (label->text() == text)
            return label;
    }
    return nullptr;
}

nv9471fp_About *makeAbout(const QString &qwtVersion, bool kissFft)
{
    return new nv9471fp_About(QStringLiteral("4.3.16.12460"), QStringLiteral("4.3.2"),
                              QStringLiteral("6842"), QStringLiteral("(C) Norvane Ltd."), nullptr,
                              QStringLiteral("2.7.0"), qwtVersion, kissFft);
}

// Accepts whatever modal dialog opens next and remembers its title.
void acceptNextModal(QString *title)
{
    QTimer::singleShot(0, [title] {
        if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
            *title = dialog->windowTitle();
            dialog->accept();
        }
    });
}
} // namespace

class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void openUrl(const QUrl &url) { urls.append(url); }
};

class TestWidgetsAbout : public QObject
{
    Q_OBJECT
private slots:
    void textsAndRevisions()
    {
        QScopedPointer<nv9471fp_About> about(makeAbout(QString(), false));
        QCOMPARE(about->windowTitle(), QStringLiteral("About Trellin 6842 Soft Front Panel"));
        QCOMPARE(about->headerLabel->text(),
                 QStringLiteral("<font size='5' bold>Trellin 6842 VXIplug&play Driver<br>"
                                "Soft Front Panel Application</font>"));
        QCOMPARE(about->noticeLabel->text(), QStringLiteral("(C) Norvane Ltd."));
        QCOMPARE(about->commonLibraryLabel->text(), QStringLiteral("2.7.0"));
        QCOMPARE(about->driverLabel->text(), QStringLiteral("4.3.2"));
        QCOMPARE(about->panelLabel->text(), QStringLiteral("4.3.16.12460"));
        QCOMPARE(about->licenceGroup->title(), QStringLiteral("Third-Party Licenses"));

        const QStringList texts = labelTexts(about->licenceGroup);
        QVERIFY(texts.contains(QStringLiteral("Qt")));
        QVERIFY(texts.contains(QStringLiteral(" libraries version %1:").arg(qVersion())));
        // Qt 5 comes under LGPL v3.
        QVERIFY(texts.contains(QStringLiteral("LGPL v3")));
        QVERIFY(texts.contains(QStringLiteral("Learn more about licenses")));
        for (const QString &text : texts) {
            QVERIFY2(!text.contains(QStringLiteral("Qwt")), qPrintable(text));
            QVERIFY2(!text.contains(QStringLiteral("KISS")), qPrintable(text));
        }
    }

    void optionalLibraryRows()
    {
        QScopedPointer<nv9471fp_About> about(makeAbout(nv9471fp_linkedQwtVersion(), true));
        const QStringList texts = labelTexts(about->licenceGroup);
        QVERIFY(texts.contains(QStringLiteral("Qwt library version %1:").arg(QWT_VERSION_STR)));
        QVERIFY(texts.contains(QStringLiteral("LGPL v2.1")));
        QVERIFY(texts.contains(QStringLiteral("KISS FFT library:")));
        QVERIFY(texts.contains(QStringLiteral("BSD")));
        QCOMPARE(nv9471fp_isQt4(QStringLiteral("4.8.7")), true);
        QCOMPARE(nv9471fp_isQt4(QStringLiteral("5.15.8")), false);
    }

    void noHardwarePages()
    {
        QScopedPointer<nv9471fp_About> about(makeAbout(QString(), false));
        auto *form = qobject_cast<QFormLayout *>(about->hardwareGroup->layout());
        QVERIFY(form);
        QCOMPARE(form->rowCount(), 0);
        QVERIFY(about->prevButton->isHidden());
        QVERIFY(about->nextButton->isHidden());
        QCOMPARE(about->pageCount(), 0);
        about->next(); // nothing to move to
        QCOMPARE(about->currentPage(), 0);
    }

    void onePage()
    {
        QScopedPointer<nv9471fp_About> about(makeAbout(QString(), false));
        about->addHardwarePage(QStringLiteral("SN1"), QStringLiteral("B"), QStringLiteral("SCU-A"),
                               QStringLiteral("Unit A"), QString());
        auto *form = qobject_cast<QFormLayout *>(about->hardwareGroup->layout());
        QCOMPARE(form->rowCount(), 3);
        QCOMPARE(about->modelValue->text(), QStringLiteral("SCU-A"));
        QCOMPARE(about->revisionValue->text(), QStringLiteral("B"));
        QCOMPARE(about->serialValue->text(), QStringLiteral("SN1"));
        QCOMPARE(about->headerLabel->text(), QStringLiteral("Unit A"));
        QCOMPARE(about->noticeLabel->text(), QStringLiteral("(C) Norvane Ltd."));
        QVERIFY(about->prevButton->isHidden());
        QVERIFY(about->nextButton->isHidden());
        const QStringList formTexts = labelTexts(about->hardwareGroup);
        QVERIFY(formTexts.contains(QStringLiteral("Device Model:")));
        QVERIFY(formTexts.contains(QStringLiteral("Serial Number:")));
    }

    void twoPagesPageBackAndForth()
    {
        QScopedPointer<nv9471fp_About> about(makeAbout(QString(), false));
        about->addHardwarePage(QStringLiteral("SN1"), QStringLiteral("B"), QStringLiteral("SCU-A"),
                               QStringLiteral("Unit A"), QString());
        about->addHardwarePage(QStringLiteral("SN2"), QStringLiteral("C"), QStringLiteral("SCU-B"),
                               QString(), QStringLiteral("Channels 9-16"));
        QVERIFY(!about->prevButton->isHidden());
        QVERIFY(!about->nextButton->isHidden());
        QVERIFY(!about->prevButton->isEnabled());
        QVERIFY(about->nextButton->isEnabled());
        QCOMPARE(about->modelValue->text(), QStringLiteral("SCU-A")); // still page 0

        QTest::mouseClick(about->nextButton, Qt::LeftButton);
        QCOMPARE(about->currentPage(), 1);
        QVERIFY(!about->nextButton->isEnabled());
        QVERIFY(about->prevButton->isEnabled());
        QCOMPARE(about->modelValue->text(), QStringLiteral("SCU-B"));
        QCOMPARE(about->serialValue->text(), QStringLiteral("SN2"));
        // An empty header text keeps what was shown when the page was added.
        QCOMPARE(about->headerLabel->text(), QStringLiteral("Unit A"));
        QCOMPARE(about->noticeLabel->text(), QStringLiteral("Channels 9-16"));

        QTest::mouseClick(about->prevButton, Qt::LeftButton);
        QCOMPARE(about->currentPage(), 0);
        QVERIFY(!about->prevButton->isEnabled());
        QVERIFY(about->nextButton->isEnabled());
        QCOMPARE(about->modelValue->text(), QStringLiteral("SCU-A"));
        QCOMPARE(about->revisionValue->text(), QStringLiteral("B"));
        QCOMPARE(about->noticeLabel->text(), QStringLiteral("(C) Norvane Ltd."));
    }

    void okOnlyHides()
    {
        QScopedPointer<nv9471fp_About> about(makeAbout(QString(), false));
        about->show();
        QVERIFY(QTest::qWaitForWindowExposed(about.data()));
        QTest::mouseClick(about->okButton, Qt::LeftButton);
        QVERIFY(about->isHidden());
        about->show(); // still usable
        QVERIFY(about->isVisible());
    }

    void licenceDialogs()
    {
        qtLicense qt;
        qwtLicense qwt;
        kissFFTLicense kiss;
        QCOMPARE(qt.windowTitle(), QStringLiteral("Qt LGPL License"));
        QCOMPARE(qwt.windowTitle(), QStringLiteral("Qwt LGPL License"));
        QCOMPARE(kiss.windowTitle(), QStringLiteral("KISS FFT BSD License"));
        QVERIFY(qt.licenseText().contains(QStringLiteral("GNU LESSER GENERAL PUBLIC LICENSE")));
        QVERIFY(qt.licenseText().contains(QStringLiteral("Version 3, 29 June 2007")));
        QVERIFY(qwt.licenseText().trimmed().startsWith(QStringLiteral("Qwt License")));
        QVERIFY(qwt.licenseText().contains(QStringLiteral("Version 2.1, February 1999")));
        QVERIFY(kiss.licenseText().contains(QStringLiteral("Mark Borgerding")));
        QVERIFY(kiss.licenseText().contains(QStringLiteral("Redistribution and use")));
        const double scale = qt.logicalDpiX() / 96.0;
        for (nv9471fp_licenseDialog *dialog :
             std::initializer_list<nv9471fp_licenseDialog *>{&qt, &qwt, &kiss}) {
            QVERIFY(dialog->isModal());
            QVERIFY(dialog->textView->isReadOnly());
            QCOMPARE(dialog->textView->font().family(), QStringLiteral("Courier"));
            QVERIFY(dialog->minimumWidth() >= int(650 * scale));
            QVERIFY(dialog->minimumHeight() >= int(500 * scale));
        }
        auto *ok = qt.findChild<QPushButton *>();
        QCOMPARE(ok->text(), QStringLiteral("Ok"));
        QSignalSpy accepted(&qt, &QDialog::accepted);
        ok->click();
        QCOMPARE(accepted.count(), 1);
    }

    void licenceLinksOpenTheirDialogs()
    {
        QScopedPointer<nv9471fp_About> about(makeAbout(QStringLiteral("6.1.3"), true));
        about->show();
        QVERIFY(QTest::qWaitForWindowExposed(about.data()));
        const struct {
            const char *linkText;
            const char *title;
        } rows[] = {{"LGPL v3", "Qt LGPL License"},
                    {"LGPL v2.1", "Qwt LGPL License"},
                    {"BSD", "KISS FFT BSD License"}};
        for (const auto &row : rows) {
            QString shown;
            acceptNextModal(&shown);
            clickableLabel *label = link(about->licenceGroup, QString::fromLatin1(row.linkText));
            QVERIFY(label);
            QTest::mouseClick(label, Qt::LeftButton);
            QCOMPARE(shown, QString::fromLatin1(row.title));
        }
    }

    void learnMoreOpensTheMakersPage()
    {
        MessageRecorder recorder;
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "openUrl");
        QScopedPointer<nv9471fp_About> about(makeAbout(QString(), false));
        QTest::mouseClick(link(about->licenceGroup, QStringLiteral("Learn more about licenses")),
                          Qt::LeftButton);
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        QCOMPARE(recorder.count(), 0);
        QCOMPARE(catcher.urls.size(), 1);
        QCOMPARE(catcher.urls.at(0).path(), QStringLiteral("/about/third-party-license-usage/"));
        QCOMPARE(catcher.urls.at(0).host(), QStringLiteral("www.norvane.com"));
    }

    // The offscreen platform starts no browser, as on a machine without one.
    void learnMoreWithoutABrowserGivesTheAddress()
    {
        const QString address =
            QStringLiteral("https://www.norvane.com/about/third-party-license-usage/");
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("offscreen"));
        QVERIFY(!QDesktopServices::openUrl(QUrl(address)));
        MessageRecorder recorder;
        QScopedPointer<nv9471fp_About> about(makeAbout(QString(), false));
        QTest::mouseClick(link(about->licenceGroup, QStringLiteral("Learn more about licenses")),
                          Qt::LeftButton);
        QCOMPARE(recorder.count(), 1);
        QCOMPARE(recorder.last().icon, QMessageBox::Information);
        QCOMPARE(recorder.last().buttons, QMessageBox::Ok);
        QVERIFY2(recorder.last().text.contains(address), qPrintable(recorder.last().text));
    }
};

QTEST_MAIN(TestWidgetsAbout)
#include "test_widgets_about.moc"
