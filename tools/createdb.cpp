// brolavi-createdb PATH: creates an empty database with the program's tables, in a file or on a Firebird
// server (host:/path, host/port:alias), as ISC_USER when it is set. brolavi-createdb --default-path: prints
// where the program looks for its database. brolavi-createdb --version: prints the version; --help: the
// usage.
#include "data/DatabaseAccess.h"
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
    const QString usage = QStringLiteral(
        "uso: brolavi-createdb CAMINHO | --default-path | --chosen-path | --version | --help\n");
    if (args.size() == 1 && args.front() == QStringLiteral("--help")) {
        out << usage
            << QStringLiteral(
                   "Cria em CAMINHO um banco de dados vazio do Brolavi; recusa um arquivo que já existe.\n"
                   "CAMINHO pode ser um arquivo deste computador ou um banco num servidor Firebird\n"
                   "(servidor:/caminho/DBBROLAVI.FDB, servidor/porta:/caminho): o banco é criado pelo\n"
                   "servidor, com o usuário e a senha de ISC_USER e ISC_PASSWORD (ou do arquivo de\n"
                   "configuração do Brolavi), que passa a ser o dono dele.\n"
                   "  --default-path  mostra onde o programa procura o seu banco de dados\n"
                   "  --chosen-path   mostra o banco que o programa abre: o do arquivo de configuração\n"
                   "                  do Brolavi, se ele indicar um, ou o de costume\n"
                   "  --version       mostra a versão\n"
                   "  --help          mostra esta ajuda\n"
                   "Um CAMINHO que começa com '-' se escreve ./-NOME.\n");
        return 0;
    }
    if (args.size() != 1) {
        err << usage;
        return 2;
    }
    // Any other word starting with '-' is an option this tool does not know, never a file to make.
    if (args.front().startsWith(u'-') && args.front() != QStringLiteral("--version") &&
        args.front() != QStringLiteral("--default-path") && args.front() != QStringLiteral("--chosen-path")) {
        err << QStringLiteral("opção desconhecida: %1\n").arg(args.front()) << usage;
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
    if (args.front() == QStringLiteral("--chosen-path")) {
        out << DatabaseAccess::chosen().name << '\n';
        return 0;
    }
    try {
        Schema::createDatabase(DatabaseAccess::chosen(args.front()));
    } catch (const BrolaviError& e) {
        err << e.message() << '\n';
        return 1;
    }
    out << "Banco de dados criado: " << args.front() << '\n';
    return 0;
}
