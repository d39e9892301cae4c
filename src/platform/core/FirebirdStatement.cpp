#include "platform/core/FirebirdStatement.h"

#include "platform/core/Currency.h"
#include "platform/core/Errors.h"
#include "platform/core/FirebirdStatus.h"
#include "platform/core/WideArithmetic.h"

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <cstring>

namespace Firebird {

short charsetId(TextEncoding encoding) {
    return encoding == TextEncoding::Windows1252 ? kCharsetWin1252 : kCharsetUtf8;
}

} // namespace Firebird

namespace {

constexpr unsigned short kDialect = SQL_DIALECT_V6;
constexpr int kMaxVarying = 32765;
const QDate kDayZero(1858, 11, 17); // the engine counts days from here

bool isNullValue(const QVariant& v) {
    return !v.isValid() || v.isNull();
}

// Money of any scale as Currency, brought to the cent as the two-decimal columns hold it.
Currency scaledToCurrency(qint64 value, int scale) {
    const int decimals = -scale;
    if (decimals == 2)
        return Currency::fromCents(value);
    if (decimals <= 4) {
        qint64 factor = 1;
        for (int i = decimals; i < 4; ++i)
            factor *= 10;
        std::int64_t raw = 0;
        if (!WideArithmetic::multiply(value, factor, raw))
            throw ConversionError::invalidValue(QString::number(value));
        return Currency::fromRaw(raw).roundedToCents();
    }
    qint64 divisor = 1;
    for (int i = 4; i < decimals && divisor < (qint64(1) << 58); ++i)
        divisor *= 10;
    const qint64 half = divisor / 2;
    const qint64 raw = value >= 0 ? (value + half) / divisor : -((-value + half) / divisor);
    return Currency::fromRaw(raw).roundedToCents();
}

ColumnType columnTypeOf(const XSQLVAR& v) {
    switch (v.sqltype & ~1) {
    case SQL_SHORT:
    case SQL_LONG:
        return v.sqlscale < 0 ? ColumnType::Numeric : ColumnType::Integer;
    case SQL_INT64:
        return v.sqlscale < 0 ? ColumnType::Numeric : ColumnType::BigInt;
    case SQL_TEXT:
    case SQL_VARYING:
        return (v.sqlsubtype & 0xFF) == Firebird::kCharsetOctets ? ColumnType::BinaryBlob : ColumnType::Text;
    case SQL_TYPE_DATE:
        return ColumnType::Date;
    case SQL_TYPE_TIME:
        return ColumnType::Time;
    case SQL_TIMESTAMP:
        return ColumnType::Timestamp;
    case SQL_BLOB:
        return v.sqlsubtype == 1 ? ColumnType::TextBlob : ColumnType::BinaryBlob;
    case SQL_BOOLEAN:
        return ColumnType::Integer;
    default:
        return ColumnType::Float;
    }
}

// Bytes a value of the variable's type takes in its buffer.
int bufferSize(const XSQLVAR& v) {
    switch (v.sqltype & ~1) {
    case SQL_VARYING:
        return v.sqllen + 2;
    case SQL_BLOB:
        return int(sizeof(ISC_QUAD));
    default:
        return std::max<int>(v.sqllen, 8);
    }
}

} // namespace

// An XSQLDA with room for its variables, and the buffers its variables point at.
struct FirebirdStatement::Descriptor {
    std::unique_ptr<char[]> memory;
    XSQLDA* da = nullptr;
    std::vector<std::vector<qint64>> buffers; // qint64 keeps every value aligned
    std::vector<short> nulls;

    Descriptor() { resize(1); }
    void resize(int n) {
        n = std::max(n, 1);
        memory = std::make_unique<char[]>(XSQLDA_LENGTH(n));
        da = reinterpret_cast<XSQLDA*>(memory.get());
        da->version = SQLDA_VERSION1;
        da->sqln = short(n);
    }
    int count() const { return da->sqld; }
    XSQLVAR& var(int i) { return da->sqlvar[i]; }
    XSQLDA* orNull() { return da->sqld > 0 ? da : nullptr; }
    // Points the variable at a zeroed buffer of the given size.
    char* place(int i, int bytes) {
        buffers[std::size_t(i)].assign(std::size_t(bytes + 7) / 8, 0);
        char* p = reinterpret_cast<char*>(buffers[std::size_t(i)].data());
        da->sqlvar[i].sqldata = p;
        da->sqlvar[i].sqlind = &nulls[std::size_t(i)];
        return p;
    }
    void prepareBuffers() {
        buffers.resize(std::size_t(count()));
        nulls.assign(std::size_t(count()), 0);
    }
};

FirebirdStatement::FirebirdStatement(isc_db_handle* db, isc_tr_handle* tr, TextEncoding encoding,
                                     const QString& sql)
    : m_db(db)
    , m_tr(tr)
    , m_encoding(encoding)
    , m_in(std::make_unique<Descriptor>())
    , m_out(std::make_unique<Descriptor>()) {
    try {
        ISC_STATUS_ARRAY status{};
        isc_dsql_allocate_statement(status, m_db, &m_stmt);
        Firebird::check(status);
        const QByteArray text = TextCodec::encode(sql, m_encoding);
        isc_dsql_prepare(status, m_tr, &m_stmt, 0, text.constData(), kDialect, m_out->da);
        Firebird::check(status);

        const char item = isc_info_sql_stmt_type;
        char info[16] = {};
        isc_dsql_sql_info(status, &m_stmt, 1, &item, sizeof info, info);
        Firebird::check(status);
        if (info[0] == isc_info_sql_stmt_type) {
            const short len = short(isc_vax_integer(info + 1, 2));
            m_type = int(isc_vax_integer(info + 3, len));
        }
        describe(false);
        describe(true);
    } catch (...) {
        release();
        throw;
    }
}

FirebirdStatement::~FirebirdStatement() {
    release();
}

void FirebirdStatement::release() {
    if (!m_stmt)
        return;
    // A statement of an attachment that is gone is gone with it: nothing to report.
    ISC_STATUS_ARRAY status{};
    isc_dsql_free_statement(status, &m_stmt, DSQL_drop);
    m_stmt = 0;
}

void FirebirdStatement::describe(bool input) {
    Descriptor& d = input ? *m_in : *m_out;
    ISC_STATUS_ARRAY status{};
    auto run = [&] {
        if (input)
            isc_dsql_describe_bind(status, &m_stmt, kDialect, d.da);
        else
            isc_dsql_describe(status, &m_stmt, kDialect, d.da);
        Firebird::check(status);
    };
    if (input || d.da->sqld > d.da->sqln) {
        if (d.da->sqld > d.da->sqln)
            d.resize(d.da->sqld);
        run();
        if (d.da->sqld > d.da->sqln) {
            d.resize(d.da->sqld);
            run();
        }
    }
    d.prepareBuffers();
    if (input)
        return;
    for (int i = 0; i < d.count(); ++i) {
        XSQLVAR& v = d.var(i);
        d.place(i, bufferSize(v));
        m_names << TextCodec::decode(v.aliasname, v.aliasname_length, m_encoding);
        m_types << columnTypeOf(v);
    }
}

void FirebirdStatement::bind(const QVariantList& params) {
    if (params.size() != m_in->count())
        throw DatabaseError(QStringLiteral("O comando espera %1 parâmetro(s) e recebeu %2")
                                .arg(m_in->count())
                                .arg(params.size()));
    for (int i = 0; i < m_in->count(); ++i)
        setInput(i, params[i]);
}

void FirebirdStatement::setInput(int index, const QVariant& value) {
    XSQLVAR& v = m_in->var(index);
    short& null = m_in->nulls[std::size_t(index)];
    if (isNullValue(value)) {
        // The column's own type, marked as NULL: a NOT NULL column then refuses it with the engine's error.
        v.sqltype = short(v.sqltype | 1);
        m_in->place(index, bufferSize(v));
        null = -1;
        return;
    }
    null = 0;
    const int described = v.sqltype & ~1;
    auto setType = [&](int type, int length, int scale = 0, int subType = 0) {
        v.sqltype = short(type | 1);
        v.sqllen = short(length);
        v.sqlscale = short(scale);
        v.sqlsubtype = short(subType);
        return m_in->place(index, bufferSize(v));
    };
    auto setText = [&](const QByteArray& bytes, short charset) {
        if (bytes.size() > kMaxVarying)
            throw DatabaseError(
                QStringLiteral("Texto longo demais para o banco de dados (%1 bytes)").arg(bytes.size()));
        char* p = setType(SQL_VARYING, int(bytes.size()), 0, charset);
        const auto len = short(bytes.size());
        std::memcpy(p, &len, sizeof len);
        std::memcpy(p + 2, bytes.constData(), std::size_t(bytes.size()));
    };

    if (described == SQL_BLOB) {
        const QByteArray bytes = value.metaType().id() == QMetaType::QByteArray
                                     ? value.toByteArray()
                                     : TextCodec::encode(value.toString(), m_encoding);
        const ISC_QUAD id = writeBlob(bytes);
        const short subType = v.sqlsubtype;
        char* p = setType(SQL_BLOB, int(sizeof(ISC_QUAD)), 0, subType);
        std::memcpy(p, &id, sizeof id);
        return;
    }
    if (value.metaType() == QMetaType::fromType<Currency>()) {
        const qint64 cents = value.value<Currency>().cents();
        std::memcpy(setType(SQL_INT64, 8, -2), &cents, sizeof cents);
        return;
    }
    switch (value.metaType().id()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::LongLong:
    case QMetaType::ULongLong: {
        const qint64 n = value.toLongLong();
        std::memcpy(setType(SQL_INT64, 8), &n, sizeof n);
        return;
    }
    case QMetaType::Double:
    case QMetaType::Float: {
        const double d = value.toDouble();
        std::memcpy(setType(SQL_DOUBLE, 8), &d, sizeof d);
        return;
    }
    case QMetaType::QDate: {
        const ISC_DATE d = ISC_DATE(kDayZero.daysTo(value.toDate()));
        std::memcpy(setType(SQL_TYPE_DATE, 4), &d, sizeof d);
        return;
    }
    case QMetaType::QTime: {
        const ISC_TIME t = ISC_TIME(value.toTime().msecsSinceStartOfDay()) * 10;
        std::memcpy(setType(SQL_TYPE_TIME, 4), &t, sizeof t);
        return;
    }
    case QMetaType::QDateTime: {
        const QDateTime dt = value.toDateTime();
        ISC_TIMESTAMP ts;
        ts.timestamp_date = ISC_DATE(kDayZero.daysTo(dt.date()));
        ts.timestamp_time = ISC_TIME(dt.time().msecsSinceStartOfDay()) * 10;
        std::memcpy(setType(SQL_TIMESTAMP, 8), &ts, sizeof ts);
        return;
    }
    case QMetaType::QByteArray:
        setText(value.toByteArray(), Firebird::kCharsetOctets);
        return;
    default:
        setText(TextCodec::encode(value.toString(), m_encoding), Firebird::charsetId(m_encoding));
        return;
    }
}

void FirebirdStatement::closeCursor() {
    m_rowPending = false;
    if (!m_cursorOpen)
        return;
    m_cursorOpen = false;
    ISC_STATUS_ARRAY status{};
    isc_dsql_free_statement(status, &m_stmt, DSQL_close);
    Firebird::check(status);
}

void FirebirdStatement::execute() {
    closeCursor();
    ISC_STATUS_ARRAY status{};
    if (m_type == isc_info_sql_stmt_exec_procedure && m_out->count() > 0) {
        isc_dsql_execute2(status, m_tr, &m_stmt, kDialect, m_in->orNull(), m_out->da);
        Firebird::check(status);
        m_rowPending = true;
        return;
    }
    isc_dsql_execute(status, m_tr, &m_stmt, kDialect, m_in->orNull());
    Firebird::check(status);
    m_cursorOpen = m_type == isc_info_sql_stmt_select || m_type == isc_info_sql_stmt_select_for_upd;
}

bool FirebirdStatement::fetch(Row& row) {
    if (m_rowPending) {
        m_rowPending = false;
        readRow(row);
        return true;
    }
    if (!m_cursorOpen)
        return false;
    ISC_STATUS_ARRAY status{};
    const ISC_STATUS result = isc_dsql_fetch(status, &m_stmt, kDialect, m_out->da);
    if (result == 100) {
        closeCursor();
        return false;
    }
    Firebird::check(status);
    readRow(row);
    return true;
}

void FirebirdStatement::readRow(Row& row) {
    const int n = m_out->count();
    row.resize(n);
    for (int i = 0; i < n; ++i)
        row[i] = outputValue(i);
}

QVariant FirebirdStatement::outputValue(int column) {
    const XSQLVAR& v = m_out->var(column);
    if ((v.sqltype & 1) && *v.sqlind < 0)
        return QVariant();
    const char* p = v.sqldata;
    auto as = [p](auto zero) {
        std::memcpy(&zero, p, sizeof zero);
        return zero;
    };
    switch (v.sqltype & ~1) {
    case SQL_VARYING: {
        const short len = as(short());
        if ((v.sqlsubtype & 0xFF) == Firebird::kCharsetOctets)
            return QByteArray(p + 2, len);
        return TextCodec::decode(p + 2, len, m_encoding);
    }
    case SQL_TEXT:
        if ((v.sqlsubtype & 0xFF) == Firebird::kCharsetOctets)
            return QByteArray(p, v.sqllen);
        return TextCodec::decode(p, v.sqllen, m_encoding);
    case SQL_SHORT:
    case SQL_LONG:
    case SQL_INT64: {
        const int type = v.sqltype & ~1;
        const qint64 n = type == SQL_SHORT ? as(qint16()) : type == SQL_LONG ? as(qint32()) : as(qint64());
        if (v.sqlscale < 0)
            return QVariant::fromValue(scaledToCurrency(n, v.sqlscale));
        if (type == SQL_INT64)
            return n;
        return int(n);
    }
    case SQL_FLOAT:
        return double(as(float()));
    case SQL_DOUBLE:
        return as(double());
    case SQL_TYPE_DATE:
        return kDayZero.addDays(as(ISC_DATE()));
    case SQL_TYPE_TIME:
        return QTime::fromMSecsSinceStartOfDay(int(as(ISC_TIME()) / 10));
    case SQL_TIMESTAMP: {
        const auto ts = as(ISC_TIMESTAMP());
        return QDateTime(kDayZero.addDays(ts.timestamp_date),
                         QTime::fromMSecsSinceStartOfDay(int(ts.timestamp_time / 10)));
    }
    case SQL_BLOB: {
        const QByteArray bytes = readBlob(as(ISC_QUAD()));
        if (v.sqlsubtype == 1)
            return TextCodec::decode(bytes.constData(), bytes.size(), m_encoding);
        return bytes;
    }
    case SQL_BOOLEAN:
        return int(as(char()) != 0);
    default:
        return QVariant();
    }
}

QByteArray FirebirdStatement::readBlob(const ISC_QUAD& id) {
    ISC_STATUS_ARRAY status{};
    isc_blob_handle blob = 0;
    ISC_QUAD blobId = id;
    isc_open_blob2(status, m_db, m_tr, &blob, &blobId, 0, nullptr);
    Firebird::check(status);
    QByteArray out;
    char segment[16384];
    for (;;) {
        unsigned short got = 0;
        isc_get_segment(status, &blob, &got, sizeof segment, segment);
        if (status[1] == 0 || status[1] == isc_segment) {
            out.append(segment, got);
            continue;
        }
        if (status[1] == isc_segstr_eof)
            break;
        ISC_STATUS_ARRAY ignored{};
        isc_close_blob(ignored, &blob);
        Firebird::check(status);
    }
    isc_close_blob(status, &blob);
    Firebird::check(status);
    return out;
}

ISC_QUAD FirebirdStatement::writeBlob(const QByteArray& bytes) {
    ISC_STATUS_ARRAY status{};
    isc_blob_handle blob = 0;
    ISC_QUAD id{};
    isc_create_blob2(status, m_db, m_tr, &blob, &id, 0, nullptr);
    Firebird::check(status);
    for (qsizetype at = 0; at < bytes.size(); at += 32768) {
        const auto len = static_cast<unsigned short>(std::min<qsizetype>(32768, bytes.size() - at));
        isc_put_segment(status, &blob, len, bytes.constData() + at);
        if (Firebird::failed(status)) {
            ISC_STATUS_ARRAY ignored{};
            isc_cancel_blob(ignored, &blob);
            Firebird::check(status);
        }
    }
    isc_close_blob(status, &blob);
    Firebird::check(status);
    return id;
}

int FirebirdStatement::rowsAffected() {
    const char item = isc_info_sql_records;
    char info[64] = {};
    ISC_STATUS_ARRAY status{};
    isc_dsql_sql_info(status, &m_stmt, 1, &item, sizeof info, info);
    Firebird::check(status);
    if (info[0] != isc_info_sql_records)
        return 0;
    int total = 0;
    for (const char* p = info + 3; *p != isc_info_end && p < info + sizeof info - 3;) {
        const char kind = *p++;
        const short len = short(isc_vax_integer(p, 2));
        p += 2;
        const int value = int(isc_vax_integer(p, len));
        p += len;
        if (kind == isc_info_req_insert_count || kind == isc_info_req_update_count ||
            kind == isc_info_req_delete_count)
            total += value;
    }
    return total;
}
