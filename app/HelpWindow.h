#pragma once
// The workbench's help window: the HTML manual in a browser of its own, with
// links inside the manual followed there and links to the web handed to the
// desktop. Escape closes it.

#include <QWidget>

class QTextBrowser;

class THelpWindow : public QWidget {
    Q_OBJECT

public:
    // A window of its own, owned by parent.
    explicit THelpWindow(QWidget* parent);

    // Shows the HTML file scrolled to the anchor and brings the window to the front.
    void ShowTopic(const QString& fileName, const QString& anchor);
    // The page shown, with the anchor as its fragment.
    QUrl Source() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Sizes the window for its screen and places it over its owner, wholly on the screen.
    void FitToScreen();

    QTextBrowser* FBrowser = nullptr;  // owned through Qt's parent chain
};
