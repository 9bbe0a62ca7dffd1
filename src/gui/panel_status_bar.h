#pragma once

#include <QLabel>
#include <QStatusBar>
#include <QTimer>

#include <array>

// A status bar with three text panels, addressed 1 to 3.
class PanelStatusBar : public QStatusBar {
    Q_OBJECT
public:
    static constexpr int kPanels = 3;

    explicit PanelStatusBar(QWidget *parent = nullptr);

    // The text the panel shows.
    QString panelText(int index) const;
    // Sets the text only when it differs, so an idle display causes no repaints.
    // While the panel holds a notice, the text waits until the notice is over.
    void setPanelText(int index, const QString &text);
    // Shows `text` in the panel for `durationMs`, whatever is set meanwhile;
    // then the panel shows the last text set again.
    void showNotice(int index, const QString &text, int durationMs);

signals:
    void PanelClick(int index);

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    void endNotice();

    std::array<QLabel *, kPanels> panels_{};
    std::array<QString, kPanels> texts_;  // the texts set, notices aside
    int noticePanel_ = 0;                 // the panel holding a notice, 0 for none
    QTimer noticeTimer_;
};
