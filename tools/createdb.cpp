// brolavi-createdb PATH: creates an empty database with the program's tables.
// brolavi-createdb --default-path: prints where the program looks for its database.
// brolavi-createdb --version: prints the version.
#include "data/Schema.h"
#include "platform/core/Errors.h"
#include "platform/core/ProcessStart.h"
#include "platform/core/Version.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char* argv[]) {
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (const QString failure = prepareProcess(); !failure.isEmpty()) {
        err << failure << '\n';
        return 1;
    }
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() != 1) {
        err << "uso: brolavi-createdb CAMINHO | --default-path | --version\n";
        return 2;
    }
    if (args.front() == QStringLiteral("--version")) {
        out << "brolavi-createdb " << BrolaviVersion << '\n';
        return 0;
    }
    if (args.front() == QStringLiteral("--default-path")) {
        out << Schema::defaultDatabasePath() << '\n';
        return 0;
    }
    try {
        Schema::createDatabase(args.front());
    } catch (const BrolaviError& e) {
        err << e.message() << '\n';
        return 1;
    }
    out << "Banco de dados criado: " << args.front() << '\n';
    return 0;
}
