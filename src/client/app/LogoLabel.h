#pragma once

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

namespace wordmoot {

// The logo: a picture that also answers a double click. It is drawn as it
// is, also while the window is disabled.
class LogoLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

signals:
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).drawPixmap(0, 0, pixmap()); }
    void mouseDoubleClickEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton)
            emit doubleClicked();
    }
};

} // namespace wordmoot
