// brolavi-fuzz TARGET|all [--runs N] [--seed S]: feeds each target N inputs made from its seeds by a seeded
// random mutator (bytes flipped, inserted, deleted, words spliced in, random bytes), for machines without
// libFuzzer. A failure prints the target, the seed and the input (hex) and exits with 1; the same seed and
// count repeat the run exactly.
#include "FuzzTargets.h"
#include "platform/core/Errors.h"

#include <QApplication>
#include <QTextStream>
#include <exception>
#include <random>

namespace {

using Rng = std::mt19937_64;

QByteArray mutate(Rng& rng, const FuzzTarget& target) {
    auto pick = [&rng](std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng);
    };
    QByteArray data;
    if (pick(10) == 0) {
        data.resize(qsizetype(pick(64)));
        for (char& c : data)
            c = char(pick(256));
        return data;
    }
    data = target.seeds.isEmpty() ? QByteArray()
                                  : target.seeds[qsizetype(pick(std::size_t(target.seeds.size())))];
    const std::size_t edits = 1 + pick(6);
    for (std::size_t e = 0; e < edits; ++e) {
        const auto at = qsizetype(pick(std::size_t(data.size()) + 1));
        switch (pick(6)) {
        case 0: // a random byte
            data.insert(at, char(pick(256)));
            break;
        case 1: // a printable character, often a digit or a separator
            data.insert(at, "0123456789,.-' %_=<>ALIKE\n"[pick(26)]);
            break;
        case 2:
            if (!data.isEmpty())
                data.remove(std::min(at, data.size() - 1), 1 + qsizetype(pick(3)));
            break;
        case 3:
            if (!data.isEmpty())
                data[std::min(at, data.size() - 1)] =
                    char(data[std::min(at, data.size() - 1)] ^ (1 << pick(8)));
            break;
        case 4: // another seed spliced in
            if (!target.seeds.isEmpty())
                data.insert(at, target.seeds[qsizetype(pick(std::size_t(target.seeds.size())))]);
            break;
        default: // a multi-byte character
            data.insert(at, QStringLiteral("ÇãØ€𝄞٣").toUtf8().mid(qsizetype(pick(4)) * 2, 2));
            break;
        }
    }
    return data.left(4096);
}

int runTarget(const FuzzTarget& target, long long runs, unsigned long long seed, QTextStream& out) {
    Rng rng(seed);
    for (long long i = 0; i < runs; ++i) {
        const QByteArray input = i < target.seeds.size() ? target.seeds[qsizetype(i)] : mutate(rng, target);
        try {
            target.run(input);
        } catch (const FuzzFailure& f) {
            out << "fuzz " << target.name << " FAILED at input " << i << " (seed " << seed << "): " << f.what
                << "\n  input hex: " << input.toHex() << '\n';
            return 1;
        } catch (const std::exception& e) {
            out << "fuzz " << target.name << " FAILED at input " << i << " (seed " << seed
                << "): undocumented exception: " << e.what() << "\n  input hex: " << input.toHex() << '\n';
            return 1;
        }
    }
    out << "fuzz " << target.name << " inputs=" << runs << " seed=" << seed << " ok\n";
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    QTextStream out(stdout);
    const QStringList args = QApplication::arguments();
    if (args.size() < 2) {
        out << "usage: brolavi-fuzz TARGET|all [--runs N] [--seed S]\ntargets:";
        for (const FuzzTarget& t : fuzzTargets())
            out << ' ' << t.name;
        out << '\n';
        return 2;
    }
    long long runs = 10000;
    unsigned long long seed = 1;
    for (int i = 2; i + 1 < args.size(); i += 2) {
        if (args[i] == u"--runs")
            runs = args[i + 1].toLongLong();
        else if (args[i] == u"--seed")
            seed = args[i + 1].toULongLong();
    }
    int status = 0;
    for (const FuzzTarget& t : fuzzTargets()) {
        if (args[1] == u"all" || args[1] == t.name)
            status |= runTarget(t, runs, seed, out);
        else
            continue;
        out.flush();
    }
    if (args[1] != u"all" && !findFuzzTarget(args[1])) {
        out << "unknown target " << args[1] << '\n';
        return 2;
    }
    return status;
}
