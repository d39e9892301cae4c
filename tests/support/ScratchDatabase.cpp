#include "ScratchDatabase.h"

#include "TestCharacterSet.h"

#include "platform/core/FirebirdDatabase.h"

#include <QFile>
#include <QHash>
#include <stdexcept>

namespace {

// Copies of the program's own statements for these tables, so that column sizes, NOT NULL and money columns
// behave as they do in the program's file. The data layer's tests check that the two stay alike.
const QHash<QString, QStringList>& tableStatements() {
    static const QHash<QString, QStringList> statements = {
        {QStringLiteral("TABCADCLI"),
         {QStringLiteral(
              "create table TABCADCLI (CODIGO integer not null primary key, NOME varchar(60) not null, "
              "CPF varchar(14), TELEFONE varchar(14), RG varchar(14), ENDERECO varchar(60), "
              "NUMERO varchar(10), BAIRRO varchar(40), CIDADE varchar(20), ESTADO varchar(2), "
              "CEP varchar(10), DATA timestamp, OBS blob sub_type text)"),
          QStringLiteral("create descending index IDX_TABCADCLI_CODIGO_DESC on TABCADCLI (CODIGO)"),
          QStringLiteral("create index IDX_TABCADCLI_NOME on TABCADCLI (NOME)"),
          QStringLiteral("create index IDX_TABCADCLI_CPF on TABCADCLI (CPF)")}},
        {QStringLiteral("TABDIVIDAS"),
         {QStringLiteral(
              "create table TABDIVIDAS (CODIGO integer not null primary key, CLIENTE integer, DATA date, "
              "DESCRICAO varchar(150), QUANTIDADE integer, DATA_VENC date, DATA_PAG timestamp, "
              "VALOR_UN numeric(18,2), VALOR numeric(18,2), PARCELA varchar(15), STATUS_PAG varchar(2), "
              "CONTA varchar(1), FORM_PAG varchar(10))"),
          QStringLiteral("create descending index IDX_TABDIVIDAS_CODIGO_DESC on TABDIVIDAS (CODIGO)"),
          QStringLiteral("create index IDX_TABDIVIDAS_CLIENTE on TABDIVIDAS (CLIENTE)")}},
        {QStringLiteral("TABBACKUP"), {QStringLiteral("create table TABBACKUP (DIRETORIO varchar(100))")}},
    };
    return statements;
}

// One template file per set of tables, made the first time a test asks for that set.
QString templatePath(const QStringList& tables) {
    static QTemporaryDir dir;
    static QHash<QString, QString> made;
    QStringList sorted = tables;
    sorted.sort();
    sorted.removeDuplicates();
    const QString charset = testCharacterSet();
    const QString key = sorted.join(u'+') + u'-' + charset;
    if (const auto it = made.constFind(key); it != made.cend())
        return *it;

    QStringList statements;
    for (const QString& table : sorted) {
        const auto it = tableStatements().constFind(table);
        if (it == tableStatements().cend())
            throw std::invalid_argument("no statements for table " + table.toStdString());
        statements << *it;
    }
    const QString path = dir.filePath(key + QStringLiteral(".fdb"));
    FirebirdDatabase::create(path, ScratchDatabase::UserName, ScratchDatabase::Password, 8192, charset);
    {
        Connection c;
        c.setDatabasePath(path);
        c.setUserName(ScratchDatabase::UserName);
        c.setPassword(ScratchDatabase::Password);
        c.open();
        for (const QString& sql : statements)
            c.execute(sql);
    }
    made.insert(key, path);
    return path;
}

} // namespace

ScratchDatabase::ScratchDatabase(const QStringList& tables) {
    m_path = m_dir.filePath(QStringLiteral("SCRATCH.FDB"));
    if (!QFile::copy(templatePath(tables), m_path))
        throw std::runtime_error("cannot copy the template database");
}

void ScratchDatabase::connect(Connection& connection) const {
    connection.setDatabasePath(m_path);
    connection.setUserName(UserName);
    connection.setPassword(Password);
    connection.open();
}

QStringList ScratchDatabase::tables() {
    QStringList names = tableStatements().keys();
    names.sort();
    return names;
}

ShopDatasets::ShopDatasets(const QString& path) {
    ledger.defineSum(QStringLiteral("Soma"), QStringLiteral("VALOR"));
    connection.setDatabasePath(path);
    connection.setUserName(ScratchDatabase::UserName);
    connection.setPassword(ScratchDatabase::Password);
    connection.open();
}
