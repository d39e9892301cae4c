#pragma once

#include <QString>
#include <QVariant>

class TDM;

// The shop's operations on its customers, on the data module's shared customer dataset.
class Customers {
public:
    explicit Customers(TDM& dm)
        : m_dm(dm) {}

    // The code a new customer gets: the highest of the whole table plus one, whatever filter is on.
    int nextCode();
    // Whether another customer already has this CPF, exactly as typed. The customer being edited does not
    // clash with its own stored CPF.
    bool cpfTaken(const QString& typed);
    // Writes the customer being typed or edited. A new one whose code another till took since it was shown
    // gets the next free code.
    void saveCurrent();
    // Deletes the current customer with its whole ledger and purchase lines, all or nothing.
    void deleteCurrent();
    // The code of the walk-in customer "CLIENTE AVULSO" (the lowest, should there be several), created when
    // there is none: the next code, the name and the moment of its creation. Two tills creating it at once
    // make one: both take the same next code, so the primary key holds the second until the first commits and
    // then refuses it, and the second finds the first one's customer.
    int walkInCustomer();

private:
    TDM& m_dm;
};
