#pragma once
#include <QColor>
#include <QWidget>

namespace pellucar::ui {

// A frame drawn around an area of the main window. It sits behind the
// controls of its area and follows its area's size, but it is a control of
// its own: hiding it hides the border only.
class ShapeFrame : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QColor borderColor READ borderColor WRITE setBorderColor)
public:
    explicit ShapeFrame(QWidget* area);

    QColor borderColor() const { return border_; }
    void setBorderColor(const QColor& c);

protected:
    void paintEvent(QPaintEvent*) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QColor border_;
};

} // namespace pellucar::ui
