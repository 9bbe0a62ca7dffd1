<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>ChannelPlot</name>
    <message>
        <source>电流 (A)</source>
        <translation>Current (A)</translation>
    </message>
</context>
<context>
    <name>CliSession</name>
    <message>
        <source>所选范围内没有已存储的数据组。</source>
        <translation>There are no stored groups in the selected range.</translation>
    </message>
    <message>
        <source>已被中止。</source>
        <translation>Stopped.</translation>
    </message>
    <message>
        <source>仪器连接中断，正在重新查找……</source>
        <translation>The link to the instrument is lost; searching again…</translation>
    </message>
    <message>
        <source>已重新连接：COM%1</source>
        <translation>Linked again: COM%1</translation>
    </message>
    <message>
        <source>没有找到仪器：%1 秒内 COM1 至 COM16 都没有应答。</source>
        <translation>No instrument found: nothing on COM1 to COM16 answered within %1 s.</translation>
    </message>
    <message>
        <source>已写入 %1 组：%2</source>
        <translation>%1 groups written: %2</translation>
    </message>
    <message>
        <source>没有找到仪器：%1 秒内本仪器没有在 COM1 至 COM16 上应答。各端口的情况：</source>
        <translation>No instrument found: the instrument did not answer on COM1 to COM16 within %1 s. What the ports said:</translation>
    </message>
    <message>
        <source>没有读到数据组，原有文件“%1”保持不变。</source>
        <translation>No group was read; the file “%1” that was there is unchanged.</translation>
    </message>
    <message>
        <source>已写入 %1 组：%2（读取没有完成，原有文件“%3”保持不变）</source>
        <translation>%1 groups written: %2 (the read-out did not finish; the file “%3” that was there is unchanged)</translation>
    </message>
    <message>
        <source>%1正在重新查找……</source>
        <translation>%1 Searching again…</translation>
    </message>
</context>
<context>
    <name>Form1</name>
    <message>
        <source>已保存：%1</source>
        <translation>Saved: %1</translation>
    </message>
    <message>
        <source>文件</source>
        <translation>File</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>操作</source>
        <translation>Operation</translation>
    </message>
    <message>
        <source>读取</source>
        <translation>Read</translation>
    </message>
    <message>
        <source>数据清除</source>
        <translation>Clear data</translation>
    </message>
    <message>
        <source>视图</source>
        <translation>View</translation>
    </message>
    <message>
        <source>曲线图</source>
        <translation>Chart</translation>
    </message>
    <message>
        <source>实时曲线</source>
        <translation>Live trend</translation>
    </message>
    <message>
        <source>版本</source>
        <translation>Version</translation>
    </message>
    <message>
        <source>当前版本</source>
        <translation>Current version</translation>
    </message>
    <message>
        <source>通信</source>
        <translation>Communication</translation>
    </message>
    <message>
        <source>读  取</source>
        <translation>Read</translation>
    </message>
    <message>
        <source>保  存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>退  出</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>状态信息</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>清除</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>所选范围内没有已存储的数据组。</source>
        <translation>There are no stored groups in the chosen range.</translation>
    </message>
    <message>
        <source>数据读取完毕，当前界面只显示部分数据，如需查看其它数据，请保存文件后查阅。文件过大时，保存时间较长，请耐心等待。</source>
        <translation>The data has been read. The window shows only part of it; to see the rest, save it to a file and open that. A large file takes a while to save; please be patient.</translation>
    </message>
    <message>
        <source>串口打开</source>
        <translation>Port open</translation>
    </message>
    <message>
        <source>串口关闭</source>
        <translation>Port closed</translation>
    </message>
    <message>
        <source>通信成功</source>
        <translation>Connected</translation>
    </message>
    <message>
        <source>通信失败</source>
        <translation>Not connected</translation>
    </message>
    <message>
        <source>正在读取...</source>
        <translation>Reading...</translation>
    </message>
    <message>
        <source>正在查找...</source>
        <translation>Searching...</translation>
    </message>
    <message>
        <source>没有可保存的数据：请先读取数据组。</source>
        <translation>There is no data to save: read the groups first.</translation>
    </message>
</context>
<context>
    <name>Form2</name>
    <message>
        <source>读取数据选项</source>
        <translation>Read options</translation>
    </message>
    <message>
        <source>读取:</source>
        <translation>Read:</translation>
    </message>
    <message>
        <source>组</source>
        <translation>groups</translation>
    </message>
    <message>
        <source>全部</source>
        <translation>All</translation>
    </message>
    <message>
        <source>确  定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取  消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>LiveTrendWindow</name>
    <message>
        <source>最近 10 分钟</source>
        <translation>Last 10 minutes</translation>
    </message>
    <message>
        <source>实时曲线</source>
        <translation>Live trend</translation>
    </message>
    <message>
        <source>显示最近 10 分钟，并随新读数滚动</source>
        <translation>Shows the last 10 minutes and scrolls with new readings</translation>
    </message>
    <message>
        <source>视图：</source>
        <translation>View:</translation>
    </message>
    <message>
        <source>；“最近 10 分钟”回到滚动显示</source>
        <translation>; “Last 10 minutes” scrolls again</translation>
    </message>
    <message>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>通信中断</source>
        <translation>Link lost</translation>
    </message>
</context>
<context>
    <name>PlotWindow</name>
    <message>
        <source>线性</source>
        <translation>Linear</translation>
    </message>
    <message>
        <source>对数</source>
        <translation>Logarithmic</translation>
    </message>
    <message>
        <source>保存图片</source>
        <translation>Save picture</translation>
    </message>
    <message>
        <source>纵轴：</source>
        <translation>Y axis:</translation>
    </message>
    <message>
        <source>滚轮缩放，左键拖动平移，右键（或 Ctrl+左键）拖出方框放大，双击显示全部</source>
        <translation>The wheel zooms, a left drag pans, a right drag (or Ctrl and a left drag) zooms into a box, a double click shows everything</translation>
    </message>
    <message>
        <source>保存失败：无法生成图片。</source>
        <translation>Save failed: the picture could not be drawn.</translation>
    </message>
</context>
<context>
    <name>StoredChartWindow</name>
    <message>
        <source>曲线图</source>
        <translation>Chart</translation>
    </message>
    <message>
        <source>组号</source>
        <translation>Group</translation>
    </message>
    <message>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>横轴：</source>
        <translation>X axis:</translation>
    </message>
</context>
<context>
    <name>checked_save</name>
    <message>
        <source>文件只写入了 %1 字节，应为 %2 字节</source>
        <translation>only %1 bytes of the file were written, not %2</translation>
    </message>
</context>
<context>
    <name>cli_options</name>
    <message>
        <source>用法：harlune-cli [--port-dir DIR] [--port N] [--timeout S] [--language zh|en] 命令 [选项]</source>
        <translation>Usage: harlune-cli [--port-dir DIR] [--port N] [--timeout S] [--language zh|en] COMMAND [options]</translation>
    </message>
    <message>
        <source>live：输出 &lt;n&gt; 个读数后停止。</source>
        <translation>live: stop after &lt;n&gt; readings.</translation>
    </message>
    <message>
        <source>live：输出 CSV 行而不是文字。</source>
        <translation>live: print CSV lines instead of text.</translation>
    </message>
    <message>
        <source>read：第 &lt;a&gt; 到 &lt;b&gt; 组，两端顺序不限。</source>
        <translation>read: the groups &lt;a&gt; to &lt;b&gt;, either way round.</translation>
    </message>
    <message>
        <source>read：所有存储的数据组（默认）。</source>
        <translation>read: every stored group (the default).</translation>
    </message>
    <message>
        <source>read：把数据组写入 &lt;file&gt;。</source>
        <translation>read: write the groups to &lt;file&gt;.</translation>
    </message>
    <message>
        <source>read：时间带秒，不论仪器怎样设置。</source>
        <translation>read: time stamps with seconds, whatever the instrument says.</translation>
    </message>
    <message>
        <source>read：时间不带秒，不论仪器怎样设置。</source>
        <translation>read: time stamps without seconds, whatever the instrument says.</translation>
    </message>
    <message>
        <source>read：不在标准错误上显示进度。</source>
        <translation>read: no progress on standard error.</translation>
    </message>
    <message>
        <source>--count 需要从 1 起的整数，不是 &apos;%1&apos;</source>
        <translation>--count takes a whole number from 1, not &apos;%1&apos;</translation>
    </message>
    <message>
        <source>--range 和 --all 不能同时使用</source>
        <translation>--range and --all exclude each other</translation>
    </message>
    <message>
        <source>--range 需要写成 A-B 的两个组号，不是 &apos;%1&apos;</source>
        <translation>--range takes two group numbers as A-B, not &apos;%1&apos;</translation>
    </message>
    <message>
        <source>read 需要 -o FILE（.xlsx、.xls、.xlsm、.csv，或用 - 表示标准输出）</source>
        <translation>read needs -o FILE (.xlsx, .xls, .xlsm, .csv, or - for standard output)</translation>
    </message>
    <message>
        <source>-o：&apos;%1&apos; 的扩展名未知（可用 .xlsx、.xls、.xlsm、.csv，或用 - 表示标准输出）</source>
        <translation>-o: &apos;%1&apos; has an unknown extension (.xlsx, .xls, .xlsm, .csv, or - for standard output)</translation>
    </message>
    <message>
        <source>--seconds 和 --no-seconds 不能同时使用</source>
        <translation>--seconds and --no-seconds exclude each other</translation>
    </message>
    <message>
        <source>没有给出命令（find、live、read 或 count）；见 --help</source>
        <translation>no command given (find, live, read or count); see --help</translation>
    </message>
    <message>
        <source>未知的命令 &apos;%1&apos;（可用 find、live、read 或 count）</source>
        <translation>unknown command &apos;%1&apos; (find, live, read or count)</translation>
    </message>
    <message>
        <source>--%1 不是 %2 的选项</source>
        <translation>--%1 is not an option of %2</translation>
    </message>
    <message>
        <source>不用窗口读取串口上的三通道电流仪器：找到仪器应答的端口，输出实时电流，
把存储的数据组读入文件。消息为中文（--language en 为英文）；标准输出上
只有数据。

命令：
  find                        像窗口一样查找 COM1..COM16，输出
                              &quot;COM&lt;n&gt; &lt;设备&gt;&quot; 后退出
  live [--count N] [--csv]    每个实时读数（每 500 毫秒）输出一行，
                              共 N 行，或直到 Ctrl+C
  read [--range A-B | --all] -o FILE [--seconds | --no-seconds] [--quiet]
                              读取第 A..B 组（两端顺序不限，从第 1 组起）或所有存储的
                              数据组并写入 FILE；格式由扩展名决定：
                              .xlsx .xls .xlsm 与窗口的保存相同，.csv，
                              或用 &quot;-&quot; 把 CSV 写到标准输出；进度显示在
                              标准错误上
  count                       输出存储的数据组数</source>
        <translation>Reads a three-channel current instrument on a serial port without a window:
finds the port it answers on, prints the live currents, and reads the stored
groups into a file. Messages are in Chinese (English with --language en);
nothing but data goes to standard output.

Commands:
  find                        search COM1..COM16 as the window does, print
                              &quot;COM&lt;n&gt; &lt;device&gt;&quot; and exit
  live [--count N] [--csv]    print one line per live reading (every 500 ms),
                              N lines or until Ctrl+C
  read [--range A-B | --all] -o FILE [--seconds | --no-seconds] [--quiet]
                              read the groups A..B (either way round, from
                              group 1 on) or all stored groups and write FILE;
                              the extension picks the format: .xlsx .xls .xlsm
                              as the window&apos;s Save writes them, .csv, or
                              &quot;-&quot; for CSV on standard output; progress goes
                              to standard error
  count                       print the number of stored groups</translation>
    </message>
    <message>
        <source>
read 的 CSV：首行是 group,time,i1_a,i2_a,i3_a,i1,i2,i3,charge，之后每个
读到的数据组一行。time 为 ISO 8601（2001-11-15T14:20:41，不带秒时为
2001-11-15T14:20）；i1_a 到 i3_a 是以安培为单位的电流，写成普通小数，
OL、err 和没有单位的读数为空；i1 到 i3 是表格显示的文字（28mA、OL、err）。
live --csv 输出 time,i1_a,i2_a,i3_a,i1,i2,i3，时间为计算机的本地时间，
ISO 8601 格式，精确到毫秒。

退出码：
  0  成功；标准输出的读取端提前关闭（| head）也是 0，不显示消息；没有
     --count 的 live 由 Ctrl+C、SIGTERM 或 SIGHUP 结束
  2  用法错误：未知的选项、错误的范围、未知的扩展名
  3  --timeout 之内没有仪器应答
  4  仪器断开或不再应答、数据连续出错，或在完成之前收到了 Ctrl+C、
     SIGTERM 或 SIGHUP；read 仍写出读到的数据组（见下），消息会写明是哪些组
  5  无法写入 FILE 或标准输出（如磁盘已满）；同名的原有文件保持不变

FILE：已有的文件只会被完整的结果替换。没有读到数据组时它保持原样；读取
中断时，读到的数据组写入旁边的 NAME.partial.EXT（已被占用时为
NAME.partial-2.EXT 等），消息会写明文件名。原来没有的文件写入读到的数据组。
命名管道和设备（如 /dev/stdout）直接写入；没有上述扩展名时写 CSV。

在 Windows 上，端口 n 就是 COMn。在其他系统上，它是端口目录（--port-dir，
否则为环境变量 HARLUNE_PORT_DIR）中的条目 COMn；没有端口目录时：
COM1-COM8 为 /dev/ttyUSB0-7，COM9-COM12 为 /dev/ttyACM0-3，
COM13-COM16 为 /dev/ttyS0-3。
</source>
        <translation>
CSV of read: the header group,time,i1_a,i2_a,i3_a,i1,i2,i3,charge, then one line
per group that arrived. time is ISO 8601 (2001-11-15T14:20:41, or 2001-11-15T14:20
without seconds); i1_a to i3_a are the currents in amperes as plain decimals,
empty for OL, err and readings without a unit; i1 to i3 are the texts the
table shows (28mA, OL, err). live --csv prints time,i1_a,i2_a,i3_a,i1,i2,i3 with
the computer&apos;s local time, in ISO 8601 with milliseconds.

Exit status:
  0  success; also when the reader of standard output closed it early
     (| head), with no message; live without --count ends on Ctrl+C, SIGTERM
     or SIGHUP
  2  bad usage: an unknown option, a bad range, an unknown extension
  3  no instrument answered within --timeout
  4  the instrument was lost or stopped answering, its data kept arriving
     wrong, or Ctrl+C, SIGTERM or SIGHUP came before the command was done;
     read still writes the groups that arrived (see below), and the message
     names them
  5  FILE or standard output could not be written (a full disk, say); a file
     of that name is kept as it was

FILE: a file that is there is replaced only by a whole result. A read that
got no group leaves it as it was; a read that ended early writes the groups
that arrived beside it, as NAME.partial.EXT (NAME.partial-2.EXT and on when
that is taken), and the message names it. A new file holds the groups that
arrived. A named pipe or a device (/dev/stdout) is written into, as CSV
unless its name has one of the extensions above.

Port n is COMn on Windows. Elsewhere it is the entry COMn of the port
directory (--port-dir, otherwise the environment variable HARLUNE_PORT_DIR),
and without one: COM1-COM8 /dev/ttyUSB0-7, COM9-COM12 /dev/ttyACM0-3,
COM13-COM16 /dev/ttyS0-3.
</translation>
    </message>
    <message>
        <source>%1 至 %2</source>
        <translation>%1 to %2</translation>
    </message>
    <message>
        <source>查找仪器或等待它的组数时，&lt;s&gt; 秒内没有仪器就放弃（%1 秒，默认 %2）。</source>
        <translation>Give up after &lt;s&gt; seconds without the instrument, searching for it or waiting for its group count (%1 s, default %2).</translation>
    </message>
    <message>
        <source>--timeout 需要 %1 之间的秒数，不是 &apos;%2&apos;</source>
        <translation>--timeout takes a number of seconds from %1, not &apos;%2&apos;</translation>
    </message>
</context>
<context>
    <name>command_line</name>
    <message>
        <source>读取串口上的三通道电流仪器：找到仪器应答的端口，显示实时电流，
读取仪器中存储的数据组并保存为工作簿。

在 Windows 上，端口 n 就是 COMn。在其他系统上，它是端口目录（--port-dir，
否则为环境变量 HARLUNE_PORT_DIR）中的条目 COMn；没有端口目录时：
COM1-COM8 为 /dev/ttyUSB0-7，COM9-COM12 为 /dev/ttyACM0-3，
COM13-COM16 为 /dev/ttyS0-3。</source>
        <translation>Reads a three-channel current instrument on a serial port: finds the port it
answers on, shows the live currents, reads the stored groups and saves them
to a workbook.

Port n is COMn on Windows. Elsewhere it is the entry COMn of the port
directory (--port-dir, otherwise the environment variable HARLUNE_PORT_DIR),
and without one: COM1-COM8 /dev/ttyUSB0-7, COM9-COM12 /dev/ttyACM0-3,
COM13-COM16 /dev/ttyS0-3.</translation>
    </message>
    <message>
        <source>用法：%1 [选项]</source>
        <translation>Usage: %1 [options]</translation>
    </message>
    <message>
        <source>显示本帮助并退出。</source>
        <translation>Show this help and exit.</translation>
    </message>
    <message>
        <source>显示版本并退出。</source>
        <translation>Show the version and exit.</translation>
    </message>
    <message>
        <source>把端口 n 当作 &lt;dir&gt; 中的条目 COMn（Windows 上没有）；优先于 HARLUNE_PORT_DIR。</source>
        <translation>Take port n as the entry COMn in &lt;dir&gt; (not on Windows); wins over HARLUNE_PORT_DIR.</translation>
    </message>
    <message>
        <source>查找仪器时先探测端口 &lt;n&gt;（%1 到 %2）。</source>
        <translation>Probe port &lt;n&gt; first when searching for the instrument (%1 to %2).</translation>
    </message>
    <message>
        <source>多余的参数 &apos;%1&apos;</source>
        <translation>unexpected argument &apos;%1&apos;</translation>
    </message>
    <message>
        <source>--port-dir：&apos;%1&apos; 不是目录</source>
        <translation>--port-dir: &apos;%1&apos; is not a directory</translation>
    </message>
    <message>
        <source>--port 需要 %1 到 %2 的端口号，不是 &apos;%3&apos;</source>
        <translation>--port takes a port number from %1 to %2, not &apos;%3&apos;</translation>
    </message>
    <message>
        <source>没有可以打开窗口的显示器（DISPLAY 和 WAYLAND_DISPLAY 都没有设置）；请在桌面会话中启动它</source>
        <translation>no display to open the window on (neither DISPLAY nor WAYLAND_DISPLAY is set); start it from a desktop session</translation>
    </message>
    <message>
        <source>未知选项“%1”</source>
        <translation>unknown option “%1”</translation>
    </message>
    <message>
        <source>（见 --help）</source>
        <translation> (see --help)</translation>
    </message>
</context>
<context>
    <name>count_request</name>
    <message>
        <source>未找到仪器。</source>
        <translation>Instrument not found.</translation>
    </message>
</context>
<context>
    <name>export_target</name>
    <message>
        <source>%1 已存在。
您想要替换它吗？</source>
        <translation>%1 already exists.
Do you want to replace it?</translation>
    </message>
</context>
<context>
    <name>harlune-cli</name>
    <message>
        <source>写入标准输出时出错：%1</source>
        <translation>Error writing to standard output: %1</translation>
    </message>
    <message>
        <source>标准输出</source>
        <translation>standard output</translation>
    </message>
    <message>
        <source>[%1%2]  %3/%4 组  %5%  %6 组/秒  剩余 %7</source>
        <translation>[%1%2]  %3/%4 groups  %5%  %6 groups/s  %7 left</translation>
    </message>
    <message>
        <source>已读取 %1/%2 组（%3%），%4 组/秒，剩余 %5</source>
        <translation>Read %1/%2 groups (%3%), %4 groups/s, %5 left</translation>
    </message>
    <message>
        <source>没有写入：读取没有完成，而“%1”旁边部分结果的文件名都已被占用。原有文件保持不变。</source>
        <translation>Nothing written: the read-out did not finish, and every name for a partial result beside “%1” is taken. The file that was there is unchanged.</translation>
    </message>
</context>
<context>
    <name>language</name>
    <message>
        <source>文字的语言：zh（中文，默认）或 en（英文）；优先于 %1。</source>
        <translation>The language of the texts: zh (Chinese, the default) or en (English); wins over %1.</translation>
    </message>
    <message>
        <source>%1：&apos;%2&apos; 不是可选的语言，请用 zh 或 en</source>
        <translation>%1: &apos;%2&apos; is not a language Harlune speaks; use zh or en</translation>
    </message>
    <message>
        <source>%1：&apos;%2&apos; 不是可选的语言（zh 或 en），使用中文</source>
        <translation>%1: &apos;%2&apos; names no language (zh or en); Chinese it is</translation>
    </message>
</context>
<context>
    <name>picture_target</name>
    <message>
        <source>PNG 图片 (*.png)</source>
        <translation>PNG picture (*.png)</translation>
    </message>
    <message>
        <source>PDF 文档 (*.pdf)</source>
        <translation>PDF document (*.pdf)</translation>
    </message>
</context>
<context>
    <name>port_problem</name>
    <message>
        <source>设备不存在</source>
        <translation>no such device</translation>
    </message>
    <message>
        <source>无权限访问（请把用户加入 dialout 组）</source>
        <translation>no permission (add the user to the group dialout)</translation>
    </message>
    <message>
        <source>设备忙</source>
        <translation>device busy</translation>
    </message>
    <message>
        <source>不是本仪器</source>
        <translation>not the instrument</translation>
    </message>
    <message>
        <source>无法打开</source>
        <translation>cannot open</translation>
    </message>
    <message>
        <source>无法打开（%1）</source>
        <translation>cannot open (%1)</translation>
    </message>
    <message>
        <source>%1：%2</source>
        <translation>%1: %2</translation>
    </message>
</context>
<context>
    <name>product</name>
    <message>
        <source>当前版本：V%1  更新时间：%2年%3月%4日</source>
        <translation>Current version: V%1  Updated: %2-%3-%4</translation>
    </message>
</context>
<context>
    <name>read_out</name>
    <message>
        <source>仪器已断开</source>
        <translation>the instrument was disconnected</translation>
    </message>
    <message>
        <source>仪器未应答</source>
        <translation>the instrument did not answer</translation>
    </message>
    <message>
        <source>仪器发来的数据连续出错</source>
        <translation>the instrument&apos;s data was wrong again and again</translation>
    </message>
    <message>
        <source>没有读到任何数据组。</source>
        <translation>No group was read.</translation>
    </message>
    <message>
        <source>已读取第 %1 至 %2 组。</source>
        <translation>Groups %1 to %2 were read.</translation>
    </message>
    <message>
        <source>读取中断：%1。%2</source>
        <translation>Read-out interrupted: %1. %2</translation>
    </message>
    <message>
        <source>已被中止</source>
        <translation>stopped</translation>
    </message>
    <message>
        <source>没有读到组数：%1。</source>
        <translation>No group count was read: %1.</translation>
    </message>
</context>
<context>
    <name>record_table</name>
    <message>
        <source>   组数  一路电流 二路电流 三路电流       时间               组数   一路电流 二路电流 三路电流      时间           </source>
        <translation>  Group        I1      I2      I3         Time               Group        I1      I2      I3         Time          </translation>
    </message>
</context>
<context>
    <name>save_workbook</name>
    <message>
        <source>保存失败：组号范围 %1 到 %2 超出了 %3 到 %4，文件没有保存。</source>
        <translation>Save failed: the group range %1 to %2 lies outside %3 to %4; the file was not saved.</translation>
    </message>
    <message>
        <source>保存失败：%1 文件最多只能容纳 %2 行，这次导出需要 %3 行。请改存为 .xlsx 文件。</source>
        <translation>Save failed: a %1 file holds at most %2 rows, and this export needs %3. Please save it as an .xlsx file instead.</translation>
    </message>
    <message>
        <source>保存 %1 文件需要 LibreOffice，但没有找到它（soffice 或 libreoffice）。文件没有保存。请安装 LibreOffice，或改存为 .xlsx 文件。</source>
        <translation>Saving a %1 file needs LibreOffice, which was not found (soffice or libreoffice). The file was not saved. Please install LibreOffice, or save it as an .xlsx file instead.</translation>
    </message>
    <message>
        <source>保存失败：无法写入文件“%1”。
原因：%2</source>
        <translation>Save failed: cannot write the file “%1”.
Reason: %2</translation>
    </message>
    <message>
        <source>保存失败：无法创建临时文件夹。
原因：%1</source>
        <translation>Save failed: cannot create a scratch folder.
Reason: %1</translation>
    </message>
    <message>
        <source>保存失败：生成工作簿时出错。
原因：%1</source>
        <translation>Save failed: an error while making the workbook.
Reason: %1</translation>
    </message>
    <message>
        <source>LibreOffice 生成的文件不是 %1 格式</source>
        <translation>the file LibreOffice made is not in the %1 format</translation>
    </message>
    <message>
        <source>保存失败：LibreOffice 未能把工作簿转换为 %1 格式，文件没有保存。
原因：%2</source>
        <translation>Save failed: LibreOffice could not convert the workbook to the %1 format; the file was not saved.
Reason: %2</translation>
    </message>
    <message>
        <source>保存失败：写入文件“%1”时出错，原有文件保持不变。
原因：%2</source>
        <translation>Save failed: an error while writing the file “%1”; the file that was there is unchanged.
Reason: %2</translation>
    </message>
    <message>
        <source>保存失败：生成 CSV 文件时出错。
原因：%1</source>
        <translation>Save failed: an error occurred while making the CSV file.
Reason: %1</translation>
    </message>
</context>
<context>
    <name>sheet_rows</name>
    <message>
        <source>组数</source>
        <translation>Group</translation>
    </message>
    <message>
        <source>一路电流</source>
        <translation>I1</translation>
    </message>
    <message>
        <source>二路电流</source>
        <translation>I2</translation>
    </message>
    <message>
        <source>三路电流</source>
        <translation>I3</translation>
    </message>
    <message>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>电量</source>
        <translation>Charge</translation>
    </message>
</context>
<context>
    <name>system_error</name>
    <message>
        <source>磁盘空间不足</source>
        <translation>no space left on the disk</translation>
    </message>
    <message>
        <source>只读文件系统</source>
        <translation>read-only file system</translation>
    </message>
    <message>
        <source>无权限</source>
        <translation>no permission</translation>
    </message>
    <message>
        <source>文件名太长</source>
        <translation>file name too long</translation>
    </message>
    <message>
        <source>文件已存在</source>
        <translation>the file exists already</translation>
    </message>
    <message>
        <source>这是一个文件夹</source>
        <translation>it is a folder</translation>
    </message>
    <message>
        <source>路径中有一项不是文件夹</source>
        <translation>a part of the path is not a folder</translation>
    </message>
    <message>
        <source>文件或文件夹不存在</source>
        <translation>no such file or folder</translation>
    </message>
    <message>
        <source>读取的一端已关闭（管道已断开）</source>
        <translation>the reading end was closed (broken pipe)</translation>
    </message>
    <message>
        <source>设备或文件正忙</source>
        <translation>device or file busy</translation>
    </message>
    <message>
        <source>输入/输出错误</source>
        <translation>input/output error</translation>
    </message>
</context>
</TS>
