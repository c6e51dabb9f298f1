// Signal-conditioning plug-ins: where they are looked for, one load per base
// name, the presence check through the card session, the offer walk, and the
// sample 3520 unit's page.
#include "nv6842.h"
#include "nv9471fp_scu.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const QString sampleName = QStringLiteral("libnv3520fp.so");

QString samplePath()
{
    return QCoreApplication::applicationDirPath() + QLatin1Char('/') + sampleName;
}

bool copySample(const QString &directory, const QString &name = sampleName)
{
    return QDir().mkpath(directory) &&
           QFile::copy(samplePath(), directory + QLatin1Char('/') + name);
}

// A page whose checks the test sets.
class FakePage : public nv9471fp_scuWidget
{
public:
    FakePage(bool supports, bool operational, bool ends)
        : supports(supports), operational(operational), ends(ends)
    {
    }
    void initialize(int, ViUInt16, ViUInt16) override {}
    bool isPresent() override { return true; }
    bool supportsCard() override { return supports; }
    bool isOperational() override { return operational; }
    bool endsOffer() override { return ends; }
    QString serialNumber() override { return QString(); }
    QString revision() override { return QString(); }
    QString model() override { return QString(); }
    QString headerText1() override { return QString(); }
    QString headerText2() override { return QString(); }
    void masterGainChanged(int, int) override {}
    void masterChannelEnabled(int, int) override {}
    bool supports, operational, ends;
};

// A card session of the simulator with the given unit in front of FC 1.
struct CardSession {
    ViSession multi = 0;
    ViSession card = 0;
    explicit CardSession(const QByteArray &scu)
    {
        qputenv("TRELLIN_SIM", "carrier vxi slot=2\nfc 1 scu=" + scu);
        ViInt16 fc[] = {1};
        if (nv6842_multInit(const_cast<char *>("VXI0::2::INSTR"), fc, VI_TRUE, VI_TRUE, &multi) >=
            0)
            nv6842_getMultFCsession(multi, 0, &card);
    }
    ~CardSession()
    {
        if (multi)
            nv6842_multClose(multi);
        qputenv("TRELLIN_SIM", QByteArray());
    }
};
} // namespace

class ErrorReceiver : public QObject
{
    Q_OBJECT
public:
    QList<int> statuses;
    QStringList texts;
public slots:
    void onError(int status, const char *text)
    {
        statuses.append(status);
        texts.append(QString::fromLatin1(text));
    }
};

class TestConnectScu : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        plugins.reset(new QTemporaryDir);
        qputenv("VXIPNPPATH64", plugins->path().toLocal8Bit());
    }

    void directories()
    {
        QCOMPARE(nv9471fp_scu::pluginDirectory(), plugins->path() + QStringLiteral("/linux64/bin"));
        qunsetenv("VXIPNPPATH64");
        QCOMPARE(nv9471fp_scu::pluginDirectory(), QStringLiteral("/linux64/bin"));
        QCOMPARE(nv9471fp_scu::pluginNameFilter(), QStringLiteral("libnv????fp.so"));
    }

    void sameLibraryInBothDirectoriesLoadsOnce()
    {
        QVERIFY(QFile::exists(samplePath()));
        QVERIFY(copySample(nv9471fp_scu::pluginDirectory()));
        nv9471fp_scu scu(0, 0x6842, 0x4141);
        const QList<nv9471fp_scuWidget *> pages = scu.availableScus();
        QCOMPARE(scu.loadedCount(), 1);
        QCOMPARE(pages.size(), 1);
        QCOMPARE(pages.at(0)->windowTitle(), QStringLiteral("SCU 3520"));
        QCOMPARE(pages.at(0)->model(), QStringLiteral("3520"));
        QCOMPARE(pages.at(0)->serialNumber(), QStringLiteral("DEMO"));
        // Asking again gives the same pages without loading anything more.
        QCOMPARE(scu.availableScus(), pages);
        QCOMPARE(scu.loadedCount(), 1);
    }

    void otherNamesAndJunk()
    {
        QTemporaryDir dir;
        QVERIFY(copySample(dir.path()));
        QVERIFY(copySample(dir.path(), QStringLiteral("libnv3521fp.so")));
        QFile junk(dir.path() + QStringLiteral("/libnv0000fp.so"));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write("not a library");
        junk.close();
        QVERIFY(QFile::copy(samplePath(), dir.path() + QStringLiteral("/libnv3522fp.so.1")));

        nv9471fp_scu scu(0, 0x6842, 0x4141);
        // Two base names load; the junk file and the versioned name are skipped.
        QCOMPARE(scu.scanPluginDir(dir.path()), 2);
        QCOMPARE(scu.scanPluginDir(dir.path()), 2);
        // In demo mode no page ends the offer.
        QCOMPARE(scu.availableScus().size(), 2);
    }

    void realCardEndsTheOfferAfterTheUnit()
    {
        CardSession session("0x3520");
        QVERIFY(session.card != 0);
        QTemporaryDir dir;
        QVERIFY(copySample(dir.path()));
        QVERIFY(copySample(dir.path(), QStringLiteral("libnv3521fp.so")));
        nv9471fp_scu scu(int(session.card), 0x6842, 0x4141);
        QCOMPARE(scu.scanPluginDir(dir.path()), 2);
        QCOMPARE(scu.availableScus().size(), 1);
    }

    void absentUnitIsSkipped()
    {
        for (const QByteArray &unit : {QByteArray("0"), QByteArray("0x3521")}) {
            CardSession session(unit);
            QVERIFY(session.card != 0);
            nv9471fp_scu scu(int(session.card), 0x6842, 0x4141);
            QVERIFY(scu.availableScus().isEmpty());
            QCOMPARE(scu.loadedCount(), 0);
        }
    }

    void presentUnitPage()
    {
        CardSession session("0x3520");
        QVERIFY(session.card != 0);
        nv9471fp_scu scu(int(session.card), 0x6842, 0x4142);
        const QList<nv9471fp_scuWidget *> pages = scu.availableScus();
        QCOMPARE(pages.size(), 1);
        nv9471fp_scuWidget *page = pages.at(0);
        QCOMPARE(page->serialNumber(), QStringLiteral("35200001"));
        QCOMPARE(page->revision(), QStringLiteral("A1"));

        ErrorReceiver receiver;
        QVERIFY(QObject::connect(page, NV9471FP_SCU_ERROR_SIGNAL, &receiver,
                                 SLOT(onError(int, const char *))));
        QVERIFY(
            QMetaObject::invokeMethod(page, "masterGainChanged", Q_ARG(int, 3), Q_ARG(int, 10)));
        QVERIFY(
            QMetaObject::invokeMethod(page, "masterChannelEnabled", Q_ARG(int, 3), Q_ARG(int, 0)));
        auto *table = page->findChild<QTableWidget *>();
        QVERIFY(table);
        QCOMPARE(table->item(3, 1)->text(), QStringLiteral("10"));
        QCOMPARE(table->item(3, 0)->text(), QStringLiteral("No"));
        QVERIFY(receiver.statuses.isEmpty());

        page->masterGainChanged(4, 200);
        page->masterChannelEnabled(16, 1);
        QCOMPARE(receiver.statuses.size(), 2);
        QVERIFY(receiver.statuses.at(0) > 0);
        QVERIFY(receiver.texts.at(0).contains(QStringLiteral("gain 200 on channel 5")));
        QVERIFY(receiver.statuses.at(1) < 0);
        QVERIFY(receiver.texts.at(1).contains(QStringLiteral("channel 17 does not exist")));
    }

    void offerWalk()
    {
        FakePage unsupported(false, true, true);
        FakePage notReady(true, false, true);
        FakePage first(true, true, false);
        FakePage last(true, true, true);
        FakePage after(true, true, false);
        const QList<nv9471fp_scuWidget *> pages = {&unsupported, &notReady, &first, &last, &after};
        // Pages that are not offered never end the walk.
        QCOMPARE(nv9471fp_scu::offeredScus(pages, 5), QList<nv9471fp_scuWidget *>({&first, &last}));
        QCOMPARE(nv9471fp_scu::offeredScus(pages, 0),
                 QList<nv9471fp_scuWidget *>({&first, &last, &after}));
    }

    void pagesAreDeletedWithTheManager()
    {
        QPointer<QWidget> page;
        {
            nv9471fp_scu scu(0, 0x6842, 0x4141);
            QCOMPARE(scu.availableScus().size(), 1);
            page = scu.availableScus().at(0);
        }
        QVERIFY(page.isNull());

        // A page already deleted with its tab widget is neither offered again
        // nor deleted twice.
        auto *tabs = new QTabWidget;
        {
            nv9471fp_scu scu(0, 0x6842, 0x4141);
            page = scu.availableScus().at(0);
            tabs->addTab(page, QStringLiteral("SCU"));
            delete tabs;
            QVERIFY(page.isNull());
            QVERIFY(scu.availableScus().isEmpty());
            QCOMPARE(scu.loadedCount(), 1);
        }
    }

private:
    std::unique_ptr<QTemporaryDir> plugins;
};

QTEST_MAIN(TestConnectScu)
#include "test_connect_scu.moc"
