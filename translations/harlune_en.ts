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
        <source>保存失败：无法生成图片。</source>
        <translation>Save failed: the picture could not be drawn.</translation>
    </message>
    <message>
        <source>保存失败：写入文件“%1”时出错，原有文件保持不变。
原因：%2</source>
        <translation>Save failed: an error while writing the file “%1”; the file that was there is unchanged.
Reason: %2</translation>
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
    <name>language</name>
    <message>
        <source>文字的语言：zh（中文，默认）或 en（英文）；优先于 %1。</source>
        <translation>The language of the texts: zh (Chinese, the default) or en (English); wins over %1.</translation>
    </message>
    <message>
        <source>%1：&apos;%2&apos; 不是可选的语言，请用 zh 或 en</source>
        <translation>%1: &apos;%2&apos; is not a language Harlune speaks; use zh or en</translation>
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
</context>
</TS>
