#pragma once

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;

// A captioned group of exclusive choices read by position, as the screens use them ("Todos", "Nome").
class RadioGroup : public QGroupBox {
    Q_OBJECT
public:
    RadioGroup(const QString& caption, const QStringList& items, QWidget* parent = nullptr,
               Qt::Orientation orientation = Qt::Vertical);

    int itemIndex() const;
    void setItemIndex(int index);
    QStringList items() const { return m_items; }
    // Chooses an item as a click would (emitting clicked).
    void click(int index);

signals:
    void clicked(int index);

private:
    QStringList m_items;
    QButtonGroup* m_buttons;
};
