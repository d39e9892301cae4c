// What the standard error box says when the engine refuses what a screen asked: the shopkeeper's words by the
// engine's error code, and the engine's own text below them for support.
#include "Printers.h"
#include "ScratchDatabase.h"
#include "Seams.h"
#include "platform/core/Connection.h"
#include "platform/core/Errors.h"
#include "platform/core/FirebirdDatabase.h"
#include "platform/core/Transaction.h"
#include "platform/widgets/Messages.h"

#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

namespace {

struct Databases {
    ScratchDatabase shop{{QStringLiteral("TABCADCLI")}};
    QTemporaryDir dir;
    // Made in WIN1252 whatever the run's character set: the engine, not the program, refuses its characters.
    QString windows1252 = dir.filePath(QStringLiteral("WIN1252.FDB"));
};

void open(Connection& c, const QString& path) {
    c.setDatabasePath(path);
    c.setUserName(ScratchDatabase::UserName);
    c.setPassword(ScratchDatabase::Password);
    c.open();
}

struct EngineErrorCase {
    const char* name;
    std::function<void(Databases&)> provoke; // runs what a screen would, and fails in the engine
    const char* firstLine;
};

class ErrorBox : public ::testing::TestWithParam<EngineErrorCase> {};

TEST_P(ErrorBox, SaysInPortugueseWhatTheEngineRefusedAndKeepsItsTextOnTheNextLine) {
    Databases db;
    FirebirdDatabase::create(db.windows1252, ScratchDatabase::UserName, ScratchDatabase::Password, 8192,
                             QStringLiteral("WIN1252"));
    {
        Connection c;
        open(c, db.windows1252);
        c.execute(QStringLiteral("create table NOMES (NOME varchar(20))"));
    }
    QString engineText;
    RecordingMessages messages;
    guarded([&] {
        try {
            GetParam().provoke(db);
        } catch (const DatabaseError& e) {
            engineText = e.message();
            throw;
        }
    });
    ASSERT_FALSE(engineText.isEmpty()) << "the engine refused nothing";
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].kind, Messages::Kind::StandardError);
    EXPECT_EQ(messages.shown[0].text, QString::fromUtf8(GetParam().firstLine) + u'\n' + engineText);
}

INSTANTIATE_TEST_SUITE_P(
    RealEngineErrors, ErrorBox,
    ::testing::Values(
        EngineErrorCase{"TextLongerThanItsColumn",
                        [](Databases& db) {
                            Connection c;
                            db.shop.connect(c);
                            c.execute(QStringLiteral("insert into TABCADCLI (CODIGO, NOME) values (1, ?)"),
                                      {QString(61, u'A')});
                        },
                        "TEXTO LONGO DEMAIS PARA O CAMPO: A OPERAÇÃO NÃO FOI CONCLUÍDA."},
        EngineErrorCase{"CharacterAWin1252DatabaseCannotHold",
                        [](Databases& db) {
                            Connection c;
                            open(c, db.windows1252);
                            c.execute(QStringLiteral("insert into NOMES (NOME) values (?)"),
                                      {QStringLiteral("ŁUKASZ")});
                        },
                        "O TEXTO TEM UM CARACTERE QUE ESTE BANCO DE DADOS NÃO GUARDA: A OPERAÇÃO NÃO FOI "
                        "CONCLUÍDA. TROQUE OU APAGUE ESSE CARACTERE."},
        EngineErrorCase{
            "RowChangedByAnotherTransactionMeanwhile",
            [](Databases& db) {
                Connection first;
                Connection second;
                db.shop.connect(first);
                db.shop.connect(second);
                first.execute(QStringLiteral("insert into TABCADCLI (CODIGO, NOME) values (1, 'ANA')"));
                Transaction unit(second);
                second.selectValue(QStringLiteral("select NOME from TABCADCLI where CODIGO = 1"));
                first.execute(QStringLiteral("update TABCADCLI set NOME = 'ANA MARIA' where CODIGO = 1"));
                second.execute(QStringLiteral("update TABCADCLI set NOME = 'ANA PAULA' where CODIGO = 1"));
            },
            "ESTES DADOS FORAM ALTERADOS EM OUTRO LUGAR AO MESMO TEMPO: A OPERAÇÃO NÃO FOI "
            "CONCLUÍDA. TENTE NOVAMENTE."},
        EngineErrorCase{
            "CodeStoredAlready",
            [](Databases& db) {
                Connection c;
                db.shop.connect(c);
                c.execute(QStringLiteral("insert into TABCADCLI (CODIGO, NOME) values (1, 'ANA')"));
                c.execute(QStringLiteral("insert into TABCADCLI (CODIGO, NOME) values (1, 'BIA')"));
            },
            "JÁ EXISTE UM REGISTRO COM ESTE CÓDIGO: A OPERAÇÃO NÃO FOI CONCLUÍDA. TENTE NOVAMENTE."}),
    [](const auto& c) { return std::string(c.param.name); });

TEST(ErrorBox, ShowsTheEngineTextAloneWhereThereIsNothingToAdd) {
    ScratchDatabase db{{QStringLiteral("TABCADCLI")}};
    Connection c;
    db.connect(c);
    RecordingMessages messages;
    QString engineText;
    guarded([&] {
        try {
            c.execute(QStringLiteral("select NADA from TABCADCLI"));
        } catch (const DatabaseError& e) {
            engineText = e.message();
            throw;
        }
    });
    ASSERT_FALSE(engineText.isEmpty());
    EXPECT_EQ(messages.log(), QStringList{QStringLiteral("standard-error|Brolavi|") + engineText});
}

} // namespace
