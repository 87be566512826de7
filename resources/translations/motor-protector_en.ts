<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>CCommParamChangeDlg</name>
    <message>
        <source>通信参数修改→</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>子机号</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>波特率</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>串行口</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>校验位</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>修改</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>取消</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CCommSetupDlg</name>
    <message>
        <source>通讯设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>串口连接示意图</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>通讯参数设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>仪表地址</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>COM 口</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>波特率</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>校验位</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无校验</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>奇校验</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>偶校验</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>确    定</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>退    出</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CCommandLine</name>
    <message>
        <source>智能马达保护控制器的配置与监视工具（Modbus RTU，RS-485）。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>显示本帮助并退出。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>显示版本并退出。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>串口：COM1 至 COM32，或设备路径，如 /dev/ttyUSB0。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>波特率：1200、2400、4800、9600 或 19200。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>校验位：none（无校验）、odd（奇校验）或 even（偶校验）。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>仪表地址：1 至 247。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>连接内置模拟设备，无需串口和设备。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>不显示通讯设置对话框，直接按所给的值连接。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>多余的参数 &quot;%1&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>选项 --%1 只能给一次</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--port &quot;%1&quot; 不是串口：应为 COM1 至 COM32，或设备路径，如 /dev/ttyUSB0</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--simulated 与 --port 不能同时使用</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--baud &quot;%1&quot; 不是可用的波特率：应为 1200、2400、4800、9600 或 19200</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--parity &quot;%1&quot; 不是校验位：应为 none、odd 或 even</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--address &quot;%1&quot; 不是仪表地址：应为 1 至 247 之间的整数</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CEventRecordDlg</name>
    <message>
        <source>告警事件记录</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>告警条数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>事件记录1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>事件记录2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>事件记录3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>事件记录4</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>事件记录5</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>事件记录6</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>事件记录7</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>事件记录8</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>导出...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>确定</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>取消</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CHelpDlg</name>
    <message>
        <source>软件使用说明-Quellar</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>※ 在软件运行之前，请正确设定通信参数！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>※ &quot;读实时数据&quot;--&gt;读马达保护控制器相关实时候数据</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>读数据量</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>☆ 电流变比、额定电流、启动时间、三相电流</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>☆ 控制量输入（红色为合、绿色为分）、状态量输出</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>☆ 电流定值与动作时限</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>※ &quot;写数据参数值&quot;--&gt;写马达保护控制器相关数据，★写数据前须先执行“定时停止”</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>写数据量</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>☆ 状态量输出</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>※ &quot;恢复保护默认值&quot;--&gt;把相关数据恢复成出厂值</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>※ &quot;通讯参数设置&quot;--&gt;子机地址与波特率修改！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>★ 注：修改该选项请保证当前通信参数正确</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CMotorProtectorDlg</name>
    <message>
        <source>马达保护控制器演示软件-Quellar</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>电流变比</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>额定电流</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>额定电压</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>V</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PWM选择输出</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>实时数据采集时间</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ms</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>当前仪表地址</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A相电流</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A相电压</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>B相电流</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>B相电压</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>C相电流</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>C相电压</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>起动方式</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>起动方式选择</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设置起动方式</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>短路保护</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>交流接触器允许分断电流</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>堵转保护</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>当工作电流达到额定电流的</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>堵转保护 当工作电流达到额定电流的</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>增加</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>增加 堵转保护 当工作电流达到额定电流的</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>减少</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>减少 堵转保护 当工作电流达到额定电流的</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>倍及以上时，动作时间</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>堵转保护 倍及以上时，动作时间</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>增加 堵转保护 倍及以上时，动作时间</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>减少 堵转保护 倍及以上时，动作时间</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>S</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>定时限过负荷</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>定时限过负荷 当工作电流达到额定电流的</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>增加 定时限过负荷 当工作电流达到额定电流的</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>减少 定时限过负荷 当工作电流达到额定电流的</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>定时限过负荷 倍及以上时，动作时间</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>增加 定时限过负荷 倍及以上时，动作时间</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>减少 定时限过负荷 倍及以上时，动作时间</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>不平衡</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>当不平衡率电流</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>增加 当不平衡率电流</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>减少 当不平衡率电流</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%及以上时，动作时间</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>不平衡 %及以上时，动作时间</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>增加 不平衡 %及以上时，动作时间</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>减少 不平衡 %及以上时，动作时间</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>反时限过负荷</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>曲线选择</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>启动超时</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>启动时间</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>缺相保护</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>缺相时间</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>过压保护</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>当工作电压高于额定电压的</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>过压保护 %及以上时，动作时间</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>欠压保护</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>当工作电压低于额定电压的</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%及以下时，动作时间</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>马达保护示意图</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>状态量输入</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>DI1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>DI2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>DI3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>DI4</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>DI5</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>DI6</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>DI7</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>DI8</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>控制量输出</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>输出A</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>合闸A</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>输出B</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>合闸B</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>复归输出</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>复 归</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>调试</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>X1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Y1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>X2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Y2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a系数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>b系数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A/AB相</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A/AB相 X1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A/AB相 Y1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A/AB相 X2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A/AB相 Y2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A/AB相 a系数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A/AB相 b系数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>B/BC相</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>B/BC相 X1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>B/BC相 Y1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>B/BC相 X2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>B/BC相 Y2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>B/BC相 a系数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>B/BC相 b系数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>C/CA相</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>C/CA相 X1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>C/CA相 Y1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>C/CA相 X2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>C/CA相 Y2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>C/CA相 a系数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>C/CA相 b系数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PWM</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PWM X1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PWM Y1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PWM X2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PWM Y2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PWM a系数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PWM b系数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>电流序数复归</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>读序数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>电流设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PWM输出</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>电压调试</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>电压序数复归</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>系统功能</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>读实时数据↑</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>写数据参数值↓</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>停止运行</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>恢复保护默认值</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>通讯设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>软件使用说明</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保护事件记录</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>调试密码</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> 欢迎使用智能马达保护控制器演示软件-Quellar</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>基本功能</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>系统帮助</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>读实时数据</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>写数据参数值</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>通讯参数设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>重新连接...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>额定电流设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>启动方式设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>分闸A</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>分闸B</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>复归</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CPasswordDlg</name>
    <message>
        <source>操作密码输入</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>密码：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>确认</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>取消</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
