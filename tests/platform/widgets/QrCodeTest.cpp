#include "platform/widgets/QrCode.h"
#include "Printers.h"
#include "platform/core/Errors.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// What a reader makes of the picture: zbarimg (zbar-tools) reads it as a phone's camera would.
QString decoded(const QImage& image) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("qr.png"));
    EXPECT_TRUE(image.save(file));
    QProcess zbar;
    zbar.start(QStringLiteral("zbarimg"), {QStringLiteral("--raw"), QStringLiteral("-q"), file});
    EXPECT_TRUE(zbar.waitForFinished(20000)) << "zbarimg (package zbar-tools) runs";
    return QString::fromUtf8(zbar.readAllStandardOutput()).chopped(1); // its line end
}

TEST(QrCode, AReaderGetsTheTextBack) {
    const QString texts[] = {
        QStringLiteral(
            "00020126580014br.gov.bcb.pix0136123e4567-e12b-12d1-a456-4266554400005204000053039865802BR"
            "5913Fulano de Tal6008BRASILIA62070503***63041D3D"),
        QStringLiteral("a"),
        QString(600, u'9'),
    };
    for (const QString& text : texts)
        for (int moduleSize : {2, 5})
            EXPECT_EQ(decoded(QrCode::image(text, moduleSize)), text) << text.size() << " at " << moduleSize;
}

TEST(QrCode, TheSymbolHasLevelMAndAQuietZoneOfFourModules) {
    // 130 bytes take version 8 (49 modules) at level M; level L would fit them in version 6, Q in version 9.
    const QImage image = QrCode::image(QString(130, u'x'), 3);
    const int modules = 49 + 2 * QrCode::QuietZone;
    ASSERT_EQ(image.width(), modules * 3);
    ASSERT_EQ(image.height(), modules * 3);
    auto dark = [&image](int x, int y) {
        return qGray(image.pixel(x, y)) < 128;
    };
    const int edge = QrCode::QuietZone * 3;
    for (int i = 0; i < image.width(); ++i)
        for (int m = 0; m < edge; ++m) {
            ASSERT_FALSE(dark(i, m) || dark(m, i) || dark(i, image.height() - 1 - m) ||
                         dark(image.width() - 1 - m, i))
                << "quiet zone at " << i << "," << m;
        }
    EXPECT_TRUE(dark(edge, edge)) << "the finder pattern's corner starts right after it";
    EXPECT_TRUE(dark(image.width() - edge - 1, edge));
    EXPECT_TRUE(dark(edge, image.height() - edge - 1));
    EXPECT_FALSE(dark(edge + 3, edge + 3)) << "the finder's light ring";
    EXPECT_TRUE(dark(edge + 6, edge + 6)) << "and its centre";
}

TEST(QrCode, ATextTooLongForASymbolIsAnError) {
    EXPECT_THROW(QrCode::image(QString(3000, u'x')), BrolaviError);
}

} // namespace
