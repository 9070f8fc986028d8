#pragma once
// The key filter of the parameters page's numeric fields: only the digits "0" to "9" and "-"
// get into the text, whether typed, pasted or dropped (other characters are dropped, the rest of
// the text is kept). Editing keys such as Backspace work as usual.

#include <QValidator>

class TDigitControl : public QValidator {
    Q_OBJECT
public:
    using QValidator::QValidator;

    // Removes every character other than 0-9 and "-" from `input` (moving `pos` with it) and
    // accepts what is left.
    State validate(QString& input, int& pos) const override;

    // True for the characters the filter lets through.
    static bool Passes(QChar c) { return (c >= u'0' && c <= u'9') || c == u'-'; }
};
