#include "app/uSobre.h"

#include "platform/widgets/Branding.h"

#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

TFSobre* FSobre = nullptr;

TFSobre::TFSobre(QWidget* parent)
    : Form(QStringLiteral("Sobre o Sistema"), {}, parent) {
    setObjectName(QStringLiteral("FSobre"));
    SpeedButton2 = closeButton();
    SpeedButton2->setObjectName(QStringLiteral("SpeedButton2"));
    body()->setStyleSheet(QStringLiteral("background: white;"));
    auto* layout = new QVBoxLayout(body());
    layout->setContentsMargins(32, 20, 32, 24);
    layout->setSpacing(8);

    auto* picture = new QLabel(body());
    picture->setPixmap(QPixmap(QStringLiteral(":/img/logo.png"))
                           .scaled(160, 160, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    picture->setAlignment(Qt::AlignCenter);
    layout->addWidget(picture);

    auto* name = new QLabel(QStringLiteral("Brolavi"), body());
    name->setAlignment(Qt::AlignCenter);
    name->setStyleSheet(QStringLiteral("font-size: 20pt; font-weight: bold; color: #12504f;"));
    layout->addWidget(name);
    auto* version = new QLabel(Branding::Version, body());
    version->setObjectName(QStringLiteral("LabelVersao"));
    version->setAlignment(Qt::AlignCenter);
    layout->addWidget(version);
    layout->addSpacing(8);
    for (const QString& line : {Branding::AuthorLine, Branding::ContactLine}) {
        auto* l = new QLabel(line, body());
        l->setAlignment(Qt::AlignCenter);
        l->setStyleSheet(QStringLiteral("color: #444;"));
        layout->addWidget(l);
    }
    setFixedWidth(420);
}
