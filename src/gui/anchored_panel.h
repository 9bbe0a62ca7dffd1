#pragma once

#include <QFlags>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QWidget>

#include <vector>

// A panel laid out for one design size. Each child keeps its designed
// distance to the edges it is anchored to: anchored left and right, it grows
// with the panel's width; anchored right only, it moves with the right edge;
// likewise for top and bottom. The panel never gets smaller than its design
// size, so a larger panel only ever moves or grows its children.
class AnchoredPanel : public QWidget {
    Q_OBJECT
public:
    enum Edge { Left = 0x1, Top = 0x2, Right = 0x4, Bottom = 0x8 };
    Q_DECLARE_FLAGS(Edges, Edge)

    explicit AnchoredPanel(const QSize &designSize, QWidget *parent = nullptr);

    // Places `child` at `designRect` and keeps it anchored to `edges`.
    void place(QWidget *child, const QRect &designRect, Edges edges = Edges(Left | Top));

    QSize sizeHint() const override { return designSize_; }

    // Where a child designed at `designRect` on a panel of `designSize` goes
    // when the panel is `size` large.
    static QRect anchoredRect(const QRect &designRect, const QSize &designSize, const QSize &size,
                              Edges edges);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    struct Child {
        QPointer<QWidget> widget;
        QRect designRect;
        Edges edges;
    };
    QSize designSize_;
    std::vector<Child> children_;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(AnchoredPanel::Edges)
