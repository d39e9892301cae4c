#include "BackupJobs.h"
#include "Errors.h"
#include "FirebirdServices.h"
#include "Printers.h"
#include "ProgramFixture.h"
#include "uBackup.h"
#include "uBrolavi.h"
#include "uDM.h"
#include "uLogin.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

namespace {

const QString CouldNotRestore = QStringLiteral("error|Erro|Não foi possivel realizar a Restauração!");
const QString CouldNotBackUp = QStringLiteral("error|Erro|Não foi possivel realizar o backup!");

class Backup : public ProgramFixture {
protected:
    void SetUp() override {
        ProgramFixture::SetUp();
        createUsers({{QStringLiteral("MASTER"), QStringLiteral("907438"), QStringLiteral("M")}});
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
    FBackup->BRestore->click();
    EXPECT_EQ(messages.log(),
              QStringList{QStringLiteral("plain|Brolavi|Restauração realizado com sucesso!")});
    EXPECT_TRUE(FBackup->MRestore->toPlainText().contains(FirebirdServices::RestoreFinishedLine));
    EXPECT_TRUE(buttonsEnabled());
    EXPECT_TRUE(DM->FDConnection1.isOpen());
    EXPECT_FALSE(DM->TabCadCli.isOpen()) << "closed with the connection, until a screen opens it";
    EXPECT_EQ(databaseFolder(), QStringList{QStringLiteral("DBBROLAVI.FDB")});

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
    FBackup->hide();
    showScreen();
    EXPECT_EQ(FBackup->Edit1->text(), folderOf(backups));
    EXPECT_TRUE(FBackup->MRestore->toPlainText().isEmpty());
}

enum class BadBackup { Empty, Garbage, Truncated };

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
    case BadBackup::Truncated: {
        QFile whole(good.filePath(BackupJobs::FileName));
        ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
        content = whole.readAll();
        content.truncate(content.size() / 2);
        break;
    }
    }
    QFile bad(backups.filePath(BackupJobs::FileName));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write(content);
    bad.close();
    addCustomer(3, QStringLiteral("DEPOIS DO BACKUP"));
    DM->TabCadCli.open();

    showScreen();
    chooseBackupFile(bad.fileName());
    FBackup->BRestore->click();
    EXPECT_EQ(messages.log(), QStringList{CouldNotRestore});
    EXPECT_FALSE(FBackup->MRestore->toPlainText().isEmpty()) << "the engine's reason stays in the memo";
    EXPECT_TRUE(buttonsEnabled());
    EXPECT_TRUE(DM->FDConnection1.isOpen());
    EXPECT_TRUE(DM->TabCadCli.isOpen()) << "the connection was never closed";
    EXPECT_EQ(customers(), QStringLiteral("ANA SOUZA,JOSE LIMA,DEPOIS DO BACKUP"));
    EXPECT_EQ(databaseFolder(), QStringList{QStringLiteral("DBBROLAVI.FDB")});
}

std::string nameOf(const ::testing::TestParamInfo<BadBackup>& c) {
    static const char* const names[] = {"Empty", "Garbage", "Truncated"};
    return names[int(c.param)];
}

INSTANTIATE_TEST_SUITE_P(Files, RestoreFrom,
                         ::testing::Values(BadBackup::Empty, BadBackup::Garbage, BadBackup::Truncated),
                         nameOf);

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
    Connection restored;
    restored.setDatabasePath(copy);
    restored.setUserName(TDM::UserName);
    restored.setPassword(TDM::Password);
    restored.open();
    EXPECT_EQ(restored.selectValue(QStringLiteral("select list(NOME, ',') from TABCADCLI")).toString(),
              QStringLiteral("ANA SOUZA,JOSE LIMA"));
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
