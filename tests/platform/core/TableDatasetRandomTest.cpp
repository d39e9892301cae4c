// Long random sequences of what screens do to a table dataset, each step compared with a plain in-memory
// model: the table's rows in a map, the visible ones those the filter's own C++ evaluation lets through, in
// CODIGO order, and a cursor kept by the rules below. Enough rows that the dataset's 200-row window matters.
//
// A failure prints its seed and the operations before it; to replay one, or to run longer:
//   BROLAVI_RANDOM_SEED=<first seed> BROLAVI_RANDOM_SEEDS=<how many> BROLAVI_RANDOM_STEPS=<per seed>
//   BROLAVI_RANDOM_TRACE=1 prints every operation.

#include "Printers.h"
#include "ScratchDatabase.h"
#include "platform/core/Errors.h"
#include "platform/core/FilterExpression.h"
#include "platform/core/Transaction.h"

#include <gtest/gtest.h>
#include <ibase.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <iostream>
#include <map>
#include <optional>
#include <random>
#include <stdexcept>
#include <utility>
#include <vector>

namespace {

using Rng = std::mt19937;

int pick(Rng& rng, int lo, int hi) {
    return std::uniform_int_distribution<int>(lo, hi)(rng);
}
bool chance(Rng& rng, int percent) {
    return pick(rng, 0, 99) < percent;
}
QString oneOf(Rng& rng, const QStringList& list) {
    return list[pick(rng, 0, int(list.size()) - 1)];
}

bool isNull(const QVariant& v) {
    return !v.isValid() || v.isNull();
}

QString show(const QVariant& v) {
    if (isNull(v))
        return QStringLiteral("NULL");
    if (v.metaType() == QMetaType::fromType<Currency>())
        return v.value<Currency>().toDbText();
    if (v.metaType().id() == QMetaType::QString)
        return FilterExpression::quoted(v.toString());
    return v.toString();
}

bool same(const QVariant& a, const QVariant& b, ColumnType type) {
    if (isNull(a) || isNull(b))
        return isNull(a) && isNull(b);
    switch (type) {
    case ColumnType::Integer:
    case ColumnType::BigInt:
        return a.toLongLong() == b.toLongLong();
    case ColumnType::Numeric:
        return a.value<Currency>() == b.value<Currency>();
    default:
        return a.toString() == b.toString();
    }
}

// What a run writes into one table: the columns besides CODIGO with the values they take, the filters screens
// set on it, the columns they look rows up by, and the aggregate bound labels show.
struct Table {
    QString name;
    struct Column {
        QString name;
        std::function<QVariant(Rng&)> value;
    };
    QVector<Column> columns;
    QStringList filters;
    QStringList locateColumns;
    QString aggregate;
    QString aggregateColumn;
};

QVariant maybeNull(Rng& rng, int percent, QVariant v) {
    return chance(rng, percent) ? QVariant() : v;
}

// Text values that tell exact comparison apart from SQL's: trailing blanks, case, accents, apostrophes and
// the characters LIKE treats specially.
const QStringList& trickyTexts() {
    static const QStringList texts = {QStringLiteral("MA"),     QStringLiteral("MA "),
                                      QStringLiteral("ma"),     QStringLiteral("MARIA"),
                                      QStringLiteral("MAÇÃ"),   QStringLiteral("PÃO"),
                                      QStringLiteral("A_B"),    QStringLiteral("AXB"),
                                      QStringLiteral("A%B"),    QStringLiteral("O'BRIEN"),
                                      QStringLiteral(""),       QStringLiteral("MA_RIA"),
                                      QStringLiteral("MARCOS"), QStringLiteral("JOSÉ DA SILVA")};
    return texts;
}

Table ledger() {
    Table t;
    t.name = QStringLiteral("TABDIVIDAS");
    // Customer 3 holds about a third of the rows: its open entries straddle the 200-row window.
    t.columns = {
        {QStringLiteral("CLIENTE"),
         [](Rng& r) {
             const int k = pick(r, 0, 99);
             if (k < 40)
                 return QVariant(3);
             if (k < 50)
                 return QVariant(12);
             if (k < 60)
                 return QVariant(QVector<int>{13, 30, 31, 33}[pick(r, 0, 3)]);
             if (k < 95)
                 return QVariant(pick(r, 1, 40));
             return QVariant();
         }},
        {QStringLiteral("STATUS_PAG"),
         [](Rng& r) {
             const int k = pick(r, 0, 99);
             return k < 60 ? QVariant(QStringLiteral("NP"))
                           : (k < 97 ? QVariant(QStringLiteral("PG")) : QVariant());
         }},
        {QStringLiteral("CONTA"),
         [](Rng& r) {
             const int k = pick(r, 0, 99);
             if (k < 60)
                 return QVariant(QStringLiteral("N"));
             if (k < 75)
                 return QVariant(QStringLiteral("P"));
             return k < 95 ? QVariant(QStringLiteral("V")) : QVariant();
         }},
        {QStringLiteral("VALOR"),
         [](Rng& r) {
             return maybeNull(r, 5, QVariant::fromValue(Currency::fromCents(pick(r, -5000, 200000))));
         }},
        {QStringLiteral("DESCRICAO"),
         [](Rng& r) {
             return maybeNull(r, 10, oneOf(r, trickyTexts()));
         }},
    };
    t.filters = {
        QString(),
        QStringLiteral("Cliente LIKE'3'AND Status_Pag ='NP'AND Conta <>'V'"),
        QStringLiteral("Cliente LIKE'3'AND Status_Pag ='NP'"),
        QStringLiteral("Cliente LIKE'12'AND Status_Pag ='NP'AND Conta <>'V'"),
        QStringLiteral("Cliente LIKE'12'AND Status_Pag ='NP'"),
        QStringLiteral("Status_Pag ='NP'"),
        QStringLiteral("Conta <>'V'"),
        QStringLiteral("Cliente LIKE'3%'"),
        QStringLiteral("Cliente ='3'AND Codigo <>'40'"),
        QStringLiteral("Cliente LIKE'99'AND Status_Pag ='NP'"),
        QStringLiteral("Descricao LIKE'MA%'"),
        QStringLiteral("DESCRICAO ='MA'"),
        QStringLiteral("Descricao LIKE'A_B'"),
        QStringLiteral("Descricao LIKE'A_%B'"),
        QStringLiteral("Descricao <>'MAÇÃ'AND Status_Pag ='NP'"),
        QStringLiteral("Descricao LIKE'O''B%'AND Status_Pag ='NP'"),
    };
    t.locateColumns = {QStringLiteral("CODIGO"), QStringLiteral("CLIENTE"), QStringLiteral("DESCRICAO"),
                       QStringLiteral("STATUS_PAG"), QStringLiteral("VALOR")};
    t.aggregate = QStringLiteral("Soma");
    t.aggregateColumn = QStringLiteral("VALOR");
    return t;
}

Table customers() {
    Table t;
    t.name = QStringLiteral("TABCADCLI");
    t.columns = {
        {QStringLiteral("NOME"),
         [](Rng& r) {
             if (chance(r, 5))
                 return QVariant(QStringLiteral("CLIENTE AVULSO"));
             QString name = oneOf(r, trickyTexts());
             if (chance(r, 50))
                 name += QStringLiteral(" %1").arg(pick(r, 1, 99));
             return QVariant(name);
         }},
        {QStringLiteral("CPF"),
         [](Rng& r) {
             return maybeNull(
                 r, 50, oneOf(r, {QStringLiteral("123"), QStringLiteral("123 "), QStringLiteral("456.789")}));
         }},
        {QStringLiteral("CIDADE"),
         [](Rng& r) {
             return maybeNull(
                 r, 30,
                 oneOf(r, {QStringLiteral("SÃO PAULO"), QStringLiteral("SANTOS"), QStringLiteral("RIO")}));
         }},
    };
    t.filters = {
        QString(),
        QStringLiteral("NOME <>'CLIENTE AVULSO'"),
        QStringLiteral("NOME LIKE'MA%'AND NOME <>'CLIENTE AVULSO'"),
        QStringLiteral("NOME LIKE'MA%'"),
        QStringLiteral("NOME LIKE'CLIENTE AVULSO'"),
        QStringLiteral("NOME LIKE'%A'"),
        QStringLiteral("NOME LIKE'%A_%'"),
        QStringLiteral("NOME <>'JOSÉ DA SILVA'AND NOME <>'CLIENTE AVULSO'"),
        QStringLiteral("NOME LIKE'MA_%'"),
        QStringLiteral("NOME LIKE'O''B%'"),
        QStringLiteral("NOME ='MA'"),
        QStringLiteral("CPF ='123'"),
        QStringLiteral("Cidade LIKE'S%'AND NOME <>'CLIENTE AVULSO'"),
        QStringLiteral("Codigo LIKE'1%'"),
        QStringLiteral("NOME LIKE'ZZ%'"),
    };
    t.locateColumns = {QStringLiteral("CODIGO"), QStringLiteral("NOME"), QStringLiteral("CPF")};
    return t;
}

// The dataset's documented behaviour, written plainly. Where it differs from a naive cursor:
// - A write (post, delete) or a unit's end does not read the view at once: the dataset stands on "the row at
//   or after the written key, else the last row" when someone next looks (eof, bof, recordNo, a value, a row,
//   a move or locate, edit, delete). first() and last() do not look at the pending row at all.
// - A new filter (or the filter switched on or off) keeps the current row if the new view shows it, else
//   goes to the first row; when a write is still pending, the written row is the one kept, not the row the
//   dataset would have moved to after it.
// - eof and bof are set by first, last, and a next or prior that finds no row; any other move (moveTo,
//   locate, a step inside the view) clears both, even onto the first or last row. Reading the view again
//   after a write clears both unless the view is empty. A kept row after a new filter has bof exactly when it
//   is the first.
// - moveTo and rowAt with a negative index do nothing at all, not even read the pending view.
// - Moving, locating, filtering or appending while editing posts first; switching the filter to the state it
//   already has does not.
// - Cancelling an append goes back to where the dataset stood, pending view included. A unit's end cancels an
//   unposted edit, commit or not.
class Model {
public:
    enum class Pending { None, First, At, Keep };
    enum class State { Browse, Edit, Insert };
    struct Cursor {
        std::optional<int> current;
        bool eof = true;
        bool bof = true;
        Pending pending = Pending::First;
        int pendingKey = 0;
    };

    explicit Model(TableSchema schema)
        : m_schema(std::move(schema))
        , m_key(m_schema.keyColumn) {}

    int keyColumn() const { return m_key; }

    std::map<int, Row> rows;
    Cursor cursor;
    State state = State::Browse;
    Row buffer;
    bool filtered = false;

    void rowsChanged() { m_viewValid = false; }

    const std::vector<int>& view() const {
        if (!m_viewValid) {
            m_view.clear();
            const bool apply = filtered && !m_filter.isEmpty();
            for (const auto& [key, row] : rows)
                if (!apply || m_filter.matches(row))
                    m_view.push_back(key);
            m_viewValid = true;
        }
        return m_view;
    }
    int size() const { return int(view().size()); }
    int position(int key) const {
        const auto& v = view();
        auto it = std::lower_bound(v.begin(), v.end(), key);
        return it != v.end() && *it == key ? int(it - v.begin()) : -1;
    }
    const Row& row(int key) const { return rows.at(key); }

    Cursor resolved() const {
        Cursor c = cursor;
        settle(c);
        return c;
    }
    void resolve() { settle(cursor); }
    int recordNo() const { return cursor.current ? position(*cursor.current) : -1; }

    void first() {
        checkBrowseMode();
        cursor.pending = Pending::None;
        atFirst(cursor);
    }
    void last() {
        checkBrowseMode();
        cursor.pending = Pending::None;
        const auto& v = view();
        cursor.current = v.empty() ? std::nullopt : std::optional<int>(v.back());
        cursor.eof = true;
        cursor.bof = v.empty();
    }
    void next() { step(+1); }
    void prior() { step(-1); }
    void moveTo(int index) {
        checkBrowseMode();
        if (index < 0)
            return;
        resolve();
        if (index < size()) {
            cursor.current = view()[index];
            cursor.eof = cursor.bof = false;
        }
    }
    std::optional<int> rowAt(int index) {
        if (index < 0)
            return std::nullopt;
        resolve();
        return index < size() ? std::optional<int>(view()[index]) : std::nullopt;
    }
    bool locate(int column, const QVariant& value) {
        checkBrowseMode();
        resolve();
        for (int key : view()) {
            if (same(rows.at(key)[column], value, m_schema.columns[column].type)) {
                cursor.current = key;
                cursor.eof = cursor.bof = false;
                return true;
            }
        }
        return false;
    }

    // False where the dataset refuses (no current row).
    bool edit() {
        if (state != State::Browse)
            return true;
        resolve();
        if (!cursor.current)
            return false;
        buffer = rows.at(*cursor.current);
        state = State::Edit;
        return true;
    }
    void append() {
        checkBrowseMode();
        m_saved = cursor;
        buffer = Row(m_schema.columns.size());
        state = State::Insert;
    }
    void setValue(int column, const QVariant& value) { buffer[column] = value; }
    void post() {
        if (state == State::Browse)
            return;
        const int key = buffer[m_key].toInt();
        if (state == State::Edit && key != *cursor.current)
            rows.erase(*cursor.current);
        rows[key] = buffer;
        rowsChanged();
        state = State::Browse;
        buffer.clear();
        written(key);
    }
    void cancel() {
        if (state == State::Insert)
            cursor = m_saved;
        state = State::Browse;
        buffer.clear();
    }
    bool remove() {
        if (state == State::Insert) {
            cancel();
            return true;
        }
        resolve();
        if (!cursor.current)
            return false;
        const int key = *cursor.current;
        rows.erase(key);
        rowsChanged();
        state = State::Browse;
        buffer.clear();
        written(key);
        return true;
    }
    void checkBrowseMode() {
        if (state != State::Browse)
            post();
    }

    void setFilter(const QString& text) {
        FilterExpression parsed = FilterExpression::parse(text);
        parsed.bind(m_schema);
        if (filtered)
            checkBrowseMode();
        m_filter = std::move(parsed);
        rowsChanged();
        if (filtered)
            keepCurrent();
    }
    void setFiltered(bool on) {
        if (on == filtered)
            return;
        checkBrowseMode();
        filtered = on;
        rowsChanged();
        keepCurrent();
    }
    void refilter(const QString& text) {
        setFiltered(false);
        setFilter(text);
        setFiltered(true);
    }

    void unitEnded(const std::map<int, Row>* restored) {
        if (state != State::Browse)
            cancel();
        if (restored) {
            rows = *restored;
            rowsChanged();
        }
        if (cursor.pending != Pending::None)
            return;
        if (cursor.current) {
            written(*cursor.current);
        } else {
            cursor.pending = Pending::First;
        }
    }

    int nextCode() const { return rows.empty() ? 1 : rows.rbegin()->first + 1; }

    std::optional<Currency> sum(int column) const {
        std::optional<Currency> total;
        for (int key : view()) {
            const QVariant& v = rows.at(key)[column];
            if (!isNull(v))
                total = total.value_or(Currency()) + v.value<Currency>();
        }
        return total;
    }

private:
    void step(int direction) {
        checkBrowseMode();
        resolve();
        bool& end = direction > 0 ? cursor.eof : cursor.bof;
        if (!cursor.current) {
            end = true;
            return;
        }
        const int to = position(*cursor.current) + direction;
        if (to < 0 || to >= size()) {
            end = true;
            return;
        }
        cursor.current = view()[to];
        cursor.eof = cursor.bof = false;
    }
    void written(int key) {
        cursor.current.reset();
        cursor.pending = Pending::At;
        cursor.pendingKey = key;
    }
    void keepCurrent() {
        std::optional<int> key;
        if (cursor.pending == Pending::None)
            key = cursor.current;
        else if (cursor.pending != Pending::First)
            key = cursor.pendingKey;
        cursor.current.reset();
        cursor.pending = key ? Pending::Keep : Pending::First;
        cursor.pendingKey = key.value_or(0);
    }
    void atFirst(Cursor& c) const {
        const auto& v = view();
        c.current = v.empty() ? std::nullopt : std::optional<int>(v.front());
        c.bof = true;
        c.eof = v.empty();
    }
    void settle(Cursor& c) const {
        const auto& v = view();
        switch (c.pending) {
        case Pending::None:
            return;
        case Pending::First:
            atFirst(c);
            break;
        case Pending::At: {
            auto it = std::lower_bound(v.begin(), v.end(), c.pendingKey);
            if (it != v.end())
                c.current = *it;
            else if (!v.empty())
                c.current = v.back();
            else
                c.current.reset();
            c.eof = c.bof = !c.current;
            break;
        }
        case Pending::Keep:
            if (const int p = position(c.pendingKey); p >= 0) {
                c.current = c.pendingKey;
                c.bof = p == 0;
                c.eof = false;
            } else {
                atFirst(c);
            }
            break;
        }
        c.pending = Pending::None;
    }

    TableSchema m_schema;
    int m_key;
    FilterExpression m_filter;
    Cursor m_saved;
    mutable std::vector<int> m_view;
    mutable bool m_viewValid = false;
};

// Every post and delete commits on its own, and with the engine's forced writes each commit waits on the disk
// several times over. A run's own copy of the database writes through the file cache instead: nothing
// compared depends on it, and the run takes a fraction of the time on a shared disk.
QString withoutForcedWrites(const QString& path) {
    QByteArray dpb(1, char(isc_dpb_version1));
    auto add = [&dpb](char tag, const QByteArray& value) {
        dpb += tag;
        dpb += char(value.size());
        dpb += value;
    };
    add(isc_dpb_user_name, ScratchDatabase::UserName.toUtf8());
    add(isc_dpb_password, ScratchDatabase::Password.toUtf8());
    add(isc_dpb_force_write, QByteArray(1, '\0'));
    ISC_STATUS_ARRAY status{};
    isc_db_handle db = 0;
    const QByteArray file = path.toUtf8();
    if (isc_attach_database(status, 0, file.constData(), &db, short(dpb.size()), dpb.constData()) ||
        isc_detach_database(status, &db))
        throw std::runtime_error("cannot switch forced writes off");
    return path;
}

// One seed's run: a fresh database, the dataset over the table, and the model beside it.
class Run {
public:
    Run(const Table& table, unsigned seed)
        : m_table(table)
        , m_seed(seed)
        , m_rng(seed)
        , m_tables(withoutForcedWrites(m_db.path()))
        , m_ds(table.name == u"TABDIVIDAS" ? m_tables.ledger : m_tables.customers)
        , m_model(m_ds.schema())
        , m_trace(qEnvironmentVariableIntValue("BROLAVI_RANDOM_TRACE") != 0) {
        for (const Table::Column& c : table.columns)
            m_columns << m_ds.columnIndex(c.name);
    }

    // Runs the steps; false (with a test failure reported) at the first disagreement.
    bool run(int steps) {
        seed();
        m_ds.open();
        for (m_step = 1; m_step <= steps; ++m_step) {
            try {
                randomOperation(true);
                check();
                if (m_step % 97 == 0)
                    compareView();
            } catch (const BrolaviError& e) {
                fail(QStringLiteral("unexpected error: ") + e.message());
            }
            if (!m_failure.isEmpty()) {
                ADD_FAILURE() << "seed " << m_seed << ", step " << m_step << ": " << m_failure.toStdString()
                              << "\nreplay with BROLAVI_RANDOM_SEED=" << m_seed
                              << " BROLAVI_RANDOM_STEPS=" << m_step << "\nlast operations:\n"
                              << QStringList(m_log.begin(), m_log.end()).join(u'\n').toStdString();
                return false;
            }
        }
        return true;
    }

private:
    enum Op {
        First,
        Last,
        Next,
        Prior,
        Walk,
        MoveTo,
        Peek,
        Locate,
        Refilter,
        SetFilter,
        FilterOff,
        FilterOn,
        Append,
        Edit,
        EditCancel,
        AppendCancel,
        EditThenMove,
        Delete,
        DeleteWhileEditing,
        DuplicateAppend,
        Batch,
        Unit,
        WalkWhole,
        OpCount
    };
    // How often each operation comes: alone (each then compared), and inside a batch or a unit. Inside,
    // writes and filters come often, so that a read still pending meets the next operation.
    struct Weight {
        int alone;
        int inside;
    };
    static Weight weight(Op op) {
        static constexpr Weight weights[OpCount] = {
            {5, 3},  // First
            {5, 3},  // Last
            {10, 5}, // Next
            {8, 5},  // Prior
            {5, 2},  // Walk
            {8, 5},  // MoveTo
            {4, 5},  // Peek
            {6, 5},  // Locate
            {5, 12}, // Refilter
            {1, 3},  // SetFilter
            {1, 3},  // FilterOff
            {1, 3},  // FilterOn
            {8, 12}, // Append
            {7, 8},  // Edit
            {3, 3},  // EditCancel
            {3, 10}, // AppendCancel
            {4, 6},  // EditThenMove
            {5, 8},  // Delete
            {1, 1},  // DeleteWhileEditing
            {1, 0},  // DuplicateAppend
            {6, 0},  // Batch
            {2, 0},  // Unit
            {1, 0},  // WalkWhole
        };
        return weights[op];
    }

    // Outside a unit every operation may run; inside one (units do not nest) or a batch, the plain ones.
    void randomOperation(bool top) {
        auto w = [top](Op op) {
            return top ? weight(op).alone : weight(op).inside;
        };
        int total = 0;
        for (int op = 0; op < OpCount; ++op)
            total += w(Op(op));
        int k = pick(m_rng, 0, total - 1);
        Op op = First;
        while (k >= w(op)) {
            k -= w(op);
            op = Op(op + 1);
        }
        perform(op);
    }

    void perform(Op op) {
        switch (op) {
        case First:
            note(QStringLiteral("first"));
            m_ds.first();
            m_model.first();
            break;
        case Last:
            note(QStringLiteral("last"));
            m_ds.last();
            m_model.last();
            break;
        case Next:
            note(QStringLiteral("next"));
            m_ds.next();
            m_model.next();
            break;
        case Prior:
            note(QStringLiteral("prior"));
            m_ds.prior();
            m_model.prior();
            break;
        case Walk:
            walk();
            break;
        case MoveTo:
            moveTo();
            break;
        case Peek:
            peek();
            break;
        case Locate:
            locate();
            break;
        case Refilter: {
            const QString text = oneOf(m_rng, m_table.filters);
            note(QStringLiteral("refilter ") + text);
            m_ds.refilter(text);
            m_model.refilter(text);
            break;
        }
        case SetFilter: {
            const QString text = oneOf(m_rng, m_table.filters);
            note(QStringLiteral("setFilter ") + text);
            m_ds.setFilter(text);
            m_model.setFilter(text);
            break;
        }
        case FilterOff:
            note(QStringLiteral("setFiltered(false)"));
            m_ds.setFiltered(false);
            m_model.setFiltered(false);
            break;
        case FilterOn:
            note(QStringLiteral("setFiltered(true)"));
            m_ds.setFiltered(true);
            m_model.setFiltered(true);
            break;
        case Append:
            append(true);
            break;
        case Edit:
            if (edit())
                post();
            break;
        case EditCancel:
            if (edit())
                cancel();
            break;
        case AppendCancel:
            append(false);
            if (chance(m_rng, 30)) {
                note(QStringLiteral("remove (cancels the insert)"));
                m_ds.remove();
                m_model.remove();
            } else {
                cancel();
            }
            break;
        case EditThenMove: {
            if (!edit())
                break;
            m_wrote = true;
            // The move posts; so do filtering and appending.
            static constexpr Op moves[] = {First,    Last,      Next,     Prior,  MoveTo, Locate,
                                           Refilter, FilterOff, FilterOn, Append, Peek};
            perform(moves[pick(m_rng, 0, int(std::size(moves)) - 1)]);
            break;
        }
        case Delete:
            remove();
            break;
        case DeleteWhileEditing:
            if (edit())
                remove();
            break;
        case DuplicateAppend:
            duplicateAppend();
            break;
        case Batch: {
            const int n = pick(m_rng, 2, 5);
            note(QStringLiteral("batch of %1, unobserved:").arg(n));
            for (int i = 0; i < n && m_failure.isEmpty(); ++i)
                randomOperation(false);
            note(QStringLiteral("end of batch"));
            break;
        }
        case Unit:
            unit();
            break;
        case WalkWhole:
            walkWhole();
            break;
        case OpCount:
            break;
        }
    }

    void walk() {
        const bool forward = chance(m_rng, 50);
        const int n = chance(m_rng, 20) ? pick(m_rng, 150, 260) : pick(m_rng, 2, 40);
        note(QStringLiteral("%1 x%2, unobserved")
                 .arg(forward ? QStringLiteral("next") : QStringLiteral("prior"))
                 .arg(n));
        for (int i = 0; i < n; ++i) {
            if (forward) {
                m_ds.next();
                m_model.next();
            } else {
                m_ds.prior();
                m_model.prior();
            }
        }
    }

    // Far, near, at the chunk edges, at both ends and past them.
    int someIndex() {
        const int n = m_model.size();
        const int k = pick(m_rng, 0, 99);
        if (k < 30)
            return pick(m_rng, 0, std::max(0, n - 1));
        if (k < 45)
            return n - 1;
        if (k < 55)
            return 0;
        if (k < 70)
            return 200 * pick(m_rng, 1, 7) + pick(m_rng, -1, 1);
        if (k < 80)
            return n + pick(m_rng, 0, 3);
        if (k < 85)
            return -1;
        const Model::Cursor c = m_model.resolved();
        const int at = c.current ? m_model.position(*c.current) : 0;
        return std::max(0, at + pick(m_rng, -3, 3));
    }

    void moveTo() {
        const int index = someIndex();
        note(QStringLiteral("moveTo %1").arg(index));
        m_ds.moveTo(index);
        m_model.moveTo(index);
    }

    // What a grid does: reads a page of rows by position without moving the cursor.
    void peek() {
        const int from = someIndex();
        const int count = pick(m_rng, 1, 25);
        note(QStringLiteral("rowAt %1..%2").arg(from).arg(from + count - 1));
        for (int i = from; i < from + count && m_failure.isEmpty(); ++i)
            compareRow(i, m_ds.rowAt(i), m_model.rowAt(i));
    }

    void locate() {
        const QString column = oneOf(m_rng, m_table.locateColumns);
        const int c = m_ds.columnIndex(column);
        QVariant value;
        if (!m_model.rows.empty() && chance(m_rng, 75)) {
            // A value some row holds, visible or not.
            auto it = m_model.rows.begin();
            std::advance(it, pick(m_rng, 0, int(m_model.rows.size()) - 1));
            value = it->second[c];
        } else if (c == m_model.keyColumn()) {
            value = pick(m_rng, 0, m_model.nextCode() + 5);
        } else {
            value = generated(c);
        }
        note(QStringLiteral("locate %1 = %2").arg(column, show(value)));
        const bool found = m_ds.locate(column, value);
        if (found != m_model.locate(c, value))
            fail(QStringLiteral("locate found %1").arg(found));
    }

    QVariant generated(int column) {
        for (int i = 0; i < m_columns.size(); ++i)
            if (m_columns[i] == column)
                return m_table.columns[i].value(m_rng);
        return QVariant();
    }

    int unusedCode() {
        const int top = m_model.nextCode() + 20;
        for (int tries = 0; tries < 20; ++tries) {
            const int code = pick(m_rng, 1, top);
            if (!m_model.rows.count(code))
                return code;
        }
        return m_model.nextCode();
    }

    void setValue(int column, const QVariant& value) {
        m_ds.setValue(column, value);
        m_model.setValue(column, value);
    }

    // Sets every column, some left NULL (those that may be).
    void fillNewRow(int code) {
        setValue(m_model.keyColumn(), code);
        for (int i = 0; i < m_columns.size(); ++i)
            if (m_ds.schema().columns[m_columns[i]].notNull || !chance(m_rng, 10))
                setValue(m_columns[i], m_table.columns[i].value(m_rng));
    }

    // The code is chosen once appending has posted whatever was being edited.
    void append(bool andPost) {
        m_ds.append();
        m_model.append();
        const int code = chance(m_rng, 50) ? m_ds.nextCode() : unusedCode();
        note(QStringLiteral("append %1").arg(code));
        fillNewRow(code);
        if (andPost)
            post();
    }

    bool edit() {
        note(QStringLiteral("edit"));
        bool refused = false;
        try {
            m_ds.edit();
        } catch (const DatasetStateError&) {
            refused = true;
        }
        if (refused == m_model.edit())
            fail(QStringLiteral("edit %1").arg(refused ? QStringLiteral("refused")
                                                       : QStringLiteral("allowed")));
        if (refused || !m_failure.isEmpty())
            return false;
        const int n = pick(m_rng, 1, 3);
        for (int i = 0; i < n; ++i) {
            const int which = pick(m_rng, 0, int(m_columns.size()) - 1);
            const QVariant v = m_table.columns[which].value(m_rng);
            note(QStringLiteral("  %1 := %2").arg(m_table.columns[which].name, show(v)));
            setValue(m_columns[which], v);
        }
        if (chance(m_rng, 3)) {
            const int code = unusedCode();
            note(QStringLiteral("  CODIGO := %1").arg(code));
            setValue(m_model.keyColumn(), code);
        }
        return true;
    }

    void post() {
        note(QStringLiteral("post"));
        m_wrote = true;
        m_ds.post();
        m_model.post();
    }

    void cancel() {
        note(QStringLiteral("cancel"));
        m_ds.cancel();
        m_model.cancel();
    }

    void remove() {
        note(QStringLiteral("remove"));
        m_wrote = true;
        bool refused = false;
        try {
            m_ds.remove();
        } catch (const DatasetStateError&) {
            refused = true;
        }
        if (refused == m_model.remove())
            fail(QStringLiteral("remove %1")
                     .arg(refused ? QStringLiteral("refused") : QStringLiteral("allowed")));
    }

    // A post the database refuses leaves the row being written as it was; cancelling then goes back.
    void duplicateAppend() {
        m_ds.append();
        m_model.append();
        if (m_model.rows.empty())
            return cancel();
        auto it = m_model.rows.begin();
        std::advance(it, pick(m_rng, 0, int(m_model.rows.size()) - 1));
        note(QStringLiteral("append duplicate %1").arg(it->first));
        fillNewRow(it->first);
        try {
            m_ds.post();
            return fail(QStringLiteral("a duplicate key was posted"));
        } catch (const DatabaseError&) {
        }
        if (m_ds.state() != TableDataset::State::Insert)
            return fail(QStringLiteral("a failed post left the insert"));
        cancel();
    }

    // A unit of work: writes that commit together or not at all, possibly with an edit still open at the end.
    void unit() {
        const bool commit = chance(m_rng, 50);
        const int n = pick(m_rng, 1, 5);
        note(QStringLiteral("unit of %1, %2")
                 .arg(n)
                 .arg(commit ? QStringLiteral("commit") : QStringLiteral("roll back")));
        const std::map<int, Row> before = m_model.rows;
        {
            Transaction unit(m_tables.connection);
            for (int i = 0; i < n && m_failure.isEmpty(); ++i) {
                randomOperation(false);
                if (m_failure.isEmpty())
                    check();
            }
            if (!m_failure.isEmpty())
                return;
            if (chance(m_rng, 20) && edit())
                note(QStringLiteral("(left unposted)"));
            if (!m_failure.isEmpty())
                return;
            if (commit) {
                unit.commit();
                m_model.unitEnded(nullptr);
            }
        }
        if (!commit)
            m_model.unitEnded(&before);
        m_wrote = true;
        note(QStringLiteral("end of unit"));
    }

    // The screens' loops: forward to eof, then back to bof, every row compared on the way.
    void walkWhole() {
        note(QStringLiteral("walk the whole view forward and back"));
        m_ds.first();
        m_model.first();
        for (int guard = 0; m_failure.isEmpty() && guard <= m_model.size(); ++guard) {
            check(true);
            if (m_model.cursor.eof)
                break;
            m_ds.next();
            m_model.next();
        }
        m_ds.last();
        m_model.last();
        for (int guard = 0; m_failure.isEmpty() && guard <= m_model.size(); ++guard) {
            check(true);
            if (m_model.cursor.bof)
                break;
            m_ds.prior();
            m_model.prior();
        }
    }

    void compareRow(int index, const Row& got, std::optional<int> key) {
        if (!key) {
            if (!got.isEmpty())
                fail(QStringLiteral("rowAt(%1) gave a row past the end").arg(index));
            return;
        }
        if (got.isEmpty())
            return fail(QStringLiteral("rowAt(%1) gave no row, expected %2").arg(index).arg(*key));
        compareValues(
            QStringLiteral("rowAt(%1)").arg(index), [&](int c) { return got.value(c); }, m_model.row(*key));
    }

    void compareValues(const QString& what, const std::function<QVariant(int)>& got, const Row& expected) {
        QVector<int> columns = m_columns;
        columns << m_model.keyColumn();
        for (int c : columns) {
            const QVariant v = got(c);
            if (!same(v, expected[c], m_ds.schema().columns[c].type))
                return fail(QStringLiteral("%1: %2 is %3, expected %4")
                                .arg(what, m_ds.schema().columns[c].name, show(v), show(expected[c])));
        }
    }

    // light: what a loop over the rows looks at, no counts or sums.
    void check(bool light = false) {
        if (!m_failure.isEmpty())
            return;
        m_model.resolve(); // the dataset reads the pending view on the first of the calls below
        const Model::Cursor& c = m_model.cursor;
        const int count = m_model.size();
        const bool editing = m_model.state != Model::State::Browse;
        const int recordNo = m_ds.recordNo();
        if (recordNo != m_model.recordNo())
            return fail(QStringLiteral("recordNo %1, expected %2").arg(recordNo).arg(m_model.recordNo()));
        if (m_ds.isEditing() != editing)
            return fail(QStringLiteral("editing %1").arg(m_ds.isEditing()));
        if (!editing) {
            const QVariant key = m_ds.keyValue();
            if (isNull(key) != !c.current || (c.current && key.toInt() != *c.current))
                return fail(
                    QStringLiteral("current %1, expected %2")
                        .arg(show(key), c.current ? QString::number(*c.current) : QStringLiteral("none")));
            if (c.current)
                compareValues(
                    QStringLiteral("current row"), [&](int col) { return m_ds.value(col); },
                    m_model.row(*c.current));
        } else {
            compareValues(
                QStringLiteral("row being edited"), [&](int col) { return m_ds.value(col); }, m_model.buffer);
        }
        if (m_ds.eof() != c.eof || m_ds.bof() != c.bof)
            return fail(QStringLiteral("eof %1 bof %2, expected eof %3 bof %4")
                            .arg(m_ds.eof())
                            .arg(m_ds.bof())
                            .arg(c.eof)
                            .arg(c.bof));
        if (m_ds.isEmpty() != (!c.current && m_model.state != Model::State::Insert))
            return fail(QStringLiteral("isEmpty %1").arg(m_ds.isEmpty()));
        if (light)
            return;
        if (const int known = m_ds.knownRowCount(); known != -1 && known != count)
            return fail(QStringLiteral("knownRowCount %1, expected %2 or -1").arg(known).arg(count));
        if (const int n = m_ds.recordCount(); n != count)
            return fail(QStringLiteral("recordCount %1, expected %2").arg(n).arg(count));
        if (!m_table.aggregate.isEmpty()) {
            const std::optional<Currency> got = m_ds.aggregate(m_table.aggregate);
            const std::optional<Currency> expected = m_model.sum(m_ds.columnIndex(m_table.aggregateColumn));
            if (got != expected)
                return fail(QStringLiteral("%1 %2, expected %3")
                                .arg(m_table.aggregate, got ? got->toDbText() : QStringLiteral("empty"),
                                     expected ? expected->toDbText() : QStringLiteral("empty")));
        }
        if (std::exchange(m_wrote, false) && m_ds.nextCode() != m_model.nextCode())
            return fail(
                QStringLiteral("nextCode %1, expected %2").arg(m_ds.nextCode()).arg(m_model.nextCode()));
    }

    // The whole view, the way a grid reads it.
    void compareView() {
        for (int i = 0; i <= m_model.size() && m_failure.isEmpty(); ++i)
            compareRow(i, m_ds.rowAt(i), m_model.rowAt(i));
    }

    void note(const QString& what) {
        if (m_trace)
            std::cerr << m_step << ": " << what.toStdString() << '\n';
        m_log.push_back(QStringLiteral("%1: %2").arg(m_step).arg(what));
        if (m_log.size() > 40)
            m_log.pop_front();
    }

    void fail(const QString& what) {
        if (m_failure.isEmpty())
            m_failure = what;
    }

    // 600 to 1,500 rows with gaps between their codes, so that appends land before, inside and after the
    // window and views of one customer both fit in one chunk and do not.
    void seed() {
        const int n = pick(m_rng, 600, 1500);
        QStringList names{m_ds.schema().columns[m_model.keyColumn()].name};
        QStringList marks{QStringLiteral("?")};
        for (const Table::Column& c : m_table.columns) {
            names << c.name;
            marks << QStringLiteral("?");
        }
        const QString sql = QStringLiteral("insert into %1 (%2) values (%3)")
                                .arg(m_table.name, names.join(u','), marks.join(u','));
        Transaction unit(m_tables.connection);
        int code = pick(m_rng, 1, 5);
        for (int i = 0; i < n; ++i, code += pick(m_rng, 1, 3)) {
            Row row(m_ds.schema().columns.size());
            row[m_model.keyColumn()] = code;
            QVariantList params{code};
            for (int j = 0; j < m_columns.size(); ++j) {
                row[m_columns[j]] = m_table.columns[j].value(m_rng);
                params << row[m_columns[j]];
            }
            m_tables.connection.execute(sql, params);
            m_model.rows[code] = row;
        }
        unit.commit();
        m_model.rowsChanged();
    }

    const Table& m_table;
    unsigned m_seed;
    Rng m_rng;
    ScratchDatabase m_db{ShopDatasets::tables()};
    ShopDatasets m_tables;
    TableDataset& m_ds;
    Model m_model;
    QVector<int> m_columns; // the table's columns the run writes, in the table's order of m_table.columns
    bool m_trace;
    int m_step = 0;
    bool m_wrote = false; // the highest code is worth asking for again
    std::deque<QString> m_log;
    QString m_failure;
};

void runSeeds(const Table& table, unsigned defaultSeed, int defaultSteps) {
    const unsigned first = qEnvironmentVariableIsSet("BROLAVI_RANDOM_SEED")
                               ? unsigned(qEnvironmentVariableIntValue("BROLAVI_RANDOM_SEED"))
                               : defaultSeed;
    const int seeds = std::max(1, qEnvironmentVariableIntValue("BROLAVI_RANDOM_SEEDS"));
    const int steps = qEnvironmentVariableIsSet("BROLAVI_RANDOM_STEPS")
                          ? qEnvironmentVariableIntValue("BROLAVI_RANDOM_STEPS")
                          : defaultSteps;
    for (int i = 0; i < seeds; ++i) {
        Run run(table, first + unsigned(i));
        if (!run.run(steps))
            return;
    }
}

TEST(TableDatasetRandom, TheLedgerAgreesWithItsModelStepByStep) {
    runSeeds(ledger(), 1201, 6000);
}

TEST(TableDatasetRandom, TheCustomersAgreeWithTheirModelStepByStep) {
    runSeeds(customers(), 2402, 4000);
}

} // namespace
