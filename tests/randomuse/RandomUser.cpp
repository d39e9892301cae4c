#include "RandomUser.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QTableView>
#include <QTest>

namespace {

template <typename T> QList<T*> usable(QWidget* screen) {
    QList<T*> out;
    for (T* w : screen->findChildren<T*>())
        if (w->isVisible() && w->isEnabled())
            out << w;
    return out;
}

QWidget* focusIn(QWidget* screen) {
    QWidget* focus = QApplication::focusWidget();
    return focus && focus->window() == screen ? focus : screen;
}

// Typed one key at a time, letters outside ASCII as the text of their key press.
void typeText(QWidget* target, const QString& text) {
    for (QChar c : text) {
        if (c.unicode() < 128)
            QTest::keyClick(target, static_cast<char>(c.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

QString keyName(int key) {
    return QKeySequence(key).toString();
}

} // namespace

RandomUser::Event RandomUser::act(QWidget* screen) {
    const int roll = below(100);
    if (roll < 35)
        return key(screen);
    if (roll < 45)
        return type(screen);
    if (roll < 55)
        return fillAndEnter(screen);
    if (roll < 77)
        return clickButton(screen);
    if (roll < 90)
        return clickGrid(screen);
    if (roll < 99)
        return moveFocus(screen);
    screen->close(); // the window's own close, mid-entry or not
    return {QStringLiteral("close %1").arg(screen->objectName())};
}

RandomUser::Event RandomUser::openScreen(QWidget* mainScreen) {
    const QList<QAbstractButton*> buttons = usable<QAbstractButton>(mainScreen);
    if (buttons.isEmpty())
        return {QStringLiteral("main: no button")};
    QAbstractButton* b = buttons.at(below(static_cast<int>(buttons.size())));
    // The shop's daily screens more often than the rest.
    static const QStringList daily = {QStringLiteral("BDividas"), QStringLiteral("BVendas_vista"),
                                      QStringLiteral("BVendas_rapidas"), QStringLiteral("BConsultar"),
                                      QStringLiteral("BClientes")};
    if (chance(50)) {
        const QString& wanted = daily.at(below(static_cast<int>(daily.size())));
        for (QAbstractButton* d : buttons)
            if (d->objectName() == wanted)
                b = d;
    }
    const QString name = b->objectName();
    QTest::mouseClick(b, Qt::LeftButton);
    return {QStringLiteral("main: click %1").arg(name)};
}

RandomUser::Event RandomUser::key(QWidget* screen) {
    // The screens' own keys come often, the rest of the keyboard now and then.
    static const int keys[] = {
        Qt::Key_F2,        Qt::Key_F4,     Qt::Key_F5,       Qt::Key_F6,     Qt::Key_F7,    Qt::Key_F9,
        Qt::Key_F10,       Qt::Key_F11,    Qt::Key_F2,       Qt::Key_F4,     Qt::Key_F5,    Qt::Key_F5,
        Qt::Key_F7,        Qt::Key_Return, Qt::Key_Return,   Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape,
        Qt::Key_Tab,       Qt::Key_Tab,    Qt::Key_Backtab,  Qt::Key_Up,     Qt::Key_Down,  Qt::Key_Down,
        Qt::Key_Left,      Qt::Key_Right,  Qt::Key_PageDown, Qt::Key_Home,   Qt::Key_End,   Qt::Key_Space,
        Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_F1,       Qt::Key_F3,     Qt::Key_F8,    Qt::Key_F12};
    const int k = keys[below(static_cast<int>(std::size(keys)))];
    Qt::KeyboardModifiers modifiers;
    if (k == Qt::Key_Down && chance(20))
        modifiers = Qt::ShiftModifier; // widens a grid's selection
    QWidget* target = focusIn(screen);
    const QString name = target->objectName();
    QTest::keyClick(target, static_cast<Qt::Key>(k), modifiers);
    const bool confirm = k == Qt::Key_F5 || k == Qt::Key_Return || k == Qt::Key_Enter;
    return {QStringLiteral("key %1 in %2").arg(keyName(k), name), confirm};
}

QString RandomUser::someText() {
    // What a hurried hand types into any field: right and wrong amounts, "1" where "10" is offered, names
    // with accents, CPFs, quotes and wildcards, and noise.
    static const QStringList pool = {QStringLiteral("1"),
                                     QStringLiteral("10"),
                                     QStringLiteral("3"),
                                     QStringLiteral("12"),
                                     QStringLiteral("-20"),
                                     QStringLiteral("0"),
                                     QStringLiteral("12,50"),
                                     QStringLiteral("0,01"),
                                     QStringLiteral("1.234,56"),
                                     QStringLiteral("99,999"),
                                     QStringLiteral("999999999999"),
                                     QStringLiteral("1e5"),
                                     QStringLiteral("abc"),
                                     QStringLiteral("JOÃO DA SILVA"),
                                     QStringLiteral("MARIA"),
                                     QStringLiteral("Ação çé"),
                                     QStringLiteral("529.982.247-25"),
                                     QStringLiteral("11144477735"),
                                     QStringLiteral("  "),
                                     QStringLiteral("%"),
                                     QStringLiteral("x' or '1'='1"),
                                     QStringLiteral("907438"),
                                     QStringLiteral("MASTER"),
                                     QStringLiteral("CLIENTE AVULSO"),
                                     QStringLiteral("15/06/2026"),
                                     QStringLiteral("31/02/2026"),
                                     QStringLiteral("R$ 5,00")};
    if (chance(85))
        return pool.at(below(static_cast<int>(pool.size())));
    static const QString letters = QStringLiteral("0123456789,.-+ABCXYZáÃç%'_ /\\*\"");
    QString noise;
    const int n = 1 + below(12);
    for (int i = 0; i < n; ++i)
        noise += letters.at(below(static_cast<int>(letters.size())));
    return noise;
}

RandomUser::Event RandomUser::type(QWidget* screen) {
    QWidget* target = focusIn(screen);
    const QString text = someText();
    if (auto* edit = qobject_cast<QLineEdit*>(target); edit && chance(50))
        edit->selectAll(); // typing over what is there, as after a double click
    typeText(target, text);
    return {QStringLiteral("type \"%1\" in %2").arg(text, target->objectName())};
}

RandomUser::Event RandomUser::fillAndEnter(QWidget* screen) {
    // A user who knows the screen: a field filled with an amount or a name, then Enter.
    QList<QLineEdit*> edits;
    for (QLineEdit* e : usable<QLineEdit>(screen))
        if (!e->isReadOnly() && e->focusPolicy() != Qt::NoFocus)
            edits << e;
    if (edits.isEmpty())
        return key(screen);
    QLineEdit* edit = edits.at(below(static_cast<int>(edits.size())));
    edit->setFocus(Qt::MouseFocusReason);
    edit->selectAll();
    static const QStringList amounts = {QStringLiteral("10"),  QStringLiteral("2,50"), QStringLiteral("3"),
                                        QStringLiteral("100"), QStringLiteral("0,99"), QStringLiteral("PAO")};
    const QString& text = amounts.at(below(static_cast<int>(amounts.size())));
    typeText(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
    return {QStringLiteral("fill %1 with \"%2\" and Enter").arg(edit->objectName(), text), true};
}

RandomUser::Event RandomUser::clickButton(QWidget* screen) {
    const QList<QAbstractButton*> buttons = usable<QAbstractButton>(screen);
    if (buttons.isEmpty())
        return key(screen);
    QAbstractButton* b = buttons.at(below(static_cast<int>(buttons.size())));
    const QString name = b->objectName().isEmpty() ? b->text() : b->objectName();
    const bool confirm = b->objectName() == QLatin1String("BConfirmar");
    QTest::mouseClick(b, Qt::LeftButton);
    return {QStringLiteral("click %1").arg(name), confirm};
}

RandomUser::Event RandomUser::clickGrid(QWidget* screen) {
    QList<QTableView*> grids;
    for (QTableView* g : usable<QTableView>(screen))
        if (g->model() && g->model()->rowCount() > 0 && g->model()->columnCount() > 0)
            grids << g;
    if (grids.isEmpty())
        return moveFocus(screen);
    QTableView* grid = grids.at(below(static_cast<int>(grids.size())));
    const int rows = grid->model()->rowCount();
    const QModelIndex index =
        grid->model()->index(below(std::min(rows, 30)), below(grid->model()->columnCount()));
    grid->scrollTo(index);
    const QPoint at = grid->visualRect(index).center();
    const bool doubleClick = chance(10);
    const Qt::KeyboardModifiers modifiers = chance(25) ? Qt::ControlModifier : Qt::KeyboardModifiers();
    if (doubleClick)
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, modifiers, at);
    else
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, modifiers, at);
    return {
        QStringLiteral("%1 %2 row %3 col %4")
            .arg(doubleClick ? QStringLiteral("double-click") : QStringLiteral("click"), grid->objectName())
            .arg(index.row())
            .arg(index.column())};
}

RandomUser::Event RandomUser::moveFocus(QWidget* screen) {
    QList<QWidget*> fields;
    for (QWidget* w : usable<QWidget>(screen))
        if ((qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w) || qobject_cast<QDateEdit*>(w) ||
             qobject_cast<QTableView*>(w)) &&
            w->focusPolicy() != Qt::NoFocus)
            fields << w;
    if (fields.isEmpty())
        return key(screen);
    QWidget* w = fields.at(below(static_cast<int>(fields.size())));
    w->setFocus(Qt::MouseFocusReason);
    return {QStringLiteral("focus %1").arg(w->objectName())};
}
