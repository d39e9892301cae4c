#include "data/Booklet.h"

#include "data/Ledger.h"
#include "platform/core/Connection.h"

#include <QRegularExpression>

namespace Booklet {

QVector<OpenInstalment> openInstalments(Connection& connection, const QVariant& customer) {
    QVector<OpenInstalment> out;
    const QVector<Row> rows = connection.select(
        QStringLiteral(
            "select CODIGO, DESCRICAO, PARCELA, DATA_VENC, VALOR from TABDIVIDAS where CLIENTE = ? "
            "and STATUS_PAG = ? and CONTA <> ? and VALOR > 0 order by DATA_VENC, CODIGO"),
        {customer, LedgerWords::Open, LedgerWords::CashAccount});
    out.reserve(rows.size());
    for (const Row& r : rows)
        out.append({r.value(0).toInt(), r.value(1).toString(), r.value(2).toString(), r.value(3).toDate(),
                    r.value(4).isNull() ? Currency() : r.value(4).value<Currency>()});
    return out;
}

QString parcelText(const QString& label) {
    static const QRegularExpression plan(QStringLiteral("^\\s*Parc\\.\\s*(\\d+)\\s+de\\s+(\\d+)\\s*$"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = plan.match(label);
    const int i = m.hasMatch() ? m.captured(1).toInt() : 0;
    const int n = m.hasMatch() ? m.captured(2).toInt() : 0;
    if (i < 1 || n < 1)
        return QStringLiteral("Parcela única");
    return LedgerWords::instalmentLabel(i, QString::number(n));
}

} // namespace Booklet
