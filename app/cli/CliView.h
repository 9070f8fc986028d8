#pragma once
// The command-line tool's side of the core: message boxes become lines on stderr; there are no
// windows or pages.

#include "core/CoreView.h"

#include <QString>

#include <cstdio>

namespace cli {

// One plain line: line breaks inside a text become blanks.
inline QString OneLine(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

class CliView : public core::CoreView {
public:
    void ShowMessage(const QString& text) override {
        std::fprintf(stderr, "quivractl: %s\n", OneLine(text).toUtf8().constData());
        ++messages;
    }
    int messages = 0;
};

} // namespace cli
