#include "platform/core/Connection.h"

#include "platform/core/Currency.h"
#include "platform/core/Errors.h"

#include <QAtomicInt>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <cmath>

namespace {

QAtomicInt g_connectionSerial;
std::function<void(bool)> g_busyHook;

bool isMoney(const QVariant& v) {
    return v.metaType() == QMetaType::fromType<Currency>();
}

bool isNullValue(const QVariant& v) {
    return !v.isValid() || v.isNull();
}

// Rewrites the placeholders whose values the driver would get wrong, and returns the values still to bind.
// Money goes as its exact decimal text cast by the engine (which rounds half away from zero), where the
// driver would go through a double. NULL goes as the keyword: the driver cannot mark a parameter of a NOT
// NULL column as null and silently sends an empty text or a zero instead.
QString rewritePlaceholders(const QString& sql, const QVariantList& params, QVariantList& bound) {
    bool rewrite = false;
    for (const QVariant& p : params)
        rewrite = rewrite || isMoney(p) || isNullValue(p);
    if (!rewrite) {
        bound = params;
        return sql;
    }
    QString out;
    out.reserve(sql.size() + 32);
    int index = 0;
    QChar quote;
    for (QChar ch : sql) {
        if (!quote.isNull()) {
            if (ch == quote)
                quote = QChar();
        } else if (ch == u'\'' || ch == u'"') {
            quote = ch;
        } else if (ch == u'?' && index < params.size()) {
            const QVariant& p = params[index++];
            if (isNullValue(p)) {
                out += QStringLiteral("NULL");
                continue;
            }
            bound << p;
            if (isMoney(p)) {
                out += QStringLiteral("CAST(? AS VARCHAR(40))");
                continue;
            }
        }
        out += ch;
    }
    return out;
}

QVariant toDriverValue(const QVariant& v) {
    if (isMoney(v))
        return v.value<Currency>().toDbText();
    return v;
}

} // namespace

QString engineText(const QSqlError& error) {
    const QString db = error.databaseText().trimmed();
    return db.isEmpty() ? error.text().trimmed() : db;
}

QVariant fromDriverValue(const QVariant& v, ColumnType type) {
    if (v.isNull())
        return QVariant();
    switch (type) {
    case ColumnType::Numeric:
        if (v.metaType().id() == QMetaType::QString)
            return QVariant::fromValue(Currency::fromDbText(v.toString()));
        // The driver's double for a two-decimal column: the nearest cent is the stored value.
        return QVariant::fromValue(Currency::fromCents(std::llround(v.toDouble() * 100.0)));
    case ColumnType::TextBlob:
        return v.metaType().id() == QMetaType::QByteArray ? QString::fromUtf8(v.toByteArray()) : v.toString();
    case ColumnType::Integer:
        return v.toInt();
    case ColumnType::BigInt:
        return v.toLongLong();
    case ColumnType::Date:
        return v.toDate();
    case ColumnType::Timestamp:
        return v.toDateTime();
    case ColumnType::Text:
        return v.toString();
    default:
        return v;
    }
}

QVector<ColumnType> resultTypes(const QSqlRecord& rec) {
    QVector<ColumnType> out;
    for (int i = 0; i < rec.count(); ++i) {
        const QSqlField f = rec.field(i);
        switch (f.metaType().id()) {
        case QMetaType::Double:
            // The driver gives two-decimal numbers (the program's money) as doubles with their scale.
            out << (f.precision() > 0 ? ColumnType::Numeric : ColumnType::Float);
            break;
        case QMetaType::Int:
            out << ColumnType::Integer;
            break;
        case QMetaType::LongLong:
            out << ColumnType::BigInt;
            break;
        case QMetaType::QString:
            out << ColumnType::Text;
            break;
        case QMetaType::QDate:
            out << ColumnType::Date;
            break;
        case QMetaType::QDateTime:
            out << ColumnType::Timestamp;
            break;
        case QMetaType::QByteArray:
            out << ColumnType::BinaryBlob;
            break;
        default:
            out << ColumnType::Float;
        }
    }
    return out;
}

Row readRow(const QSqlQuery& q, const QVector<ColumnType>& types) {
    const int n = int(types.size());
    Row row(n);
    for (int i = 0; i < n; ++i)
        row[i] = fromDriverValue(q.value(i), types[i]);
    return row;
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

Connection::Connection(QObject* parent)
    : QObject(parent)
    , m_name(QStringLiteral("brolavi-%1").arg(g_connectionSerial.fetchAndAddRelaxed(1))) {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QIBASE"), m_name);
    if (!db.isValid())
        throw DatabaseError(QStringLiteral("O driver QIBASE do Qt não está instalado"));
}

Connection::~Connection() {
    close();
    QSqlDatabase::removeDatabase(m_name);
}

void Connection::open() {
    if (isOpen())
        return;
    QSqlDatabase db = database();
    db.setDatabaseName(m_path);
    db.setUserName(m_user);
    db.setPassword(m_password);
    db.setConnectOptions(QStringLiteral("ISC_DPB_LC_CTYPE=UTF8"));
    BusyScope busy;
    if (!db.open())
        throw DatabaseError(engineText(db.lastError()));
}

void Connection::ensureOpen() {
    if (!isOpen())
        open();
}

void Connection::close() {
    if (!isOpen())
        return;
    emit aboutToClose();
    QSqlDatabase db = database();
    releaseUnitStatements();
    if (m_inTransaction) {
        db.rollback();
        m_inTransaction = false;
    }
    db.close();
    m_schemas.clear();
}

bool Connection::isOpen() const {
    return database().isOpen();
}

void Connection::prepare(QSqlQuery& query, const QString& sql, const QVariantList& params) {
    ensureOpen();
    query.setForwardOnly(true);
    QVariantList bound;
    if (!query.prepare(rewritePlaceholders(sql, params, bound)))
        throw DatabaseError(engineText(query.lastError()));
    for (int i = 0; i < bound.size(); ++i)
        query.bindValue(i, toDriverValue(bound[i]));
}

void Connection::exec(QSqlQuery& query) {
    BusyScope busy;
    if (!query.exec())
        throw DatabaseError(engineText(query.lastError()));
}

QSqlQuery& Connection::statement(std::unique_ptr<QSqlQuery>& own, const QString& sql,
                                 const QVariantList& params) {
    ensureOpen(); // before the statement is made: one made on a closed connection has no handle
    QVariantList values;
    const QString text = rewritePlaceholders(sql, params, values);
    auto prepared = [this, &text] {
        auto q = std::make_unique<QSqlQuery>(database());
        q->setForwardOnly(true);
        if (!q->prepare(text))
            throw DatabaseError(engineText(q->lastError()));
        return q;
    };
    QSqlQuery* q = nullptr;
    if (m_inTransaction) {
        // A unit runs the same few statements again and again (a row per instalment): prepare each once.
        auto it = m_unitStatements.find(text);
        if (it == m_unitStatements.end())
            it = m_unitStatements.insert(text, prepared().release());
        q = *it;
    } else {
        own = prepared();
        q = own.get();
    }
    for (int i = 0; i < values.size(); ++i)
        q->bindValue(i, toDriverValue(values[i]));
    return *q;
}

void Connection::releaseUnitStatements() {
    qDeleteAll(m_unitStatements);
    m_unitStatements.clear();
}

int Connection::execute(const QString& sql, const QVariantList& params) {
    std::unique_ptr<QSqlQuery> own;
    QSqlQuery& q = statement(own, sql, params);
    exec(q);
    // The driver counts rows only for data statements and complains about the rest.
    static const QStringList counted = {QStringLiteral("insert"), QStringLiteral("update"),
                                        QStringLiteral("delete"), QStringLiteral("merge")};
    const QString verb = sql.trimmed().section(u' ', 0, 0).toLower();
    return counted.contains(verb) ? q.numRowsAffected() : 0;
}

QVector<Row> Connection::select(const QString& sql, const QVariantList& params,
                                const QVector<ColumnType>* types) {
    std::unique_ptr<QSqlQuery> own;
    QSqlQuery& q = statement(own, sql, params);
    exec(q);
    QVector<Row> rows;
    const QVector<ColumnType> generic = types ? QVector<ColumnType>() : resultTypes(q.record());
    if (!types)
        types = &generic;
    BusyScope busy;
    while (q.next())
        rows.append(readRow(q, *types));
    if (q.lastError().isValid())
        throw DatabaseError(engineText(q.lastError()));
    q.finish();
    return rows;
}

QVariant Connection::selectValue(const QString& sql, const QVariantList& params) {
    const QVector<Row> rows = select(sql, params);
    return rows.isEmpty() || rows.front().isEmpty() ? QVariant() : rows.front().front();
}

void Connection::beginTransaction() {
    ensureOpen();
    if (m_inTransaction)
        throw DatasetStateError(QStringLiteral("Já existe uma transação em andamento"));
    QSqlDatabase db = database();
    if (!db.transaction())
        throw DatabaseError(engineText(db.lastError()));
    m_inTransaction = true;
}

void Connection::commitTransaction() {
    releaseUnitStatements();
    QSqlDatabase db = database();
    const bool ok = db.commit();
    if (!ok) {
        const QString text = engineText(db.lastError());
        db.rollback();
        m_inTransaction = false;
        emit transactionEnded(false);
        throw DatabaseError(text);
    }
    m_inTransaction = false;
    emit transactionEnded(true);
}

void Connection::rollbackTransaction() {
    if (!m_inTransaction)
        return;
    releaseUnitStatements();
    database().rollback();
    m_inTransaction = false;
    emit transactionEnded(false);
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
                   "coalesce(rf.RDB$NULL_FLAG, 0) "
                   "from RDB$RELATION_FIELDS rf join RDB$FIELDS f on f.RDB$FIELD_NAME = rf.RDB$FIELD_SOURCE "
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
