<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>AboutDialog</name>
    <message>
        <source>关于 温度巡检仪  KORVA VELTA-2 Ver3.2</source>
        <translation>About Temperature Scanner  KORVA VELTA-2 Ver3.2</translation>
    </message>
    <message>
        <source>温度巡检仪  KORVA VELTA-2</source>
        <translation>Temp. Scanner  KORVA VELTA-2</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>ChannelCount</name>
    <message>
        <source>读数据失败!!!</source>
        <translation>Reading the data failed!!!</translation>
    </message>
    <message>
        <source>设置的信号数为%1成功!</source>
        <translation>Channel count set to %1: success!</translation>
    </message>
    <message>
        <source>设置的信号数为%1失败!</source>
        <translation>Channel count set to %1: failed!</translation>
    </message>
</context>
<context>
    <name>ChannelLists</name>
    <message>
        <source>PT100通道%1</source>
        <translation>PT100 %1</translation>
    </message>
    <message>
        <source>通道%1</source>
        <translation>Ch. %1</translation>
    </message>
    <message>
        <source>内容</source>
        <translation>Item</translation>
    </message>
    <message>
        <source>温度值</source>
        <translation>Temp.</translation>
    </message>
    <message>
        <source>偏移值</source>
        <translation>Offset</translation>
    </message>
</context>
<context>
    <name>ChannelSettingsDialog</name>
    <message>
        <source>通道设置</source>
        <translation>Channel Settings</translation>
    </message>
    <message>
        <source>通道名称和报警限</source>
        <translation>Channel names and alarm limits</translation>
    </message>
    <message>
        <source>通道</source>
        <translation>Channel</translation>
    </message>
    <message>
        <source>名称</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>下限(°C)</source>
        <translation>Low (°C)</translation>
    </message>
    <message>
        <source>上限(°C)</source>
        <translation>High (°C)</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>报警限应为温度值(°C)，最多一位小数!</source>
        <translation>An alarm limit must be a temperature (°C) with at most one decimal!</translation>
    </message>
    <message>
        <source>下限不能高于上限!</source>
        <translation>The low limit cannot be above the high limit!</translation>
    </message>
</context>
<context>
    <name>Cli</name>
    <message>
        <source>one reading of every channel</source>
        <translation>one reading of every channel</translation>
    </message>
    <message>
        <source>the instrument&apos;s firmware version</source>
        <translation>the instrument&apos;s firmware version</translation>
    </message>
    <message>
        <source>set the number of digital channels the instrument serves</source>
        <translation>set the number of digital channels the instrument serves</translation>
    </message>
    <message>
        <source>the offsets of every channel</source>
        <translation>the offsets of every channel</translation>
    </message>
    <message>
        <source>set one channel&apos;s offset (PT100 channels 0-3, digital 1-64, -10.0 to 10.0)</source>
        <translation>set one channel&apos;s offset (PT100 channels 0-3, digital 1-64, -10.0 to 10.0)</translation>
    </message>
    <message>
        <source>low-temperature calibration against a reference resistor</source>
        <translation>low-temperature calibration against a reference resistor</translation>
    </message>
    <message>
        <source>the instrument&apos;s clock</source>
        <translation>the instrument&apos;s clock</translation>
    </message>
    <message>
        <source>set the instrument&apos;s clock</source>
        <translation>set the instrument&apos;s clock</translation>
    </message>
    <message>
        <source>the recording interval in minutes</source>
        <translation>the recording interval in minutes</translation>
    </message>
    <message>
        <source>set the recording interval (1-60 minutes)</source>
        <translation>set the recording interval (1-60 minutes)</translation>
    </message>
    <message>
        <source>forget the probe registered to every channel</source>
        <translation>forget the probe registered to every channel</translation>
    </message>
    <message>
        <source>the number of stored records</source>
        <translation>the number of stored records</translation>
    </message>
    <message>
        <source>every stored record</source>
        <translation>every stored record</translation>
    </message>
    <message>
        <source>delete every stored record</source>
        <translation>delete every stored record</translation>
    </message>
    <message>
        <source>the probe registered to a channel (0-64), as a registration line</source>
        <translation>the probe registered to a channel (0-64), as a registration line</translation>
    </message>
    <message>
        <source>register the probe found on a port to a channel</source>
        <translation>register the probe found on a port to a channel</translation>
    </message>
    <message>
        <source>register a probe by its serial number (28-XX-XX-XX-XX-XX-XX-XX)</source>
        <translation>register a probe by its serial number (28-XX-XX-XX-XX-XX-XX-XX)</translation>
    </message>
    <message>
        <source>register every probe found, fully automatically</source>
        <translation>register every probe found, fully automatically</translation>
    </message>
    <message>
        <source>register every line of a registration file</source>
        <translation>register every line of a registration file</translation>
    </message>
    <message>
        <source>a PT100 channel&apos;s (1-4) calibration parameters</source>
        <translation>a PT100 channel&apos;s (1-4) calibration parameters</translation>
    </message>
    <message>
        <source>one calibration step of a PT100 channel (1-4)</source>
        <translation>one calibration step of a PT100 channel (1-4)</translation>
    </message>
    <message>
        <source>the four PT100 temperatures</source>
        <translation>the four PT100 temperatures</translation>
    </message>
    <message>
        <source>the serial ports, their numbers and whether they can be opened</source>
        <translation>the serial ports, their numbers and whether they can be opened</translation>
    </message>
    <message>
        <source>Global options:
</source>
        <translation>Global options:
</translation>
    </message>
    <message>
        <source>  --device PATH    the serial device itself, instead of a port number
  --baud B         line speed; default 9600
  --address A      device address; default 0
  --format F       data on standard output as text, csv or json (one object a line)
  --help           help for the command
  --version        the program&apos;s version
Exit status: 0 success, 1 the instrument answered with a failure, 2 bad usage,
3 the port could not be opened.
</source>
        <translation>  --device PATH    the serial device itself, instead of a port number
  --baud B         line speed; default 9600
  --address A      device address; default 0
  --format F       data on standard output as text, csv or json (one object a line)
  --help           help for the command
  --version        the program&apos;s version
Exit status: 0 success, 1 the instrument answered with a failure, 2 bad usage,
3 the port could not be opened.
</translation>
    </message>
    <message>
        <source>Usage: %1 %2</source>
        <translation>Usage: %1 %2</translation>
    </message>
    <message>
        <source>[global options] COMMAND [operands] [options]</source>
        <translation>[global options] COMMAND [operands] [options]</translation>
    </message>
    <message>
        <source>Commands:</source>
        <translation>Commands:</translation>
    </message>
    <message>
        <source>[global options]</source>
        <translation>[global options]</translation>
    </message>
    <message>
        <source>unknown option --%1</source>
        <translation>unknown option --%1</translation>
    </message>
    <message>
        <source>--%1 needs a value</source>
        <translation>--%1 needs a value</translation>
    </message>
    <message>
        <source>--%1 takes no value</source>
        <translation>--%1 takes no value</translation>
    </message>
    <message>
        <source>--%1 does not belong to &apos;%2&apos;</source>
        <translation>--%1 does not belong to &apos;%2&apos;</translation>
    </message>
    <message>
        <source>give either --port or --device</source>
        <translation>give either --port or --device</translation>
    </message>
    <message>
        <source>--%1 needs a whole number, not &apos;%2&apos;</source>
        <translation>--%1 needs a whole number, not &apos;%2&apos;</translation>
    </message>
    <message>
        <source>Try &apos;%1&apos;.</source>
        <translation>Try &apos;%1&apos;.</translation>
    </message>
    <message>
        <source>no command &apos;%1&apos;</source>
        <translation>no command &apos;%1&apos;</translation>
    </message>
    <message>
        <source>--format is text, csv or json</source>
        <translation>--format is text, csv or json</translation>
    </message>
    <message>
        <source>&apos;%1&apos; takes no operands</source>
        <translation>&apos;%1&apos; takes no operands</translation>
    </message>
    <message>
        <source>&apos;%1&apos; takes %2</source>
        <translation>&apos;%1&apos; takes %2</translation>
    </message>
    <message>
        <source>the channel count is a whole number</source>
        <translation>the channel count is a whole number</translation>
    </message>
    <message>
        <source>the probe type is pt100 or digital</source>
        <translation>the probe type is pt100 or digital</translation>
    </message>
    <message>
        <source>channel &apos;%1&apos; is not among %2-%3 for %4</source>
        <translation>channel &apos;%1&apos; is not among %2-%3 for %4</translation>
    </message>
    <message>
        <source>give either --now or &quot;YYYY-MM-DD HH:MM:SS&quot;</source>
        <translation>give either --now or &quot;YYYY-MM-DD HH:MM:SS&quot;</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a date and time (YYYY-MM-DD HH:MM:SS)</source>
        <translation>&apos;%1&apos; is not a date and time (YYYY-MM-DD HH:MM:SS)</translation>
    </message>
    <message>
        <source>ids wipe needs --yes to confirm</source>
        <translation>ids wipe needs --yes to confirm</translation>
    </message>
    <message>
        <source>the port is A or B, the channel a whole number</source>
        <translation>the port is A or B, the channel a whole number</translation>
    </message>
    <message>
        <source>the PT100 channel is 1 to 4</source>
        <translation>the PT100 channel is 1 to 4</translation>
    </message>
    <message>
        <source>register needs semi, manual, auto or --file FILE</source>
        <translation>register needs semi, manual, auto or --file FILE</translation>
    </message>
    <message>
        <source>cannot read &apos;%1&apos;</source>
        <translation>cannot read &apos;%1&apos;</translation>
    </message>
    <message>
        <source>the calibration step is zero, r1 or r2</source>
        <translation>the calibration step is zero, r1 or r2</translation>
    </message>
    <message>
        <source>成功次数:%1 失败次数:%2</source>
        <translation>Successes: %1 Failures: %2</translation>
    </message>
    <message>
        <source>log needs --period MS</source>
        <translation>log needs --period MS</translation>
    </message>
    <message>
        <source>--count and --duration need a whole number above 0</source>
        <translation>--count and --duration need a whole number above 0</translation>
    </message>
    <message>
        <source>--record needs a whole number of seconds, 0 or more</source>
        <translation>--record needs a whole number of seconds, 0 or more</translation>
    </message>
    <message>
        <source>give either --count or --duration</source>
        <translation>give either --count or --duration</translation>
    </message>
    <message>
        <source>cannot make the folder &apos;%1&apos;</source>
        <translation>cannot make the folder &apos;%1&apos;</translation>
    </message>
    <message>
        <source>cannot write &apos;%1&apos;: %2</source>
        <translation>cannot write &apos;%1&apos;: %2</translation>
    </message>
    <message>
        <source>下载记录 %1/%2</source>
        <translation>Downloading record %1/%2</translation>
    </message>
    <message>
        <source>records delete needs --yes to confirm</source>
        <translation>records delete needs --yes to confirm</translation>
    </message>
    <message>
        <source>continuous acquisition until stopped, with the data file and the error log; --metrics serves Prometheus metrics at http://HOST:PORT/metrics (host 127.0.0.1 unless given), --mqtt publishes every reading and failure to a broker</source>
        <translation>continuous acquisition until stopped, with the data file and the error log; --metrics serves Prometheus metrics at http://HOST:PORT/metrics (host 127.0.0.1 unless given), --mqtt publishes every reading and failure to a broker</translation>
    </message>
    <message>
        <source>continuous acquisition until stopped, with the data file and the error log (this build has no --metrics or --mqtt)</source>
        <translation>continuous acquisition until stopped, with the data file and the error log (this build has no --metrics or --mqtt)</translation>
    </message>
    <message>
        <source>MQTT messages dropped: %1</source>
        <translation>MQTT messages dropped: %1</translation>
    </message>
    <message>
        <source>--metrics needs [HOST:]PORT, not &apos;%1&apos;</source>
        <translation>--metrics needs [HOST:]PORT, not &apos;%1&apos;</translation>
    </message>
    <message>
        <source>cannot serve metrics on %1: %2</source>
        <translation>cannot serve metrics on %1: %2</translation>
    </message>
    <message>
        <source>metrics at %1</source>
        <translation>metrics at %1</translation>
    </message>
    <message>
        <source>--mqtt needs mqtt://HOST[:PORT]/PREFIX or mqtts://…, not &apos;%1&apos;</source>
        <translation>--mqtt needs mqtt://HOST[:PORT]/PREFIX or mqtts://…, not &apos;%1&apos;</translation>
    </message>
    <message>
        <source>cannot publish to %1: %2</source>
        <translation>cannot publish to %1: %2</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>用法: tavolex [选项]
KORVA VELTA-2 温度巡检仪

选项:
  -h, --help         显示本帮助并退出。
  --version          显示程序的版本并退出。
  --port N           以串口号 N 启动。
  --list-ports       列出串口(串口号、设备、说明、状态)并退出。
  --screenshot FILE  按一次“采集”,把主窗口保存为 PNG 文件 FILE,然后退出。
</source>
        <translation>Usage: tavolex [options]
KORVA VELTA-2 temperature scanner

Options:
  -h, --help         Print this help and exit.
  --version          Print the program&apos;s version and exit.
  --port N           Start with port number N.
  --list-ports       Print the serial ports (number, device, description, state) and exit.
  --screenshot FILE  Press &quot;Acquire&quot; once, save a PNG of the main window to FILE, then exit.
</translation>
    </message>
</context>
<context>
    <name>ContinuousAcquisition</name>
    <message>
        <source>连续采集</source>
        <translation>Continuous</translation>
    </message>
    <message>
        <source>取消采集</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>显示保存选项(&amp;R)</source>
        <translation>Show &amp;Recording Options</translation>
    </message>
    <message>
        <source>最小采集周期600ms</source>
        <translation>The shortest acquisition period is 600ms</translation>
    </message>
    <message>
        <source>打开串口失败!</source>
        <translation>Opening the serial port failed!</translation>
    </message>
</context>
<context>
    <name>DeleteAllConfirmDialog</name>
    <message>
        <source>提示</source>
        <translation>Note</translation>
    </message>
    <message>
        <source>确定要删除全部ID号吗？</source>
        <translation>Delete all IDs?</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>DeviceExchange</name>
    <message>
        <source>请先打开串口!</source>
        <translation>Open the serial port first!</translation>
    </message>
    <message>
        <source>检验码错误!</source>
        <translation>Check code error!</translation>
    </message>
</context>
<context>
    <name>FileRegistration</name>
    <message>
        <source>第%1行%2,该行无注册,程序退出!</source>
        <translation>Line %1: %2, the line was not registered, stopped!</translation>
    </message>
    <message>
        <source>格式错误</source>
        <translation>format error</translation>
    </message>
    <message>
        <source>SN号格式错误</source>
        <translation>SN format error</translation>
    </message>
    <message>
        <source>注册失败错误</source>
        <translation>registration failed</translation>
    </message>
    <message>
        <source>注册是否成功未知!</source>
        <translation>Whether the registration succeeded is unknown!</translation>
    </message>
    <message>
        <source>注册成功!</source>
        <translation>Registered!</translation>
    </message>
</context>
<context>
    <name>IdWipe</name>
    <message>
        <source>删除数据失败!</source>
        <translation>Deleting the data failed!</translation>
    </message>
    <message>
        <source>全部ID已删除!</source>
        <translation>All IDs deleted!</translation>
    </message>
</context>
<context>
    <name>InstrumentClock</name>
    <message>
        <source>读取数据失败!</source>
        <translation>Reading the data failed!</translation>
    </message>
</context>
<context>
    <name>MainDialog</name>
    <message>
        <source>秒/次自动记录当前温度</source>
        <translation>s per automatic record</translation>
    </message>
    <message>
        <source>温度巡检仪  KORVA VELTA-2 Ver3.2</source>
        <translation>Temperature Scanner  KORVA VELTA-2 Ver3.2</translation>
    </message>
    <message>
        <source>关于 TAVOLEX(&amp;A)...</source>
        <translation>&amp;About TAVOLEX...</translation>
    </message>
    <message>
        <source>PT100参数设置(&amp;P)...</source>
        <translation>&amp;PT100 Parameters...</translation>
    </message>
    <message>
        <source>串口号:</source>
        <translation>Port:</translation>
    </message>
    <message>
        <source>波特率:</source>
        <translation>Baud:</translation>
    </message>
    <message>
        <source>通信地址:</source>
        <translation>Address:</translation>
    </message>
    <message>
        <source>设备时间</source>
        <translation>Device time</translation>
    </message>
    <message>
        <source>年</source>
        <translation>Y</translation>
    </message>
    <message>
        <source>月</source>
        <translation>M</translation>
    </message>
    <message>
        <source>日</source>
        <translation>D</translation>
    </message>
    <message>
        <source>时</source>
        <translation>h</translation>
    </message>
    <message>
        <source>分</source>
        <translation>m</translation>
    </message>
    <message>
        <source>秒</source>
        <translation>s</translation>
    </message>
    <message>
        <source>读取</source>
        <translation>Read</translation>
    </message>
    <message>
        <source>设置当前系统时间</source>
        <translation>Set to system time</translation>
    </message>
    <message>
        <source>设置信号数:</source>
        <translation>Channels:</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>Set</translation>
    </message>
    <message>
        <source>读取SN号:</source>
        <translation>Read SN:</translation>
    </message>
    <message>
        <source>探头注册</source>
        <translation>Probe registration</translation>
    </message>
    <message>
        <source>半自动</source>
        <translation>Semi</translation>
    </message>
    <message>
        <source>手动</source>
        <translation>Manual</translation>
    </message>
    <message>
        <source>全自动</source>
        <translation>Auto</translation>
    </message>
    <message>
        <source>通道号:</source>
        <translation>Ch.:</translation>
    </message>
    <message>
        <source>A端口</source>
        <translation>A</translation>
    </message>
    <message>
        <source>B端口</source>
        <translation>B</translation>
    </message>
    <message>
        <source>SN号:</source>
        <translation>SN:</translation>
    </message>
    <message>
        <source>SN号: 第%1字节</source>
        <translation>SN: byte %1</translation>
    </message>
    <message>
        <source>注册</source>
        <translation>Register</translation>
    </message>
    <message>
        <source>文件注册</source>
        <translation>From file</translation>
    </message>
    <message>
        <source>校机</source>
        <translation>Calibration</translation>
    </message>
    <message>
        <source>选择电阻</source>
        <translation>Resistor</translation>
    </message>
    <message>
        <source>4路低温探头校机</source>
        <translation>Calibrate low-temp.</translation>
    </message>
    <message>
        <source>温度偏移量</source>
        <translation>Temperature offset</translation>
    </message>
    <message>
        <source>读出全部通道偏移量</source>
        <translation>Read all channel offsets</translation>
    </message>
    <message>
        <source>探头类别：</source>
        <translation>Probe:</translation>
    </message>
    <message>
        <source>铂电阻探头</source>
        <translation>Platinum RTD</translation>
    </message>
    <message>
        <source>数字温度传感器</source>
        <translation>Digital sensor</translation>
    </message>
    <message>
        <source>通道号：</source>
        <translation>Channel:</translation>
    </message>
    <message>
        <source>偏移值：</source>
        <translation>Offset:</translation>
    </message>
    <message>
        <source>温度采集</source>
        <translation>Temperature acquisition</translation>
    </message>
    <message>
        <source>采集周期:</source>
        <translation>Period:</translation>
    </message>
    <message>
        <source>毫秒</source>
        <translation>ms</translation>
    </message>
    <message>
        <source>采集</source>
        <translation>Acquire</translation>
    </message>
    <message>
        <source>连续采集</source>
        <translation>Continuous</translation>
    </message>
    <message>
        <source>成功次数</source>
        <translation>Successes</translation>
    </message>
    <message>
        <source>失败次数</source>
        <translation>Failures</translation>
    </message>
    <message>
        <source>通道1-32</source>
        <translation>Channels 1-32</translation>
    </message>
    <message>
        <source>通道33-64</source>
        <translation>Channels 33-64</translation>
    </message>
    <message>
        <source>PT100通道1-4</source>
        <translation>PT100 channels 1-4</translation>
    </message>
    <message>
        <source>删除全部ID</source>
        <translation>Delete IDs</translation>
    </message>
    <message>
        <source>查看记录</source>
        <translation>Records</translation>
    </message>
    <message>
        <source>设备主动记录温度时间:</source>
        <translation>Device log interval:</translation>
    </message>
    <message>
        <source>分钟</source>
        <translation>min</translation>
    </message>
    <message>
        <source>点击读取版本</source>
        <translation>Click to read version</translation>
    </message>
    <message>
        <source>帮助</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>PT100参数设置</source>
        <translation>PT100 parameters</translation>
    </message>
    <message>
        <source>保存日志</source>
        <translation>Save log</translation>
    </message>
    <message>
        <source>读取日志</source>
        <translation>Read log</translation>
    </message>
    <message>
        <source>最小化(&amp;N)</source>
        <translation>Mi&amp;nimize</translation>
    </message>
    <message>
        <source>关闭(&amp;C)</source>
        <translation>&amp;Close</translation>
    </message>
    <message>
        <source>请输入一个整数。</source>
        <translation>Please enter an integer.</translation>
    </message>
</context>
<context>
    <name>Offsets</name>
    <message>
        <source>请先打开串口!</source>
        <translation>Open the serial port first!</translation>
    </message>
    <message>
        <source>请先取消当前采集!</source>
        <translation>Stop the current acquisition first!</translation>
    </message>
    <message>
        <source>数据读取失败!</source>
        <translation>Reading the data failed!</translation>
    </message>
    <message>
        <source>校验错误!</source>
        <translation>Checksum error!</translation>
    </message>
    <message>
        <source>请先选择探头类别!</source>
        <translation>Choose the probe type first!</translation>
    </message>
    <message>
        <source>偏移值设置范围在+10.0～-10.0，请再次输入。</source>
        <translation>The offset must be between +10.0 and -10.0; please enter it again.</translation>
    </message>
    <message>
        <source>读取数据失败!</source>
        <translation>Reading the data failed!</translation>
    </message>
    <message>
        <source>检验码错误!</source>
        <translation>Check code error!</translation>
    </message>
    <message>
        <source>设置成功!</source>
        <translation>Set successfully!</translation>
    </message>
</context>
<context>
    <name>PortChoice</name>
    <message>
        <source>选择串口(&amp;S)...</source>
        <translation>Choose &amp;Serial Port...</translation>
    </message>
    <message>
        <source>选择串口...</source>
        <translation>Choose Serial Port...</translation>
    </message>
</context>
<context>
    <name>PortDialog</name>
    <message>
        <source>选择串口</source>
        <translation>Choose Serial Port</translation>
    </message>
    <message>
        <source>插上仪器的串口适配器,在下表中选中它,填好串口号后按“确定”。以后这个串口号总是指向这个适配器。</source>
        <translation>Plug in the instrument&apos;s serial adapter, select it in the list below, fill in the port number and press &quot;OK&quot;. From then on this port number always means this adapter.</translation>
    </message>
    <message>
        <source>串口列表</source>
        <translation>Serial ports</translation>
    </message>
    <message>
        <source>串口号</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>设备</source>
        <translation>Device</translation>
    </message>
    <message>
        <source>说明</source>
        <translation>Description</translation>
    </message>
    <message>
        <source>状态</source>
        <translation>State</translation>
    </message>
    <message>
        <source>串口号:</source>
        <translation>Port:</translation>
    </message>
    <message>
        <source>刷新(&amp;R)</source>
        <translation>&amp;Refresh</translation>
    </message>
    <message>
        <source>解除绑定(&amp;U)</source>
        <translation>&amp;Unbind</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>串口%1现在指向 %2,改为指向 %3 吗?</source>
        <translation>Port %1 now means %2. Make it mean %3?</translation>
    </message>
    <message>
        <source>请先在列表中选中一个串口。</source>
        <translation>Select a serial port in the list first.</translation>
    </message>
</context>
<context>
    <name>PortDiscovery</name>
    <message>
        <source>USB 串口设备 (ACM)</source>
        <translation>USB serial device (ACM)</translation>
    </message>
    <message>
        <source>USB 串口适配器</source>
        <translation>USB serial adapter</translation>
    </message>
    <message>
        <source>主板串口</source>
        <translation>On-board serial port</translation>
    </message>
    <message>
        <source>伪终端(如模拟仪器)</source>
        <translation>Pseudo-terminal (e.g. simulated instrument)</translation>
    </message>
    <message>
        <source>可用</source>
        <translation>available</translation>
    </message>
    <message>
        <source>被占用</source>
        <translation>busy</translation>
    </message>
    <message>
        <source>无权限</source>
        <translation>no permission</translation>
    </message>
    <message>
        <source>不存在</source>
        <translation>missing</translation>
    </message>
    <message>
        <source>串口号必须大于0。</source>
        <translation>The port number must be greater than 0.</translation>
    </message>
    <message>
        <source>不能建立文件夹 %1</source>
        <translation>Cannot create the folder %1</translation>
    </message>
    <message>
        <source>%1 不是链接,没有替换它。</source>
        <translation>%1 is not a link; it was not replaced.</translation>
    </message>
    <message>
        <source>不能建立链接 %1</source>
        <translation>Cannot create the link %1</translation>
    </message>
    <message>
        <source>%1 不是链接,没有删除它。</source>
        <translation>%1 is not a link; it was not removed.</translation>
    </message>
    <message>
        <source>不能删除链接 %1</source>
        <translation>Cannot remove the link %1</translation>
    </message>
    <message>
        <source>没有找到串口。</source>
        <translation>No serial ports found.</translation>
    </message>
    <message>
        <source>串口号</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>设备</source>
        <translation>Device</translation>
    </message>
    <message>
        <source>说明</source>
        <translation>Description</translation>
    </message>
    <message>
        <source>状态</source>
        <translation>State</translation>
    </message>
</context>
<context>
    <name>PortOpenFailure</name>
    <message>
        <source>没有读写 %1 的权限:请把当前用户加入 %2 组(sudo usermod -aG %2 $USER),然后注销并重新登录。</source>
        <translation>No permission to read and write %1: add your user to the group %2 (sudo usermod -aG %2 $USER), then log out and in again.</translation>
    </message>
    <message>
        <source>%1 正被其他程序占用:请关闭占用它的程序(或停止本程序的连续采集)后再试。</source>
        <translation>%1 is in use by another program: close that program (or stop this program&apos;s continuous acquisition) and try again.</translation>
    </message>
    <message>
        <source>%1 不接受串口设置(波特率 %2):它可能不是串口设备。</source>
        <translation>%1 refuses the line settings (baud rate %2): it may not be a serial device.</translation>
    </message>
    <message>
        <source>串口号从1开始,%1不对应任何串口。</source>
        <translation>Port numbers start at 1; %1 means no serial port.</translation>
    </message>
    <message>
        <source>%1 不存在:请插上仪器的串口适配器,或检查设备的路径。</source>
        <translation>%1 is missing: plug in the instrument&apos;s serial adapter, or check the device path.</translation>
    </message>
    <message>
        <source>请插上仪器的串口适配器,用 tavolex-cli ports 找到它,再在串口文件夹 %1 中把 com%2 链接到它。</source>
        <translation>Plug in the instrument&apos;s serial adapter, find it with tavolex-cli ports, then link com%2 in the ports folder %1 to it.</translation>
    </message>
    <message>
        <source>请插上仪器的串口适配器,用菜单“选择串口”(或“串口号:”旁的“…”按钮)选择它。</source>
        <translation>Plug in the instrument&apos;s serial adapter and choose it with the menu &quot;Choose Serial Port&quot; (or the &quot;…&quot; button beside &quot;Port:&quot;).</translation>
    </message>
    <message>
        <source>串口%1链接的设备 %2 不存在:%3</source>
        <translation>The device %2 that port %1 links to is missing. %3</translation>
    </message>
    <message>
        <source>串口%1对应 %2,这台电脑上没有这个串口:%3</source>
        <translation>Port %1 means %2, which this computer does not have. %3</translation>
    </message>
    <message>
        <source>没有收到回复:串口%1对应 %2,这是系统列出的板载串口,后面没有串口硬件。%3</source>
        <translation>No reply: port %1 means %2, an on-board port that the system lists without any serial hardware behind it. %3</translation>
    </message>
    <message>
        <source>没有收到回复:串口%1对应 %2。请检查仪器的电源、连线、波特率和设备地址。</source>
        <translation>No reply: port %1 means %2. Check the instrument&apos;s power, the cable, the baud rate and the device address.</translation>
    </message>
</context>
<context>
    <name>ProbeCalibration</name>
    <message>
        <source>请先选择电阻!</source>
        <translation>Choose the resistor first!</translation>
    </message>
    <message>
        <source>读数据失败!!!</source>
        <translation>Reading the data failed!!!</translation>
    </message>
    <message>
        <source>校机成功!!!</source>
        <translation>Calibration done!!!</translation>
    </message>
</context>
<context>
    <name>ProbeRegistration</name>
    <message>
        <source>注册错误!SN号无效!</source>
        <translation>Registration error! Invalid SN!</translation>
    </message>
    <message>
        <source>注册错误!通道号无效!</source>
        <translation>Registration error! Invalid channel!</translation>
    </message>
    <message>
        <source>SN号输入格式错误!</source>
        <translation>The SN is not in the right format!</translation>
    </message>
    <message>
        <source>注册成功!</source>
        <translation>Registered!</translation>
    </message>
    <message>
        <source>共搜索到的探头数为%1</source>
        <translation>Probes found: %1</translation>
    </message>
    <message>
        <source>通道过大!</source>
        <translation>Channel too large!</translation>
    </message>
    <message>
        <source>SN无效!</source>
        <translation>Invalid SN!</translation>
    </message>
    <message>
        <source>%1
数字已送到剪贴板,按Ctrl+V粘贴ID号</source>
        <translation>%1
Copied to the clipboard; press Ctrl+V to paste the ID</translation>
    </message>
    <message>
        <source>SN号为:端口%1通道号%2;%3</source>
        <translation>SN: port %1, channel %2; %3</translation>
    </message>
    <message>
        <source>请输入一个介于 0 和 64 之间的整数。</source>
        <translation>Please enter an integer between 0 and 64.</translation>
    </message>
</context>
<context>
    <name>Pt100Dialog</name>
    <message>
        <source>PT100参数设置</source>
        <translation>PT100 parameters</translation>
    </message>
    <message>
        <source>通道</source>
        <translation>Ch.</translation>
    </message>
    <message>
        <source>读取参数</source>
        <translation>Read</translation>
    </message>
    <message>
        <source>电路零位AD值</source>
        <translation>Zero-point AD</translation>
    </message>
    <message>
        <source>校正</source>
        <translation>Adjust</translation>
    </message>
    <message>
        <source>温度偏移量(℃)</source>
        <translation>Offset (℃)</translation>
    </message>
    <message>
        <source>设置温度偏移量</source>
        <translation>Set offset</translation>
    </message>
    <message>
        <source>电阻1的标定AD值</source>
        <translation>Resistor 1 AD</translation>
    </message>
    <message>
        <source>电阻2的标定AD值</source>
        <translation>Resistor 2 AD</translation>
    </message>
    <message>
        <source>温度偏移量(℃)调节</source>
        <translation>Offset (℃) step</translation>
    </message>
    <message>
        <source>温度%1</source>
        <translation>T%1</translation>
    </message>
    <message>
        <source>读取温度</source>
        <translation>Read temps</translation>
    </message>
    <message>
        <source>日志</source>
        <translation>Log</translation>
    </message>
    <message>
        <source>清除日志</source>
        <translation>Clear log</translation>
    </message>
    <message>
        <source>保存日志</source>
        <translation>Save log</translation>
    </message>
    <message>
        <source>保存日志失败!</source>
        <translation>Saving the log failed!</translation>
    </message>
</context>
<context>
    <name>QtOperator</name>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>%1 已存在。
要替换它吗?</source>
        <translation>%1 already exists.
Do you want to replace it?</translation>
    </message>
</context>
<context>
    <name>ReadTemperatures</name>
    <message>
        <source>打开串口错误!</source>
        <translation>Error opening the serial port!</translation>
    </message>
    <message>
        <source>返回数据错误!</source>
        <translation>Bad reply data!</translation>
    </message>
</context>
<context>
    <name>RecordTexts</name>
    <message>
        <source>记录条目</source>
        <translation>Record</translation>
    </message>
    <message>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>通道%1</source>
        <translation>Channel %1</translation>
    </message>
    <message>
        <source>PT100通道%1</source>
        <translation>PT100 channel %1</translation>
    </message>
    <message>
        <source>%1/%2/%3/%4/%5/%6</source>
        <translation>%1-%2-%3 %4:%5:%6</translation>
    </message>
    <message>
        <source>记录#%1</source>
        <translation>Record %1</translation>
    </message>
    <message>
        <source>记录.csv</source>
        <translation>records.csv</translation>
    </message>
    <message>
        <source>记录_%1.csv</source>
        <translation>records_%1.csv</translation>
    </message>
    <message>
        <source>读取失败</source>
        <translation>Not read</translation>
    </message>
    <message>
        <source>保存文件失败!</source>
        <translation>Saving the file failed!</translation>
    </message>
</context>
<context>
    <name>RecordingInterval</name>
    <message>
        <source>读取失败!</source>
        <translation>Reading failed!</translation>
    </message>
    <message>
        <source>设置失败!</source>
        <translation>Setting failed!</translation>
    </message>
    <message>
        <source>设置成功!</source>
        <translation>Set successfully!</translation>
    </message>
    <message>
        <source>输入的数值必须为1-60之间的整数</source>
        <translation>The value must be a whole number from 1 to 60</translation>
    </message>
</context>
<context>
    <name>RecordsDialog</name>
    <message>
        <source>记录条数</source>
        <translation>Records</translation>
    </message>
    <message>
        <source>记录</source>
        <translation>Records</translation>
    </message>
    <message>
        <source>读取</source>
        <translation>Read</translation>
    </message>
    <message>
        <source>读取记录内容</source>
        <translation>Download</translation>
    </message>
    <message>
        <source>删除数据记录</source>
        <translation>Delete all</translation>
    </message>
    <message>
        <source>导出CSV...</source>
        <translation>Export CSV...</translation>
    </message>
    <message>
        <source>趋势图(&amp;T)...</source>
        <translation>&amp;Trend...</translation>
    </message>
    <message>
        <source>记录的趋势图</source>
        <translation>Trend of the records</translation>
    </message>
</context>
<context>
    <name>RegisteredDialog</name>
    <message>
        <source>温度巡检仪 KORVA VELTA-2 Ver3.2</source>
        <translation>Temperature Scanner KORVA VELTA-2 Ver3.2</translation>
    </message>
    <message>
        <source>通道：</source>
        <translation>Ch.:</translation>
    </message>
    <message>
        <source>通道</source>
        <translation>Channel</translation>
    </message>
    <message>
        <source>注册成功！</source>
        <translation>Registered!</translation>
    </message>
</context>
<context>
    <name>RegistrationHelpDialog</name>
    <message>
        <source>1.全自动注册每个端口最多接32个探头，超过32个的注册不了。</source>
        <translation>1. Fully automatic registration takes at most 32 probes per port.</translation>
    </message>
    <message>
        <source>2.全自动注册成功后，默认两个端口所接探头的通道号是连续的，例如：端口A接10个探头，端口B接15个探头，注册成功后，通道1~通道10表示的是端口A的10个探头，通道11~通道25表示的是端口B的15个探头。</source>
        <translation>2. After fully automatic registration the channels of the two ports follow each other: with 10 probes on port A and 15 on port B, channels 1 to 10 are the 10 probes of port A and channels 11 to 25 the 15 probes of port B.</translation>
    </message>
    <message>
        <source>3.半自动注册时，只能接一个探头，随便接在端口A还是端口B。</source>
        <translation>3. For semi-automatic registration connect only one probe, to port A or port B.</translation>
    </message>
    <message>
        <source>4.无论何种注册方式，注册时所勾选的端口号必须和探头所接的端口号一致，否则读不到数据。</source>
        <translation>4. In every mode the port chosen must be the port the probe is connected to; otherwise no data is read.</translation>
    </message>
</context>
<context>
    <name>SavedRunLoader</name>
    <message>
        <source>正在读取 %1 ...</source>
        <translation>Reading %1 ...</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>打开数据文件</source>
        <translation>Open data file</translation>
    </message>
    <message>
        <source>%1: 文件中没有读数</source>
        <translation>%1: the file holds no readings</translation>
    </message>
    <message>
        <source>无法读取文件 %1</source>
        <translation>Cannot read the file %1</translation>
    </message>
    <message>
        <source>%1: 不是数据文件、CSV文件或记录文件</source>
        <translation>%1: not a data file, CSV file or records file</translation>
    </message>
    <message>
        <source>%1: 文件名中没有开始的日期和时间</source>
        <translation>%1: the file name holds no start date and time</translation>
    </message>
    <message>
        <source>%1 第%2行无法读取; 之前的各行已载入</source>
        <translation>%1, line %2 cannot be read; the lines before it are loaded</translation>
    </message>
    <message>
        <source>%1 第%2行不完整; 之前的各行已载入</source>
        <translation>%1, line %2 is incomplete; the lines before it are loaded</translation>
    </message>
    <message>
        <source>%1 读数太多: 从第%2行起未载入</source>
        <translation>%1 holds too many readings: lines from %2 on are not loaded</translation>
    </message>
</context>
<context>
    <name>StoredRecords</name>
    <message>
        <source>读取失败!</source>
        <translation>Reading failed!</translation>
    </message>
    <message>
        <source>记录已全部删除!</source>
        <translation>All records deleted!</translation>
    </message>
    <message>
        <source>校验出错!</source>
        <translation>Checksum error!</translation>
    </message>
    <message>
        <source>没有发现此串口或此串口被占用</source>
        <translation>The serial port was not found or is in use</translation>
    </message>
    <message>
        <source>请先读取记录总条目数</source>
        <translation>Read the record count first</translation>
    </message>
</context>
<context>
    <name>Transact</name>
    <message>
        <source>打开串口错误!</source>
        <translation>Error opening the serial port!</translation>
    </message>
    <message>
        <source>读数据错误!</source>
        <translation>Error reading data!</translation>
    </message>
</context>
<context>
    <name>TrendDialog</name>
    <message>
        <source>趋势图</source>
        <translation>Trend</translation>
    </message>
    <message>
        <source>最近5分钟</source>
        <translation>Last 5 minutes</translation>
    </message>
    <message>
        <source>最近1小时</source>
        <translation>Last hour</translation>
    </message>
    <message>
        <source>最近24小时</source>
        <translation>Last 24 hours</translation>
    </message>
    <message>
        <source>全部</source>
        <translation>All</translation>
    </message>
    <message>
        <source>时间范围(&amp;R):</source>
        <translation>Time &amp;range:</translation>
    </message>
    <message>
        <source>时间范围</source>
        <translation>Time range</translation>
    </message>
    <message>
        <source>通道设置(&amp;L)...</source>
        <translation>Channe&amp;l Settings...</translation>
    </message>
    <message>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>通道</source>
        <translation>Channel</translation>
    </message>
    <message>
        <source>最小</source>
        <translation>Min</translation>
    </message>
    <message>
        <source>最大</source>
        <translation>Max</translation>
    </message>
    <message>
        <source>平均</source>
        <translation>Mean</translation>
    </message>
    <message>
        <source>次数</source>
        <translation>Count</translation>
    </message>
    <message>
        <source>报警</source>
        <translation>Alarm</translation>
    </message>
    <message>
        <source>光标处的读数</source>
        <translation>Reading under the pointer</translation>
    </message>
    <message>
        <source>打开数据文件(&amp;O)...</source>
        <translation>&amp;Open data file...</translation>
    </message>
    <message>
        <source>保存图片...</source>
        <translation>Save picture...</translation>
    </message>
    <message>
        <source>整个时间范围(&amp;W)</source>
        <translation>&amp;Whole time span</translation>
    </message>
    <message>
        <source>%1 个读数</source>
        <translation>%1 readings</translation>
    </message>
    <message>
        <source>; %1 条记录的时间无效, 未画出</source>
        <translation>; %1 records without a valid time are not drawn</translation>
    </message>
    <message>
        <source>%1  %2: %3 °C</source>
        <translation>%1  %2: %3 °C</translation>
    </message>
    <message>
        <source>趋势图.png</source>
        <translation>trend.png</translation>
    </message>
    <message>
        <source>保存图片失败!</source>
        <translation>The picture could not be saved!</translation>
    </message>
    <message>
        <source>数据文件 (*.txt *.csv)</source>
        <translation>Data files (*.txt *.csv)</translation>
    </message>
</context>
<context>
    <name>TrendMonitor</name>
    <message>
        <source>趋势图(&amp;T)...</source>
        <translation>&amp;Trend...</translation>
    </message>
    <message>
        <source>通道设置(&amp;L)...</source>
        <translation>Channe&amp;l Settings...</translation>
    </message>
    <message>
        <source>%1: %2 °C, 上限 %3 °C</source>
        <translation>%1: %2 °C, high limit %3 °C</translation>
    </message>
    <message>
        <source>%1: %2 °C, 下限 %3 °C</source>
        <translation>%1: %2 °C, low limit %3 °C</translation>
    </message>
    <message>
        <source>温度超限</source>
        <translation>Temperature out of limits</translation>
    </message>
</context>
<context>
    <name>UpDownControl</name>
    <message>
        <source>增加</source>
        <translation>Up</translation>
    </message>
    <message>
        <source>减少</source>
        <translation>Down</translation>
    </message>
</context>
<context>
    <name>WaitDialog</name>
    <message>
        <source>请等待</source>
        <translation>Please wait</translation>
    </message>
    <message>
        <source>。。。</source>
        <translation>...</translation>
    </message>
</context>
<context>
    <name>WindowMenu</name>
    <message>
        <source>窗口(&amp;W)</source>
        <translation>&amp;Window</translation>
    </message>
    <message>
        <source>工具(&amp;T)</source>
        <translation>&amp;Tools</translation>
    </message>
    <message>
        <source>帮助(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
</context>
</TS>
