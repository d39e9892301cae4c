#pragma once

#include <QString>

class DBText;
class QBoxLayout;
class QFrame;
class QHBoxLayout;
class QToolButton;
class QWidget;

// Pieces several screens are built from, so that they look and read alike.
namespace ScreenParts {

// The strip of operation buttons under a screen's title; its buttons go into row.
QFrame* toolbar(QWidget* parent, QHBoxLayout*& row);
// A flat operation button of such a strip ("Novo [F4]"); the focus stays in the fields.
QToolButton* toolButton(const QString& name, const QString& caption, QWidget* parent, int minimumHeight = 44);
// The "Valor Total" row under a screen's grid, added to into: its label and the total, right-aligned.
DBText* totalRow(QWidget* parent, QBoxLayout* into, int minimumWidth = 140);
// A typed quantity or count: a whole number, or ConversionError with the text as typed.
int wholeNumber(const QString& typed);

} // namespace ScreenParts
