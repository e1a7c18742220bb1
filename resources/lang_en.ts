<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="zh_CN">
<context>
    <name>AccessibleNames</name>
    <message>
        <source>三相平衡汇总</source>
        <translation>Three-phase balance summary</translation>
    </message>
    <message>
        <source>从 CSV 或 Excel 文件导入当前测试对象的基准值。</source>
        <translation>Import the baseline values of the current test object from a CSV or Excel file.</translation>
    </message>
    <message>
        <source>从仪器读取全部存储记录（Ctrl+I）。</source>
        <translation>Read all stored records from the instrument (Ctrl+I).</translation>
    </message>
    <message>
        <source>仪器中保存的测试记录。</source>
        <translation>Test records kept in the instrument.</translation>
    </message>
    <message>
        <source>仪器的存储数据</source>
        <translation>Records stored in the instrument</translation>
    </message>
    <message>
        <source>使用说明和版本信息。</source>
        <translation>How to use the program, and its version.</translation>
    </message>
    <message>
        <source>偏差不超过此百分比时判为合格。</source>
        <translation>A deviation up to this percentage passes.</translation>
    </message>
    <message>
        <source>偏差合格限值</source>
        <translation>Deviation pass limit</translation>
    </message>
    <message>
        <source>偏差注意限值</source>
        <translation>Deviation watch limit</translation>
    </message>
    <message>
        <source>偏差超过合格限值、不超过此百分比时判为注意；超过则不合格。</source>
        <translation>A deviation beyond the pass limit and up to this percentage is to be watched; beyond it fails.</translation>
    </message>
    <message>
        <source>关闭程序（Ctrl+Q）。</source>
        <translation>Close the program (Ctrl+Q).</translation>
    </message>
    <message>
        <source>切换页面，查看历史记录。</source>
        <translation>Switch pages, look through the history.</translation>
    </message>
    <message>
        <source>删除选中的结果行。</source>
        <translation>Deletes the selected result rows.</translation>
    </message>
    <message>
        <source>判断读数是否稳定时比较的最近读数个数。</source>
        <translation>How many of the last readings are compared to judge whether the reading is stable.</translation>
    </message>
    <message>
        <source>发送给仪器的测试设置；按“更新”后可以修改。</source>
        <translation>A test setting sent to the instrument; it can be changed after pressing Update.</translation>
    </message>
    <message>
        <source>基准对比</source>
        <translation>Baseline comparison</translation>
    </message>
    <message>
        <source>导体长度测试结果</source>
        <translation>Conductor length results</translation>
    </message>
    <message>
        <source>开始或停止当前页的测试（F5）。</source>
        <translation>Start or stop the test of the page on screen (F5).</translation>
    </message>
    <message>
        <source>开始或停止测试（F5）。</source>
        <translation>Starts or stops the test (F5).</translation>
    </message>
    <message>
        <source>打开使用说明（F1）。</source>
        <translation>Open the help page (F1).</translation>
    </message>
    <message>
        <source>打开或结束测试设置的编辑；编辑时暂停读取实时数据。</source>
        <translation>Opens or ends the editing of the test settings; live readings pause while editing.</translation>
    </message>
    <message>
        <source>把存储数据表格导出为 Excel 工作簿。</source>
        <translation>Export the stored-data table as an Excel workbook.</translation>
    </message>
    <message>
        <source>把当前页的结果导出为 PDF 报告（Ctrl+P）。</source>
        <translation>Export the results of the page on screen as a PDF report (Ctrl+P).</translation>
    </message>
    <message>
        <source>把当前页的表格保存为 Excel 工作簿（Ctrl+S）。</source>
        <translation>Save the table of the page on screen as an Excel workbook (Ctrl+S).</translation>
    </message>
    <message>
        <source>把结果表格保存为 Excel 工作簿（Ctrl+S）。</source>
        <translation>Saves the result table as an Excel workbook (Ctrl+S).</translation>
    </message>
    <message>
        <source>按绕组和分接汇总三相电阻的不平衡率。</source>
        <translation>The imbalance of the three phases&apos; resistances, by winding and tapping.</translation>
    </message>
    <message>
        <source>按设定的次数和间隔自动重复测试。</source>
        <translation>Repeat the test automatically, a set number of times at a set interval.</translation>
    </message>
    <message>
        <source>显示从仪器导入的存储数据。</source>
        <translation>Show the stored data imported from the instrument.</translation>
    </message>
    <message>
        <source>显示导体长度测试页。</source>
        <translation>Show the conductor length test page.</translation>
    </message>
    <message>
        <source>显示工具栏中放不下的按钮。</source>
        <translation>Shows the buttons that do not fit in the toolbar.</translation>
    </message>
    <message>
        <source>显示或隐藏结果表格。</source>
        <translation>Shows or hides the result table.</translation>
    </message>
    <message>
        <source>显示直流电阻测试页。</source>
        <translation>Show the DC resistance test page.</translation>
    </message>
    <message>
        <source>显示程序和 Qt 的版本。</source>
        <translation>Show the versions of the program and of Qt.</translation>
    </message>
    <message>
        <source>更多工具</source>
        <translation>More tools</translation>
    </message>
    <message>
        <source>最近一次从仪器导入的存储记录。</source>
        <translation>The stored records of the last import from the instrument.</translation>
    </message>
    <message>
        <source>最近读数的离散小于此百分比时读数为稳定。</source>
        <translation>The reading is stable while the spread of the last readings stays below this percentage.</translation>
    </message>
    <message>
        <source>查看、载入和导出以前的测试。</source>
        <translation>Look through, load and export earlier tests.</translation>
    </message>
    <message>
        <source>每个直流电阻结果与其参考值的偏差和结论。</source>
        <translation>Each DC resistance result&apos;s deviation from its reference, with the verdict.</translation>
    </message>
    <message>
        <source>每个结果行都随测试对象保存；两个测试页显示同一对象。</source>
        <translation>Every result row is kept with the test object; both test pages show the same object.</translation>
    </message>
    <message>
        <source>每次测试结束时记入一行；选中一行显示它的趋势。</source>
        <translation>Each finished test adds a row; selecting a row shows its trend.</translation>
    </message>
    <message>
        <source>测试、报告、自动测试和基准值。</source>
        <translation>Tests, reports, automatic tests and baselines.</translation>
    </message>
    <message>
        <source>测试对象名称</source>
        <translation>Test object name</translation>
    </message>
    <message>
        <source>测试对象地点</source>
        <translation>Test object location</translation>
    </message>
    <message>
        <source>测试对象所在的变电站或现场。</source>
        <translation>The substation or site where the object is.</translation>
    </message>
    <message>
        <source>测试对象的出厂编号或资产编号。</source>
        <translation>The object&apos;s serial or asset number.</translation>
    </message>
    <message>
        <source>测试对象编号</source>
        <translation>Test object serial number</translation>
    </message>
    <message>
        <source>清空结果表格；清除的行保留在历史记录中。</source>
        <translation>Empties the result table; the cleared rows stay in the history.</translation>
    </message>
    <message>
        <source>界面改用这种语言。</source>
        <translation>Show the window in this language.</translation>
    </message>
    <message>
        <source>界面语言、采样频率和团队服务器。</source>
        <translation>Language, sampling interval and team server.</translation>
    </message>
    <message>
        <source>直流电阻测试结果</source>
        <translation>DC resistance results</translation>
    </message>
    <message>
        <source>相电阻不平衡率超过此百分比时判为不合格。</source>
        <translation>A phase imbalance above this percentage fails.</translation>
    </message>
    <message>
        <source>相电阻不平衡限值</source>
        <translation>Phase imbalance limit</translation>
    </message>
    <message>
        <source>稳定判断的读数个数</source>
        <translation>Readings judged for stability</translation>
    </message>
    <message>
        <source>稳定阈值</source>
        <translation>Stability threshold</translation>
    </message>
    <message>
        <source>线电阻不平衡率超过此百分比时判为不合格。</source>
        <translation>A line imbalance above this percentage fails.</translation>
    </message>
    <message>
        <source>线电阻不平衡限值</source>
        <translation>Line imbalance limit</translation>
    </message>
    <message>
        <source>设置共享测试结果的团队服务器，并检查连接。</source>
        <translation>Set up the team server that shares test results, and check the connection.</translation>
    </message>
    <message>
        <source>设置读取实时数据的间隔。</source>
        <translation>Set how often live readings are taken.</translation>
    </message>
    <message>
        <source>连接仪器，保存和导出结果，退出程序。</source>
        <translation>Connect the instrument, save and export results, quit.</translation>
    </message>
    <message>
        <source>连接或断开 USB 仪器。</source>
        <translation>Connect or disconnect the USB instrument.</translation>
    </message>
    <message>
        <source>选择界面的语言。</source>
        <translation>Choose the language of the window.</translation>
    </message>
    <message>
        <source>随每个结果行记录的备注。</source>
        <translation>The remark recorded with each result row.</translation>
    </message>
</context>
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
        <source>最长等待（秒）</source>
        <translation>Longest wait (s)</translation>
    </message>
    <message>
        <source>每次测试在读数稳定后停止，最长等待下面的时间；不选时，测试在固定的读数次数后停止</source>
        <translation>Each test stops once its reading is stable, after the longest wait below at the latest; when off, a test stops after a fixed number of readings</translation>
    </message>
    <message>
        <source>测试次数</source>
        <translation>Number of tests</translation>
    </message>
    <message>
        <source>测试稳定后再停止</source>
        <translation>Stop each test once the reading is stable</translation>
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
        <translation>Tap</translation>
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
    <name>BaselineComparison</name>
    <message>
        <source>%1（%2）</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>基准值文件 (*.csv *.xlsx);;所有文件 (*)</source>
        <translation>Baseline files (*.csv *.xlsx);;All files (*)</translation>
    </message>
    <message>
        <source>基准值未导入。%1</source>
        <translation>No baseline values imported. %1</translation>
    </message>
    <message>
        <source>基准值未能保存：%1</source>
        <translation>The baseline values could not be saved: %1</translation>
    </message>
    <message>
        <source>导入基准值</source>
        <translation>Import baseline values</translation>
    </message>
    <message>
        <source>已为“%1”导入 %2 条基准值</source>
        <translation>%2 baseline values imported for &quot;%1&quot;</translation>
    </message>
    <message>
        <source>没有测试对象：填写测试对象后才能与基准值比较。</source>
        <translation>No test object: name one to compare with its baseline.</translation>
    </message>
    <message>
        <source>测试对象“%1”没有更早的直流电阻测试。</source>
        <translation>Test object &quot;%1&quot; has no earlier DC resistance test.</translation>
    </message>
    <message>
        <source>测试对象“%1”还没有基准值：请导入或编辑。</source>
        <translation>Test object &quot;%1&quot; has no baseline yet: import or edit one.</translation>
    </message>
    <message>
        <source>测试对象“%1”：%2 行有参考值，共 %3 行。</source>
        <translation>Test object &quot;%1&quot;: %2 of %3 rows have a reference.</translation>
    </message>
    <message>
        <source>请先填写测试对象。</source>
        <translation>Name the test object first.</translation>
    </message>
</context>
<context>
    <name>BaselineDialog</name>
    <message>
        <source>分接</source>
        <translation>Tapping</translation>
    </message>
    <message>
        <source>删除行</source>
        <translation>Remove line</translation>
    </message>
    <message>
        <source>基准值：%1</source>
        <translation>Baseline values: %1</translation>
    </message>
    <message>
        <source>材质</source>
        <translation>Material</translation>
    </message>
    <message>
        <source>添加行</source>
        <translation>Add line</translation>
    </message>
    <message>
        <source>温度 (℃)</source>
        <translation>Temperature (℃)</translation>
    </message>
    <message>
        <source>电阻 (Ω)</source>
        <translation>Resistance (Ω)</translation>
    </message>
    <message>
        <source>相别</source>
        <translation>Phase</translation>
    </message>
    <message>
        <source>第 %1 行：电阻应是大于 0 的数（单位 Ω）</source>
        <translation>Line %1: the resistance must be a number above 0 (in Ω)</translation>
    </message>
    <message>
        <source>绕组</source>
        <translation>Winding</translation>
    </message>
</context>
<context>
    <name>BaselineFile</name>
    <message>
        <source>文件中没有基准值</source>
        <translation>The file holds no baseline values</translation>
    </message>
    <message>
        <source>无法打开文件：%1</source>
        <translation>Cannot open the file: %1</translation>
    </message>
    <message>
        <source>无法读取工作簿：%1</source>
        <translation>Cannot read the workbook: %1</translation>
    </message>
    <message>
        <source>未知的材质“%1”</source>
        <translation>unknown material &quot;%1&quot;</translation>
    </message>
    <message>
        <source>未知的相别“%1”</source>
        <translation>unknown phase &quot;%1&quot;</translation>
    </message>
    <message>
        <source>未知的绕组“%1”</source>
        <translation>unknown winding &quot;%1&quot;</translation>
    </message>
    <message>
        <source>温度“%1”不是可用的数</source>
        <translation>temperature &quot;%1&quot; is not a usable number</translation>
    </message>
    <message>
        <source>电阻“%1”不是大于 0 的数</source>
        <translation>resistance &quot;%1&quot; is not a number above 0</translation>
    </message>
    <message>
        <source>第 %1 行：%2</source>
        <translation>Line %1: %2</translation>
    </message>
    <message>
        <source>缺少列</source>
        <translation>a column is missing</translation>
    </message>
    <message>
        <source>表头缺少“%1”列</source>
        <translation>the header has no &quot;%1&quot; column</translation>
    </message>
</context>
<context>
    <name>BaselinePanel</name>
    <message>
        <source>上次测试</source>
        <translation>Previous test</translation>
    </message>
    <message>
        <source>与测试对象的基准值比较，或与它的上次测试比较</source>
        <translation>Compare with the test object&apos;s baseline, or with its previous test</translation>
    </message>
    <message>
        <source>偏差</source>
        <translation>Deviation</translation>
    </message>
    <message>
        <source>分接</source>
        <translation>Tapping</translation>
    </message>
    <message>
        <source>参考折算值</source>
        <translation>Reference corrected</translation>
    </message>
    <message>
        <source>合格限值</source>
        <translation>Pass limit</translation>
    </message>
    <message>
        <source>基准值</source>
        <translation>Baseline</translation>
    </message>
    <message>
        <source>折算到 %1℃</source>
        <translation>corrected to %1 ℃</translation>
    </message>
    <message>
        <source>本次折算值</source>
        <translation>Corrected now</translation>
    </message>
    <message>
        <source>注意限值</source>
        <translation>Watch limit</translation>
    </message>
    <message>
        <source>相别</source>
        <translation>Phase</translation>
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
        <source>编辑基准值</source>
        <translation>Edit baseline</translation>
    </message>
    <message>
        <source>输入或修改当前测试对象的基准值</source>
        <translation>Enter or change the current test object&apos;s baseline values</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>%1 不能为 %2；允许：%3</source>
        <translation>%1 cannot be %2; allowed: %3</translation>
    </message>
    <message>
        <source>%1 属于另一个测试页面；一次只能设置一个页面</source>
        <translation>%1 belongs to the other test page; set one page at a time</translation>
    </message>
    <message>
        <source>--%1 须为 %2 至 %3 的整数</source>
        <translation>--%1 must be a whole number from %2 to %3</translation>
    </message>
    <message>
        <source>--format 须为 csv、json 或 xlsx</source>
        <translation>--format must be csv, json or xlsx</translation>
    </message>
    <message>
        <source>--format 须为 text、csv 或 json</source>
        <translation>--format must be text, csv or json</translation>
    </message>
    <message>
        <source>csv、json 或 xlsx（默认 csv）。</source>
        <translation>csv, json or xlsx (default csv).</translation>
    </message>
    <message>
        <source>csv、json 或 xlsx（默认：按文件扩展名，否则为 csv）。</source>
        <translation>csv, json or xlsx (default: by the file&apos;s extension, else csv).</translation>
    </message>
    <message>
        <source>history export 需要 --out FILE</source>
        <translation>history export needs --out FILE</translation>
    </message>
    <message>
        <source>history 需要 list，或 export ID --out FILE</source>
        <translation>history needs list, or export ID --out FILE</translation>
    </message>
    <message>
        <source>s 秒后放弃（默认 120）。</source>
        <translation>Give up after s seconds (default 120).</translation>
    </message>
    <message>
        <source>settings set 需要 KEY=VALUE</source>
        <translation>settings set needs KEY=VALUE</translation>
    </message>
    <message>
        <source>settings 需要 get 或 set</source>
        <translation>settings needs get or set</translation>
    </message>
    <message>
        <source>两次读数之间的毫秒数，200 至 800（默认 500）。</source>
        <translation>Milliseconds between readings, 200 to 800 (default 500).</translation>
    </message>
    <message>
        <source>仪器中存储的记录</source>
        <translation>the records stored in the instrument</translation>
    </message>
    <message>
        <source>仪器未显示测试页面：%1</source>
        <translation>the instrument shows no test page: %1</translation>
    </message>
    <message>
        <source>仪器的路径（默认：列出的第一台）。</source>
        <translation>The instrument&apos;s path (default: the first listed).</translation>
    </message>
    <message>
        <source>仪器连接中断：%1</source>
        <translation>instrument lost: %1</translation>
    </message>
    <message>
        <source>会话 ID 是从 1 起的整数：%1</source>
        <translation>a session&apos;s ID is a whole number from 1: %1</translation>
    </message>
    <message>
        <source>写入此文件（默认：- 即标准输出）。</source>
        <translation>Write to this file (default: - for stdout).</translation>
    </message>
    <message>
        <source>列出会话，或导出其中一个。</source>
        <translation>List the sessions or export one.</translation>
    </message>
    <message>
        <source>同一测试页面的设置。</source>
        <translation>Settings of one test page.</translation>
    </message>
    <message>
        <source>命令：</source>
        <translation>Commands:</translation>
    </message>
    <message>
        <source>多余的参数：%1</source>
        <translation>unexpected argument: %1</translation>
    </message>
    <message>
        <source>实时读数，每个一行</source>
        <translation>live readings, one line each</translation>
    </message>
    <message>
        <source>导体长度测试。</source>
        <translation>A conductor length test.</translation>
    </message>
    <message>
        <source>导入被中断：已读 %1 条，共 %2 条记录</source>
        <translation>import interrupted after %1 of %2 records</translation>
    </message>
    <message>
        <source>将一个会话导出为 csv、json 或 xlsx</source>
        <translation>one session as csv, json or xlsx</translation>
    </message>
    <message>
        <source>工作簿需要 --out FILE</source>
        <translation>a workbook needs --out FILE</translation>
    </message>
    <message>
        <source>应为 KEY=VALUE：%1</source>
        <translation>expected KEY=VALUE: %1</translation>
    </message>
    <message>
        <source>应为设置名：%1</source>
        <translation>expected a key: %1</translation>
    </message>
    <message>
        <source>找到的仪器：路径、制表符、连接方式</source>
        <translation>the instruments found: path, tab, how it is reached</translation>
    </message>
    <message>
        <source>无法写入 %1</source>
        <translation>cannot write %1</translation>
    </message>
    <message>
        <source>无法写入 %1：%2</source>
        <translation>cannot write %1: %2</translation>
    </message>
    <message>
        <source>无法写入输出</source>
        <translation>cannot write the output</translation>
    </message>
    <message>
        <source>无法打开仪器 %1</source>
        <translation>cannot open the instrument %1</translation>
    </message>
    <message>
        <source>无法读取结果库 %1：%2</source>
        <translation>cannot read the results store %1: %2</translation>
    </message>
    <message>
        <source>显示或更改设置。</source>
        <translation>Print or change settings.</translation>
    </message>
    <message>
        <source>更改一个测试页面的设置</source>
        <translation>change settings of one test page</translation>
    </message>
    <message>
        <source>最后几条记录未能写入</source>
        <translation>the last records could not be written</translation>
    </message>
    <message>
        <source>未找到仪器</source>
        <translation>no instrument found</translation>
    </message>
    <message>
        <source>未知命令：%1</source>
        <translation>unknown command: %1</translation>
    </message>
    <message>
        <source>未知设置 %1；可用的设置为 %2</source>
        <translation>unknown setting %1; the settings are %2</translation>
    </message>
    <message>
        <source>未给出命令；参见 --help</source>
        <translation>no command given; see --help</translation>
    </message>
    <message>
        <source>未读出的记录：%1</source>
        <translation>records not read: %1</translation>
    </message>
    <message>
        <source>没有会话 %1：尚未保存任何结果</source>
        <translation>no session %1: no results kept yet</translation>
    </message>
    <message>
        <source>没有会话 %1；参见 history list</source>
        <translation>no session %1; see history list</translation>
    </message>
    <message>
        <source>没有读数：%1</source>
        <translation>no readings: %1</translation>
    </message>
    <message>
        <source>测试未在时限内结束</source>
        <translation>the test did not end in time</translation>
    </message>
    <message>
        <source>测试未能开始：%1</source>
        <translation>the test did not start: %1</translation>
    </message>
    <message>
        <source>测试被中断</source>
        <translation>test interrupted</translation>
    </message>
    <message>
        <source>测量设置，每行一个 KEY=VALUE</source>
        <translation>the measurement settings, KEY=VALUE a line</translation>
    </message>
    <message>
        <source>用法：resistance-tester-cli &lt;命令&gt; [选项]</source>
        <translation>Usage: resistance-tester-cli &lt;command&gt; [options]</translation>
    </message>
    <message>
        <source>直流电阻测试。</source>
        <translation>A DC resistance test.</translation>
    </message>
    <message>
        <source>结果库中保存的早先会话</source>
        <translation>the earlier sessions kept in the results store</translation>
    </message>
    <message>
        <source>要写入的文件。</source>
        <translation>The file to write.</translation>
    </message>
    <message>
        <source>要导出的会话。</source>
        <translation>The session to export.</translation>
    </message>
    <message>
        <source>设置未被接受：%1</source>
        <translation>settings not taken: %1</translation>
    </message>
    <message>
        <source>请给出 --dc 与 --length 之一</source>
        <translation>give one of --dc and --length</translation>
    </message>
    <message>
        <source>读取 n 个读数后停止（默认：直到被停止）。</source>
        <translation>Stop after n readings (default: until stopped).</translation>
    </message>
    <message>
        <source>输出格式：text、csv 或 json。</source>
        <translation>Output format: text, csv or json.</translation>
    </message>
    <message>
        <source>运行 resistance-tester-cli &lt;命令&gt; --help 查看一个命令的选项。</source>
        <translation>Run resistance-tester-cli &lt;command&gt; --help for the options of a command.</translation>
    </message>
    <message>
        <source>进行一次测试并打印其结果</source>
        <translation>run a test and print its result</translation>
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
    <name>HistoryActions</name>
    <message>
        <source>团队服务器上还没有记录。</source>
        <translation>The team server holds no sessions yet.</translation>
    </message>
    <message>
        <source>基准值未能保存</source>
        <translation>The reference values were not saved</translation>
    </message>
    <message>
        <source>已将 %1 个电阻值设为“%2”的基准</source>
        <translation>%1 resistances set as the baseline of &quot;%2&quot;</translation>
    </message>
    <message>
        <source>无法读取团队服务器的记录：%1</source>
        <translation>Cannot read the team server&apos;s sessions: %1</translation>
    </message>
    <message>
        <source>正在读取团队服务器的记录…</source>
        <translation>Reading the team server&apos;s sessions…</translation>
    </message>
    <message>
        <source>这次测试没有可作为基准的直流电阻</source>
        <translation>This session holds no DC resistance that can serve as a baseline</translation>
    </message>
    <message>
        <source>这次测试没有指定测试对象，不能设为基准</source>
        <translation>This session names no test object: it cannot be a baseline</translation>
    </message>
</context>
<context>
    <name>HistoryDialog</name>
    <message>
        <source>仪器</source>
        <translation>Instrument</translation>
    </message>
    <message>
        <source>全部对象</source>
        <translation>All objects</translation>
    </message>
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
        <source>把这次测试的直流电阻作为其测试对象的基准值</source>
        <translation>Use this session&apos;s DC resistances as the reference values of its test object</translation>
    </message>
    <message>
        <source>操作员</source>
        <translation>Operator</translation>
    </message>
    <message>
        <source>本机</source>
        <translation>This computer</translation>
    </message>
    <message>
        <source>没有更早的记录。清除一个表格后，它的记录会保存在这里。</source>
        <translation>No earlier sessions. When a table is cleared, its rows are kept here.</translation>
    </message>
    <message>
        <source>测试对象</source>
        <translation>Test object</translation>
    </message>
    <message>
        <source>测试对象：</source>
        <translation>Test object:</translation>
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
        <source>设为基准</source>
        <translation>Set as baseline</translation>
    </message>
    <message>
        <source>载入表格</source>
        <translation>Load into the table</translation>
    </message>
</context>
<context>
    <name>Judgement</name>
    <message>
        <source>不合格</source>
        <translation>Fail</translation>
    </message>
    <message>
        <source>合格</source>
        <translation>Pass</translation>
    </message>
    <message>
        <source>注意</source>
        <translation>Watch</translation>
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
        <source>从 CSV 或 Excel 文件导入当前测试对象的基准值</source>
        <translation>Import the current test object&apos;s baseline values from a CSV or Excel file</translation>
    </message>
    <message>
        <source>低压</source>
        <translation>Low</translation>
    </message>
    <message>
        <source>使用说明</source>
        <translation>&amp;User guide</translation>
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
        <source>关于</source>
        <translation>&amp;About</translation>
    </message>
    <message>
        <source>分接</source>
        <translation>Tapping</translation>
    </message>
    <message>
        <source>分接曲线</source>
        <translation>Tap profile</translation>
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
        <source>取消导出</source>
        <translation>Cancel export</translation>
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
        <source>基准对比</source>
        <translation>Baseline</translation>
    </message>
    <message>
        <source>备注</source>
        <translation>Remark</translation>
    </message>
    <message>
        <source>备注最多%1个字符</source>
        <translation>A remark holds at most %1 characters</translation>
    </message>
    <message>
        <source>姓名：</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>存储数据</source>
        <translation>&amp;Storing data</translation>
    </message>
    <message>
        <source>存储数据导入中断：已收到%1组，共%2组；上次完整导入的数据已保留。</source>
        <translation>Stored-data import interrupted: %1 of %2 records arrived; the last complete import is kept.</translation>
    </message>
    <message>
        <source>存储数据已导入，缺少第%1组</source>
        <translation>Stored data imported; missing records: %1</translation>
    </message>
    <message>
        <source>实时数据</source>
        <translation>&amp;Real-time data</translation>
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
        <source>导入基准值</source>
        <translation>Import baseline values</translation>
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
        <source>导出已取消，未写入文件</source>
        <translation>Export cancelled; no file was written</translation>
    </message>
    <message>
        <source>已保存：%1</source>
        <translation>Saved: %1</translation>
    </message>
    <message>
        <source>已删去多出的%1个字符</source>
        <translation>%1 characters beyond the limit dropped</translation>
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
        <source>帮助</source>
        <translation>&amp;Help</translation>
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
        <source>当前测试的电阻和电流随时间的变化</source>
        <translation>Resistance and current of the test under way over time</translation>
    </message>
    <message>
        <source>打开所在文件夹</source>
        <translation>Open folder</translation>
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
        <source>折算电阻随分接位置的变化，标出异常的阶跃</source>
        <translation>Converted resistance against tap position, with irregular steps marked</translation>
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
        <source>按绕组和分接比较三相电阻的不平衡率</source>
        <translation>Imbalance of the three phases, by winding and tapping</translation>
    </message>
    <message>
        <source>数据</source>
        <translation>Data</translation>
    </message>
    <message>
        <source>数据库已损坏，文件保持原样</source>
        <translation>The database is damaged; the file was left as it was</translation>
    </message>
    <message>
        <source>数据库无法写入（磁盘已满或只读）</source>
        <translation>The database cannot be written (disk full or read-only)</translation>
    </message>
    <message>
        <source>数据库正被另一个程序使用</source>
        <translation>The database is in use by another program</translation>
    </message>
    <message>
        <source>数据库由更新版本的程序写入</source>
        <translation>The database was written by a newer version of the program</translation>
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
        <translation>&amp;View</translation>
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
        <source>正在保存 %p%</source>
        <translation>Saving %p%</translation>
    </message>
    <message>
        <source>正在导出 %p%</source>
        <translation>Exporting %p%</translation>
    </message>
    <message>
        <source>正在导出另一个文件，请等它完成或取消后再试。</source>
        <translation>Another file is being exported. Wait until it is done or cancel it, then try again.</translation>
    </message>
    <message>
        <source>正在进行自动测试···</source>
        <translation>Automatic test is underway...</translation>
    </message>
    <message>
        <source>每个结果与测试对象的基准值或上次测试的偏差</source>
        <translation>Deviation of each result from the test object&apos;s baseline or previous test</translation>
    </message>
    <message>
        <source>测试</source>
        <translation>TEST</translation>
    </message>
    <message>
        <source>测试中断：与仪器的连接已断开。绕组可能仍储有能量，请等待仪器放电完成后再拆除测试线。</source>
        <translation>Test interrupted: the connection to the instrument was lost. The winding may still hold energy; wait until the instrument has discharged before removing the test leads.</translation>
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
        <source>测试结果仅保留在内存中：%1（%2）</source>
        <translation>Results are kept in memory only: %1 (%2)</translation>
    </message>
    <message>
        <source>测试结果已重新保存到本地数据库</source>
        <translation>Results are being saved to the local database again</translation>
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
        <source>第 %1 页 / 共 %2 页</source>
        <translation>Page %1 of %2</translation>
    </message>
    <message>
        <source>结果未保存</source>
        <translation>Results not saved</translation>
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
        <source>表格中有 %1 个 Excel 文件无法存放的字符，已略去</source>
        <translation>%1 characters that an Excel file cannot hold were left out of the table</translation>
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
        <translation>&amp;Device</translation>
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
        <translation>&amp;Settings</translation>
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
        <translation>&amp;Language</translation>
    </message>
    <message>
        <source>读数已稳定：测试结束时读数的波动低于稳定阈值</source>
        <translation>Reading settled: its spread was below the stability threshold when the test ended</translation>
    </message>
    <message>
        <source>读数未稳定：测试结束时读数仍在变化，结果可能偏离稳定值</source>
        <translation>Reading not settled: it was still changing when the test ended; the result may differ from the settled value</translation>
    </message>
    <message>
        <source>趋势</source>
        <translation>Trend</translation>
    </message>
    <message>
        <source>还可输入%1个字符</source>
        <translation>%1 characters left</translation>
    </message>
    <message>
        <source>这不是普通文件，不会被替换</source>
        <translation>This is not a regular file; it is not replaced</translation>
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
    <name>ReportSummary</name>
    <message>
        <source>偏差 (%)</source>
        <translation>Deviation (%)</translation>
    </message>
    <message>
        <source>判定</source>
        <translation>Verdict</translation>
    </message>
    <message>
        <source>审核人员：</source>
        <translation>Reviewed by:</translation>
    </message>
    <message>
        <source>日期：</source>
        <translation>Date:</translation>
    </message>
    <message>
        <source>测试人员：</source>
        <translation>Tested by:</translation>
    </message>
    <message>
        <source>稳定</source>
        <translation>Settled</translation>
    </message>
    <message>
        <source>稳定：● 测试结束时读数已稳定，○ 读数仍在变化，空白为未记录</source>
        <translation>Settled: ● the reading had settled when the test ended, ○ it was still changing, blank: not recorded</translation>
    </message>
    <message>
        <source>结果汇总</source>
        <translation>Summary of results</translation>
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
    <name>TapProfilePanel</name>
    <message>
        <source>%1 %2：分接 %3→%4 阶跃 %5，中位幅度 %6</source>
        <translation>%1 %2: tap %3→%4 step %5, median size %6</translation>
    </message>
    <message>
        <source>%1 基准</source>
        <translation>%1 baseline</translation>
    </message>
    <message>
        <source>%1 缺少换算值，画的是未换算的测试电阻</source>
        <translation>%1: no converted values, the tested resistance is drawn unconverted</translation>
    </message>
    <message>
        <source>%1 行</source>
        <translation>%1 rows</translation>
    </message>
    <message>
        <source>分接间的阶跃均匀</source>
        <translation>The steps between taps are even</translation>
    </message>
    <message>
        <source>当前表格</source>
        <translation>Current table</translation>
    </message>
    <message>
        <source>换算电阻 (%1)</source>
        <translation>Converted resistance (%1)</translation>
    </message>
    <message>
        <source>数据</source>
        <translation>Data</translation>
    </message>
    <message>
        <source>每相至少四个分接才判断阶跃</source>
        <translation>Steps are judged from four taps per phase</translation>
    </message>
    <message>
        <source>电阻 (%1)</source>
        <translation>Resistance (%1)</translation>
    </message>
    <message>
        <source>绕组</source>
        <translation>Winding</translation>
    </message>
</context>
<context>
    <name>TeamLink</name>
    <message>
        <source>团队服务器…</source>
        <translation>Team server…</translation>
    </message>
    <message>
        <source>团队服务器：%1</source>
        <translation>Team server: %1</translation>
    </message>
    <message>
        <source>已同步</source>
        <translation>Synced</translation>
    </message>
    <message>
        <source>待同步 %1</source>
        <translation>%1 waiting</translation>
    </message>
</context>
<context>
    <name>TeamServer</name>
    <message>
        <source>团队服务器 %1 尚未设置：请管理员运行 team-server.sql</source>
        <translation>The team server %1 is not set up: ask the administrator to run team-server.sql</translation>
    </message>
    <message>
        <source>团队服务器 %1 拒绝登录：请检查 .pgpass 中的密码（%2）</source>
        <translation>The team server %1 refused the login: check the password in .pgpass (%2)</translation>
    </message>
    <message>
        <source>团队服务器出错：%1</source>
        <translation>The team server failed: %1</translation>
    </message>
    <message>
        <source>团队服务器的数据结构（版本 %1）比本程序新：请更新程序。推送已停止，本地结果都保留着。</source>
        <translation>The team server&apos;s schema (version %1) is newer than this program: update the program. Pushing has stopped; every local result is kept.</translation>
    </message>
    <message>
        <source>团队服务器的服务名“%1”无效</source>
        <translation>The team server&apos;s service name &quot;%1&quot; is not valid</translation>
    </message>
    <message>
        <source>已连接团队服务器 %1</source>
        <translation>Connected to the team server %1</translation>
    </message>
    <message>
        <source>推送到团队服务器失败：%1</source>
        <translation>Pushing to the team server failed: %1</translation>
    </message>
    <message>
        <source>无法连接团队服务器 %1：%2</source>
        <translation>Cannot reach the team server %1: %2</translation>
    </message>
    <message>
        <source>缺少 PostgreSQL 驱动（Debian：libqt5sql5-psql）</source>
        <translation>The PostgreSQL driver is missing (Debian: libqt5sql5-psql)</translation>
    </message>
</context>
<context>
    <name>TeamServerDialog</name>
    <message>
        <source>不使用团队服务器</source>
        <translation>No team server</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>团队服务器</source>
        <translation>Team server</translation>
    </message>
    <message>
        <source>密码错误或没有密码：请检查 ~/.pgpass（或 PGPASSFILE 指向的文件）。</source>
        <translation>Wrong or missing password: check ~/.pgpass (or the file PGPASSFILE names).</translation>
    </message>
    <message>
        <source>无法连接服务“%1”。</source>
        <translation>Cannot connect to the service &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>服务名称“%1”无效：只能包含字母、数字、“_”、“.”和“-”。</source>
        <translation>The service name &quot;%1&quot; is not valid: only letters, digits, &quot;_&quot;, &quot;.&quot; and &quot;-&quot;.</translation>
    </message>
    <message>
        <source>服务名称在 pg_service.conf 中定义；密码取自 ~/.pgpass，本程序不保存密码。留空则测试结果只保存在本机。</source>
        <translation>The service is defined in pg_service.conf; the password comes from ~/.pgpass and is never kept by this program. Left empty, results stay on this computer only.</translation>
    </message>
    <message>
        <source>服务名称：</source>
        <translation>Service name:</translation>
    </message>
    <message>
        <source>服务器拒绝连接或没有运行：请检查服务“%1”的地址和端口。</source>
        <translation>The server refused the connection or is not running: check the address and port of the service &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>正在连接服务“%1”…</source>
        <translation>Connecting to the service &quot;%1&quot;…</translation>
    </message>
    <message>
        <source>没有名为“%1”的服务：请检查 pg_service.conf（或 PGSERVICEFILE 指向的文件）。</source>
        <translation>No service is named &quot;%1&quot;: check pg_service.conf (or the file PGSERVICEFILE names).</translation>
    </message>
    <message>
        <source>测试连接</source>
        <translation>Test the connection</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>缺少服务器数据库驱动（libqt5sql5-psql），无法连接。</source>
        <translation>The server&apos;s database driver (libqt5sql5-psql) is missing: cannot connect.</translation>
    </message>
    <message>
        <source>连接成功：服务“%1”可以使用。</source>
        <translation>Connected: the service &quot;%1&quot; can be used.</translation>
    </message>
</context>
<context>
    <name>TestObjectBar</name>
    <message>
        <source>名称</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>地点</source>
        <translation>Location</translation>
    </message>
    <message>
        <source>测试对象</source>
        <translation>Test object</translation>
    </message>
    <message>
        <source>编号</source>
        <translation>Serial No.</translation>
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
    <name>ValueSheet</name>
    <message>
        <source>1米导线标称截面积 (mm²)</source>
        <translation>Nominal Cross-Sectional Area(1M) (mm²)</translation>
    </message>
    <message>
        <source>1米标准值 (Ω)</source>
        <translation>Standard Value(1M) (Ω)</translation>
    </message>
    <message>
        <source>不平衡率 (%)</source>
        <translation>Imbalance (%)</translation>
    </message>
    <message>
        <source>依据</source>
        <translation>Basis</translation>
    </message>
    <message>
        <source>偏差 (%)</source>
        <translation>Deviation (%)</translation>
    </message>
    <message>
        <source>分接</source>
        <translation>Tapping</translation>
    </message>
    <message>
        <source>判定</source>
        <translation>Verdict</translation>
    </message>
    <message>
        <source>否</source>
        <translation>No</translation>
    </message>
    <message>
        <source>备注</source>
        <translation>Remark</translation>
    </message>
    <message>
        <source>导体长度 (m)</source>
        <translation>Conductor Len. (m)</translation>
    </message>
    <message>
        <source>序号</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>折算温度 (℃)</source>
        <translation>Converted Temp. (℃)</translation>
    </message>
    <message>
        <source>折算电阻 (Ω)</source>
        <translation>Converted Res. (Ω)</translation>
    </message>
    <message>
        <source>数值</source>
        <translation>Values</translation>
    </message>
    <message>
        <source>是</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>标准值 (Ω)</source>
        <translation>Standard Value (Ω)</translation>
    </message>
    <message>
        <source>标准值设置</source>
        <translation>Standard Value Setting</translation>
    </message>
    <message>
        <source>样品编号</source>
        <translation>Sample No.</translation>
    </message>
    <message>
        <source>测试时间</source>
        <translation>Test Time</translation>
    </message>
    <message>
        <source>测试电流 (A)</source>
        <translation>Tested Current (A)</translation>
    </message>
    <message>
        <source>测试电阻 (Ω)</source>
        <translation>Tested Res. (Ω)</translation>
    </message>
    <message>
        <source>环境温度 (℃)</source>
        <translation>Ambient Temp. (℃)</translation>
    </message>
    <message>
        <source>电流设置</source>
        <translation>Current Setting</translation>
    </message>
    <message>
        <source>电阻 1 (Ω)</source>
        <translation>Resistance 1 (Ω)</translation>
    </message>
    <message>
        <source>电阻 2 (Ω)</source>
        <translation>Resistance 2 (Ω)</translation>
    </message>
    <message>
        <source>电阻 3 (Ω)</source>
        <translation>Resistance 3 (Ω)</translation>
    </message>
    <message>
        <source>相别</source>
        <translation>Phase Type</translation>
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
        <source>试品材质</source>
        <translation>Conductor Material</translation>
    </message>
    <message>
        <source>试品温度 (℃)</source>
        <translation>Conductor Temp. (℃)</translation>
    </message>
    <message>
        <source>试品编号</source>
        <translation>Conductor No.</translation>
    </message>
    <message>
        <source>读数已稳定</source>
        <translation>Settled</translation>
    </message>
    <message>
        <source>限值 (%)</source>
        <translation>Limit (%)</translation>
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
<context>
    <name>WindowKeys</name>
    <message>
        <source>&lt;b&gt;10A 直流电阻测试仪&lt;/b&gt;&lt;br&gt;版本 %1&lt;br&gt;Qt %2（运行）/ %3（编译）</source>
        <translation>&lt;b&gt;10A DC Resistance Tester&lt;/b&gt;&lt;br&gt;Version %1&lt;br&gt;Qt %2 (running) / %3 (built with)</translation>
    </message>
    <message>
        <source>保存表格</source>
        <translation>&amp;Save table</translation>
    </message>
    <message>
        <source>关于</source>
        <translation>About</translation>
    </message>
    <message>
        <source>开始/停止测试</source>
        <translation>Start/stop &amp;test</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>&amp;Quit</translation>
    </message>
</context>
</TS>
