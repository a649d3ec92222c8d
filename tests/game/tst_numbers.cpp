#include "game/Numbers.h"
#include "game/RandomNumber.h"
#include "support/Fakes.h"

#include <QtTest>
#include <set>

class NumbersTest : public QObject {
    Q_OBJECT
  private slots:
    void numericValue_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        const std::pair<const char*, double> rows[] = {
            {"1000", 1000}, {"-10", -10},   {"   42", 42},      {"12ab", 12}, {"3.5.1", 3.5},
            {".5", 0.5},    {"2e3x", 2000}, {"7e", 7},          {"", 0},      {"Never", 0},
            {"-", 0},       {"1e999", 0},   {"12-05-2026", 12}, {" 15 points", 15}};
        for (const auto& [text, value] : rows)
            QTest::newRow(text) << QString(text) << value;
    }
    void numericValue() {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(::numericValue(text), value);
    }

    void sixteenBitRules() {
        QCOMPARE(toInt16(2.5), std::int16_t(2)); // halves to even
        QCOMPARE(toInt16(3.5), std::int16_t(4));
        QCOMPARE(toInt16(32767.5), std::nullopt);
        QCOMPARE(scoreAfterSecondReveal(0), std::int16_t(-10));
        // Held at the bottom instead of wrapping round to a large positive score.
        QCOMPARE(scoreAfterSecondReveal(-32760), std::int16_t(-32768));
        QCOMPARE(levelFromCaption("Level 3"), 3);
        QCOMPARE(levelFromCaption("Level"), 0);
        const float largest = std::nextafter(1.0f, 0.0f);
        QCOMPARE(scaleDraw(8, 0.0f), 1);
        QCOMPARE(scaleDraw(79, largest), 79);
        QCOMPARE(scaleDraw(0, largest), 1);
    }

    void drawsWithinOneClockTickDiffer() {
        testing::FakePlatform fakes; // its clock stands still, as it does for most draws of a deal
        std::set<int> seen;
        int repeats = 0, previous = 0;
        for (int i = 0; i < 1000; ++i) {
            const int draw = RandomNumber(79);
            QVERIFY(draw >= 1 && draw <= 79);
            seen.insert(draw);
            repeats += std::exchange(previous, draw) == draw;
        }
        QCOMPARE(seen.size(), 79u);
        QVERIFY2(repeats < 40, qPrintable(QString::number(repeats)));
    }
};

QTEST_GUILESS_MAIN(NumbersTest)
#include "tst_numbers.moc"
