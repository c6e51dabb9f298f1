// The settings file's text without widgets: values the writer must quote
// read back as they were, also when the file is hand-edited in other case.
#include "settingsIni.h"

#include <QtTest>

class TestLogicSettings : public QObject
{
    Q_OBJECT
private slots:
    void valuesReadBack_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("line"); // as written
        QTest::newRow("plain, with ; and #") << "C:\\runs\\a;b#c.bin6842" << QByteArray("File=C:\\runs\\a;b#c.bin6842");
        QTest::newRow("empty") << QString() << QByteArray("File=");
        QTest::newRow("blanks at the ends") << "  x " << QByteArray("File=\"  x \"");
        QTest::newRow("a leading quote") << "\"q\\" << QByteArray("File=\"\\\"q\\\\\"");
        QTest::newRow("line ends and tabs") << "a\nb\r\tc" << QByteArray("File=\"a\\nb\\r\\tc\"");
        QTest::newRow("not ASCII") << QString::fromUtf8("Messung \xc2\xb5V.csv") << QByteArray("File=Messung \xc2\xb5V.csv");
    }
    void valuesReadBack()
    {
        QFETCH(QString, value);
        QFETCH(QByteArray, line);
        settingsIniWriter writer;
        writer.comment("a comment");
        writer.section("Streaming");
        writer.value("File", value);
        QCOMPARE(writer.text(), "; a comment\n\n[Streaming]\n" + line + '\n');
        const settingsIniFile file = settingsParseIni("\xef\xbb\xbf[ streaming ]\r\n  file = " + line.mid(5) + "\r\n");
        QCOMPARE(file.error, QString());
        QVERIFY(file.find("Streaming", "File"));
        QCOMPARE(file.find("Streaming", "File")->value, value);
    }
};

QTEST_APPLESS_MAIN(TestLogicSettings)
#include "test_logic_settings.moc"
