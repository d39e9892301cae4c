#include "credit/uPix.h"

#include "platform/widgets/Messages.h"
#include "platform/widgets/QrCode.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

TFPix* FPix = nullptr;

TFPix::TFPix(QWidget* parent)
    : Form(QStringLiteral("PIX"),
           {.borderless = true, .titleStrip = true, .keyPreview = true, .enterMovesFocus = false}, parent) {
    setObjectName(QStringLiteral("FPix"));
    SpeedButton1 = closeButton();
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));

    auto* layout = new QVBoxLayout(body());
    layout->setContentsMargins(14, 10, 14, 12);
    Image1 = new QLabel(body());
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setStyleSheet(QStringLiteral("background: white;"));
    layout->addWidget(Image1, 1);

    auto* amountRow = new QHBoxLayout;
    amountRow->addStretch(1);
    auto* caption = new QLabel(QStringLiteral("Valor à Pagar"), body());
    caption->setStyleSheet(QStringLiteral("font-weight: bold;"));
    Label1 = new QLabel(body());
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setStyleSheet(QStringLiteral("font-size: 16pt; font-weight: bold; color: #12504f;"));
    amountRow->addWidget(caption);
    amountRow->addWidget(Label1);
    amountRow->addStretch(1);
    layout->addLayout(amountRow);

    layout->addWidget(new QLabel(QStringLiteral("PIX Copia e Cola"), body()));
    auto* codeRow = new QHBoxLayout;
    Memo1 = new QPlainTextEdit(body());
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setFixedHeight(84);
    Memo1->setStyleSheet(QStringLiteral("font-family: monospace;"));
    Memo1->setWordWrapMode(QTextOption::WrapAnywhere); // one long word: cut it evenly, not at its blanks
    BCopiar = new QPushButton(QStringLiteral("Copiar"), body());
    BCopiar->setObjectName(QStringLiteral("BCopiar"));
    BCopiar->setAutoDefault(false);
    BCopiar->setMinimumHeight(34);
    codeRow->addWidget(Memo1, 1);
    codeRow->addWidget(BCopiar);
    layout->addLayout(codeRow);

    connect(BCopiar, &QPushButton::clicked, this, [this] { guarded([this] { BCopiarClick(); }); });
    resize(460, 590);
}

void TFPix::setPayment(const QString& payload, Currency amount) {
    Image1->setPixmap(QPixmap::fromImage(QrCode::image(payload, ModuleSize)));
    Label1->setText(amount.format());
    Memo1->setPlainText(payload);
}

void TFPix::BCopiarClick() {
    QGuiApplication::clipboard()->setText(Memo1->toPlainText());
}
