#include "app/uSplash.h"

#include "platform/widgets/Branding.h"
#include "platform/widgets/Messages.h"
#include "platform/widgets/ModalHost.h"
#include "users/uLogin.h"

#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>

TFSplash* FSplash = nullptr;

TFSplash::TFSplash(QWidget* parent)
    : Form(QStringLiteral("Brolavi"),
           {.borderless = true, .titleStrip = false, .keyPreview = false, .enterMovesFocus = false}, parent) {
    setObjectName(QStringLiteral("FSplash"));
    body()->setStyleSheet(QStringLiteral("background: white;"));
    auto* layout = new QVBoxLayout(body());
    layout->setContentsMargins(24, 20, 24, 16);

    auto* picture = new QLabel(body());
    picture->setPixmap(QPixmap(QStringLiteral(":/img/splash.png")));
    picture->setAlignment(Qt::AlignCenter);
    layout->addWidget(picture);

    auto* version = new QLabel(Branding::Version, body());
    version->setStyleSheet(QStringLiteral("font-weight: bold; color: #12504f;"));
    auto* year = new QLabel(Branding::Year, body());
    auto* loading = new QLabel(QStringLiteral("Carregando Sistema..."), body());
    auto* row = new QHBoxLayout;
    row->addWidget(version);
    row->addStretch(1);
    row->addWidget(year);
    layout->addLayout(row);
    layout->addWidget(loading);

    ProgressBar1 = new QProgressBar(body());
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    Label5 = new QLabel(QStringLiteral("100%"), body());
    Label5->setObjectName(QStringLiteral("Label5"));
    auto* bar = new QHBoxLayout;
    bar->addWidget(ProgressBar1, 1);
    bar->addWidget(Label5);
    layout->addLayout(bar);

    for (const QString& line : {Branding::AuthorLine, Branding::ContactLine}) {
        auto* l = new QLabel(line, body());
        l->setStyleSheet(QStringLiteral("color: #555; font-size: 9pt;"));
        layout->addWidget(l);
    }

    Timer1 = new QTimer(this);
    Timer1->setInterval(200);
    connect(Timer1, &QTimer::timeout, this, [this] { guarded([this] { Timer1Timer(); }); });
    Timer1->start();
}

void TFSplash::Timer1Timer() {
    Label5->setText(QString::number(ProgressBar1->value()) + u'%');
    ProgressBar1->setValue(ProgressBar1->value() + 10);
    if (ProgressBar1->value() == 100) {
        Timer1->stop();
        ModalHost::show(FLogin);
    }
}
