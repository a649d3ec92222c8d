#include "game/Numbers.h"
#include "game/RandomNumber.h"
#include "platform/Services.h"
#include "support/Fakes.h"

#include <QtTest>
#include <set>

class NumbersTest : public QObject {
    Q_OBJECT
  private slots:
    void numericValueReadsTheLeadingNumber_data();
    void numericValueReadsTheLeadingNumber();
    void toInt16RoundsHalfToEvenWithinRange();
    void scoreFallsByTenAndHoldsAtTheBottom();
    void levelIsTheSeventhCharacter();
    void scaleDrawCoversOneToUpper();
    void generatorIsPinnedForAFixedSeed();
    void drawsWithinOneClockTickDiffer();
};

void NumbersTest::numericValueReadsTheLeadingNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("digits") << "1000" << 1000.0;
    QTest::newRow("negative") << "-10" << -10.0;
    QTest::newRow("leading blanks") << "   42" << 42.0;
    QTest::newRow("stops at letters") << "12ab" << 12.0;
    QTest::newRow("stops at a second point") << "3.5.1" << 3.5;
    QTest::newRow("fraction") << ".5" << 0.5;
    QTest::newRow("exponent") << "2e3x" << 2000.0;
    QTest::newRow("bare exponent letter") << "7e" << 7.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("blanks only") << "   " << 0.0;
    QTest::newRow("no number") << "Never" << 0.0;
    QTest::newRow("sign alone") << "-" << 0.0;
    QTest::newRow("date") << "12-05-2026" << 12.0;
    QTest::newRow("overflow") << "1e999" << 0.0;
}

void NumbersTest::numericValueReadsTheLeadingNumber() {
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(numericValue(text), value);
}

void NumbersTest::toInt16RoundsHalfToEvenWithinRange() {
    QCOMPARE(toInt16(2.5), std::optional<std::int16_t>(2));
    QCOMPARE(toInt16(3.5), std::optional<std::int16_t>(4));
    QCOMPARE(toInt16(-32768.0), std::optional<std::int16_t>(-32768));
    QCOMPARE(toInt16(32767.4), std::optional<std::int16_t>(32767));
    QCOMPARE(toInt16(32767.5), std::nullopt);
    QCOMPARE(toInt16(-32769.0), std::nullopt);
}

void NumbersTest::scoreFallsByTenAndHoldsAtTheBottom() {
    QCOMPARE(scoreAfterSecondReveal(1000), std::optional<std::int16_t>(990));
    QCOMPARE(scoreAfterSecondReveal(10), std::optional<std::int16_t>(0));
    QCOMPARE(scoreAfterSecondReveal(0), std::optional<std::int16_t>(-10));
    // Held at the bottom instead of wrapping round to a large positive score.
    QCOMPARE(scoreAfterSecondReveal(-32760), std::optional<std::int16_t>(-32768));
    QCOMPARE(scoreAfterSecondReveal(-32768), std::optional<std::int16_t>(-32768));
    QCOMPARE(scoreAfterSecondReveal(40000), std::nullopt);
}

void NumbersTest::levelIsTheSeventhCharacter() {
    QCOMPARE(levelFromCaption("Level 1"), 1);
    QCOMPARE(levelFromCaption("Level 3"), 3);
    QCOMPARE(levelFromCaption("Level"), 0);
    QCOMPARE(levelFromCaption("Level 12"), 1);
    QCOMPARE(levelFromCaption("Level x"), 0);
}

void NumbersTest::scaleDrawCoversOneToUpper() {
    QCOMPARE(scaleDraw(8, 0.0f), 1);
    QCOMPARE(scaleDraw(8, 0.999f), 8);
    // The largest draw below 1 must not reach upper + 1.
    const float largest = std::nextafter(1.0f, 0.0f);
    QCOMPARE(scaleDraw(79, largest), 79);
    QCOMPARE(scaleDraw(32767, largest), 32767);
    QCOMPARE(scaleDraw(1, largest), 1);
    QCOMPARE(scaleDraw(0, largest), 1);
}

void NumbersTest::generatorIsPinnedForAFixedSeed() {
    RandomGenerator generator(1234);
    std::vector<int> draws;
    for (int i = 0; i < 8; ++i) {
        generator.reseed(99);
        draws.push_back(scaleDraw(79, generator.draw()));
    }
    RandomGenerator again(1234);
    for (int expected : draws) {
        again.reseed(99);
        QCOMPARE(scaleDraw(79, again.draw()), expected);
    }
    for (int i = 0; i < 10000; ++i) {
        const float r = generator.draw();
        QVERIFY(r >= 0.0f && r < 1.0f);
    }
}

void NumbersTest::drawsWithinOneClockTickDiffer() {
    // The clock stands still, as it does for most draws of one deal.
    testing::FakePlatform fakes;
    std::set<int> seen;
    int repeats = 0;
    int previous = 0;
    for (int i = 0; i < 1000; ++i) {
        const int draw = RandomNumber(79);
        QVERIFY(draw >= 1 && draw <= 79);
        seen.insert(draw);
        repeats += draw == previous;
        previous = draw;
    }
    QCOMPARE(seen.size(), 79u);
    QVERIFY2(repeats < 40, qPrintable(QString::number(repeats)));
    QCOMPARE(RandomNumber(1), 1);
    QCOMPARE(RandomNumber(0), 1);
}

QTEST_GUILESS_MAIN(NumbersTest)
#include "tst_numbers.moc"
