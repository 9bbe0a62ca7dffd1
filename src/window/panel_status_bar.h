#pragma once

#include <QLabel>
#include <QStatusBar>

#include <array>

// A status bar with three text panels, addressed 1 to 3.
class PanelStatusBar : public QStatusBar {
    Q_OBJECT
public:
    static constexpr int kPanels = 3;

    explicit PanelStatusBar(QWidget *parent = nullptr);

    QString panelText(int index) const;
    // Sets the text only when it differs, so an idle display causes no repaints.
    void setPanelText(int index, const QString &text);

signals:
    void PanelClick(int index);

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    std::array<QLabel *, kPanels> panels_{};
};
