#pragma once

#include <QImage>
#include <QString>

// QR symbols, drawn by libqrencode.
namespace QrCode {

// The blank margin around the symbol, in modules, that readers need to find it.
constexpr int QuietZone = 4;

// The text's symbol (UTF-8, error correction level M) black on white, each module moduleSize pixels square,
// with the quiet zone. Throws BrolaviError when the text does not fit in a symbol.
QImage image(const QString& text, int moduleSize = 1);

} // namespace QrCode
