#include "data/uDM.h"

#include "platform/core/Errors.h"
#include "platform/core/FilterExpression.h"

#include <utility>

TDM* DM = nullptr;

TDM::TDM(const QString& databasePath, QObject* parent)
    : TDM(DatabaseAccess::ofFile(databasePath), parent) {}

TDM::TDM(const DatabaseAccess& access, QObject* parent)
    : QObject(parent)
    , TabCadCli(FDConnection1, QStringLiteral("TABCADCLI"))
    , TabDividas(FDConnection1, QStringLiteral("TABDIVIDAS"))
    , TabDesc_Compras(FDConnection1, QStringLiteral("TABDESC_COMPRAS"))
    , TabUsuarios(FDConnection1, QStringLiteral("USUARIOS"))
    , TabBackup(FDConnection1, QStringLiteral("TABBACKUP"))
    , TabProdutos(FDConnection1, QStringLiteral("PRODUTOS"))
    , DSCadCli(&TabCadCli)
    , DSDividas(&TabDividas)
    , DSDesc_Compras(&TabDesc_Compras)
    , DSUsuarios(&TabUsuarios)
    , DSBackup(&TabBackup)
    , DSProdutos(&TabProdutos) {
    TabDividas.defineSum(QStringLiteral("Soma"), QStringLiteral("VALOR"));
    FDConnection1.setDatabasePath(access.name);
    FDConnection1.setUserName(access.user);
    FDConnection1.setPassword(access.password);
    FDConnection1.open();
}

TDM::~TDM() {
    FDConnection1.close();
    if (DM == this)
        DM = nullptr;
}

Field* TDM::fieldByName(const QString& name) {
#define BROLAVI_FIND_FIELD(ds, col)                                                                          \
    if (name.compare(QStringLiteral(#ds #col), Qt::CaseInsensitive) == 0)                                    \
        return &ds##col;
    BROLAVI_ALL_COLUMNS(BROLAVI_FIND_FIELD)
#undef BROLAVI_FIND_FIELD
    return nullptr;
}

namespace {

bool selectsCashItems(const QString& accountCondition) {
    return QString(accountCondition)
               .remove(u' ')
               .compare(QStringLiteral("ANDConta='V'"), Qt::CaseInsensitive) == 0;
}

} // namespace

void TDM::filterCustomerLedger(const QString& accountCondition) {
    const QString others = selectsCashItems(accountCondition) ? othersCashItems() : QString();
    TabDividas.refilter(QStringLiteral("Cliente LIKE") +
                        FilterExpression::quoted(TabCadCliCODIGO.asString()) +
                        QStringLiteral("AND Status_Pag =") + FilterExpression::quoted(QStringLiteral("NP")) +
                        accountCondition + others);
}

void TDM::beginCashSale() {
    m_cashSale =
        CashSale{TabCadCliCODIGO.value(),
                 FDConnection1.selectValue(QStringLiteral("select max(CODIGO) from TABDIVIDAS")).toLongLong(),
                 {}};
}

void TDM::cashItemRungUp(const QVariant& customer, int code) {
    if (m_cashSale && m_cashSale->customer == customer)
        m_cashSale->items.insert(code);
}

void TDM::endCashSale() {
    m_cashSale.reset();
}

QString TDM::othersCashItems() {
    if (!m_cashSale || m_cashSale->customer != TabCadCliCODIGO.value())
        return QString();
    QString others;
    for (const Row& r : FDConnection1.select(
             QStringLiteral(
                 "select CODIGO from TABDIVIDAS where CODIGO > ? and CLIENTE = ? and STATUS_PAG = ? and "
                 "CONTA = ? order by CODIGO"),
             {m_cashSale->highestAtStart, m_cashSale->customer, QStringLiteral("NP"), QStringLiteral("V")}))
        if (!m_cashSale->items.contains(r[0].toLongLong()))
            others += QStringLiteral("AND CODIGO <>") + FilterExpression::quoted(r[0].toString());
    return others;
}

LedgerUnfiltered::LedgerUnfiltered(TDM& dm, QString accountCondition)
    : m_dm(dm)
    , m_quiet(dm.TabDividas)
    , m_accountCondition(std::move(accountCondition)) {
    m_dm.TabDividas.setFiltered(false);
    m_dm.TabDesc_Compras.setFiltered(false);
}

LedgerUnfiltered::~LedgerUnfiltered() {
    UnthrownErrors::guard([this] { m_dm.filterCustomerLedger(m_accountCondition); });
}
