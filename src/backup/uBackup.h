#pragma once

#include "platform/core/FirebirdServices.h"
#include "platform/widgets/Form.h"

class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QToolButton;

// Backup and restore of the database, and the directory the hourly backup writes to.
class TFBackup : public Form {
    Q_OBJECT
public:
    explicit TFBackup(QWidget* parent = nullptr);

    QToolButton* SpeedButton3; // the title strip's "X"
    QPushButton* BBackup;
    QLineEdit* Edit1;
    QToolButton* SpeedButton1;
    QPlainTextEdit* MBackup;
    QPushButton* BRestore;
    QLineEdit* Edit2;
    QToolButton* SpeedButton2;
    QPlainTextEdit* MRestore;

    void BBackupClick();
    void BRestoreClick();
    void SpeedButton1Click();
    void SpeedButton2Click();
    // Stores the directory shown in Edit1 as the backup setting.
    void Edit1Change();

protected:
    void FormShow() override;

private:
    using Job = std::function<void(const FirebirdServices::LineHandler&)>;
    // Runs a job with every button locked, each progress line appended to the memo as it comes. Returns the
    // error it failed with, its reason then the memo's last line; null when it succeeded.
    std::exception_ptr runJob(QPlainTextEdit* memo, const Job& job);
    void lock(bool locked);
};

extern TFBackup* FBackup;
