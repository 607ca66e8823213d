<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>CAboutDlg</name>
    <message>
        <source>Tarnwick %1
Copyright © 2026 The Tarnwick developers</source>
        <translation>Tarnwick %1
版权所有 © 2026 Tarnwick 开发者</translation>
    </message>
</context>
<context>
    <name>CBreakpointList</name>
    <message>
        <source>delete this BreakPoint</source>
        <translation>删除此断点</translation>
    </message>
    <message>
        <source>delete all BreakPoint</source>
        <translation>删除全部断点</translation>
    </message>
</context>
<context>
    <name>CConvertDlg</name>
    <message>
        <source>Writes the piece between the two breakpoints</source>
        <translation>写出两个断点之间的片段</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Stops the split, or closes this page</source>
        <translation>停止分割，或关闭此页</translation>
    </message>
    <message>
        <source>Re-encoded: %1</source>
        <translation>重新编码：%1</translation>
    </message>
    <message>
        <source>Re-encoded (piece %1): %2</source>
        <translation>重新编码（第 %1 段）：%2</translation>
    </message>
    <message>
        <source>Please select the Sample Rate(KHz)</source>
        <translation>请选择采样率（kHz）</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a sample rate of MP3 audio. Please choose 8, 11.025, 12, 16, 22.05, 24, 32, 44.1 or 48 kHz.</source>
        <translation>“%1”不是 MP3 音频的采样率。请选择 8、11.025、12、16、22.05、24、32、44.1 或 48 kHz。</translation>
    </message>
    <message>
        <source>Please select the Bit Rate(kbps)</source>
        <translation>请选择比特率（kbps）</translation>
    </message>
    <message>
        <source>At %1 kHz an MP3 file cannot carry %2 kbps: the piece will be written at %3 kbps.</source>
        <translation>采样率为 %1 kHz 时，MP3 文件无法使用 %2 kbps：该片段将以 %3 kbps 写出。</translation>
    </message>
    <message>
        <source>Time betwen:</source>
        <translation>时间范围：</translation>
    </message>
    <message>
        <source> and </source>
        <translation> 至 </translation>
    </message>
    <message>
        <source>   Please waiting ...</source>
        <translation>   请稍候……</translation>
    </message>
    <message>
        <source>FileName:</source>
        <translation>文件名：</translation>
    </message>
    <message>
        <source>The piece could not be written: %1.</source>
        <translation>无法写出该片段：%1。</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>Split</source>
        <translation>分割</translation>
    </message>
</context>
<context>
    <name>CEncoderSettingsDlg</name>
    <message>
        <source>Bit rate (CBR):</source>
        <translation>比特率（CBR）：</translation>
    </message>
    <message>
        <source>Sample rate:</source>
        <translation>采样率：</translation>
    </message>
    <message>
        <source>Same as the sources</source>
        <translation>与源文件相同</translation>
    </message>
    <message>
        <source>Channels:</source>
        <translation>声道：</translation>
    </message>
    <message>
        <source>Stereo</source>
        <translation>立体声</translation>
    </message>
    <message>
        <source>Joint stereo</source>
        <translation>联合立体声</translation>
    </message>
    <message>
        <source>Mono</source>
        <translation>单声道</translation>
    </message>
    <message>
        <source>Quality:</source>
        <translation>质量：</translation>
    </message>
    <message>
        <source>%1 (fastest)</source>
        <translation>%1（最快）</translation>
    </message>
    <message>
        <source>%1 (best, slowest)</source>
        <translation>%1（最好，最慢）</translation>
    </message>
    <message>
        <source>%1 (standard)</source>
        <translation>%1（标准）</translation>
    </message>
    <message>
        <source>MP3 at %1 cannot carry %2 kbps: %3 kbps will be used.</source>
        <translation>采样率为 %1 的 MP3 无法使用 %2 kbps：将改用 %3 kbps。</translation>
    </message>
    <message>
        <source>Sources below 32 kHz cannot carry %1 kbps; before joining such files you are told which bit rate will be used.</source>
        <translation>低于 32 kHz 的源文件无法使用 %1 kbps；合并这类文件之前，程序会告诉您将使用哪个比特率。</translation>
    </message>
    <message>
        <source>The encoder does not take these settings.</source>
        <translation>编码器不接受这些设置。</translation>
    </message>
</context>
<context>
    <name>CFunctionDlg</name>
    <message>
        <source>关于 Brevlin(&amp;A)...</source>
        <translation>关于 Brevlin(&amp;A)...</translation>
    </message>
    <message>
        <source>Audio File (*.mp3;*.wav)|*.mp3;*.wav|Mp3 File (*.mp3)|*.mp3|WAVE File (*.wav)|*.wav|*.*|*.*</source>
        <translation>音频文件 (*.mp3;*.wav)|*.mp3;*.wav|MP3 文件 (*.mp3)|*.mp3|WAVE 文件 (*.wav)|*.wav|*.*|*.*</translation>
    </message>
    <message>
        <source>The file to split; the Select a File button beside it chooses it</source>
        <translation>要分割的文件；用旁边的“选择文件”按钮选择</translation>
    </message>
    <message>
        <source>Next</source>
        <translation>下一步</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>上一步</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>退出</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>帮助</translation>
    </message>
    <message>
        <source>Select a File</source>
        <translation>选择文件</translation>
    </message>
    <message>
        <source>Home Page</source>
        <translation>主页</translation>
    </message>
    <message>
        <source>Mi&amp;nimize</source>
        <translation>最小化(&amp;N)</translation>
    </message>
    <message>
        <source>&amp;Close	Alt+F4</source>
        <translation>关闭(&amp;C)	Alt+F4</translation>
    </message>
</context>
<context>
    <name>CJoinDlg</name>
    <message>
        <source>Mp3 File(*.mp3), Wav File(*.wav)|*.mp3;*.wav|Mp3 File(*.mp3)|*.mp3|Wav File(*.wav)|*.wav|</source>
        <translation>MP3 文件 (*.mp3)、WAV 文件 (*.wav)|*.mp3;*.wav|MP3 文件 (*.mp3)|*.mp3|WAV 文件 (*.wav)|*.wav|</translation>
    </message>
    <message>
        <source>Source File</source>
        <translation>源文件</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>时长</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>上一步</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>退出</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>帮助</translation>
    </message>
    <message>
        <source>Home Page</source>
        <translation>主页</translation>
    </message>
    <message>
        <source>Add Mp3 Files</source>
        <translation>添加 MP3 文件</translation>
    </message>
    <message>
        <source>Delete Mp3 Files</source>
        <translation>删除 MP3 文件</translation>
    </message>
    <message>
        <source>Move Up</source>
        <translation>上移</translation>
    </message>
    <message>
        <source>Move Down</source>
        <translation>下移</translation>
    </message>
    <message>
        <source>Stop Joining</source>
        <translation>停止合并</translation>
    </message>
    <message>
        <source>Play The File</source>
        <translation>播放文件</translation>
    </message>
    <message>
        <source>Setting</source>
        <translation>设置</translation>
    </message>
    <message>
        <source>Begin to Join Files</source>
        <translation>开始合并文件</translation>
    </message>
    <message>
        <source>Files to join</source>
        <translation>要合并的文件</translation>
    </message>
    <message>
        <source>Joined in this order; the Delete key removes the selected file</source>
        <translation>按此顺序合并；按 Delete 键移除选中的文件</translation>
    </message>
    <message>
        <source>The MP3 encoder&apos;s settings and the merged file&apos;s tags</source>
        <translation>MP3 编码器的设置和合并后文件的标签</translation>
    </message>
    <message>
        <source>Opens the selected file in the desktop&apos;s audio player</source>
        <translation>用桌面的音频播放器打开选中的文件</translation>
    </message>
    <message>
        <source>Stops the join; the unfinished file is removed</source>
        <translation>停止合并；未完成的文件会被删除</translation>
    </message>
    <message>
        <source>No File is selected</source>
        <translation>没有选中文件</translation>
    </message>
    <message>
        <source>Add the MP3 and WAV files to join, or drop them here</source>
        <translation>添加要合并的 MP3 和 WAV 文件，或把它们拖到这里</translation>
    </message>
    <message numerus="yes">
        <source>%n file(s), %1 in all</source>
        <translation>
            <numerusform>%n 个文件，共 %1</numerusform>
        </translation>
    </message>
    <message>
        <source>Only MP3 and WAV files can be joined. Not added:
%1</source>
        <translation>只能合并 MP3 和 WAV 文件。未添加：
%1</translation>
    </message>
    <message>
        <source>Mp3 File(*.mp3)|*.MP3|</source>
        <translation>MP3 文件 (*.mp3)|*.MP3|</translation>
    </message>
    <message>
        <source>There are no files to join. Add MP3 or WAV files to the list first.</source>
        <translation>没有要合并的文件。请先把 MP3 或 WAV 文件添加到列表中。</translation>
    </message>
    <message>
        <source>Cannot find %1.
Remove it from the list or put it back, then begin again.</source>
        <translation>找不到 %1。
请把它从列表中移除或放回原处，然后重新开始。</translation>
    </message>
    <message>
        <source>%1 holds no audio that can be read (its time is 00:00:00).
Remove it from the list to join the others.</source>
        <translation>%1 中没有可读取的音频（时长为 00:00:00）。
请把它从列表中移除，以合并其余文件。</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>Finished</source>
        <translation>完成</translation>
    </message>
</context>
<context>
    <name>CMergeTagsBox</name>
    <message>
        <source>Tags of the merged file</source>
        <translation>合并后文件的标签</translation>
    </message>
    <message>
        <source>Title:</source>
        <translation>标题：</translation>
    </message>
    <message>
        <source>Artist:</source>
        <translation>艺术家：</translation>
    </message>
    <message>
        <source>Album:</source>
        <translation>专辑：</translation>
    </message>
    <message>
        <source>Year:</source>
        <translation>年份：</translation>
    </message>
    <message>
        <source>Genre:</source>
        <translation>流派：</translation>
    </message>
    <message>
        <source>The merged file&apos;s name</source>
        <translation>合并后文件的名称</translation>
    </message>
    <message>
        <source>Cover:</source>
        <translation>封面：</translation>
    </message>
    <message>
        <source>The first file&apos;s picture</source>
        <translation>第一个文件的图片</translation>
    </message>
    <message>
        <source>The first file&apos;s picture (it has none)</source>
        <translation>第一个文件的图片（它没有图片）</translation>
    </message>
    <message>
        <source>The picture of %1</source>
        <translation>%1 的图片</translation>
    </message>
    <message>
        <source>Picture file %1</source>
        <translation>图片文件 %1</translation>
    </message>
    <message>
        <source>No picture</source>
        <translation>无图片</translation>
    </message>
    <message>
        <source>Choose a picture file...</source>
        <translation>选择图片文件……</translation>
    </message>
    <message>
        <source>Choose a picture file for the cover</source>
        <translation>为封面选择图片文件</translation>
    </message>
    <message>
        <source>Cover picture</source>
        <translation>封面图片</translation>
    </message>
    <message>
        <source>Chapter marks for each file</source>
        <translation>为每个文件添加章节标记</translation>
    </message>
    <message>
        <source>Missing</source>
        <translation>缺失</translation>
    </message>
    <message>
        <source>Picture</source>
        <translation>图片</translation>
    </message>
    <message>
        <source>None</source>
        <translation>无</translation>
    </message>
</context>
<context>
    <name>CSplitDlg</name>
    <message>
        <source>Type a time as hh:mm:ss and press Enter to add it as a breakpoint</source>
        <translation>以 hh:mm:ss 格式输入时间，按回车键将其添加为断点</translation>
    </message>
    <message>
        <source>The piece lies between these two times; the context menu deletes them</source>
        <translation>片段位于这两个时间之间；用右键菜单删除它们</translation>
    </message>
    <message>
        <source>The folder the pieces are written to; the button beside it changes it</source>
        <translation>片段写入的文件夹；用旁边的按钮更改</translation>
    </message>
    <message>
        <source>One second back</source>
        <translation>后退一秒</translation>
    </message>
    <message>
        <source>One second on</source>
        <translation>前进一秒</translation>
    </message>
    <message>
        <source>Adds the playing position as a breakpoint</source>
        <translation>把当前播放位置添加为断点</translation>
    </message>
    <message>
        <source>Output Directory!</source>
        <translation>输出目录</translation>
    </message>
    <message>
        <source>Press right button to delete breakpoint</source>
        <translation>按鼠标右键删除断点</translation>
    </message>
    <message>
        <source>Next</source>
        <translation>下一步</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>上一步</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>退出</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>帮助</translation>
    </message>
    <message>
        <source>Change output directory</source>
        <translation>更改输出目录</translation>
    </message>
    <message>
        <source>Add a breakpoint</source>
        <translation>添加断点</translation>
    </message>
    <message>
        <source>Add a breakpoint from current time</source>
        <translation>在当前时间添加断点</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>暂停</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>播放</translation>
    </message>
    <message>
        <source>Seek to Begin</source>
        <translation>跳到开头</translation>
    </message>
    <message>
        <source>Seek to End</source>
        <translation>跳到结尾</translation>
    </message>
    <message>
        <source>Fast backward</source>
        <translation>快退</translation>
    </message>
    <message>
        <source>Fast foreward</source>
        <translation>快进</translation>
    </message>
    <message>
        <source>Home Page</source>
        <translation>主页</translation>
    </message>
    <message>
        <source>Failed!</source>
        <translation>失败！</translation>
    </message>
    <message>
        <source>ERROR</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>You should insert more than one Breakpoint</source>
        <translation>请设置不止一个断点</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>Cannot stop the play</source>
        <translation>无法停止播放</translation>
    </message>
    <message>
        <source>Failed in create Filter graph</source>
        <translation>无法创建滤镜图</translation>
    </message>
    <message>
        <source>Failed in RenderFile
%1
%2</source>
        <translation>无法打开文件
%1
%2</translation>
    </message>
    <message>
        <source>It cannot be played.</source>
        <translation>无法播放。</translation>
    </message>
    <message>
        <source>Failed in Set Event</source>
        <translation>无法设置事件通知</translation>
    </message>
    <message>
        <source>Duration:</source>
        <translation>时长：</translation>
    </message>
    <message>
        <source>Current Time:</source>
        <translation>当前时间：</translation>
    </message>
    <message>
        <source>Cannot run</source>
        <translation>无法开始播放</translation>
    </message>
    <message>
        <source>There has been two breakpoints,so you must delete one first.
 Press left button to select one breakpoint,then press right button to delete it</source>
        <translation>已经有两个断点，请先删除一个。
用鼠标左键选中一个断点，再按右键删除它。</translation>
    </message>
    <message>
        <source>Please input time in this format.Hour:minute:second,eg:00:01:01</source>
        <translation>请按此格式输入时间：时:分:秒，例如 00:01:01</translation>
    </message>
    <message>
        <source>Hour input :Error</source>
        <translation>小时输入有误</translation>
    </message>
    <message>
        <source>Minutes must between 00 and 59</source>
        <translation>分钟必须在 00 到 59 之间</translation>
    </message>
    <message>
        <source>error</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>Seconds must between 00 and 59</source>
        <translation>秒必须在 00 到 59 之间</translation>
    </message>
    <message>
        <source>Input time out of the duration</source>
        <translation>输入的时间超出了时长</translation>
    </message>
    <message>
        <source>Position</source>
        <translation>播放位置</translation>
    </message>
    <message>
        <source>Where the file plays; the arrow keys move it by a second</source>
        <translation>文件正在播放的位置；方向键每次移动一秒</translation>
    </message>
</context>
<context>
    <name>DialogTemplate</name>
    <message>
        <source>function:</source>
        <translation>功能：</translation>
    </message>
    <message>
        <source>Split the file(MP3,WAV);</source>
        <translation>分割文件（MP3、WAV）</translation>
    </message>
    <message>
        <source>Merge multiple files(MP3,WAV) to a large new one</source>
        <translation>把多个文件（MP3、WAV）合并成一个新的大文件</translation>
    </message>
    <message>
        <source>Source File:</source>
        <translation>源文件：</translation>
    </message>
    <message>
        <source>Click Next to Continue...</source>
        <translation>单击“下一步”继续……</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Output Format:</source>
        <translation>输出格式：</translation>
    </message>
    <message>
        <source>Duration:00:00:00</source>
        <translation>时长：00:00:00</translation>
    </message>
    <message>
        <source>Current Time:00:00:00</source>
        <translation>当前时间：00:00:00</translation>
    </message>
    <message>
        <source>Breakpoint:</source>
        <translation>断点：</translation>
    </message>
    <message>
        <source>Input break point(time)
eg.00:00:00</source>
        <translation>输入断点（时间）
例如 00:00:00</translation>
    </message>
    <message>
        <source>Output Directory:</source>
        <translation>输出目录：</translation>
    </message>
    <message>
        <source>Bit Rate(kbps):</source>
        <translation>比特率（kbps）：</translation>
    </message>
    <message>
        <source>Sample Rate(KHz):</source>
        <translation>采样率（kHz）：</translation>
    </message>
    <message>
        <source>Keep the original sound (no re-encoding)</source>
        <translation>保留原始音质（不重新编码）</translation>
    </message>
    <message>
        <source>FileName:</source>
        <translation>文件名：</translation>
    </message>
</context>
<context>
    <name>help</name>
    <message>
        <source>The manual %1 could not be opened: no program to show web pages is set up.
Install a web browser (for example the package firefox-esr) or choose one for HTML files, then press Help again.</source>
        <translation>无法打开手册 %1：系统没有设置显示网页的程序。
请安装网页浏览器（例如 firefox-esr 软件包），或为 HTML 文件选择一个浏览器，然后再按“帮助”。</translation>
    </message>
    <message>
        <source>The manual %1 is missing.
Install Tarnwick again to get it back.</source>
        <translation>手册 %1 不存在。
请重新安装 Tarnwick 以恢复它。</translation>
    </message>
    <message>
        <source>The home page %1 could not be opened: no web browser is set up.
Install one (for example the package firefox-esr) or choose one as the default, then try again.</source>
        <translation>无法打开主页 %1：系统没有设置网页浏览器。
请安装一个（例如 firefox-esr 软件包）或将其设为默认浏览器，然后重试。</translation>
    </message>
    <message>
        <source>%1 could not be played: no program to play audio files is set up.
Install a player (for example the package vlc) or choose one for MP3 and WAV files, then try again.</source>
        <translation>无法播放 %1：系统没有设置播放音频文件的程序。
请安装播放器（例如 vlc 软件包），或为 MP3 和 WAV 文件选择一个播放器，然后重试。</translation>
    </message>
</context>
</TS>
