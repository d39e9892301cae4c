#pragma once

#include "platform/widgets/Form.h"

class DataSource;
class DBGrid;
class DBText;
class Query;
class QToolButton;

// What one customer bought on one day: the purchase lines of every sale of a customer of that name dated
// that day, with their total. Read-only.
class TFCompras : public Form {
    Q_OBJECT
public:
    explicit TFCompras(QWidget* parent = nullptr);
    ~TFCompras() override;

    void bindData() override;
    // The row whose customer (NOME) and day (DATA) the next showing lists: the caller's current row.
    void setSource(DataSource* source);

    Query* QCompras = nullptr;
    DataSource* DSCompras = nullptr;
    DBText* DBText1;
    DBGrid* DBGrid1;
    DBText* DBText2;
    QToolButton* SpeedButton2;

protected:
    void FormShow() override;
    void FormClose() override;

private:
    DataSource* m_source = nullptr;
};

extern TFCompras* FCompras;
