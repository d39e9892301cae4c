#include "platform/widgets/DataWidgets.h"

#include "platform/core/DataSource.h"
#include "platform/core/Dataset.h"
#include "platform/core/Formats.h"
#include "platform/core/TableDataset.h"
#include "platform/widgets/InputRules.h"
#include "platform/widgets/Messages.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>

FieldLink::FieldLink(QObject* parent)
    : QObject(parent) {}

void FieldLink::bind(DataSource* source, const QString& field) {
    if (m_source)
        disconnect(m_source, nullptr, this, nullptr);
    m_source = source;
    m_field = field;
    if (m_source)
        connect(m_source, &DataSource::dataSetChanged, this, &FieldLink::attach);
    attach();
}

void FieldLink::attach() {
    if (m_connected)
        disconnect(m_connected, nullptr, this, nullptr);
    m_connected = dataset();
    if (m_connected) {
        connect(m_connected, &Dataset::currentChanged, this, [this] {
            if (!m_writing)
                emit refresh();
        });
        connect(m_connected, &Dataset::stateChanged, this, [this] {
            if (m_writing)
                return;
            modified = false;
            emit refresh();
        });
        connect(m_connected, &Dataset::aboutToPost, this, &FieldLink::flushRequested);
        connect(m_connected, &Dataset::rowsChanged, this, [this] {
            if (!m_writing)
                emit refresh();
        });
    }
    emit refresh();
}

Dataset* FieldLink::dataset() const {
    return m_source ? m_source->dataSet() : nullptr;
}

TableDataset* FieldLink::table() const {
    return qobject_cast<TableDataset*>(dataset());
}

bool FieldLink::isActive() const {
    return dataset() && dataset()->isOpen();
}

QVariant FieldLink::value() const {
    return isActive() && !m_field.isEmpty() ? dataset()->value(m_field) : QVariant();
}

bool FieldLink::beginEdit() {
    TableDataset* t = table();
    if (!t || !t->isOpen())
        return false;
    if (!t->isEditing()) {
        // The control already shows what was typed: keep it from being repainted with the stored value.
        m_writing = true;
        try {
            // A row to edit, or a new one when the table is empty.
            if (t->isEmpty())
                t->append();
            else
                t->edit();
        } catch (...) {
            m_writing = false;
            throw;
        }
        m_writing = false;
    }
    return true;
}

void FieldLink::write(const QVariant& v) {
    TableDataset* t = table();
    if (!t || !t->isEditing() || !modified)
        return;
    m_writing = true;
    try {
        // An emptied text is no value: a required column must refuse it, not store ''.
        const bool emptied = v.typeId() == QMetaType::QString && v.toString().isEmpty();
        t->setValue(m_field, emptied ? QVariant() : v);
    } catch (...) {
        m_writing = false;
        throw;
    }
    m_writing = false;
    modified = false;
}

int FieldLink::maxLength() const {
    TableDataset* t = table();
    if (!t || !t->isOpen())
        return 0;
    const int c = t->columnIndex(m_field);
    if (c < 0)
        return 0;
    const ColumnInfo& info = t->schema().columns[c];
    return info.type == ColumnType::Text ? info.length : 0;
}

DBEdit::DBEdit(QWidget* parent)
    : QLineEdit(parent)
    , m_link(new FieldLink(this)) {
    // A pasted TAB or NUL would be stored in the name or address and cut it where it is shown.
    InputRules::noControls(this);
    connect(m_link, &FieldLink::refresh, this, &DBEdit::display);
    connect(m_link, &FieldLink::flushRequested, this, &DBEdit::flush);
    connect(this, &QLineEdit::textEdited, this, [this] {
        guarded([this] {
            if (m_link->beginEdit())
                m_link->modified = true;
        });
    });
}

void DBEdit::bind(DataSource* source, const QString& field) {
    setProperty(InputRules::FieldNameProperty, field);
    m_link->bind(source, field);
}

void DBEdit::flush() {
    const QString typed = InputRules::maskedText(this);
    m_link->write(typed.isEmpty() && !inputMask().isEmpty() ? QVariant() : QVariant(typed));
}

void DBEdit::setFieldText(const QString& text) {
    if (m_link->beginEdit())
        m_link->modified = true;
    setText(text);
}

void DBEdit::setLocked(bool on) {
    m_locked = on;
    setReadOnly(m_locked || !m_link->isActive());
}

void DBEdit::display() {
    if (!m_link->isActive()) {
        setText(QString());
        setReadOnly(true);
        return;
    }
    setReadOnly(m_locked);
    if (const int n = m_link->maxLength(); n > 0)
        setMaxLength(n);
    if (m_link->modified)
        return;
    const QVariant v = m_link->value();
    setText(hasFocus() ? Formats::plainText(v) : Formats::displayText(v));
}

void DBEdit::focusInEvent(QFocusEvent* event) {
    // The editing form first, so that the line edit's own focus handling (select all on Tab) applies to it.
    if (!m_link->modified && m_link->isActive()) {
        const QString plain = Formats::plainText(m_link->value());
        if (plain != text())
            setText(plain);
    }
    QLineEdit::focusInEvent(event);
}

void DBEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    guarded([this] { flush(); });
    display();
}

DBMemo::DBMemo(QWidget* parent)
    : QPlainTextEdit(parent)
    , m_link(new FieldLink(this)) {
    connect(m_link, &FieldLink::refresh, this, &DBMemo::display);
    connect(m_link, &FieldLink::flushRequested, this, &DBMemo::flush);
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (m_showing)
            return;
        guarded([this] {
            if (m_link->beginEdit())
                m_link->modified = true;
        });
    });
}

void DBMemo::bind(DataSource* source, const QString& field) {
    m_link->bind(source, field);
}

void DBMemo::flush() {
    m_link->write(toPlainText());
}

void DBMemo::display() {
    if (m_link->modified && m_link->isActive())
        return;
    m_showing = true;
    setPlainText(Formats::plainText(m_link->value()));
    setReadOnly(!m_link->isActive());
    m_showing = false;
}

void DBMemo::keyPressEvent(QKeyEvent* event) {
    const QString typed = event->text();
    if (m_upperCase && !typed.isEmpty() && typed != typed.toUpper() && !isReadOnly()) {
        insertPlainText(typed.toUpper());
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void DBMemo::insertFromMimeData(const QMimeData* source) {
    // Pasted text keeps its lines but no other control character (a NUL would cut it where it is shown).
    if (source && source->hasText())
        insertPlainText(InputRules::withoutControls(source->text(), true));
}

void DBMemo::focusOutEvent(QFocusEvent* event) {
    QPlainTextEdit::focusOutEvent(event);
    guarded([this] { flush(); });
}

DBComboBox::DBComboBox(QWidget* parent)
    : QComboBox(parent)
    , m_link(new FieldLink(this)) {
    setEditable(true);
    InputRules::noControls(lineEdit());
    connect(m_link, &FieldLink::refresh, this, &DBComboBox::display);
    connect(m_link, &FieldLink::flushRequested, this, &DBComboBox::flush);
    connect(this, &QComboBox::currentTextChanged, this, [this] {
        if (m_showing)
            return;
        guarded([this] {
            if (m_link->beginEdit())
                m_link->modified = true;
        });
    });
}

void DBComboBox::bind(DataSource* source, const QString& field) {
    if (lineEdit())
        lineEdit()->setProperty(InputRules::FieldNameProperty, field);
    m_link->bind(source, field);
}

void DBComboBox::flush() {
    m_link->write(currentText());
}

void DBComboBox::display() {
    if (m_link->modified && m_link->isActive())
        return;
    m_showing = true;
    // A typed text longer than its column would be refused by the database when the row is saved.
    if (const int n = m_link->maxLength(); n > 0 && lineEdit())
        lineEdit()->setMaxLength(n);
    setCurrentText(Formats::plainText(m_link->value()));
    setEnabled(m_link->isActive());
    m_showing = false;
}

void DBComboBox::focusOutEvent(QFocusEvent* event) {
    QComboBox::focusOutEvent(event);
    guarded([this] { flush(); });
}

DBText::DBText(QWidget* parent)
    : QLabel(parent)
    , m_link(new FieldLink(this)) {
    connect(m_link, &FieldLink::refresh, this, &DBText::display);
}

void DBText::bind(DataSource* source, const QString& field) {
    m_link->bind(source, field);
}

void DBText::showEvent(QShowEvent* event) {
    QLabel::showEvent(event);
    if (m_stale)
        display();
}

void DBText::display() {
    if (!isVisible()) {
        m_stale = true;
        return;
    }
    m_stale = false;
    setText(Formats::displayText(m_link->value()));
}
