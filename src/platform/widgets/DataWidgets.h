#pragma once

#include "platform/core/DataSource.h"
#include "platform/core/Dataset.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>

class TableDataset;

// Follows one column of a data source's current row for a widget. Typing into a bound control starts editing
// the row (as the screens expect); what was typed is written to the row when the control is left and before
// the row is posted, so a conversion error surfaces there.
class FieldLink : public QObject {
    Q_OBJECT
public:
    explicit FieldLink(QObject* parent);

    void bind(DataSource* source, const QString& field);
    DataSource* dataSource() const { return m_source; }
    QString dataField() const { return m_field; }
    Dataset* dataset() const;
    TableDataset* table() const;

    bool isActive() const;
    QVariant value() const;
    // Starts editing the row (browse -> edit) before the control takes a typed change.
    bool beginEdit();
    // Writes the control's text to the row.
    void write(const QVariant& v);
    // Maximum characters of a text column; 0 when unknown.
    int maxLength() const;

    bool isWriting() const { return m_writing; }
    bool modified = false;

signals:
    void refresh();
    void flushRequested();

private:
    void attach();

    QPointer<DataSource> m_source;
    QString m_field;
    QPointer<Dataset> m_connected;
    bool m_writing = false;
};

class DBEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit DBEdit(QWidget* parent = nullptr);
    void bind(DataSource* source, const QString& field);
    FieldLink* link() const { return m_link; }
    // Writes a pending change to the row now.
    void flush();
    // Puts a text in the field as if typed (the row goes into editing).
    void setFieldText(const QString& text);
    // Read-only whatever the row does, until unlocked: for a screen that lets its fields be typed into only
    // at times.
    void setLocked(bool on);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void display();
    FieldLink* m_link;
    bool m_locked = false;
};

class DBMemo : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit DBMemo(QWidget* parent = nullptr);
    void bind(DataSource* source, const QString& field);
    void flush();
    // Every typed character goes in upper case.
    void setUpperCase(bool on) { m_upperCase = on; }

protected:
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    void display();
    FieldLink* m_link;
    bool m_showing = false;
    bool m_upperCase = false;
};

class DBComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit DBComboBox(QWidget* parent = nullptr);
    void bind(DataSource* source, const QString& field);
    void flush();

protected:
    void focusOutEvent(QFocusEvent* event) override;

private:
    void display();
    FieldLink* m_link;
    bool m_showing = false;
};

// A label showing a column of the current row as grids show it (money as R$ 1.234,56).
class DBText : public QLabel {
    Q_OBJECT
public:
    explicit DBText(QWidget* parent = nullptr);
    void bind(DataSource* source, const QString& field);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void display();
    FieldLink* m_link;
    bool m_stale = false; // a hidden label (a total) asks the database nothing until shown
};
