#include "app/uBrolavi.h"

#include "app/uSobre.h"
#include "app/uSplash.h"
#include "backup/BackupJobs.h"
#include "backup/uBackup.h"
#include "cash/uVendasAvista.h"
#include "consultation/uConsulta.h"
#include "credit/uDividas.h"
#include "customers/uCadCli.h"
#include "data/Customers.h"
#include "data/Ledger.h"
#include "data/Tills.h"
#include "data/Users.h"
#include "data/uDM.h"
#include "platform/core/Clock.h"
#include "platform/core/DatabaseLocation.h"
#include "platform/core/Errors.h"
#include "platform/core/FilterExpression.h"
#include "platform/core/Formats.h"
#include "platform/widgets/Branding.h"
#include "platform/widgets/DataWidgets.h"
#include "platform/widgets/Messages.h"
#include "platform/widgets/ModalHost.h"
#include "shop/uLoja.h"
#include "users/uCadUsu.h"
#include "users/uLogin.h"
#include "users/uTrocaSenha.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

TTelaInicial* TelaInicial = nullptr;

TTelaInicial::TTelaInicial(QWidget* parent)
    : Form(QStringLiteral("Brolavi v.2.0"),
           {.borderless = false, .titleStrip = false, .keyPreview = false, .enterMovesFocus = false},
           parent) {
    setObjectName(QStringLiteral("TelaInicial"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowIcon(QIcon(QStringLiteral(":/img/logo.png")));
    setWindowState(Qt::WindowMaximized);

    auto* layout = new QVBoxLayout(body());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    // A plain strip rather than a QToolBar: a toolbar would fold buttons away on a narrow screen and ignores
    // hiding a button directly.
    ToolBar1 = new QFrame(body());
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setStyleSheet(
        QStringLiteral("#ToolBar1 { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, "
                       "stop:0 #fdfdfd, stop:1 #e4ecec); border-bottom: 1px solid #b8c7c7; }"
                       "QToolButton { padding: 4px 8px; min-width: 84px; }"));
    m_toolLayout = new QHBoxLayout(ToolBar1);
    m_toolLayout->setContentsMargins(2, 2, 2, 2);
    m_toolLayout->setSpacing(2);

    BClientes =
        addButton(QStringLiteral("BClientes"), QStringLiteral("Clientes"), QStringLiteral("clientes"));
    BDividas = addButton(QStringLiteral("BDividas"), QStringLiteral("Vendas à Prazo"),
                         QStringLiteral("vendas_prazo"));
    BVendas_vista = addButton(QStringLiteral("BVendas_vista"), QStringLiteral("Vendas à Vista"),
                              QStringLiteral("vendas_vista"));
    BVendas_rapidas = addButton(QStringLiteral("BVendas_rapidas"), QStringLiteral("Vendas Ràpidas"),
                                QStringLiteral("vendas_rapidas"));
    BConsultar =
        addButton(QStringLiteral("BConsultar"), QStringLiteral("Fluxo Caixa"), QStringLiteral("fluxo_caixa"));
    m_toolLayout->addStretch(1);
    BTrocaSenha = addButton(QStringLiteral("BTrocaSenha"), QStringLiteral("Trocar Login/Senha"),
                            QStringLiteral("trocar_senha"));
    BCadUsu = addButton(QStringLiteral("BCadUsu"), QStringLiteral("Cadastrar Usuário"),
                        QStringLiteral("cadastrar_usuario"));
    BLoja = addButton(QStringLiteral("BLoja"), QStringLiteral("Dados da Loja"), QStringLiteral("loja"));
    BBackup = addButton(QStringLiteral("BBackup"), QStringLiteral("Backup"), QStringLiteral("backup"));
    BSobre = addButton(QStringLiteral("BSobre"), QString(), QStringLiteral("sobre"));
    BSobre->setToolTip(QStringLiteral("Sobre"));
    BSobre->setToolButtonStyle(Qt::ToolButtonIconOnly);
    BSobre->setStyleSheet(QStringLiteral("min-width: 0px;"));
    connect(BSobre, &QToolButton::clicked, this, [this] { guarded([this] { BSobreClick(); }); });
    connect(BClientes, &QToolButton::clicked, this, [this] { guarded([this] { BClientesClick(); }); });
    connect(BDividas, &QToolButton::clicked, this, [this] { guarded([this] { BDividasClick(); }); });
    connect(BVendas_vista, &QToolButton::clicked, this,
            [this] { guarded([this] { BVendas_vistaClick(); }); });
    connect(BVendas_rapidas, &QToolButton::clicked, this,
            [this] { guarded([this] { BVendas_rapidasClick(); }); });
    connect(BConsultar, &QToolButton::clicked, this, [this] { guarded([this] { BConsultarClick(); }); });
    connect(BTrocaSenha, &QToolButton::clicked, this, [this] { guarded([this] { BTrocaSenhaClick(); }); });
    connect(BCadUsu, &QToolButton::clicked, this, [this] { guarded([this] { BCadUsuClick(); }); });
    connect(BLoja, &QToolButton::clicked, this, [this] { guarded([this] { BLojaClick(); }); });
    connect(BBackup, &QToolButton::clicked, this, [this] { guarded([this] { BBackupClick(); }); });
    layout->addWidget(ToolBar1);

    m_background = new QLabel(body());
    m_background->setObjectName(QStringLiteral("Image1"));
    m_background->setScaledContents(true);
    m_background->setPixmap(QPixmap(QStringLiteral(":/img/background.png")));
    m_background->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    layout->addWidget(m_background, 1);

    StatusBar1 = new QStatusBar(body());
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    StatusBar1->addWidget(new QLabel(Branding::StatusLine, StatusBar1));
    LBackup = new QLabel(StatusBar1);
    LBackup->setObjectName(QStringLiteral("LBackup"));
    // A long reason is cut at the window's edge rather than widening the window.
    LBackup->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    StatusBar1->addPermanentWidget(LBackup, 1);
    layout->addWidget(StatusBar1);

    // Runs from creation, behind the login too.
    Timer1 = new QTimer(this);
    Timer1->setInterval(3600000);
    connect(Timer1, &QTimer::timeout, this, [this] { guarded([this] { Timer1Timer(); }); });
    Timer1->start();
}

QToolButton* TTelaInicial::addButton(const QString& name, const QString& caption, const QString& icon) {
    auto* b = new QToolButton(ToolBar1);
    b->setObjectName(name);
    b->setText(caption);
    b->setIcon(QIcon(QStringLiteral(":/img/%1.png").arg(icon)));
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setIconSize(QSize(48, 48));
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus);
    m_toolLayout->addWidget(b);
    return b;
}

void TTelaInicial::FormShow() {
    if (windowState() & Qt::WindowMinimized)
        setWindowState(windowState() & ~Qt::WindowMinimized);
    // Maximised, also where no window manager does it for us.
    if (const QScreen* s = screen())
        setGeometry(s->availableGeometry());
    setWindowState(windowState() | Qt::WindowMaximized);
    FSplash->hide();
    FLogin->hide();
    const bool master = Users(*DM).currentIsMaster();
    BCadUsu->setVisible(master);
    BLoja->setVisible(master);
}

void TTelaInicial::FormClose() {
    // The splash is the program's main window: closing the main screen ends the run.
    FSplash->close();
    QApplication::quit();
}

void TTelaInicial::Timer1Timer() {
    // A backup or restore of the backup screen is running (this tick came through its progress lines): the
    // next hour's tick will do.
    if (BackupJobs::running())
        return;
    if (DatabaseLocation(DM->FDConnection1.databasePath()).isServer()) {
        hourlyBackupOnServer();
        return;
    }
    TableDataset& setting = DM->TabBackup;
    setting.open();
    setting.refresh();
    if (setting.isEmpty()) {
        Messages::box(QStringLiteral("BACKUP AUTOMÁTICO!"),
                      QStringLiteral("Por favor selecione o diretório do backup no BOTÂO BACKUP"),
                      QMessageBox::Warning, QMessageBox::Ok);
        return;
    }
    BackupJobs::backup(DM->FDConnection1, DM->TabBackupDIRETORIO.asString(), {});
}

void TTelaInicial::hourlyBackupOnServer() {
    // The tills share the database and its backup: one of them is enough, and the others would only load
    // the server. Whatever happens is told in the status bar: a box would stop a till in the middle of a
    // sale. One line there; a failure's whole reason under the mouse.
    const QString time = Formats::dateTime(Clock::now());
    const auto tell = [this](const QString& text, bool failed, const QString& reason = {}) {
        LBackup->setStyleSheet(failed ? QStringLiteral("color: #b00000; font-weight: bold;") : QString());
        LBackup->setToolTip(reason);
        LBackup->setText(text);
    };
    try {
        if (!Tills::isOldest(DM->FDConnection1))
            return;
        TableDataset& setting = DM->TabBackup;
        setting.open();
        setting.refresh();
        if (setting.isEmpty()) {
            tell(QStringLiteral("BACKUP AUTOMÁTICO NÃO FEITO EM %1: SELECIONE O DIRETÓRIO DO BACKUP NO BOTÃO "
                                "BACKUP")
                     .arg(time),
                 true);
            return;
        }
        BackupJobs::backup(DM->FDConnection1, DM->TabBackupDIRETORIO.asString(), {});
        tell(QStringLiteral("Backup automático feito em %1").arg(time), false);
    } catch (const BrolaviError& e) {
        tell(QStringLiteral("BACKUP AUTOMÁTICO FALHOU EM %1: %2").arg(time, e.message().simplified()), true,
             e.message());
    }
}

void TTelaInicial::BClientesClick() {
    ModalHost::show(FCadCli);
}

void TTelaInicial::BDividasClick() {
    ModalHost::show(FDividas);
}

void TTelaInicial::BVendas_vistaClick() {
    ModalHost::show(FVendasAvista);
}

namespace {

void showCashSaleForWalkIn() {
    FVendasAvista->BPesquisar->setEnabled(false);
    FVendasAvista->DBText1->bind(&DM->DSCadCli, QStringLiteral("NOME"));
    FVendasAvista->AvulsoTrue = true;
    ModalHost::show(FVendasAvista);
}

} // namespace

void TTelaInicial::BVendas_rapidasClick() {
    // Found or made in one unit of its own, so that two tills starting the first quick sale make one.
    Customers(*DM).walkInCustomer();
    TableDataset& customers = DM->TabCadCli;
    customers.open();
    customers.refilter(QStringLiteral("NOME LIKE") + FilterExpression::quoted(LedgerWords::WalkInCustomer));
    customers.first();
    TableDataset& ledger = DM->TabDividas;
    ledger.open();
    // This till's quick sale lists and pays its own items, not those other tills ring up at the same time.
    DM->beginCashSale();
    DM->filterCustomerLedger(LedgerWords::cashAccountCondition());
    showCashSaleForWalkIn();
}

void TTelaInicial::BConsultarClick() {
    ModalHost::show(FConsulta);
}

void TTelaInicial::BTrocaSenhaClick() {
    ModalHost::show(FTrocaSenha);
}

void TTelaInicial::BCadUsuClick() {
    ModalHost::show(FCadUsu);
}

void TTelaInicial::BLojaClick() {
    ModalHost::show(FLoja);
}

void TTelaInicial::BBackupClick() {
    ModalHost::show(FBackup);
}

void TTelaInicial::BSobreClick() {
    ModalHost::show(FSobre);
}
