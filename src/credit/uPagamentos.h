#pragma once

#include "credit/ReceiptReport.h"
#include "platform/core/Currency.h"
#include "platform/widgets/Form.h"

#include <QVector>
#include <functional>
#include <optional>

class DBGrid;
class DBText;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class RadioGroup;

// Settles the current customer's open entries: all of them, part of the balance (the rest carried as a new
// open entry) or the rows picked in the grid; in cash, by card or by PIX. Opened from the cash sale it
// settles only the customer's open cash-sale entries.
class TFPagamentos : public Form {
    Q_OBJECT
public:
    explicit TFPagamentos(QWidget* parent = nullptr);

    void bindData() override;

    DBText* DBText1;
    DBGrid* DBGrid1;
    QToolButton* SpeedButton1;
    QToolButton* SpeedButton2;
    QToolButton* SpeedButton3;
    QLabel* Image1;
    QLabel* Image2;
    QLabel* Image3;
    RadioGroup* RadioGroup1;
    QLineEdit* Edit1;
    DBText* DBText3;
    QLabel* Label2;
    DBText* DBText2;
    QPushButton* BConfirmar;
    QPushButton* BRecibo;
    QPushButton* BPix;
    QToolButton* SpeedButton4;

    // The sum of the rows selected in the grid.
    Currency Pag_Sel;

    void SpeedButton1Click();
    void SpeedButton2Click();
    void SpeedButton3Click();
    void RadioGroup1Click();
    void DBGrid1CellClick();
    // The sum of the rows selected now, shown as the amount to pay (empty with none).
    void showSelectedSum();
    void Edit1Enter();
    void BConfirmarClick();
    // The receipt of the last payment confirmed since the screen was shown.
    void BReciboClick();
    // The PIX code of what the payment would take now, in the mode chosen.
    void BPixClick();

    // The form of payment chosen: "Dinheiro", "Cartão" or "PIX".
    QString formOfPayment() const;

    // Set by the screen that opens the payment: from the cash sale only its open items are paid, in full.
    void setFromCashSale(bool on) { m_fromCashSale = on; }

protected:
    void FormShow() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool fromCashSale() const;
    bool m_fromCashSale = false;
    void choose(QLabel* mark);
    void payTotal();
    void payPart();
    void paySelected();
    void closingSteps();
    // With no open entry shown there is nothing to pay: a payment would be written against nothing.
    bool nothingOpen() const;
    bool refusedAsEmpty() const;
    // What a PIX payment would take now, or none after a warning.
    std::optional<Currency> pixAmount() const;
    // The rows shown (these, or all of them) as the payment must still find them.
    QVector<ShownEntry> shownEntries(std::optional<QVector<int>> rows = std::nullopt) const;
    // Runs the payment; one refused because another till changed the account meanwhile is only a warning.
    void settle(const std::function<Settlement()>& payment);
    void keepReceipt(const Settlement& settlement);
    std::optional<ReceiptReport::Receipt> m_receipt;
};

extern TFPagamentos* FPagamentos;
