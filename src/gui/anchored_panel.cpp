#include "gui/anchored_panel.h"

#include <QResizeEvent>

AnchoredPanel::AnchoredPanel(const QSize &designSize, QWidget *parent)
    : QWidget(parent), designSize_(designSize)
{
    setMinimumSize(designSize);
    resize(designSize);
}

void AnchoredPanel::place(QWidget *child, const QRect &designRect, Edges edges)
{
    children_.push_back({child, designRect, edges});
    child->setGeometry(anchoredRect(designRect, designSize_, size(), edges));
}

QRect AnchoredPanel::anchoredRect(const QRect &designRect, const QSize &designSize,
                                  const QSize &size, Edges edges)
{
    const int dx = size.width() - designSize.width();
    const int dy = size.height() - designSize.height();
    QRect r = designRect;
    if (edges.testFlag(Right)) {
        if (edges.testFlag(Left))
            r.setWidth(r.width() + dx);
        else
            r.translate(dx, 0);
    }
    if (edges.testFlag(Bottom)) {
        if (edges.testFlag(Top))
            r.setHeight(r.height() + dy);
        else
            r.translate(0, dy);
    }
    return r;
}

void AnchoredPanel::resizeEvent(QResizeEvent *event)
{
    for (const Child &c : children_) {
        if (c.widget)
            c.widget->setGeometry(anchoredRect(c.designRect, designSize_, event->size(), c.edges));
    }
    QWidget::resizeEvent(event);
}
