#pragma once

#include <QString>

class QComboBox;
class QLineEdit;

// The program's entry-field rules.
namespace InputRules {

// Letters become upper case as they are typed or pasted, and control characters are dropped. A change whose
// upper-case form would not fit the field's maximum length ("ß" becomes "SS") is refused with a warning
// naming the field and its limit, never cut: the caption names it, or else the column a data-aware edit is
// bound to.
void upperCase(QLineEdit* edit, const QString& caption = {});
// Control characters (a pasted TAB, NUL, DEL, ...) are dropped as they are typed or pasted.
void noControls(QLineEdit* edit);
// The text without its control characters, line breaks kept when asked.
QString withoutControls(const QString& text, bool keepLineBreaks = false);
// The dynamic property naming the column a data-aware edit shows, for the refusal's words.
inline constexpr char FieldNameProperty[] = "brolaviField";
// Shows "*", takes at most six characters, only the digits 0 to 9 (Backspace and Enter still work).
void password(QLineEdit* edit);
// An editable list whose typed text is used as typed: no completion from the list ("1" is not "10") and
// nothing typed is added to the list.
void typedAsIs(QComboBox* combo);
// Only digits and the decimal comma.
void money(QLineEdit* edit);
// An edit mask written the way the screens describe it ("!\(99\)99999-9999;1;_": 9 an optional digit, 0 a
// required one, backslash a literal, then whether literals are kept and the blank character).
void editMask(QLineEdit* edit, const QString& mask);
// The text of a field; a masked one left without a single character typed holds only the mask's literals,
// which is no value: empty then.
QString maskedText(const QLineEdit* edit);
// The same mask in Qt's notation.
QString qtInputMask(const QString& mask);

} // namespace InputRules
