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
    <message>
        <source>The tracks page opens one file at a time: it opens the first, %1.</source>
        <translation>音轨页面一次只打开一个文件：现在打开第一个，%1。</translation>
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
    <message>
        <source>Cut the file into many tracks: waveform, cue sheet, silences, equal parts</source>
        <translation>将文件切分为多个音轨：波形、CUE 文件、静音、等分</translation>
    </message>
    <message>
        <source>Tracks</source>
        <translation>音轨</translation>
    </message>
</context>
<context>
    <name>CTracksPage</name>
    <message>
        <source>&amp;Play</source>
        <translation>播放(&amp;P)</translation>
    </message>
    <message>
        <source>Play or pause from the playing position (Space)</source>
        <translation>从播放位置播放或暂停（空格键）</translation>
    </message>
    <message>
        <source>Play the &amp;cut</source>
        <translation>试听切点(&amp;C)</translation>
    </message>
    <message>
        <source>Play 2 s before and 2 s after the selected cut (or the start and the end of the selected track)</source>
        <translation>播放所选切点前后各 2 秒（或所选音轨的开头和结尾）</translation>
    </message>
    <message>
        <source>Place cut (&amp;M)</source>
        <translation>设置切点(&amp;M)</translation>
    </message>
    <message>
        <source>Place a cut at the playing position</source>
        <translation>在播放位置设置切点</translation>
    </message>
    <message>
        <source>&amp;Delete cut</source>
        <translation>删除切点(&amp;D)</translation>
    </message>
    <message>
        <source>Remove the selected cut (Delete)</source>
        <translation>删除所选切点（Delete 键）</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>撤销(&amp;U)</translation>
    </message>
    <message>
        <source>Undo the last change of the cuts or titles (Ctrl+Z)</source>
        <translation>撤销对切点或标题的上一次更改（Ctrl+Z）</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>重做(&amp;R)</translation>
    </message>
    <message>
        <source>Redo what was undone (Ctrl+Shift+Z)</source>
        <translation>恢复已撤销的操作（Ctrl+Shift+Z）</translation>
    </message>
    <message>
        <source>Playing position</source>
        <translation>播放位置</translation>
    </message>
    <message>
        <source>Scan</source>
        <translation>扫描</translation>
    </message>
    <message>
        <source>Tracks</source>
        <translation>音轨列表</translation>
    </message>
    <message>
        <source>Title and performer are edited in place; start and end as hh:mm:ss.mmm (F2).</source>
        <translation>标题和演唱者可直接编辑；开始和结束时间按 hh:mm:ss.mmm 输入（F2）。</translation>
    </message>
    <message>
        <source>Import cue sheet...</source>
        <translation>导入 CUE 文件...</translation>
    </message>
    <message>
        <source>Take the tracks from a cue sheet</source>
        <translation>从 CUE 文件读取音轨</translation>
    </message>
    <message>
        <source>Import labels...</source>
        <translation>导入标签...</translation>
    </message>
    <message>
        <source>Take the tracks from a label file (start, end, title)</source>
        <translation>从标签文件读取音轨（开始、结束、标题）</translation>
    </message>
    <message>
        <source>Find silences...</source>
        <translation>查找静音...</translation>
    </message>
    <message>
        <source>Place the cuts in the pauses of the sound</source>
        <translation>在声音的停顿处设置切点</translation>
    </message>
    <message>
        <source>Equal parts...</source>
        <translation>等分...</translation>
    </message>
    <message>
        <source>Cut into parts of equal length</source>
        <translation>切成等长的若干段</translation>
    </message>
    <message>
        <source>Export cue sheet...</source>
        <translation>导出 CUE 文件...</translation>
    </message>
    <message>
        <source>Save the tracks as a cue sheet for the source</source>
        <translation>将音轨保存为源文件的 CUE 文件</translation>
    </message>
    <message>
        <source>Export labels...</source>
        <translation>导出标签...</translation>
    </message>
    <message>
        <source>Save the tracks as a label file</source>
        <translation>将音轨保存为标签文件</translation>
    </message>
    <message>
        <source>Note</source>
        <translation>提示</translation>
    </message>
    <message>
        <source>Output</source>
        <translation>输出</translation>
    </message>
    <message>
        <source>&amp;Browse...</source>
        <translation>浏览(&amp;B)...</translation>
    </message>
    <message>
        <source>Choose the output folder</source>
        <translation>选择输出文件夹</translation>
    </message>
    <message>
        <source>&amp;Folder:</source>
        <translation>文件夹(&amp;F)：</translation>
    </message>
    <message>
        <source>{n} track number, {title}, {performer}, {source} the source&apos;s name</source>
        <translation>{n} 音轨编号，{title} 标题，{performer} 演唱者，{source} 源文件名</translation>
    </message>
    <message>
        <source>First name</source>
        <translation>第一个文件名</translation>
    </message>
    <message>
        <source>&amp;Names:</source>
        <translation>文件名(&amp;N)：</translation>
    </message>
    <message>
        <source>&amp;Keep the original sound</source>
        <translation>保持原始音质(&amp;K)</translation>
    </message>
    <message>
        <source>Copy the source&apos;s audio without re-encoding, cut to the sample</source>
        <translation>不重新编码，直接复制源音频，精确到采样点切割</translation>
    </message>
    <message>
        <source>MP&amp;3</source>
        <translation>MP&amp;3</translation>
    </message>
    <message>
        <source>WA&amp;V</source>
        <translation>WA&amp;V</translation>
    </message>
    <message>
        <source>%1 kbps</source>
        <translation>%1 kbps</translation>
    </message>
    <message>
        <source>%1 Hz</source>
        <translation>%1 Hz</translation>
    </message>
    <message>
        <source>Format:</source>
        <translation>格式：</translation>
    </message>
    <message>
        <source>Format note</source>
        <translation>格式说明</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>进度</translation>
    </message>
    <message>
        <source>Piece being written</source>
        <translation>正在写入的片段</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>帮助</translation>
    </message>
    <message>
        <source>Open the manual (F1)</source>
        <translation>打开使用手册（F1）</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>上一步</translation>
    </message>
    <message>
        <source>Return to the previous page</source>
        <translation>返回上一页</translation>
    </message>
    <message>
        <source>&amp;Write all</source>
        <translation>全部写入(&amp;W)</translation>
    </message>
    <message>
        <source>Write every track into the output folder</source>
        <translation>将所有音轨写入输出文件夹</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Stop writing; the piece being written is removed</source>
        <translation>停止写入；正在写入的片段将被删除</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>退出</translation>
    </message>
    <message>
        <source>Quit Tarnwick</source>
        <translation>退出 Tarnwick</translation>
    </message>
    <message>
        <source>Tracks - %1</source>
        <translation>音轨 - %1</translation>
    </message>
    <message>
        <source>The file cannot be played:
%1
%2</source>
        <translation>无法播放该文件：
%1
%2</translation>
    </message>
    <message>
        <source>Reading the waveform...</source>
        <translation>正在读取波形...</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 / %2</translation>
    </message>
    <message>
        <source>Nothing can be played: %1 holds no sound that can be played.</source>
        <translation>无法播放：%1 中没有可播放的声音。</translation>
    </message>
    <message>
        <source>Cannot play: %1</source>
        <translation>无法播放：%1</translation>
    </message>
    <message>
        <source>&amp;Pause</source>
        <translation>暂停(&amp;P)</translation>
    </message>
    <message>
        <source>The waveform could not be read: %1</source>
        <translation>无法读取波形：%1</translation>
    </message>
    <message>
        <source>Output folder</source>
        <translation>输出文件夹</translation>
    </message>
    <message>
        <source>First: %1</source>
        <translation>第一个：%1</translation>
    </message>
    <message>
        <source>The pieces copy the source&apos;s sound, cut to the sample.</source>
        <translation>各片段直接复制源文件的声音，精确到采样点切割。</translation>
    </message>
    <message>
        <source>The sound cannot be kept as it is: %1</source>
        <translation>无法保持原始声音：%1</translation>
    </message>
    <message>
        <source>Choose an output folder first.</source>
        <translation>请先选择输出文件夹。</translation>
    </message>
    <message>
        <source>The output folder cannot be made:
%1</source>
        <translation>无法创建输出文件夹：
%1</translation>
    </message>
    <message>
        <source>Writing cannot start:
%1</source>
        <translation>无法开始写入：
%1</translation>
    </message>
    <message>
        <source>Writing %1 of %2: %3</source>
        <translation>正在写入第 %1 个，共 %2 个：%3</translation>
    </message>
    <message>
        <source>(none)</source>
        <translation>（无）</translation>
    </message>
    <message numerus="yes">
        <source>%n track(s) written.</source>
        <translation>
            <numerusform>已写入 %n 个音轨。</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n track(s) written to %1.

Open the folder?</source>
        <translation>
            <numerusform>已将 %n 个音轨写入 %1。

要打开该文件夹吗？</numerusform>
        </translation>
    </message>
    <message>
        <source>Tracks written</source>
        <translation>音轨已写入</translation>
    </message>
    <message>
        <source>Stopped.</source>
        <translation>已停止。</translation>
    </message>
    <message>
        <source>Writing was stopped; the unfinished piece was removed.
Pieces written:
%1</source>
        <translation>写入已停止，未完成的片段已删除。
已写入的片段：
%1</translation>
    </message>
    <message>
        <source>Stopped</source>
        <translation>已停止</translation>
    </message>
    <message>
        <source>Failed.</source>
        <translation>失败。</translation>
    </message>
    <message>
        <source>Writing failed: %1
Pieces written:
%2</source>
        <translation>写入失败：%1
已写入的片段：
%2</translation>
    </message>
    <message>
        <source>Cue sheet (*.cue)|*.cue|*.*|*.*</source>
        <translation>CUE 文件 (*.cue)|*.cue|*.*|*.*</translation>
    </message>
    <message>
        <source>Label file (*.txt)|*.txt|*.*|*.*</source>
        <translation>标签文件 (*.txt)|*.txt|*.*|*.*</translation>
    </message>
    <message>
        <source>The cue sheet cannot be used:
%1</source>
        <translation>无法使用该 CUE 文件：
%1</translation>
    </message>
    <message>
        <source>Import cue sheet</source>
        <translation>导入 CUE 文件</translation>
    </message>
    <message>
        <source>The label file cannot be used:
%1</source>
        <translation>无法使用该标签文件：
%1</translation>
    </message>
    <message>
        <source>Import labels</source>
        <translation>导入标签</translation>
    </message>
    <message>
        <source>The cue sheet cannot be written:
%1</source>
        <translation>无法写入 CUE 文件：
%1</translation>
    </message>
    <message>
        <source>The label file cannot be written:
%1</source>
        <translation>无法写入标签文件：
%1</translation>
    </message>
    <message>
        <source>Find silences</source>
        <translation>查找静音</translation>
    </message>
    <message>
        <source>Equal parts</source>
        <translation>等分</translation>
    </message>
    <message>
        <source>The waveform is still being read; find silences once it is complete.</source>
        <translation>波形仍在读取中，读取完成后再查找静音。</translation>
    </message>
    <message>
        <source>Equal parts can snap to silences only once the whole waveform has been read.</source>
        <translation>只有在整个波形读取完成后，等分才能对齐到静音处。</translation>
    </message>
    <message>
        <source>B&amp;it rate:</source>
        <translation>比特率(&amp;I)：</translation>
    </message>
    <message>
        <source>S&amp;ample rate:</source>
        <translation>采样率(&amp;A)：</translation>
    </message>
    <message>
        <source>The folder %1 could not be opened: the desktop has no program to show folders.</source>
        <translation>无法打开文件夹 %1：桌面上没有可以显示文件夹的程序。</translation>
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
    <message>
        <source>Tracks...</source>
        <translation>音轨...</translation>
    </message>
</context>
<context>
    <name>EqualPartsDialog</name>
    <message>
        <source>Equal parts</source>
        <translation>等分</translation>
    </message>
    <message>
        <source>&amp;Number of parts:</source>
        <translation>段数(&amp;N)：</translation>
    </message>
    <message>
        <source>Number of parts</source>
        <translation>段数</translation>
    </message>
    <message>
        <source>&amp;Every (hh:mm:ss):</source>
        <translation>每隔(&amp;E)（hh:mm:ss）：</translation>
    </message>
    <message>
        <source>Length of a part</source>
        <translation>每段时长</translation>
    </message>
    <message>
        <source> s</source>
        <translation> 秒</translation>
    </message>
    <message>
        <source>Move each cut to the middle of the nearest silence within this distance (0: do not)</source>
        <translation>将每个切点移到此距离内最近静音的中间（0：不移动）</translation>
    </message>
    <message>
        <source>&amp;Snap to a silence within ±:</source>
        <translation>对齐到此范围内的静音(&amp;S) ±：</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Type the length of a part as hh:mm:ss, e.g. 00:30:00.</source>
        <translation>请按 hh:mm:ss 格式输入每段时长，例如 00:30:00。</translation>
    </message>
</context>
<context>
    <name>SilenceDialog</name>
    <message>
        <source>Find silences</source>
        <translation>查找静音</translation>
    </message>
    <message>
        <source> dB</source>
        <translation> dB</translation>
    </message>
    <message>
        <source>Sound quieter than this counts as silence; suggested: %1 dB, from the file&apos;s own noise floor</source>
        <translation>低于此音量的声音视为静音；建议值：%1 dB，根据文件自身的本底噪声得出</translation>
    </message>
    <message>
        <source>&amp;Threshold:</source>
        <translation>阈值(&amp;T)：</translation>
    </message>
    <message>
        <source> s</source>
        <translation> 秒</translation>
    </message>
    <message>
        <source>&amp;Minimum length:</source>
        <translation>最短时长(&amp;M)：</translation>
    </message>
    <message>
        <source>Cut in the &amp;middle of each silence</source>
        <translation>在每段静音的中间切割(&amp;I)</translation>
    </message>
    <message>
        <source>T&amp;rim the silence off the tracks</source>
        <translation>从音轨中去除静音(&amp;R)</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>结果</translation>
    </message>
    <message>
        <source>&amp;Find</source>
        <translation>查找(&amp;F)</translation>
    </message>
    <message>
        <source>Find the silences and show them on the waveform</source>
        <translation>查找静音并在波形上显示</translation>
    </message>
    <message>
        <source>Find</source>
        <translation>查找</translation>
    </message>
    <message>
        <source>Use these cuts</source>
        <translation>使用这些切点</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>TrackListModel</name>
    <message>
        <source>Place cut</source>
        <translation>设置切点</translation>
    </message>
    <message>
        <source>Move cut</source>
        <translation>移动切点</translation>
    </message>
    <message>
        <source>Delete cut</source>
        <translation>删除切点</translation>
    </message>
    <message>
        <source>Change start</source>
        <translation>更改开始时间</translation>
    </message>
    <message>
        <source>Change end</source>
        <translation>更改结束时间</translation>
    </message>
    <message>
        <source>Change title</source>
        <translation>更改标题</translation>
    </message>
    <message>
        <source>Change performer</source>
        <translation>更改演唱者</translation>
    </message>
    <message>
        <source>No.</source>
        <translation>序号</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>开始</translation>
    </message>
    <message>
        <source>End</source>
        <translation>结束</translation>
    </message>
    <message>
        <source>Length</source>
        <translation>时长</translation>
    </message>
    <message>
        <source>Title</source>
        <translation>标题</translation>
    </message>
    <message>
        <source>Performer</source>
        <translation>演唱者</translation>
    </message>
    <message>
        <source>No title</source>
        <translation>无标题</translation>
    </message>
    <message>
        <source>No performer</source>
        <translation>无演唱者</translation>
    </message>
</context>
<context>
    <name>TracksEngine</name>
    <message>
        <source>The waveform is still being read.</source>
        <translation>仍在读取波形。</translation>
    </message>
    <message numerus="yes">
        <source>%n silence(s) between the tracks, %1 tracks.</source>
        <translation>
            <numerusform>音轨之间有 %n 处静音，共 %1 条音轨。</numerusform>
        </translation>
    </message>
    <message>
        <source>the source is not MP3 audio, so the pieces are 16-bit WAV files at its sample rate (lossless for a 16-bit source).</source>
        <translation>源文件不是 MP3 音频，因此各段为采用其采样率的 16 位 WAV 文件（对 16 位源文件无损）。</translation>
    </message>
    <message>
        <source>a run is going on</source>
        <translation>正在进行写入</translation>
    </message>
</context>
<context>
    <name>WaveformView</name>
    <message>
        <source>Waveform</source>
        <translation>波形</translation>
    </message>
    <message>
        <source>Click to move the playing position; double-click or M places a cut; drag a mark to move it; Left and Right nudge the selected cut, Delete removes it; the wheel zooms, Ctrl+0 shows all.</source>
        <translation>单击移动播放位置；双击或按 M 设置切点；拖动标记可移动切点；左右方向键微调所选切点，Delete 键删除；滚轮缩放，Ctrl+0 显示全部。</translation>
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
