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
    <name>CCsvRecorder</name>
    <message>
        <source>不是本工具的记录文件 (第一行不是列名)</source>
        <translation>not a recording of this tool (the first line is not its column names)</translation>
    </message>
    <message>
        <source>第 %1 行无法读取</source>
        <translation>line %1 cannot be read</translation>
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
    <name>CStartHistory</name>
    <message>
        <source>无法建立文件夹 %1</source>
        <translation>cannot create the folder %1</translation>
    </message>
</context>
<context>
    <name>EventRecordsCsv</name>
    <message>
        <source>读取时间</source>
        <translation>Read at</translation>
    </message>
    <message>
        <source>设备地址</source>
        <translation>Device address</translation>
    </message>
    <message>
        <source>告警条数</source>
        <translation>Alarms</translation>
    </message>
    <message>
        <source>序号</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>代码</source>
        <translation>Code</translation>
    </message>
    <message>
        <source>内容</source>
        <translation>Event</translation>
    </message>
</context>
<context>
    <name>MotorProtector</name>
    <message>
        <source>子机地址--&gt;%1      波特率--&gt;%2</source>
        <translation>Address--&gt;%1      Baud rate--&gt;%2</translation>
    </message>
    <message>
        <source>读A/B/C相电流</source>
        <translation>Read phase A/B/C currents</translation>
    </message>
    <message>
        <source>读A/B/C相电压</source>
        <translation>Read phase A/B/C voltages</translation>
    </message>
    <message>
        <source>读状态寄存器</source>
        <translation>Read status register</translation>
    </message>
    <message>
        <source>读定值 A段</source>
        <translation>Read settings block A</translation>
    </message>
    <message>
        <source>读定值 B段</source>
        <translation>Read settings block B</translation>
    </message>
    <message>
        <source>读定值 C段</source>
        <translation>Read settings block C</translation>
    </message>
    <message>
        <source>读起动方式</source>
        <translation>Read start mode</translation>
    </message>
    <message>
        <source>读事件条数</source>
        <translation>Read event count</translation>
    </message>
    <message>
        <source>读事件代码</source>
        <translation>Read event codes</translation>
    </message>
    <message>
        <source>读校准系数</source>
        <translation>Read calibration coefficients</translation>
    </message>
    <message>
        <source>读设备地址</source>
        <translation>Read device address</translation>
    </message>
    <message>
        <source>读波特率代码</source>
        <translation>Read baud rate code</translation>
    </message>
    <message>
        <source>读地址与波特率</source>
        <translation>Read address and baud rate</translation>
    </message>
    <message>
        <source>读寄存器 %1</source>
        <translation>Read register %1</translation>
    </message>
    <message>
        <source>写定值 %1</source>
        <translation>Write settings %1</translation>
    </message>
    <message>
        <source>写通讯参数</source>
        <translation>Write communication parameters</translation>
    </message>
    <message>
        <source>写起动方式</source>
        <translation>Write start mode</translation>
    </message>
    <message>
        <source>闭合输出A</source>
        <translation>Close output A</translation>
    </message>
    <message>
        <source>断开输出A</source>
        <translation>Open output A</translation>
    </message>
    <message>
        <source>闭合输出B</source>
        <translation>Close output B</translation>
    </message>
    <message>
        <source>断开输出B</source>
        <translation>Open output B</translation>
    </message>
    <message>
        <source>复位输出 置位</source>
        <translation>Reset output (set)</translation>
    </message>
    <message>
        <source>复位输出</source>
        <translation>Reset output</translation>
    </message>
    <message>
        <source>写线圈 %1</source>
        <translation>Write coil %1</translation>
    </message>
    <message>
        <source>电流校准帧</source>
        <translation>Current calibration frame</translation>
    </message>
    <message>
        <source>电压校准帧</source>
        <translation>Voltage calibration frame</translation>
    </message>
    <message>
        <source>PWM输出帧</source>
        <translation>PWM output frame</translation>
    </message>
    <message>
        <source>未知帧</source>
        <translation>Unknown frame</translation>
    </message>
    <message>
        <source>读输出状态</source>
        <translation>Read output states</translation>
    </message>
    <message>
        <source>读开关量输入</source>
        <translation>Read digital inputs</translation>
    </message>
    <message>
        <source>功能码 %1</source>
        <translation>Function code %1</translation>
    </message>
    <message>
        <source>读A/B/C相电流: 原始值 %1 / %2 / %3</source>
        <translation>Read phase A/B/C currents: raw %1 / %2 / %3</translation>
    </message>
    <message>
        <source>读A/B/C相电流: %1 / %2 / %3 A</source>
        <translation>Read phase A/B/C currents: %1 / %2 / %3 A</translation>
    </message>
    <message>
        <source>读A/B/C相电压: %1 / %2 / %3 V</source>
        <translation>Read phase A/B/C voltages: %1 / %2 / %3 V</translation>
    </message>
    <message>
        <source>状态寄存器 %1</source>
        <translation>Status register %1</translation>
    </message>
    <message>
        <source>事件条数 %1</source>
        <translation>Event count %1</translation>
    </message>
    <message>
        <source>设备地址 %1</source>
        <translation>Device address %1</translation>
    </message>
    <message>
        <source>波特率代码 %1 (%2)</source>
        <translation>Baud rate code %1 (%2)</translation>
    </message>
    <message>
        <source>设备地址 %1, 波特率代码 %2 (%3)</source>
        <translation>Device address %1, baud rate code %2 (%3)</translation>
    </message>
    <message>
        <source>起动方式 %1</source>
        <translation>Start mode %1</translation>
    </message>
    <message>
        <source>事件代码:%1</source>
        <translation>Event codes:%1</translation>
    </message>
    <message>
        <source>校准系数 %1</source>
        <translation>Calibration coefficients %1</translation>
    </message>
    <message>
        <source>写定值 0x5453: 电流变比 %1</source>
        <translation>Write settings 0x5453: CT ratio %1</translation>
    </message>
    <message>
        <source>写定值 0x5462: 分断电流 %1</source>
        <translation>Write settings 0x5462: contactor breaking current %1</translation>
    </message>
    <message>
        <source>写通讯参数: 地址 %1, 波特率代码 %2 (%3)</source>
        <translation>Write communication parameters: address %1, baud rate code %2 (%3)</translation>
    </message>
    <message>
        <source>写起动方式: 断相时间 %1 s, 起动方式 %2</source>
        <translation>Write start mode: phase-loss time %1 s, start mode %2</translation>
    </message>
    <message>
        <source>写定值 0x5454: PWM相序 %1, 断相时间 %2 s, 起动方式 %3</source>
        <translation>Write settings 0x5454: PWM output phase %1, phase-loss time %2 s, start mode %3</translation>
    </message>
    <message>
        <source>写定值 0x5457: 额定电压 %1 V, 额定电流 %2 A, 起动时间 %3</source>
        <translation>Write settings 0x5457: rated voltage %1 V, rated current %2 A, start time %3</translation>
    </message>
    <message>
        <source>写定值 0x5460: 过压 %1% %2, 欠压 %3% %4</source>
        <translation>Write settings 0x5460: overvoltage %1% %2, undervoltage %3% %4</translation>
    </message>
    <message>
        <source>写定值 0x545A: 保护投退 %1, 欠压投退 %2, 曲线 %3</source>
        <translation>Write settings 0x545A: protections on/off %1, undervoltage on/off %2, curve %3</translation>
    </message>
    <message>
        <source>校准帧</source>
        <translation>Calibration frame</translation>
    </message>
    <message>
        <source>%1 A相 a=%2 b=%3, B相 a=%4 b=%5, C相 a=%6 b=%7</source>
        <translation>%1 phase A a=%2 b=%3, phase B a=%4 b=%5, phase C a=%6 b=%7</translation>
    </message>
    <message>
        <source>PWM输出帧 a=%1 b=%2</source>
        <translation>PWM output frame a=%1 b=%2</translation>
    </message>
    <message>
        <source>私有命令帧</source>
        <translation>Private command frame</translation>
    </message>
    <message>
        <source>迟到的应答已丢弃 (%1 字节)</source>
        <translation>Late reply dropped (%1 bytes)</translation>
    </message>
    <message>
        <source>非法功能</source>
        <translation>Illegal function</translation>
    </message>
    <message>
        <source>非法数据地址</source>
        <translation>Illegal data address</translation>
    </message>
    <message>
        <source>非法数据值</source>
        <translation>Illegal data value</translation>
    </message>
    <message>
        <source>从站设备故障</source>
        <translation>Slave device failure</translation>
    </message>
    <message>
        <source>已确认, 处理中</source>
        <translation>Acknowledged, processing</translation>
    </message>
    <message>
        <source>从站设备忙</source>
        <translation>Slave device busy</translation>
    </message>
    <message>
        <source>存储奇偶差错</source>
        <translation>Memory parity error</translation>
    </message>
    <message>
        <source>网关路径不可用</source>
        <translation>Gateway path unavailable</translation>
    </message>
    <message>
        <source>网关目标设备无响应</source>
        <translation>Gateway target device failed to respond</translation>
    </message>
    <message>
        <source>未知异常</source>
        <translation>Unknown exception</translation>
    </message>
    <message>
        <source>已发送</source>
        <translation>Sent</translation>
    </message>
    <message>
        <source>正常</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>无应答</source>
        <translation>No reply</translation>
    </message>
    <message>
        <source>CRC错误</source>
        <translation>CRC error</translation>
    </message>
    <message>
        <source>异常应答</source>
        <translation>Exception reply</translation>
    </message>
    <message>
        <source>无效应答</source>
        <translation>Invalid reply</translation>
    </message>
    <message>
        <source>已丢弃</source>
        <translation>Dropped</translation>
    </message>
    <message>
        <source>请求前的多余字节已丢弃 (%1 字节)</source>
        <translation>Stray bytes before the request dropped (%1 bytes)</translation>
    </message>
    <message>
        <source>线圈 %1</source>
        <translation>Coil %1</translation>
    </message>
    <message>
        <source>输入 %1</source>
        <translation>Input %1</translation>
    </message>
    <message>
        <source>%1: 等待应答</source>
        <translation>%1: waiting for reply</translation>
    </message>
    <message>
        <source>合</source>
        <translation>closed</translation>
    </message>
    <message>
        <source>分</source>
        <translation>open</translation>
    </message>
    <message>
        <source>输出状态 %1: A %2, B %3, 复位 %4</source>
        <translation>Output states %1: A %2, B %3, reset %4</translation>
    </message>
    <message>
        <source>开关量输入 %1</source>
        <translation>Digital inputs %1</translation>
    </message>
    <message>
        <source>应答前有 %1 个多余字节</source>
        <translation>%1 stray bytes before the reply</translation>
    </message>
    <message>
        <source>%1: 无应答</source>
        <translation>%1: no reply</translation>
    </message>
    <message>
        <source>%1: 异常应答 %2 %3</source>
        <translation>%1: exception reply %2 %3</translation>
    </message>
    <message>
        <source>%1: CRC错误</source>
        <translation>%1: CRC error</translation>
    </message>
    <message>
        <source>%1: 无效应答 (%2 字节)</source>
        <translation>%1: invalid reply (%2 bytes)</translation>
    </message>
    <message>
        <source>（无效值）</source>
        <translation>(invalid value)</translation>
    </message>
    <message>
        <source>电流变比</source>
        <translation>CT ratio</translation>
    </message>
    <message>
        <source>额定电流</source>
        <translation>Rated current</translation>
    </message>
    <message>
        <source>额定电压</source>
        <translation>Rated voltage</translation>
    </message>
    <message>
        <source>启动时间</source>
        <translation>Start time</translation>
    </message>
    <message>
        <source>起动方式</source>
        <translation>Start mode</translation>
    </message>
    <message>
        <source>堵转保护动作倍数</source>
        <translation>Locked rotor trip multiple</translation>
    </message>
    <message>
        <source>倍额定电流</source>
        <translation>× rated current</translation>
    </message>
    <message>
        <source>堵转保护动作时间</source>
        <translation>Locked rotor trip time</translation>
    </message>
    <message>
        <source>定时限过负荷动作倍数</source>
        <translation>Definite-time overload trip multiple</translation>
    </message>
    <message>
        <source>定时限过负荷动作时间</source>
        <translation>Definite-time overload trip time</translation>
    </message>
    <message>
        <source>不平衡动作值</source>
        <translation>Unbalance trip value</translation>
    </message>
    <message>
        <source>不平衡动作时间</source>
        <translation>Unbalance trip time</translation>
    </message>
    <message>
        <source>曲线选择</source>
        <translation>Curve</translation>
    </message>
    <message>
        <source>缺相时间</source>
        <translation>Phase-loss time</translation>
    </message>
    <message>
        <source>PWM选择输出</source>
        <translation>PWM output phase</translation>
    </message>
    <message>
        <source>交流接触器允许分断电流</source>
        <translation>Contactor breaking current</translation>
    </message>
    <message>
        <source>过压保护动作值</source>
        <translation>Overvoltage trip value</translation>
    </message>
    <message>
        <source>%额定电压</source>
        <translation>% rated voltage</translation>
    </message>
    <message>
        <source>过压保护动作时间</source>
        <translation>Overvoltage trip time</translation>
    </message>
    <message>
        <source>欠压保护动作值</source>
        <translation>Undervoltage trip value</translation>
    </message>
    <message>
        <source>欠压保护动作时间</source>
        <translation>Undervoltage trip time</translation>
    </message>
    <message>
        <source>短路保护</source>
        <translation>Short circuit</translation>
    </message>
    <message>
        <source>堵转保护</source>
        <translation>Locked rotor</translation>
    </message>
    <message>
        <source>定时限过负荷</source>
        <translation>Definite-time overload</translation>
    </message>
    <message>
        <source>不平衡</source>
        <translation>Unbalance</translation>
    </message>
    <message>
        <source>反时限过负荷</source>
        <translation>Inverse-time overload</translation>
    </message>
    <message>
        <source>启动超时</source>
        <translation>Start timeout</translation>
    </message>
    <message>
        <source>缺相保护</source>
        <translation>Phase loss</translation>
    </message>
    <message>
        <source>过压保护</source>
        <translation>Overvoltage</translation>
    </message>
    <message>
        <source>欠压保护</source>
        <translation>Undervoltage</translation>
    </message>
    <message>
        <source>%1的值“%2”不是数字</source>
        <translation>The value &quot;%2&quot; of %1 is not a number</translation>
    </message>
    <message>
        <source>%1的值“%2”不是整数</source>
        <translation>The value &quot;%2&quot; of %1 is not a whole number</translation>
    </message>
    <message>
        <source>%1的值“%2”不在曲线列表中</source>
        <translation>The value &quot;%2&quot; of %1 is not in the list of curves</translation>
    </message>
    <message>
        <source>%1的值“%2”不在PWM选择输出的列表中</source>
        <translation>The value &quot;%2&quot; of %1 is not in the list of PWM output phases</translation>
    </message>
    <message>
        <source>%1的值“%2”不在起动方式的列表中</source>
        <translation>The value &quot;%2&quot; of %1 is not in the list of start modes</translation>
    </message>
    <message>
        <source>投入</source>
        <translation>On</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Off</translation>
    </message>
    <message>
        <source>设备无应答，输出状态未确认</source>
        <translation>No reply from the device; output states not confirmed</translation>
    </message>
    <message>
        <source>输出状态已确认</source>
        <translation>Output states confirmed</translation>
    </message>
    <message>
        <source>C1接触器吸合失败(E01)</source>
        <translation>Contactor C1 failed to close (E01)</translation>
    </message>
    <message>
        <source>C2接触器吸合失败(E02)</source>
        <translation>Contactor C2 failed to close (E02)</translation>
    </message>
    <message>
        <source>接触器未断开(E03)</source>
        <translation>Contactor did not open (E03)</translation>
    </message>
    <message>
        <source>启动超时(E04)</source>
        <translation>Start timeout (E04)</translation>
    </message>
    <message>
        <source>短路故障(E05)</source>
        <translation>Short circuit fault (E05)</translation>
    </message>
    <message>
        <source>堵转故障(E06)</source>
        <translation>Locked rotor fault (E06)</translation>
    </message>
    <message>
        <source>缺相保护(E07)</source>
        <translation>Phase loss (E07)</translation>
    </message>
    <message>
        <source>三相不平衡故障(E08)</source>
        <translation>Three-phase unbalance fault (E08)</translation>
    </message>
    <message>
        <source>定时限过载保护(E09)</source>
        <translation>Definite-time overload (E09)</translation>
    </message>
    <message>
        <source>反时限过载保护(E10)</source>
        <translation>Inverse-time overload (E10)</translation>
    </message>
    <message>
        <source>外部故障(E11)</source>
        <translation>External fault (E11)</translation>
    </message>
    <message>
        <source>运行过程中断路器断开故障(E13)</source>
        <translation>Circuit breaker opened while running (E13)</translation>
    </message>
    <message>
        <source>EEPROM 出错(E14)</source>
        <translation>EEPROM error (E14)</translation>
    </message>
    <message>
        <source>过压(E16)</source>
        <translation>Overvoltage (E16)</translation>
    </message>
    <message>
        <source>欠压(E17)</source>
        <translation>Undervoltage (E17)</translation>
    </message>
    <message>
        <source>无告警信息</source>
        <translation>No alarms</translation>
    </message>
    <message>
        <source>有%1条告警信息</source>
        <translation>%1 alarm(s)</translation>
    </message>
    <message>
        <source>设备无应答，未能读取告警事件记录</source>
        <translation>No reply from the device; the alarm events could not be read</translation>
    </message>
    <message>
        <source>A/AB相</source>
        <translation>Phase A/AB</translation>
    </message>
    <message>
        <source>B/BC相</source>
        <translation>Phase B/BC</translation>
    </message>
    <message>
        <source>C/CA相</source>
        <translation>Phase C/CA</translation>
    </message>
    <message>
        <source>%1的X1与X2相同，无法计算系数</source>
        <translation>%1: X1 and X2 are equal, the coefficients cannot be calculated</translation>
    </message>
    <message>
        <source>PWM a系数</source>
        <translation>PWM coefficient a</translation>
    </message>
    <message>
        <source>PWM b系数</source>
        <translation>PWM coefficient b</translation>
    </message>
    <message>
        <source>%1的值“%2”不是0-65535的整数</source>
        <translation>The value &quot;%2&quot; of %1 is not a whole number from 0 to 65535</translation>
    </message>
    <message>
        <source>电流设置成功！</source>
        <translation>Current calibration done!</translation>
    </message>
    <message>
        <source>电压设置成功！</source>
        <translation>Voltage calibration done!</translation>
    </message>
    <message>
        <source>PWM输出设置成功</source>
        <translation>PWM output set</translation>
    </message>
    <message>
        <source>序数读取成功</source>
        <translation>Coefficients read</translation>
    </message>
    <message>
        <source>设备无应答</source>
        <translation>No reply from the device</translation>
    </message>
    <message>
        <source>序数复归成功！</source>
        <translation>Coefficients reset!</translation>
    </message>
    <message>
        <source>密码错误</source>
        <translation>Wrong password</translation>
    </message>
    <message>
        <source>串口未打开</source>
        <translation>Serial port not open</translation>
    </message>
    <message>
        <source>%1 (连续 %2 次)</source>
        <translation>%1 (%2 in a row)</translation>
    </message>
    <message>
        <source>通讯正常</source>
        <translation>Communication OK</translation>
    </message>
    <message>
        <source>%1（%2）</source>
        <extracomment>A message followed by the system&apos;s own words about the failure.</extracomment>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>串口 %1 打开失败：%2</source>
        <translation>Serial port %1 could not be opened: %2</translation>
    </message>
    <message>
        <source>端口已被其他程序占用，请关闭正在使用它的程序（如另一个本工具、串口终端或 ModemManager）后再试</source>
        <translation>The port is in use by another program. Close the program using it (such as another copy of this tool, a serial terminal or ModemManager) and try again</translation>
    </message>
    <message>
        <source>当前用户</source>
        <translation>the current user</translation>
    </message>
    <message>
        <source>用户 %1</source>
        <translation>user %1</translation>
    </message>
    <message>
        <source>没有权限读写此设备，请检查设备文件的权限</source>
        <translation>No permission to read and write this device; check the permissions of the device file</translation>
    </message>
    <message>
        <source>没有权限读写此设备：设备属于用户组 %1，但该组没有读写权限，请检查设备文件的权限</source>
        <translation>No permission to read and write this device: it belongs to group %1, but that group has no read/write permission; check the permissions of the device file</translation>
    </message>
    <message>
        <source>没有权限读写此设备：%1 已加入设备所属的用户组 %2，但本次登录还没有这个组。请注销并重新登录（或重启）后再试</source>
        <translation>No permission to read and write this device: %1 has been added to the device&apos;s group %2, but this login does not have that group yet. Log out and log in again (or restart) and try again</translation>
    </message>
    <message>
        <source>没有权限读写此设备：设备属于用户组 %1，%2 不在此组。请执行 sudo usermod -aG %1 %3，然后注销并重新登录（新的组在新的登录中才生效）</source>
        <translation>No permission to read and write this device: it belongs to group %1 and %2 is not in that group. Run sudo usermod -aG %1 %3, then log out and log in again (a new group takes effect only in a new login)</translation>
    </message>
    <message>
        <source>端口不存在</source>
        <translation>the port does not exist</translation>
    </message>
    <message>
        <source>端口被占用或无权限</source>
        <translation>the port is in use or access is denied</translation>
    </message>
    <message>
        <source>端口参数设置失败</source>
        <translation>the port settings could not be applied</translation>
    </message>
    <message>
        <source>连接已断开</source>
        <translation>the connection was lost</translation>
    </message>
    <message>
        <source>读写失败</source>
        <translation>read/write failed</translation>
    </message>
    <message>
        <source>端口未打开</source>
        <translation>the port is not open</translation>
    </message>
    <message>
        <source>其他错误</source>
        <translation>other error</translation>
    </message>
    <message>
        <source>串口 %1 出错：%2</source>
        <translation>Serial port %1 failed: %2</translation>
    </message>
    <message>
        <source>堵转动作倍数</source>
        <translation>Locked-rotor trip multiple</translation>
    </message>
    <message>
        <source>堵转动作时间</source>
        <translation>Locked-rotor trip time</translation>
    </message>
    <message>
        <source>过压动作值</source>
        <translation>Overvoltage trip value</translation>
    </message>
    <message>
        <source>过压动作时间</source>
        <translation>Overvoltage trip time</translation>
    </message>
    <message>
        <source>欠压动作值</source>
        <translation>Undervoltage trip value</translation>
    </message>
    <message>
        <source>欠压动作时间</source>
        <translation>Undervoltage trip time</translation>
    </message>
    <message>
        <source>%1超出范围（%2）</source>
        <translation>%1 is out of range (%2)</translation>
    </message>
    <message>
        <source>%1-%2，未投入时可为0</source>
        <translation>%1-%2, or 0 while the protection is off</translation>
    </message>
    <message>
        <source>%1的值“%2”不是数字（范围%3）</source>
        <translation>The value &quot;%2&quot; of %1 is not a number (range %3)</translation>
    </message>
    <message>
        <source>数据不可超出定值范围</source>
        <translation>The value may not leave the setting&apos;s range</translation>
    </message>
    <message>
        <source>A相电流</source>
        <translation>Phase A</translation>
    </message>
    <message>
        <source>B相电流</source>
        <translation>Phase B</translation>
    </message>
    <message>
        <source>C相电流</source>
        <translation>Phase C</translation>
    </message>
    <message>
        <source>直接起动</source>
        <translation>Direct start</translation>
    </message>
    <message>
        <source>双向可逆起动</source>
        <translation>Reversing start</translation>
    </message>
    <message>
        <source>星三角起动</source>
        <translation>Star-delta start</translation>
    </message>
    <message>
        <source>设备未保存以下参数：%1</source>
        <translation>The device did not keep these settings: %1</translation>
    </message>
    <message>
        <source>设备无应答，数据写入未确认</source>
        <translation>No reply from the device; the write is not confirmed</translation>
    </message>
    <message>
        <source>设备未保存以下参数：%1；其余参数设备无应答，写入未确认</source>
        <translation>The device did not keep these settings: %1. No reply about the other settings; their write is not confirmed</translation>
    </message>
    <message>
        <source>%1、%2</source>
        <extracomment>Two items of a list of setting names, joined.</extracomment>
        <translation>%1, %2</translation>
    </message>
    <message>
        <source>您确认要修改当前数据吗?</source>
        <translation>Do you want to change the current settings?</translation>
    </message>
    <message>
        <source>请在过压动作值范围为105-150</source>
        <translation>Overvoltage trip value must be 105-150</translation>
    </message>
    <message>
        <source>数据写入成功...</source>
        <translation>Settings written...</translation>
    </message>
    <message>
        <source>写数据参数值...</source>
        <translation>Write settings...</translation>
    </message>
    <message>
        <source>CT超过范围</source>
        <translation>CT ratio out of range</translation>
    </message>
    <message>
        <source>额定电流超过范围</source>
        <translation>Rated current out of range</translation>
    </message>
    <message>
        <source>启动时间超过范围</source>
        <translation>Start time out of range</translation>
    </message>
    <message>
        <source>分断电流超出范围</source>
        <translation>Breaking current out of range</translation>
    </message>
    <message>
        <source>曲线选择的值不在列表中</source>
        <translation>The curve is not one of the list</translation>
    </message>
    <message>
        <source>PWM选择输出的值不在列表中</source>
        <translation>The PWM output phase is not one of the list</translation>
    </message>
    <message>
        <source>未能读回设备的起动方式：缺相时间和PWM选择输出未写入，其余参数已写入</source>
        <translation>Could not read back the device&apos;s start mode: phase-loss time and PWM output phase were not written, the other settings were written</translation>
    </message>
    <message>
        <source>通信参数设置成功!</source>
        <translation>Communication parameters set!</translation>
    </message>
    <message>
        <source>设备无应答，未能读取设备的通信参数</source>
        <translation>No reply from the device: its communication parameters could not be read</translation>
    </message>
    <message>
        <source>设备未接受新的通信参数，仍在原地址和波特率应答。</source>
        <translation>The device did not take the new communication parameters; it still answers at its old address and baud rate.</translation>
    </message>
    <message>
        <source>设备在新的和原来的通信参数下均无应答，通信参数设置未确认；程序仍使用原来的地址和波特率。</source>
        <translation>The device answers neither at the new nor at the old communication parameters: the change is not confirmed. The program keeps the old address and baud rate.</translation>
    </message>
    <message>
        <source>起动方式已发送，但设备读回的不是所设的值：起动方式未设置。</source>
        <translation>The start mode was sent, but the device reads back another value: the start mode is not set.</translation>
    </message>
    <message>
        <source>起动方式已发送，但设备无应答，未能读回确认。</source>
        <translation>The start mode was sent, but the device did not answer the read-back: not confirmed.</translation>
    </message>
    <message>
        <source>设备无应答，未能读取设备的缺相时间：起动方式未设置，未发送任何数据。</source>
        <translation>No reply from the device: its phase-loss time could not be read. The start mode was not set; nothing was sent.</translation>
    </message>
    <message>
        <source>%1的系数a=%2、b=%3超出设备可存的范围（a 0-6.5535，b 0-255）</source>
        <translation>%1: coefficients a=%2, b=%3 are outside what the device can store (a 0-6.5535, b 0-255)</translation>
    </message>
    <message>
        <source>系数已发送，但读回的系数与发送的不同：设备未保存这些系数。</source>
        <translation>The coefficients were sent, but those read back differ: the device did not keep them.</translation>
    </message>
    <message>
        <source>系数已发送，但设备无应答，未能读回确认。</source>
        <translation>The coefficients were sent, but the device did not answer the read-back: not confirmed.</translation>
    </message>
    <message>
        <source>电压系数已发送；设备不提供电压系数的读回，未能确认。</source>
        <translation>The voltage coefficients were sent; the device gives no voltage coefficients back, so they are not confirmed.</translation>
    </message>
    <message>
        <source>应答CRC校验错误</source>
        <translation>reply with a bad CRC</translation>
    </message>
    <message>
        <source>设备异常应答</source>
        <translation>exception reply from the device</translation>
    </message>
    <message>
        <source>应答与请求不符</source>
        <translation>reply to another request</translation>
    </message>
    <message>
        <source>电流</source>
        <translation>currents</translation>
    </message>
    <message>
        <source>电压</source>
        <translation>voltages</translation>
    </message>
    <message>
        <source>输入</source>
        <translation>inputs</translation>
    </message>
    <message>
        <source>输出</source>
        <translation>outputs</translation>
    </message>
    <message>
        <source>状态</source>
        <translation>status</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>部分读取失败：%1</source>
        <translation>Some reads failed: %1</translation>
    </message>
    <message>
        <source>%1的值“%2”不是设备可存的值：步长为%3（范围%4）</source>
        <translation>%1 &quot;%2&quot; is not a value the device can hold: the step is %3 (range %4)</translation>
    </message>
    <message>
        <source>%1未填写</source>
        <translation>%1 is not filled in</translation>
    </message>
    <message>
        <source>%1: 应答与请求不符（设备在应答另一个请求）</source>
        <translation>%1: reply to another request (the device is answering an earlier request)</translation>
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
        <source>连接被拒绝</source>
        <translation>connection refused</translation>
    </message>
    <message>
        <source>连接超时</source>
        <translation>connection timed out</translation>
    </message>
    <message>
        <source>找不到主机</source>
        <translation>host not found</translation>
    </message>
    <message>
        <source>无法连接网关 %1：%2</source>
        <translation>Cannot connect to gateway %1: %2</translation>
    </message>
    <message>
        <source>网关 %1 未连接</source>
        <translation>Gateway %1 is not connected</translation>
    </message>
    <message>
        <source>网关关闭了连接</source>
        <translation>the gateway closed the connection</translation>
    </message>
    <message>
        <source>与网关 %1 的连接中断：%2</source>
        <translation>Connection to gateway %1 lost: %2</translation>
    </message>
    <message>
        <source>审计日志 %1 无法写入，未向继电器发送任何更改。
原因：%2</source>
        <translation>The audit log %1 cannot be written; no change was sent to the relay.
Reason: %2</translation>
    </message>
    <message>
        <source>更改已发送，但未能记入审计日志 %1。
原因：%2</source>
        <translation>The change was sent, but it could not be recorded in the audit log %1.
Reason: %2</translation>
    </message>
</context>
<context>
    <name>PlantFileText</name>
    <message>
        <source>第 %1 条线路</source>
        <translation>line %1</translation>
    </message>
    <message>
        <source>线路 %1</source>
        <translation>Line %1</translation>
    </message>
    <message>
        <source>第 %1 条馈线</source>
        <translation>feeder %1</translation>
    </message>
    <message>
        <source>馈线 %1</source>
        <translation>Feeder %1</translation>
    </message>
    <message>
        <source>%1 缺少必填项 %2</source>
        <translation>%1 lacks the required key %2</translation>
    </message>
    <message>
        <source>%1 的 %2 应为%3</source>
        <translation>%1: %2 must be %3</translation>
    </message>
    <message>
        <source>文本</source>
        <translation>a text</translation>
    </message>
    <message>
        <source>整数</source>
        <translation>a whole number</translation>
    </message>
    <message>
        <source>数值</source>
        <translation>a number</translation>
    </message>
    <message>
        <source>%1 的 %2 &quot;%3&quot; 未知（应为 %4）</source>
        <translation>%1: %2 &quot;%3&quot; is unknown (must be %4)</translation>
    </message>
    <message>
        <source>%1 的标识未填写</source>
        <translation>%1: the id is missing</translation>
    </message>
    <message>
        <source>线路标识 %1 重复（第 %2 条与第 %3 条线路）</source>
        <translation>Line id %1 used twice (lines %2 and %3)</translation>
    </message>
    <message>
        <source>%1 的串口未填写</source>
        <translation>%1: the serial port is missing</translation>
    </message>
    <message>
        <source>%1 的波特率 %2 不是设备支持的速率（%3）</source>
        <translation>%1: baud rate %2 is not one the device takes (%3)</translation>
    </message>
    <message>
        <source>%1 的校验 %2 无效</source>
        <translation>%1: parity %2 is not valid</translation>
    </message>
    <message>
        <source>%1 的主机地址未填写</source>
        <translation>%1: the host is missing</translation>
    </message>
    <message>
        <source>%1 的主机地址 &quot;%2&quot; 不是主机名或 IP 地址</source>
        <translation>%1: host &quot;%2&quot; is not a host name or IP address</translation>
    </message>
    <message>
        <source>%1 的端口 %2 超出 1–65535</source>
        <translation>%1: port %2 is outside 1–65535</translation>
    </message>
    <message>
        <source>%1 的连接超时 %2 ms 超出 %3–%4 ms</source>
        <translation>%1: connect timeout %2 ms is outside %3–%4 ms</translation>
    </message>
    <message>
        <source>%1 的位号未填写</source>
        <translation>%1: the tag is missing</translation>
    </message>
    <message>
        <source>馈线位号 %1 重复（第 %2 条与第 %3 条馈线）</source>
        <translation>Feeder tag %1 used twice (feeders %2 and %3)</translation>
    </message>
    <message>
        <source>%1 的线路未填写</source>
        <translation>%1: the line is missing</translation>
    </message>
    <message>
        <source>%1 的线路 %2 不存在</source>
        <translation>%1: line %2 does not exist</translation>
    </message>
    <message>
        <source>%1 的地址 %2 超出 %3–%4</source>
        <translation>%1: address %2 is outside %3–%4</translation>
    </message>
    <message>
        <source>%1 的地址 %2 与%3在线路 %4 上重复</source>
        <translation>%1: address %2 is already taken by %3 on line %4</translation>
    </message>
    <message>
        <source>额定电流</source>
        <translation>rated current</translation>
    </message>
    <message>
        <source>电流变比</source>
        <translation>CT ratio</translation>
    </message>
    <message>
        <source>额定电压</source>
        <translation>rated voltage</translation>
    </message>
    <message>
        <source>%1 的%2 %3 必须大于 0</source>
        <translation>%1: %2 %3 must be above 0</translation>
    </message>
    <message>
        <source>%1：%2（%3）</source>
        <translation>%1: %2 (%3)</translation>
    </message>
    <message>
        <source>%1：%2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>%1（%2）</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>文件过大，不是厂站文件</source>
        <translation>file too large: not a plant file</translation>
    </message>
    <message>
        <source>不是 JSON 文件（第 %1 个字节处：%2）</source>
        <translation>not a JSON file (at byte %1: %2)</translation>
    </message>
    <message>
        <source>不是厂站文件：内容不是 JSON 对象</source>
        <translation>not a plant file: the content is not a JSON object</translation>
    </message>
    <message>
        <source>不是厂站文件：缺少 &quot;format&quot;: &quot;%1&quot;</source>
        <translation>not a plant file: &quot;format&quot;: &quot;%1&quot; is missing</translation>
    </message>
    <message>
        <source>不是厂站文件：format 应为 &quot;%1&quot;</source>
        <translation>not a plant file: format must be &quot;%1&quot;</translation>
    </message>
    <message>
        <source>厂站</source>
        <translation>The plant</translation>
    </message>
    <message>
        <source>文件的格式版本 %1 比本工具能读的版本 %2 新，请用更新的工具打开</source>
        <translation>the file&apos;s format version %1 is newer than version %2 this tool reads: open it with a newer tool</translation>
    </message>
    <message>
        <source>格式版本 %1 无效（应为 %2）</source>
        <translation>format version %1 is not valid (must be %2)</translation>
    </message>
    <message>
        <source>数组</source>
        <translation>an array</translation>
    </message>
    <message>
        <source>%1 应为对象</source>
        <translation>%1 must be an object</translation>
    </message>
    <message>
        <source>文件不存在</source>
        <translation>the file does not exist</translation>
    </message>
    <message>
        <source>无法读取（%1）</source>
        <translation>cannot be read (%1)</translation>
    </message>
    <message>
        <source>无法保存（%1），原文件未改动</source>
        <translation>cannot be saved (%1); the old file is unchanged</translation>
    </message>
    <message>
        <source>对象</source>
        <translation>an object</translation>
    </message>
</context>
<context>
    <name>mp::CAuditLogDlg</name>
    <message>
        <source>审计日志 - %1</source>
        <translation>Audit log - %1</translation>
    </message>
    <message>
        <source>查找</source>
        <translation>Find</translation>
    </message>
    <message>
        <source>位号</source>
        <translation>Tag</translation>
    </message>
    <message>
        <source>操作</source>
        <translation>Operation</translation>
    </message>
    <message>
        <source>结果</source>
        <translation>Outcome</translation>
    </message>
    <message>
        <source>刷新</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <source>导出CSV...</source>
        <translation>Export CSV...</translation>
    </message>
    <message>
        <source>审计日志</source>
        <translation>Audit log</translation>
    </message>
    <message>
        <source>审计日志...</source>
        <translation>Audit log...</translation>
    </message>
    <message>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>用户</source>
        <translation>User</translation>
    </message>
    <message>
        <source>计算机</source>
        <translation>Computer</translation>
    </message>
    <message>
        <source>线路</source>
        <translation>Line</translation>
    </message>
    <message>
        <source>地址</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>前 → 后</source>
        <translation>Before → after</translation>
    </message>
    <message>
        <source>说明</source>
        <translation>Detail</translation>
    </message>
    <message>
        <source>全部</source>
        <translation>All</translation>
    </message>
    <message>
        <source>显示 %1 条，共 %2 条</source>
        <translation>%1 of %2 entries shown</translation>
    </message>
    <message>
        <source>；%1 行不完整（写入时中断），已跳过</source>
        <translation>; %1 incomplete lines (write interrupted) skipped</translation>
    </message>
    <message>
        <source>导出CSV</source>
        <translation>Export CSV</translation>
    </message>
    <message>
        <source>审计日志.csv</source>
        <translation>audit-log.csv</translation>
    </message>
    <message>
        <source>CSV 文件 (*.csv)</source>
        <translation>CSV files (*.csv)</translation>
    </message>
    <message>
        <source>无法写入文件 %1：%2</source>
        <translation>Cannot write the file %1: %2</translation>
    </message>
</context>
<context>
    <name>mp::CBackupDlg</name>
    <message>
        <source>备份全部定值</source>
        <translation>Back up all settings</translation>
    </message>
    <message>
        <source>文件夹</source>
        <translation>Folder</translation>
    </message>
    <message>
        <source>选择文件夹</source>
        <translation>Choose folder</translation>
    </message>
    <message>
        <source>请选择备份的文件夹。</source>
        <translation>Please choose the folder for the backup.</translation>
    </message>
    <message>
        <source>文件夹中已有 %1 个同名文件（%2），替换吗？</source>
        <translation>The folder already holds %1 files of the same name (%2). Replace them?</translation>
    </message>
    <message>
        <source>馈线</source>
        <translation>Feeder</translation>
    </message>
    <message>
        <source>线路</source>
        <translation>Line</translation>
    </message>
    <message>
        <source>地址</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>结果</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>文件或原因</source>
        <translation>File or reason</translation>
    </message>
</context>
<context>
    <name>mp::CBatchWrite</name>
    <message>
        <source>起动方式读回无应答，相位与起动组未发送</source>
        <translation>the start mode was not read back: the phase-and-start group was not sent</translation>
    </message>
    <message>
        <source>过压值超出 105–150，电压保护组未发送</source>
        <translation>over-voltage outside 105–150: the voltage group was not sent</translation>
    </message>
    <message>
        <source>已发送全部 6 组</source>
        <translation>all 6 groups sent</translation>
    </message>
    <message>
        <source>已发送 %1 组；%2</source>
        <translation>%1 groups sent; %2</translation>
    </message>
    <message>
        <source>等待</source>
        <translation>Waiting</translation>
    </message>
    <message>
        <source>无需写入</source>
        <translation>Unchanged</translation>
    </message>
    <message>
        <source>已确认</source>
        <translation>Confirmed</translation>
    </message>
    <message>
        <source>未确认</source>
        <translation>Not confirmed</translation>
    </message>
    <message>
        <source>拒绝</source>
        <translation>Refused</translation>
    </message>
    <message>
        <source>无应答</source>
        <translation>Not answering</translation>
    </message>
    <message>
        <source>已停止，未写入</source>
        <translation>Stopped, not written</translation>
    </message>
    <message>
        <source>投入</source>
        <translation>On</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Off</translation>
    </message>
    <message>
        <source>无定值来源（定值文件或模板）</source>
        <translation>No settings source (settings file or template)</translation>
    </message>
    <message>
        <source>请先预览</source>
        <translation>Preview first</translation>
    </message>
    <message>
        <source>读定值无应答，不写入</source>
        <translation>No reply to the settings read: not written</translation>
    </message>
    <message>
        <source>写前读定值无应答，未写入</source>
        <translation>No reply to the read before the write: not written</translation>
    </message>
    <message>
        <source>预览之后设备的定值已改变，未写入</source>
        <translation>The relay&apos;s settings changed since the preview: not written</translation>
    </message>
</context>
<context>
    <name>mp::CBatchWriteDlg</name>
    <message>
        <source>批量写入</source>
        <translation>Batch write</translation>
    </message>
    <message>
        <source>馈线与改变</source>
        <translation>Feeders and changes</translation>
    </message>
    <message>
        <source>位号</source>
        <translation>Tag</translation>
    </message>
    <message>
        <source>线路</source>
        <translation>Line</translation>
    </message>
    <message>
        <source>地址</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>定值来源</source>
        <translation>Settings source</translation>
    </message>
    <message>
        <source>结果</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>说明</source>
        <translation>Description</translation>
    </message>
    <message>
        <source>遇到失败即停止</source>
        <translation>Stop at the first failure</translation>
    </message>
    <message>
        <source>进度</source>
        <translation>Progress</translation>
    </message>
    <message>
        <source>预览</source>
        <translation>Preview</translation>
    </message>
    <message>
        <source>写入...</source>
        <translation>Write...</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>正在停止：当前仪表写完后结束。</source>
        <translation>Stopping: ends once the relay being written is done.</translation>
    </message>
    <message>
        <source>没有运行中的厂站：批量写入需要直接连接线路。</source>
        <translation>No plant running: a batch write needs a direct line.</translation>
    </message>
    <message>
        <source>无定值来源</source>
        <translation>No settings source</translation>
    </message>
    <message>
        <source>请先勾选要写入的馈线。</source>
        <translation>Tick the feeders to write first.</translation>
    </message>
    <message>
        <source>预览：%1 台仪表将改变 %2 项定值。</source>
        <translation>Preview: %1 relays will change %2 settings.</translation>
    </message>
    <message>
        <source>%1 %2 台</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>完成：%1。审计日志：%2</source>
        <translation>Done: %1. Audit log: %2</translation>
    </message>
    <message>
        <source>正在读各台仪表的定值...</source>
        <translation>Reading each relay&apos;s settings...</translation>
    </message>
    <message>
        <source>将按预览向 %1 台仪表写入定值，每台写后回读确认。确认写入吗?</source>
        <translation>Write the previewed settings to %1 relays, each read back to confirm. Write now?</translation>
    </message>
    <message>
        <source>未开始写入：%1</source>
        <translation>Not started: %1</translation>
    </message>
    <message>
        <source>正在写入...</source>
        <translation>Writing...</translation>
    </message>
    <message>
        <source>将改变 %1 项</source>
        <translation>%1 to change</translation>
    </message>
    <message>
        <source>批量写入进行中：请先停止，当前仪表写完后再关闭。</source>
        <translation>A batch write is running: stop it first, and close once the relay being written is done.</translation>
    </message>
    <message>
        <source>批量写入...</source>
        <translation>Batch write...</translation>
    </message>
    <message>
        <source>%1：%2 → %3</source>
        <translation>%1: %2 → %3</translation>
    </message>
</context>
<context>
    <name>mp::CBrokerDlg</name>
    <message>
        <source>连接到服务器</source>
        <translation>Connect to server</translation>
    </message>
    <message>
        <source>服务器</source>
        <translation>Server</translation>
    </message>
    <message>
        <source>端口</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>主题前缀</source>
        <translation>Topic prefix</translation>
    </message>
    <message>
        <source>用户名</source>
        <translation>User name</translation>
    </message>
    <message>
        <source>密码</source>
        <translation>Password</translation>
    </message>
    <message>
        <source>CA证书 (TLS)</source>
        <translation>CA certificate (TLS)</translation>
    </message>
    <message>
        <source>浏览...</source>
        <translation>Browse...</translation>
    </message>
    <message>
        <source>选择CA证书</source>
        <translation>Choose CA certificate</translation>
    </message>
    <message>
        <source>CA证书</source>
        <translation>CA certificate</translation>
    </message>
    <message>
        <source>证书 (*.pem *.crt);;所有文件 (*)</source>
        <translation>Certificates (*.pem *.crt);;All files (*)</translation>
    </message>
    <message>
        <source>服务器：请填写主机名或IP地址</source>
        <translation>Server: enter a host name or IP address</translation>
    </message>
    <message>
        <source>主题前缀：不能为空，不能含 + 或 #，不能以 / 开头</source>
        <translation>Topic prefix: must not be empty, contain + or #, or start with /</translation>
    </message>
    <message>
        <source>密码：没有用户名时不能给密码</source>
        <translation>Password: a password needs a user name</translation>
    </message>
    <message>
        <source>CA证书 (TLS)：文件 %1 无法读取</source>
        <translation>CA certificate (TLS): file %1 cannot be read</translation>
    </message>
</context>
<context>
    <name>mp::CCommParamChangeDlg</name>
    <message>
        <source>请输入一个整数。</source>
        <translation>Enter a whole number.</translation>
    </message>
    <message>
        <source>请输入1~247的整数</source>
        <translation>Please enter a whole number from 1 to 247</translation>
    </message>
    <message>
        <source>请选择波特率1200、2400、4800、9600或19200</source>
        <translation>Please choose a baud rate of 1200, 2400, 4800, 9600 or 19200</translation>
    </message>
</context>
<context>
    <name>mp::CCommSetupDlg</name>
    <message>
        <source>内置模拟设备</source>
        <translation>Simulator</translation>
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
    <name>mp::CCommandActions</name>
    <message>
        <source>起动方式的值不在列表中</source>
        <translation>The start mode is not one of the list</translation>
    </message>
    <message>
        <source>起动方式已设置</source>
        <translation>Start mode set</translation>
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
    <message>
        <source>打开厂站文件，显示厂站总览，而不是单台仪表。</source>
        <translation>Open a plant file and show the plant overview instead of one device.</translation>
    </message>
    <message>
        <source>--plant 不能与单台仪表的连接选项同时使用</source>
        <translation>--plant cannot be used with the options of a single device connection</translation>
    </message>
</context>
<context>
    <name>mp::CCompareDlg</name>
    <message>
        <source>全部比较</source>
        <translation>Compare all</translation>
    </message>
    <message>
        <source>导出CSV...</source>
        <translation>Export CSV...</translation>
    </message>
    <message>
        <source>一致 %1 台，不一致 %2 台，未能比较 %3 台</source>
        <translation>%1 equal, %2 different, %3 not compared</translation>
    </message>
    <message>
        <source>导出CSV</source>
        <translation>Export CSV</translation>
    </message>
    <message>
        <source>全部比较.csv</source>
        <translation>compare-all.csv</translation>
    </message>
    <message>
        <source>CSV 文件 (*.csv)</source>
        <translation>CSV files (*.csv)</translation>
    </message>
    <message>
        <source>无法写入文件 %1：%2</source>
        <translation>Cannot write the file %1: %2</translation>
    </message>
</context>
<context>
    <name>mp::CComparisonDlg</name>
    <message>
        <source>与设备比较</source>
        <translation>Compare with device</translation>
    </message>
    <message>
        <source>设备中的定值与%1一致。</source>
        <translation>The settings in the device are the same as in: %1.</translation>
    </message>
    <message>
        <source>有 %1 项定值与%2不同，已标为“不同”。</source>
        <translation>%1 settings differ from: %2. They are marked &quot;Differs&quot;.</translation>
    </message>
    <message>
        <source>定值比较</source>
        <translation>Settings comparison</translation>
    </message>
    <message>
        <source>定值</source>
        <translation>Setting</translation>
    </message>
    <message>
        <source>设备</source>
        <translation>Device</translation>
    </message>
    <message>
        <source>出厂值</source>
        <translation>Factory</translation>
    </message>
    <message>
        <source>比较</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>全选</source>
        <translation>Select all</translation>
    </message>
    <message>
        <source>不同</source>
        <translation>Differs</translation>
    </message>
    <message>
        <source>全部取设备值</source>
        <translation>Take all from device</translation>
    </message>
    <message>
        <source>全部取文件值</source>
        <translation>Take all from file</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>串口 %1，地址 %2，波特率 %3</source>
        <translation>serial port %1, address %2, baud rate %3</translation>
    </message>
    <message>
        <source>设备（%1）的定值刚刚读出。</source>
        <translation>Settings just read from the device (%1).</translation>
    </message>
    <message>
        <source>窗口</source>
        <translation>Window</translation>
    </message>
    <message>
        <source>文件 %1</source>
        <translation>File %1</translation>
    </message>
    <message>
        <source>定值文件：%1</source>
        <translation>Settings file: %1</translation>
    </message>
    <message>
        <source>该文件中没有写入记录。</source>
        <translation>The file holds no write records.</translation>
    </message>
    <message>
        <source>写入记录（共 %1 次，列出最近 %2 次）：</source>
        <translation>Write records (%1 in all, the last %2 listed):</translation>
    </message>
    <message>
        <source>写入记录：</source>
        <translation>Write records:</translation>
    </message>
    <message>
        <source>%1 写入 %2</source>
        <translation>%1 written to %2</translation>
    </message>
</context>
<context>
    <name>mp::CConnectionController</name>
    <message>
        <source>读实时数据...</source>
        <translation>Reading live data...</translation>
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
        <source>内置模拟设备</source>
        <translation>Simulator</translation>
    </message>
    <message>
        <source>%1  %2 波特 %3  地址 %4</source>
        <translation>%1  %2 baud, parity %3  address %4</translation>
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
        <source>串口 %1 未能打开</source>
        <translation>Port %1 could not be opened</translation>
    </message>
    <message>
        <source>串口未能改为 %1 波特：%2</source>
        <translation>The serial port could not be changed to %1 baud: %2</translation>
    </message>
    <message>
        <source>已连接到地址 %1，%2 波特</source>
        <translation>Connected to address %1, %2 baud</translation>
    </message>
    <message>
        <source>这台继电器与厂站线路上的其他继电器共用线路，不能在此更改波特率；请先在厂站中更改线路速率。</source>
        <translation>This relay shares its line with other relays of the plant: its baud rate cannot be changed here; change the line&apos;s rate in the plant first.</translation>
    </message>
</context>
<context>
    <name>mp::CDiagnostics</name>
    <message>
        <source>通讯诊断</source>
        <translation>Diagnostics</translation>
    </message>
    <message>
        <source>通讯监视...</source>
        <translation>Communication monitor...</translation>
    </message>
    <message>
        <source>搜索设备...</source>
        <translation>Find devices...</translation>
    </message>
</context>
<context>
    <name>mp::CEventRecordDlg</name>
    <message>
        <source>导出事件记录</source>
        <translation>Export alarm events</translation>
    </message>
    <message>
        <source>CSV 文件 (*.csv)</source>
        <translation>CSV files (*.csv)</translation>
    </message>
    <message>
        <source>事件记录-地址%1-%2.csv</source>
        <translation>alarm-events-address%1-%2.csv</translation>
    </message>
    <message>
        <source>事件记录未能导出到“%1”：%2</source>
        <translation>The alarm events could not be exported to &quot;%1&quot;: %2</translation>
    </message>
</context>
<context>
    <name>mp::CFeederRunDlg</name>
    <message>
        <source>请至少选择一条馈线。</source>
        <translation>Please choose at least one feeder.</translation>
    </message>
    <message>
        <source>馈线</source>
        <translation>Feeder</translation>
    </message>
    <message>
        <source>进度</source>
        <translation>Progress</translation>
    </message>
    <message>
        <source>开始</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>结果</source>
        <translation>Result</translation>
    </message>
</context>
<context>
    <name>mp::CFilesController</name>
    <message>
        <source>定值文件 (*.json);;所有文件 (*)</source>
        <translation>Settings files (*.json);;All files (*)</translation>
    </message>
    <message>
        <source>PDF 文件 (*.pdf)</source>
        <translation>PDF files (*.pdf)</translation>
    </message>
    <message>
        <source>文件</source>
        <translation>File</translation>
    </message>
    <message>
        <source>打开定值文件...</source>
        <translation>Open settings file...</translation>
    </message>
    <message>
        <source>保存定值文件...</source>
        <translation>Save settings file...</translation>
    </message>
    <message>
        <source>最近的定值文件</source>
        <translation>Recent settings files</translation>
    </message>
    <message>
        <source>与设备比较...</source>
        <translation>Compare with device...</translation>
    </message>
    <message>
        <source>生成调试报告...</source>
        <translation>Create commissioning report...</translation>
    </message>
    <message>
        <source>打印调试报告...</source>
        <translation>Print commissioning report...</translation>
    </message>
    <message>
        <source>（无）</source>
        <translation>(none)</translation>
    </message>
    <message>
        <source>打开定值文件</source>
        <translation>Open settings file</translation>
    </message>
    <message>
        <source>定值文件“%1”无法使用：%2。
窗口中的值没有改变。</source>
        <translation>The settings file &quot;%1&quot; cannot be used: %2.
The values in the window have not changed.</translation>
    </message>
    <message>
        <source>窗口中的定值不能保存：%1。
定值文件未保存。</source>
        <translation>The settings in the window cannot be saved: %1.
The settings file was not saved.</translation>
    </message>
    <message>
        <source>定值-地址%1.json</source>
        <translation>settings-address%1.json</translation>
    </message>
    <message>
        <source>保存定值文件</source>
        <translation>Save settings file</translation>
    </message>
    <message>
        <source>定值文件“%1”未能保存：%2</source>
        <translation>The settings file &quot;%1&quot; could not be saved: %2</translation>
    </message>
    <message>
        <source>定值文件“%1”中的定值已写入设备。
是否在该文件中记录这次写入（%2，%3）？</source>
        <translation>The settings of the file &quot;%1&quot; have been written to the device.
Record this write (%2, %3) in the file?</translation>
    </message>
    <message>
        <source>文件中的定值已不是写入的定值</source>
        <translation>the settings in the file are no longer those written</translation>
    </message>
    <message>
        <source>写入记录未能保存到定值文件“%1”：%2</source>
        <translation>The write record could not be saved to the settings file &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>串口 %1 未打开，无法读取设备的定值。</source>
        <translation>Serial port %1 is not open; the device&apos;s settings cannot be read.</translation>
    </message>
    <message>
        <source>设备没有应答，未能读到设备的定值，没有进行比较。</source>
        <translation>No reply from the device: its settings could not be read and nothing was compared.</translation>
    </message>
    <message>
        <source>调试报告-地址%1-%2.pdf</source>
        <translation>commissioning-report-address%1-%2.pdf</translation>
    </message>
    <message>
        <source>生成调试报告</source>
        <translation>Create commissioning report</translation>
    </message>
    <message>
        <source>调试报告未能保存到“%1”：%2</source>
        <translation>The commissioning report could not be saved to &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>调试报告已保存到“%1”。</source>
        <translation>The commissioning report was saved to &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>定值已写入设备，但设备的起动方式仍为“%1”，与定值文件“%2”中的“%3”不同（起动方式用“设置起动方式”单独设置），因此未记录这次写入。</source>
        <translation>The settings were written to the device, but its start mode is still &quot;%1&quot;, not &quot;%3&quot; as in the settings file &quot;%2&quot; (the start mode is set with &quot;Set start mode&quot;), so this write was not recorded.</translation>
    </message>
    <message>
        <source>串口 %1 未打开，无法读取设备，没有生成调试报告。</source>
        <translation>Serial port %1 is not open: the device cannot be read and no report was made.</translation>
    </message>
    <message>
        <source>正在读取设备（地址 %1）的定值、校准系数、事件记录、通信参数和实时数据...</source>
        <translation>Reading the settings, calibration coefficients, event records, communication parameters and live data of the device (address %1)...</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>打印调试报告</source>
        <translation>Print commissioning report</translation>
    </message>
    <message>
        <source>通信参数</source>
        <translation>communication parameters</translation>
    </message>
    <message>
        <source>定值</source>
        <translation>settings</translation>
    </message>
    <message>
        <source>校准系数</source>
        <translation>calibration coefficients</translation>
    </message>
    <message>
        <source>事件记录</source>
        <translation>event records</translation>
    </message>
    <message>
        <source>实时数据</source>
        <translation>live data</translation>
    </message>
    <message>
        <source>设备（%1）没有应答，未能读取设备的%2。
没有生成调试报告：报告只用生成时从设备读到的值。</source>
        <translation>The device (%1) did not answer: its %2 could not be read.
No report was made: a report holds only values read from the device when it is made.</translation>
    </message>
    <message>
        <source>备注（柜号、回路、电动机，可不填）：</source>
        <translation>Note (panel, feeder, motor; optional):</translation>
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
        <source>正在与设备通讯，请等当前操作完成后再试。</source>
        <translation>Talking to the device: try again when the present operation has finished.</translation>
    </message>
    <message>
        <source>请先输入调试密码</source>
        <translation>Enter the maintenance password first</translation>
    </message>
    <message>
        <source>串口 %1 未打开，无法与设备通信。</source>
        <translation>Serial port %1 is not open: cannot talk to the device.</translation>
    </message>
</context>
<context>
    <name>mp::CMonitorModel</name>
    <message>
        <source>收</source>
        <translation>Rx</translation>
    </message>
    <message>
        <source>发/收</source>
        <translation>Tx/Rx</translation>
    </message>
    <message>
        <source>发</source>
        <translation>Tx</translation>
    </message>
    <message>
        <source>正确</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>错误</source>
        <translation>Bad</translation>
    </message>
    <message>
        <source>时间(ms)</source>
        <translation>Time (ms)</translation>
    </message>
    <message>
        <source>方向</source>
        <translation>Dir</translation>
    </message>
    <message>
        <source>地址</source>
        <translation>Addr</translation>
    </message>
    <message>
        <source>功能码</source>
        <translation>Func</translation>
    </message>
    <message>
        <source>寄存器/线圈</source>
        <translation>Register/coil</translation>
    </message>
    <message>
        <source>长度</source>
        <translation>Length</translation>
    </message>
    <message>
        <source>CRC</source>
        <translation>CRC</translation>
    </message>
    <message>
        <source>应答(ms)</source>
        <translation>Reply (ms)</translation>
    </message>
    <message>
        <source>内容</source>
        <translation>Summary</translation>
    </message>
    <message>
        <source>丢弃: %1 字节</source>
        <translation>Dropped: %1 bytes</translation>
    </message>
    <message>
        <source>发送: %1</source>
        <translation>Sent: %1</translation>
    </message>
    <message>
        <source>发送: %1
接收: %2</source>
        <translation>Sent: %1
Received: %2</translation>
    </message>
    <message>
        <source>发送</source>
        <translation>Sent</translation>
    </message>
    <message>
        <source>接收</source>
        <translation>Received</translation>
    </message>
</context>
<context>
    <name>mp::CMonitorWindow</name>
    <message>
        <source>通讯监视</source>
        <translation>Communication monitor</translation>
    </message>
    <message>
        <source>显示:</source>
        <translation>Show:</translation>
    </message>
    <message>
        <source>全部</source>
        <translation>All</translation>
    </message>
    <message>
        <source>仅错误</source>
        <translation>Errors only</translation>
    </message>
    <message>
        <source>清除</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>计数清零</source>
        <translation>Reset counts</translation>
    </message>
    <message>
        <source>保存...</source>
        <translation>Save...</translation>
    </message>
    <message>
        <source>显示原始报文</source>
        <translation>Show raw frames</translation>
    </message>
    <message>
        <source>保留条数:</source>
        <translation>Keep rows:</translation>
    </message>
    <message>
        <source>通讯记录</source>
        <translation>Communication log</translation>
    </message>
    <message>
        <source>原始报文</source>
        <translation>Raw frames</translation>
    </message>
    <message>
        <source>继续</source>
        <translation>Resume</translation>
    </message>
    <message>
        <source>暂停</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>请求 %1, 正常应答 %2, 无应答 %3, CRC错误 %4, 异常应答 %5, 无效应答 %6, 丢弃多余字节 %7, 丢弃迟到应答 %8 字节</source>
        <translation>Requests %1, good replies %2, no reply %3, CRC errors %4, exception replies %5, invalid replies %6, stray bytes dropped %7, late reply bytes dropped %8</translation>
    </message>
    <message>
        <source>成功率: %1</source>
        <translation>Success rate: %1</translation>
    </message>
    <message>
        <source>保存通讯记录</source>
        <translation>Save communication log</translation>
    </message>
    <message>
        <source>通讯记录.csv</source>
        <translation>communication-log.csv</translation>
    </message>
    <message>
        <source>CSV 文件 (*.csv);;文本文件 (*.txt)</source>
        <translation>CSV files (*.csv);;Text files (*.txt)</translation>
    </message>
    <message>
        <source>无法保存通讯记录到 %1: %2</source>
        <translation>Cannot save the communication log to %1: %2</translation>
    </message>
</context>
<context>
    <name>mp::CMosquittoClient</name>
    <message>
        <source>无法建立MQTT客户端</source>
        <translation>Cannot create the MQTT client</translation>
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
    <message>
        <source>设定值已修改，但尚未写入设备。关闭窗口将丢弃这些修改，确定要关闭吗?</source>
        <translation>The settings have been changed but not written to the device. Closing the window discards these changes. Close anyway?</translation>
    </message>
</context>
<context>
    <name>mp::COverviewDlg</name>
    <message>
        <source>厂站总览</source>
        <translation>Plant overview</translation>
    </message>
    <message>
        <source>厂站</source>
        <translation>Plant</translation>
    </message>
    <message>
        <source>新建厂站...</source>
        <translation>New plant...</translation>
    </message>
    <message>
        <source>打开厂站...</source>
        <translation>Open plant...</translation>
    </message>
    <message>
        <source>保存厂站</source>
        <translation>Save plant</translation>
    </message>
    <message>
        <source>编辑厂站...</source>
        <translation>Edit plant...</translation>
    </message>
    <message>
        <source>最近的厂站</source>
        <translation>Recent plants</translation>
    </message>
    <message>
        <source>导出CSV...</source>
        <translation>Export CSV...</translation>
    </message>
    <message>
        <source>线路</source>
        <translation>Line</translation>
    </message>
    <message>
        <source>状态</source>
        <translation>State</translation>
    </message>
    <message>
        <source>全部</source>
        <translation>All</translation>
    </message>
    <message>
        <source>馈线</source>
        <translation>Feeders</translation>
    </message>
    <message>
        <source>厂站总览 - %1</source>
        <translation>Plant overview - %1</translation>
    </message>
    <message>
        <source>导出CSV</source>
        <translation>Export CSV</translation>
    </message>
    <message>
        <source>厂站总览.csv</source>
        <translation>plant-overview.csv</translation>
    </message>
    <message>
        <source>CSV 文件 (*.csv)</source>
        <translation>CSV files (*.csv)</translation>
    </message>
    <message>
        <source>无法写入文件 %1：%2</source>
        <translation>Cannot write the file %1: %2</translation>
    </message>
    <message>
        <source>连接到服务器...</source>
        <translation>Connect to server...</translation>
    </message>
</context>
<context>
    <name>mp::COverviewModel</name>
    <message>
        <source>应答</source>
        <translation>Answering</translation>
    </message>
    <message>
        <source>数据过时</source>
        <translation>Stale</translation>
    </message>
    <message>
        <source>无应答</source>
        <translation>Not answering</translation>
    </message>
    <message>
        <source>线路中断</source>
        <translation>Line lost</translation>
    </message>
    <message>
        <source>等待</source>
        <translation>Waiting</translation>
    </message>
    <message>
        <source>位号</source>
        <translation>Tag</translation>
    </message>
    <message>
        <source>说明</source>
        <translation>Description</translation>
    </message>
    <message>
        <source>线路</source>
        <translation>Line</translation>
    </message>
    <message>
        <source>地址</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>状态</source>
        <translation>State</translation>
    </message>
    <message>
        <source>Ia (A)</source>
        <translation>Ia (A)</translation>
    </message>
    <message>
        <source>Ib (A)</source>
        <translation>Ib (A)</translation>
    </message>
    <message>
        <source>Ic (A)</source>
        <translation>Ic (A)</translation>
    </message>
    <message>
        <source>Ia (%Ie)</source>
        <translation>Ia (%Ie)</translation>
    </message>
    <message>
        <source>Ib (%Ie)</source>
        <translation>Ib (%Ie)</translation>
    </message>
    <message>
        <source>Ic (%Ie)</source>
        <translation>Ic (%Ie)</translation>
    </message>
    <message>
        <source>Ua (V)</source>
        <translation>Ua (V)</translation>
    </message>
    <message>
        <source>Ub (V)</source>
        <translation>Ub (V)</translation>
    </message>
    <message>
        <source>Uc (V)</source>
        <translation>Uc (V)</translation>
    </message>
    <message>
        <source>DI1–DI8</source>
        <translation>DI1–DI8</translation>
    </message>
    <message>
        <source>输出 A B 复归</source>
        <translation>Outputs A B reset</translation>
    </message>
    <message>
        <source>状态字</source>
        <translation>Status word</translation>
    </message>
    <message>
        <source>数据时间</source>
        <translation>Age</translation>
    </message>
    <message>
        <source>%1 自 %2</source>
        <translation>%1 since %2</translation>
    </message>
    <message>
        <source>%1 s 前</source>
        <translation>%1 s ago</translation>
    </message>
    <message>
        <source>告警事件</source>
        <translation>Alarm events</translation>
    </message>
    <message>
        <source>%1：%2</source>
        <translation>%1: %2</translation>
    </message>
</context>
<context>
    <name>mp::CPlantBatch</name>
    <message>
        <source>备份全部定值...</source>
        <translation>Back up all settings...</translation>
    </message>
    <message>
        <source>全部比较...</source>
        <translation>Compare all...</translation>
    </message>
    <message>
        <source>没有直接连接线路的厂站：请先打开有馈线的厂站（从服务器监视的厂站不能备份或比较）。</source>
        <translation>No plant with its lines connected: open a plant with feeders first (a plant watched from a server cannot be backed up or compared).</translation>
    </message>
    <message>
        <source>定值备份</source>
        <translation>settings-backup</translation>
    </message>
</context>
<context>
    <name>mp::CPlantEditorDlg</name>
    <message>
        <source>厂站设置</source>
        <translation>Plant setup</translation>
    </message>
    <message>
        <source>厂站名称</source>
        <translation>Plant name</translation>
    </message>
    <message>
        <source>线路</source>
        <translation>Lines</translation>
    </message>
    <message>
        <source>馈线</source>
        <translation>Feeders</translation>
    </message>
    <message>
        <source>标识</source>
        <translation>Id</translation>
    </message>
    <message>
        <source>类型</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>串口</source>
        <translation>Serial port</translation>
    </message>
    <message>
        <source>波特率</source>
        <translation>Baud rate</translation>
    </message>
    <message>
        <source>校验</source>
        <translation>Parity</translation>
    </message>
    <message>
        <source>主机</source>
        <translation>Host</translation>
    </message>
    <message>
        <source>端口</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>帧格式</source>
        <translation>Framing</translation>
    </message>
    <message>
        <source>连接超时 (ms)</source>
        <translation>Connect timeout (ms)</translation>
    </message>
    <message>
        <source>位号</source>
        <translation>Tag</translation>
    </message>
    <message>
        <source>说明</source>
        <translation>Description</translation>
    </message>
    <message>
        <source>地址</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>定值文件</source>
        <translation>Settings file</translation>
    </message>
    <message>
        <source>额定电流 (A)</source>
        <translation>Rated current (A)</translation>
    </message>
    <message>
        <source>电流变比</source>
        <translation>CT ratio</translation>
    </message>
    <message>
        <source>额定电压 (V)</source>
        <translation>Rated voltage (V)</translation>
    </message>
    <message>
        <source>添加线路</source>
        <translation>Add line</translation>
    </message>
    <message>
        <source>删除线路</source>
        <translation>Remove line</translation>
    </message>
    <message>
        <source>扫描并加入...</source>
        <translation>Scan and add...</translation>
    </message>
    <message>
        <source>添加馈线</source>
        <translation>Add feeder</translation>
    </message>
    <message>
        <source>删除馈线</source>
        <translation>Remove feeder</translation>
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
        <source>以太网网关</source>
        <translation>Ethernet gateway</translation>
    </message>
    <message>
        <source>模拟设备</source>
        <translation>Simulated devices</translation>
    </message>
    <message>
        <source>请先填写线路的标识</source>
        <translation>Enter the line&apos;s id first</translation>
    </message>
    <message>
        <source>正在扫描线路 %1...</source>
        <translation>Scanning line %1...</translation>
    </message>
    <message>
        <source>线路 %1：找到 %2 台设备，加入 %3 条新馈线</source>
        <translation>Line %1: %2 devices found, %3 new feeders added</translation>
    </message>
    <message>
        <source>第 %1 条线路</source>
        <translation>line %1</translation>
    </message>
    <message>
        <source>线路 %1</source>
        <translation>Line %1</translation>
    </message>
    <message>
        <source>连接超时</source>
        <translation>connect timeout</translation>
    </message>
    <message>
        <source>%1 的%2 &quot;%3&quot; 不是整数</source>
        <translation>%1: %2 &quot;%3&quot; is not a whole number</translation>
    </message>
    <message>
        <source>第 %1 条馈线</source>
        <translation>feeder %1</translation>
    </message>
    <message>
        <source>馈线 %1</source>
        <translation>Feeder %1</translation>
    </message>
    <message>
        <source>%1 的地址 &quot;%2&quot; 不是整数</source>
        <translation>%1: address &quot;%2&quot; is not a whole number</translation>
    </message>
    <message>
        <source>额定电流</source>
        <translation>rated current</translation>
    </message>
    <message>
        <source>额定电压</source>
        <translation>rated voltage</translation>
    </message>
    <message>
        <source>%1 的%2 &quot;%3&quot; 不是数值</source>
        <translation>%1: %2 &quot;%3&quot; is not a number</translation>
    </message>
    <message>
        <source>厂站设置有误，请改正：
%1</source>
        <translation>The plant setup has faults; correct them:
%1</translation>
    </message>
    <message>
        <source>定值模板</source>
        <translation>Settings template</translation>
    </message>
</context>
<context>
    <name>mp::CPlantPublisher</name>
    <message>
        <source>已连接到MQTT服务器</source>
        <translation>Connected to the MQTT broker</translation>
    </message>
    <message>
        <source>MQTT服务器不在时丢弃了 %1 个实时数据和 %2 个事件</source>
        <translation>While the MQTT broker was away, %1 live samples and %2 events were dropped</translation>
    </message>
    <message>
        <source>与MQTT服务器的连接已断开</source>
        <translation>Connection to the MQTT broker lost</translation>
    </message>
    <message>
        <source>与MQTT服务器的连接已断开: %1</source>
        <translation>Connection to the MQTT broker lost: %1</translation>
    </message>
</context>
<context>
    <name>mp::CPlantService</name>
    <message>
        <source>服务已停止</source>
        <translation>Service stopped</translation>
    </message>
    <message>
        <source>线路 %1 已连通</source>
        <translation>Line %1 is up</translation>
    </message>
    <message>
        <source>线路 %1 中断: %2</source>
        <translation>Line %1 is down: %2</translation>
    </message>
    <message>
        <source>无法连接MQTT服务器 %1:%2: %3</source>
        <translation>Cannot connect to the MQTT broker %1:%2: %3</translation>
    </message>
    <message>
        <source>厂站 %1: %2 条线路，%3 台仪表；发布到 %4:%5，主题前缀 %6</source>
        <translation>Plant %1: %2 lines, %3 relays; publishing to %4:%5, topic prefix %6</translation>
    </message>
    <message>
        <source>馈线 %1 (地址 %2) 应答</source>
        <translation>Feeder %1 (address %2) answers</translation>
    </message>
    <message>
        <source>馈线 %1 (地址 %2) 无应答</source>
        <translation>Feeder %1 (address %2) does not answer</translation>
    </message>
</context>
<context>
    <name>mp::CPlantWindows</name>
    <message>
        <source>模拟线路 %1</source>
        <translation>Simulated line %1</translation>
    </message>
    <message>
        <source>%1：正常</source>
        <translation>%1: OK</translation>
    </message>
    <message>
        <source>%1：%2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>%1 - %2</source>
        <translation>%1 - %2</translation>
    </message>
    <message>
        <source>保存厂站</source>
        <translation>Save plant</translation>
    </message>
    <message>
        <source>厂站.json</source>
        <translation>plant.json</translation>
    </message>
    <message>
        <source>厂站文件 (*.json)</source>
        <translation>Plant files (*.json)</translation>
    </message>
    <message>
        <source>打开厂站</source>
        <translation>Open plant</translation>
    </message>
    <message>
        <source>线路 %1 尚未打开：请先确定并保存厂站。</source>
        <translation>Line %1 is not open yet: confirm and save the plant first.</translation>
    </message>
    <message>
        <source>厂站</source>
        <translation>Plant</translation>
    </message>
    <message>
        <source>厂站总览...</source>
        <translation>Plant overview...</translation>
    </message>
    <message>
        <source>新建厂站...</source>
        <translation>New plant...</translation>
    </message>
    <message>
        <source>打开厂站...</source>
        <translation>Open plant...</translation>
    </message>
    <message>
        <source>从服务器监视的厂站是只读的：写入和命令需要直接连接线路。</source>
        <translation>A plant watched from a server is read-only: writes and commands need a direct line.</translation>
    </message>
    <message>
        <source>厂站总览 - 服务器 %1:%2</source>
        <translation>Plant overview - server %1:%2</translation>
    </message>
    <message>
        <source>无法连接服务器 %1:%2：%3</source>
        <translation>Cannot connect to server %1:%2: %3</translation>
    </message>
    <message>
        <source>%1（服务器）</source>
        <translation>%1 (server)</translation>
    </message>
</context>
<context>
    <name>mp::CPollingActions</name>
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
        <source>%1%2</source>
        <translation>%1%2</translation>
    </message>
</context>
<context>
    <name>mp::CRemotePlant</name>
    <message>
        <source>服务器 %1：已连接</source>
        <translation>Server %1: connected</translation>
    </message>
    <message>
        <source>服务器 %1：连接中</source>
        <translation>Server %1: connecting</translation>
    </message>
    <message>
        <source>服务器 %1：连接中断（%2），重试中</source>
        <translation>Server %1: connection lost (%2), retrying</translation>
    </message>
    <message>
        <source>；服务在线</source>
        <translation>; service online</translation>
    </message>
    <message>
        <source>；服务离线 自 %1</source>
        <translation>; service offline since %1</translation>
    </message>
    <message>
        <source>；等待服务的厂站</source>
        <translation>; waiting for the service&apos;s plant</translation>
    </message>
    <message>
        <source>；只读：写入和命令需要直接连接线路</source>
        <translation>; read-only: writes and commands need a direct line</translation>
    </message>
</context>
<context>
    <name>mp::CScanDlg</name>
    <message>
        <source>搜索设备</source>
        <translation>Find devices</translation>
    </message>
    <message>
        <source>起始地址</source>
        <translation>First address</translation>
    </message>
    <message>
        <source>结束地址</source>
        <translation>Last address</translation>
    </message>
    <message>
        <source>波特率</source>
        <translation>Baud rate</translation>
    </message>
    <message>
        <source>校验</source>
        <translation>Parity</translation>
    </message>
    <message>
        <source>应答余量</source>
        <translation>Reply margin</translation>
    </message>
    <message>
        <source>预计用时</source>
        <translation>Estimated time</translation>
    </message>
    <message>
        <source>全部</source>
        <translation>All</translation>
    </message>
    <message>
        <source>搜索进度</source>
        <translation>Search progress</translation>
    </message>
    <message>
        <source>找到的设备</source>
        <translation>Devices found</translation>
    </message>
    <message>
        <source>地址</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>设备存储地址</source>
        <translation>Stored address</translation>
    </message>
    <message>
        <source>波特率代码</source>
        <translation>Baud code</translation>
    </message>
    <message>
        <source>开始搜索</source>
        <translation>Start search</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>连接</source>
        <translation>Connect</translation>
    </message>
    <message>
        <source>导出CSV...</source>
        <translation>Export CSV...</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>正在搜索...</source>
        <translation>Searching...</translation>
    </message>
    <message>
        <source>搜索完成, 找到 %1 台设备, 用时 %2 秒.</source>
        <translation>Search complete: %1 device(s) found in %2 s.</translation>
    </message>
    <message>
        <source>搜索已停止, 找到 %1 台设备, 用时 %2 秒.</source>
        <translation>Search stopped: %1 device(s) found in %2 s.</translation>
    </message>
    <message>
        <source>串口无法改为所选的波特率或校验, 搜索中止.</source>
        <translation>The serial port cannot be set to the chosen baud rate or parity; search aborted.</translation>
    </message>
    <message>
        <source>约 %1 秒 (%2 次读取)</source>
        <translation>About %1 s (%2 reads)</translation>
    </message>
    <message>
        <source>导出设备列表</source>
        <translation>Export device list</translation>
    </message>
    <message>
        <source>设备列表.csv</source>
        <translation>device-list.csv</translation>
    </message>
    <message>
        <source>CSV 文件 (*.csv)</source>
        <translation>CSV files (*.csv)</translation>
    </message>
    <message>
        <source>无法导出设备列表到 %1: %2</source>
        <translation>Cannot export the device list to %1: %2</translation>
    </message>
    <message>
        <source>正在连接地址 %1，%2 波特，%3...</source>
        <translation>Connecting to address %1, %2 baud, %3...</translation>
    </message>
    <message>
        <source>已连接到地址 %1，%2 波特，%3</source>
        <translation>Connected to address %1, %2 baud, %3</translation>
    </message>
    <message>
        <source>未能连接到地址 %1，%2 波特，%3</source>
        <translation>Could not connect to address %1, %2 baud, %3</translation>
    </message>
</context>
<context>
    <name>mp::CServiceOptions</name>
    <message>
        <source>第 %1 行不是 &quot;键 = 值&quot;</source>
        <translation>line %1 is not &quot;key = value&quot;</translation>
    </message>
    <message>
        <source>要运行的厂站文件（必需）。</source>
        <translation>The plant file to run (required).</translation>
    </message>
    <message>
        <source>MQTT服务器，默认 127.0.0.1:1883（TLS 时 8883）。</source>
        <translation>The MQTT broker, default 127.0.0.1:1883 (8883 with TLS).</translation>
    </message>
    <message>
        <source>MQTT客户端标识，会话按它保留；默认 motor-protector-&lt;主机名&gt;。</source>
        <translation>The MQTT client id the session is kept under; default motor-protector-&lt;host name&gt;.</translation>
    </message>
    <message>
        <source>MQTT用户名。</source>
        <translation>The MQTT user name.</translation>
    </message>
    <message>
        <source>MQTT密码。</source>
        <translation>The MQTT password.</translation>
    </message>
    <message>
        <source>含MQTT密码的文件（第一行）。</source>
        <translation>A file holding the MQTT password (first line).</translation>
    </message>
    <message>
        <source>检验服务器证书的CA证书文件；给出则使用TLS。</source>
        <translation>The CA certificate that checks the broker&apos;s certificate; given, TLS is used.</translation>
    </message>
    <message>
        <source>本客户端的证书文件（TLS）。</source>
        <translation>This client&apos;s certificate (TLS).</translation>
    </message>
    <message>
        <source>本客户端证书的私钥文件（TLS）。</source>
        <translation>The private key of this client&apos;s certificate (TLS).</translation>
    </message>
    <message>
        <source>主题前缀，默认 motor-protector。</source>
        <translation>The topic prefix, default motor-protector.</translation>
    </message>
    <message>
        <source>同一馈线实时数据的最短发布间隔，默认 1000。</source>
        <translation>Least interval between a feeder&apos;s live messages, default 1000.</translation>
    </message>
    <message>
        <source>同一馈线实时数据的最长发布间隔，默认 30000。</source>
        <translation>Longest interval between a feeder&apos;s live messages, default 30000.</translation>
    </message>
    <message>
        <source>重新读取定值的间隔，默认 600；0 只在首次联系时读取。</source>
        <translation>How often the settings are read again, default 600; 0 only at first contact.</translation>
    </message>
    <message>
        <source>服务器不在时最多保留的事件数，默认 20000。</source>
        <translation>Events kept at most while the broker is away, default 20000.</translation>
    </message>
    <message>
        <source>服务器不在时最多保留的实时数据数，默认 5000。</source>
        <translation>Live samples kept at most while the broker is away, default 5000.</translation>
    </message>
    <message>
        <source>智能马达保护控制器的厂站服务：轮询厂站文件中的线路，并发布到MQTT服务器。</source>
        <translation>Plant service of the intelligent motor protection controller: polls the lines of a plant file and publishes to an MQTT broker.</translation>
    </message>
    <message>
        <source>配置文件（键 = 值，键为选项的长名）。</source>
        <translation>Configuration file (key = value, the keys being the options&apos; long names).</translation>
    </message>
    <message>
        <source>配置文件 %1: %2</source>
        <translation>Configuration file %1: %2</translation>
    </message>
    <message>
        <source>配置文件 %1: 未知的键 &quot;%2&quot;</source>
        <translation>Configuration file %1: unknown key &quot;%2&quot;</translation>
    </message>
    <message>
        <source>配置文件中的 %1</source>
        <translation>%1 in the configuration file</translation>
    </message>
    <message>
        <source>选项 --%1 只能给一次</source>
        <translation>Option --%1 may be given only once</translation>
    </message>
    <message>
        <source>缺少厂站文件：请给出 --plant</source>
        <translation>No plant file: give --plant</translation>
    </message>
    <message>
        <source>%1 &quot;%2&quot; 不是可读的文件</source>
        <translation>%1 &quot;%2&quot; is not a readable file</translation>
    </message>
    <message>
        <source>客户端证书需要 --ca、--cert 和 --key 一起给出</source>
        <translation>A client certificate needs --ca, --cert and --key together</translation>
    </message>
    <message>
        <source>%1 &quot;%2&quot; 不是 主机:端口（端口 1–65535）</source>
        <translation>%1 &quot;%2&quot; is not host:port (port 1–65535)</translation>
    </message>
    <message>
        <source>%1 太长</source>
        <translation>%1 is too long</translation>
    </message>
    <message>
        <source>%1 &quot;%2&quot;: %3</source>
        <translation>%1 &quot;%2&quot;: %3</translation>
    </message>
    <message>
        <source>给了密码却没有 --user</source>
        <translation>A password was given without --user</translation>
    </message>
    <message>
        <source>%1 &quot;%2&quot; 不能作主题前缀（不能为空，不能含 + 或 #，不能以 / 开头）</source>
        <translation>%1 &quot;%2&quot; cannot be a topic prefix (not empty, no + or #, not starting with /)</translation>
    </message>
    <message>
        <source>%1 &quot;%2&quot; 应为 %3 至 %4 的整数</source>
        <translation>%1 &quot;%2&quot; must be a whole number from %3 to %4</translation>
    </message>
    <message>
        <source>--max-interval-ms 不能小于 --min-interval-ms</source>
        <translation>--max-interval-ms must not be less than --min-interval-ms</translation>
    </message>
</context>
<context>
    <name>mp::CSettingsActions</name>
    <message>
        <source>写数据参数值已取消</source>
        <translation>Writing the settings was cancelled</translation>
    </message>
</context>
<context>
    <name>mp::CSettingsFile</name>
    <message>
        <source>文件不存在</source>
        <translation>the file does not exist</translation>
    </message>
    <message>
        <source>文件过大，不是定值文件</source>
        <translation>the file is too large to be a settings file</translation>
    </message>
    <message>
        <source>无法读取（%1）</source>
        <translation>it cannot be read (%1)</translation>
    </message>
    <message>
        <source>不是 JSON 文件（第 %1 个字节处：%2）</source>
        <translation>it is not a JSON file (at byte %1: %2)</translation>
    </message>
    <message>
        <source>不是定值文件：内容不是 JSON 对象</source>
        <translation>it is not a settings file: the content is not a JSON object</translation>
    </message>
    <message>
        <source>不是定值文件：缺少 &quot;format&quot;: &quot;%1&quot;</source>
        <translation>it is not a settings file: &quot;format&quot;: &quot;%1&quot; is missing</translation>
    </message>
    <message>
        <source>格式版本（formatVersion）缺失或不是正整数</source>
        <translation>the format version (formatVersion) is missing or not a positive whole number</translation>
    </message>
    <message>
        <source>文件的格式版本 %1 比本工具能读的版本 %2 新，请用更新的工具打开</source>
        <translation>the file&apos;s format version %1 is newer than version %2 that this tool reads; open it with a newer tool</translation>
    </message>
    <message>
        <source>缺少定值（settings）</source>
        <translation>the settings (settings) are missing</translation>
    </message>
    <message>
        <source>缺少定值“%1”（settings.%2）</source>
        <translation>the setting &quot;%1&quot; (settings.%2) is missing</translation>
    </message>
    <message>
        <source>定值“%1”（settings.%2）应为文本</source>
        <translation>the setting &quot;%1&quot; (settings.%2) must be a text</translation>
    </message>
    <message>
        <source>缺少保护投退（protections）</source>
        <translation>the protection switches (protections) are missing</translation>
    </message>
    <message>
        <source>保护投退“%1”（protections.%2）应为 true 或 false</source>
        <translation>the protection switch &quot;%1&quot; (protections.%2) must be true or false</translation>
    </message>
</context>
<context>
    <name>mp::CStandardDialogs</name>
    <message>
        <source>马达保护控制器</source>
        <translation>Motor protection controller</translation>
    </message>
</context>
<context>
    <name>mp::CStandardFileWindows</name>
    <message>
        <source>打印调试报告</source>
        <translation>Print commissioning report</translation>
    </message>
</context>
<context>
    <name>mp::CStartsController</name>
    <message>
        <source>起动记录...</source>
        <translation>Start records...</translation>
    </message>
    <message>
        <source>
起动记录未能保存到 %1 (%2); 以前的起动记录不受影响。</source>
        <translation>
The start record could not be saved in %1 (%2); the start records kept before are not affected.</translation>
    </message>
    <message>
        <source>
已存入起动记录 (共 %1 次)。</source>
        <translation>
Kept in the start records (%1 starts).</translation>
    </message>
    <message>
        <source>以下文件不是可读的起动记录, 未列出: %1</source>
        <translation>These files are not readable start records and are not listed: %1</translation>
    </message>
    <message>
        <source>曲线中还没有数据。</source>
        <translation>The trend holds no data yet.</translation>
    </message>
    <message>
        <source>曲线-%1</source>
        <translation>trend-%1</translation>
    </message>
    <message>
        <source>起动-%1</source>
        <translation>start-%1</translation>
    </message>
    <message>
        <source>导出 COMTRADE</source>
        <translation>Export COMTRADE</translation>
    </message>
    <message>
        <source>COMTRADE 配置文件 (*.cfg)</source>
        <translation>COMTRADE configuration files (*.cfg)</translation>
    </message>
    <message>
        <source>COMTRADE 文件未能写入 %1 (%2)。</source>
        <translation>The COMTRADE files could not be written to %1 (%2).</translation>
    </message>
    <message>
        <source>已导出 %1 个采样到 %2 和 .dat 文件。</source>
        <translation>Exported %1 samples to %2 and its .dat file.</translation>
    </message>
    <message>
        <source>曲线, ASCII...</source>
        <translation>Trend, ASCII...</translation>
    </message>
    <message>
        <source>曲线, 二进制...</source>
        <translation>Trend, binary...</translation>
    </message>
    <message>
        <source>CSV 记录文件, ASCII...</source>
        <translation>CSV recording, ASCII...</translation>
    </message>
    <message>
        <source>CSV 记录文件, 二进制...</source>
        <translation>CSV recording, binary...</translation>
    </message>
    <message>
        <source>选择记录文件</source>
        <translation>Choose a recording</translation>
    </message>
    <message>
        <source>CSV 文件 (*.csv)</source>
        <translation>CSV files (*.csv)</translation>
    </message>
    <message>
        <source>%1 无法转换 (%2)。</source>
        <translation>%1 cannot be converted (%2).</translation>
    </message>
    <message>
        <source>文件中没有采样</source>
        <translation>the file holds no samples</translation>
    </message>
</context>
<context>
    <name>mp::CStartsWindow</name>
    <message>
        <source>请选择一次起动导出。</source>
        <translation>Select one start to export.</translation>
    </message>
    <message>
        <source>起动记录</source>
        <translation>Start records</translation>
    </message>
    <message>
        <source>基准</source>
        <translation>Baseline</translation>
    </message>
    <message>
        <source>起动时间</source>
        <translation>Start time</translation>
    </message>
    <message>
        <source>峰值电流 (A)</source>
        <translation>Peak current (A)</translation>
    </message>
    <message>
        <source>起动用时 (s)</source>
        <translation>Acceleration time (s)</translation>
    </message>
    <message>
        <source>电压跌落 (%)</source>
        <translation>Voltage dip (%)</translation>
    </message>
    <message>
        <source>保护判断</source>
        <translation>Protection verdict</translation>
    </message>
    <message>
        <source>相对基准</source>
        <translation>Against baseline</translation>
    </message>
    <message>
        <source>设为基准</source>
        <translation>Set as baseline</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>比较</source>
        <translation>Compare</translation>
    </message>
    <message>
        <source>ASCII</source>
        <translation>ASCII</translation>
    </message>
    <message>
        <source>二进制</source>
        <translation>Binary</translation>
    </message>
    <message>
        <source>导出 COMTRADE...</source>
        <translation>Export COMTRADE...</translation>
    </message>
    <message>
        <source>保存位置: %1</source>
        <translation>Kept in: %1</translation>
    </message>
    <message>
        <source>最大相电流, 从起动时刻起</source>
        <translation>Highest phase current from the start</translation>
    </message>
    <message>
        <source>未降到 1.2 倍</source>
        <translation>not below 1.2 ×</translation>
    </message>
    <message>
        <source>启动超时会动作</source>
        <translation>start timeout would trip</translation>
    </message>
    <message>
        <source>堵转会动作</source>
        <translation>locked rotor would trip</translation>
    </message>
    <message>
        <source>不动作</source>
        <translation>no trip</translation>
    </message>
    <message>
        <source>请选择一次起动作为基准。</source>
        <translation>Select one start as the baseline.</translation>
    </message>
    <message>
        <source>基准未能保存 (%1)。</source>
        <translation>The baseline could not be saved (%1).</translation>
    </message>
    <message>
        <source>删除所选的 %1 次起动记录?</source>
        <translation>Delete the %1 selected start records?</translation>
    </message>
    <message>
        <source>起动记录未能删除 (%1)。</source>
        <translation>The start record could not be deleted (%1).</translation>
    </message>
    <message>
        <source>请选择两次或更多起动进行比较。</source>
        <translation>Select two or more starts to compare.</translation>
    </message>
    <message>
        <source>%1 %</source>
        <translation>%1 %</translation>
    </message>
    <message>
        <source>%1 s</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>%1 个百分点</source>
        <translation>%1 points</translation>
    </message>
    <message>
        <source>起动后时间 (s)</source>
        <translation>Time after the start (s)</translation>
    </message>
    <message>
        <source>电流 (A)</source>
        <translation>Current (A)</translation>
    </message>
    <message>
        <source>%1 (基准)</source>
        <translation>%1 (baseline)</translation>
    </message>
</context>
<context>
    <name>mp::CTrendController</name>
    <message>
        <source>曲线</source>
        <translation>Trend</translation>
    </message>
    <message>
        <source>实时曲线</source>
        <translation>Live trend</translation>
    </message>
    <message>
        <source>开始记录...</source>
        <translation>Start recording...</translation>
    </message>
    <message>
        <source>停止记录</source>
        <translation>Stop recording</translation>
    </message>
    <message>
        <source>快速刷新</source>
        <translation>Fast refresh</translation>
    </message>
    <message>
        <source>起动录波</source>
        <translation>Start capture</translation>
    </message>
    <message>
        <source>起动录波已准备: 等待任一相电流超过 %1 A</source>
        <translation>Start capture armed: waiting for a phase current above %1 A</translation>
    </message>
    <message>
        <source>记录已停止: 写入 %1 失败 (%2)。读取照常进行。</source>
        <translation>Recording stopped: writing %1 failed (%2). Reading goes on as usual.</translation>
    </message>
    <message>
        <source>起动录波需要额定电流: 请先填写或读出额定电流。</source>
        <translation>Start capture needs the rated current: enter it or read it from the device first.</translation>
    </message>
    <message>
        <source>起动录波-%1.csv</source>
        <translation>start-capture-%1.csv</translation>
    </message>
    <message>
        <source>保存起动录波</source>
        <translation>Save start capture</translation>
    </message>
    <message>
        <source>CSV 文件 (*.csv)</source>
        <translation>CSV files (*.csv)</translation>
    </message>
    <message>
        <source>
录波已保存到 %1。</source>
        <translation>
The capture was saved to %1.</translation>
    </message>
    <message>
        <source>
录波未能保存到 %1 (%2)。</source>
        <translation>
The capture could not be saved to %1 (%2).</translation>
    </message>
    <message>
        <source>起动于 %1, 峰值电流 %2 A (额定电流的 %3 倍)。</source>
        <translation>Start at %1, peak current %2 A (%3 × rated current).</translation>
    </message>
    <message>
        <source>
电流降到 1.2 倍额定电流以下用时 %1 s。</source>
        <translation>
The current fell below 1.2 × rated current after %1 s.</translation>
    </message>
    <message>
        <source>
录波期间电流没有降到 1.2 倍额定电流以下。</source>
        <translation>
The current did not fall below 1.2 × rated current during the capture.</translation>
    </message>
    <message>
        <source>
按所示定值, 启动超时保护会动作 (启动时间 %1 s)。</source>
        <translation>
With the settings shown, the start timeout protection would trip (start time %1 s).</translation>
    </message>
    <message>
        <source>
按所示定值, 启动超时保护不会动作 (启动时间 %1 s)。</source>
        <translation>
With the settings shown, the start timeout protection would not trip (start time %1 s).</translation>
    </message>
    <message>
        <source>
按所示定值, 堵转保护会动作 (%1 倍额定电流持续 %2 s, 超过动作时间 %3 s)。</source>
        <translation>
With the settings shown, the locked rotor protection would trip (%1 × rated current for %2 s, longer than the trip time %3 s).</translation>
    </message>
    <message>
        <source>
按所示定值, 堵转保护不会动作 (%1 倍额定电流, 动作时间 %2 s)。</source>
        <translation>
With the settings shown, the locked rotor protection would not trip (%1 × rated current, trip time %2 s).</translation>
    </message>
    <message>
        <source>记录-%1.csv</source>
        <translation>recording-%1.csv</translation>
    </message>
    <message>
        <source>开始记录</source>
        <translation>Start recording</translation>
    </message>
    <message>
        <source>无法记录到 %1 (%2)。</source>
        <translation>Cannot record to %1 (%2).</translation>
    </message>
    <message>
        <source>记录中：%1（%2）</source>
        <translation>Recording: %1 (%2)</translation>
    </message>
    <message>
        <source>%1 字节</source>
        <translation>%1 bytes</translation>
    </message>
    <message>
        <source>%1 KB</source>
        <translation>%1 KB</translation>
    </message>
    <message>
        <source>%1 MB</source>
        <translation>%1 MB</translation>
    </message>
</context>
<context>
    <name>mp::CTrendWindow</name>
    <message>
        <source>实时曲线</source>
        <translation>Live trend</translation>
    </message>
    <message>
        <source>时间范围</source>
        <translation>Time range</translation>
    </message>
    <message>
        <source>最近1分钟</source>
        <translation>Last 1 min</translation>
    </message>
    <message>
        <source>最近5分钟</source>
        <translation>Last 5 min</translation>
    </message>
    <message>
        <source>最近30分钟</source>
        <translation>Last 30 min</translation>
    </message>
    <message>
        <source>全部</source>
        <translation>All</translation>
    </message>
    <message>
        <source>继续</source>
        <translation>Resume</translation>
    </message>
    <message>
        <source>暂停</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>复位缩放</source>
        <translation>Reset zoom</translation>
    </message>
    <message>
        <source>导出图片...</source>
        <translation>Export picture...</translation>
    </message>
    <message>
        <source>A相</source>
        <translation>Phase A</translation>
    </message>
    <message>
        <source>B相</source>
        <translation>Phase B</translation>
    </message>
    <message>
        <source>C相</source>
        <translation>Phase C</translation>
    </message>
    <message>
        <source>相电流</source>
        <translation>Phase currents</translation>
    </message>
    <message>
        <source>相电压</source>
        <translation>Phase voltages</translation>
    </message>
    <message>
        <source>电流 (A)</source>
        <translation>Current (A)</translation>
    </message>
    <message>
        <source>电压 (V)</source>
        <translation>Voltage (V)</translation>
    </message>
    <message>
        <source>额定电流</source>
        <translation>Rated current</translation>
    </message>
    <message>
        <source>堵转电流</source>
        <translation>Locked rotor current</translation>
    </message>
    <message>
        <source>起动</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>启动时间</source>
        <translation>Start time</translation>
    </message>
    <message>
        <source>将鼠标移到曲线上查看数值</source>
        <translation>Move the mouse over the curves to see their values</translation>
    </message>
    <message>
        <source>%1  A相电流 %2 A  B相电流 %3 A  C相电流 %4 A  A相电压 %5 V  B相电压 %6 V  C相电压 %7 V</source>
        <translation>%1  Ia %2 A  Ib %3 A  Ic %4 A  Ua %5 V  Ub %6 V  Uc %7 V</translation>
    </message>
    <message>
        <source>实时曲线-%1.png</source>
        <translation>live-trend-%1.png</translation>
    </message>
    <message>
        <source>导出图片</source>
        <translation>Export picture</translation>
    </message>
    <message>
        <source>PNG 图片 (*.png)</source>
        <translation>PNG pictures (*.png)</translation>
    </message>
    <message>
        <source>图片未能保存到 %1。</source>
        <translation>The picture could not be saved to %1.</translation>
    </message>
</context>
<context>
    <name>mp::CommissioningReport</name>
    <message>
        <source>智能马达保护控制器调试报告</source>
        <translation>Intelligent Motor Protector Commissioning Report</translation>
    </message>
    <message>
        <source>合</source>
        <translation>Closed</translation>
    </message>
    <message>
        <source>分</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>未知</source>
        <translation>Unknown</translation>
    </message>
    <message>
        <source>定值</source>
        <translation>Setting</translation>
    </message>
    <message>
        <source>值</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>单位</source>
        <translation>Unit</translation>
    </message>
    <message>
        <source>保护投退</source>
        <translation>Protections on/off</translation>
    </message>
    <message>
        <source>保护</source>
        <translation>Protection</translation>
    </message>
    <message>
        <source>状态</source>
        <translation>State</translation>
    </message>
    <message>
        <source>校准系数</source>
        <translation>Calibration coefficients</translation>
    </message>
    <message>
        <source>A/AB相</source>
        <translation>Phase A/AB</translation>
    </message>
    <message>
        <source>B/BC相</source>
        <translation>Phase B/BC</translation>
    </message>
    <message>
        <source>C/CA相</source>
        <translation>Phase C/CA</translation>
    </message>
    <message>
        <source>设备中存储的值（相的 a 系数保留四位小数，b 系数为设备存储的整数）。</source>
        <translation>Values as stored in the device (a phase&apos;s a to four places, b as the whole number the device stores).</translation>
    </message>
    <message>
        <source>行</source>
        <translation>Row</translation>
    </message>
    <message>
        <source>a系数</source>
        <translation>a coefficient</translation>
    </message>
    <message>
        <source>b系数</source>
        <translation>b coefficient</translation>
    </message>
    <message>
        <source>事件记录</source>
        <translation>Event records</translation>
    </message>
    <message>
        <source>序号</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>代码</source>
        <translation>Code</translation>
    </message>
    <message>
        <source>A相电流</source>
        <translation>Phase A current</translation>
    </message>
    <message>
        <source>B相电流</source>
        <translation>Phase B current</translation>
    </message>
    <message>
        <source>C相电流</source>
        <translation>Phase C current</translation>
    </message>
    <message>
        <source>A相电压</source>
        <translation>Phase A voltage</translation>
    </message>
    <message>
        <source>B相电压</source>
        <translation>Phase B voltage</translation>
    </message>
    <message>
        <source>C相电压</source>
        <translation>Phase C voltage</translation>
    </message>
    <message>
        <source>状态量输入</source>
        <translation>Status inputs</translation>
    </message>
    <message>
        <source>，</source>
        <translation>, </translation>
    </message>
    <message>
        <source>输出A</source>
        <translation>Output A</translation>
    </message>
    <message>
        <source>输出B</source>
        <translation>Output B</translation>
    </message>
    <message>
        <source>复归</source>
        <translation>Reset</translation>
    </message>
    <message>
        <source>控制量输出</source>
        <translation>Control outputs</translation>
    </message>
    <message>
        <source>量</source>
        <translation>Quantity</translation>
    </message>
    <message>
        <source>日期</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>串口</source>
        <translation>Serial port</translation>
    </message>
    <message>
        <source>设备地址</source>
        <translation>Device address</translation>
    </message>
    <message>
        <source>波特率</source>
        <translation>Baud rate</translation>
    </message>
    <message>
        <source>备注</source>
        <translation>Note</translation>
    </message>
    <message>
        <source>项目</source>
        <translation>Item</translation>
    </message>
    <message>
        <source>马达保护控制器配置工具</source>
        <translation>Motor protector configuration tool</translation>
    </message>
    <message>
        <source>代码不在列表中</source>
        <translation>code not in the list</translation>
    </message>
    <message>
        <source>校验</source>
        <translation>Parity</translation>
    </message>
    <message>
        <source>设备中存储的通信参数</source>
        <translation>Communication parameters stored in the device</translation>
    </message>
    <message>
        <source>地址 %1，波特率 %2</source>
        <translation>address %1, baud rate %2</translation>
    </message>
    <message>
        <source>读取设备的时间</source>
        <translation>Device read at</translation>
    </message>
    <message>
        <source>报告生成时间</source>
        <translation>Report made at</translation>
    </message>
    <message>
        <source>工具版本</source>
        <translation>Tool version</translation>
    </message>
    <message>
        <source>定值文件</source>
        <translation>Settings file</translation>
    </message>
    <message>
        <source>无（窗口中的定值不是定值文件中的值）</source>
        <translation>None (the window&apos;s settings are not a settings file&apos;s values)</translation>
    </message>
    <message>
        <source>本报告中设备的值均为生成报告时从设备读取的值，不是窗口中显示的值。</source>
        <translation>Every value of the device in this report was read from the device when the report was made, not taken from the window.</translation>
    </message>
    <message>
        <source>设备中的定值</source>
        <translation>Settings in the device</translation>
    </message>
    <message>
        <source>设备中的定值与定值文件“%1”中的相同。</source>
        <translation>The device holds the settings of the settings file &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>设备中有 %1 项定值与定值文件“%2”中的不同。</source>
        <translation>%1 settings in the device differ from those of the settings file &quot;%2&quot;.</translation>
    </message>
    <message>
        <source>定值文件“%1”的写入记录</source>
        <translation>Write records of the settings file &quot;%1&quot;</translation>
    </message>
    <message>
        <source>文件中没有写入记录。</source>
        <translation>The file holds no write records.</translation>
    </message>
    <message>
        <source>写入时间</source>
        <translation>Written at</translation>
    </message>
    <message>
        <source>告警内容</source>
        <translation>Event</translation>
    </message>
    <message>
        <source>未读到（设备无应答）</source>
        <translation>Not read (no reply from the device)</translation>
    </message>
    <message>
        <source>过时：自 %1 起设备无应答</source>
        <translation>Stale: no reply from the device since %1</translation>
    </message>
    <message>
        <source>已读取</source>
        <translation>Read</translation>
    </message>
    <message>
        <source>实时数据</source>
        <translation>Live data</translation>
    </message>
    <message>
        <source>生成报告时从设备读取的值；“—”为设备没有应答、未读到的值。</source>
        <translation>Values read from the device when the report was made; &quot;—&quot; marks a value the device did not answer.</translation>
    </message>
    <message>
        <source>写定值</source>
        <translation>Settings written</translation>
    </message>
    <message>
        <source>设置起动方式</source>
        <translation>Start mode set</translation>
    </message>
    <message>
        <source>输出A合</source>
        <translation>Output A closed</translation>
    </message>
    <message>
        <source>输出A分</source>
        <translation>Output A opened</translation>
    </message>
    <message>
        <source>输出B合</source>
        <translation>Output B closed</translation>
    </message>
    <message>
        <source>输出B分</source>
        <translation>Output B opened</translation>
    </message>
    <message>
        <source>输出复归</source>
        <translation>Outputs reset</translation>
    </message>
    <message>
        <source>电流校准</source>
        <translation>Current calibration</translation>
    </message>
    <message>
        <source>电压校准</source>
        <translation>Voltage calibration</translation>
    </message>
    <message>
        <source>PWM输出设置</source>
        <translation>PWM output set</translation>
    </message>
    <message>
        <source>电流校准系数复归</source>
        <translation>Current coefficients reset</translation>
    </message>
    <message>
        <source>电压校准系数复归</source>
        <translation>Voltage coefficients reset</translation>
    </message>
    <message>
        <source>通信参数改为地址 %1，波特率 %2</source>
        <translation>Communication parameters changed to address %1, baud rate %2</translation>
    </message>
    <message>
        <source>已确认（设备回读一致）</source>
        <translation>Confirmed (read back from the device)</translation>
    </message>
    <message>
        <source>未确认：设备中的值与写入的不符</source>
        <translation>Not confirmed: the device holds other values than those written</translation>
    </message>
    <message>
        <source>未确认：回读时设备无应答</source>
        <translation>Not confirmed: no reply to the read-back</translation>
    </message>
    <message>
        <source>已发送，设备对此命令不应答，未确认</source>
        <translation>Sent; the device does not answer this command, not confirmed</translation>
    </message>
    <message>
        <source>已发送，未确认；串口未能改为新的波特率</source>
        <translation>Sent, not confirmed; the port could not change to the new baud rate</translation>
    </message>
    <message>
        <source>本次运行中对设备的写操作</source>
        <translation>Writes to the device since the program started</translation>
    </message>
    <message>
        <source>程序启动以来没有对本设备的写操作。</source>
        <translation>No writes to this device since the program started.</translation>
    </message>
    <message>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>操作</source>
        <translation>Operation</translation>
    </message>
    <message>
        <source>结果</source>
        <translation>Outcome</translation>
    </message>
    <message>
        <source>另有 %1 次写操作发往其他设备，未列出。</source>
        <translation>%1 further writes went to other devices and are not listed.</translation>
    </message>
    <message>
        <source>签字确认</source>
        <translation>Signatures</translation>
    </message>
    <message>
        <source>角色</source>
        <translation>Role</translation>
    </message>
    <message>
        <source>姓名</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>签字</source>
        <translation>Signature</translation>
    </message>
    <message>
        <source>调试工程师</source>
        <translation>Commissioning engineer</translation>
    </message>
    <message>
        <source>见证人</source>
        <translation>Witness</translation>
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
    <name>mp::EffectiveSettings</name>
    <message>
        <source>馈线 %1</source>
        <translation>Feeder %1</translation>
    </message>
    <message>
        <source>模板 %1，覆盖 %2 项</source>
        <translation>Template %1, %2 overridden</translation>
    </message>
    <message>
        <source>模板 %1</source>
        <translation>Template %1</translation>
    </message>
    <message>
        <source>%1 的%2 %3：%4</source>
        <translation>%1: %2 %3: %4</translation>
    </message>
    <message>
        <source>定值文件</source>
        <translation>settings file</translation>
    </message>
    <message>
        <source>模板</source>
        <translation>template</translation>
    </message>
    <message>
        <source>%1 的 %2：没有这个定值</source>
        <translation>%1: %2: no such setting</translation>
    </message>
    <message>
        <source>%1 的 %2：%3</source>
        <translation>%1: %2: %3</translation>
    </message>
    <message>
        <source>应为文本</source>
        <translation>must be a text</translation>
    </message>
    <message>
        <source>%1 的 %2：应为已知的保护与 true 或 false</source>
        <translation>%1: %2: must be a known protection with true or false</translation>
    </message>
    <message>
        <source>%1 的 overrides.%2：未知的键</source>
        <translation>%1: overrides.%2: unknown key</translation>
    </message>
    <message>
        <source>%1：%2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>%1（%2，范围%3）</source>
        <translation>%1 (%2, range %3)</translation>
    </message>
</context>
<context>
    <name>mp::PlantBatch</name>
    <message>
        <source>等待</source>
        <translation>Waiting</translation>
    </message>
    <message>
        <source>已备份</source>
        <translation>Backed up</translation>
    </message>
    <message>
        <source>无应答</source>
        <translation>No answer</translation>
    </message>
    <message>
        <source>拒绝</source>
        <translation>Refused</translation>
    </message>
    <message>
        <source>未读（已停止）</source>
        <translation>Not read (stopped)</translation>
    </message>
    <message>
        <source>标签不能用作文件名</source>
        <translation>the tag cannot be used as a file name</translation>
    </message>
    <message>
        <source>无法建立文件夹 %1</source>
        <translation>cannot create the folder %1</translation>
    </message>
    <message>
        <source>馈线 %1，厂站 %2，线路 %3</source>
        <translation>Feeder %1, plant %2, line %3</translation>
    </message>
    <message>
        <source>（%1）</source>
        <translation> (%1)</translation>
    </message>
    <message>
        <source>%1：%2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>已备份 %1 台，无应答 %2 台，拒绝 %3 台</source>
        <translation>%1 backed up, %2 not answering, %3 refused</translation>
    </message>
    <message>
        <source>，已停止，未读 %1 台</source>
        <translation>; stopped, %1 not read</translation>
    </message>
    <message>
        <source>无应答：%1</source>
        <translation>Not answering: %1</translation>
    </message>
    <message>
        <source>一致</source>
        <translation>Equal</translation>
    </message>
    <message>
        <source>不一致（%1 项）</source>
        <translation>Different (%1 settings)</translation>
    </message>
    <message>
        <source>无定值来源</source>
        <translation>No settings source</translation>
    </message>
    <message>
        <source>未比较（已停止）</source>
        <translation>Not compared (stopped)</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>馈线</source>
        <translation>Feeder</translation>
    </message>
    <message>
        <source>线路</source>
        <translation>Line</translation>
    </message>
    <message>
        <source>地址</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>定值来源</source>
        <translation>Settings source</translation>
    </message>
    <message>
        <source>结果</source>
        <translation>Result</translation>
    </message>
</context>
<context>
    <name>mp::PlantSummary</name>
    <message>
        <source>厂站汇总报告 - %1</source>
        <translation>Plant summary - %1</translation>
    </message>
    <message>
        <source>生成于 %1，%2 条馈线</source>
        <translation>Made %1, %2 feeders</translation>
    </message>
    <message>
        <source>位号</source>
        <translation>Tag</translation>
    </message>
    <message>
        <source>说明</source>
        <translation>Description</translation>
    </message>
    <message>
        <source>线路</source>
        <translation>Line</translation>
    </message>
    <message>
        <source>地址</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>定值来源</source>
        <translation>Settings source</translation>
    </message>
    <message>
        <source>最近比较</source>
        <translation>Last compare</translation>
    </message>
    <message>
        <source>最近确认的写入</source>
        <translation>Last confirmed write</translation>
    </message>
    <message>
        <source>无定值来源</source>
        <translation>No settings source</translation>
    </message>
    <message>
        <source>无</source>
        <translation>None</translation>
    </message>
    <message>
        <source>%1
%2@%3，改变 %4 项</source>
        <translation>%1
%2@%3, %4 changed</translation>
    </message>
    <message>
        <source>未比较</source>
        <translation>Not compared</translation>
    </message>
    <message>
        <source>厂站汇总报告...</source>
        <translation>Plant summary...</translation>
    </message>
    <message>
        <source>没有打开的厂站。</source>
        <translation>No plant open.</translation>
    </message>
    <message>
        <source>保存厂站汇总报告</source>
        <translation>Save plant summary</translation>
    </message>
    <message>
        <source>厂站汇总-%1.pdf</source>
        <translation>plant-summary-%1.pdf</translation>
    </message>
    <message>
        <source>PDF 文件 (*.pdf)</source>
        <translation>PDF files (*.pdf)</translation>
    </message>
    <message>
        <source>无法保存报告 %1：%2</source>
        <translation>Cannot save the report %1: %2</translation>
    </message>
</context>
<context>
    <name>mp::StaleMarks</name>
    <message>
        <source>数据已过时：自 %1 起%2，显示的是最后读到的值</source>
        <translation>Out of date: %2 since %1; the last values read are shown</translation>
    </message>
    <message>
        <source>未读取</source>
        <translation>Not read</translation>
    </message>
</context>
</TS>
