#include "window/panel_status_bar.h"

#include <QMouseEvent>

PanelStatusBar::PanelStatusBar(QWidget *parent) : QStatusBar(parent)
{
    setSizeGripEnabled(false);
    for (auto &panel : panels_) {
        panel = new QLabel(this);
        panel->setFrameShape(QFrame::StyledPanel);
        panel->setFrameShadow(QFrame::Sunken);
        addWidget(panel, 1);
    }
}

QString PanelStatusBar::panelText(int index) const
{
    if (index < 1 || index > kPanels)
        return {};
    return panels_[index - 1]->text();
}

void PanelStatusBar::setPanelText(int index, const QString &text)
{
    if (index < 1 || index > kPanels)
        return;
    QLabel *panel = panels_[index - 1];
    if (panel->text() != text)
        panel->setText(text);
}

void PanelStatusBar::mousePressEvent(QMouseEvent *event)
{
    for (int i = 0; i < kPanels; ++i) {
        if (panels_[i]->geometry().contains(event->position().toPoint())) {
            emit PanelClick(i + 1);
            break;
        }
    }
    QStatusBar::mousePressEvent(event);
}
