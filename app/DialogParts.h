#pragma once
// What the database page and its two dialogs share: sizes designed at 120
// pixels per inch, scaled to the screen they appear on, controls named as
// their objects, and buttons that no key presses on their own.

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

// The widget, carrying name as its object name.
template <class W>
W* Named(W* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

inline QPushButton* DialogButton(QWidget* parent, const char* name, const QString& caption)
{
    auto* button = Named(new QPushButton(caption, parent), name);
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}
