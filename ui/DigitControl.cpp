#include "DigitControl.h"

QValidator::State TDigitControl::validate(QString& input, int& pos) const {
    QString kept;
    kept.reserve(input.size());
    int newPos = pos;
    for (int i = 0; i < input.size(); ++i) {
        if (Passes(input[i])) {
            kept += input[i];
        } else if (i < pos) {
            --newPos;
        }
    }
    input = kept;
    pos = newPos;
    return Acceptable;
}
