#pragma once

#include "data/DatabaseAccess.h"
#include "platform/core/Connection.h"
#include "platform/core/DataSource.h"
#include "platform/core/Field.h"
#include "platform/core/TableDataset.h"

#include <QObject>
#include <QSet>
#include <optional>

// Columns of each table, in table order: each becomes a field object named dataset + column.
#define BROLAVI_TABCADCLI_COLUMNS(X)                                                                         \
    X(TabCadCli, CODIGO)                                                                                     \
    X(TabCadCli, NOME)                                                                                       \
    X(TabCadCli, CPF)                                                                                        \
    X(TabCadCli, TELEFONE)                                                                                   \
    X(TabCadCli, RG)                                                                                         \
    X(TabCadCli, ENDERECO)                                                                                   \
    X(TabCadCli, NUMERO)                                                                                     \
    X(TabCadCli, BAIRRO)                                                                                     \
    X(TabCadCli, CIDADE)                                                                                     \
    X(TabCadCli, ESTADO)                                                                                     \
    X(TabCadCli, CEP)                                                                                        \
    X(TabCadCli, DATA)                                                                                       \
    X(TabCadCli, OBS)

#define BROLAVI_TABDIVIDAS_COLUMNS(X)                                                                        \
    X(TabDividas, CODIGO)                                                                                    \
    X(TabDividas, CLIENTE)                                                                                   \
    X(TabDividas, DATA)                                                                                      \
    X(TabDividas, DESCRICAO)                                                                                 \
    X(TabDividas, QUANTIDADE)                                                                                \
    X(TabDividas, DATA_VENC)                                                                                 \
    X(TabDividas, DATA_PAG)                                                                                  \
    X(TabDividas, VALOR_UN)                                                                                  \
    X(TabDividas, VALOR)                                                                                     \
    X(TabDividas, PARCELA)                                                                                   \
    X(TabDividas, STATUS_PAG)                                                                                \
    X(TabDividas, CONTA)                                                                                     \
    X(TabDividas, FORM_PAG)

#define BROLAVI_TABDESC_COMPRAS_COLUMNS(X)                                                                   \
    X(TabDesc_Compras, CODIGO)                                                                               \
    X(TabDesc_Compras, CLIENTE)                                                                              \
    X(TabDesc_Compras, DATA)                                                                                 \
    X(TabDesc_Compras, DESCRICAO)                                                                            \
    X(TabDesc_Compras, VALOR)                                                                                \
    X(TabDesc_Compras, STATUS)                                                                               \
    X(TabDesc_Compras, QUANTIDADE)                                                                           \
    X(TabDesc_Compras, VALOR_UN)                                                                             \
    X(TabDesc_Compras, COD_VENDA)

#define BROLAVI_USUARIOS_COLUMNS(X)                                                                          \
    X(TabUsuarios, CODIGO)                                                                                   \
    X(TabUsuarios, DATA)                                                                                     \
    X(TabUsuarios, TIPO)                                                                                     \
    X(TabUsuarios, LOGIN)                                                                                    \
    X(TabUsuarios, DATA_HORA_LOGIN)                                                                          \
    X(TabUsuarios, NOME)                                                                                     \
    X(TabUsuarios, SENHA)

#define BROLAVI_TABBACKUP_COLUMNS(X) X(TabBackup, DIRETORIO)

#define BROLAVI_PRODUTOS_COLUMNS(X)                                                                          \
    X(TabProdutos, CODIGO)                                                                                   \
    X(TabProdutos, DATA)                                                                                     \
    X(TabProdutos, NOME)                                                                                     \
    X(TabProdutos, DESCRICAO)                                                                                \
    X(TabProdutos, MARCA)                                                                                    \
    X(TabProdutos, CATEGORIA)                                                                                \
    X(TabProdutos, COR)                                                                                      \
    X(TabProdutos, TAMANHO)                                                                                  \
    X(TabProdutos, FORNECEDOR)                                                                               \
    X(TabProdutos, SIGLA_UNIDADE)                                                                            \
    X(TabProdutos, CODBAR)                                                                                   \
    X(TabProdutos, IMGPRODUTO)                                                                               \
    X(TabProdutos, LOTE)                                                                                     \
    X(TabProdutos, QUATIDADE)                                                                                \
    X(TabProdutos, VALIDADE)                                                                                 \
    X(TabProdutos, PESO)                                                                                     \
    X(TabProdutos, PRECO_CUSTO)                                                                              \
    X(TabProdutos, PRECO_VENDA)

#define BROLAVI_ALL_COLUMNS(X)                                                                               \
    BROLAVI_TABCADCLI_COLUMNS(X)                                                                             \
    BROLAVI_TABDIVIDAS_COLUMNS(X)                                                                            \
    BROLAVI_TABDESC_COMPRAS_COLUMNS(X)                                                                       \
    BROLAVI_USUARIOS_COLUMNS(X)                                                                              \
    BROLAVI_TABBACKUP_COLUMNS(X)                                                                             \
    BROLAVI_PRODUTOS_COLUMNS(X)

// The data module: the one connection and the datasets every screen shares, with their open state, current
// row and filter. Creating it opens the connection; the datasets start closed.
class TDM : public QObject {
    Q_OBJECT
public:
    static inline const QString UserName = QStringLiteral("SYSDBA");
    static inline const QString Password = QStringLiteral("quorvelin");

    // Opens the database; throws DatabaseError when it cannot.
    explicit TDM(const DatabaseAccess& access, QObject* parent = nullptr);
    explicit TDM(const QString& databasePath, QObject* parent = nullptr);
    ~TDM() override;

    Connection FDConnection1;

    TableDataset TabCadCli;
    TableDataset TabDividas;
    TableDataset TabDesc_Compras;
    TableDataset TabUsuarios;
    TableDataset TabBackup;
    TableDataset TabProdutos;

    DataSource DSCadCli;
    DataSource DSDividas;
    DataSource DSDesc_Compras;
    DataSource DSUsuarios;
    DataSource DSBackup;
    DataSource DSProdutos;

#define BROLAVI_DECLARE_FIELD(ds, col) Field ds##col{ds, QStringLiteral(#col)};
    BROLAVI_ALL_COLUMNS(BROLAVI_DECLARE_FIELD)
#undef BROLAVI_DECLARE_FIELD

    // The data module's field object by its name ("TabDividasVALOR"); nullptr when there is none.
    Field* fieldByName(const QString& name);

    // The user the program runs under: the record whose login and password matched at the login, by its
    // code (logins of older files may be shared, so the login alone does not tell who it is), and that
    // record's login, or the one the user changed it to since. No code before a login.
    std::optional<int> currentUserCode() const {
        return m_currentUserCode;
    }
    QString currentLogin() const {
        return m_currentLogin;
    }
    void setCurrentUser(std::optional<int> code, const QString& login) {
        m_currentUserCode = code;
        m_currentLogin = login;
    }

    // Narrows the ledger to the current customer's unpaid entries and then to accountCondition ("AND Conta
    // <>'V'", or nothing for every account). The cash-sale items ("AND Conta ='V'") of the customer of a cash
    // sale under way are narrowed to that sale's own.
    void filterCustomerLedger(const QString& accountCondition);

    // A cash sale's own items: the current customer's open cash-sale items when the sale starts, and those it
    // rings up until it ends. Items another till rings up for the same customer meanwhile (the walk-in
    // customer above all) are that till's to list and to pay.
    void beginCashSale();
    void cashItemRungUp(const QVariant& customer, int code);
    void endCashSale();

private:
    // " AND CODIGO <>'n'" for each open cash-sale item of the customer that is not the cash sale's own.
    QString othersCashItems();

    struct CashSale {
        QVariant customer;
        // Every open item up to this code was there when the sale began, and is its own; after it, only
        // those it rang up. Codes only grow, so this stands for all the items it found.
        qlonglong highestAtStart = 0;
        QSet<qlonglong> items; // rung up since
    };
    std::optional<CashSale> m_cashSale;
    std::optional<int> m_currentUserCode;
    QString m_currentLogin;
};

// For writing a sale: the ledger and the purchase lines unfiltered and the ledger's bound controls quiet; at
// the end, however it comes, the current customer's ledger filtered by accountCondition again and the
// controls told once. A grid and a total told of every row written with every customer's entries in view
// would read them all.
class LedgerUnfiltered {
public:
    LedgerUnfiltered(TDM& dm, QString accountCondition);
    ~LedgerUnfiltered();
    LedgerUnfiltered(const LedgerUnfiltered&) = delete;
    LedgerUnfiltered& operator=(const LedgerUnfiltered&) = delete;

private:
    TDM& m_dm;
    ControlsDisabled m_quiet;
    QString m_accountCondition;
};

// The program's one data module, set by whoever creates it.
extern TDM* DM;
