#include "platform/core/Connection.h"

#include "platform/core/Currency.h"
#include "platform/core/DatabaseLocation.h"
#include "platform/core/Errors.h"
#include "platform/core/FirebirdStatement.h"
#include "platform/core/FirebirdStatus.h"

#include <cmath>

namespace {

std::function<void(bool)> g_busyHook;

void startTransaction(isc_db_handle* db, isc_tr_handle* tr, Isolation isolation = Isolation::Snapshot) {
    ISC_STATUS_ARRAY status{};
    if (isolation == Isolation::ReadCommitted) {
        // The engine's defaults (writing, waiting for another transaction's row) but reading each row's
        // newest committed version.
        static const char readCommitted[] = {isc_tpb_version3, isc_tpb_write, isc_tpb_wait,
                                             isc_tpb_read_committed, isc_tpb_rec_version};
        isc_start_transaction(status, tr, 1, db, int(sizeof readCommitted), readCommitted);
    } else {
        isc_start_transaction(status, tr, 1, db, 0, nullptr);
    }
    Firebird::check(status);
}

void commit(isc_tr_handle* tr) {
    ISC_STATUS_ARRAY status{};
    isc_commit_transaction(status, tr);
    Firebird::check(status);
}

// Rolls back what is left open; a transaction of an attachment already gone has nothing to undo.
void rollbackQuietly(isc_tr_handle* tr) {
    if (!*tr)
        return;
    ISC_STATUS_ARRAY status{};
    isc_rollback_transaction(status, tr);
    *tr = 0;
}

// A statement's own transaction outside a unit: committed when asked, rolled back otherwise.
class OwnTransaction {
public:
    explicit OwnTransaction(isc_db_handle* db) { startTransaction(db, &handle); }
    ~OwnTransaction() { rollbackQuietly(&handle); }
    OwnTransaction(const OwnTransaction&) = delete;
    OwnTransaction& operator=(const OwnTransaction&) = delete;
    void commit() { ::commit(&handle); }
    isc_tr_handle handle = 0;
};

} // namespace

QVariant fromDriverValue(const QVariant& v, ColumnType type) {
    if (!v.isValid() || v.isNull())
        return QVariant();
    switch (type) {
    case ColumnType::Numeric:
        if (v.metaType() == QMetaType::fromType<Currency>())
            return v;
        if (v.metaType().id() == QMetaType::QString)
            return QVariant::fromValue(Currency::fromDbText(v.toString()));
        return QVariant::fromValue(Currency::fromCents(std::llround(v.toDouble() * 100.0)));
    case ColumnType::TextBlob:
    case ColumnType::Text:
        return v.metaType().id() == QMetaType::QString ? v : QVariant(v.toString());
    case ColumnType::Integer:
        return v.toInt();
    case ColumnType::BigInt:
        return v.toLongLong();
    case ColumnType::Date:
        return v.toDate();
    case ColumnType::Timestamp:
        return v.toDateTime();
    default:
        return v;
    }
}

BusyScope::BusyScope() {
    if (g_busyHook)
        g_busyHook(true);
}

BusyScope::~BusyScope() {
    if (g_busyHook)
        g_busyHook(false);
}

void Connection::setBusyHook(std::function<void(bool)> hook) {
    g_busyHook = std::move(hook);
}

std::function<void(bool)> Connection::busyHook() {
    return g_busyHook;
}

Connection::Connection(QObject* parent)
    : QObject(parent) {}

Connection::~Connection() {
    UnthrownErrors::guard([this] { close(); });
}

void Connection::attach(const char* characterSet) {
    const QByteArray user = m_user.toUtf8().left(255);
    const QByteArray password = m_password.toUtf8().left(255);
    const QByteArray ctype(characterSet);
    const DatabaseLocation location(m_path);
    // A file only in-process, a server's database only through the server: left to itself the engine
    // reaches a file through a server running on this machine when the server has it open first.
    const QByteArray providers = location.providers().toUtf8();
    QByteArray dpb;
    dpb.append(char(isc_dpb_version1));
    for (const auto& [tag, value] :
         {std::pair{isc_dpb_user_name, user}, std::pair{isc_dpb_password, password},
          std::pair{isc_dpb_lc_ctype, ctype}, std::pair{isc_dpb_config, providers}}) {
        dpb.append(char(tag));
        dpb.append(char(value.size()));
        dpb.append(value);
    }
    const QByteArray path = m_path.toLocal8Bit();
    ISC_STATUS_ARRAY status{};
    isc_attach_database(status, 0, path.constData(), &m_db, short(dpb.size()), dpb.constData());
    if (Firebird::failed(status)) {
        m_db = 0;
        Firebird::check(status);
    }
}

void Connection::detach() {
    ISC_STATUS_ARRAY status{};
    isc_detach_database(status, &m_db);
    m_db = 0;
    Firebird::check(status);
}

void Connection::open() {
    if (isOpen())
        return;
    BusyScope busy;
    m_encoding = TextEncoding::Utf8;
    attach("UTF8");
    try {
        const QVariant set =
            selectValue(QStringLiteral("select trim(RDB$CHARACTER_SET_NAME) from RDB$DATABASE"));
        m_characterSet = set.isNull() ? QStringLiteral("NONE") : set.toString();
        if (m_characterSet == QStringLiteral("NONE")) {
            detach();
            attach("WIN1252");
            m_encoding = TextEncoding::Windows1252;
        }
    } catch (...) {
        UnthrownErrors::guard([this] { detach(); });
        throw;
    }
}

void Connection::dropDatabase() {
    if (!isOpen())
        return;
    close();
    attach(m_encoding == TextEncoding::Windows1252 ? "WIN1252" : "UTF8");
    ISC_STATUS_ARRAY status{};
    isc_drop_database(status, &m_db);
    if (Firebird::failed(status)) {
        UnthrownErrors::guard([this] { detach(); });
        Firebird::check(status);
    }
    m_db = 0;
}

void Connection::ensureOpen() {
    if (!isOpen())
        open();
}

void Connection::close() {
    if (!isOpen())
        return;
    emit aboutToClose();
    for (Cursor* c : std::as_const(m_cursors)) {
        c->end();
        c->m_connection = nullptr;
    }
    m_cursors.clear();
    releaseUnitStatements();
    if (m_inTransaction) {
        rollbackQuietly(&m_unit);
        m_inTransaction = false;
    }
    m_schemas.clear();
    detach();
}

template <typename F> auto Connection::run(const QString& sql, const QVariantList& params, F&& fn) {
    ensureOpen();
    BusyScope busy;
    if (m_inTransaction) {
        // A unit runs the same few statements again and again (a row per instalment): prepare each once.
        auto it = m_unitStatements.find(sql);
        if (it == m_unitStatements.end())
            it = m_unitStatements.insert(sql, new FirebirdStatement(&m_db, &m_unit, m_encoding, sql));
        FirebirdStatement& st = **it;
        st.bind(params);
        st.execute();
        return fn(st);
    }
    OwnTransaction tr(&m_db);
    FirebirdStatement st(&m_db, &tr.handle, m_encoding, sql);
    st.bind(params);
    st.execute();
    auto result = fn(st);
    tr.commit();
    return result;
}

void Connection::releaseUnitStatements() {
    qDeleteAll(m_unitStatements);
    m_unitStatements.clear();
}

int Connection::execute(const QString& sql, const QVariantList& params) {
    return run(sql, params, [&sql](FirebirdStatement& st) {
        // Only data statements count rows; a SELECT run for its side effects counts none.
        static const QStringList counted = {QStringLiteral("insert"), QStringLiteral("update"),
                                            QStringLiteral("delete"), QStringLiteral("merge")};
        const QString verb = sql.trimmed().section(u' ', 0, 0).toLower();
        return counted.contains(verb) ? st.rowsAffected() : 0;
    });
}

QVector<Row> Connection::select(const QString& sql, const QVariantList& params,
                                const QVector<ColumnType>* types) {
    return run(sql, params, [types](FirebirdStatement& st) {
        QVector<Row> rows;
        Row row;
        while (st.fetch(row)) {
            if (types)
                for (int i = 0; i < row.size() && i < types->size(); ++i)
                    row[i] = fromDriverValue(row[i], (*types)[i]);
            rows.append(row);
        }
        return rows;
    });
}

QVariant Connection::selectValue(const QString& sql, const QVariantList& params) {
    const QVector<Row> rows = select(sql, params);
    return rows.isEmpty() || rows.front().isEmpty() ? QVariant() : rows.front().front();
}

std::unique_ptr<Cursor> Connection::openCursor(const QString& sql, const QVariantList& params) {
    ensureOpen();
    BusyScope busy;
    std::unique_ptr<Cursor> c(new Cursor(*this));
    isc_tr_handle* tr = &m_unit;
    if (!m_inTransaction) {
        startTransaction(&m_db, &c->m_own);
        tr = &c->m_own;
    }
    c->m_statement = std::make_unique<FirebirdStatement>(&m_db, tr, m_encoding, sql);
    c->m_statement->bind(params);
    c->m_statement->execute();
    return c;
}

void Connection::beginTransaction(Isolation isolation) {
    ensureOpen();
    if (m_inTransaction)
        throw DatasetStateError(QStringLiteral("Já existe uma transação em andamento"));
    startTransaction(&m_db, &m_unit, isolation);
    m_inTransaction = true;
}

void Connection::commitTransaction() {
    releaseUnitStatements();
    try {
        commit(&m_unit);
    } catch (...) {
        rollbackQuietly(&m_unit);
        m_inTransaction = false;
        emit transactionEnded(false);
        throw;
    }
    m_unit = 0;
    m_inTransaction = false;
    emit transactionEnded(true);
}

void Connection::rollbackTransaction() {
    if (!m_inTransaction)
        return;
    releaseUnitStatements();
    rollbackQuietly(&m_unit);
    m_inTransaction = false;
    emit transactionEnded(false);
}

Cursor::Cursor(Connection& connection)
    : m_connection(&connection) {
    m_connection->m_cursors.insert(this);
}

Cursor::~Cursor() {
    end();
    if (m_connection)
        m_connection->m_cursors.remove(this);
}

void Cursor::end() {
    m_statement.reset();
    rollbackQuietly(&m_own); // it only read
}

bool Cursor::next(Row& row) {
    if (!m_statement)
        return false;
    BusyScope busy;
    return m_statement->fetch(row);
}

const QStringList& Cursor::columnNames() const {
    static const QStringList none;
    return m_statement ? m_statement->columnNames() : none;
}

const QVector<ColumnType>& Cursor::columnTypes() const {
    static const QVector<ColumnType> none;
    return m_statement ? m_statement->columnTypes() : none;
}

const TableSchema& Connection::schema(const QString& table) {
    const QString key = table.toUpper();
    auto it = m_schemas.find(key);
    if (it != m_schemas.end())
        return *it;

    TableSchema s;
    s.table = key;
    const QVector<Row> cols =
        select(QStringLiteral(
                   "select trim(rf.RDB$FIELD_NAME), f.RDB$FIELD_TYPE, coalesce(f.RDB$FIELD_SCALE, 0), "
                   "coalesce(f.RDB$FIELD_SUB_TYPE, 0), coalesce(f.RDB$CHARACTER_LENGTH, 0), "
                   "coalesce(rf.RDB$NULL_FLAG, 0), trim(cs.RDB$CHARACTER_SET_NAME) "
                   "from RDB$RELATION_FIELDS rf join RDB$FIELDS f on f.RDB$FIELD_NAME = rf.RDB$FIELD_SOURCE "
                   "left join RDB$CHARACTER_SETS cs on cs.RDB$CHARACTER_SET_ID = f.RDB$CHARACTER_SET_ID "
                   "where rf.RDB$RELATION_NAME = ? order by rf.RDB$FIELD_POSITION"),
               {key});
    if (cols.isEmpty()) {
        // Let the engine word the error. The name is the program's own table name, never typed data.
        execute(QStringLiteral("select 1 from %1 rows 1").arg(key));
        throw DatabaseError(QStringLiteral("Table unknown\n%1").arg(key));
    }
    for (const Row& r : cols) {
        ColumnInfo c;
        c.name = r[0].toString();
        const int type = r[1].toInt();
        const int scale = r[2].toInt();
        const int subType = r[3].toInt();
        c.length = r[4].toInt();
        c.notNull = r[5].toInt() != 0;
        c.characterSet = r[6].toString();
        switch (type) {
        case 7:  // SMALLINT
        case 8:  // INTEGER
        case 16: // BIGINT
            if (scale < 0) {
                c.type = ColumnType::Numeric;
                c.scale = -scale;
            } else {
                c.type = type == 16 ? ColumnType::BigInt : ColumnType::Integer;
            }
            break;
        case 12:
            c.type = ColumnType::Date;
            break;
        case 13:
            c.type = ColumnType::Time;
            break;
        case 35:
            c.type = ColumnType::Timestamp;
            break;
        case 14: // CHAR
        case 37: // VARCHAR
            c.type = ColumnType::Text;
            break;
        case 261:
            c.type = subType == 1 ? ColumnType::TextBlob : ColumnType::BinaryBlob;
            break;
        default:
            c.type = ColumnType::Float;
        }
        s.columns.append(c);
    }
    // The integer primary key (CODIGO) orders the rows and identifies them; the first columns of other
    // indexes tell which filters an index can answer.
    const QVector<Row> idx = select(
        QStringLiteral("select trim(s.RDB$FIELD_NAME), coalesce(rc.RDB$CONSTRAINT_TYPE, '') "
                       "from RDB$INDICES i join RDB$INDEX_SEGMENTS s on s.RDB$INDEX_NAME = i.RDB$INDEX_NAME "
                       "left join RDB$RELATION_CONSTRAINTS rc on rc.RDB$INDEX_NAME = i.RDB$INDEX_NAME "
                       "where i.RDB$RELATION_NAME = ? and s.RDB$FIELD_POSITION = 0 "
                       "and (i.RDB$INDEX_INACTIVE is null or i.RDB$INDEX_INACTIVE = 0) "
                       "and i.RDB$SEGMENT_COUNT = 1"),
        {key});
    for (const Row& r : idx) {
        const int col = s.indexOf(r[0].toString());
        if (col < 0)
            continue;
        if (r[1].toString().trimmed() == QStringLiteral("PRIMARY KEY") && s.isInteger(col))
            s.keyColumn = col;
        else
            s.columns[col].leadsIndex = true;
    }
    return *m_schemas.insert(key, s);
}
