#include "Printers.h"
#include "ProgramFixture.h"
#include "app/uBrolavi.h"
#include "app/uSobre.h"
#include "app/uSplash.h"
#include "data/uDM.h"
#include "platform/core/Connection.h"
#include "platform/core/Errors.h"
#include "platform/core/FirebirdDatabase.h"
#include "users/uLogin.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <functional>

namespace {

using StartUp = ProgramFixture;

TEST_F(StartUp, CreatesEveryScreenAndTheDataModuleWithTheDatasetsClosed) {
    for (QWidget* screen : std::initializer_list<QWidget*>{FSplash, FLogin, TelaInicial, FSobre})
        ASSERT_NE(screen, nullptr);
    ASSERT_NE(DM, nullptr);
    EXPECT_TRUE(DM->FDConnection1.isOpen());
    EXPECT_FALSE(DM->TabUsuarios.isOpen());
    EXPECT_FALSE(VerificaExisteTabela(DM->FDConnection1, QStringLiteral("USUARIOS")))
        << "creating the screens wrote nothing";
    EXPECT_TRUE(TelaInicial->Timer1->isActive()) << "the hourly timer runs from creation, behind the login";
    EXPECT_EQ(TelaInicial->Timer1->interval(), 3600000);
    EXPECT_EQ(TelaInicial->windowTitle(), QStringLiteral("Brolavi v.2.0"));
}

TEST_F(StartUp, TheSplashCountsTenTicksThenShowsTheLoginOverItself) {
    EXPECT_EQ(FSplash->Label5->text(), QStringLiteral("100%")) << "before the first tick";
    EXPECT_EQ(FSplash->ProgressBar1->value(), 0);
    EXPECT_TRUE(FSplash->Timer1->isActive());
    EXPECT_EQ(FSplash->Timer1->interval(), 200);
    FSplash->show();
    bool splashVisibleUnderLogin = false;
    modal.onShow(QStringLiteral("FLogin"), [&](QDialog*) { splashVisibleUnderLogin = FSplash->isVisible(); });
    for (int tick = 1; tick <= 10; ++tick) {
        FSplash->Timer1Timer();
        EXPECT_EQ(FSplash->Label5->text(), QStringLiteral("%1%").arg((tick - 1) * 10)) << tick;
        EXPECT_EQ(FSplash->ProgressBar1->value(), tick * 10);
        EXPECT_EQ(modal.shown.size(), tick == 10 ? 1 : 0) << "the login shows at the tenth tick only";
    }
    EXPECT_EQ(modal.shown, QStringList{QStringLiteral("FLogin")});
    EXPECT_TRUE(splashVisibleUnderLogin);
    EXPECT_FALSE(FSplash->Timer1->isActive());
}

struct UserCase {
    const char* login;
    const char* type; // nullptr: no record with that login
    bool seesUserRegistration;
};

class MainScreen : public ProgramFixture, public ::testing::WithParamInterface<UserCase> {};

TEST_P(MainScreen, ShowsUserRegistrationAndTheShopDetailsToAMasterOnly) {
    createUsers({{QStringLiteral("MASTER"), QStringLiteral("907438"), QStringLiteral("M")},
                 {QStringLiteral("ANA"), QStringLiteral("1"), QStringLiteral("N")},
                 {QStringLiteral("CHEFE"), QStringLiteral("2"), QStringLiteral("M")},
                 {QStringLiteral("ZECA"), QStringLiteral("3"), QString()}});
    FSplash->show();
    FLogin->show();
    logInAs(QString::fromUtf8(GetParam().login));
    modal.onShow(QStringLiteral("TelaInicial"), [](QDialog*) {
        EXPECT_FALSE(FSplash->isVisible());
        EXPECT_FALSE(FLogin->isVisible());
    });
    ModalHost::show(TelaInicial);
    EXPECT_EQ(TelaInicial->BCadUsu->isVisibleTo(TelaInicial), GetParam().seesUserRegistration);
    EXPECT_EQ(TelaInicial->BLoja->isVisibleTo(TelaInicial), GetParam().seesUserRegistration);
    for (QToolButton* b : {TelaInicial->BClientes, TelaInicial->BBackup, TelaInicial->BSobre})
        EXPECT_TRUE(b->isVisibleTo(TelaInicial) && b->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(Users, MainScreen,
                         ::testing::Values(UserCase{"MASTER", "M", true}, UserCase{"CHEFE", "M", true},
                                           UserCase{"ANA", "N", false}, UserCase{"ZECA", "", false},
                                           UserCase{"NINGUEM", nullptr, false}));

TEST_F(StartUp, TheToolbarHasItsTenButtonsAndOnlyTheAboutButtonHasAHint) {
    const QList<QToolButton*> buttons =
        TelaInicial->ToolBar1->findChildren<QToolButton*>(QString(), Qt::FindDirectChildrenOnly);
    QStringList captions;
    for (QToolButton* b : buttons)
        if (!b->objectName().isEmpty() && b->objectName().startsWith(u'B'))
            captions << b->text() + (b->toolTip().isEmpty() || b->toolTip() == b->text()
                                         ? QString()
                                         : u'/' + b->toolTip());
    EXPECT_EQ(captions, (QStringList{QStringLiteral("Clientes"), QStringLiteral("Vendas à Prazo"),
                                     QStringLiteral("Vendas à Vista"), QStringLiteral("Vendas Ràpidas"),
                                     QStringLiteral("Fluxo Caixa"), QStringLiteral("Trocar Login/Senha"),
                                     QStringLiteral("Cadastrar Usuário"), QStringLiteral("Dados da Loja"),
                                     QStringLiteral("Backup"), QStringLiteral("/Sobre")}));
    TelaInicial->BSobre->click();
    EXPECT_EQ(modal.shown, QStringList{QStringLiteral("FSobre")});
    EXPECT_EQ(FSobre->titleLabel()->text(), QStringLiteral("Sobre o Sistema"));
}

TEST_F(StartUp, ClosingTheMainScreenClosesTheSplash) {
    FSplash->show();
    TelaInicial->show();
    TelaInicial->close();
    EXPECT_FALSE(FSplash->isVisible());
}

TEST_F(StartUp, AScriptedModalShowReturnsToItsCallerInOrder) {
    QStringList steps;
    modal.onShow(QStringLiteral("TelaInicial"), [&](QDialog*) {
        steps << QStringLiteral("main open");
        ModalHost::show(FSobre);
        steps << QStringLiteral("back in main");
    });
    modal.onShow(QStringLiteral("FSobre"), [&](QDialog* f) {
        steps << QStringLiteral("about open");
        EXPECT_TRUE(f->isVisible());
    });
    ModalHost::show(TelaInicial);
    steps << QStringLiteral("back in caller");
    EXPECT_EQ(steps, (QStringList{QStringLiteral("main open"), QStringLiteral("about open"),
                                  QStringLiteral("back in main"), QStringLiteral("back in caller")}));
    EXPECT_EQ(modal.closed, (QStringList{QStringLiteral("FSobre"), QStringLiteral("TelaInicial")}));
    EXPECT_FALSE(FSobre->isVisible());
}

TEST(StartUpFailure, ADatabaseThatCannotBeOpenedIsReportedWithTheConnectionError) {
    QTemporaryDir dir;
    try {
        AppBrolavi program(dir.filePath(QStringLiteral("nada.fdb")));
        FAIL();
    } catch (const DatabaseError& e) {
        const QString text = AppBrolavi::openFailureText(e, dir.filePath(QStringLiteral("nada.fdb")));
        EXPECT_TRUE(text.startsWith(QStringLiteral("Não foi possível abrir o banco de dados.")))
            << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("nada.fdb")));
    }
    EXPECT_EQ(FSplash, nullptr) << "nothing is left half-made";
    EXPECT_EQ(DM, nullptr);
}

TEST(StartUpFailure, ADatabaseInUseByAnotherCopyIsReportedAsSuch) {
    TestDatabase db;
    QProcess holder;
    holder.start(QStringLiteral(DB_HOLDER), {db.path()});
    ASSERT_TRUE(holder.waitForReadyRead(20000)) << holder.readAllStandardError().toStdString();
    ASSERT_EQ(holder.readAllStandardOutput().trimmed(), QByteArray("ready"));
    try {
        AppBrolavi program(db.path());
        FAIL() << "a second process opened the database";
    } catch (const DatabaseError& e) {
        EXPECT_TRUE(
            AppBrolavi::openFailureText(e, db.path())
                .startsWith(QStringLiteral("O banco de dados já está em uso por outra cópia do Brolavi.")))
            << e.message().toStdString();
    }
    holder.closeWriteChannel();
    EXPECT_TRUE(holder.waitForFinished(20000));
}

// The engine's words for a missing file name its folder, and a folder may be called anything.
class MissingDatabaseUnder : public ::testing::TestWithParam<const char*> {};

TEST_P(MissingDatabaseUnder, AFolderWhoseNameSoundsLikeALockIsStillAFileThatCannotBeOpened) {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QString::fromUtf8(GetParam()));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/DBBROLAVI.FDB");
    try {
        AppBrolavi program(path);
        FAIL() << "a missing database opened";
    } catch (const BrolaviError& e) {
        const QString text = AppBrolavi::openFailureText(e, path);
        EXPECT_TRUE(text.startsWith(QStringLiteral("Não foi possível abrir o banco de dados.")))
            << text.toStdString();
        EXPECT_TRUE(text.contains(path)) << text.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(path)) << "nothing made";
}

INSTANTIATE_TEST_SUITE_P(Folders, MissingDatabaseUnder,
                         ::testing::Values("home-matlock", "lock", "database in use", "already opened",
                                           "Firebird lock timeout", "já em uso"));

// The user tables of a database file and their rows, read from another connection.
QStringList tablesAndRows(const QString& path) {
    const std::unique_ptr<Connection> c = connectTo(path);
    QStringList out;
    for (const Row& table : c->select(QStringLiteral("select trim(RDB$RELATION_NAME) from RDB$RELATIONS "
                                                     "where coalesce(RDB$SYSTEM_FLAG, 0) = 0 order by 1"))) {
        const QString name = table.value(0).toString();
        out << name + u':' + c->selectValue(QStringLiteral("select count(*) from %1").arg(name)).toString();
    }
    c->close();
    return out;
}

QByteArray contentsOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

TEST(StartUpFailure, AnotherProgramsFirebirdFileIsRefusedBeforeAnythingIsWrittenToIt) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("PEDIDOS.FDB"));
    createOtherDatabase(path, {QStringLiteral("create table PEDIDOS (NUMERO integer, CLIENTE varchar(40))"),
                               QStringLiteral("insert into PEDIDOS values (1, 'MERCADO CENTRAL')")});
    const QStringList before = tablesAndRows(path);
    ASSERT_EQ(before, QStringList{QStringLiteral("PEDIDOS:1")});
    try {
        AppBrolavi program(path);
        FAIL() << "another program's database opened as the shop's";
    } catch (const BrolaviError& e) {
        const QString text = AppBrolavi::openFailureText(e, path);
        EXPECT_TRUE(text.startsWith(QStringLiteral("O arquivo %1 não é um banco de dados do Brolavi")
                                        .arg(QDir::toNativeSeparators(path))))
            << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("TABCADCLI"))) << text.toStdString();
    }
    EXPECT_EQ(FSplash, nullptr) << "nothing is left half-made";
    EXPECT_EQ(DM, nullptr);
    // Opening a file at all makes the engine note the attachment in its header: the tables and rows are what
    // must stay.
    EXPECT_EQ(tablesAndRows(path), before) << "no USUARIOS, nor any other table, was made";
}

struct DamagedCase {
    const char* name;
    std::function<QByteArray(const QByteArray& goodDatabase)> contents;
};

class DamagedDatabase : public ::testing::TestWithParam<DamagedCase> {};

TEST_P(DamagedDatabase, IsReportedInPortugueseAndLeftAsItWas) {
    TestDatabase good;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("DBBROLAVI.FDB"));
    const QByteArray bytes = GetParam().contents(contentsOf(good.path()));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }
    try {
        AppBrolavi program(path);
        FAIL() << "a damaged database opened";
    } catch (const BrolaviError& e) {
        const QString text = AppBrolavi::openFailureText(e, path);
        EXPECT_TRUE(
            text.startsWith(QStringLiteral("O arquivo %1 está danificado ou não é um banco de dados do "
                                           "Brolavi.\nNada foi gravado nele.")
                                .arg(QDir::toNativeSeparators(path))))
            << text.toStdString();
    }
    EXPECT_EQ(DM, nullptr);
    EXPECT_EQ(contentsOf(path), bytes) << "the file is byte for byte as it was";
}

INSTANTIATE_TEST_SUITE_P(Files, DamagedDatabase,
                         ::testing::Values(DamagedCase{"RandomBytes",
                                                       [](const QByteArray&) {
                                                           QRandomGenerator random(27);
                                                           QByteArray out(65536, Qt::Uninitialized);
                                                           for (char& b : out)
                                                               b = char(random.bounded(256));
                                                           return out;
                                                       }},
                                           DamagedCase{"Zeros",
                                                       [](const QByteArray&) {
                                                           return QByteArray(65536, '\0');
                                                       }},
                                           DamagedCase{"TruncatedAfterTwoPages",
                                                       [](const QByteArray& good) {
                                                           return good.left(16384);
                                                       }},
                                           DamagedCase{"TruncatedInTheMiddle",
                                                       [](const QByteArray& good) {
                                                           return good.left(good.size() / 2);
                                                       }}),
                         [](const auto& c) { return std::string(c.param.name); });

} // namespace
