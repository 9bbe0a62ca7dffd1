#pragma once

#include "core/instrument.h"

#include <QMainWindow>
#include <QPointer>
#include <QSize>
#include <QString>

#include <functional>
#include <memory>

class QAction;
class QCloseEvent;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QTimer;
class QToolBar;
class AnchoredPanel;
class Form2;
class RichTextBox;
class PanelStatusBar;
class UiSeam;
class StoredChartWindow;
class LiveTrendWindow;

// The main window: a view of the instrument. It shows the link's state, the
// live readings and the record table, and turns the user's clicks into what
// it asks of the instrument. Its controls keep their designer names, also as
// object names (findChild<QLabel *>("Label2")).
class Form1 : public QMainWindow {
    Q_OBJECT
public:
    // `core` and `dialogs` must outlive the window.
    Form1(Instrument *core, UiSeam *dialogs, QWidget *parent = nullptr);
    ~Form1() override;

    // Start-up: the status display runs, the instrument starts its work, and
    // the empty record store is listed.
    void Form_Load();

    // The status display, 14 times a second.
    void Timer1_Timer();
    // The port and link state at once; the first status-bar panel lags one
    // tick behind the link text when `panelLags`.
    void showLinkState(bool panelLags = false);
    void StatusBar1_PanelClick(int panel);

    // The commands, wherever the user finds them.
    void Command2_Click();  // Read
    void Command3_Click();  // Save
    void Command4_Click();  // Clear data
    void Command5_Click();  // Exit
    void mnuSave_Click();
    void mnuExit_Click();
    void mnuRead_Click();
    void mnuClear_Click();
    void mnuCurrentVersion_Click();
    void mnuChart_Click();  // "曲线图": the chart of the stored groups
    void mnuTrend_Click();  // "实时曲线": the live trend
    void Toolbar1_ButtonClick(const QString &key);
    // Saves the last read range to `fileName` and says how it went.
    void exportSheet(const QString &fileName);

    // The read-range dialog while it is shown.
    Form2 *readRangeDialog() const;

    // Ends the program: no question, nothing saved; the window closes, which
    // ends the instrument's work and closes the port. Tests replace it.
    std::function<void()> endProgram;

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls();
    void createMenus();
    void createToolbar();
    void connectEvents();
    void connectInstrument();
    // Read, Save and Clear data on or off, wherever they are.
    void setCommandsEnabled(bool enabled);
    void showGroupCount();
    void showLiveReading(const Instrument::LiveReading &reading);
    void showBusy(bool busy);
    void showProgress(int percent);
    void showCompletion();
    // The window's size in the normal state: its design size, made smaller
    // where the screen's free area is smaller.
    QSize normalSize() const;

    // The words of the status boxes, translated once for the window: the
    // status display sets them 14 times a second.
    struct StatusWords {
        QString portOpen, portClosed, linked, notLinked, searching, reading;
    };
    static StatusWords translatedStatusWords();

    Instrument *core_;
    UiSeam *dialogs_;  // every message box, question and save dialog goes through here
    const StatusWords statusWords_;

    QToolBar *Toolbar1 = nullptr;
    QLabel *Label1 = nullptr;                                        // "COM:"
    QLabel *Label2 = nullptr, *Label4 = nullptr, *Label5 = nullptr;  // live I1, I2, I3
    QLabel *Label3 = nullptr, *Label6 = nullptr, *Label7 = nullptr;  // "I1:", "I2:", "I3:"
    QComboBox *Combo1 = nullptr;      // the port number; the search's, or the user's
    QGroupBox *Frame1 = nullptr;      // "通信"
    QGroupBox *Frame2 = nullptr;      // "操作"
    QGroupBox *Frame3 = nullptr;      // "状态信息"
    QPushButton *Command2 = nullptr;  // "读  取": Read, asks for the group count
    QPushButton *Command3 = nullptr;  // "保  存": Save, exports the last read range
    QPushButton *Command4 = nullptr;  // "数据清除": Clear data, empties the record store
    QPushButton *Command5 = nullptr;  // "退  出": Exit
    QLineEdit *Text1 = nullptr;       // "COMn", the port in use; its tooltip names the device
    QLineEdit *Text2 = nullptr;       // whether the port is open
    QLineEdit *Text3 = nullptr;       // whether the instrument answers
    QLineEdit *Text4 = nullptr;       // "正在查找..." while searching, else empty
    RichTextBox *RichTextBox1 = nullptr;
    QProgressBar *ProgressBar1 = nullptr;
    PanelStatusBar *StatusBar1 = nullptr;
    QTimer *Timer1 = nullptr;  // 70 ms: the status display
    QMenu *mnuFile = nullptr, *mnuOperation = nullptr, *mnuView = nullptr, *mnuVersion = nullptr;
    QAction *mnuSave = nullptr, *mnuExit = nullptr, *mnuRead = nullptr, *mnuClear = nullptr,
            *mnuChart = nullptr, *mnuTrend = nullptr, *mnuCurrentVersion = nullptr;
    // The plot windows, made when first asked for; from then on they follow
    // the instrument, shown or not.
    std::unique_ptr<StoredChartWindow> chart_;
    std::unique_ptr<LiveTrendWindow> trend_;
    QPointer<Form2> form2_;  // the read-range dialog while it is shown

    quint8 readBusy_ = 0;  // the display's reading state; nothing sets it to 1
    QSize designSize_;     // the window's design size: menu bar, controls and status bar
    AnchoredPanel *client_ = nullptr;  // the controls under the menu bar
    QString lastSaveFolder_;           // where the last Save of this run went
    qint64 clockSecond_ = -1;          // the second the status bar's clock shows
    qint16 shownPort_ = 1;             // the port Combo1 last showed: Combo1's text at start
};
