#pragma once
// What the two dialogs of the database page share: sizes designed at 120
// pixels per inch, scaled to the screen they appear on, and flat buttons that
// no key presses on their own.

#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QWidget>
#include <QtMath>

inline int DesignedSize(const QWidget& widget, int size)
{
    const QScreen* screen = widget.screen() ? widget.screen() : QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchY() : 96.0;
    return qRound(size * dpi / 120.0);
}

inline QPushButton* FlatButton(QWidget* parent, const char* name, const QString& caption)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setFlat(true);
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}
