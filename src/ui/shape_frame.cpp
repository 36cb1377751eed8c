#include "ui/shape_frame.h"

#include <QEvent>
#include <QPainter>

namespace pellucar::ui {

ShapeFrame::ShapeFrame(QWidget* area) : QWidget(area) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    area->installEventFilter(this);
    setGeometry(area->rect());
    lower();
}

void ShapeFrame::setBorderColor(const QColor& c) {
    border_ = c;
    update();
}

bool ShapeFrame::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parent() && event->type() == QEvent::Resize) {
        setGeometry(parentWidget()->rect());
        lower();
    }
    return QWidget::eventFilter(watched, event);
}

void ShapeFrame::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QColor c = border_.isValid() ? border_ : palette().color(QPalette::Dark);
    QPen pen(c);
    pen.setWidth(2);
    pen.setJoinStyle(Qt::MiterJoin);
    p.setPen(pen);
    p.drawRect(rect().adjusted(1, 1, -1, -1));
}

} // namespace pellucar::ui
