<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="zh_CN">
<context>
    <name>AlarmChecker</name>
    <message>
        <source>下限通知</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>上限通知</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> 低于下限:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> 高于上限:</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>AlarmMailer</name>
    <message>
        <source>异常通知</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Collection</name>
    <message>
        <source>Set Range Error！</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>HKRQ5713</name>
    <message>
        <source>数据库打开失败!</source>
        <translation>Failed to open the database!</translation>
    </message>
    <message>
        <source>Sql Error</source>
        <translation>Sql Error</translation>
    </message>
    <message>
        <source>数据采集</source>
        <translation>Acquisition</translation>
    </message>
    <message>
        <source>传感器校准</source>
        <translation>Calibration</translation>
    </message>
    <message>
        <source>验证报告</source>
        <translation>Reports</translation>
    </message>
    <message>
        <source>版本：</source>
        <translation>Version: </translation>
    </message>
    <message>
        <source>警告</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>确认退出程序?</source>
        <translation>Exit the program?</translation>
    </message>
</context>
<context>
    <name>QTableWidgetL</name>
    <message>
        <source>复制</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>粘贴</source>
        <translation>Paste</translation>
    </message>
</context>
<context>
    <name>QWaiting</name>
    <message>
        <source>提示</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>请稍等...</source>
        <translation>Please wait...</translation>
    </message>
</context>
<context>
    <name>Tool</name>
    <message>
        <source>温度</source>
        <translation>Temperature</translation>
    </message>
    <message>
        <source>湿度</source>
        <translation>Humidity</translation>
    </message>
    <message>
        <source>压力</source>
        <translation>Pressure</translation>
    </message>
    <message>
        <source>电压</source>
        <translation>Voltage</translation>
    </message>
    <message>
        <source>电阻</source>
        <translation>Resistance</translation>
    </message>
    <message>
        <source>电流</source>
        <translation>Current</translation>
    </message>
    <message>
        <source>其他</source>
        <translation>Other</translation>
    </message>
    <message>
        <source>串口</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>网络</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>蓝牙</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>导入</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>铂电阻</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>热敏电阻</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>热电偶</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>NTC</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>RTD</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TC</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PTC</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ITS90</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CVD</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>R(T)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>T(R)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Other</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>K</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>J</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>T</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>E</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>N</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>R</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>S</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>B</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>2线制</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>3线制</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>4线制</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Auto</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>℃</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ω</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>快速</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>中速</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>慢速</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
