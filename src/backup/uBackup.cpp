#include "backup/uBackup.h"

#include "backup/BackupJobs.h"
#include "data/Users.h"
#include "data/uDM.h"
#include "platform/core/Errors.h"
#include "platform/core/Query.h"
#include "platform/widgets/FileDialogs.h"
#include "platform/widgets/Messages.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

TFBackup* FBackup = nullptr;

namespace {

const QString DialogFilter = QStringLiteral("Backup (*.bck)");

// The directory part of a chosen file, with its trailing separator, as the setting keeps it.
QString directoryOf(const QString& file) {
    QString dir = QFileInfo(file).absolutePath();
    if (!dir.endsWith(u'/'))
        dir += u'/';
    return QDir::toNativeSeparators(dir);
}

// Where the dialogs start: the program's folder, proposing the backup's name.
QString proposedFile() {
    return QDir(QCoreApplication::applicationDirPath()).filePath(BackupJobs::FileName);
}

// The backup picture with the arrow of its badge turned upwards: the way back in.
QImage withBadgeUpwards(const QString& resource) {
    QImage image(resource);
    if (image.isNull())
        return image;
    const qreal ratio = image.devicePixelRatio();
    image = image.convertToFormat(QImage::Format_ARGB32);
    image.setDevicePixelRatio(1);
    QRect badge;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.alpha() > 200 && c.red() > 200 && c.green() > 90 && c.green() < 200 && c.blue() < 90)
                badge |= QRect(x, y, 1, 1);
        }
    }
    if (badge.isEmpty())
        return image;
    // The badge is round and sits in the bottom corner; its light top is not orange enough to be found.
    const int margin = std::max(1, badge.width() / 20);
    const QRect circle = QRect(badge.left(), badge.bottom() - badge.width() + 1, badge.width(), badge.width())
                             .adjusted(-margin, -margin, margin, margin);
    const QImage flipped = image.copy(circle).mirrored(false, true);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath clip;
    clip.addEllipse(QRectF(circle));
    painter.setClipPath(clip);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(circle.topLeft(), flipped);
    painter.end();
    image.setDevicePixelRatio(ratio);
    return image;
}

QIcon restoreIcon() {
    QIcon icon;
    for (const QString& file : {QStringLiteral(":/img/backup.png"), QStringLiteral(":/img/backup@2x.png")}) {
        const QImage image = withBadgeUpwards(file);
        if (!image.isNull())
            icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

QPushButton* jobButton(const QString& name, const QString& caption, const QIcon& icon, QWidget* parent) {
    auto* b = new QPushButton(icon, caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    b->setIconSize(QSize(32, 32));
    b->setMinimumHeight(46);
    b->setStyleSheet(QStringLiteral("QPushButton { background: #12504f; color: white; font-weight: bold; "
                                    "font-size: 11pt; border: none; border-radius: 3px; padding: 4px 18px; }"
                                    "QPushButton:hover { background: #1a6a69; }"
                                    "QPushButton:disabled { background: #9fb5b4; color: #eef3f3; }"));
    return b;
}

// One half of the screen: its heading, the path with its picker, the button and the progress lines.
struct Half {
    QLineEdit* edit;
    QToolButton* picker;
    QPushButton* button;
    QPlainTextEdit* memo;
};

Half addHalf(QWidget* parent, const QString& heading, const QString& caption, const QString& pickerName,
             const QString& editName, const QString& memoName, QPushButton* button) {
    auto* layout = new QVBoxLayout(parent);
    layout->setContentsMargins(18, 14, 18, 16);
    layout->setSpacing(6);
    auto* title = new QLabel(heading, parent);
    title->setStyleSheet(QStringLiteral("font-size: 12pt; font-weight: bold; color: #12504f;"));
    layout->addWidget(title);
    layout->addSpacing(4);
    layout->addWidget(new QLabel(caption, parent));

    auto* row = new QHBoxLayout;
    row->setSpacing(4);
    Half half{};
    half.edit = new QLineEdit(parent);
    half.edit->setObjectName(editName);
    half.edit->setReadOnly(true);
    // Only the picker fills it: the screen opens with the focus on its first button instead.
    half.edit->setFocusPolicy(Qt::ClickFocus);
    half.edit->setMinimumHeight(26);
    half.edit->setStyleSheet(QStringLiteral("QLineEdit { background: #f3f6f6; }"));
    half.picker = new QToolButton(parent);
    half.picker->setObjectName(pickerName);
    half.picker->setIcon(parent->style()->standardIcon(QStyle::SP_DirOpenIcon));
    half.picker->setIconSize(QSize(20, 20));
    half.picker->setFixedSize(30, 26);
    half.picker->setFocusPolicy(Qt::NoFocus);
    row->addWidget(half.edit, 1);
    row->addWidget(half.picker);
    layout->addLayout(row);
    layout->addSpacing(6);

    half.button = button;
    layout->addWidget(button);
    layout->addSpacing(6);
    auto* progress = new QLabel(QStringLiteral("Andamento:"), parent);
    progress->setStyleSheet(QStringLiteral("color: #555;"));
    layout->addWidget(progress);
    half.memo = new QPlainTextEdit(parent);
    half.memo->setObjectName(memoName);
    half.memo->setReadOnly(true);
    half.memo->setStyleSheet(QStringLiteral("QPlainTextEdit { background: white; font-family: monospace; "
                                            "font-size: 8pt; }"));
    layout->addWidget(half.memo, 1);
    return half;
}

} // namespace

TFBackup::TFBackup(QWidget* parent)
    : Form(QStringLiteral("Backup / Restore"), {}, parent) {
    setObjectName(QStringLiteral("FBackup"));
    SpeedButton3 = closeButton();
    SpeedButton3->setObjectName(QStringLiteral("SpeedButton3"));

    auto* columns = new QHBoxLayout(body());
    columns->setContentsMargins(0, 0, 0, 0);
    columns->setSpacing(0);
    body()->setStyleSheet(QStringLiteral("#BackupHalf, #RestoreHalf { background: #fbfcfc; }"));

    auto* left = new QWidget(body());
    left->setObjectName(QStringLiteral("BackupHalf"));
    BBackup = jobButton(QStringLiteral("BBackup"), QStringLiteral("BACKUP"),
                        QIcon(QStringLiteral(":/img/backup.png")), left);
    const Half backup =
        addHalf(left, QStringLiteral("Backup do banco de dados"), QStringLiteral("Selecionar Diretorio:"),
                QStringLiteral("SpeedButton1"), QStringLiteral("Edit1"), QStringLiteral("MBackup"), BBackup);
    Edit1 = backup.edit;
    SpeedButton1 = backup.picker;
    SpeedButton1->setToolTip(QStringLiteral("Selecionar o diretório do backup"));
    MBackup = backup.memo;
    columns->addWidget(left, 1);

    auto* line = new QFrame(body());
    line->setFrameShape(QFrame::VLine);
    line->setStyleSheet(QStringLiteral("color: #c9d6d6;"));
    columns->addWidget(line);

    auto* right = new QWidget(body());
    right->setObjectName(QStringLiteral("RestoreHalf"));
    BRestore = jobButton(QStringLiteral("BRestore"), QStringLiteral("RESTAURAR"), restoreIcon(), right);
    const Half restore = addHalf(right, QStringLiteral("Restauração do banco de dados"),
                                 QStringLiteral("Selecionar Arquivo:"), QStringLiteral("SpeedButton2"),
                                 QStringLiteral("Edit2"), QStringLiteral("MRestore"), BRestore);
    Edit2 = restore.edit;
    SpeedButton2 = restore.picker;
    SpeedButton2->setToolTip(QStringLiteral("Selecionar o arquivo de backup"));
    MRestore = restore.memo;
    columns->addWidget(right, 1);

    connect(BBackup, &QPushButton::clicked, this, [this] { guarded([this] { BBackupClick(); }); });
    connect(BRestore, &QPushButton::clicked, this, [this] { guarded([this] { BRestoreClick(); }); });
    connect(SpeedButton1, &QToolButton::clicked, this, [this] { guarded([this] { SpeedButton1Click(); }); });
    connect(SpeedButton2, &QToolButton::clicked, this, [this] { guarded([this] { SpeedButton2Click(); }); });
    connect(Edit1, &QLineEdit::textChanged, this, [this] { guarded([this] { Edit1Change(); }); });
    setFixedSize(820, 460);
}

void TFBackup::FormShow() {
    MBackup->clear();
    MRestore->clear();
    TableDataset& setting = DM->TabBackup;
    setting.open();
    setting.refresh();
    Edit1->setText(setting.isEmpty() ? QString() : DM->TabBackupDIRETORIO.asString());
    Edit2->clear();
}

void TFBackup::Edit1Change() {
    // Emptied by a show without a setting: there is no directory to keep.
    if (Edit1->text().isEmpty())
        return;
    TableDataset& setting = DM->TabBackup;
    setting.open();
    setting.refresh();
    if (!setting.isEmpty()) {
        Query update(DM->FDConnection1);
        update.setSql(QStringLiteral("update TabBackup set Diretorio = :qDir"));
        update.setParam(QStringLiteral("qDir"), Edit1->text());
        update.execSql();
        setting.refresh();
        return;
    }
    setting.append();
    try {
        DM->TabBackupDIRETORIO.setValue(Edit1->text());
        setting.post();
    } catch (...) {
        // Not stored: the table stays without a row, as it was.
        setting.cancel();
        throw;
    }
}

void TFBackup::SpeedButton1Click() {
    const QString chosen = FileDialogs::instance().saveFile(this, QStringLiteral("Selecionar Diretorio"),
                                                            proposedFile(), DialogFilter);
    if (!chosen.isEmpty())
        Edit1->setText(directoryOf(chosen));
}

void TFBackup::SpeedButton2Click() {
    const QString chosen = FileDialogs::instance().openFile(this, QStringLiteral("Selecionar Arquivo"),
                                                            proposedFile(), DialogFilter);
    // Whichever file was picked, the restore reads the backup of that name in its folder.
    if (!chosen.isEmpty())
        Edit2->setText(directoryOf(chosen) + BackupJobs::FileName);
}

void TFBackup::BBackupClick() {
    if (Edit1->text().isEmpty()) {
        Messages::error(QStringLiteral("Por favor selecione o diretório do backup"));
        return;
    }
    const QString directory = Edit1->text();
    const std::exception_ptr failure = runJob(
        MBackup, [&](const auto& onLine) { BackupJobs::backup(DM->FDConnection1, directory, onLine); });
    if (!failure)
        Messages::plain(QStringLiteral("Backup realizado com sucesso!"));
    else
        Messages::error(QStringLiteral("Não foi possivel realizar o backup!"));
}

void TFBackup::BRestoreClick() {
    // A restore replaces the books and the users, its own master included: only a master may.
    if (!Users(*DM).currentIsMaster()) {
        Messages::warning(QStringLiteral("SOMENTE UM USUÁRIO MASTER PODE RESTAURAR O BANCO DE DADOS"));
        return;
    }
    if (Edit2->text().isEmpty()) {
        Messages::error(QStringLiteral("Por favor selecione o diretório do backup"));
        return;
    }
    if (!Messages::confirm(QStringLiteral("A restauração substitui todos os dados atuais pelos do arquivo "
                                          "escolhido. Deseja continuar?")))
        return;
    const QString file = Edit2->text();
    const std::exception_ptr failure =
        runJob(MRestore, [&](const auto& onLine) { BackupJobs::restore(DM->FDConnection1, file, onLine); });
    if (!failure) {
        Messages::plain(QStringLiteral("Restauração realizado com sucesso!"));
        return;
    }
    try {
        std::rethrow_exception(failure);
    } catch (const BackupJobs::ForeignBackup&) {
        Messages::error(QStringLiteral("O arquivo selecionado não é um backup do Brolavi!"));
    } catch (const BackupJobs::OtherTillsAttached& e) {
        Messages::warning(e.message());
    } catch (...) {
        Messages::error(QStringLiteral("Não foi possivel realizar a Restauração!"));
    }
}

std::exception_ptr TFBackup::runJob(QPlainTextEdit* memo, const Job& job) {
    lock(true);
    const struct Unlock {
        TFBackup* form;
        ~Unlock() { form->lock(false); }
    } unlock{this};
    try {
        job([memo](const QString& line) {
            memo->appendPlainText(line.trimmed());
            // The lines show while the job runs; the locked buttons take no click meanwhile.
            QCoreApplication::processEvents();
        });
    } catch (const std::exception& e) {
        // The dialog only says that it failed: the engine's reason stays under the progress lines.
        const auto* known = dynamic_cast<const BrolaviError*>(&e);
        memo->appendPlainText(known ? known->message() : QString::fromLocal8Bit(e.what()));
        return std::current_exception();
    }
    return {};
}

void TFBackup::lock(bool locked) {
    for (QWidget* w :
         std::initializer_list<QWidget*>{BBackup, BRestore, SpeedButton1, SpeedButton2, SpeedButton3})
        w->setEnabled(!locked);
}
