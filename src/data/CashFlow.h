#pragma once

#include <QDate>
#include <QString>

class Query;

// The cash-flow consultation's statements: which ledger entries, with their customers, are listed for a
// scope, a kind and a period, newest entry first.
namespace CashFlow {

enum class Scope { AllCustomers, OneCustomer };
enum class Kind { Unpaid, Paid, Overdue };
enum class Period { Today, CurrentMonth, AllTime, Custom };

struct Consultation {
    Scope scope = Scope::AllCustomers;
    Kind kind = Kind::Unpaid;
    Period period = Period::Today;
    QDate from; // the custom period, both days included
    QDate to;
    QString customerName; // one customer's entries are found by name
};

// What the query holds before the first consultation: the whole ledger, newest sale first.
QString initialStatement();
// The statement's number (1 to 24) for a scope, kind and period, and its text.
int statementNumber(Scope scope, Kind kind, Period period);
QString statement(int number);
// Gives the query the consultation's statement and binds the parameters it names (the current month and year
// from the clock).
void prepare(Query& query, const Consultation& consultation);

} // namespace CashFlow
