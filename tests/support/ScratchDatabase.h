#pragma once

#include "platform/core/Connection.h"
#include "platform/core/DataSource.h"
#include "platform/core/TableDataset.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A fresh database file holding only the tables a test names, laid out as the program lays them out, for the
// tests of the platform: no data module, no screens. Each set of tables is made once per run, in the run's
// character set, and copied.
class ScratchDatabase {
public:
    static inline const QString UserName = QStringLiteral("SYSDBA");
    static inline const QString Password = QStringLiteral("masterkey");

    // Throws std::invalid_argument for a table it does not know.
    explicit ScratchDatabase(const QStringList& tables);
    const QString& path() const { return m_path; }
    // Points connection at this file and opens it.
    void connect(Connection& connection) const;

    // The tables it can make.
    static QStringList tables();

private:
    QTemporaryDir m_dir;
    QString m_path;
};

// The shop's customers and ledger, a connection on them and a dataset over each, set up as the data module
// sets them up: the ledger totals VALOR as "Soma", and the ledger has a source controls bind to.
struct ShopDatasets {
    explicit ShopDatasets(const QString& path);
    // The tables a scratch database needs for these datasets.
    static QStringList tables() { return {QStringLiteral("TABCADCLI"), QStringLiteral("TABDIVIDAS")}; }

    Connection connection;
    TableDataset customers{connection, QStringLiteral("TABCADCLI")};
    TableDataset ledger{connection, QStringLiteral("TABDIVIDAS")};
    DataSource ledgerSource{&ledger};
};
