<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>CCommParamChangeDlg</name>
    <message>
        <source>通信参数修改→</source>
        <translation>Change comm. parameters →</translation>
    </message>
    <message>
        <source>子机号</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>波特率</source>
        <translation>Baud rate</translation>
    </message>
    <message>
        <source>串行口</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>校验位</source>
        <translation>Parity</translation>
    </message>
    <message>
        <source>修改</source>
        <translation>Change</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>CCommSetupDlg</name>
    <message>
        <source>通讯设置</source>
        <translation>Communication setup</translation>
    </message>
    <message>
        <source>串口连接示意图</source>
        <translation>Serial connection diagram</translation>
    </message>
    <message>
        <source>通讯参数设置</source>
        <translation>Communication parameters</translation>
    </message>
    <message>
        <source>仪表地址</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>COM 口</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>波特率</source>
        <translation>Baud rate</translation>
    </message>
    <message>
        <source>校验位</source>
        <translation>Parity</translation>
    </message>
    <message>
        <source>无校验</source>
        <translation>None</translation>
    </message>
    <message>
        <source>奇校验</source>
        <translation>Odd</translation>
    </message>
    <message>
        <source>偶校验</source>
        <translation>Even</translation>
    </message>
    <message>
        <source>确    定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>退    出</source>
        <translation>Exit</translation>
    </message>
</context>
<context>
    <name>CEventRecordDlg</name>
    <message>
        <source>告警事件记录</source>
        <translation>Alarm events</translation>
    </message>
    <message>
        <source>告警条数</source>
        <translation>Alarms</translation>
    </message>
    <message>
        <source>事件记录1</source>
        <translation>Event 1</translation>
    </message>
    <message>
        <source>事件记录2</source>
        <translation>Event 2</translation>
    </message>
    <message>
        <source>事件记录3</source>
        <translation>Event 3</translation>
    </message>
    <message>
        <source>事件记录4</source>
        <translation>Event 4</translation>
    </message>
    <message>
        <source>事件记录5</source>
        <translation>Event 5</translation>
    </message>
    <message>
        <source>事件记录6</source>
        <translation>Event 6</translation>
    </message>
    <message>
        <source>事件记录7</source>
        <translation>Event 7</translation>
    </message>
    <message>
        <source>事件记录8</source>
        <translation>Event 8</translation>
    </message>
    <message>
        <source>导出...</source>
        <translation>Export...</translation>
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
    <name>CHelpDlg</name>
    <message>
        <source>软件使用说明-Quellar</source>
        <translation>Usage notes - Quellar</translation>
    </message>
    <message>
        <source>※ 在软件运行之前，请正确设定通信参数！</source>
        <translation>※ Set the communication parameters correctly before running the program!</translation>
    </message>
    <message>
        <source>※ &quot;读实时数据&quot;--&gt;读马达保护控制器相关实时候数据</source>
        <translation>※ &quot;Read live data&quot; --&gt; reads the live data of the motor protection controller</translation>
    </message>
    <message>
        <source>读数据量</source>
        <translation>Values read</translation>
    </message>
    <message>
        <source>☆ 电流变比、额定电流、启动时间、三相电流</source>
        <translation>☆ CT ratio, rated current, start time, three phase currents</translation>
    </message>
    <message>
        <source>☆ 控制量输入（红色为合、绿色为分）、状态量输出</source>
        <translation>☆ Digital inputs (red closed, green open), outputs</translation>
    </message>
    <message>
        <source>☆ 电流定值与动作时限</source>
        <translation>☆ Current settings and trip times</translation>
    </message>
    <message>
        <source>※ &quot;写数据参数值&quot;--&gt;写马达保护控制器相关数据，★写数据前须先执行“定时停止”</source>
        <translation>※ &quot;Write settings&quot; --&gt; writes the settings to the motor protection controller. ★ Stop the live reading before writing</translation>
    </message>
    <message>
        <source>写数据量</source>
        <translation>Values written</translation>
    </message>
    <message>
        <source>☆ 状态量输出</source>
        <translation>☆ Outputs</translation>
    </message>
    <message>
        <source>※ &quot;恢复保护默认值&quot;--&gt;把相关数据恢复成出厂值</source>
        <translation>※ &quot;Factory values&quot; --&gt; puts the factory values back</translation>
    </message>
    <message>
        <source>※ &quot;通讯参数设置&quot;--&gt;子机地址与波特率修改！</source>
        <translation>※ &quot;Communication parameters&quot; --&gt; changes the device address and baud rate!</translation>
    </message>
    <message>
        <source>★ 注：修改该选项请保证当前通信参数正确</source>
        <translation>★ Note: before changing them make sure the present communication parameters are right</translation>
    </message>
</context>
<context>
    <name>CMotorProtectorDlg</name>
    <message>
        <source>马达保护控制器演示软件-Quellar</source>
        <translation>Motor Protection Controller - Quellar</translation>
    </message>
    <message>
        <source>电流变比</source>
        <translation>CT ratio</translation>
    </message>
    <message>
        <source>额定电流</source>
        <translation>Rated I</translation>
    </message>
    <message>
        <source>A</source>
        <translation>A</translation>
    </message>
    <message>
        <source>额定电压</source>
        <translation>Rated U</translation>
    </message>
    <message>
        <source>V</source>
        <translation>V</translation>
    </message>
    <message>
        <source>PWM选择输出</source>
        <translation>PWM phase</translation>
    </message>
    <message>
        <source>实时数据采集时间</source>
        <translation>Acquisition time</translation>
    </message>
    <message>
        <source>ms</source>
        <translation>ms</translation>
    </message>
    <message>
        <source>当前仪表地址</source>
        <translation>Device address</translation>
    </message>
    <message>
        <source>A相电流</source>
        <translation>Phase A current</translation>
    </message>
    <message>
        <source>A相电压</source>
        <translation>Phase A voltage</translation>
    </message>
    <message>
        <source>B相电流</source>
        <translation>Phase B current</translation>
    </message>
    <message>
        <source>B相电压</source>
        <translation>Phase B voltage</translation>
    </message>
    <message>
        <source>C相电流</source>
        <translation>Phase C current</translation>
    </message>
    <message>
        <source>C相电压</source>
        <translation>Phase C voltage</translation>
    </message>
    <message>
        <source>起动方式</source>
        <translation>Start mode</translation>
    </message>
    <message>
        <source>起动方式选择</source>
        <translation>Start mode choice</translation>
    </message>
    <message>
        <source>设置起动方式</source>
        <translation>Set start mode</translation>
    </message>
    <message>
        <source>短路保护</source>
        <translation>Short circuit</translation>
    </message>
    <message>
        <source>交流接触器允许分断电流</source>
        <translation>Contactor breaking current</translation>
    </message>
    <message>
        <source>堵转保护</source>
        <translation>Locked rotor</translation>
    </message>
    <message>
        <source>当工作电流达到额定电流的</source>
        <translation>Current reaching</translation>
    </message>
    <message>
        <source>堵转保护 当工作电流达到额定电流的</source>
        <translation>Locked rotor current multiple</translation>
    </message>
    <message>
        <source>增加</source>
        <translation>Increase</translation>
    </message>
    <message>
        <source>增加 堵转保护 当工作电流达到额定电流的</source>
        <translation>Increase locked rotor current multiple</translation>
    </message>
    <message>
        <source>减少</source>
        <translation>Decrease</translation>
    </message>
    <message>
        <source>减少 堵转保护 当工作电流达到额定电流的</source>
        <translation>Decrease locked rotor current multiple</translation>
    </message>
    <message>
        <source>倍及以上时，动作时间</source>
        <translation>× rated or more, trip in</translation>
    </message>
    <message>
        <source>堵转保护 倍及以上时，动作时间</source>
        <translation>Locked rotor trip time</translation>
    </message>
    <message>
        <source>增加 堵转保护 倍及以上时，动作时间</source>
        <translation>Increase locked rotor trip time</translation>
    </message>
    <message>
        <source>减少 堵转保护 倍及以上时，动作时间</source>
        <translation>Decrease locked rotor trip time</translation>
    </message>
    <message>
        <source>S</source>
        <translation>S</translation>
    </message>
    <message>
        <source>定时限过负荷</source>
        <translation>Definite-time overload</translation>
    </message>
    <message>
        <source>定时限过负荷 当工作电流达到额定电流的</source>
        <translation>Definite-time overload current multiple</translation>
    </message>
    <message>
        <source>增加 定时限过负荷 当工作电流达到额定电流的</source>
        <translation>Increase definite-time overload current multiple</translation>
    </message>
    <message>
        <source>减少 定时限过负荷 当工作电流达到额定电流的</source>
        <translation>Decrease definite-time overload current multiple</translation>
    </message>
    <message>
        <source>定时限过负荷 倍及以上时，动作时间</source>
        <translation>Definite-time overload trip time</translation>
    </message>
    <message>
        <source>增加 定时限过负荷 倍及以上时，动作时间</source>
        <translation>Increase definite-time overload trip time</translation>
    </message>
    <message>
        <source>减少 定时限过负荷 倍及以上时，动作时间</source>
        <translation>Decrease definite-time overload trip time</translation>
    </message>
    <message>
        <source>不平衡</source>
        <translation>Unbalance</translation>
    </message>
    <message>
        <source>当不平衡率电流</source>
        <translation>Unbalance reaching</translation>
    </message>
    <message>
        <source>增加 当不平衡率电流</source>
        <translation>Increase unbalance trip value</translation>
    </message>
    <message>
        <source>减少 当不平衡率电流</source>
        <translation>Decrease unbalance trip value</translation>
    </message>
    <message>
        <source>%及以上时，动作时间</source>
        <translation>% or more, trip in</translation>
    </message>
    <message>
        <source>不平衡 %及以上时，动作时间</source>
        <translation>Unbalance trip time</translation>
    </message>
    <message>
        <source>增加 不平衡 %及以上时，动作时间</source>
        <translation>Increase unbalance trip time</translation>
    </message>
    <message>
        <source>减少 不平衡 %及以上时，动作时间</source>
        <translation>Decrease unbalance trip time</translation>
    </message>
    <message>
        <source>反时限过负荷</source>
        <translation>Inverse-time overload</translation>
    </message>
    <message>
        <source>曲线选择</source>
        <translation>Curve</translation>
    </message>
    <message>
        <source>启动超时</source>
        <translation>Start timeout</translation>
    </message>
    <message>
        <source>启动时间</source>
        <translation>Start time</translation>
    </message>
    <message>
        <source>s</source>
        <translation>s</translation>
    </message>
    <message>
        <source>缺相保护</source>
        <translation>Phase loss</translation>
    </message>
    <message>
        <source>缺相时间</source>
        <translation>Phase-loss time</translation>
    </message>
    <message>
        <source>过压保护</source>
        <translation>Overvoltage</translation>
    </message>
    <message>
        <source>当工作电压高于额定电压的</source>
        <translation>Voltage reaching</translation>
    </message>
    <message>
        <source>过压保护 %及以上时，动作时间</source>
        <translation>Overvoltage trip time</translation>
    </message>
    <message>
        <source>欠压保护</source>
        <translation>Undervoltage</translation>
    </message>
    <message>
        <source>当工作电压低于额定电压的</source>
        <translation>Voltage falling to</translation>
    </message>
    <message>
        <source>%及以下时，动作时间</source>
        <translation>% or less, trip in</translation>
    </message>
    <message>
        <source>马达保护示意图</source>
        <translation>Motor protection diagram</translation>
    </message>
    <message>
        <source>状态量输入</source>
        <translation>Digital inputs</translation>
    </message>
    <message>
        <source>DI1</source>
        <translation>DI1</translation>
    </message>
    <message>
        <source>DI2</source>
        <translation>DI2</translation>
    </message>
    <message>
        <source>DI3</source>
        <translation>DI3</translation>
    </message>
    <message>
        <source>DI4</source>
        <translation>DI4</translation>
    </message>
    <message>
        <source>DI5</source>
        <translation>DI5</translation>
    </message>
    <message>
        <source>DI6</source>
        <translation>DI6</translation>
    </message>
    <message>
        <source>DI7</source>
        <translation>DI7</translation>
    </message>
    <message>
        <source>DI8</source>
        <translation>DI8</translation>
    </message>
    <message>
        <source>控制量输出</source>
        <translation>Outputs</translation>
    </message>
    <message>
        <source>输出A</source>
        <translation>Output A</translation>
    </message>
    <message>
        <source>合闸A</source>
        <translation>Close A</translation>
    </message>
    <message>
        <source>输出B</source>
        <translation>Output B</translation>
    </message>
    <message>
        <source>合闸B</source>
        <translation>Close B</translation>
    </message>
    <message>
        <source>复归输出</source>
        <translation>Reset output</translation>
    </message>
    <message>
        <source>复 归</source>
        <translation>Reset</translation>
    </message>
    <message>
        <source>调试</source>
        <translation>Maintenance</translation>
    </message>
    <message>
        <source>X1</source>
        <translation>X1</translation>
    </message>
    <message>
        <source>Y1</source>
        <translation>Y1</translation>
    </message>
    <message>
        <source>X2</source>
        <translation>X2</translation>
    </message>
    <message>
        <source>Y2</source>
        <translation>Y2</translation>
    </message>
    <message>
        <source>a系数</source>
        <translation>a coef.</translation>
    </message>
    <message>
        <source>b系数</source>
        <translation>b coef.</translation>
    </message>
    <message>
        <source>A/AB相</source>
        <translation>A/AB</translation>
    </message>
    <message>
        <source>A/AB相 X1</source>
        <translation>A/AB X1</translation>
    </message>
    <message>
        <source>A/AB相 Y1</source>
        <translation>A/AB Y1</translation>
    </message>
    <message>
        <source>A/AB相 X2</source>
        <translation>A/AB X2</translation>
    </message>
    <message>
        <source>A/AB相 Y2</source>
        <translation>A/AB Y2</translation>
    </message>
    <message>
        <source>A/AB相 a系数</source>
        <translation>A/AB a coefficient</translation>
    </message>
    <message>
        <source>A/AB相 b系数</source>
        <translation>A/AB b coefficient</translation>
    </message>
    <message>
        <source>B/BC相</source>
        <translation>B/BC</translation>
    </message>
    <message>
        <source>B/BC相 X1</source>
        <translation>B/BC X1</translation>
    </message>
    <message>
        <source>B/BC相 Y1</source>
        <translation>B/BC Y1</translation>
    </message>
    <message>
        <source>B/BC相 X2</source>
        <translation>B/BC X2</translation>
    </message>
    <message>
        <source>B/BC相 Y2</source>
        <translation>B/BC Y2</translation>
    </message>
    <message>
        <source>B/BC相 a系数</source>
        <translation>B/BC a coefficient</translation>
    </message>
    <message>
        <source>B/BC相 b系数</source>
        <translation>B/BC b coefficient</translation>
    </message>
    <message>
        <source>C/CA相</source>
        <translation>C/CA</translation>
    </message>
    <message>
        <source>C/CA相 X1</source>
        <translation>C/CA X1</translation>
    </message>
    <message>
        <source>C/CA相 Y1</source>
        <translation>C/CA Y1</translation>
    </message>
    <message>
        <source>C/CA相 X2</source>
        <translation>C/CA X2</translation>
    </message>
    <message>
        <source>C/CA相 Y2</source>
        <translation>C/CA Y2</translation>
    </message>
    <message>
        <source>C/CA相 a系数</source>
        <translation>C/CA a coefficient</translation>
    </message>
    <message>
        <source>C/CA相 b系数</source>
        <translation>C/CA b coefficient</translation>
    </message>
    <message>
        <source>PWM</source>
        <translation>PWM</translation>
    </message>
    <message>
        <source>PWM X1</source>
        <translation>PWM X1</translation>
    </message>
    <message>
        <source>PWM Y1</source>
        <translation>PWM Y1</translation>
    </message>
    <message>
        <source>PWM X2</source>
        <translation>PWM X2</translation>
    </message>
    <message>
        <source>PWM Y2</source>
        <translation>PWM Y2</translation>
    </message>
    <message>
        <source>PWM a系数</source>
        <translation>PWM a coefficient</translation>
    </message>
    <message>
        <source>PWM b系数</source>
        <translation>PWM b coefficient</translation>
    </message>
    <message>
        <source>电流序数复归</source>
        <translation>Reset I coef.</translation>
    </message>
    <message>
        <source>读序数</source>
        <translation>Read coef.</translation>
    </message>
    <message>
        <source>电流设置</source>
        <translation>Calibrate I</translation>
    </message>
    <message>
        <source>PWM输出</source>
        <translation>PWM out</translation>
    </message>
    <message>
        <source>电压调试</source>
        <translation>Calibrate U</translation>
    </message>
    <message>
        <source>电压序数复归</source>
        <translation>Reset U coef.</translation>
    </message>
    <message>
        <source>系统功能</source>
        <translation>System</translation>
    </message>
    <message>
        <source>读实时数据↑</source>
        <translation>Read live ↑</translation>
    </message>
    <message>
        <source>写数据参数值↓</source>
        <translation>Write settings ↓</translation>
    </message>
    <message>
        <source>停止运行</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>恢复保护默认值</source>
        <translation>Factory values</translation>
    </message>
    <message>
        <source>通讯设置</source>
        <translation>Comm. setup</translation>
    </message>
    <message>
        <source>软件使用说明</source>
        <translation>Usage notes</translation>
    </message>
    <message>
        <source>保护事件记录</source>
        <translation>Alarm events</translation>
    </message>
    <message>
        <source>调试密码</source>
        <translation>Password</translation>
    </message>
    <message>
        <source> 欢迎使用智能马达保护控制器演示软件-Quellar</source>
        <translation> Welcome to the intelligent motor protection controller demo - Quellar</translation>
    </message>
    <message>
        <source>基本功能</source>
        <translation>Functions</translation>
    </message>
    <message>
        <source>系统帮助</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>读实时数据</source>
        <translation>Read live data</translation>
    </message>
    <message>
        <source>写数据参数值</source>
        <translation>Write settings</translation>
    </message>
    <message>
        <source>通讯参数设置</source>
        <translation>Communication parameters...</translation>
    </message>
    <message>
        <source>重新连接...</source>
        <translation>Reconnect...</translation>
    </message>
    <message>
        <source>额定电流设置</source>
        <translation>Current calibration</translation>
    </message>
    <message>
        <source>启动方式设置</source>
        <translation>Set start mode</translation>
    </message>
    <message>
        <source>分闸A</source>
        <translation>Open A</translation>
    </message>
    <message>
        <source>分闸B</source>
        <translation>Open B</translation>
    </message>
    <message>
        <source>复归</source>
        <translation>Reset</translation>
    </message>
</context>
<context>
    <name>CPasswordDlg</name>
    <message>
        <source>操作密码输入</source>
        <translation>Password</translation>
    </message>
    <message>
        <source>密码：</source>
        <translation>Password:</translation>
    </message>
    <message>
        <source>确认</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>MotorProtector</name>
    <message>
        <source>子机地址--&gt;%1      波特率--&gt;%2</source>
        <translation>Address--&gt;%1      Baud rate--&gt;%2</translation>
    </message>
</context>
<context>
    <name>mp::CCommParamChangeDlg</name>
    <message>
        <source>无校验</source>
        <translation>None</translation>
    </message>
    <message>
        <source>奇校验</source>
        <translation>Odd</translation>
    </message>
    <message>
        <source>偶校验</source>
        <translation>Even</translation>
    </message>
</context>
<context>
    <name>mp::CCommSetupDlg</name>
    <message>
        <source>内置模拟设备</source>
        <translation>Built-in simulated device</translation>
    </message>
    <message>
        <source>取    消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>请输入一个在 1 和 247 之间的整数。</source>
        <translation>Enter a whole number from 1 to 247.</translation>
    </message>
</context>
<context>
    <name>mp::CCommandLine</name>
    <message>
        <source>智能马达保护控制器的配置与监视工具（Modbus RTU，RS-485）。</source>
        <translation>Configuration and monitoring tool for the intelligent motor protection controller (Modbus RTU, RS-485).</translation>
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
        <source>串口：COM1 至 COM32，或设备路径，如 /dev/ttyUSB0。</source>
        <translation>Serial port: COM1 to COM32, or a device path such as /dev/ttyUSB0.</translation>
    </message>
    <message>
        <source>波特率：1200、2400、4800、9600 或 19200。</source>
        <translation>Baud rate: 1200, 2400, 4800, 9600 or 19200.</translation>
    </message>
    <message>
        <source>校验位：none（无校验）、odd（奇校验）或 even（偶校验）。</source>
        <translation>Parity: none, odd or even.</translation>
    </message>
    <message>
        <source>仪表地址：1 至 247。</source>
        <translation>Device address: 1 to 247.</translation>
    </message>
    <message>
        <source>连接内置模拟设备，无需串口和设备。</source>
        <translation>Connect to the built-in simulated device; no port or device needed.</translation>
    </message>
    <message>
        <source>不显示通讯设置对话框，直接按所给的值连接。</source>
        <translation>Skip the communication setup dialog and connect with the values given.</translation>
    </message>
    <message>
        <source>多余的参数 &quot;%1&quot;</source>
        <translation>Unexpected argument &quot;%1&quot;</translation>
    </message>
    <message>
        <source>选项 --%1 只能给一次</source>
        <translation>Option --%1 may be given only once</translation>
    </message>
    <message>
        <source>--port &quot;%1&quot; 不是串口：应为 COM1 至 COM32，或设备路径，如 /dev/ttyUSB0</source>
        <translation>--port &quot;%1&quot; is not a serial port: give COM1 to COM32, or a device path such as /dev/ttyUSB0</translation>
    </message>
    <message>
        <source>--simulated 与 --port 不能同时使用</source>
        <translation>--simulated and --port cannot be used together</translation>
    </message>
    <message>
        <source>--baud &quot;%1&quot; 不是可用的波特率：应为 1200、2400、4800、9600 或 19200</source>
        <translation>--baud &quot;%1&quot; is not a usable baud rate: give 1200, 2400, 4800, 9600 or 19200</translation>
    </message>
    <message>
        <source>--parity &quot;%1&quot; 不是校验位：应为 none、odd 或 even</source>
        <translation>--parity &quot;%1&quot; is not a parity: give none, odd or even</translation>
    </message>
    <message>
        <source>--address &quot;%1&quot; 不是仪表地址：应为 1 至 247 之间的整数</source>
        <translation>--address &quot;%1&quot; is not a device address: give a whole number from 1 to 247</translation>
    </message>
</context>
<context>
    <name>mp::CDialogService</name>
    <message>
        <source>马达保护控制器</source>
        <translation>Motor protection controller</translation>
    </message>
</context>
<context>
    <name>mp::CIndicatorLamp</name>
    <message>
        <source>红色：合</source>
        <translation>Red: closed</translation>
    </message>
    <message>
        <source>绿色：分</source>
        <translation>Green: open</translation>
    </message>
    <message>
        <source>灰色：状态未知</source>
        <translation>Grey: state unknown</translation>
    </message>
    <message>
        <source>%1（数据已过时）</source>
        <translation>%1 (data out of date)</translation>
    </message>
</context>
<context>
    <name>mp::CLinkLamp</name>
    <message>
        <source>通讯状态</source>
        <translation>Communication state</translation>
    </message>
    <message>
        <source>未通讯</source>
        <translation>No communication yet</translation>
    </message>
</context>
<context>
    <name>mp::CMainController</name>
    <message>
        <source>读实时数据...</source>
        <translation>Reading live data...</translation>
    </message>
    <message>
        <source>读参数不成功</source>
        <translation> Reading the settings failed</translation>
    </message>
    <message>
        <source>停止运行...</source>
        <translation>Stopped...</translation>
    </message>
    <message>
        <source>串口已断开，正在重试...</source>
        <translation>Serial port lost, retrying...</translation>
    </message>
    <message>
        <source>串口已重新连接</source>
        <translation>Serial port connected again</translation>
    </message>
    <message>
        <source>正在与设备通讯，请等当前操作完成后再试。</source>
        <translation>Talking to the device: try again when the present operation has finished.</translation>
    </message>
    <message>
        <source>请先输入调试密码</source>
        <translation>Enter the maintenance password first</translation>
    </message>
    <message>
        <source>串口 %1 打开失败：%2</source>
        <translation>Serial port %1 could not be opened: %2</translation>
    </message>
    <message>
        <source>%1
程序继续运行，但不会与设备通信。</source>
        <translation>%1
The program goes on running but will not talk to the device.</translation>
    </message>
    <message>
        <source>%1，%2</source>
        <translation>%1, %2</translation>
    </message>
    <message>
        <source>内置模拟设备与串口之间的切换需要重新启动程序。</source>
        <translation>Switching between the built-in simulated device and a serial port needs a restart of the program.</translation>
    </message>
    <message>
        <source>连接 %1 ...</source>
        <translation>Connecting %1 ...</translation>
    </message>
    <message>
        <source>串口 %1 已连接</source>
        <translation>Serial port %1 connected</translation>
    </message>
    <message>
        <source>串口 %1 未打开，无法与设备通信。</source>
        <translation>Serial port %1 is not open: cannot talk to the device.</translation>
    </message>
    <message>
        <source>%1%2</source>
        <translation>%1%2</translation>
    </message>
    <message>
        <source>内置模拟设备</source>
        <translation>Built-in simulated device</translation>
    </message>
    <message>
        <source>奇校验</source>
        <translation>Odd</translation>
    </message>
    <message>
        <source>偶校验</source>
        <translation>Even</translation>
    </message>
    <message>
        <source>无校验</source>
        <translation>None</translation>
    </message>
    <message>
        <source>串口未能改为 %1 波特：%2</source>
        <translation>The serial port could not be changed to %1 baud: %2</translation>
    </message>
</context>
<context>
    <name>mp::CMotorProtectorApp</name>
    <message>
        <source>马达保护控制器演示软件-Quellar</source>
        <translation>Motor Protection Controller - Quellar</translation>
    </message>
</context>
<context>
    <name>mp::CMotorProtectorDlg</name>
    <message>
        <source>请输入一个整数。</source>
        <translation>Enter a whole number.</translation>
    </message>
    <message>
        <source>%1：%2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>&lt;------Zantor 公司网址：www.quellar.example------&gt;</source>
        <translation>&lt;------Zantor web site: www.quellar.example------&gt;</translation>
    </message>
    <message>
        <source>正在与设备通讯</source>
        <translation>Talking to the device</translation>
    </message>
</context>
<context>
    <name>mp::DiagnosticsWiring</name>
    <message>
        <source>串口未打开，无法搜索设备。</source>
        <translation>The serial port is not open: cannot search for devices.</translation>
    </message>
</context>
<context>
    <name>mp::StaleMarks</name>
    <message>
        <source>数据已过时：自 %1 起%2，显示的是最后读到的值</source>
        <translation>Out of date: %2 since %1; the last values read are shown</translation>
    </message>
</context>
</TS>
