#pragma once

#include "platform/widgets/Form.h"

#include <QDateTime>
#include <functional>

class Connection;
class QLineEdit;
class QPushButton;
class QToolButton;
class Query;

// Whether the database catalogue lists a table of that name (upper case, as the catalogue keeps it). Any
// error answers false.
bool VerificaExisteTabela(Connection& Conexao, const QString& Tabela);

// The login: makes sure the users table exists with its master user, checks a login and password, writes the
// moment of the login and opens the main screen. Its login field keeps the current login for the whole run.
class TFLogin : public Form {
    Q_OBJECT
public:
    explicit TFLogin(QWidget* parent = nullptr);
    ~TFLogin() override;

    void bindData() override;

    QToolButton* SpeedButton1;
    QLineEdit* Edit1;
    QLineEdit* Edit2;
    QPushButton* SpeedButton2;
    Query* QUsuarios = nullptr;
    QDateTime DataLogin;

    void SpeedButton1Click();
    void SpeedButton2Click();

    // The login the program runs under.
    QString currentLogin() const;
    // What a successful login leads to, set by the start-up (the main screen).
    std::function<void()> onLoggedIn;

protected:
    void FormShow() override;
};

extern TFLogin* FLogin;
