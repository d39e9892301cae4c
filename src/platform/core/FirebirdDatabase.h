#pragma once

#include <QString>

// Creating a database file, through the client library's own call.
namespace FirebirdDatabase {

// Creates an empty database file (the program makes UTF8 ones; an older installation's may be in another
// character set). Throws DatabaseError with the engine's text.
void create(const QString& path, const QString& user, const QString& password, int pageSize = 8192,
            const QString& characterSet = QStringLiteral("UTF8"));

// A text as an SQL string literal: in apostrophes, inner apostrophes doubled. For the few statements the
// engine takes only as text (CREATE DATABASE, a catalogue check written with its literal); data goes as
// parameters.
QString quotedLiteral(const QString& text);

} // namespace FirebirdDatabase
