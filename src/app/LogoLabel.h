#pragma once

#include <QLabel>
#include <QMouseEvent>

namespace wordmoot {

// The logo: a picture that also answers a double click.
class LogoLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

signals:
    void doubleClicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton)
            emit doubleClicked();
    }
};

} // namespace wordmoot
