#pragma once

#include <QString>
#include <QStringList>

class Connection;
class TDM;

// The shop's writes, each run on its own in a process that may be killed at any moment, and what a database
// holds before and after them.
namespace CrashPaths {

QStringList names();
// The rows every path starts from: customers, open and paid credit entries, cash items, purchase lines.
void seed(TDM& dm);
// Puts the datasets where the screen that runs the path puts them (untimed).
void prepare(TDM& dm, const QString& name);
// The write itself, to its end.
void run(TDM& dm, const QString& name);
// Every row of every table in a fixed order, as text: two databases hold the same books when these are equal.
QString dump(Connection& connection);

} // namespace CrashPaths
