#pragma once

#include <QLabel>

namespace kanvo {

// A label that works as a button: emits clicked() on a left-button release inside it, and
// hovered() whenever the pointer moves over it (the main window colours its labels on hover).
class ClickableLabel : public QLabel {
    Q_OBJECT

public:
    explicit ClickableLabel(const QString& text, QWidget* parent = nullptr);

signals:
    void clicked();
    void hovered();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;

private:
    bool pressed_ = false;
};

} // namespace kanvo
