#include "CrashPaths.h"

#include "backup/BackupJobs.h"
#include "data/Customers.h"
#include "data/Ledger.h"
#include "data/Users.h"
#include "data/uDM.h"
#include "platform/core/Connection.h"
#include "platform/core/Currency.h"
#include "platform/core/Errors.h"

#include <QFileInfo>
#include <functional>
#include <map>

namespace CrashPaths {

namespace {

SaleItem item(const char* description, const char* unit, int quantity) {
    return SaleItem{QString::fromUtf8(description), Currency::parse(QString::fromUtf8(unit)), quantity,
                    QString::number(quantity)};
}

void addCustomer(TDM& dm, int code, const char* name) {
    TableDataset& customers = dm.TabCadCli;
    customers.open();
    customers.append();
    dm.TabCadCliCODIGO.setValue(code);
    dm.TabCadCliNOME.setValue(QString::fromUtf8(name));
    dm.TabCadCliDATA.setValue(QDateTime(QDate(2026, 1, 5), QTime(9, 30)));
    customers.post();
}

void locate(TableDataset& ds, const QString& column, const QVariant& value) {
    ds.open();
    ds.setFiltered(false);
    if (!ds.locate(column, value))
        throw BrolaviError(QStringLiteral("%1 %2 not found").arg(column, value.toString()));
}

struct Path {
    std::function<void(TDM&)> prepare;
    std::function<void(TDM&)> run;
};

const std::map<QString, Path>& paths() {
    static const std::map<QString, Path> all = {
        {QStringLiteral("customer_save"),
         {[](TDM& dm) { dm.TabCadCli.open(); },
          [](TDM& dm) {
              dm.TabCadCli.append();
              dm.TabCadCliCODIGO.setValue(Customers(dm).nextCode());
              dm.TabCadCliNOME.setValue(QStringLiteral("NOVA CLIENTE"));
              dm.TabCadCliCPF.setValue(QStringLiteral("529.982.247-25"));
              dm.TabCadCli.post();
          }}},
        {QStringLiteral("customer_delete"),
         {[](TDM& dm) { locate(dm.TabCadCli, QStringLiteral("CODIGO"), 1); },
          [](TDM& dm) {
              Customers(dm).deleteCurrent();
          }}},
        {QStringLiteral("credit_sale"),
         {[](TDM& dm) { locate(dm.TabCadCli, QStringLiteral("CODIGO"), 2); },
          [](TDM& dm) {
              Ledger(dm).creditSale(2, item("GELADEIRA", "1200,00", 1), QDate(2026, 7, 15));
          }}},
        {QStringLiteral("credit_sale_12"),
         {[](TDM& dm) { locate(dm.TabCadCli, QStringLiteral("CODIGO"), 2); },
          [](TDM& dm) {
              Ledger(dm).creditSaleInInstalments(2, item("SOFA", "1999,99", 1), 12, QStringLiteral("12"));
          }}},
        {QStringLiteral("entry_correction"),
         {[](TDM& dm) {
              locate(dm.TabDividas, QStringLiteral("CODIGO"), 2);
              dm.TabDividas.edit();
              dm.TabDividasQUANTIDADE.setValue(5);
          },
          [](TDM& dm) {
              Ledger(dm).saveCorrection();
          }}},
        {QStringLiteral("entry_delete"),
         {[](TDM& dm) { locate(dm.TabDividas, QStringLiteral("CODIGO"), 1); },
          [](TDM& dm) {
              Ledger(dm).deleteCurrentEntry();
          }}},
        {QStringLiteral("consultation_delete"),
         {[](TDM&) {},
          [](TDM& dm) {
              Ledger(dm).deleteEntry(3);
          }}},
        {QStringLiteral("pay_total"),
         {[](TDM&) {},
          [](TDM& dm) {
              Ledger(dm).settleAll(1, LedgerWords::Cash, false, Currency::parse(QStringLiteral("461,50")));
          }}},
        {QStringLiteral("pay_partial"),
         {[](TDM&) {},
          [](TDM& dm) {
              Ledger(dm).settlePart(1, Currency::parse(QStringLiteral("461,50")),
                                    Currency::parse(QStringLiteral("100,00")), LedgerWords::Pix);
          }}},
        {QStringLiteral("pay_selected"),
         {[](TDM&) {},
          [](TDM& dm) {
              Ledger(dm).settleSelected({{1, Currency::parse(QStringLiteral("100,00"))},
                                         {2, Currency::parse(QStringLiteral("120,00"))},
                                         {4, Currency::parse(QStringLiteral("80,50"))}},
                                        LedgerWords::Card);
          }}},
        {QStringLiteral("cash_item"),
         {[](TDM& dm) { locate(dm.TabCadCli, QStringLiteral("CODIGO"), 3); },
          [](TDM& dm) {
              Ledger(dm).cashSaleItem(3, item("PAO", "0,75", 4));
          }}},
        {QStringLiteral("cash_item_delete"),
         {[](TDM& dm) { locate(dm.TabDividas, QStringLiteral("CODIGO"), 6); },
          [](TDM& dm) {
              Ledger(dm).deleteCurrentEntry();
          }}},
        {QStringLiteral("user_save"),
         {[](TDM& dm) { dm.TabUsuarios.open(); },
          [](TDM& dm) {
              dm.TabUsuarios.append();
              dm.TabUsuariosCODIGO.setValue(Users(dm).nextCode());
              dm.TabUsuariosNOME.setValue(QStringLiteral("CAIXA DA TARDE"));
              dm.TabUsuariosLOGIN.setValue(QStringLiteral("CAIXA"));
              Users(dm).saveCurrent(QStringLiteral("N"), QStringLiteral("123456"));
          }}},
        {QStringLiteral("backup"),
         {[](TDM&) {},
          [](TDM& dm) {
              BackupJobs::backup(dm.FDConnection1,
                                 QFileInfo(backupFile(dm.FDConnection1.databasePath())).path() + u'/', {});
          }}},
        {QStringLiteral("restore"),
         {[](TDM&) {},
          [](TDM& dm) {
              BackupJobs::restore(dm.FDConnection1, restoreSource(dm.FDConnection1.databasePath()), {});
          }}},
        {QStringLiteral("cash_pay"),
         {[](TDM&) {},
          [](TDM& dm) {
              Ledger(dm).settleAll(3, LedgerWords::Cash, true, Currency::parse(QStringLiteral("21,90")));
          }}},
    };
    return all;
}

const Path& path(const QString& name) {
    const auto it = paths().find(name);
    if (it == paths().end())
        throw BrolaviError(QStringLiteral("no path %1").arg(name));
    return it->second;
}

} // namespace

QStringList names() {
    QStringList out;
    for (const auto& [name, p] : paths())
        out << name;
    return out;
}

Target target(const QString& name) {
    if (name == u"backup")
        return Target::BackupFile;
    if (name == u"restore")
        return Target::Database;
    return Target::Books;
}

QString backupFile(const QString& database) {
    return QFileInfo(database).path() + QStringLiteral("/copias/") + BackupJobs::FileName;
}

QString restoreSource(const QString& database) {
    return QFileInfo(database).path() + QStringLiteral("/origem/") + BackupJobs::FileName;
}

void createUsers(Connection& connection) {
    connection.execute(QStringLiteral(
        "create table usuarios (Codigo Integer primary key, Data Date, Tipo VarChar(1), Login VarChar(10), "
        "DATA_HORA_LOGIN VarChar(20),Nome VarChar(60), Senha varchar(6))"));
    connection.execute(QStringLiteral("insert into usuarios (Codigo, Data, Tipo, Login, Nome, Senha) values "
                                      "(1, '2026-01-05', 'M', 'MASTER', 'MASTER', '907438')"));
}

void seed(TDM& dm) {
    createUsers(dm.FDConnection1);
    addCustomer(dm, 1, "ANA SILVA");
    addCustomer(dm, 2, "BETO SOUZA");
    addCustomer(dm, 3, "CLIENTE AVULSO");
    locate(dm.TabCadCli, QStringLiteral("CODIGO"), 1);
    Ledger ledger(dm);
    ledger.creditSale(1, item("CAMISA", "50,00", 2), QDate(2026, 7, 1));                   // 1
    ledger.creditSale(1, item("CALCA", "120,00", 1), QDate(2026, 6, 1));                   // 2
    ledger.creditSaleInInstalments(1, item("TENIS", "241,50", 1), 3, QStringLiteral("3")); // 3-5
    ledger.cashSaleItem(3, item("LEITE", "4,50", 2));                                      // 6
    ledger.cashSaleItem(3, item("CAFE", "12,90", 1));                                      // 7
    ledger.creditSale(2, item("MEIA", "5,00", 3), QDate(2026, 6, 20));                     // 8
    ledger.settleSelected({{8, Currency::parse(QStringLiteral("15,00"))}}, LedgerWords::Pix);
}

void prepare(TDM& dm, const QString& name) {
    path(name).prepare(dm);
}

void run(TDM& dm, const QString& name) {
    path(name).run(dm);
}

QString dump(Connection& connection) {
    QString out;
    for (const QString& table :
         {QStringLiteral("TABCADCLI"), QStringLiteral("TABDIVIDAS"), QStringLiteral("TABDESC_COMPRAS"),
          QStringLiteral("TABBACKUP"), QStringLiteral("USUARIOS")}) {
        out += table + u'\n';
        const int columns = int(connection.schema(table).columns.size());
        QStringList order;
        for (int i = 1; i <= columns; ++i)
            order << QString::number(i);
        for (const Row& row :
             connection.select(QStringLiteral("select * from %1 order by %2").arg(table, order.join(u',')))) {
            QStringList cells;
            for (const QVariant& v : row)
                cells << (v.isNull()                                        ? QStringLiteral("NULL")
                          : v.metaType() == QMetaType::fromType<Currency>() ? v.value<Currency>().toDbText()
                                                                            : v.toString());
            out += cells.join(u'|') + u'\n';
        }
    }
    return out;
}

} // namespace CrashPaths
