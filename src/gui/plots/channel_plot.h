#pragma once

#include <qcustomplot.h>

#include <array>
#include <functional>

// The plot both plot windows draw in: I1, I2 and I3 in amperes as three
// coloured lines with a legend, a Y axis that is linear or logarithmic, and
// the ways of moving around: the wheel zooms, dragging with the left button
// pans, dragging with the right button (or Ctrl and the left) zooms into a
// box, and a double click asks for everything. Hovering shows a tip about
// the point under the mouse, in words the window gives.
class ChannelPlot : public QCustomPlot {
    Q_OBJECT
public:
    static constexpr int kChannels = 3;

    explicit ChannelPlot(QWidget *parent = nullptr);

    QCPGraph *channel(int c) const { return channels_[c]; }
    const std::array<QCPGraph *, kChannels> &channels() const { return channels_; }
    bool isLogarithmic() const;
    void setLogarithmic(bool logarithmic);
    // The Y axis fitted to the values in the X axis's range, with a margin.
    void fitValues();
    // The tip for the point nearest to an X coordinate; an empty text shows none.
    void setTipSource(std::function<QString(double key)> tipAt);
    // Redraws now when the plot is on the screen; a hidden plot is drawn
    // when it is shown.
    void redraw();

signals:
    // The user zoomed or panned: the view is theirs now.
    void viewMovedByUser();
    // A double click: the window shows everything.
    void showAllRequested();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void showTip(QMouseEvent *event);

    std::array<QCPGraph *, kChannels> channels_{};
    QSharedPointer<QCPAxisTicker> linearTicker_;
    QSharedPointer<QCPAxisTickerLog> logTicker_;
    std::function<QString(double key)> tipAt_;
    bool stale_ = false;  // changed while hidden, not drawn since
};
