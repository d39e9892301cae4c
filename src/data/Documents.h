#pragma once

#include <QString>

// Brazilian tax numbers: the individual's CPF (11 digits) and the company's CNPJ (14 digits), each ending in
// two check digits.
namespace Documents {

// The digits of a text, in order; masks, dots and blanks dropped.
QString digits(const QString& text);
// Whether 11 digits form a CPF: right check digits, and not one digit repeated (which passes the check).
bool validCpf(const QString& digits);
// Whether 14 digits form a CNPJ, by the same two rules.
bool validCnpj(const QString& digits);
// A valid CPF or CNPJ typed in any mask, written as "000.000.000-00" or "00.000.000/0000-00"; empty when the
// text is neither.
QString formatted(const QString& typed);

} // namespace Documents
