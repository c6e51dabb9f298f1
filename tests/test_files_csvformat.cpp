// The fast number texts of the CSV files against the C library's printf.
#include "csvformat.h"

#include <QtTest>

#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

std::string printfFixed(double value, int precision)
{
    char text[400];
    const int length = std::snprintf(text, sizeof text, "%.*f", precision, value);
    return std::string(text, static_cast<size_t>(length));
}

std::string fastFixed(double value, int precision)
{
    char text[maxFixedTextChars];
    return std::string(text, formatFixed(text, value, precision));
}

// The awkward cases: exact binary ties (odd multiples of 1/128 and 1/16 lie
// exactly half way at six and three decimals), values one ulp either side of
// a decimal half, signed zeros and tiny negatives, the ±10.24 V range ends,
// magnitudes beyond exact integer arithmetic, and the non-finite values.
std::vector<double> awkwardValues()
{
    std::vector<double> values = {0.0, -0.0, 1e-7, -1e-7, 4e-7, -4e-7, 5e-7, -5e-7, 5e-4, -5e-4,
                                  0.0005 * 1000.0, 10.24, -10.24, 10.2399995, -10.2399995, 9.9999995,
                                  0.0000015, 0.0000025, 1.0000005, 2.5e-6, 999999.9999995,
                                  0x1p52, 0x1p52 + 1, 0x1p53, 4503599627.3704995, 1e15, 123456789012345678.0,
                                  1e300, -1e300, DBL_MAX, -DBL_MAX, DBL_MIN, -DBL_MIN, 5e-324, -5e-324,
                                  std::numeric_limits<double>::quiet_NaN(),
                                  -std::numeric_limits<double>::quiet_NaN(),
                                  std::numeric_limits<double>::infinity(),
                                  -std::numeric_limits<double>::infinity()};
    for (int odd = 1; odd < 400; odd += 2) {
        values.push_back(odd / 128.0);
        values.push_back(-odd / 128.0);
        values.push_back(odd / 16.0);
        values.push_back(-odd / 16.0);
        values.push_back(odd / 2.0 + 4096.0 * odd);
    }
    for (int k = 0; k < 2000; ++k) {
        const double half6 = (k + 0.5) / 1e6;
        const double half3 = (k + 0.5) / 1e3;
        for (double v : {half6, half3, 10.0 - half6, half6 * 1000.0}) {
            values.push_back(v);
            values.push_back(std::nextafter(v, 0.0));
            values.push_back(std::nextafter(v, 1e9));
            values.push_back(-v);
        }
    }
    return values;
}

} // namespace

class TestFilesCsvFormat : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // printf is the reference only in the C locale.
        std::setlocale(LC_ALL, "C");
    }

    void signedZeroAndNonFinite()
    {
        // Literal expectations, so that printf and the formatter cannot agree on something else.
        QCOMPARE(QString::fromStdString(fastFixed(-0.0, 6)), QString("-0.000000"));
        QCOMPARE(QString::fromStdString(fastFixed(-1e-9, 6)), QString("-0.000000"));
        QCOMPARE(QString::fromStdString(fastFixed(-1e-9 * 1000.0, 3)), QString("-0.000"));
        QCOMPARE(QString::fromStdString(fastFixed(10.24, 6)), QString("10.240000"));
        QCOMPARE(QString::fromStdString(fastFixed(-10.24 * 1000.0, 3)), QString("-10240.000"));
        QCOMPARE(QString::fromStdString(fastFixed(1.0 / 128, 6)), QString("0.007812")); // tie, to even
        QCOMPARE(QString::fromStdString(fastFixed(3.0 / 128, 6)), QString("0.023438"));
        QCOMPARE(QString::fromStdString(fastFixed(1.0 / 16, 3)), QString("0.062"));
        QCOMPARE(QString::fromStdString(fastFixed(3.0 / 16, 3)), QString("0.188"));
        QCOMPARE(QString::fromStdString(fastFixed(std::numeric_limits<double>::quiet_NaN(), 6)), QString("nan"));
        QCOMPARE(QString::fromStdString(fastFixed(-std::numeric_limits<double>::quiet_NaN(), 6)), QString("-nan"));
        QCOMPARE(QString::fromStdString(fastFixed(-std::numeric_limits<double>::infinity(), 3)), QString("-inf"));
    }

    void awkwardValuesMatchPrintf()
    {
        int compared = 0;
        for (double value : awkwardValues()) {
            for (int precision : {6, 3, 0, 1}) {
                const std::string expected = printfFixed(value, precision);
                const std::string actual = fastFixed(value, precision);
                if (expected != actual)
                    QFAIL(qPrintable(QString("%1 with %2 decimals: expected %3, got %4")
                                         .arg(value, 0, 'a').arg(precision)
                                         .arg(QString::fromStdString(expected), QString::fromStdString(actual))));
                ++compared;
            }
        }
        QVERIFY(compared > 30000);
    }

    void randomValuesMatchPrintf()
    {
        std::mt19937_64 random(6842);
        std::uniform_real_distribution<double> volts(-10.24, 10.24);
        std::uniform_int_distribution<int> exponent(-30, 40);
        for (int i = 0; i < 600000; ++i) {
            double value;
            switch (i % 3) {
            case 0: value = volts(random); break;
            case 1: value = std::ldexp(volts(random), exponent(random)); break;
            default: { // any bit pattern, huge and tiny ones included
                uint64_t bits = random();
                std::memcpy(&value, &bits, sizeof value);
            }
            }
            for (double shown : {value, value * 1000.0}) {
                for (int precision : {6, 3}) {
                    const std::string expected = printfFixed(shown, precision);
                    const std::string actual = fastFixed(shown, precision);
                    if (expected != actual)
                        QFAIL(qPrintable(QString("%1 with %2 decimals: expected %3, got %4")
                                             .arg(shown, 0, 'a').arg(precision)
                                             .arg(QString::fromStdString(expected), QString::fromStdString(actual))));
                }
            }
        }
    }

    void timestampsMatchPrintf()
    {
        std::mt19937 random(17);
        std::vector<std::pair<int32_t, int32_t>> stamps = {{0, 0}, {1, 5}, {-1, 999999999}, {1700000000, 123},
                                                            {INT32_MIN, 0}, {INT32_MAX, 1000000000},
                                                            {5, -1}, {5, INT32_MIN}, {5, INT32_MAX}};
        for (int i = 0; i < 100000; ++i)
            stamps.push_back({static_cast<int32_t>(random()), static_cast<int32_t>(random() % 1200000000u) - 100000000});
        for (auto [seconds, nanos] : stamps) {
            char expected[64];
            std::snprintf(expected, sizeof expected, "%d.%09d", seconds, nanos);
            char actual[32];
            const std::string text(actual, formatTimestamp(actual, seconds, nanos));
            QCOMPARE(QString::fromStdString(text), QString(expected));
        }
    }
};

QTEST_APPLESS_MAIN(TestFilesCsvFormat)
#include "test_files_csvformat.moc"
