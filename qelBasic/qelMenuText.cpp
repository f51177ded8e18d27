#include "qelBasic/qelMenuText.h"

QString LiteralMenuText(const QString& text)
{
    QString caption;
    caption.reserve(text.size());
    for (const QChar c : text) {
        if (c == QLatin1Char('&'))
            caption += QStringLiteral("&&");
        else if (c.unicode() < 0x20)
            caption += QLatin1Char(' ');
        else
            caption += c;
    }
    return caption;
}
