#pragma once

#include "platform/widgets/Form.h"

class DBEdit;
class DBGrid;
class DBText;
class FieldExits;
class QLineEdit;
class QRadioButton;
class QToolButton;

// The users: a master user adds, edits and deletes them. The seeded master user is neither edited nor
// deleted here.
class TFCadUsu : public Form {
    Q_OBJECT
public:
    explicit TFCadUsu(QWidget* parent = nullptr);

    void bindData() override;

    QToolButton* BNovo;
    QToolButton* BGravar;
    QToolButton* BExcluir;
    QToolButton* BEditar;
    QToolButton* SpeedButton2;
    DBEdit* DBEdit1;
    DBEdit* DBEdit2;
    QLineEdit* Edit1;
    QLineEdit* Edit2;
    DBText* DBText1;
    QRadioButton* RadioButton2;
    QRadioButton* RadioButton1;
    DBGrid* DBGrid1;

    void BNovoClick();
    void BGravarClick();
    void BExcluirClick();
    void BEditarClick();
    void DBEdit1Exit();
    void DBEdit2Exit();

protected:
    void FormShow() override;
    void FormClose() override;

private:
    bool enteringOrEditing() const;
    // Opens the fields for typing (entering or editing) or closes them again (browsing); the password fields
    // start empty either way. The grid stays on the user being typed until it is saved or dropped.
    void setEntering(bool on);
    // The type choice follows the user the grid stands on.
    void showCurrentType();
    // A login another user has, a new user's name another user has, or the master's name given to another
    // user: warned, emptied, and the caret back in it.
    bool refusedAsTaken(DBEdit* field);

    FieldExits* m_exits;
};

extern TFCadUsu* FCadUsu;
