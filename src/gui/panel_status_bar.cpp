#include "gui/panel_status_bar.h"

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
    noticeTimer_.setSingleShot(true);
    connect(&noticeTimer_, &QTimer::timeout, this, &PanelStatusBar::endNotice);
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
    texts_[index - 1] = text;
    if (index == noticePanel_)
        return;
    QLabel *panel = panels_[index - 1];
    if (panel->text() != text)
        panel->setText(text);
}

void PanelStatusBar::showNotice(int index, const QString &text, int durationMs)
{
    if (index < 1 || index > kPanels)
        return;
    if (noticePanel_ != 0 && noticePanel_ != index)
        endNotice();
    noticePanel_ = index;
    panels_[index - 1]->setText(text);
    noticeTimer_.start(durationMs);
}

void PanelStatusBar::endNotice()
{
    if (noticePanel_ == 0)
        return;
    panels_[noticePanel_ - 1]->setText(texts_[noticePanel_ - 1]);
    noticePanel_ = 0;
    noticeTimer_.stop();
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
