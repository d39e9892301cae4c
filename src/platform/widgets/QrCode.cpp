#include "platform/widgets/QrCode.h"

#include "platform/core/Errors.h"

#include <algorithm>
#include <memory>
#include <qrencode.h>

namespace QrCode {

QImage image(const QString& text, int moduleSize) {
    const QByteArray bytes = text.toUtf8();
    const std::unique_ptr<QRcode, decltype(&QRcode_free)> symbol(
        QRcode_encodeString(bytes.constData(), 0, QR_ECLEVEL_M, QR_MODE_8, 1), &QRcode_free);
    if (!symbol)
        throw BrolaviError(QStringLiteral("Não foi possível gerar o QR Code (%1 bytes)").arg(bytes.size()));
    const int modules = symbol->width + 2 * QuietZone;
    const int scale = std::max(moduleSize, 1);
    QImage out(modules * scale, modules * scale, QImage::Format_Grayscale8);
    out.fill(Qt::white);
    for (int y = 0; y < symbol->width; ++y) {
        for (int x = 0; x < symbol->width; ++x) {
            // The lowest bit of each module's byte is its colour: 1 dark.
            if (!(symbol->data[y * symbol->width + x] & 1))
                continue;
            for (int dy = 0; dy < scale; ++dy) {
                uchar* line = out.scanLine((y + QuietZone) * scale + dy);
                std::fill_n(line + qsizetype(x + QuietZone) * scale, scale, uchar(0));
            }
        }
    }
    return out;
}

} // namespace QrCode
