<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="zh_CN">
<context>
    <name>AlarmChecker</name>
    <message>
        <location filename="../acquisition/AlarmChecker.cpp" line="+40"/>
        <source>下限通知</source>
        <translation>Low limit alert</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>上限通知</source>
        <translation>High limit alert</translation>
    </message>
    <message>
        <location line="+24"/>
        <source> 低于下限:</source>
        <translation> below low limit: </translation>
    </message>
    <message>
        <location line="+0"/>
        <source> 高于上限:</source>
        <translation> above high limit: </translation>
    </message>
</context>
<context>
    <name>AlarmMailer</name>
    <message>
        <location filename="../acquisition/AlarmMailer.cpp" line="+37"/>
        <source>异常通知</source>
        <translation>Alarm notification</translation>
    </message>
</context>
<context>
    <name>Calibration</name>
    <message>
        <location filename="../calibration/Calibration.cpp" line="+56"/>
        <source>提示</source>
        <translation>Information</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>查看项目</source>
        <translation>View Run</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>重新计算</source>
        <translation>Recalculate</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>删除项目</source>
        <translation>Delete Run</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>继续校准</source>
        <translation>Continue Calibration</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Ini导出</source>
        <translation>Export Ini</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>校准设置</source>
        <translation>Calibration Setup</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>采集设备：</source>
        <translation>Instrument:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>温场：</source>
        <translation>Source:</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+5"/>
        <source>通信设置</source>
        <translation>Connection Settings</translation>
    </message>
    <message>
        <location line="-1"/>
        <source>标准：</source>
        <translation>Reference:</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>校准</source>
        <translation>Calibrate</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>校准记录</source>
        <translation>Calibration Records</translation>
    </message>
    <message>
        <location line="+6"/>
        <location line="+8"/>
        <source>校准数据</source>
        <translation>Calibration Data</translation>
    </message>
    <message>
        <location line="-3"/>
        <source>通道序号</source>
        <translation>Channel</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>通道类型</source>
        <translation>Channel Type</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>通道功能</source>
        <translation>Method</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>接线线制</source>
        <translation>Wiring</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>校准标准</source>
        <translation>Reference</translation>
    </message>
    <message>
        <location line="+18"/>
        <location line="+211"/>
        <source>项目列表</source>
        <translation>Runs</translation>
    </message>
    <message>
        <location line="-144"/>
        <source>其他</source>
        <translation>Other</translation>
    </message>
    <message>
        <location line="+43"/>
        <source>当前标准无需设置通信信息!</source>
        <translation>This reference needs no connection settings!</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>温场未连接!</source>
        <translation>Source not connected!</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>标准未连接!</source>
        <translation>Reference not connected!</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>当前温场不支持标准手动采集!</source>
        <translation>This source does not allow a typed-in reference!</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>未选择采集器!</source>
        <translation>No instrument selected!</translation>
    </message>
    <message>
        <location line="+35"/>
        <source>项目信息异常!</source>
        <translation>Invalid run information!</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>选择的采集器未连接!</source>
        <translation>The run&apos;s instrument is not registered!</translation>
    </message>
    <message>
        <location line="+174"/>
        <source>数据库保存数据失败！</source>
        <translation>Saving to the database failed!</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>请先选择需要删除的项目!</source>
        <translation>Select the run to delete first!</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>删除数据失败!</source>
        <translation>Deleting failed!</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>请先选择需要导出的通道!</source>
        <translation>Select the channels to export first!</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>保存文件</source>
        <translation>Save File</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>数据导出成功！</source>
        <translation>Data exported successfully!</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>数据导出失败！</source>
        <translation>Data export failed!</translation>
    </message>
    <message>
        <location line="-203"/>
        <source>读取数据库失败！</source>
        <translation>Reading the database failed!</translation>
    </message>
</context>
<context>
    <name>CalibrationChannel</name>
    <message>
        <location filename="../calibration/CalibrationChannel.cpp" line="+46"/>
        <source>提示</source>
        <translation>Information</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>通道校准</source>
        <translation>Channel Calibration</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>通道信息</source>
        <translation>Channel Information</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>校准参数</source>
        <translation>Calibration Parameters</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>温度点：</source>
        <translation>Set points:</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>稳定延迟：</source>
        <translation>Stability delay:</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>校准信息</source>
        <translation>Calibration Information</translation>
    </message>
    <message>
        <location line="+10"/>
        <location line="+246"/>
        <location line="+1"/>
        <source>全选</source>
        <translation>Select All</translation>
    </message>
    <message>
        <location line="-244"/>
        <source>下一步</source>
        <translation>Next</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>状态</source>
        <translation>State</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>序号</source>
        <translation>No.</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>通道编号</source>
        <translation>Channel</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>通道类型</source>
        <translation>Channel Type</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>通道功能</source>
        <translation>Channel Function</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>接线线制</source>
        <translation>Wiring</translation>
    </message>
    <message>
        <location line="+85"/>
        <location line="+294"/>
        <source>参数获取中，请稍等...</source>
        <translation>Reading the parameters, please wait...</translation>
    </message>
    <message>
        <location line="-301"/>
        <source>项目信息异常!</source>
        <translation>The run information is invalid!</translation>
    </message>
    <message>
        <location line="+88"/>
        <source>参数获取成功！</source>
        <translation>Parameters read.</translation>
    </message>
    <message>
        <location line="-18"/>
        <location line="+7"/>
        <location line="+13"/>
        <source>参数获取失败！</source>
        <translation>Reading the parameters failed!</translation>
    </message>
    <message>
        <location line="-23"/>
        <source>序列号不匹配，请检查连接的设备是否为对应序列号的设备！</source>
        <translation>Serial number mismatch: check that the connected instrument is the one with the registered serial number!</translation>
    </message>
    <message>
        <location line="+84"/>
        <source>取消全选</source>
        <translation>Deselect All</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>稳定延时未设置！</source>
        <translation>The stability delay is not set!</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>稳定延时设置无效：%1</source>
        <translation>Invalid stability delay: %1</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>校准温度未设置！</source>
        <translation>No calibration temperature is set!</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>校准温度设置无效：%1</source>
        <translation>Invalid calibration temperature: %1</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>温度点%1超出范围（-273.15℃～10000℃）：%2</source>
        <translation>Set point %1 is out of range (-273.15 ℃ to 10000 ℃): %2</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>数据库读取数据失败！</source>
        <translation>Reading from the database failed!</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>已有同一时间的校准项目，请稍后再试！</source>
        <translation>A calibration run with the same time already exists, please try again shortly!</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>请先选择通道！</source>
        <translation>Select channels first!</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>采集器</source>
        <translation>Instrument</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+9"/>
        <location line="+9"/>
        <source>型号:</source>
        <translation>Model:</translation>
    </message>
    <message>
        <location line="-17"/>
        <source>序列号:</source>
        <translation>Serial number:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>采集速率:</source>
        <translation>Rate:</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+8"/>
        <location line="+9"/>
        <source>通信方式:</source>
        <translation>Connection:</translation>
    </message>
    <message>
        <location line="-16"/>
        <location line="+8"/>
        <source>IP/COM:</source>
        <translation>IP/COM:</translation>
    </message>
    <message>
        <location line="-7"/>
        <location line="+8"/>
        <source>Port/BaudRate:</source>
        <translation>Port/BaudRate:</translation>
    </message>
    <message>
        <location line="-5"/>
        <source>温场</source>
        <translation>Temperature source</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>标准</source>
        <translation>Reference</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Name:</source>
        <translation>Name:</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>校准需求</source>
        <translation>Calibration requirements</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>只支持热敏电阻 R(T)/T(R)、铂电阻 CVD/ITS90 校准</source>
        <translation>Only thermistors (R(T)/T(R)) and platinum resistance thermometers (CVD/ITS90) can be calibrated</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>R(T)/T(R)校准不能少于4个温度点</source>
        <translation>R(T)/T(R) calibration needs at least 4 set points</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>CVD校准不能少于3个温度点</source>
        <translation>CVD calibration needs at least 3 set points</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>ITS90校准必须为3个或5个温度点，3个温度点为1个0℃、2个正温/2个负温，</source>
        <translation>ITS90 calibration needs 3 or 5 set points: 3 points are one at 0 ℃ and two above or two below 0 ℃, </translation>
    </message>
    <message>
        <location line="+0"/>
        <source>5个温度点为1个0℃、2个正温、2个负温</source>
        <translation>5 points are one at 0 ℃, two above and two below 0 ℃</translation>
    </message>
</context>
<context>
    <name>CalibrationScan</name>
    <message>
        <location filename="../calibration/CalibrationScan.cpp" line="+62"/>
        <source>通信设置</source>
        <translation>Connection Settings</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>操作区</source>
        <translation>Operation</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>通讯方式：</source>
        <translation>Connection:</translation>
    </message>
    <message>
        <location line="+33"/>
        <source>测试</source>
        <translation>Test</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <location line="+62"/>
        <source>IP地址：</source>
        <translation>IP address:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>端口号：</source>
        <translation>Port:</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>设备名：</source>
        <translation>Device name:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>空：</source>
        <translation>None:</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>串口号：</source>
        <translation>Serial port:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>波特率：</source>
        <translation>Baud rate:</translation>
    </message>
    <message>
        <location line="+30"/>
        <location line="+30"/>
        <source>提示</source>
        <translation>Information</translation>
    </message>
    <message>
        <location line="-30"/>
        <source>当前模式无需测试！</source>
        <translation>This connection type needs no test!</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>测试成功！</source>
        <translation>Test successful!</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>设备连接失败！</source>
        <translation>Device connection failed!</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>未选择设备。</source>
        <translation>No device chosen.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>找不到串口%1。</source>
        <translation>Serial port %1 not found.</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>设备在等待时间内没有应答。</source>
        <translation>The device did not answer within the wait.</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>无法连接：%1</source>
        <translation>Cannot connect: %1</translation>
    </message>
</context>
<context>
    <name>CalibrationWork</name>
    <message>
        <location filename="../calibration/CalibrationWork.cpp" line="+77"/>
        <source>提示</source>
        <translation>Information</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>重采</source>
        <translation>Acquire again</translation>
    </message>
    <message>
        <location line="+45"/>
        <source>校准</source>
        <translation>Calibration</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>实时数据</source>
        <translation>Live Data</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>操作台</source>
        <translation>Console</translation>
    </message>
    <message>
        <location line="+5"/>
        <location line="+20"/>
        <location line="+490"/>
        <source>温度点</source>
        <translation>Set point </translation>
    </message>
    <message>
        <location line="-503"/>
        <source>结束</source>
        <translation>End</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>校准温度点</source>
        <translation>Calibration Set Points</translation>
    </message>
    <message>
        <location line="+35"/>
        <source>项目信息异常!</source>
        <translation>The run information is invalid!</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>校准温度点数大于设置温度点数，请退出重新设置!</source>
        <translation>More points are calibrated than set points are set; leave and set up again!</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>采集时间</source>
        <translation>Acquisition time</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>标准器</source>
        <translation>Reference</translation>
    </message>
    <message>
        <location line="+62"/>
        <source>序列号不匹配，请检查连接的设备是否为对应序列号的设备！</source>
        <translation>Serial number mismatch: check that the connected instrument is the one with the registered serial number!</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>初始化通道信息失败！</source>
        <translation>Initialising the channel information failed!</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>设置通道开关失败！</source>
        <translation>Setting the channel switches failed!</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>设置扫描信息失败！</source>
        <translation>Setting the scan information failed!</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>温场设备连接失败!</source>
        <translation>Connecting the temperature source failed!</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>温场设备设置失败!</source>
        <translation>Setting up the temperature source failed!</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>标准设备连接失败!</source>
        <translation>Connecting the reference failed!</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>标准设备设置失败!</source>
        <translation>Setting up the reference failed!</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>设置温场温度失败！</source>
        <translation>Setting the source temperature failed!</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>： 温场温度设置成功：</source>
        <translation>: Source set point accepted: </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>： 温场稳定等待中...</source>
        <translation>: Waiting for the source to stabilise...</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>获取温场稳定失败！</source>
        <translation>Reading the source stability failed!</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>： 温场稳定延迟等待中 </source>
        <translation>: Waiting the stability delay of </translation>
    </message>
    <message>
        <location line="+0"/>
        <source>分钟</source>
        <translation> min</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>： 温场已稳定</source>
        <translation>: Source stable</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>与温场的连接已断开。</source>
        <translation>The connection to the temperature source was lost.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>标准获取温度失败!</source>
        <translation>The reference temperature could not be read!</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>采集器数据获取失败!</source>
        <translation>The instrument data could not be read!</translation>
    </message>
    <message>
        <location line="+38"/>
        <source>： 通道%1系数写入失败！</source>
        <translation>: Writing the coefficients of channel %1 failed!</translation>
    </message>
    <message>
        <location line="+44"/>
        <source>： 通道%1未计算系数：温度点不满足%2校准要求！</source>
        <translation>: Channel %1 not fitted: the set points do not meet the %2 requirements! </translation>
    </message>
    <message>
        <location line="+48"/>
        <location line="+8"/>
        <source>校准结束退出!</source>
        <translation>Calibration ended!</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>： 设备连接中...</source>
        <translation>: Connecting the devices...</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>： 设备连接成功！</source>
        <translation>: Devices connected!</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>： 数据采集成功！</source>
        <translation>: Data acquired!</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>设备打开成功！</source>
        <translation>Devices opened!</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>数据异常!</source>
        <translation>Data anomaly!</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>： 开始采集温度点 </source>
        <translation>: Acquiring set point </translation>
    </message>
    <message>
        <location line="+25"/>
        <source>设备断开成功！</source>
        <translation>Device disconnected!</translation>
    </message>
    <message>
        <location line="-37"/>
        <source>该设备已断开：结束时不写入系数，也不保存数据。</source>
        <translation>That instrument has been disconnected: ending the run writes no coefficients and stores nothing.</translation>
    </message>
    <message>
        <location line="+184"/>
        <source>数据库正被其他程序占用，数据将每隔几秒自动再次保存，关闭窗口时也会再次保存。</source>
        <translation>The database is in use by another program; the data will be saved again automatically every few seconds, and again when the window closes.</translation>
    </message>
    <message>
        <location line="+60"/>
        <source>校准数据已完整写入日志文件：%1</source>
        <translation>The whole calibration run has been written to the log file: %1</translation>
    </message>
    <message>
        <location line="-163"/>
        <source>当前为自动模式，此按钮不可用!</source>
        <translation>Automatic mode: this button is not available!</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>标准</source>
        <translation>Reference</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>请输入标准温度：</source>
        <translation>Enter the reference temperature:</translation>
    </message>
    <message>
        <location line="+93"/>
        <location line="+60"/>
        <source>数据库保存数据失败！</source>
        <translation>Saving to the database failed!</translation>
    </message>
    <message>
        <location line="-33"/>
        <source>： 校准数据保存成功！</source>
        <translation>: Calibration data saved!</translation>
    </message>
    <message>
        <location line="+38"/>
        <source>数据库：%1</source>
        <translation>Database: %1</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>校准数据未能保存，窗口没有关闭：请腾出空间后再次关闭窗口以重新保存；仍无法保存时窗口将关闭，数据丢失。</source>
        <translation>The calibration data could not be kept and the window stays open: make room, then close the window again to save once more; if it still cannot be kept, the window closes and the data is lost.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>校准数据未能保存，已丢失！</source>
        <translation>The calibration data could not be kept and is lost!</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>日志文件：未写入。</source>
        <translation>Log file: not written.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>日志文件%1：%2</source>
        <translation>Log file %1: %2</translation>
    </message>
    <message>
        <location line="+65"/>
        <source>正在校准中，不能退出!</source>
        <translation>Calibration in progress, cannot leave!</translation>
    </message>
</context>
<context>
    <name>CoefficientFit</name>
    <message>
        <location filename="../calibration/CoefficientFit.cpp" line="+53"/>
        <source>计算结果不是有限数。</source>
        <translation>The result is not a finite number.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>需要3个或5个温度点，实有%1个。</source>
        <translation>3 or 5 temperature points are needed, there are %1.</translation>
    </message>
    <message>
        <location line="+45"/>
        <source>标准温度%1个，读数%2个，个数不同。</source>
        <translation>%1 reference temperatures but %2 readings.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>需要至少%1个温度点，只有%2个。</source>
        <translation>At least %1 temperature points are needed, there are only %2.</translation>
    </message>
    <message>
        <location line="+39"/>
        <source>不同的标准温度只有%1个，需要%2个。</source>
        <translation>Only %1 distinct reference temperatures, %2 are needed.</translation>
    </message>
    <message>
        <location line="-47"/>
        <source>标准温度或读数含有不是数字的文本。</source>
        <translation>A reference temperature or reading is not a number.</translation>
    </message>
    <message>
        <location line="+51"/>
        <source>所有读数相同。</source>
        <translation>All readings are equal.</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>读数没有随标准温度单调上升或下降。</source>
        <translation>The readings do not rise or fall steadily with the reference temperature.</translation>
    </message>
    <message>
        <location line="+70"/>
        <source>未知的计算方法“%1”。</source>
        <translation>Unknown method &quot;%1&quot;.</translation>
    </message>
    <message>
        <location line="+123"/>
        <source>居中的温度点不在0℃±0.1℃以内。</source>
        <translation>The middle temperature point is not within 0 ℃ ± 0.1 ℃.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>最低或最高的温度点都不在0℃±0.1℃以内。</source>
        <translation>Neither the lowest nor the highest temperature point is within 0 ℃ ± 0.1 ℃.</translation>
    </message>
</context>
<context>
    <name>CoefficientIni</name>
    <message>
        <location filename="../calibration/CoefficientIni.cpp" line="+76"/>
        <source>无法读取已有的文件：%1</source>
        <translation>The existing file cannot be read: %1</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>%1 不是普通文件（%2），未做任何更改。</source>
        <translation>%1 is not a regular file (%2); nothing was changed.</translation>
    </message>
    <message>
        <location line="+8"/>
        <location line="+73"/>
        <source>文件夹</source>
        <translation>a folder</translation>
    </message>
    <message>
        <location line="-71"/>
        <source>命名管道</source>
        <translation>a named pipe</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>设备</source>
        <translation>a device</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+69"/>
        <source>特殊文件</source>
        <translation>a special file</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>已有的文件过大（超过 %1 MB），未做任何更改。</source>
        <translation>The existing file is too large (over %1 MB); nothing was changed.</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>已有的文件含有NUL字节，不是文本文件。</source>
        <translation>The existing file contains NUL bytes: it is not a text file.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>已有的文件不是UTF-8文本。</source>
        <translation>The existing file is not UTF-8 text.</translation>
    </message>
    <message>
        <location line="-124"/>
        <source>已有的文件不是有效的INI文件。</source>
        <translation>The existing file is not a valid INI file.</translation>
    </message>
    <message>
        <location line="-5"/>
        <source>文件写入失败。</source>
        <translation>Writing the file failed.</translation>
    </message>
</context>
<context>
    <name>Collection</name>
    <message>
        <location filename="../comm/Collection.cpp" line="+99"/>
        <source>Set Range Error！</source>
        <translation>Set Range Error!</translation>
    </message>
</context>
<context>
    <name>CollectionRecordFile</name>
    <message>
        <location filename="../drivers/CollectionRecordFile.cpp" line="+38"/>
        <source>该型号的数据只能从记录文件导入，无法连接仪器。</source>
        <translation>This model is read from record files only and cannot connect.</translation>
    </message>
</context>
<context>
    <name>HKRQ5713</name>
    <message>
        <location filename="../shell/HKRQ5713.cpp" line="+59"/>
        <source>数据库打开失败!</source>
        <translation>Failed to open the database!</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Sql Error</source>
        <translation>Sql Error</translation>
    </message>
    <message>
        <location line="+93"/>
        <source>数据采集</source>
        <translation>Acquisition</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>传感器校准</source>
        <translation>Calibration</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>验证报告</source>
        <translation>Reports</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>版本：</source>
        <translation>Version: </translation>
    </message>
    <message>
        <location line="+35"/>
        <source>警告</source>
        <translation>Warning</translation>
    </message>
    <message>
        <location line="+166"/>
        <source>提示</source>
        <translation>Information</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>确认退出程序?</source>
        <translation>Exit the program?</translation>
    </message>
</context>
<context>
    <name>ParametersChannel</name>
    <message>
        <location filename="../acquisition/ParametersChannel.cpp" line="+23"/>
        <source>警告</source>
        <translation>Warning</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>通道配置</source>
        <translation>Channel Configuration</translation>
    </message>
    <message>
        <location line="+16"/>
        <location line="+142"/>
        <source>下限全选</source>
        <translation>Select all low alerts</translation>
    </message>
    <message>
        <location line="-141"/>
        <location line="+146"/>
        <source>上限全选</source>
        <translation>Select all high alerts</translation>
    </message>
    <message>
        <location line="-145"/>
        <source>下一步</source>
        <translation>Next</translation>
    </message>
    <message>
        <location line="+27"/>
        <source>设备序号</source>
        <translation>Device No.</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>设备类型</source>
        <translation>Device type</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>通道序号</source>
        <translation>Channel No.</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>通道单位</source>
        <translation>Channel unit</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+171"/>
        <location line="+4"/>
        <source>项目</source>
        <translation>Project</translation>
    </message>
    <message>
        <location line="-175"/>
        <source>显示单位</source>
        <translation>Display unit</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>下限通知</source>
        <translation>Low limit alert</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>下限</source>
        <translation>Low limit</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>上限通知</source>
        <translation>High limit alert</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>上限</source>
        <translation>High limit</translation>
    </message>
    <message>
        <location line="+101"/>
        <source>取消全选</source>
        <translation>Deselect all</translation>
    </message>
    <message>
        <location line="+28"/>
        <source>单位不能为空！</source>
        <translation>The unit must not be empty!</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>显示单位不能包含逗号！</source>
        <translation>The display unit must not contain a comma!</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>显示单位不能包含双引号！</source>
        <translation>The display unit must not contain a double quote!</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>输入的M参数异常！</source>
        <translation>The M value entered is invalid!</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>输入的B参数异常！</source>
        <translation>The B value entered is invalid!</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>输入的下限温度异常！</source>
        <translation>The low limit temperature entered is invalid!</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>输入的上限温度异常！</source>
        <translation>The high limit temperature entered is invalid!</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>第%1行的项目不在项目列表中！</source>
        <translation>The project in row %1 is not in the project list!</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>第%1行：设备序号%2，通道序号%3</source>
        <translation>Row %1: device No. %2, channel No. %3</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>:未选择通道！</source>
        <translation>: no channel selected!</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>:通道单位最多为两类！</source>
        <translation>: at most two kinds of channel unit are allowed!</translation>
    </message>
</context>
<context>
    <name>ParametersChart</name>
    <message>
        <location filename="../acquisition/ParametersChart.cpp" line="+54"/>
        <source>实时数据</source>
        <translation>Real-time data</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>趋势图</source>
        <translation>Trend chart</translation>
    </message>
    <message>
        <location line="+21"/>
        <location line="+115"/>
        <location line="+1"/>
        <source>全选</source>
        <translation>Select all</translation>
    </message>
    <message>
        <location line="-113"/>
        <location line="+125"/>
        <location line="+10"/>
        <source>刷新中</source>
        <translation>Refreshing</translation>
    </message>
    <message>
        <location line="-108"/>
        <source>采集时间</source>
        <translation>Acquisition time</translation>
    </message>
    <message>
        <location line="+86"/>
        <source>全不选</source>
        <translation>Select none</translation>
    </message>
    <message>
        <location line="+13"/>
        <location line="+2"/>
        <source>X轴刷新</source>
        <translation>Refreshing X axis</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+2"/>
        <source>Y轴刷新</source>
        <translation>Refreshing Y axis</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>停止刷新</source>
        <translation>Refresh stopped</translation>
    </message>
</context>
<context>
    <name>ParametersCsvWriter</name>
    <message>
        <location filename="../acquisition/ParametersCsvWriter.cpp" line="+226"/>
        <source>写入线程异常终止，详见日志</source>
        <translation>the writer thread stopped on an internal error, see the log</translation>
    </message>
</context>
<context>
    <name>ParametersImport</name>
    <message>
        <location filename="../acquisition/ParametersImport.cpp" line="+118"/>
        <source>数据导入</source>
        <translation>Data Import</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>提示</source>
        <translation>Information</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>警告</source>
        <translation>Warning</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>设置</source>
        <translation>Set</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>时间对齐</source>
        <translation>Align time</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>打开</source>
        <translation>Open</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>开始时间：</source>
        <translation>Start time:</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>结束时间：</source>
        <translation>End time:</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>扫描间隔：</source>
        <translation>Scan interval:</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>秒</source>
        <translation>s</translation>
    </message>
    <message>
        <location line="+82"/>
        <source>选择文件</source>
        <translation>Select File</translation>
    </message>
    <message>
        <location line="+6"/>
        <location line="+69"/>
        <source>未检测到通道！</source>
        <translation>No channels detected!</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>读取在第 %1 行中断，详见日志。</source>
        <translation>Reading stopped at line %1; see the log.</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+29"/>
        <source>第 %1 行不符合记录文件格式。</source>
        <translation>Line %1 does not fit the record-file layout.</translation>
    </message>
    <message>
        <location line="-28"/>
        <source>采集数据不匹配，读取失败！</source>
        <translation>The acquired data do not match, reading failed!</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>数据读取成功！</source>
        <translation>Data read successfully!</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>%1 不是普通文件。</source>
        <translation>%1 is not a regular file.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>无法打开文件 %1。</source>
        <translation>Cannot open the file %1.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>序号</source>
        <translation>No.</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>扫描间隔设置错误！</source>
        <translation>Invalid scan interval!</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>开始时间不能大于结束时间！</source>
        <translation>The start time must not be later than the end time!</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>时间范围异常！</source>
        <translation>Invalid time range!</translation>
    </message>
    <message>
        <location line="+35"/>
        <source>:时间间隔异常，请检查！</source>
        <translation>: irregular time interval, please check!</translation>
    </message>
    <message>
        <location line="+52"/>
        <source>数据保存失败！</source>
        <translation>Failed to save the data!</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>数据保存成功！</source>
        <translation>Data saved successfully!</translation>
    </message>
</context>
<context>
    <name>ParametersMode</name>
    <message>
        <location filename="../acquisition/ParametersMode.cpp" line="+36"/>
        <source>警告</source>
        <translation>Warning</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>在线</source>
        <translation>Online</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>导入</source>
        <translation>Import</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>采集参数</source>
        <translation>Acquisition Parameters</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>采集方式：</source>
        <translation>Acquisition mode:</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>采集器个数：</source>
        <translation>Number of loggers:</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>采集器：</source>
        <translation>Logger:</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>项目个数：</source>
        <translation>Number of projects:</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>项目名称：</source>
        <translation>Project name:</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>采集开始时间：</source>
        <translation>Acquisition start time:</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>采集结束时间：</source>
        <translation>Acquisition end time:</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>采集间隔：</source>
        <translation>Acquisition interval:</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>数据保存</source>
        <translation>Save data</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>下一步</source>
        <translation>Next</translation>
    </message>
    <message>
        <location line="+191"/>
        <source>未选择采集设备！</source>
        <translation>No acquisition device selected!</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>采集设备不能相同！</source>
        <translation>The acquisition devices must be different!</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>项目信息未设置！</source>
        <translation>Project information not set!</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>项目名称不能包含 / \ : * ? &quot; &lt; &gt; | , 或控制字符，不能为 . 或 ..，首尾不能有空格！</source>
        <translation>A project name must not contain / \ : * ? &quot; &lt; &gt; | , or control characters, must not be . or .., and must not begin or end with a space!</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>项目名称不能为NULL！</source>
        <translation>The project name must not be NULL!</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>项目名称相同！</source>
        <translation>Two projects have the same name!</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>数据库连接失败！</source>
        <translation>Database connection failed!</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>项目名称已存在！</source>
        <translation>The project name already exists!</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>采集间隔设置错误!</source>
        <translation>Invalid acquisition interval!</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>采集设备参数将以第一台设备为准！</source>
        <translation>The settings of the first acquisition device apply to all devices!</translation>
    </message>
    <message>
        <location line="-28"/>
        <source>项目名称过长，数据文件名不能超过255字节！</source>
        <translation>The project name is too long: the data file name must not exceed 255 bytes!</translation>
    </message>
</context>
<context>
    <name>ParametersOnLine</name>
    <message>
        <location filename="../acquisition/ParametersOnLine.cpp" line="+61"/>
        <location line="+564"/>
        <source>提示</source>
        <translation>Information</translation>
    </message>
    <message>
        <location line="-518"/>
        <source>数据采集</source>
        <translation>Data Acquisition</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>消息：</source>
        <translation>Message:</translation>
    </message>
    <message>
        <location line="+7"/>
        <location line="+654"/>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <location line="-603"/>
        <source>参数设置中，请稍等...</source>
        <translation>Setting parameters, please wait...</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>采集间隔无效，间隔不能小于1毫秒！</source>
        <translation>Invalid acquisition interval: the interval must be at least 1 ms!</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>开始时间无效，请重新设置！</source>
        <translation>Invalid start time, please set it again!</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>采集点数超出范围，请缩短采集时间或加大采集间隔！</source>
        <translation>Too many samples: shorten the acquisition time or increase the acquisition interval!</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>项目</source>
        <translation>Project </translation>
    </message>
    <message>
        <location line="+4"/>
        <source>结果</source>
        <translation> Results</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>统计</source>
        <translation> Statistics</translation>
    </message>
    <message>
        <location line="+31"/>
        <source>开始等待中...</source>
        <translation>Waiting for the start time...</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>手动停止采集！</source>
        <translation>Acquisition stopped manually!</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>采集设备信息设置中...</source>
        <translation>Setting up the acquisition devices...</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>设备连接失败,请退出重试！</source>
        <translation>Device connection failed, please exit and try again!</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>通道参数与设备不匹配!</source>
        <translation>The channel settings do not match the device!</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>序列号不匹配，请检查连接的设备是否为对应序列号的设备！</source>
        <translation>Serial number mismatch, please check that the connected device has the expected serial number!</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>获取通道信息失败,请退出重试!</source>
        <translation>Failed to read the channel information, please exit and try again!</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>通道设置失败,请退出重试!</source>
        <translation>Failed to set up the channels, please exit and try again!</translation>
    </message>
    <message>
        <location line="+28"/>
        <source>项目信息保存失败，采集未开始！</source>
        <translation>Failed to save the project information, acquisition not started!</translation>
    </message>
    <message>
        <location line="+114"/>
        <source>打开数据库失败！</source>
        <translation>Failed to open the database!</translation>
    </message>
    <message>
        <location line="+3"/>
        <source> 采集中...</source>
        <translation> Acquiring...</translation>
    </message>
    <message>
        <location line="+36"/>
        <source>采集已结束，%1 个样本未能写入数据库！</source>
        <translation>The acquisition has ended; %1 samples could not be stored in the database!</translation>
    </message>
    <message>
        <source> 正在保存暂存的样本：数据库正被其他程序占用，最多等待 %1 秒……</source>
        <translation> Storing the held samples: the database is in use by another program; waiting at most %1 s...</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>采集结束。</source>
        <translation>Acquisition finished.</translation>
    </message>
    <message>
        <location line="+54"/>
        <source>数据获取失败。</source>
        <translation>Failed to read data.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>设备重新连接。</source>
        <translation>Reconnecting the devices.</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>设备连接成功。</source>
        <translation>Devices connected.</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>进入手动重连模式！</source>
        <translation>Entering manual reconnection mode!</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>通讯异常，请设备关机重试！</source>
        <translation>Communication error, please switch the device off and try again!</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>手动重连成功！</source>
        <translation>Manual reconnection succeeded!</translation>
    </message>
    <message>
        <location line="+86"/>
        <source> 项目已不在数据库中：%1</source>
        <translation> Project no longer in the database: %1</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>项目 %1 已不在数据库中（被其他程序删除或合并），其后的采样数据不再保存到数据库！</source>
        <translation>Project %1 is no longer in the database (deleted or merged by another program); its samples from now on are not stored in the database!</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>CSV文件照常保存。</source>
        <translation>The CSV files are written as before.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>通讯异常</source>
        <translation>Communication error</translation>
    </message>
    <message>
        <location line="+32"/>
        <location line="+117"/>
        <source>继续</source>
        <translation>Continue</translation>
    </message>
    <message>
        <location line="-114"/>
        <source>结束</source>
        <translation>Finish</translation>
    </message>
    <message>
        <location line="+97"/>
        <source>是否停止数据采集？</source>
        <translation>Stop data acquisition?</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+15"/>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <location line="-7"/>
        <location line="+13"/>
        <source>提前终止采集。</source>
        <translation>Acquisition terminated early.</translation>
    </message>
    <message>
        <location line="-9"/>
        <source>是否终止项目？</source>
        <translation>Terminate the project?</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>终止</source>
        <translation>Terminate</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>正在采集中，请先结束！</source>
        <translation>Acquisition in progress, please stop it first!</translation>
    </message>
    <message>
        <location line="-732"/>
        <location line="+265"/>
        <source>程序内部错误，采集已终止，详情见日志！</source>
        <translation>Internal error: the acquisition has ended, see the log for details!</translation>
    </message>
    <message>
        <location line="-184"/>
        <source> 计划开始时间：</source>
        <translation> Planned start: </translation>
    </message>
    <message>
        <location line="+23"/>
        <source>该型号没有可用的驱动：</source>
        <translation>No driver is available for the model: </translation>
    </message>
    <message>
        <location line="+247"/>
        <source> 数据库保存失败样本数：%1</source>
        <translation> Samples not saved to the database: %1</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>通讯异常，设备自动重连中...</source>
        <translation>Communication error, reconnecting the devices automatically...</translation>
    </message>
    <message>
        <location line="+27"/>
        <source>通讯异常，手动重连中...</source>
        <translation>Communication error, manual reconnection...</translation>
    </message>
    <message>
        <location line="-134"/>
        <location line="+44"/>
        <location line="+220"/>
        <location line="+104"/>
        <location line="+21"/>
        <source>警告</source>
        <translation>Warning</translation>
    </message>
    <message>
        <location line="-389"/>
        <source>采集数据写入数据库失败，采集继续进行，请检查磁盘空间或数据库是否被其他程序占用！</source>
        <translation>Samples could not be written to the database; the acquisition goes on. Check the free disk space and whether another program holds the database!</translation>
    </message>
    <message>
        <location line="+368"/>
        <source>CSV文件写入失败，未写入的数据将在下次写入时重试！</source>
        <translation>A CSV file could not be written; the rows not written will be tried again at the next write!</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>采集结束时仍有 %1 行数据未能写入CSV文件！</source>
        <translation>At the end of the acquisition %1 rows could still not be written to the CSV files!</translation>
    </message>
</context>
<context>
    <name>ParametersStatistics</name>
    <message>
        <location filename="../acquisition/ParametersStatistics.cpp" line="+25"/>
        <source>统计</source>
        <translation>Statistics</translation>
    </message>
    <message>
        <location line="+31"/>
        <source>最大值</source>
        <translation>Maximum</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>最大值通道</source>
        <translation>Max. channel</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>最小值</source>
        <translation>Minimum</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>最小值通道</source>
        <translation>Min. channel</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>平均值</source>
        <translation>Average</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>最大-最小</source>
        <translation>Max-Min</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>最大-平均</source>
        <translation>Max-Avg</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>平均-最小</source>
        <translation>Avg-Min</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>标准差</source>
        <translation>Std. deviation</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>采集时间</source>
        <translation>Acquisition time</translation>
    </message>
</context>
<context>
    <name>QTableWidgetL</name>
    <message>
        <location filename="../reports/VerificationReportData.cpp" line="+56"/>
        <location filename="../widgets/QTableWidgetL.cpp" line="+212"/>
        <source>复制</source>
        <translation>Copy</translation>
    </message>
    <message>
        <location filename="../widgets/QTableWidgetL.cpp" line="+1"/>
        <source>粘贴</source>
        <translation>Paste</translation>
    </message>
</context>
<context>
    <name>QWaiting</name>
    <message>
        <location filename="../widgets/QWaiting.cpp" line="+22"/>
        <source>提示</source>
        <translation>Information</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>请稍等...</source>
        <translation>Please wait...</translation>
    </message>
</context>
<context>
    <name>SimpleDataExport</name>
    <message>
        <location filename="../reports/SimpleDataExport.cpp" line="+66"/>
        <source>项目名称:</source>
        <translation>Project name:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>设备型号：</source>
        <translation>Model:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>设备序列号：</source>
        <translation>Serial number:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>通讯方式：</source>
        <translation>Connection:</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>扫描间隔：</source>
        <translation>Scan interval:</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>时间</source>
        <translation>Time</translation>
    </message>
</context>
<context>
    <name>Tool</name>
    <message>
        <location filename="../store/Tool.cpp" line="+293"/>
        <source>数据库正被其他程序使用，未做任何更改。</source>
        <translation>The database is in use by another program; nothing was changed.</translation>
    </message>
    <message>
        <source>项目名称已存在！（%1）</source>
        <translation>The project name already exists! (%1)</translation>
    </message>
    <message>
        <location line="+597"/>
        <location line="+1"/>
        <source>温度</source>
        <translation>Temperature</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>湿度</source>
        <translation>Humidity</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+1"/>
        <location line="+1"/>
        <location line="+1"/>
        <location line="+1"/>
        <location line="+1"/>
        <source>压力</source>
        <translation>Pressure</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+1"/>
        <source>电压</source>
        <translation>Voltage</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+1"/>
        <location line="+1"/>
        <source>电阻</source>
        <translation>Resistance</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+1"/>
        <location line="+1"/>
        <source>电流</source>
        <translation>Current</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>其他</source>
        <translation>Other</translation>
    </message>
    <message>
        <location filename="../store/ToolVocabulary.cpp" line="+12"/>
        <source>串口</source>
        <translation>Serial port</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>网络</source>
        <translation>Network</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>蓝牙</source>
        <translation>Bluetooth</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>导入</source>
        <translation>Import</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>铂电阻</source>
        <translation>Platinum resistance</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>热敏电阻</source>
        <translation>Thermistor</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>热电偶</source>
        <translation>Thermocouple</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>NTC</source>
        <translation>NTC</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>RTD</source>
        <translation>RTD</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>TC</source>
        <translation>TC</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>PTC</source>
        <translation>PTC</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>ITS90</source>
        <translation>ITS90</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>CVD</source>
        <translation>CVD</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>R(T)</source>
        <translation>R(T)</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>T(R)</source>
        <translation>T(R)</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Other</source>
        <translation>Other</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>K</source>
        <translation>K</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>J</source>
        <translation>J</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>T</source>
        <translation>T</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>E</source>
        <translation>E</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>N</source>
        <translation>N</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>R</source>
        <translation>R</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>S</source>
        <translation>S</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>B</source>
        <translation>B</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>2线制</source>
        <translation>2-wire</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>3线制</source>
        <translation>3-wire</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>4线制</source>
        <translation>4-wire</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Auto</source>
        <translation>Auto</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>℃</source>
        <translation>℃</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Ω</source>
        <translation>Ω</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>快速</source>
        <translation>Fast</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>中速</source>
        <translation>Medium</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>慢速</source>
        <translation>Slow</translation>
    </message>
</context>
<context>
    <name>TypedDateTimeEdit</name>
    <message>
        <location filename="../reports/TypedDateTimeEdit.cpp" line="+114"/>
        <source>提示</source>
        <translation>Information</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>输入的时间无效，已恢复原来的时间!</source>
        <translation>Invalid time entered; the previous time was restored!</translation>
    </message>
</context>
<context>
    <name>VerificationMerge</name>
    <message>
        <location filename="../reports/VerificationMerge.cpp" line="+23"/>
        <source>项目合并</source>
        <translation>Merge projects</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>合并后名称：</source>
        <translation>Name after merge:</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>选择</source>
        <translation>Select</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>项目名称</source>
        <translation>Project name</translation>
    </message>
    <message>
        <location line="+31"/>
        <source>没有匹配的项目可以合并!</source>
        <translation>No matching project can be merged!</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>提示</source>
        <translation>Information</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>合并后名称不能为空！</source>
        <translation>The name after the merge must not be empty!</translation>
    </message>
    <message>
        <location line="+11"/>
        <location line="+36"/>
        <source>数据库连接失败！</source>
        <translation>Database connection failed!</translation>
    </message>
    <message>
        <location line="-23"/>
        <source>请先选择需要合并的项目！</source>
        <translation>Please select the projects to merge first!</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>项目名称已存在！</source>
        <translation>The project name already exists!</translation>
    </message>
</context>
<context>
    <name>VerificationReport</name>
    <message>
        <location filename="../reports/VerificationReport.cpp" line="+64"/>
        <source>提示</source>
        <translation>Information</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>警告</source>
        <translation>Warning</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>查看项目</source>
        <translation>View project</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>查看数据</source>
        <translation>View data</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>简单导出</source>
        <translation>Simple export</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>删除项目</source>
        <translation>Delete project</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>项目合并</source>
        <translation>Merge projects</translation>
    </message>
    <message>
        <location line="+28"/>
        <location line="+61"/>
        <location line="+44"/>
        <source>项目列表</source>
        <translation>Project list</translation>
    </message>
    <message>
        <location line="-102"/>
        <source>查询</source>
        <translation>Search</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>项目信息</source>
        <translation>Project information</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>分段导出</source>
        <translation>Segmented export</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>报表生成</source>
        <translation>Generate report</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>趋势图</source>
        <translation>Trend chart</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>设定</source>
        <translation>Set</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>时间设置：</source>
        <translation>Time range:</translation>
    </message>
    <message>
        <location line="+183"/>
        <location line="+152"/>
        <source>当前项目没有采集的数据!</source>
        <translation>The current project has no acquired data!</translation>
    </message>
    <message>
        <location line="-135"/>
        <source>项目名称:</source>
        <translation>Project name:</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>创建时间:</source>
        <translation>Created:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>扫描间隔：</source>
        <translation>Scan interval:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>通道数量：</source>
        <translation>Channels:</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>使用的采集设备</source>
        <translation>Acquisition devices used</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>型号：</source>
        <translation>Model:</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>序列号：</source>
        <translation>Serial number:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>通讯方式：</source>
        <translation>Connection:</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>扫描速率：</source>
        <translation>Scan rate:</translation>
    </message>
    <message>
        <location line="+183"/>
        <source>请先选择需要删除的项目!</source>
        <translation>Please select the project to delete first!</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>删除数据失败!</source>
        <translation>Deleting the data failed!</translation>
    </message>
    <message>
        <location line="+86"/>
        <source>数据导出中，请稍等...</source>
        <translation>Exporting data, please wait...</translation>
    </message>
    <message>
        <location line="+28"/>
        <source>报表生成成功!</source>
        <translation>Report generated successfully!</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>数据异常，生成报表失败!</source>
        <translation>Data error, the report could not be generated!</translation>
    </message>
    <message>
        <location line="-348"/>
        <source>读取数据库失败！</source>
        <translation>Reading the database failed!</translation>
    </message>
</context>
<context>
    <name>VerificationReportData</name>
    <message>
        <location filename="../reports/VerificationReportData.cpp" line="-33"/>
        <source>数据</source>
        <translation>Data</translation>
    </message>
</context>
<context>
    <name>VerificationReportDataModel</name>
    <message>
        <location filename="../reports/VerificationReportDataModel.cpp" line="+17"/>
        <source>序号</source>
        <translation>No.</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>采集时间</source>
        <translation>Acquisition time</translation>
    </message>
</context>
<context>
    <name>VerificationReportExcel</name>
    <message>
        <location filename="../reports/ReportStatistics.cpp" line="+14"/>
        <source>数据表</source>
        <translation>Data table</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>横向表</source>
        <translation> horizontal table</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>竖向表</source>
        <translation> vertical table</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>最小平均</source>
        <translation>Min. Mean </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>及通道</source>
        <translation> and Channel</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>最大平均</source>
        <translation>Max. Mean </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>最大的最大值及通道</source>
        <translation>Largest Max. and Channel</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>最小的最小值及通道</source>
        <translation>Smallest Min. and Channel</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>全均值</source>
        <translation>Overall Mean</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>最大的最大值与全均值之差</source>
        <translation>Largest Max. - Overall Mean</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>最大平均值与全均值之差</source>
        <translation>Max. Mean - Overall Mean</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>全均值与最小的最小值之差</source>
        <translation>Overall Mean - Smallest Min.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>全均值与最小平均值之差</source>
        <translation>Overall Mean - Min. Mean</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>通道</source>
        <translation> Channel</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>最大</source>
        <translation>Max. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>最小</source>
        <translation>Min. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>平均</source>
        <translation>Mean </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>最大-平均</source>
        <translation>Max. - Mean</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>平均-最小</source>
        <translation>Mean - Min.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>最大-最小</source>
        <translation>Max. - Min.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>标准偏差</source>
        <translation>Std. Deviation</translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../reports/VerificationReportExcel.cpp" line="+200"/>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>通道</source>
        <comment>heading</comment>
        <translation>Channel</translation>
    </message>
    <message>
        <location filename="../reports/VerificationReportExcel.cpp" line="-104"/>
        <source>首页</source>
        <translation>Cover</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>项目名称:</source>
        <translation>Project name:</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>项目时间:</source>
        <translation>Project time:</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>报告概述:</source>
        <translation>Report summary:</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>采集报告</source>
        <translation>Acquisition report</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>打印时间：</source>
        <translation>Print time: </translation>
    </message>
    <message>
        <location line="+9"/>
        <source>设备列表:</source>
        <translation>Device list:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>序号</source>
        <translation>No.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>设备型号</source>
        <translation>Model</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>设备序列号</source>
        <translation>Serial number</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>采集方式</source>
        <translation>Acquisition method</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>通道个数</source>
        <translation>Channels</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>趋势图:</source>
        <translation>Trend chart:</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>工作数据表</source>
        <translation>Work data </translation>
    </message>
    <message>
        <location line="+38"/>
        <source>    结束</source>
        <translation>    end</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>    开始</source>
        <translation>    start</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>开始时间：</source>
        <translation>Start time: </translation>
    </message>
    <message>
        <location line="+2"/>
        <source>结束时间：</source>
        <translation>End time: </translation>
    </message>
    <message>
        <location line="+8"/>
        <source>竖向分析表</source>
        <translation> vertical analysis</translation>
    </message>
    <message>
        <location line="+45"/>
        <source>横向分析表</source>
        <translation> horizontal analysis</translation>
    </message>
</context>
<context>
    <name>VerificationReportExport</name>
    <message>
        <location filename="../reports/VerificationReportExport.cpp" line="+55"/>
        <source>报表生成</source>
        <translation>Generate report</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>导出数据</source>
        <translation>Export data</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>数据表</source>
        <translation>Data table</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>功能表页：</source>
        <translation>Sheets:</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>PDF</source>
        <translation>PDF</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Excel</source>
        <translation>Excel</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>导出格式:</source>
        <translation>Format:</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>多段统计</source>
        <translation>Segment statistics</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>时间段：</source>
        <translation>Segment:</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>备注：</source>
        <translation>Remark:</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>统计段数：</source>
        <translation>Segments:</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>打印间隔：</source>
        <translation>Print interval:</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>选择</source>
        <translation>Select</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>保存路径：</source>
        <translation>Save path:</translation>
    </message>
    <message>
        <location line="+54"/>
        <source>横向分析表</source>
        <translation> horizontal analysis</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>竖向分析表</source>
        <translation> vertical analysis</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>打开文件</source>
        <translation>Open File</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>路径设置错误!</source>
        <translation>Invalid path!</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>备注信息不能为空!</source>
        <translation>The remark must not be empty!</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>开始时间小于开始采集时间!</source>
        <translation>The start time is earlier than the start of acquisition!</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>结束时间大于结束采集时间!</source>
        <translation>The end time is later than the end of acquisition!</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>分段时间错误!</source>
        <translation>Invalid segment times!</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>采集间隔设置错误!</source>
        <translation>Invalid acquisition interval!</translation>
    </message>
    <message>
        <location line="+43"/>
        <source>提示</source>
        <translation>Information</translation>
    </message>
</context>
<context>
    <name>VerificationReportPDF</name>
    <message>
        <location filename="../reports/ReportStatistics.cpp" line="-30"/>
        <source>数据表</source>
        <translation>Data table</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>横向表</source>
        <translation> horizontal table</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>竖向表</source>
        <translation> vertical table</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>最小平均</source>
        <translation>Min. Mean </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>及通道</source>
        <translation> and Channel</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>最大平均</source>
        <translation>Max. Mean </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>最大的最大值及通道</source>
        <translation>Largest Max. and Channel</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>最小的最小值及通道</source>
        <translation>Smallest Min. and Channel</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>全均值</source>
        <translation>Overall Mean</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>最大的最大值与全均值之差</source>
        <translation>Largest Max. - Overall Mean</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>最大平均值与全均值之差</source>
        <translation>Max. Mean - Overall Mean</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>全均值与最小的最小值之差</source>
        <translation>Overall Mean - Smallest Min.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>全均值与最小平均值之差</source>
        <translation>Overall Mean - Min. Mean</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>通道</source>
        <translation> Channel</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>最大</source>
        <translation>Max. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>最小</source>
        <translation>Min. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>平均</source>
        <translation>Mean </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>最大-平均</source>
        <translation>Max. - Mean</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>平均-最小</source>
        <translation>Mean - Min.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>最大-最小</source>
        <translation>Max. - Min.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>标准偏差</source>
        <translation>Std. Deviation</translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../reports/VerificationReportPDF.cpp" line="+428"/>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>通道</source>
        <comment>heading</comment>
        <translation>Channel</translation>
    </message>
    <message>
        <location filename="../reports/VerificationReportPDF.cpp" line="-247"/>
        <source>采集报告</source>
        <translation>Acquisition report</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>打印时间：</source>
        <translation>Print time: </translation>
    </message>
    <message>
        <location line="+11"/>
        <source>第%1页,共%2页</source>
        <translation>Page %1 of %2</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>项目名称:</source>
        <translation>Project name:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>项目时间:</source>
        <translation>Project time:</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>报告概述:</source>
        <translation>Report summary:</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>设备列表:</source>
        <translation>Device list:</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>序号</source>
        <translation>No.</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>设备型号</source>
        <translation>Model</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>设备序列号</source>
        <translation>Serial number</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>采集方式</source>
        <translation>Acquisition method</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>通道个数</source>
        <translation>Channels</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>开始时间：</source>
        <translation>Start time: </translation>
    </message>
    <message>
        <location line="+2"/>
        <source>结束时间：</source>
        <translation>End time: </translation>
    </message>
    <message>
        <location line="+170"/>
        <source>    开始</source>
        <translation>    start</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>    结束</source>
        <translation>    end</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>工作数据表</source>
        <translation>Work data </translation>
    </message>
    <message>
        <location line="+20"/>
        <source>竖向分析表</source>
        <translation> vertical analysis</translation>
    </message>
    <message>
        <location line="+72"/>
        <source>横向分析表</source>
        <translation> horizontal analysis</translation>
    </message>
</context>
</TS>
