#pragma once

#include <QWidget>

class ChannelPlot;
class QHBoxLayout;
class QLabel;
class UiSeam;

// What the two plot windows share: a window of its own, transient for the
// main window and not modal, with a bar of controls above a ChannelPlot. The
// bar holds the window's own switches, then the Y axis switch, "保存图片" and a
// hint on how to move around. Saving goes through the save dialog, the
// overwrite question and CheckedSave, as the workbook does.
class PlotWindow : public QWidget {
    Q_OBJECT
public:
    // Shows the window, or brings it to the front when it is open already.
    void openOrRaise();
    ChannelPlot *plot() const { return plot_; }

public slots:
    // Asks for a file name and saves the plot there as PNG or PDF, at the
    // plot's size on the screen.
    void savePicture();

protected:
    // `mainWindow` must outlive the window.
    PlotWindow(UiSeam &dialogs, QWidget *mainWindow);
    // A control of the window's own, placed before the common ones.
    void addControl(const QString &caption, QWidget *control);
    // The hint beside the controls: how to move around in the plot, and what
    // the window adds to it.
    void setHint(const QString &hint);
    QString movingHint() const;
    // The file name the save dialog suggests, without extension.
    virtual QString pictureName() const = 0;

private:
    // Writes the picture to `path` through a scratch file; the failure in the
    // user's words, or an empty text.
    QString writePicture(const QString &path, bool pdf);

    UiSeam &dialogs_;
    ChannelPlot *plot_;
    QHBoxLayout *bar_;
    int ownControls_ = 0;  // the window's own controls, at the bar's start
    QLabel *hint_;
    QString pictureFolder_;  // where the last picture of this run went
};
