#pragma once
// Menu captions that show a text exactly as it stands.

#include <QString>

// The caption that shows text unchanged: each "&" is doubled so that it marks
// no accelerator, and tabs and line breaks, which a menu would read as the
// start of a shortcut column or a new line, become blanks.
QString LiteralMenuText(const QString& text);
