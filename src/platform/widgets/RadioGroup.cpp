#include "platform/widgets/RadioGroup.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QRadioButton>

RadioGroup::RadioGroup(const QString& caption, const QStringList& items, QWidget* parent,
                       Qt::Orientation orientation)
    : QGroupBox(caption, parent)
    , m_items(items)
    , m_buttons(new QButtonGroup(this)) {
    auto* layout =
        new QBoxLayout(orientation == Qt::Vertical ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight, this);
    for (int i = 0; i < items.size(); ++i) {
        auto* b = new QRadioButton(items[i], this);
        m_buttons->addButton(b, i);
        layout->addWidget(b);
    }
    connect(m_buttons, &QButtonGroup::idClicked, this, &RadioGroup::clicked);
}

int RadioGroup::itemIndex() const {
    return m_buttons->checkedId();
}

void RadioGroup::setItemIndex(int index) {
    if (QAbstractButton* b = m_buttons->button(index))
        b->setChecked(true);
}

void RadioGroup::click(int index) {
    if (QAbstractButton* b = m_buttons->button(index))
        b->click();
}
