<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="zh_CN">
<context>
    <name>AlarmChecker</name>
    <message>
        <location filename="../acquisition/AlarmChecker.cpp" line="+40"/>
        <source>下限通知</source>
        <translation>下限通知</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>上限通知</source>
        <translation>上限通知</translation>
    </message>
    <message>
        <location line="+24"/>
        <source> 低于下限:</source>
        <translation> 低于下限:</translation>
    </message>
    <message>
        <location line="+0"/>
        <source> 高于上限:</source>
        <translation> 高于上限:</translation>
    </message>
</context>
<context>
    <name>AlarmMailer</name>
    <message>
        <location filename="../acquisition/AlarmMailer.cpp" line="+37"/>
        <source>异常通知</source>
        <translation>异常通知</translation>
    </message>
</context>
<context>
    <name>Calibration</name>
    <message>
        <location filename="../calibration/Calibration.cpp" line="+56"/>
        <source>提示</source>
        <translation>提示</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>查看项目</source>
        <translation>查看项目</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>重新计算</source>
        <translation>重新计算</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>删除项目</source>
        <translation>删除项目</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>继续校准</source>
        <translation>继续校准</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Ini导出</source>
        <translation>Ini导出</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>校准设置</source>
        <translation>校准设置</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>采集设备：</source>
        <translation>采集设备：</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>温场：</source>
        <translation>温场：</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+5"/>
        <source>通信设置</source>
        <translation>通信设置</translation>
    </message>
    <message>
        <location line="-1"/>
        <source>标准：</source>
        <translation>标准：</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>校准</source>
        <translation>校准</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>校准记录</source>
        <translation>校准记录</translation>
    </message>
    <message>
        <location line="+6"/>
        <location line="+8"/>
        <source>校准数据</source>
        <translation>校准数据</translation>
    </message>
    <message>
        <location line="-3"/>
        <source>通道序号</source>
        <translation>通道序号</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>通道类型</source>
        <translation>通道类型</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>通道功能</source>
        <translation>通道功能</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>接线线制</source>
        <translation>接线线制</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>校准标准</source>
        <translation>校准标准</translation>
    </message>
    <message>
        <location line="+18"/>
        <location line="+211"/>
        <source>项目列表</source>
        <translation>项目列表</translation>
    </message>
    <message>
        <location line="-144"/>
        <source>其他</source>
        <translation>其他</translation>
    </message>
    <message>
        <location line="+43"/>
        <source>当前标准无需设置通信信息!</source>
        <translation>当前标准无需设置通信信息!</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>温场未连接!</source>
        <translation>温场未连接!</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>标准未连接!</source>
        <translation>标准未连接!</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>当前温场不支持标准手动采集!</source>
        <translation>当前温场不支持标准手动采集!</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>未选择采集器!</source>
        <translation>未选择采集器!</translation>
    </message>
    <message>
        <location line="+35"/>
        <source>项目信息异常!</source>
        <translation>项目信息异常!</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>选择的采集器未连接!</source>
        <translation>选择的采集器未连接!</translation>
    </message>
    <message>
        <location line="+174"/>
        <source>数据库保存数据失败！</source>
        <translation>数据库保存数据失败！</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>请先选择需要删除的项目!</source>
        <translation>请先选择需要删除的项目!</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>删除数据失败!</source>
        <translation>删除数据失败!</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>请先选择需要导出的通道!</source>
        <translation>请先选择需要导出的通道!</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>保存文件</source>
        <translation>保存文件</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>数据导出成功！</source>
        <translation>数据导出成功！</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>数据导出失败！</source>
        <translation>数据导出失败！</translation>
    </message>
    <message>
        <location line="-203"/>
        <source>读取数据库失败！</source>
        <translation>读取数据库失败！</translation>
    </message>
</context>
<context>
    <name>CalibrationChannel</name>
    <message>
        <location filename="../calibration/CalibrationChannel.cpp" line="+46"/>
        <source>提示</source>
        <translation>提示</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>通道校准</source>
        <translation>通道校准</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>通道信息</source>
        <translation>通道信息</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>校准参数</source>
        <translation>校准参数</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>温度点：</source>
        <translation>温度点：</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>稳定延迟：</source>
        <translation>稳定延迟：</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>校准信息</source>
        <translation>校准信息</translation>
    </message>
    <message>
        <location line="+10"/>
        <location line="+246"/>
        <location line="+1"/>
        <source>全选</source>
        <translation>全选</translation>
    </message>
    <message>
        <location line="-244"/>
        <source>下一步</source>
        <translation>下一步</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>状态</source>
        <translation>状态</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>序号</source>
        <translation>序号</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>通道编号</source>
        <translation>通道编号</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>通道类型</source>
        <translation>通道类型</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>通道功能</source>
        <translation>通道功能</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>接线线制</source>
        <translation>接线线制</translation>
    </message>
    <message>
        <location line="+85"/>
        <location line="+294"/>
        <source>参数获取中，请稍等...</source>
        <translation>参数获取中，请稍等...</translation>
    </message>
    <message>
        <location line="-301"/>
        <source>项目信息异常!</source>
        <translation>项目信息异常!</translation>
    </message>
    <message>
        <location line="+88"/>
        <source>参数获取成功！</source>
        <translation>参数获取成功！</translation>
    </message>
    <message>
        <location line="-18"/>
        <location line="+7"/>
        <location line="+13"/>
        <source>参数获取失败！</source>
        <translation>参数获取失败！</translation>
    </message>
    <message>
        <location line="-23"/>
        <source>序列号不匹配，请检查连接的设备是否为对应序列号的设备！</source>
        <translation>序列号不匹配，请检查连接的设备是否为对应序列号的设备！</translation>
    </message>
    <message>
        <location line="+84"/>
        <source>取消全选</source>
        <translation>取消全选</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>稳定延时未设置！</source>
        <translation>稳定延时未设置！</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>稳定延时设置无效：%1</source>
        <translation>稳定延时设置无效：%1</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>校准温度未设置！</source>
        <translation>校准温度未设置！</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>校准温度设置无效：%1</source>
        <translation>校准温度设置无效：%1</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>温度点%1超出范围（-273.15℃～10000℃）：%2</source>
        <translation>温度点%1超出范围（-273.15℃～10000℃）：%2</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>数据库读取数据失败！</source>
        <translation>数据库读取数据失败！</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>已有同一时间的校准项目，请稍后再试！</source>
        <translation>已有同一时间的校准项目，请稍后再试！</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>请先选择通道！</source>
        <translation>请先选择通道！</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>采集器</source>
        <translation>采集器</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+9"/>
        <location line="+9"/>
        <source>型号:</source>
        <translation>型号:</translation>
    </message>
    <message>
        <location line="-17"/>
        <source>序列号:</source>
        <translation>序列号:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>采集速率:</source>
        <translation>采集速率:</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+8"/>
        <location line="+9"/>
        <source>通信方式:</source>
        <translation>通信方式:</translation>
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
        <translation>温场</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>标准</source>
        <translation>标准</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Name:</source>
        <translation>Name:</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>校准需求</source>
        <translation>校准需求</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>只支持热敏电阻 R(T)/T(R)、铂电阻 CVD/ITS90 校准</source>
        <translation>只支持热敏电阻 R(T)/T(R)、铂电阻 CVD/ITS90 校准</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>R(T)/T(R)校准不能少于4个温度点</source>
        <translation>R(T)/T(R)校准不能少于4个温度点</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>CVD校准不能少于3个温度点</source>
        <translation>CVD校准不能少于3个温度点</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>ITS90校准必须为3个或5个温度点，3个温度点为1个0℃、2个正温/2个负温，</source>
        <translation>ITS90校准必须为3个或5个温度点，3个温度点为1个0℃、2个正温/2个负温，</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>5个温度点为1个0℃、2个正温、2个负温</source>
        <translation>5个温度点为1个0℃、2个正温、2个负温</translation>
    </message>
</context>
<context>
    <name>CalibrationScan</name>
    <message>
        <location filename="../calibration/CalibrationScan.cpp" line="+62"/>
        <source>通信设置</source>
        <translation>通信设置</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>操作区</source>
        <translation>操作区</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>通讯方式：</source>
        <translation>通讯方式：</translation>
    </message>
    <message>
        <location line="+33"/>
        <source>测试</source>
        <translation>测试</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>确定</source>
        <translation>确定</translation>
    </message>
    <message>
        <location line="+62"/>
        <source>IP地址：</source>
        <translation>IP地址：</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>端口号：</source>
        <translation>端口号：</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>设备名：</source>
        <translation>设备名：</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>空：</source>
        <translation>空：</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>串口号：</source>
        <translation>串口号：</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>波特率：</source>
        <translation>波特率：</translation>
    </message>
    <message>
        <location line="+30"/>
        <location line="+30"/>
        <source>提示</source>
        <translation>提示</translation>
    </message>
    <message>
        <location line="-30"/>
        <source>当前模式无需测试！</source>
        <translation>当前模式无需测试！</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>测试成功！</source>
        <translation>测试成功！</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>设备连接失败！</source>
        <translation>设备连接失败！</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>未选择设备。</source>
        <translation>未选择设备。</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>找不到串口%1。</source>
        <translation>找不到串口%1。</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>设备在等待时间内没有应答。</source>
        <translation>设备在等待时间内没有应答。</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>无法连接：%1</source>
        <translation>无法连接：%1</translation>
    </message>
</context>
<context>
    <name>CalibrationWork</name>
    <message>
        <location filename="../calibration/CalibrationWork.cpp" line="+77"/>
        <source>提示</source>
        <translation>提示</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>重采</source>
        <translation>重采</translation>
    </message>
    <message>
        <location line="+45"/>
        <source>校准</source>
        <translation>校准</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>实时数据</source>
        <translation>实时数据</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>操作台</source>
        <translation>操作台</translation>
    </message>
    <message>
        <location line="+5"/>
        <location line="+20"/>
        <location line="+490"/>
        <source>温度点</source>
        <translation>温度点</translation>
    </message>
    <message>
        <location line="-503"/>
        <source>结束</source>
        <translation>结束</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>校准温度点</source>
        <translation>校准温度点</translation>
    </message>
    <message>
        <location line="+35"/>
        <source>项目信息异常!</source>
        <translation>项目信息异常!</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>校准温度点数大于设置温度点数，请退出重新设置!</source>
        <translation>校准温度点数大于设置温度点数，请退出重新设置!</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>采集时间</source>
        <translation>采集时间</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>标准器</source>
        <translation>标准器</translation>
    </message>
    <message>
        <location line="+62"/>
        <source>序列号不匹配，请检查连接的设备是否为对应序列号的设备！</source>
        <translation>序列号不匹配，请检查连接的设备是否为对应序列号的设备！</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>初始化通道信息失败！</source>
        <translation>初始化通道信息失败！</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>设置通道开关失败！</source>
        <translation>设置通道开关失败！</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>设置扫描信息失败！</source>
        <translation>设置扫描信息失败！</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>温场设备连接失败!</source>
        <translation>温场设备连接失败!</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>温场设备设置失败!</source>
        <translation>温场设备设置失败!</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>标准设备连接失败!</source>
        <translation>标准设备连接失败!</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>标准设备设置失败!</source>
        <translation>标准设备设置失败!</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>设置温场温度失败！</source>
        <translation>设置温场温度失败！</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>： 温场温度设置成功：</source>
        <translation>： 温场温度设置成功：</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>： 温场稳定等待中...</source>
        <translation>： 温场稳定等待中...</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>获取温场稳定失败！</source>
        <translation>获取温场稳定失败！</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>： 温场稳定延迟等待中 </source>
        <translation>： 温场稳定延迟等待中 </translation>
    </message>
    <message>
        <location line="+0"/>
        <source>分钟</source>
        <translation>分钟</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>： 温场已稳定</source>
        <translation>： 温场已稳定</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>与温场的连接已断开。</source>
        <translation>与温场的连接已断开。</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>标准获取温度失败!</source>
        <translation>标准获取温度失败!</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>采集器数据获取失败!</source>
        <translation>采集器数据获取失败!</translation>
    </message>
    <message>
        <location line="+38"/>
        <source>： 通道%1系数写入失败！</source>
        <translation>： 通道%1系数写入失败！</translation>
    </message>
    <message>
        <location line="+44"/>
        <source>： 通道%1未计算系数：温度点不满足%2校准要求！</source>
        <translation>： 通道%1未计算系数：温度点不满足%2校准要求！</translation>
    </message>
    <message>
        <location line="+48"/>
        <location line="+8"/>
        <source>校准结束退出!</source>
        <translation>校准结束退出!</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>： 设备连接中...</source>
        <translation>： 设备连接中...</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>： 设备连接成功！</source>
        <translation>： 设备连接成功！</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>： 数据采集成功！</source>
        <translation>： 数据采集成功！</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>设备打开成功！</source>
        <translation>设备打开成功！</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>数据异常!</source>
        <translation>数据异常!</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>： 开始采集温度点 </source>
        <translation>： 开始采集温度点 </translation>
    </message>
    <message>
        <location line="+25"/>
        <source>设备断开成功！</source>
        <translation>设备断开成功！</translation>
    </message>
    <message>
        <location line="-37"/>
        <source>该设备已断开：结束时不写入系数，也不保存数据。</source>
        <translation>该设备已断开：结束时不写入系数，也不保存数据。</translation>
    </message>
    <message>
        <location line="+184"/>
        <source>数据库正被其他程序占用，数据将每隔几秒自动再次保存，关闭窗口时也会再次保存。</source>
        <translation>数据库正被其他程序占用，数据将每隔几秒自动再次保存，关闭窗口时也会再次保存。</translation>
    </message>
    <message>
        <location line="+60"/>
        <source>校准数据已完整写入日志文件：%1</source>
        <translation>校准数据已完整写入日志文件：%1</translation>
    </message>
    <message>
        <location line="-163"/>
        <source>当前为自动模式，此按钮不可用!</source>
        <translation>当前为自动模式，此按钮不可用!</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>标准</source>
        <translation>标准</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>请输入标准温度：</source>
        <translation>请输入标准温度：</translation>
    </message>
    <message>
        <location line="+93"/>
        <location line="+60"/>
        <source>数据库保存数据失败！</source>
        <translation>数据库保存数据失败！</translation>
    </message>
    <message>
        <location line="-33"/>
        <source>： 校准数据保存成功！</source>
        <translation>： 校准数据保存成功！</translation>
    </message>
    <message>
        <location line="+38"/>
        <source>数据库：%1</source>
        <translation>数据库：%1</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>校准数据未能保存，窗口没有关闭：请腾出空间后再次关闭窗口以重新保存；仍无法保存时窗口将关闭，数据丢失。</source>
        <translation>校准数据未能保存，窗口没有关闭：请腾出空间后再次关闭窗口以重新保存；仍无法保存时窗口将关闭，数据丢失。</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>校准数据未能保存，已丢失！</source>
        <translation>校准数据未能保存，已丢失！</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>日志文件：未写入。</source>
        <translation>日志文件：未写入。</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>日志文件%1：%2</source>
        <translation>日志文件%1：%2</translation>
    </message>
    <message>
        <location line="+65"/>
        <source>正在校准中，不能退出!</source>
        <translation>正在校准中，不能退出!</translation>
    </message>
</context>
<context>
    <name>CoefficientFit</name>
    <message>
        <location filename="../calibration/CoefficientFit.cpp" line="+53"/>
        <source>计算结果不是有限数。</source>
        <translation>计算结果不是有限数。</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>需要3个或5个温度点，实有%1个。</source>
        <translation>需要3个或5个温度点，实有%1个。</translation>
    </message>
    <message>
        <location line="+45"/>
        <source>标准温度%1个，读数%2个，个数不同。</source>
        <translation>标准温度%1个，读数%2个，个数不同。</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>需要至少%1个温度点，只有%2个。</source>
        <translation>需要至少%1个温度点，只有%2个。</translation>
    </message>
    <message>
        <location line="+39"/>
        <source>不同的标准温度只有%1个，需要%2个。</source>
        <translation>不同的标准温度只有%1个，需要%2个。</translation>
    </message>
    <message>
        <location line="-47"/>
        <source>标准温度或读数含有不是数字的文本。</source>
        <translation>标准温度或读数含有不是数字的文本。</translation>
    </message>
    <message>
        <location line="+51"/>
        <source>所有读数相同。</source>
        <translation>所有读数相同。</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>读数没有随标准温度单调上升或下降。</source>
        <translation>读数没有随标准温度单调上升或下降。</translation>
    </message>
    <message>
        <location line="+70"/>
        <source>未知的计算方法“%1”。</source>
        <translation>未知的计算方法“%1”。</translation>
    </message>
    <message>
        <location line="+123"/>
        <source>居中的温度点不在0℃±0.1℃以内。</source>
        <translation>居中的温度点不在0℃±0.1℃以内。</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>最低或最高的温度点都不在0℃±0.1℃以内。</source>
        <translation>最低或最高的温度点都不在0℃±0.1℃以内。</translation>
    </message>
</context>
<context>
    <name>CoefficientIni</name>
    <message>
        <location filename="../calibration/CoefficientIni.cpp" line="+76"/>
        <source>无法读取已有的文件：%1</source>
        <translation>无法读取已有的文件：%1</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>%1 不是普通文件（%2），未做任何更改。</source>
        <translation>%1 不是普通文件（%2），未做任何更改。</translation>
    </message>
    <message>
        <location line="+8"/>
        <location line="+73"/>
        <source>文件夹</source>
        <translation>文件夹</translation>
    </message>
    <message>
        <location line="-71"/>
        <source>命名管道</source>
        <translation>命名管道</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>设备</source>
        <translation>设备</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+69"/>
        <source>特殊文件</source>
        <translation>特殊文件</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>已有的文件过大（超过 %1 MB），未做任何更改。</source>
        <translation>已有的文件过大（超过 %1 MB），未做任何更改。</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>已有的文件含有NUL字节，不是文本文件。</source>
        <translation>已有的文件含有NUL字节，不是文本文件。</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>已有的文件不是UTF-8文本。</source>
        <translation>已有的文件不是UTF-8文本。</translation>
    </message>
    <message>
        <location line="-124"/>
        <source>已有的文件不是有效的INI文件。</source>
        <translation>已有的文件不是有效的INI文件。</translation>
    </message>
    <message>
        <location line="-5"/>
        <source>文件写入失败。</source>
        <translation>文件写入失败。</translation>
    </message>
</context>
<context>
    <name>Collection</name>
    <message>
        <location filename="../comm/Collection.cpp" line="+99"/>
        <source>Set Range Error！</source>
        <translation>Set Range Error！</translation>
    </message>
</context>
<context>
    <name>CollectionRecordFile</name>
    <message>
        <location filename="../drivers/CollectionRecordFile.cpp" line="+38"/>
        <source>该型号的数据只能从记录文件导入，无法连接仪器。</source>
        <translation>该型号的数据只能从记录文件导入，无法连接仪器。</translation>
    </message>
</context>
<context>
    <name>HKRQ5713</name>
    <message>
        <location filename="../shell/HKRQ5713.cpp" line="+59"/>
        <source>数据库打开失败!</source>
        <translation>数据库打开失败!</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Sql Error</source>
        <translation>Sql Error</translation>
    </message>
    <message>
        <location line="+93"/>
        <source>数据采集</source>
        <translation>数据采集</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>传感器校准</source>
        <translation>传感器校准</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>验证报告</source>
        <translation>验证报告</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>版本：</source>
        <translation>版本：</translation>
    </message>
    <message>
        <location line="+35"/>
        <source>警告</source>
        <translation>警告</translation>
    </message>
    <message>
        <location line="+166"/>
        <source>提示</source>
        <translation>提示</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>确认退出程序?</source>
        <translation>确认退出程序?</translation>
    </message>
</context>
<context>
    <name>ParametersChannel</name>
    <message>
        <location filename="../acquisition/ParametersChannel.cpp" line="+23"/>
        <source>警告</source>
        <translation>警告</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>通道配置</source>
        <translation>通道配置</translation>
    </message>
    <message>
        <location line="+16"/>
        <location line="+142"/>
        <source>下限全选</source>
        <translation>下限全选</translation>
    </message>
    <message>
        <location line="-141"/>
        <location line="+146"/>
        <source>上限全选</source>
        <translation>上限全选</translation>
    </message>
    <message>
        <location line="-145"/>
        <source>下一步</source>
        <translation>下一步</translation>
    </message>
    <message>
        <location line="+27"/>
        <source>设备序号</source>
        <translation>设备序号</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>设备类型</source>
        <translation>设备类型</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>通道序号</source>
        <translation>通道序号</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>通道单位</source>
        <translation>通道单位</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+171"/>
        <location line="+4"/>
        <source>项目</source>
        <translation>项目</translation>
    </message>
    <message>
        <location line="-175"/>
        <source>显示单位</source>
        <translation>显示单位</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>下限通知</source>
        <translation>下限通知</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>下限</source>
        <translation>下限</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>上限通知</source>
        <translation>上限通知</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>上限</source>
        <translation>上限</translation>
    </message>
    <message>
        <location line="+101"/>
        <source>取消全选</source>
        <translation>取消全选</translation>
    </message>
    <message>
        <location line="+28"/>
        <source>单位不能为空！</source>
        <translation>单位不能为空！</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>显示单位不能包含逗号！</source>
        <translation>显示单位不能包含逗号！</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>显示单位不能包含双引号！</source>
        <translation>显示单位不能包含双引号！</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>输入的M参数异常！</source>
        <translation>输入的M参数异常！</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>输入的B参数异常！</source>
        <translation>输入的B参数异常！</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>输入的下限温度异常！</source>
        <translation>输入的下限温度异常！</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>输入的上限温度异常！</source>
        <translation>输入的上限温度异常！</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>第%1行的项目不在项目列表中！</source>
        <translation>第%1行的项目不在项目列表中！</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>第%1行：设备序号%2，通道序号%3</source>
        <translation>第%1行：设备序号%2，通道序号%3</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>:未选择通道！</source>
        <translation>:未选择通道！</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>:通道单位最多为两类！</source>
        <translation>:通道单位最多为两类！</translation>
    </message>
</context>
<context>
    <name>ParametersChart</name>
    <message>
        <location filename="../acquisition/ParametersChart.cpp" line="+54"/>
        <source>实时数据</source>
        <translation>实时数据</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>趋势图</source>
        <translation>趋势图</translation>
    </message>
    <message>
        <location line="+21"/>
        <location line="+115"/>
        <location line="+1"/>
        <source>全选</source>
        <translation>全选</translation>
    </message>
    <message>
        <location line="-113"/>
        <location line="+125"/>
        <location line="+10"/>
        <source>刷新中</source>
        <translation>刷新中</translation>
    </message>
    <message>
        <location line="-108"/>
        <source>采集时间</source>
        <translation>采集时间</translation>
    </message>
    <message>
        <location line="+86"/>
        <source>全不选</source>
        <translation>全不选</translation>
    </message>
    <message>
        <location line="+13"/>
        <location line="+2"/>
        <source>X轴刷新</source>
        <translation>X轴刷新</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+2"/>
        <source>Y轴刷新</source>
        <translation>Y轴刷新</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>停止刷新</source>
        <translation>停止刷新</translation>
    </message>
</context>
<context>
    <name>ParametersCsvWriter</name>
    <message>
        <location filename="../acquisition/ParametersCsvWriter.cpp" line="+226"/>
        <source>写入线程异常终止，详见日志</source>
        <translation>写入线程异常终止，详见日志</translation>
    </message>
</context>
<context>
    <name>ParametersImport</name>
    <message>
        <location filename="../acquisition/ParametersImport.cpp" line="+118"/>
        <source>数据导入</source>
        <translation>数据导入</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>提示</source>
        <translation>提示</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>警告</source>
        <translation>警告</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>设置</source>
        <translation>设置</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>时间对齐</source>
        <translation>时间对齐</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>打开</source>
        <translation>打开</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>保存</source>
        <translation>保存</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>开始时间：</source>
        <translation>开始时间：</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>结束时间：</source>
        <translation>结束时间：</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>扫描间隔：</source>
        <translation>扫描间隔：</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>秒</source>
        <translation>秒</translation>
    </message>
    <message>
        <location line="+82"/>
        <source>选择文件</source>
        <translation>选择文件</translation>
    </message>
    <message>
        <location line="+6"/>
        <location line="+69"/>
        <source>未检测到通道！</source>
        <translation>未检测到通道！</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>读取在第 %1 行中断，详见日志。</source>
        <translation>读取在第 %1 行中断，详见日志。</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+29"/>
        <source>第 %1 行不符合记录文件格式。</source>
        <translation>第 %1 行不符合记录文件格式。</translation>
    </message>
    <message>
        <location line="-28"/>
        <source>采集数据不匹配，读取失败！</source>
        <translation>采集数据不匹配，读取失败！</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>数据读取成功！</source>
        <translation>数据读取成功！</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>%1 不是普通文件。</source>
        <translation>%1 不是普通文件。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>无法打开文件 %1。</source>
        <translation>无法打开文件 %1。</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>序号</source>
        <translation>序号</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>时间</source>
        <translation>时间</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>扫描间隔设置错误！</source>
        <translation>扫描间隔设置错误！</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>开始时间不能大于结束时间！</source>
        <translation>开始时间不能大于结束时间！</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>时间范围异常！</source>
        <translation>时间范围异常！</translation>
    </message>
    <message>
        <location line="+35"/>
        <source>:时间间隔异常，请检查！</source>
        <translation>:时间间隔异常，请检查！</translation>
    </message>
    <message>
        <location line="+52"/>
        <source>数据保存失败！</source>
        <translation>数据保存失败！</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>数据保存成功！</source>
        <translation>数据保存成功！</translation>
    </message>
</context>
<context>
    <name>ParametersMode</name>
    <message>
        <location filename="../acquisition/ParametersMode.cpp" line="+36"/>
        <source>警告</source>
        <translation>警告</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>在线</source>
        <translation>在线</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>导入</source>
        <translation>导入</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>采集参数</source>
        <translation>采集参数</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>采集方式：</source>
        <translation>采集方式：</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>采集器个数：</source>
        <translation>采集器个数：</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>采集器：</source>
        <translation>采集器：</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>项目个数：</source>
        <translation>项目个数：</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>项目名称：</source>
        <translation>项目名称：</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>采集开始时间：</source>
        <translation>采集开始时间：</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>采集结束时间：</source>
        <translation>采集结束时间：</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>采集间隔：</source>
        <translation>采集间隔：</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>数据保存</source>
        <translation>数据保存</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>下一步</source>
        <translation>下一步</translation>
    </message>
    <message>
        <location line="+191"/>
        <source>未选择采集设备！</source>
        <translation>未选择采集设备！</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>采集设备不能相同！</source>
        <translation>采集设备不能相同！</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>项目信息未设置！</source>
        <translation>项目信息未设置！</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>项目名称不能包含 / \ : * ? &quot; &lt; &gt; | , 或控制字符，不能为 . 或 ..，首尾不能有空格！</source>
        <translation>项目名称不能包含 / \ : * ? &quot; &lt; &gt; | , 或控制字符，不能为 . 或 ..，首尾不能有空格！</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>项目名称不能为NULL！</source>
        <translation>项目名称不能为NULL！</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>项目名称相同！</source>
        <translation>项目名称相同！</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>数据库连接失败！</source>
        <translation>数据库连接失败！</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>项目名称已存在！</source>
        <translation>项目名称已存在！</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>采集间隔设置错误!</source>
        <translation>采集间隔设置错误!</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>采集设备参数将以第一台设备为准！</source>
        <translation>采集设备参数将以第一台设备为准！</translation>
    </message>
    <message>
        <location line="-28"/>
        <source>项目名称过长，数据文件名不能超过255字节！</source>
        <translation>项目名称过长，数据文件名不能超过255字节！</translation>
    </message>
</context>
<context>
    <name>ParametersOnLine</name>
    <message>
        <location filename="../acquisition/ParametersOnLine.cpp" line="+61"/>
        <location line="+564"/>
        <source>提示</source>
        <translation>提示</translation>
    </message>
    <message>
        <location line="-518"/>
        <source>数据采集</source>
        <translation>数据采集</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>消息：</source>
        <translation>消息：</translation>
    </message>
    <message>
        <location line="+7"/>
        <location line="+654"/>
        <source>停止</source>
        <translation>停止</translation>
    </message>
    <message>
        <location line="-603"/>
        <source>参数设置中，请稍等...</source>
        <translation>参数设置中，请稍等...</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>采集间隔无效，间隔不能小于1毫秒！</source>
        <translation>采集间隔无效，间隔不能小于1毫秒！</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>开始时间无效，请重新设置！</source>
        <translation>开始时间无效，请重新设置！</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>采集点数超出范围，请缩短采集时间或加大采集间隔！</source>
        <translation>采集点数超出范围，请缩短采集时间或加大采集间隔！</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>项目</source>
        <translation>项目</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>结果</source>
        <translation>结果</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>统计</source>
        <translation>统计</translation>
    </message>
    <message>
        <location line="+31"/>
        <source>开始等待中...</source>
        <translation>开始等待中...</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>手动停止采集！</source>
        <translation>手动停止采集！</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>采集设备信息设置中...</source>
        <translation>采集设备信息设置中...</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>设备连接失败,请退出重试！</source>
        <translation>设备连接失败,请退出重试！</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>通道参数与设备不匹配!</source>
        <translation>通道参数与设备不匹配!</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>序列号不匹配，请检查连接的设备是否为对应序列号的设备！</source>
        <translation>序列号不匹配，请检查连接的设备是否为对应序列号的设备！</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>获取通道信息失败,请退出重试!</source>
        <translation>获取通道信息失败,请退出重试!</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>通道设置失败,请退出重试!</source>
        <translation>通道设置失败,请退出重试!</translation>
    </message>
    <message>
        <location line="+28"/>
        <source>项目信息保存失败，采集未开始！</source>
        <translation>项目信息保存失败，采集未开始！</translation>
    </message>
    <message>
        <location line="+114"/>
        <source>打开数据库失败！</source>
        <translation>打开数据库失败！</translation>
    </message>
    <message>
        <location line="+3"/>
        <source> 采集中...</source>
        <translation> 采集中...</translation>
    </message>
    <message>
        <location line="+36"/>
        <source>采集已结束，%1 个样本未能写入数据库！</source>
        <translation>采集已结束，%1 个样本未能写入数据库！</translation>
    </message>
    <message>
        <source> 正在保存暂存的样本：数据库正被其他程序占用，最多等待 %1 秒……</source>
        <translation> 正在保存暂存的样本：数据库正被其他程序占用，最多等待 %1 秒……</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>采集结束。</source>
        <translation>采集结束。</translation>
    </message>
    <message>
        <location line="+54"/>
        <source>数据获取失败。</source>
        <translation>数据获取失败。</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>设备重新连接。</source>
        <translation>设备重新连接。</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>设备连接成功。</source>
        <translation>设备连接成功。</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>进入手动重连模式！</source>
        <translation>进入手动重连模式！</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>通讯异常，请设备关机重试！</source>
        <translation>通讯异常，请设备关机重试！</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>手动重连成功！</source>
        <translation>手动重连成功！</translation>
    </message>
    <message>
        <location line="+86"/>
        <source> 项目已不在数据库中：%1</source>
        <translation> 项目已不在数据库中：%1</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>项目 %1 已不在数据库中（被其他程序删除或合并），其后的采样数据不再保存到数据库！</source>
        <translation>项目 %1 已不在数据库中（被其他程序删除或合并），其后的采样数据不再保存到数据库！</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>CSV文件照常保存。</source>
        <translation>CSV文件照常保存。</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>通讯异常</source>
        <translation>通讯异常</translation>
    </message>
    <message>
        <location line="+32"/>
        <location line="+117"/>
        <source>继续</source>
        <translation>继续</translation>
    </message>
    <message>
        <location line="-114"/>
        <source>结束</source>
        <translation>结束</translation>
    </message>
    <message>
        <location line="+97"/>
        <source>是否停止数据采集？</source>
        <translation>是否停止数据采集？</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>确定</source>
        <translation>确定</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+15"/>
        <source>取消</source>
        <translation>取消</translation>
    </message>
    <message>
        <location line="-7"/>
        <location line="+13"/>
        <source>提前终止采集。</source>
        <translation>提前终止采集。</translation>
    </message>
    <message>
        <location line="-9"/>
        <source>是否终止项目？</source>
        <translation>是否终止项目？</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>终止</source>
        <translation>终止</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>正在采集中，请先结束！</source>
        <translation>正在采集中，请先结束！</translation>
    </message>
    <message>
        <location line="-732"/>
        <location line="+265"/>
        <source>程序内部错误，采集已终止，详情见日志！</source>
        <translation>程序内部错误，采集已终止，详情见日志！</translation>
    </message>
    <message>
        <location line="-184"/>
        <source> 计划开始时间：</source>
        <translation> 计划开始时间：</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>该型号没有可用的驱动：</source>
        <translation>该型号没有可用的驱动：</translation>
    </message>
    <message>
        <location line="+247"/>
        <source> 数据库保存失败样本数：%1</source>
        <translation> 数据库保存失败样本数：%1</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>通讯异常，设备自动重连中...</source>
        <translation>通讯异常，设备自动重连中...</translation>
    </message>
    <message>
        <location line="+27"/>
        <source>通讯异常，手动重连中...</source>
        <translation>通讯异常，手动重连中...</translation>
    </message>
    <message>
        <location line="-134"/>
        <location line="+44"/>
        <location line="+220"/>
        <location line="+104"/>
        <location line="+21"/>
        <source>警告</source>
        <translation>警告</translation>
    </message>
    <message>
        <location line="-389"/>
        <source>采集数据写入数据库失败，采集继续进行，请检查磁盘空间或数据库是否被其他程序占用！</source>
        <translation>采集数据写入数据库失败，采集继续进行，请检查磁盘空间或数据库是否被其他程序占用！</translation>
    </message>
    <message>
        <location line="+368"/>
        <source>CSV文件写入失败，未写入的数据将在下次写入时重试！</source>
        <translation>CSV文件写入失败，未写入的数据将在下次写入时重试！</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>采集结束时仍有 %1 行数据未能写入CSV文件！</source>
        <translation>采集结束时仍有 %1 行数据未能写入CSV文件！</translation>
    </message>
</context>
<context>
    <name>ParametersStatistics</name>
    <message>
        <location filename="../acquisition/ParametersStatistics.cpp" line="+25"/>
        <source>统计</source>
        <translation>统计</translation>
    </message>
    <message>
        <location line="+31"/>
        <source>最大值</source>
        <translation>最大值</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>最大值通道</source>
        <translation>最大值通道</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>最小值</source>
        <translation>最小值</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>最小值通道</source>
        <translation>最小值通道</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>平均值</source>
        <translation>平均值</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>最大-最小</source>
        <translation>最大-最小</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>最大-平均</source>
        <translation>最大-平均</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>平均-最小</source>
        <translation>平均-最小</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>标准差</source>
        <translation>标准差</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>采集时间</source>
        <translation>采集时间</translation>
    </message>
</context>
<context>
    <name>QTableWidgetL</name>
    <message>
        <location filename="../reports/VerificationReportData.cpp" line="+56"/>
        <location filename="../widgets/QTableWidgetL.cpp" line="+212"/>
        <source>复制</source>
        <translation>复制</translation>
    </message>
    <message>
        <location filename="../widgets/QTableWidgetL.cpp" line="+1"/>
        <source>粘贴</source>
        <translation>粘贴</translation>
    </message>
</context>
<context>
    <name>QWaiting</name>
    <message>
        <location filename="../widgets/QWaiting.cpp" line="+22"/>
        <source>提示</source>
        <translation>提示</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>请稍等...</source>
        <translation>请稍等...</translation>
    </message>
</context>
<context>
    <name>SimpleDataExport</name>
    <message>
        <location filename="../reports/SimpleDataExport.cpp" line="+66"/>
        <source>项目名称:</source>
        <translation>项目名称:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>设备型号：</source>
        <translation>设备型号：</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>设备序列号：</source>
        <translation>设备序列号：</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>通讯方式：</source>
        <translation>通讯方式：</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>扫描间隔：</source>
        <translation>扫描间隔：</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>时间</source>
        <translation>时间</translation>
    </message>
</context>
<context>
    <name>Tool</name>
    <message>
        <location filename="../store/Tool.cpp" line="+293"/>
        <source>数据库正被其他程序使用，未做任何更改。</source>
        <translation>数据库正被其他程序使用，未做任何更改。</translation>
    </message>
    <message>
        <source>项目名称已存在！（%1）</source>
        <translation>项目名称已存在！（%1）</translation>
    </message>
    <message>
        <location line="+597"/>
        <location line="+1"/>
        <source>温度</source>
        <translation>温度</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>湿度</source>
        <translation>湿度</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+1"/>
        <location line="+1"/>
        <location line="+1"/>
        <location line="+1"/>
        <location line="+1"/>
        <source>压力</source>
        <translation>压力</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+1"/>
        <source>电压</source>
        <translation>电压</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+1"/>
        <location line="+1"/>
        <source>电阻</source>
        <translation>电阻</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+1"/>
        <location line="+1"/>
        <source>电流</source>
        <translation>电流</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>其他</source>
        <translation>其他</translation>
    </message>
    <message>
        <location filename="../store/ToolVocabulary.cpp" line="+12"/>
        <source>串口</source>
        <translation>串口</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>网络</source>
        <translation>网络</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>蓝牙</source>
        <translation>蓝牙</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>导入</source>
        <translation>导入</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>铂电阻</source>
        <translation>铂电阻</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>热敏电阻</source>
        <translation>热敏电阻</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>热电偶</source>
        <translation>热电偶</translation>
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
        <translation>2线制</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>3线制</source>
        <translation>3线制</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>4线制</source>
        <translation>4线制</translation>
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
        <translation>快速</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>中速</source>
        <translation>中速</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>慢速</source>
        <translation>慢速</translation>
    </message>
</context>
<context>
    <name>TypedDateTimeEdit</name>
    <message>
        <location filename="../reports/TypedDateTimeEdit.cpp" line="+114"/>
        <source>提示</source>
        <translation>提示</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>输入的时间无效，已恢复原来的时间!</source>
        <translation>输入的时间无效，已恢复原来的时间!</translation>
    </message>
</context>
<context>
    <name>VerificationMerge</name>
    <message>
        <location filename="../reports/VerificationMerge.cpp" line="+23"/>
        <source>项目合并</source>
        <translation>项目合并</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>合并后名称：</source>
        <translation>合并后名称：</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>确定</source>
        <translation>确定</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>选择</source>
        <translation>选择</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>项目名称</source>
        <translation>项目名称</translation>
    </message>
    <message>
        <location line="+31"/>
        <source>没有匹配的项目可以合并!</source>
        <translation>没有匹配的项目可以合并!</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>提示</source>
        <translation>提示</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>合并后名称不能为空！</source>
        <translation>合并后名称不能为空！</translation>
    </message>
    <message>
        <location line="+11"/>
        <location line="+36"/>
        <source>数据库连接失败！</source>
        <translation>数据库连接失败！</translation>
    </message>
    <message>
        <location line="-23"/>
        <source>请先选择需要合并的项目！</source>
        <translation>请先选择需要合并的项目！</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>项目名称已存在！</source>
        <translation>项目名称已存在！</translation>
    </message>
</context>
<context>
    <name>VerificationReport</name>
    <message>
        <location filename="../reports/VerificationReport.cpp" line="+64"/>
        <source>提示</source>
        <translation>提示</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>警告</source>
        <translation>警告</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>查看项目</source>
        <translation>查看项目</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>查看数据</source>
        <translation>查看数据</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>简单导出</source>
        <translation>简单导出</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>删除项目</source>
        <translation>删除项目</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>项目合并</source>
        <translation>项目合并</translation>
    </message>
    <message>
        <location line="+28"/>
        <location line="+61"/>
        <location line="+44"/>
        <source>项目列表</source>
        <translation>项目列表</translation>
    </message>
    <message>
        <location line="-102"/>
        <source>查询</source>
        <translation>查询</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>项目信息</source>
        <translation>项目信息</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>分段导出</source>
        <translation>分段导出</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>报表生成</source>
        <translation>报表生成</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>趋势图</source>
        <translation>趋势图</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>设定</source>
        <translation>设定</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>时间设置：</source>
        <translation>时间设置：</translation>
    </message>
    <message>
        <location line="+183"/>
        <location line="+152"/>
        <source>当前项目没有采集的数据!</source>
        <translation>当前项目没有采集的数据!</translation>
    </message>
    <message>
        <location line="-135"/>
        <source>项目名称:</source>
        <translation>项目名称:</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>创建时间:</source>
        <translation>创建时间:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>扫描间隔：</source>
        <translation>扫描间隔：</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>通道数量：</source>
        <translation>通道数量：</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>使用的采集设备</source>
        <translation>使用的采集设备</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>型号：</source>
        <translation>型号：</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>序列号：</source>
        <translation>序列号：</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>通讯方式：</source>
        <translation>通讯方式：</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>扫描速率：</source>
        <translation>扫描速率：</translation>
    </message>
    <message>
        <location line="+183"/>
        <source>请先选择需要删除的项目!</source>
        <translation>请先选择需要删除的项目!</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>删除数据失败!</source>
        <translation>删除数据失败!</translation>
    </message>
    <message>
        <location line="+86"/>
        <source>数据导出中，请稍等...</source>
        <translation>数据导出中，请稍等...</translation>
    </message>
    <message>
        <location line="+28"/>
        <source>报表生成成功!</source>
        <translation>报表生成成功!</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>数据异常，生成报表失败!</source>
        <translation>数据异常，生成报表失败!</translation>
    </message>
    <message>
        <location line="-348"/>
        <source>读取数据库失败！</source>
        <translation>读取数据库失败！</translation>
    </message>
</context>
<context>
    <name>VerificationReportData</name>
    <message>
        <location filename="../reports/VerificationReportData.cpp" line="-33"/>
        <source>数据</source>
        <translation>数据</translation>
    </message>
</context>
<context>
    <name>VerificationReportDataModel</name>
    <message>
        <location filename="../reports/VerificationReportDataModel.cpp" line="+17"/>
        <source>序号</source>
        <translation>序号</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>采集时间</source>
        <translation>采集时间</translation>
    </message>
</context>
<context>
    <name>VerificationReportExcel</name>
    <message>
        <location filename="../reports/ReportStatistics.cpp" line="+14"/>
        <source>数据表</source>
        <translation>数据表</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>横向表</source>
        <translation>横向表</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>竖向表</source>
        <translation>竖向表</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>最小平均</source>
        <translation>最小平均</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>及通道</source>
        <translation>及通道</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>最大平均</source>
        <translation>最大平均</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>最大的最大值及通道</source>
        <translation>最大的最大值及通道</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>最小的最小值及通道</source>
        <translation>最小的最小值及通道</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>全均值</source>
        <translation>全均值</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>最大的最大值与全均值之差</source>
        <translation>最大的最大值与全均值之差</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>最大平均值与全均值之差</source>
        <translation>最大平均值与全均值之差</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>全均值与最小的最小值之差</source>
        <translation>全均值与最小的最小值之差</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>全均值与最小平均值之差</source>
        <translation>全均值与最小平均值之差</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>通道</source>
        <translation>通道</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>最大</source>
        <translation>最大</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>最小</source>
        <translation>最小</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>平均</source>
        <translation>平均</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>最大-平均</source>
        <translation>最大-平均</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>平均-最小</source>
        <translation>平均-最小</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>最大-最小</source>
        <translation>最大-最小</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>标准偏差</source>
        <translation>标准偏差</translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../reports/VerificationReportExcel.cpp" line="+200"/>
        <source>时间</source>
        <translation>时间</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>通道</source>
        <comment>heading</comment>
        <translation>通道</translation>
    </message>
    <message>
        <location filename="../reports/VerificationReportExcel.cpp" line="-104"/>
        <source>首页</source>
        <translation>首页</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>项目名称:</source>
        <translation>项目名称:</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>项目时间:</source>
        <translation>项目时间:</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>报告概述:</source>
        <translation>报告概述:</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>采集报告</source>
        <translation>采集报告</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>打印时间：</source>
        <translation>打印时间：</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>设备列表:</source>
        <translation>设备列表:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>序号</source>
        <translation>序号</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>设备型号</source>
        <translation>设备型号</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>设备序列号</source>
        <translation>设备序列号</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>采集方式</source>
        <translation>采集方式</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>通道个数</source>
        <translation>通道个数</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>趋势图:</source>
        <translation>趋势图:</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>工作数据表</source>
        <translation>工作数据表</translation>
    </message>
    <message>
        <location line="+38"/>
        <source>    结束</source>
        <translation>    结束</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>    开始</source>
        <translation>    开始</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>开始时间：</source>
        <translation>开始时间：</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>结束时间：</source>
        <translation>结束时间：</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>竖向分析表</source>
        <translation>竖向分析表</translation>
    </message>
    <message>
        <location line="+45"/>
        <source>横向分析表</source>
        <translation>横向分析表</translation>
    </message>
</context>
<context>
    <name>VerificationReportExport</name>
    <message>
        <location filename="../reports/VerificationReportExport.cpp" line="+55"/>
        <source>报表生成</source>
        <translation>报表生成</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>导出数据</source>
        <translation>导出数据</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>数据表</source>
        <translation>数据表</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>功能表页：</source>
        <translation>功能表页：</translation>
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
        <translation>导出格式:</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>多段统计</source>
        <translation>多段统计</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>时间段：</source>
        <translation>时间段：</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>备注：</source>
        <translation>备注：</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>统计段数：</source>
        <translation>统计段数：</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>打印间隔：</source>
        <translation>打印间隔：</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>选择</source>
        <translation>选择</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>确定</source>
        <translation>确定</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>保存路径：</source>
        <translation>保存路径：</translation>
    </message>
    <message>
        <location line="+54"/>
        <source>横向分析表</source>
        <translation>横向分析表</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>竖向分析表</source>
        <translation>竖向分析表</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>打开文件</source>
        <translation>打开文件</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>路径设置错误!</source>
        <translation>路径设置错误!</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>备注信息不能为空!</source>
        <translation>备注信息不能为空!</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>开始时间小于开始采集时间!</source>
        <translation>开始时间小于开始采集时间!</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>结束时间大于结束采集时间!</source>
        <translation>结束时间大于结束采集时间!</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>分段时间错误!</source>
        <translation>分段时间错误!</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>采集间隔设置错误!</source>
        <translation>采集间隔设置错误!</translation>
    </message>
    <message>
        <location line="+43"/>
        <source>提示</source>
        <translation>提示</translation>
    </message>
</context>
<context>
    <name>VerificationReportPDF</name>
    <message>
        <location filename="../reports/ReportStatistics.cpp" line="-30"/>
        <source>数据表</source>
        <translation>数据表</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>横向表</source>
        <translation>横向表</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>竖向表</source>
        <translation>竖向表</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>最小平均</source>
        <translation>最小平均</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>及通道</source>
        <translation>及通道</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>最大平均</source>
        <translation>最大平均</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>最大的最大值及通道</source>
        <translation>最大的最大值及通道</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>最小的最小值及通道</source>
        <translation>最小的最小值及通道</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>全均值</source>
        <translation>全均值</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>最大的最大值与全均值之差</source>
        <translation>最大的最大值与全均值之差</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>最大平均值与全均值之差</source>
        <translation>最大平均值与全均值之差</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>全均值与最小的最小值之差</source>
        <translation>全均值与最小的最小值之差</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>全均值与最小平均值之差</source>
        <translation>全均值与最小平均值之差</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>通道</source>
        <translation>通道</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>最大</source>
        <translation>最大</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>最小</source>
        <translation>最小</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>平均</source>
        <translation>平均</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>最大-平均</source>
        <translation>最大-平均</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>平均-最小</source>
        <translation>平均-最小</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>最大-最小</source>
        <translation>最大-最小</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>标准偏差</source>
        <translation>标准偏差</translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../reports/VerificationReportPDF.cpp" line="+428"/>
        <source>时间</source>
        <translation>时间</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>通道</source>
        <comment>heading</comment>
        <translation>通道</translation>
    </message>
    <message>
        <location filename="../reports/VerificationReportPDF.cpp" line="-247"/>
        <source>采集报告</source>
        <translation>采集报告</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>打印时间：</source>
        <translation>打印时间：</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>第%1页,共%2页</source>
        <translation>第%1页,共%2页</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>项目名称:</source>
        <translation>项目名称:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>项目时间:</source>
        <translation>项目时间:</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>报告概述:</source>
        <translation>报告概述:</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>设备列表:</source>
        <translation>设备列表:</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>序号</source>
        <translation>序号</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>设备型号</source>
        <translation>设备型号</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>设备序列号</source>
        <translation>设备序列号</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>采集方式</source>
        <translation>采集方式</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>通道个数</source>
        <translation>通道个数</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>开始时间：</source>
        <translation>开始时间：</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>结束时间：</source>
        <translation>结束时间：</translation>
    </message>
    <message>
        <location line="+170"/>
        <source>    开始</source>
        <translation>    开始</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>    结束</source>
        <translation>    结束</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>工作数据表</source>
        <translation>工作数据表</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>竖向分析表</source>
        <translation>竖向分析表</translation>
    </message>
    <message>
        <location line="+72"/>
        <source>横向分析表</source>
        <translation>横向分析表</translation>
    </message>
</context>
</TS>
