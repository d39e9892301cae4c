#include "Books.h"

#include "backup/BackupJobs.h"
#include "backup/uBackup.h"
#include "cash/uVendasAvista.h"
#include "consultation/uConsulta.h"
#include "credit/uDividas.h"
#include "credit/uNovaDivida.h"
#include "credit/uPagamentos.h"
#include "customers/uCadCli.h"
#include "data/uDM.h"
#include "platform/core/Query.h"
#include "platform/widgets/DBGrid.h"
#include "platform/widgets/DataWidgets.h"
#include "platform/widgets/RadioGroup.h"
#include "platform/widgets/ScreenParts.h"

#include <QDir>
#include <QLineEdit>
#include <algorithm>

namespace {

Currency money(const QVariant& v) {
    if (v.isNull() || !v.isValid())
        return {};
    if (v.metaType() == QMetaType::fromType<Currency>())
        return v.value<Currency>();
    return Currency::fromDbText(v.toString());
}

QString normalPath(const QString& path) {
    return QDir::cleanPath(QDir::fromNativeSeparators(path));
}

// As typed, or as the field shows it once it has left the field ("R$ 10,00").
std::optional<Currency> typedMoney(const QString& text) {
    for (const auto parse : {&Currency::parse, &Currency::parseDisplayed}) {
        try {
            return parse(text);
        } catch (const std::exception&) {
        }
    }
    return std::nullopt;
}

std::optional<int> typedWhole(const QString& text) {
    try {
        return ScreenParts::wholeNumber(text);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

int currentCustomer() {
    return DM->TabCadCli.isOpen() && !DM->TabCadCli.isEmpty() ? DM->TabCadCliCODIGO.value().toInt() : 0;
}

} // namespace

void Books::open() {
    m_owed = openByCustomer();
}

QMap<int, Currency> Books::openByCustomer() {
    Query q(DM->FDConnection1);
    q.setSql(
        QStringLiteral("select c.CODIGO, (select sum(d.VALOR) from TABDIVIDAS d where d.CLIENTE = c.CODIGO "
                       "and d.STATUS_PAG = 'NP') from TABCADCLI c"));
    q.open();
    QMap<int, Currency> owed;
    for (int r = 0; r < q.recordCount(); ++r) {
        const Row row = q.rowAt(r);
        owed[row.value(0).toInt()] = money(row.value(1));
    }
    return owed;
}

std::optional<Books::Entry> Books::entry(int code) {
    Query q(DM->FDConnection1);
    q.setSql(
        QStringLiteral("select CLIENTE, VALOR, STATUS_PAG, VALOR_UN, QUANTIDADE, DESCRICAO from TABDIVIDAS "
                       "where CODIGO = :c"));
    q.setParam(QStringLiteral("c"), code);
    q.open();
    if (q.isEmpty())
        return std::nullopt;
    const Row row = q.rowAt(0);
    return Entry{code,
                 row.value(0).toInt(),
                 money(row.value(1)),
                 row.value(2).toString() == QLatin1String("NP"),
                 row.value(3),
                 row.value(4),
                 row.value(5).toString()};
}

void Books::add(int customer, Currency amount) {
    m_owed[customer] += amount;
    m_notes << QStringLiteral("customer %1 %2").arg(customer).arg(amount.format());
    ++m_changes;
}

void Books::watchItemFields() {
    if (std::exchange(m_watching, true))
        return;
    const auto watch = [this](QLineEdit* unit, QLineEdit* quantity) {
        m_lastText[unit] = unit->text();
        QObject::connect(unit, &QLineEdit::textChanged, unit, [this, unit, quantity](const QString& text) {
            const QString before = std::exchange(m_lastText[unit], text);
            if (text.isEmpty() && !before.isEmpty())
                m_cleared = Cleared{currentCustomer(), before, quantity->text()};
        });
    };
    watch(FNovaDivida->Edit2, FNovaDivida->Edit3);
    watch(FVendasAvista->Edit2, FVendasAvista->Edit3);
}

void Books::beforeEvent(QWidget* /*screen*/) {
    watchItemFields();
    m_pending.reset();
    m_failedThisEvent = false;
    m_refusedThisEvent = false;
    m_cleared.reset();
    m_corrected.reset();
    TableDataset& ledger = DM->TabDividas;
    if (ledger.isOpen() && ledger.isEditing())
        m_corrected = entry(ledger.oldValue(QStringLiteral("CODIGO")).toInt());
}

void Books::afterEvent(QWidget* /*screen*/, bool confirmKey) {
    if (m_pending && !m_failedThisEvent) {
        if (m_pending->forgetCustomer) {
            m_owed.remove(m_pending->customer);
            ++m_changes;
        }
        for (auto it = m_pending->change.cbegin(); it != m_pending->change.cend(); ++it)
            add(it.key(), it.value());
    }
    m_pending.reset();

    // An item is stored when a confirming key empties its value field without a word from the screen.
    const bool quiet = !m_failedThisEvent && !m_refusedThisEvent;
    if (confirmKey && quiet && m_cleared) {
        const auto unit = typedMoney(m_cleared->unit);
        const auto quantity = typedWhole(m_cleared->quantity);
        if (unit && quantity)
            add(m_cleared->customer, (*unit * *quantity).roundedToCents()); // the book holds cents
    }

    // A correction ended: if it was stored, the entry now owes its unit value times its quantity.
    if (m_corrected && !(DM->TabDividas.isOpen() && DM->TabDividas.isEditing())) {
        const std::optional<Entry> now = entry(m_corrected->code);
        const Entry& before = *m_corrected;
        const bool stored =
            now && (now->value != before.value || now->unit != before.unit ||
                    now->quantity != before.quantity || now->description != before.description);
        if (stored && before.open) {
            const Currency expected = !now->unit.isNull() && !now->quantity.isNull()
                                          ? (money(now->unit) * now->quantity.toInt()).roundedToCents()
                                          : before.value;
            add(before.customer, expected - before.value);
        }
    }
    m_corrected.reset();
}

void Books::answeredYes(QWidget* screen, const QString& question) {
    Pending p;
    if (question == QLatin1String("Deseja Confirmar o Pagamento?") && screen == FPagamentos) {
        const int customer = currentCustomer();
        switch (FPagamentos->RadioGroup1->itemIndex()) {
        case 1: { // a part, in whole units as typed
            const QString typed = FPagamentos->Edit1->text().trimmed();
            if (typed.isEmpty() ||
                !std::all_of(typed.cbegin(), typed.cend(), [](QChar c) { return c.isDigit(); }))
                return;
            const auto paid = typedMoney(typed);
            if (!paid)
                return;
            p.change[customer] -= *paid;
            break;
        }
        default: // everything open, or the rows picked: the sum the screen shows
            p.change[customer] -= Currency::parseDisplayed(FPagamentos->DBText3->text());
        }
    } else if (question == QLatin1String("Deseja Realmente Excluir?")) {
        const Dataset* rows = nullptr;
        if (screen == FConsulta)
            rows = FConsulta->DBGrid1->datasetModel()->dataset();
        else if (screen == FDividas || screen == FVendasAvista)
            rows = &DM->TabDividas;
        if (!rows || !rows->isOpen() || rows->recordNo() < 0)
            return;
        if (rows->value(QStringLiteral("STATUS_PAG")).toString() == QLatin1String("NP"))
            p.change[rows->value(QStringLiteral("CLIENTE")).toInt()] -=
                money(rows->value(QStringLiteral("VALOR")));
    } else if (question == QLatin1String("Deseja Realmente Excluir Este Cliente?")) {
        p.forgetCustomer = true;
        p.customer = currentCustomer();
    } else {
        return;
    }
    m_pending = p;
}

void Books::failed() {
    m_failedThisEvent = true;
}

void Books::informed(const QString& text, QWidget* screen) {
    if (screen != FBackup)
        return;
    if (text == QLatin1String("Backup realizado com sucesso!")) {
        QString directory = FBackup->Edit1->text();
        if (!directory.endsWith(QLatin1Char('/')))
            directory += QLatin1Char('/');
        m_backups[normalPath(directory + BackupJobs::FileName)] = m_owed;
        m_notes << QStringLiteral("backup into %1").arg(normalPath(directory + BackupJobs::FileName));
    } else if (text == QStringLiteral("Restauração realizado com sucesso!")) {
        const QString file = normalPath(FBackup->Edit2->text());
        // Only backups this run made can be restored: the file dialogs offer nothing else.
        m_owed = m_backups.value(file, {{-1, Currency::fromUnits(-1)}});
        m_notes << QStringLiteral("restore of %1%2")
                       .arg(file, m_backups.contains(file) ? QString() : QStringLiteral(" (unknown)"));
        ++m_changes;
    }
}

QStringList Books::differences() const {
    QStringList out;
    const QMap<int, Currency> stored = openByCustomer();
    QList<int> customers = stored.keys();
    for (int c : m_owed.keys())
        if (!customers.contains(c))
            customers << c;
    for (int c : customers) {
        const Currency inDb = stored.value(c);
        const Currency kept = m_owed.value(c);
        if (inDb != kept) {
            out << QStringLiteral("customer %1: database %2, screens %3")
                       .arg(c)
                       .arg(inDb.format(), kept.format());
            // The customer's entries as stored, to see which one differs.
            Query q(DM->FDConnection1);
            q.setSql(QStringLiteral(
                "select CODIGO, DESCRICAO, QUANTIDADE, VALOR_UN, VALOR, STATUS_PAG, CONTA from "
                "TABDIVIDAS where CLIENTE = :c order by CODIGO"));
            q.setParam(QStringLiteral("c"), c);
            q.open();
            for (int r = 0; r < q.recordCount(); ++r) {
                QStringList cells;
                for (const QVariant& v : q.rowAt(r))
                    cells << (v.metaType() == QMetaType::fromType<Currency>() ? v.value<Currency>().format()
                                                                              : v.toString());
                out << QStringLiteral("  ") + cells.join(QStringLiteral(" | "));
            }
        }
    }
    return out;
}

QStringList Books::orphans() const {
    QStringList out;
    const int lines =
        DM->FDConnection1
            .selectValue(QStringLiteral("select count(*) from TABDESC_COMPRAS d where not exists "
                                        "(select 1 from TABCADCLI c where c.CODIGO = d.CLIENTE)"))
            .toInt();
    const int entries =
        DM->FDConnection1
            .selectValue(QStringLiteral("select count(*) from TABDIVIDAS d where not exists "
                                        "(select 1 from TABCADCLI c where c.CODIGO = d.CLIENTE)"))
            .toInt();
    if (lines)
        out << QStringLiteral("%1 purchase lines without their customer").arg(lines);
    if (entries)
        out << QStringLiteral("%1 ledger entries without their customer").arg(entries);
    return out;
}
