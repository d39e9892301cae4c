#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

// How the program's text travels to and from the engine. A database whose character set is NONE holds the
// bytes an older Windows program wrote, Windows-1252; every other one is read and written as UTF-8 and the
// engine converts to the column's own character set.
enum class TextEncoding { Utf8, Windows1252 };

namespace TextCodec {

// Throws DatabaseError when the text has a character the encoding cannot hold: storing a '?' instead would
// change the shop's data without a word.
QByteArray encode(QStringView text, TextEncoding encoding);
// Every byte decodes, so a Windows-1252 text read and written back keeps its bytes.
QString decode(const char* bytes, qsizetype size, TextEncoding encoding);

// Whether a column of the character set (as the catalogue names it) can hold every character of the text
// as the program sends it: NONE as Windows-1252, the others through the engine's conversion. A set the
// program does not know is taken to hold everything, and the engine has its say.
bool canHold(QStringView text, const QString& characterSet);

} // namespace TextCodec
