#include "data/Customers.h"

#include "data/Ledger.h"
#include "data/uDM.h"
#include "platform/core/Clock.h"
#include "platform/core/FilterExpression.h"
#include "platform/core/Query.h"
#include "platform/core/Transaction.h"

int Customers::nextCode() {
    m_dm.FDConnection1.ensureOpen();
    m_dm.TabCadCli.open();
    return m_dm.TabCadCli.nextCode();
}

bool Customers::cpfTaken(const QString& typed) {
    Query cpf(m_dm.FDConnection1);
    cpf.setSql(QStringLiteral(" select CPF from TabCadCli where CPF = :qqCPF"));
    cpf.setParam(QStringLiteral("qqCPF"), typed);
    cpf.open();
    int found = cpf.recordCount();
    cpf.close();
    if (m_dm.TabCadCli.state() == TableDataset::State::Edit &&
        m_dm.TabCadCli.oldValue(QStringLiteral("CPF")).toString() == typed)
        --found;
    return found > 0;
}

void Customers::saveCurrent() {
    m_dm.TabCadCli.postTakingAFreeCode();
}

void Customers::deleteCurrent() {
    const QVariant customer = m_dm.TabCadCliCODIGO.value();
    Transaction unit(m_dm.FDConnection1);
    Query remove(m_dm.FDConnection1);
    remove.setSql(QStringLiteral("Delete from Tabdividas Where Cliente = :qCliente"));
    remove.setParam(QStringLiteral("qCliente"), customer);
    remove.execSql();
    remove.setSql(QStringLiteral("Delete from TabDesc_Compras Where Cliente = :qCliente"));
    remove.setParam(QStringLiteral("qCliente"), customer);
    remove.execSql();
    m_dm.TabCadCli.remove();
    unit.commit();
}

namespace {

// The walk-in customer's code, as the name filter of the quick sale finds it (exactly that name), or null.
QVariant walkInCode(Connection& connection) {
    const TableSchema& customers = connection.schema(QStringLiteral("TABCADCLI"));
    QVariantList params;
    const QString named =
        FilterExpression::textEquality(QStringLiteral("NOME"), LedgerWords::WalkInCustomer, params, false,
                                       customers.columns[customers.indexOf(QStringLiteral("NOME"))].length);
    return connection.selectValue(QStringLiteral("select first 1 CODIGO from TABCADCLI where ") + named +
                                      QStringLiteral(" order by CODIGO"),
                                  params);
}

} // namespace

int Customers::walkInCustomer() {
    Connection& connection = m_dm.FDConnection1;
    try {
        Transaction unit(connection);
        const QVariant found = walkInCode(connection);
        if (!found.isNull())
            return found.toInt();
        const int code =
            connection.selectValue(QStringLiteral("select coalesce(max(CODIGO), 0) + 1 from TABCADCLI"))
                .toInt();
        connection.execute(QStringLiteral("insert into TABCADCLI (CODIGO, NOME, DATA) values (?, ?, ?)"),
                           {code, LedgerWords::WalkInCustomer, Clock::now()});
        unit.commit();
        return code;
    } catch (const DatabaseError& e) {
        if (!KeyConflicts::isKeyConflict(e))
            throw;
        // The code was taken at the same moment, as a rule by another till creating this same customer: its
        // row is committed now, and a fresh read finds it.
        const QVariant found = walkInCode(connection);
        if (found.isNull())
            throw;
        return found.toInt();
    }
}
