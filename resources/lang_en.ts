<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="zh_CN">
<context>
    <name>AutoTestDialog</name>
    <message>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
    <message>
        <source>m:ss</source>
        <translation>m:ss</translation>
    </message>
    <message>
        <source>两次测试的时间间隔（分：秒）</source>
        <translation>Time interval between two tests (min: sec)</translation>
    </message>
    <message>
        <source>测试次数</source>
        <translation>Number of tests</translation>
    </message>
</context>
<context>
    <name>BalancePanel</name>
    <message>
        <source>%1、%2</source>
        <translation>%1, %2</translation>
    </message>
    <message>
        <source>三相中有缺少的相、超量程或没有读数的行，不计算不平衡率。</source>
        <translation>A phase is missing, over range or without a reading: no imbalance is computed.</translation>
    </message>
    <message>
        <source>三相平衡</source>
        <translation>Three-Phase Balance</translation>
    </message>
    <message>
        <source>不合格</source>
        <translation>Fail</translation>
    </message>
    <message>
        <source>不完整</source>
        <translation>Incomplete</translation>
    </message>
    <message>
        <source>不平衡率</source>
        <translation>Imbalance</translation>
    </message>
    <message>
        <source>依据</source>
        <translation>Basis</translation>
    </message>
    <message>
        <source>分接</source>
        <translation>Tapping</translation>
    </message>
    <message>
        <source>合格</source>
        <translation>Pass</translation>
    </message>
    <message>
        <source>导出</source>
        <translation>Export</translation>
    </message>
    <message>
        <source>把三相平衡汇总保存为 Excel 文件</source>
        <translation>Save the balance summary as an Excel file</translation>
    </message>
    <message>
        <source>折算电阻</source>
        <translation>Converted Res.</translation>
    </message>
    <message>
        <source>测试电阻</source>
        <translation>Tested Res.</translation>
    </message>
    <message>
        <source>温度核对：%1 行的折算电阻都与按温度换算的值相符。</source>
        <translation>Temperature check: the converted resistance of all %1 rows agrees with the temperature conversion.</translation>
    </message>
    <message>
        <source>温度核对：折算电阻与按温度换算的值相差超过 0.2 %，请检查仪器上的材质和温度：%1</source>
        <translation>Temperature check: converted resistance more than 0.2 % off the temperature conversion, check material and temperatures on the instrument: %1</translation>
    </message>
    <message>
        <source>温度核对：没有可核对的行。</source>
        <translation>Temperature check: no row to check.</translation>
    </message>
    <message>
        <source>电阻</source>
        <translation>Resistances</translation>
    </message>
    <message>
        <source>相别</source>
        <translation>Phases</translation>
    </message>
    <message>
        <source>相电阻限值</source>
        <translation>Phase limit</translation>
    </message>
    <message>
        <source>第 %1 行</source>
        <translation>row %1</translation>
    </message>
    <message>
        <source>第 %1 行（%2）</source>
        <translation>row %1 (%2)</translation>
    </message>
    <message>
        <source>线电阻限值</source>
        <translation>Line limit</translation>
    </message>
    <message>
        <source>结论</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>绕组</source>
        <translation>Winding</translation>
    </message>
    <message>
        <source>缺</source>
        <translation>missing</translation>
    </message>
    <message>
        <source>限值</source>
        <translation>Limit</translation>
    </message>
</context>
<context>
    <name>DeviceSelectionDialog</name>
    <message>
        <source>1、请查看要连接的目标设备的实例路径。（电脑设备管理器-&gt;人体学输入设备-&gt;符合HID标准的供应商定义设备-&gt;属性-&gt;详细信息-&gt;设备实例路径）</source>
        <translation>1. Check the instance path of the target device to be connected. (PC Device Manager - &gt; Human Input Device - &gt; HID Compliant Vendor Defined Device - &gt; Attributes - &gt; Details - &gt; Device Instance Path)</translation>
    </message>
    <message>
        <source>2、在以上组合框中，选择已知目标设备的路径，点击OK连接设备。</source>
        <translation>2. In the above combination box, select the path of the known target device and click OK to connect the device.</translation>
    </message>
    <message>
        <source>检测到多个设备</source>
        <translation>Multiple devices detected</translation>
    </message>
    <message>
        <source>选择设备</source>
        <translation>Select Device</translation>
    </message>
</context>
<context>
    <name>HistoryDialog</name>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>历史记录</source>
        <translation>History</translation>
    </message>
    <message>
        <source>导出到Excel</source>
        <translation>Export to Excel</translation>
    </message>
    <message>
        <source>开始时间</source>
        <translation>Started</translation>
    </message>
    <message>
        <source>没有更早的记录。清除一个表格后，它的记录会保存在这里。</source>
        <translation>No earlier sessions. When a table is cleared, its rows are kept here.</translation>
    </message>
    <message>
        <source>行数</source>
        <translation>Rows</translation>
    </message>
    <message>
        <source>表格</source>
        <translation>Table</translation>
    </message>
    <message>
        <source>载入表格</source>
        <translation>Load into the table</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>%1：</source>
        <translation>%1:</translation>
    </message>
    <message>
        <source>-40℃~100℃</source>
        <translation>-40℃~100℃</translation>
    </message>
    <message>
        <source>0-199</source>
        <translation>0-199</translation>
    </message>
    <message>
        <source>0-9999</source>
        <translation>0-9999</translation>
    </message>
    <message>
        <source>00-99</source>
        <translation>00-99</translation>
    </message>
    <message>
        <source>1.5平方</source>
        <translation>1.5mm²</translation>
    </message>
    <message>
        <source>100μΩ~500Ω</source>
        <translation>100μΩ~500Ω</translation>
    </message>
    <message>
        <source>10A 直流电阻测试仪</source>
        <translation>10A DC Resistance Tester</translation>
    </message>
    <message>
        <source>10平方</source>
        <translation>10mm²</translation>
    </message>
    <message>
        <source>1平方</source>
        <translation>1mm²</translation>
    </message>
    <message>
        <source>1米导线标称截面积</source>
        <translation>Nominal Cross-Sectional Area(1M)</translation>
    </message>
    <message>
        <source>1米导线标称截面积：</source>
        <translation>Nominal Cross-Sectional Area(1M):</translation>
    </message>
    <message>
        <source>1米标准值</source>
        <translation>Standard Value(1M)</translation>
    </message>
    <message>
        <source>2.5平方</source>
        <translation>2.5mm²</translation>
    </message>
    <message>
        <source>2平方</source>
        <translation>2mm²</translation>
    </message>
    <message>
        <source>3.5平方</source>
        <translation>3.5mm²</translation>
    </message>
    <message>
        <source>3平方</source>
        <translation>3mm²</translation>
    </message>
    <message>
        <source>4.5平方</source>
        <translation>4.5mm²</translation>
    </message>
    <message>
        <source>4平方</source>
        <translation>4mm²</translation>
    </message>
    <message>
        <source>5.5平方</source>
        <translation>5.5mm²</translation>
    </message>
    <message>
        <source>5平方</source>
        <translation>5mm²</translation>
    </message>
    <message>
        <source>6.5平方</source>
        <translation>6.5mm²</translation>
    </message>
    <message>
        <source>6平方</source>
        <translation>6mm²</translation>
    </message>
    <message>
        <source>7.5平方</source>
        <translation>7.5mm²</translation>
    </message>
    <message>
        <source>7平方</source>
        <translation>7mm²</translation>
    </message>
    <message>
        <source>8.5平方</source>
        <translation>8.5mm²</translation>
    </message>
    <message>
        <source>8平方</source>
        <translation>8mm²</translation>
    </message>
    <message>
        <source>9.5平方</source>
        <translation>9.5mm²</translation>
    </message>
    <message>
        <source>9平方</source>
        <translation>9mm²</translation>
    </message>
    <message>
        <source>GroupBox</source>
        <translation>GroupBox</translation>
    </message>
    <message>
        <source>MainWindow</source>
        <translation>MainWindow</translation>
    </message>
    <message>
        <source>PDF设置</source>
        <translation>PDF Settings</translation>
    </message>
    <message>
        <source>TextLabel</source>
        <translation>TextLabel</translation>
    </message>
    <message>
        <source>toolBar</source>
        <translation>toolBar</translation>
    </message>
    <message>
        <source>℃</source>
        <translation>℃</translation>
    </message>
    <message>
        <source>三相平衡</source>
        <translation>Three-Phase Balance</translation>
    </message>
    <message>
        <source>低压</source>
        <translation>Low</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>save</translation>
    </message>
    <message>
        <source>保存Excel文件</source>
        <translation>Save Excel file</translation>
    </message>
    <message>
        <source>保存PDF文件</source>
        <translation>Save PDF file</translation>
    </message>
    <message>
        <source>保存三相平衡汇总</source>
        <translation>Save the balance summary</translation>
    </message>
    <message>
        <source>保存失败</source>
        <translation>Save failed</translation>
    </message>
    <message>
        <source>公司：</source>
        <translation>Company:</translation>
    </message>
    <message>
        <source>分接</source>
        <translation>Tapping</translation>
    </message>
    <message>
        <source>分接：</source>
        <translation>Tapping:</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>delete</translation>
    </message>
    <message>
        <source>历史记录</source>
        <translation>History</translation>
    </message>
    <message>
        <source>名称：</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>场景：</source>
        <translation>Scene:</translation>
    </message>
    <message>
        <source>型号：</source>
        <translation>Model:</translation>
    </message>
    <message>
        <source>备注</source>
        <translation>Remark</translation>
    </message>
    <message>
        <source>姓名：</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>存储数据</source>
        <translation>Storing data</translation>
    </message>
    <message>
        <source>存储数据已导入，缺少第%1组</source>
        <translation>Stored data imported; missing records: %1</translation>
    </message>
    <message>
        <source>实时数据</source>
        <translation>Real-time data</translation>
    </message>
    <message>
        <source>导体长度</source>
        <translation>Conductor Len.</translation>
    </message>
    <message>
        <source>导体长度测量</source>
        <translation>Conductor Length Test</translation>
    </message>
    <message>
        <source>导体长度测量报告</source>
        <translation>Conductor length measurement Report</translation>
    </message>
    <message>
        <source>导体长度测量设置</source>
        <translation>Conductor Length Test Settings</translation>
    </message>
    <message>
        <source>导体长度：</source>
        <translation>Conductor Length:</translation>
    </message>
    <message>
        <source>导入存储数据</source>
        <translation>Import Stored data</translation>
    </message>
    <message>
        <source>导出到Excel</source>
        <translation>Export to Excel</translation>
    </message>
    <message>
        <source>导出到PDF</source>
        <translation>Export to PDF</translation>
    </message>
    <message>
        <source>已恢复上次的记录：测试结果 %1 条，存储数据 %2 条</source>
        <translation>Restored from the last session: %1 result rows, %2 stored records</translation>
    </message>
    <message>
        <source>已载入历史记录 %1 条</source>
        <translation>Loaded %1 rows from the history</translation>
    </message>
    <message>
        <source>已连接设备</source>
        <translation>Connected device</translation>
    </message>
    <message>
        <source>平方</source>
        <translation>mm²</translation>
    </message>
    <message>
        <source>序号</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>当前数据</source>
        <translation>Current Data</translation>
    </message>
    <message>
        <source>折算温度</source>
        <translation>Converted Temp.</translation>
    </message>
    <message>
        <source>折算温度：</source>
        <translation>Converted Temp.:</translation>
    </message>
    <message>
        <source>折算电阻</source>
        <translation>Converted Res.</translation>
    </message>
    <message>
        <source>折算电阻：</source>
        <translation>Converted Resistance:</translation>
    </message>
    <message>
        <source>按温度换算应为 %1，仪器的值相差 %2 %</source>
        <translation>The temperature conversion gives %1; the instrument&apos;s value differs by %2 %</translation>
    </message>
    <message>
        <source>数据</source>
        <translation>Data</translation>
    </message>
    <message>
        <source>断开连接</source>
        <translation>Disconnect</translation>
    </message>
    <message>
        <source>无数据</source>
        <translation>No data</translation>
    </message>
    <message>
        <source>无法写入文件 %1</source>
        <translation>Cannot write the file %1</translation>
    </message>
    <message>
        <source>更改语言将初始化界面</source>
        <translation>Changing the language will initialize the interface。</translation>
    </message>
    <message>
        <source>更新</source>
        <translation>UPDATE</translation>
    </message>
    <message>
        <source>更新时暂停读取实时数据。</source>
        <translation>Pause the reading of real-time data when updating.</translation>
    </message>
    <message>
        <source>未连接</source>
        <translation>Disconnected</translation>
    </message>
    <message>
        <source>查看</source>
        <translation>View</translation>
    </message>
    <message>
        <source>查阅存储数据</source>
        <translation>View Stored data</translation>
    </message>
    <message>
        <source>标准值</source>
        <translation>Standard Value</translation>
    </message>
    <message>
        <source>标准值单位</source>
        <translation>Standard Value Unit</translation>
    </message>
    <message>
        <source>标准值设置</source>
        <translation>Standard Value Setting</translation>
    </message>
    <message>
        <source>标准值设置：</source>
        <translation>Standard value setting:</translation>
    </message>
    <message>
        <source>标准值：</source>
        <translation>Standard value:</translation>
    </message>
    <message>
        <source>样品编号</source>
        <translation>Sample No.</translation>
    </message>
    <message>
        <source>样品编号：</source>
        <translation>Sample No.:</translation>
    </message>
    <message>
        <source>正在进行自动测试···</source>
        <translation>Automatic test is underway...</translation>
    </message>
    <message>
        <source>测试</source>
        <translation>TEST</translation>
    </message>
    <message>
        <source>测试仪信息</source>
        <translation>Tester Information</translation>
    </message>
    <message>
        <source>测试值</source>
        <translation>Test Value</translation>
    </message>
    <message>
        <source>测试时间</source>
        <translation>Test Time</translation>
    </message>
    <message>
        <source>测试时间：</source>
        <translation>Test time:</translation>
    </message>
    <message>
        <source>测试电流</source>
        <translation>Tested Current</translation>
    </message>
    <message>
        <source>测试电流：</source>
        <translation>Tested Current:</translation>
    </message>
    <message>
        <source>测试电阻</source>
        <translation>Tested Res.</translation>
    </message>
    <message>
        <source>测试电阻：</source>
        <translation>Tested Resistance:</translation>
    </message>
    <message>
        <source>测试结果无法保存到本地数据库，仅保留在内存中</source>
        <translation>Results cannot be saved to the local database; they are kept in memory only</translation>
    </message>
    <message>
        <source>测量对象</source>
        <translation>Measuring Object</translation>
    </message>
    <message>
        <source>清除</source>
        <translation>clear</translation>
    </message>
    <message>
        <source>环境温度</source>
        <translation>Ambient Temp.</translation>
    </message>
    <message>
        <source>环境温度：</source>
        <translation>Ambient Temp.:</translation>
    </message>
    <message>
        <source>用户信息</source>
        <translation>User Information</translation>
    </message>
    <message>
        <source>电流设置</source>
        <translation>Current Setting</translation>
    </message>
    <message>
        <source>电流设置：</source>
        <translation>Current Setting:</translation>
    </message>
    <message>
        <source>直流电阻测量</source>
        <translation>Dc Resistance Test</translation>
    </message>
    <message>
        <source>直流电阻测量报告</source>
        <translation>Dc resistance measurement Report</translation>
    </message>
    <message>
        <source>直流电阻测量设置</source>
        <translation>Dc Resistance Test Settings</translation>
    </message>
    <message>
        <source>相别</source>
        <translation>Phase Type</translation>
    </message>
    <message>
        <source>相别：</source>
        <translation>Phase Type:</translation>
    </message>
    <message>
        <source>绕组</source>
        <translation>Winding</translation>
    </message>
    <message>
        <source>绕组：</source>
        <translation>Winding:</translation>
    </message>
    <message>
        <source>联系方式：</source>
        <translation>Contact:</translation>
    </message>
    <message>
        <source>自动测试</source>
        <translation>Automatic Test</translation>
    </message>
    <message>
        <source>记录</source>
        <translation>Record</translation>
    </message>
    <message>
        <source>记录 %1</source>
        <translation>Record %1</translation>
    </message>
    <message>
        <source>设备</source>
        <translation>Device</translation>
    </message>
    <message>
        <source>设备未连接</source>
        <translation>Device not connected</translation>
    </message>
    <message>
        <source>设定值</source>
        <translation>Set Value</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>设置未发送：%1没有选择。</source>
        <translation>Settings not sent: nothing is chosen in %1.</translation>
    </message>
    <message>
        <source>设置未发送：有设置值无效。</source>
        <translation>Settings not sent: a setting has an invalid value.</translation>
    </message>
    <message>
        <source>试品材质</source>
        <translation>Conductor Material</translation>
    </message>
    <message>
        <source>试品材质：</source>
        <translation>Conductor Material:</translation>
    </message>
    <message>
        <source>试品温度</source>
        <translation>Conductor Temp.</translation>
    </message>
    <message>
        <source>试品温度：</source>
        <translation>Conductor Temp.:</translation>
    </message>
    <message>
        <source>试品编号</source>
        <translation>Conductor No.</translation>
    </message>
    <message>
        <source>试品编号：</source>
        <translation>Conductor No.:</translation>
    </message>
    <message>
        <source>语言</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>趋势</source>
        <translation>Trend</translation>
    </message>
    <message>
        <source>连接</source>
        <translation>Connect</translation>
    </message>
    <message>
        <source>退出自动测试</source>
        <translation>Exit Automatic Test</translation>
    </message>
    <message>
        <source>采样频率设置</source>
        <translation>Sample Frequency Settings</translation>
    </message>
    <message>
        <source>铜</source>
        <translation>Cu</translation>
    </message>
    <message>
        <source>铝</source>
        <translation>Al</translation>
    </message>
    <message>
        <source>高压</source>
        <translation>High</translation>
    </message>
</context>
<context>
    <name>PdfSettingDialog</name>
    <message>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
    <message>
        <source>公司</source>
        <translation>Company</translation>
    </message>
    <message>
        <source>名称</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>场景</source>
        <translation>Scene</translation>
    </message>
    <message>
        <source>型号</source>
        <translation>Model</translation>
    </message>
    <message>
        <source>姓名</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>最多可输入15个字</source>
        <translation>You can enter up to 15 characters.</translation>
    </message>
    <message>
        <source>最多可输入40个字</source>
        <translation>You can enter up to 40 characters.</translation>
    </message>
    <message>
        <source>测试仪信息</source>
        <translation>Tester Information</translation>
    </message>
    <message>
        <source>测量对象</source>
        <translation>Measuring Object</translation>
    </message>
    <message>
        <source>用户信息</source>
        <translation>User Information</translation>
    </message>
    <message>
        <source>联系方式</source>
        <translation>Contact</translation>
    </message>
</context>
<context>
    <name>ReceiveThread</name>
    <message>
        <source>------μΩ</source>
        <translation>------μΩ</translation>
    </message>
    <message>
        <source>低压</source>
        <translation>Low</translation>
    </message>
    <message>
        <source>充电中...</source>
        <translation>Charging...</translation>
    </message>
    <message>
        <source>充电中······</source>
        <translation>Charging...</translation>
    </message>
    <message>
        <source>平方</source>
        <translation>mm²</translation>
    </message>
    <message>
        <source>放电中...</source>
        <translation>Discharging...</translation>
    </message>
    <message>
        <source>测试中...</source>
        <translation>Testing...</translation>
    </message>
    <message>
        <source>测试值</source>
        <translation>Test Value</translation>
    </message>
    <message>
        <source>测试完成</source>
        <translation>Testing Complete</translation>
    </message>
    <message>
        <source>等待测试···</source>
        <translation>Waiting Test...</translation>
    </message>
    <message>
        <source>设定值</source>
        <translation>Set Value</translation>
    </message>
    <message>
        <source>读取到的数据校验和错误</source>
        <translation>Read data checksum error</translation>
    </message>
    <message>
        <source>读取实时数据失败</source>
        <translation>Failed to read real-time data.</translation>
    </message>
    <message>
        <source>读取第%1组数据失败</source>
        <translation>Failed to read group %1 data</translation>
    </message>
    <message>
        <source>读取第%1组数据校验和错误</source>
        <translation>Read the %1 data checksum error.</translation>
    </message>
    <message>
        <source>铜</source>
        <translation>Cu</translation>
    </message>
    <message>
        <source>铝</source>
        <translation>Al</translation>
    </message>
    <message>
        <source>高压</source>
        <translation>High</translation>
    </message>
</context>
<context>
    <name>RowRemoval</name>
    <message>
        <source>删除所选的 %1 行？删除的行不能恢复。</source>
        <translation>Delete the selected rows (%1)? Deleted rows cannot be restored.</translation>
    </message>
    <message>
        <source>清除表中全部 %1 行？这些行仍保留在历史记录中（查看 ▸ 历史记录）。</source>
        <translation>Clear all rows from the table (%1)? They stay in the history (View ▸ History).</translation>
    </message>
    <message>
        <source>请先点击要删除的行</source>
        <translation>Click the rows to delete first</translation>
    </message>
</context>
<context>
    <name>SampleIntervalDialog</name>
    <message>
        <source>200-800</source>
        <translation>200-800</translation>
    </message>
    <message>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
    <message>
        <source>ms</source>
        <translation>ms</translation>
    </message>
    <message>
        <source>实时数据</source>
        <translation>Real-time data</translation>
    </message>
    <message>
        <source>采样频率：</source>
        <translation>Sampling Frequency:</translation>
    </message>
</context>
<context>
    <name>TrendChart</name>
    <message>
        <source>时间 (秒)</source>
        <translation>Time (s)</translation>
    </message>
    <message>
        <source>测试电流</source>
        <translation>Tested Current</translation>
    </message>
    <message>
        <source>测试电阻</source>
        <translation>Tested Res.</translation>
    </message>
</context>
<context>
    <name>TrendPanel</name>
    <message>
        <source>显示或隐藏测试电阻的趋势图</source>
        <translation>Show or hide the trend of the tested resistance</translation>
    </message>
    <message>
        <source>未稳定</source>
        <translation>Settling</translation>
    </message>
    <message>
        <source>波动（最大值 − 最小值）/ 平均值低于此值时为稳定</source>
        <translation>The reading is stable while (max − min) / mean stays below this</translation>
    </message>
    <message>
        <source>波动：%1</source>
        <translation>Spread: %1</translation>
    </message>
    <message>
        <source>稳定</source>
        <translation>Stable</translation>
    </message>
    <message>
        <source>稳定阈值</source>
        <translation>Stable below</translation>
    </message>
    <message>
        <source>窗口（次）</source>
        <translation>Window (readings)</translation>
    </message>
    <message>
        <source>计算波动所用的最近读数个数</source>
        <translation>Number of latest readings the spread is taken over</translation>
    </message>
    <message>
        <source>趋势</source>
        <translation>Trend</translation>
    </message>
</context>
<context>
    <name>WinUSBManager</name>
    <message>
        <source>无存储数据</source>
        <translation>No data is stored.</translation>
    </message>
    <message>
        <source>更新测量设置失败。</source>
        <translation>Failed to update measurement Settings.</translation>
    </message>
    <message>
        <source>更新测量设置失败。电量为两格时不能设置2A以上挡位，为1格时不能设置400mA以上挡位。</source>
        <translation>Failed to update measurement Settings. When the power is two cells, the gear above 2A can not be set, and the gear above 400mA can not be set for 1 cell.</translation>
    </message>
    <message>
        <source>更新测量设置成功</source>
        <translation>The updated measurement settings were successful.</translation>
    </message>
    <message>
        <source>未检测到任何设备</source>
        <translation>No devices were detected.</translation>
    </message>
    <message>
        <source>设备处在非测试界面，读取实时数据失败！</source>
        <translation>The device is in the non-test interface, reading real-time data failed!</translation>
    </message>
    <message>
        <source>设备未连接</source>
        <translation>Device not connected.</translation>
    </message>
    <message>
        <source>请求停止测试失败</source>
        <translation>The request to stop the test failed.</translation>
    </message>
    <message>
        <source>请求停止测试成功</source>
        <translation>The request to stop the test succeeded.</translation>
    </message>
    <message>
        <source>请求开始测试失败</source>
        <translation>The request to start the test failed.</translation>
    </message>
    <message>
        <source>请求开始测试成功</source>
        <translation>The request to start testing succeeded.</translation>
    </message>
    <message>
        <source>请求按键锁失败</source>
        <translation>Failed to request a keylock.</translation>
    </message>
    <message>
        <source>请求按键锁成功</source>
        <translation>The keylock request is successful.</translation>
    </message>
    <message>
        <source>读取存储数据失败</source>
        <translation>Failed to read stored data.</translation>
    </message>
    <message>
        <source>读取实时数据失败</source>
        <translation>Failed to read real-time data.</translation>
    </message>
    <message>
        <source>读取第%1组数据失败</source>
        <translation>Failed to read group %1 data.</translation>
    </message>
</context>
</TS>
