// brolavi-bench PATH: times the program's own paths against plain SQL on the database at PATH.
// brolavi-bench --database NAME: the same on a server's database ("host/port:/path"), as the program opens
// it. brolavi-bench --generate PATH: makes a database of a shop's five years to time them on.
#include "BackupOperations.h"
#include "Bench.h"
#include "ConsultationOperations.h"
#include "DatasetOperations.h"
#include "Generator.h"
#include "ReportOperations.h"
#include "ScreenOperations.h"
#include "data/uDM.h"
#include "platform/core/Errors.h"
#include "platform/core/ProcessStart.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QSet>
#include <QTextStream>

namespace {

QVector<Bench::Operation> allOperations() {
    QVector<Bench::Operation> ops;
    ops += Bench::datasetOperations();
    ops += Bench::screenOperations();
    ops += Bench::consultationOperations();
    ops += Bench::reportOperations();
    // Last: they replace the database the others read.
    ops += Bench::backupOperations();
    return ops;
}

QVector<Bench::Operation> selected(const QStringList& names) {
    const QVector<Bench::Operation> all = allOperations();
    if (names.isEmpty())
        return all;
    QSet<QString> known;
    for (const Bench::Operation& op : all)
        known << op.name;
    for (const QString& name : names) {
        if (!known.contains(name))
            throw BrolaviError(QStringLiteral("unknown operation '%1' (--list shows them)").arg(name));
    }
    QVector<Bench::Operation> ops;
    for (const Bench::Operation& op : all) {
        if (names.contains(op.name))
            ops << op;
    }
    return ops;
}

void run(const DatabaseAccess& access, const QVector<Bench::Operation>& ops,
         const Bench::SamplerSettings& settings) {
    QTextStream out(stdout);
    TDM dm(access);
    DM = &dm;
    for (const Bench::Operation& op : ops) {
        op.setup(dm);
        const auto compareAndTime = [&] {
            // A fast answer that differs from the SQL's would make the figures meaningless.
            const QString app = op.app(dm);
            const QString sql = op.baseline(dm);
            if (app != sql)
                throw BrolaviError(
                    QStringLiteral("%1: the program answered \"%2\", the SQL \"%3\"").arg(op.name, app, sql));
            const Bench::Measurement m = Bench::measure(dm, op, settings);
            out << Bench::line(op.name, m, Bench::peakRssMb()) << '\n' << Qt::flush;
        };
        if (op.within)
            op.within(dm, compareAndTime);
        else
            compareAndTime();
    }
}

} // namespace

int main(int argc, char* argv[]) {
    if (const QString failure = prepareProcess(); !failure.isEmpty()) {
        QTextStream(stderr) << failure << '\n';
        return 1;
    }
    // The screens' own handlers are timed too: real widgets, no display needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Times Brolavi's own paths against the plain SQL for the same "
                       "result, on the database at PATH."));
    parser.addHelpOption();
    const QCommandLineOption generate(
        QStringLiteral("generate"),
        QStringLiteral("Create and fill a database at <path>: 50,000 customers, "
                       "1,000,000 ledger entries, 600,000 purchase lines."),
        QStringLiteral("path"));
    const QCommandLineOption generateSmall(
        QStringLiteral("generate-small"),
        QStringLiteral("Create a database of a few hundred rows at <path>."), QStringLiteral("path"));
    const QCommandLineOption only(QStringLiteral("only"),
                                  QStringLiteral("Run only the operations named (comma-separated)."),
                                  QStringLiteral("names"));
    const QCommandLineOption quick(QStringLiteral("quick"),
                                   QStringLiteral("Run each operation once instead of timing it properly."));
    const QCommandLineOption list(QStringLiteral("list"), QStringLiteral("Print the operations' names."));
    const QCommandLineOption database(
        QStringLiteral("database"),
        QStringLiteral("The database to run on, as the program takes it: a file or a server's "
                       "database (host/port:/path); ISC_USER and ISC_PASSWORD give the user."),
        QStringLiteral("name"));
    parser.addOptions({generate, generateSmall, only, quick, list, database});
    parser.addPositionalArgument(QStringLiteral("PATH"), QStringLiteral("The database to run on."));
    parser.process(app);

    QTextStream out(stdout);
    QTextStream err(stderr);
    try {
        if (parser.isSet(list)) {
            for (const Bench::Operation& op : allOperations())
                out << op.name << '\n';
            return 0;
        }
        if (parser.isSet(generate) || parser.isSet(generateSmall)) {
            const bool small = parser.isSet(generateSmall);
            Bench::generate(parser.value(small ? generateSmall : generate),
                            small ? Bench::SmallSizes : Bench::FullSizes, out);
            return 0;
        }
        if (parser.positionalArguments().size() != (parser.isSet(database) ? 0 : 1))
            parser.showHelp(2);
        Bench::SamplerSettings settings;
        if (parser.isSet(quick))
            settings = {1, 0};
        run(parser.isSet(database) ? DatabaseAccess::chosen(parser.value(database))
                                   : DatabaseAccess::ofFile(parser.positionalArguments().front()),
            selected(parser.value(only).split(u',', Qt::SkipEmptyParts)), settings);
    } catch (const BrolaviError& e) {
        err << e.message() << '\n';
        return 1;
    }
    return 0;
}
