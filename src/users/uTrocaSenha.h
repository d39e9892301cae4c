#pragma once

#include "platform/widgets/Form.h"

class DBText;
class QLabel;
class QLineEdit;
class QToolButton;

// The logged-in user changes their own password and, unless they are the seeded master user, their login; the
// program then runs under the new login.
class TFTrocaSenha : public Form {
    Q_OBJECT
public:
    explicit TFTrocaSenha(QWidget* parent = nullptr);

    void bindData() override;

    QToolButton* SpeedButton2;
    DBText* DBText1;
    QLineEdit* Edit3;
    QLineEdit* Edit1;
    QLineEdit* Edit2;
    QToolButton* BGravar;
    QLabel* Label3;

    // The current login when the screen was shown, and the code of the user record found for it.
    QString NomeLogin;
    int CodUsu = 0;

    void BGravarClick();

protected:
    void FormShow() override;

private:
    bool m_found = false;
    QString m_storedLogin;
};

extern TFTrocaSenha* FTrocaSenha;
