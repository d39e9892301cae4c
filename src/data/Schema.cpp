#include "data/Schema.h"

#include "data/uDM.h"
#include "platform/core/Connection.h"
#include "platform/core/DatabaseLocation.h"
#include "platform/core/Errors.h"
#include "platform/core/FirebirdDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace Schema {

QStringList statements() {
    return {
        QStringLiteral(
            "create table TABCADCLI (CODIGO integer not null primary key, NOME varchar(60) not null, "
            "CPF varchar(14), TELEFONE varchar(14), RG varchar(14), ENDERECO varchar(60), "
            "NUMERO varchar(10), BAIRRO varchar(40), CIDADE varchar(20), ESTADO varchar(2), "
            "CEP varchar(10), DATA timestamp, OBS blob sub_type text)"),
        QStringLiteral(
            "create table TABDIVIDAS (CODIGO integer not null primary key, CLIENTE integer, DATA date, "
            "DESCRICAO varchar(150), QUANTIDADE integer, DATA_VENC date, DATA_PAG timestamp, "
            "VALOR_UN numeric(18,2), VALOR numeric(18,2), PARCELA varchar(15), STATUS_PAG varchar(2), "
            "CONTA varchar(1), FORM_PAG varchar(10))"),
        QStringLiteral("create table TABDESC_COMPRAS (CODIGO integer not null primary key, CLIENTE integer, "
                       "DATA date, DESCRICAO varchar(150), VALOR numeric(18,2), STATUS varchar(15), "
                       "QUANTIDADE integer, VALOR_UN numeric(18,2), COD_VENDA integer)"),
        QStringLiteral("create table TABBACKUP (DIRETORIO varchar(100))"),
        QStringLiteral(
            "create table PRODUTOS (CODIGO integer not null primary key, DATA date, NOME varchar(60), "
            "DESCRICAO varchar(60), MARCA varchar(40), CATEGORIA varchar(40), COR varchar(30), "
            "TAMANHO varchar(3), FORNECEDOR varchar(50), SIGLA_UNIDADE varchar(2), "
            "CODBAR varchar(13), IMGPRODUTO blob, LOTE varchar(10), QUATIDADE integer, "
            "VALIDADE date, PESO numeric(18,2), PRECO_CUSTO numeric(18,2), "
            "PRECO_VENDA numeric(18,2))"),
        // The highest code is read before every new row: a descending index answers max() at once.
        QStringLiteral("create descending index IDX_TABCADCLI_CODIGO_DESC on TABCADCLI (CODIGO)"),
        QStringLiteral("create descending index IDX_TABDIVIDAS_CODIGO_DESC on TABDIVIDAS (CODIGO)"),
        QStringLiteral("create descending index IDX_TABDESC_COMPRAS_CODIGO_DESC on TABDESC_COMPRAS (CODIGO)"),
        // Customers by name prefix and by CPF; a customer's ledger and purchase lines; the line of an entry.
        QStringLiteral("create index IDX_TABCADCLI_NOME on TABCADCLI (NOME)"),
        QStringLiteral("create index IDX_TABCADCLI_CPF on TABCADCLI (CPF)"),
        QStringLiteral("create index IDX_TABDIVIDAS_CLIENTE on TABDIVIDAS (CLIENTE)"),
        QStringLiteral("create index IDX_TABDESC_COMPRAS_CLIENTE on TABDESC_COMPRAS (CLIENTE)"),
        QStringLiteral("create index IDX_TABDESC_COMPRAS_COD_VENDA on TABDESC_COMPRAS (COD_VENDA)"),
    };
}

QStringList requiredTables() {
    return {QStringLiteral("TABCADCLI"), QStringLiteral("TABDIVIDAS"), QStringLiteral("TABDESC_COMPRAS"),
            QStringLiteral("TABBACKUP")};
}

QStringList missingTables(Connection& connection) {
    QStringList missing = requiredTables();
    for (const Row& row :
         connection.select(QStringLiteral("select trim(RDB$RELATION_NAME) from RDB$RELATIONS "
                                          "where coalesce(RDB$SYSTEM_FLAG, 0) = 0")))
        missing.removeAll(row.value(0).toString());
    return missing;
}

void createDatabase(const QString& path, const QString& characterSet) {
    createDatabase(DatabaseAccess::ofFile(path), characterSet);
}

void createDatabase(const DatabaseAccess& access, const QString& characterSet) {
    // A server's database is made on the server's disk, by the server: nothing of it here.
    const bool onServer = DatabaseLocation(access.name).isServer();
    if (!onServer) {
        if (QFileInfo::exists(access.name))
            throw DatabaseError(QStringLiteral("O arquivo %1 já existe: nada foi criado").arg(access.name));
        QDir().mkpath(QFileInfo(access.name).absolutePath());
    }
    FirebirdDatabase::create(access.name, access.user, access.password, 8192, characterSet);
    Connection c;
    c.setDatabasePath(access.name);
    c.setUserName(access.user);
    c.setPassword(access.password);
    try {
        c.open();
        for (const QString& sql : statements())
            c.execute(sql);
        c.close();
    } catch (...) {
        // A half-made database is worse than none.
        UnthrownErrors::guard([&] {
            if (c.isOpen())
                c.dropDatabase();
            else if (!onServer)
                QFile::remove(access.name);
        });
        throw;
    }
}

QString defaultDatabasePath() {
#ifdef Q_OS_WIN
    return QStringLiteral("C:\\Brolavi\\DB\\DBBROLAVI.FDB");
#else
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Brolavi/DB/DBBROLAVI.FDB");
#endif
}

} // namespace Schema
