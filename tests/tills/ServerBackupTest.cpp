#include "FileContents.h"
#include "Printers.h"
#include "ProgramFixture.h"
#include "TestDatabase.h"
#include "TestServer.h"
#include "app/uBrolavi.h"
#include "app/uSplash.h"
#include "backup/BackupJobs.h"
#include "backup/uBackup.h"
#include "data/uDM.h"
#include "platform/core/Connection.h"
#include "platform/core/FirebirdServices.h"
#include "platform/widgets/Messages.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <sys/resource.h>

namespace {

const QString AskedToRestore = QStringLiteral("question|Confirmação|A restauração substitui todos os dados "
                                              "atuais pelos do arquivo escolhido. Deseja continuar?");
const QString Restored = QStringLiteral("plain|Brolavi|Restauração realizado com sucesso!");
const QString BackedUp = QStringLiteral("plain|Brolavi|Backup realizado com sucesso!");

// The program as a till of the shop starts it, on a fresh shop database of the test server.
class ServerBackup : public ProgramFixture {
protected:
    void SetUp() override {
        if (!TestServer::available())
            GTEST_SKIP() << "no test server (scripts/test starts one)";
        server = TestServer::createShopDatabase(QStringLiteral("backup"));
        program = std::make_unique<AppBrolavi>(server.access);
        // The splash hands over to the login two seconds into the events, and the login reads the users: on a
        // loaded machine a restore's progress lines last that long, and the server's database is shut while
        // it is rebuilt. The program's own splash is long gone by the time anyone can restore.
        FSplash->Timer1->stop();
        createUsers({{QStringLiteral("MASTER"), QStringLiteral("907438"), QStringLiteral("M")}});
        logInAs(QStringLiteral("MASTER"));
        addCustomer(1, QStringLiteral("ANA SOUZA"));
        addCustomer(2, QStringLiteral("JOSE LIMA"));
    }
    void TearDown() override {
        ProgramFixture::TearDown();
        if (!server.file.isEmpty()) {
            QFile::remove(server.file);
            QFile::remove(server.file + BackupJobs::KeptBackupSuffix);
        }
    }

    void addCustomer(int code, const QString& name) {
        sql(QStringLiteral("insert into TABCADCLI (CODIGO, NOME) values (?, ?)"), {code, name});
    }
    QString customers() {
        return sqlValue(QStringLiteral("select list(NOME, ',') from (select NOME from TABCADCLI order by "
                                       "CODIGO)"))
            .toString();
    }
    // Entries whose descriptions nothing compresses: a backup of many of the service's replies, each as
    // long as the service makes it.
    void addEntries(int count) {
        sql(QStringLiteral(
                "insert into TABDIVIDAS (CODIGO, CLIENTE, DESCRICAO, VALOR, STATUS_PAG, CONTA) "
                "with recursive n as (select 0 as i from RDB$DATABASE union all select i + 1 from n "
                "where i < 99) select 100 + a.i * 100 + b.i, 1, uuid_to_char(gen_uuid()) || "
                "uuid_to_char(gen_uuid()), 1, 'NP', 'N' from n a cross join n b "
                "where a.i * 100 + b.i < ?"),
            {count});
    }
    // Another till attached to the same database.
    std::unique_ptr<Connection> anotherTill() {
        auto c = std::make_unique<Connection>();
        c->setDatabasePath(server.access.name);
        c->setUserName(server.access.user);
        c->setPassword(server.access.password);
        c->open();
        return c;
    }
    QString folderOf(const QTemporaryDir& dir) const { return QDir::toNativeSeparators(dir.path() + u'/'); }
    QString backupFile() const { return backups.filePath(BackupJobs::FileName); }

    void showScreen() { showActive(FBackup); }
    void chooseBackupFile(const QString& file) {
        files.answers.enqueue(file);
        FBackup->SpeedButton2->click();
    }
    void restore() {
        messages.answers.enqueue(QMessageBox::Yes);
        FBackup->BRestore->click();
        messages.answers.clear();
    }
    void tick() { QMetaObject::invokeMethod(TelaInicial->Timer1, "timeout"); }

    TestServer::Database server;
    QTemporaryDir backups;
};

// The server backs its database up and restores it; the till sends and receives the file, which lands in the
// folder the screen shows, on this till's disk.
TEST_F(ServerBackup, ABackupLandsInTheChosenFolderAndRestoresTheRows) {
    addEntries(3000);
    showScreen();
    files.answers.enqueue(backups.filePath(QStringLiteral("whatever.bck")));
    FBackup->SpeedButton1->click();
    FBackup->BBackup->click();
    EXPECT_EQ(messages.log(), QStringList{BackedUp}) << FBackup->MBackup->toPlainText().toStdString();
    EXPECT_EQ(QDir(backups.path()).entryList(QDir::Files), QStringList{BackupJobs::FileName});
    EXPECT_EQ(QFile::permissions(backupFile()) &
                  ~(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser),
              QFileDevice::Permissions())
        << "the books and the users are the desktop user's alone";

    sql(QStringLiteral("delete from TABCADCLI where CODIGO = 2"));
    addCustomer(3, QStringLiteral("NOVO CLIENTE"));
    sql(QStringLiteral("delete from TABDIVIDAS"));
    DM->TabCadCli.open();
    messages.clear();
    chooseBackupFile(backups.filePath(QStringLiteral("any.bck")));
    restore();
    EXPECT_EQ(messages.log(), (QStringList{AskedToRestore, Restored}))
        << FBackup->MRestore->toPlainText().toStdString();
    EXPECT_TRUE(FBackup->MRestore->toPlainText().contains(FirebirdServices::RestoreFinishedLine));
    EXPECT_TRUE(DM->FDConnection1.isOpen());
    EXPECT_FALSE(DM->TabCadCli.isOpen()) << "closed with the connection during the restore";
    EXPECT_EQ(customers(), QStringLiteral("ANA SOUZA,JOSE LIMA"));
    EXPECT_EQ(sqlValue(QStringLiteral("select count(*) from TABDIVIDAS")).toInt(), 3000);
    // The database it replaced stays on the server as a backup, for a restore made by mistake.
    const QString undo = server.file + BackupJobs::KeptBackupSuffix;
    ASSERT_TRUE(QFile::exists(undo));
    const QString copy = server.file + QStringLiteral(".copy");
    FirebirdServices(server.access.user, server.access.password,
                     qEnvironmentVariable("BROLAVI_TEST_SERVER") + QStringLiteral(":service_mgr"))
        .restore(undo, copy);
    const auto kept = connectTo(DatabaseAccess{qEnvironmentVariable("BROLAVI_TEST_SERVER") + u':' + copy,
                                               server.access.user, server.access.password});
    EXPECT_EQ(kept->selectValue(QStringLiteral("select count(*) from TABCADCLI where NOME = 'NOVO CLIENTE'"))
                  .toInt(),
              1);
    kept->dropDatabase();
}

// The backup arrives into a side file, which takes the previous one's place only once it is whole: here the
// till's disk refuses it half way (a file-size limit stands for a full disk).
TEST_F(ServerBackup, ABackupThatCannotBeWrittenWholeKeepsThePreviousOne) {
    BackupJobs::backup(DM->FDConnection1, folderOf(backups), {});
    const QByteArray previous = contents(backupFile());
    addEntries(1000);
    rlimit before{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
    const rlimit limited{rlim_t(previous.size()), before.rlim_max};
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    showScreen();
    files.answers.enqueue(backupFile());
    FBackup->SpeedButton1->click();
    FBackup->BBackup->click();
    setrlimit(RLIMIT_FSIZE, &before);
    EXPECT_EQ(messages.log(), QStringList{QStringLiteral("error|Erro|Não foi possivel realizar o backup!")});
    EXPECT_EQ(contents(backupFile()), previous);
    EXPECT_EQ(QDir(backups.path()).entryList(QDir::Files), QStringList{BackupJobs::FileName});
}

// Every till runs the hourly timer; the oldest attachment among them backs up, and when it leaves the next
// one takes over at once.
TEST_F(ServerBackup, TheHourlyBackupRunsOnTheOldestTillOnly) {
    sql(QStringLiteral("insert into TABBACKUP (DIRETORIO) values (?)"), {folderOf(backups)});
    auto younger = anotherTill();
    tick();
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_TRUE(QFile::exists(backupFile())) << TelaInicial->LBackup->text().toStdString();
    EXPECT_TRUE(TelaInicial->LBackup->text().startsWith(QStringLiteral("Backup automático feito em ")));
    ASSERT_TRUE(QFile::remove(backupFile()));

    // This till comes back after the other: the other is the oldest now.
    auto older = std::move(younger);
    DM->FDConnection1.close();
    DM->FDConnection1.open();
    tick();
    EXPECT_FALSE(QFile::exists(backupFile()));

    older->close();
    tick();
    EXPECT_TRUE(QFile::exists(backupFile()));
    EXPECT_TRUE(messages.shown.isEmpty());
}

// A sale under way is not stopped by a box: the failure shows in the status bar and the timer goes on.
TEST_F(ServerBackup, AFailingHourlyBackupIsToldInTheStatusBar) {
    QFile regular(backups.filePath(QStringLiteral("a file")));
    ASSERT_TRUE(regular.open(QIODevice::WriteOnly));
    regular.close();
    sql(QStringLiteral("insert into TABBACKUP (DIRETORIO) values (?)"), {regular.fileName() + u'/'});
    tick();
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_TRUE(TelaInicial->LBackup->text().startsWith(QStringLiteral("BACKUP AUTOMÁTICO FALHOU EM ")))
        << TelaInicial->LBackup->text().toStdString();
    EXPECT_TRUE(TelaInicial->Timer1->isActive());
}

// Replacing the database under a till still attached would leave that till writing into the old file.
struct Attached {
    int others;
    QString message;
};

void PrintTo(const Attached& a, std::ostream* os) {
    *os << a.others << " other till(s)";
}

class RestoreWith : public ServerBackup, public ::testing::WithParamInterface<Attached> {};

TEST_P(RestoreWith, OtherTillsAttachedIsRefusedNamingHowMany) {
    BackupJobs::backup(DM->FDConnection1, folderOf(backups), {});
    addCustomer(3, QStringLiteral("DEPOIS DO BACKUP"));
    std::vector<std::unique_ptr<Connection>> tills;
    for (int i = 0; i < GetParam().others; ++i)
        tills.push_back(anotherTill());
    showScreen();
    chooseBackupFile(backupFile());
    restore();
    EXPECT_EQ(messages.log(),
              (QStringList{AskedToRestore, QStringLiteral("warning|AVISO !|") + GetParam().message}));
    EXPECT_TRUE(DM->FDConnection1.isOpen());
    EXPECT_EQ(customers(), QStringLiteral("ANA SOUZA,JOSE LIMA,DEPOIS DO BACKUP"));
    EXPECT_FALSE(QFile::exists(server.file + BackupJobs::KeptBackupSuffix)) << "nothing was begun";
}

INSTANTIATE_TEST_SUITE_P(
    Tills, RestoreWith,
    ::testing::Values(Attached{1, QStringLiteral("A RESTAURAÇÃO NÃO FOI FEITA: HÁ OUTRO COMPUTADOR CONECTADO "
                                                 "AO BANCO DE DADOS. FECHE O BROLAVI NELE E TENTE DE NOVO.")},
                      Attached{2,
                               QStringLiteral("A RESTAURAÇÃO NÃO FOI FEITA: HÁ 2 OUTROS COMPUTADORES "
                                              "CONECTADOS AO BANCO DE DADOS. FECHE O BROLAVI NELES E TENTE "
                                              "DE NOVO.")}),
    [](const auto& c) { return std::to_string(c.param.others) + "Other"; });

// The server's restore replaces the database in place, and a failed one leaves it gone or half made: the
// database is put back from the backup taken first.
enum class BadBackup { Truncated, Garbage, OfAnotherDatabase };

class RestoreFrom : public ServerBackup, public ::testing::WithParamInterface<BadBackup> {};

TEST_P(RestoreFrom, ABadFileLeavesTheDatabaseAsItWas) {
    BackupJobs::backup(DM->FDConnection1, folderOf(backups), {});
    QByteArray content;
    switch (GetParam()) {
    case BadBackup::Truncated:
        content = contents(backupFile());
        content.truncate(content.size() / 2);
        break;
    case BadBackup::Garbage:
        content = QByteArray(20000, '\x5a');
        break;
    case BadBackup::OfAnotherDatabase: {
        const QString other = QDir(backups.path()).filePath(QStringLiteral("AGENDA.FDB"));
        createOtherDatabase(other, {QStringLiteral("create table CONTATOS (NOME varchar(40))"),
                                    QStringLiteral("insert into CONTATOS (NOME) values ('MARIA')")});
        const QString agenda = backups.filePath(QStringLiteral("agenda.bck"));
        FirebirdServices(TDM::UserName, TDM::Password).backup(other, agenda);
        content = contents(agenda);
        break;
    }
    }
    write(backupFile(), content);
    addCustomer(3, QStringLiteral("DEPOIS DO BACKUP"));

    showScreen();
    chooseBackupFile(backupFile());
    restore();
    EXPECT_EQ(
        messages.log(),
        (QStringList{AskedToRestore,
                     GetParam() == BadBackup::OfAnotherDatabase
                         ? QStringLiteral("error|Erro|O arquivo selecionado não é um backup do Brolavi!")
                         : QStringLiteral("error|Erro|Não foi possivel realizar a Restauração!")}))
        << FBackup->MRestore->toPlainText().toStdString();
    EXPECT_TRUE(DM->FDConnection1.isOpen());
    EXPECT_EQ(customers(), QStringLiteral("ANA SOUZA,JOSE LIMA,DEPOIS DO BACKUP"));
    addCustomer(4, QStringLiteral("E DEPOIS"));
    EXPECT_EQ(customers(), QStringLiteral("ANA SOUZA,JOSE LIMA,DEPOIS DO BACKUP,E DEPOIS"));
}

std::string nameOf(const ::testing::TestParamInfo<BadBackup>& c) {
    static const char* const names[] = {"Truncated", "Garbage", "OfAnotherDatabase"};
    return names[int(c.param)];
}

INSTANTIATE_TEST_SUITE_P(Files, RestoreFrom,
                         ::testing::Values(BadBackup::Truncated, BadBackup::Garbage,
                                           BadBackup::OfAnotherDatabase),
                         nameOf);

} // namespace
