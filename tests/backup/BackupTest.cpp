#include "FileContents.h"
#include "Printers.h"
#include "ProgramFixture.h"
#include "app/uBrolavi.h"
#include "backup/BackupJobs.h"
#include "backup/uBackup.h"
#include "data/uDM.h"
#include "platform/core/Errors.h"
#include "platform/core/FirebirdDatabase.h"
#include "platform/core/FirebirdServices.h"
#include "users/uLogin.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString CouldNotRestore = QStringLiteral("error|Erro|Não foi possivel realizar a Restauração!");
const QString CouldNotBackUp = QStringLiteral("error|Erro|Não foi possivel realizar o backup!");
const QString BackedUp = QStringLiteral("plain|Brolavi|Backup realizado com sucesso!");
const QString Restored = QStringLiteral("plain|Brolavi|Restauração realizado com sucesso!");
const QString AskedToRestore = QStringLiteral("question|Confirmação|A restauração substitui todos os dados "
                                              "atuais pelos do arquivo escolhido. Deseja continuar?");

QStringList filesIn(const QString& dir) {
    return QDir(dir).entryList(QDir::Files | QDir::Hidden);
}

QString customersIn(const QString& path) {
    Connection c;
    c.setDatabasePath(path);
    c.setUserName(TDM::UserName);
    c.setPassword(TDM::Password);
    c.open();
    return c
        .selectValue(
            QStringLiteral("select list(NOME, ',') from (select NOME from TABCADCLI order by CODIGO)"))
        .toString();
}

// The job helper in a process of its own, started as a program starts: with the default action for a file
// grown past the limit (the test ignores it, and children inherit that), and whatever inChild adds.
void startJob(QProcess& job, const QStringList& args, const std::function<void()>& inChild) {
    job.setChildProcessModifier([inChild] {
        std::signal(SIGXFSZ, SIG_DFL);
        inChild();
    });
    job.start(QStringLiteral(BACKUP_JOB), args);
}

class Backup : public ProgramFixture {
protected:
    void SetUp() override {
        ProgramFixture::SetUp();
        createUsers({{QStringLiteral("MASTER"), QStringLiteral("907438"), QStringLiteral("M")},
                     {QStringLiteral("ANA"), QStringLiteral("111111"), QStringLiteral("N")}});
        logInAs(QStringLiteral("MASTER"));
        addCustomer(1, QStringLiteral("ANA SOUZA"));
        addCustomer(2, QStringLiteral("JOSE LIMA"));
        sql(QStringLiteral("insert into TABDIVIDAS (CODIGO, CLIENTE, DESCRICAO, VALOR, STATUS_PAG, CONTA) "
                           "values (1, 1, 'CAMISA', 59.90, 'NP', 'N')"));
    }

    void addCustomer(int code, const QString& name) {
        sql(QStringLiteral("insert into TABCADCLI (CODIGO, NOME) values (?, ?)"), {code, name});
    }
    QString customers() {
        return sqlValue(QStringLiteral("select list(NOME, ',') from (select NOME from TABCADCLI order by "
                                       "CODIGO)"))
            .toString();
    }
    QString storedDirectories() {
        return sqlValue(QStringLiteral("select list(DIRETORIO, '|') from TABBACKUP")).toString();
    }
    QStringList databaseFolder() { return QDir(db.dir()).entryList(QDir::Files | QDir::NoDotAndDotDot); }
    static QString folderOf(const QTemporaryDir& dir) { return QDir::toNativeSeparators(dir.path() + u'/'); }

    // The backup screen open as the main screen's button shows it.
    void showScreen() { showActive(FBackup); }
    void chooseDirectory(const QString& anyFileThere) {
        files.answers.enqueue(anyFileThere);
        FBackup->SpeedButton1->click();
    }
    void chooseBackupFile(const QString& anyFileThere) {
        files.answers.enqueue(anyFileThere);
        FBackup->SpeedButton2->click();
    }
    // RESTAURAR, and the answer to its question.
    void restore(QMessageBox::StandardButton answer = QMessageBox::Yes) {
        messages.answers.enqueue(answer);
        FBackup->BRestore->click();
        messages.answers.clear();
    }
    // A good backup of the database as it is now, made outside the screen.
    void backUpTo(const QString& directory) { BackupJobs::backup(DM->FDConnection1, directory, {}); }
    bool buttonsEnabled() {
        for (QWidget* w : std::initializer_list<QWidget*>{FBackup->BBackup, FBackup->BRestore,
                                                          FBackup->SpeedButton1, FBackup->SpeedButton2})
            if (!w->isEnabled())
                return false;
        return true;
    }

    QTemporaryDir backups;
};

TEST_F(Backup, RoundTripBringsTheRowsBackAndEveryDatasetReopens) {
    // A stale file of the same name stays as it is until the new backup is complete.
    const QString target = backups.filePath(BackupJobs::FileName);
    {
        QFile stale(target);
        ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
        stale.write("an older backup");
    }
    showScreen();
    chooseDirectory(backups.filePath(QStringLiteral("whatever.bck")));
    ASSERT_EQ(FBackup->Edit1->text(), folderOf(backups));
    bool staleKeptMeanwhile = true;
    bool lockedMeanwhile = true;
    QObject::connect(FBackup->MBackup, &QPlainTextEdit::textChanged, FBackup, [&] {
        QFile f(target);
        staleKeptMeanwhile =
            staleKeptMeanwhile && f.open(QIODevice::ReadOnly) && f.readAll() == "an older backup";
        lockedMeanwhile =
            lockedMeanwhile && !FBackup->BBackup->isEnabled() && !FBackup->BRestore->isEnabled();
    });
    FBackup->BBackup->click();
    EXPECT_EQ(messages.log(), QStringList{QStringLiteral("plain|Brolavi|Backup realizado com sucesso!")});
    EXPECT_TRUE(staleKeptMeanwhile);
    EXPECT_TRUE(lockedMeanwhile);
    EXPECT_TRUE(buttonsEnabled());
    EXPECT_TRUE(FBackup->MBackup->toPlainText().contains(QStringLiteral("gbak:closing file, committing")));
    EXPECT_EQ(QDir(backups.path()).entryList(QDir::Files), QStringList{BackupJobs::FileName})
        << "no temporary file is left beside it";

    // The data changes after the backup, while the datasets are open.
    DM->TabCadCli.open();
    DM->TabDividas.open();
    sql(QStringLiteral("delete from TABCADCLI where CODIGO = 2"));
    addCustomer(3, QStringLiteral("NOVO CLIENTE"));
    sql(QStringLiteral("update TABDIVIDAS set STATUS_PAG = 'PG'"));
    messages.clear();

    chooseBackupFile(backups.filePath(QStringLiteral("another name.bck")));
    ASSERT_EQ(FBackup->Edit2->text(), folderOf(backups) + BackupJobs::FileName);
    restore();
    EXPECT_EQ(messages.log(), (QStringList{AskedToRestore, Restored}));
    EXPECT_TRUE(FBackup->MRestore->toPlainText().contains(FirebirdServices::RestoreFinishedLine));
    EXPECT_TRUE(buttonsEnabled());
    EXPECT_TRUE(DM->FDConnection1.isOpen());
    EXPECT_FALSE(DM->TabCadCli.isOpen()) << "closed with the connection, until a screen opens it";
    // The replaced database stays beside, whole, for a restore made by mistake.
    const QString kept = db.path() + BackupJobs::KeptSuffix;
    EXPECT_EQ(databaseFolder(),
              (QStringList{QStringLiteral("DBBROLAVI.FDB"), QStringLiteral("DBBROLAVI.FDB.anterior")}));
    EXPECT_EQ(customersIn(kept), QStringLiteral("ANA SOUZA,NOVO CLIENTE"));

    EXPECT_EQ(customers(), QStringLiteral("ANA SOUZA,JOSE LIMA"));
    EXPECT_EQ(sqlValue(QStringLiteral("select STATUS_PAG from TABDIVIDAS")).toString(), QStringLiteral("NP"));
    for (TableDataset* t : {&DM->TabCadCli, &DM->TabDividas, &DM->TabDesc_Compras, &DM->TabUsuarios,
                            &DM->TabBackup, &DM->TabProdutos}) {
        t->open();
        EXPECT_TRUE(t->isOpen()) << t->tableName().toStdString();
    }
    EXPECT_EQ(DM->TabCadCli.recordCount(), 2);
    EXPECT_EQ(DM->TabUsuariosLOGIN.asString(), QStringLiteral("MASTER"));
    EXPECT_EQ(DM->TabBackupDIRETORIO.asString(), folderOf(backups)) << "the setting was in the backup too";

    // The next restore keeps the database it replaces in that one file.
    addCustomer(4, QStringLiteral("ANTES DA SEGUNDA"));
    restore();
    EXPECT_EQ(databaseFolder(),
              (QStringList{QStringLiteral("DBBROLAVI.FDB"), QStringLiteral("DBBROLAVI.FDB.anterior")}));
    EXPECT_EQ(customersIn(kept), QStringLiteral("ANA SOUZA,JOSE LIMA,ANTES DA SEGUNDA"));
    EXPECT_EQ(customers(), QStringLiteral("ANA SOUZA,JOSE LIMA"));
    FBackup->hide();
    showScreen();
    EXPECT_EQ(FBackup->Edit1->text(), folderOf(backups));
    EXPECT_TRUE(FBackup->MRestore->toPlainText().isEmpty());
}

enum class BadBackup { Empty, Garbage, Truncated, OfAnotherDatabase };

class RestoreFrom : public Backup, public ::testing::WithParamInterface<BadBackup> {};

TEST_P(RestoreFrom, ABadFileLeavesTheDatabaseAsItWas) {
    QTemporaryDir good;
    backUpTo(folderOf(good));
    QByteArray content;
    switch (GetParam()) {
    case BadBackup::Empty:
        break;
    case BadBackup::Garbage:
        content = QByteArray(20000, '\x5a');
        break;
    case BadBackup::Truncated:
        content = contents(good.filePath(BackupJobs::FileName));
        content.truncate(content.size() / 2);
        break;
    case BadBackup::OfAnotherDatabase: {
        // A whole, good backup, of a database with one table that has nothing to do with the shop.
        const QString other = good.filePath(QStringLiteral("AGENDA.FDB"));
        createOtherDatabase(other, {QStringLiteral("create table CONTATOS (NOME varchar(40))"),
                                    QStringLiteral("insert into CONTATOS (NOME) values ('MARIA')")});
        FirebirdServices(TDM::UserName, TDM::Password)
            .backup(other, good.filePath(QStringLiteral("agenda.bck")));
        content = contents(good.filePath(QStringLiteral("agenda.bck")));
        break;
    }
    }
    const QString bad = backups.filePath(BackupJobs::FileName);
    write(bad, content);
    addCustomer(3, QStringLiteral("DEPOIS DO BACKUP"));
    DM->TabCadCli.open();

    showScreen();
    chooseBackupFile(bad);
    restore();
    EXPECT_EQ(messages.log(),
              (QStringList{AskedToRestore, GetParam() == BadBackup::OfAnotherDatabase
                                               ? QStringLiteral("error|Erro|O arquivo selecionado não é um "
                                                                "backup do Brolavi!")
                                               : CouldNotRestore}));
    EXPECT_FALSE(FBackup->MRestore->toPlainText().isEmpty()) << "the engine's reason stays in the memo";
    EXPECT_TRUE(buttonsEnabled());
    EXPECT_TRUE(DM->FDConnection1.isOpen());
    EXPECT_TRUE(DM->TabCadCli.isOpen()) << "the connection was never closed";
    EXPECT_EQ(customers(), QStringLiteral("ANA SOUZA,JOSE LIMA,DEPOIS DO BACKUP"));
    EXPECT_EQ(databaseFolder(), QStringList{QStringLiteral("DBBROLAVI.FDB")});
}

std::string nameOf(const ::testing::TestParamInfo<BadBackup>& c) {
    static const char* const names[] = {"Empty", "Garbage", "Truncated", "OfAnotherDatabase"};
    return names[int(c.param)];
}

INSTANTIATE_TEST_SUITE_P(Files, RestoreFrom,
                         ::testing::Values(BadBackup::Empty, BadBackup::Garbage, BadBackup::Truncated,
                                           BadBackup::OfAnotherDatabase),
                         nameOf);

// A database from an older installation is restored as it was made: its character set and the bytes of its
// text stay, and the program reads the accents right at once.
TEST_F(Backup, ARestoredDatabaseKeepsItsCharacterSetAndItsAccents) {
    const QString charset = DM->FDConnection1.characterSet();
    addCustomer(3, QStringLiteral("JOÃO D'ÁVILA"));
    const auto bytes = [this] {
        return sqlValue(QStringLiteral("select cast(NOME as varchar(60) character set octets) from TABCADCLI "
                                       "where CODIGO = 3"))
            .toByteArray();
    };
    const QByteArray before = bytes();
    backUpTo(folderOf(backups));
    sql(QStringLiteral("update TABCADCLI set NOME = 'OUTRO' where CODIGO = 3"));

    showScreen();
    chooseBackupFile(backups.filePath(BackupJobs::FileName));
    restore();
    ASSERT_EQ(messages.log(), (QStringList{AskedToRestore, Restored}));
    EXPECT_EQ(DM->FDConnection1.characterSet(), charset);
    EXPECT_EQ(bytes(), before);
    DM->TabCadCli.open();
    ASSERT_TRUE(DM->TabCadCli.locate(QStringLiteral("NOME"), QStringLiteral("JOÃO D'ÁVILA")));
    EXPECT_EQ(DM->TabCadCliCODIGO.asInteger(), 3);
}

TEST_F(Backup, AFailedBackupKeepsThePreviousFile) {
    backUpTo(folderOf(backups));
    const QString previous = backups.filePath(BackupJobs::FileName);
    QFile file(previous);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    QFile regular(backups.filePath(QStringLiteral("a file")));
    ASSERT_TRUE(regular.open(QIODevice::WriteOnly));
    regular.close();

    showScreen();
    chooseDirectory(regular.fileName() + QStringLiteral("/DBBROLAVI.bck"));
    FBackup->BBackup->click();
    EXPECT_EQ(messages.log(), QStringList{CouldNotBackUp});
    EXPECT_TRUE(FBackup->MBackup->toPlainText().contains(QStringLiteral("a file")))
        << FBackup->MBackup->toPlainText().toStdString();
    EXPECT_TRUE(buttonsEnabled());

    // Into the folder of the previous backup, from a database the engine cannot read.
    messages.clear();
    chooseDirectory(previous);
    const QString database = DM->FDConnection1.databasePath();
    DM->FDConnection1.setDatabasePath(regular.fileName());
    FBackup->BBackup->click();
    DM->FDConnection1.setDatabasePath(database);
    EXPECT_EQ(messages.log(), QStringList{CouldNotBackUp});
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
    EXPECT_EQ(QDir(backups.path()).entryList(QDir::Files),
              (QStringList{QStringLiteral("a file"), BackupJobs::FileName}));
}

// Some megabytes of backup: random descriptions, which the backup cannot compress.
void addManyEntries() {
    DM->FDConnection1.execute(QStringLiteral(
        "insert into TABDIVIDAS (CODIGO, CLIENTE, DESCRICAO, VALOR, STATUS_PAG, CONTA) "
        "with recursive n as (select 0 as i from RDB$DATABASE union all select i + 1 from n "
        "where i < 159) "
        "select 100 + a.i * 160 + b.i, 1, uuid_to_char(gen_uuid()) || uuid_to_char(gen_uuid()) "
        "|| uuid_to_char(gen_uuid()) || uuid_to_char(gen_uuid()), 1, 'NP', 'N' "
        "from n a cross join n b"));
}

TEST_F(Backup, ABackupStoppedByAFileSizeLimitFailsWithItsReasonAndThePreviousOneStays) {
    addManyEntries();
    backUpTo(folderOf(backups));
    const QString target = backups.filePath(BackupJobs::FileName);
    const QByteArray previous = contents(target);
    ASSERT_GT(previous.size(), 3'000'000);

    // The engine lets one process have the database.
    DM->FDConnection1.close();
    QProcess job;
    const rlim_t limit = rlim_t(previous.size() / 2);
    startJob(job, {QStringLiteral("backup"), db.path(), folderOf(backups)}, [limit] {
        const rlimit size{limit, limit};
        setrlimit(RLIMIT_FSIZE, &size);
    });
    ASSERT_TRUE(job.waitForFinished(60000));
    DM->FDConnection1.open();
    EXPECT_EQ(job.exitStatus(), QProcess::NormalExit) << "ended by signal " << job.exitCode();
    EXPECT_EQ(job.exitCode(), 1);
    EXPECT_FALSE(job.readAllStandardError().trimmed().isEmpty()) << "the reason is reported";
    EXPECT_EQ(contents(target), previous);
    EXPECT_EQ(filesIn(backups.path()), QStringList{BackupJobs::FileName});
}

// Whether another open file holds the lock that a running job keeps on its partial backup.
bool lockedElsewhere(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || flock(file.handle(), LOCK_EX | LOCK_NB) != 0)
        return true;
    flock(file.handle(), LOCK_UN);
    return false;
}

TEST_F(Backup, TheNextJobRemovesWhatInterruptedJobsLeftAndNothingElse) {
    const QString partialPattern =
        BackupJobs::FileName + QStringLiteral(".*") + BackupJobs::PartialBackupSuffix;
    const QString restoring = db.path() + BackupJobs::RestoringSuffix;
    const QString kept = db.path() + BackupJobs::KeptSuffix;
    write(restoring, "half a restore");
    write(kept, "the database an earlier restore replaced");
    // A backup still being written by another job into the same folder.
    const QString running =
        backups.filePath(BackupJobs::FileName + QStringLiteral(".aaaaaa") + BackupJobs::PartialBackupSuffix);
    write(running, "being written");
    QFile runningLock(running);
    ASSERT_TRUE(runningLock.open(QIODevice::ReadOnly));
    ASSERT_EQ(flock(runningLock.handle(), LOCK_EX), 0);

    // A backup killed in the middle: its output goes into a full pipe, so it stops at its first progress
    // line.
    DM->FDConnection1.close();
    int output[2];
    ASSERT_EQ(pipe(output), 0);
    for (int fd : output)
        fcntl(fd, F_SETFD, FD_CLOEXEC);
    fcntl(output[1], F_SETFL, O_NONBLOCK);
    while (::write(output[1], "x", 1) == 1) {
    }
    fcntl(output[1], F_SETFL, 0);
    QProcess job;
    startJob(job, {QStringLiteral("backup"), db.path(), folderOf(backups)},
             [fd = output[1]] { dup2(fd, STDOUT_FILENO); });
    QStringList partial;
    for (int i = 0; i < 2000 && partial.isEmpty(); ++i) {
        QThread::msleep(10);
        partial = QDir(backups.path()).entryList({partialPattern}, QDir::Files);
        partial.removeAll(QFileInfo(running).fileName());
        if (!partial.isEmpty() && !lockedElsewhere(backups.filePath(partial.front())))
            partial.clear();
    }
    job.kill();
    job.waitForFinished();
    close(output[0]);
    close(output[1]);
    ASSERT_EQ(partial.size(), 1) << "the job was running";
    ASSERT_TRUE(QFile::exists(backups.filePath(partial.front())));
    DM->FDConnection1.open();

    const mode_t umaskBefore = umask(022);
    showScreen();
    chooseDirectory(backups.filePath(BackupJobs::FileName));
    FBackup->BBackup->click();
    umask(umaskBefore);
    EXPECT_EQ(messages.log(), QStringList{BackedUp});
    EXPECT_EQ(filesIn(backups.path()), (QStringList{BackupJobs::FileName, QFileInfo(running).fileName()}));
    EXPECT_EQ(databaseFolder(),
              (QStringList{QStringLiteral("DBBROLAVI.FDB"), QStringLiteral("DBBROLAVI.FDB.anterior")}));
    EXPECT_EQ(contents(kept), "the database an earlier restore replaced");
    struct stat made {};
    ASSERT_EQ(stat(QFile::encodeName(backups.filePath(BackupJobs::FileName)).constData(), &made), 0);
    struct stat database {};
    ASSERT_EQ(stat(QFile::encodeName(db.path()).constData(), &database), 0);
    EXPECT_EQ(made.st_mode & 07777, 0600u | (database.st_mode & 0060u))
        << "the database's own access, nothing for others";

    // With the database gone from its path, a file beside it may be the only copy left: it stays.
    write(restoring, "maybe the only copy");
    const QString moved = db.path() + QStringLiteral(".moved");
    ASSERT_TRUE(QFile::rename(db.path(), moved));
    backUpTo(folderOf(backups)); // the engine still has the file open and backs it up
    ASSERT_TRUE(QFile::rename(moved, db.path()));
    EXPECT_EQ(contents(restoring), "maybe the only copy");
}

TEST_F(Backup, FirstUseStoresTheDirectoryAndTheNextOpeningShowsIt) {
    showScreen();
    EXPECT_TRUE(FBackup->Edit1->text().isEmpty());
    EXPECT_TRUE(FBackup->Edit2->text().isEmpty());
    chooseDirectory(QString());
    EXPECT_TRUE(FBackup->Edit1->text().isEmpty()) << "cancelled";
    EXPECT_TRUE(storedDirectories().isEmpty());

    QTemporaryDir first;
    chooseDirectory(first.filePath(QStringLiteral("x.bck")));
    EXPECT_EQ(storedDirectories(), folderOf(first));
    chooseDirectory(backups.filePath(BackupJobs::FileName));
    EXPECT_EQ(storedDirectories(), folderOf(backups)) << "updated, not added";

    FBackup->SpeedButton3->click();
    EXPECT_FALSE(FBackup->isVisible());
    showScreen();
    EXPECT_EQ(FBackup->Edit1->text(), folderOf(backups));

    // The statement updates every row; the table is meant to hold one.
    sql(QStringLiteral("insert into TABBACKUP (DIRETORIO) values ('/elsewhere/')"));
    chooseDirectory(first.filePath(QStringLiteral("x.bck")));
    EXPECT_EQ(storedDirectories(), folderOf(first) + u'|' + folderOf(first));
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_EQ(files.asked, QStringList(4, QStringLiteral("Selecionar Diretorio")));
}

struct LongPath {
    const char* name;
    bool settingExists;
    int length; // of the directory with its separator
    bool stored;
};

class DirectoryOf : public Backup, public ::testing::WithParamInterface<LongPath> {};

TEST_P(DirectoryOf, LengthDecidesWhetherItIsStored) {
    const QString old = QStringLiteral("/old/");
    if (GetParam().settingExists)
        sql(QStringLiteral("insert into TABBACKUP (DIRETORIO) values (?)"), {old});
    showScreen();
    QString directory = QStringLiteral("/tmp/");
    directory += QString(GetParam().length - directory.size() - 1, u'd') + u'/';
    ASSERT_EQ(directory.size(), GetParam().length);
    chooseDirectory(directory + BackupJobs::FileName);
    EXPECT_EQ(FBackup->Edit1->text(), directory);
    if (GetParam().stored) {
        EXPECT_TRUE(messages.shown.isEmpty());
        EXPECT_EQ(storedDirectories(), directory);
    } else {
        ASSERT_EQ(messages.shown.size(), 1);
        EXPECT_EQ(messages.shown.front().kind, Messages::Kind::StandardError);
        EXPECT_TRUE(messages.shown.front().text.contains(QStringLiteral("truncation")))
            << messages.shown.front().text.toStdString();
        EXPECT_EQ(storedDirectories(), GetParam().settingExists ? old : QString());
        EXPECT_EQ(DM->TabBackup.state(), TableDataset::State::Browse);
    }
    EXPECT_TRUE(FBackup->isVisible());
}

INSTANTIATE_TEST_SUITE_P(Cases, DirectoryOf,
                         ::testing::Values(LongPath{"FirstUseAtTheLimit", false, 100, true},
                                           LongPath{"FirstUseOverTheLimit", false, 101, false},
                                           LongPath{"UpdateOverTheLimit", true, 101, false}),
                         [](const auto& c) { return std::string(c.param.name); });

TEST_F(Backup, BothButtonsWantTheirPathFirst) {
    showScreen();
    FBackup->BBackup->click();
    FBackup->BRestore->click();
    EXPECT_EQ(messages.log(),
              QStringList(2, QStringLiteral("error|Erro|Por favor selecione o diretório do backup")));
    EXPECT_TRUE(FBackup->MBackup->toPlainText().isEmpty());
    EXPECT_TRUE(FBackup->MRestore->toPlainText().isEmpty());
}

struct RestoreCase {
    const char* login;
    QMessageBox::StandardButton answer; // to the question, when it comes
    bool restored;
};

class RestoreBy : public Backup, public ::testing::WithParamInterface<RestoreCase> {};

// A restore replaces the books and the users: asked first, and a master's alone. Backups stay everyone's.
TEST_P(RestoreBy, OnlyAMasterRestoresAndOnlyAfterSayingYes) {
    const RestoreCase& c = GetParam();
    logInAs(QString::fromUtf8(c.login));
    showScreen();
    chooseDirectory(backups.filePath(BackupJobs::FileName));
    FBackup->BBackup->click();
    ASSERT_EQ(messages.log(), QStringList{BackedUp});
    messages.clear();
    addCustomer(3, QStringLiteral("DEPOIS DO BACKUP"));

    chooseBackupFile(backups.filePath(BackupJobs::FileName));
    restore(c.answer);
    const bool master = QString::fromUtf8(c.login) == QStringLiteral("MASTER");
    EXPECT_EQ(messages.log(),
              master
                  ? (c.restored ? QStringList{AskedToRestore, Restored} : QStringList{AskedToRestore})
                  : QStringList{QStringLiteral("warning|AVISO !|SOMENTE UM USUÁRIO MASTER PODE RESTAURAR O "
                                               "BANCO DE DADOS")});
    if (master) {
        EXPECT_EQ(messages.shown.front().buttons, QMessageBox::Yes | QMessageBox::No);
    }
    EXPECT_EQ(customers(), c.restored ? QStringLiteral("ANA SOUZA,JOSE LIMA")
                                      : QStringLiteral("ANA SOUZA,JOSE LIMA,DEPOIS DO BACKUP"));
    EXPECT_EQ(databaseFolder().size(), c.restored ? 2 : 1) << "a restore keeps the database it replaced";
    EXPECT_EQ(FBackup->MRestore->toPlainText().isEmpty(), !c.restored);
    EXPECT_TRUE(buttonsEnabled());

    // The hourly backup runs whoever is logged in.
    messages.clear();
    QTemporaryDir hourly;
    sql(QStringLiteral("update TABBACKUP set DIRETORIO = ?"), {folderOf(hourly)});
    QMetaObject::invokeMethod(TelaInicial->Timer1, "timeout");
    EXPECT_TRUE(messages.shown.isEmpty()) << messages.log().join(u'\n').toStdString();
    EXPECT_TRUE(QFile::exists(hourly.filePath(BackupJobs::FileName)));
}

INSTANTIATE_TEST_SUITE_P(Users, RestoreBy,
                         ::testing::Values(RestoreCase{"MASTER", QMessageBox::Yes, true},
                                           RestoreCase{"MASTER", QMessageBox::No, false},
                                           RestoreCase{"ANA", QMessageBox::Yes, false},
                                           RestoreCase{"NINGUEM", QMessageBox::Yes, false}));

// A backup holds the books and the users' passwords: it is as closed as the database file, whatever the
// umask gives new files.
class BackupAccess : public Backup, public ::testing::WithParamInterface<std::pair<mode_t, mode_t>> {};

TEST_P(BackupAccess, IsTheDatabaseFilesAndNothingForOthers) {
    const auto [databaseMode, backupMode] = GetParam();
    ASSERT_EQ(chmod(QFile::encodeName(db.path()).constData(), databaseMode), 0);
    const QString target = backups.filePath(BackupJobs::FileName);
    write(target, "an older backup, open to all"); // replaced, not reused
    ASSERT_EQ(chmod(QFile::encodeName(target).constData(), 0666), 0);
    const mode_t umaskBefore = umask(0);
    showScreen();
    chooseDirectory(target);
    FBackup->BBackup->click();
    umask(umaskBefore);
    ASSERT_EQ(messages.log(), QStringList{BackedUp});
    struct stat made {};
    ASSERT_EQ(stat(QFile::encodeName(target).constData(), &made), 0);
    EXPECT_EQ(made.st_mode & 07777, backupMode);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, BackupAccess,
    ::testing::Values(std::pair<mode_t, mode_t>{0600, 0600}, std::pair<mode_t, mode_t>{0640, 0640},
                      std::pair<mode_t, mode_t>{0660, 0660}, std::pair<mode_t, mode_t>{0644, 0640},
                      std::pair<mode_t, mode_t>{0666, 0660}, std::pair<mode_t, mode_t>{0400, 0600}),
    [](const auto& c) {
        return "Database0" + std::to_string(c.param.first / 64) + std::to_string(c.param.first / 8 % 8) +
               std::to_string(c.param.first % 8);
    });

// The timer's own signal, so that an error takes the way a real tick takes.
void tick() {
    QMetaObject::invokeMethod(TelaInicial->Timer1, "timeout");
}

TEST_F(Backup, TheHourlyBackupAsksForADirectoryUntilOneIsStored) {
    tick();
    tick();
    EXPECT_EQ(messages.log(), QStringList(2, QStringLiteral("custom|BACKUP AUTOMÁTICO!|Por favor selecione o "
                                                            "diretório do backup no BOTÂO BACKUP")));
    EXPECT_EQ(messages.shown.front().icon, QMessageBox::Warning);
    EXPECT_EQ(messages.shown.front().buttons, QMessageBox::Ok);
    EXPECT_TRUE(TelaInicial->Timer1->isActive());
}

TEST_F(Backup, TheHourlyBackupWritesSilentlyIntoTheStoredDirectory) {
    sql(QStringLiteral("insert into TABBACKUP (DIRETORIO) values (?)"), {folderOf(backups)});
    tick();
    EXPECT_TRUE(messages.shown.isEmpty());

    // What it wrote restores to the same rows.
    const QString copy = QDir(db.dir()).filePath(QStringLiteral("copy.fdb"));
    FirebirdServices services(TDM::UserName, TDM::Password);
    services.restore(backups.filePath(BackupJobs::FileName), copy);
    EXPECT_EQ(customersIn(copy), QStringLiteral("ANA SOUZA,JOSE LIMA"));
}

TEST_F(Backup, AFailingHourlyBackupGoesToTheErrorBoxAndTheTimerGoesOn) {
    QFile regular(backups.filePath(QStringLiteral("a file")));
    ASSERT_TRUE(regular.open(QIODevice::WriteOnly));
    regular.close();
    sql(QStringLiteral("insert into TABBACKUP (DIRETORIO) values (?)"), {regular.fileName() + u'/'});
    tick();
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown.front().kind, Messages::Kind::StandardError);
    EXPECT_TRUE(TelaInicial->Timer1->isActive());
}

TEST_F(Backup, AnHourlyTickDuringAJobIsSkipped) {
    showScreen();
    chooseDirectory(backups.filePath(BackupJobs::FileName));
    int ticks = 0;
    QObject::connect(FBackup->MBackup, &QPlainTextEdit::textChanged, FBackup, [&] {
        if (ticks++ == 0)
            tick();
    });
    FBackup->BBackup->click();
    EXPECT_GT(ticks, 1);
    EXPECT_EQ(messages.log(), QStringList{QStringLiteral("plain|Brolavi|Backup realizado com sucesso!")})
        << "neither a second backup nor an error";
}

} // namespace
