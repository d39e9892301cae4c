#pragma once

#include "platform/core/Currency.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>
#include <utility>

class QWidget;

// What each customer owes, kept from what the screens confirmed: a sale adds what was typed, a payment takes
// off what the payment screen showed, a deletion or correction adjusts by the row the screen showed, a
// customer deleted goes with what it owed, and a restore brings back the books of the backup it read.
class Books {
public:
    // Starts from what the database holds.
    void open();

    // Around every event, with the screen on top.
    void beforeEvent(QWidget* screen);
    void afterEvent(QWidget* screen, bool confirmKey);

    // From the message seam: a question answered Yes, a refusal or error shown, a plain message.
    void answeredYes(QWidget* screen, const QString& question);
    void refused() { m_refusedThisEvent = true; }
    void failed();
    void informed(const QString& text, QWidget* screen);

    // Differences between the database and the tally, one line per customer; empty when they agree.
    QStringList differences() const;
    // Purchase lines and entries whose customer is gone.
    QStringList orphans() const;

    // What was counted, for the run's summary.
    int changes() const { return m_changes; }
    // What the last event changed in the tally, for the log.
    QStringList takeNotes() { return std::exchange(m_notes, {}); }

private:
    struct Entry {
        int code = 0;
        int customer = 0;
        Currency value;
        bool open = false;
        QVariant unit;
        QVariant quantity;
        QString description;
    };
    static std::optional<Entry> entry(int code);
    static QMap<int, Currency> openByCustomer();
    void add(int customer, Currency amount);

    QMap<int, Currency> m_owed;
    QMap<QString, QMap<int, Currency>> m_backups;

    // A confirmed write not yet known to have been stored.
    struct Pending {
        QMap<int, Currency> change;
        bool forgetCustomer = false;
        int customer = 0;
    };
    std::optional<Pending> m_pending;
    bool m_failedThisEvent = false;
    bool m_refusedThisEvent = false;

    // An item's value field emptied during the event, with what it and the quantity held just before: the
    // screens empty it once the item is stored.
    struct Cleared {
        int customer = 0;
        QString unit;
        QString quantity;
    };
    void watchItemFields();
    std::optional<Cleared> m_cleared;
    QMap<const QObject*, QString> m_lastText;
    bool m_watching = false;
    std::optional<Entry> m_corrected;
    int m_changes = 0;
    QStringList m_notes;
};
