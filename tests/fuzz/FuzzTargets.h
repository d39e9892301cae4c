#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>

// Everything the program parses from what a user types or a file or the engine hands it, each as a target
// that takes arbitrary bytes. A target returns normally for a value or for the error the parser documents;
// anything else (another exception, a broken invariant, a sanitizer report) is a failure.
struct FuzzTarget {
    QString name;
    std::function<void(const QByteArray& input)> run;
    // Inputs the random driver starts its mutations from, and the words it splices in.
    QList<QByteArray> seeds;
};

QList<FuzzTarget> fuzzTargets();
const FuzzTarget* findFuzzTarget(const QString& name);

// A broken invariant: what the target found, with the input that showed it.
struct FuzzFailure {
    QString what;
};
