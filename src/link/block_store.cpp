#include "window/form1.h"

#include "core/link/block_store.h"
#include "core/link/frames.h"
#include "core/link/replies.h"
#include "core/product.h"
#include "platform/mscomm.h"
#include "platform/ui_seam.h"

#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QToolBar>

namespace {
const QString kCompletionText =
    QStringLiteral("数据读取完毕，当前界面只显示部分数据，如需查看其它数据，请保存文件后查阅。"
                   "文件过大时，保存时间较长，请耐心等待。");
}  // namespace

// Stores the groups of a block reply and, after the block that ends the range,
// completes the read-out.
void Form1::storeBlock()
{
    const qint32 first = frames::frameFirstGroup(cmdBuf);
    const qint32 last = frames::frameLastGroup(cmdBuf);
    int k = 0;
    for (qint32 g = first; g <= last; ++g, ++k) {
        // The read plan keeps requests inside the store; a group without a slot is never written.
        if (g < record_store::kFirstGroup || g > record_store::kLastGroup)
            continue;
        storeRecord(g, replies::blockRecord(rxBuf, k));
        ProgressBar1->setVisible(true);
        ProgressBar1->setValue(block_store::progressPercent(g, endsave));
    }
    if (first <= last) {
        storedFirst = first;
        storedLast = last;
    }

    // Only the block that ends the range completes the read-out: an earlier block
    // whose last group rounds to 100 % must not stop the watchdog.
    if (last != endsave || first > last)
        return;
    readPhase = ReadPhase::Idle;
    lineTimer->stop();
    listRecords(first, last);
    setTimerEnabled(Timer4, false);
    dialogs->message(this, product::title(), kCompletionText, UiSeam::Icon::None);
    // The read-out is over; whatever arrived while the message was open (a late
    // duplicate block, say) must not be taken for a new block.
    MSComm1->setInBufferCount(0);
    unlockControls();
}

// Lifts the busy lock of a read-out.
void Form1::unlockControls()
{
    setCommandsEnabled(true);
    setTimerEnabled(Timer1, true);
    setTimerEnabled(Timer2, true);
    setTimerEnabled(Timer3, true);
}
