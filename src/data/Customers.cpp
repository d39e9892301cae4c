#include "data/Customers.h"

#include "data/uDM.h"
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
    TableDataset& customers = m_dm.TabCadCli;
    const bool isNew = customers.state() == TableDataset::State::Insert;
    bool again = false;
    // A failed post keeps the row as typed: only its code is taken afresh.
    retryingOnKeyConflict([&] {
        if (again && isNew)
            m_dm.TabCadCliCODIGO.setValue(nextCode());
        again = true;
        customers.post();
    });
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
