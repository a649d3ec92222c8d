#include "pictures/PictureLibrary.h"
#include "support/GameFixture.h"

#include <QtTest>

#include <QFile>
#include <QtEndian>

namespace {

constexpr int kPictures = 80;

QImage pixels(const pictures::Picture& picture) {
    return picture->toImage().convertToFormat(QImage::Format_ARGB32);
}

bool hasTransparentPixel(const QImage& image) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) == 0)
                return true;
    return false;
}

template <typename T> T field(const QByteArray& bytes, int offset) {
    return qFromLittleEndian<T>(bytes.constData() + offset);
}

} // namespace

class PictureLibraryTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void assetIsSingleImageIcon_data();
    void assetIsSingleImageIcon();
    void picturesAreSmallAndTransparent();
    void allPicturesDiffer();
    void picturesKeepTheirIdentity();
    void numbersOutOfRangeGiveNoPicture_data();
    void numbersOutOfRangeGiveNoPicture();
    void blockZeroCopiesTheCover();

  private:
    // The 80 library pictures, then the cover picture.
    std::vector<pictures::Picture> m_all;
};

void PictureLibraryTest::initTestCase() {
    pictures::frmImg.load();
    QCOMPARE(pictures::frmImg.count(), kPictures);
    for (int n = 0; n < kPictures; ++n)
        m_all.push_back(pictures::frmImg.imgMain(n));
    m_all.push_back(pictures::loadCoverPicture());
}

void PictureLibraryTest::assetIsSingleImageIcon_data() {
    QTest::addColumn<QString>("file");
    for (int n = 0; n < kPictures; ++n)
        QTest::addRow("%02d", n) << QString("%1.ico").arg(n, 2, 10, QChar('0'));
    QTest::newRow("cover") << QString("cover.ico");
}

void PictureLibraryTest::assetIsSingleImageIcon() {
    QFETCH(QString, file);
    QFile ico(QStringLiteral(DUVELLA_ASSETS_DIR "/pictures/") + file);
    QVERIFY(ico.open(QIODevice::ReadOnly));
    const QByteArray bytes = ico.readAll();
    QCOMPARE(bytes.size(), 766);
    // Icon header: reserved, type 1 (icon), one image.
    QCOMPARE(field<quint16>(bytes, 0), quint16(0));
    QCOMPARE(field<quint16>(bytes, 2), quint16(1));
    QCOMPARE(field<quint16>(bytes, 4), quint16(1));
    // Its directory entry: 32 x 32, the image data filling the rest of the file.
    QCOMPARE(quint8(bytes[6]), quint8(32));
    QCOMPARE(quint8(bytes[7]), quint8(32));
    const quint32 size = field<quint32>(bytes, 14);
    const quint32 offset = field<quint32>(bytes, 18);
    QCOMPARE(offset + size, quint32(bytes.size()));
    // The bitmap header: 32 wide, twice 32 high (colours and mask), 4 bits per pixel.
    QCOMPARE(field<quint32>(bytes, offset), quint32(40));
    QCOMPARE(field<qint32>(bytes, offset + 4), 32);
    QCOMPARE(field<qint32>(bytes, offset + 8), 64);
    QCOMPARE(field<quint16>(bytes, offset + 14), quint16(4));
}

void PictureLibraryTest::picturesAreSmallAndTransparent() {
    for (std::size_t i = 0; i < m_all.size(); ++i) {
        QVERIFY2(m_all[i] && !m_all[i]->isNull(), qPrintable(QString::number(i)));
        const QImage image = pixels(m_all[i]);
        QCOMPARE(image.size(), QSize(32, 32));
        QVERIFY2(m_all[i]->hasAlphaChannel(), qPrintable(QString::number(i)));
        QVERIFY2(hasTransparentPixel(image), qPrintable(QString::number(i)));
    }
}

void PictureLibraryTest::allPicturesDiffer() {
    std::vector<QImage> images;
    for (const auto& picture : m_all)
        images.push_back(pixels(picture));
    for (std::size_t a = 0; a < images.size(); ++a)
        for (std::size_t b = a + 1; b < images.size(); ++b)
            QVERIFY2(images[a] != images[b], qPrintable(QString("%1 and %2").arg(a).arg(b)));
}

void PictureLibraryTest::picturesKeepTheirIdentity() {
    pictures::frmImg.load(); // a second load keeps the pictures already there
    QCOMPARE(pictures::frmImg.count(), kPictures);
    for (int n = 0; n < kPictures; ++n)
        QCOMPARE(pictures::frmImg.imgMain(n), m_all[std::size_t(n)]);
    // Every cover load is an object of its own with the same image.
    const pictures::Picture cover = pictures::loadCoverPicture();
    QVERIFY(cover != m_all.back());
    QCOMPARE(pixels(cover), pixels(m_all.back()));
}

void PictureLibraryTest::numbersOutOfRangeGiveNoPicture_data() {
    QTest::addColumn<int>("n");
    QTest::newRow("-1") << -1;
    QTest::newRow("80") << 80;
}

void PictureLibraryTest::numbersOutOfRangeGiveNoPicture() {
    QFETCH(int, n);
    QVERIFY(!pictures::frmImg.imgMain(n));
}

void PictureLibraryTest::blockZeroCopiesTheCover() {
    testing::GameFixture game;
    const frmMain& w = game.window();
    const pictures::Picture& cover = w.imgDefault->picture();
    const pictures::Picture& block = w.imgMain.front()->picture();
    QVERIFY(cover && block);
    QVERIFY(block != cover);
    QCOMPARE(pixels(block), pixels(cover));
    QCOMPARE(pixels(cover), pixels(m_all.back()));
}

QTEST_MAIN(PictureLibraryTest)
#include "tst_picture_library.moc"
