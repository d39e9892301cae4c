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
#include "data/Schema.h"
#include "data/uDM.h"
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

AppBrolavi::AppBrolavi(const QString& databasePath) {
    create(FSplash);
    create(FCadUsu);
    create(FTrocaSenha);
    create(FVendasAvista);
    create(FLogin);
    create(TelaInicial);
    create(FCadCli);
    try {
        DM = new TDM(databasePath);
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
    switch (Firebird::problemOf(engineError->engineStatus())) {
    // The embedded engine lets one process at a time have the file.
    case Firebird::Problem::InUse:
    case Firebird::Problem::LockTimeout:
        return QStringLiteral("O banco de dados já está em uso por outra cópia do Brolavi.\n"
                              "Feche a outra cópia e abra o programa novamente.\n\n%1")
            .arg(engineText);
    case Firebird::Problem::Damaged:
        return QStringLiteral("O arquivo %1 está danificado ou não é um banco de dados do Brolavi.\n"
                              "Nada foi gravado nele.\n\n%2")
            .arg(QDir::toNativeSeparators(databasePath), engineText);
    default:
        return QStringLiteral("Não foi possível abrir o banco de dados.\n\n%1").arg(engineText);
    }
}

int AppBrolavi::run(int argc, char** argv) {
    // Answered before Qt looks for a display, so it works from a terminal without one.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("brolavi %s\n", BrolaviVersion);
        return 0;
    }
    // Before anything loads the engine or starts a thread.
    QString failure = prepareProcess();
    ProgramApplication::holdTerminationSignals();
    ProgramApplication app(argc, argv);
    Q_INIT_RESOURCE(resources);
    std::unique_ptr<AppBrolavi> program;
    if (failure.isEmpty()) {
        try {
            program = std::make_unique<AppBrolavi>(Schema::defaultDatabasePath());
        } catch (const BrolaviError& e) {
            failure = openFailureText(e, Schema::defaultDatabasePath());
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
