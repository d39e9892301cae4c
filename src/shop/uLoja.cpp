#include "shop/uLoja.h"

#include "data/Shop.h"
#include "data/uDM.h"
#include "platform/widgets/InputRules.h"
#include "platform/widgets/Messages.h"
#include "platform/widgets/ScreenParts.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <stdexcept>

TFLoja* FLoja = nullptr;

TFLoja::TFLoja(QWidget* parent)
    : Form(QStringLiteral("Dados da Loja"), {}, parent) {
    setObjectName(QStringLiteral("FLoja"));
    SpeedButton1 = closeButton();
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));

    auto* layout = new QVBoxLayout(body());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    QHBoxLayout* tools = nullptr;
    auto* toolbar = ScreenParts::toolbar(body(), tools);
    BGravar = ScreenParts::toolButton(QStringLiteral("BGravar"), QStringLiteral("Gravar [F5]"), toolbar, 34);
    tools->addWidget(BGravar);
    tools->addStretch(1);
    layout->addWidget(toolbar);

    auto* fields = new QWidget(body());
    auto* grid = new QGridLayout(fields);
    grid->setContentsMargins(20, 14, 20, 18);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(8);
    // The captions name the field when an upper-case text would not fit it.
    auto edit = [fields](const char* name, int length, const char* upperCaption) {
        auto* e = new QLineEdit(fields);
        e->setObjectName(QLatin1String(name));
        if (upperCaption)
            InputRules::upperCase(e, QString::fromUtf8(upperCaption));
        else
            InputRules::noControls(e);
        e->setMaxLength(length);
        return e;
    };
    Edit1 = edit("Edit1", Shop::NameLength, "NOME");
    Edit2 = edit("Edit2", Shop::DocumentLength, nullptr);
    Edit3 = edit("Edit3", Shop::AddressLength, "ENDEREÇO");
    Edit4 = edit("Edit4", Shop::TelephoneLength, nullptr);
    InputRules::editMask(Edit4, QStringLiteral("!\\(99\\)99999-9999;1;_"));
    Edit5 = edit("Edit5", Shop::CityLength, "CIDADE");
    ComboBox1 = new QComboBox(fields);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->addItems({QStringLiteral("Nenhuma"), QStringLiteral("CPF/CNPJ"), QStringLiteral("Telefone"),
                         QStringLiteral("E-mail"), QStringLiteral("Chave aleatória")});
    Edit6 = edit("Edit6", Shop::PixKeyLength, nullptr);
    const std::pair<const char*, QWidget*> rows[] = {{"Nome:", Edit1},     {"CPF/CNPJ:", Edit2},
                                                     {"Endereço:", Edit3}, {"Telefone:", Edit4},
                                                     {"Cidade:", Edit5},   {"Tipo da chave PIX:", ComboBox1},
                                                     {"Chave PIX:", Edit6}};
    int row = 0;
    for (const auto& [caption, field] : rows) {
        grid->addWidget(new QLabel(QString::fromUtf8(caption), fields), row, 0);
        grid->addWidget(field, row++, 1);
    }
    grid->setColumnStretch(1, 1);
    layout->addWidget(fields, 1);
    for (int i = 0; i + 1 < int(std::size(rows)); ++i)
        setTabOrder(rows[i].second, rows[i + 1].second);

    connect(BGravar, &QToolButton::clicked, this, [this] { guarded([this] { BGravarClick(); }); });
    addFunctionKey(Qt::Key_F5, [this] { BGravarClick(); });
    resize(560, 330);
}

void TFLoja::FormShow() {
    const ShopDetails details = Shop(DM->FDConnection1).details();
    Edit1->setText(details.name);
    Edit2->setText(details.document);
    Edit3->setText(details.address);
    Edit4->setText(details.telephone);
    Edit5->setText(details.city);
    ComboBox1->setCurrentIndex(int(details.pixKind));
    Edit6->setText(details.pixKey);
    Edit1->setFocus();
    Edit1->selectAll();
}

void TFLoja::BGravarClick() {
    const ShopDetails details{Edit1->text(), Edit2->text(),
                              Edit3->text(), InputRules::maskedText(Edit4),
                              Edit5->text(), PixKeyKind(ComboBox1->currentIndex()),
                              Edit6->text()};
    const ShopProblem problem = Shop::problem(details);
    if (!problem.text.isEmpty()) {
        Messages::warning(problem.text);
        // In the order of ShopProblem::Field.
        QWidget* const focus[] = {Edit1, Edit1, Edit3, Edit4, Edit5, Edit2, ComboBox1, Edit6};
        focus[int(problem.field)]->setFocus();
        return;
    }
    Shop(DM->FDConnection1).save(details);
    close();
}
