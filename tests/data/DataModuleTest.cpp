#include "Printers.h"
#include "ScratchDatabase.h"
#include "TestDatabase.h"
#include "data/Schema.h"
#include "data/uDM.h"
#include "platform/core/Errors.h"

#include <QProcess>
#include <gtest/gtest.h>

namespace {

TEST(DataModule, OpensTheConnectionWithEveryDatasetClosed) {
    TestDatabase db;
    TDM dm(db.path());
    EXPECT_TRUE(dm.FDConnection1.isOpen());
    for (TableDataset* ds : {&dm.TabCadCli, &dm.TabDividas, &dm.TabDesc_Compras, &dm.TabUsuarios,
                             &dm.TabBackup, &dm.TabProdutos})
        EXPECT_FALSE(ds->isOpen()) << ds->tableName().toStdString();
    EXPECT_EQ(dm.DSDividas.dataSet(), &dm.TabDividas);
    EXPECT_EQ(dm.DSUsuarios.dataSet(), &dm.TabUsuarios);
    EXPECT_EQ(dm.fieldByName(QStringLiteral("TabUsuariosTIPO")), &dm.TabUsuariosTIPO);
    EXPECT_EQ(dm.fieldByName(QStringLiteral("TabBackupDIRETORIO"))->fieldName(), QStringLiteral("DIRETORIO"));
    EXPECT_EQ(dm.fieldByName(QStringLiteral("TabDividasNADA")), nullptr);
}

TEST(DataModule, ReportsADatabaseThatCannotBeOpened) {
    QTemporaryDir dir;
    try {
        TDM dm(dir.filePath(QStringLiteral("missing.fdb")));
        FAIL();
    } catch (const DatabaseError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("missing.fdb"))) << e.message().toStdString();
    }
}

TEST(DataModule, TheBackupSettingHasNoKeyAndIsStillEditable) {
    TestDatabase db;
    TDM dm(db.path());
    dm.TabBackup.open();
    EXPECT_TRUE(dm.TabBackup.isEmpty());
    dm.TabBackup.append();
    dm.TabBackupDIRETORIO.setValue(QStringLiteral("/tmp/a/"));
    dm.TabBackup.post();
    dm.TabBackup.edit();
    dm.TabBackupDIRETORIO.setValue(QStringLiteral("/tmp/b/"));
    dm.TabBackup.post();
    EXPECT_EQ(
        dm.FDConnection1.selectValue(QStringLiteral("select list(DIRETORIO) from TABBACKUP")).toString(),
        QStringLiteral("/tmp/b/"));
    EXPECT_EQ(dm.TabBackupDIRETORIO.asString(), QStringLiteral("/tmp/b/"));
}

TEST(DataModule, TheUsersTableMayBeMissingUntilTheLoginCreatesIt) {
    TestDatabase db;
    TDM dm(db.path());
    EXPECT_THROW(dm.TabUsuarios.open(), DatabaseError);
    dm.FDConnection1.execute(QStringLiteral(
        "create table usuarios (Codigo Integer primary key, Data Date, Tipo VarChar(1), Login VarChar(10), "
        "DATA_HORA_LOGIN VarChar(20),Nome VarChar(60), Senha varchar(6))"));
    dm.TabUsuarios.open();
    dm.TabUsuarios.setFilter(QStringLiteral("Login Like'MASTER'"));
    dm.TabUsuarios.setFiltered(true);
    EXPECT_EQ(dm.TabUsuarios.recordCount(), 0);
}

TEST(CreateDatabase, LaysOutTheTablesAndRefusesAnExistingFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sub/DB.FDB"));
    Schema::createDatabase(path);
    EXPECT_THROW(Schema::createDatabase(path), DatabaseError);

    Connection c;
    c.setDatabasePath(path);
    c.setUserName(TDM::UserName);
    c.open();
    struct Expected {
        const char* table;
        const char* columns;
    };
    const char* const typeNames[] = {"INTEGER",   "BIGINT", "NUMERIC", "VARCHAR", "DATE",
                                     "TIMESTAMP", "TIME",   "TEXT",    "BLOB",    "FLOAT"};
    // name:type:length-or-scale:notnull, in table order
    for (
        const Expected& e :
        {Expected{"TABCADCLI", "CODIGO:INTEGER:0:1 NOME:VARCHAR:60:1 CPF:VARCHAR:14:0 TELEFONE:VARCHAR:14:0 "
                               "RG:VARCHAR:14:0 ENDERECO:VARCHAR:60:0 "
                               "NUMERO:VARCHAR:10:0 BAIRRO:VARCHAR:40:0 CIDADE:VARCHAR:20:0 "
                               "ESTADO:VARCHAR:2:0 CEP:VARCHAR:10:0 DATA:TIMESTAMP:0:0 OBS:TEXT:0:0"},
         Expected{"TABDIVIDAS", "CODIGO:INTEGER:0:1 CLIENTE:INTEGER:0:0 DATA:DATE:0:0 "
                                "DESCRICAO:VARCHAR:150:0 QUANTIDADE:INTEGER:0:0 "
                                "DATA_VENC:DATE:0:0 DATA_PAG:TIMESTAMP:0:0 VALOR_UN:NUMERIC:2:0 "
                                "VALOR:NUMERIC:2:0 PARCELA:VARCHAR:15:0 "
                                "STATUS_PAG:VARCHAR:2:0 CONTA:VARCHAR:1:0 FORM_PAG:VARCHAR:10:0"},
         Expected{
             "TABDESC_COMPRAS",
             "CODIGO:INTEGER:0:1 CLIENTE:INTEGER:0:0 DATA:DATE:0:0 DESCRICAO:VARCHAR:150:0 VALOR:NUMERIC:2:0 "
             "STATUS:VARCHAR:15:0 QUANTIDADE:INTEGER:0:0 VALOR_UN:NUMERIC:2:0 COD_VENDA:INTEGER:0:0"},
         Expected{"TABBACKUP", "DIRETORIO:VARCHAR:100:0"},
         Expected{
             "PRODUTOS",
             "CODIGO:INTEGER:0:1 DATA:DATE:0:0 NOME:VARCHAR:60:0 DESCRICAO:VARCHAR:60:0 MARCA:VARCHAR:40:0 "
             "CATEGORIA:VARCHAR:40:0 "
             "COR:VARCHAR:30:0 TAMANHO:VARCHAR:3:0 FORNECEDOR:VARCHAR:50:0 SIGLA_UNIDADE:VARCHAR:2:0 "
             "CODBAR:VARCHAR:13:0 "
             "IMGPRODUTO:BLOB:0:0 LOTE:VARCHAR:10:0 QUATIDADE:INTEGER:0:0 VALIDADE:DATE:0:0 PESO:NUMERIC:2:0 "
             "PRECO_CUSTO:NUMERIC:2:0 PRECO_VENDA:NUMERIC:2:0"}}) {
        const TableSchema& s = c.schema(QString::fromUtf8(e.table));
        QStringList got;
        for (const ColumnInfo& col : s.columns)
            got << QStringLiteral("%1:%2:%3:%4")
                       .arg(col.name)
                       .arg(typeNames[int(col.type)])
                       .arg(col.type == ColumnType::Numeric ? col.scale : col.length)
                       .arg(col.notNull ? 1 : 0);
        EXPECT_EQ(got.join(u' '), QString::fromUtf8(e.columns));
        EXPECT_EQ(s.keyColumn, QString::fromUtf8(e.table) == u"TABBACKUP" ? -1 : 0);
    }
    EXPECT_TRUE(c.schema(QStringLiteral("TABDIVIDAS")).columns[1].leadsIndex) << "ledger by customer";
    EXPECT_TRUE(c.schema(QStringLiteral("TABDESC_COMPRAS")).columns[8].leadsIndex) << "line by entry";
    EXPECT_THROW(c.schema(QStringLiteral("USUARIOS")), DatabaseError) << "left to the login";
    EXPECT_EQ(
        c.selectValue(QStringLiteral("select rdb$character_set_name from rdb$database")).toString().trimmed(),
        QStringLiteral("UTF8"));
    EXPECT_EQ(c.selectValue(QStringLiteral("select mon$page_size from mon$database")).toInt(), 8192);
}

// The platform's tests make their tables with statements of their own: they must stay the program's, or those
// tests try the datasets on a layout the program does not have.
TEST(CreateDatabase, ThePlatformTestsTablesAreLaidOutAsTheProgramsOwn) {
    auto describe = [](Connection& c, const QString& table) {
        QStringList lines;
        const QString columns = QStringLiteral(
            "select trim(rf.rdb$field_name) || ' ' || f.rdb$field_type || '/' || "
            "coalesce(f.rdb$field_sub_type, 0) || ' ' || f.rdb$field_length || ' ' || f.rdb$field_scale || ' "
            "' || "
            "coalesce(f.rdb$field_precision, 0) || ' ' || coalesce(f.rdb$character_length, 0) || ' ' || "
            "coalesce(f.rdb$character_set_id, -1) || ' ' || coalesce(rf.rdb$null_flag, 0) "
            "from rdb$relation_fields rf join rdb$fields f on f.rdb$field_name = rf.rdb$field_source "
            "where rf.rdb$relation_name = ? order by rf.rdb$field_position");
        for (const Row& r : c.select(columns, {table}))
            lines << r.value(0).toString();
        // System-named indexes (the primary key's) are numbered in the order tables were made: left out.
        const QString indexes = QStringLiteral(
            "select iif(i.rdb$index_name starting with 'RDB$', '', trim(i.rdb$index_name)) || ' ' || "
            "coalesce(i.rdb$unique_flag, 0) || ' ' || coalesce(i.rdb$index_type, 0) || ' ' || "
            "coalesce(trim(rc.rdb$constraint_type), '-') || ' ' || "
            "(select list(trim(s.rdb$field_name)) from rdb$index_segments s "
            "where s.rdb$index_name = i.rdb$index_name) "
            "from rdb$indices i left join rdb$relation_constraints rc on rc.rdb$index_name = "
            "i.rdb$index_name "
            "where i.rdb$relation_name = ?");
        QStringList indexLines;
        for (const Row& r : c.select(indexes, {table}))
            indexLines << r.value(0).toString();
        indexLines.sort();
        return lines + indexLines;
    };
    const QString database = QStringLiteral(
        "select m.mon$page_size || ' ' || m.mon$sql_dialect || ' ' || m.mon$forced_writes || ' ' || "
        "trim(d.rdb$character_set_name) from mon$database m cross join rdb$database d");

    TestDatabase program;
    Connection theirs;
    theirs.setDatabasePath(program.path());
    theirs.setUserName(TDM::UserName);
    theirs.setPassword(TDM::Password);
    theirs.open();
    for (const QString& table : ScratchDatabase::tables()) {
        SCOPED_TRACE(table.toStdString());
        ScratchDatabase scratch({table});
        Connection ours;
        scratch.connect(ours);
        const QStringList expected = describe(theirs, table);
        ASSERT_FALSE(expected.isEmpty()) << "the program has the table";
        EXPECT_EQ(describe(ours, table), expected);
        EXPECT_EQ(ours.selectValue(database), theirs.selectValue(database));
    }
}

} // namespace
