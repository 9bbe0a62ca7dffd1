#pragma once

#include "core/link/read_out.h"
#include "core/records/record_store.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <QSize>
#include <QString>

#include <array>
#include <functional>
#include <vector>

namespace read_plan {
struct Plan;
}

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
class MSComm;
class RichTextBox;
class PanelStatusBar;
class UiSeam;

// The main window. It owns every control and all of the program's state; the
// procedures of every subsystem are members of this class, defined in the
// folder of their subsystem (window/, link/, records/, export/).
//
// State is public: the read-range dialog sets the read plan and calls senddat
// through the window object, and the tests inspect it directly.
class Form1 : public QMainWindow {
    Q_OBJECT
public:
    // `comm` and `dialogs` must outlive the window.
    Form1(MSComm *comm, UiSeam *dialogs, QWidget *parent = nullptr);
    ~Form1() override;

    // ---- Read plan and command frames, used by Form2 -------------------------
    void senddat(qint16 dat);
    qint32 savesum = 0;    // groups stored in the instrument
    qint32 startsave = 0;  // first group of the block to request
    qint32 endsave = 0;    // last group of the requested range
    qint32 lssavesum = 0;  // first group of the whole range
    qint32 memnum = 0;     // groups in the range
    qint16 memmul = 0;     // whole blocks of 1000 groups
    qint16 memrem = 0;     // groups in the final partial block
    qint16 lsmemmul = 0;   // block being requested, from 1

    // ---- Link state ---------------------------------------------------------
    std::array<quint8, 8> cmdBuf{};  // the last command frame built
    qint16 lastCmd = 0;              // dat of the last senddat; picks the reply decoder
    QByteArray rxBuf;                // bytes of the last receive event
    qint16 commOk = 0;               // 1 = the instrument answered lately
    qint16 silentTicks = 0;          // Timer2 ticks since the last receive event
    qint16 lastSearchedPort = 0;     // the port the last search step tried; 0 before the first
    qint16 blockRetryTicks = 0;      // Timer4 ticks since the current block request
    quint8 secFlag = 0;              // 1 = time stamps carry seconds
    QString fmtText;                 // the last reading formatted, by fmtReading or showLive
    quint8 readBusy = 0;             // read-out display state; nothing sets it to 1

    // ---- Read-out in progress -------------------------------------------------
    // A block reply has no header, length or check: it is taken only when exactly
    // its length arrived and the line then stays quiet. Where the current block stands:
    enum class ReadPhase {
        Idle,          // no read-out
        Receiving,     // a block request is out; waiting for its reply
        Settling,      // the reply's length is in; waiting for a quiet line
        Draining,      // the delivery was wrong; dropping bytes until the line is quiet
        AwaitingLate,  // stored after a re-send; the earlier request's reply may still come
    };
    ReadPhase readPhase = ReadPhase::Idle;
    qint16 blockRequests = 0;    // requests sent for the current block
    qint16 blockResends = 0;     // watchdog re-sends since the block last got a whole answer
    qint16 blockFailures = 0;    // deliveries of the current block that were not its reply
    qint32 blockReplyBytes = 0;  // what the current block's reply must hold
    qint32 stallBytes = -1;      // bytes in at the last stall check of a reply
    qint32 lateBytes = 0;        // bytes dropped while awaiting a late reply
    qint32 storedFirst = 0;      // the last block this read-out stored; storedLast <
    qint32 storedLast = -1;      //   lssavesum while none

    // ---- Port problems ------------------------------------------------------
    QHash<qint16, QString>
        portNotes;        // port -> why it is not the instrument's, in the user's words
    QString portProblem;  // a problem worth the status bar: "COMn = device：why"

    // ---- Record store: slots 0 to 200000, indexed by group number ------------
    RecordStore recordStore;
    GroupRecord recordAt(qint32 g) const { return recordStore.recordAt(g); }
    void storeRecord(qint32 g, const GroupRecord &r) { recordStore.storeRecord(g, r); }
    void emptyRecordStore() { recordStore.clear(); }
    std::size_t recordStoreBytes() const { return recordStore.bytes(); }

    // ---- Controls -----------------------------------------------------------
    MSComm *MSComm1;
    QToolBar *Toolbar1 = nullptr;
    QLabel *Label1 = nullptr;                                        // "COM:"
    QLabel *Label2 = nullptr, *Label4 = nullptr, *Label5 = nullptr;  // live I1, I2, I3
    QLabel *Label3 = nullptr, *Label6 = nullptr, *Label7 = nullptr;  // "I1:", "I2:", "I3:"
    QComboBox *Combo1 = nullptr;
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
    QTimer *Timer1 = nullptr;  // 70 ms: the status display; sets Timer2's pace
    QTimer *Timer2 = nullptr;  // the port search and link supervision: 70 ms linked, 20 searching
    QTimer *Timer3 = nullptr;  // 500 ms: the live-reading poll
    QTimer *Timer4 = nullptr;  // 1 s: the block watchdog, running only during a read-out
    QTimer *lineTimer = nullptr;    // quiet window and stall check of block replies
    QTimer *probeWindow = nullptr;  // while it runs, the search waits for the probe's reply
    QMenu *mnuFile = nullptr, *mnuOperation = nullptr, *mnuVersion = nullptr;
    QAction *mnuSave = nullptr, *mnuExit = nullptr, *mnuRead = nullptr, *mnuClear = nullptr,
            *mnuCurrentVersion = nullptr;
    QPointer<Form2> form2;  // the read-range dialog while it is shown
    UiSeam *dialogs;        // every message box, question and save dialog goes through here

    // ---- Procedures ---------------------------------------------------------
    // window/
    void Form_Load();
    void Timer1_Timer();
    void showLinkState(bool panelLags = false);
    void StatusBar1_PanelClick(int panel);
    void Command5_Click();
    void mnuSave_Click();
    void mnuExit_Click();
    void mnuRead_Click();
    void mnuClear_Click();
    void mnuCurrentVersion_Click();
    void Toolbar1_ButtonClick(const QString &key);
    // link/
    void openPort();
    void lockControls();
    void unlockControls();
    void MSComm1_OnComm();
    void MSComm1_PortLost();
    void setReadPlan(const read_plan::Plan &plan);
    void beginReadOut();
    void lineTimer_Timer();
    void interruptReadOut(read_out::End why);
    void showLive();
    void storeBlock();
    void Timer2_Timer();
    void Timer3_Timer();
    void Timer4_Timer();
    void Command2_Click();
    // The port number the search stands on, as decimal text. Combo1 shows it
    // at the status display's pace; what the user types into Combo1 comes here at once.
    QString portText() const { return portText_; }
    void setPortText(const QString &text) { portText_ = text; }
    // records/
    void fmtReading(const QString &value, const QString &status);
    void listRecords(qint32 first, qint32 last);
    void Command4_Click();
    // export/
    void Command3_Click();
    void exportSheet(const QString &fileName);

    // Enables or disables a timer. Enabling a running timer leaves its countdown alone.
    static void setTimerEnabled(QTimer *timer, bool enabled);

    // Ends the program: no question, nothing saved; the window closes, which
    // closes the port and lets the event loop finish. Tests replace it.
    std::function<void()> endProgram;

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void markLinkAlive();
    void searchStep();
    void noteOpenOutcome();
    void noteNotInstrument();
    void forgetPortNote();
    void armBlockReception(qint32 replyBytes);
    void blockDelivered(bool morePending);
    void blockLineNoise();
    qint32 lateRepliesOwed() const;
    void armLineTimer(int ms);
    bool lineCheckCameLate() const;
    void startDraining();
    void blockFailed();
    void acceptBlock();
    void advanceReadOut();
    void setCommandsEnabled(bool enabled);
    void createControls();
    void createMenus();
    void createToolbar();
    void connectEvents();
    // The window's size in the normal state: its design size, made smaller
    // where the screen's free area is smaller.
    QSize normalSize() const;
    QSize designSize_;  // the window's design size: menu bar, controls and status bar
    AnchoredPanel *client_ = nullptr;          // the controls under the menu bar
    QString lastSaveFolder_;                   // where the last Save of this run went
    QString portText_ = QStringLiteral("1");   // the search's port number; Combo1's text at start
    QHash<QString, QString> loggedPortNotes_;  // device -> the note last logged
    qint64 clockSecond_ = -1;                  // the second the status bar's clock shows
    QElapsedTimer lineArmedAt_;                // when the line timer was last started
};
