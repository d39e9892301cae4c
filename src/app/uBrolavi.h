#pragma once

#include "platform/widgets/Form.h"

class QLabel;
class QStatusBar;
class QTimer;
class QFrame;
class QToolButton;

// The main screen: the toolbar that opens every other screen, and the hourly automatic backup.
class TTelaInicial : public Form {
    Q_OBJECT
public:
    explicit TTelaInicial(QWidget* parent = nullptr);

    QFrame* ToolBar1;
    QToolButton* BClientes;
    QToolButton* BDividas;
    QToolButton* BVendas_vista;
    QToolButton* BVendas_rapidas;
    QToolButton* BConsultar;
    QToolButton* BTrocaSenha;
    QToolButton* BCadUsu;
    QToolButton* BLoja;
    QToolButton* BBackup;
    QToolButton* BSobre;
    QStatusBar* StatusBar1;
    // How the last hourly backup went, where the tills share a server's database.
    QLabel* LBackup;
    QTimer* Timer1;

    // Runs the automatic backup; a tick every hour from start-up.
    void Timer1Timer();
    void BClientesClick();
    void BDividasClick();
    void BVendas_vistaClick();
    // The quick sale: a cash sale for the walk-in customer, created on first use.
    void BVendas_rapidasClick();
    void BConsultarClick();
    void BTrocaSenhaClick();
    void BCadUsuClick();
    void BLojaClick();
    void BBackupClick();
    void BSobreClick();

protected:
    void FormShow() override;
    void FormClose() override;

private:
    // The hourly backup of a server's database: on the oldest till only, its outcome in LBackup.
    void hourlyBackupOnServer();
    QToolButton* addButton(const QString& name, const QString& caption, const QString& icon);
    QLabel* m_background;
    class QHBoxLayout* m_toolLayout;
};

extern TTelaInicial* TelaInicial;
