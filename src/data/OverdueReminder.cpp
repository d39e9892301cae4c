#include "data/OverdueReminder.h"

#include "data/Booklet.h"
#include "data/Documents.h"
#include "data/Ledger.h"
#include "data/Shop.h"
#include "platform/core/Connection.h"
#include "platform/core/Formats.h"

#include <QStringList>
#include <QUrl>

namespace OverdueReminder {

QVector<OverdueEntry> overdueEntries(Connection& connection, const QVariant& customer, const QDate& today) {
    QVector<OverdueEntry> out;
    const QVector<Row> rows = connection.select(
        QStringLiteral("select DESCRICAO, PARCELA, DATA_VENC, VALOR from TABDIVIDAS where CLIENTE = ? and "
                       "STATUS_PAG = ? and DATA_VENC <= ? and VALOR > 0 order by DATA_VENC, CODIGO"),
        {customer, LedgerWords::Open, today});
    out.reserve(rows.size());
    for (const Row& r : rows)
        out.append({r.value(0).toString(), r.value(1).toString(), r.value(2).toDate(),
                    r.value(3).isNull() ? Currency() : r.value(3).value<Currency>()});
    return out;
}

QString message(const QString& customerName, const QVector<OverdueEntry>& entries, const ShopDetails& shop) {
    QStringList lines;
    lines << QStringLiteral("Olá, %1!").arg(customerName.trimmed());
    lines << (entries.size() == 1 ? QStringLiteral("Consta em aberto a seguinte conta vencida:")
                                  : QStringLiteral("Constam em aberto as seguintes contas vencidas:"));
    Currency total;
    for (const OverdueEntry& e : entries) {
        QString what = e.description.trimmed();
        // Every instalment of a sale carries the same description: the parcel tells them apart.
        const QString parcel = Booklet::parcelText(e.label);
        if (parcel != Booklet::parcelText(QString()))
            what += QStringLiteral(" (%1)").arg(parcel);
        lines
            << QStringLiteral("- %1 - vencimento %2 - %3").arg(what, Formats::date(e.due), e.value.format());
        total += e.value;
    }
    lines << QStringLiteral("Total: %1").arg(total.format());
    if (!shop.pixKey.isEmpty())
        lines << QStringLiteral("PIX: %1").arg(shop.pixKey);
    lines << QStringLiteral("Se já pagou, por favor desconsidere esta mensagem.");
    if (!shop.name.trimmed().isEmpty())
        lines << shop.name.trimmed();
    return lines.join(u'\n');
}

WhatsAppNumber whatsAppNumber(const QString& telephone) {
    QString d = Documents::digits(telephone);
    if (d.isEmpty())
        return {{}, PhoneProblem::Missing};
    if (d.startsWith(u'0')) {
        d.remove(0, 1);
        if (d.size() == 12 || d.size() == 13) // a carrier's code before the area code
            d.remove(0, 2);
    } else if (d.startsWith(QStringLiteral("55")) && (d.size() == 12 || d.size() == 13)) {
        d.remove(0, 2);
    }
    if (d.size() == 8 || d.size() == 9)
        return {{}, PhoneProblem::NoAreaCode};
    if (d.size() != 10 && d.size() != 11)
        return {{}, PhoneProblem::Invalid};
    if (d[0] == u'0' || d[1] == u'0')
        return {{}, PhoneProblem::Invalid};
    const QChar first = d[2];
    if (d.size() == 11 && first != u'9')
        return {{}, PhoneProblem::Invalid};
    if (d.size() == 10) {
        if (first >= u'6')
            d.insert(2, u'9');
        else if (first < u'2')
            return {{}, PhoneProblem::Invalid};
    }
    return {QStringLiteral("55") + d, PhoneProblem::None};
}

QString link(const QString& number, const QString& message) {
    return QStringLiteral("https://wa.me/%1?text=%2")
        .arg(number, QString::fromLatin1(QUrl::toPercentEncoding(message)));
}

} // namespace OverdueReminder
