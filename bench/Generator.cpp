#include "Generator.h"

#include "data/Schema.h"
#include "data/uDM.h"
#include "platform/core/Clock.h"
#include "platform/core/Connection.h"
#include "platform/core/Errors.h"
#include "platform/core/Transaction.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTextStream>
#include <exception>
#include <random>

namespace Bench {

namespace {

// MARIA repeats on purpose: it is the most common name by far, and the name searches start with "MA".
const QStringList FirstNames = {
    QStringLiteral("MARIA"),    QStringLiteral("MARIA"),     QStringLiteral("MARIA"),
    QStringLiteral("MARCOS"),   QStringLiteral("MARCELO"),   QStringLiteral("MARIANA"),
    QStringLiteral("MATEUS"),   QStringLiteral("MARCIA"),    QStringLiteral("MANOEL"),
    QStringLiteral("MARLENE"),  QStringLiteral("MARTA"),     QStringLiteral("MAURO"),
    QStringLiteral("MAURÍCIO"), QStringLiteral("MARINA"),    QStringLiteral("MARCIO"),
    QStringLiteral("MAGALI"),   QStringLiteral("JOSÉ"),      QStringLiteral("JOÃO"),
    QStringLiteral("ANA"),      QStringLiteral("ANTÔNIO"),   QStringLiteral("FRANCISCO"),
    QStringLiteral("CARLOS"),   QStringLiteral("PAULO"),     QStringLiteral("PEDRO"),
    QStringLiteral("LUCAS"),    QStringLiteral("LUIZ"),      QStringLiteral("GABRIEL"),
    QStringLiteral("RAFAEL"),   QStringLiteral("DANIEL"),    QStringLiteral("FERNANDA"),
    QStringLiteral("JULIANA"),  QStringLiteral("ADRIANA"),   QStringLiteral("PATRÍCIA"),
    QStringLiteral("ALINE"),    QStringLiteral("SANDRA"),    QStringLiteral("CAMILA"),
    QStringLiteral("AMANDA"),   QStringLiteral("BRUNA"),     QStringLiteral("JÉSSICA"),
    QStringLiteral("LETÍCIA"),  QStringLiteral("JÚLIA"),     QStringLiteral("LUCIANA"),
    QStringLiteral("VANESSA"),  QStringLiteral("RODRIGO"),   QStringLiteral("EDUARDO"),
    QStringLiteral("FELIPE"),   QStringLiteral("BRUNO"),     QStringLiteral("RICARDO"),
    QStringLiteral("GUSTAVO"),  QStringLiteral("TIAGO"),     QStringLiteral("ANDRÉ"),
    QStringLiteral("FÁBIO"),    QStringLiteral("LEONARDO"),  QStringLiteral("SEBASTIÃO"),
    QStringLiteral("RAIMUNDO"), QStringLiteral("CONCEIÇÃO"), QStringLiteral("FRANCISCA"),
    QStringLiteral("ANTÔNIA"),  QStringLiteral("TEREZINHA"), QStringLiteral("SEVERINO"),
    QStringLiteral("BEATRIZ"),  QStringLiteral("LARISSA"),   QStringLiteral("VITÓRIA"),
    QStringLiteral("CLÁUDIA"),  QStringLiteral("ROSÂNGELA"), QStringLiteral("SIMONE"),
    QStringLiteral("VERA"),     QStringLiteral("HELENA"),
};

const QStringList LastNames = {
    QStringLiteral("SILVA"),      QStringLiteral("SANTOS"),     QStringLiteral("OLIVEIRA"),
    QStringLiteral("SOUZA"),      QStringLiteral("RODRIGUES"),  QStringLiteral("FERREIRA"),
    QStringLiteral("ALVES"),      QStringLiteral("PEREIRA"),    QStringLiteral("LIMA"),
    QStringLiteral("GOMES"),      QStringLiteral("COSTA"),      QStringLiteral("RIBEIRO"),
    QStringLiteral("MARTINS"),    QStringLiteral("CARVALHO"),   QStringLiteral("ALMEIDA"),
    QStringLiteral("LOPES"),      QStringLiteral("SOARES"),     QStringLiteral("FERNANDES"),
    QStringLiteral("VIEIRA"),     QStringLiteral("BARBOSA"),    QStringLiteral("ROCHA"),
    QStringLiteral("DIAS"),       QStringLiteral("NASCIMENTO"), QStringLiteral("ANDRADE"),
    QStringLiteral("MOREIRA"),    QStringLiteral("NUNES"),      QStringLiteral("MARQUES"),
    QStringLiteral("MACHADO"),    QStringLiteral("MENDES"),     QStringLiteral("FREITAS"),
    QStringLiteral("CARDOSO"),    QStringLiteral("RAMOS"),      QStringLiteral("GONÇALVES"),
    QStringLiteral("SANTANA"),    QStringLiteral("TEIXEIRA"),   QStringLiteral("ARAÚJO"),
    QStringLiteral("CAVALCANTI"), QStringLiteral("MONTEIRO"),   QStringLiteral("MOURA"),
    QStringLiteral("CORREIA"),    QStringLiteral("PINTO"),      QStringLiteral("BATISTA"),
    QStringLiteral("CAMPOS"),     QStringLiteral("BARROS"),     QStringLiteral("FREIRE"),
    QStringLiteral("AZEVEDO"),    QStringLiteral("CUNHA"),      QStringLiteral("MEDEIROS"),
    QStringLiteral("REIS"),       QStringLiteral("PIRES"),
};

const QStringList Streets = {
    QStringLiteral("RUA DAS FLORES"),         QStringLiteral("RUA SÃO JOSÉ"),
    QStringLiteral("AVENIDA BRASIL"),         QStringLiteral("RUA SETE DE SETEMBRO"),
    QStringLiteral("RUA TIRADENTES"),         QStringLiteral("RUA DOM PEDRO II"),
    QStringLiteral("AVENIDA GETÚLIO VARGAS"), QStringLiteral("RUA 15 DE NOVEMBRO"),
    QStringLiteral("RUA SANTOS DUMONT"),      QStringLiteral("TRAVESSA DA PAZ"),
};

const QStringList Districts = {
    QStringLiteral("CENTRO"),     QStringLiteral("JARDIM AMÉRICA"), QStringLiteral("VILA NOVA"),
    QStringLiteral("SANTA CRUZ"), QStringLiteral("BOA VISTA"),      QStringLiteral("SÃO JOSÉ"),
    QStringLiteral("PLANALTO"),   QStringLiteral("INDUSTRIAL"),
};

const QStringList Cities = {
    QStringLiteral("MONTES CLAROS"), QStringLiteral("MONTES CLAROS"), QStringLiteral("MONTES CLAROS"),
    QStringLiteral("BOCAIÚVA"),      QStringLiteral("JANAÚBA"),       QStringLiteral("PIRAPORA"),
};

const QStringList Notes = {
    QStringLiteral("CLIENTE ANTIGA DA LOJA"),
    QStringLiteral("PREFERE PAGAR NO PIX"),
    QStringLiteral("COBRAR SÓ DEPOIS DO DIA 10"),
    QStringLiteral("TRABALHA NA PREFEITURA"),
};

class Random {
public:
    explicit Random(unsigned seed)
        : m_engine(seed) {}
    int below(int n) { return int(m_engine() % unsigned(n)); }
    const QString& pick(const QStringList& list) { return list[below(int(list.size()))]; }
    QString digits(int count) {
        QString s;
        for (int i = 0; i < count; ++i)
            s += QChar(u'0' + below(10));
        return s;
    }

private:
    std::mt19937 m_engine;
};

// A CPF with valid check digits, so that the customer screen accepts it when edited.
QString cpf(Random& random) {
    int d[11];
    for (int i = 0; i < 9; ++i)
        d[i] = random.below(10);
    for (int k = 9; k < 11; ++k) {
        int sum = 0;
        for (int i = 0; i < k; ++i)
            sum += d[i] * (k + 1 - i);
        d[k] = sum * 10 % 11 % 10;
    }
    QString s;
    for (int i = 0; i < 11; ++i) {
        if (i == 3 || i == 6)
            s += u'.';
        else if (i == 9)
            s += u'-';
        s += QChar(u'0' + d[i]);
    }
    return s;
}

class Step {
public:
    Step(QTextStream& out, const QString& what)
        : m_out(out) {
        m_out << what << "... " << Qt::flush;
        m_timer.start();
    }
    ~Step() {
        if (std::uncaught_exceptions() > 0)
            m_out << "failed\n" << Qt::flush;
        else
            m_out << QString::number(double(m_timer.elapsed()) / 1000, 'f', 1) << " s\n" << Qt::flush;
    }
    Step(const Step&) = delete;
    Step& operator=(const Step&) = delete;

private:
    QTextStream& m_out;
    QElapsedTimer m_timer;
};

// Forced writes make every page write wait for the disk; nothing is lost by skipping that while a file that
// can be made again is filled. gfix attaches on its own, so it runs while this process holds no attachment.
void setForcedWrites(const QString& path, bool on, QTextStream& out) {
    const QString gfix = QStandardPaths::findExecutable(QStringLiteral("gfix"));
    if (gfix.isEmpty()) {
        if (!on)
            out << "gfix not found: filling with forced writes on (slower)\n";
        return;
    }
    QProcess p;
    p.setStandardInputFile(QProcess::nullDevice());
    p.start(gfix, {QStringLiteral("-user"), TDM::UserName, QStringLiteral("-write"),
                   on ? QStringLiteral("sync") : QStringLiteral("async"), path});
    if (!p.waitForFinished(60'000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        throw BrolaviError(
            QStringLiteral("gfix -write failed: %1")
                .arg(QString::fromLocal8Bit(p.readAllStandardError() + p.readAllStandardOutput())));
}

void insertCustomers(Connection& c, int count, QTextStream& out) {
    Step step(out, QStringLiteral("%1 customers").arg(count));
    Random random(20261210);
    // Registered over the two years before the first sale, in code order.
    const QDateTime firstDay = QDateTime(Clock::today().addYears(-7), QTime(8, 0));
    const qint64 span = 2 * 365 * 24 * 3600;
    // One unit: the connection prepares the insert once for it and binds each row.
    Transaction unit(c);
    const QString insert = QStringLiteral(
        "insert into TABCADCLI (CODIGO, NOME, CPF, TELEFONE, RG, ENDERECO, NUMERO, BAIRRO, CIDADE, "
        "ESTADO, CEP, DATA, OBS) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    for (int code = 1; code <= count; ++code) {
        const QString name =
            random.pick(FirstNames) + u' ' + random.pick(LastNames) + u' ' + random.pick(LastNames);
        c.execute(insert,
                  {
                      code,
                      name,
                      cpf(random),
                      QStringLiteral("(38)9%1-%2").arg(random.digits(4), random.digits(4)),
                      QStringLiteral("MG-%1.%2.%3").arg(random.digits(2), random.digits(3), random.digits(3)),
                      random.pick(Streets),
                      QString::number(1 + random.below(2000)),
                      random.pick(Districts),
                      random.pick(Cities),
                      QStringLiteral("MG"),
                      QStringLiteral("39%1-%2").arg(random.digits(3), random.digits(3)),
                      firstDay.addSecs(span * (code - 1) / count + random.below(36'000)),
                      random.below(25) == 0 ? QVariant(random.pick(Notes)) : QVariant(),
                  });
    }
    unit.commit();
}

// One run of sales, all computed by the engine: a few PSQL statements beat a million round trips. The
// sequence is a fixed linear congruential one, so the same sizes make the same rows. Sales come in date
// order, each to a random customer, so a customer's entries lie scattered over the table as they do in a
// shop. An instalment plan is chosen whenever the run is behind its share of entries, which makes the totals
// exact.
const char* const SalesBlock = R"(
EXECUTE BLOCK AS
    DECLARE FUNCTION step(x BIGINT) RETURNS BIGINT AS
    BEGIN
        RETURN MOD(x * 1103515245 + 12345, 2147483648);
    END
    DECLARE s BIGINT = {SEED};
    DECLARE block_sales BIGINT = {SALES};
    DECLARE block_entries BIGINT = {ENTRIES};
    DECLARE sales_left INTEGER = {SALES};
    DECLARE entries_left INTEGER = {ENTRIES};
    DECLARE sale_no BIGINT = {FIRST_SALE};
    DECLARE code INTEGER = {FIRST_CODE};
    DECLARE line INTEGER = {FIRST_LINE};
    DECLARE today DATE;
    DECLARE first_day DATE;
    DECLARE cutoff DATE;
    DECLARE d DATE;
    DECLARE venc DATE;
    DECLARE paid DATE;
    DECLARE pag TIMESTAMP;
    DECLARE cli INTEGER;
    DECLARE n INTEGER;
    DECLARE i INTEGER;
    DECLARE r INTEGER;
    DECLARE qty INTEGER;
    DECLARE unit NUMERIC(18,2);
    DECLARE total NUMERIC(18,2);
    DECLARE part NUMERIC(18,2);
    DECLARE valor NUMERIC(18,2);
    DECLARE descr VARCHAR(150);
    DECLARE parcela VARCHAR(15);
    DECLARE conta VARCHAR(1);
    DECLARE st VARCHAR(2);
    DECLARE forma VARCHAR(10);
BEGIN
    today = CURRENT_DATE;
    first_day = DATEADD(-{DAYS} DAY TO today);
    WHILE (sales_left > 0) DO
    BEGIN
        n = 1;
        IF (sales_left = 1) THEN
            n = entries_left;
        ELSE IF (entries_left * block_sales > block_entries * sales_left) THEN
        BEGIN
            s = step(s);
            r = s / 65536;
            n = IIF(MOD(r, 10) = 0, 10 + MOD(r / 10, 3), 2 + MOD(r / 10, 5));
            IF (n > entries_left - sales_left + 1) THEN
                n = entries_left - sales_left + 1;
        END
        s = step(s);
        r = s / 65536;
        s = step(s);
        cli = 1 + MOD(r * 32768 + s / 65536, {CUSTOMERS});
        d = DATEADD(CAST(sale_no * {DAYS} / {TOTAL_SALES} AS INTEGER) DAY TO first_day);
        s = step(s);
        r = s / 65536;
        qty = CASE WHEN MOD(r, 10) < 6 THEN 1 WHEN MOD(r, 10) < 9 THEN 2 ELSE 3 END;
        s = step(s);
        unit = (990 + MOD(s / 65536, 24000)) * 0.01;
        total = qty * unit;
        s = step(s);
        r = s / 65536;
        descr = DECODE(MOD(r, 16), 0, 'CAMISETA BÁSICA', 1, 'CALÇA JEANS', 2, 'VESTIDO FLORAL', 3, 'BERMUDA',
                       4, 'BLUSA DE MALHA', 5, 'SAIA MIDI', 6, 'JAQUETA', 7, 'TÊNIS', 8, 'SANDÁLIA',
                       9, 'MEIAS (3 PARES)', 10, 'CUECA', 11, 'SUTIÃ', 12, 'PIJAMA', 13, 'BONÉ', 14, 'CINTO',
                       'MOLETOM');
        -- Entries fall due and get paid in time order; the customer is that many days behind.
        cutoff = DATEADD(-MOD(r / 16, {DELAY_DAYS}) DAY TO today);
        IF (n > 1) THEN
            conta = 'P';
        ELSE
        BEGIN
            s = step(s);
            conta = IIF(MOD(s / 65536, 100) < {CASH_PERCENT}, 'V', 'N');
        END
        part = total / n;
        i = 1;
        WHILE (i <= n) DO
        BEGIN
            IF (conta = 'V') THEN
            BEGIN
                parcela = 'À Vista';
                venc = d;
            END
            ELSE IF (conta = 'N') THEN
            BEGIN
                parcela = 'À Prazo';
                venc = DATEADD(30 DAY TO d);
            END
            ELSE
            BEGIN
                parcela = 'Parc. ' || i || ' de ' || n;
                venc = DATEADD(i MONTH TO d);
            END
            valor = IIF(i < n, part, total - part * (n - 1));
            IF (conta <> 'V' AND venc > cutoff) THEN
            BEGIN
                st = 'NP';
                pag = NULL;
                forma = NULL;
            END
            ELSE
            BEGIN
                st = 'PG';
                s = step(s);
                r = s / 65536;
                paid = IIF(conta = 'V', d, DATEADD(MOD(r, 30) - 20 DAY TO venc));
                IF (paid < d) THEN
                    paid = d;
                IF (paid > today) THEN
                    paid = today;
                pag = DATEADD(480 + MOD(r / 32, 600) MINUTE TO CAST(paid AS TIMESTAMP));
                s = step(s);
                forma = DECODE(MOD(s / 65536, 3), 0, 'Dinheiro', 1, 'Cartão', 'PIX');
            END
            INSERT INTO TABDIVIDAS (CODIGO, CLIENTE, DATA, DESCRICAO, QUANTIDADE, DATA_VENC, DATA_PAG, VALOR_UN,
                                    VALOR, PARCELA, STATUS_PAG, CONTA, FORM_PAG)
            VALUES (:code, :cli, :d, :descr, :qty, :venc, :pag, :unit, :valor, :parcela, :st, :conta, :forma);
            code = code + 1;
            i = i + 1;
        END
        INSERT INTO TABDESC_COMPRAS (CODIGO, CLIENTE, DATA, DESCRICAO, VALOR, STATUS, QUANTIDADE, VALOR_UN,
                                     COD_VENDA)
        VALUES (:line, :cli, :d, :descr, :total, :parcela, :qty, :unit, :code - 1);
        line = line + 1;
        sale_no = sale_no + 1;
        sales_left = sales_left - 1;
        entries_left = entries_left - n;
    END
END)";

void insertSales(Connection& c, const Sizes& sizes, QTextStream& out) {
    Step step(out,
              QStringLiteral("%1 ledger entries and %2 purchase lines").arg(sizes.entries).arg(sizes.sales));
    // Each block commits on its own: a transaction of 160,000 rows is large enough to be quick.
    constexpr int SalesPerBlock = 60'000;
    const int blocks = (sizes.sales + SalesPerBlock - 1) / SalesPerBlock;
    const QDate today = Clock::today();
    const qint64 days = today.addYears(-5).daysTo(today);
    for (int b = 0; b < blocks; ++b) {
        const qint64 firstSale = qint64(sizes.sales) * b / blocks;
        const qint64 endSale = qint64(sizes.sales) * (b + 1) / blocks;
        const qint64 firstEntry = qint64(sizes.entries) * b / blocks;
        const qint64 endEntry = qint64(sizes.entries) * (b + 1) / blocks;
        QString sql = QString::fromUtf8(SalesBlock);
        const std::pair<const char*, qint64> values[] = {
            {"{SEED}", 1 + 7919 * (b + 1)},
            {"{SALES}", endSale - firstSale},
            {"{ENTRIES}", endEntry - firstEntry},
            {"{FIRST_SALE}", firstSale},
            {"{FIRST_CODE}", firstEntry + 1},
            {"{FIRST_LINE}", firstSale + 1},
            {"{TOTAL_SALES}", sizes.sales},
            {"{CUSTOMERS}", sizes.customers},
            {"{DAYS}", days},
            {"{DELAY_DAYS}", 1600},
            {"{CASH_PERCENT}", 35},
        };
        for (const auto& [token, value] : values)
            sql.replace(QLatin1StringView(token), QString::number(value));
        c.execute(sql);
    }
}

// The secondary indexes of the tables being filled, from the catalogue: building each once at the end is far
// cheaper than keeping it up to date row by row. Primary keys cannot be switched off.
QStringList secondaryIndexes(Connection& c) {
    QStringList names;
    const QVector<Row> rows =
        c.select(QStringLiteral("select trim(i.RDB$INDEX_NAME) from RDB$INDICES i "
                                "where i.RDB$RELATION_NAME in ('TABCADCLI', 'TABDIVIDAS', 'TABDESC_COMPRAS') "
                                "and coalesce(i.RDB$SYSTEM_FLAG, 0) = 0 and not exists (select 1 from "
                                "RDB$RELATION_CONSTRAINTS rc where rc.RDB$INDEX_NAME = i.RDB$INDEX_NAME)"));
    for (const Row& r : rows)
        names << r[0].toString();
    return names;
}

QStringList allIndexes(Connection& c) {
    QStringList names;
    const QVector<Row> rows =
        c.select(QStringLiteral("select trim(RDB$INDEX_NAME) from RDB$INDICES "
                                "where RDB$RELATION_NAME in ('TABCADCLI', 'TABDIVIDAS', 'TABDESC_COMPRAS')"));
    for (const Row& r : rows)
        names << r[0].toString();
    return names;
}

void printShape(Connection& c, QTextStream& out) {
    const QVector<Row> rows = c.select(
        QStringLiteral("select count(*), sum(iif(STATUS_PAG = 'NP', 1, 0)), sum(iif(CONTA = 'V', 1, 0)), "
                       "sum(iif(CONTA = 'P', 1, 0)), count(distinct CLIENTE) from TABDIVIDAS"));
    const Row& r = rows.front();
    const qint64 all = std::max<qint64>(1, r[0].toLongLong());
    auto share = [all](const QVariant& v) {
        return QString::number(100 * v.toLongLong() / all) + u'%';
    };
    out << "ledger: " << share(r[1]) << " unpaid, " << share(r[2]) << " cash, " << share(r[3])
        << " instalments, " << r[4].toLongLong() << " customers with entries\n";
}

} // namespace

void generate(const QString& path, const Sizes& sizes, QTextStream& out) {
    QElapsedTimer total;
    total.start();
    {
        Step step(out, QStringLiteral("creating %1").arg(path));
        Schema::createDatabase(path);
    }
    setForcedWrites(path, false, out);
    {
        Connection c;
        c.setDatabasePath(path);
        c.setUserName(TDM::UserName);
        c.setPassword(TDM::Password);
        c.open();
        const QStringList indexes = secondaryIndexes(c);
        // Index names come from the catalogue, never from data.
        for (const QString& index : indexes)
            c.execute(QStringLiteral("alter index %1 inactive").arg(index));
        insertCustomers(c, sizes.customers, out);
        insertSales(c, sizes, out);
        {
            Step step(out, QStringLiteral("building %1 indexes").arg(indexes.size()));
            for (const QString& index : indexes)
                c.execute(QStringLiteral("alter index %1 active").arg(index));
            // The primary keys were made on empty tables: the optimizer needs to know how selective they are.
            for (const QString& index : allIndexes(c))
                c.execute(QStringLiteral("set statistics index %1").arg(index));
        }
        printShape(c, out);
        c.close();
    }
    setForcedWrites(path, true, out);
    out << "generated " << QFileInfo(path).absoluteFilePath() << " in "
        << QString::number(double(total.elapsed()) / 1000, 'f', 1) << " s\n";
}

} // namespace Bench
