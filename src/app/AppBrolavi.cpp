#include "app/AppBrolavi.h"

#include "app/uBrolavi.h"
#include "app/uSobre.h"
#include "app/uSplash.h"
#include "backup/uBackup.h"
#include "cash/uVendasAvista.h"
#include "consultation/uConsulta.h"
#include "credit/uCompras.h"
#include "credit/uDividas.h"
#include "credit/uNovaDivida.h"
#include "credit/uPagamentos.h"
#include "credit/uPix.h"
#include "customers/uCadCli.h"
#include "customers/uPesquisaCli.h"
#include "data/DatabaseAccess.h"
#include "data/Schema.h"
#include "data/uDM.h"
#include "platform/core/DatabaseLocation.h"
#include "platform/core/Errors.h"
#include "platform/core/FirebirdStatus.h"
#include "platform/core/ProcessStart.h"
#include "platform/core/Version.h"
#include "platform/widgets/Messages.h"
#include "platform/widgets/ModalHost.h"
#include "platform/widgets/ProgramApplication.h"
#include "shop/uLoja.h"
#include "users/uCadUsu.h"
#include "users/uLogin.h"
#include "users/uTrocaSenha.h"

#include <QDir>
#include <QFileInfo>
#include <QString>
#include <cstdio>
#include <cstring>

namespace {

// Created in this order and destroyed in the reverse one.
template <typename T> void create(T*& instance) {
    instance = new T();
}

template <typename T> void destroy(T*& instance) {
    delete instance;
    instance = nullptr;
}

// Before anything writes to it (the login makes its table of users when it is missing): a Firebird file of
// another program would get the shop's tables one by one, and every screen would then fail on the others.
void refuseAnotherProgramsDatabase(Connection& connection) {
    const QStringList missing = Schema::missingTables(connection);
    if (missing.isEmpty())
        return;
    throw BrolaviError(
        QStringLiteral("O arquivo %1 não é um banco de dados do Brolavi: faltam as tabelas "
                       "%2.\nNada foi gravado nele.")
            .arg(QDir::toNativeSeparators(connection.databasePath()), missing.join(QStringLiteral(", "))));
}

} // namespace

AppBrolavi::AppBrolavi(const QString& databasePath)
    : AppBrolavi(DatabaseAccess::ofFile(databasePath)) {}

AppBrolavi::AppBrolavi(const DatabaseAccess& access) {
    create(FSplash);
    create(FCadUsu);
    create(FTrocaSenha);
    create(FVendasAvista);
    create(FLogin);
    create(TelaInicial);
    create(FCadCli);
    try {
        DM = new TDM(access);
        refuseAnotherProgramsDatabase(DM->FDConnection1);
    } catch (...) {
        destroy(DM);
        destroy(FCadCli);
        destroy(TelaInicial);
        destroy(FLogin);
        destroy(FVendasAvista);
        destroy(FTrocaSenha);
        destroy(FCadUsu);
        destroy(FSplash);
        throw;
    }
    create(FDividas);
    create(FNovaDivida);
    create(FPesquisaCli);
    create(FPagamentos);
    create(FPix);
    create(FSobre);
    create(FBackup);
    create(FConsulta);
    create(FCompras);
    create(FLoja);
    FLogin->onLoggedIn = [] {
        ModalHost::show(TelaInicial);
    };
    for (Form* screen : std::initializer_list<Form*>{
             FSplash, FCadUsu, FTrocaSenha, FVendasAvista, FLogin, TelaInicial, FCadCli, FDividas,
             FNovaDivida, FPesquisaCli, FPagamentos, FSobre, FBackup, FConsulta, FCompras, FLoja})
        screen->bindData();
}

AppBrolavi::~AppBrolavi() {
    destroy(FLoja);
    destroy(FCompras);
    destroy(FConsulta);
    destroy(FBackup);
    destroy(FSobre);
    destroy(FPix);
    destroy(FPagamentos);
    destroy(FPesquisaCli);
    destroy(FNovaDivida);
    destroy(FDividas);
    destroy(DM);
    destroy(FCadCli);
    destroy(TelaInicial);
    destroy(FLogin);
    destroy(FVendasAvista);
    destroy(FTrocaSenha);
    destroy(FCadUsu);
    destroy(FSplash);
}

QString AppBrolavi::openFailureText(const BrolaviError& error, const QString& databasePath) {
    const auto* engineError = dynamic_cast<const DatabaseError*>(&error);
    if (!engineError)
        return error.message();
    const QString engineText = error.message();
    const DatabaseLocation location(databasePath);
    const QString settings = QDir::toNativeSeparators(DatabaseAccess::settingsFile());
    switch (Firebird::problemOf(engineError->engineStatus())) {
    case Firebird::Problem::InUse:
    case Firebird::Problem::LockTimeout:
        // The file is held by an engine of another kind: a server, or a program that opened it in-process.
        if (location.isServer())
            return QStringLiteral("O banco de dados %1 está aberto diretamente (sem o servidor) por outro "
                                  "programa no computador do servidor, talvez uma cópia do Brolavi que não "
                                  "usa o servidor.\nFeche esse programa, ou aponte-o para o servidor, e abra "
                                  "o Brolavi novamente.\n\n%2")
                .arg(databasePath, engineText);
        return QStringLiteral(
                   "O banco de dados já está em uso por outra cópia do Brolavi.\n"
                   "Feche a outra cópia e abra o programa novamente.\n"
                   "Se a loja usa um servidor Firebird neste computador, ele pode ser quem tem o "
                   "arquivo: informe o nome do banco no servidor (por exemplo localhost:%1) em %2 ou "
                   "com --database.\n\n%3")
            .arg(QDir::fromNativeSeparators(databasePath), settings, engineText);
    case Firebird::Problem::Damaged:
        return QStringLiteral("O arquivo %1 está danificado ou não é um banco de dados do Brolavi.\n"
                              "Nada foi gravado nele.\n\n%2")
            .arg(QDir::toNativeSeparators(databasePath), engineText);
    case Firebird::Problem::LoginRefused:
        return QStringLiteral("O servidor recusou o usuário ou a senha do banco de dados %1.\nConfira o "
                              "usuário e a senha em %2.\n\n%3")
            .arg(databasePath, settings, engineText);
    case Firebird::Problem::ConnectionLost:
        if (location.isServer())
            return QStringLiteral("Não foi possível falar com o servidor %1.\nVerifique se o computador do "
                                  "servidor está ligado, se o Firebird está em execução nele e se a rede "
                                  "está funcionando.\n\n%2")
                .arg(location.server(), engineText);
        return QStringLiteral("Não foi possível abrir o banco de dados.\n\n%1").arg(engineText);
    default:
        return QStringLiteral("Não foi possível abrir o banco de dados.\n\n%1").arg(engineText);
    }
}

namespace {

QString usage() {
    return QStringLiteral(
        "uso: brolavi [--database NOME]\n"
        "  --database NOME  abre o banco NOME: um arquivo deste computador, ou o banco de um servidor\n"
        "                   Firebird (servidor:/caminho/DBBROLAVI.FDB, servidor/porta:apelido)\n"
        "  --version        mostra a versão\n"
        "  --help           mostra esta ajuda\n"
        "Sem --database: o banco indicado em %1 (BancoDeDados/Nome,\n"
        "com BancoDeDados/Usuario e BancoDeDados/Senha para um servidor), ou o arquivo %2.\n"
        "ISC_USER e ISC_PASSWORD, quando definidos, dão o usuário e a senha se o arquivo de configuração\n"
        "não os der.\n");
}

} // namespace

int AppBrolavi::run(int argc, char** argv) {
    // Answered before Qt looks for a display, so they work from a terminal without one.
    QString databaseName;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg == QStringLiteral("--version")) {
            std::printf("brolavi %s\n", BrolaviVersion);
            return 0;
        }
        if (arg == QStringLiteral("--help")) {
            std::fputs(usage()
                           .arg(QDir::toNativeSeparators(DatabaseAccess::settingsFile()),
                                QDir::toNativeSeparators(Schema::defaultDatabasePath()))
                           .toLocal8Bit()
                           .constData(),
                       stdout);
            return 0;
        }
        if (arg == QStringLiteral("--database") || arg.startsWith(QStringLiteral("--database="))) {
            databaseName = arg.contains(u'=')
                               ? arg.section(u'=', 1)
                               : (i + 1 < argc ? QString::fromLocal8Bit(argv[++i]) : QString());
            if (databaseName.isEmpty()) {
                std::fputs("brolavi: --database precisa do nome do banco de dados\n", stderr);
                return 2;
            }
        }
    }
    // Before anything loads the engine or starts a thread.
    QString failure = prepareProcess();
    ProgramApplication::holdTerminationSignals();
    ProgramApplication app(argc, argv);
    Q_INIT_RESOURCE(resources);
    std::unique_ptr<AppBrolavi> program;
    const DatabaseAccess access = DatabaseAccess::chosen(databaseName);
    if (failure.isEmpty()) {
        try {
            program = std::make_unique<AppBrolavi>(access);
        } catch (const BrolaviError& e) {
            failure = openFailureText(e, access.name);
        }
    }
    // Only now: opening the database (or trying to) put the engine's own handlers in place.
    app.endOnTerminationSignals();
    if (!failure.isEmpty()) {
        Messages::standardError(failure);
        return app.terminationStatus().value_or(1);
    }
    FSplash->show();
    return ProgramApplication::exec();
}
